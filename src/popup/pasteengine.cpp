#include "popup/pasteengine.h"

#include "capture/itemclipboard.h"
#include "platform/keygrabber.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QScopeGuard>

namespace {

constexpr std::uint32_t kEscapeKeysym = 0xFF1B;

} // namespace

PasteEngine::PasteEngine(Collection &collection, Options &options, Desktop &desktop, Clipboard &clipboard,
                         ClipboardMonitor &monitor, KeyGrabber &grabber, QObject *parent)
    : QObject(parent)
    , m_collection(collection)
    , m_options(options)
    , m_desktop(desktop)
    , m_grabber(grabber)
    , m_itemClipboard(clipboard, monitor)
{
    connect(&m_grabber, &KeyGrabber::activated, this, [this](int id) {
        if (id == EscHotkeyId)
            keepPasting = false;
    });
}

PasteMethod PasteEngine::methodFor(const Item &item, PasteMethod categoryMethod, bool globalOn, PasteMethod globalMethod)
{
    if (item.kind == ItemKind::RichText)
        return PasteMethod::SimulateCtrlV;
    if (globalOn)
        return globalMethod;
    if (categoryMethod != PasteMethod::NoCategoryMethod)
        return categoryMethod;
    return item.pasteMethod;
}

bool PasteEngine::pasteSelection(const QList<const Item *> &entries, ForeignFocus &target)
{
    // A run always ends with the Esc key given back, whatever happens in it.
    struct EscGrab
    {
        KeyGrabber &grabber;
        ~EscGrab() { grabber.ungrab(EscHotkeyId); }
    } escGrab{m_grabber};

    QList<Item> items;
    // Entries found across the categories each keep their own category's settings.
    QList<std::optional<CategorySettings>> categories;
    for (const Item *entry : entries) {
        if (!entry)
            continue;
        items << *entry;
        // By the node that holds it: two categories may share a name.
        const CategoryNode *node = m_collection.locate(entry).first;
        if (!node)
            node = m_collection.findCategory(entry->category);
        categories << (node ? std::optional<CategorySettings>(node->rec) : std::nullopt);
    }

    keepPasting = false;
    if (!bringTargetToFront(target))
        return false;  // the target never came to the front: nothing may be sent elsewhere
    m_desktop.refocus(target);
    m_pasteKey = TerminalPasteKeys::forWindowClass(m_desktop.windowClass(target.window));
    keepPasting = true;
    m_grabber.grab(EscHotkeyId, kEscapeKeysym, 0);

    for (int position = 0; position < items.size(); ++position) {
        if (!mayGoOn(target))
            return false;
        if (!pasteOne(items[position], position, target, categories[position]))
            return false;
    }
    return true;
}

bool PasteEngine::bringTargetToFront(const ForeignFocus &target)
{
    m_desktop.bringToFront(target.window);
    if (m_desktop.activeWindow() != target.window) {
        m_desktop.bringToFront(target.window);
        m_desktop.delay(50);
    }
    // The window manager activates asynchronously.
    for (int waited = 50; m_desktop.activeWindow() != target.window && waited < ActivationWaitMs; waited += 10)
        m_desktop.delay(10);
    return target.window != 0 && m_desktop.activeWindow() == target.window;
}

bool PasteEngine::mayGoOn(const ForeignFocus &target)
{
    // A click elsewhere ends the run as Esc does: the rest would land in the wrong window.
    if (keepPasting && m_desktop.activeWindow() != target.window)
        keepPasting = false;
    return keepPasting;
}

void PasteEngine::awaitModifiersReleased()
{
    // A Shift or Ctrl the user still holds would combine with our keys.
    for (int waited = 0; keepPasting && m_desktop.modifiersHeld(); waited += 10) {
        if (waited >= ModifierWaitMs) {
            m_desktop.releaseModifiers();
            break;
        }
        m_desktop.delay(10);
    }
}

bool PasteEngine::sendTo(const ForeignFocus &target, const std::function<void()> &send)
{
    // The look at where the keyboard is, at the modifiers, and the keys are
    // one step: a click elsewhere ends the run as Esc does; a modifier the
    // user holds is waited for outside the step, and the look made again.
    for (bool waited = false;; waited = true) {
        if (!keepPasting || !m_desktop.beginDelivery(target.window)) {
            keepPasting = false;
            return false;
        }
        if (waited || !m_desktop.modifiersHeld())
            break;
        m_desktop.endDelivery();
        awaitModifiersReleased();
    }
    const auto delivered = qScopeGuard([this] { m_desktop.endDelivery(); });
    send();
    return true;
}

bool PasteEngine::sendPasteKey(const ForeignFocus &target)
{
    switch (m_pasteKey) {
    case PasteKey::CtrlV: return sendTo(target, [this] { m_desktop.sendCtrlV(); });
    case PasteKey::CtrlShiftV: return sendTo(target, [this] { m_desktop.sendCtrlShiftV(); });
    case PasteKey::None: break;
    }
    return true;
}

