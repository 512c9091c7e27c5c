// The chart container: builders, model kinds, automata, incoming and
// outgoing lists, and the range-checked queries.
#include <gtest/gtest.h>

#include <list>
#include <random>
#include <vector>

#include "chart/gal_norm.h"
#include "tests/chart_support.h"
#include "text/list_String.h"

namespace {

chart_probe empty_chart(int model) {
  String name = "m";
  return chart_probe(&name, model, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
}

// The automata found the slow, obvious way: a breadth-first search from each
// state not yet reached, that scans every transition for each state it takes.
std::vector<std::list<int>> literal_automata(int n, const std::vector<std::pair<int, int>>& ts) {
  std::vector<std::list<int>> result;
  std::vector<bool> seen(n, false);
  const auto valid = [n](int s) { return s >= 0 && s < n; };
  for (int i = 0; i < n; ++i) {
    if (seen[i]) continue;
    std::list<int> automaton, worklist{i};
    for (seen[i] = true; !worklist.empty(); worklist.pop_front()) {
      const int s = worklist.front();
      automaton.push_back(s);
      for (bool incoming : {true, false})
        for (const auto& t : ts) {
          const int near = incoming ? t.second : t.first, far = incoming ? t.first : t.second;
          if (near == s && valid(far) && !seen[far]) seen[far] = true, worklist.push_back(far);
        }
    }
    result.push_back(automaton);
  }
  return result;
}

using L = std::list<int>;

}  // namespace

// Each operation is made on a fresh copy of the chart of builders.gal, as in
// the edits' table. The stamp moves on changes only: the reader's setters
// and the upkeep of the structure leave it alone. An end outside the states,
// like an index outside the transitions in a state's list, counts as none.
// Out of range, a getter writes its diagnostic and gives a placeholder.
TEST(Builders, EachOperationOnAFreshChart) {
  std::list<gal_tpen_transition> three(3, arrow(-1, -1)), twelve(12, arrow(-1, -1));
  std::list<gal_tpen_etat> states{named_state("a")};
  test_files::expect_fixture("chart/builders.txt", transcript(read_chart("chart/builders.gal"), {
      {"set_encapsulation()", [](auto& c, auto&) { c.set_encapsulation(); }},
      {"clear(): kind, name and flag stay", [](auto& c, auto&) {
         c.set_encapsulation();
         c.clear();
       }},
      {"def_modele(basic), as par_automata: no locals, variables, sensors, pres",
       [](auto& c, auto&) { c.def_modele(0); }},
      {"def_modele(light_esterel): variables fold into locals, sensors into inputs",
       [](auto& c, auto&) { c.def_modele(2); }},
      {"def_modele(synccharts): no pres", [](auto& c, auto&) { c.def_modele(3); }},
      {"normalise_diametre_etats(): a running state as wide as its program's name", [](auto& c, auto&) {
         for (int i = 0; i < 4; ++i) c.ma_table_etats()[i].change_mon_diametre(2.5);
         c.normalise_diametre_etats();
       }},
      {"normalise_diametre_etats() in par_automata: every state to 1", [](auto& c, auto&) {
         c.def_modele(1);
         c.ma_table_etats()[2].change_mon_diametre(2.5);
         c.stamp() = untouched_stamp();
         c.normalise_diametre_etats();
       }},
      {"add_bootstate(): it takes over every initial arrow, suspensions too", [](auto& c, auto&) {
         c.add_bootstate();
       }},
      {"ident_et_add_prog_externe(abc): there already",
       [](auto& c, auto& note) { note << c.ident_et_add_prog_externe("abc") << "\n"; }},
      {"ident_et_add_prog_externe(pump)",
       [](auto& c, auto& note) { note << c.ident_et_add_prog_externe("pump") << "\n"; }},
      {"add_type(int) there already, add_type(bool)", [](auto& c, auto&) {
         c.add_type("int");
         c.add_type(String("bool"));
       }},
      {"efface_table_inputs(), efface_table_locals(), then again", [](auto& c, auto&) {
         c.efface_table_inputs();
         c.efface_table_locals();
         c.stamp() = untouched_stamp();
         c.efface_table_inputs();
         c.efface_table_locals();
       }},
      {"add_fin_action(x); a constant replaced", [](auto& c, auto&) {
         c.add_fin_action("x");
         c.ma_table_constants()[1] = gal_declaration_constants("int", "N");
       }},
      {"add_fin_input, local, output, pre, progs_externes, def_nom_module", [](auto& c, auto&) {
         c.add_fin_input(gal_declaration_variables("pure", "i"));
         c.add_fin_local(gal_declaration_variables("pure", "l"));
         c.add_fin_output(gal_declaration_variables("pure", "o"));
         c.add_fin_pre(gal_declaration_pres("po", "o", "---"));
         c.add_fin_progs_externes(gal_declaration_progs("lib", "f.gal", "f", {}, {}, {}));
         c.def_nom_module("n");
       }},
      {"add_fin_etat(): an automaton of its own", [](auto& c, auto&) { c.add_fin_etat(named_state("new")); }},
      {"a state for an end appended before: its own automaton until the next arrow", [](auto& c, auto& n) {
         c.add_fin_transition(arrow(1, 4));
         c.add_fin_etat(named_state("late"));
         n << c.nombre_SC() << c.SC_liste_etats(3) << "\n";
         c.add_fin_transition(arrow(2, 4));
         c.raj_pre_post_transitions();  // the first arrow's end did not count in the lists either
       }},
      {"add_fin_transition() of one of its own to the full table doubles it", [](auto& c, auto&) {
         c.add_fin_transition(c.ma_table_transitions()[4]);
       }},
      {"parse_etats(), parse_transitions() of fewer: the table is kept", [&](auto& c, auto&) {
         c.parse_etats(&states);
         c.parse_transitions(&three);
       }},
      {"parse_transitions() of more, then one appended", [&](auto& c, auto&) {
         c.parse_transitions(&twelve);
         c.raj_pre_post_transitions();
         c.stamp() = untouched_stamp();
         c.add_fin_transition(arrow(0, 1));
       }},
      {"the states before and after each, with stale entries in state 0's lists", [](auto& c, auto& note) {
         c.ma_table_etats()[0].add_post_transition(50);
         c.ma_table_etats()[0].add_pre_transition(-2);
         for (int i = -1; i <= 4; ++i)
           note << i << ": from " << c.ident_etats_pre(i) << " to " << c.ident_etats_post(i) << "\n";
         c.raj_pre_post_transitions();
       }},
      {"sinks, transitions by their ends, automata out of range", [](auto& c, auto& note) {
         note << c.liste_etats_puits() << c.liste_ident_transitions_par_couple_etats(0, 1)
              << c.liste_ident_transitions_par_couple_etats(-1, 0)
              << c.liste_ident_transitions_par_couple_etats(2, 3) << c.SC_liste_etats(-1)
              << c.SC_liste_etats(3) << "\n";
       }},
      {"lookups by name", [](auto& c, auto& note) {
         const std::set<String> bools = c.ens_entrees("bool");
         note << L{c.ident_etat("none"), c.ident_etat("nope"), c.ident_output("O"),
                   c.ident_output(String("P")), c.ident_output("Q"), c.ident_local("L"),
                   c.ident_local(String("O")), c.ident_action("x := 1"), c.ident_action("emit"),
                   c.nbr_inputs_bool()}
              << " " << std::list<String>(bools.begin(), bools.end()) << "\n";
       }},
      {"getters in and out of range", [](auto& c, auto& note) {
         note << std::list<String>{  // in order: a braced list is evaluated left to right
                     c.nom_etat(0), c.nom_etat(-1), c.nom_etat(4), c.receptivite_transition(8),
                     c.receptivite_transition(9), c.nom_input(2), c.nom_input(5), c.type_input(1),
                     c.type_input(3), c.nom_output(2), c.nom_output(3), c.type_output(2), c.type_output(-1),
                     c.nom_local(0), c.nom_local(-2), c.type_local(0), c.type_local(1),
                     c.nom_module_prog_externe(1), c.nom_module_prog_externe(2),
                     c.nom_fichier_prog_externe(0), c.nom_fichier_prog_externe(-1), c.chemin_prog_externe(1),
                     c.chemin_prog_externe(2), c.action(1), c.action(2), std::to_string(c.nbr_actions(1)),
                     std::to_string(c.nbr_actions(4))}
              << "\n";
       }},
  }));
  EXPECT_EXIT(empty_chart(par_automata_model).add_bootstate(), testing::ExitedWithCode(1),
              "ERROR: no initial state found !");
}

// ---- Automata ---------------------------------------------------------------------

// Appended one by one, or recomputed at once, the automata are those of the
// literal search, except in the kinds without automata (undefined, basic),
// which keep one per state as the states were appended.
TEST(Automata, MatchTheLiteralSearchAppendedOneByOneOrRecomputed) {
  std::mt19937 random(7);
  for (int round = 0; round < 100; ++round) {
    const int model = round % 5 - 1, n = 1 + static_cast<int>(random() % 12);
    chart_probe c = empty_chart(model);
    std::vector<std::pair<int, int>> ends;
    add_states(c, n);
    for (int k = static_cast<int>(random() % 16); k > 0; --k) {
      ends.emplace_back(static_cast<int>(random() % (n + 2)) - 1, static_cast<int>(random() % (n + 2)) - 1);
      c.add_fin_transition(arrow(ends.back().first, ends.back().second));  // -1 .. n: one past the table
    }
    const std::vector<L> expected = literal_automata(n, model > 0 ? ends : decltype(ends){});
    EXPECT_EQ(automata(c), expected) << "round " << round;
    c.update_simple_connexite();
    EXPECT_EQ(automata(c), expected) << "round " << round;
    expect_lists_match(c);
  }
}
