// The work-in-progress window.
#include "forms/formspp.h"
#include "forms/forms_private.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/forms.H>

namespace {

// A window that is not mapped yet when drawing is asked for shows nothing; a
// server that never maps it must not hold the caller for long.
const double drawing_timeout_seconds = 5.0;

}  // namespace

OFD_wait_form::OFD_wait_form(const String& text) : window(nullptr), text_widget(nullptr) {
    if (!fl_display_available())
        return;
    window = fl_bgn_form(FL_NO_BOX, 600, 60);
    fl_add_box(FL_UP_BOX, 0, 0, 600, 60, "");
    Fl_FormsText* label = fl_add_text(FL_NO_BOX, 10, 10, 580, 40, nullptr);
    label->copy_label(text.c_str());
    label->align(FL_ALIGN_INSIDE);
    label->labelsize(FL_NORMAL_SIZE);
    text_widget = label;
    tessan_forms::end_form_top_left();
    fl_show_form(window, FL_PLACE_MOUSE, FL_TRANSIENT, "travail en cours ...");
    // One Fl::check() does not draw a window the server has not mapped yet.
    tessan_forms::wait_until_drawn(window, drawing_timeout_seconds);
    Fl::check();
    tessan_forms::pause_between_polls();
}

OFD_wait_form::~OFD_wait_form() {
    if (!window)
        return;
    window->hide();
    // Nobody else holds the window: freeing it here keeps a long session of
    // wait windows from growing.
    delete window;
}
