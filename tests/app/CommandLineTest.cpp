#include "app/cli/CommandLine.h"
#include "app/cli/CommandTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

CommandLine Parse(std::vector<std::string> arguments) {
    return ParseCommandLine(arguments);
}

} // namespace

TEST(CommandLine, DesktopWithAndWithoutAFile) {
    EXPECT_EQ(Parse({}).mode, CommandLine::Mode::Desktop);
    const CommandLine withFile = Parse({"case.txt"});
    EXPECT_EQ(withFile.mode, CommandLine::Mode::Desktop);
    EXPECT_EQ(withFile.documentFile, "case.txt");
    EXPECT_EQ(Parse({"a.obj", "b.obj"}).mode, CommandLine::Mode::Invalid);
}

TEST(CommandLine, RenderOptions) {
    const CommandLine render =
        Parse({"--render", "case.txt", "--output", "out.jpg", "--view", "top", "--size", "320x240",
               "--transparent", "--body", "man.obj"});
    ASSERT_EQ(render.mode, CommandLine::Mode::Render) << render.error;
    EXPECT_EQ(render.caseFile, "case.txt");
    EXPECT_EQ(render.outputFile, "out.jpg");
    EXPECT_EQ(render.view, "top");
    EXPECT_EQ(render.width, 320);
    EXPECT_EQ(render.height, 240);
    EXPECT_TRUE(render.transparent);
    EXPECT_EQ(render.bodyFile, "man.obj");
}

