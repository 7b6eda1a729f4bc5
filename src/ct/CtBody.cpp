#include "ct/CtBody.h"

#include "ct/CtBodyParts.h"
#include "ct/CtSurface.h"

namespace {

bool Cancelled(ProgressSink* progress) {
    return progress != nullptr && progress->CancelRequested();
}

void Report(ProgressSink* progress, int position) {
    if (progress != nullptr) {
        progress->SetProgress(position);
    }
}

Status Stopped(CtBodySurfaces& surfaces) {
    surfaces = CtBodySurfaces();
    return Status::Failure("Building the body from the CT series was cancelled.");
}

// Reports the surface's share of the work as `from` to `to` of the whole.
CtSurfaceProgress Between(ProgressSink* progress, int from, int to) {
    if (progress == nullptr) {
        return nullptr;
    }
    return [progress, from, to](double done) {
        progress->SetProgress(from + static_cast<int>(done * (to - from)));
        return !progress->CancelRequested();
    };
}

// The skin's positions in the body frame its own corners define (BodyFrameOfSkin's rule).
std::vector<Vec3f> InBodyFrame(const std::vector<Vec3f>& positions,
                               const std::vector<std::array<uint32_t, 3>>& triangles) {
    const CtBodyFrame frame = BodyFrameOfCorners(positions, triangles);
    std::vector<Vec3f> body(positions.size());
    for (std::size_t index = 0; index < positions.size(); ++index) {
        body[index] = ToVec3f(LpsToBody(frame, ToVec3(positions[index])));
    }
    return body;
}

CtSurfaceOptions SurfaceOptions(const CtBodyOptions& options, int thresholdHu,
                                std::size_t triangles) {
    return {.thresholdHu = thresholdHu,
            .targetTriangles = triangles,
            .smoothingIterations = options.smoothingIterations,
            .threads = options.threads};
}

// The skin is drawn in the default body's skin colour: a mesh without materials would be drawn
// in whatever colour was set last.
void PaintSkin(Mesh& skin) {
    MeshMaterial material;
    material.name = "skin";
    material.ambient = {0.25f, 0.20f, 0.18f, 1.0f};
    material.diffuse = {0.87f, 0.72f, 0.62f, 1.0f};
    material.specular = {0.05f, 0.05f, 0.05f, 1.0f};
    material.shininess = 12.8f; // Ns 100 of 1000
    skin.materials = {MeshMaterial{.name = "default"}, material};
    for (MeshGroup& group : skin.groups) {
        group.material = 1;
    }
}

} // namespace

Status BuildCtBody(const CtVolume& volume, const CtBodyOptions& options, CtBodySurfaces& surfaces,
                   ProgressSink* progress) {
    surfaces = CtBodySurfaces();
    Report(progress, 0);
    CtSurfaceOptions skinOptions =
        SurfaceOptions(options, options.skinThresholdHu, options.skinTriangles);
    skinOptions.grouping = [](const std::vector<Vec3f>& positions,
                              const std::vector<std::array<uint32_t, 3>>& triangles) {
        return FindCtBodyParts(InBodyFrame(positions, triangles), triangles);
    };
    skinOptions.groupNames = CtBodyPartNames();
    if (Status skin = BuildCtSurface(volume, skinOptions, surfaces.skin, Between(progress, 0, 60));
        !skin) {
        surfaces = CtBodySurfaces();
        return Cancelled(progress) ? Stopped(surfaces) : skin;
    }
    if (Status framed = BodyFrameOfSkin(surfaces.skin, surfaces.frame); !framed) {
        surfaces = CtBodySurfaces();
        return framed;
    }
    if (Status bone = BuildCtSurface(
            volume, SurfaceOptions(options, options.boneThresholdHu, options.boneTriangles),
            surfaces.bone, Between(progress, 60, 95));
        !bone) {
        if (Cancelled(progress)) {
            return Stopped(surfaces);
        }
        surfaces.bone = Mesh{}; // a body without bone (a phantom of soft tissue) has none drawn
    }
    if (Cancelled(progress)) {
        return Stopped(surfaces);
    }
    PaintSkin(surfaces.skin);
    MoveToBodyFrame(surfaces.frame, surfaces.skin);
    MoveToBodyFrame(surfaces.frame, surfaces.bone);
    surfaces.lengthCm = surfaces.skin.box[4] - surfaces.skin.box[1];
    if (!surfaces.bone.groups.empty()) {
        surfaces.bone.groups.front().name = "bone";
    }
    Report(progress, 100);
    return Status::Ok();
}
