// The edit layer's costs without drawing: an edit with its notification and its undo, and the
// recovery write of a full case (what the desktop program does after each burst of edits). An
// edit's notification includes posing the case again, which every change costs the program.
#include "base/FileAccess.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "casefile/DataFile.h"
#include "edit/CaseEditor.h"
#include "mesh/io/obj/ObjReader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A full case: the default body, 20 trajectories with labels and 20 elements with labels.
Case MakeFullCase() {
    Case theCase;
    ObjReadResult body = ReadObj(std::string(RUVO_SOURCE_DIR "/data/default/man1.obj"));
    if (body.mesh) {
        theCase.body.LoadMesh(std::move(body.mesh));
    }
    theCase.body.SetHeight(1.78);
    for (int n = 0; n < Case::kMaxTrajectories; ++n) {
        const int number = NumberOfIndex(static_cast<size_t>(n));
        Trajectory trajectory;
        trajectory.exited = n % 2 != 0;
        const double x = -0.3 + 0.03 * n;
        trajectory.in = {x, 1.2 + 0.01 * n, 0.3};
        trajectory.out = {x + 0.05, 1.1, -0.1};
        trajectory.color = {1, 0.2, 0.1};
        trajectory.label = "Trajectory " + std::to_string(number) + "\r\nentry wound, left chest";
        theCase.trajectories.push_back(trajectory);
        Element element;
        element.centre = {0.5, 0.1 * n, 0.2};
        element.size = {0.08, 0.05, 0.06};
        element.label = "Element " + std::to_string(number);
        theCase.elements.push_back(element);
    }
    return theCase;
}

// The full case with its editor, which poses it.
struct FullCase {
    Case theCase = MakeFullCase();
    CaseEditor editor{theCase};
    int heard = 0;

    FullCase() {
        // The view's listener asks for a frame; here it only counts.
        editor.AddListener([this](const CaseChange&) { ++heard; });
    }
};

// One drag's worth of change to a trajectory becomes an edit, is applied, heard and recorded.
void BM_EditTrajectoryWithNotification(benchmark::State& state) {
    FullCase full;
    std::vector<std::unique_ptr<CaseEdit>> history;
    history.reserve(1 << 20);
    full.editor.SetRecorder(
        [&history](std::unique_ptr<CaseEdit> edit) { history.push_back(std::move(edit)); });
    double shift = 0;
    for (auto _ : state) {
        shift += 0.001;
        full.editor.EditTrajectory(
            8, "Move", [shift](Trajectory& trajectory) { trajectory.offset.x = shift; });
        if (history.size() >= (1 << 20)) {
            state.PauseTiming();
            history.clear();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(full.heard);
}
BENCHMARK(BM_EditTrajectoryWithNotification);

// The body parameters as one edit (the body value is copied twice; the mesh is shared).
void BM_EditBodyWithNotification(benchmark::State& state) {
    FullCase full;
    double height = 1.5;
    for (auto _ : state) {
        height = height > 1.9 ? 1.5 : height + 0.001;
        full.editor.EditBody("Body parameters", [height](Body& b) { b.SetHeight(height); });
    }
    benchmark::DoNotOptimize(full.heard);
}
BENCHMARK(BM_EditBodyWithNotification);

// "Delete all" on a full case, undone again: the heaviest edit, two whole-case values.
void BM_DeleteAllAndUndo(benchmark::State& state) {
    FullCase full;
    std::unique_ptr<CaseEdit> last;
    full.editor.SetRecorder([&last](std::unique_ptr<CaseEdit> edit) { last = std::move(edit); });
    for (auto _ : state) {
        full.editor.EditCase("Delete all trajectories and elements", [](Case& edited) {
            edited.trajectories.clear();
            edited.elements.clear();
        });
        full.editor.Undo(*last);
    }
    benchmark::DoNotOptimize(full.heard);
}
BENCHMARK(BM_DeleteAllAndUndo);

// Where the desktop program keeps its recovery file: the user's data folder.
std::filesystem::path UserDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != 0) {
        return data;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0) {
        return std::filesystem::path(home) / ".local" / "share";
    }
    return std::filesystem::temp_directory_path();
}

// The recovery write of a full case: the data file text, written beside the target, flushed to
// the disk and renamed over it, in the user's data folder as the program does.
void BM_RecoveryWriteOfAFullCase(benchmark::State& state) {
    FullCase full;
    const std::filesystem::path folder =
        UserDataFolder() / ("ruvo-edit-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "recovery.txt").string();
    for (auto _ : state) {
        if (ReplaceFileContents(path, DataFile::Format(full.theCase)) != 0) {
            state.SkipWithError("the recovery file could not be written");
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_RecoveryWriteOfAFullCase)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
