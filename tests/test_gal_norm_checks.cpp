// The chart's checks: the syntax of a trigger, the determinism and completeness
// of each state's triggers (and the completion with self-loops), the coherence
// of the declarations, the ports of external programs against their own charts.
// Charts are fixtures in tests/data/checks, each expected report beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "chart_support.h"
#include "cover_oracle.h"
#include "reader_files.h"

namespace {

namespace fs = std::filesystem;

// The fixtures, copied once into a scratch folder: parse() writes a trace
// beside each chart it reads, and external programs are named by paths from
// the current folder.
const fs::path& fixtures() {
  static const fs::path dir = [] {
    const fs::path copy = reader_files::scratch_file("checks");
    fs::copy(fs::path(TESSAN_TEST_DATA) / "checks", copy, fs::copy_options::recursive);
    return copy;
  }();
  return dir;
}

std::unique_ptr<gal_tpen_fichier> checked_chart(const String& stem) {
  return reader_files::read_file((fixtures() / (stem + ".gal")).string()).chart;
}

using check = int (gal_tpen_fichier::*)(String&) const;
const check determinism = &gal_tpen_fichier::test_determinisme;
const check declarations = &gal_tpen_fichier::test_exclusion_ES_et_coherence_type_definition_pre;
const check programs = &gal_tpen_fichier::test_external_progs_io;

// "result <what the check gave>" and its report, with the parsers' and the
// reader's messages kept off the test's output; the report is filled first,
// to show that it is emptied.
String run(const gal_tpen_fichier& chart, check c) {
  String report = "left over";
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int result = (chart.*c)(report);
  testing::internal::GetCapturedStderr();
  testing::internal::GetCapturedStdout();
  return "result " + std::to_string(result) + "\n" + report;
}

// What the completion says, the self-loops it adds, the findings of the
// completed chart, and how many transitions completing it again adds.
String completed(gal_tpen_fichier& chart) {
  const int before = chart.nbr_transitions();
  std::ostringstream out;
  testing::internal::CaptureStderr();
  out << "result " << chart.test_determinisme_avec_auto_completion() << "\n";
  out << testing::internal::GetCapturedStderr();
  for (int k = before; k < chart.nbr_transitions(); ++k) {
    const gal_tpen_transition& t = chart.ma_table_transitions()[k];
    out << t.mon_ident_etat_amont() << " -> " << t.mon_ident_etat_aval() << " type " << t.mon_type_trans()
        << " rank " << t.ma_priorite() << " actions " << t.mes_actions().size() << " \"" << t.ma_receptivite()
        << "\" at";
    for (double p : t.liste_positions()) out << ' ' << p;
    out << "\n";
  }
  expect_lists_match(chart);
  out << "completed: " << run(chart, determinism);
  const int after = chart.nbr_transitions();
  testing::internal::CaptureStderr();
  chart.test_determinisme_avec_auto_completion();
  testing::internal::GetCapturedStderr();
  return out.str() + "again: " + std::to_string(chart.nbr_transitions() - after) + "\n";
}

}  // namespace

// The fixture declares input a, output o, local l and pre name pa.
TEST(ChartChecks, TriggerSyntax) {
  const auto chart = checked_chart("parse_errors");
  const std::pair<const char*, int> cases[] = {
      {"a", 1}, {"a and l", 1}, {"a AND l or NOT l", 1}, {"not a", 1}, {"(a or l)", 1}, {"pa", 1},
      {"a and 3", 1}, {"[ a ] + l * ! pa", 1}, {"1 OR 0 or tick", 1}, {"a > -2.5 or a < 2", 1},
      {"a and c", 0}, {"o", 0}, {"a and", 0}, {"(a", 0}, {"a )", 0}, {"a l", 0}, {"", 0}, {"and a", 0}};
  for (const auto& [e, valid] : cases) {
    testing::internal::CaptureStderr();  // the syntax checker's token trace
    EXPECT_EQ(chart->expression_valide(e), valid) << e;
    testing::internal::GetCapturedStderr();
  }
}

// Each fixture chart's result and report from one check, in <chart>.<check>.txt.
// Determinism: uncovered cases first; lower ranks narrow higher ones ("other"
// last); overlaps pair by pair; literals as inputs, locals, pre names; triggers
// that do not parse (even empty after one that did, "/", brackets, outputs,
// tick, "#", a "<" rank ">" prefix) left out; only basic and parallel models
// ask for completeness; collected's triggers make enough nodes that those of
// checked states are collected. Completion ranks by the trigger text ("<1> a"),
// unranked neither narrows nor is narrowed. Each kind of declaration finding
// fails alone. Programs: typed differs in a type and has an extra output,
// silent declares no inputs, absent has no file, here is in the current folder.
TEST(ChartChecks, ReportsOfFixtureCharts) {
  const std::map<String, std::function<String(gal_tpen_fichier&)>> checks = {
      {"determinism", [](gal_tpen_fichier& c) { return run(c, determinism); }},
      {"declarations", [](gal_tpen_fichier& c) { return run(c, declarations); }},
      {"programs", [](gal_tpen_fichier& c) { return run(c, programs); }},
      {"completion", completed}};
  fs::current_path(fixtures());  // where the programs' paths start
  for (const String name :
       {"two_signals.determinism", "two_signals_sync.determinism", "two_signals_ranked.determinism",
        "ranks.determinism", "many_overlaps.determinism", "parse_errors.determinism", "prefixed.determinism",
        "over_budget.determinism", "complete.determinism", "collected.determinism", "two_signals.completion",
        "prefixed.completion", "ranks.completion", "parse_errors.completion", "declarations.declarations",
        "clash.declarations", "pure_pre.declarations", "undefined_constant.declarations",
        "mistyped_pre.declarations", "two_signals.declarations", "runner.programs", "matching.programs",
        "undeclared_port.programs", "two_signals.programs"}) {
    const std::size_t dot = name.find('.');
    const String report = checks.at(name.substr(dot + 1))(*checked_chart(name.substr(0, dot)));
    test_files::expect_fixture("checks/" + name + ".txt", report);
  }
}

