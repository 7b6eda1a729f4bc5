#pragma once

#include "base/Status.h"
#include "body/Skeleton.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// What the uncertainty budget draws from besides each trajectory's balls around IN and OUT: the
// spread of every joint's angles (one figure for all joints, overridden joint by joint), the
// soft tissue that shifts between the body as shot and as measured, the body's heading and
// placement in the scene, and how many draws are made. Every figure is a standard deviation of a
// normal distribution; zero switches the source off.
struct UncertaintyModel {
    static constexpr int kDefaultDraws = 100000;
    // The budget draws at most this many: a case of twenty trajectories is drawn in seconds, in
    // a few tens of megabytes, and the 2.5 % and 97.5 % quantiles of this many draws move by
    // less than a twentieth of their spread from one seed to another.
    static constexpr int kMostDraws = 100000;
    static constexpr int kFewestDraws = 1000;
    static constexpr double kLargestAngleSigma = 90;   // degrees
    static constexpr double kLargestLengthSigma = 1.0; // metres

    double poseSigma = 0; // degrees, every joint's angles
    std::array<std::optional<double>, skeleton::kJointCount> jointSigma{}; // degrees
    double tissueSigma = 0;    // metres, each point, isotropic
    double headingSigma = 0;   // degrees, the body's heading in the scene
    double placementSigma = 0; // metres, the body's position in the scene, each axis
    int draws = kDefaultDraws;

    bool operator==(const UncertaintyModel&) const = default;

    double SigmaOf(skeleton::Joint joint) const {
        return jointSigma[static_cast<size_t>(joint)].value_or(poseSigma);
    }
    // Nothing beyond the balls: the model as a file without sigma lines has it.
    bool IsDefault() const { return *this == UncertaintyModel(); }

    // Sets the figure a "<sigma>NAME value</sigma>" line names (pose, tissue, heading, placement
    // or a joint's name). Refuses a negative, non-finite or implausibly large value and an
    // unknown name, naming the field; the model is then left as it was.
    Status SetSigma(std::string_view name, double value);
    // Sets the number of draws: a whole number from kFewestDraws; one above kMostDraws is
    // taken as kMostDraws (LimitsDraws says when). Refuses anything else, naming it.
    Status SetDraws(double value);
    // Whether SetDraws(value) takes kMostDraws in place of `value`.
    static bool LimitsDraws(double value);
    // The draws the budget makes: `draws` within kFewestDraws and kMostDraws, however it was
    // set.
    int DrawCount() const;
};
