#include "case/CaseText.h"
#include "casefile/DataFile.h"
#include "casefile/DataSummary.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CtDataLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBoxBody(theCase);
        LoadBoxBody(readBack);
        Trajectory& shot = theCase.trajectories.emplace_back();
        shot.in = {0.02, 1.3, 0.25};
        shot.out = {-0.03, 1.25, 0.04};
        shot.exited = true;
        shot.label = "through the chest";
        theCase.elements.emplace_back().label = "table";
        theCase.info.Set(CaseInfo::Field::Number, "2024-117");
    }

    // Reads `text` as the file `path` into a fresh `readBack`; the notes one per line.
    std::string Read(const std::string& text, const std::string& path) {
        readBack = Case();
        LoadBoxBody(readBack);
        const DataFileReadResult result = DataFile::ReadText(readBack, text, path);
        EXPECT_TRUE(result.ok()) << result.status.message();
        return result.LeftOutMessage();
    }

    Case theCase;
    Case readBack;
};

// The text without the lines from "<ct>" to "</ct>": what a reader that knows nothing of the
// block keeps of the file.
std::string WithoutCtBlock(std::string text) {
    const std::size_t start = text.find("\r\n<ct>");
    const std::size_t end = text.find("</ct>\r\n");
    if (start != std::string::npos && end != std::string::npos) {
        text.erase(start, end + 7 - start);
    }
    return text;
}

} // namespace

// The block names the folder from the file's own folder when it lies below it (so that a case
// moved with its scans keeps them), by its whole path otherwise, and reads back whole; the rest of
// the file is what it was without the block.
TEST_F(CtDataLinesTest, TheBlockReadsBackAndLeavesTheRestOfTheFileAsItWas) {
    const std::string caseFile = "/cases/2024-117/case.txt";
    theCase.ct.folder = "/cases/2024-117/scans/CT 1 <thorax> & abdomen";
    theCase.ct.seriesUid = "1.2.826.0.1.3680043.10.1041.1";
    const std::string text = DataFile::Format(theCase, caseFile);
    EXPECT_NE(text.find("\r\n<ct>\r\n  <folder>scans/CT 1 &lt;thorax&gt; &amp; abdomen</folder>"
                        "\r\n  <series>1.2.826.0.1.3680043.10.1041.1</series>\r\n</ct>\r\n"
                        "</root>\r\n"),
              std::string::npos)
        << text;

    EXPECT_EQ(Read(text, caseFile), "");
    EXPECT_EQ(readBack.ct.folder, theCase.ct.folder);
    EXPECT_EQ(readBack.ct.seriesUid, theCase.ct.seriesUid);
    EXPECT_FALSE(readBack.ct.scan);
    EXPECT_EQ(DataFile::Format(readBack, caseFile), text);
    // The summary names the series; a terminal sees its folder's texts as they are.
    EXPECT_NE(DataSummary::Build(readBack, DataSummary::Texts::Printable)
                  .find("Body from CT series: 1.2.826.0.1.3680043.10.1041.1 in "
                        "/cases/2024-117/scans/CT 1 <thorax> & abdomen\r\n"),
              std::string::npos);
    // Written beside another folder, the file names the series by its whole path.
    EXPECT_NE(DataFile::Format(readBack, "/elsewhere/case.txt")
                  .find("<folder>/cases/2024-117/scans/CT 1 &lt;thorax&gt; &amp; abdomen</folder>"),
              std::string::npos);

    const Case withBlock = readBack;
    Read(WithoutCtBlock(text), caseFile);
    EXPECT_FALSE(readBack.ct.IsCtBody());
    EXPECT_EQ(readBack.trajectories, withBlock.trajectories);
    EXPECT_EQ(readBack.elements, withBlock.elements);
    EXPECT_EQ(readBack.info, withBlock.info);
    EXPECT_EQ(readBack.body.GetName(), withBlock.body.GetName());
    // And a case without a series is written without the block.
    EXPECT_EQ(DataFile::Format(readBack, caseFile), WithoutCtBlock(text));
    EXPECT_EQ(DataFile::Format(readBack, caseFile).find("<ct>"), std::string::npos);
}

