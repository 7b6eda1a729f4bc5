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

// Makes the pages of [data, data + bytes) ready before an array is filled there. A page faulted
// in by the first write costs several times as much as one the system prepares on request, on
// virtual machines most of all, so every array of more than a few pages is prepared in one
// request; arrays that span whole huge pages are first asked to sit on them, which cuts the
// number of pages by hundreds. Only arrays of megabytes are prepared by every core at
// once: for smaller ones, starting the threads costs more than it saves.
inline void PreparePagesForWriting(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kPreparedBytes = std::size_t{64} << 10;
    constexpr std::size_t kParallelBytes = std::size_t{2} << 20;
    constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
    constexpr std::uintptr_t kPage = std::uintptr_t{1} << 12;
    if (bytes < kPreparedBytes) {
        return; // a few pages, likely already in use by the heap
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t end = begin + bytes;
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
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
#endif
}

// Sizes `array` to exactly `count` copies of `value` in a fresh allocation whose pages are
// prepared as PreparePagesForWriting says.
template <typename T>
void AllocateExactly(std::vector<T>& array, std::size_t count, const T& value) {
    std::vector<T>().swap(array);
    array.reserve(count);
    PreparePagesForWriting(array.data(), count * sizeof(T));
    array.assign(count, value);
}
