#include "ui/DialogInput.h"

#include "base/ValueLimits.h"
#include "case/Case.h"
#include "ui/ColorSwatch.h"
#include "ui/ConcealedDialog.h"
#include "ui/Platform.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace {

constexpr int kMaxFieldCharacters = 78;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the run of digits starting at `from`.
std::size_t DigitRun(const std::string& text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end - from;
}

// The end of the longest decimal number starting at `start`, or `start` when there is none.
std::size_t NumberEnd(const std::string& text, std::size_t start) {
    std::size_t at = start;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    const std::size_t whole = DigitRun(text, at);
    at += whole;
    std::size_t fraction = 0;
    if (at < text.size() && text[at] == '.') {
        fraction = DigitRun(text, at + 1);
        if (whole > 0 || fraction > 0) {
            at += 1 + fraction;
        }
    }
    if (whole == 0 && fraction == 0) {
        return start;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t digits = DigitRun(text, exponent);
        if (digits > 0) {
            at = exponent + digits;
        }
    }
    return at;
}

unsigned char ChannelToByte(double channel) {
    const double scaled = channel * 255.0;
    if (!(scaled > 0.0)) {
        return 0;
    }
    return scaled >= 255.0 ? 255 : static_cast<unsigned char>(scaled);
}

} // namespace

double ReadLenientNumber(const QString& text) {
    const std::string field = text.left(kMaxFieldCharacters).toStdString();
    std::size_t start = 0;
    while (start < field.size() && std::isspace(static_cast<unsigned char>(field[start]))) {
        ++start;
    }
    const std::size_t end = NumberEnd(field, start);
    if (end == start) {
        return 0.0;
    }
    std::size_t first = start;
    if (field[first] == '+') {
        ++first; // from_chars takes no leading plus
    }
    double value = 0.0;
    const auto result = std::from_chars(field.data() + first, field.data() + end, value);
    return result.ec == std::errc() ? value : 0.0;
}

double ReadCentimetres(const QString& text) {
    // A typed 1e300 would square to infinity in the trajectory's angles: a length no body has
    // reads as 0, as it does from a data file.
    const double metres = ReadLenientNumber(text) / 100.0;
    return value_limits::IsLength(metres) ? metres : 0.0;
}

namespace {

// One number of centimetres, blanks around it and the unit "cm" after it allowed; nothing when the
// text is anything else.
std::optional<double> StrictCentimetres(const std::string& typed) {
    const std::size_t end = NumberEnd(typed, 0);
    const QString unit = QString::fromStdString(typed.substr(end)).trimmed();
    if (end == 0 || !(unit.isEmpty() || unit.compare("cm", Qt::CaseInsensitive) == 0)) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* first = typed.data() + (typed.front() == '+' ? 1 : 0);
    if (std::from_chars(first, typed.data() + end, value).ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

QString ReadCoordinate(const QString& text, const QString& field, double& metres) {
    const QString trimmed = text.trimmed().left(kMaxFieldCharacters);
    if (trimmed.isEmpty()) {
        return field + " is empty: type a number in centimetres.";
    }
    const std::optional<double> centimetres = StrictCentimetres(text.trimmed().toStdString());
    if (!centimetres) {
        return QString("%1 \"%2\" is not a number: type a number in centimetres.")
            .arg(field, trimmed);
    }
    if (!value_limits::IsLength(*centimetres / 100.0)) {
        return QString("%1 \"%2\" is beyond any measure: type a number of centimetres within "
                       "100000000 either way.")
            .arg(field, trimmed);
    }
    metres = *centimetres / 100.0;
    return {};
}

QString ReadUncertainty(const QString& text, const QString& field, double& metres) {
    const QString trimmed = text.trimmed().left(kMaxFieldCharacters);
    if (trimmed.isEmpty()) {
        return QString("%1 is empty: type the radius in centimetres, within 0 and %2.")
            .arg(field)
            .arg(value_limits::kLargestUncertainty * 100.0);
    }
    const std::optional<double> centimetres = StrictCentimetres(text.trimmed().toStdString());
    if (!centimetres || !Trajectory::IsRadius(*centimetres / 100.0)) {
        return QString("%1 \"%2\" is refused: type the radius in centimetres, within 0 and %3.")
            .arg(field, trimmed)
            .arg(value_limits::kLargestUncertainty * 100.0);
    }
    metres = *centimetres / 100.0;
    return {};
}

QColor ColorFromChannels(double red, double green, double blue) {
    return QColor(ChannelToByte(red), ChannelToByte(green), ChannelToByte(blue));
}

Vec3 ChannelsOf(const QColor& color) {
    return {color.red() / 255.0, color.green() / 255.0, color.blue() / 255.0};
}

void ChooseProposedColor(QColor& proposed, Platform& platform, QWidget* dialog, ColorSwatch& swatch,
                         const std::function<void()>& redraw) {
    QColor chosen;
    {
        // The dialog steps aside while the chooser is open and comes back with the keyboard.
        const ConcealedDialog concealed(*dialog);
        chosen = platform.ChooseColor(concealed.ChooserOwner(), swatch.GetColor());
    }
    swatch.SetColor(chosen);
    proposed = chosen;
    if (redraw) {
        redraw();
    }
}

QString CentimetreText(double metres) {
    double centimetres = std::round(metres * 100 * 100) / 100;
    if (centimetres == 0) {
        centimetres = 0; // no minus sign on a length that rounds to nothing
    }
    return QString::number(centimetres, 'f', 2);
}

QString UncertaintyText(double metres) {
    // Trailing zeros dropped, but at least one decimal: 1 cm reads "1.0", 0.25 cm "0.25".
    QString text = QString::number(metres * 100.0, 'f', 4);
    while (text.endsWith('0') && !text.endsWith(".0")) {
        text.chop(1);
    }
    return text;
}
