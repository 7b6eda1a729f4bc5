#pragma once

#include <QDialog>

#include "base/Matrix4.h"
#include "case/TrackPoint.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class BodyPartBox;
class ColorSwatch;
class CaseEditor;
class Platform;
class QCheckBox;
class QColor;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TrackPointsEditor;
struct Trajectory;

// "New trajectory": entry and exit points in centimetres, the part of the body each belongs to
// (the part nearest to it, found again whenever its coordinates are typed, and changeable),
// whether the bullet stayed inside the body, the colour and the measurement uncertainty (cm);
// "Compute" adds the trajectory to the case with its parts. The colour sample starts at
// `proposedColor`, which a choice changes; `redraw` draws the view after the colour chooser has
// been open.
//
// The same dialog, titled "Edit trajectory", corrects a trajectory the case holds: its measured
// points, their parts and uncertainties, the points the bullet passed between them (bone
// defects, fragments; see TrackPointsEditor), whether the bullet stayed inside and its exterior
// points. OK makes the correction one edit that keeps everything the dialog
// does not show (label, colour, the drawn arrow's adjustment, shot group).
//
// The keyboard goes x1, y1, z1, x2, y2, z2 first, then the parts, the inside box, the colour, the
// uncertainties, the exterior points, the points between and the buttons. A coordinate left
// empty or not a number is refused with a message naming it, the dialog staying open with what
// was typed.
class NewTrajectoryDialog : public QDialog {
    Q_OBJECT
public:
    NewTrajectoryDialog(CaseEditor& editor, Platform& platform, QColor& proposedColor,
                        std::function<void()> redraw, QWidget* parent = nullptr);

    // Opens with empty fields, "Bullet inside body" unchecked and the proposed colour.
    int exec() override;
    // Opens as "Edit trajectory" on trajectory `number`, filled with its values; Rejected at once
    // when the case holds no such trajectory.
    int ExecEdit(int number);
    // The next opening shows these points (metres, the body at rest) in its fields instead of
    // empty ones, on the parts given (the parts nearest to them where a part is empty).
    void SetInitialPoints(const Vec3& in, const Vec3& out, const std::string& inPart = {},
                          const std::string& outPart = {}) {
        initialPoints = {in, out};
        initialParts = {inPart, outPart};
    }
    // The number of the trajectory made by "Compute" during the last opening; 0 when none was
    // made.
    int GetCreatedNumber() const { return createdNumber; }

private:
    void BuildFields(QGridLayout* grid);
    // The uncertainty of OUT and the exterior points, shown only to correct a trajectory.
    void BuildEditFields(QGridLayout* grid);
    void SetKeyboardOrder();
    // Shows the fields and texts of a new trajectory, or of a correction when `editing`.
    void ShowMode(bool editing);
    void Compute();
    // `radius`: the uncertainty of IN as read.
    void AddNew(const Vec3& in, const Vec3& out, double radius,
                const std::vector<TrackPoint>& points);
    void ApplyEdit(const Vec3& in, const Vec3& out, double radius,
                   const std::vector<TrackPoint>& points);
    // The uncertainty of OUT and the exterior points of a correction into `edited`, those left as
    // shown exactly as `original` has them; false when one is refused.
    bool ReadEditFields(const Trajectory& original, Trajectory& edited);
    // Shows a refusal (nothing when it is empty), the keyboard in `field`; true when refused.
    bool Refused(const QString& refusal, QWidget* field);
    QLineEdit* AddField(const char* name);
    void FillFields();
    void FillFromTrajectory(const Trajectory& trajectory);
    // The two typed points in metres; false (after saying which field is wrong, the keyboard
    // in it) when a coordinate is refused.
    bool ReadPoints(Vec3& in, Vec3& out);
    // The point typed in the three fields, in metres, read leniently to find its part.
    Vec3 TypedPoint(QLineEdit* x, QLineEdit* y, QLineEdit* z) const;
    // Shows the part nearest to the typed IN (or OUT).
    void FindInPart();
    void FindOutPart();

    CaseEditor& editor;
    Platform& platform;
    QColor& proposedColor;
    std::function<void()> redraw;
    int createdNumber = 0;
    int editedNumber = 0; // while open as "Edit trajectory": the trajectory it corrects
    std::optional<std::pair<Vec3, Vec3>> initialPoints;
    std::pair<std::string, std::string> initialParts;
    QLineEdit* inX;
    QLineEdit* inY;
    QLineEdit* inZ;
    QLineEdit* outX;
    QLineEdit* outY;
    QLineEdit* outZ;
    QLabel* uncertaintyLabel;
    QLineEdit* uncertaintyField;
    QCheckBox* insideBox;
    BodyPartBox* inPartBox;
    BodyPartBox* outPartBox;
    QLabel* colorLabel;
    ColorSwatch* colorSwatch;
    QLabel* outUncertaintyLabel;
    QLineEdit* outUncertaintyField;
    QLabel* exteriorLabel;
    QPlainTextEdit* exteriorField;
    QLabel* pointsLabel;
    TrackPointsEditor* pointsEditor;
    QPushButton* computeButton;
    QPushButton* cancelButton;
};
