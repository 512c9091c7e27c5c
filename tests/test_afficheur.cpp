// The report viewer window on a real X server: shown, paged and exported
// through its buttons, closed by "CANCEL" or from its frame.
//
// Window tests need DISPLAY (the test command starts a private Xvfb) and skip
// themselves without it. While the viewer polls its window, a script of steps
// runs from an FLTK timeout on the test's own thread: each step acts (a click
// is a real X button event sent to the viewer's window, the close box a real
// WM_DELETE_WINDOW message) or waits until the window shows what it should.
// Every wait has a deadline; past it the script fails and hides every window,
// which ends the viewer's loop, so a broken viewer fails instead of hanging.
//
// Each test runs in a fresh working directory, since the exports are named
// "tmp.*" in the current one; the PDF viewer programs are small scripts there.
// GoogleTest before Xlib, whose macros (None, Bool) would break its headers.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include "tests/sheet_support.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Input.H>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <list>
#include <memory>
#include <string>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using test_files::slurp;

using sheet_support::send_click;
using sheet_support::send_close_box;

// ---- Without a display --------------------------------------------------------
//
// The display probe answers once per process, so the headless viewer is seen in
// a fresh copy of this program started without DISPLAY.

[[maybe_unused]] const bool headless_child_ran = sheet_support::run_headless_call_if_asked(
    [](const std::string&) {
        std::vector<String> lines{"#C 5 ", "a"};
        Fl_Window parent(50, 50);
        OFD_afficheur viewer(&parent, 1);
        viewer.activation(lines.data(), 2, "title", "");
        return std::string("returned ") + (parent.active() ? "1" : "0");
    });

