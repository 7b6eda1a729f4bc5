#include "base/ProgramFiles.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "casefile/DataFile.h"
#include "world/OriginAnalysis.h"
#include "world/OriginText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

// A case whose body stands in the anatomical position at the scene's origin is tabled as it was
// before the case was posed as a whole, to the last digit: its posed points are its measured points
// and its scene is its body frame. The tables were printed by `ruvo --origin` of that time, with
// the default body and the uncertainty budget's draws; since then a label's line break is shown
// escaped, so that it cannot start a row of the table.
TEST(OriginTableTest, AnUnposedCaseIsTabledAsItWasBeforeTheCaseWasPosed) {
    for (const std::string name : {"uncertainty_case", "old_case"}) {
        SCOPED_TRACE(name);
        Case theCase;
        ASSERT_TRUE(theCase.body.Load(DefaultModelFiles().body).ok());
        ASSERT_TRUE(
            DataFile::Read(theCase, RUVO_SOURCE_DIR "/fuzz/corpus/data_file/" + name + ".txt")
                .ok());
        const PosedCase posed(theCase);
        ASSERT_FALSE(posed.IsPosed() || posed.IsPlaced());
        const OriginAnalysis analysis = AnalyseOrigins(posed, nullptr, {.budgetDraws = true});
        EXPECT_EQ(FormatOriginTable(posed.GetCase(), analysis),
                  FileText(RUVO_SOURCE_DIR "/tests/world/golden/" + name + ".origin"));
    }
}
