// The Forms toolkit on a real X server: dialogs answered by keys, clicks and
// the close box; its own windows (long message, wait, report viewer) compared
// whole with their expected layout and driven through their buttons; drawings
// read back pixel by pixel; the wrappers, the point-on-segment test, and every
// call in a copy of this program that has no display.
// Window tests need DISPLAY (the test command starts a private Xvfb) and skip
// without it. Keys go through xdotool to the window itself, never through the
// shared focus; clicks and the close box are real X events sent to it.
// GoogleTest before Xlib, whose macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include "sheet_support.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/Fl_Input_.H>
#include <FL/forms.H>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstddef>
#include <fstream>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <tuple>

namespace {

using test_files::slurp;

const char* const asked = "answer? 100%s";

using sheet_support::patience_seconds;
const std::string guarded = "timeout " + std::to_string(patience_seconds) + " ";

const std::map<std::string, std::function<void()>> informing = {
    {"message", [] { fl_show_Smessages("50% done %s %d %n"); }},
    {"alert", [] { fl_show_Salert("careful: 100%d %n"); }},
    {"long", [] { fl_show_Sbigmessages("line one\nline two\n", 80); }},
    {"credit", [] { fl_show_ms(); }},
    {"three_lines", [] { fl_show_Smessage("", "FILE NOT FOUND!", ""); }},
    {"wait", [] { OFD_wait_form wait("working"); }},
    {"viewer", [] {
         std::vector<String> lines{"#C 5 ", "a"};
         Fl_Window parent(50, 50);
         OFD_afficheur(&parent, 1).activation(lines.data(), 2, "title", "");
         std::cerr << (parent.active() ? "" : "the parent is left inactive\n");
     }}};

// One call by its test name, and its answer as text. Asking calls are
// "<kind>:<offered>": q question, s text, i int, d double, D double by String.
std::string call(const std::string& name) {
    const auto inform = informing.find(name);
    if (inform != informing.end()) {
        inform->second();
        return "returned";
    }
    std::ostringstream out;
    const char* offered = name.c_str() + std::min<std::size_t>(name.size(), 2);
    bool cancelled = false;
    if (name == "probe")
        out << fl_display_available();
    else if (name == "selector")
        out << fl_show_Sfile_selector("file selection", "", "*.gal", "");
    else if (name[0] == 'q')
        out << fl_show_Squestion(asked, std::atoi(offered));
    else if (name[0] == 's')
        out << fl_show_Sinput(asked, offered);
    else if (name[0] == 'i')
        out << fl_show_int(asked, std::atoi(offered), cancelled) << (cancelled ? " cancelled" : "");
    else if (name[0] == 'd')
        out << fl_show_double(asked, std::atof(offered));
    else
        out << fl_show_double(String(asked), std::atof(offered));
    return out.str();
}

[[maybe_unused]] const bool headless_child_ran = sheet_support::run_headless_call_if_asked(call);

// What a copy of this program printed for one call, its standard error first,
// without a display or with `display`.
std::string run_child(const std::string& name, const std::string& display = "") {
    const std::string env = display.empty() ? "env -u DISPLAY" : "env DISPLAY=" + display;
    const std::string self = "/proc/" + std::to_string(getpid()) + "/exe 2>&1";
    int status = -1;
    const std::string out =
        sheet_support::output_of(env + " TESSAN_SHEET_HEADLESS_CALL=" + name + " " + guarded + self, &status);
    return status == 0 ? out : "failed: " + out;
}

// ---- Driving the windows ----------------------------------------------------

// A window's widgets, depth first, one a line: position, size and label; an
// input's value and a browser's lines follow.
std::string layout(Fl_Group* group) {
    std::ostringstream out;
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* child = group->child(i);
        out << child->x() << " " << child->y() << " " << child->w() << " " << child->h() << " ["
            << (child->label() ? child->label() : "") << "]\n";
        if (Fl_Input_* input = dynamic_cast<Fl_Input_*>(child))
            out << "  = " << input->value() << "\n";
        if (Fl_Browser* list = dynamic_cast<Fl_Browser*>(child))
            for (int line = 1; line <= list->size(); ++line)
                out << "  " << list->text(line) << "\n";
        else if (Fl_Group* inner = child->as_group())
            out << layout(inner);
    }
    return out.str();
}

std::string describe(Fl_Window* window) {
    return "[" + std::string(window->label() ? window->label() : "") + "] " + std::to_string(window->w()) + "x" +
           std::to_string(window->h()) + "\n" + layout(window);
}

Fl_Widget* find(Fl_Group* group, const std::function<bool(Fl_Widget*)>& wanted) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* found = wanted(group->child(i)) ? group->child(i) : nullptr;
        if (!found && group->child(i)->as_group())
            found = find(group->child(i)->as_group(), wanted);
        if (found)
            return found;
    }
    return nullptr;
}

