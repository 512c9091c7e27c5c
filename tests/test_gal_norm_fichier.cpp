// The chart container: construction, builders, model kinds, automata,
// incoming and outgoing lists, and the range-checked queries.
#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <random>
#include <vector>

#include "chart/gal_norm.h"
#include "tests/chart_support.h"

namespace {

chart_probe empty_chart(int model) {
  String name = "m";
  std::list<String> types;
  std::list<gal_declaration_variables> in, sens, out, loc, var;
  std::list<gal_declaration_progs> runs;
  std::list<gal_declaration_functions> funcs;
  std::list<gal_declaration_constants> consts;
  std::list<gal_declaration_pres> pres;
  std::list<String> actions;
  return chart_probe(&name, model, &types, &in, &sens, &out, &loc, &var, &runs, &funcs, &consts,
                     &pres, &actions);
}

gal_tpen_etat named_state(const String& name, int run = -1) {
  String n = name;
  return gal_tpen_etat(1, &n, 0.0, 0.0, gal_run_instance(run, ""), nullptr);
}

gal_tpen_transition arrow(int from, int to, const String& trigger = "A") {
  return gal_tpen_transition(from, to, strong_trans, 0.0, 0.0, 0, trigger, {});
}

void add_states(gal_tpen_fichier& chart, int n) {
  for (int i = 0; i < n; ++i) chart.add_fin_etat(named_state("s" + std::to_string(i)));
}

std::vector<std::list<int>> automata(const gal_tpen_fichier& chart) {
  std::vector<std::list<int>> all;
  for (int k = 0; k < chart.nombre_SC(); ++k) all.push_back(chart.SC_liste_etats(k));
  return all;
}

// The automata found the slow, obvious way: a breadth-first search from
// each state not yet reached that scans every transition for each state.
std::vector<std::list<int>> literal_automata(int n, const std::vector<std::pair<int, int>>& ts) {
  std::vector<std::list<int>> result;
  std::vector<bool> seen(n, false);
  for (int i = 0; i < n; ++i) {
    if (seen[i]) continue;
    std::list<int> automaton, worklist{i};
    seen[i] = true;
    auto enqueue = [&](int s) {
      if (s >= 0 && s < n && !seen[s]) seen[s] = true, worklist.push_back(s);
    };
    while (!worklist.empty()) {
      const int s = worklist.front();
      worklist.pop_front();
      automaton.push_back(s);
      for (const auto& t : ts)
        if (t.second == s) enqueue(t.first);
      for (const auto& t : ts)
        if (t.first == s) enqueue(t.second);
    }
    result.push_back(automaton);
  }
  return result;
}

template <class Get>
std::vector<String> each(int n, Get get) {
  std::vector<String> all;
  for (int i = 0; i < n; ++i) all.push_back(get(i));
  return all;
}

using L = std::list<int>;

}  // namespace

// ---- Construction ---------------------------------------------------------------

TEST(ChartConstruction, ReaderConstructorWithEmptyListsHasEmptyTables) {
  chart_probe c = empty_chart(par_automata_model);
  EXPECT_EQ(c.mon_modele(), 1);
  EXPECT_EQ(c.mon_nom_module(), "m");
  EXPECT_EQ(c.encapsulated(), 0);
  EXPECT_EQ(c.nbr_etats(), 0);
  EXPECT_EQ(c.ma_table_etats(), nullptr);
  EXPECT_EQ(c.nbr_transitions(), 0);
  EXPECT_EQ(c.capacity(), 8);
  ASSERT_NE(c.ma_table_transitions(), nullptr);
  EXPECT_EQ(c.ma_table_transitions()[7].ma_receptivite(), "???");
  EXPECT_EQ(c.nombre_SC(), 0);
  const void* tables[] = {c.ma_table_types(),     c.ma_table_inputs(),
                          c.ma_table_outputs(),   c.ma_table_locals(),
                          c.ma_table_constants(), c.ma_table_progs_externes(),
                          c.ma_table_actions()};
  for (const void* t : tables) EXPECT_EQ(t, nullptr) << "table " << (&t - tables);
  EXPECT_EQ(c.nbr_types() + c.nbr_inputs() + c.nbr_outputs() + c.nbr_locals() +
                c.nbr_constants() + c.nbr_progs_externes() + c.nbr_actions(),
            0);
}

