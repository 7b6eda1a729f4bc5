#pragma once

// Receives the progress of a long operation (a body load) as a position from 0 to 100.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetProgress(int position) = 0;
};