bool exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A report of a column line and n text lines "line 1" ... "line n".
std::vector<String> report(int n) {
    std::vector<String> lines{"#C 10 "};
    for (int i = 1; i <= n; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

// ---- The viewer's window, seen from the test's thread -------------------------

Fl_Window* viewer_window() {
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
        if (window->w() == 920 && window->h() == 700)
            return window;
    return nullptr;
}

Fl_Widget* child_where(Fl_Window* window, const std::function<bool(Fl_Widget*)>& wanted) {
    for (int i = 0; window && i < window->children(); ++i)
        if (wanted(window->child(i)))
            return window->child(i);
    return nullptr;
}

Fl_Widget* labelled(Fl_Window* window, const std::string& label) {
    return child_where(window, [&](Fl_Widget* w) { return w->label() && label == w->label(); });
}

Fl_Widget* at(Fl_Window* window, int x, int y) {
    return child_where(window, [&](Fl_Widget* w) { return w->x() == x && w->y() == y; });
}

Fl_Browser* browser_of(Fl_Window* window) {
    return static_cast<Fl_Browser*>(at(window, 10, 50));
}

std::string page_label(Fl_Window* window) {
    Fl_Widget* label = at(window, 80, 20);
    return label && label->label() ? label->label() : "";
}

std::vector<std::string> browser_lines(Fl_Window* window) {
    std::vector<std::string> lines;
    Fl_Browser* browser = browser_of(window);
    for (int i = 1; browser && i <= browser->size(); ++i)
        lines.push_back(browser->text(i) ? browser->text(i) : "");
    return lines;
}

// ---- Scripts ------------------------------------------------------------------

// Steps run one after another from an FLTK timeout while the viewer polls;
// a step returns true when it is done, false to be asked again.
class Script {
public:
    using Step = std::function<bool()>;

    Script& then(const std::string& name, Step step) {
        steps_.push_back({name, std::move(step)});
        return *this;
    }

    // Runs the viewer call under the script; says whether every step ran.
    bool run(const std::function<void()>& call) {
        deadline_ = clock::now() + std::chrono::seconds(15);
        Fl::add_timeout(0.01, &Script::tick, this);
        call();
        Fl::remove_timeout(&Script::tick, this);
        if (next_ < steps_.size())
            ADD_FAILURE() << "the viewer returned before step '" << steps_[next_].name << "'";
        return next_ == steps_.size() && !timed_out_;
    }

    // The common steps.
    Script& wait_shown() {
        return then("the window is shown and drawn", [] {
            Fl_Window* window = viewer_window();
            return window && window->shown() && Fl_X::i(window) && !Fl_X::i(window)->wait_for_expose;
        });
    }
    Script& click(const std::string& label) {
        return then("click " + label, [label] {
            Fl_Window* window = viewer_window();
            Fl_Widget* button = labelled(window, label);
            EXPECT_TRUE(button) << "no button '" << label << "'";
            if (button)
                send_click(button);
            return true;
        });
    }
    Script& go_to(const std::string& typed) {
        return then("type " + typed + " and press go", [typed] {
            Fl_Window* window = viewer_window();
            static_cast<Fl_Input*>(at(window, 150, 645))->value(typed.c_str());
            send_click(at(window, 190, 645));
            return true;
        });
    }
    Script& wait_page_label(const std::string& expected) {
        return then("page label '" + expected + "'", [expected] {
            return page_label(viewer_window()) == expected;
        });
    }
    // Waits for the message window that an export opens, checks its text
    // and closes it.
    Script& answer_message(const std::string& expected) {
        return then("message '" + expected + "'", [expected] {
            Fl_Window* message = Fl::modal();
            if (!message || message == viewer_window() || !message->shown() || !fl_xid(message))
                return false;
            bool found = false;
            for (int i = 0; i < message->children(); ++i) {
                const char* label = message->child(i)->label();
                found = found || (label && expected == label);
            }
            EXPECT_TRUE(found) << "the message does not say '" << expected << "'";
            send_close_box(message);
            return true;
        }).then("the message is closed", [] {
            // FLTK shows every message in one window, so the next message
            // can only be told from this one once this one is gone.
            Fl_Window* message = Fl::modal();
            return !message || message == viewer_window() || !message->shown();
        });
    }
    Script& close_box() {
        return then("close from the frame", [] {
            send_close_box(viewer_window());
            return true;
        });
    }

private:
    using clock = std::chrono::steady_clock;
    struct Named {
        std::string name;
        Step step;
    };

    static void tick(void* self) { static_cast<Script*>(self)->tick(); }

    void tick() {
        Fl::repeat_timeout(0.01, &Script::tick, this);
        if (timed_out_)
            return;
        if (clock::now() > deadline_) {
            timed_out_ = true;
            ADD_FAILURE() << "step '" << (next_ < steps_.size() ? steps_[next_].name : "end")
                          << "' did not come to pass";
            while (Fl_Window* window = Fl::first_window())
                window->hide();
            return;
        }
        // A step that opens nothing may be followed at once by the next.
        while (next_ < steps_.size() && steps_[next_].step())
            ++next_;
    }

    std::vector<Named> steps_;
    std::size_t next_ = 0;
    clock::time_point deadline_;
    bool timed_out_ = false;
};

// Each test in a fresh working directory of its own, removed afterwards.
class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/tessan-afficheur-XXXXXX";
        dir_ = mkdtemp(name);
        ASSERT_TRUE(getcwd(previous_, sizeof previous_));
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        if (chdir(previous_) != 0)
            ADD_FAILURE() << "cannot go back to " << previous_;
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // A viewer program that keeps a copy of the file it is asked to show and
    // notes its arguments.
    std::string write_viewer_program(const std::string& name) {
        const std::string program = path(name);
        std::ofstream(program) << "#!/bin/sh\ncp \"$1\" seen.pdf\necho \"$#:$1\" > seen.args\n";
        chmod(program.c_str(), 0755);
        return program;
    }

    Fl_Window parent{60, 60};

private:
    std::string dir_;
    char previous_[PATH_MAX] = {};
};

// ---- Showing and paging ---------------------------------------------------------

TEST_F(Viewer, ShowsTheFirstPageTitleCutAndPagePosition) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(78);
    const String title = std::string(81, 't') + std::string(19, 'u');
    OFD_afficheur viewer(&parent, 1);
    bool parent_was_active = true;
    int colours = 0;
    Script script;
    script.wait_shown()
        .then("look at the first page",
              [&] {
                  Fl_Window* window = viewer_window();
                  parent_was_active = parent.active();
                  const Fl_Widget* title_widget = at(window, 280, 20);
                  EXPECT_EQ(std::string(title_widget->label()), std::string(81, 't'));
                  EXPECT_EQ(page_label(window), "page 1 / 2    ");
                  EXPECT_STREQ(static_cast<Fl_Input*>(at(window, 150, 645))->value(), "1");
                  const std::vector<std::string> shown = browser_lines(window);
                  EXPECT_EQ(shown.size(), 78u);  // the column line and 77 text lines
                  if (shown.size() == 78u) {
                      EXPECT_EQ(shown[0], "");
                      EXPECT_EQ(shown[1], "@f@S14 line 1");
                      EXPECT_EQ(shown[77], "@f@S14 line 77");
                  }
                  for (const char* label : {"next page", "previous page", "CANCEL", "pdf file", "text file"})
                      EXPECT_TRUE(labelled(window, label)) << label;
                  return true;
              })
        .then("the window is not blank",
              [&] {
                  Fl_Window* window = viewer_window();
                  colours = sheet_support::Screen_picture(window).colours(0, 0, window->w(), window->h());
                  return colours >= 3;
              })
        .click("CANCEL");
    EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 79, title, ""); }));
    EXPECT_FALSE(parent_was_active);
    EXPECT_TRUE(parent.active());
    EXPECT_GE(colours, 3);
    EXPECT_FALSE(viewer_window() && viewer_window()->shown());
}

