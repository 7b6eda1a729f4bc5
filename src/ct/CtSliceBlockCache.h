#pragma once

#include "ct/CtVolume.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

// The voxels of a run of neighbouring indices along a volume's rows (i from `first`, `count` of
// them), each index's plane of voxels stored whole: voxel (i, j, k) at
// voxels[(i - first) * planeSize + j + size[1] * k].
struct CtSliceBlock {
    int first = 0, count = 0;
    std::size_t planeSize = 0;
    std::unique_ptr<int16_t[]> voxels;
    std::size_t capacity = 0; // voxels allocated

    const int16_t* Plane(int i) const {
        return voxels.get() + static_cast<std::size_t>(i - first) * planeSize;
    }
};

// The planes across a volume's rows (one i, every j and k), as the slices whose normal runs
// along the rows are drawn. In the volume such a plane has each voxel on a cache line of its
// own, shared with the 31 voxels next to it along the row: a block of the indices of one cache
// line is read once into planes of contiguous voxels, on a thread of its own, and while the reads
// move on from plane to plane the next block that way is made ready there too. At most three blocks
// are held. The volume must outlive the cache; the destructor stops and waits for the thread.
class CtSliceBlockCache {
public:
    explicit CtSliceBlockCache(const CtVolume& volume);
    ~CtSliceBlockCache();
    CtSliceBlockCache(const CtSliceBlockCache&) = delete;
    CtSliceBlockCache& operator=(const CtSliceBlockCache&) = delete;

    // The block holding plane i (0 <= i < size[0]) when it is ready. With `wait` a block not
    // ready is built now or, when being built, waited for. Without, null is returned (the plane
    // is then read from the volume) and, once the planes asked for move a few at a time, the
    // block's build begun on the thread of its own when that is free. Null also when every
    // block is in use by other callers. While the planes asked for move a few at a time, the
    // next block that way is built on that thread.
    std::shared_ptr<const CtSliceBlock> BlockHolding(int i, bool wait);

    // The block plane i belongs to, and the indices that block covers.
    int BlockOf(int i) const;
    int BlockFirst(int block) const;
    int BlockEnd(int block) const;
    int BlockCount() const;

private:
    struct Slot {
        std::shared_ptr<CtSliceBlock> block;
        int index = -1;
        bool ready = false;
        std::uint64_t lastUse = 0;
    };
    static constexpr int kSlots = 3;

    Slot* SlotOf(int block);
    // A slot for a new block: the least recently used that is neither being built nor `keep`.
    Slot* FreeSlot(int keep);
    // Builds the block on the calling thread (the lock released meanwhile).
    Slot* BuildNow(std::unique_lock<std::mutex>& lock, int block);
    // Begins building the block on the thread of its own unless held, being built or the
    // thread busy, in a slot other than that of `keep`.
    void BuildAhead(int block, int keep);
    // Fills the slot's block with the voxels of `block`, on `parts` threads; false when stopped.
    bool Fill(CtSliceBlock& target, int block, std::size_t parts) const;
    void Publish(Slot& slot, int block, bool filled);

    const CtVolume& volume;
    int phase = 0; // voxels from the start of the first cache line to index 0 of a row
    std::mutex mutex;
    std::condition_variable built;
    std::array<Slot, kSlots> blockSlots; // not "slots": a macro where Qt is included
    std::uint64_t uses = 0;
    int lastPlane = -1, direction = 0;
    bool workerBusy = false;
    std::atomic<bool> stopping{false};
    std::thread worker;
};
