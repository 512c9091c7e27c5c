// The signal simulator panels: input signals with their check boxes and the
// GO, INIT and QUIT buttons, output signals with their lamps a page at a time.
#include "forms/formspp.h"
#include "forms/forms_private.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Check_Browser.H>
#include <FL/Fl_Window.H>
#include <FL/forms.H>

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace {

const Fl_Font button_font = FL_TIMES;
const Fl_Fontsize button_size = 12;

Fl_Widget* add_button(int x, int y, int w, int h, const char* label) {
    Fl_Button* button = fl_add_button(FL_NORMAL_BUTTON, x, y, w, h, label);
    button->labelfont(button_font);
    button->labelsize(button_size);
    return button;
}

// Takes the widgets out of the groups they were made in and frees them. Each
// group is walked once from its last child, where a panel's widgets were
// added, so that a page of thousands of lamps goes without a search per lamp.
void free_widgets(const std::vector<Fl_Widget*>& widgets) {
    std::unordered_set<const Fl_Widget*> ours(widgets.begin(), widgets.end());
    std::vector<Fl_Group*> groups;
    for (Fl_Widget* widget : widgets) {
        if (!widget)
            continue;
        if (Fl_Group* group = widget->parent()) {
            if (std::find(groups.begin(), groups.end(), group) == groups.end())
                groups.push_back(group);
        } else {
            delete widget;
        }
    }
    for (Fl_Group* group : groups) {
        for (int i = group->children() - 1; i >= 0; --i) {
            Fl_Widget* child = group->child(i);
            if (ours.count(child) == 0)
                continue;
            group->remove(i);
            delete child;
        }
        group->redraw();
    }
}

// What a panel's destructor does with its window and widgets: the window is
// hidden (a caller's too), an own window is freed with its widgets, and the
// widgets made for a caller's window leave it and are freed, so that none of
// them, "+" and "-" above all, can call the panel once it is gone.
void close_panel(Fl_Window* window, bool own_window, const std::vector<Fl_Widget*>& widgets) {
    if (window)
        window->hide();
    if (own_window) {
        delete window;
        return;
    }
    free_widgets(widgets);
}

// A negative height is taken as none, so that the widgets placed up from the
// panel's bottom (h - 30 and the like) stay within int whatever the caller
// passes; no window has a negative height, so nothing shown changes.
int held_height(int h) {
    return std::max(h, 0);
}

// Ends and shows an own window as every Forms window of the toolkit.
void show_own_window(Fl_Window* window, const char* title) {
    tessan_forms::end_form_top_left();
    fl_show_form(window, FL_PLACE_MOUSE, FL_TRANSIENT, title);
    // Forms keeps the title's pointer; the window keeps a copy instead.
    window->copy_label(title);
}

}  // namespace

// ---- Input panel ----------------------------------------------------------------

namespace {

const int input_width = 400;

}  // namespace

OFD_simulator_input::OFD_simulator_input(int height)
    : window(nullptr), quit_button(nullptr), go_button(nullptr), init_button(nullptr),
      signals(nullptr), sticky(nullptr), count(0), own_window(true) {
    if (!fl_display_available())
        return;
    const int h = held_height(height);
    window = fl_bgn_form(FL_NO_BOX, input_width, h);
    quit_button = add_button(330, h - 30, 60, 20, "QUIT");
    go_button = add_button(180, h - 30, 60, 20, "GO");
    init_button = add_button(10, h - 30, 60, 20, "INIT");
    signals = new Fl_Check_Browser(10, 30, 180, h - 70);
    signals->type(FL_MULTI_BROWSER);
    sticky = new Fl_Check_Browser(210, 30, 180, h - 70);
    sticky->type(FL_MULTI_BROWSER);
    Fl_Widget* background = fl_add_box(FL_FLAT_BOX, 0, 0, input_width, h, "");
    // Made after the buttons and lists, the background would be drawn over
    // them whenever the whole window is drawn; it goes behind them instead.
    window->insert(*background, 0);
    fl_add_Stext(FL_NO_BOX, 80, 10, 40, 20, "Signal");
    fl_add_Stext(FL_NO_BOX, 280, 10, 40, 20, "Sticky");
    show_own_window(window, "Inputs Pannel");
}

