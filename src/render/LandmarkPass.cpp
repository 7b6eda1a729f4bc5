#include "render/LandmarkPass.h"

#include "case/PosedCase.h"
#include "render/BitmapFont.h"
#include "render/FrameContext.h"
#include "render/Primitives.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kMarkerRadius = 0.007; // half of it stands out of the skin
constexpr int kMarkerSegments = 12;
// Names start this far off the skin, so that the skin under them does not hide them.
constexpr double kNameLift = 0.02;
// A landmark closer to the skin in front of it than this still faces the viewer (metres).
constexpr double kSeenTolerance = 0.015;

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
    font.DrawText(landmark.name, BitmapFont::Depth::InFront);
}

// True when the point is not hidden behind what has been drawn so far (the body): its window
// depth, taken a little toward the eye so that a point on the skin counts as seen, is not behind
// the depth the framebuffer holds at its pixel. Off the screen counts as hidden.
bool SeenFromTheEye(const Vec3& point) {
    GLdouble modelView[16], projection[16];
    GLint viewport[4];
    GLdouble depthRange[2];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_DEPTH_RANGE, depthRange);
    double eye[4];
    for (int row = 0; row < 4; ++row) {
        eye[row] = modelView[row] * point.x + modelView[4 + row] * point.y +
                   modelView[8 + row] * point.z + modelView[12 + row];
    }
    const double distance = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
    if (distance <= kSeenTolerance) {
        return false;
    }
    const double toward = 1.0 - kSeenTolerance / distance;
    for (int i = 0; i < 3; ++i) {
        eye[i] *= toward;
    }
    double clip[4];
    for (int row = 0; row < 4; ++row) {
        clip[row] = projection[row] * eye[0] + projection[4 + row] * eye[1] +
                    projection[8 + row] * eye[2] + projection[12 + row] * eye[3];
    }
    if (clip[3] <= 0) {
        return false;
    }
    const double ndcX = clip[0] / clip[3], ndcY = clip[1] / clip[3], ndcZ = clip[2] / clip[3];
    const double windowX = viewport[0] + (ndcX + 1) * 0.5 * viewport[2];
    const double windowY = viewport[1] + (ndcY + 1) * 0.5 * viewport[3];
    if (windowX < viewport[0] || windowY < viewport[1] || windowX >= viewport[0] + viewport[2] ||
        windowY >= viewport[1] + viewport[3]) {
        return false;
    }
    const double windowDepth = depthRange[0] + (ndcZ + 1) * 0.5 * (depthRange[1] - depthRange[0]);
    GLfloat stored = 1.0f;
    glReadPixels(static_cast<GLint>(windowX), static_cast<GLint>(windowY), 1, 1, GL_DEPTH_COMPONENT,
                 GL_FLOAT, &stored);
    return windowDepth <= stored;
}

} // namespace

void DrawLandmarks(const FrameContext& frame) {
    if (!frame.view.Switches().landmarks || frame.posed.GetBody().GetMesh() == nullptr) {
        return;
    }
    const Body& body = frame.posed.GetCase().body;
    const LandmarkTable& landmarks = frame.posed.PosedLandmarks();
    // Before the markers are drawn, which would hide their own points. Only the names of the
    // landmarks the viewer faces are written: a name on the back shows through the body.
    std::vector<bool> seen;
    if (frame.view.Switches().text) {
        for (const Landmark& landmark : landmarks.GetLandmarks()) {
            seen.push_back(SeenFromTheEye(landmark.position));
        }
    }
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
        for (std::size_t i = 0; i < landmarks.GetLandmarks().size(); ++i) {
            if (seen[i]) {
                DrawName(landmarks.GetLandmarks()[i], body.GetDepth(), frame.font);
            }
        }
    }
    glEnable(GL_LIGHTING);
}
