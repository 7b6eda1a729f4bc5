// Feeds arbitrary bytes to the data-file reader, then writes and summarises whatever case they
// produced and reads that back: no input may crash, hang or overrun anything, and what a case
// holds once read (every block, every label, the body's name) must survive a save and reopen.
// The reader's two steps are taken apart as well: the record of the text must be what reading it
// into an empty case applies.
#include "case/Case.h"
#include "case/TrackAngles.h"
#include "casefile/CaseFileApplication.h"
#include "casefile/DataFile.h"
#include "casefile/DataFileReader.h"
#include "casefile/DataSummary.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool SameTexts(const Case& read, const Case& reread) {
    if (read.body.GetName() != reread.body.GetName()) {
        return false;
    }
    for (std::size_t i = 0; i < read.trajectories.size(); ++i) {
        if (read.trajectories[i].label != reread.trajectories[i].label) {
            return false;
        }
    }
    for (std::size_t i = 0; i < read.elements.size(); ++i) {
        if (read.elements[i].label != reread.elements[i].label) {
            return false;
        }
    }
    return true;
}

// Nothing the reader lets in may turn into a number the drawing or the exports cannot carry.
bool AllFinite(const Case& theCase) {
    for (const Trajectory& t : theCase.trajectories) {
        for (const double value :
             {t.in.x, t.in.y, t.in.z, t.out.x, t.out.y, t.out.z, t.offset.x, t.offset.y, t.offset.z,
              t.pitchAdjustment, t.yawAdjustment, t.color.x, t.color.y, t.color.z, t.radiusIn,
              t.RadiusOut(), Bearing(t.in, t.out), Elevation(t.in, t.out)}) {
            if (!std::isfinite(value)) {
                return false;
            }
        }
        if (t.color.x < 0 || t.color.x > 1 || t.radiusIn > 1 || t.RadiusOut() > 1) {
            return false;
        }
    }
    return true;
}

// Whatever case information the reader lets in is what the dialog would take: one line of
// printable text per field, notes without controls beyond line breaks and tabs.
bool InformationAcceptable(const CaseInfo& info) {
    for (const CaseInfo::Field field : CaseInfo::kFields) {
        if (!CaseInfo::Problem(field, info.Get(field)).empty()) {
            return false;
        }
    }
    return true;
}

// The summary goes to a terminal: no control byte but its own CR LF line ends.
bool SummaryPrintable(const std::string& summary) {
    for (std::size_t i = 0; i < summary.size(); ++i) {
        const auto byte = static_cast<unsigned char>(summary[i]);
        const bool lineEnd = (byte == '\r' && i + 1 < summary.size() && summary[i + 1] == '\n') ||
                             (byte == '\n' && i > 0 && summary[i - 1] == '\r');
        if ((byte < 0x20 || byte == 0x7f) && !lineEnd) {
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
    if (!AllFinite(theCase) || !InformationAcceptable(theCase.info) ||
        !SummaryPrintable(DataSummary::Build(theCase, DataSummary::Texts::Printable))) {
        __builtin_trap();
    }

    // The two steps by hand give the same case and the same notes.
    Case stepped;
    const CaseFileRecord record = ReadCaseFileText(text);
    if (!text.empty() && !record.sawCaseTag) {
        if (read.ok()) {
            __builtin_trap();
        }
    } else if (ApplyCaseFile(record, stepped).ReadingNotes() != read.ReadingNotes() ||
               DataFile::Format(stepped) != written) {
        __builtin_trap();
    }

    Case reread;
    const DataFileReadResult again = DataFile::ReadText(reread, written);
    if (!again.ok() || reread.TrajectoryCount() != theCase.TrajectoryCount() ||
        reread.ElementCount() != theCase.ElementCount() || !SameTexts(theCase, reread) ||
        reread.info != theCase.info) {
        __builtin_trap(); // a saved case must reopen with everything it held
    }
    return 0;
}
