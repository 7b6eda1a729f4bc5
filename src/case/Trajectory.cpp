#include "case/Trajectory.h"

#include "base/ValueLimits.h"

bool Trajectory::IsRadius(double metres) {
    return value_limits::IsUncertainty(metres); // also refuses a NaN
}
