#include "popup/popupcontroller.h"

#include "popup/companionplacement.h"
#include "popup/globalhotkeys.h"
#include "settings/hotkeykeys.h"
#include "popup/pasteengine.h"
#include "popup/popuplist.h"
#include "settings/options.h"

#include <QScopeGuard>

#include <utility>

PopupController::PopupController(Collection &collection, Options &options, Desktop &desktop, Clipboard &clipboard,
                                 ClipboardMonitor &monitor, KeyGrabber &keyGrabber, MessageBoxService &messages,
                                 PopupHost &host, QObject *parent)
    : QObject(parent)
    , m_collection(collection)
    , m_options(options)
    , m_desktop(desktop)
    , m_messages(messages)
    , m_host(host)
{
    m_hotkeys = new GlobalHotkeys(keyGrabber, this);
    m_hotkeys->setObjectName(QStringLiteral("shk"));
    m_engine = new PasteEngine(collection, options, desktop, clipboard, monitor, keyGrabber, this);
}

std::uint8_t PopupController::hotkeyModifiers() const
{
    std::uint8_t modifiers = 0;
    if (m_options.flag(Option::HotkeyCtrl))
        modifiers |= GlobalHotkeys::Ctrl;
    if (m_options.flag(Option::HotkeyAlt))
        modifiers |= GlobalHotkeys::Alt;
    if (m_options.flag(Option::HotkeyShift))
        modifiers |= GlobalHotkeys::Shift;
    if (m_options.flag(Option::HotkeyWin))
        modifiers |= GlobalHotkeys::Win;
    return modifiers;
}

std::uint8_t PopupController::hotkeyKeyIndex() const
{
    return std::uint8_t(HotkeyKeys::keyIndexOf(m_options.number(Option::HotkeyKey)));
}

void PopupController::registerHotkey()
{
    m_hotkeys->clearHotkeys();
    m_hotkeys->addHotkey(hotkeyModifiers(), hotkeyKeyIndex());
}

bool PopupController::passOnHotkey()
{
    const std::uint32_t keysym = HotkeyKeys::keysymOf(HotkeyKeys::virtualKey(hotkeyKeyIndex()));
    return keysym != 0 && m_desktop.passOnKey(keysym, hotkeyModifiers());
}

void PopupController::onHotkey(int)
{
    if (m_popup || !m_options.flag(Option::QuickListActive))
        return;
    m_target = m_desktop.foreignFocus();
    // Our own windows leave the last caret position as it was.
    if (!m_target.ownWindow)
        m_caretPos = m_target.caretKnown ? m_target.caret : m_desktop.pointerPosition();
    if (!m_target.ownWindow && !m_host.applicationMinimised())
        m_host.minimiseApplication();

    const QPoint anchor = CompanionPlacement::listAnchor(m_caretPos, m_target.windowOrigin,
                                                         m_desktop.screenGeometry(m_caretPos));

    m_popup = new PopupList(m_collection, m_options, *m_engine, m_desktop, m_messages, m_target);
    connect(m_popup, &PopupList::closed, this, &PopupController::listClosed);
    connect(m_popup, &PopupList::disableRequested, this, [this] { m_options.set(Option::QuickListActive, false); });
    connect(m_popup, &PopupList::configurationRequested, this, [this] { m_host.showConfiguration(); });
    connect(m_popup, &PopupList::categoryChosen, this, &PopupController::chooseCategory);
    m_popup->setItemEditor([this](Item &item) { return m_host.editItem(item); });
    m_popup->setNotice(std::exchange(m_nextNotice, QString()));
    m_hotkeys->setActive(false);
    try {
        m_popup->move(anchor.x(), anchor.y() + 13);
        m_popup->rebuild();
        m_popup->show();
        m_desktop.bringToFront(m_popup->winId());
    } catch (...) {
        // A list that failed to open must not keep the hotkey away.
        m_popup->close();
        throw;
    }
}

PopupController::PasteOutcome PopupController::pasteInFront(const QList<const Item *> &items)
{
    if (m_popup)
        return PasteOutcome::ListOpen;
    if (m_pasting)
        return PasteOutcome::Busy;
    ForeignFocus target = m_desktop.foreignFocus();
    if (target.window == 0)
        return PasteOutcome::NoWindow;
    // Our own windows take no paste of our items: the keys would edit the collection itself.
    if (target.ownWindow)
        return PasteOutcome::OwnWindow;
    const bool hotkeyWasActive = m_hotkeys->isActive();
    m_hotkeys->setActive(false);
    m_pasting = true;
    const auto restore = qScopeGuard([this, hotkeyWasActive] {
        m_pasting = false;
        m_hotkeys->setActive(hotkeyWasActive);
    });
    return m_engine->pasteSelection(items, target) ? PasteOutcome::Pasted : PasteOutcome::Stopped;
}

void PopupController::stopPasting()
{
    m_engine->keepPasting = false;
}

void PopupController::chooseCategory(int index)
{
    m_host.chooseCategory(index);
    if (m_popup) {
        m_popup->rebuild();
        // Chosen from the tray's menu as well: the open list has the keyboard again.
        m_desktop.bringToFront(m_popup->winId());
        m_popup->takeFocus();
    }
}

void PopupController::listClosed()
{
    m_popup = nullptr;
    m_hotkeys->setActive(m_options.flag(Option::QuickListActive));
    m_host.listClosed();
}
