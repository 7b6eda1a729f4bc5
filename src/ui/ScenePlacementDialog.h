#pragma once

#include <QDialog>

class CaseEditor;
class Platform;
class QLineEdit;

// "Scene and placement": where the body stands in the scene (x, y, z in cm and a heading in
// degrees), where the scene model stands, and the muzzle heights (cm). OK makes the change one
// edit; a value that does not read is refused with its field named and the dialog stays open
// with the case as it was.
class ScenePlacementDialog : public QDialog {
    Q_OBJECT
public:
    ScenePlacementDialog(CaseEditor& editor, Platform& platform, QWidget* parent = nullptr);
    // Opens on the case's values.
    int exec() override;
    void accept() override;

    QLineEdit* Field(int index) const { return fields[index]; }
    static constexpr int kFieldCount = 9; // body x y z heading, scene x y z heading, heights

private:
    CaseEditor& editor;
    Platform& platform;
    QLineEdit* fields[kFieldCount] = {};
};
