#include "casefile/CtLineWriter.h"

#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/CaseText.h"
#include "casefile/LineText.h"

using line_text::AppendValueLine;

void AppendCtBlock(std::string& out, const Case& theCase, std::string_view folderName,
                   std::string_view lineEnd) {
    if (!theCase.ct.IsCtBody()) {
        return;
    }
    out.append(lineEnd).append("<ct>").append(lineEnd);
    AppendValueLine(out, "  ", "folder", EscapeText(folderName), lineEnd);
    if (!theCase.ct.seriesUid.empty()) {
        AppendValueLine(out, "  ", "series", EscapeText(theCase.ct.seriesUid), lineEnd);
    }
    out.append("</ct>").append(lineEnd);
}

std::string CtTextTooLong(const Case& theCase) {
    if (!CaseTextFits(theCase.ct.folder)) {
        return "the folder of the CT series";
    }
    if (!CaseTextFits(theCase.ct.seriesUid)) {
        return "the UID of the CT series";
    }
    return {};
}
