#include "ui/RecoveryFile.h"

#include "base/FileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <signal.h>

namespace {

const char* const kPrefix = "recovery-";
const char* const kSuffix = ".txt";

// A process that exists, even one we may not signal, is running.
bool ProcessRunning(qint64 pid) {
    if (pid <= 0) {
        return false;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

RecoveryFile::RecoveryFile(QString theFolder) : folder(std::move(theFolder)) {
    if (this->folder.isEmpty()) {
        this->folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
}

QString RecoveryFile::FilePath() const {
    return QDir(folder).filePath(kPrefix + QString::number(QCoreApplication::applicationPid()) +
                                 kSuffix);
}

bool RecoveryFile::Write(const std::string& contents, QString* error) const {
    if (!QDir().mkpath(folder)) {
        if (error) {
            *error = QStringLiteral("Cannot create the folder %1").arg(folder);
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
}

std::vector<RecoveryFile::Leftover> RecoveryFile::FindLeftovers() const {
    static const QRegularExpression pattern(QStringLiteral("^recovery-(\\d+)\\.txt$"));
    std::vector<Leftover> leftovers;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("recovery-*.txt")}, QDir::Files);
    for (const QFileInfo& file : files) {
        const QRegularExpressionMatch match = pattern.match(file.fileName());
        if (!match.hasMatch()) {
            continue;
        }
        const qint64 pid = match.captured(1).toLongLong();
        if (pid == QCoreApplication::applicationPid() || ProcessRunning(pid)) {
            continue;
        }
        leftovers.push_back({file.absoluteFilePath(), file.lastModified()});
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
