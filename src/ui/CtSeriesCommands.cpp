#include "ui/CtSeriesCommands.h"

#include "case/Case.h"
#include "ct/CtSliceScan.h"
#include "edit/CtBodyLock.h"
#include "ui/BackgroundWork.h"
#include "world/CtBodyFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <vector>

QString CtPostureReason() {
    return QString::fromUtf8(kCtPostureRefusal.data(),
                             static_cast<qsizetype>(kCtPostureRefusal.size()));
}

namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// "CT phantom, 80 slices", "no description, 12 slices".
QString SeriesLine(const CtSeriesEntry& entry) {
    return QStringLiteral("%1, %2 slices")
        .arg(entry.description.empty() ? QStringLiteral("no description") : Text(entry.description))
        .arg(entry.slices);
}

QString SeriesQuestion(const QString& folder, const std::vector<CtSeriesEntry>& series) {
    QString text = QStringLiteral("The folder %1 holds %2 CT series. Which one is the body?\n")
                       .arg(folder)
                       .arg(series.size());
    for (std::size_t index = 0; index < series.size(); ++index) {
        text += QStringLiteral("\n%1. %2\n    series %3")
                    .arg(index + 1)
                    .arg(SeriesLine(series[index]), Text(series[index].seriesUid));
    }
    return text;
}

// Runs the read on a copy of the case; the copy becomes the case only when it was read and the
// user did not cancel.
bool ReadWithProgress(Case& theCase, Platform& platform, QWidget* owner, const QString& caption,
                      const std::function<Status(Case&, ProgressSink&)>& read,
                      const QString& failureNote = {}) {
    Case copy = theCase;
    Status outcome = Status::Ok();
    if (!RunInBackground(
            platform, owner,
            [&copy, &read](ProgressSink& progress) { return read(copy, progress); }, outcome)) {
        return false; // the user's choice: nothing to report
    }
    if (!outcome) {
        platform.ShowMessage(owner, Text(outcome.message()) + failureNote, caption);
        return false;
    }
    theCase = std::move(copy);
    return true;
}

} // namespace

FileChooserRequest OpenCtSeriesRequest(const QString& startDirectory) {
    FileChooserRequest request;
    request.title = QStringLiteral("Open CT series");
    request.initialFolder = startDirectory + "/data";
    request.folder = true;
    return request;
}

bool ChooseCtSeries(Platform& platform, QWidget* owner, const QString& folder,
                    std::string& seriesUid) {
    std::vector<CtSeriesEntry> series;
    if (const Status listed = ListCtSeries(LocalPath(folder), series); !listed) {
        platform.ShowMessage(owner, Text(listed.message()), QStringLiteral("Open CT series"));
        return false;
    }
    if (series.size() == 1) {
        seriesUid = series.front().seriesUid;
        return true;
    }
    QStringList choices;
    for (std::size_t index = 0; index < series.size(); ++index) {
        choices << QStringLiteral("%1. %2").arg(index + 1).arg(SeriesLine(series[index]));
    }
    choices << QStringLiteral("Cancel");
    const int chosen = platform.AskChoice(owner, SeriesQuestion(folder, series),
                                          QStringLiteral("Open CT series"), choices);
    if (chosen < 0 || chosen >= static_cast<int>(series.size())) {
        return false;
    }
    seriesUid = series[static_cast<std::size_t>(chosen)].seriesUid;
    return true;
}

bool OpenCtSeriesWithProgress(Case& theCase, Platform& platform, QWidget* owner,
                              const QString& folder, const std::string& seriesUid) {
    const std::string path = LocalPath(folder);
    return ReadWithProgress(theCase, platform, owner, QStringLiteral("Open CT series"),
                            [&path, &seriesUid](Case& read, ProgressSink& progress) {
                                return OpenCtSeries(read, path, seriesUid, &progress);
                            });
}

bool LoadCaseCtBodyWithProgress(Case& theCase, Platform& platform, QWidget* owner,
                                const QString& caseFile) {
    if (!theCase.ct.IsCtBody() || theCase.ct.scan) {
        return true;
    }
    const std::string file = LocalPath(caseFile);
    const QString note =
        QStringLiteral("\nThe case %1 is not opened: its body is the decedent's CT scan, and "
                       "the generic body must not stand in its place.")
            .arg(QFileInfo(caseFile).fileName());
    return ReadWithProgress(
        theCase, platform, owner, QStringLiteral("Open data"),
        [&file](Case& read, ProgressSink& progress) { return LoadCtBody(read, file, &progress); },
        note);
}

QString CtBodyText(const CaseCt& ct) {
    if (!ct.IsCtBody()) {
        return {};
    }
    const std::string& description = ct.scan ? ct.scan->facts.description : std::string();
    if (description.empty()) {
        return QStringLiteral("CT body: series %1").arg(Text(ct.seriesUid));
    }
    return QStringLiteral("CT body: %1 (series %2)").arg(Text(description), Text(ct.seriesUid));
}
