#include "richtext/rtfreader.h"

#include "richtext/richtextplain.h"
#include "richtext/rtfcontrolwords.h"
#include "common/textcodecs.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <array>
#include <limits>
#include <vector>

namespace RtfReader {

namespace {

using Kind = RtfControlWords::Kind;

// Deeper nesting than any real document uses; beyond it, groups are only counted.
constexpr int kMaxStoredDepth = 512;
constexpr int kMaxControlWord = 32;
// Far more distinct formats than a real document uses; the document keeps
// each one it is given anyway.
constexpr qsizetype kMaxCachedFormats = 4096;

enum class Destination { Text, Skip, FontTable, ColorTable };

struct CharState
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int vertical = 0;  // -1 sub, 1 super
    int halfPoints = -1;
    int font = -1;
    int color = -1;
    int highlight = -1;

    bool operator==(const CharState &) const = default;
};

struct ParaState
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstTwips = 0;
    bool inTable = false;

    bool operator==(const ParaState &) const = default;
};

size_t qHash(const CharState &s, size_t seed = 0)
{
    return qHashMulti(seed, s.bold, s.italic, s.underline, s.strike, s.vertical, s.halfPoints, s.font, s.color,
                      s.highlight);
}

size_t qHash(const ParaState &p, size_t seed = 0)
{
    return qHashMulti(seed, int(p.alignment), p.leftTwips, p.rightTwips, p.firstTwips, p.inTable);
}

struct Group
{
    Destination destination = Destination::Text;
    CharState chars;
    ParaState para;
    int unicodeSkip = 1;
    bool ignorableNext = false;  // a \* was seen: an unknown destination word skips the group
    bool firstWord = true;
};

struct Font
{
    QString name;
    int charset = -1;
};

int codePageOfCharset(int charset, int ansiCodePage)
{
    switch (charset) {
    case 0: case 1: return ansiCodePage;
    case 2: return 1252;  // symbol fonts: keep the bytes as Latin characters
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return ansiCodePage;
    }
}

class Reader
{
public:
    Reader(QStringView source, QTextDocument *document)
        : m_src(source), m_doc(document)
    {
        if (m_doc)
            m_cursor = QTextCursor(m_doc);
        m_stack.reserve(64);
        m_stack.push_back(Group{});
    }

    void run()
    {
        // One edit block: the cursor then skips its per-insert layout work.
        if (m_doc)
            m_cursor.beginEditBlock();
        parse();
        if (m_doc)
            m_cursor.endEditBlock();
    }

    // Without a document, stop once the first non-blank line and whether
    // anything follows it are known: all a one-line summary needs.
    void setFirstLineOnly(bool on) { m_firstLineOnly = on; }

    // Stop once this many characters (a paragraph mark counts as one) or
    // paragraphs are read; what was read up to there is kept.
    void setLimits(qsizetype characters, qsizetype paragraphs)
    {
        m_characterBudget = characters;
        m_paragraphBudget = paragraphs;
    }
    bool cut() const { return m_cut; }

    // Without a document: the characters the document would hold.
    const QString &plain() const { return m_plain; }
    qsizetype lastMarkStart() const { return m_lastMarkStart; }
    qsizetype lastMarkLength() const { return m_lastMarkLength; }

private:
    void parse()
    {
        const qsizetype n = m_src.size();
        while (m_pos < n && !m_stop) {
            const QChar c = m_src[m_pos];
            if (c == QLatin1Char('{')) {
                ++m_pos;
                m_skipChars = 0;
                openGroup();
            } else if (c == QLatin1Char('}')) {
                ++m_pos;
                m_skipChars = 0;
                closeGroup();
            } else if (c == QLatin1Char('\\')) {
                controlWord();
            } else {
                if (m_skipChars == 0 && takeRun())
                    continue;
                ++m_pos;
                if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                    continue;
                if (m_skipChars > 0) {
                    --m_skipChars;
                    continue;
                }
                plainChar(c);
            }
        }
        flushBytes();
        flushText();
        setBlockFormatIfEmpty();
    }

    Group &top() { return m_stack.back(); }

