#include "budget/UncertaintyBudget.h"

#include "base/NumberText.h"
#include "case/PosedCase.h"
#include "case/TrajectoryCourse.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <thread>

using skeleton::Joint;

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

// What a draw's track is measured by, each kept in a form whose order is the angle's, so that
// the arc functions are needed for the quantiles only.
struct Measure {
    // The deviation from the nominal direction is atan2(cross, dot), wrapped to +-180 degrees;
    // `directionKey` grows with it (a "diamond angle", from -2 to 2), so the draws are ordered by
    // the key and the arc tangent is taken of the two the 95 % interval picks.
    double directionKey;
    double cross, dot;
    double elevationSine;   // sine of the elevation, as the trajectory reckons it
    double coneMinusCosine; // minus the cosine of the angle to the nominal track

    double DirectionDeviation() const { return std::atan2(cross, dot) * kDegrees; }
};

// A number that grows with atan2(y, x) over (-pi, pi]: y / (|x| + |y|) on the right half-plane,
// carried on to 2 and -2 on the left.
double DiamondAngle(double y, double x) {
    const double sum = std::fabs(x) + std::fabs(y);
    const double p = sum > 0 ? y / sum : 0;
    if (x >= 0) {
        return p;
    }
    return y >= 0 ? 2 - p : -2 - p;
}

// The direction angle is the bearing atan2(dx, -dz) (clockwise from -Z, seen from above), so a
// draw's deviation from the nominal is the angle from the nominal's horizontal part to its own.
class TrackMeasure {
public:
    explicit TrackMeasure(const Vec3& nominalTrack)
        : nominal(nominalTrack), nominalLength(std::sqrt(Dot(nominalTrack, nominalTrack))) {}

    Measure Of(const Vec3& in, const Vec3& out) const {
        const Vec3 d = Minus(out, in);
        // Bearings as (cosine, sine) = (-dz, dx).
        const double cross = -nominal.z * d.x - nominal.x * -d.z;
        const double dot = nominal.z * d.z + nominal.x * d.x;
        const double horizontal = std::max(std::sqrt(d.x * d.x + d.z * d.z), 0.001);
        const double length = std::sqrt(Dot(d, d));
        const double lengths = length * nominalLength;
        return {DiamondAngle(cross, dot), cross, dot,
                d.y / std::sqrt(d.y * d.y + horizontal * horizontal),
                lengths > 0 ? -std::clamp(Dot(d, nominal) / lengths, -1.0, 1.0) : -1.0};
    }

private:
    Vec3 nominal;
    double nominalLength;
};

using Sources = TrackSampler::Sources;

// The sources the statement names, each a set of joints or the points or the tissue.
struct NamedSource {
    std::string name;
    Sources sources;
};

