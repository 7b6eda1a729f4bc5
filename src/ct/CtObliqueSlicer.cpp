#include "ct/CtObliqueSlicer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kHuCount = 65536;
constexpr int kHuOffset = 32768;
constexpr float kNoSample = std::numeric_limits<float>::max();

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
    // A volume whose voxels do not fill its size shows as all outside rather than being read
    // beyond its end.
    steps.haveVoxels = volume.size[0] > 0 && volume.size[1] > 0 && volume.size[2] > 0 &&
                       volume.hu.size() == static_cast<size_t>(volume.size[0]) *
                                               static_cast<size_t>(volume.size[1]) *
                                               static_cast<size_t>(volume.size[2]);
    steps.width = plane.width;
    steps.height = plane.height;
    steps.outsideHu = plane.outsideHu;
}

float CtObliqueSlicer::Sample(float i, float j, float k) const {
    const CtVolume& volume = scan.volume;
    AxisSample a, b, c;
    if (!SampleAxis(i, volume.size[0], a) || !SampleAxis(j, volume.size[1], b) ||
        !SampleAxis(k, volume.size[2], c)) {
        return kNoSample;
    }
    const size_t rowStride = static_cast<size_t>(volume.size[0]);
    const size_t sliceStride = rowStride * static_cast<size_t>(volume.size[1]);
    const size_t di = volume.size[0] > 1 ? 1 : 0;
    const size_t dj = volume.size[1] > 1 ? rowStride : 0;
    const size_t dk = volume.size[2] > 1 ? sliceStride : 0;
    const int16_t* p = volume.hu.data() + static_cast<size_t>(a.lower) + rowStride * b.lower +
                       sliceStride * c.lower;
    const float v00 = Lerp(p[0], p[di], a.weight);
    const float v10 = Lerp(p[dj], p[dj + di], a.weight);
    const float v01 = Lerp(p[dk], p[dk + di], a.weight);
    const float v11 = Lerp(p[dk + dj], p[dk + dj + di], a.weight);
    return Lerp(Lerp(v00, v10, b.weight), Lerp(v01, v11, b.weight), c.weight);
}

bool CtObliqueSlicer::Within(float i, float j, float k) const {
    const std::array<int, 3>& size = scan.volume.size;
    return size[0] > 1 && size[1] > 1 && size[2] > 1 && i >= 0 && j >= 0 && k >= 0 &&
           i <= static_cast<float>(size[0] - 1) && j <= static_cast<float>(size[1] - 1) &&
           k <= static_cast<float>(size[2] - 1);
}

