#include "body/PosedBodyMesh.h"

#include "body/Body.h"
#include "mesh/MeshGroups.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double LowestY(const Mesh& mesh) {
    double lowest = std::numeric_limits<double>::infinity();
    for (uint32_t v = 1; v <= mesh.vertexCount; ++v) {
        lowest = std::min(lowest, double(mesh.vertices[3 * size_t(v) + 1]));
    }
    return std::isfinite(lowest) ? lowest : 0.0;
}

} // namespace

PosedBodyMesh::PosedBodyMesh() = default;
PosedBodyMesh::~PosedBodyMesh() = default;

const Mesh* PosedBodyMesh::Update(const Body& body) {
    const Mesh* model = body.GetModel();
    if (model == nullptr) {
        skin.reset();
        lift = 0;
        return nullptr;
    }
    Key key{model, model->revision, body.GetPosture(), body.GetPivots()};
    // The weights depend on the mesh and the pivots only (a new revision may be new positions).
    Key meshOnly{key.model, key.revision, Posture(), key.pivots};
    if (skinKey != meshOnly) {
        skin = BodySkin::Build(*model, body.GetModelParts(), key.pivots, body.MeshToRest());
        skinKey = meshOnly;
        restLowest = LowestY(*model);
        posedKey.reset();
        posed.reset(); // its triangles and groups may belong to the previous mesh
    }
    // A mesh without parts moves only when the whole body turns.
    if (key.posture.IsAnatomical() || (!skin && key.posture.GetBodyTurn() == JointAngles{})) {
        lift = 0;
        return model;
    }
    if (posedKey == key && posed) {
        return posed.get();
    }
    if (!posed) {
        posed = std::make_unique<Mesh>(*model);
    }
    const SegmentPoses segments(key.posture, key.pivots);
    if (skin) {
        skin->Pose(*model, segments, *posed);
    } else {
        // Without parts the body is carried as one piece by the pelvis.
        BodySkin::Weights whole{};
        whole[0] = {skeleton::Segment::Pelvis, 1.0f};
        posed->vertices = model->vertices;
        posed->normals = model->normals;
        const Vec3 toRest = body.MeshToRest();
        for (uint32_t v = 1; v <= model->vertexCount; ++v) {
            float* p = &posed->vertices[3 * size_t(v)];
            const Vec3 moved = PoseWithWeights(whole, segments,
                                               {p[0] + toRest.x, p[1] + toRest.y, p[2] + toRest.z});
            p[0] = static_cast<float>(moved.x - toRest.x);
            p[1] = static_cast<float>(moved.y - toRest.y);
            p[2] = static_cast<float>(moved.z - toRest.z);
        }
        const Matrix4& turn = segments[skeleton::Segment::Pelvis];
        for (uint32_t n = 1; n <= model->normalCount && !posed->normals.empty(); ++n) {
            float* normal = &posed->normals[3 * size_t(n)];
            const Vec3 turned = turn.TransformVector({normal[0], normal[1], normal[2]});
            normal[0] = static_cast<float>(turned.x);
            normal[1] = static_cast<float>(turned.y);
            normal[2] = static_cast<float>(turned.z);
        }
    }
    // Set the posed body down: its lowest point where the standing body's lowest point is.
    lift = restLowest - LowestY(*posed);
    for (uint32_t v = 1; v <= posed->vertexCount; ++v) {
        float& y = posed->vertices[3 * size_t(v) + 1];
        y = static_cast<float>(y + lift);
    }
    ComputeMeshBoxes(*posed);
    posed->revision = NextMeshRevision();
    posedKey = key;
    return posed.get();
}
