#include "case/UncertaintyBudget.h"

#include "base/NumberText.h"
#include "case/Case.h"
#include "case/PosedTrack.h"
#include "case/Trajectory.h"
#include "case/TrajectoryArrow.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <thread>

using skeleton::Joint;
using skeleton::Segment;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadians = kPi / 180.0;
constexpr uint64_t kSeed = 0x52564F4255444754u;
constexpr int kBlock = 4096; // draws per block; each block has its own seed, so threads agree

using Matrix3 = std::array<std::array<double, 3>, 3>;

struct Affine {
    Matrix3 m{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    Vec3 t;
    Vec3 Apply(const Vec3& p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x,
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z};
    }
    Affine Then(const Affine& inner) const { // this ∘ inner
        Affine out;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                out.m[r][c] = m[r][0] * inner.m[0][c] + m[r][1] * inner.m[1][c] + m[r][2] * inner.m[2][c];
            }
        }
        out.t = Apply(inner.t);
        return out;
    }
};

Matrix3 Product(const Matrix3& a, const Matrix3& b) {
    Matrix3 p{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            p[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
        }
    }
    return p;
}

// The joint's turn about its pivot: Ry(sy yaw) Rx(sx pitch) Rz(sz roll), as the skeleton turns.
Affine JointTurn(Joint joint, const Vec3& pivot, double yaw, double pitch, double roll) {
    const auto& s = skeleton::InfoOf(joint).signs;
    const double a = s[0] * yaw * kRadians, b = s[1] * pitch * kRadians, c = s[2] * roll * kRadians;
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b),
                 cc = std::cos(c), sc = std::sin(c);
    const Matrix3 ry{{{ca, 0, sa}, {0, 1, 0}, {-sa, 0, ca}}};
    const Matrix3 rx{{{1, 0, 0}, {0, cb, -sb}, {0, sb, cb}}};
    const Matrix3 rz{{{cc, -sc, 0}, {sc, cc, 0}, {0, 0, 1}}};
    Affine turn;
    turn.m = Product(Product(ry, rx), rz);
    const Vec3 moved = {turn.m[0][0] * pivot.x + turn.m[0][1] * pivot.y + turn.m[0][2] * pivot.z,
                        turn.m[1][0] * pivot.x + turn.m[1][1] * pivot.y + turn.m[1][2] * pivot.z,
                        turn.m[2][0] * pivot.x + turn.m[2][1] * pivot.y + turn.m[2][2] * pivot.z};
    turn.t = {pivot.x - moved.x, pivot.y - moved.y, pivot.z - moved.z};
    return turn;
}

Affine FromMatrix(const Matrix4& m) {
    Affine a;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            a.m[r][c] = m.At(r, c);
        }
    }
    a.t = {m.At(0, 3), m.At(1, 3), m.At(2, 3)};
    return a;
}

// Which sources a draw varies.
struct Sources {
    bool points = true;
    bool tissue = true;
    std::array<bool, skeleton::kJointCount> joints{};
};

// The sources the statement names, each a set of joints or the points or the tissue.
struct NamedSource {
    std::string name;
    Sources sources;
};

class Sampler {
public:
    Sampler(const Case& theCase, int number) : body(theCase.GetBody()), model(body.GetUncertaintyModel()) {
        const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
        radii = {trajectory.GetUncertainty(), trajectory.GetUncertaintyOut()};
        const Vec3 in = {trajectory.GetX1(), trajectory.GetY1(), trajectory.GetZ1()};
        const Vec3 out = {trajectory.GetX2(), trajectory.GetY2(), trajectory.GetZ2()};
        hasParts = trajectory.HasParts();
        restPoints = {body.ToRest(in), body.ToRest(out)};
        measured = {in, out};
        if (hasParts) {
            weights = {body.RestPointWeights(restPoints[0], trajectory.GetInPart()),
                       body.RestPointWeights(restPoints[1], trajectory.GetOutPart())};
        } else {
            // An older file's trajectory moves whole with the arm, or not at all.
            const Matrix4 pose = TrajectoryPose(theCase, number);
            legacyPose = FromMatrix(pose);
        }
        const PosedTrack nominalTrack = PoseTrajectoryPoints(theCase, number);
        nominal = Minus(nominalTrack.out, nominalTrack.in);
        const TrackAngles angles = AnglesOfTrack(nominalTrack.in, nominalTrack.out);
        nominalDirection = angles.direction;
        nominalElevation = angles.elevation;
        const SegmentPoses segments(body.GetPosture(), body.GetPivots());
        for (int s = 0; s < skeleton::kSegmentCount; ++s) {
            nominalSegments[s] = FromMatrix(segments[static_cast<Segment>(s)]);
        }
        MarkMovingJoints();
        SortCarrying();
    }

