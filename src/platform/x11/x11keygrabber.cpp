#include "platform/x11/x11keygrabber.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

constexpr std::uint32_t kNumLockKeysym = 0xFF7F;
constexpr std::uint16_t kRelevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

std::uint16_t maskOf(std::uint8_t modifiers)
{
    std::uint16_t mask = 0;
    if (modifiers & KeyGrabber::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & KeyGrabber::Ctrl)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & KeyGrabber::Alt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & KeyGrabber::Win)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

std::uint8_t keycodeOf(xcb_connection_t *connection, std::uint32_t keysym)
{
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    if (!symbols)
        return 0;
    std::uint8_t keycode = 0;
    if (xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym)) {
        keycode = codes[0] == XCB_NO_SYMBOL ? 0 : codes[0];
        std::free(codes);
    }
    xcb_key_symbols_free(symbols);
    return keycode;
}

} // namespace

X11KeyGrabber::X11KeyGrabber(QObject *parent)
    : KeyGrabber(parent)
{
    if (auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        m_connection = x11->connection();
    if (!m_connection)
        return;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11KeyGrabber::~X11KeyGrabber()
{
    const QList<int> ids = m_grabs.keys();
    for (const int id : ids)
        ungrab(id);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

std::vector<std::uint16_t> X11KeyGrabber::lockVariants() const
{
    std::uint16_t numLock = 0;
    const std::uint8_t numLockCode = keycodeOf(m_connection, kNumLockKeysym);
    auto *reply = xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr);
    if (reply) {
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply);
        const int perModifier = reply->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8 && numLockCode; ++modifier) {
            for (int k = 0; k < perModifier; ++k) {
                if (codes[modifier * perModifier + k] == numLockCode)
                    numLock = std::uint16_t(1u << modifier);
            }
        }
        std::free(reply);
    }
    return {0, numLock, XCB_MOD_MASK_LOCK, std::uint16_t(numLock | XCB_MOD_MASK_LOCK)};
}

bool X11KeyGrabber::grab(int id, std::uint32_t keysym, std::uint8_t modifiers)
{
    ungrab(id);
    if (!m_connection)
        return false;
    const std::uint8_t keycode = keycodeOf(m_connection, keysym);
    if (!keycode)
        return false;
    const std::uint16_t mask = maskOf(modifiers);
    std::vector<std::uint16_t> done;
    bool ok = true;
    for (const std::uint16_t lock : lockVariants()) {
        if (std::find(done.begin(), done.end(), lock) != done.end())
            continue;
        const xcb_void_cookie_t cookie = xcb_grab_key_checked(m_connection, 1, m_root, std::uint16_t(mask | lock),
                                                              keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            // BadAccess: another program holds this combination.
            std::free(error);
            ok = false;
            break;
        }
        done.push_back(lock);
    }
    if (!ok) {
        for (const std::uint16_t lock : done)
            xcb_ungrab_key(m_connection, keycode, m_root, std::uint16_t(mask | lock));
        xcb_flush(m_connection);
        return false;
    }
    m_grabs.insert(id, {keycode, mask});
    xcb_flush(m_connection);
    return true;
}

void X11KeyGrabber::ungrab(int id)
{
    const auto it = m_grabs.constFind(id);
    if (it == m_grabs.constEnd() || !m_connection)
        return;
    std::vector<std::uint16_t> variants = lockVariants();
    std::sort(variants.begin(), variants.end());
    variants.erase(std::unique(variants.begin(), variants.end()), variants.end());
    for (const std::uint16_t lock : variants)
        xcb_ungrab_key(m_connection, it->keycode, m_root, std::uint16_t(it->mask | lock));
    xcb_flush(m_connection);
    m_grabs.erase(it);
}

bool X11KeyGrabber::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || m_grabs.isEmpty())
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const std::uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    auto *key = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (key->event != m_root)
        return false;
    const std::uint16_t state = key->state & kRelevantModifiers;
    for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
        if (it->keycode == key->detail && it->mask == state) {
            if (type == XCB_KEY_PRESS)
                emit activated(it.key());
            return true;
        }
    }
    return false;
}
