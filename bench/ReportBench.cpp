// The case report of a full case (20 trajectories, 20 elements, every uncertainty source on) in
// each format, written by the command line exactly as a user runs it: start, default models,
// case, budgets, views, layout, file.
#include "case/Case.h"
#include "casefile/DataFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

std::string FullCaseFile() {
    static const std::string path = [] {
        Case theCase;
        // The default body, so that the case carries its height.
        theCase.GetBody().Load(RUVO_SOURCE_DIR "/data/default/man1.obj");
        // Every source of the uncertainty budget on, at its default 100,000 draws.
        UncertaintyModel& model = theCase.GetBody().GetUncertaintyModel();
        (void)model.SetSigma("pose", 5);
        (void)model.SetSigma("tissue", 0.01);
        (void)model.SetSigma("heading", 3);
        (void)model.SetSigma("placement", 0.05);
        for (int i = 0; i < 20; ++i) {
            const double angle = i * 0.3;
            Trajectory* trajectory = theCase.AddTrajectory(i % 2);
            trajectory->SetPoints(0.15 * std::cos(angle), 0.9 + 0.03 * i,
                                  0.12 + 0.1 * std::sin(angle), -0.15 * std::cos(angle),
                                  1.0 + 0.02 * i, 0.12 - 0.1 * std::sin(angle));
            trajectory->SetColor(1, i / 20.0, 0);
            (void)trajectory->SetUncertainty(0.005);
            trajectory->SetText("Wound " + std::to_string(i + 1));
            auto element = std::make_unique<Element>();
            element->Set(0.2 * std::sin(angle), 0.5 + 0.05 * i, 0.1, 10.0 * i, 0, 0);
            element->SetWidth(0.03);
            element->SetHeight(0.02);
            element->SetLength(0.05);
            element->SetText("Fragment " + std::to_string(i + 1));
            theCase.GetElements().Add(std::move(element));
        }
        const std::string file =
            (std::filesystem::temp_directory_path() / "ruvo-report-bench-case.txt").string();
        DataFile::Write(theCase, file);
        return file;
    }();
    return path;
}

void WriteReport(benchmark::State& state, const std::string& extension) {
    const std::string output =
        (std::filesystem::temp_directory_path() / ("ruvo-report-bench" + extension)).string();
    const std::string command = "cd '" RUVO_SOURCE_DIR "' && '" RUVO_BINARY "' --report '" +
                                FullCaseFile() + "' --output '" + output + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ruvo --report failed");
            break;
        }
    }
    state.SetLabel(extension);
}

void BM_ReportPdf(benchmark::State& state) {
    WriteReport(state, ".pdf");
}
void BM_ReportHtml(benchmark::State& state) {
    WriteReport(state, ".html");
}
void BM_ReportJson(benchmark::State& state) {
    WriteReport(state, ".json");
}

} // namespace

BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReportHtml)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ReportJson)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
