#pragma once

#include "base/Status.h"

#include <string>

class Body;
struct Case;

// Carries a CT case's measurements to the posable body, so that posture, Align wounds, the scene
// and the origin zones work on a case measured on a scan. `carried` becomes the case on
// `posableBody` (a body model, not a scan) set to the CT body's length, in the anatomical position
// at stretches 1, named by `posableModelFile`. Every point of every trajectory (IN, OUT, the points
// between them) and every element's centre keeps its description (its height above the soles,
// its offsets from the midline and from the back, found from each body's surface at rest) and
// takes the part of the posable body nearest to it; radii, colours, labels, arrows, exterior
// points, groups, the world and the case information carry over as they are. The carried case
// records the series, its hash and both lengths (CarriedFrom). Refuses, leaving `carried` as it
// was, a case whose body is not a scan that has been read, and a posable body that is a scan or
// has no model.
Status CarryToPosableBody(const Case& ctCase, const Body& posableBody,
                          const std::string& posableModelFile, Case& carried);
