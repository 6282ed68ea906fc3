// A Wayland selection owner that never sends its data: it offers plain text
// through the clipboard-manager protocol, takes every request and answers
// none, for as many seconds as asked. Usage: sk_wl_silent_owner SECONDS
#include <wlr-data-control-unstable-v1-client-protocol.h>

#include <wayland-client.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include <poll.h>

namespace {

wl_seat *seat = nullptr;
zwlr_data_control_manager_v1 *manager = nullptr;
std::vector<int> heldOpen;

void global(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_data_control_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}
void globalRemove(void *, wl_registry *, uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

void send(void *, zwlr_data_control_source_v1 *, const char *, int32_t fd)
{
    heldOpen.push_back(fd);  // never written, never closed
}
void cancelled(void *, zwlr_data_control_source_v1 *) {}
const zwlr_data_control_source_v1_listener sourceListener{send, cancelled};

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!seat || !manager)
        return 1;
    zwlr_data_control_device_v1 *device = zwlr_data_control_manager_v1_get_data_device(manager, seat);
    zwlr_data_control_source_v1 *source = zwlr_data_control_manager_v1_create_data_source(manager);
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, nullptr);
    zwlr_data_control_source_v1_offer(source, "text/plain;charset=utf-8");
    zwlr_data_control_source_v1_offer(source, "text/plain");
    zwlr_data_control_device_v1_set_selection(device, source);
    wl_display_flush(display);
    const time_t end = std::time(nullptr) + seconds;
    while (std::time(nullptr) < end) {
        pollfd readable{wl_display_get_fd(display), POLLIN, 0};
        wl_display_flush(display);
        if (poll(&readable, 1, 200) > 0 && wl_display_dispatch(display) < 0)
            break;
    }
    wl_display_disconnect(display);
    return 0;
}
