#include "richtext/textexcerpt.h"

#include "richtext/rtfreader.h"

#include <QTextCursor>
#include <QTextDocument>

namespace TextExcerpt {

namespace {

const QChar kEllipsis(0x2026);

// The start of a plain text within both bounds; true when cut.
bool plainStart(QStringView text, QStringView *start)
{
    QStringView head = text.first(std::min(text.size(), MaxCharacters));
    qsizetype at = -1;
    for (qsizetype breaks = 0; breaks < MaxParagraphs; ++breaks) {
        at = head.indexOf(QLatin1Char('\n'), at + 1);
        if (at < 0)
            break;
    }
    if (at >= 0)
        head = head.first(at > 0 && head[at - 1] == QLatin1Char('\r') ? at - 1 : at);
    *start = head;
    return head.size() < text.size();
}

} // namespace

bool load(QTextDocument *document, QStringView text, bool rich)
{
    bool cut = false;
    if (rich) {
        cut = RtfReader::readStart(text, document, MaxCharacters, MaxParagraphs);
    } else {
        QStringView start;
        cut = plainStart(text, &start);
        QString lines = start.toString();
        lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        document->setPlainText(lines);
    }
    if (cut) {
        QTextCursor end(document);
        end.movePosition(QTextCursor::End);
        end.insertBlock(QTextBlockFormat(), QTextCharFormat());
        end.insertText(QString(kEllipsis));
    }
    return cut;
}

QString plainText(QStringView text, bool rich)
{
    bool cut = false;
    QString plain;
    if (rich) {
        plain = RtfReader::plainTextStart(text, MaxCharacters, MaxParagraphs, &cut);
    } else {
        QStringView start;
        cut = plainStart(text, &start);
        plain = start.toString();
    }
    if (cut)
        plain += kEllipsis;
    return plain;
}

} // namespace TextExcerpt
