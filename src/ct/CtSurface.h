#pragma once

#include "base/Status.h"
#include "ct/CtVolume.h"
#include "mesh/Mesh.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Sorts the triangles of a surface (positions in LPS mm) into groups: one group number a
// triangle, an index into CtSurfaceOptions::groupNames.
using CtSurfaceGrouping = std::function<std::vector<uint8_t>(
    const std::vector<Vec3f>& positions, const std::vector<std::array<uint32_t, 3>>& triangles)>;

struct CtSurfaceOptions {
    int thresholdHu = -500;
    // About this many triangles are kept; a surface that has fewer keeps all of them.
    std::size_t targetTriangles = 300000;
    // Taubin steps taking out the voxel staircase (each a shrinking and an inflating one).
    int smoothingIterations = 10;
    // Threads to work on; 0 takes one per processor core. The surface is the same on any number.
    std::size_t threads = 0;
    // When given, the surface is grouped before its last simplification, and each group is
    // simplified on its own with its borders kept, so that no triangle straddles two groups;
    // without it one group, "iso-surface", holds every triangle.
    CtSurfaceGrouping grouping = nullptr;
    std::vector<std::string> groupNames = {};
};

// Told the share of the work done (0 to 1), on the thread that called BuildCtSurface; returns
// false to stop.
using CtSurfaceProgress = std::function<bool(double)>;

// The iso-surface of the volume (ExtractIsoSurface), smoothed and simplified to a drawable size,
// without ever holding the whole raw surface: the volume is cut into chunks of slices, each
// marched with a margin of slices on either side, smoothed (the margin is as deep as the
// smoothing reaches, so each chunk's own part comes out as it would from the whole surface), and
// simplified with the vertices on the cuts kept where they are; the joined chunks are then
// simplified to the target. Edge collapses keep the surface closed, every edge shared by two
// triangles wound alike (pairs of triangles a collapse folds onto each other are taken out).
// Positions in LPS mm, one normal per position.
// Fails, leaving `mesh` empty, as ExtractIsoSurface does, when nothing lies above the threshold,
// or when `progress` asks to stop.
Status BuildCtSurface(const CtVolume& volume, const CtSurfaceOptions& options, Mesh& mesh,
                      const CtSurfaceProgress& progress = nullptr);
