// Test helper: takes the CLIPBOARD and then never answers a request for it,
// like a hung application. Usage: sk_silent_owner SECONDS

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 2;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      screen->root_visual, 0, nullptr);
    const char *name = "CLIPBOARD";
    auto *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_set_selection_owner(c, window, reply->atom, XCB_CURRENT_TIME);
    std::free(reply);
    xcb_flush(c);
    usleep(useconds_t(seconds * 1e6));  // requests pile up unanswered
    xcb_disconnect(c);
    return 0;
}
