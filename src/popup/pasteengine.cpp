#include "pasteengine.h"

#include "capture/clipboardmonitor.h"
#include "config/rtf/rtfreader.h"
#include "platform/clipboard.h"
#include "platform/keygrabber.h"
#include "settings/options.h"
#include "store/collection.h"

#include <QFileInfo>
#include <QMimeData>

namespace {

constexpr std::uint32_t kEscapeKeysym = 0xFF1B;

// The desktop's clipboard and text controls use LF; items keep CR LF.
QString withLf(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QImage pictureOf(const TItemRec &item)
{
    if (!item.Bitmap.isNull())
        return item.Bitmap;
    return QFileInfo(item.Text).isFile() ? QImage(item.Text) : QImage();
}

// Restores the flag however the block is left.
struct SuppressCapture
{
    explicit SuppressCapture(int &count) : m_count(count) { m_count = 1; }
    ~SuppressCapture() { m_count = 0; }
    int &m_count;
};

} // namespace

PasteEngine::PasteEngine(Collection &collection, Options &options, Desktop &desktop, Clipboard &clipboard,
                         ClipboardMonitor &monitor, KeyGrabber &grabber, QObject *parent)
    : QObject(parent)
    , m_collection(collection)
    , m_options(options)
    , m_desktop(desktop)
    , m_clipboard(clipboard)
    , m_monitor(monitor)
    , m_grabber(grabber)
{
    connect(&m_grabber, &KeyGrabber::activated, this, [this](int id) {
        if (id == EscHotkeyId)
            KeepPasting = false;
    });
}

int PasteEngine::methodFor(const TItemRec &item, int categoryMethod, bool globalOn, int globalMethod)
{
    if (item.Kind == TItemRec::RichText)
        return 0;
    if (globalOn)
        return globalMethod;
    if (categoryMethod != TCategoryRec::NoCategoryMethod)
        return categoryMethod;
    return item.PasteMethod;
}

void PasteEngine::SpitText(const QList<const TItemRec *> &entries, ForeignFocus &target)
{
    // A run always ends with the Esc key given back, whatever happens in it.
    struct EscGrab
    {
        KeyGrabber &grabber;
        ~EscGrab() { grabber.ungrab(EscHotkeyId); }
    } escGrab{m_grabber};

    QList<TItemRec> items;
    for (const TItemRec *entry : entries) {
        if (entry)
            items << *entry;
    }
    std::optional<TCategoryRec> category;
    if (!items.isEmpty()) {
        if (const CategoryNode *node = m_collection.GetCategoryNode(items.first().Category))
            category = node->rec;
    }

    KeepPasting = false;
    if (!bringToFront(target))
        return;  // the target never came to the front: nothing may be sent elsewhere
    m_desktop.FocusForeignWindow(target);
    KeepPasting = true;
    m_grabber.grab(EscHotkeyId, kEscapeKeysym, 0);

    for (int position = 0; position < items.size(); ++position) {
        if (!mayGoOn(target))
            return;
        if (!pasteOne(items[position], position, target, category))
            return;
    }
}

bool PasteEngine::bringToFront(const ForeignFocus &target)
{
    m_desktop.ForceForeground(target.window);
    if (m_desktop.activeWindow() != target.window) {
        m_desktop.ForceForeground(target.window);
        m_desktop.Delay(50);
    }
    // The window manager activates asynchronously.
    for (int waited = 50; m_desktop.activeWindow() != target.window && waited < ActivationWaitMs; waited += 10)
        m_desktop.Delay(10);
    return target.window != 0 && m_desktop.activeWindow() == target.window;
}

bool PasteEngine::mayGoOn(const ForeignFocus &target)
{
    // A click elsewhere ends the run as Esc does: the rest would land in the wrong window.
    if (KeepPasting && m_desktop.activeWindow() != target.window)
        KeepPasting = false;
    return KeepPasting;
}

bool PasteEngine::readyToSend(const ForeignFocus &target)
{
    // A Shift or Ctrl the user still holds would combine with our keys.
    for (int waited = 0; KeepPasting && m_desktop.modifiersHeld(); waited += 10) {
        if (waited >= ModifierWaitMs) {
            m_desktop.releaseModifiers();
            break;
        }
        m_desktop.Delay(10);
    }
    return mayGoOn(target);
}

bool PasteEngine::pasteOne(const TItemRec &item, int position, ForeignFocus &target,
                           const std::optional<TCategoryRec> &category)
{
    m_monitor.ClipArmed = false;
    if (item.Kind == TItemRec::Image) {
        if (position > 0)
            m_desktop.Delay(200);
        auto *data = new QMimeData;
        data->setImageData(pictureOf(item));
        m_clipboard.setMimeData(data);
        if (m_options.flag(QStringLiteral("showbmp"))) {
            if (!readyToSend(target))
                return false;
            m_desktop.SendCtrlV();
        }
        return true;
    }

    const bool rich = item.Kind == TItemRec::RichText;
    const QString text = rich ? RtfReader::toPlainText(item.Text) : item.Text;
    if (position > 0)
        m_desktop.Delay(200);
    {
        auto *data = new QMimeData;
        data->setText(withLf(text));
        if (rich) {
            data->setData(QStringLiteral("text/rtf"), item.Text.toLatin1());
            const SuppressCapture suppress(m_monitor.ClipSuppressCount);
            m_clipboard.setMimeData(data);
        } else {
            m_clipboard.setMimeData(data);
        }
    }
    if (!m_options.flag(QStringLiteral("paste")))
        return false;

    const int method = methodFor(item, category ? category->PasteMethod : TCategoryRec::NoCategoryMethod,
                                 m_options.flag(QStringLiteral("global")), m_options.number(QStringLiteral("gpaste")));
    m_desktop.Delay(100);
    if (!mayGoOn(target))
        return false;
    if (position == 0 && target.comboSelStart != -1)
        m_desktop.setSelection(target, target.comboSelStart, target.comboSelEnd);
    switch (method) {
    case 0:
        if (!readyToSend(target))
            return false;
        m_desktop.SendCtrlV();
        break;
    case 1: TypeText(target, text); break;
    case 2:
        // A control that cannot take an insertion still gets the text, typed;
        // one that took any of it is never given it a second time.
        if (!m_desktop.insertText(target, withLf(text)))
            TypeText(target, text);
        break;
    default: break;
    }
    m_desktop.Delay(75);
    if (!mayGoOn(target))
        return false;
    afterPaste(item, target, category);
    return KeepPasting;
}

void PasteEngine::afterPaste(const TItemRec &item, ForeignFocus &target, const std::optional<TCategoryRec> &category)
{
    const bool fromCategory = category && category->Action > 0;
    const int action = fromCategory ? category->Action : item.Action;
    const int count = fromCategory ? category->ActionCount : item.ActionCount;
    const QString extra = fromCategory ? category->ExtraText : item.ExtraText;
    switch (action) {
    case 1: case 2: case 3: {
        const Desktop::Key key = action == 1 ? Desktop::Key::Tab : action == 2 ? Desktop::Key::Enter : Desktop::Key::Space;
        for (int i = 0; i < count; ++i) {
            if (!mayGoOn(target))
                return;
            m_desktop.Delay(100);
            m_desktop.FocusForeignWindow(target);
            if (!readyToSend(target))
                return;
            m_desktop.pressKey(key);
            m_desktop.Delay(100);
            // The key may have moved the focus (Tab): the next delivery goes
            // where it is now, as long as that is still the target's window.
            const ForeignFocus next = m_desktop.GetForeignFocus();
            if (next.window != target.window) {
                KeepPasting = false;
                return;
            }
            target = next;
        }
        break;
    }
    case 4:
        m_desktop.Delay(200);
        if (count <= 0)
            m_desktop.FocusForeignWindow(target);
        for (int i = 0; i < count && mayGoOn(target); ++i) {
            const ForeignFocus next = m_desktop.nextControl(target);
            if (next.window != target.window) {
                KeepPasting = false;
                return;
            }
            target = next;
        }
        break;
    case 5:
        for (int i = 0; i < count; ++i) {
            m_desktop.Delay(100);
            TypeText(target, extra);
        }
        break;
    default: break;
    }
}

void PasteEngine::TypeText(const ForeignFocus &target, const QString &text)
{
    if (!mayGoOn(target))
        return;
    const bool caps = m_desktop.capsLockOn();
    if (caps)
        m_desktop.pressKey(Desktop::Key::CapsLock);
    m_desktop.prepareTyping(text);
    for (const char32_t c : text.toUcs4()) {
        if (!KeepPasting)
            break;
        m_desktop.Delay(1);
        if (c == U'\n')
            continue;
        if (!readyToSend(target))
            break;
        if (c == U'\r')
            m_desktop.pressKey(Desktop::Key::Enter);
        else if (c == U'\t')
            m_desktop.pressKey(Desktop::Key::Tab);
        else
            m_desktop.typeCharacter(c);
    }
    m_desktop.finishTyping();
    if (caps)
        m_desktop.pressKey(Desktop::Key::CapsLock);
}
