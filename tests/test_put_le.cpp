// The LE writer: whole modules read from chart files and compared with texts
// worked out by hand (tests/data/le/), then the items one by one, the
// warnings, and the charts that must not be written.
#include "chart/gal_norm.h"
#include "reader_files.h"
#include "writers/put_le.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace reader_files;

namespace {

// Warnings must reach standard error, not a modal window that nobody closes.
const bool no_display = [] { return unsetenv("DISPLAY") == 0; }();

String fixture(const String& name) { return slurp(String(TESSAN_TEST_DATA) + "/le/" + name); }

std::unique_ptr<gal_tpen_fichier> chart_of(const String& gal) {
    reading r = read_text(fixture(gal));
    EXPECT_NE(r.chart, nullptr) << r.err;
    return std::move(r.chart);
}

struct written_le {
    int status;
    String text;
    String err;
};

written_le write_le(const gal_tpen_fichier& chart, const String& module, String file = "") {
    if (file.empty())
        file = scratch_file("out.le");
    testing::internal::CaptureStderr();
    const int status = chart.put_le(file, module);
    const String err = testing::internal::GetCapturedStderr();
    return {status, slurp(file), err};
}

template <class Item, class... Tables>
String item(const Item& i, Tables... tables) {
    std::ostringstream os;
    i.put_le(os, tables...);
    return os.str();
}

gal_tpen_etat state(const String& name, double x = 0, double y = 0, int kind = normal_star,
                    const gal_run_instance& run = gal_run_instance(), std::list<int> actions = {}) {
    String n = name;
    return gal_tpen_etat(kind, &n, x, y, run, &actions);
}

gal_tpen_transition trans(int from, int to, int kind, int priority, const String& trigger,
                          std::list<int> actions = {}) {
    return gal_tpen_transition(from, to, kind, 0.5, 1.25, priority, trigger, actions);
}

const char* const suspend_warning =
    "Warning in  gal_tpen_transition::put_le(): a suspend transition is not exportable in le "
    "format ...\n";
const char* const one_automaton_warning =
    "WARNING: No initial transition found!\n\nle code generation will be incomplete ...\n";
const char* const several_automata_warning =
    "WARNING: No initial transition found about one of automata at least!\n\n"
    "le code generation will be incomplete ...\n";

}  // namespace

// ---- Whole modules ---------------------------------------------------------

TEST(PutLe, WritesDataBlockInterfaceAndOneAutomaton) {
    auto chart = chart_of("single.gal");
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(chart->nombre_SC(), 1);
    const written_le out = write_le(*chart, "single");
    EXPECT_EQ(out.status, 1);
    EXPECT_EQ(out.text, fixture("single.le"));
    EXPECT_EQ(out.err, "");
}

TEST(PutLe, WritesAMainModuleAndOneModulePerAutomatonWithTheNamesEachUses) {
    auto chart = chart_of("pair.gal");
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(chart->nombre_SC(), 2);
    const written_le out = write_le(*chart, "pair");
    EXPECT_EQ(out.status, 1);
    EXPECT_EQ(out.text, fixture("pair.le"));
    // The suspension of the second automaton, then that automaton's missing
    // initial transition, after its module.
    EXPECT_EQ(out.err, String(suspend_warning) + several_automata_warning);
}

TEST(PutLe, WritesNoDataBlockWithoutTypesFunctionsAndConstants) {
    gal_tpen_fichier chart;
    const written_le out = write_le(chart, "m");
    EXPECT_EQ(out.text, "module m : \nautomaton\n\ntransition:\nend\n\n");
    EXPECT_EQ(out.err, one_automaton_warning);
}

TEST(PutLe, WritesEveryTypeWhateverTheModelKind) {
    gal_tpen_fichier chart;
    chart.def_modele(basic_model);
    for (const char* type : {"bool", "integer", "boolean"})
        chart.add_type(type);
    const written_le out = write_le(chart, "m");
    EXPECT_EQ(out.text.substr(0, 40), "data:\nType: bool, integer, boolean;\nend ");
}

TEST(PutLe, WarnsForTheOnlyAutomatonWithoutInitialTransitionBeforeItsEnd) {
    gal_tpen_fichier chart;
    chart.def_modele(light_esterel_model);
    chart.add_fin_etat(state("a"));
    chart.add_fin_etat(state("b"));
    chart.add_fin_transition(trans(0, 1, strong_trans, 0, "x"));
    // A suspension from no state is no initial transition.
    chart.add_fin_transition(trans(-1, 1, suspend_trans, 0, "s"));
    const written_le out = write_le(chart, "m");
    EXPECT_EQ(out.err, String(suspend_warning) + one_automaton_warning);
    EXPECT_NE(out.text.find("initial->  [s]  -> b geometry: <0.5,1.25>; \nend\n\n"), String::npos);
}

// ---- Items -----------------------------------------------------------------

