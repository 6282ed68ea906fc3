// A data file the program loads and saves must load again as it was: every
// category and item field the first load gave comes back from the file the
// save wrote, and that file loads whole. Loading and saving go through the
// manager the program uses, in a private folder holding no side files, so
// picture items name files that are not there (or, by absolute path, files
// that are no pictures) and are dropped or kept as the reader decides.
#include "fuzzsupport.h"

#include "doubles/quietdatafilehost.h"
#include "doubles/scriptedmessageboxes.h"
#include "common/programerror.h"
#include "store/datafileformat.h"
#include "store/datafilemanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

#include <cstddef>
#include <cstdint>

namespace {

// Larger files only slow the search; the reader's bounds are tried by the unit tests.
constexpr std::size_t kMaxFile = 256 * 1024;

// Every stored field of every category and item, one line each.
QStringList describe(const Collection &collection)
{
    QStringList lines;
    for (const auto &category : collection.categories()) {
        const CategorySettings &rec = category->rec;
        lines << QStringLiteral("category %1|limit %2|lock %3|action %4|method %5|count %6|extra %7")
                     .arg(category->name)
                     .arg(rec.limit)
                     .arg(int(rec.lockAtLimit))
                     .arg(int(rec.action))
                     .arg(int(rec.pasteMethod))
                     .arg(rec.actionCount)
                     .arg(rec.extraText);
        for (const auto &item : category->items) {
            lines << QStringLiteral("  item %1|created %2|kind %3|action %4|method %5|count %6|extra %7|in %8|text %9")
                         .arg(item->alias, item->created)
                         .arg(int(item->kind))
                         .arg(int(item->action))
                         .arg(int(item->pasteMethod))
                         .arg(int(item->actionCount))
                         .arg(item->extraText, item->category, item->text);
        }
    }
    return lines;
}

struct Session
{
    explicit Session(const QString &dataFile)
        : manager(collection, recent, boxes, host, QFileInfo(dataFile).absolutePath())
    {
        manager.setCurrentFile(dataFile);
        manager.loadData();
    }
    Collection collection;
    RecentFiles recent;
    ScriptedMessageBoxes boxes;
    QuietDataFileHost host;
    DataFileManager manager;
};

void clearFolder(const QString &folder)
{
    QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
}

QTemporaryDir *folder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startApplication();
    folder = new QTemporaryDir;
    if (!folder->isValid())
        qFatal("cannot make a temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxFile)
        return 0;
    clearFolder(folder->path());
    const QString dataFile = folder->filePath(QStringLiteral("data.db"));
    {
        QFile file(dataFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            qFatal("cannot write %s", qPrintable(dataFile));
    }

    // A file that does not begin as a data file is refused whole: it stays
    // as it was and nothing is written beside it.
    std::optional<Session> loaded;
    try {
        loaded.emplace(dataFile);
    } catch (const ProgramError &) {
        QFile file(dataFile);
        const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != input)
            FuzzSupport::fail("a refused file was changed", QString(), QString());
        const QStringList files = QDir(folder->path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        if (files != QStringList{QStringLiteral("data.db")})
            FuzzSupport::fail("a refused file got company", QStringLiteral("data.db"), files.join(QLatin1Char(' ')));
        return 0;
    }
    Session &first = *loaded;
    first.manager.saveData();
    const QString corrupt = DataFileFormat::corruptPath(dataFile);
    QFile::remove(corrupt);

    Session second(dataFile);
    if (QFileInfo::exists(corrupt))
        FuzzSupport::fail("the saved file did not load whole", QString(), second.boxes.texts().join(QLatin1Char('\n')));

    const QStringList before = describe(first.collection);
    const QStringList after = describe(second.collection);
    if (before != after) {
        for (qsizetype i = 0; i < std::max(before.size(), after.size()); ++i) {
            const QString was = before.value(i, QStringLiteral("(nothing)"));
            const QString is = after.value(i, QStringLiteral("(nothing)"));
            if (was != is)
                FuzzSupport::fail("the saved file loads differently", was, is);
        }
    }
    return 0;
}