TEST(ChartConstruction, ReaderConstructorCopiesEveryList) {
  String name = "top";
  std::list<String> types{"int"};
  std::list<gal_declaration_variables> in{{"pure", "I"}}, sens{{"int", "S"}},
      out{{"pure", "O"}, {"bool", "P"}}, loc{{"pure", "L"}}, var{{"int", "V"}};
  std::list<gal_declaration_progs> runs{gal_declaration_progs(".", "p.gal", "p", {}, {}, {})};
  std::list<gal_declaration_functions> funcs{gal_declaration_functions("int", "f", {})};
  std::list<gal_declaration_constants> consts{gal_declaration_constants("int", "K")};
  std::list<gal_declaration_pres> pres{gal_declaration_pres("pI", "I", "0")};
  std::list<String> actions{"emit O", "emit P"};
  chart_probe c(&name, synccharts_model, &types, &in, &sens, &out, &loc, &var, &runs, &funcs,
                &consts, &pres, &actions);
  EXPECT_EQ(c.nbr_types(), 1);
  EXPECT_EQ(c.nom_input(0), "I");
  EXPECT_EQ(c.nbr_sensors(), 1);
  EXPECT_EQ(c.nom_output(1), "P");
  EXPECT_EQ(c.type_output(1), "bool");
  EXPECT_EQ(c.nom_local(0), "L");
  EXPECT_EQ(c.nbr_variables(), 1);
  EXPECT_EQ(c.nom_module_prog_externe(0), "p");
  EXPECT_EQ(c.ma_table_constants()[0].name(), "K");
  EXPECT_EQ(c.nbr_pres(), 1);
  EXPECT_EQ(c.action(1), "emit P");
}

TEST(ChartConstruction, CopyIsDeep) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 2);
  c.add_fin_transition(arrow(0, 1));
  c.add_fin_action("a");

  gal_tpen_fichier copy = c;
  copy.add_fin_etat(named_state("extra"));
  copy.ma_table_etats()[0].replace_nom("renamed");
  copy.ma_table_transitions()[0].modif_receptivite("B");
  copy.ma_table_actions()[0] = "b";

  EXPECT_EQ(c.nbr_etats(), 2);
  EXPECT_EQ(c.nom_etat(0), "s0");
  EXPECT_EQ(c.receptivite_transition(0), "A");
  EXPECT_EQ(c.action(0), "a");
  EXPECT_EQ(c.nombre_SC(), 1);
  EXPECT_EQ(copy.nombre_SC(), 2);
  EXPECT_EQ(copy.nom_etat(0), "renamed");
}

// ---- Transition table -------------------------------------------------------------

TEST(TransitionTable, NinthAppendDoublesTheCapacityAndKeepsIndices) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 3);
  for (int k = 0; k < 9; ++k) c.add_fin_transition(arrow(k % 3, (k + 1) % 3, "t" + std::to_string(k)));
  EXPECT_EQ(c.nbr_transitions(), 9);
  EXPECT_EQ(c.capacity(), 16);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(c.receptivite_transition(k), "t" + std::to_string(k));
  EXPECT_EQ(c.ma_table_etats()[0].mes_transitions_post(), (L{0, 3, 6}));
  EXPECT_EQ(c.ma_table_etats()[0].mes_transitions_pre(), (L{2, 5, 8}));
  expect_lists_match(c);
}

TEST(TransitionTable, AppendingOneOfItsOwnTransitionsWhileGrowing) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 2);
  for (int k = 0; k < 8; ++k) c.add_fin_transition(arrow(0, 1, "t" + std::to_string(k)));
  c.add_fin_transition(c.ma_table_transitions()[3]);
  EXPECT_EQ(c.capacity(), 16);
  EXPECT_EQ(c.receptivite_transition(8), "t3");
  expect_lists_match(c);
  c.add_fin_etat(c.ma_table_etats()[1]);
  EXPECT_EQ(c.nom_etat(2), "s1");
}

