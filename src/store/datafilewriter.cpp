#include "store/datafilewriter.h"

#include "store/datafileformat.h"
#include "common/programerror.h"
#include "common/safefile.h"
#include "store/sidefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringEncoder>

#include <limits>

using namespace DataFileFormat;

namespace {

// Header and flag fields are one digit each in the file; a wider value would
// shift every line after it.
char digit(int value)
{
    return char('0' + std::clamp(value, 0, 9));
}

// A NUL would end the file for the reader; a line break inside a one-line
// field would shift every line after it.
QString oneLine(QString text)
{
    text.remove(QChar(0));
    text.replace(kLineBreak, QStringLiteral(" "));
    return text;
}

QString withoutNul(const QString &text)
{
    return text.contains(QChar(0)) ? QString(text).remove(QChar(0)) : text;
}

// Encodes straight into the output, without a temporary per line.
void appendLine(QByteArray &out, QStringView text)
{
    const qsizetype used = out.size();
    out.resize(used + text.size() * 3 + 2);
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    char *end = utf8.appendToBuffer(out.data() + used, text);
    *end++ = '\r';
    *end++ = '\n';
    out.truncate(end - out.constData());
}

} // namespace

DataFileWriter::DataFileWriter(QString dataFilePath)
    : m_dataFilePath(std::move(dataFilePath))
{
}

QByteArray DataFileWriter::serialize(const Collection &collection)
{
    QByteArray out;
    qsizetype estimate = 64;
    for (const auto &category : collection.categories()) {
        for (const auto &item : category->items)
            estimate += (item->alias.size() + item->created.size() + item->text.size()) * 2 + 16;
    }
    out.reserve(estimate);

    for (const auto &category : collection.categories()) {
        const CategorySettings &rec = category->rec;
        out += digit(int(rec.action));
        out += digit(int(rec.pasteMethod));
        out += digit(rec.actionCount);
        out += "\r\n";
        if (rec.action == AfterPasteAction::TypeExtraText)
            appendLine(out, oneLine(rec.extraText));
        appendLine(out, oneLine(category->name));
        appendLine(out, QString::number(rec.limit));
        appendLine(out, rec.lockAtLimit ? QStringLiteral("1") : QStringLiteral("0"));
        appendLine(out, QString::number(category->itemCount()));
        for (const auto &item : category->items) {
            const QString text = withoutNul(item->text);
            appendLine(out, oneLine(item->alias));
            appendLine(out, oneLine(item->created));
            appendLine(out, QString::number(lineCount(text)));
            appendLine(out, text);
            out += digit(int(item->action));
            out += digit(int(item->pasteMethod));
            out += digit(int(item->kind));
            out += digit(item->actionCount);
            out += "\r\n";
            if (item->action == AfterPasteAction::TypeExtraText)
                appendLine(out, oneLine(item->extraText));
        }
    }
    appendLine(out, kTrailerMark + kVersion);
    return out;
}

QString DataFileWriter::freeSideFileName(const QSet<QString> &taken) const
{
    // Random names in the range stored collections expect first, a scan of
    // that range once chance has failed, and past it when it is full: the
    // reader takes any number, so a collection may hold more pictures.
    const auto freeName = [&](int number) {
        const QString name = sideFileName(m_dataFilePath, number);
        return taken.contains(QFileInfo(name).fileName()) ? QString() : name;
    };
    for (int attempt = 0; attempt < 4 * kMaxSideFiles; ++attempt) {
        const QString name = freeName(int(QRandomGenerator::global()->bounded(kMaxSideFiles)));
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

QStringList DataFileWriter::clearAway(const Collection &collection, QSet<QString> &taken) const
{
    SideFiles::removeLeftovers(m_dataFilePath);

    // What the items use, what must stay besides, and what is stale.
    QSet<QString> inUse = m_keep;
    for (const auto &category : collection.categories()) {
        for (const auto &item : category->items) {
            if (item->kind == ItemKind::Image)
                inUse.insert(SideFiles::identity(item->text));
        }
    }
    inUse.remove(QString());
    QStringList stale;
    for (const QString &path : SideFiles::onDisk(m_dataFilePath)) {
        taken.insert(QFileInfo(path).fileName());
        if (m_sweep && !inUse.contains(SideFiles::identity(path)))
            stale << path;
    }
    // Stale files the data file on disk does not name either are freed
    // now; the others go once a new data file has replaced it.
    if (!stale.isEmpty()) {
        const QSet<QString> named = SideFiles::referencedBy(m_dataFilePath, m_dataFilePath);
        for (auto it = stale.begin(); it != stale.end();) {
            if (!named.contains(SideFiles::identity(*it)) && QFile::remove(*it)) {
                taken.remove(QFileInfo(*it).fileName());
                it = stale.erase(it);
            } else {
                ++it;
            }
        }
    }
    return stale;
}

void DataFileWriter::removeUnused(const Collection &collection) const
{
    QSet<QString> taken;
    clearAway(collection, taken);
}

void DataFileWriter::write(Collection &collection)
{
    // Stale files are freed before the new pictures get their names.
    QSet<QString> taken;
    const QStringList stale = clearAway(collection, taken);

    // Names for the new pictures and the data file's bytes, all decided now.
    struct NewPicture
    {
        QString path;
        QImage picture;
    };
    QList<NewPicture> pictures;
    for (const auto &category : collection.categories()) {
        for (const auto &item : category->items) {
            // Without a picture there is nothing to write; the item keeps its path.
            if (item->kind != ItemKind::Image || QFileInfo(item->text).isFile() || item->bitmap.isNull())
                continue;
            const QString path = freeSideFileName(taken);
            taken.insert(QFileInfo(path).fileName());
            item->text = path;
            pictures.append({path, item->bitmap});
        }
    }
    const QByteArray bytes = serialize(collection);

    // From here on what changes belongs to the next save.
    const bool editModified = collection.editModified();
    const bool captureModified = collection.captureModified();
    collection.clearModified();
    try {
        for (const NewPicture &picture : std::as_const(pictures)) {
            SafeFile::writeImage(picture.path, picture.picture, "BMP");
            if (m_yield)
                m_yield();
        }
        SafeFile::writeBytes(m_dataFilePath, bytes);
    } catch (...) {
        if (editModified)
            collection.setEditModified();
        if (captureModified)
            collection.setCaptureModified();
        throw;
    }

    for (const QString &path : std::as_const(stale))
        QFile::remove(path);
}
