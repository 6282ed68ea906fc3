#include "platform/qt/qtmessageboxservice.h"

#include "common/modalsession.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

// What closing a box with its close button answers.
MessageBoxService::Button cautiousChoice(MessageBoxService::Buttons buttons)
{
    if (buttons.testFlag(MessageBoxService::Cancel))
        return MessageBoxService::Cancel;
    return buttons.testFlag(MessageBoxService::Ok) ? MessageBoxService::Ok : MessageBoxService::No;
}

} // namespace

MessageBoxService::Button QtMessageBoxService::show(Icon icon, const QString &title, const QString &text,
                                                    Buttons buttons)
{
    if (m_displayLost) {
        std::fprintf(stderr, "scrapkeeper: %s: %s\n", qPrintable(title), qPrintable(text));
        return cautiousChoice(buttons);
    }
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(title);
    // Messages may quote what the user copied: never let it be read as markup.
    box.setTextFormat(Qt::PlainText);
    // The texts carry the program's CR LF line breaks.
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    QMessageBox::StandardButtons standard;
    if (buttons.testFlag(Ok))
        standard |= QMessageBox::Ok;
    if (buttons.testFlag(Yes))
        standard |= QMessageBox::Yes;
    if (buttons.testFlag(No))
        standard |= QMessageBox::No;
    if (buttons.testFlag(Cancel))
        standard |= QMessageBox::Cancel;
    box.setStandardButtons(standard);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const ModalSession session;
    switch (box.exec()) {
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    case QMessageBox::Cancel: return Cancel;
    default: break;
    }
    // Closing the box with its close button counts as its cautious choice.
    if (box.clickedButton() == nullptr)
        return cautiousChoice(buttons);
    return buttons.testFlag(Ok) ? Ok : buttons.testFlag(Cancel) ? Cancel : No;
}
