#include "support/BoxBody.h"
#include "support/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>

namespace {

// A copy of `ruvo` alone in `folder`, so that nothing but what the test puts there is beside it.
void CopyRuvoInto(const TemporaryFolder& folder) {
    std::filesystem::copy_file(RUVO_BINARY, folder.path() / "ruvo");
}

// Runs that copy in its folder; returns its exit status and puts its standard error in `errors`.
int RunCopiedRuvo(const TemporaryFolder& folder, const std::string& arguments,
                  std::string& errors) {
    const std::string command =
        "cd '" + folder.path().string() + "' && ./ruvo " + arguments + " 2>errors.txt >/dev/null";
    const int status = std::system(command.c_str());
    errors = FileText(folder.File("errors.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// Qt's libraries took most of every start of a command that never used them: `ruvo` loads none,
// and the program it hands the window and the report to loads them.
TEST(QtProgramStart, OnlyTheProgramWithQtLoadsQt) {
    const std::string light = LoadedLibraries(RUVO_BINARY);
    EXPECT_NE(light.find("libc.so"), std::string::npos) << light;
    EXPECT_EQ(light.find("libQt"), std::string::npos) << light;
    const std::string whole = LoadedLibraries(RUVO_QT_BINARY);
    EXPECT_NE(whole.find("libQt6Gui"), std::string::npos) << whole;
}

// `ruvo` becomes the ruvo-qt beside it for the window and the report: the same arguments, blanks
// and all, the same folder and streams, and its exit status. Every other command, a wrong one
// among them, it runs itself.
TEST(QtProgramStart, HandsTheWindowAndTheReportToTheProgramBesideIt) {
    const TemporaryFolder folder;
    CopyRuvoInto(folder);
    const std::filesystem::path stand = folder.path() / "ruvo-qt";
    std::ofstream(stand) << "#!/bin/sh\n"
                            "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > given.txt\n"
                            "echo 'said on stderr' >&2\n"
                            "exit 7\n";
    std::filesystem::permissions(stand, std::filesystem::perms::owner_all);

    std::string errors;
    EXPECT_EQ(RunCopiedRuvo(folder, "--report 'a case.txt' --output r.pdf", errors), 7);
    EXPECT_EQ(errors, "said on stderr\n");
    EXPECT_EQ(FileText(folder.File("given.txt")),
              folder.path().string() + "\n[--report]\n[a case.txt]\n[--output]\n[r.pdf]\n");

    std::filesystem::remove(folder.File("given.txt"));
    EXPECT_EQ(RunCopiedRuvo(folder, "'my case.txt'", errors), 7);
    EXPECT_EQ(FileText(folder.File("given.txt")), folder.path().string() + "\n[my case.txt]\n");

    std::filesystem::remove(folder.File("given.txt"));
    EXPECT_EQ(RunCopiedRuvo(folder, "--obj-info missing.obj", errors), 1);
    EXPECT_NE(errors.find("missing.obj"), std::string::npos) << errors;
    EXPECT_EQ(RunCopiedRuvo(folder, "--report", errors), 2);
    EXPECT_EQ(errors, "ruvo: --report needs a data file\n");
    EXPECT_EQ(RunCopiedRuvo(folder, "--version", errors), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.File("given.txt")));
}

// Without a program with Qt to start, the window and the report are refused with the reason; the
// build folder's is never taken, as an installed program would take another version's.
TEST(QtProgramStart, SaysWhyTheProgramWithQtCannotStart) {
    if (std::filesystem::exists(RUVO_QT_PROGRAM_INSTALLED)) {
        GTEST_SKIP() << "the program with Qt is installed on this machine";
    }
    const TemporaryFolder folder;
    CopyRuvoInto(folder);
    const std::string report = "--report case.txt --output r.pdf";
    const std::string said = "ruvo: the desktop program and the report could not be started: ";
    std::string errors;
    EXPECT_EQ(RunCopiedRuvo(folder, report, errors), 1);
    EXPECT_EQ(errors, said +
                          "the file ruvo-qt was found neither beside this program nor where it is "
                          "installed\n");

    const std::filesystem::path notRunnable = folder.path() / "ruvo-qt";
    std::ofstream(notRunnable) << "#!/bin/sh\nexit 0\n";
    std::filesystem::permissions(notRunnable, std::filesystem::perms::owner_read);
    EXPECT_EQ(RunCopiedRuvo(folder, report, errors), 1);
    EXPECT_EQ(errors, said + notRunnable.string() + ": Permission denied\n");
}
