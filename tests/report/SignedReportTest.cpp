#include "support/BoxBody.h"

#include "case/Case.h"
#include "casefile/DataFile.h"
#include "report/PdfInformation.h"
#include "report/ReportHtml.h"
#include "report/ReportPdf.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>

#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int RunShellCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[4096];
    for (size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, read);
    }
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The text of each page of a PDF.
std::vector<std::string> PageTexts(const std::string& pdf) {
    std::string text;
    EXPECT_EQ(RunShellCommand("pdftotext -layout '" + pdf + "' -", text), 0);
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t feed; (feed = text.find('\f', start)) != std::string::npos; start = feed + 1) {
        pages.push_back(
            std::regex_replace(text.substr(start, feed - start), std::regex("\\s+"), " "));
    }
    return pages;
}

// The index of the first page whose text holds `piece`; the page count when none does.
size_t FirstPageWith(const std::vector<std::string>& pages, const std::string& piece) {
    const auto at = std::find_if(pages.begin(), pages.end(), [&piece](const std::string& page) {
        return page.find(piece) != std::string::npos;
    });
    return static_cast<size_t>(at - pages.begin());
}

std::string PdfInfo(const std::string& pdf) {
    std::string info;
    EXPECT_EQ(RunShellCommand("pdfinfo '" + pdf + "' 2>&1", info), 0);
    return info;
}

CaseInfo Information() {
    CaseInfo info;
    info.Set(CaseInfo::Field::Number, "K-2026/0412");
    info.Set(CaseInfo::Field::Examiner, "Dr. Ümit Çelik (forensic pathology)");
    info.Set(CaseInfo::Field::Agency, "Institute of Legal Medicine");
    info.Set(CaseInfo::Field::Incident, "2026-03-14");
    info.Set(CaseInfo::Field::Examined, "2026-03-15");
    info.Set(CaseInfo::Field::Decedent, "D-17");
    return info;
}

class SignedReportTest : public ::testing::Test {
protected:
    // A case of `count` trajectories through the chest and belly, written to a data file.
    std::string WriteCase(int count, const CaseInfo& info = Information()) {
        Case theCase;
        LoadBoxBody(theCase);
        theCase.info = info;
        // The budget's precision is not what these tests read: a few draws keep them quick.
        EXPECT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        for (int i = 0; i < count; ++i) {
            Trajectory t;
            t.exited = i % 3 != 0;
            const double x = -0.12 + 0.012 * i, y = 1.0 + 0.02 * i;
            t.in = {x, y, 0.22};
            t.out = {x + 0.05, y - 0.04, 0.04};
            t.label = "Wound " + std::to_string(i + 1);
            theCase.trajectories.push_back(t);
        }
        const std::string file = folder.File("case" + std::to_string(count) + ".txt");
        EXPECT_TRUE(DataFile::Write(theCase, file).ok());
        return file;
    }

    // The report of the case on the default body, or on the body model `body`.
    std::string Report(const std::string& caseFile, const std::string& extension,
                       const std::string& body = "") {
        const std::string output = caseFile + "." + extension;
        const std::string bodyOption = body.empty() ? "" : " --body '" + body + "'";
        std::string ignored;
        EXPECT_EQ(RunShellCommand("cd '" RUVO_SOURCE_DIR "' && '" RUVO_BINARY "' --report '" +
                                      caseFile + "' --output '" + output + "'" + bodyOption +
                                      " 2>&1",
                                  ignored),
                  0)
            << ignored;
        return output;
    }

    // The box of support/BoxBody.h as a model file. What a test reads of the case information
    // or of the pages' order and count is the same on any body, and the program reads and
    // draws a box in a moment, where the default body takes most of a report's time.
    std::string BoxModel() {
        const std::string file = folder.File("box.obj");
        WriteText(file, kBoxObj);
        return file;
    }

    TemporaryFolder folder;
};

} // namespace

