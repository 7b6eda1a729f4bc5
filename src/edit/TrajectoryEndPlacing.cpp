#include "edit/TrajectoryEndPlacing.h"

#include "body/Body.h"
#include "case/Trajectory.h"

void PlaceTrajectoryEnd(Trajectory& trajectory, TrajectoryEnd end, const Vec3& metres,
                        const Body& body) {
    const bool in = end == TrajectoryEnd::In;
    (in ? trajectory.in : trajectory.out) = metres;
    (in ? trajectory.inPart : trajectory.outPart) = body.PartNearest(metres);
    std::string& other = in ? trajectory.outPart : trajectory.inPart;
    if (other.empty()) {
        other = body.PartNearest(in ? trajectory.out : trajectory.in);
    }
}
