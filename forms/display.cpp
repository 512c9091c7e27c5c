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

namespace {

bool open_display_for_fltk() {
    if (fl_display)  // FLTK already holds one
        return true;
    // FLTK's own opening ends the process when it fails; ours only answers.
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    fl_open_display(display);
    return true;
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
