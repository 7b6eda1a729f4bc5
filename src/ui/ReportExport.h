#pragma once

#include "ui/Platform.h"

#include <QString>

class Case;

// "Export report...": where the chooser starts (the data folder, beside the cases) and what it
// offers.
FileChooserRequest ExportReportRequest(const QString& startDirectory);

// The data file that holds exactly the case shown, or an empty text: a case is named with its
// file only while the file's bytes are what saving the case now would write.
QString SavedCaseFile(Case& scene, const QString& lastDataFile);

// Writes the report of the scene, body and pose as they are, to `path` (format by its extension;
// a name without one of the three gets the first filter's ".pdf"). Every failure is reported with
// a message box; true when written.
bool ExportReport(Case& scene, Platform& platform, QWidget* owner, const QString& path,
                  const QString& caseFile);
