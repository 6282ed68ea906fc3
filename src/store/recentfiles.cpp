#include "store/recentfiles.h"

#include "store/datafileformat.h"
#include "common/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString RecentFiles::normalized(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void RecentFiles::moveToTop(const QString &path)
{
    const QString wanted = normalized(path);
    for (int i = 0; i < m_paths.size(); ++i) {
        if (normalized(m_paths[i]) == wanted) {
            m_paths.move(i, 0);
            return;
        }
    }
    m_paths.prepend(path);
    while (m_paths.size() > Capacity)
        m_paths.removeLast();
}

void RecentFiles::removeAt(int index)
{
    if (index >= 0 && index < m_paths.size())
        m_paths.removeAt(index);
}

void RecentFiles::remove(const QString &path)
{
    const QString unwanted = normalized(path);
    m_paths.removeIf([&unwanted](const QString &entry) { return normalized(entry) == unwanted; });
}

void RecentFiles::load(const QString &listFile)
{
    m_paths.clear();
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = DataFileFormat::decode(file.readAll());
    for (const QString &line : text.split(DataFileFormat::kLineBreak)) {
        if (!line.isEmpty() && m_paths.size() < Capacity)
            m_paths.append(line);
    }
}

void RecentFiles::save(const QString &listFile) const
{
    QByteArray bytes;
    for (const QString &path : m_paths)
        bytes += path.toUtf8() + "\r\n";
    SafeFile::writeBytes(listFile, bytes);
}
