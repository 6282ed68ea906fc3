#include "capture/aliasderivation.h"

#include "store/textlimits.h"

#include <QList>

namespace AliasDerivation {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

QStringView trimmedLeft(QStringView s)
{
    qsizetype start = 0;
    while (start < s.size() && isBlank(s[start]))
        ++start;
    return s.mid(start);
}

bool isBlankText(QStringView s)
{
    return trimmedLeft(s).isEmpty();
}

// Lines end at CR LF, a lone CR or a lone LF; a final break ends the last
// line rather than starting an empty one.
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

QString fromText(QStringView text, bool removeLineBreaks)
{
    QString alias;
    if (isBlankText(text)) {
        alias = QStringLiteral("<%1 spaces>").arg(text.size());
    } else {
        const QList<QStringView> lines = splitLines(text);
        qsizetype first = 0;
        while (first < lines.size() && isBlankText(lines[first]))
            ++first;
        alias = trimmedLeft(lines[first]).toString();
        if (first < lines.size() - 1)
            alias += QStringLiteral("...");
    }
    alias = cutToCharacters(alias, MaxLength);
    if (removeLineBreaks) {
        alias.remove(QLatin1Char('\r'));
        alias.remove(QLatin1Char('\n'));
    }
    return alias;
}

QString forEditor(QStringView text, const QString &typedAlias, QStringView plainText)
{
    if (text.isEmpty())
        return QStringLiteral("<blank>");
    if (!isBlankText(typedAlias))
        return cutToCharacters(typedAlias, MaxLength);
    return fromText(plainText);
}

QString forQuickAdd(const QString &text)
{
    return cutToCharacters(text.isEmpty() ? QStringLiteral("<blank>") : text, MaxLength);
}

QString forImage(int width, int height)
{
    return QStringLiteral("Image: %1 x %2").arg(width).arg(height);
}

} // namespace AliasDerivation
