#pragma once

#include "ct/CtObliqueSlicer.h"
#include "ct/CtScan.h"
#include "ct/CtWindow.h"
#include "edit/TrajectoryEndPlacing.h"

#include <QWidget>

#include <memory>
#include <optional>

class CaseEditor;
class CtSliceCanvas;
class QDoubleSpinBox;
class QLabel;
class QSlider;
class QTimer;
class ViewState;

// The "Track" page of the slices dock: for the selected trajectory, the plane that holds its
// track (IN on the left, OUT on the right, the head up as far as the track allows) and the plane
// across it at a chosen fraction of the way from IN to OUT, each a thin-slab minimum-intensity
// projection so that the air of the wound channel shows black however the plane cuts it. IN and
// OUT are drawn on both; on the track picture the user drags either to where the channel really
// is. While dragging the point moves within the plane shown, which is kept; only the picture
// across the track is drawn again, as it follows the point. Under the pictures, the point under
// the pointer and how far it lies along the track and from it. The release makes the move one edit
// that Undo takes back, and the planes are then cut afresh through the new track.
class CtTrackPage : public QWidget {
    Q_OBJECT

public:
    CtTrackPage(CaseEditor& editor, ViewState& view, QWidget* parent = nullptr);
    ~CtTrackPage() override;

    void SetScan(const std::shared_ptr<const CtScan>& scan);
    void SetPreset(CtWindowPreset preset);
    // Follows the case and the selection: draws both pictures again when the trajectory, its
    // points or the settings changed since they were drawn. A drag under way is left.
    void Refresh();

    // The fraction of the way from IN to OUT where the picture across the track lies (0 to 1).
    double GetFraction() const { return fraction; }
    void ChooseFraction(double value);
    // The slab's thickness along each plane's normal (mm).
    double GetSlabMm() const { return options.slabMm; }
    void ChooseSlabMm(double value);

    bool IsDragging() const { return grabbed.has_value(); }
    const CtObliquePlane& TrackPicturePlane() const { return trackPlane; }
    const CtObliquePlane& CrossPicturePlane() const { return crossPlane; }
    // How many times each picture was drawn, for tests.
    int TrackDraws() const { return trackDraws; }
    int CrossDraws() const { return crossDraws; }
    CtSliceCanvas& TrackCanvas() { return *trackCanvas; }
    CtSliceCanvas& CrossCanvas() { return *crossCanvas; }
    QString DescriptionText() const;

signals:
    void statusMessage(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What the pictures were drawn from; a change of any of it draws them again.
    struct Drawn {
        const CtScan* scan = nullptr;
        int number = 0;
        Vec3 in, out;
        // Where the plane along the track runs: IN and OUT, or for a track with points between
        // them, their places on the fitted line.
        Vec3 lineIn, lineOut;
        double slabMm = 0, fraction = 0;
        CtWindowPreset preset = CtWindowPreset::SoftTissue;
        bool operator==(const Drawn&) const = default;
    };
    void BuildControls();
    Drawn Wanted() const;
    void Clear();
    void DrawTrack();
    void DrawCross();
    void ShowMarks();
    // The track canvas's drag of IN or OUT.
    void Press(const QPointF& position);
    void Drag(const QPointF& position);
    void Release();
    // Escape during a drag: the point goes back and nothing is moved.
    void GiveUpDrag();
    void StepFraction(int steps);
    // Where the pointer is over pixel (x, y) of a picture: the body point, how far along the
    // track from IN and how far from it.
    void ShowPointer(const CtObliquePlane& plane, int x, int y);

    CaseEditor& editor;
    ViewState& view;
    std::shared_ptr<const CtScan> scan;
    std::unique_ptr<CtObliqueSlicer> slicer;
    CtObliqueOptions options;
    CtWindowPreset preset = CtWindowPreset::SoftTissue;
    double fraction = 0.5;
    // The track in the body frame (cm) as drawn: the trajectory's, or the dragged one's.
    Vec3 inCm, outCm;
    int number = 0; // the trajectory shown; 0 for none
    CtObliquePlane trackPlane, crossPlane;
    CtSliceImage trackImage, crossImage; // reused from picture to picture
    Drawn drawn;
    bool haveTrack = false;
    std::optional<TrajectoryEnd> grabbed;
    int trackDraws = 0, crossDraws = 0;
    CtSliceCanvas* trackCanvas = nullptr;
    CtSliceCanvas* crossCanvas = nullptr;
    QSlider* fractionSlider = nullptr;
    QDoubleSpinBox* slabBox = nullptr;
    QLabel* descriptionLabel = nullptr;
    QLabel* pointerLabel = nullptr;
    // Draws the picture across the track once the pointer moves that are waiting are handled:
    // a fast drag draws it once for all of them.
    QTimer* crossTimer = nullptr;
};
