#include "case/CaseText.h"

#include "base/TextEscaping.h"

bool CaseTextFits(std::string_view text) {
    return EscapeText(text).size() <= kMaxCaseTextLength;
}
