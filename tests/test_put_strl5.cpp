// The Esterel v5 writer: whole modules compared with texts worked out by hand
// (tests/data/strl5/*.strl), then the pieces (triggers, priorities, items)
// and the charts that must not be written.
#include "bdd/bddpp.h"
#include "chart/gal_norm.h"
#include "reader/parse_gal.h"
#include "writers/put_strl5.h"
#include "writers/writer_files.h"

#include <gtest/gtest.h>

#include "tests/chart_generator.h"
#include "tests/esterel_check.h"
#include "tests/test_files.h"
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

namespace {

using test_files::slurp;

// Warnings must reach standard error, not a modal window that nobody closes.
const bool no_display = [] { return unsetenv("DISPLAY") == 0; }();

String expected(const String& name) {
    return slurp(fs::path(TESSAN_TEST_DATA) / "strl5" / (name + ".strl"));
}

// A chart as the reader hands it over: tables from lists, then the derived
// data restored in the reader's order.
struct chart_spec {
    String name;
    int model = synccharts_model;
    std::list<String> types;
    std::list<gal_declaration_variables> inputs, outputs, locals;
    std::list<gal_declaration_progs> runs;
    std::list<gal_declaration_functions> functions;
    std::list<gal_declaration_constants> constants;
    std::list<String> actions;
    std::list<gal_tpen_etat> states;
    std::list<gal_tpen_transition> transitions;

