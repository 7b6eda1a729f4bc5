// Feeds arbitrary bytes to the data-file reader, then writes and summarises whatever case they
// produced and reads that back: no input may crash, hang or overrun anything, and what a case
// holds once read (every block, every label, the body's name) must survive a save and reopen.
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "casefile/DataSummary.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool SameTexts(const Case& read, const Case& reread) {
    if (read.GetBody().GetName() != reread.GetBody().GetName()) {
        return false;
    }
    for (int i = 0; i < read.GetTrajectoryCount(); ++i) {
        if (read.GetTrajectory(i)->GetText() != reread.GetTrajectory(i)->GetText()) {
            return false;
        }
    }
    const ElementList& elements = read.GetElements();
    for (int i = 0; i < elements.GetCount(); ++i) {
        if (elements.GetItem(i)->GetText() != reread.GetElements().GetItem(i)->GetText()) {
            return false;
        }
    }
    return true;
}

// Nothing the reader lets in may turn into a number the drawing or the exports cannot carry.
bool AllFinite(const Case& theCase) {
    for (int i = 0; i < theCase.GetTrajectoryCount(); ++i) {
        const Trajectory& t = *theCase.GetTrajectory(i);
        for (const double value :
             {t.GetX1(), t.GetY1(), t.GetZ1(), t.GetX2(), t.GetY2(), t.GetZ2(), t.GetDx(),
              t.GetDy(), t.GetDz(), t.GetDPitch(), t.GetDYaw(), t.GetRed(), t.GetGreen(),
              t.GetBlue(), t.GetUncertainty(), t.GetDirectionAngle(), t.GetElevationDegrees()}) {
            if (!std::isfinite(value)) {
                return false;
            }
        }
        if (t.GetRed() < 0 || t.GetRed() > 1 || t.GetUncertainty() > 1) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Case theCase;
    const DataFileReadResult read = DataFile::ReadText(theCase, text);
    read.LeftOutMessage();
    const std::string written = DataFile::Format(theCase);
    DataSummary::Build(theCase);
    if (!AllFinite(theCase)) {
        __builtin_trap();
    }

    Case reread;
    const DataFileReadResult again = DataFile::ReadText(reread, written);
    if (!again.ok() || reread.GetTrajectoryCount() != theCase.GetTrajectoryCount() ||
        reread.GetElements().GetCount() != theCase.GetElements().GetCount() ||
        !SameTexts(theCase, reread)) {
        __builtin_trap(); // a saved case must reopen with everything it held
    }
    return 0;
}
