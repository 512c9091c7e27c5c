// The Esterel v5 writer: whole modules compared with texts worked out by hand
// and read by an outside Esterel front end, the charts refused, the files that
// every writer writes, and the triggers against the chart's own parser.
#include "bdd/bddpp.h"
#include "writers/put_strl5.h"
#include "writers/writer_files.h"

#include <gtest/gtest.h>

#include "tests/chart_generator.h"
#include "tests/esterel_checker.h"
#include "tests/reader_files.h"
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;
using namespace reader_files;
using namespace esterel_checker;

namespace {

// Warnings must reach standard error, not a modal window that nobody closes.
const bool no_display = [] { return unsetenv("DISPLAY") == 0; }();

using test_files::expect_fixture;
using test_files::fixture;

String replaced(String text, const String& from, const String& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != String::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

using G = gal_tpen_fichier;
using writer = int (G::*)(const String&, const String&) const;

// Which statement holds which around the first trap of a module: the
// statements of the trap's parent in the checker's tree, one a line,
// indented by depth.
String statements_around_trap(const String& xml) {
    static const std::regex tag("<(/?)(\\w+)[^>]*?(/?)>");
    std::vector<std::pair<String, std::vector<std::size_t>>> tree(1);
    std::vector<std::size_t> open{0};
    for (std::sregex_iterator m(xml.begin(), xml.end(), tag), end; m != end && !open.empty(); ++m) {
        if ((*m)[1].length() > 0) {
            open.pop_back();
            continue;
        }
        tree[open.back()].second.push_back(tree.size());
        tree.push_back({(*m)[2], {}});
        if ((*m)[3].length() == 0)
            open.push_back(tree.size() - 1);
    }
    const std::regex statement("Trap|Exit|Run|Emit|Halt|Suspend|LoopEach|(Parallel)?StatementList");
    String out;
    const std::function<void(std::size_t, int)> put = [&](std::size_t e, int depth) {
        const bool shown = std::regex_match(tree[e].first, statement);
        if (shown)
            out += String(2 * depth, ' ') + tree[e].first + "\n";
        for (std::size_t child : tree[e].second)
            put(child, depth + shown);
    };
    for (std::size_t e = 0; e < tree.size(); ++e)
        for (std::size_t child : tree[e].second)
            if (tree[child].first == "Trap" && out.empty())
                put(e, 0);
    return out;
}

std::unique_ptr<gal_tpen_fichier> read_chart(const String& name) { return read_text(fixture(name)).chart; }

class PutStrl5 : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tessan-strl5-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        out = (dir / "out.strl").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes the chart to out.strl and gives what the file then holds; the
    // status and standard error are kept.
    String write(const gal_tpen_fichier& chart, const String& module = "") {
        ::testing::internal::CaptureStderr();
        status = chart.put_strl5(out, module.empty() ? chart.mon_nom_module() : module);
        diagnostics = ::testing::internal::GetCapturedStderr();
        return slurp(out);
    }

    int files() const { return static_cast<int>(std::distance(fs::directory_iterator(dir), {})); }

    fs::path dir;
    String out;
    int status = -1;
    String diagnostics;
};

// The warnings that a chart gives are in tests/data/writers/<chart>.strl.err.
TEST_F(PutStrl5, WritesEachChartAsTheModuleWorkedOutByHandWhichEsterelAccepts) {
    for (const char* name : {"strl5/rows", "strl5/pair", "strl5/plain", "strl5/light", "strl5/faults",
                             "strl5/empty_types", "strl5/renamings", "strl5/constants", "strl5/spellings",
                             "writers/halting", "writers/empty", "writers/literals"}) {
        const auto chart = read_chart(String(name) + ".gal");
        ASSERT_NE(chart, nullptr) << name;
        // Only what the transition table says counts: the states' own lists
        // may hold their transitions in any order, and more than once.
        gal_tpen_etat* states = chart->ma_table_etats();
        for (int s = 0; s < chart->nbr_etats(); ++s) {
            const std::list<int> leaving = states[s].mes_transitions_post();
            const std::list<int> reaching = states[s].mes_transitions_pre();
            for (auto t = leaving.rbegin(); t != leaving.rend(); ++t)
                states[s].add_post_transition(*t);
            for (auto t = reaching.rbegin(); t != reaching.rend(); ++t)
                states[s].add_pre_transition(*t);
        }
        const String text = write(*chart);
        // An unnamed state goes by the name that the chart made up for it.
        const bool unnamed = chart->nbr_etats() > 0 && chart->ma_table_etats()[0].mon_nom().empty();
        const String made_up = unnamed ? chart->ma_table_etats()[0].un_nom() : "GENERATED";
        expect_fixture(String(name) + ".strl", replaced(text, made_up, "GENERATED"));
        EXPECT_EQ(status, 1) << name;
        expect_fixture("writers/" + fs::path(name).filename().string() + ".strl.err", diagnostics);
        if (!checker().empty()) {
            EXPECT_EQ(refusal(text), "") << name;
        }
    }
    if (checker().empty())
        GTEST_SKIP() << no_checker;
}

TEST_F(PutStrl5, NamesTheModuleAfterTheArgumentAndItsSignalsAfterTheChart) {
    EXPECT_EQ(write(*read_chart("strl5/light.gal"), "other"),
              replaced(fixture("strl5/light.strl"), "module light", "module other"));
}

// A state that sustains its actions beside a run and leaves on a normal
// termination: the end of the run ends the whole state, then the termination
// emits; a state without all three keeps its shape.
TEST_F(PutStrl5, EndsTheSustainedPartOfAStateWhenItsRunEnds) {
    const String text = write(*read_chart("strl5/trapped.gal"));
    test_files::expect_fixture("strl5/trapped.strl", text);
    if (checker().empty())
        GTEST_SKIP() << no_checker;
    String xml;
    EXPECT_EQ(refusal(text, &xml), "");
    test_files::expect_fixture("strl5/trapped.tree", statements_around_trap(xml));
}

// Values of every type, emissions in a row, count delays, tabs and line ends
// around actions and renamings, renamings spelled the Esterel way, constants
// respelled (a value that has no Esterel literal is said on standard error),
// and chains of "|" or "&" however long, which hold no xor.
TEST_F(PutStrl5, WritesValuesCountsAndRenamingsAsEsterelReadsThem) {
    const String chart = fixture("strl5/values.gal"), text = write(*read_text(chart).chart);
    test_files::expect_fixture("strl5/values.strl", text);
    test_files::expect_fixture("strl5/values.err", diagnostics);
    for (const auto& [op, word] : {std::make_pair(" | ", " or "), std::make_pair(" & ", " and ")}) {
        String terms = "A", written = "A";
        for (int i = 1; i < 10000; ++i) {
            terms += op + String(i % 2 ? "B" : "A");
            written += word + String(i % 2 ? "B" : "A");
        }
        EXPECT_EQ(write(*read_text(replaced(chart, "A | B | A | B | A", terms)).chart),
                  replaced(text, "A or B or A or B or A", written));
    }
    if (checker().empty())
        GTEST_SKIP() << no_checker;
    EXPECT_EQ(refusal(text), "");
}

// What Esterel would read otherwise or not at all: chart signals named as the
// module's own, emissions without a value or with one of another type,
// unbalanced or commented out, "#" and priorities out of place, counts where
// none can stand. One line each, the texts that hold line ends escaped.
TEST_F(PutStrl5, RefusesWhatEsterelWouldReadOtherwiseOneLineEach) {
    EXPECT_EQ(write(*read_chart("strl5/misread.gal")), "");
    EXPECT_EQ(status, 0);
    test_files::expect_fixture("strl5/misread.err", replaced(diagnostics, out, "OUT"));
    EXPECT_EQ(files(), 0);
}

// Whatever the chart, tessan writes a module that Esterel accepts, or
// refuses the chart for a reason it names, with status 1 and no module; a
// chart drawn without flaw is always written.
TEST_F(PutStrl5, RandomChartsGiveAcceptedModulesOrAreRefusedForAReason) {
    const std::regex refused("ERROR in gal_tpen_fichier::put_strl5: .*: nothing written to .*");
    const std::regex warning("|WARNING: .*|Esterel code generation will be incomplete \\.\\.\\.");
    chart_generator::drawer draw(chart_generator::seed());
    int written = 0;
    for (int i = 0; i < chart_generator::charts(); ++i) {
        const chart_generator::generated g = draw.chart("g" + std::to_string(i));
        SCOPED_TRACE(g.text);
        spill((dir / "c.gal").string(), g.text);
        fs::remove(dir / "c.strl");
        const String command = "'" TESSAN_BINARY_DIR "/app/tessan' '" + (dir / "c.gal").string() +
                               "' > /dev/null 2> '" + (dir / "err").string() + "'";
        const int code = std::system(command.c_str());
        const String module = slurp((dir / "c.strl").string());
        std::istringstream err(slurp((dir / "err").string()));
        for (String line; std::getline(err, line);)
            EXPECT_TRUE(std::regex_match(line, module.empty() ? refused : warning)) << line;
        EXPECT_TRUE(WIFEXITED(code) && WEXITSTATUS(code) == (module.empty() ? 1 : 0)) << code;
        EXPECT_TRUE(!module.empty() || g.flawed) << err.str();
        if (!module.empty() && !checker().empty()) {
            ASSERT_EQ(refusal(module), "") << module;
        }
        written += !module.empty();
    }
    std::cout << written << " charts written, " << chart_generator::charts() - written << " refused\n";
    EXPECT_GT(2 * written, chart_generator::charts());
    if (checker().empty())
        GTEST_SKIP() << no_checker;
}

// ---- What the writers share: refusals and files (writer_files.cpp) -----------------

// A chart that a writer cannot write: one line for each element that Esterel
// has no form for, or for the first index outside its table (the Esterel
// writer follows the indices that its module writes, the others every index).
// A target that cannot be written: a name with a NUL byte would reach the
// system cut there, at another file or one that a link there points to; a
// link or another name of a chart that was read would destroy the chart.
// Each is said, and nothing is opened or left behind.
TEST_F(PutStrl5, WritersThatCannotWriteSayWhyAndTouchNothing) {
    const String important = (dir / "important.txt").string();
    spill(out, "good module\n");
    spill(important, "kept\n");
    fs::create_symlink("important.txt", dir / "link");
    fs::create_directory(dir / "folder");
    const String indices = fixture("writers/indices.gal"), light = fixture("strl5/light.gal");
    const String read = (dir / "read.gal").string(), linked = (dir / "read.strl").string();
    const String other_name = (dir / "read.svg").string();
    const char* const chart_read = "it is the file the chart was read from";
    spill(read, light);
    ASSERT_NE(read_file(read).chart, nullptr);
    fs::create_symlink("read.gal", linked);
    ASSERT_EQ(link(read.c_str(), other_name.c_str()), 0);
    const auto spoilt = [&](writer put, const char* from, const char* to, const char* fault) {
        const String name = put == &G::put_le ? "gal_tpen_fichier::put_le" : "gal_tpen_fichier::put_strl5";
        const String error = "ERROR in " + name + ": " + fault + ": nothing written to OUT\n";
        return std::make_tuple(put, replaced(indices, from, to), error, out);
    };
    const auto unwritable = [&](writer put, const String& target, const char* why) {
        return std::make_tuple(put, light, "ERROR: cannot write " + target + ": " + why + "\n", target);
    };
    const std::tuple<writer, String, String, String> rows[] = {
        {&G::put_strl5, fixture("strl5/refused.gal"), fixture("strl5/refused.err"), out},
        spoilt(&G::put_strl5, "To: 1", "To: 2", "transition 1 has target state 2, outside the 2 states"),
        spoilt(&G::put_strl5, "\"A\" / 0", "\"A\" / 0 1", "transition 1 has action 1, outside the 1 actions"),
        spoilt(&G::put_strl5, "\"1\" / 0", "\"1\" / -2", "transition 0 has action -2, outside the 1 actions"),
        spoilt(&G::put_strl5, ": -1 : 0", ": -1 : 1", "state 1 (b) has action 1, outside the 1 actions"),
        spoilt(&G::put_strl5, "0 0 : -1 :", "0 0 : 1 :",
               "state 0 (a) runs program 1, outside the 1 external programs"),
        spoilt(&G::put_le, "To: 1", "To: 5", "transition 1 has target state 5, outside the 2 states"),
        spoilt(&G::put_le, "From: 0", "From: -2", "transition 1 has source state -2, outside the 2 states"),
        spoilt(&G::put_le, "\"A\" / 0", "\"A\" / 1", "transition 1 has action 1, outside the 1 actions"),
        spoilt(&G::put_le, ": -1 : 0", ": -1 : -1", "state 1 (b) has action -1, outside the 1 actions"),
        spoilt(&G::put_le, "0 0 : -1 :", "0 0 : 2 :",
               "state 0 (a) runs program 2, outside the 1 external programs"),
        unwritable(&G::put_strl5, (dir / "no" / "such" / "x.strl").string(), "No such file or directory"),
        unwritable(&G::put_le, (dir / "folder").string(), "Is a directory"),
        unwritable(&G::put_strl5, important + '\0' + ".x", "the file name holds a NUL byte"),
        unwritable(&G::put_xfig, (dir / "link").string() + '\0' + ".fig", "the file name holds a NUL byte"),
        unwritable(&G::put_strl5, linked, chart_read), unwritable(&G::put_le, other_name, chart_read),
        unwritable(&G::put_xfig, linked, chart_read),
        unwritable(&G::put_inkscape, other_name, chart_read),
    };
    for (const auto& [put, text, error, target] : rows) {
        const auto chart = read_text(text).chart;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(((*chart).*put)(target, chart->mon_nom_module()), 0);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), replaced(error, "OUT", out));
    }
    EXPECT_EQ(slurp(out), "good module\n");
    EXPECT_EQ(slurp(important), "kept\n");
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(slurp(read), light);
    EXPECT_EQ(files(), 8);  // with the chart read, its trace and its two other names
}

