#pragma once

#include <string>
#include <string_view>

class Body;
struct Case;

// A body drawn from a CT series is the decedent's own body as it lay in the scanner: its posture
// is the scanned one and its length the scan's. Turning a joint or stretching it would part the
// body from the scan its points are measured in, so those edits are refused, with the reason.
inline constexpr std::string_view kCtPostureRefusal =
    "The body is a CT scan: its posture is the posture it was scanned in.";
inline constexpr std::string_view kCtShapeRefusal =
    "The body is a CT scan: its height and stretches are those of the scan.";

// Why the case's body cannot be posed; empty when it can. For a command to say before it opens.
std::string PostureRefusal(const Case& theCase);

// Why the case's body may not change from `before` to `after`; empty when it may.
std::string BodyChangeRefusal(const Case& theCase, const Body& before, const Body& after);
