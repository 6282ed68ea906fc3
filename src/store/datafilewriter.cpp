#include "datafilewriter.h"

#include "datafileformat.h"
#include "programerror.h"
#include "safefile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringEncoder>

using namespace DataFileFormat;

namespace {

// Header and flag fields are one digit each in the file; a wider value would
// shift every line after it.
char digit(int value)
{
    return char('0' + std::clamp(value, 0, 9));
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
            estimate += (item->Alias.size() + item->Created.size() + item->Text.size()) * 2 + 16;
    }
    out.reserve(estimate);

    for (const auto &category : collection.categories()) {
        const TCategoryRec &rec = category->rec;
        out += digit(rec.Action);
        out += digit(rec.PasteMethod);
        out += digit(rec.ActionCount);
        out += "\r\n";
        if (rec.Action == 5)
            appendLine(out, rec.ExtraText);
        appendLine(out, category->name);
        appendLine(out, QString::number(rec.Limit));
        appendLine(out, QString::number(rec.LockAtLimit));
        appendLine(out, QString::number(category->itemCount()));
        for (const auto &item : category->items) {
            appendLine(out, item->Alias);
            appendLine(out, item->Created);
            appendLine(out, QString::number(lineCount(item->Text)));
            appendLine(out, item->Text);
            out += digit(item->Action);
            out += digit(item->PasteMethod);
            out += digit(item->Kind);
            out += digit(item->ActionCount);
            out += "\r\n";
            if (item->Action == 5)
                appendLine(out, item->ExtraText);
        }
    }
    appendLine(out, kTrailerMark + kVersion);
    return out;
}

QString DataFileWriter::freeSideFileName() const
{
    // Random names first, as stored collections expect; a full scan once
    // chance has failed so that a crowded folder still finds its last names.
    for (int attempt = 0; attempt < 4 * kMaxSideFiles; ++attempt) {
        const QString name = sideFileName(m_dataFilePath, int(QRandomGenerator::global()->bounded(kMaxSideFiles)));
        if (!QFileInfo::exists(name))
            return name;
    }
    for (int number = 0; number < kMaxSideFiles; ++number) {
        const QString name = sideFileName(m_dataFilePath, number);
        if (!QFileInfo::exists(name))
            return name;
    }
    throw ProgramError(QStringLiteral(
        "Cannot save the image items: all %1 image file names \"%2.b0\" to \"%2.b%3\" are taken. "
        "Delete some image items or save the group list under another name.")
                           .arg(kMaxSideFiles)
                           .arg(QFileInfo(m_dataFilePath).fileName())
                           .arg(kMaxSideFiles - 1));
}

void DataFileWriter::storeNewPicture(TItemRec &item)
{
    const QString path = freeSideFileName();
    SafeFile::writeImage(path, item.Bitmap, "BMP");
    item.Text = path;
    if (m_yield)
        m_yield();
}

void DataFileWriter::write(Collection &collection)
{
    QSet<QString> inUse;
    for (const auto &category : collection.categories()) {
        for (const auto &item : category->items) {
            if (item->Kind != TItemRec::Image)
                continue;
            if (!QFileInfo(item->Text).isFile()) {
                // Without a picture there is nothing to write; the item keeps its path.
                if (item->Bitmap.isNull())
                    continue;
                storeNewPicture(*item);
            }
            inUse.insert(QFileInfo(item->Text).absoluteFilePath());
        }
    }
    SafeFile::writeBytes(m_dataFilePath, serialize(collection));
    collection.clearModified();
    sweepStaleSideFiles(inUse);
}

void DataFileWriter::sweepStaleSideFiles(const QSet<QString> &inUse) const
{
    const QFileInfo data(m_dataFilePath);
    QDir folder = data.absoluteDir();
    const QString prefix = data.fileName() + QStringLiteral(".b");
    // Matched by prefix rather than a name filter: data file names may hold glob characters.
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!name.startsWith(prefix))
            continue;
        const QString path = folder.absoluteFilePath(name);
        if (!inUse.contains(path))
            QFile::remove(path);
    }
}
