#include "budget/TrackSampler.h"

#include "base/WeightedLineFit.h"
#include "base/Xoshiro256.h"

#include "case/PosedCase.h"

#include <boost/random/normal_distribution.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

using skeleton::Joint;
using skeleton::Segment;

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;
constexpr uint64_t kSeed = 0x52564F4255444754u;

using Random = Xoshiro256;

double Uniform(Random& random) {
    return static_cast<double>(random() >> 11) * (1.0 / 9007199254740992.0);
}

Vec3 InBall(Random& random, double radius) {
    if (radius <= 0) {
        return {};
    }
    while (true) {
        const Vec3 p = {2 * Uniform(random) - 1, 2 * Uniform(random) - 1, 2 * Uniform(random) - 1};
        if (Dot(p, p) <= 1) {
            return {p.x * radius, p.y * radius, p.z * radius};
        }
    }
}

} // namespace

Vec3 TrackSampler::Turn::Apply(const Vec3& p) const {
    return {r[0] * p.x + r[1] * p.y + r[2] * p.z + t.x, r[3] * p.x + r[4] * p.y + r[5] * p.z + t.y,
            r[6] * p.x + r[7] * p.y + r[8] * p.z + t.z};
}

TrackSampler::Turn TrackSampler::Turn::Then(const Turn& inner) const {
    Turn out;
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            out.r[3 * row + column] = r[3 * row] * inner.r[column] +
                                      r[3 * row + 1] * inner.r[3 + column] +
                                      r[3 * row + 2] * inner.r[6 + column];
        }
    }
    out.t = Apply(inner.t);
    return out;
}

TrackSampler::Turn TrackSampler::Turn::Of(const Matrix4& m) {
    Turn turn;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            turn.r[3 * row + column] = m.At(row, column);
        }
    }
    turn.t = {m.At(0, 3), m.At(1, 3), m.At(2, 3)};
    return turn;
}

namespace {

// A joint's turn about its pivot by yaw a, pitch b and roll c (radians, signs applied):
// Ry(a) Rx(b) Rz(c), as the skeleton turns, written out so that a draw needs three sines and
// three cosines and no matrix products.
template <typename Turn> Turn JointTurn(const Vec3& pivot, double a, double b, double c) {
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b),
                 cc = std::cos(c), sc = std::sin(c);
    Turn turn;
    turn.r = {ca * cc + sa * sb * sc, sa * sb * cc - ca * sc, sa * cb, cb * sc, cb * cc, -sb,
              ca * sb * sc - sa * cc, sa * sc + ca * sb * cc, ca * cb};
    const auto& r = turn.r;
    turn.t = {pivot.x - (r[0] * pivot.x + r[1] * pivot.y + r[2] * pivot.z),
              pivot.y - (r[3] * pivot.x + r[4] * pivot.y + r[5] * pivot.z),
              pivot.z - (r[6] * pivot.x + r[7] * pivot.y + r[8] * pivot.z)};
    return turn;
}

} // namespace

TrackSampler::Sources TrackSampler::Sources::Every() {
    Sources all;
    all.joints.fill(true);
    return all;
}

TrackSampler::TrackSampler(const PosedCase& posed, int number)
    : body(posed.GetCase().body), model(body.GetUncertaintyModel()) {
    const Trajectory& trajectory = *posed.GetCase().TrajectoryNumbered(number);
    const PosedTrajectory& track = *posed.TrajectoryNumbered(number);
    std::vector<TrackStop> stops = StopsOfTrajectory(trajectory);
    if (stops.size() > kMostStops) {
        // More points than a trajectory holds (none the file or the dialogs make): the first
        // ones are drawn, and OUT always.
        stops.erase(stops.begin() + static_cast<std::ptrdiff_t>(kMostStops) - 1, stops.end() - 1);
    }
    stopCount = stops.size();
    for (std::size_t k = 0; k < stopCount; ++k) {
        radii.push_back(stops[k].radius);
        measured[k] = stops[k].point;
    }
    measuredTrack = Minus(trajectory.out, trajectory.in);
    hasParts = trajectory.HasParts();
    if (hasParts) {
        segments.push_back(static_cast<int>(track.inSegment));
        for (std::size_t k = 1; k + 1 < stopCount; ++k) {
            segments.push_back(static_cast<int>(body.SegmentOf(stops[k].point, stops[k].part)));
        }
        segments.push_back(static_cast<int>(track.outSegment));
    } else {
        legacyPose = Turn::Of(track.olderFilePose.value_or(Matrix4::Identity()));
    }
    nominal = Minus(track.out, track.in);
    // A track with points runs along its fitted lines, from where IN lies on them to where OUT
    // does.
    const auto alongLine = [](const std::optional<TrackLine>& line, const Vec3& out, Vec3& travel) {
        if (line) {
            const double length = Dot(Minus(out, line->start), line->direction);
            travel = {line->direction.x * length, line->direction.y * length,
                      line->direction.z * length};
        }
    };
    alongLine(track.anatomicalLine, trajectory.out, measuredTrack);
    alongLine(track.posedLine, track.out, nominal);
    const SegmentPoses rest = posed.GetBody().RestSegments();
    for (int s = 0; s < skeleton::kSegmentCount; ++s) {
        nominalTurns[s] = Turn::Of(rest[static_cast<Segment>(s)]);
    }
    FindLinks(body);
}

