#include "casefile/CaseInfoBlock.h"

#include "base/TextEscaping.h"
#include "base/Utf8Text.h"

namespace {

std::string OpeningTag(CaseInfo::Field field) {
    return "<" + std::string(CaseInfo::Key(field)) + ">";
}

// A refused value as the note shows it: cut when long (a hand-edited line may hold 32 KiB), never
// inside a character, and with its line breaks as the file wrote them.
std::string Quoted(const std::string& raw) {
    constexpr size_t kLongest = 40;
    const std::string_view shown = FirstCharacters(raw, kLongest);
    return "\"" + std::string(shown) + (shown.size() < raw.size() ? "...\"" : "\"");
}

} // namespace

void CaseInfoBlock::Append(std::string& out, const CaseInfo& info, std::string_view lineEnd) {
    if (info.IsEmpty()) {
        return;
    }
    out.append(lineEnd).append("<case>").append(lineEnd);
    for (const CaseInfo::Field field : CaseInfo::kFields) {
        const std::string& value = info.Get(field);
        if (value.empty()) {
            continue;
        }
        const std::string_view key = CaseInfo::Key(field);
        out.append("  <").append(key).append(">").append(EscapeText(value));
        out.append("</").append(key).append(">").append(lineEnd);
    }
    out.append("</case>").append(lineEnd);
}

void CaseInfoBlock::Start() {
    for (std::string& value : values) {
        value.clear();
    }
    lines.fill(0);
}

void CaseInfoBlock::Store(std::string_view lowered, std::string_view value, long line) {
    for (int i = 0; i < CaseInfo::kFieldCount; ++i) {
        if (lowered.find(OpeningTag(CaseInfo::kFields[i])) != std::string_view::npos) {
            values[i] = value;
            lines[i] = line;
            return;
        }
    }
}

CaseInfo CaseInfoBlock::Finish(const NoteSink& note) const {
    CaseInfo info;
    for (int i = 0; i < CaseInfo::kFieldCount; ++i) {
        const CaseInfo::Field field = CaseInfo::kFields[i];
        std::string plain = UnescapeText(values[i]);
        if (const std::string problem = CaseInfo::Problem(field, plain); !problem.empty()) {
            note("The " + std::string(CaseInfo::Title(field)) + " " + Quoted(values[i]) +
                 " on line " + std::to_string(lines[i]) + " of the data file left out: it " +
                 problem + ".");
            continue;
        }
        info.Set(field, std::move(plain));
    }
    return info;
}