// `count` results of `drawBlock(block, count, first)`, the blocks shared out among `threads`;
// none once `cancelled` says so (asked before each block).
template <typename Result, typename DrawBlock>
std::vector<Result> DrawInBlocks(int count, int threads, const DrawBlock& drawBlock,
                                 const std::function<bool()>& cancelled = {}) {
    std::vector<Result> draws(static_cast<size_t>(count));
    const int blocks = (count + TrackSampler::kBlock - 1) / TrackSampler::kBlock;
    std::atomic<bool> stopped = false;
    const auto work = [&](int first) {
        for (int b = first; b < blocks && !stopped; b += threads) {
            if (cancelled && cancelled()) {
                stopped = true;
                return;
            }
            const int start = b * TrackSampler::kBlock;
            drawBlock(b, std::min(TrackSampler::kBlock, count - start), &draws[size_t(start)]);
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
    if (stopped) {
        draws.clear();
    }
    return draws;
}

// The measures of `count` draws varying `sources` (none when cancelled); each block's tracks
// handed to `hooks.eachBlock`, and the measures of their measured (not posed) tracks kept in
// `measuredDraws` when given.
std::vector<Measure> DrawAll(const TrackSampler& sampler, const Sources& sources, int count,
                             int threads, const BudgetRunHooks& hooks = {},
                             std::vector<Measure>* measuredDraws = nullptr) {
    const TrackMeasure measure(sampler.NominalTrack());
    const TrackMeasure measuredMeasure(sampler.MeasuredTrack());
    if (measuredDraws != nullptr) {
        measuredDraws->assign(static_cast<size_t>(count), Measure{});
    }
    return DrawInBlocks<Measure>(
        count, threads,
        [&](int block, int n, Measure* out) {
            std::vector<DrawnTrack> drawn(static_cast<size_t>(n));
            sampler.DrawBlock(sources, block, n, drawn.data());
            std::transform(drawn.begin(), drawn.end(), out, [&](const DrawnTrack& track) {
                return measure.Of(track.in, track.out);
            });
            if (measuredDraws != nullptr) {
                std::transform(drawn.begin(), drawn.end(),
                               measuredDraws->data() + size_t(block) * TrackSampler::kBlock,
                               [&](const DrawnTrack& track) {
                                   return measuredMeasure.Of(track.measuredIn, track.measuredOut);
                               });
            }
            if (hooks.eachBlock) {
                hooks.eachBlock(block * TrackSampler::kBlock, drawn);
            }
        },
        hooks.cancelled);
}

// Where the q-quantile of `count` values stands in their order, by the nearest rank.
size_t QuantileRank(size_t count, double q) {
    return std::min(count - 1, static_cast<size_t>(std::ceil(q * double(count))) - (q > 0 ? 1 : 0));
}

// The q-quantile of `values` (reordered).
double Quantile(std::vector<double>& values, double q) {
    const size_t rank = QuantileRank(values.size(), q);
    std::nth_element(values.begin(), values.begin() + static_cast<long>(rank), values.end());
    return values[rank];
}

// The draw at the q-quantile of the direction's deviation (`draws` reordered).
const Measure& DirectionQuantile(std::vector<Measure>& draws, double q) {
    const size_t rank = QuantileRank(draws.size(), q);
    std::nth_element(
        draws.begin(), draws.begin() + static_cast<long>(rank), draws.end(),
        [](const Measure& a, const Measure& b) { return a.directionKey < b.directionKey; });
    return draws[rank];
}

double Cone95(const std::vector<Measure>& draws) {
    std::vector<double> cosines;
    cosines.reserve(draws.size());
    for (const Measure& d : draws) {
        cosines.push_back(d.coneMinusCosine);
    }
    return std::acos(-Quantile(cosines, 0.95)) * kDegrees;
}

std::vector<NamedSource> NamedSources(const TrackSampler& sampler, const UncertaintyModel& model) {
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

std::string Degrees(double value) {
    std::string text = FormatFixed(value, 0, 1);
    if (!text.empty() && text[0] == '-') {
        text.replace(0, 1, "\u2212"); // the minus sign, as printed figures have it
    }
    return text == "\u22120.0" ? "0.0" : text + "\u00B0";
}

// The nominal angles with the central 95 % of the draws' around them (`draws` reordered).
AngleIntervals IntervalsOf(const TrackAngles& nominal, std::vector<Measure>& draws) {
    std::vector<double> elevationSines;
    elevationSines.reserve(draws.size());
    for (const Measure& d : draws) {
        elevationSines.push_back(d.elevationSine);
    }
    AngleIntervals intervals;
    intervals.direction = nominal.direction;
    intervals.elevation = nominal.elevation;
    const double low = DirectionQuantile(draws, 0.025).DirectionDeviation();
    const double high = DirectionQuantile(draws, 0.975).DirectionDeviation();
    intervals.directionInterval = {WrapBearing(nominal.direction + low),
                                   WrapBearing(nominal.direction + high)};
    intervals.elevationInterval = {std::asin(Quantile(elevationSines, 0.025)) * kDegrees,
                                   std::asin(Quantile(elevationSines, 0.975)) * kDegrees};
    return intervals;
}

// Whether the direction of a track `track` long with the nominal `elevation` is determined:
// neither the balls' worst-case cone (IN's radius, as the report's cone is reckoned) nor the
// draws' 95 % cone `cone95` reaches the vertical.
bool DirectionDetermined(const Vec3& track, double radius, double elevation, double cone95) {
    const std::optional<double> balls =
        ComputeUncertainty(std::sqrt(Dot(track, track)), radius, 0, elevation).coneHalfAngle;
    return !DirectionUndetermined(balls, elevation) && !DirectionUndetermined(cone95, elevation);
}

// How far a budget's run has come: each run of draws adds its share of all the draws.
class RunProgress {
public:
    RunProgress(const BudgetRunHooks& runHooks, double allDraws)
        : hooks(runHooks), total(allDraws) {}
    void Drew(int count) {
        done += count;
        if (hooks.progress) {
            hooks.progress(std::min(1.0, done / total));
        }
    }
    bool Cancelled() const { return hooks.cancelled && hooks.cancelled(); }

private:
    const BudgetRunHooks& hooks;
    double total;
    double done = 0;
};

} // namespace

std::string UncertaintyBudget::Statement() const {
    std::string text =
        "direction " + Degrees(direction) + " (" +
        (directionDetermined
             ? "95 %: " + Degrees(directionInterval[0]) + " to " + Degrees(directionInterval[1])
             : std::string("undetermined")) +
        "), elevation " + Degrees(elevation) + " (95 %: " + Degrees(elevationInterval[0]) + " to " +
        Degrees(elevationInterval[1]) + ")";
    if (!sources.empty()) {
        text += "; largest source: " + sources.front().source;
    }
    return text;
}

std::optional<UncertaintyBudget> ComputeUncertaintyBudget(const PosedCase& posed, int number,
                                                          int threads,
                                                          const BudgetRunHooks& hooks) {
    const TrackSampler sampler(posed, number);
    if (!sampler.HasDirection()) {
        return std::nullopt;
    }
    threads = ThreadsToUse(threads);
    const UncertaintyModel& model = posed.GetCase().body.GetUncertaintyModel();
    const int draws = model.DrawCount();
    const int sourceDraws = SourceRankingDraws(draws);
    const std::vector<NamedSource> named = NamedSources(sampler, model);
    RunProgress progress(hooks, draws + double(sourceDraws) * double(named.size()));
    // Standing, the measured track is the posed one and its angles share the posed intervals.
    std::vector<Measure> measuredDraws;
    std::vector<Measure> whole = DrawAll(sampler, Sources::Every(), draws, threads, hooks,
                                         posed.IsPosed() ? &measuredDraws : nullptr);
    if (progress.Cancelled()) {
        return std::nullopt;
    }
    progress.Drew(draws);

    UncertaintyBudget budget;
    budget.draws = draws;
    budget.cone95 = Cone95(whole);
    const PosedTrajectory& track = *posed.TrajectoryNumbered(number);
    const double radius = posed.GetCase().TrajectoryNumbered(number)->radiusIn;
    AngleIntervals posedIntervals = IntervalsOf(track.posed, whole);
    posedIntervals.directionDetermined =
        DirectionDetermined(sampler.NominalTrack(), radius, track.posed.elevation, budget.cone95);
    budget.direction = posedIntervals.direction;
    budget.elevation = posedIntervals.elevation;
    budget.directionInterval = posedIntervals.directionInterval;
    budget.elevationInterval = posedIntervals.elevationInterval;
    budget.directionDetermined = posedIntervals.directionDetermined;
    if (posed.IsPosed()) {
        const double measuredCone95 = Cone95(measuredDraws);
        budget.anatomical = IntervalsOf(track.anatomical, measuredDraws);
        budget.anatomical.directionDetermined = DirectionDetermined(
            sampler.MeasuredTrack(), radius, track.anatomical.elevation, measuredCone95);
    } else {
        budget.anatomical = posedIntervals;
    }
    whole = {};
    measuredDraws = {};

    for (const NamedSource& source : named) {
        BudgetRunHooks stopOnly;
        stopOnly.cancelled = hooks.cancelled;
        const std::vector<Measure> alone =
            DrawAll(sampler, source.sources, sourceDraws, threads, stopOnly);
        if (progress.Cancelled()) {
            return std::nullopt;
        }
        progress.Drew(sourceDraws);
        budget.sources.push_back({source.name, Cone95(alone)});
    }
    std::stable_sort(
        budget.sources.begin(), budget.sources.end(),
        [](const BudgetSource& a, const BudgetSource& b) { return a.cone95 > b.cone95; });
    return budget;
}

std::vector<DrawnTrack> DrawPosedTracks(const PosedCase& posed, int number, int count,
                                        int threads) {
    const TrackSampler sampler(posed, number);
    if (!sampler.HasDirection() || count <= 0) {
        return {};
    }
    return DrawInBlocks<DrawnTrack>(count, ThreadsToUse(threads),
                                    [&](int block, int n, DrawnTrack* out) {
                                        sampler.DrawBlock(Sources::Every(), block, n, out);
                                    });
}

std::optional<double> UncertaintyCone95(const PosedCase& posed, int number, int draws,
                                        int threads) {
    const TrackSampler sampler(posed, number);
    if (!sampler.HasDirection()) {
        return std::nullopt;
    }
    return Cone95(DrawAll(sampler, Sources::Every(), std::max(draws, 1), ThreadsToUse(threads)));
}

std::string UncertaintyBudgetConvention(const Case& theCase) {
    const UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    // Only a case with a track of many points says how those are drawn: any other reads as it
    // always did.
    const bool points = std::any_of(theCase.trajectories.begin(), theCase.trajectories.end(),
                                    [](const Trajectory& t) { return !t.points.empty(); });
    return "The 95 % intervals come from " + std::to_string(model.DrawCount()) +
           " draws (Monte Carlo, fixed seed): IN and OUT each uniform in its ball" +
           (points ? " (and each point between them in its own, the track then the line fitted "
                     "through all of them)"
                   : "") +
           ", every joint "
           "that carries a point turned by a normal spread (sigma " +
           FormatFixed(model.poseSigma, 0, 1) +
           " degrees unless set per joint), soft tissue a "
           "normal shift of each point (sigma " +
           FormatFixed(model.tissueSigma * 100, 0, 1) + " cm); each source alone is drawn " +
           std::to_string(SourceRankingDraws(model.DrawCount())) +
           " times to rank the sources by their 95 % cone.";
}
