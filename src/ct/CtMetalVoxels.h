#pragma once

#include "base/ProgressSink.h"
#include "base/Status.h"
#include "ct/CtVolume.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A voxel at or above the metal threshold: its index in the volume (i + size[0] * (j + size[1] *
// k)) and its value.
struct CtMetalVoxel {
    uint64_t index = 0;
    int16_t hu = 0;
};

// The voxels at or above `thresholdHu`, in index order, found in one pass over the volume cut
// into slabs of slices, one slab per thread (0 threads: one per core). The list is the same on any
// number of threads. The progress sink, when given, sees 0 to 100 from the calling thread and may
// cancel. The pass stops and fails when more than `maxVoxels` voxels reach the threshold (so
// that a threshold in the bone cannot take the memory of a copy of the volume), or when
// cancelled; `voxels` is then empty.
Status CollectCtMetalVoxels(const CtVolume& volume, int thresholdHu, std::size_t threads,
                            std::size_t maxVoxels, ProgressSink* progress,
                            std::vector<CtMetalVoxel>& voxels);
