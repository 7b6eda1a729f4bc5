#pragma once

#include "ui/Platform.h"

#include <QString>

#include <string>

struct Case;
struct CaseCt;

// The window's side of a body read from a CT series: the folder chooser, the choice among the
// series of a folder, and the reading, which runs off the interface thread behind the progress
// window, with every failure reported to the user.

// Why a CT body cannot be posed, as the edits refuse it, for tooltips and messages.
QString CtPostureReason();

// "File > Open CT series...": a chooser of folders, starting in the data folder.
FileChooserRequest OpenCtSeriesRequest(const QString& startDirectory);

// The series of the folder to read: the only one, or the one the user picks from a list of
// every series' UID, description and slice count (the one with the most slices first and
// proposed). False when the folder holds no series (said in a message) or the user cancelled.
bool ChooseCtSeries(Platform& platform, QWidget* owner, const QString& folder,
                    std::string& seriesUid);

// Reads the series as the case's body (skin as the body, the scan held by the case), on a copy
// of the case while the progress window shows the work. True when read; a failure is reported
// and a cancel is not, and both leave the case as it was.
bool OpenCtSeriesWithProgress(Case& theCase, Platform& platform, QWidget* owner,
                              const QString& folder, const std::string& seriesUid);

// The series a data file just read into the case names, read as OpenCtSeriesWithProgress does
// (a relative folder taken from the data file's folder). Nothing to do for a case without one.
// A series that cannot be read is reported and the case left as it was: the caller must not
// open the case then, since the generic body would stand where the decedent's scan belongs.
bool LoadCaseCtBodyWithProgress(Case& theCase, Platform& platform, QWidget* owner,
                                const QString& caseFile);

// "CT body: <description> (series <UID>)", or the UID alone when the series has no
// description; empty for a body that is not a scan.
QString CtBodyText(const CaseCt& ct);
