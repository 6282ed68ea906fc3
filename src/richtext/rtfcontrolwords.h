#pragma once

#include <QStringView>

// The control words the RTF reader acts on, found with one hash lookup
// instead of comparing every word against each name in turn. Spellings that
// mean the same to the reader (\ul and \uldb, \par and \sect, ...) share a kind.
namespace RtfControlWords {

enum class Kind : unsigned char {
    Unknown,
    SkippedDestination,  // a destination whose content never shows
    KnownDestination,    // after \* still read: its content shows
    FontTable,
    ColorTable,
    Binary,
    FontNumber,
    FontCharset,
    Red,
    Green,
    Blue,
    Ansi,
    AnsiCodePage,
    Mac,
    Pc,
    Pca,
    DefaultFont,
    UnicodeSkip,
    Unicode,
    Paragraph,  // \par \sect \page
    Line,
    Tab,
    Cell,
    Row,
    Character,  // a special character such as \emdash; see `character`
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Superscript,
    Subscript,
    NoSuperSub,
    FontSize,
    Foreground,
    Highlight,  // \highlight \cb \chcbpat
    ParagraphDefaults,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    InTable,
};

struct Word
{
    Kind kind = Kind::Unknown;
    char16_t character = 0;  // for Kind::Character
};

Word lookup(QStringView name);

} // namespace RtfControlWords
