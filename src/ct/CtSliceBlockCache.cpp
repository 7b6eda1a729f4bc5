#include "ct/CtSliceBlockCache.h"

#include "base/LargeArrays.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {

// The voxels of one cache line (64 bytes of 16-bit voxels).
constexpr int kBlockWidth = 32;
// Rows gathered at a time: each plane then receives whole cache lines.
constexpr std::size_t kTileRows = 32;
// Rows lie a cache line or more apart, four to a page, where the processor's own prefetching
// stops: their loads are asked for this many rows ahead.
constexpr std::size_t kRowsAhead = 32;
// The most planes between two pictures for which blocks are built.
constexpr int kScrollPlanes = 3;
// Enough rows to share between the cores.
constexpr std::size_t kManyRows = std::size_t{1} << 20;

} // namespace

CtSliceBlockCache::CtSliceBlockCache(const CtVolume& theVolume) : volume(theVolume) {
    // When every row starts at the same place in a cache line, the blocks follow the lines.
    if (volume.size[0] % kBlockWidth == 0 && !volume.hu.empty()) {
        phase = static_cast<int>(reinterpret_cast<std::uintptr_t>(volume.hu.data()) % 64 / 2);
    }
}

CtSliceBlockCache::~CtSliceBlockCache() {
    {
        const std::lock_guard lock(mutex);
        stopping = true;
    }
    if (worker.joinable()) {
        worker.join();
    }
}

int CtSliceBlockCache::BlockOf(int i) const {
    return (i + phase) / kBlockWidth;
}

int CtSliceBlockCache::BlockFirst(int block) const {
    return std::max(0, block * kBlockWidth - phase);
}

int CtSliceBlockCache::BlockEnd(int block) const {
    return std::min(volume.size[0], (block + 1) * kBlockWidth - phase);
}

int CtSliceBlockCache::BlockCount() const {
    return volume.size[0] > 0 ? BlockOf(volume.size[0] - 1) + 1 : 0;
}

CtSliceBlockCache::Slot* CtSliceBlockCache::SlotOf(int block) {
    for (Slot& slot : blockSlots) {
        if (slot.index == block) {
            return &slot;
        }
    }
    return nullptr;
}

CtSliceBlockCache::Slot* CtSliceBlockCache::FreeSlot(int keep) {
    Slot* chosen = nullptr;
    for (Slot& slot : blockSlots) {
        const bool building = slot.index >= 0 && !slot.ready;
        if (!building && (slot.index < 0 || slot.index != keep) &&
            (chosen == nullptr || slot.lastUse < chosen->lastUse)) {
            chosen = &slot;
        }
    }
    if (chosen != nullptr && (chosen->block == nullptr || chosen->block.use_count() > 1)) {
        // A block still being drawn from keeps its memory until the drawing ends.
        chosen->block = std::make_shared<CtSliceBlock>();
    }
    return chosen;
}

std::shared_ptr<const CtSliceBlock> CtSliceBlockCache::BlockHolding(int i, bool wait) {
    const int block = BlockOf(i);
    std::unique_lock lock(mutex);
    // Scrolling slowly moves a plane or two at a time. A block built while scrolling fast would
    // serve few pictures and slow those read beside its build; after a jump there is no telling
    // where to go next.
    if (lastPlane >= 0 && std::abs(i - lastPlane) > kScrollPlanes) {
        direction = 0;
    } else if (lastPlane >= 0 && i != lastPlane) {
        direction = i > lastPlane ? 1 : -1;
    }
    lastPlane = i;
    Slot* slot = SlotOf(block);
    if (wait) {
        built.wait(lock, [&] {
            slot = SlotOf(block);
            return slot == nullptr || slot->ready;
        });
        if (slot == nullptr) {
            slot = BuildNow(lock, block);
        }
    } else if (slot == nullptr || !slot->ready) {
        // A block takes longer to build than a picture takes to read from the volume, and its
        // build slows the reading: it is begun only once the planes move on a few at a time.
        if (slot == nullptr && direction != 0) {
            BuildAhead(block, -1);
        }
        return nullptr;
    }
    if (slot == nullptr) {
        return nullptr;
    }
    slot->lastUse = ++uses;
    std::shared_ptr<const CtSliceBlock> held = slot->block;
    if (direction != 0) {
        BuildAhead(block + direction, block);
    }
    return held;
}

