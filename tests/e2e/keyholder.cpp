// Test helper: another program that holds Ctrl+V (all lock variants) on the
// root window for a number of seconds, so a second grab of it must fail.
// Usage: sk_key_holder SECONDS

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <initializer_list>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 2;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, 0x76);  // v
    if (!codes)
        return 2;
    const uint16_t locks[] = {0, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK};
    for (const uint16_t lock : locks)
        xcb_grab_key(c, 1, root, uint16_t(XCB_MOD_MASK_CONTROL | lock), codes[0], XCB_GRAB_MODE_ASYNC,
                     XCB_GRAB_MODE_ASYNC);
    xcb_flush(c);
    std::puts("holding");
    std::fflush(stdout);
    usleep(useconds_t(seconds * 1e6));
    xcb_disconnect(c);
    return 0;
}