TEST(TransitionTable, ParseTransitionsReplacesOnlyWhenFull) {
  chart_probe c = empty_chart(par_automata_model);
  std::list<gal_tpen_transition> three(3, arrow(-1, -1)), eight(8, arrow(-1, -1));
  c.parse_transitions(&three);
  EXPECT_EQ(c.nbr_transitions(), 3);
  EXPECT_EQ(c.capacity(), 8);
  c.parse_transitions(&eight);
  EXPECT_EQ(c.nbr_transitions(), 8);
  EXPECT_EQ(c.capacity(), 8);
  std::list<gal_tpen_transition> ten(10, arrow(-1, -1));
  c.parse_transitions(&ten);
  EXPECT_EQ(c.capacity(), 10);
  c.add_fin_transition(arrow(-1, -1));
  EXPECT_EQ(c.capacity(), 20);
}

TEST(TransitionTable, EndsOutsideTheStatesCountAsNone) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 2);
  c.add_fin_transition(arrow(-5, 1));
  c.add_fin_transition(arrow(0, 99));
  c.add_fin_transition(arrow(7, -3));
  expect_lists_match(c);
  EXPECT_EQ(c.ma_table_etats()[1].mes_transitions_pre(), L{0});
  EXPECT_EQ(c.ma_table_etats()[0].mes_transitions_post(), L{1});
  EXPECT_EQ(automata(c), (std::vector<L>{{0}, {1}}));
  EXPECT_EQ(c.ident_etats_pre(1), L{});
  EXPECT_EQ(c.ident_etats_post(0), L{});
  EXPECT_EQ(c.liste_etats_puits(), (L{1}));
  c.raj_pre_post_transitions();
  expect_lists_match(c);
}

TEST(TransitionTable, PairQueryListsTransitionsBetweenTwoStates) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 3);
  c.add_fin_transition(arrow(0, 1));
  c.add_fin_transition(arrow(1, 0));
  c.add_fin_transition(arrow(0, 1));
  c.add_fin_transition(arrow(-1, 1));
  EXPECT_EQ(c.liste_ident_transitions_par_couple_etats(0, 1), (L{0, 2}));
  EXPECT_EQ(c.liste_ident_transitions_par_couple_etats(-1, 1), (L{3}));
  EXPECT_EQ(c.liste_ident_transitions_par_couple_etats(1, 2), L{});
  EXPECT_EQ(c.liste_etats_puits(), (L{2}));
}

// ---- Automata ---------------------------------------------------------------------

TEST(Automata, ModelZeroKeepsTheOldList) {
  chart_probe c = empty_chart(basic_model);
  add_states(c, 4);
  std::list<gal_tpen_transition> ts{arrow(0, 1), arrow(2, 3)};
  c.parse_transitions(&ts);
  c.update_simple_connexite();
  EXPECT_EQ(automata(c), (std::vector<L>{{0}, {1}, {2}, {3}}));
  c.add_fin_transition(arrow(1, 2));
  EXPECT_EQ(c.nombre_SC(), 4);

  chart_probe undefined = empty_chart(undefined_model);
  add_states(undefined, 2);
  undefined.add_fin_transition(arrow(0, 1));
  EXPECT_EQ(undefined.nombre_SC(), 2);
}

TEST(Automata, StatesComeInSearchOrderSourcesBeforeTargets) {
  for (int model : {1, 2, 3}) {
    chart_probe c = empty_chart(model);
    add_states(c, 6);
    // From 0 the search meets 4 (0 is its target), then 5 and 1 (its targets).
    std::list<gal_tpen_transition> ts{arrow(0, 5), arrow(4, 0), arrow(0, 1), arrow(1, 3),
                                      arrow(3, 3), arrow(-1, 2)};
    c.parse_transitions(&ts);
    c.update_simple_connexite();
    EXPECT_EQ(automata(c), (std::vector<L>{{0, 4, 5, 1, 3}, {2}})) << "model " << model;
  }
}

TEST(Automata, NewStateIsAnAutomatonOfItsOwn) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 2);
  c.add_fin_transition(arrow(0, 1));
  c.add_fin_etat(named_state("late"));
  EXPECT_EQ(automata(c), (std::vector<L>{{0, 1}, {2}}));
  c.add_fin_etat(named_state("later"));
  c.add_fin_transition(arrow(3, 0));
  EXPECT_EQ(automata(c), (std::vector<L>{{0, 3, 1}, {2}}));
}