TEST_F(Viewer, PagesForwardBackAndToATypedPageWithinTheReport) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(78);
    std::list<String> listed(lines.begin(), lines.end());
    OFD_afficheur viewer(&parent, 1);
    std::vector<std::string> last_page;
    Script script;
    // Each change that must do nothing is followed by one that must; the
    // queue keeps their order, so the second one's result shows the first's.
    script.wait_shown()
        .click("next page")
        .wait_page_label("page 2 / 2    ")
        .then("the last page holds the 78th line alone",
              [&] {
                  last_page = browser_lines(viewer_window());
                  return true;
              })
        .click("next page")
        .go_to("3")
        .go_to("0")
        .go_to("x")
        .click("previous page")
        .wait_page_label("page 1 / 2    ")
        .click("previous page")
        .go_to("2")
        .wait_page_label("page 2 / 2    ")
        .go_to("1")
        .wait_page_label("page 1 / 2    ")
        .click("CANCEL");
    EXPECT_TRUE(script.run([&] { viewer.activation(listed, "paged", ""); }));
    EXPECT_EQ(last_page, std::vector<std::string>{"@f@S14 line 78"});
}

TEST_F(Viewer, ClosingFromTheFrameEndsLikeCancel) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(3);
    OFD_afficheur viewer(&parent, 0);
    Script script;
    script.wait_shown().close_box();
    EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 4, "closed", ""); }));
    EXPECT_TRUE(parent.active());
    EXPECT_FALSE(viewer_window() && viewer_window()->shown());
}

TEST_F(Viewer, ShowsAgainAfterItWasLeft) {
    NEEDS_DISPLAY();
    std::vector<String> first = report(200);
    std::vector<String> second = report(5);
    OFD_afficheur viewer(&parent, 1);
    Script once;
    once.wait_shown().click("next page").wait_page_label("page 2 / 3    ").click("CANCEL");
    EXPECT_TRUE(once.run([&] { viewer.activation(first.data(), 201, "first", ""); }));
    Script again;
    again.wait_shown().wait_page_label("page 1 / 1    ").click("CANCEL");
    EXPECT_TRUE(again.run([&] { viewer.activation(second.data(), 6, "second", ""); }));
}

// Cut to 81 characters, a title is still far wider than its box in the bold
// font: every pixel outside the box, the page position's among them, is the
// same as beside a one-letter title.
TEST_F(Viewer, LongTitleIsDrawnInsideItsBoxOnly) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(3);
    OFD_afficheur viewer(&parent, 1);
    std::vector<std::unique_ptr<sheet_support::Screen_picture>> pictures;
    for (const String& title : {String(81, 'W'), String("W")}) {
        Script script;
        script.wait_shown()
            .then("take a picture",
                  [&] {
                      pictures.push_back(std::make_unique<sheet_support::Screen_picture>(viewer_window()));
                      return true;
                  })
            .click("CANCEL");
        EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 4, title, ""); }));
    }
    ASSERT_EQ(pictures.size(), 2u);
    ASSERT_TRUE(pictures[0]->taken() && pictures[1]->taken());
    int outside = 0, inside = 0;
    for (int y = 0; y < 700; ++y)
        for (int x = 0; x < 920; ++x) {
            const bool differs = pictures[0]->rgb(x, y) != pictures[1]->rgb(x, y);
            const bool in_box = x >= 280 && x < 590 && y >= 20 && y < 40;
            (in_box ? inside : outside) += differs;
            if (differs && !in_box && outside == 1)
                ADD_FAILURE() << "the title is drawn at (" << x << ", " << y << ")";
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 0);
}

