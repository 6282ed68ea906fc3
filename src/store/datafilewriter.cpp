#include "store/datafilewriter.h"

#include "store/datafileformat.h"
#include "common/safefile.h"
#include "store/sidefiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringEncoder>

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

QStringList DataFileWriter::clearAway(const Collection &collection, QSet<QString> &taken) const
{
    SideFiles::removeLeftovers(m_dataFilePath);

    // What the items use, what must stay besides, and what is stale.
    SideFiles::Identities identities;
    QSet<QString> inUse = m_keep;
    for (const auto &category : collection.categories()) {
        for (const auto &item : category->items) {
            if (item->kind == ItemKind::Image)
                inUse.insert(identities.of(item->text));
        }
    }
    inUse.remove(QString());
    QStringList stale;
    for (const QString &path : SideFiles::onDisk(m_dataFilePath)) {
        taken.insert(QFileInfo(path).fileName());
        if (m_sweep && !inUse.contains(identities.of(path))
            && (m_keepWrittenSince < 0 || QFileInfo(path).lastModified().toMSecsSinceEpoch() < m_keepWrittenSince))
            stale << path;
    }
    // Stale files the data file on disk does not name either are freed
    // now; the others go once a new data file has replaced it.
    if (!stale.isEmpty()) {
        const QSet<QString> named = SideFiles::referencedBy(m_dataFilePath, m_dataFilePath);
        for (auto it = stale.begin(); it != stale.end();) {
            if (!named.contains(identities.of(*it)) && QFile::remove(*it)) {
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

    // Names for the adopted pictures and the data file's bytes, all decided now.
    struct Adopted
    {
        Item *item;
        QString from;
    };
    QList<Adopted> adopted;
    QHash<QString, QString> copies;  // one copy for pictures items share
    if (m_adopt) {
        for (const auto &category : collection.categories()) {
            for (const auto &item : category->items) {
                // A missing file has nothing to copy; the item keeps its path.
                if (item->kind != ItemKind::Image || !QFileInfo(item->text).isFile())
                    continue;
                QString &copy = copies[item->text];
                if (copy.isEmpty()) {
                    copy = SideFiles::freeName(m_dataFilePath, taken);
                    taken.insert(QFileInfo(copy).fileName());
                }
                adopted.append({item.get(), item->text});
                item->text = copy;
            }
        }
    }
    const QByteArray bytes = serialize(collection);

    // From here on what changes belongs to the next save.
    const bool editModified = collection.editModified();
    const bool captureModified = collection.captureModified();
    collection.clearModified();
    try {
        for (auto it = copies.cbegin(); it != copies.cend(); ++it)
            SafeFile::copy(it.key(), it.value());
        SafeFile::writeBytes(m_dataFilePath, bytes);
    } catch (...) {
        // The items go on naming the files they named; the copies, on fresh
        // names, served nothing.
        for (const Adopted &picture : std::as_const(adopted))
            picture.item->text = picture.from;
        for (const QString &copy : std::as_const(copies))
            QFile::remove(copy);
        if (editModified)
            collection.setEditModified();
        if (captureModified)
            collection.setCaptureModified();
        throw;
    }

    for (const QString &path : std::as_const(stale))
        QFile::remove(path);
}
