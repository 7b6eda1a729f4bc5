#include "case/CaseInfo.h"

#include "base/Utf8Text.h"
#include "case/CaseText.h"

#include <optional>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int Digits(std::string_view text) {
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Why the text cannot stand in a field shown on one line of a page, a title bar or a terminal (or,
// `multiline`, in the notes): empty when it can. Controls keep the words files have always been
// given; a character that reorders the line or breaks it, a noncharacter or a byte that is not
// UTF-8 is named, since it cannot be seen.
std::string UnprintableProblem(std::string_view value, bool multiline) {
    const std::optional<Utf8Character> refused = FirstUnprintable(value, multiline);
    if (!refused) {
        return {};
    }
    if (refused->valid && IsControlCharacter(refused->value)) {
        return multiline ? "may hold no control character other than line breaks and tabs"
                         : "must be one line without control characters";
    }
    const std::string name = CharacterName(*refused);
    if (!refused->valid) {
        return "must be UTF-8 text, not " + name;
    }
    if (IsLayoutControl(refused->value)) {
        return "may not hold " + name +
               ", which breaks the line or changes the order its letters are shown in";
    }
    return "may not hold " + name + ", which is no character";
}

} // namespace

std::string_view CaseInfo::Key(Field field) {
    switch (field) {
    case Field::Number:
        return "number";
    case Field::Examiner:
        return "examiner";
    case Field::Agency:
        return "agency";
    case Field::Incident:
        return "incident";
    case Field::Examined:
        return "examined";
    case Field::Decedent:
        return "decedent";
    case Field::Notes:
        break;
    }
    return "notes";
}

std::string_view CaseInfo::Title(Field field) {
    switch (field) {
    case Field::Number:
        return "case number";
    case Field::Examiner:
        return "examiner";
    case Field::Agency:
        return "agency";
    case Field::Incident:
        return "date of the incident";
    case Field::Examined:
        return "date of the examination";
    case Field::Decedent:
        return "decedent identifier";
    case Field::Notes:
        break;
    }
    return "notes";
}

std::string CaseInfo::*CaseInfo::Member(Field field) {
    switch (field) {
    case Field::Number:
        return &CaseInfo::number;
    case Field::Examiner:
        return &CaseInfo::examiner;
    case Field::Agency:
        return &CaseInfo::agency;
    case Field::Incident:
        return &CaseInfo::incident;
    case Field::Examined:
        return &CaseInfo::examined;
    case Field::Decedent:
        return &CaseInfo::decedent;
    case Field::Notes:
        break;
    }
    return &CaseInfo::notes;
}

const std::string& CaseInfo::Get(Field field) const {
    return this->*Member(field);
}

void CaseInfo::Set(Field field, std::string value) {
    this->*Member(field) = std::move(value);
}

bool CaseInfo::IsEmpty() const {
    for (const Field field : kFields) {
        if (!Get(field).empty()) {
            return false;
        }
    }
    return true;
}

bool CaseInfo::IsIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (const size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!IsDigit(text[i])) {
            return false;
        }
    }
    const int year = Digits(text.substr(0, 4));
    const int month = Digits(text.substr(5, 2));
    const int day = Digits(text.substr(8, 2));
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

std::string CaseInfo::Problem(Field field, std::string_view value) {
    if (value.empty()) {
        return {};
    }
    if (field == Field::Incident || field == Field::Examined) {
        return IsIsoDate(value) ? std::string()
                                : "must be a date written yyyy-mm-dd, for example 2026-03-14";
    }
    const bool multiline = field == Field::Notes;
    if (std::string problem = UnprintableProblem(value, multiline); !problem.empty()) {
        return problem;
    }
    if (multiline) {
        return CaseTextFits(value)
                   ? std::string()
                   : "would take more than the " + std::to_string(kMaxCaseTextLength) +
                         " bytes a text of the data file may take";
    }
    return CountCharacters(value) <= kMaxFieldLength
               ? std::string()
               : "may be at most " + std::to_string(kMaxFieldLength) + " characters long";
}
