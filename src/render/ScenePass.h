#pragma once

#include "case/ScenePlacement.h"
#include "mesh/Mesh.h"
#include "world/SceneSurfaces.h"

#include <cstdint>
#include <memory>

struct FrameContext;
struct Mesh;

// The world around the body in the frame: the scene model placed in the scene, and, with the
// origin-zones switch, each trajectory's back line and cone with each muzzle height's zone
// outlined on its plane (and a floor grid when there is no scene model). The frame is drawn in
// the body's frame, so the scene is carried there by the inverse of the body's placement.
class ScenePass {
public:
    // Opaque: before the body and the arrows, so that they stand in front of the walls.
    void DrawSceneModel(const FrameContext& frame);
    // Translucent parts: after the body.
    void DrawTranslucent(const FrameContext& frame);

    // A scene model beyond this many triangles is drawn from a copy simplified to at most
    // kDrawnTriangles (vertex clustering), so that the view orbits it at the body's pace; the
    // zones and the report always use the model itself.
    static constexpr size_t kLargestDrawnWhole = 250000;
    static constexpr uint32_t kDrawnTriangles = 20000;

private:
    const Mesh& DrawnMesh(const Mesh& model);

    // The scene model's surfaces, built once per model and placement, limit the zones drawn.
    const SceneSurfaces* Surfaces(const FrameContext& frame);
    void DrawModel(const FrameContext& frame, float alpha);

    SceneSurfaces surfaces;
    const Mesh* surfacesMesh = nullptr;
    uint64_t surfacesRevision = 0;
    ScenePlacement surfacesPlacement;
    bool surfacesBuilt = false;
    std::unique_ptr<Mesh> drawnCopy;
    const Mesh* drawnFrom = nullptr;
    uint64_t drawnRevision = 0;
};

// The transform from the scene frame into the body frame the view draws in.
Matrix4 SceneToBodyFrame(const ScenePlacement& body);