using Step = std::function<bool()>;

// Asks for the tick again only once it is over: a step that runs a loop of its
// own is not run a second time from inside it.
void repeat(void* tick) {
    (*static_cast<std::function<void()>*>(tick))();
    Fl::repeat_timeout(0.01, repeat, tick);
}

// Runs `dialog` while `steps` run one after another from an FLTK timeout, that
// is inside whatever loop it waits in; a step says whether it is done. Past the
// deadline every window is hidden, so a broken dialog fails instead of hanging.
void drive(const std::function<void()>& dialog, const std::vector<Step>& steps) {
    std::size_t next = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(patience_seconds);
    std::function<void()> tick = [&] {
        if (std::chrono::steady_clock::now() > deadline)
            while (Fl_Window* window = Fl::first_window())
                window->hide();
        while (next < steps.size() && steps[next]())
            ++next;
    };
    Fl::add_timeout(0.01, repeat, &tick);
    dialog();
    Fl::remove_timeout(repeat, &tick);
    EXPECT_EQ(next, steps.size()) << "the step that did not come to pass";
    EXPECT_TRUE(std::chrono::steady_clock::now() <= deadline) << "the window had to be closed";
}

// What the windows showed at the steps that looked at them.
std::vector<std::string> seen;

// An act on a window, as text: "look" notes what it shows; "key <keys>";
// "type <text>" types over the offered answer and takes it; "click <label>";
// "close" uses the close box; "fill <text>" puts the text whole into the
// input field; "go <text>" fills it and presses the button after it.
void act(Fl_Window* window, const std::string& command) {
    const std::string verb = command.substr(0, command.find(' '));
    const std::string text = command.substr(std::min(command.size(), verb.size() + 1));
    const std::string to = " --window " + std::to_string(fl_xid(window)) + " ";
    const std::string typed = "ctrl+a type" + to + "-- '" + text + "'; " + guarded + "xdotool key" + to + "Return";
    Fl_Widget* field = find(window, [](Fl_Widget* w) { return dynamic_cast<Fl_Input_*>(w); });
    Fl_Widget* button = find(window, [&](Fl_Widget* w) { return w->label() && text == w->label(); });
    if (verb == "look")
        seen.push_back(describe(window));
    else if (verb == "key" || verb == "type")
        (void)std::system((guarded + "xdotool key" + to + (verb == "key" ? text : typed)).c_str());
    else if (verb == "close")
        sheet_support::send_close_box(window);
    else if (verb == "click" && button)
        sheet_support::send_click(button);
    else if (field && verb != "click") {
        static_cast<Fl_Input_*>(field)->value(text.c_str());
        field->do_callback();  // its owner may watch it: a chooser enables its OK button
        if (verb == "go")
            sheet_support::send_click(window->child(window->find(field) + 1));
    }
}

// Once the top window is drawn and what it shows holds `wanted`, acts on it.
Step on(const std::string& wanted, const std::string& command) {
    return [=] {
        Fl_Window* window = Fl::modal() ? Fl::modal() : Fl::first_window();
        if (!window || !window->shown() || !Fl_X::i(window) || Fl_X::i(window)->wait_for_expose ||
            describe(window).find(wanted) == std::string::npos)
            return false;
        act(window, command);
        return true;
    };
}

// ---- Dialogs and windows ----------------------------------------------------

// Each call answered on the screen, and without a display, where messages go
// to standard error as they stand and questions answer as if cancelled.
TEST(Dialogs, ShowTheirTextLiterallyAndGiveTheAnswerOrTheDefaultWhenCancelled) {
    const struct {
        const char* call;
        const char* shown;
        const char* act;
        const char* answer;
        const char* headless;
    } rows[] = {{"message", "[50% done %s %d %n]", "key Return", "returned", "50% done %s %d %n\nreturned"},
                {"alert", "[careful: 100%d %n]", "close", "returned", "careful: 100%d %n\nreturned"},
                {"credit", "[tessan 0.0.3\n", "key Return", "returned",
                 "tessan 0.0.3\n\ncompiler of synchronous state charts\ninto Esterel v5 modules\nreturned"},
                {"three_lines", "FILE NOT FOUND!", "key Return", "returned", "FILE NOT FOUND!\nreturned"},
                {"long", "  line two\n", "click Quit", "returned", "line one\nline two\nreturned"},
                {"selector", "[file selection]", "key Escape", "", ""},
                // The question's second argument changes nothing.
                {"q:0", asked, "click Yes", "1", "0"},
                {"q:5", asked, "click No", "0", "0"},
                {"q:0", asked, "close", "0", "0"},
                {"s:", asked, "type hello", "hello", ""},
                {"s:abc", asked, "key Return", "abc", ""},
                {"s:abc", asked, "key Escape", "", ""},
                // An answer that is no number or does not fit keeps the default.
                {"i:7", asked, "key Return", "7", "7 cancelled"},
                {"i:7", asked, "type 12", "12", "7 cancelled"},
                {"i:7", asked, "key Escape", "7 cancelled", "7 cancelled"},
                {"i:7", asked, "type many", "7", "7 cancelled"},
                {"i:7", asked, "type 99999999999", "7", "7 cancelled"},
                {"i:7", asked, "type -2147483649", "7", "7 cancelled"},
                {"i:7", asked, "type -2147483648", "-2147483648", "7 cancelled"},
                {"d:2.5", asked, "type 3.25", "3.25", "2.5"},
                {"d:2.5", asked, "type much", "2.5", "2.5"},
                {"d:1e300", asked, "key Return", "1e+300", "1e+300"},
                {"D:2.5", asked, "key Escape", "2.5", "2.5"}};
    const bool screen =
        sheet_support::display_named() && fl_display_available() && sheet_support::no_keys().empty();
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.call) + " " + row.act);
        EXPECT_EQ(run_child(row.call), row.headless);
        std::string answer = "none";
        if (screen) {
            drive([&] { answer = call(row.call); }, {on(row.shown, row.act)});
            EXPECT_EQ(answer, row.answer);
        }
    }
    if (!screen)
        GTEST_SKIP() << "the rows on the screen need DISPLAY and xdotool";
}

