#include "ui/ReportExport.h"

#include "base/FileAccess.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "casefile/DataFile.h"
#include "report/ReportWriter.h"
#include "ui/FileCommands.h"
#include "ui/ReportDrawing.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QOpenGLContext>

namespace {

const QString kCaption = QStringLiteral("Export report");

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The wait cursor while the views are drawn and the pages laid out.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

FileChooserRequest ExportReportRequest(const QString& startDirectory) {
    FileChooserRequest request;
    request.title = kCaption;
    request.filters.append(FileFilter{"PDF Files (*.pdf) ", " *.pdf"});
    request.filters.append(FileFilter{"HTML Files (*.html) ", " *.html"});
    request.filters.append(FileFilter{"JSON Files (*.json) ", " *.json"});
    request.initialFolder = startDirectory + "/database";
    return request;
}

QString SavedCaseFile(const Case& theCase, const QString& lastDataFile) {
    if (lastDataFile.isEmpty()) {
        return {};
    }
    std::string onDisk;
    if (ReadWholeFile(LocalPath(lastDataFile), onDisk) != 0) {
        return {};
    }
    return onDisk == DataFile::Format(theCase, LocalPath(lastDataFile)) ? lastDataFile : QString();
}

bool ExportReport(const PosedCase& posed, const ArrowModels& arrows, const ViewState& view,
                  Platform& platform, QWidget* owner, const QString& path,
                  const QString& caseFile) {
    const QString target = ReportFormatForPath(LocalPath(path)) ? path : path + ".pdf";
    ReportSource source;
    source.caseFile = LocalPath(caseFile);
    // The budgets' draws run off the interface thread; the views and pages are drawn here.
    const std::optional<ReportDraws> drawn = DrawReportWithProgress(posed, owner);
    if (!drawn) {
        platform.ShowMessage(owner,
                             QStringLiteral("The report was cancelled: nothing was written, and "
                                            "the case is as it was."),
                             kCaption);
        return false;
    }
    source.drawn = &*drawn;
    if (!caseFile.isEmpty()) {
        // SavedCaseFile named the file because its bytes were these: the report cites them, not
        // the file as it may be by now.
        source.caseFileBytes = DataFile::Format(posed.GetCase(), source.caseFile);
    }
    Status status = Status::Ok();
    {
        WaitCursor wait;
        // A thread may have one kind of OpenGL context current at a time: the view's context is
        // released so that the views can be drawn headless (the view makes it current again
        // before it next draws).
        if (QOpenGLContext* current = QOpenGLContext::currentContext()) {
            current->doneCurrent();
        }
        status = WriteCaseReport(posed, arrows, view, LocalPath(target), source);
    }
    if (!status.ok()) {
        platform.ShowMessage(owner, QString::fromStdString(status.message()), kCaption);
        return false;
    }
    return true;
}
