#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;

// "Data summary": shows the case report, read only; Enter closes it. The report gives the angles
// of the measured points, and a line under it says so, since a posed body's tracks run otherwise.
class DataSummaryDialog : public QDialog {
    Q_OBJECT
public:
    explicit DataSummaryDialog(QWidget* parent = nullptr);

    void SetSummaryText(const std::string& value);
    int exec() override;

private:
    std::string text = "No data available\r\n";
    QPlainTextEdit* textField;
};