TEST_F(Viewer, NullArrayOrEmptyListShowsNothingAndLeavesTheParentActive) {
    OFD_afficheur viewer(&parent, 1);
    viewer.activation(nullptr, 5, "none", "");
    EXPECT_TRUE(parent.active());
    std::list<String> empty;
    viewer.activation(empty, "none", "");
    EXPECT_TRUE(parent.active());
    EXPECT_FALSE(viewer_window() && viewer_window()->shown());
    // Outside an activation the page and export operations have no report.
    viewer.page_suivante();
    viewer.fichier_texte();
    EXPECT_FALSE(exists("tmp.txt"));
}

TEST_F(Viewer, WithoutADisplayReturnsAtOnceAndLeavesTheParentActive) {
    EXPECT_EQ(sheet_support::run_headless("activation"), "returned 1");
}

// ---- Exports ----------------------------------------------------------------------

TEST_F(Viewer, TextFileWritesTmpTxtAndSaysSoInEnglish) {
    NEEDS_DISPLAY();
    std::vector<String> lines{"#C 10 ", "a#b", "#T"};
    OFD_afficheur viewer(&parent, 1);
    Script script;
    script.wait_shown().click("text file").answer_message("generation of tmp.txt file").click("CANCEL");
    EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 3, "text", ""); }));
    const std::string dashes(55, '-');
    EXPECT_EQ(slurp("tmp.txt"), dashes + "\na#b\n" + dashes + "\n");
}

TEST_F(Viewer, SpeaksFrenchForLanguageZero) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(2);
    OFD_afficheur viewer(&parent, 0);
    Script script;
    script.wait_shown()
        .then("French labels",
              [] {
                  for (const char* label :
                       {"page suivante", "page precedente", "ANNULER", "fichier pdf", "fichier texte"})
                      EXPECT_TRUE(labelled(viewer_window(), label)) << label;
                  return true;
              })
        .click("fichier texte")
        .answer_message("generation du fichier tmp.txt")
        .click("fichier pdf")
        .answer_message("generation du fichier tmp.pdf")
        .click("ANNULER");
    EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 3, "texte", ""); }));
    EXPECT_TRUE(exists("tmp.txt"));
    EXPECT_TRUE(exists("tmp.pdf"));
}

TEST_F(Viewer, PdfFileWithoutAViewerIsLeftInPlace) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(100);
    OFD_afficheur viewer(&parent, 1);
    Script script;
    // Twice: the second file must be as sound as the first.
    script.wait_shown()
        .click("pdf file")
        .answer_message("generation of tmp.pdf file")
        .click("pdf file")
        .answer_message("generation of tmp.pdf file")
        .click("CANCEL");
    EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 101, "pdf", ""); }));
    const std::string info = sheet_support::output_of("pdfinfo tmp.pdf 2>&1");
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_EQ(info.find("Error"), std::string::npos) << info;
}

TEST_F(Viewer, PdfFileWithAViewerShowsItThenRemovesIt) {
    NEEDS_DISPLAY();
    // A name the shell would otherwise read: a space, a dollar sign, a quote.
    const std::string program = write_viewer_program("my \"$HOME\" viewer");
    std::vector<String> lines = report(10);
    OFD_afficheur viewer(&parent, 1);
    Script script;
    script.wait_shown().click("pdf file").then("the viewer ran", [] { return exists("seen.args"); }).click("CANCEL");
    EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 11, "shown", program); }));
    EXPECT_EQ(slurp("seen.args"), "1:tmp.pdf\n");
    EXPECT_EQ(slurp("seen.pdf").substr(0, 8), "%PDF-1.4");
    EXPECT_FALSE(exists("tmp.pdf"));
}

TEST_F(Viewer, ViewerNameRunsNoOtherCommand) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(78);
    OFD_afficheur viewer(&parent, 1);
    Script script;
    // The page change is read after the export, so it shows the export done.
    script.wait_shown().click("pdf file").click("next page").wait_page_label("page 2 / 2    ").click("CANCEL");
    const String name = "true; touch injected; `touch injected2`; $(touch injected3); \\\"; touch injected4";
    EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 79, "unsafe", name); }));
    for (const char* file : {"injected", "injected2", "injected3", "injected4"})
        EXPECT_FALSE(exists(file)) << file;
    EXPECT_FALSE(exists("tmp.pdf"));
}

