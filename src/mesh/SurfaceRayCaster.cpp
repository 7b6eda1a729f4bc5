#include "mesh/SurfaceRayCaster.h"

#include <embree3/rtcore.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

// The library's handles, released together.
struct SurfaceRayCaster::Embree {
    Embree() = default;
    ~Embree() {
        if (scene) {
            rtcReleaseScene(scene);
        }
        if (geometry) {
            rtcReleaseGeometry(geometry);
        }
        if (device) {
            rtcReleaseDevice(device);
        }
    }
    Embree(const Embree&) = delete;
    Embree& operator=(const Embree&) = delete;

    RTCDevice device = nullptr;
    RTCScene scene = nullptr;
    RTCGeometry geometry = nullptr;
};

namespace {

Status EmbreeFailure(const std::string& what) {
    return Status::Failure("The body surface cannot be prepared for picking (" + what + ")");
}

Status EmbreeFailure(RTCDevice device, const char* what) {
    const RTCError error = device ? rtcGetDeviceError(device) : RTC_ERROR_UNKNOWN;
    return EmbreeFailure(std::string(what) + ", error " + std::to_string(static_cast<int>(error)));
}

} // namespace

SurfaceRayCaster::SurfaceRayCaster() = default;
SurfaceRayCaster::~SurfaceRayCaster() = default;

Status SurfaceRayCaster::Build(const Mesh& mesh, std::span<const Vec3f> positions) {
    built = false;
    vertexBuffer = nullptr;
    embree.reset();
    vertexCount = static_cast<uint32_t>(mesh.positions.size());
    if (positions.size() < vertexCount) {
        return Status::Failure("The body surface has fewer vertex positions than its model");
    }
    const size_t triangleCount = mesh.triangles.size();
    corners.assign(3 * triangleCount, 0);
    for (size_t t = 0; t < triangleCount; ++t) {
        for (int corner = 0; corner < 3; ++corner) {
            const uint32_t index = mesh.triangles[t].position[corner];
            if (index >= vertexCount) {
                return Status::Failure("The body model names a vertex it does not have");
            }
            corners[3 * t + corner] = index;
        }
    }
    groupOf.assign(triangleCount, 0);
    groupNames.clear();
    for (const MeshGroup& group : mesh.groups) {
        const auto index = static_cast<uint32_t>(groupNames.size());
        groupNames.push_back(group.name);
        for (const uint32_t triangle : group.triangleIndices) {
            if (triangle < triangleCount) {
                groupOf[triangle] = index;
            }
        }
    }
    if (groupNames.empty()) {
        groupNames.emplace_back();
    }

    embree = std::make_unique<Embree>();
    // One thread: the same hierarchy on every run (so the same answer on a shared edge), no
    // worker pool left behind, and the build of a million triangles still takes a fraction of a
    // second.
    embree->device = rtcNewDevice("threads=1");
    if (!embree->device) {
        return EmbreeFailure(nullptr, "no ray-tracing device");
    }
    embree->geometry = rtcNewGeometry(embree->device, RTC_GEOMETRY_TYPE_TRIANGLE);
    // The fast (Morton) build: a click costs microseconds either way, the build is what waits.
    rtcSetGeometryBuildQuality(embree->geometry, RTC_BUILD_QUALITY_LOW);
    auto* indices = static_cast<uint32_t*>(
        rtcSetNewGeometryBuffer(embree->geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3,
                                3 * sizeof(uint32_t), triangleCount));
    vertexBuffer = static_cast<float*>(
        rtcSetNewGeometryBuffer(embree->geometry, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                3 * sizeof(float), std::max<size_t>(vertexCount, 1)));
    if (!indices || !vertexBuffer) {
        vertexBuffer = nullptr;
        return EmbreeFailure(embree->device, "no memory for the triangles");
    }
    std::copy(corners.begin(), corners.end(), indices);
    embree->scene = rtcNewScene(embree->device);
    // Robust traversal: a ray through a shared edge or vertex still meets one of its triangles.
    rtcSetSceneFlags(embree->scene, RTC_SCENE_FLAG_ROBUST);
    rtcSetSceneBuildQuality(embree->scene, RTC_BUILD_QUALITY_LOW);
    rtcAttachGeometry(embree->scene, embree->geometry);
    return UpdatePositions(positions);
}

