#include "ct/CtMetalVoxels.h"

#include "base/LargeArrays.h"

#include <algorithm>
#include <atomic>
#include <limits>
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

} // namespace

Status CollectCtMetalVoxels(const CtVolume& volume, int thresholdHu, std::size_t threads,
                            ProgressSink* progress, std::vector<CtMetalVoxel>& voxels) {
    voxels.clear();
    const int slices = volume.size[2];
    if (slices <= 0 || volume.size[0] <= 0 || volume.size[1] <= 0) {
        return Status::Ok();
    }
    // A threshold above every int16 value finds nothing; one below all of them finds everything.
    const int16_t threshold = static_cast<int16_t>(std::clamp(thresholdHu, -32768, 32767));
    if (thresholdHu > 32767) {
        return Status::Ok();
    }
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t parts =
        std::min(threads == 0 ? cores : threads, static_cast<std::size_t>(slices));
    std::vector<std::vector<CtMetalVoxel>> found(parts);
    std::atomic<bool> stop{false};
    ForEachPart(static_cast<std::size_t>(slices), parts,
                [&](std::size_t part, std::size_t begin, std::size_t end) {
                    for (std::size_t k = begin; k < end && !stop.load(); ++k) {
                        CollectSlice(volume, static_cast<int>(k), threshold, found[part]);
                        if (part == 0 && progress && (k - begin) % kSlicesPerStep == 0) {
                            progress->SetProgress(static_cast<int>(
                                100 * (k - begin) / std::max<std::size_t>(1, end - begin)));
                            if (progress->CancelRequested()) {
                                stop = true;
                            }
                        }
                    }
                });
    if (stop.load()) {
        return Status::Failure("Finding the metal was cancelled.");
    }
    std::size_t total = 0;
    for (const auto& part : found) {
        total += part.size();
    }
    voxels.reserve(total);
    for (auto& part : found) {
        voxels.insert(voxels.end(), part.begin(), part.end());
        std::vector<CtMetalVoxel>().swap(part);
    }
    if (progress) {
        progress->SetProgress(100);
    }
    return Status::Ok();
}
