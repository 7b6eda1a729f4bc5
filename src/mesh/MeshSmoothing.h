#pragma once

#include "mesh/Mesh.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TaubinOptions {
    int iterations = 10;     // each a shrinking and an inflating step
    float lambda = 0.5f;     // the shrinking step's weight, 0 < lambda < 1
    float mu = -0.53f;       // the inflating step's weight, mu < -lambda
    std::size_t threads = 0; // 0 takes one per processor core
};

// Smooths a surface without shrinking it (Taubin's lambda|mu filter): each step moves every
// position toward the mean of its neighbours along the triangles' edges, by lambda and then by mu,
// which takes out the voxel staircase of an iso-surface and keeps its size and shape. The
// triangles stay as they are. Normals are made afresh: one per position where the triangles name
// normals like positions (as the iso-surface does), else none (drawing then makes its own); facet
// normals are made afresh when the mesh had them. Every core works on it; the result does not
// depend on their number.
void SmoothTaubin(Mesh& mesh, const TaubinOptions& options = {});

// The same steps on bare positions and triangle corners, for a surface not yet made a mesh;
// normals are left to the caller.
void SmoothTaubin(std::vector<Vec3f>& positions,
                  const std::vector<std::array<uint32_t, 3>>& triangles,
                  const TaubinOptions& options = {});

// One unit normal per position, the sum of the area vectors of the triangles around it (zero
// where they have none), and every triangle corner naming its position's normal.
void ComputePositionNormals(Mesh& mesh);
