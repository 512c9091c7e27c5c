// What the sheet and simulator tests share: the display check, a picture of a
// window read back from the X server, real clicks sent to a window, and a
// copy of the test program run without a display.
//
// Include after GoogleTest: Xlib's macros (None, Bool) break its headers.
#ifndef TESSAN_TESTS_SHEET_SUPPORT_H
#define TESSAN_TESTS_SHEET_SUPPORT_H

#include "forms/formspp.h"
#include "forms/forms_private.h"

#define FL_INTERNALS 1  // fl_xid of our own windows
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace sheet_support {

// How long a window, an event, a copy of the test program or a helper program
// may take before a test gives up on it: only a guard against hanging, far
// beyond what any of them takes on a loaded machine. Each waits for its event
// and returns as soon as it comes.
const int patience_seconds = 60;

inline bool display_named() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

#define NEEDS_DISPLAY()                                                   \
    do {                                                                  \
        if (!sheet_support::display_named())                              \
            GTEST_SKIP() << "DISPLAY is not set";                         \
        ASSERT_TRUE(fl_display_available()) << "DISPLAY names no server"; \
    } while (0)

// Why no key can be typed into a window here (they go through xdotool), or "".
inline std::string no_keys() {
    return std::system("command -v xdotool >/dev/null 2>&1") == 0 ? "" : "xdotool is not installed";
}

// What a shown window holds, read back pixel by pixel once it has been drawn.
// From its first picture on, the window keeps its own contents (backing
// store): a window of another program over it would be read in its place.
class Screen_picture {
public:
    explicit Screen_picture(Fl_Window* window) : width_(window->w()), height_(window->h()) {
        XWindowAttributes now;
        if (window->shown() && XGetWindowAttributes(fl_display, fl_xid(window), &now) &&
            now.backing_store != Always) {
            XSetWindowAttributes kept;
            kept.backing_store = Always;
            XChangeWindowAttributes(fl_display, fl_xid(window), CWBackingStore, &kept);
            window->redraw();  // what was covered until now is not kept
        }
        tessan_forms::wait_until_drawn(window, patience_seconds);
        EXPECT_TRUE(window->shown() && !Fl_X::i(window)->wait_for_expose) << "the window was never drawn";
        window->make_current();
        unsigned char* data = fl_read_image(nullptr, 0, 0, width_, height_);
        if (data)
            pixels_.assign(data, data + static_cast<std::size_t>(width_) * height_ * 3);
        delete[] data;
    }

    bool is(int x, int y, Fl_Color colour) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty())
            return false;
        unsigned char r, g, b;
        Fl::get_color(colour, r, g, b);
        const unsigned char* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 3];
        return p[0] == r && p[1] == g && p[2] == b;
    }

    // The pixel's colour as 0xRRGGBB.
    unsigned rgb(int x, int y) const {
        const unsigned char* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 3];
        return (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
    }

    // How many different colours the box [x0, x1) x [y0, y1) holds.
    int colours(int x0, int y0, int x1, int y1) const {
        std::set<unsigned> seen;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                seen.insert(rgb(x, y));
        return static_cast<int>(seen.size());
    }

private:
    int width_, height_;
    std::vector<unsigned char> pixels_;
};

// A press and release of the first mouse button at (x, y) of the window, as
// the X server would deliver them; FLTK sees them at its next event check.
inline void send_click(Fl_Window* window, int x, int y) {
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.window = fl_xid(window);
        event.xbutton.root = RootWindow(fl_display, fl_screen);
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.x_root = window->x() + x;
        event.xbutton.y_root = window->y() + y;
        event.xbutton.button = Button1;
        event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
        event.xbutton.same_screen = True;
        XSendEvent(fl_display, fl_xid(window), False, NoEventMask, &event);
    }
    XFlush(fl_display);
}

inline void send_click(Fl_Widget* widget) {
    send_click(widget->window(), widget->x() + widget->w() / 2, widget->y() + widget->h() / 2);
}

// The message a window manager sends when the window's close box is used.
inline void send_close_box(Fl_Window* window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = fl_xid(window);
    event.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
    XSendEvent(fl_display, fl_xid(window), False, NoEventMask, &event);
    XFlush(fl_display);
}

// ---- A copy of this program without a display ----------------------------------
//
// The display probe answers once per process: a fresh copy of the test program,
// started with DISPLAY unset, runs the call that TESSAN_SHEET_HEADLESS_CALL
// names before any test, prints its result on standard output and ends.

using Headless_calls = std::function<std::string(const std::string&)>;

inline bool run_headless_call_if_asked(const Headless_calls& calls) {
    if (const char* call = std::getenv("TESSAN_SHEET_HEADLESS_CALL")) {
        const std::string out = calls(call);
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
        _exit(0);
    }
    return false;
}

// What a shell command printed on its standard output; `status` receives
// what pclose says of its end (-1 when it could not start).
inline std::string output_of(const std::string& command, int* status = nullptr) {
    std::string out;
    int end = -1;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        end = pclose(pipe);
    }
    if (status != nullptr)
        *status = end;
    return out;
}

// What the copy printed; empty when it failed or outran the patience.
inline std::string run_headless(const std::string& call) {
    int status = -1;
    const std::string out =
        output_of("env -u DISPLAY TESSAN_SHEET_HEADLESS_CALL=" + call + " timeout " +
                      std::to_string(patience_seconds) + " /proc/" + std::to_string(getpid()) + "/exe",
                  &status);
    return status == 0 ? out : std::string();
}

}  // namespace sheet_support

#endif
