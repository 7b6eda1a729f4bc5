#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Threads kept for drawing a picture's rows again and again: each call hands the rows out in
// small batches to the caller's thread and the kept ones and returns when every row is drawn.
// Nothing is allocated per call, so that a picture redrawn while the user drags costs only the
// drawing. One call at a time.
class CtRowThreads {
public:
    // `threads` in all, the caller's included; 0 takes the machine's cores (at most 8).
    explicit CtRowThreads(int threads = 0);
    ~CtRowThreads();
    CtRowThreads(const CtRowThreads&) = delete;
    CtRowThreads& operator=(const CtRowThreads&) = delete;

    int Threads() const { return static_cast<int>(workers.size()) + 1; }

    // Calls rows(first, end) for batches covering parts (rows, stripes) 0 to count - 1, each
    // exactly once.
    template <class Rows> void ForParts(int count, Rows& rows) {
        Run(
            count,
            [](void* context, int first, int end) { (*static_cast<Rows*>(context))(first, end); },
            &rows);
    }

private:
    using RowFunction = void (*)(void*, int, int);
    void Run(int count, RowFunction function, void* context);
    void Work();
    void TakeBatches();

    std::vector<std::thread> workers;
    std::mutex mutex;
    std::condition_variable started, finished;
    uint64_t generation = 0;
    int busy = 0;
    bool stopping = false;
    bool open = false; // the current job still takes threads
    RowFunction function_ = nullptr;
    void* context_ = nullptr;
    int count_ = 0;
    std::atomic<int> nextRow{0};
};
