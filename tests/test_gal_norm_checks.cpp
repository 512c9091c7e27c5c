// The chart's checks: the syntax of a trigger, the determinism and
// completeness of each state's triggers (and the completion of a chart with
// self-loops), the coherence of the declarations, and the ports of external
// programs against their own charts. Charts are fixtures in
// tests/data/checks, each expected report beside its chart.
#include <gtest/gtest.h>

#include "tests/test_files.h"
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "bdd/bddpp.h"
#include "buddy_ref.h"
#include "chart/gal_norm.h"
#include "reader/parse_gal.h"

namespace {

using test_files::slurp;

namespace fs = std::filesystem;

// The fixtures, copied once into a scratch folder removed when the program
// ends: parse() writes a trace file beside each chart it reads, and external
// programs are named by paths from the current folder.
const fs::path& fixtures() {
  static const fs::path dir = [] {
    char pattern[] = "/tmp/tessan-checks-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) return fs::path();
    const fs::path copy = fs::path(made) / "checks";
    fs::copy(fs::path(TESSAN_TEST_DATA) / "checks", copy, fs::copy_options::recursive);
    return copy;
  }();
  static const struct cleanup {
    ~cleanup() {
      std::error_code ignored;
      if (!dir.empty()) fs::remove_all(dir.parent_path(), ignored);
    }
  } at_exit;
  return dir;
}

String expected(const String& name) { return slurp(fixtures() / name); }

// The current folder for one scope.
class in_folder {
 public:
  explicit in_folder(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
  ~in_folder() { fs::current_path(old_); }

 private:
  fs::path old_;
};

// A fixture chart; the reader's messages are kept off the test's output.
std::unique_ptr<gal_tpen_fichier> read_chart(const String& name) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  std::unique_ptr<gal_tpen_fichier> chart(parse((fixtures() / name).string()));
  testing::internal::GetCapturedStderr();
  testing::internal::GetCapturedStdout();
  EXPECT_NE(chart, nullptr) << name;
  return chart;
}

struct findings {
  int result;
  String report;  // the report, or for the completion what went to stderr
};

findings determinism(const gal_tpen_fichier& chart) {
  findings f{};
  testing::internal::CaptureStderr();  // the expression parser's own diagnostics
  f.result = chart.test_determinisme(f.report);
  testing::internal::GetCapturedStderr();
  return f;
}

findings completion(gal_tpen_fichier& chart) {
  findings f{};
  testing::internal::CaptureStderr();
  f.result = chart.test_determinisme_avec_auto_completion();
  f.report = testing::internal::GetCapturedStderr();
  return f;
}

// The fixture chart <stem>.gal has findings, those of <stem>.determinism.txt.
void expect_determinism_findings(const String& stem) {
  const auto chart = read_chart(stem + ".gal");
  const findings f = determinism(*chart);
  EXPECT_EQ(f.result, 0) << stem;
  EXPECT_EQ(f.report, expected(stem + ".determinism.txt")) << stem;
}

int valid(const gal_tpen_fichier& chart, const String& e) {
  testing::internal::CaptureStderr();  // the syntax checker's token trace
  const int r = chart.expression_valide(e);
  testing::internal::GetCapturedStderr();
  return r;
}

// A chart built in code: one input per name, states s0, s1, ... at (4i, 0).
gal_tpen_fichier chart_of(int model, const std::vector<String>& inputs, int states) {
  gal_tpen_fichier chart;
  chart.def_modele(model);
  for (const String& name : inputs) chart.add_fin_input(gal_declaration_variables("pure", name));
  for (int i = 0; i < states; ++i) {
    String name = "s" + std::to_string(i);
    chart.add_fin_etat(gal_tpen_etat(1, &name, 4.0 * i, 0.0, gal_run_instance(), nullptr));
  }
  return chart;
}

void add_arrow(gal_tpen_fichier& chart, int from, int to, int priority, const String& trigger) {
  chart.add_fin_transition(
      gal_tpen_transition(from, to, strong_trans, 0.0, 0.0, priority, trigger, {}));
}

// The transitions appended after the first `before`.
std::vector<gal_tpen_transition> added(const gal_tpen_fichier& chart, int before) {
  const gal_tpen_transition* t = chart.ma_table_transitions();
  return std::vector<gal_tpen_transition>(t + before, t + chart.nbr_transitions());
}

void expect_self_loop(const gal_tpen_transition& t, int state, const String& trigger,
                      std::list<double> points) {
  EXPECT_EQ(t.mon_ident_etat_amont(), state);
  EXPECT_EQ(t.mon_ident_etat_aval(), state);
  EXPECT_EQ(t.ma_receptivite(), trigger);
  EXPECT_EQ(t.liste_positions(), points);
  EXPECT_EQ(t.mon_type_trans(), strong_trans);
  EXPECT_EQ(t.ma_priorite(), 0);
  EXPECT_TRUE(t.mes_actions().empty());
}

int count_of(const String& text, const String& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != String::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// ---- Syntax of one trigger -----------------------------------------------------

TEST(ExpressionValide, AcceptsDeclaredNamesConstantsNumbersOperatorsAndBrackets) {
  gal_tpen_fichier chart = chart_of(basic_model, {"a", "b"}, 0);
  chart.add_fin_local(gal_declaration_variables("pure", "l"));
  chart.add_fin_pre(gal_declaration_pres("pa", "a", "---"));
  for (const char* e : {"a", "a and b", "a AND b or NOT b", "not a", "(a or b)",
                        "[ a ] + l * ! pa", "a and 3", "a > -2.5", "1", "0", "tick", "pa"})
    EXPECT_EQ(valid(chart, e), 1) << e;
}

TEST(ExpressionValide, RefusesUndeclaredNamesAndBrokenTexts) {
  gal_tpen_fichier chart = chart_of(basic_model, {"a", "b"}, 0);
  chart.add_fin_output(gal_declaration_variables("pure", "o"));
  for (const char* e : {"a and c", "o", "a and", "(a", "a )", "a b", "", "and a"})
    EXPECT_EQ(valid(chart, e), 0) << e;
}

// ---- Determinism and completeness ----------------------------------------------

TEST(Determinism, UndefinedModelIsReportedAndLeftAlone) {
  gal_tpen_fichier chart = chart_of(undefined_model, {"a"}, 1);
  add_arrow(chart, 0, 0, 0, "a");
  String report = "old";
  EXPECT_EQ(chart.test_determinisme(report), 0);
  EXPECT_EQ(report, "Automaton Model undefined ...");
  const findings f = completion(chart);
  EXPECT_EQ(f.result, 1);
  EXPECT_EQ(f.report, "");
  EXPECT_EQ(chart.nbr_transitions(), 1);
}

TEST(Determinism, CompleteAndExclusiveTriggersGiveNothing) {
  gal_tpen_fichier chart = chart_of(basic_model, {"a", "b"}, 2);
  add_arrow(chart, 0, 1, 0, "a and b");
  add_arrow(chart, 0, 1, 0, "not a");
  add_arrow(chart, 0, 0, 0, "a and not b");
  add_arrow(chart, 1, 0, 0, "1");
  String report = "old";
  EXPECT_EQ(chart.test_determinisme(report), 1);
  EXPECT_EQ(report, "");
}

TEST(Determinism, ReportsUncoveredCasesThenOverlaps) {
  expect_determinism_findings("two_signals");  // s1 has no transition
}

TEST(Determinism, LowerRanksNarrowHigherOnes) {
  expect_determinism_findings("two_signals_ranked");
}

// s0: "a" unranked beside "a" of rank 1, no overlap; s1: "b" of rank 1, then
// "a" and "a or b" both "other", which share the last rank and meet.
TEST(Determinism, UnrankedComesFirstAndOthersShareTheLastRank) {
  expect_determinism_findings("ranks");
}

TEST(Determinism, OverlapsComePairByPairInTransitionOrder) {
  expect_determinism_findings("many_overlaps");
}

// Literals are named in the order inputs, locals, pre names, whatever the
// trigger's own order. An empty trigger is a parse error even after a trigger
// that parsed, as are "/", unbalanced brackets, outputs, tick and "#".
TEST(Determinism, TriggersThatDoNotParseAreReportedAndLeftOut) {
  expect_determinism_findings("parse_errors");
}

// A "<" rank ">" prefix belongs to the completion; here the transition's
// priority field ranks, and a prefixed trigger is refused rather than taken
// as a guard that never holds.
TEST(Determinism, RankPrefixInTriggerIsAParseError) {
  expect_determinism_findings("prefixed");
}

// A sum of products as the checks write it, in BuDDy over the variables
// named in order; each cube also alone.
struct buddy_cover {
  int sum;
  std::vector<int> cubes;
};

buddy_cover buddy_of_text(const String& text, const std::vector<String>& names) {
  buddy_cover r{buddy_false(), {}};
  for (std::size_t from = 0;;) {
    const std::size_t to = text.find(" or ", from);
    std::istringstream words(text.substr(from, to == String::npos ? String::npos : to - from));
    int cube = buddy_true();
    bool negated = false;
    for (String w; words >> w;) {
      if (w == "and") continue;
      if (w == "not") {
        negated = true;
        continue;
      }
      const int v = static_cast<int>(std::find(names.begin(), names.end(), w) - names.begin());
      const int literal = negated ? buddy_nvar(v) : buddy_var(v);
      const int next = buddy_and(cube, literal);
      buddy_release(cube);
      cube = next;
      negated = false;
    }
    const int sum = buddy_or(r.sum, cube);
    buddy_release(r.sum);
    r.sum = sum;
    r.cubes.push_back(cube);
    if (to == String::npos) return r;
    from = to + 4;
  }
}

// s0 leaves (a0 or b0) and not ((a1 or b1) and ... (a11 or b11)) uncovered,
// whose implicant tree has millions of leaves: its finding is the prime and
// irredundant cover. s1's findings are small and keep their level-2 text.
TEST(Determinism, FindingsPastTheWorkBudgetArePrimeIrredundantCovers) {
  expect_determinism_findings("over_budget");
  const auto chart = read_chart("over_budget.gal");
  const String report = determinism(*chart).report;
  const String opening = "behavior not defined when ";
  const std::size_t at = report.find(opening) + opening.size();
  const String text = report.substr(at, report.find('\n', at) - at);

  std::vector<String> names;
  for (int i = 0; i < 12; ++i)
    for (const char* stem : {"a", "b"}) names.push_back(stem + std::to_string(i));
  buddy_open(static_cast<int>(names.size()), 100000, 10000);
  int all_pairs = buddy_true();  // (a1 or b1) and ... and (a11 or b11)
  for (int i = 1; i < 12; ++i) {
    const int pair = buddy_or(buddy_var(2 * i), buddy_var(2 * i + 1));
    const int next = buddy_and(all_pairs, pair);
    buddy_release(pair);
    buddy_release(all_pairs);
    all_pairs = next;
  }
  const int first_pair = buddy_or(buddy_var(0), buddy_var(1));
  const int not_all = buddy_not(all_pairs);
  const int uncovered = buddy_and(first_pair, not_all);
  const buddy_cover cover = buddy_of_text(text, names);
  EXPECT_EQ(cover.sum, uncovered) << text;
  for (std::size_t k = 0; k < cover.cubes.size(); ++k) {
    for (int v = 0; v < static_cast<int>(names.size()); ++v) {  // prime: no literal can go
      const int wider = buddy_exist(cover.cubes[k], v);
      if (wider == cover.cubes[k]) {
        buddy_release(wider);
        continue;
      }
      const int outside = buddy_and(wider, buddy_not(uncovered));
      EXPECT_NE(outside, buddy_false()) << "cube " << k << " without variable " << v;
      buddy_release(outside);
      buddy_release(wider);
    }
    int others = buddy_false();  // irredundant: no cube can go
    for (std::size_t j = 0; j < cover.cubes.size(); ++j) {
      if (j == k) continue;
      const int next = buddy_or(others, cover.cubes[j]);
      buddy_release(others);
      others = next;
    }
    EXPECT_NE(others, uncovered) << "cube " << k;
    buddy_release(others);
  }
  buddy_close();
}

TEST(Determinism, OnlyBasicAndParallelModelsAskForCompleteness) {
  const auto chart = read_chart("two_signals.gal");
  const String overlap = "ERROR: in state s0 :\n  several behaviors possible when a and b\n\n";
  for (int model : {light_esterel_model, synccharts_model}) {
    chart->def_modele(model);
    EXPECT_EQ(determinism(*chart).report, overlap) << model;
  }
  chart->def_modele(par_automata_model);
  EXPECT_EQ(determinism(*chart).report, expected("two_signals.determinism.txt"));
}

TEST(Determinism, ReportIsEmptiedFirst) {
  const auto chart = read_chart("two_signals_ranked.gal");
  String report = "left over";
  chart->test_determinisme(report);
  EXPECT_EQ(report.find("left over"), String::npos);
}

// Random guards over four signals, with random ranks, against a truth-table
// reading of the rules: a guard gives way to every guard of a lower rank
// from 0 up ("other" ranking last), and every pair that still meets is one
// finding.
TEST(Determinism, FindingsAgreeWithTruthTables) {
  const std::vector<String> names = {"a", "b", "c", "d"};
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    const int n = 25;
    gal_tpen_fichier chart = chart_of(basic_model, names, 2);
    std::vector<unsigned> table(n);  // bit v: the guard holds for assignment v
    std::vector<int> rank(n);
    for (int k = 0; k < n; ++k) {
      const int x = static_cast<int>(random() % 4), y = static_cast<int>(random() % 4);
      const bool nx = random() % 2, ny = random() % 2, both = random() % 3 != 0;
      rank[k] = static_cast<int>(random() % 5) - 1;
      String trigger = String(nx ? "not " : "") + names[x] + (both ? " and " : " or ") +
                       (ny ? "not " : "") + names[y];
      add_arrow(chart, 0, 1, rank[k], trigger);
      for (unsigned v = 0; v < 16; ++v) {
        const bool vx = ((v >> x) & 1) != nx, vy = ((v >> y) & 1) != ny;
        if (both ? vx && vy : vx || vy) table[k] |= 1u << v;
      }
    }
    int largest = 0;
    for (int r : rank) largest = std::max(largest, r);
    std::vector<unsigned> e(table);
    for (int k = 0; k < n; ++k) {
      const int rk = rank[k] == -1 ? largest + 1 : rank[k];
      for (int j = 0; j < n; ++j) {
        const int rj = rank[j] == -1 ? largest + 1 : rank[j];
        if (0 <= rj && rj < rk) e[k] &= ~table[j];
      }
    }
    int overlaps = 0;
    unsigned all = 0;
    for (int k = 0; k < n; ++k) {
      all |= e[k];
      for (int j = k + 1; j < n; ++j) overlaps += (e[k] & e[j]) != 0;
    }
    const findings f = determinism(chart);
    EXPECT_EQ(count_of(f.report, "several behaviors possible"), overlaps) << round;
    EXPECT_EQ(count_of(f.report, "behavior not defined"), all != 0xffffu ? 1 : 0) << round;
    EXPECT_EQ(f.result, overlaps == 0 && all == 0xffffu ? 1 : 0) << round;
  }
}

// Enough states with triggers of their own over 30 signals that the BDD
// nodes of the states already checked are collected on the way. State i has
// F_i, a conjunction of (x or not y) clauses, "not (F_i)", and the cube of
// the x's of F_i, which meets F_i alone: one finding naming that cube.
TEST(Determinism, ManyStatesWithTriggersOfTheirOwnAreEachChecked) {
  std::vector<String> names;
  for (int j = 0; j < 30; ++j) names.push_back("x" + std::to_string(j));
  const int states = 1500;
  gal_tpen_fichier chart = chart_of(basic_model, names, states);
  std::mt19937 random(3);
  String expected_report;
  for (int i = 0; i < states; ++i) {
    String f;
    std::vector<bool> in_cube(30, false);
    for (int c = 0; c < 8; ++c) {
      const int x = static_cast<int>(random() % 30), y = static_cast<int>(random() % 30);
      f += String(c ? " and " : "") + "(" + names[x] + " or not " + names[y] + ")";
      in_cube[x] = true;
    }
    String cube;
    for (int j = 0; j < 30; ++j)
      if (in_cube[j]) cube += (cube.empty() ? "" : " and ") + names[j];
    add_arrow(chart, i, (i + 1) % states, 0, f);
    add_arrow(chart, i, i, 0, "not (" + f + ")");
    add_arrow(chart, i, i, 0, cube);
    expected_report += "ERROR: in state s" + std::to_string(i) +
                       " :\n  several behaviors possible when " + cube + "\n\n";
  }
  const findings f = determinism(chart);
  EXPECT_EQ(f.result, 0);
  EXPECT_EQ(f.report, expected_report);
}

// ---- Completion with self-loops ----------------------------------------------

TEST(Completion, EachStateGetsASelfLoopOfExactlyItsUncoveredCases) {
  const auto chart = read_chart("two_signals.gal");
  const int before = chart->nbr_transitions();
  const findings f = completion(*chart);
  EXPECT_EQ(f.result, 0);
  EXPECT_EQ(f.report, "ERROR: in state s0 :\n  several behaviors possible when a and b\n\n");
  const std::vector<gal_tpen_transition> loops = added(*chart, before);
  ASSERT_EQ(loops.size(), 2u);
  // Two points at the state's right, a diameter (1 in this model) away.
  expect_self_loop(loops[0], 0, "not a and not b", {1, 1, 1, -1});
  expect_self_loop(loops[1], 1, "1", {5, 1, 5, -1});
  const std::list<int> out0 = chart->ma_table_etats()[0].mes_transitions_post();
  EXPECT_EQ(out0.back(), before);
  EXPECT_EQ(chart->ma_table_etats()[1].mes_transitions_pre().back(), before + 1);
}

TEST(Completion, CompletedChartHasNoUncoveredCase) {
  const auto chart = read_chart("two_signals.gal");
  completion(*chart);
  const int after = chart->nbr_transitions();
  EXPECT_EQ(determinism(*chart).report,
            "ERROR: in state s0 :\n  several behaviors possible when a and b\n\n");
  completion(*chart);
  EXPECT_EQ(chart->nbr_transitions(), after);
}

// Priorities are read inside the trigger text ("<1> a" ...), and a
// transition without one neither narrows nor is narrowed: "a and b" meets
// "<1> a", while "<2> a or b" gives way to it and "<other> b" to both.
TEST(Completion, RanksComeFromTheTriggerText) {
  const auto chart = read_chart("prefixed.gal");
  const int before = chart->nbr_transitions();
  const findings f = completion(*chart);
  EXPECT_EQ(f.result, 0);
  EXPECT_EQ(f.report, "ERROR: in state s0 :\n  several behaviors possible when a and b\n\n");
  const std::vector<gal_tpen_transition> loops = added(*chart, before);
  ASSERT_EQ(loops.size(), 2u);
  expect_self_loop(loops[0], 0, "not a and not b", {1, 1, 1, -1});
  expect_self_loop(loops[1], 1, "1", {5, 1, 5, -1});
}

// The fixture's priority fields are not read here: every trigger is unranked.
TEST(Completion, UnrankedTriggersAllMeetInEveryModel) {
  const auto chart = read_chart("ranks.gal");
  const int before = chart->nbr_transitions();
  const findings f = completion(*chart);
  EXPECT_EQ(f.result, 0);
  EXPECT_EQ(f.report, expected("ranks.completion.txt"));
  const std::vector<gal_tpen_transition> loops = added(*chart, before);
  ASSERT_EQ(loops.size(), 3u);
  EXPECT_EQ(loops[0].ma_receptivite(), "not a");
  EXPECT_EQ(loops[1].ma_receptivite(), "not a and not b");
  EXPECT_EQ(loops[2].ma_receptivite(), "1");
}

// s0 keeps the guards that parsed and is completed by their complement; s1,
// none of whose triggers parse, and the final state s2 without transitions
// get a loop on "1".
TEST(Completion, StatesWithoutUsableTransitionsLoopOnTrue) {
  const auto chart = read_chart("parse_errors.gal");
  const int before = chart->nbr_transitions();
  const findings f = completion(*chart);
  EXPECT_EQ(f.result, 0);
  EXPECT_NE(f.report.find("PARSING ERROR about transition :\n"), String::npos);
  EXPECT_NE(f.report.find("PARSING ERROR about transition :x\n"), String::npos);
  const std::vector<gal_tpen_transition> loops = added(*chart, before);
  ASSERT_EQ(loops.size(), 3u);
  EXPECT_EQ(loops[1].ma_receptivite(), "1");
  EXPECT_EQ(loops[1].mon_ident_etat_amont(), 1);
  expect_self_loop(loops[2], 2, "1", {9, 1, 9, -1});

  bddpp_manager m;
  {
    for (const char* v : {"a", "l", "pa"}) m.New_var_last(v);
    int status = 1;
    testing::internal::CaptureStderr();
    const bdd loop = m.Parse_expression(loops[0].ma_receptivite(), &status);
    const bdd uncovered = m.Parse_expression("not (a or pa and l)", &status);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(loops[0].mon_ident_etat_amont(), 0);
    EXPECT_TRUE(m.Bdd_equiv(loop, uncovered)) << loops[0].ma_receptivite();
  }
}

// ---- Declarations ------------------------------------------------------------------

TEST(Declarations, NamesInTwoTablesAndIncoherentPresAreReported) {
  const auto chart = read_chart("declarations.gal");
  String report = "old";
  EXPECT_EQ(chart->test_exclusion_ES_et_coherence_type_definition_pre(report), 0);
  EXPECT_EQ(report, expected("declarations.expected.txt"));
}

TEST(Declarations, CoherentChartGivesNothing) {
  const auto chart = read_chart("two_signals.gal");
  String report = "old";
  EXPECT_EQ(chart->test_exclusion_ES_et_coherence_type_definition_pre(report), 1);
  EXPECT_EQ(report, "");
}

TEST(Declarations, UndefinedModelIsNotChecked) {
  gal_tpen_fichier chart = chart_of(undefined_model, {"a"}, 0);
  chart.add_fin_output(gal_declaration_variables("pure", "a"));
  String report = "old";
  EXPECT_EQ(chart.test_exclusion_ES_et_coherence_type_definition_pre(report), 1);
  EXPECT_EQ(report, "");
}

// Every element of the second table that bears the name is one finding;
// names repeated within one table are not.
TEST(Declarations, EachClashingElementIsOneFinding) {
  gal_tpen_fichier chart = chart_of(basic_model, {"a", "a"}, 0);
  chart.add_fin_output(gal_declaration_variables("pure", "a"));
  chart.add_fin_output(gal_declaration_variables("pure", "a"));
  String report;
  EXPECT_EQ(chart.test_exclusion_ES_et_coherence_type_definition_pre(report), 0);
  EXPECT_EQ(count_of(report, "\nSignal \"a\" is defined as input and output"), 4);
  EXPECT_EQ(count_of(report, "\n"), 4);
}

// ---- External programs ---------------------------------------------------------------

// counter matches; typed differs in a type and has an extra output; silent
// declares no inputs; absent has no file; here sits in the current folder
// (its run gives an empty path) and matches.
TEST(ExternalPrograms, RunPortsAreComparedWithTheProgramsCharts) {
  const auto chart = read_chart("runner.gal");
  const in_folder here(fixtures());
  String report = "old";
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int result = chart->test_external_progs_io(report);
  testing::internal::GetCapturedStderr();
  const String out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(report, expected("runner.expected.txt"));
  EXPECT_NE(out.find("reading here.gal"), String::npos);
}

// Program files that are no plain file are not read: a device never ends and a
// pipe without writer never opens. A path holding a NUL byte would name the
// file before it, which the trace would empty.
TEST(ExternalPrograms, OnlyPlainFilesAreRead) {
  const auto chart = read_chart("special_runs.gal");
  char pattern[] = "/tmp/tessan-special-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path dir = pattern;
  test_files::spill(dir / "important.txt", String(32, 'i'));
  ASSERT_EQ(mkfifo((dir / "fifo.gal").c_str(), 0600), 0);
  test_files::make_device(dir / "zero.gal", 5);  // absent without root: not found either
  String report;
  {
    const in_folder here(dir);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(chart->test_external_progs_io(report), 0);
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
  }
  EXPECT_EQ(report, expected("special_runs.expected.txt"));
  EXPECT_EQ(slurp(dir / "important.txt"), String(32, 'i'));
  fs::remove_all(dir);
}

TEST(ExternalPrograms, ChartWithoutProgramsGivesNothing) {
  const auto chart = read_chart("two_signals.gal");
  String report = "old";
  EXPECT_EQ(chart->test_external_progs_io(report), 1);
  EXPECT_EQ(report, "");
}

TEST(ExternalPrograms, UndefinedModelIsReported) {
  gal_tpen_fichier chart;
  String report;
  EXPECT_EQ(chart.test_external_progs_io(report), 0);
  EXPECT_EQ(report, "Automaton Model undefined ...");
}

}  // namespace
