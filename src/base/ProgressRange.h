#pragma once

#include "base/ProgressSink.h"

// One step of a longer operation: the step's own 0 to 100 are shown as `from` to `to` of the
// whole, and a cancel asked of the whole is asked of the step. Without an outer sink it reports
// nowhere and never cancels.
class ProgressRange : public ProgressSink {
public:
    ProgressRange(ProgressSink* outer, int from, int to) : outer_(outer), from_(from), to_(to) {}

    void SetProgress(int position) override {
        if (outer_ != nullptr) {
            outer_->SetProgress(from_ + (to_ - from_) * position / 100);
        }
    }
    bool CancelRequested() const override { return outer_ != nullptr && outer_->CancelRequested(); }

private:
    ProgressSink* outer_;
    int from_;
    int to_;
};
