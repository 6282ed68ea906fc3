#include "platform/x11/x11desktop.h"

#include "platform/soundfile.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDesktopServices>
#include <QSoundEffect>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

#include <QElapsedTimer>
#include <QThread>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <sys/prctl.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>

namespace {

// How long the other clients are given to read a changed keyboard map
// before a key of the new map is pressed.
constexpr qint64 kNewMapSettleNs = 20'000'000;

Display *display()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

void fakeKey(Display *dpy, KeyCode code, bool down)
{
    XTestFakeKeyEvent(dpy, code, down ? True : False, CurrentTime);
}

void tap(Display *dpy, KeySym keysym)
{
    const KeyCode code = XKeysymToKeycode(dpy, keysym);
    if (!code)
        return;
    fakeKey(dpy, code, true);
    fakeKey(dpy, code, false);
    XFlush(dpy);
}

xcb_connection_t *connection()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootOf(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The atoms we ask about all the time (the active window before every typed
// character), interned once per connection.
enum class KnownAtom { NetActiveWindow, NetWmPid, AtSpiBus, Count };

xcb_atom_t atom(xcb_connection_t *c, KnownAtom which)
{
    static const char *const names[] = {"_NET_ACTIVE_WINDOW", "_NET_WM_PID", "AT_SPI_BUS"};
    static xcb_connection_t *internedFor = nullptr;
    static xcb_atom_t atoms[int(KnownAtom::Count)] = {};
    if (internedFor != c) {
        xcb_intern_atom_cookie_t cookies[int(KnownAtom::Count)];
        for (int i = 0; i < int(KnownAtom::Count); ++i)
            cookies[i] = xcb_intern_atom(c, 0, uint16_t(strlen(names[i])), names[i]);
        for (int i = 0; i < int(KnownAtom::Count); ++i) {
            auto *reply = xcb_intern_atom_reply(c, cookies[i], nullptr);
            atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
            std::free(reply);
        }
        internedFor = c;
    }
    return atoms[int(which)];
}

xcb_window_t activeWindowOf(xcb_connection_t *c)
{
    const xcb_window_t root = rootOf(c);
    xcb_window_t window = XCB_WINDOW_NONE;
    auto *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom(c, KnownAtom::NetActiveWindow), XCB_ATOM_WINDOW, 0, 1), nullptr);
    if (reply && xcb_get_property_value_length(reply) >= 4)
        window = *static_cast<xcb_window_t *>(xcb_get_property_value(reply));
    std::free(reply);
    if (window != XCB_WINDOW_NONE)
        return window;
    // No window manager hint: the window holding the input focus.
    auto *focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (focus) {
        window = focus->focus;
        std::free(focus);
    }
    return window > xcb_window_t(XCB_INPUT_FOCUS_POINTER_ROOT) ? window : xcb_window_t(XCB_WINDOW_NONE);
}

// Whether `window` is `ancestor` or lies inside it (a focus proxy, a child control).
bool isWithin(xcb_connection_t *c, xcb_window_t window, xcb_window_t ancestor)
{
    const xcb_window_t root = rootOf(c);
    for (int depth = 0; depth < 32 && window != XCB_WINDOW_NONE && window != root; ++depth) {
        if (window == ancestor)
            return true;
        auto *tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
        if (!tree)
            return false;
        window = tree->parent;
        std::free(tree);
    }
    return false;
}

bool isOwnWindow(xcb_window_t window)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->internalWinId() == window)
            return true;
    }
    return false;
}

QPoint originOf(xcb_connection_t *c, xcb_window_t window)
{
    auto *reply = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, rootOf(c), 0, 0), nullptr);
    QPoint origin;
    if (reply) {
        origin = QPoint(reply->dst_x, reply->dst_y);
        std::free(reply);
    }
    return origin;
}

