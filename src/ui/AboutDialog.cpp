#include "ui/AboutDialog.h"

#include "base/AppInfo.h"
#include "ui/AppIcons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), versionText(new QLabel), legalText(new QLabel), rightsText(new QLabel) {
    setWindowTitle(QStringLiteral("About Ruvo"));
    const AppInfo& info = GetAppInfo();
    versionText->setText(QStringLiteral("Version ") + QString::fromStdString(info.version));
    legalText->setText(QString::fromStdString(info.legalNotice));
    rightsText->setText(QString::fromStdString(info.rightsNotice));

    auto* icon = new QLabel;
    icon->setPixmap(ApplicationIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(versionText);
    texts->addWidget(legalText);
    texts->addWidget(rightsText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString AboutDialog::GetVersionText() const {
    return versionText->text();
}

QString AboutDialog::GetLegalText() const {
    return legalText->text();
}

QString AboutDialog::GetRightsText() const {
    return rightsText->text();
}
