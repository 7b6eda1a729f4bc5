#pragma once

#include <QDialog>

#include "base/Matrix4.h"

#include <functional>
#include <optional>
#include <string>

class BodyPartBox;
class ColorSwatch;
class CaseEditor;
class Platform;
class QCheckBox;
class QColor;
class QLineEdit;

// "New trajectory": entry and exit points in centimetres, the part of the body each belongs to
// (the part nearest to it, found again whenever its coordinates are typed, and changeable),
// whether the bullet stayed inside the body, the colour and the measurement uncertainty (cm);
// "Compute" adds the trajectory to the case with its parts. The colour sample starts at
// `proposedColor`, which a choice changes; `redraw` draws the view after the colour chooser has
// been open.
class NewTrajectoryDialog : public QDialog {
    Q_OBJECT
public:
    NewTrajectoryDialog(CaseEditor& editor, Platform& platform, QColor& proposedColor,
                        std::function<void()> redraw, QWidget* parent = nullptr);

    // Opens with empty fields, "Bullet inside body" unchecked and the proposed colour.
    int exec() override;
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
    void Compute();
    QLineEdit* AddField(const char* name);
    void FillFields();
    // The point typed in the three fields, in metres.
    Vec3 TypedPoint(QLineEdit* x, QLineEdit* y, QLineEdit* z) const;
    // Shows the part nearest to the typed IN (or OUT).
    void FindInPart();
    void FindOutPart();

    CaseEditor& editor;
    Platform& platform;
    QColor& proposedColor;
    std::function<void()> redraw;
    int createdNumber = 0;
    std::optional<std::pair<Vec3, Vec3>> initialPoints;
    std::pair<std::string, std::string> initialParts;
    QLineEdit* inX;
    QLineEdit* inY;
    QLineEdit* inZ;
    QLineEdit* outX;
    QLineEdit* outY;
    QLineEdit* outZ;
    QLineEdit* uncertaintyField;
    QCheckBox* insideBox;
    BodyPartBox* inPartBox;
    BodyPartBox* outPartBox;
    ColorSwatch* colorSwatch;
};