quint32 pidOf(xcb_connection_t *c, xcb_window_t window)
{
    quint32 pid = 0;
    auto *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom(c, KnownAtom::NetWmPid), XCB_ATOM_CARDINAL, 0, 1), nullptr);
    if (reply && xcb_get_property_value_length(reply) >= 4)
        pid = *static_cast<quint32 *>(xcb_get_property_value(reply));
    std::free(reply);
    return pid;
}

QString rootBusProperty(xcb_connection_t *c)
{
    QString address;
    auto *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, rootOf(c), atom(c, KnownAtom::AtSpiBus), XCB_ATOM_STRING, 0, 1024), nullptr);
    if (reply && xcb_get_property_value_length(reply) > 0)
        address = QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply)),
                                    xcb_get_property_value_length(reply));
    std::free(reply);
    return address;
}

std::optional<XkbStateRec> keyboardState()
{
    Display *dpy = display();
    XkbStateRec state;
    if (!dpy || XkbGetState(dpy, XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    return state;
}

} // namespace

// The window manager announces each new active window on the root window:
// hearing of it spares asking again before every key.
class ActiveWindowWatch : public QAbstractNativeEventFilter
{
public:
    explicit ActiveWindowWatch(xcb_connection_t *c)
        : m_root(rootOf(c))
        , m_atom(atom(c, KnownAtom::NetActiveWindow))
    {
        // Added to what the root already tells this connection, never instead of it.
        auto *attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, m_root), nullptr);
        if (!attributes)
            return;
        const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
        std::free(attributes);
        xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
        qApp->installNativeEventFilter(this);
    }
    ~ActiveWindowWatch() override
    {
        if (qApp)
            qApp->removeNativeEventFilter(this);
    }
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
            const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (property->window == m_root && property->atom == m_atom)
                changed = true;
        }
        return false;
    }

    bool changed = true;  // until the first look, nothing is known

private:
    xcb_window_t m_root;
    xcb_atom_t m_atom;
};

X11Desktop::X11Desktop()
{
    // Listening from the start lets the focus announcements reach us before
    // the first hotkey.
    if (xcb_connection_t *c = connection()) {
        m_atspi.available(rootBusProperty(c));
        m_activeWatch = std::make_unique<ActiveWindowWatch>(c);
    }
}

X11Desktop::~X11Desktop()
{
    dropKeyboardMap();
}

ForeignFocus X11Desktop::foreignFocus()
{
    ForeignFocus focus;
    xcb_connection_t *c = connection();
    if (!c)
        return focus;
    focus.window = activeWindowOf(c);
    focus.ownWindow = focus.window != XCB_WINDOW_NONE && isOwnWindow(xcb_window_t(focus.window));
    if (focus.window == XCB_WINDOW_NONE || focus.ownWindow)
        return focus;
    focus.windowOrigin = originOf(c, xcb_window_t(focus.window));
    // The focused control and its caret, where the application is reachable
    // on the accessibility bus; otherwise the window alone.
    if (m_atspi.available(rootBusProperty(c))) {
        // While the hotkey's key is down our grab has the keyboard, and a
        // GTK window calls none of its controls focused; it does again as
        // soon as the key is let go. A window that has just opened has not
        // announced its focus either, so ask again until a moment after the
        // key is up (bounded, should the key stick).
        QElapsedTimer clock;
        QElapsedTimer sinceRelease;
        clock.start();
        // Time by the clock: each look-up itself may take a while.
        const AtspiFocus::Result inside
            = m_atspi.focusedIn(pidOf(c, xcb_window_t(focus.window)), [&clock, &sinceRelease] {
                  if (clock.elapsed() >= kFocusPatienceMs)
                      return false;
                  if (!keyHeld()) {
                      if (!sinceRelease.isValid())
                          sinceRelease.start();
                      else if (sinceRelease.elapsed() >= kFocusAfterReleaseMs)
                          return false;
                  }
                  waitForOthers(25);
                  return true;
              });
        AtspiFocus::adopt(focus, inside, {});
    }
    return focus;
}

