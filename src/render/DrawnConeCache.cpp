#include "render/DrawnConeCache.h"

#include "case/Case.h"

const std::optional<UncertaintyConeShape>& DrawnConeCache::ConeOf(const Case& theCase,
                                                                  int number) {
    if (entries.size() < static_cast<size_t>(number)) {
        entries.resize(static_cast<size_t>(number));
    }
    std::optional<Entry>& entry = entries[static_cast<size_t>(number - 1)];
    const Body& body = theCase.GetBody();
    const Trajectory& trajectory = *theCase.GetTrajectory(number - 1);
    if (!entry || !(entry->body == body) || !(entry->trajectory == trajectory)) {
        entry = Entry{body, trajectory, DrawnUncertaintyConeOf(theCase, number)};
    }
    return entry->cone;
}

void DrawnConeCache::Keep(const Case& theCase, int number, std::optional<double> cone95) {
    if (entries.size() < static_cast<size_t>(number)) {
        entries.resize(static_cast<size_t>(number));
    }
    entries[static_cast<size_t>(number - 1)] =
        Entry{theCase.GetBody(), *theCase.GetTrajectory(number - 1),
              cone95 ? ConeWithHalfAngle(*cone95) : std::nullopt};
}
