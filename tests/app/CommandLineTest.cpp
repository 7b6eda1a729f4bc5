#include "app/cli/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>

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
