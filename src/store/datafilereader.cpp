#include "store/datafilereader.h"

#include "store/sidefiles.h"

#include "store/createdstamp.h"
#include "store/datafileformat.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

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

class Parser
{
public:
    Parser(const QString &text)
        : m_text(text)
    {
        splitLines();
    }

    QStringView at(qsizetype i) const { return QStringView(m_text).mid(m_lines[i].start, m_lines[i].length); }
    qsizetype count() const { return m_lines.size(); }
    bool hasMore() const { return m_pos < count(); }

    QStringView next()
    {
        if (m_pos >= count())
            throw LinesExhausted{};
        return at(m_pos++);
    }

    int nextInteger(const char *what)
    {
        const QStringView line = next();
        const auto value = parseInteger(line);
        if (!value)
            throw DamagedBlock{QStringLiteral("%1 is not an integer: \"%2\"").arg(QLatin1String(what), line.left(40))};
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
        return m_text.mid(begin, last.start + last.length - begin);
    }

    qsizetype pos() const { return m_pos; }
    void setPos(qsizetype pos) { m_pos = pos; }

private:
    void splitLines()
    {
        qsizetype start = 0;
        for (qsizetype cr = m_text.indexOf(QLatin1Char('\r')); cr >= 0 && cr + 1 < m_text.size();
             cr = m_text.indexOf(QLatin1Char('\r'), cr + 1)) {
            if (m_text.at(cr + 1) != QLatin1Char('\n'))
                continue;
            m_lines.push_back({start, cr - start});
            start = cr + 2;
            cr = start - 1;
        }
        if (start < m_text.size())
            m_lines.push_back({start, m_text.size() - start});
        if (!m_lines.empty() && at(count() - 1).contains(kTrailerMark))
            m_lines.pop_back();
    }

    const QString &m_text;
    std::vector<Line> m_lines;
    qsizetype m_pos = 0;
};

int digit(QChar c)
{
    return c.unicode() - '0';
}

int decimalWidth(int value)
{
    int width = value < 0 ? 2 : 1;
    for (value = value < 0 ? -(value / 10) : value / 10; value > 0; value /= 10)
        ++width;
    return width;
}

bool isDigits(QStringView s)
{
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

DataFileReader::DataFileReader(QString dataFilePath, qint64 fileSize)
    : m_dataFilePath(std::move(dataFilePath)), m_fileSize(fileSize)
{
}

ParseResult DataFileReader::parse(const QString &text)
{
    ParseResult result;
    Parser p(text);
    qint64 total = 0;
    int lastPercent = -1;
    const QString now = createdStamp();

    try {
        while (p.hasMore()) {
            auto category = std::make_unique<CategoryNode>();
            CategorySettings &rec = category->rec;
            const QStringView first = p.next();
            if (parseInteger(first)) {
                // A header is three digits; anything shorter or signed is damage.
                if (first.size() < 3 || !isDigits(first.left(3)))
                    throw DamagedBlock{QStringLiteral("bad category header \"%1\"").arg(first.left(40))};
                rec.Action = digit(first[0]);
                rec.PasteMethod = digit(first[1]);
                rec.ActionCount = digit(first[2]);
                if (rec.Action == 5)
                    rec.setExtraText(p.next().toString());
                category->name = p.next().toString();
            } else {
                category->name = first.toString();
            }
            rec.Limit = p.nextInteger("limit");
            rec.LockAtLimit = p.nextInteger("lock");
            const int itemCount = p.nextInteger("item count");
            CategoryNode *node = category.get();
            result.categories.push_back(std::move(category));

            for (int i = 0; i < itemCount; ++i) {
                auto item = std::make_unique<Item>();
                item->Category = node->name;
                item->Alias = p.next().toString();
                const QStringView createdOrCount = p.next();
                QStringView countLine = createdOrCount;
                if (createdOrCount.contains(QLatin1Char(','))) {
                    item->Created = createdOrCount.toString();
                    countLine = p.next();
                } else {
                    item->Created = now;
                }
                const auto lines = parseInteger(countLine);
                if (!lines)
                    throw DamagedBlock{QStringLiteral("line count is not an integer: \"%1\"").arg(countLine.left(40))};
                item->Text = p.takeText(*lines);
                const qsizetype afterText = p.pos();

                qsizetype taken = -1;
                for (qsizetype k = 0; k < 3 && afterText + k < p.count(); ++k) {
                    if (p.at(afterText + k).size() == 4) {
                        taken = afterText + k;
                        break;
                    }
                }
                if (taken < 0)
                    taken = afterText + 2;
                if (taken >= p.count())
                    throw LinesExhausted{};
                const QStringView flags = p.at(taken);
                p.setPos(taken + 1);
                if (flags.size() < 4 || !isDigits(flags.left(4)) || !parseInteger(flags)) {
                    result.problems.push_back({LoadProblem::BadFlags, {}});
                    continue;
                }
                item->Action = std::int8_t(digit(flags[0]));
                item->PasteMethod = std::int8_t(digit(flags[1]));
                item->Kind = std::int8_t(digit(flags[2]));
                item->ActionCount = std::int8_t(digit(flags[3]));
                if (item->Action == 5)
                    item->ExtraText = p.next().toString();

                if (item->Kind == Item::Image) {
                    const QString found = SideFiles::locate(item->Text, m_dataFilePath);
                    if (found.isEmpty()) {
                        result.problems.push_back({LoadProblem::MissingImage, item->Text});
                        continue;
                    }
                    item->Text = found;
                    // A picture that cannot be decoded keeps its item and file, so
                    // nothing is lost and the next save does not sweep the file.
                    QImageReader reader(found);
                    reader.setAllocationLimit(1024);
                    if (!reader.read(&item->Bitmap))
                        result.problems.push_back({LoadProblem::UnreadableImage, found});
                }
                if (item->Kind == Item::PlainText && *lines > 0 && afterText < p.count()
                    && p.at(afterText).isEmpty()) {
                    item->Text += kLineBreak;
                }

                total += item->Category.size() + item->Alias.size() + decimalWidth(*lines) + item->Text.size() + 4;
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
