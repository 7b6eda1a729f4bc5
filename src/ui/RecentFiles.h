#pragma once

#include <QString>
#include <QStringList>

// The data files opened or saved most recently, newest first, at most eight, kept in the
// program's settings so they survive a restart.
class RecentFiles {
public:
    static constexpr int kMaxEntries = 8;

    // The list as the settings hold it.
    QStringList Entries() const;
    // Puts the file first (moving it up if it is already listed) and drops the oldest beyond
    // eight.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Store(const QStringList& entries);
};
