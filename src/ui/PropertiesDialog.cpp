#include "ui/PropertiesDialog.h"
#include "case/CaseText.h"

#include "case/Case.h"
#include "casefile/DataFile.h"
#include "edit/CaseEditor.h"
#include "view/ViewState.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

// Every label the dialog takes must be saved on one line and read back whole: a character of the
// field is at most three bytes of UTF-8, and the longest entity the file writes for one is five.
static_assert(static_cast<std::size_t>(PropertiesDialog::kMaxCharacters) * 5 <= kMaxCaseTextLength);

PropertiesDialog::PropertiesDialog(CaseEditor& theEditor, const ViewState& theView, QWidget* parent)
    : QDialog(parent), editor(theEditor), view(theView) {
    setWindowTitle("Properties");
    auto* layout = new QVBoxLayout(this);
    textField = new QPlainTextEdit(this);
    textField->setObjectName("textField");
    textField->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField->installEventFilter(this);
    layout->addWidget(textField);
    auto* keys = new QLabel("Enter starts a new line; Ctrl+Enter presses OK.", this);
    keys->setObjectName("keysHint");
    layout->addWidget(keys);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancelButton");
    cancel->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &PropertiesDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 300);
}

QString PropertiesDialog::ToFieldText(const std::string& stored) {
    QString field = QString::fromStdString(stored);
    field.replace("\r\n", "\n");
    return field;
}

std::string PropertiesDialog::FromFieldText(const QString& field) {
    QString stored = field;
    stored.replace("\r\n", "\n");
    stored.replace("\n", "\r\n");
    return stored.left(kMaxCharacters).toStdString();
}

bool PropertiesDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textField && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && key->modifiers().testFlag(Qt::ControlModifier)) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int PropertiesDialog::exec() {
    const Case& theCase = editor.GetCase();
    if (const Trajectory* trajectory = view.SelectedTrajectory(theCase)) {
        text = trajectory->label;
    } else if (const Element* element = view.SelectedElement(theCase)) {
        text = element->label;
    }
    textField->setPlainText(ToFieldText(text));
    textField->setFocus();
    return QDialog::exec();
}

void PropertiesDialog::accept() {
    text = FromFieldText(textField->toPlainText());
    const Case& theCase = editor.GetCase();
    if (view.SelectedTrajectory(theCase) != nullptr) {
        editor.EditTrajectory(view.GetSelectedTrajectoryNumber(), "Properties",
                              [this](Trajectory& trajectory) { trajectory.label = text; });
    } else if (view.SelectedElement(theCase) != nullptr) {
        editor.EditElement(view.GetSelectedElementNumber(), "Properties",
                           [this](Element& element) { element.label = text; });
    }
    QDialog::accept();
}