// A CT body has the scan's length and posture: the body block's height, stretches and pose lines
// do not shape it, and a file whose pose would have is told so. Everything else of the block
// (the name) still applies.
TEST_F(CtDataLinesTest, TheBodyBlockDoesNotShapeACtBody) {
    const std::string ct = "<ct>\r\n  <folder>scan</folder>\r\n</ct>\r\n";
    const std::string posed = "<root>\r\n<body>\r\n   <name>decedent</name>\r\n   "
                              "<height>1.2</height>\r\n   <scalex>1.3</scalex>\r\n   "
                              "<pose>right_shoulder 10 20 30</pose>\r\n</body>\r\n" +
                              ct + "</root>\r\n";
    const double height = readBack.body.GetHeight();
    const std::string notes = Read(posed, "/cases/a/case.txt");
    EXPECT_NE(notes.find("the body is a CT scan"), std::string::npos) << notes;
    EXPECT_EQ(readBack.ct.folder, "/cases/a/scan");
    EXPECT_EQ(readBack.ct.seriesUid, "");
    EXPECT_EQ(readBack.body.GetName(), "decedent");
    EXPECT_FLOAT_EQ(readBack.body.GetHeight(), static_cast<float>(height));
    EXPECT_EQ(readBack.body.GetScaleX(), 1.0);
    EXPECT_TRUE(readBack.body.GetPosture().IsAnatomical());

    // The anatomical position the writer puts in a CT case's block is worth no note.
    theCase.ct.folder = "/cases/a/scan";
    EXPECT_EQ(Read(DataFile::Format(theCase, "/cases/a/case.txt"), "/cases/a/case.txt"), "");

    // Without the block the same body block shapes the body model as it always did.
    EXPECT_EQ(Read(WithoutCtBlock("\r\n" + posed), "/cases/a/case.txt"), "");
    EXPECT_FALSE(readBack.ct.IsCtBody());
    EXPECT_FLOAT_EQ(readBack.body.GetHeight(), 1.2f);
    EXPECT_FALSE(readBack.body.GetPosture().IsAnatomical());
}

// A block that names no folder, is cut short or holds a text no line could hold again is left
// out with a note naming it, and the rest of the case is read; a later block replaces an earlier
// one and names it. A case whose names would not fit a line is refused by the writer.
TEST_F(CtDataLinesTest, ABlockThatCannotBeReadIsNamedAndTheRestIsKept) {
    const std::string body = "<root>\r\n<body>\r\n   <name>x</name>\r\n</body>\r\n"
                             "<trajectory>\r\n  <x1>0.1</x1>\r\n</trajectory>\r\n";
    std::string notes = Read(body + "<ct>\r\n  <series>1.2.3</series>\r\n</ct>\r\n</root>\r\n", {});
    EXPECT_NE(notes.find("names no folder"), std::string::npos) << notes;
    EXPECT_FALSE(readBack.ct.IsCtBody());
    EXPECT_EQ(readBack.TrajectoryCount(), 1);

    notes = Read(body + "<ct>\r\n  <folder>scan</folder>\r\n", {});
    EXPECT_NE(notes.find("ends before its </ct>"), std::string::npos) << notes;
    EXPECT_FALSE(readBack.ct.IsCtBody());
    EXPECT_EQ(readBack.TrajectoryCount(), 1);

    const std::string huge(kMaxCaseTextLength + 1, 'a');
    notes = Read(body + "<ct>\r\n  <folder>" + huge + "</folder>\r\n</ct>\r\n</root>\r\n", {});
    EXPECT_NE(notes.find("its folder would take more"), std::string::npos) << notes;
    EXPECT_FALSE(readBack.ct.IsCtBody());
    EXPECT_EQ(readBack.TrajectoryCount(), 1);

    notes = Read(body + "<ct>\r\n  <folder>first</folder>\r\n</ct>\r\n<ct>\r\n  <folder>second</"
                        "folder>\r\n  <series>9.8</series>\r\n</ct>\r\n</root>\r\n",
                 "/c/case.txt");
    EXPECT_NE(notes.find("The CT series from line 8 left out"), std::string::npos) << notes;
    EXPECT_EQ(readBack.ct.folder, "/c/second");
    EXPECT_EQ(readBack.ct.seriesUid, "9.8");

    TemporaryFolder folder;
    theCase.ct.folder = huge;
    const Status written = DataFile::Write(theCase, folder.File("case.txt"));
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.message().find("the folder of the CT series"), std::string::npos)
        << written.message();
}
