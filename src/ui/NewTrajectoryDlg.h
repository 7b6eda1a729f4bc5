#pragma once

#include <QDialog>

#include "scene/Matrix4.h"

#include <functional>
#include <optional>

class ColorSwatch;
class Path;
class Platform;
class QCheckBox;
class QLineEdit;
class Universe;

// "New trajectory": entry and exit points in centimetres, whether the bullet stayed inside the
// body, and the colour; "Compute" adds the trajectory to the scene.
class NewTrajectoryDlg : public QDialog {
    Q_OBJECT
public:
    NewTrajectoryDlg(Universe& scene, Platform& platform, std::function<void()> redraw,
                     QWidget* parent = nullptr);

    // Opens with empty fields, an unchecked box and the proposed colour.
    int exec() override;
    // The next opening shows these points (metres) in its fields instead of empty ones.
    void SetInitialPoints(const Vec3& in, const Vec3& out) { initialPoints = {in, out}; }
    // The trajectory made by "Compute" during the last opening; nullptr when none was made.
    Path* GetCreatedTrajectory() const { return createdTrajectory; }

private:
    void Compute();
    QLineEdit* AddField(const char* name);
    void FillFields();

    Universe& scene;
    Platform& platform;
    std::function<void()> redraw;
    Path* createdTrajectory = nullptr;
    std::optional<std::pair<Vec3, Vec3>> initialPoints;
    QLineEdit* inX;
    QLineEdit* inY;
    QLineEdit* inZ;
    QLineEdit* outX;
    QLineEdit* outY;
    QLineEdit* outZ;
    QCheckBox* insideBox;
    ColorSwatch* colorSwatch;
};
