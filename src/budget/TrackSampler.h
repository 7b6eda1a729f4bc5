#pragma once

#include "base/Matrix4.h"
#include "body/Skeleton.h"
#include "case/Trajectory.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

class Body;
class PosedCase;
struct UncertaintyModel;

// One draw of a trajectory: IN and OUT as measured, moved within their balls and by the soft
// tissue (the body in the anatomical position), and where the drawn posture carries them (body
// frame, metres).
struct DrawnTrack {
    Vec3 in, out;                 // posed
    Vec3 measuredIn, measuredOut; // in the anatomical position
};

// Draws a trajectory's posed IN and OUT as the uncertainty model spreads them: IN and OUT each
// uniform in its ball and shifted by the soft tissue's normal spread (in the anatomical
// position), every joint that carries either point turned by its normal spread, each point then
// carried rigidly by its part's bone as the posture carries it. A track with points between IN
// and OUT has every one of its stops drawn so, and the line fitted through the drawn stops gives
// the draw's track: IN and OUT as they lie on that line. Draws come in blocks, each with a seed
// of its own, so that a block is the same whichever thread draws it.
class TrackSampler {
public:
    static constexpr int kBlock = 4096; // draws per block

    // What a run of draws varies.
    struct Sources {
        bool points = true;
        bool tissue = true;
        std::array<bool, skeleton::kJointCount> joints{};
        static Sources Every();
    };

    // Draws for the trajectory the user numbers `number` in the posed case.
    TrackSampler(const PosedCase& posed, int number);

    // The posed track's OUT - IN at the nominal posture, and the measured track's (body frame,
    // metres).
    const Vec3& NominalTrack() const { return nominal; }
    const Vec3& MeasuredTrack() const { return measuredTrack; }
    bool HasDirection() const;
    // The joints that carry either point and have a spread.
    const std::array<bool, skeleton::kJointCount>& MovingJoints() const { return moving; }

    // Draws `count` (at most kBlock) tracks of block `block` of a run varying `sources`.
    void DrawBlock(const Sources& sources, int block, int count, DrawnTrack* out) const;

private:
    // A rotation and shift of the rest frame: p -> r p + t.
    struct Turn {
        std::array<double, 9> r{1, 0, 0, 0, 1, 0, 0, 0, 1}; // rows
        Vec3 t;
        Vec3 Apply(const Vec3& p) const;
        Turn Then(const Turn& inner) const; // this after inner
        static Turn Of(const Matrix4& m);
    };
    // A segment that carries a point, with what its joint's draw needs.
    struct Link {
        int segment = 0, parent = 0, joint = 0;
        Vec3 pivot;
        std::array<double, 3> nominal{}; // yaw, pitch, roll, radians, with the joint's signs
        double sigma = 0;                // radians; zero when the joint does not vary
        Turn local;                      // the joint's turn at the posture
    };
    // IN, the points and OUT (at most this many).
    static constexpr std::size_t kMostStops = Trajectory::kMaxTrackPoints + 2;
    using Stops = std::array<Vec3, kMostStops>;

    void FindLinks(const Body& source);
    template <typename Random> DrawnTrack Draw(const Sources& sources, Random& random) const;
    // The first and last of `count` stops as they lie on the line fitted through them all.
    std::pair<Vec3, Vec3> FittedEnds(const Stops& stops) const;

    const Body& body;
    const UncertaintyModel& model;
    std::size_t stopCount = 2; // IN, the points between, OUT
    std::vector<double> radii; // each stop's ball
    Stops measured;
    std::vector<int> segments; // whose bone carries each stop
    bool hasParts = false;
    Turn legacyPose; // an older file's trajectory moves whole with it (body frame)
    std::array<Turn, skeleton::kSegmentCount> nominalTurns; // each segment at the posture
    std::vector<Link> links;                                // parents first
    Vec3 nominal;
    Vec3 measuredTrack;
    std::array<bool, skeleton::kJointCount> moving{};
};
