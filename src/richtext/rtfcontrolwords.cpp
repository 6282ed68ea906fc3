#include "richtext/rtfcontrolwords.h"

#include <algorithm>
#include <iterator>

namespace RtfControlWords {

namespace {

struct Entry
{
    const char16_t *name;
    Word word;
};

constexpr Entry kEntries[] = {
    // Destinations whose content never shows.
    {u"stylesheet", {Kind::SkippedDestination}}, {u"info", {Kind::SkippedDestination}},
    {u"pict", {Kind::SkippedDestination}}, {u"object", {Kind::SkippedDestination}},
    {u"header", {Kind::SkippedDestination}}, {u"headerl", {Kind::SkippedDestination}},
    {u"headerr", {Kind::SkippedDestination}}, {u"headerf", {Kind::SkippedDestination}},
    {u"footer", {Kind::SkippedDestination}}, {u"footerl", {Kind::SkippedDestination}},
    {u"footerr", {Kind::SkippedDestination}}, {u"footerf", {Kind::SkippedDestination}},
    {u"footnote", {Kind::SkippedDestination}}, {u"fldinst", {Kind::SkippedDestination}},
    {u"themedata", {Kind::SkippedDestination}}, {u"colorschememapping", {Kind::SkippedDestination}},
    {u"latentstyles", {Kind::SkippedDestination}}, {u"datastore", {Kind::SkippedDestination}},
    {u"listtable", {Kind::SkippedDestination}}, {u"listoverridetable", {Kind::SkippedDestination}},
    {u"rsidtbl", {Kind::SkippedDestination}}, {u"generator", {Kind::SkippedDestination}},
    {u"xmlnstbl", {Kind::SkippedDestination}}, {u"mmathPr", {Kind::SkippedDestination}},
    {u"filetbl", {Kind::SkippedDestination}}, {u"revtbl", {Kind::SkippedDestination}},
    {u"pgdsctbl", {Kind::SkippedDestination}}, {u"pntxta", {Kind::SkippedDestination}},
    {u"pntxtb", {Kind::SkippedDestination}}, {u"bkmkstart", {Kind::SkippedDestination}},
    {u"bkmkend", {Kind::SkippedDestination}}, {u"nonshppict", {Kind::SkippedDestination}},
    {u"shpinst", {Kind::SkippedDestination}}, {u"template", {Kind::SkippedDestination}},
    {u"docvar", {Kind::SkippedDestination}}, {u"userprops", {Kind::SkippedDestination}},
    {u"ftnsep", {Kind::SkippedDestination}}, {u"ftnsepc", {Kind::SkippedDestination}},
    {u"ftncn", {Kind::SkippedDestination}}, {u"aftnsep", {Kind::SkippedDestination}},
    {u"aftnsepc", {Kind::SkippedDestination}}, {u"aftncn", {Kind::SkippedDestination}},
    {u"background", {Kind::SkippedDestination}}, {u"annotation", {Kind::SkippedDestination}},
    {u"atnid", {Kind::SkippedDestination}}, {u"atnauthor", {Kind::SkippedDestination}},
    {u"upr", {Kind::SkippedDestination}}, {u"panose", {Kind::SkippedDestination}},
    {u"falt", {Kind::SkippedDestination}}, {u"fontemb", {Kind::SkippedDestination}},
    {u"fontfile", {Kind::SkippedDestination}}, {u"listpicture", {Kind::SkippedDestination}},
    {u"formfield", {Kind::SkippedDestination}}, {u"datafield", {Kind::SkippedDestination}},
    {u"wgrffmtfilter", {Kind::SkippedDestination}}, {u"pgptbl", {Kind::SkippedDestination}},
    {u"protusertbl", {Kind::SkippedDestination}},
    // Destinations after \* that the reader shows.
    {u"fldrslt", {Kind::KnownDestination}}, {u"shppict", {Kind::KnownDestination}},
    {u"listtext", {Kind::KnownDestination}}, {u"pntext", {Kind::KnownDestination}},
    // Tables and document settings.
    {u"fonttbl", {Kind::FontTable}}, {u"colortbl", {Kind::ColorTable}}, {u"bin", {Kind::Binary}},
    {u"f", {Kind::FontNumber}}, {u"fcharset", {Kind::FontCharset}},
    {u"red", {Kind::Red}}, {u"green", {Kind::Green}}, {u"blue", {Kind::Blue}},
    {u"ansi", {Kind::Ansi}}, {u"ansicpg", {Kind::AnsiCodePage}}, {u"mac", {Kind::Mac}}, {u"pc", {Kind::Pc}},
    {u"pca", {Kind::Pca}}, {u"deff", {Kind::DefaultFont}}, {u"uc", {Kind::UnicodeSkip}}, {u"u", {Kind::Unicode}},
    // Text.
    {u"par", {Kind::Paragraph}}, {u"sect", {Kind::Paragraph}}, {u"page", {Kind::Paragraph}},
    {u"line", {Kind::Line}}, {u"tab", {Kind::Tab}},
    {u"cell", {Kind::Cell}}, {u"nestcell", {Kind::Cell}}, {u"row", {Kind::Row}}, {u"nestrow", {Kind::Row}},
    {u"emdash", {Kind::Character, 0x2014}}, {u"endash", {Kind::Character, 0x2013}},
    {u"emspace", {Kind::Character, 0x2003}}, {u"enspace", {Kind::Character, 0x2002}},
    {u"qmspace", {Kind::Character, 0x2005}}, {u"bullet", {Kind::Character, 0x2022}},
    {u"lquote", {Kind::Character, 0x2018}}, {u"rquote", {Kind::Character, 0x2019}},
    {u"ldblquote", {Kind::Character, 0x201C}}, {u"rdblquote", {Kind::Character, 0x201D}},
    // Character formats.
    {u"plain", {Kind::Plain}}, {u"b", {Kind::Bold}}, {u"i", {Kind::Italic}},
    {u"ul", {Kind::Underline}}, {u"uld", {Kind::Underline}}, {u"uldb", {Kind::Underline}},
    {u"ulw", {Kind::Underline}}, {u"uldash", {Kind::Underline}}, {u"ulth", {Kind::Underline}},
    {u"ulwave", {Kind::Underline}}, {u"uldashd", {Kind::Underline}}, {u"ulhair", {Kind::Underline}},
    {u"ulnone", {Kind::UnderlineNone}}, {u"strike", {Kind::Strike}}, {u"striked", {Kind::Strike}},
    {u"super", {Kind::Superscript}}, {u"sub", {Kind::Subscript}}, {u"nosupersub", {Kind::NoSuperSub}},
    {u"fs", {Kind::FontSize}}, {u"cf", {Kind::Foreground}},
    {u"highlight", {Kind::Highlight}}, {u"cb", {Kind::Highlight}}, {u"chcbpat", {Kind::Highlight}},
    // Paragraph formats.
    {u"pard", {Kind::ParagraphDefaults}}, {u"ql", {Kind::AlignLeft}}, {u"qc", {Kind::AlignCenter}},
    {u"qr", {Kind::AlignRight}}, {u"qj", {Kind::AlignJustify}},
    {u"li", {Kind::LeftIndent}}, {u"lin", {Kind::LeftIndent}}, {u"ri", {Kind::RightIndent}},
    {u"rin", {Kind::RightIndent}}, {u"fi", {Kind::FirstIndent}}, {u"intbl", {Kind::InTable}},
};

// Every word is looked up, most of them short: an open-addressed table with
// a cheap hash beats a general-purpose map here.
class WordTable
{
public:
    WordTable()
    {
        for (const Entry &e : kEntries) {
            const QStringView name(e.name);
            size_t slot = hash(name) & kMask;
            while (m_slots[slot].name)
                slot = (slot + 1) & kMask;
            m_slots[slot] = {e.name, name.size(), e.word};
        }
    }

    Word find(QStringView name) const
    {
        for (size_t slot = hash(name) & kMask; m_slots[slot].name; slot = (slot + 1) & kMask) {
            const Slot &s = m_slots[slot];
            if (s.size == name.size() && std::equal(name.begin(), name.end(), s.name))
                return s.word;
        }
        return {};
    }

private:
    static constexpr size_t kSize = 512;  // a power of two, well above the number of words
    static constexpr size_t kMask = kSize - 1;

    static size_t hash(QStringView name)
    {
        size_t h = 2166136261u;
        for (const QChar c : name)
            h = (h ^ c.unicode()) * 16777619u;
        return h ^ (h >> 9);
    }

    struct Slot
    {
        const char16_t *name = nullptr;
        qsizetype size = 0;
        Word word;
    };
    Slot m_slots[kSize];
};

static_assert(std::size(kEntries) < 512 / 2);

} // namespace

Word lookup(QStringView name)
{
    static const WordTable table;
    return table.find(name);
}

} // namespace RtfControlWords
