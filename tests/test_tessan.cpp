// The tessan program as a user runs it: the built binary, started with and
// without a display, its streams, its exit status and the files it leaves.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using String = std::string;

namespace {

using test_files::slurp;

const char* const tessan = TESSAN_BINARY_DIR "/app/tessan";
const fs::path charts = fs::path(TESSAN_TEST_DATA) / "strl5";

struct outcome {
    int status = -1;
    String out;
    String err;
};

// One tessan process, its standard output and error caught in pipes. Without
// a display it gets no DISPLAY at all, as on a machine without one.
class tessan_process {
public:
    tessan_process(const std::vector<String>& args, bool display, const fs::path& cwd = {}) {
        std::vector<String> env;
        for (char** e = environ; *e; ++e)
            if (display || String(*e).rfind("DISPLAY=", 0) != 0)
                env.emplace_back(*e);
        std::vector<char*> envp;
        for (String& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<String> argv_strings{tessan};
        argv_strings.insert(argv_strings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (String& a : argv_strings)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (!cwd.empty())
            posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        for (int fd : {out[0], out[1], err[0], err[1]})
            posix_spawn_file_actions_addclose(&actions, fd);
        if (posix_spawn(&pid, tessan, &actions, nullptr, argv.data(), envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        out_fd = out[0];
        err_fd = err[0];
    }

    ~tessan_process() {
        if (pid > 0 && !finished) {
            kill(pid, SIGKILL);
            finish();
        }
    }

    outcome finish() {
        outcome result;
        pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
        String* texts[2] = {&result.out, &result.err};
        int open_fds = 2;
        while (open_fds > 0 && poll(fds, 2, -1) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                    continue;
                char buffer[4096];
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    texts[i]->append(buffer, static_cast<std::size_t>(n));
                } else {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open_fds;
                }
            }
        }
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid)
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        finished = true;
        return result;
    }

    pid_t pid = -1;

private:
    int out_fd = -1;
    int err_fd = -1;
    bool finished = false;
};

outcome run_headless(const std::vector<String>& args) {
    return tessan_process(args, false).finish();
}

class Tessan : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tessan-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // A chart of tests/data/strl5 copied into the test's folder.
    fs::path chart(const String& name, const String& as = "") {
        const fs::path copy = dir / ((as.empty() ? name : as) + ".gal");
        fs::copy_file(charts / (name + ".gal"), copy);
        return copy;
    }

