#include "render/ScenePass.h"

#include "case/PosedCase.h"
#include "mesh/MeshSimplify.h"
#include "render/FrameContext.h"
#include "render/MeshDrawing.h"
#include "render/SceneCutAway.h"
#include "view/ViewState.h"
#include "world/OriginAnalysis.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>

namespace {

// See-through walls: drawn last, without writing depth, so that the body and the trajectories
// behind them show through.
constexpr float kSceneAlphaTransparent = 0.25f;
// A scene model without materials is drawn in a light warm grey, not in whatever colour the
// frame last set.
constexpr float kSceneGrey[] = {0.8f, 0.79f, 0.76f};
// A zone without an upper bound is drawn out to this distance from IN.
constexpr double kOpenReach = 30.0; // m
constexpr int kOutlineSegments = 72;
constexpr double kFloorGridHalfWidth = 5.0; // m, one line a metre

const float kHeightColors[][3] = {
    {0.12f, 0.35f, 0.8f}, {0.9f, 0.47f, 0.08f}, {0.12f, 0.6f, 0.24f}, {0.6f, 0.16f, 0.63f}};

void HeightColor(size_t index, float alpha) {
    const float* c = kHeightColors[index % std::size(kHeightColors)];
    glColor4f(c[0], c[1], c[2], alpha);
}

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

Vec3 Sum(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 Unit(const Vec3& v) {
    const double length = std::sqrt(Dot(v, v));
    return length > 0 ? Scaled(v, 1 / length) : v;
}

void Vertex(const Vec3& p) {
    glVertex3d(p.x, p.y, p.z);
}

// Two unit vectors across the axis `u`.
void AcrossAxis(const Vec3& u, Vec3& a, Vec3& b) {
    const Vec3 helper = std::fabs(u.y) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    a = Unit(Cross(u, helper));
    b = Cross(u, a);
}

// Where the cone's side line at rim angle `phi` meets the plane y = h, within the reach; the
// reach itself along the line when it never does.
Vec3 OutlinePoint(const Vec3& in, const Vec3& u, const Vec3& a, const Vec3& b, double alpha,
                  double phi, double height, double reach, double cap, bool& met) {
    const Vec3 side =
        Sum(Scaled(u, std::cos(alpha)), Sum(Scaled(a, std::sin(alpha) * std::cos(phi)),
                                            Scaled(b, std::sin(alpha) * std::sin(phi))));
    const double rise = height - in.y;
    double t = reach;
    met = false;
    if (side.y != 0 && (rise > 0) == (side.y > 0)) {
        t = rise / side.y;
        met = std::hypot(side.x, side.z) * t <= cap;
        t = std::min(t, reach);
    }
    return Sum(in, Scaled(side, t));
}

void DrawZoneOutline(const TrajectoryOrigin& origin, const Vec3& u, const OriginZone& zone) {
    Vec3 a, b;
    AcrossAxis(u, a, b);
    const double alpha = origin.halfAngle.value_or(0.0) * std::numbers::pi / 180.0;
    const double cap = zone.maxDistance.value_or(kOpenReach);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i <= kOutlineSegments; ++i) {
        bool met = false;
        const Vec3 point = OutlinePoint(origin.lineStart, u, a, b, alpha,
                                        2 * std::numbers::pi * i / kOutlineSegments, zone.height,
                                        kOpenReach, cap + 1e-9, met);
        if (met) {
            Vertex({point.x, zone.height, point.z});
        } else {
            // Beyond the zone's far end: the outline closes along the far end's reach.
            glEnd();
            glBegin(GL_LINE_STRIP);
        }
    }
    glEnd();
    // The nominal point, as a small cross on the plane.
    const Vec3& p = zone.nominalPoint;
    glBegin(GL_LINES);
    Vertex({p.x - 0.05, p.y, p.z});
    Vertex({p.x + 0.05, p.y, p.z});
    Vertex({p.x, p.y, p.z - 0.05});
    Vertex({p.x, p.y, p.z + 0.05});
    glEnd();
}

void DrawBackLineAndCone(const Case& theCase, const TrajectoryOrigin& origin) {
    if (!origin.hasDirection) {
        return;
    }
    const std::optional<Vec3> back = origin.back;
    const Vec3& in = origin.lineStart;
    double reach = 2.0;
    for (const OriginZone& zone : origin.zones) {
        if (zone.reached) {
            reach =
                std::max(reach, std::hypot(zone.nominalPoint.x - in.x, zone.nominalPoint.y - in.y,
                                           zone.nominalPoint.z - in.z));
        }
    }
    reach = std::min(reach * 1.2, kOpenReach);
    const Vec3& color = theCase.TrajectoryNumbered(origin.number)->color;
    glColor4f(static_cast<float>(color.x), static_cast<float>(color.y), static_cast<float>(color.z),
              1.0f);
    glBegin(GL_LINES);
    Vertex(in);
    Vertex(Sum(in, Scaled(*back, reach)));
    glEnd();
    if (!origin.halfAngle) {
        return;
    }
    Vec3 a, b;
    AcrossAxis(*back, a, b);
    const double alpha = *origin.halfAngle * std::numbers::pi / 180.0;
    glColor4f(static_cast<float>(color.x), static_cast<float>(color.y), static_cast<float>(color.z),
              0.15f);
    glBegin(GL_TRIANGLE_FAN);
    Vertex(in);
    for (int i = 0; i <= kOutlineSegments; ++i) {
        const double phi = 2 * std::numbers::pi * i / kOutlineSegments;
        const Vec3 side =
            Sum(Scaled(*back, std::cos(alpha)), Sum(Scaled(a, std::sin(alpha) * std::cos(phi)),
                                                    Scaled(b, std::sin(alpha) * std::sin(phi))));
        Vertex(Sum(in, Scaled(side, reach)));
    }
    glEnd();
}

void DrawFloorGrid() {
    glColor4f(0.55f, 0.55f, 0.55f, 1.0f);
    glBegin(GL_LINES);
    for (double v = -kFloorGridHalfWidth; v <= kFloorGridHalfWidth + 1e-9; v += 1.0) {
        Vertex({v, 0, -kFloorGridHalfWidth});
        Vertex({v, 0, kFloorGridHalfWidth});
        Vertex({-kFloorGridHalfWidth, 0, v});
        Vertex({kFloorGridHalfWidth, 0, v});
    }
    glEnd();
}

} // namespace

