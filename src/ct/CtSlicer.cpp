#include "ct/CtSlicer.h"

#include "base/LargeArrays.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr int kLeft = 0, kPosterior = 1, kSuperior = 2;
constexpr int kHuCount = 65536; // every int16_t value
// A picture row whose voxels lie this far apart (voxels) has each on a cache line of its own;
// it reads this many voxels ahead of the one it takes.
constexpr ptrdiff_t kScatteredStep = 32;
constexpr int kPrefetchAhead = 48;

double Component(const Vec3& v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

std::array<Vec3, 3> DirectionsOf(const CtVolume& volume) {
    return {volume.rowDirection, volume.columnDirection, volume.sliceDirection};
}

// The grey of every Hounsfield unit, indexed by the value's 16 bits: only the window's own
// width is worked out, the rest is black or white.
std::vector<uint8_t> GreyTable(const CtWindow& window) {
    std::vector<uint8_t> table(kHuCount);
    const int from = window.level - window.width / 2 - 2;
    const int to = window.level + window.width / 2 + 2;
    for (int hu = -32768; hu <= 32767; ++hu) {
        if (hu < from || hu > to) {
            table[static_cast<uint16_t>(hu)] = hu < from ? 0 : 255;
        } else {
            table[static_cast<uint16_t>(hu)] = GreyInWindow(window, hu);
        }
    }
    return table;
}

} // namespace

CtSlicer::CtSlicer(const CtScan& theScan, CtSliceOrientation theOrientation)
    : scan(theScan), orientation(theOrientation) {
    // Pairs each volume axis with the patient axis it runs nearest to, the closest pair first,
    // so that even a series turned by 45 degrees gets each patient axis once.
    const std::array<Vec3, 3> directions = DirectionsOf(scan.volume);
    std::array<bool, 3> volumeTaken{}, patientTaken{};
    for (int round = 0; round < 3; ++round) {
        int bestVolume = 0, bestPatient = 0;
        double best = -1;
        for (int d = 0; d < 3; ++d) {
            for (int a = 0; a < 3; ++a) {
                const double along = std::abs(Component(directions[d], a));
                if (!volumeTaken[d] && !patientTaken[a] && along > best) {
                    best = along;
                    bestVolume = d;
                    bestPatient = a;
                }
            }
        }
        volumeTaken[bestVolume] = patientTaken[bestPatient] = true;
        volumeAxisOf[bestPatient] = bestVolume;
        sameWay[bestPatient] = Component(directions[bestVolume], bestPatient) >= 0;
    }
    switch (orientation) {
    case CtSliceOrientation::Axial:
        across = AxisAlong(kLeft, 1);
        down = AxisAlong(kPosterior, 1);
        normal = AxisAlong(kSuperior, 1);
        break;
    case CtSliceOrientation::Coronal:
        across = AxisAlong(kLeft, 1);
        down = AxisAlong(kSuperior, -1);
        normal = AxisAlong(kPosterior, -1);
        break;
    case CtSliceOrientation::Sagittal:
        across = AxisAlong(kPosterior, 1);
        down = AxisAlong(kSuperior, -1);
        normal = AxisAlong(kLeft, 1);
        break;
    }
    // Along a row a cache line holds the voxels of this many neighbouring slices.
    if (normal.volumeAxis == 0 && scan.volume.size[0] >= kScatteredStep) {
        blocks = std::make_unique<CtSliceBlockCache>(scan.volume);
    }
}

CtSlicer::Axis CtSlicer::AxisAlong(int patientAxis, int sign) const {
    return {volumeAxisOf[patientAxis], sameWay[patientAxis] != (sign > 0)};
}

int CtSlicer::VolumeIndex(const Axis& axis, int index) const {
    return axis.reversed ? scan.volume.size[axis.volumeAxis] - 1 - index : index;
}

double CtSlicer::AxisCoordinate(const Axis& axis, const std::array<double, 3>& voxel) const {
    const double along = voxel[axis.volumeAxis];
    return axis.reversed ? scan.volume.size[axis.volumeAxis] - 1 - along : along;
}

int CtSlicer::Width() const {
    return scan.volume.size[across.volumeAxis];
}

int CtSlicer::Height() const {
    return scan.volume.size[down.volumeAxis];
}

