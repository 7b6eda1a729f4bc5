#include "world/CarryToPosableBody.h"

#include "body/BodyReferencePlanes.h"
#include "case/Case.h"

#include <cmath>
#include <optional>

namespace {

constexpr double kMetresPerCentimetre = 0.01;

// Moves body-frame points from the CT body to the posable body by their descriptions.
class PointCarrier {
public:
    PointCarrier(const BodyReferencePlanes& fromPlanes, const BodyReferencePlanes& toPlanes,
                 const Body& toBody)
        : from(fromPlanes), to(toPlanes), body(toBody) {}

    Vec3 Carry(const Vec3& point) const { return to.Place(from.Describe(point)); }
    std::string PartAt(const Vec3& point) const { return body.PartNearest(point); }

    void CarryTrajectory(Trajectory& trajectory) const {
        trajectory.in = Carry(trajectory.in);
        trajectory.out = Carry(trajectory.out);
        // The scan's parts are those of the scan's own surface: each point takes the part it
        // lies nearest to on the body it now stands on, so that it moves with that part's bone.
        trajectory.inPart = PartAt(trajectory.in);
        trajectory.outPart = PartAt(trajectory.out);
        for (TrackPoint& stop : trajectory.points) {
            stop.point = Carry(stop.point);
            stop.part = PartAt(stop.point);
        }
    }

private:
    BodyReferencePlanes from;
    BodyReferencePlanes to;
    const Body& body;
};

Status CheckCarriable(const Case& ctCase, const Body& posableBody) {
    if (!ctCase.ct.IsCtBody()) {
        return Status::Failure("The case's body is not a CT scan: there is nothing to carry");
    }
    if (!ctCase.ct.scan) {
        return Status::Failure("The CT series of the case has not been read");
    }
    const double lengthCm = ctCase.ct.scan->bodyLengthCm;
    if (!std::isfinite(lengthCm) || lengthCm <= 0) {
        return Status::Failure("The CT body has no length to scale the posable body to");
    }
    if (posableBody.GetModel() == nullptr || posableBody.GetHeight() <= 0) {
        return Status::Failure("No posable body model is loaded");
    }
    return Status::Ok();
}

// The posable body at the CT body's length, standing in the anatomical position.
std::optional<Body> ScaledPosableBody(const Body& posableBody, double lengthMetres) {
    Body body = posableBody;
    body.ResetPose();
    body.SetScaleX(1.0);
    body.SetScaleZ(1.0);
    if (!body.SetHeight(lengthMetres)) {
        return std::nullopt;
    }
    return body;
}

CarriedFrom RecordOf(const Case& ctCase, const Body& before, const Body& after) {
    CarriedFrom record;
    record.ctFolder = ctCase.ct.folder;
    record.seriesUid = ctCase.ct.seriesUid;
    record.seriesSha256 = ctCase.ct.scan->seriesSha256;
    record.ctLength = ctCase.ct.scan->bodyLengthCm * kMetresPerCentimetre;
    record.bodyLength = after.GetHeight();
    record.bodyScale = after.GetHeight() / before.GetHeight();
    return record;
}

} // namespace

Status CarryToPosableBody(const Case& ctCase, const Body& posableBody,
                          const std::string& posableModelFile, Case& carried) {
    if (Status carriable = CheckCarriable(ctCase, posableBody); !carriable) {
        return carriable;
    }
    const std::optional<Body> body =
        ScaledPosableBody(posableBody, ctCase.ct.scan->bodyLengthCm * kMetresPerCentimetre);
    const std::optional<BodyReferencePlanes> fromPlanes = ReferencePlanesOf(ctCase.body);
    const std::optional<BodyReferencePlanes> toPlanes =
        body ? ReferencePlanesOf(*body) : std::nullopt;
    if (!fromPlanes || !toPlanes) {
        return Status::Failure("The CT body or the posable body has no surface to measure from");
    }
    const PointCarrier carrier(*fromPlanes, *toPlanes, *body);
    Case result;
    result.body = *body;
    result.bodyModelFile = posableModelFile;
    result.trajectories = ctCase.trajectories;
    for (Trajectory& trajectory : result.trajectories) {
        carrier.CarryTrajectory(trajectory);
    }
    result.elements = ctCase.elements;
    for (Element& element : result.elements) {
        element.centre = carrier.Carry(element.centre);
    }
    result.info = ctCase.info;
    result.world = ctCase.world;
    result.carriedFrom = RecordOf(ctCase, posableBody, *body);
    carried = std::move(result);
    return Status::Ok();
}
