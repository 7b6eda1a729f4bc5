#pragma once

#include "base/Diagnostics.h"

// Installs a sink for as long as it lives, then puts back the one it replaced: a command that
// writes the texts to its own error stream stops before that stream goes.
class ScopedDiagnosticSink {
public:
    explicit ScopedDiagnosticSink(DiagnosticSink sink);
    ~ScopedDiagnosticSink();
    ScopedDiagnosticSink(const ScopedDiagnosticSink&) = delete;
    ScopedDiagnosticSink& operator=(const ScopedDiagnosticSink&) = delete;

private:
    DiagnosticSink replaced;
};
