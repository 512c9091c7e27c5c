// The signal simulator panels on a real display: the input panel answers the
// GO, INIT and QUIT buttons clicked in its window (and its close box) with the
// values of the step; the output panel pages through its signals with its
// "+" and "-" buttons and shows each value as a lamp colour on the screen.
// Every wait has a deadline: a panel that does not answer is closed by a
// watchdog, which the input panel takes for QUIT, and the test fails.
#include <gtest/gtest.h>

#include "tests/sheet_support.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Browser.H>

#include <algorithm>
#include <memory>
#include <sstream>

namespace {

using sheet_support::Later;
using sheet_support::Screen_picture;
using sheet_support::send_click;

// ---- Finding the panels' widgets ------------------------------------------------------

Fl_Widget* child_labelled(Fl_Group* group, const std::string& label) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* child = group->child(i);
        if (child->label() && label == child->label())
            return child;
    }
    return nullptr;
}

template <class Widget>
std::vector<Widget*> children_of_type(Fl_Group* group) {
    std::vector<Widget*> found;
    for (int i = 0; i < group->children(); ++i)
        if (Widget* widget = dynamic_cast<Widget*>(group->child(i)))
            found.push_back(widget);
    return found;
}

std::vector<int> geometry(const Fl_Widget* widget) {
    return {widget->x(), widget->y(), widget->w(), widget->h()};
}

// The check lists of an input panel: signals, then sticky.
struct Check_lists {
    Fl_Check_Browser* signals = nullptr;
    Fl_Check_Browser* sticky = nullptr;

    explicit Check_lists(Fl_Group* window) {
        const std::vector<Fl_Check_Browser*> lists = children_of_type<Fl_Check_Browser>(window);
        if (lists.size() == 2) {
            signals = lists[0];
            sticky = lists[1];
        }
    }
    static std::vector<int> checks(Fl_Check_Browser* list) {
        std::vector<int> out;
        for (int line = 1; line <= list->nitems(); ++line)
            out.push_back(list->checked(line));
        return out;
    }
};

std::vector<std::string> lines(Fl_Browser* browser) {
    std::vector<std::string> out;
    for (int line = 1; line <= browser->size(); ++line)
        out.push_back(browser->text(line) ? browser->text(line) : "");
    return out;
}

// The lamps of an output panel, in row order.
std::vector<Fl_Box*> lamps(Fl_Group* window) {
    std::vector<Fl_Box*> found;
    for (Fl_Box* box : children_of_type<Fl_Box>(window))
        if (box->w() == 10 && box->h() == 12)
            found.push_back(box);
    return found;
}

std::vector<std::string> names(const std::string& prefix, int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i)
        out.push_back(prefix + std::to_string(i));
    return out;
}

// A title that the caller's buffer no longer holds once the panel is made:
// each call writes "Outputs" again, the tests then overwrite it.
const char* changing_title() {
    static char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s", "Outputs");
    return buffer;
}

// The widgets of an input panel whose left edge is at x, and its signals.
void expect_input_layout(Fl_Group* window, int x) {
    const std::pair<const char*, std::vector<int>> widgets[] = {
        {"QUIT", {330 + x, 270, 60, 20}}, {"GO", {180 + x, 270, 60, 20}}, {"INIT", {10 + x, 270, 60, 20}},
        {"Signal", {80 + x, 10, 40, 20}}, {"Sticky", {280 + x, 10, 40, 20}}};
    for (const auto& expected : widgets) {
        Fl_Widget* widget = child_labelled(window, expected.first);
        ASSERT_NE(widget, nullptr) << expected.first;
        EXPECT_EQ(geometry(widget), expected.second) << expected.first;
    }
    const Check_lists lists(window);
    ASSERT_NE(lists.signals, nullptr);
    EXPECT_EQ(geometry(lists.signals), (std::vector<int>{10 + x, 30, 180, 230}));
    EXPECT_EQ(geometry(lists.sticky), (std::vector<int>{210 + x, 30, 180, 230}));
    EXPECT_EQ(lists.signals->type(), FL_MULTI_BROWSER);
    EXPECT_EQ(lists.sticky->type(), FL_MULTI_BROWSER);
}

// ---- Driving the input panel -------------------------------------------------------------

struct Step {
    int init = -1;
    int quit = -1;
    std::vector<int> values;
    bool watchdog = false;
};

