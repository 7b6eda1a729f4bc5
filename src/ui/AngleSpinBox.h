#pragma once

#include <QDoubleSpinBox>

#include <optional>

// A spin box for a joint's angle that never changes what was typed behind the user's back, and
// whose Ctrl+Z is the window's.
//
// A plain spin box refuses each keystroke that would take its text past the range, so typing 200
// into a box that ends at 90 silently gives 20. This one lets any number be typed; when one beyond
// the range is entered (Enter or leaving the box) it is not taken, the box goes back to the value
// it showed and typedBeyondRange names the number, so that the panel can say why.
//
// Its line edit would otherwise take Ctrl+Z and Ctrl+Y for its own text: here they reach the
// window's undo and redo, so that a typed angle, one edit of the case, is taken back by the same
// key as every other edit. Typing not yet entered goes with it.
class AngleSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit AngleSpinBox(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;

signals:
    // A number beyond the range was entered and not taken.
    void typedBeyondRange(double typed);

protected:
    bool event(QEvent* event) override;

private:
    // The number the text holds without prefix and suffix, if it is one.
    std::optional<double> NumberIn(const QString& text) const;
    void ReportRefused();

    // Set while the spin box corrects an entered number beyond the range; reported once the entry
    // is finished.
    mutable std::optional<double> refused;
};