TEST(Automata, OutOfRangeQueryIsEmptyAndSilent) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 2);
  testing::internal::CaptureStderr();
  EXPECT_EQ(c.SC_liste_etats(7), L{});
  EXPECT_EQ(c.SC_liste_etats(-1), L{});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(Automata, AppendedOneByOneMatchTheLiteralSearch) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    const int n = 1 + static_cast<int>(random() % 12);
    const int m = static_cast<int>(random() % 16);
    chart_probe c = empty_chart(synccharts_model);
    std::vector<std::pair<int, int>> ends;
    add_states(c, n);
    for (int k = 0; k < m; ++k) {
      const int s = static_cast<int>(random() % (n + 2)) - 1;  // -1 .. n: one past the table
      const int t = static_cast<int>(random() % (n + 2)) - 1;
      ends.emplace_back(s, t);
      c.add_fin_transition(arrow(s, t));
    }
    EXPECT_EQ(automata(c), literal_automata(n, ends)) << "round " << round;
    expect_lists_match(c);
  }
}

TEST(Automata, ReadLateWhenAStateArrivesForAnEarlierEnd) {
  // The arrow to state 2 did not count when it was appended (no such state
  // yet); state 2 arriving later is an automaton of its own until the next
  // recomputation.
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 2);
  c.add_fin_transition(arrow(0, 1));
  c.add_fin_transition(arrow(1, 2));
  c.add_fin_etat(named_state("s2"));
  EXPECT_EQ(automata(c), (std::vector<L>{{0, 1}, {2}}));
  c.update_simple_connexite();
  EXPECT_EQ(automata(c), (std::vector<L>{{0, 1, 2}}));
}

// ---- Incoming and outgoing lists ----------------------------------------------------

TEST(PrePostLists, RebuiltFromTheTransitions) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 3);
  std::list<gal_tpen_transition> ts{arrow(0, 1), arrow(1, 2), arrow(2, 0), arrow(-1, 0),
                                    arrow(1, 1), arrow(0, -1)};
  c.parse_transitions(&ts);
  c.raj_pre_post_transitions();
  expect_lists_match(c);
  EXPECT_EQ(c.ma_table_etats()[0].mes_transitions_pre(), (L{2, 3}));
  EXPECT_EQ(c.ma_table_etats()[1].mes_transitions_post(), (L{1, 4}));
  EXPECT_EQ(c.ident_etats_pre(0), (L{2}));
  EXPECT_EQ(c.ident_etats_post(1), (L{2, 1}));
  EXPECT_EQ(c.ident_etats_post(0), (L{1}));
  EXPECT_EQ(c.ident_etats_pre(9), L{});
}

// ---- Boot state ---------------------------------------------------------------------

TEST(BootState, TakesOverInitialArrowsAndLeavesListsRight) {
  chart_probe c = empty_chart(par_automata_model);
  add_states(c, 2);
  c.add_fin_transition(arrow(-1, 0, ""));
  c.add_fin_transition(arrow(0, 1));
  c.add_fin_transition(arrow(-1, 1, "B"));
  c.raj_pre_post_transitions();
  c.add_bootstate();

  ASSERT_EQ(c.nbr_etats(), 3);
  EXPECT_EQ(c.nom_etat(2), "bootstate");
  EXPECT_EQ(c.ident_etat("bootstate"), 2);
  const gal_tpen_transition* t = c.ma_table_transitions();
  // source>target trigger; an empty trigger becomes "1"
  EXPECT_EQ(each(c.nbr_transitions(),
                 [&](int k) {
                   return std::to_string(t[k].mon_ident_etat_amont()) + ">" +
                          std::to_string(t[k].mon_ident_etat_aval()) + " " + t[k].ma_receptivite();
                 }),
            (std::vector<String>{"2>0 1", "0>1 A", "2>1 B", "-1>2 1"}));
  EXPECT_EQ(t[3].mon_type_trans(), strong_trans);
  expect_lists_match(c);
  EXPECT_EQ(c.ma_table_etats()[2].mes_transitions_post(), (L{0, 2}));
  EXPECT_EQ(automata(c), (std::vector<L>{{0, 2, 1}}));
}

TEST(BootState, SuspensionsAreReSourcedToo) {
  chart_probe c = empty_chart(synccharts_model);
  add_states(c, 1);
  c.add_fin_transition(arrow(-1, 0));
  c.add_fin_transition(gal_tpen_transition(-1, 0, suspend_trans, 0, 0, 0, "S", {}));
  c.add_bootstate();
  EXPECT_EQ(c.ma_table_transitions()[1].mon_ident_etat_amont(), 1);
}

