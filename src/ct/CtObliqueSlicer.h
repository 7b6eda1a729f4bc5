#pragma once

#include "ct/CtObliquePlane.h"
#include "ct/CtRowThreads.h"
#include "ct/CtScan.h"
#include "ct/CtSlicer.h"
#include "ct/CtWindow.h"

#include <array>
#include <cstdint>
#include <vector>

// Draws oblique planes of a scan's volume as thin-slab minimum-intensity projections: each pixel
// shows the lowest Hounsfield value among samples across the slab along the plane's normal, so
// that the gas of a wound channel near the plane stays black however the plane cuts it. Samples
// are trilinear, spaced along the normal no wider than the volume's smallest voxel spacing
// (a slab of 0 is the plane alone); a sample outside the voxels counts for nothing, and a pixel
// whose whole slab is outside shows the plane's outsideHu. The rows are shared among kept
// threads and nothing is allocated once a picture of that size has been drawn, so the picture
// can follow a point as the user drags it. The scan must outlive the slicer; one draw at a time.
class CtObliqueSlicer {
public:
    explicit CtObliqueSlicer(const CtScan& scan, int threads = 0);

    // The slab in Hounsfield units, row by row from the top, into `hu` (resized).
    void DrawHu(const CtObliquePlane& plane, std::vector<int16_t>& hu);
    // The slab through the window, as CtSlicer draws its pictures, into `image` (its memory
    // reused).
    void Draw(const CtObliquePlane& plane, const CtWindow& window, CtSliceImage& image);

private:
    // What a pass over the picture needs, in voxel coordinates: the centre of pixel (0, 0) on the
    // slab's near face, the steps to the next pixel right and down, and each sample's offset.
    struct Steps {
        std::array<double, 3> first{}, down{};
        std::array<float, 3> across{};
        std::vector<std::array<float, 3>> samples;
        int width = 0, height = 0;
        int outsideHu = -1000;
        bool haveVoxels = false;
    };
    void Prepare(const CtObliquePlane& plane);
    std::array<double, 3> VoxelOf(const Vec3& bodyCm) const;
    void SetWindow(const CtWindow& window);
    // One stripe's minimum values; the output turns each into the picture's pixel.
    template <class Out> void DrawStripe(int stripe, Out* out) const;
    // Lowers each of `count` minima by the sample at start + x * across (voxel coordinates).
    void LowerAlong(const std::array<float, 3>& start, int count, float* lowest) const;
    // The trilinear value at a voxel point, or the largest float outside the voxels.
    float Sample(float i, float j, float k) const;
    // Whether the point lies among the voxel centres of a volume at least two voxels each way.
    bool Within(float i, float j, float k) const;
    // Columns drawn together, layer by layer of the slab, and handed to a thread as one part.
    static constexpr int kStretch = 32;

    const CtScan& scan;
    CtRowThreads threads;
    Steps steps;
    // The grey of every Hounsfield value for the window last drawn with.
    std::vector<uint8_t> greyOfHu;
    CtWindow greyWindow;
    bool haveGrey = false;
};