// What stands in the way of an export is the user's: the failure is said and
// nothing is removed that the export did not make. A row whose set-up fails
// is left out (a device needs root; root writes read-only files).
TEST_F(Viewer, ExportThatCannotBeWrittenSaysSoAndLeavesWhatWasThere) {
    NEEDS_DISPLAY();
    const auto kind = [](const char* name) {
        struct stat info;
        return lstat(name, &info) == 0 ? info.st_mode & S_IFMT : 0u;
    };
    const std::pair<const char*, std::function<bool()>> rows[] = {
        {"mkdir tmp.txt tmp.pdf", [&] { return kind("tmp.txt") == S_IFDIR && kind("tmp.pdf") == S_IFDIR; }},
        {"ln -s nowhere/x tmp.txt && mknod tmp.pdf c 1 7",
         [&] { return kind("tmp.txt") == S_IFLNK && kind("tmp.pdf") == S_IFCHR; }},
        {"echo k > tmp.txt && echo k > tmp.pdf && chmod 444 tmp.txt tmp.pdf && [ $(id -u) != 0 ]",
         [] { return slurp("tmp.txt") == "k\n" && slurp("tmp.pdf") == "k\n"; }},
    };
    std::vector<String> lines = report(3);
    const std::string program = write_viewer_program("viewer");
    for (const auto& [setup, left] : rows) {
        if (std::system(("rm -rf tmp.txt tmp.pdf && " + std::string(setup) + " 2>/dev/null").c_str()) != 0)
            continue;
        OFD_afficheur viewer(&parent, 1);
        Script script;
        script.wait_shown()
            .click("text file")
            .answer_message("cannot write the file tmp.txt")
            .click("pdf file")
            .answer_message("cannot write the file tmp.pdf")
            .click("CANCEL");
        EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 4, "blocked", program); })) << setup;
        EXPECT_TRUE(left()) << setup;
        EXPECT_FALSE(exists("seen.args")) << setup;
    }
}

// The PDF is removed after the viewer only when it is a file the export made;
// a viewer name holding a NUL byte would run another program and runs none.
TEST_F(Viewer, PdfThatIsNoPlainFileOrWhoseViewerCannotRunIsKept) {
    NEEDS_DISPLAY();
    std::vector<String> lines = report(3);
    const std::string program = write_viewer_program("viewer");
    const std::tuple<String, const char*, std::function<bool()>> rows[] = {
        {program + String(1, '\0') + "x", "cannot run the viewer: its name holds a NUL byte",
         [] { return !exists("seen.args") && slurp("tmp.pdf").substr(0, 8) == "%PDF-1.4"; }},
        {program, nullptr, [] { return exists("seen.args") && test_files::is_device("tmp.pdf"); }},
    };
    for (const auto& row : rows) {
        const String& name = std::get<0>(row);
        const char* alert = std::get<1>(row);
        if (!alert && !test_files::make_device("tmp.pdf", 3).empty())
            GTEST_SKIP() << "a device needs root";
        OFD_afficheur viewer(&parent, 1);
        Script script;
        script.wait_shown().click("pdf file");
        if (alert)
            script.answer_message(alert);
        script.click("CANCEL");
        EXPECT_TRUE(script.run([&] { viewer.activation(lines.data(), 4, "kept", name); }));
        EXPECT_TRUE(std::get<2>(row)());
        std::remove("tmp.pdf");
    }
}

TEST_F(Viewer, PostScriptCommandShowsTmpPsThenRemovesIt) {
    const std::string bin = path("bin");
    mkdir(bin.c_str(), 0755);
    std::ofstream(bin + "/ghostview") << "#!/bin/sh\necho \"$1\" > ghostview.args\n";
    chmod((bin + "/ghostview").c_str(), 0755);
    const std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin + ":" + old_path).c_str(), 1);
    std::ofstream("tmp.ps") << "%!PS\n";
    OFD_afficheur viewer(&parent, 1);
    viewer.imprime_tmp_ps();
    setenv("PATH", old_path.c_str(), 1);
    EXPECT_EQ(slurp("ghostview.args"), "tmp.ps\n");
    EXPECT_FALSE(exists("tmp.ps"));
}

}  // namespace
