#include "case/CaseInfo.h"
#include "case/Case.h"
#include "case/CaseText.h"
#include "casefile/DataFile.h"
#include "edit/CaseEditor.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

namespace {

using Field = CaseInfo::Field;

CaseInfo FullInfo() {
    CaseInfo info;
    info.Set(Field::Number, "2026-0412 <A&B>");
    info.Set(Field::Examiner, "Dr. R. Amsel");
    info.Set(Field::Agency, "Institute of Legal Medicine");
    info.Set(Field::Incident, "2026-03-14");
    info.Set(Field::Examined, "2024-02-29");
    info.Set(Field::Decedent, "D-17");
    info.Set(Field::Notes, "Two shots.\nThe second through the arm; \"<text>\" & tabs\there.");
    return info;
}

std::string CaseBlockFile(const std::string& lines) {
    return "<root>\r\n<case>\r\n" + lines +
           "</case>\r\n<body>\r\n   <name>B</name>\r\n"
           "   <height>1.8</height>\r\n</body>\r\n</root>\r\n";
}

} // namespace

TEST(CaseInfoTest, DatesMustNameDaysOfTheCalendar) {
    for (const char* good :
         {"2026-03-14", "2024-02-29", "2000-02-29", "0001-01-01", "9999-12-31"}) {
        EXPECT_TRUE(CaseInfo::IsIsoDate(good)) << good;
    }
    for (const char* bad :
         {"2026-3-14", "2023-02-29", "1900-02-29", "2026-13-01", "2026-04-31", "0000-01-01",
          "14.03.2026", "2026-03-14T10:00", "2026/03/14", "2026-03-1a", ""}) {
        EXPECT_FALSE(CaseInfo::IsIsoDate(bad)) << bad;
    }
    EXPECT_EQ(CaseInfo::Problem(Field::Incident, ""), "");
    EXPECT_NE(CaseInfo::Problem(Field::Examined, "yesterday"), "");
    // One-line fields take no line break; the notes do, and tabs, but no other control.
    EXPECT_NE(CaseInfo::Problem(Field::Number, "12\n34"), "");
    EXPECT_NE(CaseInfo::Problem(Field::Decedent, std::string("a\0b", 3)), "");
    EXPECT_EQ(CaseInfo::Problem(Field::Notes, "line\nline\tcell\r\n"), "");
    EXPECT_NE(CaseInfo::Problem(Field::Notes, "bell\a"), "");
    EXPECT_EQ(CaseInfo::Problem(Field::Agency, std::string(CaseInfo::kMaxFieldLength, 'x')), "");
    EXPECT_NE(CaseInfo::Problem(Field::Agency, std::string(CaseInfo::kMaxFieldLength + 1, 'x')),
              "");
    // The notes are bounded by the data file's text line, counted as escaped.
    EXPECT_NE(CaseInfo::Problem(Field::Notes, std::string(kMaxCaseTextLength / 5 + 1, '&')), "");
}

TEST(CaseInfoTest, BlockRoundTripsAndAnEmptyCaseWritesNone) {
    Case theCase;
    LoadBoxBody(theCase);
    const std::string without = DataFile::Format(theCase);
    EXPECT_EQ(without.find("<case>"), std::string::npos);

    theCase.info = FullInfo();
    const std::string text = DataFile::Format(theCase);
    // After the software block, each value escaped as the labels are, one line each.
    const size_t block =
        text.find("</software>\r\n\r\n<case>\r\n  <number>2026-0412 &lt;A&amp;B&gt;"
                  "</number>\r\n");
    ASSERT_NE(block, std::string::npos) << text;
    EXPECT_LT(block, text.find("<body>"));
    EXPECT_NE(text.find("  <notes>Two shots.&#10;The second"), std::string::npos);

    Case reread;
    LoadBoxBody(reread);
    const DataFileReadResult result = DataFile::ReadText(reread, text);
    ASSERT_TRUE(result.ok());
    EXPECT_FALSE(result.LeftSomethingOut()) << result.LeftOutMessage();
    EXPECT_EQ(reread.info, FullInfo());
    EXPECT_EQ(DataFile::Format(reread), text);

    // A file without the block keeps what the case held (reading appends to a case).
    EXPECT_TRUE(DataFile::ReadText(reread, without).ok());
    EXPECT_EQ(reread.info, FullInfo());
}

TEST(CaseInfoTest, HostileValuesAreLeftOutWithANote) {
    Case theCase;
    LoadBoxBody(theCase);
    const std::string lines = "  <NUMBER>K-1</NUMBER>\r\n"
                              "  <incident>2026-02-30</incident>\r\n"
                              "  <examined>2026-12-01</examined>\r\n"
                              "  <decedent>a&#10;b</decedent>\r\n"
                              "  <examiner>" +
                              std::string(CaseInfo::kMaxFieldLength + 1, 'e') + "</examiner>\r\n";
    const DataFileReadResult result = DataFile::ReadText(theCase, CaseBlockFile(lines));
    ASSERT_TRUE(result.ok());
    const CaseInfo& info = theCase.info;
    EXPECT_EQ(info.Number(), "K-1");
    EXPECT_EQ(info.Examined(), "2026-12-01");
    EXPECT_EQ(info.Incident(), "");
    EXPECT_EQ(info.Decedent(), "");
    EXPECT_EQ(info.Examiner(), "");
    ASSERT_EQ(result.notes.size(), 3u) << result.LeftOutMessage();
    // Noted when the block closes, in the order of the fields.
    EXPECT_NE(result.notes[0].find("...\" on line 7 of the data file left out: it may be at most "
                                   "200 characters"),
              std::string::npos);
    EXPECT_EQ(result.notes[1], "The date of the incident \"2026-02-30\" on line 4 of the data "
                               "file left out: it must be a date written yyyy-mm-dd, for example "
                               "2026-03-14.");
    EXPECT_NE(result.notes[2].find("decedent identifier \"a&#10;b\""), std::string::npos);
    // The body that follows the block reads as ever.
    EXPECT_EQ(theCase.body.GetName(), "B");

    // A block cut short by the end of the file changes nothing and says so; a stray closing
    // tag outside a block is no block.
    Case cut;
    LoadBoxBody(cut);
    const DataFileReadResult unfinished =
        DataFile::ReadText(cut, "<root>\r\n</case>\r\n<case>\r\n  <number>9</number>\r\n");
    EXPECT_TRUE(cut.info.IsEmpty());
    ASSERT_EQ(unfinished.notes.size(), 1u);
    EXPECT_NE(unfinished.notes[0].find("ends before its </case>"), std::string::npos);
}

