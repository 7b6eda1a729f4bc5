#include "casefile/DataFile.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CarriedDataLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBoxBody(theCase);
        Trajectory& shot = theCase.trajectories.emplace_back();
        shot.in = {0.02, 1.3, 0.25};
        shot.out = {-0.03, 1.25, 0.04};
        shot.label = "through the chest";
    }

    // Reads `text` into a fresh case on the box body; the notes one per line.
    std::string ReadCarried(const std::string& text) {
        readBack = Case();
        LoadBoxBody(readBack);
        const DataFileReadResult result = DataFile::ReadText(readBack, text, "/cases/c.txt");
        EXPECT_TRUE(result.ok()) << result.status.message();
        return result.LeftOutMessage();
    }

    Case theCase;
    Case readBack;
};

CarriedFrom CarriedRecord() {
    CarriedFrom record;
    record.ctFolder = "/cases/2026-117/CT 1 <thorax> & abdomen";
    record.seriesUid = "1.2.826.0.1.3680043.10.1041.1";
    record.seriesSha256 = std::string(64, 'a');
    record.ctLength = 1.7243;
    record.bodyLength = 1.7243;
    record.bodyScale = 0.862150;
    return record;
}

} // namespace

// The record of the CT body reads back whole (texts escaped, lengths to the tenth of a
// millimetre) and writes back the same bytes; the rest of the file is the file of the case
// without it, which is all a reader that knows nothing of the block keeps.
TEST_F(CarriedDataLinesTest, TheRecordReadsBackAndLeavesTheRestAsItWas) {
    const std::string plain = DataFile::Format(theCase, "/cases/c.txt");
    theCase.carriedFrom = CarriedRecord();
    const std::string text = DataFile::Format(theCase, "/cases/c.txt");
    const std::string block =
        "\r\n<carried>\r\n  <ctfolder>/cases/2026-117/CT 1 &lt;thorax&gt; &amp; "
        "abdomen</ctfolder>\r\n  <ctseries>1.2.826.0.1.3680043.10.1041.1</ctseries>\r\n"
        "  <ctsha256>" +
        std::string(64, 'a') +
        "</ctsha256>\r\n  <ctlength>1.7243</ctlength>\r\n  <bodylength>1.7243</bodylength>\r\n"
        "  <bodyscale>0.862150</bodyscale>\r\n</carried>\r\n";
    const std::size_t at = text.find(block);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(std::string(text).erase(at, block.size()), plain);

    EXPECT_EQ(ReadCarried(text), "");
    EXPECT_EQ(readBack.carriedFrom, theCase.carriedFrom);
    EXPECT_EQ(DataFile::Format(readBack, "/cases/c.txt"), text);
    // A file without the block leaves the case measured on its own body.
    EXPECT_EQ(ReadCarried(plain), "");
    EXPECT_FALSE(readBack.carriedFrom.IsCarried());
}

// A record with a length that is no length, or one the file ends inside, is left out with a
// note naming its line; the trajectories around it still read.
TEST_F(CarriedDataLinesTest, ADamagedRecordIsLeftOutWithANote) {
    theCase.carriedFrom = CarriedRecord();
    std::string text = DataFile::Format(theCase, "/cases/c.txt");
    std::string bad = text;
    bad.replace(bad.find("<ctlength>1.7243"), 16, "<ctlength>-1");
    const std::string note = ReadCarried(bad);
    EXPECT_NE(note.find("record of the CT body the case was carried from"), std::string::npos)
        << note;
    EXPECT_NE(note.find("CT length \"-1\""), std::string::npos) << note;
    EXPECT_FALSE(readBack.carriedFrom.IsCarried());
    EXPECT_EQ(readBack.TrajectoryCount(), 1);

    std::string unfinished = text;
    unfinished.erase(unfinished.find("</carried>"));
    EXPECT_NE(ReadCarried(unfinished).find("the file ends before its </carried>"),
              std::string::npos);
    EXPECT_FALSE(readBack.carriedFrom.IsCarried());
    EXPECT_EQ(readBack.TrajectoryCount(), 1);
}