TEST(BootStateDeathTest, NoInitialArrowEndsTheProcess) {
  EXPECT_EXIT(
      {
        chart_probe c = empty_chart(par_automata_model);
        add_states(c, 2);
        c.add_fin_transition(arrow(0, 1));
        c.add_bootstate();
      },
      testing::ExitedWithCode(1), "ERROR: no initial state found !");
}

// ---- Model kinds ----------------------------------------------------------------------

// Light Esterel folds variables into the locals and sensors into the inputs;
// basic and parallel-automata drop locals, variables, sensors and pres;
// synccharts drops only the pres.
TEST(ModelKind, EachKindKeepsOrFoldsTheDeclarationsItHasNoRoomFor) {
  struct kind_case {
    int model;
    std::vector<String> locals, inputs;
    int variables, sensors, pres;
  };
  const kind_case cases[] = {
      {basic_model, {}, {"i"}, 0, 0, 0},
      {par_automata_model, {}, {"i"}, 0, 0, 0},
      {light_esterel_model, {"a", "c"}, {"i", "s"}, 0, 0, 1},
      {synccharts_model, {"a"}, {"i"}, 1, 1, 0},
  };
  for (const kind_case& k : cases) {
    chart_probe c =
        empty_chart(k.model == synccharts_model ? light_esterel_model : synccharts_model);
    c.add_fin_local(gal_declaration_variables("pure", "a"));
    c.variables().push_back(gal_declaration_variables("int", "c"));
    c.add_fin_input(gal_declaration_variables("pure", "i"));
    c.sensors().push_back(gal_declaration_variables("int", "s"));
    c.add_fin_pre(gal_declaration_pres("pa", "a", "---"));
    c.def_modele(k.model);
    SCOPED_TRACE(gal_mots_cles_modeles[k.model]);
    EXPECT_EQ(c.mon_modele(), k.model);
    EXPECT_EQ(each(c.nbr_locals(), [&](int i) { return c.nom_local(i); }), k.locals);
    EXPECT_EQ(c.ma_table_locals() == nullptr, k.locals.empty());
    EXPECT_EQ(each(c.nbr_inputs(), [&](int i) { return c.nom_input(i); }), k.inputs);
    EXPECT_EQ(c.nbr_variables(), k.variables);
    EXPECT_EQ(c.nbr_sensors(), k.sensors);
    EXPECT_EQ(c.nbr_pres(), k.pres);
  }
}

TEST(ModelKind, KeywordsOfTheChartText) {
  EXPECT_STREQ(gal_mots_cles_modeles[basic_model], "basic_model:");
  EXPECT_STREQ(gal_mots_cles_modeles[par_automata_model], "par_automata_model:");
  EXPECT_STREQ(gal_mots_cles_modeles[light_esterel_model], "light_esterel_model:");
  EXPECT_STREQ(gal_mots_cles_modeles[synccharts_model], "synccharts_model:");
}

// ---- Builders -------------------------------------------------------------------------

TEST(Builders, ProgramByNameIsAppendedOnce) {
  chart_probe c = empty_chart(light_esterel_model);
  EXPECT_EQ(c.ident_et_add_prog_externe("pump"), 0);
  EXPECT_EQ(c.ident_et_add_prog_externe("valve"), 1);
  EXPECT_EQ(c.ident_et_add_prog_externe("pump"), 0);
  EXPECT_EQ(c.nbr_progs_externes(), 2);
  EXPECT_EQ(c.chemin_prog_externe(1), ".");
  EXPECT_EQ(c.nom_fichier_prog_externe(1), "valve");
  EXPECT_EQ(c.nom_module_prog_externe(1), "valve");
}

TEST(Builders, TypesAreNotRepeated) {
  chart_probe c = empty_chart(par_automata_model);
  c.add_type("int");
  c.add_type(String("bool"));
  c.add_type("int");
  ASSERT_EQ(c.nbr_types(), 2);
  EXPECT_EQ(c.ma_table_types()[0], "int");
  EXPECT_EQ(c.ma_table_types()[1], "bool");
}