Status SurfaceRayCaster::UpdatePositions(std::span<const Vec3f> positions) {
    if (!embree || !vertexBuffer) {
        return Status::Failure("The body surface has not been prepared for picking");
    }
    if (positions.size() < vertexCount) {
        return Status::Failure("The body surface has fewer vertex positions than its model");
    }
    built = false;
    for (size_t v = 0; v < vertexCount; ++v) {
        vertexBuffer[3 * v] = positions[v].x;
        vertexBuffer[3 * v + 1] = positions[v].y;
        vertexBuffer[3 * v + 2] = positions[v].z;
    }
    rtcUpdateGeometryBuffer(embree->geometry, RTC_BUFFER_TYPE_VERTEX, 0);
    return Commit();
}

Status SurfaceRayCaster::Commit() {
    rtcCommitGeometry(embree->geometry);
    rtcCommitScene(embree->scene);
    if (rtcGetDeviceError(embree->device) != RTC_ERROR_NONE) {
        return EmbreeFailure(embree->device, "building the hierarchy failed");
    }
    built = true;
    return Status::Ok();
}

std::optional<SurfaceHit> SurfaceRayCaster::Cast(const SurfaceRay& ray,
                                                 const Matrix4& placement) const {
    if (!built) {
        return std::nullopt;
    }
    const std::optional<Matrix4> toPositions = placement.Inverse();
    if (!toPositions) {
        return std::nullopt;
    }
    // An affine map keeps the ray parameter: the same t names the same point in both frames.
    const Vec3 origin = toPositions->TransformPoint(ray.origin);
    const Vec3 direction = toPositions->TransformVector(ray.direction);

    RTCRayHit query{};
    query.ray.org_x = static_cast<float>(origin.x);
    query.ray.org_y = static_cast<float>(origin.y);
    query.ray.org_z = static_cast<float>(origin.z);
    query.ray.dir_x = static_cast<float>(direction.x);
    query.ray.dir_y = static_cast<float>(direction.y);
    query.ray.dir_z = static_cast<float>(direction.z);
    query.ray.tnear = 0.0f;
    query.ray.tfar = static_cast<float>(ray.tMax);
    query.ray.mask = std::numeric_limits<unsigned>::max();
    query.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    query.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    rtcIntersect1(embree->scene, &context, &query);
    if (query.hit.geomID == RTC_INVALID_GEOMETRY_ID) {
        return std::nullopt;
    }
    return RefinedHit(ray, placement, query.hit.primID, query.ray.tfar);
}

// The hierarchy answers in single precision; the point itself is recomputed in double precision
// on the triangle it found, in the ray's frame, so that it lies on that triangle as drawn.
SurfaceHit SurfaceRayCaster::RefinedHit(const SurfaceRay& ray, const Matrix4& placement,
                                        uint32_t triangle, double coarseT) const {
    Vec3 corner[3];
    for (int k = 0; k < 3; ++k) {
        const float* p = vertexBuffer + 3 * static_cast<size_t>(corners[3 * triangle + k]);
        corner[k] = placement.TransformPoint({p[0], p[1], p[2]});
    }
    const Vec3 normal = Cross(Minus(corner[1], corner[0]), Minus(corner[2], corner[0]));
    const double facing = Dot(ray.direction, normal);
    double t = coarseT;
    if (facing != 0) {
        const double planeT = Dot(Minus(corner[0], ray.origin), normal) / facing;
        if (std::isfinite(planeT)) {
            t = planeT;
        }
    }
    SurfaceHit hit;
    hit.t = t;
    hit.point = {ray.origin.x + t * ray.direction.x, ray.origin.y + t * ray.direction.y,
                 ray.origin.z + t * ray.direction.z};
    hit.triangle = triangle;
    hit.group = groupNames[groupOf[triangle]];
    return hit;
}