void X11Desktop::bringToFront(quint64 window)
{
    xcb_connection_t *c = connection();
    if (!c || window == 0)
        return;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() == window) {
            widget->raise();
            widget->activateWindow();
            return;
        }
    }
    // Ask the window manager, as a pager would (source indication 2).
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window);
    event.type = atom(c, KnownAtom::NetActiveWindow);
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(c, xcb_window_t(window), XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_flush(c);
}

QStringList X11Desktop::windowClass(quint64 window)
{
    xcb_connection_t *c = connection();
    if (!c || window == 0)
        return {};
    // Two names, each ended by a NUL; whatever a window sets, we read a bounded amount.
    QStringList names;
    auto *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, xcb_window_t(window), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 64), nullptr);
    if (reply && xcb_get_property_value_length(reply) > 0) {
        const QByteArray value(static_cast<const char *>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        for (const QByteArray &name : value.split('\0')) {
            if (!name.isEmpty())
                names << QString::fromLatin1(name);
        }
    }
    std::free(reply);
    return names;
}

QPoint X11Desktop::pointerPosition() const
{
    xcb_connection_t *c = connection();
    if (!c)
        return QCursor::pos();
    auto *reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, rootOf(c)), nullptr);
    QPoint position;
    if (reply) {
        position = QPoint(reply->root_x, reply->root_y);
        std::free(reply);
    }
    return position;
}

bool X11Desktop::keyHeld()
{
    Display *dpy = display();
    if (!dpy)
        return false;
    char keys[32];
    XQueryKeymap(dpy, keys);
    XModifierKeymap *map = XGetModifierMapping(dpy);
    // Modifiers do not count: the grab ends with the hotkey's own key.
    for (int i = 0; map && i < 8 * map->max_keypermod; ++i) {
        const KeyCode code = map->modifiermap[i];
        if (code)
            keys[code / 8] &= char(~(1 << (code % 8)));
    }
    if (map)
        XFreeModifiermap(map);
    for (const char byte : keys) {
        if (byte)
            return true;
    }
    return false;
}

void X11Desktop::waitForOthers(int milliseconds)
{
    // Other applications move on while we wait; our own input waits, so a
    // second hotkey cannot start inside the first.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(1);
    }
}

void X11Desktop::delay(int milliseconds)
{
    if (!m_inTypingRun) {
        waitFor(qint64(milliseconds) * 1000000);
        return;
    }
    const qint64 wait = untilNextKey(milliseconds);
    if (m_heldAcrossKeys) {
        // While the server is held our events wait for the burst's end: reading
        // the clipboard of another client now would stall the whole desktop.
        QThread::usleep(wait / 1000);
        return;
    }
    waitFor(wait);
}

void X11Desktop::waitFor(qint64 nanoseconds)
{
    // Events keep flowing while we wait: the Esc of a paste run, timers, the clipboard.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 left = nanoseconds - clock.nsecsElapsed();
        if (left <= 0)
            break;
        // Sleep no longer than what is left, at most 1 ms between looks at the events.
        QThread::usleep(std::max<qint64>(1, std::min<qint64>(left, 1000000) / 1000));
    }
}

qint64 X11Desktop::untilNextKey(int milliseconds)
{
    // A run that fell far behind (a key given a new symbol waits for the
    // clients to read the map) takes up its pace again instead of rushing.
    constexpr qint64 kFallenBehindNs = 5'000'000;
    // Never two keys closer than this, whatever is being made up.
    constexpr qint64 kShortestGapNs = 300'000;
    const qint64 now = m_runClock.nsecsElapsed();
    if (m_keyDue < 0 || now - m_keyDue > kFallenBehindNs)
        m_keyDue = now;
    m_keyDue += qint64(milliseconds) * 1000000;
    return std::max(m_keyDue - now, kShortestGapNs);
}

