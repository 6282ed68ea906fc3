#include "store/sidefiles.h"

#include "store/datafileformat.h"
#include "common/programerror.h"
#include "common/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <limits>

namespace SideFiles {

namespace {

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QStringView fileNameOf(QStringView path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

QStringList namesInFolderOf(const QString &dataFilePath)
{
    return QFileInfo(dataFilePath).absoluteDir().entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

bool isSideFileName(QStringView fileName, QStringView dataFileName)
{
    return fileName.size() > dataFileName.size() + 2 && fileName.startsWith(dataFileName)
           && fileName.mid(dataFileName.size(), 2) == QLatin1String(".b")
           && allDigits(fileName.mid(dataFileName.size() + 2));
}

QStringList onDisk(const QString &dataFilePath)
{
    const QFileInfo data(dataFilePath);
    const QDir folder = data.absoluteDir();
    QStringList paths;
    // Matched by rule rather than a name filter: data file names may hold glob characters.
    for (const QString &name : namesInFolderOf(dataFilePath)) {
        if (isSideFileName(name, data.fileName()))
            paths << folder.absoluteFilePath(name);
    }
    return paths;
}

QString locate(const QString &storedPath, const QString &dataFilePath)
{
    const QStringView name = fileNameOf(storedPath);
    if (name.trimmed().isEmpty())
        return {};
    const QFileInfo data(dataFilePath);
    const QString beside = data.absoluteDir().filePath(name.toString());
    // The backup, loaded in its data file's place, owns that file's pictures.
    QString dataName = data.fileName();
    if (dataName.endsWith(QLatin1String(".~bk")))
        dataName.chop(4);
    const bool own = isSideFileName(name, dataName);
    if (own && QFileInfo(beside).isFile())
        return beside;
    if (QFileInfo(storedPath).isFile())
        return storedPath;
    return QFileInfo(beside).isFile() ? beside : QString();
}

QString identity(const QString &path)
{
    return Identities().of(path);
}

QString Identities::of(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    if (file.isSymLink())
        return file.canonicalFilePath();
    const QString folder = file.absolutePath();
    auto known = m_folders.constFind(folder);
    if (known == m_folders.constEnd())
        known = m_folders.insert(folder, QFileInfo(folder).canonicalFilePath());
    if (known->isEmpty())
        return file.canonicalFilePath();
    return known->endsWith(QLatin1Char('/')) ? *known + file.fileName() : *known + QLatin1Char('/') + file.fileName();
}

QSet<QString> referencedBy(const QString &namingFile, const QString &dataFilePath)
{
    QSet<QString> found;
    QFile file(namingFile);
    if (!file.open(QIODevice::ReadOnly))
        return found;
    const QString text = DataFileFormat::decode(file.readAll());
    const QString dataName = QFileInfo(dataFilePath).fileName();
    Identities identities;
    for (const QStringView line : QStringView(text).split(DataFileFormat::kLineBreak)) {
        const QStringView name = fileNameOf(line);
        if (!isSideFileName(name, dataName))
            continue;
        // Whichever file the reader would take, and the one the path names.
        for (const QString &candidate : {locate(line.toString(), dataFilePath), line.toString()}) {
            const QString id = identities.of(candidate);
            if (!id.isEmpty())
                found.insert(id);
        }
    }
    return found;
}

QString freeName(const QString &dataFilePath, const QSet<QString> &taken)
{
    // Random names in the range stored collections expect first, a scan of
    // that range once chance has failed, and past it when it is full: the
    // reader takes any number, so a collection may hold more pictures.
    const auto freeName = [&](int number) {
        const QString name = DataFileFormat::sideFileName(dataFilePath, number);
        return taken.contains(QFileInfo(name).fileName()) ? QString() : name;
    };
    for (int attempt = 0; attempt < 4 * DataFileFormat::kMaxSideFiles; ++attempt) {
        const QString name = freeName(int(QRandomGenerator::global()->bounded(DataFileFormat::kMaxSideFiles)));
        if (!name.isEmpty())
            return name;
    }
    for (int number = 0; number < std::numeric_limits<int>::max(); ++number) {
        const QString name = freeName(number);
        if (!name.isEmpty())
            return name;
    }
    throw ProgramError(QStringLiteral("Cannot save the image items: no free image file name is left."));
}

void removeLeftovers(const QString &dataFilePath)
{
    const QFileInfo data(dataFilePath);
    const QDir folder = data.absoluteDir();
    // Only names our own writes use: the file written, the mark, six random characters.
    static const QRegularExpression temporary(QStringLiteral("^(|\\.b[0-9]+|\\.~bk|\\.corrupt)")
                                              + QRegularExpression::escape(SafeFile::kTemporaryMark)
                                              + QStringLiteral("[A-Za-z0-9]{6}$"));
    for (const QString &name : namesInFolderOf(dataFilePath)) {
        if (name.startsWith(data.fileName())
            && temporary.match(QStringView(name).mid(data.fileName().size())).hasMatch())
            QFile::remove(folder.absoluteFilePath(name));
    }
}

} // namespace SideFiles
