// The posture's costs: posing the default body's mesh for a new posture (what a slider step in
// the posture panel costs before the frame is drawn) and the wound alignment search, which is
// meant to answer in well under 2 s.
#include "body/PosedBody.h"
#include "body/PostureAlignment.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "case/WoundAlignment.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<Case> DefaultBodyCase() {
    auto theCase = std::make_unique<Case>();
    if (!theCase->body.Load(RUVO_SOURCE_DIR "/data/default/man1.obj").ok()) {
        return nullptr;
    }
    return theCase;
}

void PoseTheDefaultBody(benchmark::State& state) {
    std::unique_ptr<Case> theCase = DefaultBodyCase();
    if (!theCase) {
        state.SkipWithError("the default body did not load");
        return;
    }
    PosedCase posed(*theCase);
    double knee = 0;
    for (auto _ : state) {
        Posture posture = *Posture::Preset("kneeling");
        knee = knee >= 140 ? 90 : knee + 1; // a new posture every time
        posture.Set(skeleton::Joint::RightKnee, {0, knee, 0});
        theCase->body.SetPosture(posture);
        // As the editor does after a change: the case posed again, its mesh with it.
        posed = PosedCase(*theCase, &posed);
        benchmark::DoNotOptimize(posed.GetBody().GetMesh());
    }
}
BENCHMARK(PoseTheDefaultBody)->Unit(benchmark::kMillisecond);

// A forearm track and a chest track made collinear by a raised, bent arm, searched from the
// anatomical position over both joints' three angles.
void AlignTwoWounds(benchmark::State& state) {
    std::unique_ptr<Case> theCase = DefaultBodyCase();
    if (!theCase) {
        state.SkipWithError("the default body did not load");
        return;
    }
    Body& body = theCase->body;
    Posture known;
    known.Set(skeleton::Joint::RightShoulder, {0, 50, 25});
    known.Set(skeleton::Joint::RightElbow, {0, 60, 0});
    body.SetPosture(known);
    const PosedBody posedBody(body);
    const Vec3 in1 = {-0.25, 0.95, 0.12}, out1 = {-0.20, 0.955, 0.11};
    const Vec3 p1 = posedBody.PosePoint(in1, "right_forearm");
    const Vec3 p2 = posedBody.PosePoint(out1, "right_forearm");
    const Vec3 d = {p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
    Trajectory& arm = theCase->trajectories.emplace_back();
    arm.in = in1;
    arm.out = out1;
    arm.inPart = arm.outPart = "right_forearm";
    Trajectory& chest = theCase->trajectories.emplace_back();
    chest.in = {p2.x + 3 * d.x, p2.y + 3 * d.y, p2.z + 3 * d.z};
    chest.out = {p2.x + 6 * d.x, p2.y + 6 * d.y, p2.z + 6 * d.z};
    chest.inPart = chest.outPart = "trunk";
    body.ResetPose();
    const AlignmentRequest request{AlignmentTrackOf(*theCase, 1),
                                   AlignmentTrackOf(*theCase, 2),
                                   {skeleton::Joint::RightShoulder, skeleton::Joint::RightElbow}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(AlignWounds(body, request));
    }
}
BENCHMARK(AlignTwoWounds)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
