#include "config/dialogs/itemeditorrules.h"

#include "capture/aliasderivation.h"
#include "store/item.h"

#include <QList>

namespace ItemEditorRules {

namespace {

QList<QStringView> linesOf(QStringView text)
{
    QList<QStringView> lines;
    if (text.isEmpty())
        return lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.mid(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line);
        start = end + 1;
        if (end == text.size())
            break;
    }
    if (text.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

} // namespace

int lineCount(QStringView text)
{
    return int(linesOf(text).size());
}

int wordCount(QStringView text)
{
    int words = 0;
    for (QStringView line : linesOf(text)) {
        qsizetype first = 0;
        qsizetype last = line.size();
        while (first < last && isBlank(line[first]))
            ++first;
        while (last > first && isBlank(line[last - 1]))
            --last;
        bool inRun = false;
        for (qsizetype i = first; i < last; ++i) {
            const bool space = line[i] == u' ';
            if (space && !inRun)
                ++words;
            inRun = space;
        }
        ++words;
    }
    return words;
}

int characterCount(QStringView text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;  // counted with its line feed
        count += text[i] == u'\n' ? 2 : 1;
    }
    return count;
}

bool aliasFollowsText(QStringView text, QStringView alias)
{
    return lineCount(text) <= 1 && text == alias && alias.size() < AliasDerivation::MaxLength;
}

void completeRecord(Item &item, const QString &typedAlias, QStringView plainText)
{
    if (item.action == AfterPasteAction::TypeExtraText && item.extraText.isEmpty())
        item.action = AfterPasteAction::None;
    item.alias = AliasDerivation::forEditor(item.text, typedAlias, plainText);
}

} // namespace ItemEditorRules
