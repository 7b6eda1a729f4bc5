#include "render/LandmarkPass.h"

#include "case/Case.h"
#include "render/BitmapFont.h"
#include "render/FrameContext.h"
#include "render/Primitives.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr double kMarkerRadius = 0.007; // half of it stands out of the skin
constexpr int kMarkerSegments = 12;
// Names start this far off the skin, so that the skin under them does not hide them.
constexpr double kNameLift = 0.02;

void DrawName(const Landmark& landmark, double bodyDepth, const BitmapFont& font) {
    // Outward is taken as away from the body's vertical axis, which is good enough for a
    // name beside a marker.
    double ox = landmark.position.x;
    double oz = landmark.position.z - 0.5 * bodyDepth;
    const double length = std::hypot(ox, oz);
    if (length > 0) {
        ox /= length;
        oz /= length;
    }
    glRasterPos3d(landmark.position.x + ox * kNameLift, landmark.position.y,
                  landmark.position.z + oz * kNameLift);
    font.DrawText(landmark.name);
}

} // namespace

void DrawLandmarks(const FrameContext& frame) {
    const Body& body = frame.theCase.GetBody();
    if (!frame.view.Switches().landmarks || body.GetModel() == nullptr) {
        return;
    }
    const LandmarkTable landmarks = body.DrawnLandmarks();
    glDisable(GL_LIGHTING);
    glColor3f(0.05f, 0.75f, 0.25f);
    for (const Landmark& landmark : landmarks.GetLandmarks()) {
        glPushMatrix();
        glTranslated(landmark.position.x, landmark.position.y, landmark.position.z);
        DrawSphere(kMarkerRadius, kMarkerSegments, frame.shapes);
        glPopMatrix();
    }
    if (frame.view.Switches().text) {
        glColor3f(0.0f, 0.3f, 0.1f);
        for (const Landmark& landmark : landmarks.GetLandmarks()) {
            DrawName(landmark, body.GetDepth(), frame.font);
        }
    }
    glEnable(GL_LIGHTING);
}