    bool HasDirection() const { return std::sqrt(Dot(nominal, nominal)) > 1e-9; }
    double NominalDirection() const { return nominalDirection; }
    double NominalElevation() const { return nominalElevation; }
    // The joints that carry either point and have a spread.
    const std::array<bool, skeleton::kJointCount>& MovingJoints() const { return moving; }

    struct Draw {
        double directionDeviation, elevation, coneAngle;
    };

    // Draw number `index` of the run that varies `sources`: always the same for the same index.
    void DrawBlock(const Sources& sources, int block, int count, Draw* out) const {
        std::mt19937_64 random(kSeed ^ (0x9E3779B97F4A7C15u * uint64_t(block + 1)));
        for (int i = 0; i < count; ++i) {
            out[i] = OneDraw(sources, random);
        }
    }

    // The same draws as DrawBlock's, posed but not measured.
    void PoseBlock(const Sources& sources, int block, int count, DrawnTrack* out) const {
        std::mt19937_64 random(kSeed ^ (0x9E3779B97F4A7C15u * uint64_t(block + 1)));
        for (int i = 0; i < count; ++i) {
            const std::array<Vec3, 2> posed = PosedPoints(sources, random);
            out[i] = {posed[0], posed[1]};
        }
    }

private:
    static double Uniform(std::mt19937_64& random) {
        return static_cast<double>(random() >> 11) * (1.0 / 9007199254740992.0);
    }
    // Box and Muller's transform, both of each pair used.
    struct NormalSource {
        std::mt19937_64& random;
        double spare = 0;
        bool hasSpare = false;
        double operator()() {
            if (hasSpare) {
                hasSpare = false;
                return spare;
            }
            const double u = 1.0 - Uniform(random), v = Uniform(random);
            const double radius = std::sqrt(-2.0 * std::log(u));
            spare = radius * std::sin(2 * kPi * v);
            hasSpare = true;
            return radius * std::cos(2 * kPi * v);
        }
    };
    static Vec3 InBall(std::mt19937_64& random, double radius) {
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

    void MarkMovingJoints() {
        if (!hasParts) {
            return; // an older file's trajectory is carried by the arm's nominal pose only
        }

        for (const BodySkin::Weights& w : weights) {
            for (const BodySkin::Share& share : w) {
                if (share.weight == 0) {
                    continue;
                }
                for (Segment s = share.segment; s != Segment::Pelvis; s = skeleton::ParentOf(s)) {
                    const Joint joint = *skeleton::JointCarrying(s);
                    moving[static_cast<size_t>(joint)] = model.SigmaOf(joint) > 0;
                    if (std::find(carrying.begin(), carrying.end(), s) == carrying.end()) {
                        carrying.push_back(s);
                    }
                }
            }
        }
    }

    void SortCarrying() { std::sort(carrying.begin(), carrying.end()); }

    Vec3 Posed(int which, const Vec3& rest, const std::array<Affine, skeleton::kSegmentCount>& seg) const {
        if (!hasParts) {
            return legacyPose.Apply(body.FromRest(rest));
        }
        Vec3 out = rest;
        for (const BodySkin::Share& share : weights[which]) {
            if (share.weight == 0) {
                continue;
            }
            const Vec3 q = seg[static_cast<size_t>(share.segment)].Apply(rest);
            out = {out.x + share.weight * (q.x - rest.x), out.y + share.weight * (q.y - rest.y),
                   out.z + share.weight * (q.z - rest.z)};
        }
        return body.FromRest(out);
    }

    Draw OneDraw(const Sources& sources, std::mt19937_64& random) const {
        const std::array<Vec3, 2> posed = PosedPoints(sources, random);
        const TrackAngles angles = AnglesOfTrack(posed[0], posed[1]);
        double deviation = std::fmod(angles.direction - nominalDirection, 360.0);
        deviation = deviation > 180 ? deviation - 360 : deviation < -180 ? deviation + 360 : deviation;
        const Vec3 d = Minus(posed[1], posed[0]);
        const double lengths = std::sqrt(Dot(d, d) * Dot(nominal, nominal));
        const double cosine = lengths > 0 ? std::clamp(Dot(d, nominal) / lengths, -1.0, 1.0) : 1.0;
        return {deviation, angles.elevation, std::acos(cosine) / kRadians};
    }

    std::array<Vec3, 2> PosedPoints(const Sources& sources, std::mt19937_64& random) const {
        NormalSource normal{random};
        std::array<Affine, skeleton::kSegmentCount> seg = nominalSegments;
        // Only the segments that carry a point are turned again, parents first; a segment whose
        // joint does not vary keeps its turn about its (perhaps moved) parent.
        bool turned = false;
        for (Segment segment : carrying) {
            const Joint joint = *skeleton::JointCarrying(segment);
            const size_t j = static_cast<size_t>(joint);
            const bool varies = sources.joints[j] && moving[j];
            turned = turned || varies;
            if (!turned) {
                continue;
            }
            const JointAngles& a = body.GetPosture().Get(joint);
            double yaw = a.yaw, pitch = a.pitch, roll = a.roll;
            if (varies) {
                const double sigma = model.SigmaOf(joint);
                yaw += sigma * normal();
                pitch += sigma * normal();
                roll += sigma * normal();
            }
            seg[static_cast<size_t>(segment)] =
                seg[static_cast<size_t>(skeleton::ParentOf(segment))].Then(
                    JointTurn(joint, body.GetPivots()[joint], yaw, pitch, roll));
        }
        std::array<Vec3, 2> posed;
        for (int k = 0; k < 2; ++k) {
            Vec3 shift = sources.points ? InBall(random, radii[k]) : Vec3{};
            if (sources.tissue && model.tissueSigma > 0) {
                const double dx = normal(), dy = normal(), dz = normal();
                shift = {shift.x + model.tissueSigma * dx, shift.y + model.tissueSigma * dy,
                         shift.z + model.tissueSigma * dz};
            }
            const Vec3 point = {measured[k].x + shift.x, measured[k].y + shift.y, measured[k].z + shift.z};
            posed[k] = Posed(k, body.ToRest(point), seg);
        }
        return posed;
    }

    const Body& body;
    const UncertaintyModel& model;
    std::array<double, 2> radii{};
    std::array<Vec3, 2> measured, restPoints;
    std::array<BodySkin::Weights, 2> weights{};
    bool hasParts = false;
    Affine legacyPose;
    Vec3 nominal;
    double nominalDirection = 0, nominalElevation = 0;
    std::array<Affine, skeleton::kSegmentCount> nominalSegments;
    std::array<bool, skeleton::kJointCount> moving{};
    std::vector<Segment> carrying; // the segments that carry a point, parents first
};

// `count` results of `drawBlock(block, count, first)`, the blocks shared out among `threads`.
template <typename Result, typename DrawBlock>
std::vector<Result> DrawInBlocks(int count, int threads, const DrawBlock& drawBlock) {
    std::vector<Result> draws(static_cast<size_t>(count));
    const int blocks = (count + kBlock - 1) / kBlock;
    const auto work = [&](int first) {
        for (int b = first; b < blocks; b += threads) {
            const int start = b * kBlock;
            drawBlock(b, std::min(kBlock, count - start), &draws[size_t(start)]);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::min(threads, blocks); ++t) {
        pool.emplace_back(work, t);
    }
    work(0);
    for (std::thread& thread : pool) {
        thread.join();
    }
    return draws;
}

std::vector<Sampler::Draw> DrawAll(const Sampler& sampler, const Sources& sources, int count,
                                   int threads) {
    return DrawInBlocks<Sampler::Draw>(count, threads, [&](int block, int n, Sampler::Draw* out) {
        sampler.DrawBlock(sources, block, n, out);
    });
}

// The q-quantile of `values` (reordered), by the nearest rank.
double Quantile(std::vector<double>& values, double q) {
    const size_t rank = std::min(values.size() - 1,
                                 static_cast<size_t>(std::ceil(q * double(values.size()))) - (q > 0 ? 1 : 0));
    std::nth_element(values.begin(), values.begin() + static_cast<long>(rank), values.end());
    return values[rank];
}

double Cone95(const std::vector<Sampler::Draw>& draws) {
    std::vector<double> cones;
    cones.reserve(draws.size());
    for (const Sampler::Draw& d : draws) {
        cones.push_back(d.coneAngle);
    }
    return Quantile(cones, 0.95);
}

std::vector<NamedSource> NamedSources(const Sampler& sampler, const UncertaintyModel& model) {
    std::vector<NamedSource> named;
    Sources points{true, false, {}};
    named.push_back({"IN and OUT", points});
    if (model.tissueSigma > 0) {
        named.push_back({"soft tissue", {false, true, {}}});
    }
    const std::array<std::pair<const char*, std::vector<Joint>>, 6> groups = {{
        {"posture of the head", {Joint::Neck}},
        {"posture of the trunk", {Joint::Trunk}},
        {"posture of the right arm", {Joint::RightShoulder, Joint::RightElbow}},
        {"posture of the left arm", {Joint::LeftShoulder, Joint::LeftElbow}},
        {"posture of the right leg", {Joint::RightHip, Joint::RightKnee}},
        {"posture of the left leg", {Joint::LeftHip, Joint::LeftKnee}},
    }};
    for (const auto& [name, joints] : groups) {
        Sources s{false, false, {}};
        bool any = false;
        for (Joint joint : joints) {
            s.joints[static_cast<size_t>(joint)] = true;
            any = any || sampler.MovingJoints()[static_cast<size_t>(joint)];
        }
        if (any) {
            named.push_back({name, s});
        }
    }
    return named;
}

// `threads`, or as many as the machine has (at most 8) for 0.
int ThreadsToUse(int threads) {
    return threads > 0 ? threads
                       : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

Sources EverySource() {
    Sources all{true, true, {}};
    all.joints.fill(true);
    return all;
}

std::string Degrees(double value) {
    std::string text = FormatFixed(value, 0, 1);
    if (!text.empty() && text[0] == '-') {
        text.replace(0, 1, "\u2212"); // the minus sign, as printed figures have it
    }
    return text == "\u22120.0" ? "0.0" : text + "\u00B0";
}

double Bearing(double degrees) {
    const double wrapped = std::fmod(degrees, 360.0);
    return wrapped < 0 ? wrapped + 360 : wrapped;
}

} // namespace

std::string UncertaintyBudget::Statement() const {
    std::string text = "direction " + Degrees(direction) + " (95 %: " + Degrees(directionInterval[0]) +
                       " to " + Degrees(directionInterval[1]) + "), elevation " + Degrees(elevation) +
                       " (95 %: " + Degrees(elevationInterval[0]) + " to " +
                       Degrees(elevationInterval[1]) + ")";
    if (!sources.empty()) {
        text += "; largest source: " + sources.front().source;
    }
    return text;
}

std::optional<UncertaintyBudget> ComputeUncertaintyBudget(const Case& theCase, int number,
                                                          int threads) {
    const Sampler sampler(theCase, number);
    if (!sampler.HasDirection()) {
        return std::nullopt;
    }
    threads = ThreadsToUse(threads);
    const UncertaintyModel& model = theCase.GetBody().GetUncertaintyModel();
    const Sources all = EverySource();
    const std::vector<Sampler::Draw> draws = DrawAll(sampler, all, model.draws, threads);

    UncertaintyBudget budget;
    budget.draws = model.draws;
    budget.direction = sampler.NominalDirection();
    budget.elevation = sampler.NominalElevation();
    std::vector<double> deviations, elevations;
    deviations.reserve(draws.size());
    elevations.reserve(draws.size());
    for (const Sampler::Draw& d : draws) {
        deviations.push_back(d.directionDeviation);
        elevations.push_back(d.elevation);
    }
    budget.directionInterval = {Bearing(budget.direction + Quantile(deviations, 0.025)),
                                Bearing(budget.direction + Quantile(deviations, 0.975))};
    budget.elevationInterval = {Quantile(elevations, 0.025), Quantile(elevations, 0.975)};
    budget.cone95 = Cone95(draws);

    const int sourceDraws = std::max(1000, model.draws / 5);
    for (const NamedSource& source : NamedSources(sampler, model)) {
        budget.sources.push_back(
            {source.name, Cone95(DrawAll(sampler, source.sources, sourceDraws, threads))});
    }
    std::stable_sort(budget.sources.begin(), budget.sources.end(),
                     [](const BudgetSource& a, const BudgetSource& b) { return a.cone95 > b.cone95; });
    return budget;
}

std::vector<DrawnTrack> DrawPosedTracks(const Case& theCase, int number, int count, int threads) {
    const Sampler sampler(theCase, number);
    if (!sampler.HasDirection() || count <= 0) {
        return {};
    }
    const Sources all = EverySource();
    return DrawInBlocks<DrawnTrack>(count, ThreadsToUse(threads), [&](int block, int n, DrawnTrack* out) {
        sampler.PoseBlock(all, block, n, out);
    });
}

std::optional<double> UncertaintyCone95(const Case& theCase, int number, int draws,
                                        int threads) {
    const Sampler sampler(theCase, number);
    if (!sampler.HasDirection()) {
        return std::nullopt;
    }
    threads = ThreadsToUse(threads);
    const Sources all = EverySource();
    return Cone95(DrawAll(sampler, all, std::max(draws, 1), threads));
}

std::string UncertaintyBudgetConvention(const Case& theCase) {
    const UncertaintyModel& model = theCase.GetBody().GetUncertaintyModel();
    return "The 95 % intervals come from " + std::to_string(model.draws) +
           " draws (Monte Carlo, fixed seed): IN and OUT each uniform in its ball, every joint "
           "that carries a point turned by a normal spread (sigma " +
           FormatFixed(model.poseSigma, 0, 1) + " degrees unless set per joint), soft tissue a "
           "normal shift of each point (sigma " + FormatFixed(model.tissueSigma * 100, 0, 1) +
           " cm); each source alone is drawn " + std::to_string(std::max(1000, model.draws / 5)) +
           " times to rank the sources by their 95 % cone.";
}