quint64 X11Desktop::activeWindow()
{
    xcb_connection_t *c = connection();
    if (!c)
        return 0;
    xcb_window_t focus = XCB_WINDOW_NONE;
    if (auto *reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)) {
        focus = reply->focus;
        std::free(reply);
    }
    return activeWindowWithFocus(focus);
}

quint64 X11Desktop::activeWindowWithFocus(quint32 focus)
{
    xcb_connection_t *c = connection();
    const xcb_window_t active = ::activeWindowOf(c);
    // Keys go where the input focus is, and the window manager announces a
    // new active window only after it has moved the focus: a window that is
    // announced but no longer holds the focus is not where keys would land.
    if (focus <= xcb_window_t(XCB_INPUT_FOCUS_POINTER_ROOT) || isWithin(c, focus, active))
        return active;
    return focus;
}

bool X11Desktop::beginDelivery(quint64 window)
{
    xcb_connection_t *c = connection();
    Display *dpy = display();
    if (!c || !dpy)
        return false;
    if (m_heldAcrossKeys) {
        // Still held since the burst's look: nothing could move the keyboard.
        if (window == m_deliveryWindow)
            return true;
        releaseServer();
    }
    // While the server is held no window manager can move the keyboard
    // between our look at where it is and the keys we send there.
    xcb_grab_server(c);
    m_deliveryGrab = true;
    m_deliveryWindow = window;
    // One round trip answers both where the input focus is and what the
    // keyboard holds (the second question rides behind the first).
    const xcb_get_input_focus_cookie_t asked = xcb_get_input_focus(c);
    XkbStateRec state;
    m_deliveryStateKnown = XkbGetState(dpy, XkbUseCoreKbd, &state) == Success;
    m_deliveryMods = m_deliveryStateKnown ? state.base_mods : 0;
    m_deliveryGroup = m_deliveryStateKnown ? state.group : 0;
    xcb_window_t focus = XCB_WINDOW_NONE;
    if (auto *reply = xcb_get_input_focus_reply(c, asked, nullptr)) {
        focus = reply->focus;
        std::free(reply);
    }
    if (window != 0) {
        // The focus where the last full look left it, and no new active
        // window announced since: the keys still go to the same place.
        if (window == m_lookedWindow && focus == m_lookedFocus && m_activeWatch && !m_activeWatch->changed)
            return true;
        if (m_activeWatch)
            m_activeWatch->changed = false;
        if (activeWindowWithFocus(focus) == window) {
            m_lookedWindow = window;
            m_lookedFocus = focus;
            return true;
        }
    }
    m_lookedWindow = 0;
    releaseServer();
    return false;
}

void X11Desktop::endDelivery()
{
    // Keys of a typing run come a millisecond apart; a look at the target for
    // each would cost as much as the key. The server stays held for a short
    // burst after a look that found the way clear, so no other client can
    // move the keyboard meanwhile, and is let go often enough that the
    // desktop keeps drawing and an Esc is read.
    constexpr int kKeysPerHold = 8;
    constexpr qint64 kLongestHoldNs = 10'000'000;
    constexpr unsigned held = ShiftMask | ControlMask | Mod1Mask | Mod4Mask | Mod5Mask;
    if (!m_deliveryGrab)
        return;
    if (m_inTypingRun && m_deliveryStateKnown && !(m_deliveryMods & held)) {
        if (!m_heldAcrossKeys) {
            m_heldAcrossKeys = true;
            m_keysInHold = 0;
            m_holdStarted = m_runClock.nsecsElapsed();
        }
        if (++m_keysInHold < kKeysPerHold && m_runClock.nsecsElapsed() - m_holdStarted < kLongestHoldNs) {
            if (Display *dpy = display())
                XFlush(dpy);
            return;
        }
    }
    releaseServer();
}

void X11Desktop::releaseServer()
{
    xcb_connection_t *c = connection();
    m_heldAcrossKeys = false;
    if (!m_deliveryGrab || !c)
        return;
    m_deliveryGrab = false;
    m_deliveryStateKnown = false;
    if (Display *dpy = display())
        XFlush(dpy);
    xcb_ungrab_server(c);
    xcb_flush(c);
}

