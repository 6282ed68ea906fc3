#pragma once

#include <QStringList>

// The recent group lists, newest first, at most five, kept in "dblist.txt".
// Paths are compared exactly once made absolute and clean: on Linux two
// spellings name two files.
class RecentFiles
{
public:
    static constexpr int Capacity = 5;

    const QStringList &paths() const { return m_paths; }

    void moveToTop(const QString &path);
    void removeAt(int index);
    void remove(const QString &path);
    void clear() { m_paths.clear(); }

    // A missing file is an empty list.
    void load(const QString &listFile);
    void save(const QString &listFile) const;

    static QString normalized(const QString &path);

private:
    QStringList m_paths;
};
