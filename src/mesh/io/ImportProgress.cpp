#include "mesh/io/ImportProgress.h"

#include "base/Diagnostics.h"

bool ImportProgress::Report(double fraction) {
    if (cancelled) {
        return false;
    }
    if (!callbacks.progress || (fraction - lastReported < 0.01 && fraction < 1.0)) {
        return true;
    }
    lastReported = fraction;
    cancelled = !callbacks.progress(fraction);
    return !cancelled;
}

void ImportProgress::Warn(const std::string& message) {
    ++warnings;
    if (warnings <= kMaxWarnings) {
        ReportDiagnostic(callbacks.warning, message);
    }
}

void ImportProgress::FinishWarnings() {
    if (warnings > kMaxWarnings) {
        ReportDiagnostic(callbacks.warning,
                         std::to_string(warnings - kMaxWarnings) + " more warnings not shown");
    }
}
