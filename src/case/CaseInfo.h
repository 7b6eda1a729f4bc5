#pragma once

#include <string>
#include <string_view>

// Who examined what, and when: the facts that identify a case on every page of its report and in
// the window's title. Every field may be empty; the dates are ISO dates ("2026-03-14") or empty.
class CaseInfo {
public:
    // The longest case number, examiner, agency or decedent identifier, in characters: each goes
    // into the title bar and the report's running header, where a line of a few dozen words is
    // already more than a page can show.
    static constexpr std::size_t kMaxFieldLength = 200;

    // The fields as the data file and the report name them, in that order.
    enum class Field { Number, Examiner, Agency, Incident, Examined, Decedent, Notes };
    static constexpr int kFieldCount = 7;
    static constexpr Field kFields[kFieldCount] = {
        Field::Number,   Field::Examiner, Field::Agency, Field::Incident,
        Field::Examined, Field::Decedent, Field::Notes};
    // "number", "examiner", ...: the data file's tag and the report's key.
    static std::string_view Key(Field field);
    // "case number", "examiner", ...: how a message names the field.
    static std::string_view Title(Field field);

    const std::string& Get(Field field) const;
    void Set(Field field, std::string value);

    const std::string& Number() const { return number; }
    const std::string& Examiner() const { return examiner; }
    const std::string& Agency() const { return agency; }
    const std::string& Incident() const { return incident; }
    const std::string& Examined() const { return examined; }
    const std::string& Decedent() const { return decedent; }
    const std::string& Notes() const { return notes; }

    bool IsEmpty() const;

    // Why a value cannot be the field's, in a phrase that follows "the <field> ... ": empty when
    // it can. Dates must be real days written yyyy-mm-dd; the one-line fields are printable text:
    // no line break nor other control character (C0 or C1), no character that reorders or breaks
    // the line (the bidirectional controls, U+2028, U+2029), no noncharacter, only UTF-8, and at
    // most kMaxFieldLength characters; the notes take line breaks and tabs besides, and as many
    // bytes as a data file's text line holds.
    static std::string Problem(Field field, std::string_view value);
    // True for a date written yyyy-mm-dd that names a day of the calendar.
    static bool IsIsoDate(std::string_view text);

    bool operator==(const CaseInfo&) const = default;

private:
    static std::string CaseInfo::*Member(Field field);

    std::string number;
    std::string examiner;
    std::string agency;
    std::string incident;
    std::string examined;
    std::string decedent;
    std::string notes;
};
