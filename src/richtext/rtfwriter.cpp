#include "richtext/rtfwriter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>

namespace RtfWriter {

namespace {

QString familyOf(const QTextCharFormat &format)
{
    return format.fontFamilies().toStringList().value(0);
}

// Fonts and colours are tables in RTF; formats refer to them by index.
// "No background" is a brush without a colour, not black.
bool hasColour(const QTextCharFormat &format, QTextFormat::Property property)
{
    return format.hasProperty(property) && format.brushProperty(property).style() != Qt::NoBrush;
}

class Tables
{
public:
    explicit Tables(const QTextDocument &document)
    {
        m_fonts.append(document.defaultFont().family());
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                fontIndex(familyOf(f));
                if (hasColour(f, QTextFormat::ForegroundBrush))
                    colorIndex(f.foreground().color());
                if (hasColour(f, QTextFormat::BackgroundBrush))
                    colorIndex(f.background().color());
            }
        }
    }

    int fontIndex(const QString &family)
    {
        if (family.isEmpty())
            return 0;
        const qsizetype at = m_fonts.indexOf(family);
        if (at >= 0)
            return int(at);
        m_fonts.append(family);
        return int(m_fonts.size() - 1);
    }

    // Index 0 is the automatic colour, so the first real colour is 1.
    int colorIndex(const QColor &color)
    {
        const QRgb rgb = color.rgb() & 0xFFFFFF;
        const qsizetype at = m_colors.indexOf(rgb);
        if (at >= 0)
            return int(at) + 1;
        m_colors.append(rgb);
        return int(m_colors.size());
    }

    void writeHeader(QString &out) const
    {
        out += QLatin1String("{\\fonttbl");
        for (qsizetype i = 0; i < m_fonts.size(); ++i) {
            out += QStringLiteral("{\\f%1\\fnil\\fcharset0 ").arg(i);
            appendEscaped(out, m_fonts[i]);
            out += QLatin1String(";}");
        }
        out += QLatin1String("}\r\n{\\colortbl ;");
        for (const QRgb rgb : m_colors)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(qRed(rgb)).arg(qGreen(rgb)).arg(qBlue(rgb));
        out += QLatin1String("}\r\n");
    }

    static void appendEscaped(QString &out, QStringView text)
    {
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u == '\\' || u == '{' || u == '}') {
                out += QLatin1Char('\\');
                out += c;
            } else if (u == '\t') {
                out += QLatin1String("\\tab ");
            } else if (u == QChar::LineSeparator) {
                out += QLatin1String("\\line ");
            } else if (u == 0x00A0) {
                out += QLatin1String("\\~");
            } else if (u < 0x20) {
                continue;
            } else if (u < 0x80) {
                out += c;
            } else {
                // Signed 16-bit as RTF wants it, with "?" for readers that skip \u.
                out += QStringLiteral("\\u%1?").arg(int(qint16(u)));
            }
        }
    }

private:
    QStringList m_fonts;
    QList<QRgb> m_colors;
};

int twips(qreal points)
{
    return int(std::lround(points * 20.0));
}

QString blockProperties(const QTextBlockFormat &f)
{
    QString out = QStringLiteral("\\pard");
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        out += QLatin1String("\\qc");
    else if (a & Qt::AlignJustify)
        out += QLatin1String("\\qj");
    else if (a & (Qt::AlignRight | Qt::AlignTrailing))
        out += QLatin1String("\\qr");
    if (f.leftMargin() != 0)
        out += QStringLiteral("\\li%1").arg(twips(f.leftMargin()));
    if (f.rightMargin() != 0)
        out += QStringLiteral("\\ri%1").arg(twips(f.rightMargin()));
    if (f.textIndent() != 0)
        out += QStringLiteral("\\fi%1").arg(twips(f.textIndent()));
    return out;
}

QString charProperties(const QTextCharFormat &f, Tables &tables)
{
    QString out = QStringLiteral("\\plain");
    const QString family = familyOf(f);
    if (!family.isEmpty())
        out += QStringLiteral("\\f%1").arg(tables.fontIndex(family));
    if (f.hasProperty(QTextFormat::FontPointSize))
        out += QStringLiteral("\\fs%1").arg(int(std::lround(f.fontPointSize() * 2)));
    if (f.fontWeight() >= QFont::Bold)
        out += QLatin1String("\\b");
    if (f.fontItalic())
        out += QLatin1String("\\i");
    if (f.fontUnderline())
        out += QLatin1String("\\ul");
    if (f.fontStrikeOut())
        out += QLatin1String("\\strike");
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        out += QLatin1String("\\super");
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        out += QLatin1String("\\sub");
    if (hasColour(f, QTextFormat::ForegroundBrush))
        out += QStringLiteral("\\cf%1").arg(tables.colorIndex(f.foreground().color()));
    if (hasColour(f, QTextFormat::BackgroundBrush))
        out += QStringLiteral("\\highlight%1").arg(tables.colorIndex(f.background().color()));
    out += QLatin1Char(' ');
    return out;
}

} // namespace

QString write(const QTextDocument &document)
{
    Tables tables(document);
    QString body;
    body.reserve(document.characterCount() * 2 + 256);
    bool firstBlock = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!firstBlock)
            body += QLatin1String("\\par\r\n");
        firstBlock = false;
        body += blockProperties(block.blockFormat());
        QString lastProperties;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString properties = charProperties(fragment.charFormat(), tables);
            if (properties != lastProperties) {
                body += properties;
                lastProperties = properties;
            }
            Tables::appendEscaped(body, fragment.text());
        }
        if (lastProperties.isEmpty())
            body += QLatin1Char(' ');
    }
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1");
    tables.writeHeader(out);
    out += QLatin1String("\\viewkind4");
    out += body;
    out += QLatin1String("}\r\n");
    return out;
}

} // namespace RtfWriter
