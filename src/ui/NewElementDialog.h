#pragma once

#include <QDialog>

#include <functional>

class ColorSwatch;
class Platform;
class CaseEditor;
class QLineEdit;

// "New element": centre and sizes in centimetres and the colour; "OK" appends the element to the
// case's list. The colour sample starts at `proposedColor`, which a choice changes; `redraw`
// draws the view after the colour chooser has been open.
class NewElementDialog : public QDialog {
    Q_OBJECT
public:
    NewElementDialog(CaseEditor& editor, Platform& platform, QColor& proposedColor,
                     std::function<void()> redraw, QWidget* parent = nullptr);

    // Opens with empty fields and the proposed colour.
    int exec() override;
    // True when the last opening added an element.
    bool CreatedElement() const { return created; }

private:
    void CreateElement();
    QLineEdit* AddField(const char* name);

    CaseEditor& editor;
    Platform& platform;
    QColor& proposedColor;
    std::function<void()> redraw;
    bool created = false;
    QLineEdit* positionX;
    QLineEdit* positionY;
    QLineEdit* positionZ;
    QLineEdit* widthField;
    QLineEdit* heightField;
    QLineEdit* lengthField;
    ColorSwatch* colorSwatch;
};