bool PasteEngine::pasteOne(const Item &item, int position, ForeignFocus &target,
                           const std::optional<CategorySettings> &category)
{
    if (position > 0)
        m_desktop.delay(200);
    // Nothing on the clipboard, nothing to paste: the keys would paste
    // whatever was there before. The next item is pasted all the same.
    if (!m_itemClipboard.put(item))
        return keepPasting;
    if (item.kind == ItemKind::Image)
        return !m_options.flag(Option::PasteImage) || sendPasteKey(target);

    const QString text = ItemClipboard::plainText(item);
    if (!m_options.flag(Option::PasteText))
        return false;

    const PasteMethod method = methodFor(item, category ? category->pasteMethod : PasteMethod::NoCategoryMethod,
                                         m_options.flag(Option::GlobalPaste),
                                         PasteMethod(m_options.number(Option::GlobalPasteMethod)));
    m_desktop.delay(100);
    if (!mayGoOn(target))
        return false;
    if (position == 0 && target.comboSelStart != -1)
        m_desktop.setSelection(target, target.comboSelStart, target.comboSelEnd);
    switch (method) {
    case PasteMethod::SimulateCtrlV:
        if (m_pasteKey == PasteKey::None) {
            // A terminal without a clipboard key: Ctrl+V there would only make
            // the shell wait for a character to insert literally.
            typeText(target, ItemClipboard::withLf(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")));
        } else if (!sendPasteKey(target)) {
            return false;
        }
        break;
    case PasteMethod::EnterKeystrokes: typeText(target, text); break;
    case PasteMethod::InsertAtCursor:
        // A control that cannot take an insertion still gets the text, typed;
        // one that took any of it is never given it a second time.
        if (!m_desktop.insertText(target, ItemClipboard::withLf(text)))
            typeText(target, text);
        break;
    default: break;
    }
    m_desktop.delay(75);
    if (!mayGoOn(target))
        return false;
    afterPaste(item, target, category);
    return keepPasting;
}

void PasteEngine::afterPaste(const Item &item, ForeignFocus &target, const std::optional<CategorySettings> &category)
{
    const bool fromCategory = category && category->action != AfterPasteAction::None;
    const AfterPasteAction action = fromCategory ? category->action : item.action;
    const int count = fromCategory ? category->actionCount : item.actionCount;
    const QString extra = fromCategory ? category->extraText : item.extraText;
    switch (action) {
    case AfterPasteAction::PressTab:
    case AfterPasteAction::PressEnter:
    case AfterPasteAction::PressSpace: {
        const Desktop::Key key = action == AfterPasteAction::PressTab     ? Desktop::Key::Tab
                                 : action == AfterPasteAction::PressEnter ? Desktop::Key::Enter
                                                                          : Desktop::Key::Space;
        for (int i = 0; i < count; ++i) {
            if (!mayGoOn(target))
                return;
            m_desktop.delay(100);
            m_desktop.refocus(target);
            if (!sendTo(target, [this, key] { m_desktop.pressKey(key); }))
                return;
            m_desktop.delay(100);
            // The key may have moved the focus (Tab): the next delivery goes
            // where it is now, as long as that is still the target's window.
            const ForeignFocus next = m_desktop.foreignFocus();
            if (next.window != target.window) {
                keepPasting = false;
                return;
            }
            target = next;
        }
        break;
    }
    case AfterPasteAction::JumpToNextControl:
        m_desktop.delay(200);
        if (count <= 0)
            m_desktop.refocus(target);
        for (int i = 0; i < count && mayGoOn(target); ++i) {
            const ForeignFocus next = m_desktop.nextControl(target);
            if (next.window != target.window) {
                keepPasting = false;
                return;
            }
            target = next;
        }
        break;
    case AfterPasteAction::TypeExtraText:
        for (int i = 0; i < count; ++i) {
            m_desktop.delay(100);
            typeText(target, extra);
        }
        break;
    default: break;
    }
}

void PasteEngine::typeText(const ForeignFocus &target, const QString &text)
{
    if (!mayGoOn(target))
        return;
    const bool caps = m_desktop.capsLockOn();
    if (caps)
        m_desktop.pressKey(Desktop::Key::CapsLock);
    m_desktop.prepareTyping(text);
    // However the run ends, an error included, the lent keys and the held
    // display are given back and Caps Lock is put back on.
    const auto finished = qScopeGuard([this, caps] {
        m_desktop.finishTyping();
        if (caps)
            m_desktop.pressKey(Desktop::Key::CapsLock);
    });
    for (const char32_t c : text.toUcs4()) {
        if (!keepPasting)
            break;
        m_desktop.delay(1);
        if (c == U'\n')
            continue;
        const bool sent = sendTo(target, [this, c] {
            if (c == U'\r')
                m_desktop.pressKey(Desktop::Key::Enter);
            else if (c == U'\t')
                m_desktop.pressKey(Desktop::Key::Tab);
            else
                m_desktop.typeCharacter(c);
        });
        if (!sent)
            break;
    }
}