// The fixture has names that clash and a state without transitions.
TEST(ChartChecks, UndefinedModelIsReportedOrLeftAlone) {
  const auto chart = checked_chart("declarations");
  chart->def_modele(undefined_model);
  for (check c : {determinism, programs}) EXPECT_EQ(run(*chart, c), "result 0\nAutomaton Model undefined ...");
  EXPECT_EQ(run(*chart, declarations), "result 1\n");
  EXPECT_EQ(completed(*chart), "result 1\ncompleted: result 0\nAutomaton Model undefined ...again: 0\n");
}

// s0 leaves (x0 or x1) and not ((x2 or x3) and ... (x22 or x23)) uncovered,
// whose implicant tree has millions of leaves: its finding is a prime and
// irredundant cover of that function.
TEST(ChartChecks, FindingsPastTheWorkBudgetArePrimeIrredundantCovers) {
  const String report = run(*checked_chart("over_budget"), determinism);
  const std::size_t at = report.find("not defined when ") + 17;
  const String text = report.substr(at, report.find('\n', at) - at);
  bddpp_manager m;
  const auto x = declare_xs(m, 24);
  bdd pairs = m.Bdd_one();
  for (int i = 1; i < 12; ++i) pairs = m.Bdd_and(pairs, m.Bdd_or(x[2 * i], x[2 * i + 1]));
  std::list<bdd> cubes;
  int status = 1;
  for (std::size_t from = 0, to = 0; to != String::npos; from = to + 4) {
    to = text.find(" or ", from);
    cubes.push_back(m.Parse_expression(text.substr(from, to - from), &status));
  }
  buddy_open(m.var_count, 100000, 10000);
  expect_cover(m, cubes, m.Bdd_and(m.Bdd_or(x[0], x[1]), m.Bdd_not(pairs)), text, true, true);
  buddy_close();
}

// Random guards over four signals, with random ranks, against a truth-table
// reading of the rules: a guard gives way to every guard of a lower rank
// ("other" ranking last), every pair that still meets is one finding, and
// what no guard takes is one more. s1 goes back on "1"; a transition then
// deleted from s0 is no longer checked.
TEST(ChartChecks, DeterminismAgreesWithTruthTables) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    const auto chart = checked_chart("four_signals");  // states s0 and s1
    unsigned table[25] = {}, e[25], all = 0;  // bit v: the guard holds for assignment v
    int rank[25], overlaps = 0;
    for (int k = 0; k < 25; ++k) {
      const unsigned x = random() % 4, y = random() % 4, nx = random() % 2, ny = random() % 2;
      const bool both = random() % 3 != 0;
      rank[k] = static_cast<int>(random() % 5) - 1;
      const String guard =
          String(nx ? "not " : "") + "abcd"[x] + (both ? " and " : " or ") + (ny ? "not " : "") + "abcd"[y];
      chart->add_fin_transition(gal_tpen_transition(0, 1, strong_trans, 0.0, 0.0, rank[k], guard, {}));
      for (unsigned v = 0; v < 16; ++v) {
        const bool vx = ((v >> x) & 1) != nx, vy = ((v >> y) & 1) != ny;
        table[k] |= (both ? vx && vy : vx || vy) ? 1u << v : 0;
      }
      rank[k] = rank[k] == -1 ? 99 : rank[k];
    }
    chart->add_fin_transition(gal_tpen_transition(1, 0, strong_trans, 0.0, 0.0, 0, "1", {}));
    chart->add_fin_transition(gal_tpen_transition(0, 1, strong_trans, 0.0, 0.0, 0, "not a", {}));
    chart->sup_transition(26);
    for (int k = 0; k < 25; ++k) {
      e[k] = table[k];
      for (int j = 0; j < 25; ++j) e[k] &= rank[j] < rank[k] ? ~table[j] : ~0u;
      all |= e[k];
      for (int j = 0; j < k; ++j) overlaps += (e[k] & e[j]) != 0;
    }
    const String report = run(*chart, determinism);
    EXPECT_EQ(report.find("not defined") != String::npos, all != 0xffffu) << round;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1 + 3 * overlaps + 2 * (all != 0xffffu));
    EXPECT_EQ(report[7], overlaps == 0 && all == 0xffffu ? '1' : '0') << round;
  }
}

// Program files that are no plain file are not read: a device never ends and a
// pipe without writer never opens. A path holding a NUL byte would name the
// file before it, which the trace would empty.
TEST(ChartChecks, OnlyPlainProgramFilesAreRead) {
  const auto chart = checked_chart("nonplain_runs");
  const fs::path dir = reader_files::scratch_file("nonplain");
  fs::create_directory(dir);
  test_files::spill(dir / "important.txt", String(32, 'i'));
  ASSERT_EQ(mkfifo((dir / "fifo.gal").c_str(), 0600), 0);
  const String no_device = test_files::make_device(dir / "zero.gal", 5);  // absent: not found either
  fs::current_path(dir);
  test_files::expect_fixture("checks/nonplain_runs.programs.txt", run(*chart, programs));
  EXPECT_EQ(test_files::slurp("important.txt"), String(32, 'i'));
  if (!no_device.empty()) GTEST_SKIP() << "the device row: " << no_device;
}
