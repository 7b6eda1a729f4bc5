#include "ct/CtObliqueSlicer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kHuCount = 65536;
constexpr int kHuOffset = 32768;

// One axis of a trilinear sample: the lower voxel, the weight of the upper one, and whether the
// coordinate lies within the voxels (half a voxel beyond the outer centres).
struct AxisSample {
    int lower = 0;
    float weight = 0;
};

inline bool SampleAxis(float coordinate, int size, AxisSample& sample) {
    if (!(coordinate >= -0.5f && coordinate <= static_cast<float>(size) - 0.5f)) {
        return false;
    }
    const float held = std::clamp(coordinate, 0.0f, static_cast<float>(size - 1));
    sample.lower = std::min(static_cast<int>(held), std::max(size - 2, 0));
    sample.weight = size > 1 ? held - static_cast<float>(sample.lower) : 0.0f;
    return true;
}

inline float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

} // namespace

CtObliqueSlicer::CtObliqueSlicer(const CtScan& scan_, int threadCount)
    : scan(scan_), threads(threadCount) {}

std::array<double, 3> CtObliqueSlicer::VoxelOf(const Vec3& bodyCm) const {
    const CtVolume& volume = scan.volume;
    const Vec3 d = Minus(BodyToLps(scan.frame, bodyCm), volume.origin);
    return {Dot(d, volume.rowDirection) / volume.spacing[0],
            Dot(d, volume.columnDirection) / volume.spacing[1],
            Dot(d, volume.sliceDirection) / volume.spacing[2]};
}

void CtObliqueSlicer::Prepare(const CtObliquePlane& plane) {
    // The map from the body frame to voxel coordinates is affine, so a step in the picture is
    // one fixed step in the volume: the pass adds it instead of mapping every sample.
    const auto step = [&](const Vec3& from, const Vec3& by) {
        const std::array<double, 3> a = VoxelOf(from);
        const std::array<double, 3> b = VoxelOf({from.x + by.x, from.y + by.y, from.z + by.z});
        return std::array<float, 3>{static_cast<float>(b[0] - a[0]),
                                    static_cast<float>(b[1] - a[1]),
                                    static_cast<float>(b[2] - a[2])};
    };
    const Vec3 centre = BodyOfPicturePoint(plane, 0.5, 0.5);
    steps.first = VoxelOf(centre);
    steps.across = step(centre, plane.acrossCm);
    const std::array<float, 3> down = step(centre, plane.downCm);
    steps.down = {down[0], down[1], down[2]};
    const CtVolume& volume = scan.volume;
    const double finest = std::min({volume.spacing[0], volume.spacing[1], volume.spacing[2]});
    const int count =
        plane.slabMm > 0 && finest > 0 ? 1 + static_cast<int>(std::ceil(plane.slabMm / finest)) : 1;
    steps.samples.resize(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n) {
        const double offsetCm =
            count == 1 ? 0 : (-0.5 + static_cast<double>(n) / (count - 1)) * plane.slabMm / 10;
        const Vec3 by{plane.normal.x * offsetCm, plane.normal.y * offsetCm,
                      plane.normal.z * offsetCm};
        steps.samples[static_cast<size_t>(n)] = step(centre, by);
    }
    steps.width = plane.width;
    steps.outsideHu = plane.outsideHu;
}

int16_t CtObliqueSlicer::SlabMinimum(float i, float j, float k) const {
    const CtVolume& volume = scan.volume;
    const size_t rowStride = static_cast<size_t>(volume.size[0]);
    const size_t sliceStride = rowStride * static_cast<size_t>(volume.size[1]);
    const size_t di = volume.size[0] > 1 ? 1 : 0;
    const size_t dj = volume.size[1] > 1 ? rowStride : 0;
    const size_t dk = volume.size[2] > 1 ? sliceStride : 0;
    const int16_t* hu = volume.hu.data();
    float lowest = std::numeric_limits<float>::max();
    for (const std::array<float, 3>& offset : steps.samples) {
        AxisSample a, b, c;
        if (!SampleAxis(i + offset[0], volume.size[0], a) ||
            !SampleAxis(j + offset[1], volume.size[1], b) ||
            !SampleAxis(k + offset[2], volume.size[2], c)) {
            continue;
        }
        const int16_t* p =
            hu + static_cast<size_t>(a.lower) + rowStride * b.lower + sliceStride * c.lower;
        const float v00 = Lerp(p[0], p[di], a.weight);
        const float v10 = Lerp(p[dj], p[dj + di], a.weight);
        const float v01 = Lerp(p[dk], p[dk + di], a.weight);
        const float v11 = Lerp(p[dk + dj], p[dk + dj + di], a.weight);
        const float value = Lerp(Lerp(v00, v10, b.weight), Lerp(v01, v11, b.weight), c.weight);
        lowest = std::min(lowest, value);
    }
    if (lowest == std::numeric_limits<float>::max()) {
        return static_cast<int16_t>(steps.outsideHu);
    }
    return static_cast<int16_t>(std::lround(lowest));
}

template <class Out> void CtObliqueSlicer::DrawRow(int row, Out* out) const {
    // Each pixel from its row's start rather than by adding steps along the row, so that the
    // rounding of single precision does not creep across a wide picture.
    const double y = row;
    const float i = static_cast<float>(steps.first[0] + y * steps.down[0]);
    const float j = static_cast<float>(steps.first[1] + y * steps.down[1]);
    const float k = static_cast<float>(steps.first[2] + y * steps.down[2]);
    Out* pixel = out + static_cast<size_t>(row) * static_cast<size_t>(steps.width);
    for (int x = 0; x < steps.width; ++x) {
        const float fx = static_cast<float>(x);
        const int16_t value = SlabMinimum(i + fx * steps.across[0], j + fx * steps.across[1],
                                          k + fx * steps.across[2]);
        if constexpr (sizeof(Out) == 1) {
            pixel[x] = greyOfHu[static_cast<size_t>(value + kHuOffset)];
        } else {
            pixel[x] = value;
        }
    }
}

void CtObliqueSlicer::DrawHu(const CtObliquePlane& plane, std::vector<int16_t>& hu) {
    Prepare(plane);
    hu.resize(static_cast<size_t>(plane.width) * static_cast<size_t>(plane.height));
    int16_t* out = hu.data();
    auto rows = [&](int first, int end) {
        for (int row = first; row < end; ++row) {
            DrawRow(row, out);
        }
    };
    threads.ForRows(plane.height, rows);
}

void CtObliqueSlicer::SetWindow(const CtWindow& window) {
    if (haveGrey && window == greyWindow) {
        return;
    }
    greyOfHu.resize(kHuCount);
    for (int n = 0; n < kHuCount; ++n) {
        greyOfHu[static_cast<size_t>(n)] = GreyInWindow(window, n - kHuOffset);
    }
    greyWindow = window;
    haveGrey = true;
}

void CtObliqueSlicer::Draw(const CtObliquePlane& plane, const CtWindow& window,
                           CtSliceImage& image) {
    Prepare(plane);
    SetWindow(window);
    image.width = plane.width;
    image.height = plane.height;
    image.pixelWidthMm = plane.pixelMm;
    image.pixelHeightMm = plane.pixelMm;
    image.grey.resize(static_cast<size_t>(plane.width) * static_cast<size_t>(plane.height));
    uint8_t* out = image.grey.data();
    auto rows = [&](int first, int end) {
        for (int row = first; row < end; ++row) {
            DrawRow(row, out);
        }
    };
    threads.ForRows(plane.height, rows);
}