CtSliceBlockCache::Slot* CtSliceBlockCache::BuildNow(std::unique_lock<std::mutex>& lock,
                                                     int block) {
    Slot* slot = FreeSlot(-1);
    if (slot == nullptr) {
        return nullptr;
    }
    slot->index = block;
    slot->ready = false;
    const std::shared_ptr<CtSliceBlock> target = slot->block;
    lock.unlock();
    const bool filled = Fill(*target, block, PartsFor(kManyRows));
    lock.lock();
    Publish(*slot, block, filled);
    return filled ? slot : nullptr;
}

void CtSliceBlockCache::BuildAhead(int block, int keep) {
    if (block < 0 || block >= BlockCount() || SlotOf(block) != nullptr || workerBusy || stopping) {
        return;
    }
    Slot* slot = FreeSlot(keep);
    if (slot == nullptr) {
        return;
    }
    if (worker.joinable()) {
        worker.join(); // done: it was no longer busy
    }
    slot->index = block;
    slot->ready = false;
    workerBusy = true;
    const std::shared_ptr<CtSliceBlock> target = slot->block;
    try {
        worker = std::thread([this, slot, block, target] {
            // One core: the other is left to the pictures read from the volume meanwhile.
            const bool filled = Fill(*target, block, 1);
            const std::lock_guard workerLock(mutex);
            Publish(*slot, block, filled);
            workerBusy = false;
        });
    } catch (const std::system_error&) {
        // No thread to be had: the pictures are read from the volume.
        Publish(*slot, block, false);
        workerBusy = false;
    }
}

void CtSliceBlockCache::Publish(Slot& slot, int block, bool filled) {
    slot.ready = filled;
    slot.index = filled ? block : -1;
    if (!filled) {
        slot.lastUse = 0;
    }
    built.notify_all();
}

bool CtSliceBlockCache::Fill(CtSliceBlock& target, int block, std::size_t parts) const {
    const int first = BlockFirst(block);
    const int count = BlockEnd(block) - first;
    const std::size_t rowLength = static_cast<std::size_t>(volume.size[0]);
    const std::size_t plane =
        static_cast<std::size_t>(volume.size[1]) * static_cast<std::size_t>(volume.size[2]);
    const std::size_t needed = plane * static_cast<std::size_t>(count);
    if (target.voxels == nullptr || target.capacity < needed) {
        target.voxels.reset();
        target.voxels = std::make_unique_for_overwrite<int16_t[]>(needed);
        target.capacity = needed;
        PreparePagesForWriting(target.voxels.get(), needed * sizeof(int16_t));
    }
    target.first = first;
    target.count = count;
    target.planeSize = plane;
    const int16_t* hu = volume.hu.data() + first;
    int16_t* out = target.voxels.get();
    std::atomic<bool> stopped{false};
    const std::size_t tiles = (plane + kTileRows - 1) / kTileRows;
    ForEachPart(tiles, parts, [&](std::size_t, std::size_t from, std::size_t to) {
        int16_t tile[kBlockWidth][kTileRows];
        for (std::size_t t = from; t < to; ++t) {
            if (stopping.load(std::memory_order_relaxed)) {
                stopped = true;
                return;
            }
            const std::size_t row0 = t * kTileRows;
            const std::size_t rows = std::min(kTileRows, plane - row0);
            for (std::size_t r = 0; r < rows; ++r) {
                const std::size_t row = row0 + r;
                if (row + kRowsAhead < plane) {
                    const int16_t* ahead = hu + (row + kRowsAhead) * rowLength;
                    __builtin_prefetch(ahead);
                    __builtin_prefetch(ahead + count - 1);
                }
                const int16_t* source = hu + row * rowLength;
                for (int c = 0; c < count; ++c) {
                    tile[c][r] = source[c];
                }
            }
            for (int c = 0; c < count; ++c) {
                std::memcpy(out + static_cast<std::size_t>(c) * plane + row0, tile[c],
                            rows * sizeof(int16_t));
            }
        }
    });
    return !stopped;
}