TEST(LongMessageWindow, ListsEveryLineLiterallyAndEndsByQuitEscapeOrTheCloseBox) {
    NEEDS_DISPLAY();
    if (!sheet_support::no_keys().empty())
        GTEST_SKIP() << sheet_support::no_keys();
    for (const char* end : {"click Quit", "key Escape", "close"}) {
        seen.clear();
        drive([] { fl_show_Sbigmessages("@b bold?\n\nlast\n", 80); },
              {on("[Messages]", "look"), on("[Messages]", end)});
        test_files::expect_fixture("dialogs/long_message.txt", seen.at(0));
    }
}

// Saves `text` as `path` through the chooser (cancelled for no path), answers
// the alert that a failure brings, and quits: the window stays up meanwhile.
void save_long_message(const String& text, const std::string& path, bool fails) {
    std::vector<Step> steps{on("[Messages]", "click save"),
                            on("[save message]", path.empty() ? "key Escape" : "look")};
    if (!path.empty())
        steps.insert(steps.end(), {on("[save message]", "fill " + path), on("[save message]", "click OK")});
    if (fails)
        steps.push_back(on("[cannot write the file " + path + ": ", "key Return"));
    steps.push_back(on("[Messages]", "click Quit"));
    drive([&] { fl_show_Sbigmessages(text, 80); }, steps);
}

// A copy that could not be written whole is said so, and the file that was
// there is kept whole. Saved over a second name of the user's file, the copy
// leaves that file as it was.
TEST(LongMessageWindow, SavesTheTextUnchangedOrSaysWhyNotAndStaysUp) {
    NEEDS_DISPLAY();
    if (!sheet_support::no_keys().empty())
        GTEST_SKIP() << sheet_support::no_keys();
    char dir_template[] = "/tmp/tessan-forms-save-XXXXXX";
    const std::string dir = mkdtemp(dir_template), path = dir + "/saved.txt", mine = dir + "/mine.txt";
    const String text = "first line\n\nthird line with 100%\n";
    test_files::spill(mine, "mine\n");
    ASSERT_EQ(link(mine.c_str(), path.c_str()), 0);
    save_long_message(text, path, false);
    EXPECT_EQ(slurp(path), text);
    EXPECT_EQ(slurp(mine), "mine\n");
    std::remove(path.c_str());
    std::remove(mine.c_str());
    save_long_message(text, "", false);
    save_long_message(text, "/nonexistent-tessan-folder/saved.txt", true);
    String no_disk;
    {
        const test_files::small_tmpfs disk(dir);  // needs root
        no_disk = disk.why_not;
        if (disk.mounted()) {
            test_files::spill(path, "old\n");
            disk.fill();
            save_long_message(String(100000, 'x'), path, true);
            EXPECT_EQ(slurp(path), "old\n");
        }
    }
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    rmdir(dir.c_str());
    if (!no_disk.empty())
        GTEST_SKIP() << "the full disk row: " << no_disk;
}

