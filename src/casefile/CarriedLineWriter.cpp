#include "casefile/CarriedLineWriter.h"

#include "base/NumberText.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/CaseText.h"
#include "casefile/LineText.h"

using line_text::AppendValueLine;

void AppendCarriedBlock(std::string& out, const Case& theCase, std::string_view lineEnd) {
    const CarriedFrom& carried = theCase.carriedFrom;
    if (!carried.IsCarried()) {
        return;
    }
    out.append(lineEnd).append("<carried>").append(lineEnd);
    AppendValueLine(out, "  ", "ctfolder", EscapeText(carried.ctFolder), lineEnd);
    AppendValueLine(out, "  ", "ctseries", EscapeText(carried.seriesUid), lineEnd);
    if (!carried.seriesSha256.empty()) {
        AppendValueLine(out, "  ", "ctsha256", EscapeText(carried.seriesSha256), lineEnd);
    }
    // Lengths in metres with four decimals, as every length of the file.
    AppendValueLine(out, "  ", "ctlength", FormatFixed(carried.ctLength, 0, 4), lineEnd);
    AppendValueLine(out, "  ", "bodylength", FormatFixed(carried.bodyLength, 0, 4), lineEnd);
    AppendValueLine(out, "  ", "bodyscale", FormatFixed(carried.bodyScale, 0, 6), lineEnd);
    out.append("</carried>").append(lineEnd);
}

std::string CarriedTextTooLong(const Case& theCase) {
    const CarriedFrom& carried = theCase.carriedFrom;
    if (!CaseTextFits(carried.ctFolder)) {
        return "the folder of the CT series the case was carried from";
    }
    if (!CaseTextFits(carried.seriesUid) || !CaseTextFits(carried.seriesSha256)) {
        return "the CT series the case was carried from";
    }
    return {};
}
