#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// The number of parts ForEachPart cuts `count` items into: one per processor core, one for few.
inline std::size_t PartsFor(std::size_t count) {
    constexpr std::size_t kSmall = 1u << 14;
    return count < kSmall ? 1 : std::max<std::size_t>(1, std::thread::hardware_concurrency());
}

// Calls work(part, begin, end) on `parts` consecutive parts of [0, count), each on a thread of its
// own (the first on the calling thread).
template <typename Work> void ForEachPart(std::size_t count, std::size_t parts, const Work& work) {
    std::vector<std::jthread> threads;
    for (std::size_t part = 1; part < parts; ++part) {
        const std::size_t begin = count * part / parts, end = count * (part + 1) / parts;
        try {
            threads.emplace_back([&work, part, begin, end] { work(part, begin, end); });
        } catch (const std::system_error&) {
            work(part, begin, end); // no thread to be had: do the part here
        }
    }
    work(std::size_t{0}, std::size_t{0}, count / parts);
}

// The same with PartsFor(count) parts, calling work(begin, end).
template <typename Work> void ForEachPart(std::size_t count, const Work& work) {
    ForEachPart(count, PartsFor(count),
                [&work](std::size_t, std::size_t begin, std::size_t end) { work(begin, end); });
}

namespace largearrays {

constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;

// The C library keeps a large block in a mapping of its own, with a 16-byte header before the
// array: a block of n bytes takes n + 24 bytes of its mapping. An array that begins or ends this
// close to a huge-page boundary has that huge page to itself.
constexpr std::uintptr_t kBlockMargin = 64;
constexpr std::size_t kBlockOverhead = 24;

#if defined(__linux__) && defined(MADV_COLLAPSE)
constexpr int kCollapse = MADV_COLLAPSE;
#else
constexpr int kCollapse = 25; // Linux 6.1; older C library headers do not name it
#endif

} // namespace largearrays

// The capacity to reserve for `count` items of `itemBytes` bytes. An array of half a huge page or
// more is given the rest of its last huge page, so that the C library asks the system for whole
// huge pages, which the system then maps on a huge-page boundary: the whole array can then sit on
// huge pages, at most one huge page more than it needs.
inline std::size_t CapacityOnHugePages(std::size_t count, std::size_t itemBytes) {
    using namespace largearrays;
    if (itemBytes == 0 || count >= (std::size_t{1} << 40) / itemBytes ||
        count * itemBytes < kHugePage / 2) {
        return count;
    }
    const std::size_t block =
        (count * itemBytes + kBlockOverhead + kHugePage - 1) & ~std::size_t{kHugePage - 1};
    return std::max(count, (block - kBlockOverhead) / itemBytes);
}

// Makes the pages of [data, data + bytes) ready before an array is filled there; its allocation
// reaches to data + reservedBytes when that is further. A page faulted in by the first write costs
// several times as much as one the system prepares on request, on virtual machines most of all,
// so every array of more than a few pages is prepared in one request; the huge pages the
// allocation spans, including its first and last when it has them to itself, are first asked for,
// which cuts the number of pages by hundreds. Only arrays of megabytes are prepared by every core
// at once: for smaller ones, starting the threads costs more than it saves.
inline void PreparePagesForWriting(void* data, std::size_t bytes, std::size_t reservedBytes = 0) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    using largearrays::kBlockMargin;
    using largearrays::kHugePage;
    constexpr std::size_t kPreparedBytes = std::size_t{64} << 10;
    constexpr std::size_t kParallelBytes = std::size_t{2} << 20;
    constexpr std::uintptr_t kPage = std::uintptr_t{1} << 12;
    if (bytes < kPreparedBytes) {
        return; // a few pages, likely already in use by the heap
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t end = begin + bytes;
    const std::uintptr_t reservedEnd = begin + std::max(bytes, reservedBytes);
    const std::uintptr_t below = begin & ~(kHugePage - 1);
    const std::uintptr_t above = (reservedEnd + kHugePage - 1) & ~(kHugePage - 1);
    const bool ownsFirst = begin != below && begin - below <= kBlockMargin;
    const std::uintptr_t first = ownsFirst ? below : (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last =
        above - reservedEnd <= kBlockMargin ? above : reservedEnd & ~(kHugePage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
        if (ownsFirst) {
            // The library has written the header there, so that huge page already holds one small
            // page and would be filled with small ones: it is made a huge page at once instead.
            ::madvise(reinterpret_cast<void*>(first), kHugePage, largearrays::kCollapse);
        }
    }
#if defined(MADV_POPULATE_WRITE)
    // The whole array, its unaligned ends included, in page-aligned parts. Older kernels refuse
    // the advice; the pages are then made ready as they are filled.
    const std::uintptr_t from = begin & ~(kPage - 1);
    const std::size_t pages = (((end + kPage - 1) & ~(kPage - 1)) - from) / kPage;
    const std::size_t parts =
        bytes < kParallelBytes ? 1 : std::max<std::size_t>(1, std::thread::hardware_concurrency());
    ForEachPart(pages, parts, [from](std::size_t, std::size_t a, std::size_t b) {
        ::madvise(reinterpret_cast<void*>(from + a * kPage), (b - a) * kPage, MADV_POPULATE_WRITE);
    });
#endif
#else
    (void)data;
    (void)bytes;
    (void)reservedBytes;
#endif
}

// Sizes `array` to exactly `count` copies of `value` in a fresh allocation whose pages are
// prepared as PreparePagesForWriting says; its capacity reaches to the end of its last huge page.
template <typename T>
void AllocateExactly(std::vector<T>& array, std::size_t count, const T& value) {
    std::vector<T>().swap(array);
    array.reserve(CapacityOnHugePages(count, sizeof(T)));
    PreparePagesForWriting(array.data(), count * sizeof(T), array.capacity() * sizeof(T));
    array.assign(count, value);
}

// Gives `array` room for `count` items in all, on pages prepared as PreparePagesForWriting says,
// for an array that is then filled by appending.
template <typename T> void ReserveOnHugePages(std::vector<T>& array, std::size_t count) {
    if (count <= array.capacity()) {
        return;
    }
    array.reserve(CapacityOnHugePages(count, sizeof(T)));
    PreparePagesForWriting(array.data() + array.size(), (count - array.size()) * sizeof(T),
                           (array.capacity() - array.size()) * sizeof(T));
}
