#include "ui/RecoveryFile.h"

#include "base/FileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace {

const char* const kPrefix = "recovery-";
const char* const kSuffix = ".txt";
const char* const kLockSuffix = ".lock";

// "recovery-<process id>-<start time in ms>": a process number alone is taken again by another
// program after a restart, so this program's file would be another's leftover. Two recovery files
// made in one millisecond get different times.
QString NewStem() {
    static qint64 last = 0; // only the GUI thread makes recovery files
    last = std::max(QDateTime::currentMSecsSinceEpoch(), last + 1);
    return kPrefix + QString::number(QCoreApplication::applicationPid()) + "-" +
           QString::number(last);
}

// The lock of a leftover, taken; none when a running program holds it. QLockFile judges a lock
// by the process number and program name written in it, which after a restart may belong to a
// new copy of this program: a lock no process holds any more is removed all the same (the
// system's lock on the file says which).
std::shared_ptr<QLockFile> OwnerlessLock(const QString& path) {
    auto lock = std::make_shared<QLockFile>(path);
    lock->setStaleLockTime(0); // a lock is never judged by its age: a session may last days
    if (lock->tryLock(0)) {
        return lock;
    }
    if (lock->error() == QLockFile::LockFailedError && lock->removeStaleLockFile() &&
        lock->tryLock(0)) {
        return lock;
    }
    return nullptr;
}

} // namespace

RecoveryFile::RecoveryFile(QString theFolder) : folder(std::move(theFolder)), stem(NewStem()) {
    if (this->folder.isEmpty()) {
        this->folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    lock = std::make_shared<QLockFile>(QDir(folder).filePath(stem + kLockSuffix));
    lock->setStaleLockTime(0);
}

QString RecoveryFile::FilePath() const {
    return QDir(folder).filePath(stem + kSuffix);
}

bool RecoveryFile::Write(const std::string& contents, QString* error) const {
    if (!QDir().mkpath(folder)) {
        if (error) {
            *error = QStringLiteral("Cannot create the folder %1").arg(folder);
        }
        return false;
    }
    // The lock first: a file without it would be taken for a crashed program's.
    if (!lock->isLocked() && !lock->tryLock(0)) {
        if (error) {
            *error = QStringLiteral("Cannot lock %1").arg(lock->fileName());
        }
        return false;
    }
    if (const int failure =
            ReplaceFileContents(QFile::encodeName(FilePath()).toStdString(), contents)) {
        if (error) {
            *error = QString::fromLocal8Bit(FileErrorText(failure).c_str());
        }
        return false;
    }
    return true;
}

void RecoveryFile::Remove() const {
    QFile::remove(FilePath());
    if (lock->isLocked()) {
        lock->unlock();
    }
}

std::vector<RecoveryFile::Leftover> RecoveryFile::FindLeftovers() const {
    // Earlier versions named the file after the process number alone.
    static const QRegularExpression pattern(QStringLiteral("^recovery-\\d+(-\\d+)?\\.txt$"));
    std::vector<Leftover> leftovers;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("recovery-*.txt")}, QDir::Files);
    const QString own = QFileInfo(FilePath()).absoluteFilePath();
    for (const QFileInfo& file : files) {
        if (!pattern.match(file.fileName()).hasMatch() || file.absoluteFilePath() == own) {
            continue;
        }
        const QString lockPath =
            file.dir().filePath(file.completeBaseName() + QString(kLockSuffix));
        if (std::shared_ptr<QLockFile> taken = OwnerlessLock(lockPath)) {
            leftovers.push_back({file.absoluteFilePath(), file.lastModified(), std::move(taken)});
        }
    }
    std::sort(leftovers.begin(), leftovers.end(),
              [](const Leftover& a, const Leftover& b) { return a.written < b.written; });
    return leftovers;
}

QString RecoveryFile::TimeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString RecoveryFile::SetAside(const Leftover& leftover) {
    const QFileInfo file(leftover.path);
    const QString stem = QStringLiteral("unsaved case ") +
                         leftover.written.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString target = file.dir().filePath(stem + kSuffix);
    // Never over another file kept aside.
    for (int n = 2; QFileInfo::exists(target); ++n) {
        target = file.dir().filePath(stem + QStringLiteral(" (%1)").arg(n) + kSuffix);
    }
    return QFile::rename(leftover.path, target) ? target : QString();
}
