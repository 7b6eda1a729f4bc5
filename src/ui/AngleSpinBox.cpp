#include "ui/AngleSpinBox.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLocale>

#include <cmath>

AngleSpinBox::AngleSpinBox(QWidget* parent) : QDoubleSpinBox(parent) {
    // Enter and leaving the box both end an entry; the correction has been made by then.
    connect(this, &QAbstractSpinBox::editingFinished, this, &AngleSpinBox::ReportRefused);
}

std::optional<double> AngleSpinBox::NumberIn(const QString& text) const {
    QString number = text;
    if (!prefix().isEmpty() && number.startsWith(prefix())) {
        number.remove(0, prefix().size());
    }
    if (!suffix().isEmpty() && number.endsWith(suffix())) {
        number.chop(suffix().size());
    }
    bool read = false;
    const double value = locale().toDouble(number.trimmed(), &read);
    if (!read || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

QValidator::State AngleSpinBox::validate(QString& text, int& position) const {
    const QValidator::State state = QDoubleSpinBox::validate(text, position);
    if (state != QValidator::Invalid) {
        return state;
    }
    // A number beyond the range may be typed; it is refused, with a word, when entered. Within
    // the range a keystroke stays refused as before (a digit past the box's decimals), since the
    // box would otherwise go back to its old value on Enter without a word.
    const std::optional<double> number = NumberIn(text);
    return number && (*number < minimum() || *number > maximum()) ? QValidator::Intermediate
                                                                  : QValidator::Invalid;
}

void AngleSpinBox::fixup(QString& text) const {
    const std::optional<double> typed = NumberIn(text);
    if (typed && (*typed < minimum() || *typed > maximum())) {
        refused = typed;
    }
    QDoubleSpinBox::fixup(text);
}

void AngleSpinBox::ReportRefused() {
    if (!refused) {
        return;
    }
    const double typed = *refused;
    refused.reset();
    emit typedBeyondRange(typed);
}

bool AngleSpinBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            // Not taken here: the window's shortcut acts.
            event->ignore();
            return true;
        }
    }
    return QDoubleSpinBox::event(event);
}