    // The bulk of a document is characters that stand for themselves: take
    // them as one run instead of one by one. False where the character at
    // m_pos needs the careful path (tabs, control characters, code-page
    // bytes, line breaks in the source).
    bool takeRun()
    {
        const char16_t *const data = m_src.utf16();
        const qsizetype n = m_src.size();
        const Destination destination = top().destination;
        if (destination == Destination::Skip) {
            // Ignored content, pictures' hex above all: on to the next group or control word.
            qsizetype end = m_pos;
            while (end < n && data[end] != u'{' && data[end] != u'}' && data[end] != u'\\')
                ++end;
            m_pos = end;
            return true;
        }
        if (destination != Destination::Text || !standsForItself(data[m_pos]))
            return false;
        // Pending bytes may end a line, so they go first.
        flushBytes();
        qsizetype end = m_pos + 1;
        // Once the first line is done, one more character ends the reading.
        if (!(m_firstLineOnly && m_lineDone)) {
            while (end < n && standsForItself(data[end]))
                ++end;
        }
        text(m_src.sliced(m_pos, end - m_pos));
        m_pos = end;
        return true;
    }

    // The two characters a document reserves for its frames take the slow path, which drops them.
    static bool standsForItself(char16_t u) { return u > 0xFF ? u != 0xFDD0 && u != 0xFDD1 : kStandsForItself[u]; }

    static constexpr std::array<bool, 256> kStandsForItself = [] {
        std::array<bool, 256> table{};
        for (int u = 0x20; u < 0x80; ++u)
            table[size_t(u)] = u != '{' && u != '}' && u != '\\';
        return table;
    }();

    void openGroup()
    {
        flushBytes();
        if (int(m_stack.size()) >= kMaxStoredDepth) {
            ++m_overflowDepth;
            return;
        }
        Group inner = top();
        inner.ignorableNext = false;
        inner.firstWord = true;
        m_stack.push_back(inner);
    }

    void closeGroup()
    {
        flushBytes();
        if (m_overflowDepth > 0) {
            --m_overflowDepth;
            return;
        }
        if (m_stack.size() <= 1)
            return;  // an unbalanced closing brace: nothing to close
        if (top().destination == Destination::FontTable && m_fontNameOpen)
            finishFontName();
        m_stack.pop_back();
    }

    // ---- control words -------------------------------------------------------

    void controlWord()
    {
        const qsizetype n = m_src.size();
        m_wordStart = m_pos;
        ++m_pos;  // the backslash
        if (m_pos >= n)
            return;
        const QChar c = m_src[m_pos];
        if (!isAsciiLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < n && isAsciiLetter(m_src[m_pos]))
            ++m_pos;
        const QStringView word = m_src.mid(start, std::min<qsizetype>(m_pos - start, kMaxControlWord));
        bool hasParam = false;
        qint64 param = 0;
        if (m_pos < n && (m_src[m_pos] == QLatin1Char('-') || isDigit(m_src[m_pos]))) {
            const bool negative = m_src[m_pos] == QLatin1Char('-');
            if (negative)
                ++m_pos;
            while (m_pos < n && isDigit(m_src[m_pos])) {
                hasParam = true;
                if (param < 0x7fffffffLL)
                    param = param * 10 + (m_src[m_pos].unicode() - '0');
                ++m_pos;
            }
            param = std::min<qint64>(param, 0x7fffffffLL);
            if (negative)
                param = -param;
        }
        if (m_pos < n && m_src[m_pos] == QLatin1Char(' '))
            ++m_pos;

        const RtfControlWords::Word w = RtfControlWords::lookup(word);
        if (m_skipChars > 0 && w.kind != Kind::Binary) {
            --m_skipChars;
            return;
        }
        const bool first = top().firstWord;
        top().firstWord = false;
        applyWord(w, hasParam, int(param), first);
    }

