// The tessan program as a user runs it: the built binary, started with and
// without a display, its streams, its exit status and the files it leaves.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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
        stop();  // a process that would wait for ever
        fs::remove_all(dir);
    }

    // Starts tessan in the test's folder through a shell that keeps its exit
    // status, its streams in files there; without a display it gets no
    // DISPLAY at all, as on a machine without one. One process at a time.
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
        if (shell)
            pclose(shell);
        shell = nullptr;
        pid = -1;
        const String status = slurp(dir / "status");
        return {status.empty() ? -1 : std::stoi(status), slurp(dir / "stdout"), slurp(dir / "stderr")};
    }

    void stop() {
        if (pid > 0)  // -1 would name every process
            kill(pid, SIGKILL);
        if (shell)
            finish();
    }

    fs::path dir;
    FILE* shell = nullptr;
    pid_t pid = -1;
};

// Status 0 when the module is written, whatever extension the argument gives
// the chart; 1, and the old module kept, when the chart is missing, cannot be
// read, or cannot be written as Esterel.
TEST_F(Tessan, CompilesTheChartThatTheArgumentNamesAndSaysWhetherItWroteTheModule) {
    fs::copy_file(charts / "light.gal", dir / "x.gal");
    fs::copy_file(charts / "refused.gal", dir / "refused.gal");
    spill((dir / "broken.gal").string(), "Name: x : synccharts_model:;\nType: ;\nStar:\n");
    const String light = test_files::fixture("strl5/light.strl");
    const String warning = test_files::fixture("writers/light.strl.err");
    const std::tuple<const char*, const char*, String, String> rows[] = {
        {"x", "x", warning, light},
        {"x.gal", "x", warning, light},
        {"x.txt", "x", warning, light},
        {"none.gal", "none", "FILE NOT FOUND !\n", "old"},
        {"broken.gal", "broken", "ERROR about loading file : " + (dir / "broken.gal").string() + "\n", "old"},
        {"refused.gal", "refused", ": nothing written to " + (dir / "refused.strl").string() + "\n", "old"},
    };
    for (const auto& [argument, base, said, module] : rows) {
        const String gal = (dir / base).string() + ".gal", strl = (dir / base).string() + ".strl";
        spill(strl, "old");
        start({(dir / argument).string()});
        const outcome o = finish();
        const bool written = module != "old";
        EXPECT_EQ(o.status, written ? 0 : 1) << argument;
        EXPECT_EQ(o.out, "reading " + gal + "\n" + (written ? "generation of " + strl + "\n" : ""));
        EXPECT_EQ(o.err.substr(o.err.size() - std::min(o.err.size(), said.size())), said) << o.err;
        if (written)
            test_files::expect_fixture("strl5/light.strl", slurp(strl));
        else
            EXPECT_EQ(slurp(strl), module) << argument;
    }
}

