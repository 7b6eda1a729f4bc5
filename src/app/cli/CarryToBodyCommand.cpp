#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "world/CarryToPosableBody.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace {

// The same file under two names (a link, "./", another spelling of the folder) is the same file:
// the CT case is never written over by its own carried copy.
bool SameFile(const std::string& first, const std::string& second) {
    std::error_code error;
    if (std::filesystem::equivalent(first, second, error) && !error) {
        return true;
    }
    const auto whole = [](const std::string& path) {
        std::error_code failed;
        std::filesystem::path canonical = std::filesystem::weakly_canonical(path, failed);
        return failed ? std::filesystem::path(path).lexically_normal() : canonical;
    };
    return whole(first) == whole(second);
}

int Refuse(std::ostream& err, const std::string& message) {
    err << "ruvo: " << PrintableText(message) << '\n';
    return 1;
}

} // namespace

int RunCarryToBodyCommand(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    if (SameFile(commandLine.caseFile, commandLine.outputFile)) {
        return Refuse(err, "--carry-to-body writes the carried case to another file than the CT "
                           "case \"" +
                               commandLine.caseFile + "\"");
    }
    Case theCase;
    if (!LoadCaseModels(commandLine, theCase, err)) {
        return 1;
    }
    // The body the models gave is the posable one; reading the case puts the scan in its place.
    const Body posable = theCase.body;
    const std::string posableFile = theCase.bodyModelFile;
    if (!ReadCaseFile(commandLine, theCase, err)) {
        return 1;
    }
    if (!theCase.ct.IsCtBody()) {
        return Refuse(err, "The case \"" + commandLine.caseFile +
                               "\" has no CT body: only a case measured on a CT series is "
                               "carried to the posable body");
    }
    Case carried;
    if (const Status done = CarryToPosableBody(theCase, posable, posableFile, carried); !done) {
        return Refuse(err, done.message());
    }
    if (const Status written = DataFile::Write(carried, commandLine.outputFile); !written) {
        return Refuse(err, written.message());
    }
    return 0;
}
