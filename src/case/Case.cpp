#include "case/Case.h"

#include "case/EntryNumber.h"

namespace {

// The entry numbered `number`, or nullptr; for const and mutable vectors alike.
template <typename Entries> auto Numbered(Entries& entries, int number) -> decltype(&entries[0]) {
    return number >= 1 && number <= static_cast<int>(entries.size())
               ? &entries[IndexOfNumber(number)]
               : nullptr;
}

} // namespace

const Trajectory* Case::TrajectoryNumbered(int number) const {
    return Numbered(trajectories, number);
}

Trajectory* Case::TrajectoryNumbered(int number) {
    return Numbered(trajectories, number);
}

const Element* Case::ElementNumbered(int number) const {
    return Numbered(elements, number);
}

Element* Case::ElementNumbered(int number) {
    return Numbered(elements, number);
}
