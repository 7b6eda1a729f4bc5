#pragma once

#include "base/ScopedDiagnosticSink.h"

#include <string>
#include <vector>

// Records what library code reports to the process's diagnostics sink for as long as it lives.
// Read the texts once the reporting threads are done.
class RecordedDiagnostics {
public:
    RecordedDiagnostics() = default;
    RecordedDiagnostics(const RecordedDiagnostics&) = delete;
    RecordedDiagnostics& operator=(const RecordedDiagnostics&) = delete;

    const std::vector<std::string>& Texts() const { return texts; }

    // Every text followed by a line break, as the command line prints them.
    std::string Lines() const {
        std::string lines;
        for (const std::string& text : texts) {
            lines += text + '\n';
        }
        return lines;
    }

private:
    std::vector<std::string> texts; // made before the sink that fills it, and let go after it
    ScopedDiagnosticSink sink{[this](const std::string& text) { texts.push_back(text); }};
};
