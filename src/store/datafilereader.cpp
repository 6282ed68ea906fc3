#include "store/datafilereader.h"

#include "store/itempictures.h"
#include "store/sidefiles.h"

#include "store/createdstamp.h"
#include "store/datafileformat.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

using namespace DataFileFormat;

namespace {

struct Line
{
    qsizetype start;
    qsizetype length;
};

struct LinesExhausted
{
};

struct DamagedBlock
{
    QString why;
};

// Works on the file's bytes: each field is decoded on its own, so a large
// file is never held a second time as one decoded text.
class Parser
{
public:
    Parser(QByteArrayView bytes, Encoding encoding)
        : m_bytes(bytes), m_encoding(encoding)
    {
        splitLines();
    }

    QByteArrayView at(qsizetype i) const { return m_bytes.sliced(m_lines[i].start, m_lines[i].length); }
    QString text(QByteArrayView line) const { return decode(line, m_encoding); }
    qsizetype lengthAt(qsizetype i) const { return decodedLength(at(i), m_encoding); }
    qsizetype count() const { return qsizetype(m_lines.size()); }
    bool hasMore() const { return m_pos < count(); }
    QString shown(QByteArrayView line) const { return text(line).left(40); }

    QByteArrayView next()
    {
        if (m_pos >= count())
            throw LinesExhausted{};
        return at(m_pos++);
    }

    QString nextText() { return text(next()); }

    // Items made in the same minute carry the same stamp; they share one string.
    QString stamp(QByteArrayView line)
    {
        if (line != m_lastStampBytes) {
            m_lastStampBytes = line;
            m_lastStamp = text(line);
        }
        return m_lastStamp;
    }

    int nextInteger(const char *what)
    {
        const QByteArrayView line = next();
        const auto value = parseInteger(QLatin1StringView(line));
        if (!value)
            throw DamagedBlock{QStringLiteral("%1 is not an integer: \"%2\"").arg(QLatin1String(what), shown(line))};
        return *value;
    }

    // The text of `lines` lines starting at the cursor: they stand contiguous
    // in the file, so their CR LF joined form is one slice of it.
    QString takeText(int lines)
    {
        if (lines <= 0)
            return {};
        if (count() - m_pos < lines)
            throw LinesExhausted{};
        const qsizetype begin = m_lines[m_pos].start;
        const Line &last = m_lines[m_pos + lines - 1];
        m_pos += lines;
        return text(m_bytes.sliced(begin, last.start + last.length - begin));
    }

    qsizetype pos() const { return m_pos; }
    void setPos(qsizetype pos) { m_pos = pos; }

private:
    void splitLines()
    {
        qsizetype start = 0;
        for (qsizetype cr = m_bytes.indexOf('\r'); cr >= 0 && cr + 1 < m_bytes.size();
             cr = m_bytes.indexOf('\r', cr + 1)) {
            if (m_bytes.at(cr + 1) != '\n')
                continue;
            m_lines.push_back({start, cr - start});
            start = cr + 2;
            cr = start - 1;
        }
        if (start < m_bytes.size())
            m_lines.push_back({start, m_bytes.size() - start});
        if (!m_lines.empty() && at(count() - 1).contains(kTrailerMarkBytes))
            m_lines.pop_back();
    }

    static constexpr QByteArrayView kTrailerMarkBytes{"SK: "};

