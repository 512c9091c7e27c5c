// Editing a chart: deletions and their renumbering, replacements, neutral
// signals, unused actions, emptying and the layout of self-loops, made on a
// chart read from a .gal fixture and compared through its picture.
#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "chart/gal_norm.h"
#include "tests/chart_support.h"

// Each edit is made on a fresh copy of the chart of edits.gal; what it wrote
// on stderr, whether it moved the stamp, and the chart after it ("unchanged"
// when it is the chart read) are compared with edits.txt. Out of range, or
// with nothing to act on, an edit changes nothing, not even the stamp; only
// the deletions of states and transitions and a bad replacement say so.
TEST(Edits, EachEditOnAFreshChart) {
  test_files::expect_fixture("chart/edits.txt", transcript(read_chart("chart/edits.gal"), {
      {"sup_etat(-1)", [](auto& c, auto&) { c.sup_etat(-1); }},
      {"sup_etat(5)", [](auto& c, auto&) { c.sup_etat(5); }},
      {"sup_etat(1): its transitions go, the later ones move down", [](auto& c, auto&) { c.sup_etat(1); }},
      {"sup_etat(4) finds the transitions by their ends, not from the lists", [](auto& c, auto&) {
         c.ma_table_transitions()[4].modif_ident_etat_aval(4);  // state 4's lists do not know
         c.sup_etat(4);
       }},
      {"sup_etat() in a kind that keeps its automata renumbers them", [](auto& c, auto&) {
         c.def_modele(basic_model);
         c.add_fin_etat(named_state("alone"));
         c.sup_etat(5);
         c.sup_etat(1);
       }},
      {"sup_transition(-1)", [](auto& c, auto&) { c.sup_transition(-1); }},
      {"sup_transition(11)", [](auto& c, auto&) { c.sup_transition(11); }},
      {"sup_transition(2)", [](auto& c, auto&) { c.sup_transition(2); }},
      {"sup_output(-1)", [](auto& c, auto&) { c.sup_output(-1); }},
      {"sup_output(3)", [](auto& c, auto&) { c.sup_output(3); }},
      {"sup_output(1)", [](auto& c, auto&) { c.sup_output(1); }},
      {"sup_action(-1)", [](auto& c, auto&) { c.sup_action(-1); }},
      {"sup_action(5)", [](auto& c, auto&) { c.sup_action(5); }},
      {"sup_action(0): later references move down", [](auto& c, auto&) { c.sup_action(0); }},
      {"sup_action(1): references to it go with it", [](auto& c, auto&) { c.sup_action(1); }},
      {"internal_raj_actions: only the used ones stay, 7 (no action) too", [](auto& c, auto&) {
         c.internal_raj_actions();
         c.stamp() = untouched_stamp();
         c.internal_raj_actions();  // then nothing is left to drop
       }},
      {"replace_action(1, 3)", [](auto& c, auto&) { c.replace_action(1, 3); }},
      {"replace_action(7, 0): a reference to nothing mended", [](auto& c, auto&) { c.replace_action(7, 0); }},
      {"replace_action(1, 5)", [](auto& c, auto&) { c.replace_action(1, 5); }},
      {"replace_action(1, -1)", [](auto& c, auto&) { c.replace_action(1, -1); }},
      {"replace_transition(11, ...)", [](auto& c, auto&) { c.replace_transition(11, arrow(0, 1)); }},
      {"replace_transition(-1, ...)", [](auto& c, auto&) { c.replace_transition(-1, arrow(0, 1)); }},
      {"replace_transition(2, same ends)", [](auto& c, auto&) {
         gal_tpen_transition t = arrow(0, 1, "new", {4});
         t.modif_priorite(2);
         c.replace_transition(2, t);
       }},
      {"replace_transition(2, other source)", [](auto& c, auto&) { c.replace_transition(2, arrow(1, 1)); }},
      {"replace_transition(2, other target)", [](auto& c, auto&) { c.replace_transition(2, arrow(0, 0)); }},
      {"element_neutre_transitions(s): whole words",
       [](auto& c, auto&) { c.element_neutre_transitions("s"); }},
      {"homogenise_boucles_etat(-1)", [](auto& c, auto&) { c.homogenise_boucles_etat(-1); }},
      {"homogenise_boucles_etat(5)", [](auto& c, auto&) { c.homogenise_boucles_etat(5); }},
      {"homogenise_boucles_etat(0), no loop", [](auto& c, auto&) { c.homogenise_boucles_etat(0); }},
      {"homogenise_boucles_etat(1), one loop", [](auto& c, auto&) { c.homogenise_boucles_etat(1); }},
      {"homogenise_boucles_etat(4), three loops", [](auto& c, auto&) { c.homogenise_boucles_etat(4); }},
      {"clear(), then the chart grows as a new one", [](auto& c, auto&) {
         c.clear();
         add_states(c, 3);
         for (int k = 0; k < 9; ++k) c.add_fin_transition(arrow(0, 1));
         c.add_fin_input(gal_declaration_variables("pure", "I"));
       }},
  }));
}

// Each deletion is one pass over the tables, whatever the index deleted.
TEST(Edits, AHundredThousandStateChainLosesTwoLinksAndItsUnusedActions) {
  const int n = 100000;
  chart_probe chart;
  chart.def_modele(par_automata_model);
  add_states(chart, n);
  for (int i = 0; i + 1 < n; ++i) chart.add_fin_transition(arrow(i, i + 1));
  for (int a = 0; a < n; ++a) chart.add_fin_action("a" + std::to_string(a));
  chart.ma_table_etats()[n - 1].add_action(n - 1);
  chart.sup_etat(n / 2);
  chart.sup_etat(0);
  chart.internal_raj_actions();
  const std::vector<int> counts = {chart.nbr_etats(), chart.nbr_transitions(), chart.nombre_SC(),
                                   chart.SC_liste_etats(1).front(), chart.nbr_actions(),
                                   chart.ma_table_etats()[n - 3].mes_actions().front(),
                                   chart.ma_table_transitions()[n / 2 - 2].mon_ident_etat_amont()};
  EXPECT_EQ(counts, std::vector<int>({n - 2, n - 4, 2, n / 2 - 1, 1, 0, n / 2 - 1}));
  EXPECT_EQ(chart.action(0) + chart.nom_etat(n - 3), "a99999s99999");
}