TEST(PutLeItems, DeclarationItems) {
    EXPECT_EQ(item(gal_declaration_variables("pure", "a")), "a");
    EXPECT_EQ(item(gal_declaration_variables("", "a")), "a: ");
    EXPECT_EQ(item(gal_declaration_variables("bool", "a")), "a: bool");
    EXPECT_EQ(item(gal_declaration_pres("pA", "A", "---")), "pA : A");
    EXPECT_EQ(item(gal_declaration_pres("pB", "B", "false")), "pB : B $ false");
    EXPECT_EQ(item(gal_declaration_progs("dir/x", "f.gal", "M", {}, {}, {})), "\"dir/x\": f.gal: M");
}

TEST(PutLeItems, StateNamesItselfByItsGeneratedNameWhenUnnamed) {
    const gal_tpen_etat s = state("", 1, 2);
    ASSERT_EQ(s.un_nom().size(), 16u);
    EXPECT_EQ(item(s, nullptr, nullptr), "state: " + s.un_nom() + " geometry: <1.0,2.0> 1.0;");
}

TEST(PutLeItems, FinalStateRunningAProgramWithActions) {
    const gal_declaration_progs progs[] = {gal_declaration_progs(".", "p", "P", {}, {}, {}),
                                           gal_declaration_progs(".", "m", "M", {}, {}, {})};
    const String actions[] = {"a", "b", "c"};
    EXPECT_EQ(item(state("s", -3, 0, final_star, gal_run_instance(1, "R\\x"), {0, 2}), progs, actions),
              "state: s final run M[R\\x] / a,c geometry: <-3.0,0.0> 1.0;");
    EXPECT_EQ(item(state("s", 0, 0, normal_star, gal_run_instance(0, "")), progs, actions),
              "state: s run P geometry: <0.0,0.0> 1.0;");
}

// One decimal point, whatever the coordinate: ".0" is appended only to whole
// numbers, where the default number form has none.
TEST(PutLeItems, StateCoordinatesCarryOneDecimalPoint) {
    EXPECT_EQ(item(state("s", 2.5, -0.25), nullptr, nullptr), "state: s geometry: <2.5,-0.25> 1.0;");
    EXPECT_EQ(item(state("s", 1234567, -0.0), nullptr, nullptr),
              "state: s geometry: <1234567.0,0.0> 1.0;");
}

TEST(PutLeItems, TransitionPriorityTriggerActionsAndArrow) {
    const gal_tpen_etat states[] = {state("A"), state("B")};
    const String actions[] = {"x", "y"};
    struct row { gal_tpen_transition t; const char* text; };
    const row rows[] = {
        {trans(0, 1, weak_trans, 0, "a"), "A  [a]  weak-> B geometry: <0.5,1.25>;"},
        {trans(0, 1, strong_trans, -1, "a", {1, 0}), "A other  [a] / y,x strong-> B geometry: <0.5,1.25>;"},
        {trans(0, 1, normalterm_trans, 2, ""), "A 2  []  normalterm-> B geometry: <0.5,1.25>;"},
        {trans(-1, 0, strong_trans, 0, "1"), "initial->  [1]  strong-> A geometry: <0.5,1.25>;"},
        {trans(0, -1, strong_trans, 0, "a", {0}), "final-> A  [a] / x geometry: <0.5,1.25>;"},
        {trans(-1, -1, strong_trans, 0, "a"), "initial-> final->  [a]  geometry: <0.5,1.25>;"},
    };
    for (const row& r : rows)
        EXPECT_EQ(item(r.t, states, actions), r.text);
}

TEST(PutLeItems, DataTestsAreMarkedAndTriggersKeptAsTheyStand) {
    const gal_tpen_etat states[] = {state("A"), state("B")};
    for (const char* data : {"#a", "v < 3", "v > 3", "v <= 3", "v >= 3", "v == 3", "v != 3", "<2> a"}) {
        EXPECT_EQ(data_LE_expression(data), 1) << data;
        EXPECT_EQ(item(trans(0, 1, weak_trans, 0, data), states, nullptr),
                  "A  [value:" + String(data) + "]  weak-> B geometry: <0.5,1.25>;");
    }
    for (const char* plain : {"a", "a and not b", "", "1", "v = 3"})
        EXPECT_EQ(data_LE_expression(plain), 0) << plain;
}

TEST(PutLeItems, SuspensionsAndAbnormalKindsWarn) {
    const gal_tpen_etat states[] = {state("A"), state("B")};
    testing::internal::CaptureStderr();
    EXPECT_EQ(item(trans(0, 1, suspend_trans, 0, "s"), states, nullptr),
              "A  [s]  -> B geometry: <0.5,1.25>;");
    EXPECT_EQ(item(trans(0, 1, 7, 0, "s"), states, nullptr), "A  [s]  ->B geometry: <0.5,1.25>;");
    // Without a target there is no arrow to warn about.
    EXPECT_EQ(item(trans(0, -1, suspend_trans, 0, "s"), states, nullptr),
              "final-> A  [s]  geometry: <0.5,1.25>;");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              String(suspend_warning) +
                  "Warning in  gal_tpen_transition::put_le(): found abnormal transition ...\n");
}