    std::unique_ptr<gal_tpen_fichier> build() {
        std::list<gal_declaration_variables> none;
        std::list<gal_declaration_pres> no_pres;
        auto chart = std::make_unique<gal_tpen_fichier>(&name, model, &types, &inputs, &none,
                                                        &outputs, &locals, &none, &runs,
                                                        &functions, &constants, &no_pres, &actions);
        chart->parse_etats(&states);
        chart->parse_transitions(&transitions);
        chart->normalise_diametre_etats();
        chart->update_simple_connexite();
        chart->raj_pre_post_transitions();
        return chart;
    }
};

gal_declaration_variables var(const String& name, const String& type) { return {type, name}; }

gal_tpen_etat state(const String& name, std::list<int> actions = {}, int kind = normal_star,
                    const gal_run_instance& run = gal_run_instance()) {
    String n = name;
    return gal_tpen_etat(kind, &n, 0.0, 0.0, run, &actions);
}

gal_tpen_transition trans(int from, int to, int kind, int priority, const String& trigger,
                          std::list<int> actions = {}) {
    return gal_tpen_transition(from, to, kind, 0.0, 0.0, priority, trigger, actions);
}

gal_declaration_progs program(const String& module) { return {".", module, module, {}, {}, {}}; }

gal_declaration_constants constant(String type, String name, std::list<std::pair<int, String>> values) {
    return gal_declaration_constants(&type, &name, &values);
}

// Every row of the state block in one synccharts automaton.
chart_spec rows_chart() {
    chart_spec c;
    c.name = "rows";
    c.types = {"boolean", "speed", "integer"};
    c.inputs = {var("A", "pure"), var("B", "pure"), var("C", "pure"), var("D", "pure"),
                var("S", "pure"), var("E", "pure"), var("V", "integer")};
    c.outputs = {var("O1", "pure"), var("O2", "bool")};
    c.locals = {var("L1", "pure"), var("L2", "bool")};
    c.runs = {program("pump"), program("timer")};
    c.functions = {gal_declaration_functions("speed", "accel", {"speed", "integer"}),
                   gal_declaration_functions("integer", "zero", {})};
    c.constants = {constant("integer", "N", {{0, "3"}}),
                   constant("speed", "MAX", {{1, "10"}, {0, "10"}})};
    c.actions = {"O1", "L1", "O2"};
    c.states = {state("idle"), state("busy", {0, 1}),
                state("work", {}, normal_star, gal_run_instance(0, "A\\x,L1\\y")),
                state("done", {}, final_star),
                state("helper", {2}, normal_star, gal_run_instance(1, ""))};
    c.transitions = {trans(-1, 0, strong_trans, 0, "1", {2}),
                     trans(0, 1, strong_trans, 0, "A"),
                     trans(0, 2, weak_trans, 0, "B and C", {0}),
                     trans(1, 3, strong_trans, 2, "<2> D"),
                     trans(1, 0, strong_trans, 1, "not A", {1}),
                     trans(1, 2, strong_trans, -1, "1"),
                     trans(-1, 1, suspend_trans, 0, "#S"),
                     trans(2, 3, normalterm_trans, 0, ""),
                     trans(0, 4, strong_trans, 0, "C or D"),
                     trans(-1, 4, suspend_trans, 0, "E")};
    return c;
}

// Two automata of the par_automata model, the second without initial arrow.
chart_spec pair_chart() {
    chart_spec c;
    c.name = "pair";
    c.model = par_automata_model;
    c.types = {"bool", "level"};
    c.inputs = {var("go", "bool"), var("stop", "pure")};
    c.outputs = {var("lamp", "bool"), var("count", "integer")};
    c.actions = {"lamp"};
    c.states = {state("off"), state("on", {0}), state("x"), state("y")};
    c.transitions = {trans(-1, 0, weak_trans, 0, ""),
                     trans(0, 1, weak_trans, -1, "go"),
                     trans(0, 1, weak_trans, 0, "#stop"),
                     trans(1, 0, strong_trans, 0, "stop", {0}),
                     trans(2, 3, strong_trans, 2, "go and stop"),
                     trans(2, 3, strong_trans, 1, "go"),
                     trans(2, 3, strong_trans, 2, "1"),
                     trans(3, 2, strong_trans, 0, "not go")};
    return c;
}

// The basic model has no concurrent automata: no body at all.
chart_spec plain_chart() {
    chart_spec c;
    c.name = "plain";
    c.model = basic_model;
    c.types = {"bool", "level"};
    c.inputs = {var("a", "bool"), var("b", "integer")};
    c.outputs = {var("o", "pure")};
    c.locals = {var("loc", "bool")};
    c.states = {state("p"), state("q")};
    c.transitions = {trans(-1, 0, weak_trans, 0, "a"), trans(0, 1, weak_trans, 0, "a")};
    return c;
}

// One light_esterel automaton without initial arrow, ending in a final state.
chart_spec light_chart() {
    chart_spec c;
    c.name = "light";
    c.model = light_esterel_model;
    c.types = {"bool", "boolean"};
    c.inputs = {var("x", "bool")};
    c.outputs = {var("beep", "pure")};
    c.actions = {"beep"};
    c.states = {state("wait"), state("end", {0}, final_star)};
    c.transitions = {trans(0, 1, weak_trans, 0, "x")};
    return c;
}

// What the chart text allows and the plain translation got wrong: final
// arrows, two normal terminations, "#" in suspensions and compound triggers,
// valued signals tested for their presence.
chart_spec faults_chart() {
    chart_spec c;
    c.name = "faults";
    c.inputs = {var("A", "pure"), var("B", "pure"), var("C", "pure"), var("V", "integer"),
                var("W", "integer")};
    c.outputs = {var("O", "pure"), var("P", "pure")};
    c.runs = {program("sub")};
    c.actions = {"O", "P"};
    c.states = {state("go"), state("run", {}, normal_star, gal_run_instance(0, "")),
                state("cmp")};
    c.transitions = {trans(-1, 0, strong_trans, 0, "1"),
                     trans(0, -1, strong_trans, 0, "A", {0}),
                     trans(0, -1, strong_trans, 0, "B"),
                     trans(0, 1, weak_trans, 0, "#A and B"),
                     trans(1, 0, normalterm_trans, 2, ""),
                     trans(1, 2, normalterm_trans, 1, "", {1}),
                     trans(-1, 1, suspend_trans, 0, "#C"),
                     trans(2, 0, strong_trans, 0, "V"),
                     trans(2, 0, strong_trans, 0, "V and W"),
                     trans(2, -1, normalterm_trans, 0, "")};
    return c;
}

class PutStrl5 : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tessan-strl5-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes the chart under its own name; the module text, or "" when no
    // file was written. Standard error is kept in `diagnostics`.
    String write(const gal_tpen_fichier& chart, const String& module = "") {
        const fs::path file = dir / "out.strl";
        ::testing::internal::CaptureStderr();
        status = chart.put_strl5(file.string(), module.empty() ? chart.mon_nom_module() : module);
        diagnostics = ::testing::internal::GetCapturedStderr();
        return fs::exists(file) ? slurp(file) : String();
    }

