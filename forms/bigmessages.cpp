// The long-message window: a text too long for a message box, listed line by
// line, with "Quit" and "save".
#include "forms/formspp.h"
#include "forms/forms_private.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Multi_Browser.H>
#include <FL/Fl_Window.H>

#include <algorithm>

namespace {

// Beyond this an X window cannot be made; a larger width is cut to it.
const long long widest_list = 30000;

// A browser line starting with '@' would be read as formatting; "@." makes
// FLTK show the rest literally.
String literal_line(const String& line) {
    return !line.empty() && line[0] == '@' ? "@." + line : line;
}

void add_lines(Fl_Browser* list, const String& text) {
    // The first piece is always listed (an empty text gives one empty line);
    // a final line end opens no empty last line.
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        list->add(literal_line(text.substr(start, end - start)).c_str());
        if (end == String::npos || end + 1 == text.size())
            break;
        start = end + 1;
    }
}

void save_text(const String& text) {
    const String name = fl_show_Sfile_selector("save message", "", "*.txt", "");
    if (name.empty())
        return;
    // The user asked for this copy: a silent failure would look like success.
    const String why = tessan_forms::write_export(name, [&text](std::ostream& out) { out << text; });
    if (!why.empty())
        fl_show_Salert("cannot write the file " + name + ": " + why);
}

}  // namespace

void fl_show_Sbigmessages(const String& text, int width) {
    if (!fl_display_available()) {
        tessan_forms::report_on_stderr(text);
        return;
    }
    const int list_width = static_cast<int>(std::clamp(width * 6LL, 0LL, widest_list));
    Fl_Window* window = new Fl_Window(list_width + 10, 570, "Messages");
    Fl_Multi_Browser* list = new Fl_Multi_Browser(5, 10, list_width, 500);
    Fl_Button* quit = new Fl_Button(250, 530, 50, 30, "Quit");
    Fl_Button* save = new Fl_Button(80, 530, 50, 30, "save");
    window->end();
    window->set_modal();
    // Closed from its frame (or by Escape), the window queues itself like a
    // button instead of hiding, and the loop takes that for "Quit".
    window->callback(Fl_Widget::default_callback);
    add_lines(list, text);
    window->show();
    for (;;) {
        Fl::check();
        const Fl_Widget* pressed = Fl::readqueue();
        if (pressed == quit || pressed == window || !window->shown())
            break;
        if (pressed == save)
            save_text(text);
        tessan_forms::pause_between_polls();
    }
    delete window;
}
