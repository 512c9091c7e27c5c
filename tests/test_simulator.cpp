// The signal simulator panels on a real display: their widgets in their own
// windows and in a caller's, the input panel's answers to GO, INIT, QUIT and
// its close box, the output panel's pages, "+" and "-" buttons and lamp colours,
// each lamp in its signal's row. Each session's log is compared with its file
// in tests/data/forms/simulator.
#include <gtest/gtest.h>

#include "tests/sheet_support.h"
#include "tests/test_files.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Check_Browser.H>

#include <chrono>
#include <climits>
#include <cstring>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

using sheet_support::send_click;

template <class Widget>
std::vector<Widget*> all_of(Fl_Group* group) {
    std::vector<Widget*> found;
    for (int i = 0; i < group->children(); ++i)
        if (Widget* widget = dynamic_cast<Widget*>(group->child(i)))
            found.push_back(widget);
    return found;
}

Fl_Widget* labelled(Fl_Group* group, const std::string& label) {
    for (Fl_Widget* widget : all_of<Fl_Widget>(group))
        if (widget->label() && label == widget->label())
            return widget;
    return nullptr;
}

// What a window shows, on a line: each check list's lines with their checks,
// the names on the output list, and each lamp (R red, B blue, Y yellow, in
// lower case when hidden). With `layout`, first a line a widget: label,
// geometry, label font and size, type, visible, and a list's text size.
std::string shown(Fl_Window* window, bool layout = false) {
    std::ostringstream widgets, state;
    if (layout)
        widgets << "window \"" << window->label() << "\" " << window->w() << "x" << window->h() << " shown "
                << window->shown() << "\n";
    for (Fl_Widget* w : all_of<Fl_Widget>(window)) {
        Fl_Browser_* list = dynamic_cast<Fl_Browser_*>(w);
        if (layout)
            widgets << "\"" << (w->label() ? w->label() : "") << "\" " << w->x() << " " << w->y() << " "
                    << w->w() << " " << w->h() << " font " << w->labelfont() << " " << w->labelsize()
                    << " type " << int{w->type()} << " visible " << w->visible()
                    << (list ? " text " + std::to_string(list->textsize()) : "") << "\n";
        const Fl_Color colour = w->color();
        if (Fl_Check_Browser* checks = dynamic_cast<Fl_Check_Browser*>(w)) {
            state << " ";
            for (int line = 1; line <= checks->nitems(); ++line)
                state << checks->text(line) << checks->checked(line);
        } else if (Fl_Browser* names = dynamic_cast<Fl_Browser*>(w)) {
            for (int line = 1; line <= names->size(); ++line)
                state << " " << names->text(line);
            state << " ";
        } else if (w->w() == 10 && w->h() == 12) {
            const char* name = colour == FL_RED ? "Rr" : colour == FL_BLUE ? "Bb" : "?-";
            state << (colour == FL_YELLOW ? "Yy" : name)[w->visible() ? 0 : 1];
        }
    }
    return widgets.str() + state.str() + "\n";
}

// A title in the caller's buffer, which the tests overwrite once the panel is
// made.
char title[16];

// ---- Input panel --------------------------------------------------------------------------

// One check of the panel after a click on `button`, if any (the click waits
// for the panel's polling): what it answered (init only matters without quit),
// then what the window shows. A panel that never answers ends the program.
std::string check_after(OFD_simulator_input& panel, Fl_Window* window, const char* button) {
    int init = -1, quit = -1, values[] = {-1, -1, -1};
    if (button)
        send_click(labelled(window, button));
    alarm(sheet_support::patience_seconds);
    panel.check(&init, &quit, values);
    alarm(0);
    std::ostringstream out;
    out << (quit == 1 ? "quit" : quit == 0 ? "init " + std::to_string(init) : "?") << ", values " << values[0]
        << " " << values[1] << " " << values[2] << "," << (window ? shown(window) : "\n");
    return out.str();
}

