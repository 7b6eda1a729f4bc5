#pragma once

#include <string>

struct Case;

// The plain-text report of a case shown by "Data summary": the body's name and height, then every
// trajectory's points (cm), adjustment and angles, then every element's position. Lines end in
// CR LF. The text grows with the case; nothing is ever cut.
class DataSummary {
public:
    static std::string Build(const Case& theCase);
};
