#include "app/cli/CaseLoading.h"

#include "base/FileAccess.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "view/ViewState.h"
#include "world/SceneModelFile.h"

#include <ostream>

namespace {

// Checking first keeps the common mistake, a wrong path, to one line naming the body file; a FIFO
// or device is refused here before any reader could wait on it.
bool CanOpen(const std::string& path, std::ostream& err) {
    if (const int error = CheckReadableFile(path)) {
        err << "ruvo: Cannot open body file \"" << path << "\": " << FileErrorText(error) << '\n';
        return false;
    }
    return true;
}

} // namespace

DiagnosticSink WarningsTo(std::ostream& err) {
    return [&err](const std::string& message) { err << "ruvo: warning: " << message << '\n'; };
}

void ReportReadingNotes(const std::vector<std::string>& notes, std::ostream& err) {
    for (const std::string& note : notes) {
        err << "ruvo: " << note << '\n';
    }
}

bool LoadCase(const CommandLine& commandLine, Case& theCase, std::ostream& err, bool withArrows,
              std::vector<std::string>* readingNotes) {
    DefaultModelFiles models = DefaultModelFiles::Located();
    if (!commandLine.bodyFile.empty()) {
        models.body = commandLine.bodyFile;
    }
    const std::string& bodyFile = models.body;
    if (!CanOpen(bodyFile, err)) {
        return false;
    }
    const Body::WarningSink warnings = WarningsTo(err);
    theCase.SetBodyModelFile(bodyFile);
    const Status loaded = withArrows ? theCase.LoadModels(models, warnings)
                                     : theCase.GetBody().Load(bodyFile, warnings);
    if (!loaded) {
        err << "ruvo: " << loaded.message() << '\n';
        return false;
    }
    const DataFileReadResult read = DataFile::Read(theCase, commandLine.caseFile);
    if (!read.ok()) {
        err << "ruvo: " << read.status.message() << '\n';
        return false;
    }
    const std::vector<std::string> notes = read.ReadingNotes();
    ReportReadingNotes(notes, err);
    if (readingNotes != nullptr) {
        *readingNotes = notes;
    }
    return true;
}

void LoadCaseScene(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                   std::vector<std::string>* readingNotes) {
    const Status scene = LoadSceneModel(theCase, commandLine.caseFile);
    if (!scene.ok()) {
        err << "ruvo: warning: " << scene.message() << '\n';
        if (readingNotes != nullptr) {
            readingNotes->push_back(scene.message() + ".");
        }
    }
}

void ApplyNamedView(ViewState& viewState, const std::string& view) {
    if (view == "back") {
        viewState.ViewBack();
    } else if (view == "left") {
        viewState.ViewLeft();
    } else if (view == "right") {
        viewState.ViewRight();
    } else if (view == "top") {
        viewState.ViewTop();
    } else if (view == "profile") {
        viewState.ViewProfile();
    } else {
        viewState.ViewFront();
    }
}
