#pragma once

#include "case/Trajectory.h"

#include <QDialog>

#include <functional>

class BodyPartBox;
class CaseEditor;
class QLineEdit;
class QSlider;
class ViewState;

// "Adjust trajectory": shifts the drawn arrow of the selected trajectory by up to 40 cm along
// each axis (slider 50 is no shift, one step is 2 cm), drawn while the sliders move, and shows
// the body part IN and OUT each move with, which can be changed (drawn at once). A trajectory
// from an older file without parts shows how that file carries it until a part is chosen.
class AdjustTrajectoryDialog : public QDialog {
    Q_OBJECT
public:
    AdjustTrajectoryDialog(CaseEditor& editor, const ViewState& view, QWidget* parent = nullptr);
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
    // Shows the change on the trajectory the dialog opened on; false when it is not open on one.
    bool Preview(const std::function<void(Trajectory&)>& change);
    void SliderMoved();
    void Reset();
    // A part chosen in the IN box (`inChosen`) or the OUT box: the trajectory takes both parts,
    // the other box's found as the part nearest to its point when it showed the older rule.
    // Choosing the older rule again gives the trajectory back the older file's rule.
    void PartChosen(bool inChosen);
    void ShowParts(const Trajectory& trajectory);

    CaseEditor& editor;
    const ViewState& view;
    int trajectoryNumber = 0; // while open: the trajectory it adjusts (0: none)
    Trajectory before;        // the trajectory as the dialog opened on it
    QLineEdit* numberField;
    QLineEdit* uncertaintyField;
    QSlider* sliderX;
    QSlider* sliderY;
    QSlider* sliderZ;
    BodyPartBox* inPartBox;
    BodyPartBox* outPartBox;
    int positionX = 50, positionY = 50, positionZ = 50;
    int savedX = 50, savedY = 50, savedZ = 50;
};
