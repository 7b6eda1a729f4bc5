#include "base/ScopedDiagnosticSink.h"

#include <utility>

ScopedDiagnosticSink::ScopedDiagnosticSink(DiagnosticSink sink)
    : replaced(InstallDiagnosticSink(std::move(sink))) {}

ScopedDiagnosticSink::~ScopedDiagnosticSink() {
    InstallDiagnosticSink(std::move(replaced));
}