int CtSlicer::SliceCount() const {
    return scan.volume.size[normal.volumeAxis];
}

double CtSlicer::PixelWidthMm() const {
    return scan.volume.spacing[across.volumeAxis];
}

double CtSlicer::PixelHeightMm() const {
    return scan.volume.spacing[down.volumeAxis];
}

double CtSlicer::ThicknessMm() const {
    return scan.volume.spacing[normal.volumeAxis];
}

int CtSlicer::Step(int slice, int steps) const {
    return std::clamp(slice + steps, 0, std::max(SliceCount() - 1, 0));
}

int CtSlicer::SliceThrough(const Vec3& bodyCm) const {
    const double along = AxisCoordinate(normal, VoxelCoordinates(bodyCm));
    if (!std::isfinite(along)) {
        return 0;
    }
    const double held = std::clamp(std::round(along), 0.0, std::max(SliceCount() - 1.0, 0.0));
    return static_cast<int>(held);
}

std::array<int, 3> CtSlicer::VoxelAt(int slice, int x, int y) const {
    std::array<int, 3> voxel{};
    voxel[across.volumeAxis] = VolumeIndex(across, x);
    voxel[down.volumeAxis] = VolumeIndex(down, y);
    voxel[normal.volumeAxis] = VolumeIndex(normal, slice);
    return voxel;
}

Vec3 CtSlicer::VoxelCentre(int slice, int x, int y) const {
    const CtVolume& volume = scan.volume;
    const std::array<int, 3> voxel = VoxelAt(slice, x, y);
    const std::array<Vec3, 3> directions = DirectionsOf(volume);
    Vec3 lps = volume.origin;
    for (int d = 0; d < 3; ++d) {
        const double mm = voxel[d] * volume.spacing[d];
        lps = {lps.x + mm * directions[d].x, lps.y + mm * directions[d].y,
               lps.z + mm * directions[d].z};
    }
    return LpsToBody(scan.frame, lps);
}

std::array<double, 3> CtSlicer::VoxelCoordinates(const Vec3& bodyCm) const {
    const CtVolume& volume = scan.volume;
    const Vec3 fromOrigin = Minus(BodyToLps(scan.frame, bodyCm), volume.origin);
    const std::array<Vec3, 3> directions = DirectionsOf(volume);
    std::array<double, 3> voxel{};
    for (int d = 0; d < 3; ++d) {
        voxel[d] = Dot(fromOrigin, directions[d]) / volume.spacing[d];
    }
    return voxel;
}

CtSlicePoint CtSlicer::ImagePoint(int slice, const Vec3& bodyCm) const {
    const std::array<double, 3> voxel = VoxelCoordinates(bodyCm);
    return {AxisCoordinate(across, voxel) + 0.5, AxisCoordinate(down, voxel) + 0.5,
            (AxisCoordinate(normal, voxel) - slice) * ThicknessMm()};
}

CtSliceTrack CtSlicer::Track(int slice, const Vec3& inCm, const Vec3& outCm) const {
    CtSliceTrack track;
    track.in = ImagePoint(slice, inCm);
    track.out = ImagePoint(slice, outCm);
    // The offset runs linearly from IN to OUT: the part within half a thickness of the plane
    // is where it stays between -half and +half.
    const double half = ThicknessMm() / 2;
    const double a = track.in.offsetMm;
    const double change = track.out.offsetMm - a;
    if (std::abs(change) < 1e-12) {
        track.inSlice = std::abs(a) <= half;
        track.inSliceTo = track.inSlice ? 1 : 0;
        return track;
    }
    const double t1 = (-half - a) / change, t2 = (half - a) / change;
    const double from = std::max(0.0, std::min(t1, t2));
    const double to = std::min(1.0, std::max(t1, t2));
    if (from <= to) {
        track.inSlice = true;
        track.inSliceFrom = from;
        track.inSliceTo = to;
    }
    return track;
}

ptrdiff_t CtSlicer::FirstVoxel(int slice) const {
    const std::array<int, 3> first = VoxelAt(slice, 0, 0);
    const std::array<int, 3>& size = scan.volume.size;
    return first[0] + static_cast<ptrdiff_t>(size[0]) *
                          (first[1] + static_cast<ptrdiff_t>(size[1]) * first[2]);
}