// The same session in the panel's own window and in a caller's (an output
// panel beside it): the widgets laid out, then GO gives the checks and
// unchecks the signals that are not sticky, INIT unchecks them all, eval
// checks the signals from the values, QUIT and the close box answer quit, as
// does a window not shown. The panel's window goes with it, and its widgets
// leave the caller's window; outside any window nobody answers (the sanitized
// build's leak check sees the widgets freed).
TEST(InputPanel, LaysOutAndAnswersItsButtonsAndCloseBoxInItsOwnWindowOrTheCallers) {
    NEEDS_DISPLAY();
    std::string log;
    for (bool own : {true, false}) {
        Fl_Window callers(700, 300, "simulation");
        auto callers_input = std::make_unique<OFD_simulator_input>(&callers, 20, 300);
        OFD_simulator_output callers_output(&callers, 440, 245, std::strcpy(title, "Outputs"));
        callers.end();
        std::strcpy(title, "changed");
        std::unique_ptr<OFD_simulator_input> own_panel(own ? new OFD_simulator_input(300) : nullptr);
        OFD_simulator_input& panel = own ? *own_panel : *callers_input;
        Fl_Window* window = own ? Fl::first_window() : &callers;
        for (const char* name : {"a", "b", "c"})
            panel.add(name);
        log += shown(window, true) + (own ? "" : "not shown: " + check_after(panel, window, nullptr));
        window->show();
        tessan_forms::wait_until_drawn(window, sheet_support::patience_seconds);
        const std::vector<Fl_Check_Browser*> lists = all_of<Fl_Check_Browser>(window);
        lists[0]->checked(1, 1);
        lists[0]->checked(2, 1);
        lists[1]->checked(1, 1);
        log += "GO: " + check_after(panel, window, "GO");
        lists[0]->checked(3, 1);
        log += "INIT: " + check_after(panel, window, "INIT");
        int quit = -1;
        int values[] = {0, 1, 1};
        panel.eval(&quit, values);
        log += "eval 0 1 1: quit " + std::to_string(quit) + "," + shown(window);
        log += "QUIT: " + check_after(panel, window, "QUIT");
        send_click(labelled(window, "QUIT"));
        XSync(fl_display, False);  // the click is queued before eval looks
        panel.eval(&quit, values);
        log += "QUIT, eval: quit " + std::to_string(quit) + "\n";
        sheet_support::send_close_box(window);
        log += "close box: " + check_after(panel, window, nullptr);
        if (!own) {
            window->show();
            callers_input.reset();
            log += (window->shown() ? "caller's window shown:" : "caller's window hidden:") + shown(window);
        }
    }
    Fl::check();
    log += Fl::first_window() ? "a window stays\n" : "no window stays\n";
    Fl_Group::current(nullptr);
    OFD_simulator_input input(nullptr, 0, 300);
    OFD_simulator_output output(nullptr, 0, 245, "outputs");
    input.add("a");
    output.add("b");
    log += "outside any window: " + check_after(input, nullptr, nullptr);
    test_files::expect_fixture("forms/simulator/input-sessions.txt", log);
}

// ---- Output panel -------------------------------------------------------------------------

// The widgets laid out (one row for a panel too low for any). The page follows
// the last signal added, turns within the signals (by the buttons too) and
// shows values 1 blue, 0 yellow, others red, keeping those of the pages not
// shown. Each lamp, drawn in its colour, lies in the band that the list paints
// for its row when selected, beside the row's name; a page holds 32 rows.
TEST(OutputPanel, FollowsItsLastSignalPagesWithinThemAndColoursEachValueInItsRow) {
    NEEDS_DISPLAY();
    OFD_simulator_output low(60, "too low for a row: one row");
    std::string log = shown(Fl::first_window(), true);
    OFD_simulator_output panel(600, std::strcpy(title, "Outputs"));
    Fl_Window* window = Fl::first_window();
    std::strcpy(title, "changed");
    std::vector<int> values;
    for (int i = 1; i <= 70; ++i) {
        panel.add("s" + std::to_string(i));
        values.push_back(i % 3 == 0 ? 1 : i % 3 == 1 ? 0 : 5);
        if (i == 64) {  // two pages full: there is no page past them
            log += shown(window, true);
            panel.next_page();
            log += shown(window);
        }
    }
    log += shown(window);
    for (int turn = 0; turn < 3; ++turn)
        panel.previous_page();
    log += shown(window);
    panel.next_page();
    log += shown(window);
    for (Fl_Widget* button : {panel.my_plus_button(), panel.my_moins_button(), panel.my_moins_button()}) {
        send_click(button);
        XSync(fl_display, False);
        Fl::check();
        log += button->label() + shown(window);
    }
    panel.eval(values.data());
    for (int r : {-1, 32, 40000})  // rows outside the page
        panel.internal_colorise(r);
    log += shown(window);
    for (int turn = 0; turn < 3; ++turn)
        panel.next_page();
    panel.internal_colorise(6);  // the first row without a signal
    log += shown(window);
    test_files::expect_fixture("forms/simulator/output-session.txt", log);
    panel.previous_page();
    Fl_Browser* list = all_of<Fl_Browser>(window).at(0);
    const std::vector<Fl_Box*> lamps = all_of<Fl_Box>(window);
    for (int r = 0; r < 32; ++r) {
        list->select(r + 1);
        const sheet_support::Screen_picture picture(window);
        const int centre = 34 + 16 * r + 6, x = list->x();
        const Fl_Box* lamp = lamps.at(static_cast<std::size_t>(r) + 1);
        EXPECT_TRUE(picture.is(12, centre, lamp->color()) && lamp->selection_color() == FL_BLACK) << r;
        EXPECT_TRUE(picture.is(x + 150, centre, list->selection_color())) << "row " << r;
        EXPECT_GT(picture.colours(x + 3, centre, x + 83, centre + 1), 1) << "no name beside lamp " << r;
    }
}

