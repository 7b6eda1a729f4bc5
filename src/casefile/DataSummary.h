#pragma once

#include <string>

struct Case;

// The plain-text report of a case shown by "Data summary": the body's name and height, then every
// trajectory's points (cm), adjustment and angles, then every element's position. Lines end in
// CR LF. The text grows with the case; nothing is ever cut.
class DataSummary {
public:
    // How labels and the body's name appear: as typed (the window's summary shows a label's line
    // breaks, as it always has), or each character that is not printable written as an escape, so
    // that on a terminal no label can move the cursor or pass for a line of the summary.
    enum class Texts { AsTyped, Printable };

    static std::string Build(const Case& theCase, Texts texts = Texts::AsTyped);
};