bool X11Desktop::modifiersHeld()
{
    constexpr unsigned held = ShiftMask | ControlMask | Mod1Mask | Mod4Mask | Mod5Mask;
    // Inside a delivery the server is held: what was read at its start is what is true now.
    if (m_deliveryStateKnown)
        return m_deliveryMods & held;
    const std::optional<XkbStateRec> state = keyboardState();
    return state && (state->base_mods & held);
}

void X11Desktop::releaseModifiers()
{
    Display *dpy = display();
    if (!dpy)
        return;
    // Every key that carries a modifier and is down gets its release.
    char keys[32];
    XQueryKeymap(dpy, keys);
    XModifierKeymap *map = XGetModifierMapping(dpy);
    if (!map)
        return;
    for (int modifier = 0; modifier < 8; ++modifier) {
        if (modifier == LockMapIndex || modifier == Mod2MapIndex)
            continue;  // Caps Lock and Num Lock are states, not held keys
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + i];
            if (code && (keys[code / 8] & (1 << (code % 8))))
                fakeKey(dpy, code, false);
        }
    }
    XFreeModifiermap(map);
    XFlush(dpy);
}

void X11Desktop::pressKey(Key key)
{
    Display *dpy = display();
    if (!dpy)
        return;
    switch (key) {
    case Key::Tab: tap(dpy, XK_Tab); break;
    case Key::Enter: tap(dpy, XK_Return); break;
    case Key::Space: tap(dpy, XK_space); break;
    case Key::CapsLock: tap(dpy, XK_Caps_Lock); break;
    }
}

void X11Desktop::sendCtrlV()
{
    Display *dpy = display();
    if (!dpy)
        return;
    const KeyCode control = XKeysymToKeycode(dpy, XK_Control_L);
    fakeKey(dpy, control, true);
    tap(dpy, XK_v);
    fakeKey(dpy, control, false);
    XFlush(dpy);
}

void X11Desktop::sendCtrlShiftV()
{
    Display *dpy = display();
    if (!dpy)
        return;
    const KeyCode control = XKeysymToKeycode(dpy, XK_Control_L);
    const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
    fakeKey(dpy, control, true);
    fakeKey(dpy, shift, true);
    tap(dpy, XK_v);
    fakeKey(dpy, shift, false);
    fakeKey(dpy, control, false);
    XFlush(dpy);
}

bool X11Desktop::typeCharacter(char32_t character)
{
    Display *dpy = display();
    if (!dpy || character < 0x20 || (character >= 0x7F && character < 0xA0))
        return false;
    const KeySym keysym = character < 0x100 ? KeySym(character) : KeySym(0x01000000 | character);
    // A character lent a spare key for this run is typed there.
    for (const SpareSlot &slot : std::as_const(m_spareSlots)) {
        if (slot.character == character)
            return typeOnSpareKey(character);
    }
    KeyCode code = 0;
    bool shifted = false;
    if (keyFor(keysym, code, shifted)) {
        const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
        if (shifted)
            fakeKey(dpy, shift, true);
        fakeKey(dpy, code, true);
        fakeKey(dpy, code, false);
        if (shifted)
            fakeKey(dpy, shift, false);
        XFlush(dpy);
        return true;
    }
    // No key gives it: lend it a spare key, so nothing is dropped.
    return typeOnSpareKey(character);
}

