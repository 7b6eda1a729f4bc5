#include "ui/CaseSession.h"

#include "case/Case.h"
#include "casefile/DataFile.h"
#include "edit/CaseEditor.h"
#include "ui/FileCommands.h"
#include "ui/Platform.h"

#include <QFile>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>

CaseSession::CaseSession(CaseEditor& theEditor, Platform& thePlatform, QUndoStack& theHistory,
                         QWidget* theWindow, RecoveryFile theRecovery)
    : QObject(theWindow), editor(theEditor), platform(thePlatform), history(theHistory),
      window(theWindow), recovery(std::move(theRecovery)), burstEnd(new QTimer(this)),
      period(new QTimer(this)) {
    burstEnd->setSingleShot(true);
    burstEnd->setInterval(kBurstEndMs);
    connect(burstEnd, &QTimer::timeout, this, &CaseSession::UpdateRecoveryFile);
    period->setInterval(kPeriodMs);
    connect(period, &QTimer::timeout, this, [this] {
        if (IsModified()) {
            UpdateRecoveryFile();
        }
    });
    period->start();
    // Back at the saved point (by undo, or by a save): nothing is left to recover.
    connect(&theHistory, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean) {
            burstEnd->stop();
            this->recovery.Remove();
        }
    });
    caseListener = theEditor.AddListener([this](const CaseChange& change) { CaseChanged(change); });
}

CaseSession::~CaseSession() {
    editor.RemoveListener(caseListener);
}

void CaseSession::CaseChanged(const CaseChange& change) {
    if (change.kind != CaseChange::Kind::Preview) {
        burstEnd->start(); // restarted by every edit of a burst
    }
}

bool CaseSession::IsModified() const {
    return !history.isClean();
}

bool CaseSession::MaySetAside() {
    if (!IsModified()) {
        return true;
    }
    switch (platform.AskSaveChanges(window)) {
    case SaveChangesAnswer::Save:
        return save && save();
    case SaveChangesAnswer::Discard:
        return true;
    case SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

void CaseSession::Saved(const QString& path) {
    history.setClean();
    burstEnd->stop();
    recovery.Remove();
    Opened(path);
}

void CaseSession::Opened(const QString& path, bool intoFreshCase) {
    if (intoFreshCase) {
        history.setClean();
    }
    recent.Add(path);
    emit recentFilesChanged();
}

void CaseSession::Renewed() {
    history.clear();
    history.setClean();
    burstEnd->stop();
    recovery.Remove();
}

void CaseSession::Closing() {
    burstEnd->stop();
    period->stop();
    recovery.Remove();
}

void CaseSession::UpdateRecoveryFile() {
    if (!IsModified()) {
        recovery.Remove();
        return;
    }
    // A recovery file that cannot be written is not worth interrupting the work for: the case
    // itself is untouched, and the next burst tries again.
    recovery.Write(DataFile::Format(editor.GetCase()));
}

void CaseSession::OfferRecovery() {
    for (const RecoveryFile::Leftover& leftover : recovery.FindLeftovers()) {
        const QString question = QStringLiteral("Recover the unsaved case from %1?")
                                     .arg(RecoveryFile::TimeText(leftover.written));
        if (platform.AskYesNo(window, question, QStringLiteral("Ruvolane")) && Recover(leftover)) {
            continue;
        }
        if (RecoveryFile::SetAside(leftover).isEmpty()) {
            platform.ShowMessage(window,
                                 QStringLiteral("The unsaved case %1 could not be kept aside; it "
                                                "stays where it is.")
                                     .arg(leftover.path),
                                 QStringLiteral("Ruvolane"));
        }
    }
}

bool CaseSession::Recover(const RecoveryFile::Leftover& leftover) {
    bool read = false;
    bool leftSomethingOut = false;
    editor.EditCase("Recover unsaved case", [&](Case& edited) {
        read = ReadDataFile(edited, platform, window, leftover.path, &leftSomethingOut);
    });
    if (!read) {
        return false; // reported; the file is kept aside
    }
    // The case now lives in this process's recovery file; only then does the old one go.
    UpdateRecoveryFile();
    if (IsModified() && !QFile::exists(recovery.FilePath())) {
        return false;
    }
    // A leftover that did not read back whole (reported) holds more than the case now does: it
    // is kept aside rather than deleted.
    return !leftSomethingOut && QFile::remove(leftover.path);
}
