#pragma once

#include <QDialog>

class CaseEditor;
class Platform;
class QLineEdit;
class QPlainTextEdit;

// "Exterior points and shot group" of one trajectory: its exterior points, one a line as
// "x y z before|after [radius]" in the scene's centimetres, and the name of its shot group. OK
// makes the change one edit of the trajectory; a line that does not read is refused with its number
// named and the dialog stays open with the case as it was.
class ExteriorPointsDialog : public QDialog {
    Q_OBJECT
public:
    ExteriorPointsDialog(CaseEditor& editor, Platform& platform, QWidget* parent = nullptr);
    // Opens on trajectory `number`; false (not opened) when there is none.
    bool Open(int number);
    void accept() override;

    QPlainTextEdit* PointsField() const { return points; }
    QLineEdit* GroupField() const { return group; }

private:
    CaseEditor& editor;
    Platform& platform;
    int number = 0;
    QPlainTextEdit* points;
    QLineEdit* group;
};
