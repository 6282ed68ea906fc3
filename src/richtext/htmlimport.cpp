#include "richtext/htmlimport.h"

#include "richtext/htmldecoding.h"
#include "richtext/richtextplain.h"
#include "richtext/rtfwriter.h"

#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <array>
#include <vector>

namespace HtmlImport {

namespace {

// The size the markup's relative sizes (headings, <font size>) are taken
// from: a browser's 16 pixels.
constexpr qreal kBaseSize = 12.0;
// Indent of each list level, in points.
constexpr qreal kListIndent = 18.0;

// The document Qt's HTML reader fills. The reader asks it for style sheets
// and background pictures, and showing a picture would ask again; a
// QTextDocument answers by opening local files, and a file named in a copy
// may be a FIFO or a device that never answers. This one answers nothing.
class SealedDocument : public QTextDocument
{
public:
    SealedDocument()
    {
        setUndoRedoEnabled(false);
        QFont base = defaultFont();
        base.setPointSizeF(kBaseSize);
        setDefaultFont(base);
    }

protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

bool isVoidElement(QStringView name)
{
    static const std::array<QStringView, 16> kVoid{u"br",   u"img",   u"hr",    u"meta",  u"link",   u"input",
                                                   u"wbr",  u"col",   u"area",  u"base",  u"embed",  u"param",
                                                   u"source", u"track", u"keygen", u"basefont"};
    return std::any_of(kVoid.begin(), kVoid.end(),
                       [&](QStringView v) { return name.compare(v, Qt::CaseInsensitive) == 0; });
}

// Elements a reader closes by itself when the next one of their kind opens.
bool closesItsSibling(QStringView name)
{
    static const std::array<QStringView, 8> kImplied{u"p", u"li", u"dt", u"dd", u"tr", u"td", u"th", u"option"};
    return std::any_of(kImplied.begin(), kImplied.end(),
                       [&](QStringView v) { return name.compare(v, Qt::CaseInsensitive) == 0; });
}

bool isRawText(QStringView name)
{
    return name.compare(u"script", Qt::CaseInsensitive) == 0 || name.compare(u"style", Qt::CaseInsensitive) == 0;
}

// How deep the markup nests, counted as a reader would, stopping as soon as
// it passes `limit`; the stack never grows past it.
bool nestsWithin(QStringView html, int limit)
{
    std::vector<QStringView> open;
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = html.indexOf(QLatin1Char('<'), i);
        if (lt < 0 || lt + 1 >= n)
            break;
        i = lt + 1;
        if (html.sliced(i).startsWith(u"!--")) {
            const qsizetype end = html.indexOf(u"-->", i + 3);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const bool closing = html[i] == QLatin1Char('/');
        if (closing)
            ++i;
        qsizetype nameEnd = i;
        while (nameEnd < n && (html[nameEnd].isLetterOrNumber() || html[nameEnd] == QLatin1Char('-')))
            ++nameEnd;
        const QStringView name = html.sliced(i, nameEnd - i);
        const qsizetype gt = html.indexOf(QLatin1Char('>'), nameEnd);
        if (gt < 0)
            break;
        i = gt + 1;
        if (name.isEmpty() || !html[lt + 1 + (closing ? 1 : 0)].isLetter())
            continue;  // <!DOCTYPE>, <?xml?>, a stray "<"
        const auto same = [&](QStringView other) { return other.compare(name, Qt::CaseInsensitive) == 0; };
        if (closing) {
            const auto it = std::find_if(open.rbegin(), open.rend(), same);
            if (it != open.rend())
                open.erase(std::next(it).base(), open.end());
            continue;
        }
        if (isVoidElement(name) || html[gt - 1] == QLatin1Char('/'))
            continue;
        if (isRawText(name)) {
            // Its content is not markup: skip to its end tag.
            const QString endTag = QLatin1String("</") + name.toString();
            const qsizetype end = html.indexOf(endTag, i, Qt::CaseInsensitive);
            i = end < 0 ? n : end;
            continue;
        }
        if (closesItsSibling(name) && !open.empty() && same(open.back()))
            open.pop_back();
        open.push_back(name);
        if (int(open.size()) > limit)
            return false;
    }
    return true;
}

// Dark greys count as black when judging whether a copy was formatted at
// all: pages set them on every piece of text.
bool isTextBlack(const QColor &color)
{
    const int high = std::max({color.red(), color.green(), color.blue()});
    const int low = std::min({color.red(), color.green(), color.blue()});
    return high < 0x40 && high - low < 0x10;
}

bool hasVisibleBrush(const QTextCharFormat &format, QTextFormat::Property property)
{
    return format.hasProperty(property) && format.brushProperty(property).style() != Qt::NoBrush
           && format.brushProperty(property).color().alpha() > 0;
}

QString listMarker(const QTextList *list, const QTextBlock &block)
{
    switch (list->format().style()) {
    case QTextListFormat::ListDisc: return QStringLiteral("\u2022 ");
    case QTextListFormat::ListCircle: return QStringLiteral("\u25E6 ");
    case QTextListFormat::ListSquare: return QStringLiteral("\u25AA ");
    default: return list->itemText(block) + QLatin1Char(' ');
    }
}

// Copies what a reader made of the markup into the target document in the
// shapes RTF and the program's controls hold: no lists, tables or objects.
class Flattener
{
public:
    explicit Flattener(QTextDocument *target) : m_cursor(target) {}

