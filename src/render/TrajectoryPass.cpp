#include "render/TrajectoryPass.h"

#include "case/Case.h"
#include "case/TrajectoryArrow.h"
#include "render/BitmapFont.h"
#include "render/Handles.h"
#include "render/MeshDrawing.h"
#include "render/Primitives.h"

#include <GL/gl.h>

namespace {

constexpr double kLabelTickStart = 0.66;
constexpr double kLabelDistance = 0.71;

// Unlit, so that the label and its tick show the trajectory's own colour rather than one lit
// with whatever normal was issued last.
void DrawLabel(const Trajectory& path, const BitmapFont& font) {
    glDisable(GL_LIGHTING);
    glRasterPos3d(0, 0, kLabelDistance);
    glBegin(GL_LINES);
    glVertex3d(0, 0, kLabelTickStart);
    glVertex3d(0, 0, kLabelDistance);
    glEnd();
    font.DrawText(path.GetText());
    glEnable(GL_LIGHTING);
}

void DrawHandles(Case& scene, RenderPass pass) {
    if (scene.GetManipulationMode() == ManipulationMode::Move) {
        DrawMoveHandles(pass, scene.GetSelectedHandle());
    } else if (scene.GetManipulationMode() == ManipulationMode::Rotate) {
        DrawRotateHandles(pass, scene.GetSelectedHandle(), scene);
    }
}

void DrawTrajectory(Case& scene, int number, RenderPass pass, const BitmapFont& font) {
    const Trajectory& path = *scene.GetTrajectory(number - 1);
    const bool selected = number == scene.GetSelectedTrajectoryNumber();
    glMultMatrixd(TrajectoryAnchor(path).Data());
    // Handles are aligned with the world axes, so they come before the rotations.
    if (selected) {
        DrawHandles(scene, pass);
    }
    glMultMatrixd(TrajectoryTurn(path).Data());
    LoadPickName(pass, pick_names::ForTrajectory(number));
    glColor3f(static_cast<float>(path.GetRed()), static_cast<float>(path.GetGreen()),
              static_cast<float>(path.GetBlue()));
    if (scene.GetShowText() && !path.GetText().empty()) {
        DrawLabel(path, font);
    }
    const Mesh* model = path.GetExited() != 0 ? scene.GetArrowModel() : scene.GetHalfArrowModel();
    if (model == nullptr) {
        return;
    }
    DrawMesh(*model, RENDER_SMOOTH, 1.0f);
    if (selected) {
        const auto& box = model->box;
        DrawBox(box[0], box[1], box[2], box[3], box[4], box[5]);
    }
}

} // namespace

void DrawTrajectories(Case& scene, RenderPass pass, const BitmapFont& font) {
    for (int number = 1; number <= scene.GetTrajectoryCount(); ++number) {
        glPushMatrix();
        glMultMatrixd(TrajectoryPose(scene, number).Data());
        glPushMatrix();
        DrawTrajectory(scene, number, pass, font);
        glPopMatrix();
        glPopMatrix();
    }
}
