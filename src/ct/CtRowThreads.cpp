#include "ct/CtRowThreads.h"

#include <algorithm>

namespace {

constexpr int kRowsPerBatch = 1;
constexpr int kMostThreads = 8;

} // namespace

CtRowThreads::CtRowThreads(int threads) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int total = std::clamp(threads > 0 ? threads : cores, 1, kMostThreads);
    workers.reserve(static_cast<size_t>(total - 1));
    for (int n = 1; n < total; ++n) {
        workers.emplace_back([this] { Work(); });
    }
}

CtRowThreads::~CtRowThreads() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    started.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
}

void CtRowThreads::Run(int count, RowFunction function, void* context) {
    if (count <= 0) {
        return;
    }
    if (workers.empty() || count <= kRowsPerBatch) {
        function(context, 0, count);
        return;
    }
    {
        std::lock_guard lock(mutex);
        function_ = function;
        context_ = context;
        count_ = count;
        nextRow.store(0, std::memory_order_relaxed);
        open = true;
        ++generation;
    }
    started.notify_all();
    TakeBatches();
    // A kept thread the system has not woken by now finds the job closed and sleeps on: on a
    // busy machine the caller does not wait for threads that never started.
    std::unique_lock lock(mutex);
    open = false;
    finished.wait(lock, [this] { return busy == 0; });
}

void CtRowThreads::TakeBatches() {
    for (;;) {
        const int first = nextRow.fetch_add(kRowsPerBatch, std::memory_order_relaxed);
        if (first >= count_) {
            return;
        }
        function_(context_, first, std::min(first + kRowsPerBatch, count_));
    }
}

void CtRowThreads::Work() {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex);
            started.wait(lock, [&] { return stopping || generation != seen; });
            if (stopping) {
                return;
            }
            seen = generation;
            if (!open) {
                continue;
            }
            ++busy;
        }
        TakeBatches();
        {
            std::lock_guard lock(mutex);
            --busy;
        }
        finished.notify_one();
    }
}
