#include "config/dialogs/printwindow.h"

#include "common/messageboxservice.h"
#include "common/programerror.h"
#include "config/dialogs/formatbar.h"
#include "config/dialogs/screencentre.h"
#include "richtext/richedit.h"
#include "store/item.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTextDocument>
#include <QVBoxLayout>

#include <memory>

namespace {

bool choosePrinter(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    // The whole text is printed, so there is no range to choose.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

PrintWindow::PrintWindow(const Item &item, MessageBoxService &messages, QWidget *parent)
    : QDialog(parent)
    , m_messages(messages)
    , m_chooser(choosePrinter)
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Print Selected Item"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);

    m_bar = new FormatBar(this);

    m_text = new RichEdit(this);
    m_text->setObjectName(QStringLiteral("pRE"));
    m_text->setAccessibleName(QStringLiteral("Text to print"));
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (item.kind != ItemKind::PlainText) {
        loadRichText(m_text, item.text);
    } else {
        resetRichEdit(m_text);
        m_text->setPlainText(item.text);
    }
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    m_bar->attach(m_text);

    m_wordWrap = new QCheckBox(QStringLiteral("Word wrap"), this);
    m_wordWrap->setObjectName(QStringLiteral("cbww"));
    m_print = new QPushButton(QStringLiteral("&Print"), this);
    m_print->setObjectName(QStringLiteral("btnPrint"));
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setObjectName(QStringLiteral("btnClose"));
    // Return in the text makes a new line; it must not press a button.
    m_print->setAutoDefault(false);
    m_close->setAutoDefault(false);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_wordWrap);
    bottom->addStretch(1);
    bottom->addWidget(m_print);
    bottom->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(m_bar);
    layout->addWidget(m_text, 1);
    layout->addLayout(bottom);

    connect(m_wordWrap, &QCheckBox::toggled, this, [this](bool on) {
        m_text->setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    });
    connect(m_print, &QPushButton::clicked, this, &PrintWindow::printWithChoice);
    connect(m_close, &QPushButton::clicked, this, &PrintWindow::accept);

    resize(332, 297);
}

void PrintWindow::setPrinterChooser(PrinterChooser chooser)
{
    m_chooser = std::move(chooser);
}

void PrintWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(this);
    m_bar->refresh();
    m_text->setFocus();
}

void PrintWindow::printWithChoice()
{
    QPrinter printer(QPrinter::HighResolution);
    if (m_chooser && !m_chooser(printer, this))
        return;
    try {
        print(printer);
    } catch (const ProgramError &error) {
        // The window stays open, so the user can pick another printer.
        m_messages.error(error.message());
    }
}

void PrintWindow::print(QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty())
        throw ProgramError(QStringLiteral("There is no printer to print on. Install a printer and try again."));
    if (!printer.isValid())
        throw ProgramError(QStringLiteral("The printer \"%1\" cannot be used.").arg(printer.printerName()));
    printer.setDocName(QString());
    printer.setFullPage(false);

    // Laid out again for the printer, so the window's own wrapping and
    // scrolling have no say in the printout.
    std::unique_ptr<QTextDocument> document(m_text->document()->clone());
    QPainter painter;
    if (!painter.begin(&printer))
        throw ProgramError(QStringLiteral("The printer \"%1\" could not start printing.")
                               .arg(printer.outputFileName().isEmpty() ? printer.printerName()
                                                                       : printer.outputFileName()));
    document->documentLayout()->setPaintDevice(&printer);
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    document->setPageSize(page.size());
    document->setDocumentMargin(0);

    const int pages = document->pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0 && !printer.newPage()) {
            painter.end();
            throw ProgramError(QStringLiteral("The printer refused page %1 of the printout.").arg(index + 1));
        }
        painter.save();
        const QRectF shown = page.translated(0, index * page.height());
        painter.translate(0, -shown.top());
        // A line the layout moved to the next page must not also show at this page's foot.
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        // Inset a little: a line merely touching the page's edge belongs to the neighbouring page.
        context.clip = shown.adjusted(0, 0.5, 0, -0.5);
        context.palette.setColor(QPalette::Text, Qt::black);
        document->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw ProgramError(QStringLiteral("The printout could not be finished."));
}
