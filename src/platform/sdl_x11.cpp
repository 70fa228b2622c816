// The SDL backend's one direct tie to X: the game ends by itself when the
// display goes away.
// The game's own headers come first: Xlib defines True and False as macros.
#include "platform/sdl_internal.h"

// clang-format off
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>
// clang-format on

#include <cstdio>

#include "platform/sdl_platform.h"

namespace vorlax {
namespace {
void (*lastWish)() = nullptr;
}  // namespace

void SdlPlatform::AtLostDisplay(void (*wish)()) {
    lastWish = wish;
}

namespace sdl {
namespace {

// Xlib calls this when the connection to the X server is lost: the server
// stopped, the desktop session ended. Xlib's own handler calls exit(), which
// runs the destructors of the game's windows; they talk to the dead
// connection, and Xlib can then wait for an answer that never comes, using
// a whole processor until it is killed. Nothing can be shown any more, so
// the process ends here and now, after only the game's last wish (saving a
// new high score, which needs no display).
int EndOnLostDisplay(Display* display) {
    std::fprintf(stderr, "vorlax: lost the connection to the display %s; the game ends\n",
                 display != nullptr ? DisplayString(display) : "");
    if (lastWish != nullptr) lastWish();
    _exit(kLostDisplayStatus);
}

// The X display `window` is shown on; nullptr without a window or off X.
::Display* X11DisplayOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

}  // namespace

void EndTheGameIfTheDisplayIsLost() {
    // Process-wide: it covers SDL's connections and the one of SDL's own
    // message box alike. SDL itself sets no handler of this kind.
    XSetIOErrorHandler(EndOnLostDisplay);
}

bool Nap(SDL_Window* window, std::uint32_t ms) {
    ::Display* display = X11DisplayOf(window);
    // Events Xlib has read already (with the answer to SDL's last request)
    // are handled after the nap, as anywhere else.
    if (display == nullptr || XEventsQueued(display, QueuedAlready) > 0) {
        SDL_Delay(ms);
        return false;
    }
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    return poll(&connection, 1, static_cast<int>(ms)) == 0;
}

bool CanGoFullscreen(SDL_Window* window) {
    ::Display* display = X11DisplayOf(window);
    if (display == nullptr) return true;
    // A running window manager names its own window on the root window.
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        count == 1;
    if (data != nullptr) XFree(data);
    return found;
}

}  // namespace sdl
}  // namespace vorlax
