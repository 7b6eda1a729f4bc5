// Feeds arbitrary bytes to the data-file reader, then writes and summarises whatever case they
// produced and reads that back: no input may crash, hang or overrun anything.
#include "case/Case.h"
#include "case/DataFile.h"
#include "case/DataSummary.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Case theCase;
    DataFile::ReadText(theCase, text);
    const std::string written = DataFile::Format(theCase);
    DataSummary::Build(theCase);

    Case reread;
    DataFile::ReadText(reread, written);
    if (reread.GetTrajectoryCount() != theCase.GetTrajectoryCount() ||
        reread.GetElements().GetCount() != theCase.GetElements().GetCount()) {
        __builtin_trap(); // a saved case must reopen with everything it held
    }
    return 0;
}