    void controlSymbol(QChar c)
    {
        if (c == QLatin1Char('\'')) {
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_pos < m_src.size() && hexValue(m_src[m_pos]) >= 0) {
                value = value * 16 + hexValue(m_src[m_pos]);
                ++m_pos;
                ++digits;
            }
            if (m_skipChars > 0) {
                --m_skipChars;
                return;
            }
            if (digits > 0 && top().destination != Destination::Skip)
                m_bytes.append(char(value));
            return;
        }
        if (m_skipChars > 0) {
            --m_skipChars;
            return;
        }
        switch (c.unicode()) {
        case '\\': case '{': case '}': plainChar(c); break;
        case '~': text(QChar(0x00A0)); break;
        case '_': text(QChar(0x2011)); break;
        case '*': top().ignorableNext = true; break;
        case '\r': case '\n': noteMark(); paragraph(); break;
        case '\t': text(QLatin1Char('\t')); break;
        default: break;  // \- \: \| and the rest show nothing
        }
    }

    void applyWord(RtfControlWords::Word w, bool hasParam, int param, bool firstInGroup)
    {
        // Pending code-page bytes belong to the formats before this word.
        flushBytes();
        Group &g = top();
        const bool on = !hasParam || param != 0;

        // Destinations.
        switch (w.kind) {
        case Kind::FontTable:
            g.destination = Destination::FontTable;
            return;
        case Kind::ColorTable:
            g.destination = Destination::ColorTable;
            m_colorPending = false;
            return;
        case Kind::Binary:
            // Binary data: skip exactly that many bytes, whatever they hold.
            m_pos = std::min(m_src.size(), m_pos + std::max(0, param));
            return;
        default:
            break;
        }
        if (w.kind == Kind::SkippedDestination || (g.ignorableNext && firstInGroup && w.kind != Kind::KnownDestination)) {
            g.destination = Destination::Skip;
            return;
        }
        if (g.destination == Destination::Skip)
            return;
        if (g.destination == Destination::FontTable) {
            if (w.kind == Kind::FontNumber && hasParam) {
                m_currentFont = param;
                m_fontNameOpen = true;
                m_fontName.clear();
            } else if (w.kind == Kind::FontCharset && hasParam) {
                m_fonts[m_currentFont].charset = param;
                tablesChanged();
            }
            return;
        }
        if (g.destination == Destination::ColorTable) {
            switch (w.kind) {
            case Kind::Red: m_red = param; m_colorPending = true; break;
            case Kind::Green: m_green = param; m_colorPending = true; break;
            case Kind::Blue: m_blue = param; m_colorPending = true; break;
            default: break;
            }
            return;
        }

        CharState &ch = g.chars;
        ParaState &pa = g.para;
        switch (w.kind) {
        // Document-wide settings.
        case Kind::Ansi: m_codePage = 1252; break;
        case Kind::AnsiCodePage: if (hasParam && param > 0) m_codePage = param; break;
        case Kind::Mac: m_codePage = 10000; break;
        case Kind::Pc: m_codePage = 437; break;
        case Kind::Pca: m_codePage = 850; break;
        case Kind::DefaultFont: if (hasParam) m_defaultFont = param; break;
        case Kind::UnicodeSkip: if (hasParam) g.unicodeSkip = std::clamp(param, 0, 16); break;
        case Kind::Unicode:
            if (hasParam) {
                const bool valid = param >= -32768 && param <= 65535;
                const QChar c = valid ? QChar(char16_t(param < 0 ? param + 65536 : param)) : QChar(QChar::ReplacementCharacter);
                decodedText(QStringView(&c, 1));
                m_skipChars = g.unicodeSkip;
            }
            break;
        // Text.
        case Kind::Paragraph:
            noteMark();
            paragraph();
            break;
        case Kind::Line:
            noteMark();
            // The tabs of cells before the break end the line, not begin the next.
            text(QChar::LineSeparator);
            lineBreakSeen();
            break;
        case Kind::Tab: text(QLatin1Char('\t')); break;
        case Kind::Cell: ++m_cellsPending; break;
        case Kind::Row:
            m_cellsPending = 0;
            noteMark();
            paragraph();
            break;
        case Kind::Character: text(QChar(w.character)); break;
        // Character formats.
        case Kind::Plain: ch = CharState{}; break;
        case Kind::Bold: ch.bold = on; break;
        case Kind::Italic: ch.italic = on; break;
        case Kind::Underline: ch.underline = on; break;
        case Kind::UnderlineNone: ch.underline = false; break;
        case Kind::Strike: ch.strike = on; break;
        case Kind::Superscript: ch.vertical = 1; break;
        case Kind::Subscript: ch.vertical = -1; break;
        case Kind::NoSuperSub: ch.vertical = 0; break;
        case Kind::FontSize: if (hasParam) ch.halfPoints = std::clamp(param, 1, 3276); break;
        case Kind::FontNumber: if (hasParam) ch.font = param; break;
        case Kind::Foreground: if (hasParam) ch.color = param; break;
        case Kind::Highlight: if (hasParam) ch.highlight = param; break;
        // Paragraph formats.
        case Kind::ParagraphDefaults: pa = ParaState{}; break;
        case Kind::AlignLeft: pa.alignment = Qt::AlignLeft; break;
        case Kind::AlignCenter: pa.alignment = Qt::AlignHCenter; break;
        case Kind::AlignRight: pa.alignment = Qt::AlignRight; break;
        case Kind::AlignJustify: pa.alignment = Qt::AlignJustify; break;
        case Kind::LeftIndent: if (hasParam) pa.leftTwips = param; break;
        case Kind::RightIndent: if (hasParam) pa.rightTwips = param; break;
        case Kind::FirstIndent: if (hasParam) pa.firstTwips = param; break;
        case Kind::InTable: pa.inTable = true; break;
        default: break;
        }
    }

    // ---- text ----------------------------------------------------------------

    void plainChar(QChar c)
    {
        Group &g = top();
        if (g.destination == Destination::Skip)
            return;
        if (g.destination == Destination::FontTable) {
            if (c == QLatin1Char(';'))
                finishFontName();
            else if (m_fontNameOpen)
                m_fontName += c;
            return;
        }
        if (g.destination == Destination::ColorTable) {
            if (c == QLatin1Char(';')) {
                m_colors.push_back(m_colorPending ? QColor(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                                                           std::clamp(m_blue, 0, 255))
                                                  : QColor());
                m_colorPending = false;
                m_red = m_green = m_blue = 0;
                tablesChanged();
            }
            return;
        }
        const char16_t u = c.unicode();
        if (u == '\t') {
            text(c);
        } else if (u < 0x20) {
            return;
        } else if (u >= 0x80 && u <= 0xFF) {
            m_bytes.append(char(u));
        } else {
            flushBytes();
            if (u < 0x100)
                text(c);
            else
                decodedText(QStringView(&c, 1));
        }
    }

    void finishFontName()
    {
        QString name = m_fontName.trimmed();
        if (name.endsWith(QLatin1Char(';')))
            name.chop(1);
        m_fonts[m_currentFont].name = name;
        tablesChanged();
        m_fontNameOpen = false;
    }

    void flushBytes()
    {
        if (m_bytes.isEmpty())
            return;
        int codePage = m_codePage;
        const int fontIndex = top().chars.font >= 0 ? top().chars.font : m_defaultFont;
        const auto font = m_fonts.constFind(fontIndex);
        if (font != m_fonts.constEnd() && font->charset >= 0)
            codePage = codePageOfCharset(font->charset, m_codePage);
        const QString decoded = TextCodecs::decodeCodePage(m_bytes, codePage);
        m_bytes.resize(0);  // before the text below, which flushes again; keeps the buffer
        if (top().destination == Destination::FontTable) {
            if (m_fontNameOpen)
                m_fontName += decoded;
            return;
        }
        if (top().destination != Destination::Text)
            return;
        decodedText(decoded);
    }

    // Characters given as code-page bytes or by number: an escaped line break
    // (CR, LF, or the pair) is a paragraph mark, in the document and the plain
    // text alike; other control characters, and the two a document reserves
    // for its frames, show nothing.
    void decodedText(QStringView decoded)
    {
        const auto shows = [](QChar c) {
            return (c.unicode() >= 0x20 || c == QLatin1Char('\t')) && c.unicode() != 0xFDD0 && c.unicode() != 0xFDD1;
        };
        qsizetype start = 0;
        for (qsizetype i = 0; i <= decoded.size(); ++i) {
            const QChar c = i < decoded.size() ? decoded[i] : QChar();
            if (i < decoded.size() && shows(c))
                continue;
            text(QStringView(decoded).mid(start, i - start));
            start = i + 1;
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                if (c == QLatin1Char('\r') && i + 1 < decoded.size() && decoded[i + 1] == QLatin1Char('\n'))
                    start = ++i + 1;
                paragraph();
            }
        }
    }

    void text(QStringView s)
    {
        if (top().destination != Destination::Text || s.isEmpty())
            return;
        // Cells of a row become tab-separated text; the row's last cell adds no tab.
        if (m_cellsPending > 0) {
            const QString tabs(std::exchange(m_cellsPending, 0), QLatin1Char('\t'));
            text(QStringView(tabs));
        }
        if (m_cut)
            return;
        if (s.size() > m_characterBudget) {
            s = s.first(m_characterBudget);
            reachedLimit();
        }
        m_characterBudget -= s.size();
        if (m_doc) {
            if (!m_pending.isEmpty() && !(top().chars == m_pendingState))
                flushText();
            m_pendingState = top().chars;
            m_pending += s;
        } else {
            m_plain += s;  // plain text has no formats to gather runs for
        }
        if (m_firstLineOnly && !(s.size() == 1 && s[0] == QChar::LineSeparator)) {
            if (m_lineDone)
                m_stop = true;
            for (const QChar c : s)
                m_seenNonBlank = m_seenNonBlank || c.unicode() > 32;
        }
        m_paraState = top().para;
    }
    void text(QChar c) { text(QStringView(&c, 1)); }

    // Formats are built once per distinct state: building one is dear, and a
    // document switches among a handful. The caches are bounded, as hostile
    // input can make endless distinct states, and the character formats are
    // dropped whenever the font or colour table they read changes. A returned
    // reference holds until the next call.
    const QTextCharFormat &charFormat(const CharState &s)
    {
        return cached(m_charFormats, s, [this](const CharState &state) { return makeCharFormat(state); });
    }
    const QTextBlockFormat &blockFormat(const ParaState &p) { return cached(m_blockFormats, p, &Reader::makeBlockFormat); }

    template<typename State, typename Format, typename Make>
    static const Format &cached(QHash<State, Format> &cache, const State &state, Make make)
    {
        if (const auto it = cache.constFind(state); it != cache.constEnd())
            return *it;
        if (cache.size() >= kMaxCachedFormats)
            cache.clear();
        return *cache.insert(state, make(state));
    }

    void tablesChanged() { m_charFormats.clear(); }

    QTextCharFormat makeCharFormat(const CharState &s) const
    {
        QTextCharFormat f;
        if (s.bold)
            f.setFontWeight(QFont::Bold);
        if (s.italic)
            f.setFontItalic(true);
        if (s.underline)
            f.setFontUnderline(true);
        if (s.strike)
            f.setFontStrikeOut(true);
        if (s.vertical)
            f.setVerticalAlignment(s.vertical > 0 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript);
        if (s.halfPoints > 0)
            f.setFontPointSize(s.halfPoints / 2.0);
        // Only an explicit font sets the face; without one the document's default applies.
        const auto font = s.font >= 0 ? m_fonts.constFind(s.font) : m_fonts.constEnd();
        if (font != m_fonts.constEnd() && !font->name.isEmpty())
            f.setFontFamilies(QStringList{font->name});
        if (s.color > 0 && s.color < int(m_colors.size()) && m_colors[size_t(s.color)].isValid())
            f.setForeground(m_colors[size_t(s.color)]);
        if (s.highlight > 0 && s.highlight < int(m_colors.size()) && m_colors[size_t(s.highlight)].isValid())
            f.setBackground(m_colors[size_t(s.highlight)]);
        return f;
    }

    static QTextBlockFormat makeBlockFormat(const ParaState &p)
    {
        QTextBlockFormat f;
        f.setAlignment(p.alignment);
        if (p.leftTwips)
            f.setLeftMargin(p.leftTwips / 20.0);
        if (p.rightTwips)
            f.setRightMargin(p.rightTwips / 20.0);
        if (p.firstTwips)
            f.setTextIndent(p.firstTwips / 20.0);
        return f;
    }

    // A paragraph or line break in the text: ends the first line once it has content.
    void lineBreakSeen()
    {
        if (!m_firstLineOnly || top().destination != Destination::Text)
            return;
        if (m_lineDone)
            m_stop = true;
        else if (m_seenNonBlank)
            m_lineDone = true;
    }

    void noteMark()
    {
        if (top().destination != Destination::Text)
            return;
        m_lastMarkStart = m_wordStart;
        m_lastMarkLength = m_pos - m_wordStart;
    }

    void setBlockFormatIfEmpty()
    {
        if (!m_doc)
            return;
        if (!m_blockFormatted) {
            setCurrentBlockFormat(m_paraState);
            m_blockFormatted = true;
        }
    }

    // Setting the format the block already has changes nothing: skip the work.
    void setCurrentBlockFormat(const ParaState &p)
    {
        if (m_blockHasPara && m_blockPara == p)
            return;
        m_cursor.setBlockFormat(blockFormat(p));
        m_blockPara = p;
        m_blockHasPara = true;
    }

    void flushText()
    {
        if (m_pending.isEmpty())
            return;
        setBlockFormatIfEmpty();
        m_cursor.insertText(m_pending, charFormat(m_pendingState));
        m_pending.resize(0);  // keeps the buffer for the next run
    }

    void reachedLimit()
    {
        m_stop = true;
        m_cut = true;
    }

    void paragraph()
    {
        if (top().destination != Destination::Text || m_cut)
            return;
        if (--m_characterBudget < 0 || --m_paragraphBudget < 0) {
            reachedLimit();
            return;
        }
        flushBytes();
        m_cellsPending = 0;
        lineBreakSeen();
        flushText();
        // A paragraph takes the properties in force at its mark.
        if (m_doc) {
            setCurrentBlockFormat(top().para);
            m_cursor.insertBlock(blockFormat(top().para), charFormat(top().chars));
            m_blockPara = top().para;
        } else {
            m_plain += QChar::ParagraphSeparator;
        }
        m_paraState = top().para;
        m_blockFormatted = false;
    }

    static bool isAsciiLetter(QChar c)
    {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    }
    static bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
    static int hexValue(QChar c)
    {
        if (isDigit(c))
            return c.unicode() - '0';
        if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            return c.unicode() - 'a' + 10;
        if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            return c.unicode() - 'A' + 10;
        return -1;
    }

    QStringView m_src;
    QTextDocument *m_doc;
    QTextCursor m_cursor;
    QString m_plain;
    qsizetype m_pos = 0;
    qsizetype m_wordStart = 0;
    qsizetype m_lastMarkStart = -1;
    qsizetype m_lastMarkLength = 0;
    bool m_firstLineOnly = false;
    bool m_seenNonBlank = false;
    bool m_lineDone = false;
    bool m_stop = false;
    bool m_cut = false;
    qsizetype m_characterBudget = std::numeric_limits<qsizetype>::max();
    qsizetype m_paragraphBudget = std::numeric_limits<qsizetype>::max();
    std::vector<Group> m_stack;
    int m_overflowDepth = 0;
    int m_skipChars = 0;

    int m_codePage = 1252;
    int m_defaultFont = 0;
    QHash<int, Font> m_fonts;
    int m_currentFont = 0;
    bool m_fontNameOpen = false;
    QString m_fontName;
    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorPending = false;

    QByteArray m_bytes;
    QString m_pending;
    CharState m_pendingState;
    ParaState m_paraState;
    bool m_blockFormatted = false;
    // The paragraph state whose format the current block holds, if known.
    ParaState m_blockPara;
    bool m_blockHasPara = false;
    QHash<CharState, QTextCharFormat> m_charFormats;
    QHash<ParaState, QTextBlockFormat> m_blockFormats;
    int m_cellsPending = 0;
};

} // namespace