OFD_simulator_input::OFD_simulator_input(Fl_Window* w, int x, int height)
    : window(w), quit_button(nullptr), go_button(nullptr), init_button(nullptr),
      signals(nullptr), sticky(nullptr), count(0), own_window(false) {
    if (!fl_display_available())
        return;
    const int h = held_height(height);
    quit_button = add_button(x + 330, h - 30, 60, 20, "QUIT");
    go_button = add_button(x + 180, h - 30, 60, 20, "GO");
    init_button = add_button(x + 10, h - 30, 60, 20, "INIT");
    signals = new Fl_Check_Browser(x + 10, 30, 180, h - 70);
    signals->type(FL_MULTI_BROWSER);
    sticky = new Fl_Check_Browser(x + 210, 30, 180, h - 70);
    sticky->type(FL_MULTI_BROWSER);
    made = {quit_button, go_button, init_button, signals, sticky,
            fl_add_Stext(FL_NO_BOX, x + 80, 10, 40, 20, "Signal"),
            fl_add_Stext(FL_NO_BOX, x + 280, 10, 40, 20, "Sticky")};
}

OFD_simulator_input::~OFD_simulator_input() {
    close_panel(window, own_window, made);
    names.clear();
}

void OFD_simulator_input::add(const String& name) {
    names.push_back(name);
    ++count;
    if (!signals)
        return;
    signals->add(name.c_str());
    sticky->add(name.c_str());
}

bool OFD_simulator_input::answerable() const {
    if (!quit_button)
        return false;
    Fl_Window* top = quit_button->top_window();
    return top && top->shown() && quit_button->visible_r();
}

void OFD_simulator_input::check(int* init, int* quit, int* values) {
    for (;;) {
        // Nobody can press a button of a window that is closed (from its
        // frame too) or was never shown: waiting for one would never end.
        if (!answerable()) {
            *quit = 1;
            return;
        }
        Fl::check();
        const Fl_Widget* pressed = Fl::readqueue();
        if (pressed == quit_button) {
            *quit = 1;
            return;
        }
        *quit = 0;
        if (pressed == init_button) {
            signals->check_none();
            *init = 1;
            return;
        }
        *init = 0;
        if (pressed == go_button) {
            // Lines are read in order, which the check list serves from its
            // cache of the last line reached.
            for (int line = 1; line <= count; ++line) {
                values[line - 1] = signals->checked(line) ? 1 : 0;
                if (!sticky->checked(line))
                    signals->checked(line, 0);
            }
            return;
        }
        tessan_forms::pause_between_polls();
    }
}

void OFD_simulator_input::eval(int* quit, int* values) {
    if (!answerable()) {
        *quit = 1;
        return;
    }
    Fl::check();
    const Fl_Widget* pressed = Fl::readqueue();
    if (pressed == quit_button) {
        *quit = 1;
    } else {
        *quit = 0;
        for (int line = 1; line <= count; ++line)
            signals->checked(line, values[line - 1] ? 1 : 0);
    }
    tessan_forms::pause_between_polls();
}

// ---- Output panel ---------------------------------------------------------------

namespace {

const int output_width = 240;
const int row_height = 16;
const int rows_margin = 85;
// A lamp is made for each row. Past this many rows a page would stand taller
// than any window X can show (its sizes have 16 bits), and the lamps of a
// height near INT_MAX would take gigabytes.
const int max_rows = 32768;
// At this size a name's glyphs fit a 16-pixel row with the usual fonts.
const Fl_Fontsize row_text_size = 12;

// The names' list, one lamp pitch to a line. FLTK makes a line as high as its
// font, 17 pixels and more with the usual fonts, so its names would drift away
// from the lamps, which stand 16 apart, by a pixel a row: by the tenth row a
// lamp would sit beside the name before its own.
class Rows_browser : public Fl_Browser {
public:
    Rows_browser(int x, int y, int w, int h) : Fl_Browser(x, y, w, h, "") {
        textsize(row_text_size);
    }

protected:
    int item_height(void* item) const override {
        return Fl_Browser::item_height(item) > 0 ? row_height : 0;  // 0: a hidden line
    }
    int incr_height() const override { return row_height; }
};

// Lamp colours of the values 1, 0 and any other.
Fl_Color lamp_colour(int value) {
    switch (value) {
    case 1: return FL_BLUE;
    case 0: return FL_YELLOW;
    default: return FL_RED;
    }
}

}  // namespace

OFD_simulator_output::OFD_simulator_output(int height, const char* title)
    : window(nullptr), x(0), page(0), rows(rows_for(height)), browser(nullptr), plus(nullptr),
      minus(nullptr), own_window(true) {
    if (!fl_display_available())
        return;
    const int h = held_height(height);
    window = fl_bgn_form(FL_NO_BOX, output_width, h);
    fl_add_box(FL_FLAT_BOX, 0, 0, output_width, h, "");
    plus = add_button(70, h - 30, 20, 20, "+");
    plus->callback(OFD_simulator_output_callback_plus, this);
    minus = add_button(30, h - 30, 20, 20, "-");
    minus->callback(OFD_simulator_output_callback_moins, this);
    browser = new Rows_browser(20, 30, 198, h - 68);
    make_lamps();
    show_own_window(window, title ? title : "");
}

