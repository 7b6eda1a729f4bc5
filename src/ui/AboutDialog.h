#pragma once

#include <QDialog>

class QLabel;

// The About box: the application icon, the version line, the copyright line and the rights
// notice, and an OK button.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QString GetVersionText() const;
    QString GetLegalText() const;
    QString GetRightsText() const;

private:
    QLabel* versionText;
    QLabel* legalText;
    QLabel* rightsText;
};