TEST(CaseInfoTest, EditorChangesItAsOneUndoableEdit) {
    Case theCase;
    CaseEditor editor(theCase);
    std::vector<std::unique_ptr<CaseEdit>> history;
    editor.SetRecorder(
        [&history](std::unique_ptr<CaseEdit> edit) { history.push_back(std::move(edit)); });
    int told = 0;
    editor.AddListener([&told](const CaseChange&) { ++told; });

    EXPECT_TRUE(editor.EditCaseInfo("Case information", FullInfo()));
    EXPECT_EQ(theCase.info, FullInfo());
    EXPECT_FALSE(editor.EditCaseInfo("Case information", FullInfo())); // nothing changed
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0]->Name(), "Case information");
    EXPECT_EQ(told, 1);

    editor.Undo(*history[0]);
    EXPECT_TRUE(theCase.info.IsEmpty());
    editor.Redo(*history[0]);
    EXPECT_EQ(theCase.info, FullInfo());

    // An edit of the whole case ("Delete all", opening a file) takes it back with the rest.
    editor.EditCase("Open data file", [](Case& edited) { edited.info = CaseInfo(); });
    EXPECT_TRUE(theCase.info.IsEmpty());
    editor.Undo(*history.back());
    EXPECT_EQ(theCase.info, FullInfo());
}

TEST(CaseInfoTest, OneLineFieldsRefuseWhatReordersOrBreaksTheLine) {
    // Each of these rewrites what a page header or a terminal shows: the order of the letters,
    // a second line, a character XML has no place for, bytes that are no text.
    const std::pair<const char*, const char*> refused[] = {{"2026-71-D\u202e", "U+202E"},
                                                           {"a\u2066b", "U+2066"},
                                                           {"a\u200fb", "U+200F"},
                                                           {"a\u061cb", "U+061C"},
                                                           {"a\u2028b", "U+2028"},
                                                           {"a\u2029b", "U+2029"},
                                                           {"Dr.\uffffe", "U+FFFF"},
                                                           {"Dr. \xef\xbf\xbe", "U+FFFE"},
                                                           {"a\xff"
                                                            "b",
                                                            "0xFF"},
                                                           {"a\xc2\x85"
                                                            "b",
                                                            "control"},
                                                           {"a\x1b[31m", "control"},
                                                           {"a\rb", "control"}};
    for (const auto& [value, named] : refused) {
        const std::string problem = CaseInfo::Problem(Field::Examiner, value);
        EXPECT_NE(problem.find(named), std::string::npos) << value << ": " << problem;
    }
    // The notes take line breaks and tabs, never the rest.
    EXPECT_EQ(CaseInfo::Problem(Field::Notes, "one\r\ntwo\tthree"), "");
    EXPECT_NE(CaseInfo::Problem(Field::Notes, "one\u202etwo"), "");
    EXPECT_NE(CaseInfo::Problem(Field::Notes, "one\u2028two"), "");
    // Text of any script stays, and the limit counts characters: 200 CJK letters (600 bytes).
    std::string cjk;
    for (int i = 0; i < 200; ++i) {
        cjk += "\u6f64";
    }
    EXPECT_EQ(CaseInfo::Problem(Field::Number, cjk), "");
    EXPECT_NE(CaseInfo::Problem(Field::Number, cjk + "x").find("200 characters"),
              std::string::npos);
    EXPECT_EQ(CaseInfo::Problem(Field::Decedent, "\u0414-17 \u05d0"), "");

    // In a data file such a value is left out with a note naming its line; the others stay.
    Case theCase;
    LoadBoxBody(theCase);
    const DataFileReadResult result = DataFile::ReadText(
        theCase, CaseBlockFile("  <number>K-1</number>\r\n"
                               "  <examiner>Dr. \xe2\x80\xae tnedeceD</examiner>\r\n"
                               "  <agency>A\xe2\x80\xa8"
                               "B</agency>\r\n"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(theCase.info.Number(), "K-1");
    EXPECT_EQ(theCase.info.Examiner(), "");
    EXPECT_EQ(theCase.info.Agency(), "");
    ASSERT_EQ(result.notes.size(), 2u) << result.LeftOutMessage();
    EXPECT_NE(result.notes[0].find("The examiner"), std::string::npos) << result.notes[0];
    EXPECT_NE(result.notes[0].find("on line 4 of the data file left out: it may not hold U+202E"),
              std::string::npos)
        << result.notes[0];
    EXPECT_NE(result.notes[1].find("on line 5 of the data file left out: it may not hold U+2028"),
              std::string::npos)
        << result.notes[1];
}
