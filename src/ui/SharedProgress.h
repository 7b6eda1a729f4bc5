#pragma once

#include "base/ProgressSink.h"

#include <atomic>

// The position a work on another thread has reached and the user's Cancel, shared between that
// thread, which writes the one and reads the other, and the interface's timer, which does the
// reverse.
class SharedProgress : public ProgressSink {
public:
    void SetProgress(int position) override { reached = position; }
    bool CancelRequested() const override { return stop; }
    void Cancel() { stop = true; }
    int Reached() const { return reached; }

private:
    std::atomic<int> reached = 0;
    std::atomic<bool> stop = false;
};
