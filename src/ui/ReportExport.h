#pragma once

#include "ui/Platform.h"

#include <QString>

struct ArrowModels;
struct Case;
class PosedCase;
class ViewState;

// "Export report...": where the chooser starts (the data folder, beside the cases) and what it
// offers.
FileChooserRequest ExportReportRequest(const QString& startDirectory);

// The data file that holds exactly the case shown, or an empty text: a case is named with its
// file only while the file's bytes are what saving the case now would write.
QString SavedCaseFile(const Case& theCase, const QString& lastDataFile);

// Writes the report of the posed case, body and posture as they are, its trajectories drawn with
// `arrows` and the display switches of `view`, to `path` (format by its extension; a name without
// one of the three gets the first filter's ".pdf"). Every failure is reported with a message box;
// true when written.
bool ExportReport(const PosedCase& posed, const ArrowModels& arrows, const ViewState& view,
                  Platform& platform, QWidget* owner, const QString& path, const QString& caseFile);
