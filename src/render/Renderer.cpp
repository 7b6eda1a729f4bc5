#include "render/Renderer.h"

#include "case/PosedCase.h"
#include "render/CtMetalPass.h"
#include "render/Decorations.h"
#include "render/ElementPass.h"
#include "render/FrameContext.h"
#include "render/FrameProjection.h"
#include "render/LandmarkPass.h"
#include "render/MeshDrawing.h"
#include "render/Picking.h"
#include "render/SurfaceMarkers.h"
#include "render/TrajectoryPass.h"
#include "render/UncertaintyConePass.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr float kBodyAlphaTransparent = 0.6f;
constexpr float kBodyAlphaOpaque = 1.0f;

// The key light comes from above the viewer, 30 degrees over the line of sight, and moves with
// the camera. Along the line of sight itself it left skin that faces upward as well as toward the
// viewer (the top of the feet seen from the front) at half brightness, as dark as a bruise. Its
// strength is the inverse of its cosine to the line of sight, so that a surface facing the viewer
// is as bright as before.
constexpr GLfloat kKeyLightRise = 0.57735f; // tan(30 degrees)

void SetUpKeyLight() {
    const GLfloat strength = std::sqrt(1.0f + kKeyLightRise * kKeyLightRise);
    const GLfloat diffuse[] = {strength, strength, strength, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
}

// Before the camera: the direction is given in the eye's coordinates.
void PlaceKeyLight() {
    const GLfloat direction[] = {0.0f, kKeyLightRise, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
}

void SetUpLights() {
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    SetUpKeyLight();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, white);
}

// After the camera, so that both lights stay fixed in the world.
void PlaceSceneLights() {
    const GLfloat light1[] = {-1400.0f, -1400.0f, 1400.0f, 1.0f};
    const GLfloat light2[] = {0.0f, 0.0f, -400.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    glLightfv(GL_LIGHT2, GL_POSITION, light2);
}

} // namespace

bool Renderer::InitializeContext() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    SetUpLights();
    // The arrows take their colour from the current colour: tracking is on from the first frame,
    // not only after the first element or body has switched it on.
    glEnable(GL_COLOR_MATERIAL);
    glClearColor(kClearGrey, kClearGrey, kClearGrey, 1.0f);
    // A window may get a new context without the old one being destroyed through us: lists
    // remembered from it mean nothing here.
    meshCache.Forget();
    shapeCache.Forget();
    return font.Build();
}

void Renderer::Resize(int width, int height) {
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(Camera::ProjectionMatrix(width, height).Data());
    glMatrixMode(GL_MODELVIEW);
}

FrameContext Renderer::Context(const PosedCase& posed, const ViewState& view) {
    return {posed, view, font, arrows.get(), &meshCache, &shapeCache, &coneCache};
}

void Renderer::RenderFrame(const PosedCase& posed, const ViewState& view) {
    const FrameContext frame = Context(posed, view);
    font.BeginFrame(view.Switches().outlines);
    glClearColor(kClearGrey, kClearGrey, kClearGrey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    PlaceKeyLight();
    glPushMatrix();
    ApplyCameraView(view.GetCamera());

    PlaceSceneLights();
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    scenePass.DrawSceneModel(frame);
    DrawTrajectories(frame, RenderPass::Normal);
    // Elements and body are lit by light 0 alone.
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHT2);
    DrawElements(frame, RenderPass::Normal);
    // The labels of both passes are placed against what has been drawn when they are flushed: an
    // opaque body first, so that a label whose point it hides is lifted in front of it; a
    // transparent body after them, so that it blends over them as it did over each label drawn
    // in its pass.
    const bool opaqueBody = !view.Switches().bodyTransparent;
    if (opaqueBody) {
        DrawBody(frame);
    } else {
        bonePass.Draw(frame); // opaque, inside the skin that blends over it
        CtMetalPass::Draw(frame);
    }
    font.Flush();
    // Drawn last, so that a transparent body blends over the arrows and solids inside it.
    if (!opaqueBody) {
        DrawBody(frame);
    }
    if (view.Switches().uncertaintyCones) {
        DrawUncertaintyCones(frame);
    }
    scenePass.DrawTranslucent(frame);
    DrawLandmarks(frame);
    DrawDecorations(frame);
    font.Flush(); // anything labelled after the passes
    DrawSurfaceMarkers(view.GetSurfaceMarkers());
    glPopMatrix();
}

// The mesh in its posture, as the posed case holds it.
void Renderer::DrawBody(const FrameContext& frame) {
    const Mesh* mesh = frame.posed.GetBody().GetMesh();
    if (mesh == nullptr) {
        return;
    }
    const Body& body = frame.posed.GetCase().body;
    glPushMatrix();
    glMultMatrixd(body.DrawTransform().Data());
    DrawMesh(*mesh, RENDER_SMOOTH | RENDER_COLOR,
             frame.view.Switches().bodyTransparent ? kBodyAlphaTransparent : kBodyAlphaOpaque,
             body.GetNormalScale(), frame.meshes);
    glPopMatrix();
}

void Renderer::DrawDecorations(const FrameContext& frame) {
    const DisplaySwitches& switches = frame.view.Switches();
    if (switches.axes) {
        DrawAxes();
    }
    if (switches.frontGrid) {
        DrawGrid();
    }
    if (switches.lateralGrid) {
        glPushMatrix();
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        DrawGrid();
        glPopMatrix();
    }
}

void Renderer::Pick(const PosedCase& posed, ViewState& view, int x, int y) {
    ApplyPickName(posed.GetCase(), view, PickName(Context(posed, view), x, y));
}

std::optional<int> Renderer::PickMetal(const PosedCase& posed, const ViewState& view, int x,
                                       int y) {
    return PickMetalObject(Context(posed, view), x, y);
}

void Renderer::DestroyContext() {
    font.Release();
    meshCache.Release();
    shapeCache.Release();
}