    // A chart of tests/data/strl5 read as tessan reads it, then written.
    String compile(const String& name) {
        const fs::path gal = dir / (name + ".gal");
        fs::copy_file(fs::path(TESSAN_TEST_DATA) / "strl5" / (name + ".gal"), gal,
                      fs::copy_options::overwrite_existing);
        ::testing::internal::CaptureStdout();
        const std::unique_ptr<gal_tpen_fichier> chart(parse(gal.string()));
        ::testing::internal::GetCapturedStdout();
        return chart ? write(*chart) : "chart not read";
    }

    // The whole module as worked out by hand, which the checker accepts.
    void expect_module(const String& text, const String& name, const String& warnings = "") {
        EXPECT_EQ(text, expected(name));
        EXPECT_EQ(status, 1) << name;
        EXPECT_EQ(diagnostics, warnings) << name;
        EXPECT_ESTEREL_ACCEPTS(text, name);
    }

    int files_in_dir() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    fs::path dir;
    int status = -1;
    String diagnostics;
};

const char* const one_automaton_warning =
    "WARNING: No initial transition found!\n\nEsterel code generation will be incomplete ...\n";
const char* const several_automata_warning =
    "WARNING: No initial transition found about one of synccharts at least!\n\n"
    "Esterel code generation will be incomplete ...\n";

TEST_F(PutStrl5, WritesEveryRowOfTheStateBlock) {
    expect_module(write(*rows_chart().build()), "rows");
}

TEST_F(PutStrl5, WarnsOnceForTheAutomatonWithoutInitialTransitionAmongSeveral) {
    expect_module(write(*pair_chart().build()), "pair", several_automata_warning);
}

TEST_F(PutStrl5, WritesNothingAsTheBodyOfAChartWithoutAutomataAndSaysSo) {
    expect_module(write(*plain_chart().build()), "plain",
                  "WARNING: chart plain has no automaton to translate: its 2 states are left out; "
                  "the module does nothing\n");
}

TEST_F(PutStrl5, WarnsForTheOnlyAutomatonWithoutInitialTransition) {
    expect_module(write(*light_chart().build()), "light", one_automaton_warning);
}

TEST_F(PutStrl5, WritesFinalArrowsFirstTerminationAndSingleImmediate) {
    expect_module(write(*faults_chart().build()), "faults",
                  "WARNING: state run has 2 normal termination transitions: only transition 5, "
                  "the first by priority, is written\n");
}

TEST_F(PutStrl5, WritesOnlyTheModuleLinesAndNothingForAnEmptyChart) {
    gal_tpen_fichier chart;
    const String text = write(chart, "m");
    EXPECT_EQ(text, "module m : \n  nothing\nend module\n\n");
    EXPECT_EQ(diagnostics, "WARNING: chart  has no automaton to translate; the module does nothing\n");
    EXPECT_ESTEREL_ACCEPTS(text, "empty chart");
}

TEST_F(PutStrl5, WritesSignalsOfEmptyTypeAsPureOnes) { expect_module(compile("empty_types"), "empty_types"); }

TEST_F(PutStrl5, WritesRenamingsAsActualSlashFormalPairs) { expect_module(compile("renamings"), "renamings"); }

TEST_F(PutStrl5, DeclaresConstantsWithTheirEsterelLiteral) { expect_module(compile("constants"), "constants"); }

