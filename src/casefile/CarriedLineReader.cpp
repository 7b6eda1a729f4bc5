#include "casefile/CarriedLineReader.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "base/TextWords.h"
#include "case/CaseText.h"
#include "casefile/LineText.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

using line_text::Contains;

// A length or a scale no body has is no record of one: a hundred metres is beyond any.
constexpr double kLargestValue = 100;

} // namespace

bool CarriedLineReader::StoreValue(std::string_view lowered, std::string_view value) {
    if (!inBlock) {
        return false;
    }
    const std::array<std::pair<std::string_view, std::string*>, 6> fields = {{
        {"<ctfolder>", &folder},
        {"<ctseries>", &series},
        {"<ctsha256>", &sha256},
        {"<ctlength>", &ctLength},
        {"<bodylength>", &bodyLength},
        {"<bodyscale>", &bodyScale},
    }};
    for (const auto& [tag, field] : fields) {
        if (Contains(lowered, tag)) {
            *field = std::string(value);
            break;
        }
    }
    return true; // anything else in the block is skipped, as unknown lines are
}

bool CarriedLineReader::HandleTagLine(std::string_view lowered, long lineNumber,
                                      std::optional<CarriedFrom>& carried) {
    if (Contains(lowered, "</carried>")) {
        if (inBlock) {
            inBlock = false;
            if (std::optional<CarriedFrom> finished = Finish()) {
                carried = std::move(finished);
            }
        }
        return true;
    }
    if (Contains(lowered, "<carried>")) {
        inBlock = true;
        blockLine = lineNumber;
        folder.clear();
        series.clear();
        sha256.clear();
        ctLength.clear();
        bodyLength.clear();
        bodyScale.clear();
        return true;
    }
    return false;
}

void CarriedLineReader::NoteUnfinishedBlock() {
    if (inBlock) {
        LeftOut("the file ends before its </carried>");
    }
}

void CarriedLineReader::LeftOut(std::string_view why) {
    note("The record of the CT body the case was carried from (line " + std::to_string(blockLine) +
         ") left out: " + std::string(why) + ".");
}

bool CarriedLineReader::TextInto(std::string_view what, const std::string& raw, std::string& text) {
    text = std::string(Trimmed(UnescapeText(raw)));
    if (CaseTextFits(text)) {
        return true;
    }
    LeftOut("its " + std::string(what) + " would take more than the " +
            std::to_string(kMaxCaseTextLength) + " bytes a text of the data file may take");
    return false;
}

bool CarriedLineReader::NumberInto(std::string_view what, const std::string& raw, double& number) {
    const std::optional<double> value = ParseNumberToken(raw);
    if (value && std::isfinite(*value) && *value > 0 && *value <= kLargestValue) {
        number = *value;
        return true;
    }
    LeftOut("its " + std::string(what) + " \"" + raw + "\" is no positive number");
    return false;
}

std::optional<CarriedFrom> CarriedLineReader::Finish() {
    CarriedFrom read;
    const bool whole = TextInto("folder", folder, read.ctFolder) &&
                       TextInto("series", series, read.seriesUid) &&
                       TextInto("hash", sha256, read.seriesSha256) &&
                       NumberInto("CT length", ctLength, read.ctLength) &&
                       NumberInto("body length", bodyLength, read.bodyLength) &&
                       NumberInto("scale", bodyScale, read.bodyScale);
    if (!whole) {
        return std::nullopt;
    }
    if (!read.IsCarried()) {
        LeftOut("it names no CT series");
        return std::nullopt;
    }
    return read;
}
