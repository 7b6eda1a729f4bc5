#pragma once

#include "budget/TrackSampler.h"

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class PosedCase;
struct Case;

// The uncertainty budget of one trajectory: the spread of its posed track's angles when every
// source the case names varies as its model says, found by drawing (Monte Carlo) from a fixed seed
// so that the same case gives the same figures, on one core or many.
//
// Each draw moves IN and OUT uniformly within their balls and by the soft tissue's normal shift
// (both in the anatomical position), turns every joint that carries either point by its normal
// spread, poses the two points as the posture does and measures the track. The 95 % intervals
// are the central ones (2.5 % to 97.5 %) of the direction's deviation from the nominal direction
// (wrapped to +-180 degrees and added back) and of the elevation; the 95 % cone is the 95 %
// quantile of the angle between a draw's direction and the nominal one. The same draws, before the
// posture carries them, give the intervals of the anatomical angles: the measured points'
// uncertainty without the posture's.
struct BudgetSource {
    std::string source; // "posture of the right arm", "soft tissue", "IN and OUT"
    double cone95 = 0;  // degrees, with this source alone
};

// An angle pair with its 95 % intervals, degrees.
struct AngleIntervals {
    double direction = 0, elevation = 0;       // nominal
    std::array<double, 2> directionInterval{}; // read as bearings: the low end may exceed the
                                               // high end's value across 0/360
    std::array<double, 2> elevationInterval{};
    // False where the track's cone reaches the vertical (DirectionUndetermined): the bearing
    // may then be anything, and the direction interval is not stated.
    bool directionDetermined = true;
};

struct UncertaintyBudget {
    int draws = 0;
    double direction = 0, elevation = 0;       // nominal, degrees
    std::array<double, 2> directionInterval{}; // 95 %, degrees (the low end may exceed the high
                                               // end's value across 0/360: read it as a bearing)
    std::array<double, 2> elevationInterval{};
    bool directionDetermined = true; // as AngleIntervals::directionDetermined
    double cone95 = 0;
    std::vector<BudgetSource> sources; // every source that moves the track, largest first
    // The angles of the measured points (the body in the anatomical position) from the same
    // draws, before the posture carries them: only the balls and the soft tissue move them. A
    // body that is not posed has one set of angles: these are then the figures above.
    AngleIntervals anatomical;

    // The figures above of the posed track, as an angle pair with its intervals.
    AngleIntervals Posed() const {
        return {direction, elevation, directionInterval, elevationInterval, directionDetermined};
    }

    // "direction 212.4° (95 %: 208.1° to 216.9°), elevation −12.0° (95 %: −16.2° to −7.9°);
    // largest source: posture of the right arm"; "direction 0.0° (undetermined), ..." where
    // the direction is not determined.
    std::string Statement() const;
};

// What a budget's run tells as it goes, and how it is stopped; every part may be left empty.
struct BudgetRunHooks {
    // Each block of the run with every source on, as drawn: the number of its first draw and
    // its tracks. Called from the drawing threads, several at once.
    std::function<void(int first, std::span<const DrawnTrack> tracks)> eachBlock{};
    // The share of the budget's draws made so far, 0 to 1, from the calling thread.
    std::function<void(double share)> progress{};
    // Asked between blocks, from the drawing threads: true stops the run, which then returns
    // no budget.
    std::function<bool()> cancelled{};
};

// Each source alone is drawn a tenth as many times as the whole run, at least 1000 times: its
// 95 % cone to about a fiftieth of itself, enough to tell which source is the largest.
inline int SourceRankingDraws(int draws) {
    return draws / 10 > 1000 ? draws / 10 : 1000;
}

// The budget of the trajectory the user numbers `number`; none when its IN and OUT coincide (no
// direction) or the run was cancelled. The model's DrawCount() draws are made.
// `threads` 0: as many as the machine has, at most 8. `hooks` pass on the posed tracks of the
// run with every source on (the draws DrawPosedTracks makes) as they are drawn, for what is
// measured of them beyond the body frame, without keeping them all.
//
// The direction is undetermined (no direction interval) where the balls leave it so
// (DirectionUndetermined with their worst-case cone) or where the budget's 95 % cone reaches the
// vertical: the same rule for both cones.
std::optional<UncertaintyBudget> ComputeUncertaintyBudget(const PosedCase& posed, int number,
                                                          int threads = 0,
                                                          const BudgetRunHooks& hooks = {});

// The first `count` draws of the budget's run with every source on (the same seeds, so the same
// draws), for what is measured beyond the body frame; empty when IN and OUT coincide.
std::vector<DrawnTrack> DrawPosedTracks(const PosedCase& posed, int number, int count,
                                        int threads = 0);

// The draws the view and the exported scene make for a trajectory's cone: enough for the
// quantile to a tenth of a degree, few enough to follow a posture being dragged.
inline constexpr int kDrawnConeDraws = 20000;
// The 95 % cone alone (degrees) from `draws` draws of every source; none without a direction.
std::optional<double> UncertaintyCone95(const PosedCase& posed, int number,
                                        int draws = kDrawnConeDraws, int threads = 0);

// How the budget is made, in one sentence for a report's conventions.
std::string UncertaintyBudgetConvention(const Case& theCase);
