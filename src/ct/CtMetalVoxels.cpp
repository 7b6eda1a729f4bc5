#include "ct/CtMetalVoxels.h"

#include "base/LargeArrays.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <string>
#include <thread>

namespace {

// The slices a thread scans between two looks at the progress sink and the other threads.
constexpr int kSlicesPerStep = 16;

// Values looked at together: a block of a fixed length, which the compiler's cheapest
// vectorisation takes whole.
constexpr int kBlock = 32;

// True when some value of the row reaches the threshold. The blocks' loops become vector
// instructions, so that the rows without metal, nearly all of them, cost one read of their values.
bool RowReaches(const int16_t* row, int count, int16_t threshold) {
    int i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        int16_t peak = std::numeric_limits<int16_t>::min();
        for (int b = 0; b < kBlock; ++b) {
            peak = std::max(peak, row[i + b]);
        }
        if (peak >= threshold) {
            return true;
        }
    }
    for (; i < count; ++i) {
        if (row[i] >= threshold) {
            return true;
        }
    }
    return false;
}

void CollectSlice(const CtVolume& volume, int k, int16_t threshold,
                  std::vector<CtMetalVoxel>& voxels) {
    const int nx = volume.size[0];
    for (int j = 0; j < volume.size[1]; ++j) {
        const uint64_t first = static_cast<uint64_t>(nx) *
                               (static_cast<uint64_t>(j) +
                                static_cast<uint64_t>(volume.size[1]) * static_cast<uint64_t>(k));
        const int16_t* row = volume.hu.data() + first;
        if (!RowReaches(row, nx, threshold)) {
            continue;
        }
        for (int i = 0; i < nx; ++i) {
            if (row[i] >= threshold) {
                voxels.push_back({first + static_cast<uint64_t>(i), row[i]});
            }
        }
    }
}

// The pass's state shared by its threads: whether to stop (cancelled, or too many voxels) and
// how many voxels the threads have found so far.
struct MetalPass {
    const CtVolume& volume;
    int16_t threshold;
    std::size_t maxVoxels;
    ProgressSink* progress;
    std::atomic<bool> cancelled{false}, tooMany{false};
    std::atomic<std::size_t> count{0};

    bool Stopped() const { return cancelled.load() || tooMany.load(); }

    void Scan(std::size_t part, std::size_t begin, std::size_t end,
              std::vector<CtMetalVoxel>& voxels) {
        for (std::size_t k = begin; k < end && !Stopped(); ++k) {
            const std::size_t before = voxels.size();
            CollectSlice(volume, static_cast<int>(k), threshold, voxels);
            if (count.fetch_add(voxels.size() - before) + voxels.size() - before > maxVoxels) {
                tooMany = true;
            }
            if (part == 0 && progress && (k - begin) % kSlicesPerStep == 0) {
                progress->SetProgress(static_cast<int>(100 * (k - begin) / (end - begin)));
                if (progress->CancelRequested()) {
                    cancelled = true;
                }
            }
        }
    }
};

} // namespace

Status CollectCtMetalVoxels(const CtVolume& volume, int thresholdHu, std::size_t threads,
                            std::size_t maxVoxels, ProgressSink* progress,
                            std::vector<CtMetalVoxel>& voxels) {
    voxels.clear();
    const int slices = volume.size[2];
    if (slices <= 0 || volume.size[0] <= 0 || volume.size[1] <= 0 || thresholdHu > 32767) {
        return Status::Ok(); // no voxel reaches a threshold above every stored value
    }
    MetalPass pass{volume, static_cast<int16_t>(std::max(thresholdHu, -32768)), maxVoxels,
                   progress};
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t parts =
        std::min(threads == 0 ? cores : threads, static_cast<std::size_t>(slices));
    std::vector<std::vector<CtMetalVoxel>> found(parts);
    ForEachPart(static_cast<std::size_t>(slices), parts,
                [&pass, &found](std::size_t part, std::size_t begin, std::size_t end) {
                    pass.Scan(part, begin, end, found[part]);
                });
    if (pass.cancelled.load()) {
        return Status::Failure("Finding the metal was cancelled.");
    }
    if (pass.tooMany.load()) {
        return Status::Failure("More than " + std::to_string(maxVoxels) + " voxels reach " +
                               std::to_string(thresholdHu) +
                               " HU: that threshold is too low to tell metal.");
    }
    voxels.reserve(pass.count.load());
    for (auto& part : found) {
        voxels.insert(voxels.end(), part.begin(), part.end());
        std::vector<CtMetalVoxel>().swap(part);
    }
    if (progress) {
        progress->SetProgress(100);
    }
    return Status::Ok();
}