void CtObliqueSlicer::LowerAlong(const std::array<float, 3>& start, int count,
                                 float* lowest) const {
    if (!steps.haveVoxels) {
        return;
    }
    const std::array<float, 3>& by = steps.across;
    const float last = static_cast<float>(count - 1);
    // A stretch is straight: when both its ends lie among the voxel centres, all of it does and
    // the samples need no bounds.
    if (!Within(start[0], start[1], start[2]) ||
        !Within(start[0] + last * by[0], start[1] + last * by[1], start[2] + last * by[2])) {
        for (int x = 0; x < count; ++x) {
            const float fx = static_cast<float>(x);
            lowest[x] = std::min(lowest[x], Sample(start[0] + fx * by[0], start[1] + fx * by[1],
                                                   start[2] + fx * by[2]));
        }
        return;
    }
    const CtVolume& volume = scan.volume;
    const size_t rowStride = static_cast<size_t>(volume.size[0]);
    const size_t sliceStride = rowStride * static_cast<size_t>(volume.size[1]);
    const int lastI = volume.size[0] - 2, lastJ = volume.size[1] - 2, lastK = volume.size[2] - 2;
    const int16_t* hu = volume.hu.data();
    // First the cells and weights of the whole stretch, a loop the compiler turns into vector
    // instructions, then the reads and blends.
    std::array<int32_t, kStretch> ci, cj, ck;
    std::array<float, kStretch> wi, wj, wk;
    for (int x = 0; x < count; ++x) {
        const float fx = static_cast<float>(x);
        const float fi = start[0] + fx * by[0], fj = start[1] + fx * by[1],
                    fk = start[2] + fx * by[2];
        ci[x] = std::min(static_cast<int32_t>(fi), lastI);
        cj[x] = std::min(static_cast<int32_t>(fj), lastJ);
        ck[x] = std::min(static_cast<int32_t>(fk), lastK);
        wi[x] = fi - static_cast<float>(ci[x]);
        wj[x] = fj - static_cast<float>(cj[x]);
        wk[x] = fk - static_cast<float>(ck[x]);
    }
    for (int x = 0; x < count; ++x) {
        const int16_t* p = hu + static_cast<size_t>(ci[x]) +
                           rowStride * static_cast<size_t>(cj[x]) +
                           sliceStride * static_cast<size_t>(ck[x]);
        const int16_t* q = p + sliceStride;
        const float v00 = Lerp(p[0], p[1], wi[x]);
        const float v10 = Lerp(p[rowStride], p[rowStride + 1], wi[x]);
        const float v01 = Lerp(q[0], q[1], wi[x]);
        const float v11 = Lerp(q[rowStride], q[rowStride + 1], wi[x]);
        lowest[x] = std::min(lowest[x], Lerp(Lerp(v00, v10, wj[x]), Lerp(v01, v11, wj[x]), wk[x]));
    }
}

template <class Out> void CtObliqueSlicer::DrawStripe(int stripe, Out* out) const {
    // A stripe of kStretch columns from the top row to the bottom: the voxels one row's stretch
    // reads are mostly read again by the next row's, so they are still in the cache. Each stretch
    // starts from its row's start rather than by adding steps along the row, so that the
    // rounding of single precision does not creep across a wide picture. The slab is taken one
    // layer at a time along the stretch, a straight walk through the volume.
    const int from = stripe * kStretch;
    const int count = std::min(kStretch, steps.width - from);
    std::array<float, kStretch> lowest;
    for (int row = 0; row < steps.height; ++row) {
        const double y = row;
        std::fill_n(lowest.begin(), count, kNoSample);
        for (const std::array<float, 3>& offset : steps.samples) {
            std::array<float, 3> start;
            for (int axis = 0; axis < 3; ++axis) {
                start[axis] = static_cast<float>(steps.first[axis] + y * steps.down[axis] +
                                                 from * static_cast<double>(steps.across[axis]) +
                                                 offset[axis]);
            }
            LowerAlong(start, count, lowest.data());
        }
        Out* pixel = out + static_cast<size_t>(row) * static_cast<size_t>(steps.width) + from;
        for (int x = 0; x < count; ++x) {
            const int16_t value = lowest[x] == kNoSample
                                      ? static_cast<int16_t>(steps.outsideHu)
                                      : static_cast<int16_t>(std::lround(lowest[x]));
            if constexpr (sizeof(Out) == 1) {
                const int greyIndex = value + kHuOffset; // 0 for the lowest value
                pixel[x] = greyOfHu[static_cast<size_t>(greyIndex)];
            } else {
                pixel[x] = value;
            }
        }
    }
}

void CtObliqueSlicer::DrawHu(const CtObliquePlane& plane, std::vector<int16_t>& hu) {
    Prepare(plane);
    hu.resize(static_cast<size_t>(plane.width) * static_cast<size_t>(plane.height));
    int16_t* out = hu.data();
    auto stripes = [&](int first, int end) {
        for (int stripe = first; stripe < end; ++stripe) {
            DrawStripe(stripe, out);
        }
    };
    threads.ForParts((plane.width + kStretch - 1) / kStretch, stripes);
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
    auto stripes = [&](int first, int end) {
        for (int stripe = first; stripe < end; ++stripe) {
            DrawStripe(stripe, out);
        }
    };
    threads.ForParts((plane.width + kStretch - 1) / kStretch, stripes);
}
