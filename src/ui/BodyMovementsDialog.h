#pragma once

#include "case/Body.h"

#include <QDialog>

#include <functional>

class CaseEditor;
class QComboBox;
class QSlider;

// "Body movements": poses the head, arm or forearm chosen in the list with the Pitch, Yaw and
// Roll sliders (angle = 2 x position - 100 degrees), drawn while the sliders move. OK makes the
// posing one edit; Cancel, Esc and the close box put the joints back as they were on opening.
class BodyMovementsDialog : public QDialog {
    Q_OBJECT
public:
    explicit BodyMovementsDialog(CaseEditor& editor, QWidget* parent = nullptr);
    // Opens with no joint chosen and the sliders centred.
    int exec() override;
    void accept() override;
    void reject() override;
    void done(int result) override;

    static int PositionFromAngle(double angle);
    static double AngleFromPosition(int position) { return 2.0 * position - 100.0; }

private:
    void PartChosen(int index);
    void SliderMoved();

    CaseEditor& editor;
    QSlider* sliderPitch;
    QSlider* sliderYaw;
    QSlider* sliderRoll;
    QComboBox* partList;
    int positionPitch = 50, positionYaw = 50, positionRoll = 50;
    int part = -1; // -1 none, 0 head, 1 arm, 2 forearm
    int startPitch = 50, startYaw = 50, startRoll = 50;
    Body before; // the body as the dialog opened on it
};