// No event is handled between the constructor and the picture: the screen shows
// what the constructor drew. The constructor waits 5 seconds at most for the
// server to show the window; a server that took longer (a machine loaded past
// reason) leaves nothing to judge. A stuck import would hold the server: time
// limit.
TEST(WaitWindow, IsDrawnBeforeTheConstructorReturnsAndGoesWithItsOwner) {
    NEEDS_DISPLAY();
    {
        const auto start = std::chrono::steady_clock::now();
        OFD_wait_form wait("compiling, please wait");
        const auto took = std::chrono::steady_clock::now() - start;
        Fl_Window* window = Fl::first_window();
        ASSERT_NE(window, nullptr);
        test_files::expect_fixture("dialogs/wait_window.txt", describe(window));
        const Fl_X* shown = Fl_X::i(window);
        if ((!shown || shown->wait_for_expose) && took >= std::chrono::seconds(5))
            GTEST_SKIP() << "the server showed the wait window only after its constructor had given up";
        const std::string colours = sheet_support::output_of(guarded + "import -silent -window " +
                                                             std::to_string(fl_xid(window)) +
                                                             " png:- 2>/dev/null | identify -format %k -");
        EXPECT_GE(std::atoi(colours.c_str()), 3) << "the wait window is not drawn";
    }
    Fl::check();
    EXPECT_EQ(Fl::first_window(), nullptr);
}

// ---- Forms, wrappers and drawing --------------------------------------------

// Forms counts y from the bottom and flips every widget when a form ends. The
// flip is the process's: the toolkit turns it off for its own forms only, so a
// caller's form is flipped alike before and after one of them.
TEST(Forms, TheToolkitsArePlacedFromTheTopLeftAndTheCallersFlippedAsBefore) {
    std::vector<std::string> placed;
    for (bool toolkit : {false, true, false}) {
        Fl_Window* form = fl_bgn_form(FL_NO_BOX, 300, 300);
        fl_add_button(FL_NORMAL_BUTTON, 10, 270, 60, 20, "GO");
        const Fl_Widget* text = fl_add_Stext(FL_DOWN_BOX, 10, 20, 100, 30, "label text");
        toolkit ? tessan_forms::end_form_top_left() : fl_end_form();
        placed.push_back(layout(form) + std::to_string(text->box()) + " " + std::to_string(text->align()));
        delete form;
    }
    const std::string shown =
        " [label text]\n" + std::to_string(FL_DOWN_BOX) + " " + std::to_string(FL_ALIGN_LEFT);
    const std::string flipped = "10 10 60 20 [GO]\n10 250 100 30" + shown;
    EXPECT_EQ(placed, (std::vector<std::string>{flipped, "10 270 60 20 [GO]\n10 20 100 30" + shown, flipped}));
}

TEST(ObjectLabel, IsCutToMaxlenWhenLonger) {
    Fl_Box box(0, 0, 10, 10);
    for (const auto& [maxlen, label] :
         std::vector<std::pair<int, std::string>>{{3, "abc"}, {6, "abcdef"}, {-1, "abcdef"}, {0, ""}}) {
        fl_set_object_Slabel(&box, "abcdef", maxlen);
        EXPECT_EQ(box.label(), label) << "maxlen " << maxlen;
    }
}

// A browser measures its lines with the display's fonts as they are added.
TEST(BrowserLines, AreAddedOnlyWhenNewAndReplacedByTheirNumberFromOne) {
    NEEDS_DISPLAY();
    Fl_Window window(100, 100);
    Fl_Browser* browser = new Fl_Browser(0, 0, 100, 100);
    fl_add_browser_Sline(browser, "b");
    std::string added;
    for (const char* line : {"a", "b", "c", "bb", "", "a"})
        added += fl_add_browser_Sline_if_new(browser, line) ? "1" : "0";
    fl_replace_browser_Sline(browser, 2, "second");
    EXPECT_EQ(added, "101110");
    EXPECT_EQ(layout(&window), "0 0 100 100 []\n  b\n  second\n  c\n  bb\n  \n");
}

// Draws on a white offscreen picture and gives it back a character a pixel:
// '.' white, K black, R red, G green, B blue, '+' any other colour.
std::string picture(int w, int h, void (*draw)()) {
    Fl_Image_Surface surface(w, h);
    surface.set_current();
    fl_color(FL_WHITE);
    fl_rectf(0, 0, w, h);
    draw();
    Fl_RGB_Image* image = surface.image();  // also ends drawing on the surface
    Fl_Display_Device::display_device()->set_current();
    const unsigned char* data = reinterpret_cast<const unsigned char*>(image->data()[0]);
    const std::map<unsigned, char> ink{{0xffffff, '.'}, {0, 'K'}, {0xff0000, 'R'}, {0xff00, 'G'}, {0xff, 'B'}};
    std::string text;
    for (int i = 0; i < w * h; ++i) {
        const unsigned char* p = data + i * image->d();
        const auto name = ink.find(static_cast<unsigned>(p[0] << 16 | p[1] << 8 | p[2]));
        text += name == ink.end() ? '+' : name->second;
        text += i % w == w - 1 ? "\n" : "";
    }
    delete image;
    return text;
}