// Runs one check of the panel while `press` acts from inside its polling.
Step check_after(OFD_simulator_input& panel, int count, const std::function<void()>& press) {
    Step step;
    step.values.assign(static_cast<std::size_t>(count), -1);
    const Later act(0.05, press);
    const Later watchdog(10.0, [&step] {
        step.watchdog = true;
        while (Fl_Window* window = Fl::first_window())
            window->hide();
    });
    // A panel that does not even see its window closed would hold the test
    // for ever: the program ends instead.
    const Later last_resort(15.0, [] {
        std::fputs("the input panel never returned, even with its window closed\n", stderr);
        std::_Exit(1);
    });
    panel.check(&step.init, &step.quit, step.values.data());
    EXPECT_FALSE(step.watchdog) << "the panel did not answer; the watchdog closed it";
    return step;
}

// An input panel in its own window, shown, drawn, with the signals a, b, c.
struct Own_input_panel {
    OFD_simulator_input panel{300};
    Fl_Window* window = Fl::first_window();
    Check_lists lists{window};

    Own_input_panel() {
        for (const char* name : {"a", "b", "c"})
            panel.add(name);
        tessan_forms::wait_until_drawn(window, 5.0);
    }
    Fl_Widget* button(const char* label) { return child_labelled(window, label); }
};

// ---- Input panel --------------------------------------------------------------------------

TEST(InputPanel, OwnWindowLaysOutItsWidgetsFromTheTopLeft) {
    NEEDS_DISPLAY();
    Own_input_panel own;
    Fl_Window* window = own.window;
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->label(), "Inputs Pannel");
    EXPECT_EQ(window->w(), 400);
    EXPECT_EQ(window->h(), 300);
    expect_input_layout(window, 0);
    for (const char* label : {"QUIT", "GO", "INIT"}) {
        ASSERT_NE(own.button(label), nullptr) << label;
        EXPECT_EQ(own.button(label)->labelfont(), FL_TIMES) << label;
        EXPECT_EQ(own.button(label)->labelsize(), 12) << label;
    }
    ASSERT_NE(own.lists.signals, nullptr);
    EXPECT_EQ(own.lists.signals->nitems(), 3);
    EXPECT_STREQ(own.lists.signals->text(2), "b");
    EXPECT_STREQ(own.lists.sticky->text(3), "c");
}

TEST(InputPanel, ButtonsAndListsAreDrawnOverTheBackground) {
    NEEDS_DISPLAY();
    Own_input_panel own;
    own.window->redraw();
    const Screen_picture picture(own.window);
    ASSERT_TRUE(picture.taken());
    // A button shows its frame and label; the lists their white field.
    EXPECT_GE(picture.colours(180, 270, 240, 290), 3);
    EXPECT_GE(picture.colours(330, 270, 390, 290), 3);
    EXPECT_GT(picture.count(20, 100, 180, 200, FL_BACKGROUND2_COLOR), 1000);
    EXPECT_GT(picture.count(220, 100, 380, 200, FL_BACKGROUND2_COLOR), 1000);
}

