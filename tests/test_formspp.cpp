// The Forms toolkit: dialogs answered by keys, clicks and the window's close
// box on a real X server, drawings read back pixel by pixel, wrappers, the
// point-on-segment test, and the headless behaviour of every window.
//
// Window tests need DISPLAY (the test command starts a private Xvfb) and skip
// themselves without it. Keys and typing go through xdotool to the dialog's
// own window (never through the shared keyboard focus, so tests running side
// by side on one server cannot steal each other's keys); clicks and the close
// box are real X events sent to that window. Every wait has a deadline, and a
// watchdog closes any window left up, so a broken dialog fails instead of
// hanging.
// GoogleTest before Xlib, whose macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include "sheet_support.h"  // display check, real clicks and close box

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/forms.H>
#include <FL/x.H>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using test_files::slurp;

// ---- Headless child ---------------------------------------------------------
//
// The copy of this program started without DISPLAY runs one of these calls
// and prints what it returned.

std::string headless_call(const std::string& call) {
    std::ostringstream out;
    if (call == "probe") {
        out << fl_display_available();
    } else if (call == "question") {
        out << fl_show_Squestion("go on?", 0);
    } else if (call == "input") {
        out << "[" << fl_show_Sinput("name?", "default") << "]";
    } else if (call == "int") {
        bool cancelled = false;
        const int value = fl_show_int("how many?", 7, cancelled);
        out << value << " " << cancelled;
    } else if (call == "double") {
        out << fl_show_double(String("how much?"), 2.5);
    } else if (call == "selector") {
        out << "[" << fl_show_Sfile_selector("file selection", "", "*.gal", "") << "]";
    } else {  // calls that only inform
        if (call == "message")
            fl_show_Smessages("50% done %s");
        else if (call == "alert")
            fl_show_Salert("careful: 100%d");
        else if (call == "bigmessages")
            fl_show_Sbigmessages("line one\nline two\n", 80);
        else if (call == "credit")
            fl_show_ms();
        else if (call == "three_lines")
            fl_show_Smessage("", "FILE NOT FOUND!", "");
        else if (call == "wait_form")
            OFD_wait_form wait("working");
        out << "returned";
    }
    return out.str();
}

[[maybe_unused]] const bool headless_child_ran = sheet_support::run_headless_call_if_asked(headless_call);

// A fresh file under /tmp, removed when it goes.
struct TempFile {
    std::string path;
    explicit TempFile(const std::string& suffix = "") {
        std::string name = "/tmp/tessan-forms-XXXXXX" + suffix;
        const int fd = mkstemps(&name[0], static_cast<int>(suffix.size()));
        if (fd >= 0)
            close(fd);
        path = name;
    }
    ~TempFile() { std::remove(path.c_str()); }
};

struct ChildRun {
    std::string out;
    std::string err;
    int status = -1;
};

// Runs this program again for one call, with `display` as DISPLAY (unset
// when empty).
ChildRun run_child(const std::string& call, const std::string& display = "") {
    const TempFile err;
    const std::string env = display.empty() ? "env -u DISPLAY" : "env DISPLAY='" + display + "'";
    ChildRun run;
    run.out = sheet_support::output_of(env + " TESSAN_SHEET_HEADLESS_CALL=" + call + " timeout 20 /proc/" +
                                           std::to_string(getpid()) + "/exe 2>" + err.path,
                                       &run.status);
    run.err = slurp(err.path);
    return run;
}

// ---- Display helpers --------------------------------------------------------

// How many colours the image of an X window holds; 0 when it could not be
// taken. A window that was never drawn shows one flat colour.
int window_colours(unsigned long xid) {
    const TempFile png(".png");
    // import holds the server while it reads: the time limit keeps a stuck
    // one from stalling every client of the display.
    return std::atoi(sheet_support::output_of("timeout 5 import -silent -window " + std::to_string(xid) + " " +
                                              png.path + " 2>/dev/null && identify -format %k " + png.path)
                         .c_str());
}

struct Widget {
    std::string label;
    int x, y, w, h;
    std::vector<std::string> lines;  // a browser's lines
    Fl_Widget* widget;               // only for the thread that runs the dialog
};

struct Snapshot {
    unsigned long xid = 0;
    std::string title;
    int w = 0, h = 0;
    std::vector<Widget> widgets;

    const Widget* find(const std::string& label) const {
        for (const Widget& widget : widgets)
            if (widget.label == label)
                return &widget;
        return nullptr;
    }
    const Widget* browser() const {
        for (const Widget& widget : widgets)
            if (!widget.lines.empty())
                return &widget;
        return nullptr;
    }
};

