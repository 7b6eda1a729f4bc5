#include "case/WoundAlignment.h"

AlignmentTrack AlignmentTrackOf(const Case& theCase, int number) {
    const Trajectory* trajectory = theCase.TrajectoryNumbered(number);
    if (trajectory == nullptr) {
        return {};
    }
    return {number, trajectory->in, trajectory->out, trajectory->inPart, trajectory->outPart};
}
