#include "render/TrajectoryPass.h"

#include "case/Case.h"
#include "case/TrajectoryArrow.h"
#include "render/BitmapFont.h"
#include "render/FrameContext.h"
#include "render/Handles.h"
#include "render/MeshDrawing.h"
#include "render/Primitives.h"
#include "view/ViewState.h"

#include <GL/gl.h>

namespace {

constexpr double kLabelTickStart = 0.66;
constexpr double kLabelDistance = 0.71;

// Unlit, so that the label and its tick show the trajectory's own colour rather than one lit
// with whatever normal was issued last.
void DrawLabel(const Trajectory& trajectory, const BitmapFont& font) {
    glDisable(GL_LIGHTING);
    glRasterPos3d(0, 0, kLabelDistance);
    glBegin(GL_LINES);
    glVertex3d(0, 0, kLabelTickStart);
    glVertex3d(0, 0, kLabelDistance);
    glEnd();
    font.DrawText(trajectory.GetText());
    glEnable(GL_LIGHTING);
}

// A dark rim around the arrow: its back faces drawn as wide lines behind the arrow itself.
void DrawOutline(const Mesh& model, const FrameContext& frame) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    // Without this the rim's colour would become the arrow's material too.
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glPolygonMode(GL_BACK, GL_LINE);
    // Pushed back, so that the arrow's own faces cover the rim's inner half even where the
    // arrow is only a few pixels thick.
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(4.0f, 64.0f);
    glLineWidth(3.0f);
    glColor3f(0.08f, 0.08f, 0.08f);
    DrawMesh(model, RENDER_SMOOTH, 1.0f, 1.0f, frame.meshes);
    glPopAttrib();
}

void DrawHandles(const FrameContext& frame, RenderPass pass) {
    const ViewState& view = frame.view;
    if (view.GetManipulationMode() == ManipulationMode::Move) {
        DrawMoveHandles(pass, view.GetSelectedHandle());
    } else if (view.GetManipulationMode() == ManipulationMode::Rotate) {
        DrawRotateHandles(frame, pass, view.GetSelectedHandle());
    }
}

void DrawTrajectory(const FrameContext& frame, int number, RenderPass pass) {
    const Trajectory& trajectory = *frame.theCase.GetTrajectory(number - 1);
    const bool selected = number == frame.view.GetSelectedTrajectoryNumber();
    glMultMatrixd(TrajectoryAnchor(frame.theCase, number).Data());
    // Handles are aligned with the world axes, so they come before the rotations.
    if (selected) {
        DrawHandles(frame, pass);
    }
    glMultMatrixd(TrajectoryTurn(frame.theCase, number).Data());
    LoadPickName(pass, pick_names::ForTrajectory(number));
    glColor3f(static_cast<float>(trajectory.GetRed()), static_cast<float>(trajectory.GetGreen()),
              static_cast<float>(trajectory.GetBlue()));
    if (frame.view.Switches().text && !trajectory.GetText().empty()) {
        DrawLabel(trajectory, frame.font);
    }
    const Mesh* model = frame.theCase.ArrowModelFor(trajectory);
    if (model == nullptr) {
        return;
    }
    if (frame.view.Switches().outlines && pass == RenderPass::Normal) {
        DrawOutline(*model, frame);
    }
    DrawMesh(*model, RENDER_SMOOTH, 1.0f, 1.0f, frame.meshes);
    if (selected) {
        const auto& box = model->box;
        DrawBox(box[0], box[1], box[2], box[3], box[4], box[5]);
    }
}

} // namespace

void DrawTrajectories(const FrameContext& frame, RenderPass pass) {
    for (int number = 1; number <= frame.theCase.GetTrajectoryCount(); ++number) {
        if (!frame.view.Switches().ShowsTrajectory(number)) {
            continue;
        }
        glPushMatrix();
        DrawTrajectory(frame, number, pass);
        glPopMatrix();
    }
}
