// Editing a chart: deletions and their renumbering, replacements, neutral
// signals, unused actions, emptying, the layout of self-loops, and the debug
// dump compared whole with dumps worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <list>
#include <sstream>
#include <vector>

#include "chart/gal_norm.h"
#include "tests/chart_support.h"
#include "reader_files.h"

namespace {

constexpr std::int32_t untouched = 123456789;

chart_probe chart_of_kind(int model) {
  chart_probe chart;
  chart.def_modele(model);
  chart.def_nom_module("m");
  return chart;
}

gal_tpen_etat state(const String& name, double x = 0.0, double y = 0.0) {
  String n = name;
  return gal_tpen_etat(normal_star, &n, x, y, gal_run_instance(), nullptr);
}

gal_tpen_transition arrow(int from, int to, const String& trigger = "A",
                          const std::list<int>& actions = {}) {
  return gal_tpen_transition(from, to, strong_trans, 0.0, 0.0, 0, trigger, actions);
}

void add_states(gal_tpen_fichier& chart, int n) {
  for (int i = 0; i < n; ++i) chart.add_fin_etat(state("s" + std::to_string(i)));
}

// (source, target) of every transition in use.
std::vector<std::pair<int, int>> ends(const gal_tpen_fichier& chart) {
  std::vector<std::pair<int, int>> all;
  for (int k = 0; k < chart.nbr_transitions(); ++k)
    all.emplace_back(chart.ma_table_transitions()[k].mon_ident_etat_amont(),
                     chart.ma_table_transitions()[k].mon_ident_etat_aval());
  return all;
}

std::vector<std::list<int>> automata(const gal_tpen_fichier& chart) {
  std::vector<std::list<int>> all;
  for (int k = 0; k < chart.nombre_SC(); ++k) all.push_back(chart.SC_liste_etats(k));
  return all;
}

std::vector<String> names(const gal_tpen_fichier& chart) {
  std::vector<String> all;
  for (int i = 0; i < chart.nbr_etats(); ++i) all.push_back(chart.nom_etat(i));
  return all;
}

std::vector<String> actions(const gal_tpen_fichier& chart) {
  std::vector<String> all;
  for (int i = 0; i < chart.nbr_actions(); ++i) all.push_back(chart.action(i));
  return all;
}

String dump(const gal_tpen_fichier& chart) {
  std::ostringstream os;
  chart.put(os);
  return os.str();
}

String fixture(const char* name) {
  return reader_files::slurp(String(TESSAN_TEST_DATA) + "/chart_edit/" + name);
}

std::unique_ptr<gal_tpen_fichier> read_fixture(const char* name) {
  reader_files::reading r = reader_files::read_text(fixture(name));
  EXPECT_NE(r.chart, nullptr) << r.err;
  return std::move(r.chart);
}

template <class F>
String stderr_of(F f) {
  testing::internal::CaptureStderr();
  f();
  return testing::internal::GetCapturedStderr();
}

using ends_list = std::vector<std::pair<int, int>>;

// Actions A, B, C, D; state 0 uses `state_uses`, transition 0 `transition_uses`.
chart_probe chart_with_actions(const std::list<int>& state_uses,
                               const std::list<int>& transition_uses) {
  chart_probe chart = chart_of_kind(basic_model);
  for (const char* a : {"A", "B", "C", "D"}) chart.add_fin_action(a);
  String name = "s";
  std::list<int> uses = state_uses;
  chart.add_fin_etat(gal_tpen_etat(normal_star, &name, 0.0, 0.0, gal_run_instance(), &uses));
  chart.add_fin_transition(arrow(0, 0, "A", transition_uses));
  return chart;
}

std::vector<double> points(const gal_tpen_transition& t) {
  const std::list<double> l = t.liste_positions();
  return std::vector<double>(l.begin(), l.end());
}

void expect_near_all(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
}

gal_tpen_transition loop_with_points(int s) {
  gal_tpen_transition t = arrow(s, s);
  t.add_point(5, 5);
  t.add_point(6, 6);
  return t;
}

}  // namespace

