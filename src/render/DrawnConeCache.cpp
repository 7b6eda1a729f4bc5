#include "render/DrawnConeCache.h"

#include "case/EntryNumber.h"
#include "case/PosedCase.h"

std::optional<DrawnConeCache::Entry>& DrawnConeCache::EntryOf(int number) {
    const std::size_t index = IndexOfNumber(number);
    if (entries.size() <= index) {
        entries.resize(index + 1);
    }
    return entries[index];
}

const std::optional<UncertaintyConeShape>& DrawnConeCache::ConeOf(const PosedCase& posed,
                                                                  int number) {
    std::optional<Entry>& entry = EntryOf(number);
    const Body& body = posed.GetCase().body;
    const Trajectory& trajectory = *posed.GetCase().TrajectoryNumbered(number);
    if (!entry || !(entry->body == body) || !(entry->trajectory == trajectory)) {
        entry = Entry{body, trajectory, DrawnUncertaintyConeOf(posed, number)};
    }
    return entry->cone;
}

void DrawnConeCache::Keep(const PosedCase& posed, int number, std::optional<double> cone95) {
    EntryOf(number) = Entry{posed.GetCase().body, *posed.GetCase().TrajectoryNumbered(number),
                            cone95 ? ConeWithHalfAngle(*cone95) : std::nullopt};
}
