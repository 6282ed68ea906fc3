#include "platform/wayland/virtualkeyboard.h"

#include "platform/keygrabber.h"

#include <virtual-keyboard-unstable-v1-client-protocol.h>

#include <QElapsedTimer>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <ctime>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Modifier masks of the keymap below, its real modifiers in XKB's order:
// Shift, Lock, Control, Mod1 (Alt), Mod2, Mod3, Mod4 (Super).
constexpr std::uint32_t kShiftMask = 1u << 0;
constexpr std::uint32_t kControlMask = 1u << 2;
constexpr std::uint32_t kAltMask = 1u << 3;
constexpr std::uint32_t kSuperMask = 1u << 6;
constexpr std::uint32_t kFirstKey = 5;  // evdev numbers; 1 Control, 2 Shift, 3 Alt, 4 Super
constexpr std::uint32_t kPressed = WL_KEYBOARD_KEY_STATE_PRESSED;
constexpr std::uint32_t kReleased = WL_KEYBOARD_KEY_STATE_RELEASED;
constexpr useconds_t kKeymapSettleUs = 30000;

} // namespace

struct VirtualKeyboardRegistry
{
    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
    {
        auto *self = static_cast<VirtualKeyboard *>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat)
            self->m_seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0 && !self->m_manager)
            self->m_manager = static_cast<zwp_virtual_keyboard_manager_v1 *>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}
    static const wl_registry_listener listener;
};
const wl_registry_listener VirtualKeyboardRegistry::listener{VirtualKeyboardRegistry::global,
                                                             VirtualKeyboardRegistry::globalRemove};

VirtualKeyboard::VirtualKeyboard()
{
    // A connection of its own: the keys are ours, not a window's.
    m_display = wl_display_connect(nullptr);
    if (!m_display)
        return;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &VirtualKeyboardRegistry::listener, this);
    if (wl_display_roundtrip(m_display) < 0 || !m_seat || !m_manager)
        return;
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_seat);
    // A compositor that refuses us says so with an error on the connection.
    if (wl_display_roundtrip(m_display) < 0) {
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
        m_keyboard = nullptr;
    }
}

VirtualKeyboard::~VirtualKeyboard()
{
    if (m_keyboard)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_manager)
        zwp_virtual_keyboard_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

QByteArray VirtualKeyboard::keymapFor(const QList<std::uint32_t> &keysyms)
{
    QByteArray text = "xkb_keymap {\nxkb_keycodes \"(unnamed)\" {\nminimum = 8;\nmaximum = 255;\n";
    text += "<K1> = 9;\n<K2> = 10;\n<K3> = 11;\n<K4> = 12;\n";
    for (qsizetype i = 0; i < keysyms.size(); ++i)
        text += "<K" + QByteArray::number(kFirstKey + i) + "> = " + QByteArray::number(kFirstKey + 8 + i) + ";\n";
    // The highest keycode is a spare key without a symbol: GTK 3 looks for
    // the key of a shortcut's letter below the highest keycode only, so
    // Ctrl+V on the last key did nothing there.
    text += "<KSPARE> = " + QByteArray::number(kFirstKey + 8 + keysyms.size()) + ";\n";
    text += "};\nxkb_types \"(unnamed)\" { include \"complete\" };\n"
            "xkb_compatibility \"(unnamed)\" { include \"complete\" };\n"
            "xkb_symbols \"(unnamed)\" {\n"
            "key <K1> {[ Control_L ]};\nmodifier_map Control { <K1> };\n"
            "key <K2> {[ Shift_L ]};\nmodifier_map Shift { <K2> };\n"
            "key <K3> {[ Alt_L ]};\nmodifier_map Mod1 { <K3> };\n"
            "key <K4> {[ Super_L ]};\nmodifier_map Mod4 { <K4> };\n";
    char name[64];
    for (qsizetype i = 0; i < keysyms.size(); ++i) {
        if (xkb_keysym_get_name(keysyms[i], name, sizeof name) <= 0)
            std::snprintf(name, sizeof name, "0x%08x", keysyms[i]);
        text += "key <K" + QByteArray::number(kFirstKey + i) + "> {[ " + name + " ]};\n";
    }
    text += "};\n};\n";
    return text;
}