// The module replaces the old one whole where a link points, keeping the link
// and the old file's mode; a link to nothing yet makes the file it names.
TEST_F(PutStrl5, ReplacesTheOldModuleWholeWhereALinkPointsAndKeepsItsMode) {
    const auto chart = read_chart("strl5/light.gal");
    const String real = (dir / "real" / "m.strl").string();
    fs::create_directory(dir / "real");
    spill(real, String(100000, 'x'));
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    fs::create_symlink("real/m.strl", out);
    expect_fixture("strl5/light.strl", write(*chart));
    EXPECT_TRUE(fs::is_symlink(out));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), {}), 1);
    fs::remove(real);
    expect_fixture("strl5/light.strl", write(*chart));
    expect_fixture("strl5/light.strl", slurp(real));
}

// What the user may not write is not replaced, though the folder would let it
// be: a file its owner keeps read-only, or another user's; where the folder
// is what refuses, the message says so. Root may write them all, and what it
// writes keeps the old file's owner, group and mode.
TEST_F(PutStrl5, ReplacesOnlyWhatTheUserMayWriteAndKeepsItsOwner) {
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || !nobody)
        GTEST_SKIP() << "needs root, to give files to the user nobody";
    const auto chart = read_chart("strl5/plain.gal");
    const String shut = (dir / "shut").string(), in_shut = shut + "/m.strl", root_s = (dir / "root.strl").string();
    fs::create_directory(shut);
    for (const String& file : {out, in_shut, root_s})
        spill(file, "old\n");
    for (const String& nobodys : {out, shut, in_shut})
        ASSERT_EQ(chown(nobodys.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(chmod(dir.c_str(), 0777) | chmod(out.c_str(), 0444) | chmod(shut.c_str(), 0555), 0);
    for (const auto& [target, refuser] : {std::pair{out, String("file")}, {root_s, String("file")},
                                          {in_shut, "folder " + shut}}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(test_files::as_nobody([&, t = target] { return chart->put_strl5(t, "plain"); }), 0);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "ERROR: cannot write " + target + ": Permission denied: the " + refuser + " is not writable\n");
        EXPECT_EQ(slurp(target), "old\n");
    }
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    expect_fixture("strl5/plain.strl", write(*chart));
    struct stat st;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(std::make_tuple(st.st_uid, st.st_gid, st.st_mode & 07777),
              std::make_tuple(nobody->pw_uid, nobody->pw_gid, 0640u));
    EXPECT_EQ(files(), 3);
}

