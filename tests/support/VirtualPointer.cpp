// A pointer device on a wlroots compositor's seat, through its virtual pointer protocol:
// a headless compositor has no input devices, so it offers its clients no pointer at
// all. Prints "ready" once the device is there, then moves and presses as standard
// input says, one command a line, and answers "ok" once the compositor has taken each:
//   to X Y W H     the pointer to (X, Y) of the W x H layout
//   by DX DY       the pointer moved by (DX, DY)
//   press B        button B (1 left, 2 middle, 3 right) down; release B: up
// It ends when standard input closes.
#include "virtual-pointer-client.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !globals->seat)
        globals->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void removed(void*, wl_registry*, uint32_t) {}

uint32_t nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint32_t(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

// The evdev codes of the left, middle and right buttons.
uint32_t buttonCode(int button) {
    return button == 3 ? 0x111 : button == 2 ? 0x112 : 0x110;
}

// One command line; false when it is not one.
bool perform(zwlr_virtual_pointer_v1* pointer, const char* line) {
    int a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(line, "to %d %d %d %d", &a, &b, &c, &d) == 4 && a >= 0 && b >= 0)
        zwlr_virtual_pointer_v1_motion_absolute(pointer, nowMs(), uint32_t(a), uint32_t(b),
                                                uint32_t(c), uint32_t(d));
    else if (std::sscanf(line, "by %d %d", &a, &b) == 2)
        zwlr_virtual_pointer_v1_motion(pointer, nowMs(), wl_fixed_from_int(a),
                                       wl_fixed_from_int(b));
    else if (std::sscanf(line, "press %d", &a) == 1)
        zwlr_virtual_pointer_v1_button(pointer, nowMs(), buttonCode(a),
                                       WL_POINTER_BUTTON_STATE_PRESSED);
    else if (std::sscanf(line, "release %d", &a) == 1)
        zwlr_virtual_pointer_v1_button(pointer, nowMs(), buttonCode(a),
                                       WL_POINTER_BUTTON_STATE_RELEASED);
    else
        return false;
    zwlr_virtual_pointer_v1_frame(pointer);
    return true;
}

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("virtual_pointer: no Wayland display to connect to\n", stderr);
        return 1;
    }
    Globals globals;
    static const wl_registry_listener listener{announced, removed};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, &globals);
    wl_display_roundtrip(display);
    if (!globals.manager) {
        std::fputs("virtual_pointer: the compositor offers no virtual pointers\n", stderr);
        return 2;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    wl_display_roundtrip(display);
    std::puts("ready");
    std::fflush(stdout);

    char line[128];
    while (std::fgets(line, sizeof line, stdin)) {
        const bool done = perform(pointer, line);
        if (wl_display_roundtrip(display) < 0)
            break;
        std::puts(done ? "ok" : "?");
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_disconnect(display);
    return 0;
}
