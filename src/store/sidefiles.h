#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The picture files that belong to a data file: named after it with ".b" and
// a number, beside it in its folder. Files are compared by identity (the
// canonical path, symlinks resolved), never by spelling.
namespace SideFiles {

// Whether `fileName` is a name this program gives the side files of the data
// file named `dataFileName`: that name, ".b" and a decimal number.
bool isSideFileName(QStringView fileName, QStringView dataFileName);

// The side files of a data file present in its folder, as absolute paths.
QStringList onDisk(const QString &dataFilePath);

// The file a stored side-file path stands for: a file beside the data file
// with the stored name when that name is the data file's own side-file name
// (a collection copied elsewhere keeps its own pictures), else the stored
// path, else a file of that name beside the data file. Empty when none exists.
QString locate(const QString &storedPath, const QString &dataFilePath);

// What identifies a file whatever the spelling of its path; empty when it does not exist.
QString identity(const QString &path);

// The identities of many paths at once, for one task: each folder's canonical
// path is found once, not once per file (thousands of pictures share one).
class Identities
{
public:
    QString of(const QString &path);

private:
    QHash<QString, QString> m_folders;
};

// The identities of the side files a data file names (its lines are scanned,
// so a damaged file still tells which pictures it needs).
QSet<QString> referencedBy(const QString &namingFile, const QString &dataFilePath);

// A path for a new side file of the data file whose name is not in `taken`
// (file names). Throws ProgramError when no name is left.
QString freeName(const QString &dataFilePath, const QSet<QString> &taken);

// Removes the temporary files a write of this data file, its side files,
// backup or corrupt copy left behind when the program was killed mid-write.
void removeLeftovers(const QString &dataFilePath);

} // namespace SideFiles
