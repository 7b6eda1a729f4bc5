#pragma once

#include <QDateTime>
#include <QString>

#include <string>
#include <vector>

// The file an unsaved case is kept in while the program runs, so that a crash does not lose it:
// "recovery-<process id>.txt" in the program's data folder, holding the case as a data file.
// A file whose process is no longer running was left by a crash and is offered at the next start.
class RecoveryFile {
public:
    // A recovery file left by a process that is gone.
    struct Leftover {
        QString path;
        QDateTime written;
    };

    // `folder` empty: the program's data folder (QStandardPaths::AppDataLocation).
    explicit RecoveryFile(QString folder = {});

    const QString& Folder() const { return folder; }
    // This process's recovery file.
    QString FilePath() const;
    // Replaces the file's contents as a save does (beside it, then renamed over it). False, with
    // the reason in `error`, when it could not be written.
    bool Write(const std::string& contents, QString* error = nullptr) const;
    // Removes this process's file, if there is one.
    void Remove() const;

    // The recovery files of processes that are no longer running, oldest first.
    std::vector<Leftover> FindLeftovers() const;
    // Keeps a leftover aside under a name with its time ("unsaved case 2026-12-08 14-05-09.txt"),
    // where it is no longer offered. Returns the new path, or an empty text on failure.
    static QString SetAside(const Leftover& leftover);
    // How the question names the time a leftover was written.
    static QString TimeText(const QDateTime& time);

private:
    QString folder;
};
