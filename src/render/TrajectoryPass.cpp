#include "render/TrajectoryPass.h"

#include "case/PosedCase.h"
#include "mesh/ArrowModels.h"
#include "render/BitmapFont.h"
#include "render/FrameContext.h"
#include "render/Handles.h"
#include "render/MeshDrawing.h"
#include "render/Primitives.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <vector>

namespace {

constexpr double kLabelTickStart = 0.66;
constexpr double kLabelDistance = 0.71;
// A point between IN and OUT: a ball of 4 mm, seen against the body and the arrow without
// hiding them (its own radius of uncertainty is the budget's to draw).
constexpr double kPointBallRadius = 0.004;
constexpr int kPointBallSegments = 12;

// Unlit, so that the label and its tick show the trajectory's own colour rather than one lit
// with whatever normal was issued last.
void DrawLabel(const Trajectory& trajectory, const BitmapFont& font) {
    glDisable(GL_LIGHTING);
    glRasterPos3d(0, 0, kLabelDistance);
    glBegin(GL_LINES);
    glVertex3d(0, 0, kLabelTickStart);
    glVertex3d(0, 0, kLabelDistance);
    glEnd();
    font.DrawText(trajectory.label);
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

// The stop `stop` projected onto a piece's line.
Vec3 OnPiece(const TrackPiece& piece, const Vec3& stop) {
    const Vec3 along = Minus(stop, piece.start);
    const double t = Dot(along, piece.direction);
    return {piece.start.x + piece.direction.x * t, piece.start.y + piece.direction.y * t,
            piece.start.z + piece.direction.z * t};
}

// For a track through several parts, each piece's line from its first stop to its last, so that
// the bend between them shows; thin and unlit, in the track's colour.
void DrawPieces(const PosedTrajectory& posed) {
    if (!posed.posedLine || posed.posedLine->pieces.size() < 2) {
        return;
    }
    std::vector<Vec3> stops{posed.in};
    stops.insert(stops.end(), posed.points.begin(), posed.points.end());
    stops.push_back(posed.out);
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glLineWidth(2.0f);
    glBegin(GL_LINES);
    for (const TrackPiece& piece : posed.posedLine->pieces) {
        if (piece.last >= stops.size()) {
            continue;
        }
        const Vec3 first = OnPiece(piece, stops[piece.first]);
        const Vec3 last = OnPiece(piece, stops[piece.last]);
        glVertex3d(first.x, first.y, first.z);
        glVertex3d(last.x, last.y, last.z);
    }
    glEnd();
    glPopAttrib();
}

// The points between IN and OUT, each a small ball in the track's colour where the posture
// carries it, picked as the trajectory.
void DrawTrackPoints(const FrameContext& frame, const PosedTrajectory& posed, RenderPass pass) {
    if (posed.points.empty()) {
        return;
    }
    LoadPickName(pass, pick_names::ForTrajectory(posed.number));
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_COLOR_MATERIAL);
    for (const Vec3& point : posed.points) {
        glPushMatrix();
        glTranslated(point.x, point.y, point.z);
        DrawSphere(kPointBallRadius, kPointBallSegments, frame.shapes);
        glPopMatrix();
    }
    glPopAttrib();
    if (pass == RenderPass::Normal) {
        DrawPieces(posed);
    }
}

// The arrow where the posed case puts it: its handles at the anchor, the arrow turned from there.
void DrawTrajectory(const FrameContext& frame, const PosedTrajectory& posed, RenderPass pass) {
    const Trajectory& trajectory = *frame.posed.GetCase().TrajectoryNumbered(posed.number);
    const bool selected = posed.number == frame.view.GetSelectedTrajectoryNumber();
    glColor3f(static_cast<float>(trajectory.color.x), static_cast<float>(trajectory.color.y),
              static_cast<float>(trajectory.color.z));
    DrawTrackPoints(frame, posed, pass);
    glMultMatrixd(posed.arrowAnchor.Data());
    // Handles are aligned with the world axes, so they come before the rotations.
    if (selected) {
        DrawHandles(frame, pass);
    }
    glMultMatrixd(posed.arrowTurn.Data());
    LoadPickName(pass, pick_names::ForTrajectory(posed.number));
    glColor3f(static_cast<float>(trajectory.color.x), static_cast<float>(trajectory.color.y),
              static_cast<float>(trajectory.color.z));
    if (frame.view.Switches().text && !trajectory.label.empty()) {
        DrawLabel(trajectory, frame.font);
    }
    const Mesh* model = frame.arrows ? frame.arrows->For(trajectory.exited) : nullptr;
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
    for (const PosedTrajectory& posed : frame.posed.GetTrajectories()) {
        if (!frame.view.Switches().ShowsTrajectory(posed.number)) {
            continue;
        }
        glPushMatrix();
        DrawTrajectory(frame, posed, pass);
        glPopMatrix();
    }
}