TEST(InputPanel, GoGivesTheChecksAndUnchecksTheSignalsThatAreNotSticky) {
    NEEDS_DISPLAY();
    Own_input_panel own;
    own.lists.signals->checked(1, 1);
    own.lists.signals->checked(2, 1);
    own.lists.sticky->checked(1, 1);
    const Step step = check_after(own.panel, 3, [&] { send_click(own.button("GO")); });
    EXPECT_EQ(step.quit, 0);
    EXPECT_EQ(step.init, 0);
    EXPECT_EQ(step.values, (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(own.lists.checks(own.lists.signals), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(own.lists.checks(own.lists.sticky), (std::vector<int>{1, 0, 0}));
}

TEST(InputPanel, ACheckClickedInTheListIsPresentAtGo) {
    NEEDS_DISPLAY();
    Own_input_panel own;
    // Line 2 of the signals list, inside its frame.
    Fl_Check_Browser* list = own.lists.signals;
    const int line_y = list->y() + Fl::box_dy(list->box()) + 16 + 8;
    const Later go(0.15, [&] { send_click(own.button("GO")); });
    const Step step = check_after(own.panel, 3, [&] { send_click(own.window, list->x() + 20, line_y); });
    EXPECT_EQ(step.values, (std::vector<int>{0, 1, 0}));
}

TEST(InputPanel, InitUnchecksEverySignalAndKeepsTheStickyMarks) {
    NEEDS_DISPLAY();
    Own_input_panel own;
    for (int line = 1; line <= 3; ++line)
        own.lists.signals->checked(line, 1);
    own.lists.sticky->checked(2, 1);
    const Step step = check_after(own.panel, 3, [&] { send_click(own.button("INIT")); });
    EXPECT_EQ(step.init, 1);
    EXPECT_EQ(step.quit, 0);
    EXPECT_EQ(step.values, (std::vector<int>{-1, -1, -1}));  // untouched
    EXPECT_EQ(own.lists.checks(own.lists.signals), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(own.lists.checks(own.lists.sticky), (std::vector<int>{0, 1, 0}));
}

TEST(InputPanel, QuitButtonAndCloseBoxAnswerQuit) {
    NEEDS_DISPLAY();
    Own_input_panel own;
    own.lists.signals->checked(1, 1);
    Step step = check_after(own.panel, 3, [&] { send_click(own.button("QUIT")); });
    EXPECT_EQ(step.quit, 1);
    EXPECT_EQ(step.values, (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(own.lists.checks(own.lists.signals), (std::vector<int>{1, 0, 0}));
    // Closed from its frame, the window can no longer answer: that is QUIT.
    step = check_after(own.panel, 3, [&] { sheet_support::send_close_box(own.window); });
    EXPECT_EQ(step.quit, 1);
}

TEST(InputPanel, EvalChecksTheSignalsFromTheValuesUntilQuit) {
    NEEDS_DISPLAY();
    Own_input_panel own;
    int quit = -1;
    int values[] = {0, 1, 1};
    own.panel.eval(&quit, values);
    EXPECT_EQ(quit, 0);
    EXPECT_EQ(own.lists.checks(own.lists.signals), (std::vector<int>{0, 1, 1}));
    send_click(own.button("QUIT"));
    int other[] = {1, 0, 0};
    const bool quit_read = sheet_support::wait_for([&] {
        own.panel.eval(&quit, other);
        return quit == 1;
    });
    EXPECT_TRUE(quit_read);
}

// A window of the caller's holding an input panel at offset x and an output
// panel beside it, as a simulator would lay them out.
struct Callers_window {
    std::unique_ptr<Fl_Window> window;
    std::unique_ptr<OFD_simulator_input> input;
    std::unique_ptr<OFD_simulator_output> output;

    Callers_window() {
        window = std::make_unique<Fl_Window>(700, 300, "simulation");
        input = std::make_unique<OFD_simulator_input>(window.get(), 20, 300);
        output = std::make_unique<OFD_simulator_output>(window.get(), 440, 245, changing_title());
        window->end();
    }
    ~Callers_window() {
        output.reset();
        input.reset();
    }
};

TEST(InputPanel, InTheCallersWindowFollowsTheOffsetAndAnswersOnceShown) {
    NEEDS_DISPLAY();
    Callers_window callers;
    Fl_Window* window = callers.window.get();
    EXPECT_FALSE(window->shown());  // the caller shows it
    expect_input_layout(window, 20);
    const Check_lists lists(window);
    ASSERT_NE(lists.signals, nullptr);
    callers.input->add("x");
    callers.input->add("y");
    lists.signals->checked(2, 1);
    window->show();
    tessan_forms::wait_until_drawn(window, 5.0);
    const Step step = check_after(*callers.input, 2, [&] { send_click(child_labelled(window, "GO")); });
    EXPECT_EQ(step.quit, 0);
    EXPECT_EQ(step.values, (std::vector<int>{0, 1}));
}

TEST(InputPanel, WhoseWindowIsHiddenOrNeverShownAnswersQuitAtOnce) {
    NEEDS_DISPLAY();
    Callers_window callers;
    callers.input->add("x");
    int init = -1, quit = -1, values[1] = {-1};
    callers.input->check(&init, &quit, values);
    EXPECT_EQ(quit, 1);
    callers.window->show();
    tessan_forms::wait_until_drawn(callers.window.get(), 5.0);
    const Step step = check_after(*callers.input, 1, [&] { callers.window->hide(); });
    EXPECT_EQ(step.quit, 1);
    EXPECT_EQ(step.values, (std::vector<int>{-1}));
}

TEST(Panels, MadeOutsideAnyWindowAnswerQuitAndFreeTheirWidgets) {
    NEEDS_DISPLAY();
    Fl_Group::current(nullptr);
    OFD_simulator_input input(nullptr, 0, 300);
    OFD_simulator_output output(nullptr, 0, 245, "outputs");
    input.add("a");
    output.add("b");
    int init = -1, quit = -1, values[1] = {-1};
    input.check(&init, &quit, values);
    EXPECT_EQ(quit, 1);
    // The sanitized build's leak check sees whether the widgets were freed.
}

TEST(InputPanel, DestructorHidesItsOwnWindowOrTheCallers) {
    NEEDS_DISPLAY();
    {
        OFD_simulator_input panel(200);
        ASSERT_NE(Fl::first_window(), nullptr);
    }
    Fl::check();
    EXPECT_EQ(Fl::first_window(), nullptr);
    Callers_window callers;
    callers.window->show();
    callers.input.reset();
    EXPECT_FALSE(callers.window->shown());
}

// ---- Output panel -------------------------------------------------------------------------

// An output panel in its own window of height 245 (ten rows), shown.
struct Own_output_panel {
    OFD_simulator_output panel{245, changing_title()};
    Fl_Window* window = Fl::first_window();

    Fl_Browser* browser() { return children_of_type<Fl_Browser>(window).at(0); }
    std::vector<Fl_Box*> visible_lamps() {
        std::vector<Fl_Box*> shown;
        for (Fl_Box* lamp : lamps(window))
            if (lamp->visible())
                shown.push_back(lamp);
        return shown;
    }
    void add(int n) {
        for (int i = 1; i <= n; ++i)
            panel.add("s" + std::to_string(i));
    }
};

// The widgets of an output panel whose left edge is at x: its buttons (which
// an own window places differently), its list and its ten lamps, hidden.
void expect_output_layout(OFD_simulator_output& panel, Fl_Group* window, int x, int plus_x, int minus_x) {
    EXPECT_EQ(panel.my_plus_button(), child_labelled(window, "+"));
    EXPECT_EQ(panel.my_moins_button(), child_labelled(window, "-"));
    EXPECT_EQ(geometry(panel.my_plus_button()), (std::vector<int>{plus_x, 215, 20, 20}));
    EXPECT_EQ(geometry(panel.my_moins_button()), (std::vector<int>{minus_x, 215, 20, 20}));
    const std::vector<Fl_Browser*> browsers = children_of_type<Fl_Browser>(window);
    ASSERT_EQ(browsers.size(), 1u);
    EXPECT_EQ(geometry(browsers[0]), (std::vector<int>{x + 20, 30, 198, 177}));
    const std::vector<Fl_Box*> all = lamps(window);
    ASSERT_EQ(all.size(), 10u);
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(geometry(all[static_cast<std::size_t>(r)]), (std::vector<int>{x + 7, 34 + 16 * r, 10, 12}));
        EXPECT_FALSE(all[static_cast<std::size_t>(r)]->visible());
    }
}

TEST(OutputPanel, OwnWindowLaysOutItsWidgetsFromTheTopLeft) {
    NEEDS_DISPLAY();
    Own_output_panel own;
    ASSERT_NE(own.window, nullptr);
    // The caller's title buffer changes; the window keeps what it was given.
    std::snprintf(const_cast<char*>(changing_title()), 16, "%s", "changed");
    EXPECT_STREQ(own.window->label(), "Outputs");
    EXPECT_EQ(own.window->w(), 240);
    EXPECT_EQ(own.window->h(), 245);
    expect_output_layout(own.panel, own.window, 0, 70, 30);
    EXPECT_EQ(own.panel.my_plus_button()->labelfont(), FL_TIMES);
}

TEST(OutputPanel, InTheCallersWindowFollowsTheOffset) {
    NEEDS_DISPLAY();
    Callers_window callers;
    Fl_Window* window = callers.window.get();
    expect_output_layout(*callers.output, window, 440, 590, 510);
    std::snprintf(const_cast<char*>(changing_title()), 16, "%s", "changed");
    Fl_Widget* title = child_labelled(window, "Outputs");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(geometry(title), (std::vector<int>{520, 10, 40, 20}));
}

TEST(OutputPanel, NewSignalsAreRedAndThePageFollowsTheLastOne) {
    NEEDS_DISPLAY();
    Own_output_panel own;
    own.add(25);
    EXPECT_EQ(lines(own.browser()), names("s", 21, 25));
    const std::vector<Fl_Box*> shown = own.visible_lamps();
    ASSERT_EQ(shown.size(), 5u);
    for (Fl_Box* lamp : shown)
        EXPECT_EQ(lamp->color(), FL_RED);
    const Screen_picture picture(own.window);
    EXPECT_TRUE(picture.is(12, 40, FL_RED));
    EXPECT_TRUE(picture.is(12, 34 + 16 * 4 + 6, FL_RED));
    EXPECT_FALSE(picture.is(12, 34 + 16 * 5 + 6, FL_RED));
}

TEST(OutputPanel, PagesTurnWithinTheSignals) {
    NEEDS_DISPLAY();
    Own_output_panel own;
    own.add(25);
    own.panel.previous_page();
    own.panel.previous_page();
    EXPECT_EQ(lines(own.browser()), names("s", 1, 10));
    EXPECT_EQ(own.visible_lamps().size(), 10u);
    own.panel.previous_page();
    EXPECT_EQ(lines(own.browser()), names("s", 1, 10));
    own.panel.next_page();
    EXPECT_EQ(lines(own.browser()), names("s", 11, 20));
    own.panel.next_page();
    own.panel.next_page();
    EXPECT_EQ(lines(own.browser()), names("s", 21, 25));
    EXPECT_EQ(own.visible_lamps().size(), 5u);
}

TEST(OutputPanel, PlusAndMinusButtonsTurnThePages) {
    NEEDS_DISPLAY();
    Own_output_panel own;
    own.add(25);
    tessan_forms::wait_until_drawn(own.window, 5.0);
    send_click(own.panel.my_moins_button());
    EXPECT_TRUE(sheet_support::wait_for([&] { return lines(own.browser()) == names("s", 11, 20); }));
    send_click(own.panel.my_plus_button());
    EXPECT_TRUE(sheet_support::wait_for([&] { return lines(own.browser()) == names("s", 21, 25); }));
}

TEST(OutputPanel, EvalShowsOneBlueZeroYellowOthersRed) {
    NEEDS_DISPLAY();
    Own_output_panel own;
    own.add(12);
    own.panel.previous_page();
    int values[12] = {1, 0, 5, 1, 1, 1, 1, 1, 1, 1, 0, 1};
    own.panel.eval(values);
    const std::vector<Fl_Box*> shown = own.visible_lamps();
    ASSERT_EQ(shown.size(), 10u);
    EXPECT_EQ(shown[0]->color(), FL_BLUE);
    EXPECT_EQ(shown[1]->color(), FL_YELLOW);
    EXPECT_EQ(shown[2]->color(), FL_RED);
    EXPECT_EQ(shown[0]->selection_color(), FL_BLACK);
    const Screen_picture picture(own.window);
    EXPECT_TRUE(picture.is(12, 40, FL_BLUE));
    EXPECT_TRUE(picture.is(12, 56, FL_YELLOW));
    EXPECT_TRUE(picture.is(12, 72, FL_RED));
    // The values of the page not shown are kept for it.
    own.panel.next_page();
    const std::vector<Fl_Box*> second = own.visible_lamps();
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0]->color(), FL_YELLOW);
    EXPECT_EQ(second[1]->color(), FL_BLUE);
}

TEST(OutputPanel, ColouringARowOutsideThePageDoesNothing) {
    NEEDS_DISPLAY();
    Own_output_panel own;
    own.add(3);
    for (int r : {-1, 3, 9, 10, 40000})
        own.panel.internal_colorise(r);
    const std::vector<Fl_Box*> all = lamps(own.window);
    for (std::size_t r = 3; r < all.size(); ++r)
        EXPECT_FALSE(all[r]->visible()) << r;
}

TEST(OutputPanel, AnyHeightGivesUsablePages) {
    NEEDS_DISPLAY();
    {
        // Too low for a row of its own: one signal a page.
        OFD_simulator_output low(60, "low");
        Fl_Window* window = Fl::first_window();
        low.add("a");
        low.add("b");
        low.add("c");
        EXPECT_EQ(lines(children_of_type<Fl_Browser>(window).at(0)), (std::vector<std::string>{"c"}));
        low.previous_page();
        EXPECT_EQ(lines(children_of_type<Fl_Browser>(window).at(0)), (std::vector<std::string>{"b"}));
        int values[3] = {1, 0, 1};
        low.eval(values);
        EXPECT_EQ(lamps(window).at(0)->color(), FL_YELLOW);
    }
    {
        // More rows than a fixed table of lamps would hold.
        Fl_Window window(300, 300);
        OFD_simulator_output tall(&window, 0, 16 * 33000 + 85, "tall");
        window.end();
        for (int i = 0; i < 3; ++i)
            tall.add("t" + std::to_string(i));
        int values[3] = {1, 0, 7};
        tall.eval(values);
        tall.next_page();
        EXPECT_EQ(lamps(&window).size(), 33000u);
        EXPECT_EQ(lamps(&window).at(2)->color(), FL_RED);
    }
}

// Each lamp's centre lies in the band that the browser paints for its row when
// the row is selected, a band that holds the row's drawn name: for every row
// of a page, whatever the panel's height, in its own window or the caller's.
TEST(OutputPanel, EachLampStandsInItsSignalsRow) {
    NEEDS_DISPLAY();
    for (int height : {101, 245, 600})
        for (int x : {-1, 40}) {  // -1: its own window
            SCOPED_TRACE("height " + std::to_string(height) + (x < 0 ? ", own window" : ", caller's"));
            std::unique_ptr<Fl_Window> callers;
            std::unique_ptr<OFD_simulator_output> panel;
            if (x < 0) {
                panel = std::make_unique<OFD_simulator_output>(height, "rows");
            } else {
                callers = std::make_unique<Fl_Window>(300, height);
                panel = std::make_unique<OFD_simulator_output>(callers.get(), x, height, "rows");
                callers->end();
                callers->show();
            }
            Fl_Window* window = callers ? callers.get() : Fl::first_window();
            const int rows = (height - 85) / 16, lamp_x = std::max(x, 0) + 12;
            for (int i = 1; i <= rows; ++i)
                panel->add("sig" + std::to_string(i));
            Fl_Browser* browser = children_of_type<Fl_Browser>(window).at(0);
            std::vector<double> centres;  // of the lamps' red runs, top down
            for (int r = 0; r < rows; ++r) {
                browser->select(r + 1);
                const Screen_picture picture(window);
                for (int y = 0, top = -1; r == 0 && y <= height; ++y) {
                    const bool red = picture.is(lamp_x, y, FL_RED);
                    if (red && top < 0)
                        top = y;
                    if (!red && top >= 0) {
                        centres.push_back((top + y - 1) / 2.0);
                        top = -1;
                    }
                }
                ASSERT_EQ(centres.size(), static_cast<std::size_t>(rows));
                int top = height, bottom = -1;
                for (int y = 0; y < height; ++y)
                    if (picture.is(browser->x() + 150, y, browser->selection_color())) {
                        top = std::min(top, y);
                        bottom = y;
                    }
                const int inked = (bottom - top + 1) * 80 -
                                  picture.count(browser->x() + 3, top, browser->x() + 83, bottom + 1,
                                                browser->selection_color());
                EXPECT_GT(inked, 0) << "no name drawn in row " << r;
                const double centre = centres[static_cast<std::size_t>(r)];
                EXPECT_TRUE(top <= centre && centre <= bottom)
                    << "lamp " << r << " at " << centre << ", its row from " << top << " to " << bottom;
            }
        }
}

// ---- Without a display ----------------------------------------------------------------------

std::string run_without_display(const std::string& call) {
    std::ostringstream out;
    if (call == "input") {
        OFD_simulator_input panel(300);
        panel.add("a");
        int init = -1, quit = -1, values[1] = {-1};
        panel.check(&init, &quit, values);
        out << "check quit " << quit << " value " << values[0];
        quit = -1;
        panel.eval(&quit, values);
        out << ", eval quit " << quit;
    } else if (call == "output") {
        OFD_simulator_output panel(245, "outputs");
        std::vector<int> values;
        for (int i = 0; i < 25; ++i) {
            panel.add("s" + std::to_string(i));
            values.push_back(i % 2);
        }
        panel.eval(values.data());
        panel.previous_page();
        panel.next_page();
        panel.internal_colorise(0);
        out << "returned " << (panel.my_plus_button() == nullptr);
    }
    return out.str();
}

[[maybe_unused]] const bool headless_child_ran = sheet_support::run_headless_call_if_asked(run_without_display);

TEST(PanelsWithoutDisplay, InputAnswersQuitAtOnceAndOutputKeepsItsValues) {
    EXPECT_EQ(sheet_support::run_headless("input"), "check quit 1 value -1, eval quit 1");
    EXPECT_EQ(sheet_support::run_headless("output"), "returned 1");
}

}  // namespace