    QByteArrayView m_bytes;
    Encoding m_encoding;
    QByteArrayView m_lastStampBytes;
    QString m_lastStamp;
    std::vector<Line> m_lines;
    qsizetype m_pos = 0;
};

int digit(char c)
{
    return c - '0';
}

int decimalWidth(int value)
{
    int width = value < 0 ? 2 : 1;
    for (value = value < 0 ? -(value / 10) : value / 10; value > 0; value /= 10)
        ++width;
    return width;
}

bool isDigits(QByteArrayView s)
{
    for (const char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

DataFileReader::DataFileReader(QString dataFilePath, qint64 fileSize)
    : m_dataFilePath(std::move(dataFilePath)), m_fileSize(fileSize)
{
}

bool DataFileReader::startsLikeDataFile(QByteArrayView head, bool wholeFile)
{
    const QByteArrayView readable = readablePart(head);
    // A data file never holds a NUL: one in the head ends the text there,
    // and what follows is not ours.
    const bool cutShort = readable.size() < head.size();
    std::vector<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype brk = readable.indexOf("\r\n"); brk >= 0 && lines.size() < 6;
         brk = readable.indexOf("\r\n", start)) {
        lines.push_back(readable.sliced(start, brk - start));
        start = brk + 2;
    }
    const bool allRead = (wholeFile || cutShort) && lines.size() < 6;
    if (allRead && start < readable.size())
        lines.push_back(readable.sliced(start));
    if (allRead && !lines.empty() && lines.back().contains("SK: "))
        lines.pop_back();
    if (lines.empty())
        return wholeFile && !cutShort && !readable.isEmpty();  // the trailer alone: an empty collection

    const auto isInteger = [](QByteArrayView line) { return parseInteger(QLatin1StringView(line)).has_value(); };
    const QByteArrayView first = lines.front();
    if (isInteger(first))
        return first.size() >= 3 && isDigits(first.first(3));
    // The older layout: a name, then its limit. What follows may be damaged:
    // a damaged data file still goes the way that keeps a copy of it.
    return lines.size() >= 2 && isInteger(lines[1]);
}

ParseResult DataFileReader::parse(QByteArrayView bytes)
{
    ParseResult result;
    const QByteArrayView readable = readablePart(bytes);
    Parser p(readable, encodingOf(readable));
    qint64 total = 0;
    int lastPercent = -1;
    const QString now = createdStamp();

    try {
        while (p.hasMore()) {
            auto category = std::make_unique<CategoryNode>();
            CategorySettings &rec = category->rec;
            const QByteArrayView first = p.next();
            if (parseInteger(QLatin1StringView(first))) {
                // A header is three digits; anything shorter or signed is damage.
                if (first.size() < 3 || !isDigits(first.first(3)))
                    throw DamagedBlock{QStringLiteral("bad category header \"%1\"").arg(p.shown(first))};
                rec.action = AfterPasteAction(digit(first[0]));
                rec.pasteMethod = PasteMethod(digit(first[1]));
                rec.actionCount = digit(first[2]);
                if (rec.action == AfterPasteAction::TypeExtraText)
                    rec.setExtraText(p.nextText());
                category->name = p.nextText();
            } else {
                category->name = p.text(first);
            }
            rec.limit = p.nextInteger("limit");
            rec.lockAtLimit = p.nextInteger("lock") == 1;
            const int itemCount = p.nextInteger("item count");
            CategoryNode *node = category.get();
            result.categories.push_back(std::move(category));

            for (int i = 0; i < itemCount; ++i) {
                auto item = std::make_unique<Item>();
                item->category = node->name;
                item->alias = p.nextText();
                const QByteArrayView createdOrCount = p.next();
                QByteArrayView countLine = createdOrCount;
                if (createdOrCount.contains(',')) {
                    item->created = p.stamp(createdOrCount);
                    countLine = p.next();
                } else {
                    item->created = now;
                }
                const auto lines = parseInteger(QLatin1StringView(countLine));
                if (!lines)
                    throw DamagedBlock{QStringLiteral("line count is not an integer: \"%1\"").arg(p.shown(countLine))};
                item->text = p.takeText(*lines);
                const qsizetype afterText = p.pos();

                qsizetype taken = -1;
                for (qsizetype k = 0; k < 3 && afterText + k < p.count(); ++k) {
                    if (p.lengthAt(afterText + k) == 4) {
                        taken = afterText + k;
                        break;
                    }
                }
                if (taken < 0)
                    taken = afterText + 2;
                if (taken >= p.count())
                    throw LinesExhausted{};
                const QByteArrayView flags = p.at(taken);
                p.setPos(taken + 1);
                if (flags.size() < 4 || !isDigits(flags.first(4)) || !parseInteger(QLatin1StringView(flags))) {
                    result.problems.push_back({LoadProblem::BadFlags, {}});
                    continue;
                }
                item->action = AfterPasteAction(digit(flags[0]));
                item->pasteMethod = PasteMethod(digit(flags[1]));
                item->kind = ItemKind(digit(flags[2]));
                item->actionCount = std::int8_t(digit(flags[3]));
                if (item->action == AfterPasteAction::TypeExtraText)
                    item->extraText = p.nextText();

                if (item->kind == ItemKind::Image) {
                    const QString found = SideFiles::locate(item->text, m_dataFilePath);
                    if (found.isEmpty()) {
                        result.problems.push_back({LoadProblem::MissingImage, item->text});
                        continue;
                    }
                    item->text = found;
                    // Only the header is read now; the pixels when the picture is
                    // needed. One that is no picture keeps its item and file, so
                    // nothing is lost and the next save does not sweep the file.
                    item->pictureSize = ItemPictures::declaredSize(found);
                    if (!item->pictureSize.isValid())
                        result.problems.push_back({LoadProblem::UnreadableImage, found});
                }
                // The writer marks a final line break with an empty line, for
                // rich text as for plain; reading it back for both keeps the text whole.
                if (item->kind != ItemKind::Image && *lines > 0 && afterText < p.count()
                    && p.at(afterText).isEmpty()) {
                    item->text += kLineBreak;
                }

                total += item->category.size() + item->alias.size() + decimalWidth(*lines) + item->text.size() + 4;
                if (m_progress && m_fileSize > 0) {
                    const int percent = int(std::min<double>(100.0, std::round(double(total) / double(m_fileSize) * 100.0)));
                    if (percent != lastPercent) {
                        lastPercent = percent;
                        m_progress(percent);
                    }
                }
                node->items.push_back(std::move(item));
            }
        }
    } catch (const LinesExhausted &) {
        result.failed = true;
        result.failure = QStringLiteral("the file ends in the middle of a block");
    } catch (const DamagedBlock &damage) {
        result.failed = true;
        result.failure = damage.why;
    }
    return result;
}