OFD_simulator_output::OFD_simulator_output(Fl_Window* w, int x_offset, int height, const char* title)
    : window(w), x(x_offset), page(0), rows(rows_for(height)), browser(nullptr), plus(nullptr),
      minus(nullptr), own_window(false) {
    if (!fl_display_available())
        return;
    const int h = held_height(height);
    browser = new Rows_browser(x + 20, 30, 198, h - 68);
    Fl_Widget* title_label = fl_add_Stext(FL_NO_BOX, x + 80, 10, 40, 20, title ? title : "");
    plus = add_button(x + 150, h - 30, 20, 20, "+");
    plus->callback(OFD_simulator_output_callback_plus, this);
    minus = add_button(x + 70, h - 30, 20, 20, "-");
    minus->callback(OFD_simulator_output_callback_moins, this);
    make_lamps();
    made = {browser, title_label, plus, minus};
    made.insert(made.end(), lamps.begin(), lamps.end());
}

int OFD_simulator_output::rows_for(int h) {
    // Below a height of 101 no row would fit; one row keeps the paging
    // arithmetic, which divides by the rows, meaningful. Computed wide, as
    // h - 85 leaves int near its lowest value.
    const long long fitting = (static_cast<long long>(h) - rows_margin) / row_height;
    return static_cast<int>(std::clamp<long long>(fitting, 1, max_rows));
}

// One lamp for each row of a page, left of the browser's lines.
void OFD_simulator_output::make_lamps() {
    lamps.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        Fl_Box* lamp = new Fl_Box(FL_FLAT_BOX, x + 7, 34 + row_height * r, 10, 12, "");
        lamp->labelfont(FL_TIMES);
        lamp->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
        lamp->hide();
        lamps.push_back(lamp);
    }
}

OFD_simulator_output::~OFD_simulator_output() {
    close_panel(window, own_window, made);
}

void OFD_simulator_output::add(const String& name) {
    const int before = static_cast<int>(names.size());
    names.push_back(name);
    values.push_back(2);
    hide_lamps();
    if (page < before / rows)
        ++page;
    show_page();
}

void OFD_simulator_output::eval(const int* new_values) {
    std::copy(new_values, new_values + values.size(), values.begin());
    for (int r = 0; r < static_cast<int>(lamps.size()); ++r)
        if (lamps[static_cast<std::size_t>(r)]->visible_r())
            internal_colorise(r);
}

void OFD_simulator_output::next_page() {
    hide_lamps();
    const int count = static_cast<int>(names.size());
    if (page < (count - 1) / rows)
        ++page;
    show_page();
}

void OFD_simulator_output::previous_page() {
    hide_lamps();
    if (page > 0)
        --page;
    show_page();
}

Fl_Widget* OFD_simulator_output::my_plus_button() {
    return plus;
}

Fl_Widget* OFD_simulator_output::my_moins_button() {
    return minus;
}

void OFD_simulator_output::check() {}

void OFD_simulator_output::internal_colorise(int r) {
    if (r < 0 || r >= static_cast<int>(lamps.size()))
        return;
    const long long signal = static_cast<long long>(rows) * page + r;
    if (signal >= static_cast<long long>(values.size()))
        return;
    Fl_Box* lamp = lamps[static_cast<std::size_t>(r)];
    const Fl_Color colour = lamp_colour(values[static_cast<std::size_t>(signal)]);
    if (lamp->color() == colour)
        return;
    lamp->color(colour);
    lamp->selection_color(FL_BLACK);
    lamp->redraw();
}

void OFD_simulator_output::hide_lamps() {
    for (Fl_Box* lamp : lamps)
        lamp->hide();
}

void OFD_simulator_output::show_page() {
    if (!browser)
        return;
    browser->clear();
    const std::size_t first = static_cast<std::size_t>(rows) * static_cast<std::size_t>(page);
    for (int r = 0; r < rows && first + static_cast<std::size_t>(r) < names.size(); ++r) {
        browser->add(names[first + static_cast<std::size_t>(r)].c_str());
        internal_colorise(r);
        lamps[static_cast<std::size_t>(r)]->show();
    }
}

void OFD_simulator_output_callback_plus(Fl_Widget*, void* data) {
    static_cast<OFD_simulator_output*>(data)->next_page();
}

void OFD_simulator_output_callback_moins(Fl_Widget*, void* data) {
    static_cast<OFD_simulator_output*>(data)->previous_page();
}