TEST_F(PutStrl5, SpellsEveryTriggerOperatorAndEmptyActionTheEsterelWay) {
    expect_module(compile("spellings"), "spellings");
}

// One line per element that Esterel has no form for, and no module.
TEST_F(PutStrl5, RefusesWhatEsterelCannotSayOneLinePerProblem) {
    std::ofstream(dir / "out.strl") << "good module\n";
    EXPECT_EQ(compile("refused"), "good module\n");
    EXPECT_EQ(status, 0);
    String lines = slurp(fs::path(TESSAN_TEST_DATA) / "strl5" / "refused.err");
    for (std::size_t at; (at = lines.find("OUT")) != String::npos;)
        lines.replace(at, 3, (dir / "out.strl").string());
    EXPECT_EQ(diagnostics, lines);
    EXPECT_EQ(files_in_dir(), 3);  // the module kept, the chart and its trace
}

// Whatever the chart, tessan writes a module that Esterel accepts, or
// refuses the chart for a reason it names, with status 1 and no module; a
// chart drawn without flaw is always written.
TEST_F(PutStrl5, RandomChartsGiveAcceptedModulesOrAreRefusedForAReason) {
    const std::regex refusal(
        "ERROR in gal_tpen_fichier::put_strl5: (module|chart|type|function|constant|input|output|"
        "local|state|program|action|transition) .*: .*(Esterel|same name|declare|comparison|"
        "signal expression|signal name|signal pairs|carries no value|nested deeper|is empty).*: "
        "nothing written to .*");
    const std::regex warning("|WARNING: .*|Esterel code generation will be incomplete \\.\\.\\.");
    chart_generator::drawer draw(chart_generator::seed());
    int written = 0, refused = 0;
    for (int i = 0; i < chart_generator::charts(); ++i) {
        const chart_generator::generated g = draw.chart("g" + std::to_string(i));
        SCOPED_TRACE(g.text);
        test_files::spill((dir / "c.gal").string(), g.text);
        fs::remove(dir / "c.strl");
        const String command = "'" TESSAN_BINARY_DIR "/app/tessan' '" + (dir / "c.gal").string() +
                               "' > '" + (dir / "out").string() + "' 2> '" + (dir / "err").string() + "'";
        const int code = std::system(command.c_str());
        std::istringstream err(slurp(dir / "err"));
        const bool wrote = fs::exists(dir / "c.strl");
        for (String line; std::getline(err, line);)
            EXPECT_TRUE(std::regex_match(line, wrote ? warning : refusal)) << line;
        if (wrote) {
            ++written;
            EXPECT_EQ(code, 0);
            if (!esterel_check::checker().empty()) {
                ASSERT_EQ(esterel_check::refusal(slurp(dir / "c.strl")), "") << slurp(dir / "c.strl");
            }
        } else {
            ++refused;
            EXPECT_EQ(WEXITSTATUS(code), 1);
            EXPECT_TRUE(g.flawed) << slurp(dir / "err");
        }
    }
    std::cout << written << " charts written, " << refused << " refused\n";
    EXPECT_GT(written, refused);
    if (esterel_check::checker().empty())
        GTEST_SKIP() << "no Esterel checker (set ESTEREL_CHECK): modules not checked";
}

TEST_F(PutStrl5, NamesTheModuleAfterTheArgumentAndItsSignalsAfterTheChart) {
    const String text = write(*light_chart().build(), "other");
    EXPECT_EQ(text.substr(0, text.find('\n')), "module other : ");
    EXPECT_NE(text.find("   light_ctl0_terminate\n"), String::npos);
}