std::array<ptrdiff_t, 2> CtSlicer::PixelSteps() const {
    const std::array<int, 3>& size = scan.volume.size;
    const std::array<ptrdiff_t, 3> strides = {1, size[0],
                                              static_cast<ptrdiff_t>(size[0]) * size[1]};
    return {strides[across.volumeAxis] * (across.reversed ? -1 : 1),
            strides[down.volumeAxis] * (down.reversed ? -1 : 1)};
}

CtSlicer::Source CtSlicer::VolumeSource(int slice) const {
    return {scan.volume.hu.data(), FirstVoxel(slice), PixelSteps()};
}

bool CtSlicer::BlockSource(int slice, std::shared_ptr<const CtSliceBlock>& held,
                           Source& source) const {
    const int plane = PlaneOf(slice);
    held = blocks->BlockHolding(plane, false);
    if (held == nullptr) {
        return false;
    }
    // In a plane j runs fastest, then k.
    const std::array<int, 3> first = VoxelAt(slice, 0, 0);
    const ptrdiff_t rowLength = scan.volume.size[1];
    const std::array<ptrdiff_t, 3> strides = {0, 1, rowLength};
    source.voxels = held->Plane(plane);
    source.first = first[1] + rowLength * first[2];
    source.steps = {strides[across.volumeAxis] * (across.reversed ? -1 : 1),
                    strides[down.volumeAxis] * (down.reversed ? -1 : 1)};
    return true;
}

void CtSlicer::Draw(int slice, const CtWindow& window, CtSliceImage& image) const {
    const int held = Step(slice, 0);
    std::shared_ptr<const CtSliceBlock> block;
    Source source;
    if (blocks == nullptr || SliceCount() == 0 || !BlockSource(held, block, source)) {
        source = VolumeSource(held);
    }
    DrawFrom(source, window, image);
}

void CtSlicer::DrawDirect(int slice, const CtWindow& window, CtSliceImage& image) const {
    DrawFrom(VolumeSource(Step(slice, 0)), window, image);
}

bool CtSlicer::Prepare(int slice) const {
    return blocks != nullptr && SliceCount() > 0 &&
           blocks->BlockHolding(PlaneOf(Step(slice, 0)), true) != nullptr;
}

void CtSlicer::DrawFrom(const Source& source, const CtWindow& window, CtSliceImage& image) const {
    image.width = Width();
    image.height = Height();
    image.pixelWidthMm = PixelWidthMm();
    image.pixelHeightMm = PixelHeightMm();
    image.grey.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    if (image.grey.empty() || SliceCount() == 0) {
        return;
    }
    const std::vector<uint8_t> table = GreyTable(window);
    const std::array<ptrdiff_t, 2>& steps = source.steps;
    const ptrdiff_t first = source.first;
    const int16_t* hu = source.voxels;
    const int width = image.width;
    // Along a picture row the voxels are one step apart: contiguous for the slices across the
    // volume's slices, a volume row apart for those along them. There each voxel lies on a
    // cache line and, four to a page, where the processor's own prefetching stops: the loads are
    // asked for ahead, and both cores take half the rows.
    const bool scattered = std::abs(steps[0]) >= kScatteredStep;
    const auto drawRows = [&](size_t fromRow, size_t toRow) {
        const int ahead = scattered ? std::min(kPrefetchAhead, width) : 0;
        for (size_t y = fromRow; y < toRow; ++y) {
            const ptrdiff_t row = first + static_cast<ptrdiff_t>(y) * steps[1];
            uint8_t* out = image.grey.data() + y * static_cast<size_t>(width);
            ptrdiff_t voxel = row;
            for (int x = 0; x < width; ++x, voxel += steps[0]) {
                if (x + ahead < width) {
                    __builtin_prefetch(hu + voxel + ahead * steps[0]);
                }
                out[x] = table[static_cast<uint16_t>(hu[voxel])];
            }
        }
    };
    const size_t rows = static_cast<size_t>(image.height);
    if (scattered) {
        ForEachPart(rows, [&drawRows](size_t from, size_t to) { drawRows(from, to); });
    } else {
        drawRows(0, rows);
    }
}
