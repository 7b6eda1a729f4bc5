#include "ui/RecentFiles.h"

#include "ui/ProgramSettings.h"

#include <QFileInfo>

namespace {
const char* const kKey = "Recent data files";
} // namespace

QStringList RecentFiles::Entries() const {
    QStringList entries = OpenProgramSettings()->value(kKey).toStringList();
    entries.removeAll(QString());
    return entries.mid(0, kMaxEntries);
}

void RecentFiles::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList entries = Entries();
    entries.removeAll(absolute);
    entries.prepend(absolute);
    Store(entries.mid(0, kMaxEntries));
}

void RecentFiles::Remove(const QString& path) {
    QStringList entries = Entries();
    entries.removeAll(QFileInfo(path).absoluteFilePath());
    Store(entries);
}

void RecentFiles::Store(const QStringList& entries) {
    OpenProgramSettings()->setValue(kKey, entries);
}
