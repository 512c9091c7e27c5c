// The signal simulator panels on a real display. Their widgets, in their own
// windows and in a caller's, are listed and compared with
// tests/data/forms/simulator/panels.txt. The input panel answers GO, INIT and
// QUIT clicked in its window (and its close box) with the values of the step;
// the output panel pages through its signals with its "+" and "-" buttons and
// shows each value as a lamp colour, each lamp in its signal's row. A panel
// that does not answer is closed by a watchdog, and the test fails.
#include <gtest/gtest.h>

#include "tests/sheet_support.h"
#include "tests/test_files.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Browser.H>

#include <memory>
#include <sstream>

namespace {

using sheet_support::Later;
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

// A window and its widgets, one a line: kind, label, geometry, label font and
// size, type, shown or hidden, and a list's text size and lines.
std::string widgets_of(Fl_Window* window) {
    std::ostringstream out;
    out << "window \"" << window->label() << "\" " << window->w() << "x" << window->h() << " shown "
        << window->shown() << "\n";
    for (Fl_Widget* w : all_of<Fl_Widget>(window)) {
        out << (dynamic_cast<Fl_Check_Browser*>(w) ? "checks"
                : dynamic_cast<Fl_Browser*>(w)     ? "list"
                : dynamic_cast<Fl_Button*>(w)      ? "button"
                                                   : "box")
            << " \"" << (w->label() ? w->label() : "") << "\" " << w->x() << " " << w->y()
            << " " << w->w() << " " << w->h() << " font " << w->labelfont() << " " << w->labelsize() << " type "
            << int{w->type()} << " visible " << w->visible();
        if (Fl_Browser_* list = dynamic_cast<Fl_Browser_*>(w))
            out << " text " << list->textsize();
        if (Fl_Check_Browser* checks = dynamic_cast<Fl_Check_Browser*>(w))
            for (int line = 1; line <= checks->nitems(); ++line)
                out << " " << checks->text(line);
        out << "\n";
    }
    return out.str();
}

// A title that the caller's buffer no longer holds once the panel is made.
char title[16] = "Outputs";

// A window of the caller's holding an input panel at offset 20 and an output
// panel beside it, as a simulator would lay them out.
struct Callers_window {
    Fl_Window window{700, 300, "simulation"};
    std::unique_ptr<OFD_simulator_input> input = std::make_unique<OFD_simulator_input>(&window, 20, 300);
    OFD_simulator_output output{&window, 440, 245, title};
    Callers_window() { window.end(); }
};

TEST(Panels, LayOutTheirWidgetsFromTheTopLeftInTheirOwnWindowOrTheCallers) {
    NEEDS_DISPLAY();
    std::string widgets;
    {
        OFD_simulator_input input(300);
        for (const char* name : {"a", "b", "c"})
            input.add(name);
        widgets += widgets_of(Fl::first_window());
        OFD_simulator_output output(245, title);
        Callers_window callers;
        std::snprintf(title, sizeof title, "%s", "changed");
        widgets += widgets_of(Fl::first_window()) + widgets_of(&callers.window);
    }
    Fl::check();
    EXPECT_EQ(Fl::first_window(), nullptr);  // each own window went with its panel
    EXPECT_EQ(widgets, test_files::slurp(std::string(TESSAN_TEST_DATA) + "/forms/simulator/panels.txt"));
}

// What a window's panels show: each check list's checks, the names on the
// output list, and each lamp: R red, B blue, Y yellow, '-' hidden.
std::string state_of(Fl_Group* window) {
    std::string out;
    for (Fl_Widget* w : all_of<Fl_Widget>(window)) {
        const Fl_Color colour = w->color();
        if (Fl_Check_Browser* checks = dynamic_cast<Fl_Check_Browser*>(w)) {
            out += " checks ";
            for (int line = 1; line <= checks->nitems(); ++line)
                out += checks->checked(line) ? '1' : '0';
        } else if (Fl_Browser* list = dynamic_cast<Fl_Browser*>(w)) {
            for (int line = 1; line <= list->size(); ++line)
                out += std::string(" ") + list->text(line);
            out += " ";
        } else if (w->w() == 10 && w->h() == 12) {
            out += !w->visible()         ? '-'
                   : colour == FL_RED    ? 'R'
                   : colour == FL_BLUE   ? 'B'
                   : colour == FL_YELLOW ? 'Y'
                                         : '?';
        }
    }
    return out;
}

// ---- Input panel --------------------------------------------------------------------------

// One check of the panel while `press` acts from inside its polling: what it
// answered, then the checks it left.
std::string check_after(OFD_simulator_input& panel, Fl_Group* window, int count,
                        const std::function<void()>& press) {
    int init = -1, quit = -1;
    std::vector<int> values(static_cast<std::size_t>(count), -1);
    bool watchdog = false;
    const Later act(0.05, press);
    const Later closer(10.0, [&watchdog] {
        watchdog = true;
        while (Fl_Window* shown = Fl::first_window())
            shown->hide();
    });
    const Later last_resort(15.0, [] { std::_Exit(1); });  // a panel blind to its closed window
    panel.check(&init, &quit, values.data());
    EXPECT_FALSE(watchdog) << "the panel did not answer; the watchdog closed it";
    std::string out = "init " + std::to_string(init) + " quit " + std::to_string(quit) + " values";
    for (int value : values)
        out += " " + std::to_string(value);
    return out + "," + state_of(window);
}

TEST(InputPanel, AnswersItsButtonsAndCloseBoxWithTheStepAndEvalSetsTheChecks) {
    NEEDS_DISPLAY();
    OFD_simulator_input panel(300);
    Fl_Window* window = Fl::first_window();
    for (const char* name : {"a", "b", "c"})
        panel.add(name);
    tessan_forms::wait_until_drawn(window, 5.0);
    const std::vector<Fl_Check_Browser*> lists = all_of<Fl_Check_Browser>(window);
    const auto click = [window](const char* label) { return [=] { send_click(labelled(window, label)); }; };
    lists[0]->checked(1, 1);
    lists[0]->checked(2, 1);
    lists[1]->checked(1, 1);
    // GO gives the checks and unchecks the signals that are not sticky.
    EXPECT_EQ(check_after(panel, window, 3, click("GO")), "init 0 quit 0 values 1 1 0, checks 100 checks 100");
    // INIT unchecks every signal, keeps the sticky marks and leaves the values.
    lists[0]->checked(3, 1);
    EXPECT_EQ(check_after(panel, window, 3, click("INIT")),
              "init 1 quit 0 values -1 -1 -1, checks 000 checks 100");
    int quit = -1;
    int values[] = {0, 1, 1};
    panel.eval(&quit, values);
    EXPECT_EQ(quit, 0);
    EXPECT_EQ(state_of(window), " checks 011 checks 100");
    EXPECT_EQ(check_after(panel, window, 3, click("QUIT")),
              "init 0 quit 1 values -1 -1 -1, checks 011 checks 100");
    send_click(labelled(window, "QUIT"));
    EXPECT_TRUE(sheet_support::wait_for([&] {
        panel.eval(&quit, values);
        return quit == 1;
    }));
    // Closed from its frame, the window can no longer answer: that is QUIT.
    EXPECT_EQ(check_after(panel, window, 3, [=] { sheet_support::send_close_box(window); }),
              "init 0 quit 1 values -1 -1 -1, checks 011 checks 100");
}

TEST(InputPanel, AnswersOnlyWhileTheCallersWindowIsShownAndHidesItWhenGone) {
    NEEDS_DISPLAY();
    Callers_window callers;
    Fl_Window* window = &callers.window;
    callers.input->add("x");
    callers.input->add("y");
    EXPECT_EQ(check_after(*callers.input, window, 2, [] {}), "init -1 quit 1 values -1 -1, checks 00 checks 00 ----------");
    all_of<Fl_Check_Browser>(window)[0]->checked(2, 1);
    window->show();
    tessan_forms::wait_until_drawn(window, 5.0);
    EXPECT_EQ(check_after(*callers.input, window, 2, [=] { send_click(labelled(window, "GO")); }),
              "init 0 quit 0 values 0 1, checks 00 checks 00 ----------");
    EXPECT_EQ(check_after(*callers.input, window, 2, [=] { window->hide(); }),
              "init 0 quit 1 values -1 -1, checks 00 checks 00 ----------");
    window->show();
    callers.input.reset();
    EXPECT_FALSE(window->shown());
    // Made outside any window, nobody can answer; the sanitized build's leak
    // check sees whether their widgets are freed.
    Fl_Group::current(nullptr);
    OFD_simulator_input input(nullptr, 0, 300);
    OFD_simulator_output output(nullptr, 0, 245, "outputs");
    input.add("a");
    output.add("b");
    int init = -1, quit = -1, value = -1;
    input.check(&init, &quit, &value);
    EXPECT_EQ(quit, 1);
}

// ---- Output panel -------------------------------------------------------------------------

TEST(OutputPanel, FollowsItsLastSignalPagesWithinThemAndColoursEachValue) {
    NEEDS_DISPLAY();
    OFD_simulator_output panel(245, "Outputs");
    Fl_Window* window = Fl::first_window();
    std::vector<int> values;
    for (int i = 1; i <= 25; ++i) {
        panel.add("s" + std::to_string(i));
        values.push_back(i % 3 == 0 ? 5 : i % 3 == 1);
    }
    EXPECT_EQ(state_of(window), " s21 s22 s23 s24 s25 RRRRR-----");
    for (int turn = 0; turn < 3; ++turn)
        panel.previous_page();
    EXPECT_EQ(state_of(window), " s1 s2 s3 s4 s5 s6 s7 s8 s9 s10 RRRRRRRRRR");
    panel.next_page();
    EXPECT_EQ(state_of(window), " s11 s12 s13 s14 s15 s16 s17 s18 s19 s20 RRRRRRRRRR");
    send_click(panel.my_plus_button());
    EXPECT_TRUE(sheet_support::wait_for([&] { return state_of(window) == " s21 s22 s23 s24 s25 RRRRR-----"; }));
    panel.next_page();
    send_click(panel.my_moins_button());
    EXPECT_TRUE(sheet_support::wait_for([&] { return state_of(window).substr(0, 5) == " s11 "; }));
    panel.eval(values.data());
    EXPECT_EQ(state_of(window), " s11 s12 s13 s14 s15 s16 s17 s18 s19 s20 YRBYRBYRBY");
    EXPECT_EQ(all_of<Fl_Box>(window).back()->selection_color(), FL_BLACK);
    panel.next_page();
    for (int r : {-1, 7, 10, 40000})  // rows without a signal or outside the page
        panel.internal_colorise(r);
    EXPECT_EQ(state_of(window), " s21 s22 s23 s24 s25 RBYRB-----");
    const sheet_support::Screen_picture picture(window);
    for (const auto& [y, colour] : {std::pair<int, Fl_Color>{40, FL_RED}, {56, FL_BLUE}, {104, FL_BLUE}})
        EXPECT_TRUE(picture.is(12, y, colour)) << y;
    EXPECT_TRUE(picture.is(12, 120, FL_BACKGROUND_COLOR));  // no lamp past the last signal
}

// Each lamp's centre lies in the band that the list paints for its row when
// the row is selected, beside the row's drawn name: for every row of a page,
// and pages of more rows than a small fixed table of lamps would hold.
TEST(OutputPanel, EachLampStandsInItsSignalsRow) {
    NEEDS_DISPLAY();
    for (int height : {245, 600}) {
        OFD_simulator_output panel(height, "rows");
        Fl_Window* window = Fl::first_window();
        const int rows = (height - 85) / 16;
        for (int i = 1; i <= rows; ++i)
            panel.add("sig" + std::to_string(i));
        Fl_Browser* list = all_of<Fl_Browser>(window).at(0);
        for (int r = 0; r < rows; ++r) {
            list->select(r + 1);
            const sheet_support::Screen_picture picture(window);
            const int centre = 34 + 16 * r + 6, x = list->x();
            EXPECT_TRUE(picture.is(x + 150, centre, list->selection_color())) << "row " << r << " of " << rows;
            EXPECT_LT(picture.count(x + 3, centre - 3, x + 83, centre + 3, list->selection_color()), 6 * 80)
                << "no name beside lamp " << r << " of " << rows;
        }
    }
}

// ---- Without a display ----------------------------------------------------------------------

[[maybe_unused]] const bool headless_child_ran =
    sheet_support::run_headless_call_if_asked([](const std::string&) {
        OFD_simulator_input input(300);
        OFD_simulator_output output(60, "too low for a row: one signal a page");
        input.add("a");
        output.add("a");
        output.add("b");
        int init = -1, quit = -1, values[2] = {-1, -1};
        input.check(&init, &quit, values);
        std::string out = "check quit " + std::to_string(quit) + " value " + std::to_string(values[0]);
        quit = -1;
        input.eval(&quit, values);
        output.eval(values);
        output.previous_page();
        output.next_page();
        output.internal_colorise(0);
        return out + ", eval quit " + std::to_string(quit) + (output.my_plus_button() ? ", buttons" : "");
    });

TEST(PanelsWithoutDisplay, InputAnswersQuitAtOnceAndOutputReturns) {
    EXPECT_EQ(sheet_support::run_headless("panels"), "check quit 1 value -1, eval quit 1");
}

}  // namespace