TEST(Builders, ClearingInputsAndLocalsReleasesThem) {
  chart_probe c = empty_chart(light_esterel_model);
  c.add_fin_input(gal_declaration_variables("pure", "i"));
  c.add_fin_local(gal_declaration_variables("pure", "l"));
  c.efface_table_inputs();
  c.efface_table_locals();
  EXPECT_EQ(c.nbr_inputs(), 0);
  EXPECT_EQ(c.ma_table_inputs(), nullptr);
  EXPECT_EQ(c.nbr_locals(), 0);
  EXPECT_EQ(c.ma_table_locals(), nullptr);
}

TEST(Builders, StampMovesOnChangesOnly) {
  chart_probe c = empty_chart(par_automata_model);
  const std::int32_t sentinel = INT32_MIN + 12345;
  std::list<gal_tpen_etat> states{named_state("a")};
  std::list<gal_tpen_transition> ts{arrow(-1, 0)};
  c.stamp() = sentinel;
  c.parse_etats(&states);
  c.parse_transitions(&ts);
  c.set_encapsulation();
  c.update_simple_connexite();
  c.raj_pre_post_transitions();
  c.normalise_diametre_etats();
  c.efface_table_inputs();  // empty: nothing to change
  c.ident_et_add_prog_externe("p");
  c.ident_et_add_prog_externe("p");
  EXPECT_EQ(c.encapsulated(), 1);
  c.stamp() = sentinel;
  c.ident_et_add_prog_externe("p");
  EXPECT_EQ(c.stamp(), sentinel);
  c.add_fin_action("x");
  EXPECT_NE(c.stamp(), sentinel);
  c.stamp() = sentinel;
  c.def_nom_module("n");
  EXPECT_NE(c.stamp(), sentinel);
}

// ---- Diameters ------------------------------------------------------------------------

// Models two and three size a running state by its program's name; the
// others reset every state to the unit diameter.
TEST(Diameters, ProgramNameSizesRunningStatesInModelsTwoAndThreeOnly) {
  struct diameter_case {
    int model;
    double sizes[4];  // long, short, none, stray
  };
  const diameter_case cases[] = {{basic_model, {1, 1, 1, 1}},
                                 {par_automata_model, {1, 1, 1, 1}},
                                 {light_esterel_model, {5, 1, 2.5, 2.5}},
                                 {synccharts_model, {5, 1, 2.5, 2.5}}};
  for (const diameter_case& k : cases) {
    chart_probe c = empty_chart(k.model);
    c.ident_et_add_prog_externe("seventeen_letters");
    c.ident_et_add_prog_externe("abc");
    c.add_fin_etat(named_state("long", 0));
    c.add_fin_etat(named_state("short", 1));
    c.add_fin_etat(named_state("none", -1));
    c.add_fin_etat(named_state("stray", 9));  // runs nothing that exists
    c.ma_table_etats()[2].change_mon_diametre(2.5);
    c.ma_table_etats()[3].change_mon_diametre(2.5);
    c.normalise_diametre_etats();
    for (int i = 0; i < 4; ++i)
      EXPECT_DOUBLE_EQ(c.ma_table_etats()[i].mon_diametre(), k.sizes[i])
          << "model " << k.model << ", state " << i;
  }
}

// ---- Queries --------------------------------------------------------------------------

TEST(Queries, LookupsByName) {
  chart_probe c = empty_chart(light_esterel_model);
  add_states(c, 3);
  c.add_fin_output(gal_declaration_variables("pure", "O"));
  c.add_fin_output(gal_declaration_variables("int", "O"));
  c.add_fin_local(gal_declaration_variables("pure", "L"));
  c.add_fin_action("emit O");
  c.add_fin_input(gal_declaration_variables("bool", "a"));
  c.add_fin_input(gal_declaration_variables("int", "b"));
  c.add_fin_input(gal_declaration_variables("bool", "c"));
  EXPECT_EQ(c.ident_etat("s2"), 2);
  EXPECT_EQ(c.ident_etat("nope"), -1);
  EXPECT_EQ(c.ident_output("O"), 0);
  EXPECT_EQ(c.ident_output(String("P")), -1);
  EXPECT_EQ(c.ident_local("L"), 0);
  EXPECT_EQ(c.ident_local("O"), -1);
  EXPECT_EQ(c.ident_action("emit O"), 0);
  EXPECT_EQ(c.ident_action("emit"), -1);
  EXPECT_EQ(c.ens_entrees("bool"), (std::set<String>{"a", "c"}));
  EXPECT_EQ(c.nbr_inputs_bool(), 2);
  EXPECT_EQ(c.type_input(1), "int");
}

