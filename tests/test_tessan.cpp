// The tessan program as a user runs it: the built binary, started with and
// without a display, its streams, its exit status and the files it leaves.
// What the module holds is the Esterel writer's tests' business.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
using String = std::string;
using test_files::slurp;
using test_files::spill;

namespace {

const fs::path charts = fs::path(TESSAN_TEST_DATA) / "strl5";

struct outcome {
    int status;
    String out;
    String err;
};

class Tessan : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tessan-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        stop();
        fs::remove_all(dir);
    }

    // Starts tessan in the test's folder, one process at a time, through a
    // shell that keeps its exit status; its standard streams go to files
    // there. Without a display it gets no DISPLAY at all, as on a machine
    // without one.
    void start(const std::vector<String>& args, bool display = false) {
        String command = "cd '" + dir.string() + "' && { " + (display ? "" : "env -u DISPLAY ") +
                         "'" TESSAN_BINARY_DIR "/app/tessan'";
        for (const String& a : args)
            command += " '" + a + "'";
        command += " < /dev/null > stdout 2> stderr & echo $!; wait $!; echo $? > status; }";
        shell = popen(command.c_str(), "r");
        if (!shell || std::fscanf(shell, "%d", &pid) != 1)
            ADD_FAILURE() << "tessan not started";
    }

    outcome finish() {
        pclose(shell);
        shell = nullptr;
        pid = -1;
        const String status = slurp(dir / "status");
        return {status.empty() ? -1 : std::stoi(status), slurp(dir / "stdout"), slurp(dir / "stderr")};
    }

    // A process that would wait for ever (-1 would name every process).
    void stop() {
        if (pid > 0)
            kill(pid, SIGKILL);
        if (shell)
            finish();
    }

    outcome run(const std::vector<String>& args) {
        start(args);
        return finish();
    }

    // A chart of tests/data/strl5 copied into the test's folder.
    String chart(const String& name, const String& as = "") {
        const fs::path copy = dir / ((as.empty() ? name : as) + ".gal");
        fs::copy_file(charts / (name + ".gal"), copy);
        return copy.string();
    }

    fs::path dir;
    FILE* shell = nullptr;
    pid_t pid = -1;
};

// Status 0 when the module is written, whatever extension the argument gives
// the chart; 1, and the old module kept, when the chart is missing, cannot be
// read, or cannot be written as Esterel.
TEST_F(Tessan, CompilesTheChartThatTheArgumentNamesAndSaysWhetherItWroteTheModule) {
    chart("light", "x");
    chart("refused");
    spill((dir / "broken.gal").string(), "Name: x : synccharts_model:;\nType: ;\nStar:\n");
    String refused = slurp(charts / "refused.err");
    for (std::size_t at; (at = refused.find("OUT")) != String::npos;)
        refused.replace(at, 3, (dir / "refused.strl").string());
    const String light = slurp(charts / "light.strl");
    const String warning =
        "WARNING: No initial transition found!\n\nEsterel code generation will be incomplete ...\n";
    const std::tuple<const char*, const char*, String, String> rows[] = {
        {"x", "x", warning, light},
        {"x.gal", "x", warning, light},
        {"x.txt", "x", warning, light},
        {"none.gal", "none", "FILE NOT FOUND !\n", "old"},
        {"broken.gal", "broken", "ERROR about loading file : " + (dir / "broken.gal").string() + "\n", "old"},
        {"refused.gal", "refused", refused, "old"},
    };
    for (const auto& [argument, base, said, module] : rows) {
        const String gal = (dir / base).string() + ".gal", strl = (dir / base).string() + ".strl";
        spill(strl, "old");
        const outcome o = run({(dir / argument).string()});
        const bool written = module != "old";
        EXPECT_EQ(o.status, written ? 0 : 1) << argument;
        EXPECT_EQ(o.out, "reading " + gal + "\n" + (written ? "generation of " + strl + "\n" : ""));
        EXPECT_EQ(o.err.substr(o.err.size() - std::min(o.err.size(), said.size())), said) << o.err;
        EXPECT_EQ(slurp(strl), module) << argument;
    }
}

TEST_F(Tessan, AnswersOnTheStandardStreamsWithoutADisplay) {
    const String unknown = "' unknown option: write tessan -h to know the list\n\n";
    const std::tuple<std::vector<String>, int, String, String> rows[] = {
        {{"-h"}, 0, slurp(fs::path(TESSAN_TEST_DATA) / "writers" / "tessan-help.txt"), ""},
        {{"-v"}, 0, "  TESSAN: synchronous chart compiler: version 0.0.3\n\n", ""},
        {{"-h", "x"}, 1, "", "`x" + unknown},
        {{"a.gal", "-v", "b"}, 1, "", "`-v" + unknown + "`b" + unknown},
        {{}, 1, "", "tessan needs a chart file name (there is no display for the file selector): "
                    "write tessan <filename>\n"},
    };
    for (const auto& [args, status, out, err] : rows) {
        const outcome o = run(args);
        EXPECT_EQ(o.status, status) << err;
        EXPECT_EQ(o.out, out);
        EXPECT_EQ(o.err, err);
    }
}

