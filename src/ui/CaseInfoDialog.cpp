#include "ui/CaseInfoDialog.h"

#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/Platform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kCaption = "Case information";

const char* LabelOf(CaseInfo::Field field) {
    switch (field) {
    case CaseInfo::Field::Number:
        return "Case &number:";
    case CaseInfo::Field::Examiner:
        return "E&xaminer:";
    case CaseInfo::Field::Agency:
        return "&Agency:";
    case CaseInfo::Field::Incident:
        return "Date of the &incident:";
    case CaseInfo::Field::Examined:
        return "Date of the e&xamination:";
    case CaseInfo::Field::Decedent:
        return "&Decedent identifier:";
    case CaseInfo::Field::Notes:
        break;
    }
    return "N&otes:";
}

bool IsDate(CaseInfo::Field field) {
    return field == CaseInfo::Field::Incident || field == CaseInfo::Field::Examined;
}

} // namespace

CaseInfoDialog::CaseInfoDialog(CaseEditor& theEditor, Platform& thePlatform, QWidget* parent)
    : QDialog(parent), editor(theEditor), platform(thePlatform) {
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (size_t i = 0; i < lines.size(); ++i) {
        const CaseInfo::Field field = CaseInfo::kFields[i];
        auto* line = new QLineEdit(this);
        line->setObjectName(QString::fromLatin1(CaseInfo::Key(field)) + "Field");
        line->setMaxLength(static_cast<int>(CaseInfo::kMaxFieldLength));
        if (IsDate(field)) {
            line->setPlaceholderText("yyyy-mm-dd");
        }
        form->addRow(LabelOf(field), line);
        lines[i] = line;
    }
    notes = new QPlainTextEdit(this);
    notes->setObjectName("notesField");
    notes->setTabChangesFocus(true);
    form->addRow(LabelOf(CaseInfo::Field::Notes), notes);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CaseInfoDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(460, 380);
}

QLineEdit* CaseInfoDialog::LineField(CaseInfo::Field field) const {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (CaseInfo::kFields[i] == field) {
            return lines[i];
        }
    }
    return nullptr;
}

int CaseInfoDialog::exec() {
    const CaseInfo& info = editor.GetCase().info;
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i]->setText(QString::fromStdString(info.Get(CaseInfo::kFields[i])));
    }
    notes->setPlainText(QString::fromStdString(info.Notes()));
    lines[0]->setFocus();
    lines[0]->selectAll();
    return QDialog::exec();
}

CaseInfo CaseInfoDialog::FieldValues() const {
    CaseInfo info;
    for (size_t i = 0; i < lines.size(); ++i) {
        info.Set(CaseInfo::kFields[i], lines[i]->text().trimmed().toStdString());
    }
    info.Set(CaseInfo::Field::Notes, notes->toPlainText().toStdString());
    return info;
}

void CaseInfoDialog::accept() {
    const CaseInfo info = FieldValues();
    for (const CaseInfo::Field field : CaseInfo::kFields) {
        const std::string problem = CaseInfo::Problem(field, info.Get(field));
        if (problem.empty()) {
            continue;
        }
        std::string title(CaseInfo::Title(field));
        title[0] = static_cast<char>(title[0] - 'a' + 'A');
        title.append(" ").append(problem).append(".");
        platform.ShowMessage(this, QString::fromStdString(title), kCaption);
        if (QLineEdit* line = LineField(field)) {
            line->setFocus();
            line->selectAll();
        } else {
            notes->setFocus();
        }
        return; // the dialog stays open on the field
    }
    editor.EditCaseInfo(kCaption, info);
    QDialog::accept();
}