// Colours come as indexes or colours, by value or by reference (a cast picks a
// line's). A disc fills the square from its corner; a bound box has a black rim.
TEST(Drawing, ShapesAreDrawnInTheirColoursWithinTheirBoxes) {
    NEEDS_DISPLAY();
    const auto draw = [] {
        fl_circf(1, 1, 8, FL_RED);
        fl_circf(11, 1, 8, static_cast<int>(FL_BLUE));
        fl_ovalf(21, 1, 12, 6, FL_GREEN);
        fl_ovalf(21, 9, 12, 6, static_cast<int>(FL_RED));
        fl_rectbound(35, 1, 10, 8, static_cast<int>(FL_GREEN));
        int x = 47, y = 1, w = 10, h = 8;
        Fl_Color colour = FL_BLUE;
        fl_rectbound(x, y, w, h, colour);
        fl_line(1, 20, 30, 20, FL_RED);
        static_cast<void (*)(int, int, int, int, Fl_Color&)>(fl_line)(35, 22, 58, 16, colour);
    };
    test_files::expect_fixture("dialogs/shapes.txt", picture(60, 24, draw));
}

// Where a stroke covers a pixel whole, it has the text's colour; no pixel
// outside the box, here the rows above and below it, is touched.
TEST(Drawing, TextIsDrawnInItsColourInsideItsBox) {
    NEEDS_DISPLAY();
    const std::string text =
        picture(40, 40, [] { fl_drw_String(FL_ALIGN_CENTER, 0, 10, 40, 20, FL_RED, 14, FL_HELVETICA, "Wy"); });
    EXPECT_GE(text.find_first_not_of(".\n"), 10u * 41) << text;
    EXPECT_LT(text.find_last_not_of(".\n"), 30u * 41) << text;
    EXPECT_NE(text.find('R'), std::string::npos) << text;
}

// Ranges are inclusive, the tolerance strict; a slanted segment's band is cut
// by its bounding box.
TEST(PointOnSegment, LiesWithinTheToleranceAndTheSegmentsRange) {
    const struct {
        double px, py, x1, y1, x2, y2, tol;
        bool on;
    } rows[] = {{5, 0.5, 0, 0, 10, 0, 1, true},    {5, 1, 0, 0, 10, 0, 1, false},
                {11, 0, 0, 0, 10, 0, 5, false},    {10, 0, 0, 0, 10, 0, 0.5, true},
                {3, 0, 10, 0, 0, 0, 0.5, true},    {0.5, 5, 0, 10, 0, 0, 1, true},
                {1, 5, 0, 0, 0, 10, 1, false},     {0, -1, 0, 0, 0, 10, 5, false},
                {0, 0, 0, 0, 0, 0, 0.1, true},     {5, 5, 0, 0, 10, 10, 0.1, true},
                {5, 5.1, 0, 0, 10, 10, 0.1, true}, {5, 5.2, 0, 0, 10, 10, 0.1, false},
                {5, 1.2, 0, 0, 10, 1, 5, false},   {-0.01, 0, 0, 0, 10, 10, 1, false},
                {0, 4, 0, 0, 3, 4, 2.4, false}};
    for (const auto& r : rows)
        EXPECT_EQ(point_dans_segment(r.px, r.py, r.x1, r.y1, r.x2, r.y2, r.tol), r.on) << "row " << &r - rows;
}

// The abstract socket by which an X client on Linux reaches display `number`
// first, before the socket file.
sockaddr_un x_socket(const std::string& number, socklen_t* length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = "/tmp/.X11-unix/X" + number;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return address;
}

