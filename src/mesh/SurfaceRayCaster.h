#pragma once

#include "base/Matrix4.h"
#include "base/Status.h"
#include "mesh/Mesh.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The points origin + t * direction for 0 <= t <= tMax.
struct SurfaceRay {
    Vec3 origin;
    Vec3 direction;
    double tMax = 1.0;
};

// Where a ray first meets a surface.
struct SurfaceHit {
    Vec3 point;            // in the ray's frame
    double t = 0;          // ray parameter of the point
    uint32_t triangle = 0; // index into Mesh::triangles
    std::string group;     // name of the mesh group holding that triangle
};

// Finds the nearest triangle of a mesh along a ray, through a bounding volume hierarchy built once
// per mesh (Embree). The positions are a separate array laid out as Mesh::positions, so a posed
// copy of the mesh's positions can take the place of the mesh's own.
class SurfaceRayCaster {
public:
    SurfaceRayCaster();
    ~SurfaceRayCaster();
    SurfaceRayCaster(const SurfaceRayCaster&) = delete;
    SurfaceRayCaster& operator=(const SurfaceRayCaster&) = delete;

    // Builds the hierarchy over the mesh's triangles placed at `positions` (at least as many as
    // mesh.positions). Refuses a mesh whose triangles name positions outside the array.
    Status Build(const Mesh& mesh, std::span<const Vec3f> positions);
    // Moves the vertices (the same count as built) and builds the hierarchy again over them.
    Status UpdatePositions(std::span<const Vec3f> positions);
    bool IsBuilt() const { return built; }

    // The nearest hit of `ray`, given in the frame that `placement` carries the positions into
    // (the body as drawn, for instance). Empty when the ray meets no triangle.
    std::optional<SurfaceHit> Cast(const SurfaceRay& ray, const Matrix4& placement) const;

private:
    struct Embree;

    Status Commit();
    SurfaceHit RefinedHit(const SurfaceRay& ray, const Matrix4& placement, uint32_t triangle,
                          double coarseT) const;

    std::unique_ptr<Embree> embree;
    std::vector<uint32_t> corners; // 3 vertex indices per triangle
    std::vector<uint32_t> groupOf; // group index per triangle
    std::vector<std::string> groupNames;
    float* vertexBuffer = nullptr; // Embree-owned, 3 floats per vertex (+ padding)
    uint32_t vertexCount = 0;      // positions in vertexBuffer
    bool built = false;
};
