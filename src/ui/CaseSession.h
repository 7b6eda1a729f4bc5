#pragma once

#include "ui/RecentFiles.h"
#include "ui/RecoveryFile.h"

#include <QObject>

#include <functional>

class CaseEditor;
class Platform;
class QTimer;
class QUndoStack;
class QWidget;
struct CaseChange;

// Keeps an unsaved case from being lost: knows whether the case has changes that are not saved
// (the undo history is away from its saved point), asks before a command would set them aside,
// keeps the recovery file while there are such changes, offers a crash's leftover at start-up,
// and keeps the list of recent data files.
class CaseSession : public QObject {
    Q_OBJECT

public:
    // Idle time after the last edit of a burst before the recovery file is written.
    static constexpr int kBurstEndMs = 1500;
    // The recovery file is also written this often while there are unsaved changes.
    static constexpr int kPeriodMs = 60000;

    CaseSession(CaseEditor& editor, Platform& platform, QUndoStack& history, QWidget* window,
                RecoveryFile recovery = RecoveryFile());
    ~CaseSession() override;

    // How "Save" in the question saves the case; true when it was saved.
    void SetSaveCommand(std::function<bool()> command) { save = std::move(command); }

    bool IsModified() const;
    // Before a command that would set the unsaved changes aside (closing, Ctrl+N, opening a data
    // file or a body): asks "Save changes to the case?" when there are any. Save saves first (a
    // save that fails or is cancelled stops the command), Discard goes on, Cancel stops it.
    // True when the command may go on.
    bool MaySetAside();
    // The case was saved to `path`: no unsaved changes, no recovery file, a recent file.
    void Saved(const QString& path);
    // A data file was read into the case: a recent file. When the case was empty and saved
    // before (`intoFreshCase`), it now holds just that file and has nothing unsaved.
    void Opened(const QString& path, bool intoFreshCase = false);
    // The case was put in place anew (a new case, a file read in place of the case): the undo
    // history starts again, nothing is unsaved, and the recovery file goes.
    void Renewed();
    // The program ends cleanly: the recovery file goes.
    void Closing();

    // At start-up: offers each recovery file a crash left ("Recover the unsaved case from
    // <time>?"). Yes reads it into the case as an unsaved edit; No keeps it aside, renamed with
    // its time, and so does a Yes whose file could not be read whole (said in a message).
    void OfferRecovery();
    // Writes the recovery file now when there are unsaved changes, removes it otherwise.
    void UpdateRecoveryFile();

    const RecoveryFile& GetRecoveryFile() const { return recovery; }
    RecentFiles& GetRecentFiles() { return recent; }

signals:
    void recentFilesChanged();

private:
    void CaseChanged(const CaseChange& change);
    // Reads a leftover into the case; true when the leftover may go.
    bool Recover(const RecoveryFile::Leftover& leftover);

    CaseEditor& editor;
    Platform& platform;
    QUndoStack& history;
    QWidget* window;
    RecoveryFile recovery;
    RecentFiles recent;
    std::function<bool()> save;
    QTimer* burstEnd;
    QTimer* period;
    int caseListener = 0;
};