bool TrackSampler::HasDirection() const {
    return std::sqrt(Dot(nominal, nominal)) > 1e-9;
}

void TrackSampler::FindLinks(const Body& source) {
    if (!hasParts) {
        return; // an older file's trajectory is carried by the arm's nominal pose only
    }
    std::array<bool, skeleton::kSegmentCount> carries{};
    for (const int segment : segments) {
        for (Segment s = static_cast<Segment>(segment); s != Segment::Pelvis;
             s = skeleton::ParentOf(s)) {
            carries[static_cast<size_t>(s)] = true;
        }
    }
    // Segments are numbered after their parents, so the links come parents first.
    for (int s = 1; s < skeleton::kSegmentCount; ++s) {
        if (!carries[s]) {
            continue;
        }
        const Segment segment = static_cast<Segment>(s);
        const Joint joint = *skeleton::JointCarrying(segment);
        const auto& signs = skeleton::InfoOf(joint).signs;
        const JointAngles& angles = source.GetPosture().Get(joint);
        const double sigma = model.SigmaOf(joint);
        moving[static_cast<size_t>(joint)] = sigma > 0;
        Link link{s,
                  static_cast<int>(skeleton::ParentOf(segment)),
                  static_cast<int>(joint),
                  source.GetPivots()[joint],
                  {signs[0] * angles.yaw * kRadians, signs[1] * angles.pitch * kRadians,
                   signs[2] * angles.roll * kRadians},
                  sigma * kRadians,
                  {}};
        link.local = JointTurn<Turn>(link.pivot, link.nominal[0], link.nominal[1], link.nominal[2]);
        links.push_back(link);
    }
}

void TrackSampler::DrawBlock(const Sources& sources, int block, int count, DrawnTrack* out) const {
    Random random(kSeed ^ (0x9E3779B97F4A7C15u * uint64_t(block + 1)));
    for (int i = 0; i < count; ++i) {
        out[i] = Draw(sources, random);
    }
}

template <typename Random>
DrawnTrack TrackSampler::Draw(const Sources& sources, Random& random) const {
    boost::random::normal_distribution<double> normal;
    // Each segment's turn in this draw: the posture's, unless its joint or a parent's varies.
    std::array<const Turn*, skeleton::kSegmentCount> turnOf;
    for (int s = 0; s < skeleton::kSegmentCount; ++s) {
        turnOf[s] = &nominalTurns[s];
    }
    std::array<Turn, skeleton::kSegmentCount> drawn;
    std::array<bool, skeleton::kSegmentCount> changed{};
    for (const Link& link : links) {
        const bool varies = link.sigma > 0 && sources.joints[link.joint];
        if (!varies && !changed[link.parent]) {
            continue;
        }
        if (varies) {
            std::array<double, 3> angles = link.nominal;
            for (double& angle : angles) {
                angle += link.sigma * normal(random);
            }
            drawn[link.segment] = turnOf[link.parent]->Then(
                JointTurn<Turn>(link.pivot, angles[0], angles[1], angles[2]));
        } else {
            drawn[link.segment] = turnOf[link.parent]->Then(link.local);
        }
        turnOf[link.segment] = &drawn[link.segment];
        changed[link.segment] = true;
    }
    Stops posed, shifted;
    for (std::size_t k = 0; k < stopCount; ++k) {
        Vec3 point = measured[k];
        if (sources.points) {
            const Vec3 shift = InBall(random, radii[k]);
            point = {point.x + shift.x, point.y + shift.y, point.z + shift.z};
        }
        if (sources.tissue && model.tissueSigma > 0) {
            const double dx = normal(random), dy = normal(random), dz = normal(random);
            point = {point.x + model.tissueSigma * dx, point.y + model.tissueSigma * dy,
                     point.z + model.tissueSigma * dz};
        }
        shifted[k] = point;
        // Carried rigidly by the bone of its part, as the posture carries it in this draw.
        posed[k] = hasParts ? body.FromRest(turnOf[segments[k]]->Apply(body.ToRest(point)))
                            : legacyPose.Apply(point);
    }
    if (stopCount == 2) {
        return {posed[0], posed[1], shifted[0], shifted[1]};
    }
    const auto [in, out] = FittedEnds(posed);
    const auto [measuredIn, measuredOut] = FittedEnds(shifted);
    return {in, out, measuredIn, measuredOut};
}

std::pair<Vec3, Vec3> TrackSampler::FittedEnds(const Stops& stops) const {
    // The whole track's weighted line, as FitTrackLine fits it, without its pieces and misfits
    // and without taking memory: a draw makes tens of thousands of these.
    std::array<WeightedPoint, kMostStops> weighted;
    for (std::size_t k = 0; k < stopCount; ++k) {
        weighted[k] = {stops[k], radii[k]};
    }
    const auto ends = EndsOnFittedLine(std::span<const WeightedPoint>(weighted.data(), stopCount));
    return ends.value_or(std::pair{stops[0], stops[stopCount - 1]});
}
