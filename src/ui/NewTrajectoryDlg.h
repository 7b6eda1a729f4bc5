#pragma once

#include <QDialog>

#include <functional>

class ColorSwatch;
class Path;
class Platform;
class QCheckBox;
class QLineEdit;
class Universe;

// "New trajectory": entry and exit points in centimetres, whether the bullet stayed inside the
// body, the colour and the measurement uncertainty (cm); "Compute" adds the trajectory to the
// scene.
class NewTrajectoryDlg : public QDialog {
    Q_OBJECT
public:
    NewTrajectoryDlg(Universe& scene, Platform& platform, std::function<void()> redraw,
                     QWidget* parent = nullptr);

    // Opens with empty fields, "Bullet inside body" unchecked, "Moves with the arm" checked and
    // the proposed colour.
    int exec() override;
    // The trajectory made by "Compute" during the last opening; nullptr when none was made.
    Path* GetCreatedTrajectory() const { return createdTrajectory; }

private:
    void Compute();
    QLineEdit* AddField(const char* name);

    Universe& scene;
    Platform& platform;
    std::function<void()> redraw;
    Path* createdTrajectory = nullptr;
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