void VirtualKeyboard::upload()
{
    const QByteArray keymap = keymapFor(m_keysyms);
    const int fd = memfd_create("scrapkeeper-keymap", MFD_CLOEXEC);
    if (fd < 0)
        return;
    // The compositor reads the text with its closing NUL.
    const size_t size = size_t(keymap.size()) + 1;
    if (write(fd, keymap.constData(), size) == ssize_t(size)) {
        zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
        // The compositor hands a window the keymap of the keyboard whose
        // event it passes on; a window that gets a new keymap together with
        // a key may drop that key. A modifiers event carries the keymap to
        // the window first, and the window is given a moment to take it.
        zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
        m_uploaded = true;
    }
    close(fd);
    wl_display_roundtrip(m_display);
    usleep(kKeymapSettleUs);
}

void VirtualKeyboard::takeSeat()
{
    if (!m_keyboard || !ensureKeys({}))
        return;
    // A change of modifiers carries the keymap to the window before any key
    // (sway passes on an event that changes nothing without switching
    // keyboards): Shift, held and let go with no key between, does nothing.
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, kShiftMask, 0, 0, 0);
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    wl_display_roundtrip(m_display);
    usleep(kKeymapSettleUs);
}

// The keys every paste may send are always in the map, so none of them costs
// a new keymap in the middle of a delivery.
const QList<std::uint32_t> kBaseKeysyms{XKB_KEY_Return, XKB_KEY_Tab, XKB_KEY_space, XKB_KEY_v};

bool VirtualKeyboard::ensureKeys(const QList<std::uint32_t> &keysyms)
{
    bool added = false;
    if (m_keysyms.isEmpty())
        m_keysyms = kBaseKeysyms;
    for (const std::uint32_t keysym : keysyms) {
        if (keysym == XKB_KEY_NoSymbol || m_keysyms.contains(keysym))
            continue;
        // A full map starts again with what is asked now.
        if (m_keysyms.size() >= kMaxKeys)
            m_keysyms = kBaseKeysyms;
        m_keysyms << keysym;
        added = true;
    }
    if (added || !m_uploaded)
        upload();
    return m_uploaded;
}

std::uint32_t VirtualKeyboard::now() const
{
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return std::uint32_t(time.tv_sec * 1000 + time.tv_nsec / 1000000);
}

void VirtualKeyboard::tap(std::uint32_t keysym, std::uint32_t modifiers)
{
    if (!m_keyboard || !ensureKeys({keysym}))
        return;
    const qsizetype index = m_keysyms.indexOf(keysym);
    if (index < 0)
        return;
    const std::uint32_t key = kFirstKey + std::uint32_t(index);
    if (modifiers)
        zwp_virtual_keyboard_v1_modifiers(m_keyboard, modifiers, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(m_keyboard, now(), key, kPressed);
    zwp_virtual_keyboard_v1_key(m_keyboard, now(), key, kReleased);
    if (modifiers)
        zwp_virtual_keyboard_v1_modifiers(m_keyboard, 0, 0, 0, 0);
    // A round trip: the compositor has the keys before we go on, so a check
    // of the focus afterwards sees the world the keys landed in.
    wl_display_roundtrip(m_display);
}

void VirtualKeyboard::press(Named key)
{
    switch (key) {
    case Named::Tab: tap(XKB_KEY_Tab, 0); break;
    case Named::Return: tap(XKB_KEY_Return, 0); break;
    case Named::Space: tap(XKB_KEY_space, 0); break;
    }
}

void VirtualKeyboard::pressCombination(std::uint32_t keysym, std::uint8_t modifiers)
{
    std::uint32_t mask = 0;
    if (modifiers & KeyGrabber::Shift)
        mask |= kShiftMask;
    if (modifiers & KeyGrabber::Ctrl)
        mask |= kControlMask;
    if (modifiers & KeyGrabber::Alt)
        mask |= kAltMask;
    if (modifiers & KeyGrabber::Win)
        mask |= kSuperMask;
    tap(keysym, mask);
}

void VirtualKeyboard::prepare(const QString &text)
{
    if (!m_keyboard)
        return;
    QList<std::uint32_t> keysyms;
    for (const char32_t c : text.toUcs4()) {
        const std::uint32_t keysym = keysymOf(c);
        if (keysym != XKB_KEY_NoSymbol && !keysyms.contains(keysym))
            keysyms << keysym;
    }
    // What does not fit in one keymap gets its keys as typing reaches it.
    if (keysyms.size() > kMaxKeys)
        keysyms.resize(kMaxKeys - kBaseKeysyms.size());
    ensureKeys(keysyms);
}

bool VirtualKeyboard::type(char32_t character)
{
    if (!m_keyboard || !isTypeable(character))
        return false;
    tap(keysymOf(character), 0);
    return true;
}