// Esterel's own types are never declared; bool is presence alone in models 0
// and 1, where a bool signal is written pure, and a type used without being
// declared is declared.
TEST_F(PutStrl5, DeclaresOnlyTheTypesEsterelLacksAndWritesBoolPureWhereItIsPresence) {
    struct row { int model; const char* types; const char* signal; };
    const row rows[] = {
        {basic_model, "type t, u;\n", ""},
        {par_automata_model, "type t, u;\n", ""},
        {light_esterel_model, "type bool, t, u;\n", ": bool"},
        {synccharts_model, "type bool, t, u;\n", ": bool"},
    };
    for (const row& r : rows) {
        chart_spec c;
        c.name = "k";
        c.model = r.model;
        c.types = {"boolean", "integer", "float", "double", "string", "bool", "t"};
        c.inputs = {var("i", "bool"), var("j", "u")};
        c.outputs = {var("o", "bool")};
        c.locals = {var("l", "bool")};
        const String text = write(*c.build());
        const String head = "module k : \n" + String(r.types) + "\ninput\ni" + r.signal +
                            ",\nj: u\n;\noutput\no" + r.signal + "\n;\nsignal \nl" + r.signal + "\nin \n";
        EXPECT_EQ(text.substr(0, head.size()), head) << "model " << r.model;
        EXPECT_ESTEREL_ACCEPTS(text, "model " + std::to_string(r.model));
    }
}

TEST_F(PutStrl5, NamesAnUnnamedStateByItsGeneratedName) {
    chart_spec c;
    c.name = "anon";
    c.states = {state("")};
    c.transitions = {trans(-1, 0, strong_trans, 0, "1")};
    auto chart = c.build();
    const String name = chart->ma_table_etats()[0].un_nom();
    ASSERT_EQ(name.size(), 16u);
    const String text = write(*chart);
    EXPECT_NE(text.find("  signal start_" + name + "\n"), String::npos);
    EXPECT_NE(text.find("        % handling star " + name + "\n"), String::npos);
}

TEST_F(PutStrl5, HaltingStateWritesNoLineForItsSuspensions) {
    chart_spec c;
    c.name = "h";
    c.states = {state("still")};
    c.transitions = {trans(-1, 0, strong_trans, 0, "1"), trans(-1, 0, suspend_trans, 0, "S")};
    const String text = write(*c.build());
    EXPECT_NE(text.find("        present start_still then\n"
                        "          halt\n"
                        "        else\n"),
              String::npos);
    EXPECT_EQ(text.find("suspend"), String::npos);
    EXPECT_EQ(text.find("when immediate S"), String::npos);
}

TEST_F(PutStrl5, GivesTheSameModuleWhateverTheOrderOfTheStatesLists) {
    auto chart = rows_chart().build();
    gal_tpen_etat* states = chart->ma_table_etats();
    for (int s = 0; s < chart->nbr_etats(); ++s) {
        const std::list<int> out = states[s].mes_transitions_post();
        const std::list<int> in = states[s].mes_transitions_pre();
        states[s].clear_pre_post_transitions();
        for (auto t = out.rbegin(); t != out.rend(); ++t) {
            states[s].add_post_transition(*t);
            states[s].add_post_transition(*t);
        }
        for (auto t = in.rbegin(); t != in.rend(); ++t) {
            states[s].add_pre_transition(*t);
            states[s].add_pre_transition(*t);
        }
    }
    EXPECT_EQ(write(*chart), expected("rows"));
}

// ---- Charts that are not written --------------------------------------------

