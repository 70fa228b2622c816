// The SDL backend's direct ties to X: the game ends by itself when the
// display goes away, naps on the X connection, and hands its pictures to the
// X server in memory the two share.
// The game's own headers come first: Xlib defines True and False as macros.
#include "platform/sdl_internal.h"

// clang-format off
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
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

// The X display `window` is shown on and its X window; a null display
// without a window or off X.
std::pair<::Display*, ::Window> X11Of(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {nullptr, 0};
    return {info.info.x11.display, info.info.x11.window};
}

::Display* X11DisplayOf(SDL_Window* window) {
    return X11Of(window).first;
}

// Set by the error handler while a shared segment is offered to the server.
bool refused = false;
int NoteRefusal(Display*, XErrorEvent*) {
    refused = true;
    return 0;
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

// SDL hands a window's picture over with XShmPutImage too, but then waits
// for the X server to answer (XSync) every time, a round trip each frame
// that costs the game and the server alike. Here the requests are only
// flushed. The server then may read a rectangle while the next frame is
// being drawn into it; that frame sends the rectangle again, so what shows
// in the end is always the last picture, and no pixel is wrong for longer
// than a frame.
struct SharedFrame {
    ::Display* display = nullptr;
    ::Window window = 0;
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
    GC gc = nullptr;
    bool attached = false;
    SDL_Surface* surface = nullptr;

    SharedFrame() { segment.shmid = -1; }
    ~SharedFrame() {
        if (surface != nullptr) SDL_FreeSurface(surface);
        if (attached) {
            XSync(display, False);  // nothing sent is still being read
            XShmDetach(display, &segment);
        }
        if (gc != nullptr) XFreeGC(display, gc);
        if (image != nullptr) {
            image->data = nullptr;  // the segment's, let go of below
            XDestroyImage(image);
        }
        if (segment.shmaddr != nullptr) shmdt(segment.shmaddr);
        if (segment.shmid >= 0) shmctl(segment.shmid, IPC_RMID, nullptr);
    }
};

void SharedFrameDeleter::operator()(SharedFrame* frame) const {
    delete frame;
}

SharedFramePtr MakeSharedFrame(SDL_Window* window, int width, int height) {
    const auto [display, xwindow] = X11Of(window);
    XWindowAttributes attributes;
    if (display == nullptr || width <= 0 || height <= 0 || !XShmQueryExtension(display) ||
        !XGetWindowAttributes(display, xwindow, &attributes)) {
        return nullptr;
    }
    SharedFramePtr frame(new SharedFrame);
    frame->display = display;
    frame->window = xwindow;
    frame->image = XShmCreateImage(
        display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, nullptr,
        &frame->segment, static_cast<unsigned>(width), static_cast<unsigned>(height));
    // 32 bits a pixel in this machine's byte order, as the game's own copy writes.
    if (frame->image == nullptr || frame->image->bits_per_pixel != 32 ||
        frame->image->byte_order != LSBFirst) {
        return nullptr;
    }
    frame->segment.shmid =
        shmget(IPC_PRIVATE, static_cast<std::size_t>(frame->image->bytes_per_line) * height,
               IPC_CREAT | 0600);
    if (frame->segment.shmid < 0) return nullptr;
    void* memory = shmat(frame->segment.shmid, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) return nullptr;
    frame->segment.shmaddr = frame->image->data = static_cast<char*>(memory);
    frame->segment.readOnly = False;
    // A server elsewhere on the network cannot share memory: it refuses.
    XSync(display, False);
    refused = false;
    XErrorHandler before = XSetErrorHandler(NoteRefusal);
    const bool offered = XShmAttach(display, &frame->segment) != 0;
    XSync(display, False);
    XSetErrorHandler(before);
    // The segment goes when both let go of it.
    shmctl(frame->segment.shmid, IPC_RMID, nullptr);
    frame->segment.shmid = -1;
    frame->attached = offered && !refused;
    if (!frame->attached) return nullptr;
    frame->gc = XCreateGC(display, xwindow, 0, nullptr);
    frame->surface = SDL_CreateRGBSurfaceFrom(
        memory, width, height, 32, frame->image->bytes_per_line,
        static_cast<Uint32>(frame->image->red_mask), static_cast<Uint32>(frame->image->green_mask),
        static_cast<Uint32>(frame->image->blue_mask), 0);
    if (frame->gc == nullptr || frame->surface == nullptr) return nullptr;
    return frame;
}

SDL_Surface* FrameSurface(const SharedFrame& frame) {
    return frame.surface;
}

void SendFrame(SharedFrame& frame, const SDL_Rect* rects, int count) {
    for (int i = 0; i < count; ++i) {
        const SDL_Rect& r = rects[i];
        XShmPutImage(frame.display, frame.window, frame.gc, frame.image, r.x, r.y, r.x, r.y,
                     static_cast<unsigned>(r.w), static_cast<unsigned>(r.h), False);
    }
    XFlush(frame.display);
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