// ---- Under a display -----------------------------------------------------------

// What the command writes on standard output; its errors are dropped.
String command_output(const String& command) {
    String text;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    for (char buffer[256]; p && fgets(buffer, sizeof buffer, p);)
        text += buffer;
    if (p)
        pclose(p);
    return text;
}

void xdotool(const String& command, const String& window, const String& argument) {
    std::system(("xdotool " + command + " --window " + window + " " + argument + " 2>/dev/null").c_str());
}

class TessanWindows : public Tessan {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display ||
            std::system("command -v xdotool >/dev/null && command -v import >/dev/null && "
                        "command -v convert >/dev/null") != 0)
            GTEST_SKIP() << "needs DISPLAY, xdotool and ImageMagick";
        Tessan::SetUp();
    }

    // A window that tessan shows with a title matching the pattern, "" when
    // none comes up within 20 seconds. Message windows have no title. A
    // search fails when another process's window vanishes under it, so it is
    // asked again rather than waited on.
    String window(const String& title = "^$") {
        const String process = " --pid " + std::to_string(pid);
        const String search = "xdotool search --all --onlyvisible" + process + " --name '" + title + "'";
        for (int attempt = 0; attempt < 200; ++attempt) {
            const String ids = command_output(search);
            if (!ids.empty())
                return ids.substr(0, ids.find('\n'));
            usleep(100000);
        }
        // Say what the process was doing, for the log of the run.
        std::cerr << "no window " << title << "; windows: [" << command_output("xdotool search --all" + process)
                  << "]; its state: " << command_output("ps -o stat=,wchan=,cmd=" + process);
        return "";
    }

    // Finds tessan's message window, checks that it shows something (a
    // window just mapped may not be drawn yet: a blank one is taken again)
    // and closes it with Escape; false when no window came up.
    bool look_at_and_close() {
        const String shown = window(), png = (dir / "shot.png").string();
        if (shown.empty())
            return false;
        int colours = 0;
        for (int attempt = 0; attempt < 20 && colours <= 1; ++attempt) {
            usleep(attempt > 0 ? 100000 : 0);
            if (std::system(("import -window " + shown + " " + png + " 2>/dev/null").c_str()) == 0)
                colours = std::atoi(command_output("convert " + png + " -format %k info:").c_str());
        }
        EXPECT_GT(colours, 1);
        xdotool("key", shown, "Escape");
        return true;
    }

    // Starts tessan without argument and finds its file selector, which has
    // been seen, rarely, not to come up in a full parallel run: the log then
    // says what the process was doing, and it is started once more.
    String selector() {
        String found;
        for (int attempt = 0; attempt < 2 && found.empty(); ++attempt) {
            stop();
            start({}, true);
            found = window("^file selection$");
        }
        return found;
    }
};

// The version, and the warnings of a chart compiled all the same.
TEST_F(TessanWindows, ShowsMessagesInWindowsThatEscapeCloses) {
    const String gal = chart("light");
    const std::pair<String, String> rows[] = {
        {"-v", ""}, {gal, "reading " + gal + "\ngeneration of " + (dir / "light.strl").string() + "\n"}};
    for (const auto& [argument, out] : rows) {
        start({argument}, true);
        ASSERT_TRUE(look_at_and_close()) << argument;
        const outcome o = finish();
        EXPECT_EQ(o.status, 0) << argument;
        EXPECT_EQ(o.out, out);
        EXPECT_EQ(o.err, "");
    }
    EXPECT_EQ(slurp(dir / "light.strl"), slurp(charts / "light.strl"));
}

TEST_F(TessanWindows, CancelledFileSelectorSaysFileNotFoundAndEndsWithStatusOne) {
    const String chooser = selector();
    ASSERT_FALSE(chooser.empty());
    xdotool("key", chooser, "Escape");
    ASSERT_TRUE(look_at_and_close());
    const outcome o = finish();
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
}

TEST_F(TessanWindows, SelectorCutsTheBaseNameAtTheFirstGalOfThePath) {
    chart("rows", "a");
    fs::create_directory(dir / "a.gal.d");
    spill((dir / "a.gal.d" / "b.gal").string(), "not read\n");
    const String chooser = selector();
    ASSERT_FALSE(chooser.empty());
    // The file name field has the focus and holds the folder, selected. The
    // pause lets the chooser settle before it is typed into.
    usleep(300000);
    xdotool("type", chooser, "a.gal.d/b.gal");
    xdotool("key", chooser, "Return");
    ASSERT_TRUE(look_at_and_close());
    const outcome o = finish();
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "reading " + (dir / "a.gal").string() + "\n");
    EXPECT_EQ(slurp(dir / "a.strl"), slurp(charts / "rows.strl"));
}

}  // namespace
