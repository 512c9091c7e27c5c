// States and transitions: generated names, comparisons, and the operations on
// action lists, runs and the geometry of arrows, made on the states and
// transitions of a chart read from edits.gal and seen in its picture.
#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <set>

#include "chart/gal_norm.h"
#include "tests/chart_support.h"

namespace {

gal_tpen_etat state(int kind, const String& name, double x, double y, std::list<int> actions = {},
                    gal_run_instance run = {}) {
  String n = name;
  return gal_tpen_etat(kind, &n, x, y, run, &actions);
}

// A step on the chart's states s and transitions t.
using step_on_tables = std::function<void(gal_tpen_etat* s, gal_tpen_transition* t, std::ostream& note)>;
chart_step on(const char* what, step_on_tables f) {
  return {what, [f](chart_probe& c, std::ostream& n) { f(c.ma_table_etats(), c.ma_table_transitions(), n); }};
}

}  // namespace

TEST(StateName, GivenOrSixteenCapitalsOfAllLettersFreshPerStateKeptByCopy) {
  const gal_tpen_etat a, b;
  const String generated = a.un_nom();
  ASSERT_EQ(generated.size(), 16u);
  for (char c : generated) EXPECT_TRUE(c >= 'A' && c <= 'Z') << generated;
  EXPECT_NE(generated, b.un_nom());
  EXPECT_EQ(gal_tpen_etat(a).un_nom(), generated);
  gal_tpen_etat s = state(1, "idle", 0, 0);
  EXPECT_EQ(s.un_nom(), "idle");
  s.replace_nom("");
  EXPECT_EQ(s.un_nom().size(), 16u);
  s = a;
  EXPECT_EQ(s.un_nom(), generated);
  std::set<char> seen;  // every letter turns up over many draws
  for (int i = 0; i < 200; ++i)
    for (char c : gal_norm_genere_nom()) seen.insert(c);
  EXPECT_EQ(seen.size(), 26u);
}

// States differ by kind, centre (beyond 1e-7), name, run and actions, not by
// diameter, generated name or transition lists.
TEST(StateDifference, IgnoresDiameterGeneratedNameListsAndTinyMoves) {
  const gal_tpen_etat a = state(1, "a", 1, 1, {1});
  gal_tpen_etat b = a;
  b.change_mon_diametre(3);
  b.add_post_transition(4);
  b.change_ma_posx(1 + 1e-8);
  EXPECT_FALSE(a != b);
  EXPECT_FALSE(a != state(1, "a", 1, 1, {1}));
  for (const gal_tpen_etat& other :
       {state(1, "a", 1.001, 1, {1}), state(1, "a", 1, 1.001, {1}), state(2, "a", 1, 1, {1}),
        state(1, "b", 1, 1, {1}), state(1, "a", 1, 1, {2}), state(1, "a", 1, 1, {1}, {0, ""}),
        state(1, "a", 1, 1, {1}, {-1, "x"})})
    EXPECT_TRUE(a != other) << other;
}

// A transition's box spans its label and points, its maxima floored at zero;
// a label is a unit wide per 3.4 characters. The syntax check finds a '/'
// before unbalanced brackets.
TEST(StatesAndTransitions, EachOperationOnAFreshChart) {
  String table[] = {"A", "B", "C", "D", "E"};
  test_files::expect_fixture("chart/states_and_transitions.txt", transcript(read_chart("chart/edits.gal"), {
      on("a state of an unknown kind; transitions as constructed", [](auto* s, auto*, auto& note) {
        s[2] = gal_tpen_etat(7, nullptr, 4.0, 0.0, gal_run_instance(), nullptr);
        for (const gal_tpen_transition& u : {gal_tpen_transition(), gal_tpen_transition(2, 3, 1.5, 2.5),
                                             gal_tpen_transition(2, 3, 1, {1, 2}, 3, 4)})
          note << describe(u) << "\n";
      }),
      on("runs translated and renamed, only where there is one", [](auto* s, auto*, auto& note) {
        s[2].translate_ident_run(3);
        s[3].translate_ident_run(3);
        note << s[2].renaming_signal_run_instance("x") << s[3].renaming_signal_run_instance("x") << "\n";
      }),
      on("actions merged before the first greater, duplicates kept", [](auto* s, auto*, auto&) {
        s[0].efface_actions();
        s[0].add_actions_list({1, 4, 7});
        s[0].add_actions_list({2, 4, 9, 10});
        s[2].add_actions_list({3, 1});
      }),
      on("actions translated, replaced, looked up by index and by text", [&](auto* s, auto* t, auto& note) {
        s[1].translate_ident_actions(10);
        s[1].replace_action(11, 5);
        t[3].add_actions({0, 5});
        t[3].translate_ident_actions(-1);
        t[3].replace_action(4, 2);
        note << s[1].existe_action(14) << s[1].existe_action(11) << t[3].existe_action(-1)
             << t[3].existe_action(4) << t[2].existe_action(table, "E") << t[2].existe_action(table, "A")
             << t[2].existe_action(nullptr, "D") << s[0].existe_action(table, "D")
             << s[0].existe_action(table, "Z") << s[0].existe_action(nullptr, "D") << "\n";  // states trace
      }),
      on("a removal from a state's list takes every occurrence", [](auto* s, auto*, auto&) {
        s[1].add_post_transition(3);
        s[1].sup_post_transition(3);
      }),
      on("initial: from none, not a suspension; ends translated, none kept", [](auto*, auto* t, auto& note) {
        note << t[0].est_initiale() << t[1].est_initiale() << t[2].est_initiale() << "\n";
        t[0].translate_ident_etats(1);
        t[6].translate_ident_etats(-1);
      }),
      on("two points at most; the first, the last and all points moved", [](auto*, auto* t, auto&) {
        for (int k = 0; k < 3; ++k) t[7].add_point(k, k);
        t[5].modif_coords_premier_point(1, 1);
        t[5].modif_coords_dernier_point(-1, -2);
        t[10].translation_points(1, 10);
        t[8].modif_coords_premier_point(1, 1);
        t[8].modif_coords_dernier_point(1, 2);
        t[2].modif_coords_premier_point(1, 1);
      }),
      on("points set; a lone x value is no point", [](auto*, auto* t, auto&) {
        t[9] = gal_tpen_transition(4, 4, 0, {1, 2, 3, 4, 5}, 0, 0);
        t[9].modif_coords_point(1, 0, 0);
        t[9].modif_coords_point(2, 9, 8);
      }),
      on("aligned: points spread over the segment, the label beside", [](auto* s, auto* t, auto&) {
        s[2].change_ma_posy(2);  // a diagonal: the label above
        t[3].add_point(0, 0);
        t[3].add_point(0, 0);
        for (int k : {3, 5, 6, 8}) t[k].aligne_points(s);
        t[0].aligne_points(s);
        t[2].aligne_points(nullptr);
      }),
      on("boxes; syntax of triggers", [](auto*, auto* t, auto& note) {
        t[1].modif_coords_condition(-5, -5);
        for (int k : {1, 5, 8})
          note << std::list<double>{t[k].posxmin(), t[k].posxmax(), t[k].posymin(), t[k].posymax()} << "\n";
        for (const char* trigger : {"(a / b", "(a and (b)", "a)", "(a) and b"}) {
          t[4].modif_receptivite(trigger);
          note << t[4].test_syntaxe_receptivite();
        }
        note << "\n";
      }),
  }, false));
}