int connected_to(const std::string& number) {
    socklen_t length = 0;
    const sockaddr_un address = x_socket(number, &length);
    const int end = socket(AF_UNIX, SOCK_STREAM, 0);
    if (end >= 0 && connect(end, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        close(end);
        return -1;
    }
    return end;
}

// An X server of the test's own, without authorization, on a number it picks
// itself; running once it has said the number.
class Own_server {
public:
    Own_server() {
        int said[2];
        if (pipe(said) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(said[1], 3);
            const int nowhere = open("/dev/null", O_WRONLY);
            dup2(nowhere, 1);
            dup2(nowhere, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "64x64x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(said[1]);
        char c;
        while (pid_ > 0 && read(said[0], &c, 1) == 1 && c != '\n')
            number_ += c;
        close(said[0]);
    }
    ~Own_server() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& number() const { return number_; }

private:
    pid_t pid_ = -1;
    std::string number_;
};

// A display that hangs up on its first client, as a server that is starting
// or resetting refuses it, and then answers every later one through `server`.
// Its number is one that no server holds.
class Late_display {
public:
    explicit Late_display(const std::string& server) {
        for (int n = 1000; n < 1100 && number_.empty(); ++n) {
            socklen_t length = 0;
            const sockaddr_un address = x_socket(std::to_string(n), &length);
            listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
            if (bind(listener_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
                listen(listener_, 8) == 0)
                number_ = std::to_string(n);
            else
                close(listener_);
        }
        if (!number_.empty())
            answering_ = std::thread([this, server] { answer(server); });
    }
    ~Late_display() { stop(); }

    // Ends the answering: a connection from this process is the sign.
    void stop() {
        if (!answering_.joinable())
            return;
        const int sign = connected_to(number_);
        answering_.join();
        close(sign);
        close(listener_);
    }
    const std::string& number() const { return number_; }
    // Whether a client was hung up on, and when.
    bool hung_up() const { return hung_up_; }
    std::chrono::steady_clock::time_point hung_up_at() const { return hung_up_at_; }

private:
    void answer(const std::string& server) {
        for (;;) {
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0)
                return;
            ucred peer{};
            socklen_t size = sizeof peer;
            getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &size);
            if (peer.pid == getpid()) {
                close(client);
                return;
            }
            if (!hung_up_) {
                close(client);
                hung_up_at_ = std::chrono::steady_clock::now();
                hung_up_ = true;
            } else {
                relay(client, connected_to(server));
            }
        }
    }

    // Passes the bytes each way until one side ends.
    static void relay(int client, int server) {
        pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        char buffer[4096];
        bool open = server >= 0;
        while (open && poll(ends, 2, -1) > 0)
            for (int i = 0; i < 2 && open; ++i) {
                if (!ends[i].revents)
                    continue;
                const ssize_t got = read(ends[i].fd, buffer, sizeof buffer);
                open = got > 0;
                for (ssize_t sent = 0; open && sent < got;) {
                    const ssize_t part = send(ends[1 - i].fd, buffer + sent, got - sent, MSG_NOSIGNAL);
                    open = part > 0;
                    sent += open ? part : 0;
                }
            }
        close(client);
        if (server >= 0)
            close(server);
    }

    int listener_ = -1;
    std::string number_;
    std::thread answering_;
    bool hung_up_ = false;
    std::chrono::steady_clock::time_point hung_up_at_;
};

// A named display that does not answer is none, and FLTK never ends the process
// over it; one that answers a moment late (starting, or resetting as its last
// client left) is found: a display that hangs up on the copy's first try and
// answers the next. The toolkit asks again for 2 seconds: only a test that
// hung up later than that, on a machine loaded past reason, leaves nothing to
// judge.
TEST(Headless, ADisplayIsOneThatAnswersIfOnlyAMomentLate) {
    EXPECT_EQ(run_child("probe"), "0");
    EXPECT_EQ(run_child("probe", ":4095"), "0");
    EXPECT_EQ(run_child("wait"), "returned");
    EXPECT_EQ(run_child("viewer"), "returned");
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no Xvfb";
    const Own_server server;
    ASSERT_FALSE(server.number().empty()) << "Xvfb did not start";
    Late_display late(server.number());
    ASSERT_FALSE(late.number().empty()) << "no free display number";
    const auto asked = std::chrono::steady_clock::now();
    const std::string found = run_child("probe", ":" + late.number());
    late.stop();
    ASSERT_TRUE(late.hung_up()) << "the copy never tried the display";
    if (found != "1" && late.hung_up_at() - asked >= std::chrono::seconds(2))
        GTEST_SKIP() << "the test hung up on the copy only after the toolkit had stopped asking";
    EXPECT_EQ(found, "1");
}

// ---- Report viewer ----------------------------------------------------------

// A report of a column line and n text lines "line 1" ... "line n".
std::vector<String> report(int n) {
    std::vector<String> lines{"#C 10 "};
    for (int i = 1; i <= n; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

const char* const viewer = "[] 920x700";

// Each test in a fresh working directory, for the exports are "tmp.*" there; its
// PDF viewer program keeps a copy of the file it shows and notes its arguments.
class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(getcwd(previous_, sizeof previous_));
        ASSERT_EQ(chdir(mkdtemp(dir_)), 0);
        std::ofstream("my \"$HOME\" viewer") << "#!/bin/sh\ncp \"$1\" seen.pdf\necho \"$#:$1\" > seen.args\n";
        chmod("my \"$HOME\" viewer", 0755);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(previous_), 0);
        std::system(("rm -rf '" + std::string(dir_) + "'").c_str());
    }
    std::string program() const { return dir_ + std::string("/my \"$HOME\" viewer"); }

    Fl_Window parent{60, 60};
    char dir_[32] = "/tmp/tessan-viewer-XXXXXX";
    char previous_[PATH_MAX] = {};
};

// Each change that must do nothing is followed by one that must: the viewer
// keeps their order, so the second one's result shows the first's. Cut to 81
// characters, the title is still wider than its box: nothing of it is drawn
// beside the box.
TEST_F(Viewer, ShowsThePagesOfItsReportAndGoesOnlyToPagesWithinIt) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(78);
    std::list<String> listed(lines.begin(), lines.end());
    OFD_afficheur shown(&parent, 1);
    bool parent_active = true;
    int colours = 0, beside_title = 0;
    const Step pixels = [&] {
        const sheet_support::Screen_picture shot(Fl::modal());
        parent_active = parent.active();
        colours = shot.colours(0, 0, 920, 700);
        beside_title = shot.colours(200, 20, 280, 40) + shot.colours(590, 20, 900, 40);
        return true;
    };
    seen.clear();
    drive([&] { shown.activation(listed, String(81, 't') + String(19, 'u'), ""); },
          {on("[page 1 / 2    ]", "look"), pixels, on(viewer, "click next page"), on("[page 2 / 2    ]", "look"),
           on(viewer, "click next page"), on(viewer, "go 3"), on(viewer, "go 0"), on(viewer, "go x"),
           on(viewer, "click previous page"), on("[page 1 / 2    ]", "look"),
           on(viewer, "click previous page"), on(viewer, "go 2"), on("[page 2 / 2    ]", "look"),
           on(viewer, "go 1"), on("[page 1 / 2    ]", "look"), on(viewer, "click CANCEL")});
    EXPECT_EQ(seen.size(), 5u);
    for (std::size_t i = 0; i < seen.size(); ++i)
        test_files::expect_fixture(i % 2 ? "dialogs/viewer_last_page.txt" : "dialogs/viewer_first_page.txt",
                                   seen[i]);
    EXPECT_FALSE(parent_active);
    EXPECT_GE(colours, 3) << "the viewer looks blank";
    EXPECT_EQ(beside_title, 2);
    EXPECT_TRUE(parent.active());
    EXPECT_EQ(Fl::first_window(), nullptr);
}