// ---- The dump -----------------------------------------------------------------------

TEST(ChartDump, EmptyChartHasEveryCountHeadingAndColumnLine) {
  gal_tpen_fichier chart;
  EXPECT_EQ(dump(chart), fixture("empty.put"));
}

TEST(ChartDump, WritesEveryTableAutomatonStateAndTransition) {
  auto chart = read_fixture("dump.gal");
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(dump(*chart), fixture("dump.put"));
}

TEST(ChartDump, FollowsTheEditsOfAChartReadFromText) {
  auto chart = read_fixture("dump.gal");
  ASSERT_NE(chart, nullptr);
  chart->sup_etat(0);
  chart->sup_action(0);
  chart->sup_output(0);
  chart->element_neutre_transitions("tick");
  EXPECT_EQ(dump(*chart), fixture("edited.put"));
  expect_lists_match(*chart);
}

// ---- Edits with nothing to act on -----------------------------------------------------

// Out of range, or with nothing to act on, an edit changes nothing, not even
// the stamp; only the deletions of states and transitions say so.
TEST(Edits, OutOfRangeOrWithNothingToActOnChangeNothing) {
  const char* const no_state = "ERROR in gal_tpen_fichier::sup_etat: out of range\n";
  const char* const no_transition = "ERROR in gal_tpen_fichier::sup_transition: out of range\n";
  using edit = void (*)(gal_tpen_fichier&);
  const struct {
    const char* what;
    edit call;
    const char* message;
  } cases[] = {
      {"sup_etat(-1)", [](gal_tpen_fichier& c) { c.sup_etat(-1); }, no_state},
      {"sup_etat(2)", [](gal_tpen_fichier& c) { c.sup_etat(2); }, no_state},
      {"sup_transition(-1)", [](gal_tpen_fichier& c) { c.sup_transition(-1); }, no_transition},
      {"sup_transition(2)", [](gal_tpen_fichier& c) { c.sup_transition(2); }, no_transition},
      {"sup_action(4)", [](gal_tpen_fichier& c) { c.sup_action(4); }, ""},
      {"sup_action(-1)", [](gal_tpen_fichier& c) { c.sup_action(-1); }, ""},
      {"sup_output(1)", [](gal_tpen_fichier& c) { c.sup_output(1); }, ""},
      {"sup_output(-1)", [](gal_tpen_fichier& c) { c.sup_output(-1); }, ""},
      {"replace_transition(2)", [](gal_tpen_fichier& c) { c.replace_transition(2, arrow(0, 1)); },
       ""},
      {"homogenise_boucles_etat(1), a state without loops",
       [](gal_tpen_fichier& c) { c.homogenise_boucles_etat(1); }, ""},
      {"homogenise_boucles_etat(2)", [](gal_tpen_fichier& c) { c.homogenise_boucles_etat(2); },
       ""},
      {"homogenise_boucles_etat(-1)", [](gal_tpen_fichier& c) { c.homogenise_boucles_etat(-1); },
       ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    // States 0 and 1, actions A to D, one output; a loop on state 0 with two
    // points, then an arrow from state 0 into state 1.
    chart_probe chart = chart_with_actions({3}, {});
    chart.ma_table_transitions()[0].add_point(5, 5);
    chart.ma_table_transitions()[0].add_point(6, 6);
    chart.add_fin_etat(state("t"));
    chart.add_fin_transition(arrow(0, 1));
    chart.add_fin_output(gal_declaration_variables("pure", "O"));
    const String before = dump(chart);
    chart.stamp() = untouched;
    EXPECT_EQ(stderr_of([&] { k.call(chart); }), k.message);
    EXPECT_EQ(dump(chart), before);
    EXPECT_EQ(chart.stamp(), untouched);
    EXPECT_EQ(points(chart.ma_table_transitions()[0]), (std::vector<double>{5, 5, 6, 6}));
  }
}

// ---- Deleting states -------------------------------------------------------------------

TEST(SupEtat, RemovesEveryTransitionTouchingTheStateAndRenumbersTheRest) {
  chart_probe chart = chart_of_kind(par_automata_model);
  add_states(chart, 4);
  chart.add_fin_transition(arrow(-1, 1));  // initial arrow into the state deleted
  chart.add_fin_transition(arrow(-1, 3));  // initial arrow elsewhere
  chart.add_fin_transition(arrow(0, 1));
  chart.add_fin_transition(arrow(1, 2));
  chart.add_fin_transition(arrow(2, 3, "kept"));
  chart.add_fin_transition(arrow(1, 1));
  chart.add_fin_transition(arrow(3, -1, "final"));
  chart.sup_etat(1);
  EXPECT_EQ(ends(chart), (ends_list{{-1, 2}, {1, 2}, {2, -1}}));
  EXPECT_EQ(chart.receptivite_transition(1), "kept");
  EXPECT_EQ(names(chart), (std::vector<String>{"s0", "s2", "s3"}));
  expect_lists_match(chart);
  EXPECT_EQ(automata(chart), (std::vector<std::list<int>>{{0}, {1, 2}}));
  EXPECT_EQ(chart.capacity(), 8);
}

TEST(SupEtat, FindsTheTransitionsByTheirEndsEvenWhenTheListsAreStale) {
  chart_probe chart = chart_of_kind(par_automata_model);
  add_states(chart, 3);
  chart.add_fin_transition(arrow(0, 1));
  // Redirected in place: state 2's incoming list does not know it yet.
  chart.ma_table_transitions()[0].modif_ident_etat_aval(2);
  chart.sup_etat(2);
  EXPECT_EQ(chart.nbr_transitions(), 0);
  expect_lists_match(chart);
}

TEST(SupEtat, KindsWithoutRecomputedAutomataRenumberTheirs) {
  chart_probe chart = chart_of_kind(basic_model);
  add_states(chart, 3);  // each a one-state automaton
  chart.sup_etat(1);
  EXPECT_EQ(automata(chart), (std::vector<std::list<int>>{{0}, {1}}));
  chart.sup_etat(0);
  EXPECT_EQ(automata(chart), (std::vector<std::list<int>>{{0}}));
}

TEST(SupEtat, AHundredThousandStateChainLosesOneLinkAndSplits) {
  const int n = 100000;
  chart_probe chart = chart_of_kind(par_automata_model);
  add_states(chart, n);
  for (int i = 0; i + 1 < n; ++i) chart.add_fin_transition(arrow(i, i + 1));
  chart.sup_etat(n / 2);
  ASSERT_EQ(chart.nbr_etats(), n - 1);
  ASSERT_EQ(chart.nbr_transitions(), n - 3);
  ASSERT_EQ(chart.nombre_SC(), 2);
  EXPECT_EQ(chart.SC_liste_etats(1).front(), n / 2);
  EXPECT_EQ(chart.ma_table_transitions()[n / 2 - 1].mon_ident_etat_amont(), n / 2);
  EXPECT_EQ(chart.nom_etat(n / 2), "s" + std::to_string(n / 2 + 1));
  chart.sup_etat(0);
  EXPECT_EQ(chart.nbr_transitions(), n - 4);
  EXPECT_EQ(chart.ma_table_transitions()[0].mon_ident_etat_amont(), 0);
}

// ---- Deleting transitions and outputs --------------------------------------------------

TEST(SupTransition, MovesTheLaterTransitionsDownAndKeepsTheCapacity) {
  chart_probe chart = chart_of_kind(par_automata_model);
  add_states(chart, 3);
  for (int k = 0; k < 9; ++k) chart.add_fin_transition(arrow(k % 2, 1, "t" + std::to_string(k)));
  chart.add_fin_transition(arrow(1, 2, "bridge"));
  ASSERT_EQ(chart.capacity(), 16);
  chart.sup_transition(9);
  EXPECT_EQ(chart.nbr_transitions(), 9);
  EXPECT_EQ(chart.capacity(), 16);
  EXPECT_EQ(automata(chart), (std::vector<std::list<int>>{{0, 1}, {2}}));
  chart.sup_transition(0);
  EXPECT_EQ(chart.receptivite_transition(0), "t1");
  EXPECT_EQ(chart.receptivite_transition(7), "t8");
  expect_lists_match(chart);
}

TEST(SupOutput, RemovesOneOutput) {
  chart_probe chart = chart_of_kind(basic_model);
  for (const char* name : {"O1", "O2", "O3"})
    chart.add_fin_output(gal_declaration_variables("pure", name));
  chart.stamp() = untouched;
  chart.sup_output(1);
  EXPECT_NE(chart.stamp(), untouched);
  ASSERT_EQ(chart.nbr_outputs(), 2);
  EXPECT_EQ(chart.nom_output(0), "O1");
  EXPECT_EQ(chart.nom_output(1), "O3");
}

// ---- Actions ------------------------------------------------------------------------------

TEST(SupAction, LaterReferencesMoveDownWithTheirNames) {
  chart_probe chart = chart_with_actions({2}, {3, 2});
  chart.sup_action(0);
  EXPECT_EQ(actions(chart), (std::vector<String>{"B", "C", "D"}));
  EXPECT_EQ(chart.ma_table_etats()[0].mes_actions(), std::list<int>{1});
  EXPECT_EQ(chart.ma_table_transitions()[0].mes_actions(), (std::list<int>{2, 1}));
}

TEST(SupAction, ReferencesToTheDeletedActionGoWithIt) {
  chart_probe chart = chart_with_actions({1, 2}, {1});
  chart.sup_action(1);
  EXPECT_EQ(actions(chart), (std::vector<String>{"A", "C", "D"}));
  // Kept, the reference would now name C.
  EXPECT_EQ(chart.ma_table_etats()[0].mes_actions(), std::list<int>{1});
  EXPECT_TRUE(chart.ma_table_transitions()[0].mes_actions().empty());
}

TEST(InternalRajActions, KeepsOnlyTheUsedActionsInOrder) {
  chart_probe chart = chart_with_actions({3}, {3, 9});  // 9 names no action: ignored, kept
  chart.internal_raj_actions();
  EXPECT_EQ(actions(chart), std::vector<String>{"D"});
  EXPECT_EQ(chart.ma_table_etats()[0].mes_actions(), std::list<int>{0});
  EXPECT_EQ(chart.ma_table_transitions()[0].mes_actions(), (std::list<int>{0, 9}));

  chart_probe spread = chart_with_actions({2}, {0});
  spread.internal_raj_actions();
  EXPECT_EQ(actions(spread), (std::vector<String>{"A", "C"}));
  EXPECT_EQ(spread.ma_table_etats()[0].mes_actions(), std::list<int>{1});
  EXPECT_EQ(spread.ma_table_transitions()[0].mes_actions(), std::list<int>{0});
}

TEST(InternalRajActions, ChangesNothingWhenEveryActionIsUsed) {
  chart_probe chart = chart_with_actions({0, 1}, {2, 3});
  chart.stamp() = untouched;
  chart.internal_raj_actions();
  EXPECT_EQ(actions(chart).size(), 4u);
  EXPECT_EQ(chart.stamp(), untouched);
}

TEST(InternalRajActions, ManyUnusedActionsGoInOnePass) {
  chart_probe chart = chart_with_actions({}, {});
  const int n = 100000;
  for (int a = 0; a < n; ++a) chart.add_fin_action("a" + std::to_string(a));
  chart.ma_table_etats()[0].add_action(n + 3);  // the last one added
  chart.internal_raj_actions();
  EXPECT_EQ(actions(chart), std::vector<String>{"a" + std::to_string(n - 1)});
  EXPECT_EQ(chart.ma_table_etats()[0].mes_actions(), std::list<int>{0});
}

TEST(ReplaceAction, ReplacesTheReferenceInEveryStateAndTransition) {
  chart_probe chart = chart_with_actions({1, 2, 1}, {1});
  chart.replace_action(1, 3);
  EXPECT_EQ(chart.ma_table_etats()[0].mes_actions(), (std::list<int>{3, 2, 3}));
  EXPECT_EQ(chart.ma_table_transitions()[0].mes_actions(), std::list<int>{3});
  chart.replace_action(7, 0);  // a reference to nothing can be mended
  EXPECT_EQ(chart.ma_table_etats()[0].mes_actions(), (std::list<int>{3, 2, 3}));
}

TEST(ReplaceAction, RefusesAReplacementThatNamesNoAction) {
  chart_probe chart = chart_with_actions({1}, {1});
  for (int b : {4, -1}) {
    EXPECT_EQ(stderr_of([&] { chart.replace_action(1, b); }),
              "ERROR in gal_tpen_fichier::replace_action: out of range\n");
  }
  EXPECT_EQ(chart.ma_table_etats()[0].mes_actions(), std::list<int>{1});
  EXPECT_EQ(chart.ma_table_transitions()[0].mes_actions(), std::list<int>{1});
}

// ---- Replacing transitions and triggers --------------------------------------------------

TEST(ReplaceTransition, OverwritesATransitionWithTheSameEnds) {
  chart_probe chart = chart_of_kind(par_automata_model);
  add_states(chart, 2);
  chart.add_fin_transition(arrow(0, 1, "old"));
  gal_tpen_transition t = arrow(0, 1, "new", {4});
  t.modif_priorite(2);
  chart.replace_transition(0, t);
  EXPECT_EQ(chart.receptivite_transition(0), "new");
  EXPECT_EQ(chart.ma_table_transitions()[0].ma_priorite(), 2);
  EXPECT_EQ(chart.ma_table_transitions()[0].mes_actions(), std::list<int>{4});
  expect_lists_match(chart);
}

TEST(ReplaceTransition, RefusesOtherEndsWithAMessage) {
  chart_probe chart = chart_of_kind(par_automata_model);
  add_states(chart, 2);
  chart.add_fin_transition(arrow(0, 1, "old"));
  EXPECT_EQ(stderr_of([&] { chart.replace_transition(0, arrow(1, 1, "new")); }),
            "probleme interne dans gal_tpen_fichier::replace_transition() sur l'etat amont\n");
  EXPECT_EQ(stderr_of([&] { chart.replace_transition(0, arrow(0, 0, "new")); }),
            "probleme interne dans gal_tpen_fichier::replace_transition() sur l'etat aval\n");
  EXPECT_EQ(chart.receptivite_transition(0), "old");
}

TEST(ElementNeutreTransitions, ReplacesTheSignalAsAWholeWordOnly) {
  chart_probe chart = chart_of_kind(basic_model);
  add_states(chart, 1);
  for (const char* trigger : {"s and t", "ss", "not s or (s)", "s_1 and s.x and sa", "t", "#s"})
    chart.add_fin_transition(arrow(0, 0, trigger));
  chart.element_neutre_transitions("s");
  std::vector<String> triggers;
  for (int k = 0; k < chart.nbr_transitions(); ++k)
    triggers.push_back(chart.receptivite_transition(k));
  EXPECT_EQ(triggers, (std::vector<String>{"1 and t", "ss", "not 1 or (1)", "s_1 and s.x and sa",
                                           "t", "#1"}));
}

// ---- Emptying -----------------------------------------------------------------------------

TEST(Clear, EmptiesEveryTableAndKeepsKindNameAndFlag) {
  auto read = read_fixture("dump.gal");
  ASSERT_NE(read, nullptr);
  chart_probe chart = chart_of_kind(basic_model);
  static_cast<gal_tpen_fichier&>(chart) = *read;
  chart.set_encapsulation();
  chart.clear();
  EXPECT_EQ(chart.mon_modele(), synccharts_model);
  EXPECT_EQ(chart.mon_nom_module(), "demo");
  EXPECT_EQ(chart.encapsulated(), 1);
  EXPECT_EQ(chart.nbr_etats(), 0);
  EXPECT_EQ(chart.nbr_transitions(), 0);
  EXPECT_EQ(chart.nombre_SC(), 0);
  EXPECT_EQ(chart.nbr_types() + chart.nbr_inputs() + chart.nbr_outputs() + chart.nbr_actions() +
                chart.nbr_locals() + chart.nbr_constants() + chart.nbr_progs_externes() +
                chart.nbr_variables() + chart.nbr_sensors() + chart.nbr_pres() +
                chart.nbr_functions(),
            0);
  EXPECT_EQ(chart.ma_table_etats(), nullptr);
  EXPECT_EQ(chart.ma_table_inputs(), nullptr);
}

TEST(Clear, TheChartThenGrowsAsANewOne) {
  chart_probe chart = chart_of_kind(par_automata_model);
  add_states(chart, 5);
  for (int k = 0; k < 20; ++k) chart.add_fin_transition(arrow(k % 5, (k + 1) % 5));
  chart.clear();
  EXPECT_EQ(chart.capacity(), 8);
  add_states(chart, 3);
  for (int k = 0; k < 9; ++k) chart.add_fin_transition(arrow(0, 1));
  chart.add_fin_input(gal_declaration_variables("pure", "I"));
  EXPECT_EQ(chart.capacity(), 16);
  EXPECT_EQ(automata(chart), (std::vector<std::list<int>>{{0, 1}, {2}}));
  EXPECT_EQ(chart.nom_input(0), "I");
  expect_lists_match(chart);
}

// ---- Layout of self-loops ---------------------------------------------------------------

TEST(HomogeniseBouclesEtat, OneLoopStandsOnTheRightOfItsState) {
  chart_probe chart = chart_of_kind(basic_model);
  add_states(chart, 1);
  chart.add_fin_transition(loop_with_points(0));
  chart.stamp() = untouched;
  chart.homogenise_boucles_etat(0);
  const gal_tpen_transition& t = chart.ma_table_transitions()[0];
  const double c = std::cos(0.785375), s = std::sin(0.785375);
  expect_near_all(points(t), {c, s, c, -s});
  EXPECT_NEAR(t.posx_receptivite(), 1.2, 1e-12);
  EXPECT_NEAR(t.posy_receptivite(), 0.0, 1e-12);
  EXPECT_EQ(chart.stamp(), untouched);
}

TEST(HomogeniseBouclesEtat, SeveralLoopsShareTheTurnEvenlyWhateverPointsTheyHad) {
  chart_probe chart = chart_of_kind(basic_model);
  chart.add_fin_etat(state("s", 10.0, 20.0));
  chart.ma_table_etats()[0].change_mon_diametre(2.0);
  chart.add_fin_etat(state("other"));
  chart.add_fin_transition(arrow(0, 0));  // no points yet
  chart.add_fin_transition(arrow(0, 1));  // not a loop: left alone
  gal_tpen_transition one_point = arrow(0, 0);
  one_point.add_point(7, 7);
  chart.add_fin_transition(one_point);
  chart.add_fin_transition(loop_with_points(0));
  EXPECT_EQ(stderr_of([&] { chart.homogenise_boucles_etat(0); }), "");
  const double a = 6.283 / 3;
  const int loops[] = {0, 2, 3};
  for (int k = 0; k < 3; ++k) {
    const gal_tpen_transition& t = chart.ma_table_transitions()[loops[k]];
    expect_near_all(points(t),
                    {10 + 2 * std::cos((k - 0.2) * a), 20 + 2 * std::sin((k - 0.2) * a),
                     10 + 2 * std::cos((k + 0.2) * a), 20 + 2 * std::sin((k + 0.2) * a)});
    EXPECT_NEAR(t.posx_receptivite(), 10 + 2.4 * std::cos(k * a), 1e-9);
    EXPECT_NEAR(t.posy_receptivite(), 20 + 2.4 * std::sin(k * a), 1e-9);
  }
  EXPECT_TRUE(chart.ma_table_transitions()[1].liste_positions().empty());
}