// A target that is no plain file is the user's: written into, never replaced,
// and a failed write is a failure. A pipe that nobody reads is refused at
// once, and one whose reader goes away fails the write instead of ending the
// process. Devices only when root may make one.
TEST_F(PutStrl5, WritesIntoAnOutputThatIsNoPlainFileAndNeverReplacesIt) {
    const auto chart = read_chart("strl5/plain.gal");
    ASSERT_EQ(mkfifo(out.c_str(), 0600), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(chart->put_strl5(out, "plain"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ERROR: cannot write " + out + ": no reader\n");
    for (const bool reader_stays : {true, false}) {
        const int end = open(out.c_str(), O_RDONLY | O_NONBLOCK);
        String piped;
        std::thread reader([&] {
            pollfd ready{end, POLLIN, 0};
            char buffer[4096];
            for (ssize_t n = 0; (piped.empty() || reader_stays) && poll(&ready, 1, -1) > 0 &&
                                (n = read(end, buffer, sizeof buffer)) > 0;)
                piped.append(buffer, static_cast<std::size_t>(n));
            close(end);
        });
        tessan_writers::replacing_file output(out);
        output.stream() << (reader_stays ? fixture("strl5/plain.strl") : String(1 << 20, 'x'));
        EXPECT_EQ(output.commit(), reader_stays);
        reader.join();
        EXPECT_EQ(output.error_text(), reader_stays ? "" : "Broken pipe");
        if (reader_stays)
            expect_fixture("strl5/plain.strl", piped);
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(out)));
    fs::remove(out);
    const String node = (dir / "node").string();
    // writer, device (7 full, 3 null), reached through a link
    const std::tuple<writer, unsigned, bool> rows[] = {
        {&G::put_strl5, 7, false}, {&G::put_strl5, 7, true}, {&G::put_le, 7, false},
        {&G::put_xfig, 7, true},   {&G::put_inkscape, 7, false}, {&G::put_strl5, 3, false}};
    for (const auto& [put, minor, linked] : rows) {
        const String why_not = test_files::make_device(node, minor);
        if (!why_not.empty())
            GTEST_SKIP() << why_not;
        linked ? fs::create_symlink("node", out) : fs::rename(node, out);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(((*chart).*put)(out, "plain"), minor == 3 ? 1 : 0) << minor << linked;
        const String error = ::testing::internal::GetCapturedStderr();
        const String warned = put == &G::put_strl5 ? fixture("writers/plain.strl.err") : "";
        const String failure = minor == 3 ? "" : "ERROR: cannot write " + out + ": No space left on device\n";
        EXPECT_EQ(error, warned + failure) << minor << linked;
        EXPECT_TRUE(test_files::is_device(linked ? node : out));
        EXPECT_EQ(files(), linked ? 2 : 1);
        fs::remove(out);
        fs::remove(node);
    }
}

// The temporary file must fit wherever the target's own name fits.
TEST_F(PutStrl5, WritesATargetWhateverTheLengthOfItsName) {
    const auto chart = read_chart("strl5/plain.gal");
    for (const std::size_t length : {244, 250, 255}) {
        const String target = (dir / (String(length - 5, 'x') + ".strl")).string();
        EXPECT_EQ(chart->put_strl5(target, "plain"), 1) << length;
        expect_fixture("strl5/plain.strl", slurp(target));
    }
}

// A process stopped while it writes leaves the old file and no temporary one,
// whatever signal whose default action ends the process stops it; one that
// reaches its file-size limit (0 below) fails the write and goes on. The child
// sets the dispositions it needs, as if started under `trap '' HUP`, and the
// writer puts every one back as it found it once its file is done.
TEST_F(PutStrl5, StoppedBySignalLeavesTheOldFileAndNoTemporary) {
    spill(out, "old\n");
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGPIPE, SIGXFSZ,
                                    SIGRTMIN + 3, 0}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            prctl(PR_SET_DUMPABLE, 0);  // no core file
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            void (*set[NSIG])(int);  // SIG_ERR where it cannot be set
            for (int s = 1; s < NSIG; ++s) {
                set[s] = s == SIGHUP && signal_number != SIGHUP ? SIG_IGN : SIG_DFL;
                if (signal(s, set[s]) == SIG_ERR)
                    set[s] = SIG_ERR;
            }
            {
                tessan_writers::replacing_file first(out + ".first");
                first.stream() << "first\n";
                if (!first.commit() || unlink((out + ".first").c_str()) != 0)
                    _exit(100);
            }
            for (int s = 1; s < NSIG; ++s) {
                struct sigaction now;
                if (set[s] != SIG_ERR && (sigaction(s, nullptr, &now) != 0 || now.sa_handler != set[s]))
                    _exit(s);  // left changed
            }
            const rlimit small{4096, 4096};
            if (signal_number == 0 && setrlimit(RLIMIT_FSIZE, &small) != 0)
                _exit(101);
            bool too_large = false;
            {
                tessan_writers::replacing_file output(out);
                output.stream() << String(100000, 'x') << std::flush;
                if (signal_number != 0)
                    raise(signal_number);
                too_large = !output.commit() && output.error_text() == "File too large";
            }
            _exit(too_large ? 0 : 102);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(signal_number == 0 ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                                       : WIFSIGNALED(status) && WTERMSIG(status) == signal_number)
            << "signal " << signal_number << ", status " << status;
        EXPECT_EQ(files(), 1) << signal_number;
        EXPECT_EQ(slurp(out), "old\n");
    }
}

