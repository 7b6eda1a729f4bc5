#pragma once

// Receives the progress of a long operation (a body load) as a position from 0 to 100, and
// tells the operation when the user wants it stopped.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetProgress(int position) = 0;
    // True once the user has asked to stop the operation (a sink without a Cancel says false).
    virtual bool CancelRequested() const { return false; }
};
