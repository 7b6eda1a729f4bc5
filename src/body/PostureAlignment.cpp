#include "body/PostureAlignment.h"

#include "body/Body.h"
#include "body/SegmentPoses.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

using skeleton::Joint;

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

double Norm(const Vec3& a) {
    return std::sqrt(Dot(a, a));
}
Vec3 Scaled(const Vec3& a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}

// The distance of p from the line through a along the unit direction d.
double DistanceFromLine(const Vec3& p, const Vec3& a, const Vec3& d) {
    const Vec3 ap = Minus(p, a);
    return Norm(Minus(ap, Scaled(d, Dot(ap, d))));
}

struct Fit {
    double angleDegrees = 0;
    double gapMetres = 0;    // between the lines
    double pointsMetres = 0; // mean distance of each track's points from the other's line
};

Fit FitOf(const Vec3& in1, const Vec3& out1, const Vec3& in2, const Vec3& out2) {
    const Vec3 a = Minus(out1, in1), b = Minus(out2, in2);
    const double la = Norm(a), lb = Norm(b);
    Fit fit;
    if (la < 1e-9 || lb < 1e-9) {
        // A track posed to a point has no direction: it lines up with nothing, rather than
        // with everything.
        fit.angleDegrees = 180;
        return fit;
    }
    const Vec3 d1 = Scaled(a, 1 / la), d2 = Scaled(b, 1 / lb);
    fit.angleDegrees = std::acos(std::clamp(Dot(d1, d2), -1.0, 1.0)) * kDegrees;
    const Vec3 n = Cross(d1, d2);
    const double nl = Norm(n);
    fit.gapMetres =
        nl > 1e-9 ? std::fabs(Dot(Minus(in2, in1), n)) / nl : DistanceFromLine(in2, in1, d1);
    fit.pointsMetres = (DistanceFromLine(in2, in1, d1) + DistanceFromLine(out2, in1, d1) +
                        DistanceFromLine(in1, in2, d2) + DistanceFromLine(out1, in2, d2)) /
                       4;
    return fit;
}

// The four measured points of the two tracks, each with the segment whose bone carries it.
struct PosedPoint {
    Vec3 rest;
    skeleton::Segment segment;
};

class AlignmentProblem {
public:
    AlignmentProblem(const Body& aligned, const AlignmentRequest& request)
        : body(aligned), start(aligned.GetPosture()) {
        for (const AlignmentTrack* track : {&request.first, &request.second}) {
            points.push_back(Point(track->in, track->inPart));
            points.push_back(Point(track->out, track->outPart));
        }
        for (Joint joint : request.joints) {
            for (int k = 0; k < 3; ++k) {
                if (request.angles[k]) {
                    free.push_back({joint, k});
                }
            }
        }
    }

    size_t Dimensions() const { return free.size(); }

    std::vector<double> StartValues() const {
        std::vector<double> x;
        for (const FreeAngle& f : free) {
            x.push_back(Angle(start.Get(f.joint), f.angle));
        }
        return x;
    }
    // A start drawn evenly within the limits.
    std::vector<double> RandomValues(std::mt19937_64& random) const {
        std::vector<double> x;
        for (const FreeAngle& f : free) {
            const skeleton::AngleRange& range = skeleton::InfoOf(f.joint).limits[f.angle];
            x.push_back(std::uniform_real_distribution<double>(range.min, range.max)(random));
        }
        return x;
    }

    Posture PostureAt(const std::vector<double>& x) const {
        Posture posture = start;
        for (size_t i = 0; i < free.size(); ++i) {
            JointAngles angles = posture.Get(free[i].joint);
            const skeleton::AngleRange& range =
                skeleton::InfoOf(free[i].joint).limits[free[i].angle];
            const double value = std::clamp(x[i], range.min, range.max);
            (free[i].angle == 0   ? angles.yaw
             : free[i].angle == 1 ? angles.pitch
                                  : angles.roll) = value;
            posture.Set(free[i].joint, angles);
        }
        return posture;
    }

    Fit FitAt(const Posture& posture) const {
        // The support lifts both tracks alike, so it changes neither angle nor gap.
        const SegmentPoses segments(posture, body.GetPivots());
        std::array<Vec3, 4> posed;
        for (size_t i = 0; i < 4; ++i) {
            posed[i] = body.FromRest(segments[points[i].segment].TransformPoint(points[i].rest));
        }
        return FitOf(posed[0], posed[1], posed[2], posed[3]);
    }