TEST_F(Viewer, EndsByItsFrameLikeCancelAndShowsAgain) {
    NEEDS_DISPLAY();
    std::vector<String> first = report(200), second = report(5);
    OFD_afficheur shown(&parent, 0);
    drive([&] { shown.activation(first.data(), 201, "first", ""); },
          {on(viewer, "click page suivante"), on("[page 2 / 3    ]", "close")});
    EXPECT_TRUE(parent.active());
    EXPECT_EQ(Fl::first_window(), nullptr);
    drive([&] { shown.activation(second.data(), 6, "second", ""); }, {on("[page 1 / 1    ]", "click ANNULER")});
}

// Outside an activation the page and export operations have no report.
TEST_F(Viewer, WithoutAReportShowsNothingAndLeavesTheParentActive) {
    OFD_afficheur shown(&parent, 1);
    shown.activation(nullptr, 5, "none", "");
    EXPECT_TRUE(parent.active());
    std::list<String> empty;
    shown.activation(empty, "none", "");
    EXPECT_TRUE(parent.active());
    shown.page_suivante();
    shown.fichier_texte();
    EXPECT_NE(access("tmp.txt", F_OK), 0);
}

// Twice: the second PDF must be as sound as the first.
TEST_F(Viewer, ExportsWriteTheWholeReportAndSaySoInTheViewersLanguage) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(78);
    for (int lang : {1, 0}) {
        const bool en = lang != 0;
        const std::string text = en ? "click text file" : "click fichier texte";
        const std::string pdf = en ? "click pdf file" : "click fichier pdf";
        const char* txt_made = en ? "[generation of tmp.txt file]" : "[generation du fichier tmp.txt]";
        const char* pdf_made = en ? "[generation of tmp.pdf file]" : "[generation du fichier tmp.pdf]";
        OFD_afficheur shown(&parent, lang);
        seen.clear();
        drive([&] { shown.activation(lines.data(), 79, String(81, 't') + "u", ""); },
              {on(viewer, "look"), on(viewer, text), on(txt_made, "close"), on(viewer, pdf),
               on(pdf_made, "close"), on(viewer, pdf), on(pdf_made, "close"),
               on(viewer, en ? "click CANCEL" : "click ANNULER")});
        test_files::expect_fixture(en ? "dialogs/viewer_first_page.txt" : "dialogs/viewer_first_page_fr.txt",
                                   seen.at(0));
        test_files::expect_fixture("dialogs/viewer_report.txt", slurp("tmp.txt"));
        const std::string info = sheet_support::output_of("pdfinfo tmp.pdf 2>&1");
        EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
        EXPECT_EQ(info.find("Error"), std::string::npos) << info;
    }
}