struct out_of_range_case {
  const char* what;
  String (*call)(const gal_tpen_fichier&);
  const char* result;
  const char* message;
};

TEST(Queries, OutOfRangeWritesItsDiagnosticAndReturnsAPlaceholder) {
  chart_probe c = empty_chart(light_esterel_model);
  add_states(c, 1);
  c.add_fin_input(gal_declaration_variables("pure", "i"));
  c.add_fin_input(gal_declaration_variables("pure", "j"));
  const out_of_range_case cases[] = {
      {"nom_etat", [](const gal_tpen_fichier& f) { return f.nom_etat(-1); }, "",
       "PROBLEME DANS L'UTILISATION DE 'nom_etat()':\nIDENT -1 DEMANDE\n"},
      {"receptivite_transition",
       [](const gal_tpen_fichier& f) { return f.receptivite_transition(0); }, "",
       "PROBLEME DANS L'UTILISATION DE 'receptivite_transition()':\nIDENT 0 DEMANDE\n"},
      {"nom_input", [](const gal_tpen_fichier& f) { return f.nom_input(5); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'nom_input()':\nAUCUNE VARIABLE DE CE TYPE\n"},
      {"type_input", [](const gal_tpen_fichier& f) { return f.type_input(2); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'type_input()':\nIDENT 2 HORS LIMITE\n"},
      {"nom_output", [](const gal_tpen_fichier& f) { return f.nom_output(0); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'nom_output()':\nIDENT 0 HORS LIMITE\n"},
      {"type_output", [](const gal_tpen_fichier& f) { return f.type_output(3); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'type_output()':\nIDENT HORS LIMITE\n"},
      {"nom_local", [](const gal_tpen_fichier& f) { return f.nom_local(-2); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'nom_local()':\nIDENT -2 HORS LIMITE\n"},
      {"type_local", [](const gal_tpen_fichier& f) { return f.type_local(0); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'type_local()':\nIDENT HORS LIMITE\n"},
      {"nom_module_prog_externe",
       [](const gal_tpen_fichier& f) { return f.nom_module_prog_externe(0); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'nom_module_prog_externe()':\nIDENT 0 HORS LIMITE\n"},
      {"nom_fichier_prog_externe",
       [](const gal_tpen_fichier& f) { return f.nom_fichier_prog_externe(1); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'nom_fichier_prog_externe()':\nIDENT 1 HORS LIMITE\n"},
      {"chemin_prog_externe", [](const gal_tpen_fichier& f) { return f.chemin_prog_externe(-1); },
       "?", "PROBLEME DANS L'UTILISATION DE 'chemin_prog_externe()':\nIDENT -1 HORS LIMITE\n"},
      {"action", [](const gal_tpen_fichier& f) { return f.action(0); }, "?",
       "PROBLEME DANS L'UTILISATION DE 'action()':\nIDENT 0 HORS LIMITE\n"},
      {"nbr_actions", [](const gal_tpen_fichier& f) { return String(std::to_string(f.nbr_actions(1))); },
       "0", "PROBLEME DANS L'UTILISATION DE `nbr_actions()':\nIDENT ETAT 1 DEMANDE\n"},
  };
  for (const auto& k : cases) {
    testing::internal::CaptureStderr();
    const String result = k.call(c);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), k.message) << k.what;
    EXPECT_EQ(result, k.result) << k.what;
  }
}

TEST(Queries, InRangeGettersAreSilent) {
  chart_probe c = empty_chart(light_esterel_model);
  add_states(c, 1);
  String n = "a";
  std::list<int> two_actions{0, 2};
  c.add_fin_etat(gal_tpen_etat(1, &n, 0.0, 0.0, gal_run_instance(), &two_actions));
  c.add_fin_transition(arrow(0, 0, "go"));
  c.add_fin_action("act");
  c.add_fin_output(gal_declaration_variables("int", "o"));
  testing::internal::CaptureStderr();
  EXPECT_EQ(c.nom_etat(0), "s0");
  EXPECT_EQ(c.receptivite_transition(0), "go");
  EXPECT_EQ(c.action(0), "act");
  EXPECT_EQ(c.type_output(0), "int");
  EXPECT_EQ(c.nbr_actions(0), 0);
  EXPECT_EQ(c.nbr_actions(1), 2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