// Heights that no window has still make panels: a page of one row however far
// below 101 the height lies, of 32768 rows at most however far above, in a
// caller's window and in their own (two signals added: the page of the last).
TEST(OutputPanel, HoldsAbsurdHeightsToOneRowAtLeastAndAPageOf32768AtMost) {
    NEEDS_DISPLAY();
    std::string log;
    for (int h : {INT_MIN, INT_MIN + 84, -1, 100, 101, 245, 16 * 40000 + 85}) {
        Fl_Window callers(700, 300, "simulation");
        OFD_simulator_output output(&callers, 420, h, "Outputs");
        OFD_simulator_input input(&callers, 0, h);
        callers.end();
        output.add("a");
        output.add("b");
        int lamps = 0;
        for (Fl_Box* box : all_of<Fl_Box>(&callers))
            lamps += box->w() == 10 && box->h() == 12;
        log += std::to_string(h) + ": " + std::to_string(lamps) + " rows,";
        Fl_Browser* names = all_of<Fl_Browser>(&callers).at(0);
        for (int line = 1; line <= names->size(); ++line)
            log += std::string(" ") + names->text(line);
        log += " \n";
    }
    for (int h : {INT_MIN, -1}) {
        OFD_simulator_output output(h, "Outputs");
        Fl_Window* window = Fl::first_window();
        OFD_simulator_input input(h);
        output.add("a");
        output.add("b");
        log += "own window " + std::to_string(h) + ":" + shown(window);
    }
    EXPECT_EQ(log,
              "-2147483648: 1 rows, b \n"
              "-2147483564: 1 rows, b \n"
              "-1: 1 rows, b \n"
              "100: 1 rows, b \n"
              "101: 1 rows, b \n"
              "245: 10 rows, a b \n"
              "640085: 32768 rows, a b \n"
              "own window -2147483648: b R\n"
              "own window -1: b R\n");
}

// ---- Panels gone from a caller's window ------------------------------------------------

// The labels of a window's widgets, in order ("" for none).
std::string labels_of(Fl_Window* window) {
    std::string out;
    for (Fl_Widget* w : all_of<Fl_Widget>(window))
        out += std::string(" \"") + (w->label() ? w->label() : "") + "\"";
    return out;
}

// The caller goes on with its window once both panels placed in it are gone:
// the window holds only the caller's own button, shown again it takes a click
// on every spot the panels' widgets took ("+" and "-" among them) and still
// answers its own button, and it is deleted after.
TEST(PanelsInCallersWindow, LeaveNothingInItThatReachesThemOnceGone) {
    NEEDS_DISPLAY();
    auto callers = std::make_unique<Fl_Window>(700, 300, "simulation");
    int own_presses = 0;
    Fl_Button* own = new Fl_Button(620, 270, 60, 20, "own");
    own->callback([](Fl_Widget*, void* presses) { ++*static_cast<int*>(presses); }, &own_presses);
    auto input = std::make_unique<OFD_simulator_input>(callers.get(), 0, 300);
    auto output = std::make_unique<OFD_simulator_output>(callers.get(), 420, 245, "Outputs");
    callers->end();
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}) {
        input->add(name);
        output->add(name);
    }
    callers->show();
    tessan_forms::wait_until_drawn(callers.get(), sheet_support::patience_seconds);
    std::vector<std::pair<int, int>> spots;
    for (Fl_Widget* w : all_of<Fl_Widget>(callers.get()))
        if (w != own)
            spots.emplace_back(w->x() + w->w() / 2, w->y() + w->h() / 2);
    input.reset();
    output.reset();
    EXPECT_EQ(labels_of(callers.get()), " \"own\"");
    callers->show();
    tessan_forms::wait_until_drawn(callers.get(), sheet_support::patience_seconds);
    for (const auto& spot : spots)
        send_click(callers.get(), spot.first, spot.second);
    send_click(own);
    XSync(fl_display, False);
    const auto give_up =
        std::chrono::steady_clock::now() + std::chrono::seconds(sheet_support::patience_seconds);
    while (own_presses == 0 && std::chrono::steady_clock::now() < give_up)
        Fl::wait(0.05);
    EXPECT_EQ(own_presses, 1);
    EXPECT_EQ(Fl::readqueue(), nullptr);  // no widget of the panels was left to press
    callers.reset();
    Fl::check();
}

// ---- Without a display ----------------------------------------------------------------------

[[maybe_unused]] const bool headless_child_ran =
    sheet_support::run_headless_call_if_asked([](const std::string&) {
        OFD_simulator_input input(300);
        OFD_simulator_output output(60, "outputs");
        input.add("a");
        output.add("a");
        output.add("b");
        int init = -1, quit = -1, eval_quit = -1, values[2] = {-1, -1};
        input.check(&init, &quit, values);
        input.eval(&eval_quit, values);
        output.eval(values);
        output.previous_page();
        output.next_page();
        output.internal_colorise(0);
        return "check quit " + std::to_string(quit) + " value " + std::to_string(values[0]) + ", eval quit " +
               std::to_string(eval_quit) + (output.my_plus_button() ? ", buttons" : "");
    });

TEST(PanelsWithoutDisplay, InputAnswersQuitAtOnceAndOutputReturns) {
    EXPECT_EQ(sheet_support::run_headless("panels"), "check quit 1 value -1, eval quit 1");
}

}  // namespace
