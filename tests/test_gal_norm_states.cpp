// States and transitions: names, dumps, comparisons, action lists and the
// geometry of arrows. Each operation is made on a fresh copy of one state or
// transition; its note and the object after it are compared with a file of
// tests/data/chart/.
#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <set>
#include <sstream>

#include "chart/gal_norm.h"
#include "tests/chart_support.h"

namespace {

template <class T>
using steps = std::vector<std::pair<const char*, std::function<void(T&, std::ostream& note)>>>;

// A state prints itself; a transition is described.
String shown(const gal_tpen_etat& s) {
  std::ostringstream os;
  os << s;
  return os.str();
}
String shown(const gal_tpen_transition& t) { return describe(t); }

template <class T>
String transcript_of(const T& start, const steps<T>& all) {
  std::ostringstream out;
  for (const auto& step : all) {
    T object = start;
    std::ostringstream note;
    testing::internal::CaptureStderr();
    step.second(object, note);
    out << "==== " << step.first << "\n" << note.str() << testing::internal::GetCapturedStderr() << shown(object)
        << "\n";
  }
  return out.str();
}

gal_tpen_etat state(int kind, const String& name, double x, double y, std::list<int> actions = {},
                    gal_run_instance run = {}) {
  String n = name;
  return gal_tpen_etat(kind, &n, x, y, run, &actions);
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
  std::set<char> seen;  // every letter turns up over many draws
  for (int i = 0; i < 200; ++i)
    for (char c : gal_norm_genere_nom()) seen.insert(c);
  EXPECT_EQ(seen.size(), 26u);
}

// The dump: transition lists get a comma before each index; actions follow
// on a second line. States differ by kind, centre (beyond 1e-7), name, run
// and actions, not by diameter, generated name or lists.
TEST(States, EachOperationOnAFreshState) {
  String name = "r", table[] = {"A", "B", "C"};
  double x = 4, y = 5;
  gal_run_instance run(0, "A\\x");
  std::list<int> one{1};
  const gal_tpen_etat start = state(2, "s", 1.5, -3, {1, 4, 7}, gal_run_instance(1, "A\\x"));
  expect_fixture(transcript_of(start, steps<gal_tpen_etat>{
      {"as read", [](auto&, auto&) {}},
      {"other kinds and no run", [](auto& s, auto&) { s = state(1, "u", 0, 0); }},
      {"", [](auto& s, auto&) { s = state(0, "u", 0, 0); }},
      {"", [](auto& s, auto&) { s = state(7, "", 0, 0); }},
      {"the reader's form", [&](auto& s, auto&) { s = gal_tpen_etat(2, &name, &x, &y, &run, &one); }},
      {"", [&](auto& s, auto&) { s = gal_tpen_etat(1, &name, nullptr, nullptr, nullptr, nullptr); }},
      {"lists, each removal takes every occurrence, diameter", [](auto& s, auto&) {
         for (int t : {3, 5}) s.add_pre_transition(t);
         for (int t : {0, 4, 0}) s.add_post_transition(t);
         s.sup_post_transition(0);
         s.change_mon_diametre(2.5);
       }},
      {"run translated, renaming", [](auto& s, auto& note) {
         s.translate_ident_run(3);
         note << s.renaming_signal_run_instance("x") << "\n";
       }},
      {"no run: none to translate or rename", [](auto& s, auto& note) {
         s = state(1, "a", 0, 0, {}, gal_run_instance(-1, "A\\x"));
         s.translate_ident_run(3);
         note << s.renaming_signal_run_instance("x") << "\n";
       }},
      {"actions merged before the first greater, duplicates kept", [](auto& s, auto&) {
         s.add_actions_list({2, 4, 9, 10});
       }},
      {"into none, then appended, translated, replaced", [](auto& s, auto& note) {
         s.efface_actions();
         s.add_actions_list({3, 1});
         s.add_action(2);
         s.add_action(1);
         s.translate_ident_actions(10);
         s.replace_action(11, 5);
         note << s.existe_action(12) << s.existe_action(11) << "\n";
       }},
      {"looked up by text, each index examined traced", [&](auto& s, auto& note) {
         s = state(1, "a", 0, 0, {2, 1, 0});
         note << s.existe_action(table, "B") << s.existe_action(table, "D") << s.existe_action(nullptr, "A") << "\n";
       }},
      {"compared", [](auto& s, auto& note) {
         gal_tpen_etat same = s;
         same.change_mon_diametre(3);
         same.add_post_transition(4);
         same.change_ma_posx(1.5 + 1e-8);
         note << (s != same) << (s != state(2, "s", 1.5, -3, {1, 4, 7}, gal_run_instance(1, "A\\x")));
         for (const gal_tpen_etat& other :
              {state(2, "s", 1.501, -3, {1, 4, 7}, {1, "A\\x"}), state(2, "s", 1.5, -3.001, {1, 4, 7}, {1, "A\\x"}),
               state(1, "s", 1.5, -3, {1, 4, 7}, {1, "A\\x"}), state(2, "t", 1.5, -3, {1, 4, 7}, {1, "A\\x"}),
               state(2, "s", 1.5, -3, {1, 4}, {1, "A\\x"}), state(2, "s", 1.5, -3, {1, 4, 7}, {0, "A\\x"}),
               state(2, "s", 1.5, -3, {1, 4, 7}, {1, "A"})})
           note << (s != other);
         note << (state(0, "a", 0, 0) != state(3, "a", 0, 0)) << "\n";
       }},
  }), "states.txt");
}

// Initial means from none and not a suspension. A transition's box spans its
// label and points, its maxima floored at zero; a label is a unit wide per
// 3.4 characters. The syntax check finds a '/' before unbalanced brackets.
TEST(Transitions, EachOperationOnAFreshTransition) {
  std::list<double> pts{1, 2, 3, 4};
  double x = 7, y = 8;
  String r = "A and B";
  std::list<int> actions{4, 2};
  gal_tpen_etat states[2] = {state(1, "a", 0, 0), state(1, "b", 3, 0)};
  const gal_tpen_transition start(0, 1, 0, {1, 8, 6, -2}, 10, 20);
  expect_fixture(transcript_of(start, steps<gal_tpen_transition>{
      {"constructed", [](auto&, auto&) {}},
      {"", [](auto& t, auto&) { t = gal_tpen_transition(); }},
      {"", [](auto& t, auto&) { t = gal_tpen_transition(2, 3, 1.5, 2.5); }},
      {"", [&](auto& t, auto&) { t = gal_tpen_transition(0, 1, 3, &pts, &x, &y, -1, &r, &actions); }},
      {"", [](auto& t, auto&) { t = gal_tpen_transition(0, 1, 2, nullptr, nullptr, nullptr, 5, nullptr, nullptr); }},
      {"initial", [](auto& t, auto& note) {
         note << gal_tpen_transition(-1, 0, 0, 0).est_initiale() << gal_tpen_transition(1, 0, 0, 0).est_initiale()
              << gal_tpen_transition(-1, 0, suspend_trans, {}, 0, 0).est_initiale() << "\n";
       }},
      {"ends translated, none kept", [](auto& t, auto&) {
         t.modif_ident_etat_amont(-1);
         t.translate_ident_etats(4);
       }},
      {"", [](auto& t, auto&) {
         t.modif_ident_etat_aval(-1);
         t.translate_ident_etats(-2);
       }},
      {"two points at most", [](auto& t, auto&) {
         t = gal_tpen_transition();
         t.add_point(1, 2);
         t.add_point(3, 4);
         t.add_point(5, 6);
       }},
      {"first and last points moved, then all with the label", [](auto& t, auto&) {
         t.modif_coords_premier_point(1, 1);
         t.modif_coords_dernier_point(-1, -2);
         t.translation_points(1, 10);
       }},
      {"the point of one", [](auto& t, auto&) {
         t = gal_tpen_transition(0, 1, 0, {5, 6}, 0, 0);
         t.modif_coords_premier_point(1, 1);
         t.modif_coords_dernier_point(1, 2);
       }},
      {"points set, a lone x value is no point", [](auto& t, auto&) {
         t = gal_tpen_transition(0, 1, 0, {1, 2, 3, 4, 5, 6, 7}, 0, 0);
         t.modif_coords_point(2, 9, 8);
         t.modif_coords_point(1, 0, 0);
         t.modif_coords_point(3, 9, 9);
       }},
      {"aligned: the points spread over the segment, the label beside", [&](auto& t, auto&) {
         t.aligne_points(states);
       }},
      {"", [&](auto& t, auto&) {
         states[1].change_ma_posx(0);
         states[1].change_ma_posy(4);
         t.aligne_points(states);
       }},
      {"", [&](auto& t, auto&) {
         states[1].change_ma_posx(4);
         t.aligne_points(states);
       }},
      {"no states, or an end that is none: not aligned", [&](auto& t, auto&) {
         t.aligne_points(nullptr);
         gal_tpen_transition(-1, 1, 0, {9, 9}, 0, 0).aligne_points(states);
         t.modif_ident_etat_aval(-1);
         t.aligne_points(states);
       }},
      {"box", [](auto& t, auto& note) {
         for (const gal_tpen_transition& u : {t, gal_tpen_transition(0, 1, 0, {}, 2, 3),
                                              gal_tpen_transition(0, 1, 0, {}, -5, -5)})
           note << u.posxmin() << " " << u.posxmax() << " " << u.posymin() << " " << u.posymax() << "\n";
         t.modif_receptivite("ABCDEFGHIJKLMNOPQ");
         note << t.posxmax() << "\n";
         t.modif_coords_condition(-10, 0);
         note << t.posxmin() << " " << t.posxmax() << "\n";
       }},
      {"actions appended, translated, replaced", [](auto& t, auto& note) {
         t.modif_actions({5, 1});
         t.add_actions({0, 5});
         t.translate_ident_actions(-1);
         t.replace_action(4, 2);
         note << t.existe_action(-1) << t.existe_action(4) << "\n";
       }},
      {"looked up by text", [](auto& t, auto& note) {
         String table[] = {"A", "B", "C"};
         t.modif_actions({2, 0});
         note << t.existe_action(table, "A") << t.existe_action(table, "B") << t.existe_action(nullptr, "A") << "\n";
       }},
      {"syntax", [](auto& t, auto& note) {
         for (const char* trigger : {"(a / b", "(a and (b)", "a)", "(a) and b"}) {
           t.modif_receptivite(trigger);
           note << t.test_syntaxe_receptivite();
         }
         note << "\n";
       }},
  }), "transitions.txt");
}
