#pragma once

#include <string>
#include <string_view>

struct Trajectory;

// In a trajectory block, one "  <point>x y z</point>" line per point between IN and OUT (body
// frame, metres, in order from IN to OUT), each followed by "  <pointradius>r</pointradius>"
// when its radius is not the default and "  <pointpart>PART</pointpart>" when its part is known.
// A trajectory without points gets no line, so its block is what earlier versions wrote; they
// skip these lines.
void AppendTrackPointLines(std::string& out, const Trajectory& trajectory,
                           std::string_view lineEnd);