TEST_F(PutStrl5, RefusesIndicesOutsideTheirTablesAndKeepsTheOldModule) {
    struct row { const char* what; void (*spoil)(chart_spec&); const char* fault; };
    const row rows[] = {
        {"target", [](chart_spec& c) { c.transitions.push_back(trans(0, 9, strong_trans, 0, "A")); },
         "transition 2 has target state 9, outside the 2 states"},
        {"transition action", [](chart_spec& c) { c.transitions.back().modif_actions({0, 4}); },
         "transition 1 has action 4, outside the 1 actions"},
        {"initial action", [](chart_spec& c) { c.transitions.front().modif_actions({-2}); },
         "transition 0 has action -2, outside the 1 actions"},
        {"state action", [](chart_spec& c) { c.states.back().add_action(1); },
         "state 1 (b) has action 1, outside the 1 actions"},
        {"program", [](chart_spec& c) { c.states.front() = state("a", {}, normal_star, gal_run_instance(3, "")); },
         "state 0 (a) runs program 3, outside the 1 external programs"},
    };
    for (const row& r : rows) {
        chart_spec c;
        c.name = "bad";
        c.runs = {program("p")};
        c.actions = {"O"};
        c.states = {state("a"), state("b")};
        c.transitions = {trans(-1, 0, strong_trans, 0, "1"), trans(0, 1, strong_trans, 0, "A")};
        r.spoil(c);
        std::ofstream(dir / "out.strl") << "good module\n";
        EXPECT_EQ(write(*c.build()), "good module\n") << r.what;
        EXPECT_EQ(status, 0) << r.what;
        EXPECT_EQ(diagnostics, "ERROR in gal_tpen_fichier::put_strl5: " + String(r.fault) +
                                   ": nothing written to " + (dir / "out.strl").string() + "\n");
        EXPECT_EQ(files_in_dir(), 1) << r.what;
    }
}

TEST_F(PutStrl5, ReportsAFileThatCannotBeWrittenAndLeavesNothingBehind) {
    auto chart = light_chart().build();
    const String missing = (dir / "no" / "such" / "x.strl").string();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(chart->put_strl5(missing, "light"), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "ERROR: cannot write " + missing + ": No such file or directory\n");

    // A directory in the module's place cannot be replaced by a file.
    fs::create_directory(dir / "out.strl");
    write(*chart);
    EXPECT_EQ(status, 0);
    EXPECT_NE(diagnostics.find("ERROR: cannot write " + (dir / "out.strl").string() + ": "),
              String::npos);
    EXPECT_TRUE(fs::is_directory(dir / "out.strl"));
    EXPECT_EQ(files_in_dir(), 1);
}

TEST_F(PutStrl5, ReplacesAModuleWholeAndKeepsItsMode) {
    std::ofstream(dir / "out.strl") << String(100000, 'x');
    ASSERT_EQ(chmod((dir / "out.strl").c_str(), 0640), 0);
    EXPECT_EQ(write(*light_chart().build()), expected("light"));
    EXPECT_EQ(fs::status(dir / "out.strl").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(files_in_dir(), 1);
}

TEST_F(PutStrl5, ReplacesTheModuleThatALinkPointsToAndKeepsTheLink) {
    fs::create_directory(dir / "real");
    std::ofstream(dir / "real" / "m.strl") << "old\n";
    fs::create_symlink("real/m.strl", dir / "out.strl");
    EXPECT_EQ(write(*light_chart().build()), expected("light"));
    EXPECT_TRUE(fs::is_symlink(dir / "out.strl"));
    EXPECT_EQ(slurp(dir / "real" / "m.strl"), expected("light"));
}

// ---- Special names and targets ---------------------------------------------------
//
// Every chart writer reaches the file system through writer_files.cpp.

using writer = int (gal_tpen_fichier::*)(const String&, const String&) const;

// A target that is no plain file is the user's: written into, never replaced,
// and a failed write is a failure. Devices only when root may make one.
// A link to a file that does not exist yet makes the file where it points.
TEST_F(PutStrl5, WritesIntoAnOutputThatIsNoPlainFileAndNeverReplacesIt) {
    auto chart = plain_chart().build();
    const String out = (dir / "out.strl").string(), node = (dir / "node").string();
    fs::create_symlink("real/new.strl", out);  // a link to nothing yet: the file is made there
    fs::create_directory(dir / "real");
    EXPECT_EQ(write(*chart), expected("plain"));
    EXPECT_TRUE(fs::is_symlink(out));
    fs::remove_all(dir / "real");
    fs::remove(out);
    ASSERT_EQ(mkfifo(out.c_str(), 0600), 0);
    String piped;
    std::thread reader([&] { piped = slurp(out); });
    EXPECT_EQ(chart->put_strl5(out, "plain"), 1);
    reader.join();
    EXPECT_EQ(piped, expected("plain"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(out)));
    fs::remove(out);
    using G = gal_tpen_fichier;
    // writer, device (7 full, 3 null), reached through a link
    const std::tuple<writer, unsigned, bool> rows[] = {{&G::put_strl5, 7, false}, {&G::put_strl5, 7, true},
                                                       {&G::put_le, 7, false},    {&G::put_xfig, 7, true},
                                                       {&G::put_inkscape, 7, false}, {&G::put_strl5, 3, false}};
    for (const auto& [put, minor, linked] : rows) {
        const String why_not = test_files::make_device(node, minor);
        if (!why_not.empty())
            GTEST_SKIP() << why_not;
        linked ? fs::create_symlink("node", out) : fs::rename(node, out);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(((*chart).*put)(out, "plain"), minor == 3 ? 1 : 0) << minor << linked;
        const String error = ::testing::internal::GetCapturedStderr();
        const String failure = minor == 3 ? "" : "ERROR: cannot write " + out + ": No space left on device\n";
        EXPECT_EQ(error.substr(error.size() - std::min(error.size(), failure.size())), failure);
        EXPECT_TRUE(test_files::is_device(linked ? node : out));
        EXPECT_EQ(files_in_dir(), linked ? 2 : 1);
        fs::remove(out);
        fs::remove(node);
    }
}

// The system would see such a name cut at the NUL: another file, or one that
// a link there points to. Nothing is opened.
TEST_F(PutStrl5, NameWithANulByteIsRefusedAndOpensNothing) {
    std::ofstream(dir / "important.txt") << String(32, 'i');
    fs::create_symlink("important.txt", dir / "link");
    for (const char* cut : {"important.txt", "link"}) {
        const String name = (dir / cut).string() + String(1, '\0') + ".strl";
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(plain_chart().build()->put_strl5(name, "plain"), 0) << cut;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "ERROR: cannot write " + name + ": the file name holds a NUL byte\n");
    }
    EXPECT_EQ(slurp(dir / "important.txt"), String(32, 'i'));
    EXPECT_EQ(files_in_dir(), 2);
}

