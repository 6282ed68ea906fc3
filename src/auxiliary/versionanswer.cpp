#include "auxiliary/versionanswer.h"

#include "common/textcodecs.h"

#include <QAbstractTextDocumentLayout>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace VersionAnswer {

namespace {

QString decode(const QByteArray &body)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    if (utf8.hasError())
        return TextCodecs::decodeWindows1252(body);
    return text;
}

// The last block that counts as a displayed line: an empty last block does not.
QTextBlock lastShownBlock(const QTextDocument &document)
{
    QTextBlock last = document.lastBlock();
    if (last.text().isEmpty() && last.previous().isValid())
        last = last.previous();
    return last;
}

} // namespace

QString text(const QByteArray &body)
{
    const QString decoded = decode(body);
    QString plain;
    plain.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar c = decoded.at(i);
        if (c == u'\r') {
            if (i + 1 < decoded.size() && decoded.at(i + 1) == u'\n')
                ++i;
            plain += u'\n';
        } else if (c == u'\n' || c == u'\t' || c.category() != QChar::Other_Control) {
            plain += c;
        }
    }
    return plain;
}

int displayedLineCount(QTextDocument &document)
{
    // Lays out the whole document at its width.
    document.documentLayout()->documentSize();
    const QTextBlock last = lastShownBlock(document);
    int lines = 0;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        lines += std::max(1, block.layout()->lineCount());
        if (block == last)
            break;
    }
    if (document.isEmpty())
        return 0;
    return lines;
}

bool isWebAddress(const QUrl &url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

QUrl takeDownloadAddress(QTextDocument &document)
{
    if (displayedLineCount(document) <= kMaxShownLines)
        return {};
    const QTextBlock block = lastShownBlock(document);
    const QTextLayout *layout = block.layout();
    if (layout->lineCount() < 1)
        return {};
    const QTextLine line = layout->lineAt(layout->lineCount() - 1);
    const QString address = block.text().mid(line.textStart(), line.textLength()).trimmed();
    const QUrl url(address, QUrl::StrictMode);
    if (address.contains(u' ') || !isWebAddress(url))
        return {};
    QTextCursor cursor(&document);
    int from = block.position() + line.textStart();
    // A line of its own goes with the line break before it.
    if (line.textStart() == 0 && block.previous().isValid())
        --from;
    cursor.setPosition(from);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    return url;
}

} // namespace VersionAnswer
