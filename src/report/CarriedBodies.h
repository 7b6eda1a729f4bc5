#pragma once

#include "case/CarriedFrom.h"

#include <string>
#include <string_view>

// How a carried case's points reached the body they stand on, as the report states it.
inline constexpr std::string_view kCarriedPointRule =
    "each point by its height above the soles and its offsets from the midline and the back";

// "Carried from the CT body of series UID (length 172.4 cm) to the posable body scaled to
// 172.4 cm (x 0.862), each point by ...": both bodies and how the points were carried.
std::string CarriedBodiesText(const CarriedFrom& carried);