    // What the search makes small: the angle in degrees and the points' distance from the other
    // line in centimetres, a centimetre weighing as a degree; then, a thousand times lighter, the
    // change from the starting posture, which picks the nearest of a family of exact answers.
    double Cost(const std::vector<double>& x) const {
        double outside = 0;
        for (size_t i = 0; i < free.size(); ++i) {
            const skeleton::AngleRange& range =
                skeleton::InfoOf(free[i].joint).limits[free[i].angle];
            outside += std::max(0.0, range.min - x[i]) + std::max(0.0, x[i] - range.max);
        }
        const Fit fit = FitAt(PostureAt(x));
        return fit.angleDegrees + 100 * fit.pointsMetres + 1e-3 * ChangeFromStart(x) + outside;
    }

    double ChangeFromStart(const std::vector<double>& x) const {
        const std::vector<double> x0 = StartValues();
        double sum = 0;
        for (size_t i = 0; i < x.size(); ++i) {
            sum += std::fabs(x[i] - x0[i]);
        }
        return sum;
    }

private:
    struct FreeAngle {
        Joint joint;
        int angle; // 0 yaw, 1 pitch, 2 roll
    };
    static double Angle(const JointAngles& a, int k) {
        return k == 0 ? a.yaw : k == 1 ? a.pitch : a.roll;
    }
    PosedPoint Point(const Vec3& measured, const std::string& part) const {
        return {body.ToRest(measured), body.SegmentOf(measured, part)};
    }

    const Body& body;
    Posture start;
    std::vector<PosedPoint> points;
    std::vector<FreeAngle> free;
};

// Nelder and Mead's downhill simplex from x with steps of `step` degrees.
std::vector<double> Minimise(const AlignmentProblem& problem, const std::vector<double>& x,
                             double step, int evaluations) {
    const size_t n = x.size();
    std::vector<std::vector<double>> simplex(n + 1, x);
    for (size_t i = 0; i < n; ++i) {
        simplex[i + 1][i] += step;
    }
    std::vector<double> cost(n + 1);
    for (size_t i = 0; i <= n; ++i) {
        cost[i] = problem.Cost(simplex[i]);
    }
    int used = static_cast<int>(n + 1);
    const auto along = [&](const std::vector<double>& centre, const std::vector<double>& from,
                           double t) {
        std::vector<double> p(n);
        for (size_t k = 0; k < n; ++k) {
            p[k] = centre[k] + t * (from[k] - centre[k]);
        }
        return p;
    };
    while (used < evaluations) {
        std::vector<size_t> order(n + 1);
        for (size_t i = 0; i <= n; ++i) {
            order[i] = i;
        }
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return cost[a] < cost[b]; });
        const size_t best = order[0], worst = order[n], second = order[n - 1];
        if (cost[worst] - cost[best] < 1e-9) {
            break;
        }
        std::vector<double> centre(n, 0.0);
        for (size_t i = 0; i <= n; ++i) {
            if (i != worst) {
                for (size_t k = 0; k < n; ++k) {
                    centre[k] += simplex[i][k] / static_cast<double>(n);
                }
            }
        }
        const std::vector<double> reflected = along(centre, simplex[worst], -1.0);
        const double reflectedCost = problem.Cost(reflected);
        ++used;
        if (reflectedCost < cost[best]) {
            const std::vector<double> expanded = along(centre, simplex[worst], -2.0);
            const double expandedCost = problem.Cost(expanded);
            ++used;
            if (expandedCost < reflectedCost) {
                simplex[worst] = expanded, cost[worst] = expandedCost;
            } else {
                simplex[worst] = reflected, cost[worst] = reflectedCost;
            }
        } else if (reflectedCost < cost[second]) {
            simplex[worst] = reflected, cost[worst] = reflectedCost;
        } else {
            const std::vector<double> contracted = along(centre, simplex[worst], 0.5);
            const double contractedCost = problem.Cost(contracted);
            ++used;
            if (contractedCost < cost[worst]) {
                simplex[worst] = contracted, cost[worst] = contractedCost;
            } else {
                for (size_t i = 0; i <= n; ++i) {
                    if (i != best) {
                        simplex[i] = along(simplex[best], simplex[i], 0.5);
                        cost[i] = problem.Cost(simplex[i]);
                        ++used;
                    }
                }
            }
        }
    }
    return simplex[std::min_element(cost.begin(), cost.end()) - cost.begin()];
}