    void frame(const QTextFrame *frame)
    {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                if (const auto *table = qobject_cast<const QTextTable *>(child))
                    this->table(table);
                else
                    this->frame(child);
            } else {
                block(it.currentBlock());
            }
        }
    }

    bool formatted() const { return m_styled || m_families.size() > 1 || m_sizes.size() > 1; }

private:
    void block(const QTextBlock &block)
    {
        if (visibleText(block).isEmpty()) {
            // Empty paragraphs at the very start and end are the markup's
            // spacing, not the copy's; those between stay.
            if (m_started)
                ++m_pendingEmpty;
            return;
        }
        const QTextBlockFormat source = block.blockFormat();
        QTextBlockFormat format;
        const Qt::Alignment align = source.alignment() & Qt::AlignHorizontal_Mask;
        if (align & (Qt::AlignHCenter | Qt::AlignRight | Qt::AlignJustify)) {
            format.setAlignment(align);
            m_styled = true;
        }
        qreal left = source.leftMargin() + source.indent() * kListIndent;
        const QTextList *list = block.textList();
        if (list)
            left = std::max(left, list->format().indent() * kListIndent);
        if (left > 0) {
            format.setLeftMargin(left);
            m_styled = true;
        }
        if (source.textIndent() > 0)
            format.setTextIndent(source.textIndent());
        if (source.headingLevel() > 0)
            m_styled = true;
        startBlock(format);
        if (list) {
            m_cursor.insertText(listMarker(list, block), QTextCharFormat());
            m_styled = true;
        }
        fragments(block);
    }

    void table(const QTextTable *table)
    {
        for (int row = 0; row < table->rows(); ++row) {
            bool rowStarted = false;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                if (!cell.isValid() || cell.row() != row || cell.column() != column)
                    continue;  // covered by a spanning cell
                if (!rowStarted) {
                    startBlock(QTextBlockFormat());
                    rowStarted = true;
                }
                if (column > 0)
                    m_cursor.insertText(QStringLiteral("\t"), QTextCharFormat());
                bool first = true;
                inlineBlocks(cell.begin(), cell.end(), first);
            }
        }
    }

    // The blocks of a table cell (and of any table within it) on one line.
    void inlineBlocks(QTextFrame::iterator it, const QTextFrame::iterator &end, bool &first)
    {
        for (; it != end; ++it) {
            if (const QTextFrame *child = it.currentFrame()) {
                inlineBlocks(child->begin(), child->end(), first);
                continue;
            }
            const QTextBlock block = it.currentBlock();
            if (visibleText(block).isEmpty())
                continue;
            if (!first)
                m_cursor.insertText(QStringLiteral(" "), QTextCharFormat());
            first = false;
            fragments(block);
        }
    }

    void startBlock(const QTextBlockFormat &format)
    {
        if (!m_started) {
            m_cursor.setBlockFormat(format);
            m_started = true;
            return;
        }
        for (; m_pendingEmpty > 0; --m_pendingEmpty)
            m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        m_cursor.insertBlock(format, QTextCharFormat());
    }