TEST_F(SignedReportTest, EveryPageCarriesTheCaseAndItsNumberAndPageOneTheWounds) {
    const std::string pdf = Report(WriteCase(3), "pdf");
    const std::vector<std::string> pages = PageTexts(pdf);
    ASSERT_GE(pages.size(), 5u);
    const std::string count = std::to_string(pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string& page = pages[i];
        EXPECT_NE(page.find("Case K-2026/0412"), std::string::npos) << "page " << i + 1;
        EXPECT_NE(page.find("Decedent D-17"), std::string::npos) << "page " << i + 1;
        EXPECT_NE(page.find("Page " + std::to_string(i + 1) + " of " + count), std::string::npos)
            << page;
        EXPECT_NE(page.find("Ruvolane 2.7.0"), std::string::npos);
        EXPECT_NE(page.find("Case file SHA-256 "), std::string::npos);
    }
    // Page 1: the case information, the wound table with each trajectory's row and the diagrams.
    const std::string& first = pages[0];
    for (const char* piece : {"Institute of Legal Medicine", "2026-03-14", "2026-03-15", "Wounds",
                              "Wound 1", "Wound 2", "Wound 3", "front to back", "Body diagrams"}) {
        EXPECT_NE(first.find(piece), std::string::npos) << piece << "\n" << first;
    }
    EXPECT_EQ(first.find("Conventions"), std::string::npos);
    // Then a page per trajectory with its close-up, the signature, and the appendices: the
    // conventions, the views and the elements.
    size_t previous = 0;
    for (int n = 1; n <= 3; ++n) {
        const std::string heading = "Trajectory " + std::to_string(n) + ": Wound";
        const auto at = std::find_if(pages.begin(), pages.end(), [&heading](const std::string& p) {
            return p.find(heading) != std::string::npos;
        });
        ASSERT_NE(at, pages.end()) << heading;
        const size_t index = static_cast<size_t>(at - pages.begin());
        EXPECT_GT(index, previous) << "each trajectory on a page of its own, in order";
        previous = index;
        EXPECT_NE(at->find("Trajectory " + std::to_string(n) + " seen perpendicular"),
                  std::string::npos);
        EXPECT_NE(at->find(" cm long in the plane of the track"), std::string::npos);
    }
    const size_t signature = FirstPageWith(pages, "Signature");
    const size_t appendices = FirstPageWith(pages, "Appendices");
    EXPECT_GE(signature, previous) << "after the last track";
    EXPECT_LE(signature, previous + 1);
    EXPECT_NE(pages[signature].find("Dr. Ümit Çelik"), std::string::npos);
    EXPECT_EQ(appendices, signature + 1) << "the appendices follow the signature";
    EXPECT_NE(pages[appendices].find("Conventions"), std::string::npos);

    const std::string info = PdfInfo(pdf);
    EXPECT_NE(info.find("Title:           Case report K-2026/0412"), std::string::npos) << info;
    EXPECT_NE(info.find("Author:          Dr. Ümit Çelik (forensic pathology)"), std::string::npos)
        << info;
    EXPECT_NE(info.find("Subject:         K-2026/0412"), std::string::npos) << info;
    EXPECT_NE(info.find("Creator:         Ruvolane 2.7.0"), std::string::npos) << info;
    EXPECT_EQ(info.find("Syntax Error"), std::string::npos) << "the moved offsets still hold";
    // Archival: the XMP packet names PDF/A-1b and agrees with the document information.
    const std::string bytes = FileText(pdf);
    EXPECT_NE(bytes.find("pdfaid:part=\"1\" pdfaid:conformance=\"B\""), std::string::npos);
    EXPECT_NE(bytes.find("<rdf:li>Dr. Ümit Çelik (forensic pathology)</rdf:li>"),
              std::string::npos);
}

// Page 1 tells the finding: who and what the case is, the body diagrams at a size that reads
// (over a third of the page) and the wound table, where a bullet that stayed in the body is
// "retained" at its OUT rather than read as an exit. The signature closes the four tracks'
// sections, before the appendices.
TEST_F(SignedReportTest, PageOneTellsTheFindingAndTheSignatureComesBeforeTheAppendices) {
    const std::string pdf = Report(WriteCase(4), "pdf", BoxModel()); // track 1 and 4 retained
    std::string first;
    ASSERT_EQ(RunShellCommand("pdftotext -layout -f 1 -l 1 '" + pdf + "' -", first), 0);
    first = std::regex_replace(first, std::regex("\\s+"), " ");
    for (const char* piece :
         {"Case number K-2026/0412", "Decedent D-17", "Examiner", "Institute of Legal Medicine",
          "Wounds", "Wound 1", "Wound 4", "Body diagrams", "retained at"}) {
        EXPECT_NE(first.find(piece), std::string::npos) << piece << "\n" << first;
    }
    // Only the two retained bullets read "retained": the exits do not.
    const std::regex retainedAt("retained at");
    const auto retained = std::distance(
        std::sregex_iterator(first.begin(), first.end(), retainedAt), std::sregex_iterator());
    EXPECT_EQ(retained, 2);

    // The diagrams are page 1's picture, over a third of the page's height (297 mm) tall:
    // "page num type width height color comp bpc enc interp object-id x-ppi y-ppi".
    std::string images;
    ASSERT_EQ(RunShellCommand("pdfimages -list -f 1 -l 1 '" + pdf + "'", images), 0);
    std::smatch row;
    ASSERT_TRUE(std::regex_search(images, row,
                                  std::regex("\\n\\s*1\\s+\\d+\\s+image\\s+(\\d+)\\s+(\\d+)"
                                             "\\s+\\w+\\s+\\d+\\s+\\d+\\s+\\w+\\s+\\w+"
                                             "\\s+\\d+\\s+\\d+\\s+(\\d+)\\s+(\\d+)")))
        << images;
    const double heightMm = std::stod(row[2]) / std::stod(row[4]) * 25.4;
    EXPECT_GT(heightMm, 297.0 / 3) << images;

    const std::vector<std::string> pages = PageTexts(pdf);
    const size_t lastTrack = FirstPageWith(pages, "Trajectory 4: Wound");
    const size_t signature = FirstPageWith(pages, "Signature");
    const size_t appendices = FirstPageWith(pages, "Appendices");
    ASSERT_LT(appendices, pages.size());
    EXPECT_LE(lastTrack, signature);
    EXPECT_LT(signature, appendices);
    for (const char* appendix : {"Conventions", "Origin", "Views of the case", "Elements"}) {
        EXPECT_GE(FirstPageWith(pages, appendix), appendices) << appendix;
    }
    // The track's own section names where the retained bullet lies.
    EXPECT_NE(pages[FirstPageWith(pages, "Trajectory 1: Wound")].find("OUT (bullet retained here)"),
              std::string::npos);
}