// The viewer program is the one its whole name names; the PDF is removed after
// it only when the export made it (a device needs root). A name holding a NUL
// byte would run another program and runs none. Left: the viewer's arguments,
// what it was shown, what is at tmp.pdf, and what commands in the name made.
TEST_F(Viewer, PdfViewerRunsByItsWholeNameAndOnlyAFileTheExportMadeIsRemoved) {
    NEEDS_DISPLAY();
    const struct {
        String name;
        bool device;
        const char* alert;
        const char* left;
    } rows[] = {{program(), false, nullptr, "1:tmp.pdf\n|%PDF-1.4|"},
                {"true; touch injected; `touch injected2`; $(touch injected3); \\\"; touch injected4", false,
                 nullptr, "||"},
                {program() + String(1, '\0') + "x", false, "[cannot run the viewer: its name holds a NUL byte]",
                 "||%PDF-1.4"},
                {program(), true, nullptr, "1:tmp.pdf\n||device"}};
    std::vector<String> lines = report(3);
    String no_device;
    for (const auto& row : rows) {
        std::system("rm -f seen.args seen.pdf tmp.pdf");
        if (row.device && !(no_device = test_files::make_device("tmp.pdf", 3)).empty())
            continue;
        OFD_afficheur shown(&parent, 1);
        std::vector<Step> steps{on(viewer, "click pdf file"), on(viewer, "click CANCEL")};
        if (row.alert)
            steps.insert(steps.begin() + 1, on(row.alert, "close"));
        drive([&] { shown.activation(lines.data(), 4, "viewer", row.name); }, steps);
        std::string left = slurp("seen.args") + "|" + slurp("seen.pdf").substr(0, 8) + "|" +
                           (test_files::is_device("tmp.pdf") ? "device" : slurp("tmp.pdf").substr(0, 8));
        for (const char* file : {"injected", "injected2", "injected3", "injected4"})
            left += access(file, F_OK) == 0 ? std::string("|") + file : "";
        EXPECT_EQ(left, row.left) << row.name;
    }
    if (!no_device.empty())
        GTEST_SKIP() << "the device row: " << no_device;
}

// What stands in the way of an export is the user's: the failure is said, and
// nothing is removed; a pipe that nobody reads does not hold the window. A row
// whose set-up fails is left out (needs root, or not). A file its owner keeps
// read-only is refused to anyone but root: the export runs as nobody for it.
TEST_F(Viewer, ExportThatCannotBeWrittenSaysSoAndLeavesWhatWasThere) {
    NEEDS_DISPLAY();
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"mkdir tmp.txt tmp.pdf", "Is a directory", "Is a directory", "test -d tmp.txt && test -d tmp.pdf"},
        {"ln -s nowhere/x tmp.txt && mknod tmp.pdf c 1 7", "No such file or directory", "No space left on device",
         "test -L tmp.txt && test -c tmp.pdf"},
        {"mkfifo tmp.txt tmp.pdf", "no reader", "no reader", "test -p tmp.txt && test -p tmp.pdf"}};
    std::vector<String> lines = report(3);
    for (const auto& [setup, txt_why, pdf_why, left] : rows) {
        if (std::system(("rm -rf tmp.txt tmp.pdf && " + std::string(setup) + " 2>/dev/null").c_str()) != 0)
            continue;
        OFD_afficheur shown(&parent, 1);
        drive([&] { shown.activation(lines.data(), 4, "blocked", program()); },
              {on(viewer, "click text file"), on("[cannot write the file tmp.txt: " + std::string(txt_why), "close"),
               on(viewer, "click pdf file"), on("[cannot write the file tmp.pdf: " + std::string(pdf_why), "close"),
               on(viewer, "click CANCEL")});
        EXPECT_EQ(std::system(left), 0) << setup;
        EXPECT_NE(access("seen.args", F_OK), 0) << setup;
    }
    ASSERT_EQ(std::system("rm -rf tmp.txt && echo k > tmp.txt && chmod 444 tmp.txt && chmod 777 ."), 0);
    const auto export_text = [] {
        const String why = tessan_forms::write_export("tmp.txt", [](std::ostream& out) { out << "new\n"; });
        return why == "Permission denied: the file is not writable" ? 0 : 1;
    };
    EXPECT_EQ(test_files::as_nobody(export_text), 0);
    EXPECT_EQ(slurp("tmp.txt"), "k\n");
}

TEST_F(Viewer, PostScriptCommandShowsTmpPsThenRemovesIt) {
    mkdir("bin", 0755);
    std::ofstream("bin/ghostview") << "#!/bin/sh\necho \"$1\" > ghostview.args\n";
    chmod("bin/ghostview", 0755);
    const std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", ("bin:" + old_path).c_str(), 1);
    std::ofstream("tmp.ps") << "%!PS\n";
    OFD_afficheur(&parent, 1).imprime_tmp_ps();
    setenv("PATH", old_path.c_str(), 1);
    EXPECT_EQ(slurp("ghostview.args"), "tmp.ps\n");
    EXPECT_NE(access("tmp.ps", F_OK), 0);
}

}  // namespace