namespace {

// The group a key really uses when the keyboard is in `group`: a key with
// fewer groups wraps, clamps or redirects as its layout says.
int effectiveGroup(XkbDescPtr xkb, KeyCode code, int group)
{
    const int groups = XkbKeyNumGroups(xkb, code);
    if (groups <= 0)
        return -1;
    if (group < groups)
        return group;
    const unsigned char info = XkbKeyGroupInfo(xkb, code);
    switch (XkbOutOfRangeGroupAction(info)) {
    case XkbClampIntoRange: return groups - 1;
    case XkbRedirectIntoRange: {
        const int redirect = XkbOutOfRangeGroupNumber(info);
        return redirect < groups ? redirect : 0;
    }
    default: return group % groups;
    }
}

// Whether Shift alone selects the key's second level in that group.
bool shiftSelectsLevel1(XkbDescPtr xkb, KeyCode code, int group)
{
    const XkbKeyTypePtr type = XkbKeyKeyType(xkb, code, group);
    for (int i = 0; type && i < type->map_count; ++i) {
        const XkbKTMapEntryRec &entry = type->map[i];
        if (entry.active && entry.mods.mask == ShiftMask && entry.level == 1)
            return true;
    }
    return false;
}

} // namespace

XkbDescPtr X11Desktop::keyboardMap()
{
    if (!m_xkb) {
        if (Display *dpy = display())
            m_xkb = XkbGetMap(dpy, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    }
    return m_xkb;
}

void X11Desktop::dropKeyboardMap()
{
    if (m_xkb)
        XkbFreeKeyboard(m_xkb, 0, True);
    m_xkb = nullptr;
}

bool X11Desktop::keyFor(unsigned long keysym, unsigned char &keycode, bool &shifted)
{
    Display *dpy = display();
    XkbDescPtr xkb = dpy ? keyboardMap() : nullptr;
    if (!xkb)
        return false;
    // The layout the user has switched to, not the first one.
    XkbStateRec state;
    const int group = m_deliveryStateKnown                                      ? m_deliveryGroup
                      : XkbGetState(dpy, XkbUseCoreKbd, &state) == Success ? state.group
                                                                            : 0;
    for (int level = 0; level < 2; ++level) {
        for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
            const int g = effectiveGroup(xkb, KeyCode(code), group);
            if (g < 0 || level >= XkbKeyGroupWidth(xkb, code, g) || XkbKeySymEntry(xkb, code, level, g) != keysym)
                continue;
            if (level == 1 && !shiftSelectsLevel1(xkb, KeyCode(code), g))
                continue;
            keycode = KeyCode(code);
            shifted = level == 1;
            if (!m_inTypingRun)
                dropKeyboardMap();
            return true;
        }
    }
    if (!m_inTypingRun)
        dropKeyboardMap();
    return false;
}

void X11Desktop::findSpareKeys()
{
    Display *dpy = display();
    if (m_spareKeysFound || !dpy)
        return;
    m_spareKeysFound = true;
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(dpy, &minCode, &maxCode);
    KeySym *map = XGetKeyboardMapping(dpy, KeyCode(minCode), maxCode - minCode + 1, &perCode);
    if (!map)
        return;
    // Each unused key lends two characters: one plain, one with Shift.
    for (int k = maxCode; k >= minCode; --k) {
        bool empty = true;
        for (int level = 0; level < perCode; ++level)
            empty = empty && map[(k - minCode) * perCode + level] == NoSymbol;
        if (empty) {
            m_spareSlots.append({static_cast<unsigned char>(k), 0, 0, 0});
            m_spareSlots.append({static_cast<unsigned char>(k), 1, 0, 0});
        }
    }
    XFree(map);
}

bool X11Desktop::hasKey(unsigned long keysym)
{
    unsigned char code = 0;
    bool shifted = false;
    return keyFor(keysym, code, shifted);
}

void X11Desktop::remapSpareKey(unsigned char keycode)
{
    KeySym levels[2] = {NoSymbol, NoSymbol};
    for (const SpareSlot &slot : std::as_const(m_spareSlots)) {
        if (slot.keycode == keycode && slot.character)
            levels[slot.level] = slot.character < 0x100 ? KeySym(slot.character) : KeySym(0x01000000 | slot.character);
    }
    // A lone shifted symbol would not be reachable: keep level 0 filled.
    if (levels[0] == NoSymbol)
        levels[0] = levels[1];
    XChangeKeyboardMapping(display(), keycode, 2, levels, 1);
    dropKeyboardMap();
}

