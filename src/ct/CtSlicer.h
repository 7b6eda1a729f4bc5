#pragma once

#include "base/Matrix4.h"
#include "ct/CtScan.h"
#include "ct/CtSliceBlockCache.h"
#include "ct/CtWindow.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The three slice planes, each across one body-frame axis: axial across +Y (toward the head),
// coronal across +Z (toward the front), sagittal across +X (toward the body's left).
enum class CtSliceOrientation { Axial, Coronal, Sagittal };

// A slice as a grey picture, one pixel a voxel (nearest voxel, no interpolation), row by row from
// the top. Voxels need not be square: a pixel stands for pixelWidthMm by pixelHeightMm.
struct CtSliceImage {
    int width = 0, height = 0;
    double pixelWidthMm = 0, pixelHeightMm = 0;
    std::vector<uint8_t> grey;
};

// Where a body point lies for a slice: its place in the picture (pixels from the top left corner,
// a pixel's centre at its index + 0.5) and how far it is from the slice's plane along the normal
// (mm, positive toward the head, the front or the left).
struct CtSlicePoint {
    double x = 0, y = 0;
    double offsetMm = 0;
};

// A trajectory seen on a slice: IN and OUT projected into the picture and, when some of the
// segment between them lies within half a slice thickness of the plane, that part as fractions
// of the way from IN to OUT.
struct CtSliceTrack {
    CtSlicePoint in, out;
    bool inSlice = false;
    double inSliceFrom = 0, inSliceTo = 0;
};

// The slices of one orientation through a scan's volume, shown the radiological way whatever
// posture the body was scanned in: axial with the patient's right on the picture's left and the
// front up (seen from the feet), coronal with the head up and the right on the left (seen from
// the front), sagittal with the head up and the front on the left (seen from the body's left).
// Each picture axis follows the volume axis nearest to its patient direction, so that every
// pixel is one voxel: an oblique series shows turned by its obliquity, never resampled. Slices
// are numbered from 0 along the normal: from the feet, the back or the body's right. Points are
// in the body frame, cm. The scan must outlive the slicer. Slices whose normal runs along the
// volume's rows (sagittal ones, as a rule) are drawn from blocks of neighbouring planes the
// slicer keeps and prepares ahead while the slices are scrolled through (CtSliceBlockCache).
class CtSlicer {
public:
    CtSlicer(const CtScan& scan, CtSliceOrientation orientation);

    CtSliceOrientation Orientation() const { return orientation; }
    int Width() const;
    int Height() const;
    int SliceCount() const;
    // The voxel spacing across the picture, down it and along the normal, mm.
    double PixelWidthMm() const;
    double PixelHeightMm() const;
    double ThicknessMm() const;

    // The slice whose plane lies nearest the point, held to the volume.
    int SliceThrough(const Vec3& bodyCm) const;
    // `steps` voxels on along the normal (back for negative steps), held to the volume.
    int Step(int slice, int steps) const;

    // The centre of the voxel pixel (x, y) of the slice shows, body frame cm.
    Vec3 VoxelCentre(int slice, int x, int y) const;
    // The voxel (i, j, k) pixel (x, y) of the slice shows.
    std::array<int, 3> VoxelAt(int slice, int x, int y) const;
    // Where the point lies in the slice's picture and how far from its plane.
    CtSlicePoint ImagePoint(int slice, const Vec3& bodyCm) const;
    // The segment from IN to OUT seen on the slice.
    CtSliceTrack Track(int slice, const Vec3& inCm, const Vec3& outCm) const;

    // Draws the slice (held to the volume) through the window into `image`, reusing its memory.
    void Draw(int slice, const CtWindow& window, CtSliceImage& image) const;
    // The same picture read from the volume itself, never from the blocks: for a single picture
    // (no block is built for it) and to check the blocks against.
    void DrawDirect(int slice, const CtWindow& window, CtSliceImage& image) const;
    // Makes the slice's block ready now, as for a view opening on it; false when the slice is
    // not drawn from blocks.
    bool Prepare(int slice) const;

private:
    // A picture axis or the normal: the volume axis it runs along and whether it runs against
    // that axis's index.
    struct Axis {
        int volumeAxis = 0;
        bool reversed = false;
    };
    Axis AxisAlong(int patientAxis, int sign) const;
    int VolumeIndex(const Axis& axis, int index) const;
    // The index along the axis, continuous, of a point given by its volume coordinates.
    double AxisCoordinate(const Axis& axis, const std::array<double, 3>& voxel) const;
    std::array<double, 3> VoxelCoordinates(const Vec3& bodyCm) const;
    // The voxel of pixel (0, 0) of the slice, as an index into the volume, and the steps to the
    // next pixel along a row and down a column.
    ptrdiff_t FirstVoxel(int slice) const;
    std::array<ptrdiff_t, 2> PixelSteps() const;
    // The voxels a picture is read from: voxel (0, 0) at voxels[first], the steps as PixelSteps.
    struct Source {
        const int16_t* voxels = nullptr;
        ptrdiff_t first = 0;
        std::array<ptrdiff_t, 2> steps{};
    };
    Source VolumeSource(int slice) const;
    // The slice's plane in its block, which `held` keeps alive; false when no block is to be had.
    bool BlockSource(int slice, std::shared_ptr<const CtSliceBlock>& held, Source& source) const;
    int PlaneOf(int slice) const { return VolumeIndex(normal, slice); }
    void DrawFrom(const Source& source, const CtWindow& window, CtSliceImage& image) const;

    const CtScan& scan;
    CtSliceOrientation orientation;
    // The volume axis nearest each patient axis (L, P, S) and whether it points the same way.
    std::array<int, 3> volumeAxisOf{};
    std::array<bool, 3> sameWay{};
    Axis across, down, normal;
    // Only for the slices across the volume's rows.
    std::unique_ptr<CtSliceBlockCache> blocks;
};