// A reader of the standard output that is gone costs the report, not the
// module: the run says so and fails instead of dying of SIGPIPE.
TEST_F(Tessan, WritesTheModuleWhenNobodyReadsItsStandardOutput) {
    fs::copy_file(charts / "light.gal", dir / "x.gal");
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGPIPE, SIG_DFL);
        dup2(ends[1], 1);
        dup2(open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        unsetenv("DISPLAY");
        execl(TESSAN_BINARY_DIR "/app/tessan", "tessan", (dir / "x.gal").c_str(), nullptr);
        _exit(127);
    }
    close(ends[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    test_files::expect_fixture("strl5/light.strl", slurp(dir / "x.strl"));
    const String err = slurp(dir / "stderr"), said = "ERROR: cannot write the standard output\n";
    EXPECT_EQ(err.substr(err.size() - std::min(err.size(), said.size())), said) << err;
}

TEST_F(Tessan, AnswersOnTheStandardStreamsWithoutADisplay) {
    const String unknown = "' unknown option: write tessan -h to know the list\n\n";
    const std::tuple<std::vector<String>, int, String, String> rows[] = {
        {{"-h"}, 0, test_files::fixture("writers/tessan-help.txt"), ""},
        {{"-v"}, 0, "  TESSAN: synchronous chart compiler: version 0.0.3\n\n", ""},
        {{"-h", "x"}, 1, "", "`x" + unknown},
        {{"a.gal", "-v", "b"}, 1, "", "`-v" + unknown + "`b" + unknown},
        {{}, 1, "", "tessan needs a chart file name (there is no display for the file selector): "
                    "write tessan <filename>\n"},
    };
    for (const auto& [args, status, out, err] : rows) {
        start(args);
        const outcome o = finish();
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
    // How long a window may take to come up or be drawn: only a guard against
    // waiting for ever, so far beyond what it takes on a loaded machine.
    static std::chrono::steady_clock::time_point patience() {
        return std::chrono::steady_clock::now() + std::chrono::seconds(60);
    }

    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display || std::system("which xdotool import convert > /dev/null") != 0)
            GTEST_SKIP() << "needs DISPLAY, xdotool and ImageMagick";
        Tessan::SetUp();
    }

    // A window of tessan's whose title matches (message windows have none),
    // "" when none comes up in time. A search fails when another process's
    // window vanishes under it: it is asked again, not waited on.
    String window(const String& title = "^$") {
        const String process = " --pid " + std::to_string(pid);
        const String search = "xdotool search --all --onlyvisible" + process + " --name '" + title + "'";
        for (const auto deadline = patience(); std::chrono::steady_clock::now() < deadline; usleep(100000)) {
            const String ids = command_output(search);
            if (!ids.empty())
                return ids.substr(0, ids.find('\n'));
        }
        // Say what the process was doing, for the log of the run.
        std::cerr << "no window " << title << " [" << command_output("xdotool search --all" + process)
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
        for (const auto deadline = patience(); colours <= 1 && std::chrono::steady_clock::now() < deadline;) {
            if (std::system(("import -window " + shown + " " + png + " 2>/dev/null").c_str()) == 0)
                colours = std::atoi(command_output("convert " + png + " -format %k info:").c_str());
            if (colours <= 1)
                usleep(100000);
        }
        EXPECT_GT(colours, 1);
        xdotool("key", shown, "Escape");
        return true;
    }

    // Starts tessan without argument and finds its file selector.
    String selector() {
        start({}, true);
        return window("^file selection$");
    }
};

// The version, the warnings of a chart compiled all the same, the selector:
// cancelled, it is answered "FILE NOT FOUND!" and status 1; a chart chosen in
// it is compiled, its base name cut at its final ".gal" only, so that a.gal
// beside the folder a.gal.d is left alone.
TEST_F(TessanWindows, AnswersInWindowsThatEscapeCloses) {
    const String gal = (dir / "light.gal").string(), b = (dir / "a.gal.d" / "b.gal").string();
    fs::copy_file(charts / "light.gal", gal);
    spill((dir / "a.gal").string(), "not read\n");
    fs::create_directory(dir / "a.gal.d");
    fs::copy_file(charts / "rows.gal", b);
    const std::tuple<String, String, int, String> rows[] = {
        {"-v", "", 0, ""},
        {gal, "", 0, "reading " + gal + "\ngeneration of " + (dir / "light.strl").string() + "\n"},
        {"", "key Escape", 1, ""},
        {"", "type a.gal.d/b.gal", 0, "reading " + b + "\n"},
    };
    for (const auto& [argument, chosen, status, out] : rows) {
        if (argument.empty()) {
            const String chooser = selector();
            ASSERT_FALSE(chooser.empty());
            // The file name field has the focus and holds the folder, selected.
            xdotool(chosen.substr(0, chosen.find(' ')), chooser, chosen.substr(chosen.find(' ') + 1));
            if (status == 0)
                xdotool("key", chooser, "Return");
        } else {
            start({argument}, true);
        }
        ASSERT_TRUE(look_at_and_close()) << argument << chosen;
        const outcome o = finish();
        EXPECT_EQ(o.status, status) << argument << chosen;
        EXPECT_EQ(o.out, out);
        EXPECT_EQ(o.err, "");  // the messages went to the windows
    }
    test_files::expect_fixture("strl5/light.strl", slurp(dir / "light.strl"));
    test_files::expect_fixture("strl5/rows.strl", slurp(dir / "a.gal.d" / "b.strl"));
    EXPECT_FALSE(fs::exists(dir / "a.strl"));
}

}  // namespace
