// The one display probe, and the small helpers every window of the toolkit
// shares: top-left forms, the polling pause, and drawing before returning.
#define FL_INTERNALS 1  // Fl_X, to learn when a window has been exposed
#include "forms/formspp.h"
#include "forms/forms_private.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/forms.H>
#include <FL/x.H>

#include "text/g_time.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace {

// A server that resets as its last client leaves refuses connections for a
// moment, and one that is starting has not opened its socket yet: a display
// that is named but does not answer is asked again for this long before the
// toolkit settles for working without one.
constexpr std::chrono::milliseconds patience_for_a_named_display{2000};
constexpr std::chrono::milliseconds pause_between_tries{50};

bool open_display_for_fltk() {
    if (fl_display)  // FLTK already holds one
        return true;
    const char* name = XDisplayName(nullptr);
    const bool named = name != nullptr && *name != '\0';
    const auto deadline = std::chrono::steady_clock::now() + patience_for_a_named_display;
    for (;;) {
        // FLTK's own opening ends the process when it fails; ours only answers.
        if (Display* display = XOpenDisplay(nullptr)) {
            fl_open_display(display);
            return true;
        }
        if (!named || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause_between_tries);
    }
}

}  // namespace

bool fl_display_available() {
    static const bool available = open_display_for_fltk();
    return available;
}

namespace tessan_forms {

void report_on_stderr(const String& text) {
    std::cerr << text;
    if (text.empty() || text.back() != '\n')
        std::cerr << '\n';
    std::cerr.flush();
}

// The flip is one switch for the whole process, and a caller's own forms
// are laid out by it: it is off for our form only, then as it was.
void end_form_top_left() {
    const char flip = fl_flip;
    fl_flip = 0;
    fl_end_form();
    fl_flip = flip;
}

void pause_between_polls() {
    tessan::usleep(1000);
}

void wait_until_drawn(Fl_Window* window, double timeout) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::duration<double>(timeout);
    for (;;) {
        const Fl_X* x = window->shown() ? Fl_X::i(window) : nullptr;
        if (x && !x->wait_for_expose)
            break;
        if (clock::now() >= deadline)
            break;
        Fl::wait(0.01);
    }
    Fl::flush();
    if (fl_display)
        XSync(fl_display, False);
}

}  // namespace tessan_forms
