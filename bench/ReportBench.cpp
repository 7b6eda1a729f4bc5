// The case report of a full case (20 trajectories, 20 elements, every uncertainty source on) in
// each format, written by the command line exactly as a user runs it: start, default models,
// case, budgets, views, layout, file. The posed variant kneels with the right shoulder abducted,
// every point on its body part, so that posing the trajectories, the landmarks and the drawn
// body counts as well.
#include "case/Case.h"
#include "casefile/DataFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

Case FullCase(bool posed) {
    Case theCase;
    // The default body, so that the case carries its height.
    (void)theCase.body.Load(RUVO_SOURCE_DIR "/data/default/man1.obj");
    // Every source of the uncertainty budget on, at its default 100,000 draws.
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    (void)model.SetSigma("pose", 5);
    (void)model.SetSigma("tissue", 0.01);
    (void)model.SetSigma("heading", 3);
    (void)model.SetSigma("placement", 0.05);
    if (posed) {
        Posture posture = *Posture::Preset("kneeling");
        posture.Set(skeleton::Joint::RightShoulder, {0, 0, 78});
        theCase.body.SetPosture(posture);
    }
    for (int i = 0; i < 20; ++i) {
        const double angle = i * 0.3;
        Trajectory trajectory;
        trajectory.exited = i % 2 != 0;
        trajectory.in = {0.15 * std::cos(angle), 0.9 + 0.03 * i, 0.12 + 0.1 * std::sin(angle)};
        trajectory.out = {-0.15 * std::cos(angle), 1.0 + 0.02 * i, 0.12 - 0.1 * std::sin(angle)};
        if (posed) {
            trajectory.inPart = theCase.body.PartNearest(trajectory.in);
            trajectory.outPart = theCase.body.PartNearest(trajectory.out);
        }
        trajectory.color = {1, i / 20.0, 0};
        trajectory.radiusIn = 0.005;
        trajectory.label = "Wound " + std::to_string(i + 1);
        theCase.trajectories.push_back(trajectory);
        Element element;
        element.centre = {0.2 * std::sin(angle), 0.5 + 0.05 * i, 0.1};
        element.yaw = 10.0 * i;
        element.size = {0.03, 0.02, 0.05};
        element.label = "Fragment " + std::to_string(i + 1);
        theCase.elements.push_back(element);
    }
    return theCase;
}

std::string CaseFile(bool posed) {
    const auto write = [](bool kneel) {
        const std::string name =
            kneel ? "ruvo-report-bench-posed.txt" : "ruvo-report-bench-case.txt";
        const std::string file = (std::filesystem::temp_directory_path() / name).string();
        (void)DataFile::Write(FullCase(kneel), file);
        return file;
    };
    static const std::string standing = write(false);
    static const std::string kneeling = write(true);
    return posed ? kneeling : standing;
}

void WriteReport(benchmark::State& state, const std::string& extension, bool posed) {
    const std::string output =
        (std::filesystem::temp_directory_path() / ("ruvo-report-bench" + extension)).string();
    const std::string command = "cd '" RUVO_SOURCE_DIR "' && '" RUVO_BINARY "' --report '" +
                                CaseFile(posed) + "' --output '" + output + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ruvo --report failed");
            break;
        }
    }
    state.SetLabel(posed ? extension + ", posed" : extension);
}

void BM_ReportPdf(benchmark::State& state) {
    WriteReport(state, ".pdf", false);
}
void BM_ReportHtml(benchmark::State& state) {
    WriteReport(state, ".html", false);
}
void BM_ReportJson(benchmark::State& state) {
    WriteReport(state, ".json", false);
}
void BM_PosedReportPdf(benchmark::State& state) {
    WriteReport(state, ".pdf", true);
}
void BM_PosedReportJson(benchmark::State& state) {
    WriteReport(state, ".json", true);
}

} // namespace

BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReportHtml)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReportJson)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PosedReportPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PosedReportJson)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
