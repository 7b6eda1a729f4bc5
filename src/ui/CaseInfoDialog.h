#pragma once

#include "case/CaseInfo.h"

#include <QDialog>

#include <array>

class CaseEditor;
class Platform;
class QLineEdit;
class QPlainTextEdit;

// File > "Case information...": the case number, examiner, agency, the dates of the incident and
// of the examination, the decedent's identifier and notes. OK checks every field (dates as
// yyyy-mm-dd, lengths the data file keeps) and, when one is refused, says which and why and
// keeps the dialog open on it; otherwise the whole change is one edit ("Undo Case information").
class CaseInfoDialog : public QDialog {
    Q_OBJECT
public:
    CaseInfoDialog(CaseEditor& editor, Platform& platform, QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    // The field's editor, for the tests ("number", "examiner", ... as the data file names them).
    QLineEdit* LineField(CaseInfo::Field field) const;
    QPlainTextEdit* NotesField() const { return notes; }

private:
    // The information the fields hold, the one-line fields without blanks at their ends.
    CaseInfo FieldValues() const;

    CaseEditor& editor;
    Platform& platform;
    // Every field but the notes, in the order of CaseInfo::kFields.
    std::array<QLineEdit*, CaseInfo::kFieldCount - 1> lines{};
    QPlainTextEdit* notes = nullptr;
};