    void fragments(const QTextBlock &block)
    {
        // Blanks that end a paragraph are the markup's layout; a browser shows none.
        const QString all = block.text();
        qsizetype end = all.size();
        while (end > 0 && all[end - 1] == QLatin1Char(' '))
            --end;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat source = fragment.charFormat();
            const qsizetype at = fragment.position() - block.position();
            if (source.isImageFormat() || at >= end)
                continue;
            QString text = fragment.text().left(end - at);
            text.remove(QChar::ObjectReplacementCharacter);
            if (!text.isEmpty())
                m_cursor.insertText(text, charFormat(source, !text.trimmed().isEmpty()));
        }
    }

    QTextCharFormat charFormat(const QTextCharFormat &source, bool visible)
    {
        QTextCharFormat format;
        bool styled = false;
        if (source.fontWeight() >= QFont::DemiBold) {
            format.setFontWeight(QFont::Bold);
            styled = true;
        }
        if (source.fontItalic()) {
            format.setFontItalic(true);
            styled = true;
        }
        if (source.fontUnderline()) {
            format.setFontUnderline(true);
            styled = true;
        }
        if (source.fontStrikeOut()) {
            format.setFontStrikeOut(true);
            styled = true;
        }
        const auto vertical = source.verticalAlignment();
        if (vertical == QTextCharFormat::AlignSuperScript || vertical == QTextCharFormat::AlignSubScript) {
            format.setVerticalAlignment(vertical);
            styled = true;
        }
        if (hasVisibleBrush(source, QTextFormat::ForegroundBrush)) {
            const QColor color = source.foreground().color();
            format.setForeground(color);
            styled = styled || !isTextBlack(color);
        }
        if (hasVisibleBrush(source, QTextFormat::BackgroundBrush)) {
            const QColor color = source.background().color();
            format.setBackground(color);
            styled = styled || color.rgb() != qRgb(255, 255, 255);
        }
        const QString family = source.fontFamilies().toStringList().value(0);
        if (!family.isEmpty())
            format.setFontFamilies(QStringList{family});
        qreal size = 0;
        if (source.hasProperty(QTextFormat::FontPointSize) || source.hasProperty(QTextFormat::FontPixelSize)
            || source.hasProperty(QTextFormat::FontSizeAdjustment)) {
            // Resolved against the document's base size; pixels as a browser counts them.
            const QFont font = source.font();
            size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
            size = std::clamp(std::round(size * 2) / 2, 1.0, 1638.0);
            format.setFontPointSize(size);
        }
        if (visible) {
            m_styled = m_styled || styled;
            if (m_families.size() < 2)
                m_families.insert(family);
            if (m_sizes.size() < 2)
                m_sizes.insert(size);
        }
        return format;
    }

    static QString visibleText(const QTextBlock &block)
    {
        QString text = block.text();
        text.remove(QChar::ObjectReplacementCharacter);
        return text;
    }

    QTextCursor m_cursor;
    bool m_started = false;
    int m_pendingEmpty = 0;
    bool m_styled = false;
    QSet<QString> m_families;
    QSet<qreal> m_sizes;
};

} // namespace

bool withinBounds(QStringView html)
{
    return html.size() <= MaxMarkupCharacters && nestsWithin(html, MaxNesting);
}

bool read(const QString &html, QTextDocument *document, bool *formatted)
{
    if (formatted)
        *formatted = false;
    if (!withinBounds(html))
        return false;
    SealedDocument source;
    source.setHtml(html);
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    Flattener flattener(document);
    flattener.frame(source.rootFrame());
    document->setUndoRedoEnabled(undo);
    if (formatted)
        *formatted = flattener.formatted();
    return true;
}

Result convert(QByteArrayView bytes)
{
    Result result;
    QTextDocument document;
    bool formatted = false;
    if (!read(HtmlDecoding::decode(bytes), &document, &formatted))
        return result;
    result.plain = RichTextPlain::plainText(document);
    if (formatted && !result.plain.trimmed().isEmpty()) {
        result.outcome = Result::Formatted;
        result.rtf = RtfWriter::write(document);
    } else {
        result.outcome = Result::PlainOnly;
    }
    return result;
}

} // namespace HtmlImport