TEST(CommandLine, MistakesAreReportedNotGuessed) {
    EXPECT_EQ(Parse({"--render", "case.txt"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(Parse({"--render", "c.txt", "--output", "o.jpg", "--view", "side"}).mode,
              CommandLine::Mode::Invalid);
    EXPECT_EQ(Parse({"--render", "c.txt", "--output", "o.jpg", "--size", "0x10"}).mode,
              CommandLine::Mode::Invalid);
    EXPECT_EQ(Parse({"--render", "c.txt", "--output", "o.jpg", "--size", "12x"}).mode,
              CommandLine::Mode::Invalid);
    EXPECT_EQ(Parse({"--summary", "c.txt", "--output", "o.jpg"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(Parse({"--rewrite", "c.txt"}).mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(Parse({"--frobnicate"}).mode, CommandLine::Mode::Invalid);

    // An empty file name or a repeated option is a mistake, not a default or a last word.
    const CommandLine emptyBody = Parse({"--summary", "c.txt", "--body", ""});
    EXPECT_EQ(emptyBody.mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(emptyBody.error, "--body needs a file name, not an empty text");
    const CommandLine twice = Parse({"--summary", "c.txt", "--body", "a.obj", "--body", "b.obj"});
    EXPECT_EQ(twice.mode, CommandLine::Mode::Invalid);
    EXPECT_EQ(twice.error, "--body is given more than once");
    EXPECT_EQ(Parse({"--render", "c.txt", "--output", "", "--view", "top"}).mode,
              CommandLine::Mode::Invalid);
    EXPECT_EQ(
        Parse({"--render", "c.txt", "--output", "o.jpg", "--view", "top", "--view", "back"}).mode,
        CommandLine::Mode::Invalid);

    std::ostringstream out, err;
    EXPECT_EQ(RunHeadless(Parse({"--frobnicate"}), out, err), 2);
    EXPECT_EQ(err.str(), "ruvo: unknown option \"--frobnicate\" (see --help)\n");
}

TEST(CommandLine, VersionAndHelp) {
    std::ostringstream out, err;
    EXPECT_EQ(RunHeadless(Parse({"--version"}), out, err), 0);
    EXPECT_EQ(out.str(), "Ruvolane 2.7.0\n");
    out.str("");
    EXPECT_EQ(RunHeadless(Parse({"--help"}), out, err), 0);
    EXPECT_NE(out.str().find("--obj-info"), std::string::npos);
    EXPECT_TRUE(err.str().empty());
}

namespace {

// What ParseCommandLine said: the mode, and the error when it refused.
std::string Outcome(std::vector<std::string> arguments) {
    const CommandLine parsed = Parse(std::move(arguments));
    return parsed.mode == CommandLine::Mode::Invalid ? parsed.error : "accepted";
}

std::string Unexpected(const std::string& argument) {
    return "unexpected argument \"" + argument + "\" (see --help)";
}

// A document's command list: the lines between its two markers.
std::string MarkedCommandList(const std::string& document) {
    std::ifstream file(std::string(RUVO_SOURCE_DIR) + "/" + document);
    std::string line, block;
    bool inside = false;
    while (std::getline(file, line)) {
        if (line.starts_with("<!-- end of ruvo --help")) {
            return block;
        }
        if (inside) {
            block += line + '\n';
        }
        inside = inside || line.starts_with("<!-- ruvo --help");
    }
    return "(no marked command list in " + document + ")";
}

} // namespace

// The README's and the manual's lists are the --help text itself, so that none of the three can
// change without the others.
TEST(CommandLine, ReadmeAndManualListWhatHelpPrints) {
    EXPECT_EQ(MarkedCommandList("README.md"), "```\n" + UsageText() + "```\n")
        << "paste the output of `ruvo --help` between the README's markers";
    // The help text holds no character that HTML would take for markup.
    EXPECT_EQ(MarkedCommandList("doc/index.html"), "<pre>" + UsageText() + "</pre>\n")
        << "paste the output of `ruvo --help` between the manual's markers";
}

// A command that lists an option the table does not define would never accept it, and an
// option no command lists is dead.
TEST(CommandLine, TableOptionsAreDefinedAndUsed) {
    std::set<std::string_view> used;
    for (const CommandTable::Command& command : CommandTable::Commands()) {
        for (const CommandTable::OptionUse& use : command.options) {
            EXPECT_NE(CommandTable::FindOption(use.name), nullptr)
                << command.name << ' ' << use.name;
            used.insert(use.name);
        }
    }
    for (const CommandTable::Option& option : CommandTable::Options()) {
        EXPECT_TRUE(used.contains(option.name)) << option.name;
    }
}

TEST(CommandLine, HelpFitsTheColumnsAndNamesEverything) {
    const std::string help = UsageText();
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 100u) << line;
        EXPECT_FALSE(line.ends_with(' ')) << line;
    }
    for (const char* name : {"ruvo [FILE]", "--summary", "--rewrite", "--render", "--surface-point",
                             "--report", "--export-scene", "--origin ", "--obj-info", "--help | -h",
                             "--version", "--body MODEL", "--output FILE", "--view V", "--size WxH",
                             "--transparent", "--origin-zones", "--pixel X,Y"}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }
}

// Each command takes its own options and refuses every other, as "unexpected argument".
TEST(CommandLine, EachCommandTakesItsOwnOptionsOnly) {
    // A valid command line of each command, and the options it takes beyond those it needs.
    const std::map<std::string, std::vector<std::string>> base = {
        {"--summary", {"--summary", "c.txt"}},
        {"--rewrite", {"--rewrite", "c.txt", "o.txt"}},
        {"--render", {"--render", "c.txt", "--output", "o.jpg"}},
        {"--surface-point", {"--surface-point", "c.txt", "--pixel", "1,1"}},
        {"--report", {"--report", "c.txt", "--output", "r.pdf"}},
        {"--export-scene", {"--export-scene", "c.txt", "--output", "s.glb"}},
        {"--origin", {"--origin", "c.txt"}},
    };
    const std::map<std::string, std::set<std::string>> takes = {
        {"--summary", {"--body"}},
        {"--rewrite", {"--body"}},
        {"--render", {"--body", "--view", "--size", "--transparent", "--origin-zones"}},
        {"--surface-point", {"--body", "--view", "--size"}},
        {"--report", {"--body"}},
        {"--export-scene", {"--body"}},
        {"--origin", {"--body"}},
    };
    const std::map<std::string, std::vector<std::string>> option = {
        {"--body", {"--body", "m.obj"}},
        {"--output", {"--output", "x.jpg"}},
        {"--view", {"--view", "top"}},
        {"--size", {"--size", "320x240"}},
        {"--transparent", {"--transparent"}},
        {"--origin-zones", {"--origin-zones"}},
        {"--pixel", {"--pixel", "2,2"}},
        {"--frobnicate", {"--frobnicate"}},
        {"-x", {"-x"}},
        {"stray", {"stray"}},
    };
    for (const auto& [command, arguments] : base) {
        EXPECT_EQ(Outcome(arguments), "accepted") << command;
        for (const auto& [name, given] : option) {
            if (std::ranges::find(arguments, name) != arguments.end()) {
                continue; // the command needs it: given twice is another test's mistake
            }
            std::vector<std::string> line = arguments;
            line.insert(line.end(), given.begin(), given.end());
            const std::string expected =
                takes.at(command).contains(name) ? "accepted" : Unexpected(name);
            EXPECT_EQ(Outcome(line), expected) << command << ' ' << name;
        }
    }
    // Options after a command that takes none are no better.
    EXPECT_EQ(Outcome({"--obj-info", "m.obj", "--body", "b.obj"}),
              "--obj-info needs exactly one model file");
    EXPECT_EQ(Outcome({"--version", "--body", "b.obj"}), "--version takes no arguments");
    EXPECT_EQ(Outcome({"case.txt", "--body", "b.obj"}), "the program opens one file at a time");
    std::ostringstream out, err;
    EXPECT_EQ(RunHeadless(Parse({"--summary", "c.txt", "--transparent"}), out, err), 2);
    EXPECT_EQ(err.str(), "ruvo: unexpected argument \"--transparent\" (see --help)\n");
    EXPECT_TRUE(out.str().empty());
}

// An option whose value is missing, empty or repeated is a mistake named as such, never a
// default taken in silence or the next option read as the value.
TEST(CommandLine, OptionValuesMissingEmptyOrTwice) {
    for (const char* name : {"--body", "--view", "--size"}) {
        EXPECT_EQ(Outcome({"--render", "c.txt", "--output", "o.jpg", name}), Unexpected(name));
    }
    EXPECT_EQ(Outcome({"--render", "c.txt", "--output"}), Unexpected("--output"));
    EXPECT_EQ(Outcome({"--surface-point", "c.txt", "--pixel"}), Unexpected("--pixel"));
    // An empty file name is refused first, even after a command that does not take the option.
    EXPECT_EQ(Outcome({"--summary", "c.txt", "--output", ""}),
              "--output needs a file name, not an empty text");
    EXPECT_EQ(Outcome({"--render", "c.txt", "--output", "o.jpg", "--body", ""}),
              "--body needs a file name, not an empty text");
    EXPECT_EQ(Outcome({"--render", "c.txt", "--output", "o.jpg", "--transparent", "--transparent"}),
              "--transparent is given more than once");
    EXPECT_EQ(Outcome({"--summary", "c.txt", "--body", "a.obj", "--body"}),
              "--body is given more than once");
    EXPECT_EQ(Outcome({"--render", "c.txt", "--output", "o.jpg", "--size", "800x600x3"}),
              "--size takes WIDTHxHEIGHT in pixels, for example 800x600");
    EXPECT_EQ(Outcome({"--render", "c.txt", "--output", "o.jpg", "--size", "16385x10"}),
              "--size takes WIDTHxHEIGHT in pixels, for example 800x600");
    EXPECT_EQ(Outcome({"--surface-point", "c.txt", "--pixel", "-1,5"}),
              "--pixel takes X,Y in pixels from the top left, for example 400,300");
    EXPECT_EQ(Outcome({"--surface-point", "c.txt", "--pixel", "1,"}),
              "--pixel takes X,Y in pixels from the top left, for example 400,300");
    // The whole scene is a view of --render only.
    EXPECT_EQ(Outcome({"--render", "c.txt", "--output", "o.jpg", "--view", "scene"}), "accepted");
    EXPECT_EQ(Outcome({"--surface-point", "c.txt", "--pixel", "1,1", "--view", "scene"}),
              "unknown view \"scene\" (front, back, left, right, top or profile)");
}

// Each command's operands and the options it cannot do without, with the words it says when
// they are missing.
TEST(CommandLine, OperandsAndNeededOptions) {
    for (const char* command :
         {"--summary", "--render", "--surface-point", "--report", "--export-scene", "--origin"}) {
        EXPECT_EQ(Outcome({command}), std::string(command) + " needs a data file");
    }
    EXPECT_EQ(Outcome({"--rewrite", "c.txt"}),
              "--rewrite needs a data file to read and one to write");
    EXPECT_EQ(Outcome({"--obj-info"}), "--obj-info needs exactly one model file");
    EXPECT_EQ(Outcome({"--help", "x"}), "--help takes no arguments");
    EXPECT_EQ(Parse({"-h"}).mode, CommandLine::Mode::Help);
    EXPECT_EQ(Outcome({"-"}), "unknown option \"-\" (see --help)");

    EXPECT_EQ(Outcome({"--render", "c.txt", "--view", "top"}), "--render needs --output OUT.jpg");
    EXPECT_EQ(Outcome({"--surface-point", "c.txt", "--size", "10x10"}),
              "--surface-point needs --pixel X,Y");
    EXPECT_EQ(Outcome({"--report", "c.txt"}),
              "--report needs --output REPORT.pdf, REPORT.html or REPORT.json");
    EXPECT_EQ(Outcome({"--export-scene", "c.txt"}),
              "--export-scene needs --output SCENE.glb or SCENE.obj");
    EXPECT_EQ(Outcome({"--export-scene", "c.txt", "--output", "s.ply"}),
              "--export-scene needs --output SCENE.glb or SCENE.obj");
    // The pixel is checked against the size given after it, not the default one.
    EXPECT_EQ(Outcome({"--surface-point", "c.txt", "--pixel", "700,500", "--size", "640x480"}),
              "--pixel 700,500 lies outside the 640x480 view");
    EXPECT_EQ(Outcome({"--surface-point", "c.txt", "--pixel", "700,500", "--size", "701x501"}),
              "accepted");

    const CommandLine rewrite = Parse({"--rewrite", "in.txt", "out.txt", "--body", "b.ply"});
    EXPECT_EQ(rewrite.caseFile, "in.txt");
    EXPECT_EQ(rewrite.outputFile, "out.txt");
    EXPECT_EQ(rewrite.bodyFile, "b.ply");
    EXPECT_EQ(Parse({"--obj-info", "m.stl"}).modelFile, "m.stl");
    const CommandLine point = Parse({"--surface-point", "c.txt", "--pixel", "12,34"});
    EXPECT_EQ(point.pixelX, 12);
    EXPECT_EQ(point.pixelY, 34);
    EXPECT_EQ(point.view, "front");
    EXPECT_EQ(point.width, 800);
    EXPECT_EQ(point.height, 600);
    EXPECT_TRUE(Parse({"--render", "c.txt", "--output", "o.jpg", "--origin-zones"}).originZones);
}
