#pragma once

#include "base/Status.h"
#include "case/ExteriorPoint.h"

#include <string>
#include <string_view>
#include <vector>

// The world's values as a person types them in the desktop program, in centimetres and degrees,
// read strictly: a text that is not one number, or a value no case takes, is refused with a
// sentence naming the field, and nothing is changed.

// A coordinate of the scene (cm) into metres; `field` names it ("the body's x").
Status ReadSceneCoordinate(std::string_view text, const std::string& field, double& metres);
// A heading in degrees.
Status ReadHeading(std::string_view text, const std::string& field, double& degrees);
// "150 100 30": one to eight muzzle heights in cm, each within 0 and 10000, into metres.
Status ReadMuzzleHeights(std::string_view text, std::vector<double>& metres);
// One exterior point per line, "x y z before|after [radius]" in cm (blank lines skipped), at
// most 20; a point without a radius has the default, 1 cm.
Status ReadExteriorPoints(std::string_view text, std::vector<ExteriorPoint>& points);
// A shot group's name: trimmed, at most 80 characters, one line.
Status ReadGroupName(std::string_view text, std::string& group);

// The texts those read, for a dialog that opens on the case's values.
std::string MuzzleHeightsText(const std::vector<double>& metres);
std::string ExteriorPointsText(const std::vector<ExteriorPoint>& points);