// Drives the dialog that the test thread is about to run. The script runs on
// its own thread and talks to the X server only through xdotool and import;
// what needs the toolkit's own connection (reading the widgets, sending a
// click or the close box's message) is asked of the test thread, which
// serves it from an FLTK timeout every few milliseconds while the dialog
// waits for its events.
class Driver {
public:
    using Script = std::function<void(Driver&)>;

    explicit Driver(Script script) : script_(std::move(script)), start_(clock::now()) {
        Fl::add_timeout(tick, &Driver::serve, this);
        thread_ = std::thread([this] { script_(*this); });
    }

    ~Driver() {
        // The dialog has returned: anything the script still waits for can
        // no longer come, so its deadlines end it.
        if (thread_.joinable())
            thread_.join();
        Fl::remove_timeout(&Driver::serve, this);
    }

    bool timed_out() const { return timed_out_; }

    // Waits until the top window of the dialog has this title and is drawn.
    Snapshot wait_window(const std::string& title) { return wait_window(&title); }
    Snapshot wait_any_window() { return wait_window(nullptr); }

    int colours() const { return colours_; }

    void key(const Snapshot& window, const std::string& keys) { xdotool("key", window, keys); }
    void type(const Snapshot& window, const std::string& text) { xdotool("type", window, "-- '" + text + "'"); }

    void click(const std::string& label) { request(Request{Request::click, label}); }
    // Sets the first input field of the top window to text.
    void fill_input(const std::string& text) { request(Request{Request::fill, text}); }
    void close_box() { request(Request{Request::close, ""}); }

private:
    static void xdotool(const std::string& command, const Snapshot& window, const std::string& arguments) {
        const std::string line = "timeout 5 xdotool " + command + " --window " + std::to_string(window.xid) + " " +
                                 arguments + " 2>/dev/null";
        (void)std::system(line.c_str());
    }

