#include "ui/PointPlacement.h"

#include "case/Case.h"
#include "ui/CaseCommands.h"
#include "ui/DialogInput.h"
#include "view/ViewState.h"

PointPlacement::PointPlacement(const Case& theCase, ViewState& view, CaseCommands& commands,
                               StatusSink showStatus, std::function<void()> redraw)
    : theCase(theCase), view(view), commands(commands), showStatus(std::move(showStatus)),
      redraw(std::move(redraw)) {}

QString PointPlacement::PointText(const Vec3& metres) {
    return QStringLiteral("x %1, y %2, z %3 cm")
        .arg(CentimetreText(metres.x), CentimetreText(metres.y), CentimetreText(metres.z));
}

bool PointPlacement::IsActive() const {
    return view.GetManipulationMode() == ManipulationMode::PlacePoints;
}

void PointPlacement::Enter() {
    view.SetManipulationMode(ManipulationMode::PlacePoints);
    // A handle left in force would turn right-button drags into object drags.
    view.ClearSelection();
    view.ClearSurfaceMarkers();
    if (const Status ready = theCase.GetBody().PrepareSurface(); !ready) {
        showStatus(QString::fromStdString(ready.message()));
    } else {
        Prompt();
    }
    redraw();
}

void PointPlacement::Leave() {
    if (!IsActive()) {
        return;
    }
    view.SetManipulationMode(ManipulationMode::Select);
    view.ClearSurfaceMarkers();
    showStatus(QString());
    redraw();
}

void PointPlacement::Prompt() {
    showStatus(QStringLiteral("Place points: click the entry point IN on the body (body frame, "
                              "+x to the body's left, +y up, +z to its front). Esc leaves."));
}

std::optional<bool> PointPlacement::MovesWithArm() const {
    if (!theCase.GetBody().HasArmParts()) {
        return std::nullopt;
    }
    return inPart == "right_arm" || inPart == "right_forearm";
}

void PointPlacement::Click(const std::optional<SurfaceHit>& hit) {
    if (!hit) {
        showStatus(QStringLiteral("No body surface under the pointer."));
        return;
    }
    if (view.GetSurfaceMarkers().size() >= 2) {
        view.ClearSurfaceMarkers();
    }
    view.AddSurfaceMarker(hit->point);
    const std::vector<Vec3> markers = view.GetSurfaceMarkers();
    if (markers.size() == 1) {
        inPart = hit->group;
        showStatus(
            QStringLiteral("IN at %1. Click the exit point OUT.").arg(PointText(markers[0])));
        redraw();
        return;
    }
    showStatus(QStringLiteral("OUT at %1.").arg(PointText(markers[1])));
    redraw();
    commands.NewTrajectoryFromPoints(markers[0], markers[1], MovesWithArm());
    // Made or cancelled, the pair is done: its markers go and the next click is a new IN.
    view.ClearSurfaceMarkers();
    if (IsActive()) {
        Prompt();
    }
    redraw();
}
