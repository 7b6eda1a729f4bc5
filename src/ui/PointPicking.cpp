#include "ui/PointPicking.h"

#include "body/Skeleton.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "ui/CaseCommands.h"
#include "ui/DialogInput.h"
#include "view/ViewState.h"

PointPicking::PointPicking(const CaseEditor& theEditor, ViewState& theView,
                           CaseCommands& theCommands, StatusSink theShowStatus,
                           std::function<void()> theRedraw)
    : editor(theEditor), view(theView), commands(theCommands), showStatus(std::move(theShowStatus)),
      redraw(std::move(theRedraw)) {}

QString PointPicking::PointText(const Vec3& metres) {
    return QStringLiteral("x %1, y %2, z %3 cm")
        .arg(CentimetreText(metres.x), CentimetreText(metres.y), CentimetreText(metres.z));
}

bool PointPicking::IsActive() const {
    return view.GetManipulationMode() == ManipulationMode::PlacePoints;
}

void PointPicking::Enter() {
    view.SetManipulationMode(ManipulationMode::PlacePoints);
    // A handle left in force would turn right-button drags into object drags.
    view.ClearSelection();
    view.ClearSurfaceMarkers();
    if (const Status ready = editor.GetPosed().GetBody().PrepareSurface(); !ready) {
        showStatus(QString::fromStdString(ready.message()));
    } else {
        Prompt();
    }
    redraw();
}

void PointPicking::Leave() {
    if (!IsActive()) {
        return;
    }
    view.SetManipulationMode(ManipulationMode::Select);
    view.ClearSurfaceMarkers();
    showStatus(QString());
    redraw();
}

void PointPicking::Prompt() {
    showStatus(QStringLiteral("Place points: click the entry point IN on the body (body frame, "
                              "+x to the body's left, +y up, +z to its front). Esc leaves."));
}

std::string PointPicking::PartOf(const SurfaceHit& hit, const Vec3& rest) const {
    for (const std::string_view part : skeleton::kPartNames) {
        if (hit.group == part) {
            return hit.group;
        }
    }
    return editor.GetCase().body.PartNearest(rest);
}

void PointPicking::Click(const std::optional<SurfaceHit>& hit) {
    if (!hit) {
        showStatus(QStringLiteral("No body surface under the pointer."));
        return;
    }
    // The marker shows where the click was; the point is kept where it lies at rest.
    const Vec3 rest = editor.GetPosed().GetBody().RestPointOf(*hit);
    Take(hit->point, rest, PartOf(*hit, rest));
}

void PointPicking::PlaceAtRest(const Vec3& rest) {
    Take(rest, rest, editor.GetCase().body.PartNearest(rest));
}

void PointPicking::Take(const Vec3& marker, const Vec3& rest, const std::string& part) {
    if (view.GetSurfaceMarkers().size() >= 2) {
        view.ClearSurfaceMarkers();
    }
    view.AddSurfaceMarker(marker);
    const QString where =
        PointText(rest) + QStringLiteral(" (%1)").arg(QString::fromStdString(part));
    if (view.GetSurfaceMarkers().size() == 1) {
        inPoint = rest;
        inPart = part;
        showStatus(QStringLiteral("IN at %1. Click the exit point OUT.").arg(where));
        redraw();
        return;
    }
    showStatus(QStringLiteral("OUT at %1.").arg(where));
    redraw();
    commands.NewTrajectoryFromPoints(inPoint, rest, inPart, part);
    // Made or cancelled, the pair is done: its markers go and the next click is a new IN.
    view.ClearSurfaceMarkers();
    if (IsActive()) {
        Prompt();
    }
    redraw();
}