Matrix4 SceneToBodyFrame(const ScenePlacement& body) {
    return body.FromScene();
}

const SceneSurfaces* ScenePass::Surfaces(const FrameContext& frame) {
    const CaseWorld& world = frame.posed.GetCase().world;
    const Mesh* mesh = world.sceneMesh.get();
    if (mesh == nullptr) {
        return nullptr;
    }
    if (mesh != surfacesMesh || mesh->revision != surfacesRevision ||
        !(world.scene == surfacesPlacement)) {
        surfacesMesh = mesh;
        surfacesRevision = mesh->revision;
        surfacesPlacement = world.scene;
        surfacesBuilt = surfaces.Build(*mesh, world.scene).ok();
    }
    return surfacesBuilt ? &surfaces : nullptr;
}

const Mesh& ScenePass::DrawnMesh(const Mesh& model) {
    if (model.triangles.size() <= kLargestDrawnWhole) {
        return model;
    }
    if (drawnFrom != &model || drawnRevision != model.revision || !drawnCopy) {
        drawnCopy = std::make_unique<Mesh>(SimplifyByClustering(model, kDrawnTriangles));
        drawnFrom = &model;
        drawnRevision = model.revision;
    }
    return *drawnCopy;
}

void ScenePass::DrawModel(const FrameContext& frame, float alpha) {
    const CaseWorld& world = frame.posed.GetCase().world;
    const Mesh& drawn = DrawnMesh(*world.sceneMesh);
    // Without materials the model takes the current colour, and the alpha with it.
    const unsigned mode = drawn.materials.empty() ? RENDER_SMOOTH : RENDER_SMOOTH | RENDER_COLOR;
    glColor4f(kSceneGrey[0], kSceneGrey[1], kSceneGrey[2], alpha);
    glPushMatrix();
    glMultMatrixd(world.SceneModelToBodyFrame().Data());
    DrawMesh(drawn, mode, alpha, 1.0f, frame.meshes);
    glPopMatrix();
}

void ScenePass::DrawSceneModel(const FrameContext& frame) {
    const DisplaySwitches& switches = frame.view.Switches();
    if (!switches.scene || switches.sceneTransparent || !frame.posed.GetCase().world.sceneMesh) {
        return;
    }
    std::optional<SceneCutAway> cutAway;
    if (switches.sceneCutAway) {
        if (const std::optional<BodyBox> box = PosedBodyBox(frame.posed)) {
            cutAway = CutAwayBefore(frame.view.GetCamera().ViewMatrix(), *box);
        }
    }
    if (cutAway) {
        DrawOutsideCutAway(*cutAway, [this, &frame] { DrawModel(frame, 1.0f); });
    } else {
        DrawModel(frame, 1.0f);
    }
}

void ScenePass::DrawTranslucent(const FrameContext& frame) {
    const DisplaySwitches& switches = frame.view.Switches();
    const CaseWorld& world = frame.posed.GetCase().world;
    if (switches.scene && switches.sceneTransparent && world.sceneMesh) {
        glPushAttrib(GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
        glDepthMask(GL_FALSE);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        DrawModel(frame, kSceneAlphaTransparent);
        glPopAttrib();
    }
    if (!switches.originZones) {
        return;
    }
    const OriginAnalysis analysis = AnalyseOrigins(frame.posed, Surfaces(frame));
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT |
                 GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glLineWidth(2.0f);
    glPushMatrix();
    glMultMatrixd(SceneToBodyFrame(world.body).Data());
    if (!world.sceneMesh) {
        DrawFloorGrid();
    }
    for (const TrajectoryOrigin& origin : analysis.trajectories) {
        if (!switches.ShowsTrajectory(origin.number)) {
            continue;
        }
        const std::optional<Vec3> back =
            origin.hasDirection ? std::optional<Vec3>(origin.back) : std::nullopt;
        for (size_t i = 0; back && i < origin.zones.size(); ++i) {
            if (origin.zones[i].reached) {
                HeightColor(i, 1.0f);
                DrawZoneOutline(origin, *back, origin.zones[i]);
            }
        }
    }
    glDepthMask(GL_FALSE);
    for (const TrajectoryOrigin& origin : analysis.trajectories) {
        if (switches.ShowsTrajectory(origin.number)) {
            DrawBackLineAndCone(frame.posed.GetCase(), origin);
        }
    }
    glPopMatrix();
    glPopAttrib();
}
