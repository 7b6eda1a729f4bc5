#pragma once

#include "case/Trajectory.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QSlider;
class Case;

// "Adjust trajectory": shifts the drawn arrow of the selected trajectory by up to 40 cm along
// each axis (slider 50 is no shift, one step is 2 cm), drawn while the sliders move, and says
// whether it follows the arm when the arm is posed.
class AdjustTrajectoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit AdjustTrajectoryDialog(std::function<void()> redraw, QWidget* parent = nullptr);

    void Bind(Case& value) { scene = &value; }
    // Opens on the selected trajectory; refuses (returns Rejected at once) when none is selected.
    int exec() override;
    // OK keeps the shift and takes the uncertainty typed in centimetres, as one edit.
    void accept() override;
    // Cancel, Esc and the close box all return the trajectory exactly to what it was when the
    // dialog opened (Reset included), leaving no edit.
    void reject() override;

    // The slider position for a shift in metres, truncated toward zero.
    static int PositionFromShift(double shift);
    static double ShiftFromPosition(int position) { return position / 50.0 - 1.0; }

private:
    void SliderMoved();
    void Reset();
    void WithArmToggled(bool checked);

    std::function<void()> redraw;
    Case* scene = nullptr;
    Trajectory* trajectory = nullptr;
    int trajectoryIndex = -1;
    Trajectory before; // the trajectory as the dialog opened on it
    QLineEdit* numberField;
    QLineEdit* uncertaintyField;
    QSlider* sliderX;
    QSlider* sliderY;
    QSlider* sliderZ;
    QCheckBox* withArmBox;
    int positionX = 50, positionY = 50, positionZ = 50;
    int savedX = 50, savedY = 50, savedZ = 50;
    bool savedWithArm = true;
};