// The largest difference at any one angle between two postures (degrees).
double LargestDifference(const Posture& a, const Posture& b) {
    double largest = 0;
    for (int j = 0; j < skeleton::kJointCount; ++j) {
        const JointAngles& p = a.Get(static_cast<Joint>(j));
        const JointAngles& q = b.Get(static_cast<Joint>(j));
        largest = std::max({largest, std::fabs(p.yaw - q.yaw), std::fabs(p.pitch - q.pitch),
                            std::fabs(p.roll - q.roll)});
    }
    return largest;
}

std::string Refusal(const Body& body, const AlignmentRequest& request) {
    if (request.first.number < 1 || request.second.number < 1 ||
        (request.first.number == request.second.number &&
         request.first.piece == request.second.piece)) {
        return "Choose two different trajectories.";
    }
    for (const AlignmentTrack* track : {&request.first, &request.second}) {
        if (std::string refusal = DirectionRefusal(*track); !refusal.empty()) {
            return refusal;
        }
        if (track->inPart.empty() || track->outPart.empty()) {
            return "Trajectory " + std::to_string(track->number) +
                   " comes from an older file and has no body parts: choose its parts in its "
                   "properties first.";
        }
    }
    if (request.joints.empty() || std::none_of(request.angles.begin(), request.angles.end(),
                                               [](bool free) { return free; })) {
        return "Choose at least one joint that may move.";
    }
    if (!body.HasPostureParts()) {
        return "The body model has no parts the posture moves.";
    }
    return {};
}

} // namespace

std::string DirectionRefusal(const AlignmentTrack& track) {
    constexpr double kShortest = 0.001; // metres
    if (Norm(Minus(track.out, track.in)) >= kShortest) {
        return {};
    }
    return "Trajectory " + std::to_string(track.number) +
           " has no direction: its IN and OUT lie within 1 mm of each other.";
}

AlignmentAnswer MeasureAlignment(const Body& body, const AlignmentTrack& first,
                                 const AlignmentTrack& second, const Posture& posture) {
    AlignmentRequest request;
    request.first = first;
    request.second = second;
    const AlignmentProblem problem(body, request);
    const Fit fit = problem.FitAt(posture);
    return {posture, fit.angleDegrees, fit.gapMetres};
}

AlignmentResult AlignWounds(const Body& body, const AlignmentRequest& request) {
    AlignmentResult result;
    result.refusal = Refusal(body, request);
    if (!result.refusal.empty()) {
        return result;
    }
    const AlignmentProblem problem(body, request);
    // From the case's posture and from starts spread over the limits (a fixed seed: the same
    // case gives the same answers), each polished by a second, finer simplex.
    const int starts = std::max(1, request.starts);
    std::mt19937_64 random(0x5EED);
    std::vector<std::pair<double, std::vector<double>>> found;
    for (int s = 0; s < starts; ++s) {
        std::vector<double> x = s == 0 ? problem.StartValues() : problem.RandomValues(random);
        x = Minimise(problem, x, 20.0, 1500);
        x = Minimise(problem, x, 2.0, 1500);
        found.emplace_back(problem.Cost(x), x);
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    const Fit best = problem.FitAt(problem.PostureAt(found.front().second));
    for (const auto& [cost, x] : found) {
        const Posture posture = problem.PostureAt(x);
        const Fit fit = problem.FitAt(posture);
        const bool asGood =
            fit.angleDegrees <= best.angleDegrees + 0.1 && fit.gapMetres <= best.gapMetres + 0.001;
        const bool distinct = std::all_of(
            result.answers.begin(), result.answers.end(),
            [&](const AlignmentAnswer& a) { return LargestDifference(a.posture, posture) > 5; });
        if ((result.answers.empty() || asGood) && distinct) {
            result.answers.push_back({posture, fit.angleDegrees, fit.gapMetres});
        }
    }
    return result;
}
