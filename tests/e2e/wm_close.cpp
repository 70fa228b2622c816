// vorlax_wm_close WINDOW-ID: asks a window to close exactly as a window
// manager's close box does, with a WM_PROTOCOLS client message carrying
// WM_DELETE_WINDOW. The end-to-end tests run without a window manager, and
// xdotool's windowclose destroys the window instead (the game then loses its
// connection), which no player can do. The display comes from DISPLAY.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool g_failed = false;

int NoteError(Display* display, XErrorEvent* error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "vorlax_wm_close: X error: %s\n", text);
    g_failed = true;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlax_wm_close WINDOW-ID\n");
        return 2;
    }
    char* end = nullptr;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "vorlax_wm_close: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "vorlax_wm_close: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(NoteError);

    const Window window = static_cast<Window>(id);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);  // delivered, or an error for a window that is gone
    XCloseDisplay(display);
    return sent != 0 && !g_failed ? 0 : 1;
}
