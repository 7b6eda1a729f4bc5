#pragma once

#include <functional>
#include <string>

// What a mesh import tells its caller while it runs: how far it has come, whether to go on, and
// the warnings of the reader. The core never prints them: they go to `warning` when the caller
// collects them (to show them with the loaded body), otherwise to the process's diagnostics sink.
struct MeshImportCallbacks {
    // The fraction of the import done (0 to 1); returning false stops the import (cancel).
    std::function<bool(double fraction)> progress;
    // One warning of the reader, a single line.
    std::function<void(const std::string& message)> warning;
    // Whether the reader takes the SHA-256 of the bytes it reads (Mesh::sourceSha256), which a
    // report cites; a caller that only looks at the model (`--obj-info`) saves the work.
    bool digest = true;
};

// Passes progress on to the callbacks no more often than every hundredth of the way, remembers a
// cancel, and limits the number of warnings a broken file can produce.
class ImportProgress {
public:
    explicit ImportProgress(const MeshImportCallbacks& importCallbacks)
        : callbacks(importCallbacks) {}

    // False once the caller has asked to stop; every later call says the same.
    bool Report(double fraction);
    bool Cancelled() const { return cancelled; }
    void Warn(const std::string& message);
    // Says how many warnings were held back, if any.
    void FinishWarnings();

private:
    static constexpr int kMaxWarnings = 20;

    const MeshImportCallbacks& callbacks;
    double lastReported = -1;
    bool cancelled = false;
    int warnings = 0;
};
