#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

// Gathers how far the threads reading a model have come. The callback runs only on the thread
// that created this object (the caller's thread, which reads a stretch of its own), about every
// megabyte; the first reading covers 0 to 0.5, the second 0.5 to 1.
class ObjReadProgress {
public:
    ObjReadProgress(const std::function<void(double)>& callback, std::size_t size)
        : callback_(callback), size_(size), owner_(std::this_thread::get_id()) {}

    // Starts the second reading.
    void BeginSecondReading() {
        bytesDone_ = 0;
        from_ = 0.5;
        nextReport_ = 0;
    }

    void Advance(std::size_t bytes) {
        const std::size_t done = bytesDone_ += bytes;
        if (!callback_ || std::this_thread::get_id() != owner_ || done < nextReport_) {
            return;
        }
        nextReport_ = done + (1u << 20);
        callback_(from_ + 0.5 * static_cast<double>(done) / static_cast<double>(size_));
    }

private:
    const std::function<void(double)>& callback_;
    std::size_t size_;
    std::thread::id owner_;
    std::atomic<std::size_t> bytesDone_{0};
    double from_ = 0.0;
    std::size_t nextReport_ = 0;
};
