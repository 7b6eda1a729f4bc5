#include "ui/DataSummaryDialog.h"

#include "ui/AngleLabel.h"
#include "ui/PropertiesDialog.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

DataSummaryDialog::DataSummaryDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Data summary");
    auto* layout = new QVBoxLayout(this);
    textField = new QPlainTextEdit(this);
    textField->setObjectName("textField");
    textField->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textField->setLineWrapMode(QPlainTextEdit::NoWrap);
    textField->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The report can be read, scrolled and copied but not changed, so Enter reaches the dialog
    // and presses OK.
    textField->setReadOnly(true);
    textField->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(textField);
    auto* angles = new QLabel(QString("Direction and elevation angles: %1, as measured.")
                                  .arg(AngleLabel(AngleKind::Anatomical)),
                              this);
    angles->setObjectName("angleLabel");
    layout->addWidget(angles);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    ok->setAutoDefault(false);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    resize(560, 480);
}

void DataSummaryDialog::SetSummaryText(const std::string& value) {
    text = value;
}

int DataSummaryDialog::exec() {
    textField->setPlainText(PropertiesDialog::ToFieldText(text));
    return QDialog::exec();
}