TEST_F(SignedReportTest, EveryFormatCarriesTheCaseInformation) {
    CaseInfo partial;
    partial.Set(CaseInfo::Field::Number, "7 <&> 8");
    partial.Set(CaseInfo::Field::Notes, "first line\nsecond line");
    const std::string caseFile = WriteCase(1, partial);
    const std::string box = BoxModel();
    const auto report = nlohmann::json::parse(FileText(Report(caseFile, "json", box)));
    const nlohmann::json expected = {{"number", "7 <&> 8"},
                                     {"examiner", nullptr},
                                     {"agency", nullptr},
                                     {"incident", nullptr},
                                     {"examined", nullptr},
                                     {"decedent", nullptr},
                                     {"notes", "first line\nsecond line"}};
    EXPECT_EQ(report["case_info"], expected);
    const std::string html = FileText(Report(caseFile, "html", box));
    EXPECT_NE(html.find("7 &lt;&amp;&gt; 8"), std::string::npos);
    EXPECT_NE(html.find("first line<br>second line"), std::string::npos);
    // Without an examiner and a case number the PDF names neither.
    const std::string info = PdfInfo(Report(caseFile, "pdf", box));
    EXPECT_NE(info.find("Subject:         7 <&> 8"), std::string::npos) << info;
    EXPECT_EQ(info.find("Author:"), std::string::npos) << info;
}

TEST_F(SignedReportTest, TwentyTrajectoriesTakeAPageEachAndThePageCountGrowsLinearly) {
    const std::string box = BoxModel();
    const auto pageCount = [this, &box](int trajectories) {
        return PageTexts(Report(WriteCase(trajectories), "pdf", box));
    };
    const std::vector<std::string> one = pageCount(1);
    const std::vector<std::string> ten = pageCount(10);
    const std::vector<std::string> twenty = pageCount(20);
    // One page per trajectory, plus what its rows add to the wound table on page 1 and to the
    // origin section's zone table (together about a fifth of a page): the count grows linearly.
    const size_t fixedPages = one.size() - 1;
    EXPECT_GE(ten.size(), fixedPages + 10);
    EXPECT_LE(ten.size(), fixedPages + 10 + 3);
    EXPECT_GE(twenty.size() - ten.size(), 10u);
    EXPECT_LE(twenty.size() - ten.size(), 13u);
    // Each trajectory's table and close-up share a page of their own.
    int sections = 0;
    for (const std::string& page : twenty) {
        for (int n = 1; n <= 20; ++n) {
            if (page.find("Trajectory " + std::to_string(n) + ": Wound") != std::string::npos) {
                ++sections;
                EXPECT_NE(page.find("Trajectory " + std::to_string(n) + " seen perpendicular"),
                          std::string::npos)
                    << page;
                EXPECT_NE(page.find("Adjustment (drawing only)"), std::string::npos);
            }
        }
    }
    EXPECT_EQ(sections, 20);
    // The wound table starts on page 1 and lists every row, whatever page it ends on.
    EXPECT_NE(twenty[0].find("Wound 1 "), std::string::npos);
    std::string all;
    for (const std::string& page : twenty) {
        all += page;
    }
    EXPECT_NE(all.find("Wound 20 "), std::string::npos);
}

