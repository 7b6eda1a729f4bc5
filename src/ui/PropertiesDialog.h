#pragma once

#include <QDialog>

#include <string>

class CaseEditor;
class QPlainTextEdit;
class ViewState;

// "Properties": edits the text of the selected trajectory (or else element), which is its label
// in the view and its text in the data file. Lines are separated by "\r\n" in the stored text.
// Enter in the field starts a new line; Ctrl+Enter presses OK.
class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxCharacters = 4999;

    PropertiesDialog(CaseEditor& editor, const ViewState& view, QWidget* parent = nullptr);

    int exec() override;
    void accept() override;
    const std::string& GetText() const { return text; }

    // "\r\n" in a stored text becomes a line of the field, and back.
    static QString ToFieldText(const std::string& stored);
    static std::string FromFieldText(const QString& field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CaseEditor& editor;
    const ViewState& view;
    std::string text = "Props: No data available\r\n";
    QPlainTextEdit* textField;
};
