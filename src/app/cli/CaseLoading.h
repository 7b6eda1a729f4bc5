#pragma once

#include "app/cli/CommandLine.h"

#include "base/Diagnostics.h"
#include "base/ProgramFiles.h"
#include "body/Body.h"

#include <iosfwd>
#include <string>
#include <vector>

struct ArrowModels;
struct Case;
class ViewState;

// The default models, with the body named by --body instead of the default one when given.
DefaultModelFiles ModelFilesOf(const CommandLine& commandLine);

// Reads the two arrow models (when `arrows` is given) and the body into a fresh case; every model
// is tried, so that one missing file does not hide the others, and the first failure is returned.
// The body's reader's warnings go to `warnings`.
Status ReadModels(const DefaultModelFiles& models, Case& theCase, ArrowModels* arrows,
                  const Body::WarningSink& warnings);

// Reads the models as ReadModels does, the body (the one named with --body, else the default
// model) once it is known to open. Returns false after writing one line on `err`.
bool LoadCaseModels(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                    ArrowModels* arrows = nullptr);

// Reads the models as ReadModels does (the body the one named with --body, else the default
// model, once it is known to open), then reads the case file into the case. Returns false after
// writing one line on `err` when a model or the case cannot be read; what reading left out or
// replaced (more trajectories or elements than a case holds, a value no case takes) is said on
// `err`, one "ruvo:" line each, kept in `readingNotes` when given, and the case still counts as
// read. The body model may be in any supported format; its reader's warnings go to `err`. The
// arrows are for the commands that draw or export them.
// `caseBytes`, when given, receives the bytes of the case file the case was read from.
bool LoadCase(const CommandLine& commandLine, Case& theCase, std::ostream& err,
              ArrowModels* arrows = nullptr, std::vector<std::string>* readingNotes = nullptr,
              std::string* caseBytes = nullptr);

// Reads the case file into a case whose models are loaded, as LoadCase does after loading them,
// and the CT series its body comes from, if any: a series that does not read fails the command.
bool ReadCaseFile(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                  std::vector<std::string>* readingNotes = nullptr,
                  std::string* caseBytes = nullptr);

// Reads the scene model the case names, if any (a relative path from the case file's folder).
// One that does not read is said on `err` as a warning (and added to `readingNotes` when
// given): the case is kept, without the scene's surfaces.
void LoadCaseScene(const CommandLine& commandLine, Case& theCase, std::ostream& err,
                   std::vector<std::string>* readingNotes = nullptr);

// Says a warning (the body model's, its landmark table's, any the libraries report) on `err` as
// "ruvo: warning: TEXT".
DiagnosticSink WarningsTo(std::ostream& err);

// Says what reading the case file left out or replaced on `err`, one "ruvo:" line each.
void ReportReadingNotes(const std::vector<std::string>& notes, std::ostream& err);

// Sets the standard view named on the command line (front, back, left, right, top, profile).
void ApplyNamedView(ViewState& viewState, const std::string& view);