    Snapshot wait_window(const std::string* title) {
        const auto deadline = clock::now() + std::chrono::seconds(10);
        for (;;) {
            Snapshot seen = snapshot();
            if (seen.xid && (!title || seen.title == *title)) {
                wait_drawn(seen.xid);
                return snapshot();
            }
            if (clock::now() >= deadline) {
                ADD_FAILURE() << "no window titled '" << (title ? *title : "") << "' came up (top: '" << seen.title
                              << "', " << (seen.xid ? "shown" : "none") << ")";
                return Snapshot();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    using clock = std::chrono::steady_clock;
    static constexpr double tick = 0.01;
    static constexpr int watchdog_seconds = 25;

    struct Request {
        enum Kind { none, click, close, fill } kind = none;
        std::string label;
    };

    static Fl_Window* top_window() {
        if (Fl_Window* modal = Fl::modal())
            return modal;
        return Fl::first_window();
    }

    static void collect(Fl_Group* group, std::vector<Widget>& out) {
        for (int i = 0; i < group->children(); ++i) {
            Fl_Widget* child = group->child(i);
            Widget widget{child->label() ? child->label() : "", child->x(), child->y(), child->w(), child->h(), {},
                          child};
            if (Fl_Browser* list = dynamic_cast<Fl_Browser*>(child))
                for (int line = 1; line <= list->size(); ++line)
                    widget.lines.push_back(list->text(line) ? list->text(line) : "");
            out.push_back(widget);
            if (Fl_Group* inner = child->as_group())
                collect(inner, out);
        }
    }

    static void serve(void* self) { static_cast<Driver*>(self)->serve(); }

    void serve() {
        Fl_Window* window = top_window();
        Snapshot seen;
        if (window && window->shown() && fl_xid(window)) {
            seen.xid = fl_xid(window);
            seen.title = window->label() ? window->label() : "";
            seen.w = window->w();
            seen.h = window->h();
            collect(window, seen.widgets);
        }
        Request asked;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            snapshot_ = seen;
            asked = pending_;
            pending_ = Request();
        }
        if (asked.kind != Request::none && window)
            perform(window, seen, asked);
        if (asked.kind != Request::none) {
            std::lock_guard<std::mutex> lock(mutex_);
            served_ = true;
            served_signal_.notify_all();
        }
        if (clock::now() - start_ > std::chrono::seconds(watchdog_seconds)) {
            timed_out_ = true;
            while (Fl_Window* left = Fl::first_window())
                left->hide();
        }
        Fl::repeat_timeout(tick, &Driver::serve, this);
    }

    static void perform(Fl_Window* window, const Snapshot& seen, const Request& asked) {
        if (asked.kind == Request::close)
            return sheet_support::send_close_box(window);
        for (const Widget& widget : seen.widgets) {
            Fl_Input_* input = dynamic_cast<Fl_Input_*>(widget.widget);
            if (asked.kind == Request::fill && input) {
                // Its callback is what the field's owner watches (a chooser
                // enables its OK button there).
                input->value(asked.label.c_str());
                return input->do_callback();
            }
            if (asked.kind == Request::click && widget.label == asked.label)
                return sheet_support::send_click(widget.widget);
        }
        ADD_FAILURE() << "no " << (asked.kind == Request::fill ? "input field" : "widget labelled " + asked.label);
    }

    Snapshot snapshot() {
        std::lock_guard<std::mutex> lock(mutex_);
        return snapshot_;
    }

    void request(const Request& asked) {
        std::unique_lock<std::mutex> lock(mutex_);
        served_ = false;
        pending_ = asked;
        if (!served_signal_.wait_for(lock, std::chrono::seconds(10), [this] { return served_; }))
            ADD_FAILURE() << "the dialog's loop did not run";
    }

    // FLTK draws on expose; the picture is read until it is no longer flat.
    void wait_drawn(unsigned long xid) {
        const auto deadline = clock::now() + std::chrono::seconds(5);
        do {
            colours_ = window_colours(xid);
            if (colours_ >= 3)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (clock::now() < deadline);
    }

    Script script_;
    clock::time_point start_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable served_signal_;
    Snapshot snapshot_;
    Request pending_;
    bool served_ = false;
    std::atomic<bool> timed_out_{false};
    std::atomic<int> colours_{0};
};

// Runs a dialog while `script` drives it from its own thread; fails when the
// watchdog had to close it.
void drive(const std::function<void()>& dialog, const Driver::Script& script) {
    bool timed_out = false;
    {
        Driver driver(script);
        dialog();
        timed_out = driver.timed_out();
    }
    EXPECT_FALSE(timed_out) << "the dialog had to be closed by the watchdog";
}

// Runs a dialog while `act` answers it, once its window is up and drawn;
// checks that it was drawn and ended by the answer, and gives what the
// window held before the answer.
using Answer = std::function<void(Driver&, const Snapshot&)>;

Snapshot answer(const std::function<void()>& dialog, const Answer& act) {
    Snapshot seen;
    int colours = 0;
    drive(dialog, [&](Driver& d) {
        seen = d.wait_any_window();
        colours = d.colours();
        act(d, seen);
    });
    EXPECT_GE(colours, 3) << "the dialog's window looks blank";
    return seen;
}

Answer press(const std::string& keys, const std::string& typed = "") {
    return [=](Driver& d, const Snapshot& seen) {
        if (!typed.empty())
            d.type(seen, typed);
        d.key(seen, keys);
    };
}

Answer close_box() {
    return [](Driver& d, const Snapshot&) { d.close_box(); };
}

Answer click_on(const std::string& button) {
    return [=](Driver& d, const Snapshot&) { d.click(button); };
}

// Twenty BackSpaces clear the offered default however the field selected it.
Answer type_over_default(const std::string& typed) {
    return [=](Driver& d, const Snapshot& seen) {
        d.key(seen, "BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace "
                    "BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace "
                    "BackSpace BackSpace");
        d.type(seen, typed);
        d.key(seen, "Return");
    };
}

// Whether some widget's label holds `text`.
bool shows(const Snapshot& seen, const std::string& text) {
    for (const Widget& widget : seen.widgets)
        if (widget.label.find(text) != std::string::npos)
            return true;
    return false;
}

// ---- Messages and alerts ----------------------------------------------------

TEST(MessageAndAlertWindows, ShowPercentSignsLiterallyAndCloseOnReturnEscapeOrTheCloseBox) {
    NEEDS_DISPLAY();
    const struct {
        const char* name;
        void (*show)(const String&);
        const char* text;
    } windows[] = {{"message", fl_show_Smessages, "50% done %s %d %"}, {"alert", fl_show_Salert, "careful: 100%d %n"}};
    for (const auto& window : windows) {
        SCOPED_TRACE(window.name);
        const auto show = [&] { window.show(window.text); };
        EXPECT_NE(answer(show, press("Return")).find(window.text), nullptr);
        answer(show, press("Escape"));
        answer(show, close_box());
    }
}

TEST(CreditWindow, ShowsTheVersionAndCloses) {
    NEEDS_DISPLAY();
    EXPECT_TRUE(shows(answer([] { fl_show_ms(); }, press("Return")), "0.0.3"));
}

TEST(ThreeLineMessage, ShowsItsLinesAndCloses) {
    NEEDS_DISPLAY();
    EXPECT_TRUE(shows(answer([] { fl_show_Smessage("", "FILE NOT FOUND!", ""); }, press("Return")), "FILE NOT FOUND!"));
}

// ---- Questions ----------------------------------------------------------------

TEST(QuestionWindow, AnswersOneForTheSecondButtonOrReturnAndZeroForTheFirstEscapeOrTheCloseBox) {
    NEEDS_DISPLAY();
    const struct {
        const char* name;
        Answer act;
        int unused;  // changes nothing
        int expected;
    } cases[] = {{"second button", click_on(fl_yes), 0, 1},
                 {"first button", click_on(fl_no), 5, 0},
                 {"Return", press("Return"), 0, 1},
                 {"Escape", press("Escape"), 0, 0},
                 {"close box", close_box(), 0, 0}};
    for (const auto& one : cases) {
        int answer_given = -1;
        const Snapshot seen = answer([&] { answer_given = fl_show_Squestion("go on? 100%", one.unused); }, one.act);
        EXPECT_EQ(answer_given, one.expected) << one.name;
        EXPECT_NE(seen.find("go on? 100%"), nullptr) << one.name;
    }
}

// ---- Inputs -------------------------------------------------------------------

TEST(InputWindow, GivesTheTextTypedOrAcceptedAndEmptyWhenCancelled) {
    NEEDS_DISPLAY();
    const struct {
        const char* name;
        const char* offered;
        Answer act;
        const char* expected;
    } cases[] = {{"typed", "", press("Return", "hello"), "hello"},
                 {"default accepted", "abc", press("Return"), "abc"},
                 {"empty field", "", press("Return"), ""},
                 {"Escape", "abc", press("Escape"), ""},
                 {"close box", "abc", close_box(), ""}};
    for (const auto& one : cases) {
        String answer_given = "unset";
        const Snapshot seen = answer([&] { answer_given = fl_show_Sinput("name? 5%s", one.offered); }, one.act);
        EXPECT_EQ(answer_given, one.expected) << one.name;
        EXPECT_NE(seen.find("name? 5%s"), nullptr) << one.name;
    }
}

// An answer that is no number or does not fit is read as the default.
TEST(IntInputWindow, ReadsTheAnswerAndGivesTheDefaultOnCancelOrAnAnswerThatIsNoInt) {
    NEEDS_DISPLAY();
    const struct {
        const char* name;
        Answer act;
        int value;
        bool cancelled;
    } cases[] = {{"default accepted", press("Return"), 7, false},
                 {"typed", type_over_default("12"), 12, false},
                 {"Escape", press("Escape"), 7, true},
                 {"no number", type_over_default("many"), 7, false},
                 {"too large", type_over_default("99999999999"), 7, false},
                 {"smallest", type_over_default("-2147483648"), -2147483647 - 1, false}};
    for (const auto& one : cases) {
        bool cancelled = !one.cancelled;
        int value = 0;
        const Snapshot seen = answer([&] { value = fl_show_int("how many?", 7, cancelled); }, one.act);
        EXPECT_EQ(value, one.value) << one.name;
        EXPECT_EQ(cancelled, one.cancelled) << one.name;
        EXPECT_NE(seen.find("how many?"), nullptr) << one.name;
    }
}

TEST(DoubleInputWindow, ReadsTheAnswerAndGivesTheDefaultOnCancel) {
    NEEDS_DISPLAY();
    const struct {
        const char* name;
        const char* question;
        double offered;
        Answer act;
        double expected;
    } cases[] = {{"typed", "how much?", 2.5, type_over_default("3.25"), 3.25},
                 {"Escape, asked with a String", nullptr, 2.5, press("Escape"), 2.5},
                 {"default accepted", "how much?", 2.5, press("Return"), 2.5},
                 {"default too long for a fixed buffer", "how much?", 1e300, press("Return"), 1e300}};
    for (const auto& one : cases) {
        double value = 0;
        answer([&] { value = one.question ? fl_show_double(one.question, one.offered)
                                          : fl_show_double(String("how much?"), one.offered); },
               one.act);
        EXPECT_DOUBLE_EQ(value, one.expected) << one.name;
    }
}

// ---- Long-message window --------------------------------------------------------

TEST(LongMessageWindow, ListsEachLineWithItsButtonsFromTheTopLeft) {
    NEEDS_DISPLAY();
    const Snapshot seen = answer([] { fl_show_Sbigmessages("a\nb\n", 80); }, click_on("Quit"));
    EXPECT_EQ(seen.title, "Messages");
    EXPECT_EQ(seen.w, 490);
    EXPECT_EQ(seen.h, 570);
    const Widget* list = seen.browser();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ((std::vector<int>{list->x, list->y, list->w, list->h}), (std::vector<int>{5, 10, 480, 500}));
    const Widget* quit = seen.find("Quit");
    const Widget* save = seen.find("save");
    ASSERT_TRUE(quit && save);
    EXPECT_EQ((std::vector<int>{quit->x, quit->y, quit->w, quit->h}), (std::vector<int>{250, 530, 50, 30}));
    EXPECT_EQ((std::vector<int>{save->x, save->y, save->w, save->h}), (std::vector<int>{80, 530, 50, 30}));
}

TEST(LongMessageWindow, KeepsEmptyLinesAndShowsFormatMarksLiterally) {
    NEEDS_DISPLAY();
    const Snapshot seen = answer([] { fl_show_Sbigmessages("@b bold?\n\nlast", 80); }, click_on("Quit"));
    const Widget* list = seen.browser();
    ASSERT_NE(list, nullptr);
    // "@." is the browser's own mark for "show the rest as it stands".
    EXPECT_EQ(list->lines, (std::vector<std::string>{"@.@b bold?", "", "last"}));
}

TEST(LongMessageWindow, EndsWhenClosedFromItsFrameOrByEscape) {
    NEEDS_DISPLAY();
    answer([] { fl_show_Sbigmessages("one line", 80); }, close_box());
    answer([] { fl_show_Sbigmessages("one line", 80); }, press("Escape"));
}

// Shows `text` in the long-message window, saves it as `path` through the
// chooser, lets `after` answer what follows, and quits.
void save_long_message(const String& text, const std::string& path, const Driver::Script& after) {
    drive([&] { fl_show_Sbigmessages(text, 80); },
          [&](Driver& d) {
              d.wait_window("Messages");
              d.click("save");
              d.wait_window("save message");
              // Typing into the chooser's field meets its completion; the name
              // is put in place as a whole, then taken with the chooser's own
              // button.
              d.fill_input(path);
              d.click("OK");
              after(d);
              d.wait_window("Messages");
              d.click("Quit");
          });
}

TEST(LongMessageWindow, SaveWritesTheTextUnchanged) {
    NEEDS_DISPLAY();
    char dir_template[] = "/tmp/tessan-forms-save-XXXXXX";
    const std::string dir = mkdtemp(dir_template);
    const std::string path = dir + "/saved.txt";
    const String text = "first line\n\nthird line with 100%\n";
    save_long_message(text, path, [](Driver&) {});
    EXPECT_EQ(slurp(path), text);
    std::remove(path.c_str());
    rmdir(dir.c_str());
}

TEST(LongMessageWindow, SaveThatCannotWriteSaysSoAndTheWindowStaysUp) {
    NEEDS_DISPLAY();
    const std::string path = "/nonexistent-tessan-folder/saved.txt";
    Snapshot alert;
    save_long_message("text", path, [&](Driver& d) {
        alert = d.wait_window("");
        d.key(alert, "Return");
    });
    EXPECT_NE(alert.find("cannot write the file " + path), nullptr);
}

// A copy that could not be written whole is said so and not left cut.
TEST(LongMessageWindow, SaveOnAFullDiskSaysSoAndLeavesNoCutFile) {
    NEEDS_DISPLAY();
    char dir_template[] = "/tmp/tessan-forms-full-XXXXXX";
    const std::string dir = mkdtemp(dir_template), path = dir + "/saved.txt";
    std::string why_not;
    {
        const test_files::small_tmpfs disk(dir);
        why_not = disk.why_not;
        if (disk.mounted()) {
            disk.fill();
            Snapshot alert;
            save_long_message(String(100000, 'x'), path, [&](Driver& d) { d.key(alert = d.wait_window(""), "Return"); });
            EXPECT_NE(alert.find("cannot write the file " + path), nullptr);
            EXPECT_NE(access(path.c_str(), F_OK), 0);
        }
    }
    rmdir(dir.c_str());
    if (!why_not.empty())
        GTEST_SKIP() << why_not;
}

TEST(LongMessageWindow, SaveCancelledWritesNothingAndTheWindowStaysUp) {
    NEEDS_DISPLAY();
    bool back = false;
    drive([] { fl_show_Sbigmessages("text", 80); },
          [&](Driver& d) {
              d.wait_window("Messages");
              d.click("save");
              d.key(d.wait_window("save message"), "Escape");
              back = d.wait_window("Messages").xid != 0;
              d.click("Quit");
          });
    EXPECT_TRUE(back);
}

// ---- Wait window ------------------------------------------------------------------

TEST(WaitWindow, IsDrawnBeforeTheConstructorReturns) {
    NEEDS_DISPLAY();
    OFD_wait_form wait("compiling, please wait");
    // No event is handled from here on: what the screen shows now is what the
    // constructor drew.
    Fl_Window* window = Fl::first_window();
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(window->label(), "travail en cours ...");
    EXPECT_EQ(window->w(), 600);
    EXPECT_EQ(window->h(), 60);
    ASSERT_EQ(window->children(), 2);
    Fl_Widget* text = window->child(1);
    EXPECT_STREQ(text->label(), "compiling, please wait");
    EXPECT_EQ((std::vector<int>{text->x(), text->y(), text->w(), text->h()}), (std::vector<int>{10, 10, 580, 40}));
    EXPECT_GE(window_colours(fl_xid(window)), 3) << "the wait window is not drawn";
}

TEST(WaitWindow, GoesAwayWithItsOwner) {
    NEEDS_DISPLAY();
    {
        OFD_wait_form wait("short work");
        ASSERT_NE(Fl::first_window(), nullptr);
    }
    Fl::check();
    EXPECT_EQ(Fl::first_window(), nullptr);
}

// ---- Forms built with the toolkit ---------------------------------------------------

// Forms itself counts y from the bottom of the form and flips every widget
// when the form ends; the toolkit's forms keep the coordinates they were given.
TEST(FormsText, IsPlacedFromTheTopLeftWithItsLabelLeftAligned) {
    Fl_Window* form = fl_bgn_form(FL_NO_BOX, 300, 200);
    Fl_FormsText* text = fl_add_Stext(FL_DOWN_BOX, 10, 20, 100, 30, "label text");
    tessan_forms::end_form_top_left();
    EXPECT_EQ((std::vector<int>{text->x(), text->y(), text->w(), text->h()}), (std::vector<int>{10, 20, 100, 30}));
    EXPECT_STREQ(text->label(), "label text");
    EXPECT_EQ(text->box(), FL_DOWN_BOX);
    EXPECT_EQ(text->align(), FL_ALIGN_LEFT);
    delete form;
}

// Forms' flip is the process's: the toolkit turns it off for its own forms
// only, so a caller's form is flipped alike before and after one of them.
TEST(FormsFlip, IsPutBackForTheCallersFormsOnceTheToolkitsFormIsEnded) {
    const auto button_y = [](bool toolkit) {
        Fl_Window* form = fl_bgn_form(FL_NO_BOX, 300, 300);
        Fl_Widget* button = fl_add_button(FL_NORMAL_BUTTON, 10, 270, 60, 20, "GO");
        toolkit ? tessan_forms::end_form_top_left() : fl_end_form();
        const int y = button->y();
        delete form;
        return y;
    };
    std::vector<int> ys;
    for (bool toolkit : {false, true, false, true})
        ys.push_back(button_y(toolkit));
    EXPECT_EQ(ys, (std::vector<int>{10, 270, 10, 270}));
}

// ---- Widget and browser wrappers ------------------------------------------------

TEST(ObjectLabel, IsCutToMaxlenWhenLonger) {
    Fl_Box box(0, 0, 10, 10);
    fl_set_object_Slabel(&box, "abcdef", 3);
    EXPECT_STREQ(box.label(), "abc");
    for (int maxlen : {6, 10, -1}) {
        fl_set_object_Slabel(&box, "abcdef", maxlen);
        EXPECT_STREQ(box.label(), "abcdef") << "maxlen " << maxlen;
    }
    fl_set_object_Slabel(&box, "abc", 0);
    EXPECT_STREQ(box.label(), "");
}

// A browser measures its lines with the display's fonts as they are added.
TEST(BrowserLines, AddedOnlyWhenNoLineHoldsTheSameText) {
    NEEDS_DISPLAY();
    Fl_Browser browser(0, 0, 100, 100);
    EXPECT_TRUE(fl_add_browser_Sline_if_new(&browser, "a"));
    fl_add_browser_Sline(&browser, "b");
    EXPECT_FALSE(fl_add_browser_Sline_if_new(&browser, "b"));
    EXPECT_EQ(browser.size(), 2);
    EXPECT_TRUE(fl_add_browser_Sline_if_new(&browser, "c"));
    EXPECT_TRUE(fl_add_browser_Sline_if_new(&browser, "bb"));
    EXPECT_TRUE(fl_add_browser_Sline_if_new(&browser, ""));
    ASSERT_EQ(browser.size(), 5);
    EXPECT_STREQ(browser.text(3), "c");
}

TEST(BrowserLines, ReplacedByLineNumberFromOneAndIgnoredOutsideTheList) {
    NEEDS_DISPLAY();
    Fl_Browser browser(0, 0, 100, 100);
    fl_add_browser_Sline(&browser, "one");
    fl_add_browser_Sline(&browser, "two");
    fl_replace_browser_Sline(&browser, 2, "second");
    EXPECT_STREQ(browser.text(1), "one");
    EXPECT_STREQ(browser.text(2), "second");
    fl_replace_browser_Sline(&browser, 0, "none");
    fl_replace_browser_Sline(&browser, 3, "none");
    EXPECT_EQ(browser.size(), 2);
}

TEST(InputValue, IsSetToTheWholeString) {
    Fl_Input input(0, 0, 100, 20);
    fl_set_Sinput(&input, "page 12");
    EXPECT_STREQ(input.value(), "page 12");
    fl_set_Sinput(&input, "");
    EXPECT_STREQ(input.value(), "");
}

// ---- Drawing --------------------------------------------------------------------

// Draws on a white offscreen picture and reads it back as RGB bytes.
class Picture {
public:
    static const int size = 40;

    explicit Picture(const std::function<void()>& draw) {
        Fl_Image_Surface surface(size, size);
        surface.set_current();
        fl_color(FL_WHITE);
        fl_rectf(0, 0, size, size);
        draw();
        Fl_RGB_Image* image = surface.image();  // also ends drawing on the surface
        Fl_Display_Device::display_device()->set_current();
        const unsigned char* data = reinterpret_cast<const unsigned char*>(image->data()[0]);
        pixels_.assign(data, data + size * size * image->d());
        depth_ = image->d();
        delete image;
    }

    bool is(int x, int y, Fl_Color colour) const {
        unsigned char r, g, b;
        Fl::get_color(colour, r, g, b);
        const unsigned char* p = &pixels_[static_cast<std::size_t>((y * size + x) * depth_)];
        return p[0] == r && p[1] == g && p[2] == b;
    }

    // Whether every pixel outside the box [x0, x1) x [y0, y1) is still white.
    bool untouched_outside(int x0, int y0, int x1, int y1) const {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if ((x < x0 || x >= x1 || y < y0 || y >= y1) && !is(x, y, FL_WHITE))
                    return false;
        return true;
    }

private:
    std::vector<unsigned char> pixels_;
    int depth_ = 3;
};

// Each colour argument comes as an index or as a colour, by value or by
// reference; all draw alike.
TEST(Drawing, ShapesAreDrawnInTheirColoursInsideTheirBoxOnly) {
    NEEDS_DISPLAY();
    struct Ink {
        int x, y;
        Fl_Color colour;
    };
    const struct {
        const char* name;
        void (*draw)();
        std::vector<Ink> inks;
        int x0, y0, x1, y1;  // the box
    } cases[] = {
        // A disc fills the square from its top-left corner.
        {"disc", [] { fl_circf(10, 20, 8, FL_RED); }, {{14, 24, FL_RED}}, 10, 20, 18, 28},
        {"disc by index", [] { fl_circf(10, 20, 8, 1); }, {{14, 24, FL_RED}}, 10, 20, 18, 28},  // 1 is FL_RED
        {"ellipse", [] { fl_ovalf(5, 10, 20, 10, FL_BLUE); }, {{15, 15, FL_BLUE}}, 5, 10, 25, 20},
        {"ellipse by index", [] { fl_ovalf(5, 10, 20, 10, static_cast<int>(FL_BLUE)); }, {{15, 15, FL_BLUE}}, 5, 10,
         25, 20},
        // A bound rectangle is filled and outlined in black.
        {"bound rectangle", [] { fl_rectbound(5, 5, 10, 8, static_cast<int>(FL_GREEN)); },
         {{5, 5, FL_BLACK}, {14, 12, FL_BLACK}, {10, 9, FL_GREEN}}, 5, 5, 15, 13},
        {"bound rectangle by reference",
         [] {
             int x = 5, y = 5, w = 10, h = 8;
             Fl_Color colour = FL_GREEN;
             fl_rectbound(x, y, w, h, colour);
         },
         {{5, 5, FL_BLACK}, {14, 12, FL_BLACK}, {10, 9, FL_GREEN}}, 5, 5, 15, 13},
        // A line joins its ends.
        {"line", [] { fl_line(2, 30, 30, 30, FL_RED); }, {{2, 30, FL_RED}, {16, 30, FL_RED}}, 2, 30, 31, 31}};
    for (const auto& one : cases) {
        const Picture picture(one.draw);
        for (const Ink& ink : one.inks)
            EXPECT_TRUE(picture.is(ink.x, ink.y, ink.colour)) << one.name << " at " << ink.x << "," << ink.y;
        EXPECT_TRUE(picture.untouched_outside(one.x0, one.y0, one.x1, one.y1)) << one.name;
    }
}

TEST(Drawing, StringIsDrawnInsideItsBoxInItsColour) {
    NEEDS_DISPLAY();
    const Picture picture([] { fl_drw_String(FL_ALIGN_CENTER, 0, 0, 40, 40, FL_BLACK, 14, FL_HELVETICA, "Wy"); });
    bool ink = false;
    for (int y = 0; y < Picture::size && !ink; ++y)
        for (int x = 0; x < Picture::size && !ink; ++x)
            ink = !picture.is(x, y, FL_WHITE);
    EXPECT_TRUE(ink);
}

// ---- Point on a segment -----------------------------------------------------------

TEST(PointOnSegment, HorizontalSegmentUsesAStrictToleranceAndItsRange) {
    EXPECT_TRUE(point_dans_segment(5, 0.5, 0, 0, 10, 0, 1));
    EXPECT_FALSE(point_dans_segment(5, 1, 0, 0, 10, 0, 1));
    EXPECT_FALSE(point_dans_segment(11, 0, 0, 0, 10, 0, 5));
    EXPECT_TRUE(point_dans_segment(10, 0, 0, 0, 10, 0, 0.5));
    EXPECT_TRUE(point_dans_segment(3, 0, 10, 0, 0, 0, 0.5));
}

TEST(PointOnSegment, VerticalSegmentUsesItsRangeInEitherDirection) {
    EXPECT_TRUE(point_dans_segment(0.5, 5, 0, 10, 0, 0, 1));
    EXPECT_FALSE(point_dans_segment(1, 5, 0, 0, 0, 10, 1));
    EXPECT_FALSE(point_dans_segment(0, -1, 0, 0, 0, 10, 5));
    EXPECT_TRUE(point_dans_segment(0, 0, 0, 0, 0, 0, 0.1));
}

TEST(PointOnSegment, SlantedSegmentIsCutByItsBoundingBox) {
    EXPECT_TRUE(point_dans_segment(5, 5, 0, 0, 10, 10, 0.1));
    EXPECT_TRUE(point_dans_segment(5, 5.1, 0, 0, 10, 10, 0.1));
    EXPECT_FALSE(point_dans_segment(5, 5.2, 0, 0, 10, 10, 0.1));
    EXPECT_FALSE(point_dans_segment(5, 1.2, 0, 0, 10, 1, 5));
    EXPECT_FALSE(point_dans_segment(-0.01, 0, 0, 0, 10, 10, 1));
}

// ---- Without a display --------------------------------------------------------------

TEST(Headless, NoDisplayIsFoundWhenNoneIsNamedOrReachable) {
    EXPECT_EQ(run_child("probe").out, "0");
    // A named display that does not answer is no display either, and FLTK
    // never gets to end the process over it.
    const ChildRun unreachable = run_child("probe", ":4095");
    EXPECT_EQ(unreachable.out, "0");
    EXPECT_EQ(unreachable.status, 0);
}

// A server that answers only a moment after the program first asks (one
// starting, or resetting as its last client left) is still found. The
// server is one of our own, on a display number that nobody else uses.
TEST(Headless, ADisplayThatAnswersAMomentLateIsFound) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no Xvfb";
    const auto taken = [](int n) {
        const std::string x = std::to_string(n);
        return access(("/tmp/.X11-unix/X" + x).c_str(), F_OK) == 0 || access(("/tmp/.X" + x + "-lock").c_str(), F_OK) == 0;
    };
    int number = 500 + getpid() % 400;
    while (taken(number))
        ++number;
    const TempFile pid;
    const std::string late = "(sleep 0.5; exec Xvfb :" + std::to_string(number) +
                             " -screen 0 64x64x24 -nolisten tcp >/dev/null 2>&1) & echo $! >" + pid.path;
    ASSERT_EQ(std::system(late.c_str()), 0);
    const ChildRun run = run_child("probe", ":" + std::to_string(number));
    const int server = std::atoi(slurp(pid.path).c_str());
    if (server > 0)
        kill(server, SIGTERM);
    EXPECT_EQ(run.out, "1");
}

// Messages go out as they stand; the wait window writes nothing and the
// work goes on.
TEST(Headless, InformingCallsWriteToStandardErrorAndReturn) {
    const struct {
        const char* call;
        const char* err;
        bool whole;  // else err only has to be part of it
    } cases[] = {{"message", "50% done %s\n", true},
                 {"alert", "careful: 100%d\n", true},
                 {"bigmessages", "line one\nline two\n", true},
                 {"credit", "0.0.3", false},
                 {"three_lines", "FILE NOT FOUND!\n", true},  // only its non-empty lines
                 {"wait_form", "", true}};
    for (const auto& one : cases) {
        const ChildRun run = run_child(one.call);
        EXPECT_EQ(run.out, "returned") << one.call;
        EXPECT_EQ(run.status, 0) << one.call;
        if (one.whole)
            EXPECT_EQ(run.err, one.err) << one.call;
        else
            EXPECT_NE(run.err.find(one.err), std::string::npos) << one.call << ": " << run.err;
    }
}

TEST(Headless, QuestionsAndInputsAnswerAsIfCancelled) {
    EXPECT_EQ(run_child("question").out, "0");
    EXPECT_EQ(run_child("input").out, "[]");
    EXPECT_EQ(run_child("int").out, "7 1");
    EXPECT_EQ(run_child("double").out, "2.5");
    EXPECT_EQ(run_child("selector").out, "[]");
}

}  // namespace
