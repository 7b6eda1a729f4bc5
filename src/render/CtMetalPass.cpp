#include "render/CtMetalPass.h"

#include "case/PosedCase.h"
#include "ct/CtScan.h"
#include "render/FrameContext.h"
#include "render/Primitives.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The scan's frame is in centimetres, the case in metres.
constexpr double kMetresPerCentimetre = 0.01;
constexpr double kCentimetresPerMillimetre = 0.1;
constexpr int kBallSegments = 20;

double LengthOf(const Vec3& v) {
    return std::sqrt(Dot(v, v));
}

} // namespace

double CtMetalPass::MarkerRadiusMm(const CtMetalObject& object) {
    const double equivalent =
        std::cbrt(3.0 * std::max(object.volumeMm3, 0.0) / (4.0 * std::numbers::pi));
    return std::max(equivalent, kLeastRadiusMm);
}

void CtMetalPass::Draw(const FrameContext& frame, RenderPass pass) {
    const Case& theCase = frame.posed.GetCase();
    if (!frame.view.Switches().bodyTransparent || !theCase.ct.scan ||
        theCase.ct.scan->metal.empty()) {
        return;
    }
    const Body& body = theCase.body;
    const Mesh* skin = body.GetModel();
    if (skin == nullptr || !(skin->fitSize[1] > 0)) {
        return;
    }
    // The centroids are taken into the drawing as the bone is (see CtBonePass): body-frame
    // centimetres scaled by the skin's fit, moved by MeshToRest and drawn by the body's
    // transform; each ball is then drawn round its point, unscaled, so that it stays round.
    const double toFitted =
        body.GetBodyModel()->BaseHeight() / skin->fitSize[1] * kMetresPerCentimetre;
    const Vec3 shift = body.MeshToRest();
    const Matrix4 draw = body.DrawTransform();
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(kMetalColor[0], kMetalColor[1], kMetalColor[2], 1.0f);
    const std::vector<CtMetalObject>& metal = theCase.ct.scan->metal;
    for (std::size_t index = 0; index < metal.size(); ++index) {
        const CtMetalObject& object = metal[index];
        if (!object.hasBodyCentroid) {
            continue;
        }
        LoadPickName(pass, pick_names::ForMetal(static_cast<int>(index)));
        const Vec3& c = object.centroidBody;
        const Vec3 fitted = Minus({c.x * toFitted, c.y * toFitted, c.z * toFitted}, shift);
        const Vec3 at = draw.TransformPoint(fitted);
        const double radiusCm = MarkerRadiusMm(object) * kCentimetresPerMillimetre;
        const double radius = LengthOf(draw.TransformVector({radiusCm * toFitted, 0, 0}));
        glPushMatrix();
        glTranslated(at.x, at.y, at.z);
        DrawSphere(radius, kBallSegments, frame.shapes);
        glPopMatrix();
    }
}