// The temporary file must fit wherever the target's own name fits.
TEST_F(PutStrl5, WritesATargetWhateverTheLengthOfItsName) {
    auto chart = plain_chart().build();
    for (const std::size_t length : {244, 250, 255}) {
        const fs::path target = dir / (String(length - 5, 'x') + ".strl");
        EXPECT_EQ(chart->put_strl5(target.string(), "plain"), 1) << length;
        EXPECT_EQ(slurp(target), expected("plain")) << length;
    }
}

// A process stopped while it writes leaves the old file and no temporary one.
TEST_F(PutStrl5, StoppedBySignalLeavesTheOldFileAndNoTemporary) {
    std::ofstream(dir / "out.strl") << "old\n";
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            tessan_writers::replacing_file output((dir / "out.strl").string());
            output.stream() << String(100000, 'x') << std::flush;
            raise(signal_number);
            _exit(0);
        }
        int wait_status = 0;
        ASSERT_EQ(waitpid(child, &wait_status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(wait_status) && WTERMSIG(wait_status) == signal_number) << signal_number;
        EXPECT_EQ(files_in_dir(), 1) << signal_number;
        EXPECT_EQ(slurp(dir / "out.strl"), "old\n");
    }
}

// ---- Pieces -------------------------------------------------------------------

TEST(Strl5Recept, TranslatesTriggersToSignalExpressions) {
    const std::pair<const char*, const char*> cases[] = {
        {"A", "A"},
        {"#A", "immediate A"},
        {"<2> A and B", "[A and B]"},
        {"<other> B", "B"},
        {" 1 ", "tick"},
        {"not A", "[not A]"},
        {"NOT A", "[not A]"},
        {"A or B", "[A or B]"},
        {"A OR B", "[A or B]"},
        {"A AND B", "[A and B]"},
        {"1 or A", "[tick or A]"},
        {"A or (B and not C)", "[A or (B and not C)]"},
        {"[A or B] and C", "[(A or B) and C]"},
        {"!(A|B)", "[not (A or B)]"},
        {"0", "[not tick]"},
        {"", "tick"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strl5_recept(c.first), c.second) << c.first;
}

TEST(Strl5Recept, PutsImmediateOnceBeforeTheWholeExpression) {
    EXPECT_EQ(strl5_recept("#A and B"), "immediate [A and B]");
    EXPECT_EQ(strl5_recept("A and #B"), "immediate [A and B]");
    EXPECT_EQ(strl5_recept("<1> #not A"), "immediate [not A]");
    EXPECT_EQ(strl5_recept("#1"), "immediate tick");
    EXPECT_EQ(strl5_recept("#"), "immediate tick");
    EXPECT_EQ(strl5_recept_without_immediate("#S"), "S");
    EXPECT_EQ(strl5_recept_without_immediate("#A or B"), "[A or B]");
    EXPECT_EQ(strl5_recept_without_immediate("#A | B"), "[A or B]");
}

TEST(Strl5Recept, CutsOnlyALeadingPriority) {
    EXPECT_EQ(strl5_recept("  <3>V"), "V");
    EXPECT_EQ(strl5_recept("<default>#V & W"), "immediate [V and W]");
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
        for (std::size_t at; (at = trigger.find('*')) != String::npos;)
            trigger.replace(at, 1, " & ");  // the syntax checker's product, unknown to the parser
        if (trigger.empty())
            continue;
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

TEST(SortTransitionsList, PutsNoPriorityFirstThenRanksThenOtherAndIsStable) {
    gal_tpen_fichier chart;
    const int priorities[] = {-1, 0, 3, 3, 2, 1, 2, 0};
    for (int p : priorities)
        chart.add_fin_transition(trans(-1, -1, strong_trans, p, "A"));
    EXPECT_EQ(chart.sort_transitions_list({0, 1}), (std::list<int>{1, 0}));
    EXPECT_EQ(chart.sort_transitions_list({4, 5, 6}), (std::list<int>{5, 4, 6}));
    EXPECT_EQ(chart.sort_transitions_list({0, 2, 3, 4, 5, 6, 7, 1}),
              (std::list<int>{7, 1, 5, 4, 6, 2, 3, 0}));
    EXPECT_EQ(chart.sort_transitions_list({3}), (std::list<int>{3}));
}

TEST(Strl5Items, WritesAFunctionWithItsArgumentTypes) {
    std::ostringstream os;
    gal_declaration_functions("speed", "accel", {"speed", "integer"}).put_strl5(os);
    os << "|";
    gal_declaration_functions("integer", "zero", {}).put_strl5(os);
    EXPECT_EQ(os.str(), "accel(speed,integer): speed|zero(): integer");
}

TEST(Strl5Items, WritesAConstantWithALabelPerValue) {
    std::ostringstream os;
    constant("integer", "N", {{0, "3"}}).put_le(os);
    os << "|";
    constant("integer", "N", {{0, "3"}, {1, "3"}}).put_le(os);
    os << "|";
    constant("t", "K", {{5, "e"}, {3, "n"}, {2, "v"}, {4, "l"}, {1, "c"}}).put_le(os);
    os << "|";
    constant("t", "Q", {{0, "a\"b"}}).put_le(os);
    EXPECT_EQ(os.str(),
              "integer N := \"3\"|integer N :default= \"3\" :c= \"3\"|"
              "t K :c= \"c\" :vhdl= \"v\" :nusmv= \"n\" :lustre= \"l\" :esterel= \"e\"|"
              "t Q := \"a\"b\"");
}

TEST(Strl5Items, ReportsAConstantWithoutNameOrTypeAndWritesNothing) {
    std::ostringstream os;
    ::testing::internal::CaptureStderr();
    constant("integer", "", {{0, "3"}}).put_le(os);
    constant("", "N", {}).put_le(os);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "internal definition constant error: \"integer\",\"\"\n"
              "internal definition constant error: \"\",\"N\"\n");
    EXPECT_EQ(os.str(), "");
}

}  // namespace