// The Esterel text tests what the trigger tests, read by the chart's own
// expression parser, where tick holds at every instant.
TEST(Strl5Recept, KeepsTheMeaningOfRandomTriggersInEverySpelling) {
    bddpp_manager manager;
    const bdd tick = manager.New_var_last("tick");
    for (const char* name : {"A", "B", "C"})
        manager.New_var_last(name);
    chart_generator::drawer draw(chart_generator::seed());
    for (int i = 0; i < 20 * chart_generator::charts(); ++i) {
        String trigger = draw.trigger_over({"A", "B", "C"});
        const String esterel = strl5_recept(trigger);
        trigger.erase(std::remove(trigger.begin(), trigger.end(), '#'), trigger.end());
        trigger = replaced(trigger, "*", " & ");  // the syntax checker's product, unknown to the parser
        if (trigger.find_first_not_of(" \t") == String::npos)
            trigger = "1";  // a trigger of blanks and marks holds at every instant
        int prio = 0, status = -1, back_status = -1;
        const bdd meant = manager.Parse_expression(trigger, &prio, &status);
        const bdd written = manager.Parse_expression(
            esterel.rfind("immediate ", 0) == 0 ? esterel.substr(10) : esterel, &back_status);
        ASSERT_EQ(status, 0) << trigger;
        ASSERT_EQ(back_status, 0) << esterel;
        EXPECT_TRUE(manager.Bdd_and(meant, tick) == manager.Bdd_and(written, tick))
            << trigger << " written " << esterel;
    }
}

}  // namespace
