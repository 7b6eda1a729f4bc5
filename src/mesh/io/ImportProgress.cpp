#include "mesh/io/ImportProgress.h"

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
    if (callbacks.warning && warnings <= kMaxWarnings) {
        callbacks.warning(message);
    }
}

void ImportProgress::FinishWarnings() {
    if (callbacks.warning && warnings > kMaxWarnings) {
        callbacks.warning(std::to_string(warnings - kMaxWarnings) + " more warnings not shown");
    }
}
