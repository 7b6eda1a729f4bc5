#pragma once

#include "body/Body.h"

#include <QDialog>

#include <functional>

class CaseEditor;
class Platform;
class QLineEdit;
class QSlider;

// "Body parameters": the body's name and height, and its sideways (X) and front-to-back (Z)
// stretch, drawn while the sliders move (slider 50 is scale 1, one step is 0.02). For a body read
// from a CT series only the name can be changed.
class BodyParametersDialog : public QDialog {
    Q_OBJECT
public:
    BodyParametersDialog(CaseEditor& editor, Platform& platform, QWidget* parent = nullptr);
    // Opens with the body's name and height and the sliders where the last OK left them.
    int exec() override;
    void accept() override;
    // Cancel, Esc and the close box all return the body exactly to what it was when the dialog
    // opened (the scales of the last OK), leaving no edit.
    void reject() override;

    void SetSavedScaleX(int position) { savedScaleX = position; }
    void SetSavedScaleZ(int position) { savedScaleZ = position; }
    int GetSavedScaleX() const { return savedScaleX; }
    int GetSavedScaleZ() const { return savedScaleZ; }

private:
    // Height and scales are off for a CT body, with the reason as their tooltip.
    void ShowSizeLocked(bool locked);
    void SliderMoved();
    void ApplyScales();

    CaseEditor& editor;
    Platform& platform;
    Body before; // the body as the dialog opened on it
    QLineEdit* nameField;
    QLineEdit* heightField;
    QSlider* sliderScaleX;
    QSlider* sliderScaleZ;
    int positionScaleX = 50, positionScaleZ = 50;
    int savedScaleX = 50, savedScaleZ = 50;
};
