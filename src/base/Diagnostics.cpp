#include "base/Diagnostics.h"

#include <mutex>
#include <utility>

namespace {

// Function-local, so that a text reported while other files' statics are still being built
// finds the sink ready.
struct ProcessSink {
    std::mutex mutex;
    DiagnosticSink sink;
};

ProcessSink& TheSink() {
    static ProcessSink instance;
    return instance;
}

// Set while this thread is in the sink: a sink that reports would otherwise wait on itself.
thread_local bool inSink = false;

class InSink {
public:
    InSink() { inSink = true; }
    ~InSink() { inSink = false; }
    InSink(const InSink&) = delete;
    InSink& operator=(const InSink&) = delete;
};

} // namespace

DiagnosticSink InstallDiagnosticSink(DiagnosticSink sink) {
    ProcessSink& process = TheSink();
    const std::lock_guard lock(process.mutex);
    std::swap(process.sink, sink);
    return sink;
}

void ReportDiagnostic(const std::string& text) {
    if (inSink) {
        return;
    }
    ProcessSink& process = TheSink();
    // The sink is called under the lock: the lines of several threads stay whole, and a sink
    // being replaced is not in use once InstallDiagnosticSink returns.
    const std::lock_guard lock(process.mutex);
    if (process.sink) {
        const InSink marker;
        process.sink(text);
    }
}

void ReportDiagnostic(const DiagnosticSink& preferred, const std::string& text) {
    if (preferred) {
        preferred(text);
    } else {
        ReportDiagnostic(text);
    }
}