bool looksLikeRtf(QStringView source)
{
    qsizetype i = 0;
    while (i < source.size() && source[i].isSpace())
        ++i;
    return source.mid(i).startsWith(QLatin1String("{\\rtf"));
}

void read(QStringView source, QTextDocument *document)
{
    readStart(source, document, std::numeric_limits<qsizetype>::max(), std::numeric_limits<qsizetype>::max());
}

bool readStart(QStringView source, QTextDocument *document, qsizetype maxCharacters, qsizetype maxParagraphs)
{
    document->clear();
    if (!looksLikeRtf(source)) {
        const bool cut = source.size() > maxCharacters;
        QString plain = source.first(std::min(source.size(), maxCharacters)).toString();
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        document->setPlainText(plain);
        return cut;
    }
    // Loading is not an edit the user could undo; the undo stack would only cost time.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    Reader reader(source, document);
    reader.setLimits(maxCharacters, maxParagraphs);
    reader.run();
    document->setUndoRedoEnabled(undo);
    return reader.cut();
}

PlainText plainText(QStringView source, bool firstLineOnly)
{
    PlainText result;
    if (!looksLikeRtf(source)) {
        QTextDocument document;
        read(source, &document);
        result.text = RichTextPlain::plainText(document);
        return result;
    }
    Reader reader(source, nullptr);
    reader.setFirstLineOnly(firstLineOnly);
    reader.run();
    result.text = RichTextPlain::plainText(reader.plain());
    result.lastBreakStart = reader.lastMarkStart();
    result.lastBreakLength = reader.lastMarkLength();
    return result;
}

QString toPlainText(QStringView source)
{
    return plainText(source).text;
}

QString plainTextStart(QStringView source, qsizetype maxCharacters, qsizetype maxParagraphs, bool *cut)
{
    if (!looksLikeRtf(source)) {
        QTextDocument document;
        const bool wasCut = readStart(source, &document, maxCharacters, maxParagraphs);
        if (cut)
            *cut = wasCut;
        return RichTextPlain::plainText(document);
    }
    Reader reader(source, nullptr);
    reader.setLimits(maxCharacters, maxParagraphs);
    reader.run();
    if (cut)
        *cut = reader.cut();
    return RichTextPlain::plainText(reader.plain());
}

} // namespace RtfReader
