#include "report/CarriedBodies.h"

#include "base/NumberText.h"

namespace {

constexpr double kCentimetresPerMetre = 100;

} // namespace

std::string CarriedBodiesText(const CarriedFrom& carried) {
    return "Carried from the CT body of series " + carried.seriesUid + " (length " +
           FormatFixed(carried.ctLength * kCentimetresPerMetre, 0, 1) +
           " cm) to the posable body scaled to " +
           FormatFixed(carried.bodyLength * kCentimetresPerMetre, 0, 1) + " cm (x " +
           FormatFixed(carried.bodyScale, 0, 3) + "), " + std::string(kCarriedPointRule) + ".";
}
