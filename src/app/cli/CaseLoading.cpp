#include "app/cli/CaseLoading.h"

#include "base/FileAccess.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "mesh/ArrowModels.h"
#include "view/ViewState.h"
#include "world/CtBodyFile.h"
#include "world/SceneModelFile.h"

#include <ostream>

namespace {

// Checking first keeps the common mistake, a wrong path, to one line naming the body file; a FIFO
// or device is refused here before any reader could wait on it.
bool CanOpen(const std::string& path, std::ostream& err) {
    if (const int error = CheckReadableFile(path)) {
        err << "ruvo: Cannot open body file \"" << PrintableText(path)
            << "\": " << FileErrorText(error) << '\n';
        return false;
    }
    return true;
}

} // namespace

bool LoadCaseModels(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                    ArrowModels* arrows) {
    const DefaultModelFiles models = ModelFilesOf(commandLine);
    if (!CanOpen(models.body, err)) {
        return false;
    }
    if (const Status loaded = ReadModels(models, theCase, arrows, WarningsTo(err)); !loaded) {
        err << "ruvo: " << PrintableText(loaded.message()) << '\n';
        return false;
    }
    return true;
}

DiagnosticSink WarningsTo(std::ostream& err) {
    return [&err](const std::string& message) {
        err << "ruvo: warning: " << PrintableText(message) << '\n';
    };
}

void ReportReadingNotes(const std::vector<std::string>& notes, std::ostream& err) {
    for (const std::string& note : notes) {
        err << "ruvo: " << PrintableText(note) << '\n';
    }
}

DefaultModelFiles ModelFilesOf(const CommandLine& commandLine) {
    DefaultModelFiles models = DefaultModelFiles::Located();
    if (!commandLine.bodyFile.empty()) {
        models.body = commandLine.bodyFile;
    }
    return models;
}

Status ReadModels(const DefaultModelFiles& models, Case& theCase, ArrowModels* arrows,
                  const Body::WarningSink& warnings) {
    const Status arrowsRead =
        arrows != nullptr ? arrows->Load(models.arrow, models.halfArrow) : Status::Ok();
    theCase.bodyModelFile = models.body;
    const Status bodyRead = theCase.body.Load(models.body, warnings);
    return arrowsRead.ok() ? bodyRead : arrowsRead;
}

bool LoadCase(const CommandLine& commandLine, Case& theCase, std::ostream& err, ArrowModels* arrows,
              std::vector<std::string>* readingNotes, std::string* caseBytes) {
    return LoadCaseModels(commandLine, theCase, err, arrows) &&
           ReadCaseFile(commandLine, theCase, err, readingNotes, caseBytes);
}

bool ReadCaseFile(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                  std::vector<std::string>* readingNotes, std::string* caseBytes) {
    const DataFileReadResult read = DataFile::Read(theCase, commandLine.caseFile, caseBytes);
    if (!read.ok()) {
        err << "ruvo: " << PrintableText(read.status.message()) << '\n';
        return false;
    }
    const std::vector<std::string> notes = read.ReadingNotes();
    ReportReadingNotes(notes, err);
    if (readingNotes != nullptr) {
        *readingNotes = notes;
    }
    // A case whose body is a CT series is never run on the body model instead.
    if (const Status ct = LoadCtBody(theCase, commandLine.caseFile); !ct) {
        err << "ruvo: " << PrintableText(ct.message()) << '\n';
        return false;
    }
    return true;
}

void LoadCaseScene(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                   std::vector<std::string>* readingNotes) {
    const Status scene = LoadSceneModel(theCase, commandLine.caseFile);
    if (!scene.ok()) {
        err << "ruvo: warning: " << PrintableText(scene.message()) << '\n';
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