void X11Desktop::prepareTyping(const QString &text)
{
    Display *dpy = display();
    if (!dpy)
        return;
    findSpareKeys();
    // The keyboard map is read once for the run (again after a spare key
    // changes it), not once per character.
    dropKeyboardMap();
    m_inTypingRun = true;
    // The pause between keys is a millisecond: the kernel's usual slack on
    // a sleep (50 µs) would add a twentieth to every key.
    m_savedTimerSlack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    prctl(PR_SET_TIMERSLACK, 1, 0, 0, 0);
    m_runClock.start();
    m_keyDue = -1;
    // Every character the layout lacks gets its key before the run, with one
    // settle for all of them.
    int next = 0;
    QList<char32_t> seen;
    QList<unsigned char> changed;
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || seen.contains(c) || next >= m_spareSlots.size())
            continue;
        seen.append(c);
        if (hasKey(c < 0x100 ? KeySym(c) : KeySym(0x01000000 | c)))
            continue;
        m_spareSlots[next].character = c;
        if (!changed.contains(m_spareSlots[next].keycode))
            changed.append(m_spareSlots[next].keycode);
        ++next;
    }
    for (const unsigned char keycode : std::as_const(changed))
        remapSpareKey(keycode);
    if (!changed.isEmpty()) {
        XSync(dpy, False);
        waitFor(kNewMapSettleNs);
    }
}

bool X11Desktop::typeOnSpareKey(char32_t character)
{
    Display *dpy = display();
    findSpareKeys();
    if (m_spareSlots.isEmpty())
        return false;
    ++m_typed;
    SpareSlot *slot = nullptr;
    for (SpareSlot &spare : m_spareSlots) {
        if (spare.character == character)
            slot = &spare;
    }
    if (!slot) {
        // The slot used longest ago takes the new character.
        slot = &*std::min_element(m_spareSlots.begin(), m_spareSlots.end(),
                                  [](const SpareSlot &a, const SpareSlot &b) { return a.lastUse < b.lastUse; });
        slot->character = character;
        // The other clients must read the new map: they cannot while the server is held.
        const bool held = m_deliveryGrab;
        if (held)
            releaseServer();
        remapSpareKey(slot->keycode);
        XSync(dpy, False);
        waitFor(kNewMapSettleNs);
        if (held && !beginDelivery(m_deliveryWindow))
            return false;
    }
    slot->lastUse = m_typed;
    const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
    if (slot->level == 1)
        fakeKey(dpy, shift, true);
    fakeKey(dpy, slot->keycode, true);
    fakeKey(dpy, slot->keycode, false);
    if (slot->level == 1)
        fakeKey(dpy, shift, false);
    XFlush(dpy);
    return true;
}

void X11Desktop::finishTyping()
{
    releaseServer();
    if (m_inTypingRun && m_savedTimerSlack > 0)
        prctl(PR_SET_TIMERSLACK, m_savedTimerSlack, 0, 0, 0);
    m_inTypingRun = false;
    dropKeyboardMap();
    Display *dpy = display();
    QList<unsigned char> lent;
    for (SpareSlot &slot : m_spareSlots) {
        if (slot.character && !lent.contains(slot.keycode))
            lent.append(slot.keycode);
        slot.character = 0;
    }
    if (!dpy || lent.isEmpty())
        return;
    // Let the last presses be read with the map they were made for.
    XSync(dpy, False);
    waitFor(kNewMapSettleNs);
    for (const unsigned char keycode : std::as_const(lent))
        remapSpareKey(keycode);
    XSync(dpy, False);
}

bool X11Desktop::capsLockOn()
{
    const std::optional<XkbStateRec> state = keyboardState();
    return state && (state->locked_mods & LockMask);
}