TEST(ReportPagesTest, RowsAndBlocksAreNeverSplitAndTheHeadingRepeats) {
    std::vector<ReportBlock> blocks;
    blocks.push_back({"<h2>Before</h2><p>" + std::string(2000, 'x') + "</p>", false, {}});
    const std::string table = "<table border=\"1\"><tr><th>HEADING</th></tr>\n";
    for (int row = 1; row <= 60; ++row) {
        blocks.push_back({"<tr><td>row-" + std::to_string(row) + "-start<br><br>row-" +
                              std::to_string(row) + "-end</td></tr>\n",
                          false, table});
    }
    // A block taller than a page is cut, not lost, and nothing hangs on it.
    std::string tall = "<p>TALL-START</p>";
    for (int i = 0; i < 120; ++i) {
        tall += "<p>line " + std::to_string(i) + "</p>";
    }
    blocks.push_back({tall + "<p>TALL-END</p>", true, {}});
    ReportPdfFrame frame;
    frame.header = "HEADER";
    const QByteArray pdf = RenderReportPdf(blocks, {}, frame);
    TemporaryFolder folder;
    const std::string file = folder.File("pages.pdf");
    std::ofstream(file, std::ios::binary).write(pdf.constData(), pdf.size());
    const std::vector<std::string> pages = PageTexts(file);
    ASSERT_GE(pages.size(), 4u);
    int rowsSeen = 0;
    for (const std::string& page : pages) {
        EXPECT_NE(page.find("HEADER"), std::string::npos);
        const bool hasRows = page.find("-start") != std::string::npos &&
                             page.find("TALL-START") == std::string::npos;
        if (hasRows) {
            EXPECT_NE(page.find("HEADING"), std::string::npos) << page;
        }
        for (int row = 1; row <= 60; ++row) {
            const std::string name = "row-" + std::to_string(row);
            const bool start = page.find(name + "-start") != std::string::npos;
            EXPECT_EQ(start, page.find(name + "-end") != std::string::npos) << name << ": " << page;
            rowsSeen += start ? 1 : 0;
        }
    }
    EXPECT_EQ(rowsSeen, 60);
    std::string all;
    for (const std::string& page : pages) {
        all += page;
    }
    EXPECT_NE(all.find("TALL-START"), std::string::npos);
    EXPECT_NE(all.find("TALL-END"), std::string::npos);
}

TEST(ReportPagesTest, InformationIsAddedOnlyToAPdfLaidOutAsExpected) {
    QByteArray notPdf("%PDF-1.4\nsomething else entirely\n%%EOF\n");
    const QByteArray before = notPdf;
    EXPECT_FALSE(AddPdfInformation(notPdf, "someone", "a case"));
    EXPECT_EQ(notPdf, before);
    EXPECT_TRUE(AddPdfInformation(notPdf, "", "")) << "nothing to add is no failure";
}

TEST(ReportPagesTest, CaseTextsCannotForgeTheDocumentInformationOrBreakTheXmp) {
    // Five characters whose UTF-16 bytes spell a line feed and "/Producer", as QPdfWriter writes
    // them raw into the title's string; U+FFFE and a control, which XML has no place for.
    const QString forged = QString::fromUtf16(u"\u0a2f\u5072\u6f64\u7563\u6572");
    ReportPdfFrame frame;
    frame.title = "Case report " + forged;
    frame.subject = forged;
    frame.author = QString::fromUtf16(u"Dr. \ufffe Mallory \u0007 <x> & \U0001F600");
    frame.creator = "Ruvolane 2.7.0";
    frame.header = "HEADER";
    const QByteArray pdf = RenderReportPdf({{"<p>body</p>", false, {}}}, {}, frame);
    ASSERT_FALSE(pdf.isEmpty());
    TemporaryFolder folder;
    const std::string file = folder.File("forged.pdf");
    std::ofstream(file, std::ios::binary).write(pdf.constData(), pdf.size());
    const std::string info = PdfInfo(file);
    const std::string author =
        QString::fromUtf16(u"Dr. \ufffd Mallory \ufffd <x> & \U0001F600").toStdString();
    EXPECT_NE(info.find("Title:           Case report " + forged.toStdString() + "\n"),
              std::string::npos)
        << info;
    EXPECT_NE(info.find("Subject:         " + forged.toStdString() + "\n"), std::string::npos)
        << info;
    EXPECT_NE(info.find("Author:          " + author + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Producer:        Qt"), std::string::npos) << info;
    EXPECT_EQ(info.find("Syntax Error"), std::string::npos) << info;

    // The XMP packet is well-formed XML and says what the information says.
    const qsizetype begin = pdf.indexOf("<x:xmpmeta");
    const qsizetype end = pdf.indexOf("</x:xmpmeta>");
    ASSERT_TRUE(begin >= 0 && end > begin);
    QXmlStreamReader xml(pdf.mid(begin, end + 12 - begin));
    QStringList items;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"li") {
            items.append(xml.readElementText());
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(items.contains("Case report " + forged));
    EXPECT_TRUE(items.contains(QString::fromStdString(author)));
    EXPECT_TRUE(items.contains(forged));
}
