#include "case/PosedBodyMesh.h"

#include "case/Body.h"
#include "mesh/MeshGroups.h"

PosedBodyMesh::PosedBodyMesh() = default;
PosedBodyMesh::~PosedBodyMesh() = default;

PosedBodyMesh::Key PosedBodyMesh::KeyFor(const Body& body) {
    Key key;
    key.model = body.GetModel();
    key.revision = key.model ? key.model->revision : 0;
    const Placement& arm = body.GetArm();
    const Placement& forearm = body.GetForearm();
    key.values = {arm.GetYaw(),       arm.GetPitch(),   forearm.GetYaw(),
                  forearm.GetPitch(), body.GetScale(),  body.GetScaleX(),
                  body.GetScaleZ(),   body.GetHeight(), body.GetDepth()};
    return key;
}

const Mesh* PosedBodyMesh::Update(const Body& body) {
    const Mesh* model = body.GetModel();
    if (model == nullptr) {
        return nullptr;
    }
    const Key key = KeyFor(body);
    // The weights depend on the mesh only (a new revision may be new positions).
    Key meshOnly;
    meshOnly.model = key.model;
    meshOnly.revision = key.revision;
    if (skinKey != meshOnly) {
        skin = ArmSkin::Build(*model, body.GetModelParts());
        skinKey = meshOnly;
        posedKey.reset();
        posed.reset(); // its triangles and groups may belong to the previous mesh
    }
    if (!skin || body.HasInitialPose()) {
        return model;
    }
    if (posedKey == key && posed) {
        return posed.get();
    }
    if (!posed) {
        posed = std::make_unique<Mesh>(*model);
    }
    const Matrix4 toMesh = body.DrawTransformInverse();
    const Matrix4 toWorld = body.DrawTransform();
    skin->Pose(*model, toMesh * body.UpperArmTransform() * toWorld,
               toMesh * body.ArmPoseTransform() * toWorld, *posed);
    ComputeMeshBoxes(*posed);
    posed->revision = NextMeshRevision();
    posedKey = key;
    return posed.get();
}