    fs::path dir;
};

const char* const one_automaton_warning =
    "WARNING: No initial transition found!\n\nEsterel code generation will be incomplete ...\n";

TEST_F(Tessan, CompilesEachChartIntoTheModuleWorkedOutByHand) {
    struct row { const char* name; String warnings; };
    const row rows[] = {
        {"rows", ""},
        {"pair", "WARNING: No initial transition found about one of synccharts at least!\n\n"
                 "Esterel code generation will be incomplete ...\n"},
        {"plain", "WARNING: chart plain has no automaton to translate: its 2 states are left out; "
                  "the module does nothing\n"},
        {"light", one_automaton_warning},
        {"faults", "WARNING: state run has 2 normal termination transitions: only transition 5, "
                   "the first by priority, is written\n"},
    };
    for (const row& r : rows) {
        const fs::path gal = chart(r.name);
        const fs::path strl = dir / (String(r.name) + ".strl");
        const outcome o = run_headless({gal.string()});
        EXPECT_EQ(o.status, 0) << r.name;
        EXPECT_EQ(o.out, "reading " + gal.string() + "\ngeneration of " + strl.string() + "\n");
        EXPECT_EQ(o.err, r.warnings) << r.name;
        EXPECT_EQ(slurp(strl), slurp(charts / (String(r.name) + ".strl"))) << r.name;
    }
}

TEST_F(Tessan, ReadsTheGalChartWhateverExtensionTheArgumentHas) {
    const fs::path gal = chart("light", "x");
    for (const char* argument : {"x", "x.gal", "x.txt"}) {
        const outcome o = run_headless({(dir / argument).string()});
        EXPECT_EQ(o.status, 0) << argument;
        EXPECT_EQ(o.out, "reading " + gal.string() + "\ngeneration of " + (dir / "x.strl").string() + "\n")
            << argument;
        EXPECT_EQ(slurp(dir / "x.strl"), slurp(charts / "light.strl")) << argument;
        EXPECT_TRUE(fs::exists(dir / "x.gal.log")) << argument;
        fs::remove(dir / "x.strl");
    }
}

TEST_F(Tessan, MissingChartEndsWithStatusOneAndNoModule) {
    const outcome o = run_headless({(dir / "none.gal").string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "reading " + (dir / "none.gal").string() + "\n");
    EXPECT_NE(o.err.find("FILE NOT FOUND !"), String::npos);
    EXPECT_FALSE(fs::exists(dir / "none.strl"));
}

TEST_F(Tessan, BrokenChartEndsWithStatusOneAndKeepsTheOldModule) {
    std::ofstream(dir / "x.gal") << "Name: x : synccharts_model:;\nType: ;\nStar:\n";
    std::ofstream(dir / "x.strl") << "good module\n";
    const outcome o = run_headless({(dir / "x.gal").string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("ERROR about loading file : " + (dir / "x.gal").string()), String::npos);
    EXPECT_EQ(o.out.find("generation of"), String::npos);
    EXPECT_EQ(slurp(dir / "x.strl"), "good module\n");
}

TEST_F(Tessan, ChartWithADanglingTargetIsRefusedWithoutModule) {
    String text = slurp(charts / "light.gal");
    text.replace(text.find("From: 0 To: 1"), 13, "From: 0 To: 9");
    std::ofstream(dir / "bad.gal") << text;
    const outcome o = run_headless({(dir / "bad.gal").string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "ERROR in gal_tpen_fichier::put_strl5: transition 0 has target state 9, "
                     "outside the 2 states: nothing written to " + (dir / "bad.strl").string() + "\n");
    EXPECT_EQ(o.out, "reading " + (dir / "bad.gal").string() + "\n");
    EXPECT_FALSE(fs::exists(dir / "bad.strl"));
}

TEST_F(Tessan, ChartThatEsterelCannotSayIsRefusedWithStatusOneAndTheOldModuleKept) {
    const fs::path gal = chart("refused");
    std::ofstream(dir / "refused.strl") << "good module\n";
    const outcome o = run_headless({gal.string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "reading " + gal.string() + "\n");
    String lines = slurp(charts / "refused.err");
    for (std::size_t at; (at = lines.find("OUT")) != String::npos;)
        lines.replace(at, 3, (dir / "refused.strl").string());
    EXPECT_EQ(o.err, lines);
    EXPECT_EQ(slurp(dir / "refused.strl"), "good module\n");
}

TEST_F(Tessan, ModuleThatCannotBeWrittenIsReportedWithItsName) {
    const fs::path gal = chart("rows");
    fs::create_directory(dir / "rows.strl");
    const outcome o = run_headless({gal.string()});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "ERROR: cannot write " + (dir / "rows.strl").string() + ": Is a directory\n");
    EXPECT_EQ(o.out, "reading " + gal.string() + "\n");
    EXPECT_TRUE(fs::is_directory(dir / "rows.strl"));
}

TEST(TessanHeadless, ShowsHelpAndVersionOnStandardOutput) {
    const outcome help = run_headless({"-h"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out,
              "\n"
              "        TESSAN: synchronous chart compiler\n\n"
              "        written by the tessan developers, version 0.0.3\n\n"
              "   syntax:\n\n"
              "         tessan <filename>\n\n"
              "         or tessan -v\n\n"
              "         or tessan -h\n\n"
              "   options:\n\n"
              "      -h : this help\n\n"
              "      -v : version of this compiler\n\n");
    EXPECT_EQ(help.err, "");

    const outcome version = run_headless({"-v"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "  TESSAN: synchronous chart compiler: version 0.0.3\n\n");
    EXPECT_EQ(version.err, "");
}

TEST(TessanHeadless, ReportsSurplusArgumentsAndEndsWithStatusOne) {
    const outcome two = run_headless({"-h", "x"});
    EXPECT_EQ(two.status, 1);
    EXPECT_EQ(two.out, "");
    EXPECT_EQ(two.err, "`x' unknown option: write tessan -h to know the list\n\n");

    const outcome three = run_headless({"a.gal", "-v", "b"});
    EXPECT_EQ(three.status, 1);
    EXPECT_EQ(three.err,
              "`-v' unknown option: write tessan -h to know the list\n\n"
              "`b' unknown option: write tessan -h to know the list\n\n");
}

TEST(TessanHeadless, WithoutArgumentAsksForAChartFileName) {
    const outcome o = run_headless({});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("tessan needs a chart file name"), String::npos);
}

// ---- Under a display -----------------------------------------------------------

String command_output(const String& command) {
    String text;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, p))
            text += buffer;
        pclose(p);
    }
    return text;
}

bool display_and_tools() {
    const char* display = std::getenv("DISPLAY");
    return display && *display &&
           std::system("command -v xdotool >/dev/null && command -v import >/dev/null && "
                       "command -v convert >/dev/null") == 0;
}

// A window that the process shows with a title matching the pattern, ""
// when none comes up within 20 seconds. Message windows have no title. A
// search fails when another process's window vanishes under it (tests run in
// parallel on one display), so it is asked again rather than waited on.
String window_of(pid_t pid, const String& title = "^$") {
    const String search = "xdotool search --all --onlyvisible --pid " + std::to_string(pid) +
                          " --name '" + title + "' 2>/dev/null";
    for (int attempt = 0; attempt < 200; ++attempt) {
        const String ids = command_output(search);
        if (!ids.empty())
            return ids.substr(0, ids.find('\n'));
        usleep(100000);
    }
    // Say what the process was doing, for the log of the run.
    std::cerr << "no window " << title << " of process " << pid << "; its windows: ["
              << command_output("xdotool search --all --pid " + std::to_string(pid) + " 2>&1")
              << "]; its state: "
              << command_output("ps -o stat=,wchan=,cmd= -p " + std::to_string(pid) + " 2>&1")
              << "\n";
    return "";
}

const char* const selector_title = "^file selection$";

// Starts tessan without argument and finds its file selector. The selector
// has been seen, rarely, not to come up within the wait in a full parallel
// run; the log then says what the process was doing, and it is started once
// more.
std::unique_ptr<tessan_process> start_with_selector(String& selector, const fs::path& cwd = {}) {
    std::unique_ptr<tessan_process> p;
    for (int start = 0; start < 2 && selector.empty(); ++start) {
        p = std::make_unique<tessan_process>(std::vector<String>{}, true, cwd);
        selector = window_of(p->pid, selector_title);
    }
    return p;
}

// Number of colours of the window's screenshot: 1 for a blank window. A
// window just mapped may not be drawn yet, so a blank one is taken again.
int screenshot_colours(const String& window, const fs::path& png) {
    int colours = 0;
    for (int attempt = 0; attempt < 20 && colours <= 1; ++attempt) {
        if (attempt > 0)
            usleep(100000);
        const String shot = "import -window " + window + " " + png.string() + " 2>/dev/null";
        if (std::system(shot.c_str()) == 0)
            colours = std::atoi(command_output("convert " + png.string() + " -format %k info:").c_str());
    }
    return colours;
}

void press_escape(const String& window) {
    std::system(("xdotool key --window " + window + " Escape 2>/dev/null").c_str());
}

// Finds the process's message window, checks that it shows something and
// closes it with Escape; false when no window came up.
bool look_at_and_close(pid_t pid, const fs::path& png) {
    const String window = window_of(pid);
    if (window.empty())
        return false;
    EXPECT_GT(screenshot_colours(window, png), 1) << png;
    press_escape(window);
    return true;
}

class TessanWindows : public Tessan {
protected:
    void SetUp() override {
        if (!display_and_tools())
            GTEST_SKIP() << "needs DISPLAY, xdotool and ImageMagick";
        Tessan::SetUp();
    }
};

TEST_F(TessanWindows, ShowsTheVersionInAWindowThatEscapeCloses) {
    tessan_process p({"-v"}, true);
    ASSERT_TRUE(look_at_and_close(p.pid, dir / "version.png"));
    const outcome o = p.finish();
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "");
}

TEST_F(TessanWindows, ShowsAWarningWhileWritingAndCompletesTheModule) {
    const fs::path gal = chart("light");
    tessan_process p({gal.string()}, true);
    ASSERT_TRUE(look_at_and_close(p.pid, dir / "warning.png"));
    const outcome o = p.finish();
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "reading " + gal.string() + "\ngeneration of " + (dir / "light.strl").string() + "\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(slurp(dir / "light.strl"), slurp(charts / "light.strl"));
}

TEST_F(TessanWindows, CancelledFileSelectorSaysFileNotFoundAndEndsWithStatusOne) {
    String selector;
    const auto p = start_with_selector(selector);
    ASSERT_FALSE(selector.empty());
    press_escape(selector);
    ASSERT_TRUE(look_at_and_close(p->pid, dir / "not_found.png"));
    const outcome o = p->finish();
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
}

TEST_F(TessanWindows, SelectorCutsTheBaseNameAtTheFirstGalOfThePath) {
    chart("rows", "a");
    fs::create_directory(dir / "a.gal.d");
    std::ofstream(dir / "a.gal.d" / "b.gal") << "not read\n";
    String selector;
    const auto p = start_with_selector(selector, dir);
    ASSERT_FALSE(selector.empty());
    // The file name field has the focus and holds the folder, selected. The
    // pause lets the chooser settle before it is typed into.
    usleep(300000);
    std::system(("xdotool type --window " + selector + " a.gal.d/b.gal 2>/dev/null").c_str());
    std::system(("xdotool key --window " + selector + " Return 2>/dev/null").c_str());
    ASSERT_TRUE(look_at_and_close(p->pid, dir / "generation.png"));
    const outcome o = p->finish();
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "reading " + (dir / "a.gal").string() + "\n");
    EXPECT_EQ(slurp(dir / "a.strl"), slurp(charts / "rows.strl"));
}

}  // namespace
