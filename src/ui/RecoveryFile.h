#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QLockFile;

// The file an unsaved case is kept in while the program runs, so that a crash does not lose it:
// "recovery-<process id>-<start time>.txt" in the program's data folder, holding the case as a
// data file, beside a lock file ("recovery-....lock") that its program holds while the file
// exists. The system releases the lock when the program ends, however it ends, so a recovery
// file whose lock nobody holds was left by a crash and is offered at the next start, whatever
// process has its number by then.
class RecoveryFile {
public:
    // A recovery file left by a program that is gone. Its lock is held while the leftover is,
    // so that two programs starting together never both offer it.
    struct Leftover {
        QString path;
        QDateTime written;
        std::shared_ptr<QLockFile> lock;
    };

    // `folder` empty: the program's data folder (QStandardPaths::AppDataLocation).
    explicit RecoveryFile(QString folder = {});

    const QString& Folder() const { return folder; }
    // This process's recovery file.
    QString FilePath() const;
    // Replaces the file's contents as a save does (beside it, then renamed over it), taking the
    // file's lock first. False, with the reason in `error`, when it could not be written.
    bool Write(const std::string& contents, QString* error = nullptr) const;
    // Removes this process's file, if there is one, and lets its lock go.
    void Remove() const;

    // The recovery files whose program is no longer running, oldest first: those of other
    // copies of RecoveryFile (this program's or others') that still run are never among them.
    std::vector<Leftover> FindLeftovers() const;
    // Keeps a leftover aside under a name with its time ("unsaved case 2026-12-08 14-05-09.txt"),
    // where it is no longer offered. Returns the new path, or an empty text on failure.
    static QString SetAside(const Leftover& leftover);
    // How the question names the time a leftover was written.
    static QString TimeText(const QDateTime& time);

private:
    QString folder;
    QString stem; // the file's name without ".txt", made when this copy was
    // Shared by copies: the session's copy and its maker's are one recovery file.
    std::shared_ptr<QLockFile> lock;
};
