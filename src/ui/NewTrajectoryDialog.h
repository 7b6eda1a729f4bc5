#pragma once

#include <QDialog>

#include "base/Matrix4.h"

#include <functional>
#include <optional>

class ColorSwatch;
class CaseEditor;
class Trajectory;
class Platform;
class QCheckBox;
class QColor;
class QLineEdit;

// "New trajectory": entry and exit points in centimetres, whether the bullet stayed inside the
// body, the colour and the measurement uncertainty (cm); "Compute" adds the trajectory to the
// case. The colour sample starts at `proposedColor`, which a choice changes; `redraw` draws the
// view after the colour chooser has been open.
class NewTrajectoryDialog : public QDialog {
    Q_OBJECT
public:
    NewTrajectoryDialog(CaseEditor& editor, Platform& platform, QColor& proposedColor,
                        std::function<void()> redraw, QWidget* parent = nullptr);

    // Opens with empty fields, "Bullet inside body" unchecked, "Moves with the arm" checked and
    // the proposed colour.
    int exec() override;
    // The next opening shows these points (metres) in its fields instead of empty ones.
    // `movesWithArm`, when given, sets "Moves with the arm" instead of its usual tick.
    void SetInitialPoints(const Vec3& in, const Vec3& out, std::optional<bool> movesWithArm) {
        initialPoints = {in, out};
        initialWithArm = movesWithArm;
    }
    // The trajectory made by "Compute" during the last opening; nullptr when none was made.
    const Trajectory* GetCreatedTrajectory() const { return createdTrajectory; }

private:
    void Compute();
    QLineEdit* AddField(const char* name);
    void FillFields();

    CaseEditor& editor;
    Platform& platform;
    QColor& proposedColor;
    std::function<void()> redraw;
    const Trajectory* createdTrajectory = nullptr;
    std::optional<std::pair<Vec3, Vec3>> initialPoints;
    std::optional<bool> initialWithArm;
    QLineEdit* inX;
    QLineEdit* inY;
    QLineEdit* inZ;
    QLineEdit* outX;
    QLineEdit* outY;
    QLineEdit* outZ;
    QLineEdit* uncertaintyField;
    QCheckBox* insideBox;
    QCheckBox* withArmBox;
    ColorSwatch* colorSwatch;
};