// ---- Interfaces of the automata --------------------------------------------

TEST(PutLe, AutomatonWithoutTransitionsGetsOnlyTheSignalsOfItsPrograms) {
    gal_tpen_fichier chart;
    chart.def_modele(light_esterel_model);
    chart.add_fin_input(gal_declaration_variables("pure", "i"));
    chart.add_fin_output(gal_declaration_variables("integer", "o"));
    chart.add_fin_pre(gal_declaration_pres("po", "o", "---"));
    chart.add_fin_progs_externes(gal_declaration_progs(
        ".", "p", "P", {gal_declaration_variables("bool", "in")}, {},
        {gal_declaration_variables("pure", "out")}));
    chart.add_fin_etat(state("a"));
    chart.add_fin_etat(state("b", 0, 0, normal_star, gal_run_instance(0, "o\\out")));
    chart.add_fin_transition(trans(-1, 0, strong_trans, 0, "i"));
    const written_le out = write_le(chart, "m");
    EXPECT_NE(out.text.find("module m_run0 : \nInput:\ni,\npo: integer;\n\nRun:"), String::npos);
    EXPECT_NE(out.text.find("module m_run1 : \nInput:\nin: bool;\n\nOutput:\no;\n\nRun:"),
              String::npos);
    EXPECT_EQ(out.err, several_automata_warning);
}

TEST(PutLe, FindsNamesAsWholeWordsOnly) {
    gal_tpen_fichier chart;
    chart.def_modele(light_esterel_model);
    for (const char* name : {"go", "g", "go_on", "x-y"})
        chart.add_fin_input(gal_declaration_variables("pure", name));
    chart.add_fin_etat(state("a"));
    chart.add_fin_etat(state("b"));
    chart.add_fin_transition(trans(-1, 0, strong_trans, 0, "go_on and (go or x-y) or ago"));
    chart.add_fin_transition(trans(-1, 1, strong_trans, 0, "1"));
    const written_le out = write_le(chart, "m");
    EXPECT_NE(out.text.find("module m_run0 : \nInput:\ngo,\ngo_on;\n\nautomaton"), String::npos)
        << out.text;
    EXPECT_NE(out.text.find("module m_run1 : \nautomaton"), String::npos);
}

// ---- Charts that are not written -------------------------------------------

TEST(PutLe, RefusesIndicesOutsideTheirTablesAndKeepsTheOldFile) {
    struct row { const char* what; void (*spoil)(gal_tpen_fichier&); const char* fault; };
    const row rows[] = {
        {"target", [](gal_tpen_fichier& c) { c.add_fin_transition(trans(0, 5, strong_trans, 0, "a")); },
         "transition 1 has target state 5, outside the 2 states"},
        {"source", [](gal_tpen_fichier& c) { c.add_fin_transition(trans(-2, 0, strong_trans, 0, "a")); },
         "transition 1 has source state -2, outside the 2 states"},
        {"transition action", [](gal_tpen_fichier& c) { c.ma_table_transitions()[0].modif_actions({3}); },
         "transition 0 has action 3, outside the 1 actions"},
        {"state action", [](gal_tpen_fichier& c) { c.ma_table_etats()[1].add_action(-1); },
         "state 1 (b) has action -1, outside the 1 actions"},
        {"program", [](gal_tpen_fichier& c) { c.add_fin_etat(state("c", 0, 0, normal_star, gal_run_instance(2, ""))); },
         "state 2 (c) runs program 2, outside the 0 external programs"},
    };
    for (const row& r : rows) {
        gal_tpen_fichier chart;
        chart.def_modele(light_esterel_model);
        chart.add_fin_action("o");
        chart.add_fin_etat(state("a"));
        chart.add_fin_etat(state("b"));
        chart.add_fin_transition(trans(-1, 0, strong_trans, 0, "1"));
        r.spoil(chart);
        const String file = scratch_file("kept.le");
        spill(file, "good module\n");
        const written_le out = write_le(chart, "m", file);
        EXPECT_EQ(out.status, 0) << r.what;
        EXPECT_EQ(out.text, "good module\n") << r.what;
        EXPECT_EQ(out.err, "ERROR in gal_tpen_fichier::put_le: " + String(r.fault) +
                               ": nothing written to " + file + "\n");
    }
}

TEST(PutLe, ReportsAFileThatCannotBeWritten) {
    gal_tpen_fichier chart;
    const String file = scratch_file("missing") + "/x.le";
    const written_le out = write_le(chart, "m", file);
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.err, "ERROR: cannot write " + file + ": No such file or directory\n");
}
