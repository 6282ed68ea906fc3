// Presses keys in the window that has the keyboard through a virtual
// keyboard with the plain US layout. Usage: sk_wl_keys KEY... (Left, Down,
// Home, End, Return, Escape, Tab, space, Alt, a, c, f, v, x; ctrl+KEY: that key with Control held), or
// SK_WL_KEYS_VARIANT=dvorak gives it that variant of the US layout (the keys
// above are pressed where the plain US layout has them); sk_wl_keys --hold: keeps the keyboard plugged in until
// killed. A seat without keyboards (a headless compositor) loses its
// keyboard whenever a tool's virtual keyboard goes, and windows then miss the
// keys that follow; one keyboard held for the whole test keeps the seat's.
// sk_wl_keys --hold --pointer: holds a pointer as well, which the compositor
// then moves (swaymsg seat - cursor set X Y): a headless seat has none, and
// windows see no pointer without one.
#include <virtual-keyboard-unstable-v1-client-protocol.h>
#include <wlr-virtual-pointer-unstable-v1-client-protocol.h>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

wl_seat *seat = nullptr;
zwp_virtual_keyboard_manager_v1 *manager = nullptr;
zwlr_virtual_pointer_manager_v1 *pointers = nullptr;

void global(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        manager = static_cast<zwp_virtual_keyboard_manager_v1 *>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        pointers = static_cast<zwlr_virtual_pointer_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void globalRemove(void *, wl_registry *, uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

uint32_t now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint32_t(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

// evdev codes of the keys the tests press
const std::map<std::string, uint32_t> kKeys{{"Left", 105},  {"Right", 106}, {"Up", 103},    {"Down", 108},
                                             {"Home", 102},  {"End", 107},   {"Return", 28}, {"Escape", 1},
                                             {"Tab", 15},    {"space", 57},  {"a", 30},      {"c", 46},
                                             {"v", 47},      {"x", 45},      {"f", 33},      {"Alt", 56}};
constexpr uint32_t kLeftControl = 29;
constexpr uint32_t kControlMask = 1u << 2;  // the third real modifier of the US keymap

// The key of "ctrl+KEY" or "KEY".
std::string keyName(const char *argument)
{
    return std::strncmp(argument, "ctrl+", 5) == 0 ? std::string(argument + 5) : std::string(argument);
}

} // namespace

int main(int argc, char **argv)
{
    const bool hold = argc >= 2 && std::strcmp(argv[1], "--hold") == 0;
    const bool pointer = hold && argc == 3 && std::strcmp(argv[2], "--pointer") == 0;
    for (int i = hold ? (pointer ? 3 : 2) : 1; i < argc; ++i) {
        if (!kKeys.count(keyName(argv[i])))
            return 2;
    }
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!seat || !manager)
        return 1;
    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names names{nullptr, nullptr, "us", std::getenv("SK_WL_KEYS_VARIANT"), nullptr};
    xkb_keymap *xkb = context ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    char *keymap = xkb ? xkb_keymap_get_as_string(xkb, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    if (!keymap)
        return 1;
    zwp_virtual_keyboard_v1 *keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, seat);
    const int fd = memfd_create("sk-wl-keys", MFD_CLOEXEC);
    const size_t size = std::strlen(keymap) + 1;
    if (fd < 0 || write(fd, keymap, size) != ssize_t(size))
        return 1;
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    wl_display_roundtrip(display);
    if (pointer) {
        if (!pointers)
            return 1;
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers, seat);
        wl_display_roundtrip(display);
    }
    if (hold) {
        while (wl_display_dispatch(display) >= 0) {
        }
        return 0;
    }
    usleep(150000);
    for (int i = 1; i < argc; ++i) {
        const uint32_t key = kKeys.at(keyName(argv[i]));
        // As a real keyboard does it: the Control key down, the modifier the compositor reports, the letter.
        const bool withControl = std::strncmp(argv[i], "ctrl+", 5) == 0;
        if (withControl) {
            zwp_virtual_keyboard_v1_key(keyboard, now(), kLeftControl, WL_KEYBOARD_KEY_STATE_PRESSED);
            zwp_virtual_keyboard_v1_modifiers(keyboard, kControlMask, 0, 0, 0);
        }
        zwp_virtual_keyboard_v1_key(keyboard, now(), key, WL_KEYBOARD_KEY_STATE_PRESSED);
        zwp_virtual_keyboard_v1_key(keyboard, now(), key, WL_KEYBOARD_KEY_STATE_RELEASED);
        if (withControl) {
            zwp_virtual_keyboard_v1_key(keyboard, now(), kLeftControl, WL_KEYBOARD_KEY_STATE_RELEASED);
            zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
        }
        wl_display_roundtrip(display);
        usleep(30000);
    }
    usleep(100000);
    zwp_virtual_keyboard_v1_destroy(keyboard);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
