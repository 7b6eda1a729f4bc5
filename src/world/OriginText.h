#pragma once

#include <string>

struct Case;
struct HeightReach;
struct OriginAnalysis;

// The origin zones and convergences of a case as the command line prints them: one table per
// trajectory in the scene frame (cm), each zone also as a distance and bearing from the body,
// then the shot groups. `analysis` is that of the case's posed case; the case gives the labels,
// the exterior points and the world.
std::string FormatOriginTable(const Case& theCase, const OriginAnalysis& analysis);

// What a height reached by fewer than kFewestReachingDraws draws says in place of an interval:
// "too few draws for an interval (3 of 40 needed)".
std::string TooFewDrawsText(const HeightReach& reach);

// A share of draws (0 to 1) as a percentage with one decimal: "100 %" and "0 %" only when all or
// none, "> 99.9 %" and "< 0.1 %" when rounding would say so otherwise.
std::string ReachShareText(double share);

// The bearing of a scene point seen from the body, in the body's own direction convention:
// 0 toward its back, 90 toward its left, 180 toward its front, 270 toward its right (degrees).
double BearingFromBody(const Case& theCase, double sceneX, double sceneZ);
