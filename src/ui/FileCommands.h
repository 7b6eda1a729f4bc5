#pragma once

#include "ui/Platform.h"

#include <QString>

struct ArrowModels;
struct Case;
struct DisplaySwitches;
class PosedCase;

// The file side of the view's commands: where the choosers start, the extension rule, and reading
// or writing a case and loading a body with every failure reported to the user.

// The directory the program was started in; data and body folders lie below it.
QString StartDirectory();
// Appends `extension` unless the path's last characters are exactly it (case-sensitive), so
// "case" becomes "case.txt" and "case.TXT" becomes "case.TXT.txt".
QString WithExtension(const QString& path, const QString& extension);
// True when the path ends in `extension`, whatever the case of its letters.
bool HasExtensionNoCase(const QString& path, const QString& extension);

// The choosers' requests; the data and body folders lie below `startDirectory`.
FileChooserRequest OpenDataRequest(const QString& startDirectory = StartDirectory());
FileChooserRequest SaveDataRequest(const QString& startDirectory = StartDirectory());
// "Save data" for a case that has a file of its own (`caseFile`, empty when it has none): the
// chooser starts in the file's folder with its name filled in, and replaces it without asking.
FileChooserRequest SaveCaseRequest(const QString& caseFile,
                                   const QString& startDirectory = StartDirectory());
FileChooserRequest OpenBodyRequest(const QString& startDirectory = StartDirectory());
FileChooserRequest SaveImageRequest();
FileChooserRequest ExportSceneRequest(const QString& startDirectory = StartDirectory());

// True when the path ends in the extension of a body model format (any case).
bool IsBodyModelPath(const QString& path);
// ".obj, .ply, .stl, .glb, .gltf, .off"
QString BodyModelExtensionList();

// Appends the file's trajectories and elements to the case (and takes its body block), and reads
// the scene model the file names. A file that cannot be read, or is no data file, is reported and
// leaves the case as it was; so is what reading left out or replaced (more entries than fit, a
// value no case takes), and then `leftSomethingOut`, when given, is set. A scene model that
// cannot be read is reported as such, and the case keeps the rest. A file whose body is a CT
// series is read with the series (progress window); a series that cannot be read, or a cancel,
// leaves the case as it was and the file unread (false). True when read.
bool ReadDataFile(Case& theCase, Platform& platform, QWidget* owner, const QString& path,
                  bool* leftSomethingOut = nullptr);
// Writes the case; a failure is reported and leaves any previous file as it was.
bool WriteDataFile(const Case& theCase, Platform& platform, QWidget* owner, const QString& path);
// Replaces the body's mesh, showing the progress window while it loads; a CT body gives way to it.
// A model that cannot be read is reported (caption "Info") and the previous body stays; so it does,
// silently, when the user cancels the load. The reader's warnings are shown once the body is in.
// True when loaded.
bool LoadBodyFile(Case& theCase, Platform& platform, QWidget* owner, const QString& path);
// Writes the posed case as a 3-D scene to `chosen` (".glb" added when it names neither format),
// its trajectories drawn with `arrows`, with the uncertainty cones and the scene model where
// `shown` shows them; failures are reported. True when written.
bool ExportSceneTo(const PosedCase& posed, const ArrowModels& arrows, const DisplaySwitches& shown,
                   Platform& platform, QWidget* owner, const QString& chosen);
