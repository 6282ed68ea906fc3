#include "richtext/richedit.h"

#include "richtext/htmldecoding.h"
#include "richtext/htmlexport.h"
#include "richtext/htmlimport.h"
#include "richtext/richtextplain.h"
#include "richtext/rtfreader.h"
#include "richtext/textexcerpt.h"
#include "richtext/rtfwriter.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMimeData>
#include <QTextDocumentFragment>
#include <QTextBlock>
#include <QTextCursor>

RichEdit::RichEdit(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
}

void RichEdit::setPlainTextMode(bool on)
{
    m_plainTextMode = on;
    setAcceptRichText(!on);
}

namespace {

const QString kRtf = QStringLiteral("text/rtf");

} // namespace

QMimeData *RichEdit::createMimeDataFromSelection() const
{
    QTextDocument selected;
    selected.setUndoRedoEnabled(false);
    QTextCursor(&selected).insertFragment(textCursor().selection());
    auto *data = new QMimeData;
    data->setText(RichTextPlain::plainText(selected).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    if (!m_plainTextMode) {
        const QString rtf = RtfWriter::write(selected);
        data->setData(kRtf, rtf.toLatin1());
        data->setHtml(HtmlExport::fromRtf(rtf));
    }
    return data;
}

bool RichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    if (!m_plainTextMode && (source->hasFormat(kRtf) || source->hasHtml()))
        return true;
    return source->hasText();
}

void RichEdit::insertFromMimeData(const QMimeData *source)
{
    if (!m_plainTextMode) {
        QTextDocument pasted;
        bool read = false;
        if (source->hasFormat(kRtf)) {
            RtfReader::read(QString::fromLatin1(source->data(kRtf)), &pasted);
            read = true;
        } else if (source->hasHtml()) {
            read = HtmlImport::read(HtmlDecoding::decode(source->data(QStringLiteral("text/html"))), &pasted);
        }
        if (read) {
            textCursor().insertFragment(QTextDocumentFragment(&pasted));
            ensureCursorVisible();
            return;
        }
    }
    if (source->hasText()) {
        textCursor().insertText(source->text());
        ensureCursorVisible();
    }
}

void resetRichEdit(RichEdit *edit)
{
    edit->setPlainTextMode(true);
    edit->setLineWrapMode(QTextEdit::NoWrap);
    QTextCursor cursor(edit->document());
    cursor.select(QTextCursor::Document);
    // The idle look: the desktop's own UI font in black, no styles, no indents.
    const QFont idle = QApplication::font();
    QTextCharFormat chars;
    chars.setForeground(Qt::black);
    chars.setFontFamilies(QStringList{idle.family()});
    chars.setFontPointSize(idle.pointSizeF() > 0 ? idle.pointSizeF() : 9);
    chars.setFontWeight(QFont::Normal);
    chars.setFontItalic(false);
    chars.setFontUnderline(false);
    chars.setFontStrikeOut(false);
    chars.setBackground(Qt::NoBrush);
    chars.setVerticalAlignment(QTextCharFormat::AlignNormal);
    cursor.setCharFormat(chars);
    QTextBlockFormat block;
    block.setLeftMargin(0);
    block.setRightMargin(0);
    block.setTextIndent(0);
    cursor.setBlockFormat(block);
    edit->setCurrentCharFormat(chars);
    QTextCursor start(edit->document());
    edit->setTextCursor(start);
}

void loadRichText(RichEdit *edit, const QString &source)
{
    edit->clear();
    edit->setLineWrapMode(QTextEdit::NoWrap);
    edit->setPlainTextMode(false);
    RtfReader::read(source, edit->document());
}

void loadExcerpt(RichEdit *edit, const QString &text, bool rich)
{
    edit->clear();
    edit->setLineWrapMode(QTextEdit::NoWrap);
    edit->setPlainTextMode(!rich);
    TextExcerpt::load(edit->document(), text, rich);
    edit->moveCursor(QTextCursor::Start);  // shown from its start, not from the ellipsis
}

QString richSource(const RichEdit *edit)
{
    if (edit->plainTextMode())
        return RichTextPlain::plainText(*edit->document());
    return RtfWriter::write(*edit->document());
}

void showRichSource(RichEdit *edit, const QString &source)
{
    edit->clear();
    edit->setPlainTextMode(true);
    edit->setLineWrapMode(QTextEdit::NoWrap);
    // Literal characters, control words and braces included; then rich mode
    // without reloading, so streaming out wraps these characters in a new document.
    QString literal = source;
    literal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    edit->setPlainText(literal);
    edit->setPlainTextMode(false);
}

QString selectAllText(RichEdit *edit)
{
    edit->selectAll();
    return RichTextPlain::plainText(*edit->document());
}

void fillFontList(QStringList &list)
{
    // A family installed from several foundries is listed once per foundry,
    // as "Name [foundry]"; a font is chosen by its family alone, so each
    // family is offered once, under its own name.
    QStringList families;
    for (QString family : QFontDatabase::families()) {
        if (const qsizetype tag = family.lastIndexOf(QLatin1String(" ["));
            tag > 0 && family.endsWith(QLatin1Char(']')))
            family.truncate(tag);
        family.truncate(32);
        if (!families.contains(family))
            families.append(family);
    }
    list.append(families);
}
