// States and transitions: names, dumps, comparisons, lists and geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <list>
#include <set>
#include <sstream>

#include "chart/gal_norm.h"

namespace {

String dump(const gal_tpen_etat& s) {
  std::ostringstream os;
  os << s;
  return os.str();
}

gal_tpen_etat state(int kind, const String& name, double x, double y,
                    std::list<int> actions = {}, gal_run_instance run = {}) {
  String n = name;
  return gal_tpen_etat(kind, &n, x, y, run, &actions);
}

std::list<double> points(const gal_tpen_transition& t) { return t.liste_positions(); }

}  // namespace

// ---- States -------------------------------------------------------------------

TEST(GeneratedName, SixteenCapitalsOfAllLettersFreshPerStateKeptByCopy) {
  const gal_tpen_etat a, b;
  const String na = a.un_nom(), nb = b.un_nom();
  ASSERT_EQ(na.size(), 16u);
  for (char c : na) EXPECT_TRUE(c >= 'A' && c <= 'Z') << na;
  EXPECT_NE(na, nb);

  const gal_tpen_etat copy = a;
  EXPECT_EQ(copy.un_nom(), na);
  gal_tpen_etat assigned;
  assigned = b;
  EXPECT_EQ(assigned.un_nom(), nb);

  std::set<char> seen;  // every letter turns up over many draws
  for (int i = 0; i < 200; ++i)
    for (char c : gal_norm_genere_nom()) seen.insert(c);
  EXPECT_EQ(seen.size(), 26u);
}

TEST(StateName, GivenNameWinsOverGeneratedOne) {
  gal_tpen_etat s = state(1, "idle", 0, 0);
  EXPECT_EQ(s.un_nom(), "idle");
  EXPECT_EQ(s.mon_nom(), "idle");
  s.replace_nom("");
  EXPECT_EQ(s.un_nom().size(), 16u);
  EXPECT_EQ(s.mon_nom(), "");
}

TEST(StateKind, TextOfEachKind) {
  EXPECT_EQ(state(1, "a", 0, 0).convert_type(), "NS");
  EXPECT_EQ(state(2, "a", 0, 0).convert_type(), "FS");
  EXPECT_EQ(state(0, "a", 0, 0).convert_type(), "UNDEFS");
  EXPECT_EQ(state(7, "a", 0, 0).convert_type(), "UNDEFS");
}

// Transition lists get a comma before each index; actions follow on a second line.
TEST(StateDump, OneLineOfFieldsThenTheActions) {
  gal_tpen_etat with_lists = state(2, "", 0.25, -3, {});
  with_lists.add_pre_transition(3);
  with_lists.add_pre_transition(5);
  with_lists.add_post_transition(0);
  with_lists.change_mon_diametre(2.5);
  EXPECT_EQ(dump(state(1, "s1", 1.5, 2, {})),
            "NS s1 1.5 2 1 pre trans: () post trans: () ident run: -1 renommage: ");
  EXPECT_EQ(dump(with_lists),
            "FS  0.25 -3 2.5 pre trans: (,3,5) post trans: (,0) ident run: -1 renommage: ");
  EXPECT_EQ(dump(state(1, "on", 0, 0, {2, 5}, gal_run_instance(1, "A\\x"))),
            "NS on 0 0 1 pre trans: () post trans: () ident run: 1 renommage: A\\x"
            "table des actions:\n: 2: 5");
}

TEST(StateReaderConstructor, CopiesPointedValues) {
  String name = "r";
  double x = 4, y = 5;
  gal_run_instance run(0, "A\\x");
  std::list<int> actions{1};
  const gal_tpen_etat s(2, &name, &x, &y, &run, &actions);
  EXPECT_EQ(s.mon_nom(), "r");
  EXPECT_EQ(s.ma_posx(), 4);
  EXPECT_EQ(s.ma_posy(), 5);
  EXPECT_EQ(s.mon_diametre(), 1.0);
  EXPECT_EQ(s.mon_ident_run(), 0);
  EXPECT_EQ(s.mes_renomages_param_run(), "A\\x");
  EXPECT_EQ(s.mes_actions(), std::list<int>{1});
  EXPECT_EQ(s.convert_type(), "FS");

  const gal_tpen_etat no_actions(1, &name, &x, &y, &run, nullptr);
  EXPECT_TRUE(no_actions.mes_actions().empty());
}

TEST(StateDifference, IgnoresDiameterGeneratedNameAndTinyMoves) {
  const gal_tpen_etat a = state(1, "a", 1, 1, {1});
  gal_tpen_etat b = a;
  b.change_mon_diametre(3);
  b.add_post_transition(4);
  EXPECT_FALSE(a != b);
  b.change_ma_posx(1 + 1e-8);
  EXPECT_FALSE(a != b);
  EXPECT_FALSE(a != state(1, "a", 1, 1, {1}));  // another generated name

  EXPECT_TRUE(a != state(1, "a", 1.001, 1, {1}));
  EXPECT_TRUE(a != state(2, "a", 1, 1, {1}));
  EXPECT_TRUE(a != state(1, "b", 1, 1, {1}));
  EXPECT_TRUE(a != state(1, "a", 1, 1, {2}));
  EXPECT_TRUE(a != state(1, "a", 1, 1, {1}, gal_run_instance(0, "")));
  EXPECT_TRUE(state(0, "a", 0, 0) != state(3, "a", 0, 0));  // unknown kinds too
}

TEST(StateTransitions, RemovalTakesEveryOccurrence) {
  gal_tpen_etat s;
  for (int t : {1, 2, 1, 3}) s.add_post_transition(t);
  s.add_pre_transition(1);
  s.sup_post_transition(1);
  EXPECT_EQ(s.mes_transitions_post(), (std::list<int>{2, 3}));
  EXPECT_EQ(s.mes_transitions_pre(), std::list<int>{1});
  s.clear_pre_post_transitions();
  EXPECT_TRUE(s.mes_transitions_post().empty());
  EXPECT_TRUE(s.mes_transitions_pre().empty());
}

TEST(StateActions, MergeInsertsBeforeTheFirstGreaterAndKeepsDuplicates) {
  gal_tpen_etat s = state(1, "a", 0, 0, {1, 4, 7});
  s.add_actions_list({2, 4, 9, 10});
  EXPECT_EQ(s.mes_actions(), (std::list<int>{1, 2, 4, 4, 7, 9, 10}));

  gal_tpen_etat empty;
  empty.add_actions_list({3, 1});
  EXPECT_EQ(empty.mes_actions(), (std::list<int>{3, 1}));
}

TEST(StateActions, TranslateAndReplaceKeepTheOrder) {
  gal_tpen_etat s = state(1, "a", 0, 0, {3, 1, 2, 1});
  s.translate_ident_actions(10);
  EXPECT_EQ(s.mes_actions(), (std::list<int>{13, 11, 12, 11}));
  s.replace_action(11, 5);
  EXPECT_EQ(s.mes_actions(), (std::list<int>{13, 5, 12, 5}));
  EXPECT_TRUE(s.existe_action(12));
  EXPECT_FALSE(s.existe_action(11));
  s.efface_actions();
  EXPECT_TRUE(s.mes_actions().empty());
}

TEST(StateActions, LookupByTextTracesEachIndexExamined) {
  String table[] = {"A", "B", "C"};
  const gal_tpen_etat s = state(1, "a", 0, 0, {2, 1, 0});
  testing::internal::CaptureStderr();
  EXPECT_TRUE(s.existe_action(table, "B"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ident= 2\nC\nident= 1\nB\n");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(s.existe_action(table, "D"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ident= 2\nC\nident= 1\nB\nident= 0\nA\n");
}

TEST(StateRun, TranslationAndRenamingNeedARun) {
  gal_tpen_etat none = state(1, "a", 0, 0, {}, gal_run_instance(-1, "A\\x"));
  none.translate_ident_run(3);
  EXPECT_EQ(none.mon_ident_run(), -1);
  EXPECT_EQ(none.renaming_signal_run_instance("x"), "x");

  gal_tpen_etat runs = state(1, "a", 0, 0, {}, gal_run_instance(1, "A\\x"));
  runs.translate_ident_run(3);
  EXPECT_EQ(runs.mon_ident_run(), 4);
  EXPECT_EQ(runs.renaming_signal_run_instance("x"), "A");
}

// ---- Transitions ----------------------------------------------------------------

TEST(TransitionConstructors, Defaults) {
  const gal_tpen_transition d;
  EXPECT_EQ(d.mon_type_trans(), 1);
  EXPECT_EQ(d.ma_priorite(), 0);
  EXPECT_EQ(d.ma_receptivite(), "???");
  EXPECT_EQ(d.mon_ident_etat_amont(), -1);
  EXPECT_EQ(d.mon_ident_etat_aval(), -1);
  EXPECT_TRUE(d.liste_positions().empty());

  const gal_tpen_transition at(2, 3, 1.5, 2.5);
  EXPECT_EQ(at.ma_receptivite(), "");
  EXPECT_EQ(at.posx_receptivite(), 1.5);
  EXPECT_EQ(at.posy_receptivite(), 2.5);
  EXPECT_EQ(at.mon_ident_etat_amont(), 2);
  EXPECT_EQ(at.mon_ident_etat_aval(), 3);

  std::list<double> pts{1, 2, 3, 4};
  double x = 7, y = 8;
  String r = "A and B";
  std::list<int> actions{4, 2};
  const gal_tpen_transition read(0, 1, 3, &pts, &x, &y, -1, &r, &actions);
  EXPECT_EQ(read.mon_type_trans(), 3);
  EXPECT_EQ(read.ma_priorite(), -1);
  EXPECT_EQ(read.ma_receptivite(), "A and B");
  EXPECT_EQ(read.liste_positions(), pts);
  EXPECT_EQ(read.mes_actions(), actions);
  EXPECT_EQ(read.posx_receptivite(), 7);
}

TEST(TransitionInitial, SourceNoneAndNotASuspension) {
  EXPECT_TRUE(gal_tpen_transition(-1, 0, 0, 0).est_initiale());
  EXPECT_FALSE(gal_tpen_transition(1, 0, 0, 0).est_initiale());
  EXPECT_FALSE(gal_tpen_transition(-1, 0, suspend_trans, {}, 0, 0).est_initiale());
}

TEST(TransitionEnds, TranslationSkipsNone) {
  gal_tpen_transition t(-1, 2, 0, 0);
  t.translate_ident_etats(4);
  EXPECT_EQ(t.mon_ident_etat_amont(), -1);
  EXPECT_EQ(t.mon_ident_etat_aval(), 6);
}

TEST(TransitionPoints, AddPointStopsAtTwoPoints) {
  gal_tpen_transition t;
  t.add_point(1, 2);
  t.add_point(3, 4);
  t.add_point(5, 6);
  EXPECT_EQ(points(t), (std::list<double>{1, 2, 3, 4}));
}

TEST(TransitionPoints, SettingAMissingPointReportsAndChangesNothing) {
  gal_tpen_transition t(0, 1, 0, {1, 2, 3, 4}, 0, 0);
  testing::internal::CaptureStderr();
  t.modif_coords_point(2, 9, 9);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "probleme dans gal_tpen_transition:: modif_coords_point();\npoint 2 non trouve ...\n");
  EXPECT_EQ(points(t), (std::list<double>{1, 2, 3, 4}));

  gal_tpen_transition three(0, 1, 0, {1, 2, 3, 4, 5, 6}, 0, 0);
  three.modif_coords_point(2, 9, 8);
  EXPECT_EQ(points(three), (std::list<double>{1, 2, 3, 4, 9, 8}));
}

TEST(TransitionPoints, MovingFirstLastAndAll) {
  gal_tpen_transition t(0, 1, 0, {1, 2, 3, 4}, 10, 20);
  t.modif_coords_premier_point(1, 1);
  t.modif_coords_dernier_point(-1, -2);
  EXPECT_EQ(points(t), (std::list<double>{2, 3, 2, 2}));
  t.translation_points(1, 10);
  EXPECT_EQ(points(t), (std::list<double>{3, 13, 3, 12}));
  EXPECT_EQ(t.posx_receptivite(), 11);
  EXPECT_EQ(t.posy_receptivite(), 30);

  gal_tpen_transition none;
  none.modif_coords_premier_point(1, 1);
  none.modif_coords_dernier_point(1, 1);
  EXPECT_TRUE(points(none).empty());
}

TEST(TransitionPoints, AlignSpreadsPointsOverTheWholeSegment) {
  gal_tpen_etat states[2] = {state(1, "a", 0, 0), state(1, "b", 3, 0)};
  gal_tpen_transition t(0, 1, 0, {9, 9, 9, 9}, 0, 0);
  t.aligne_points(states);
  EXPECT_EQ(points(t), (std::list<double>{1, 0, 2, 0}));
  EXPECT_DOUBLE_EQ(t.posx_receptivite(), 1.5);
  EXPECT_DOUBLE_EQ(t.posy_receptivite(), 0.2);

  states[1].change_ma_posx(0);
  states[1].change_ma_posy(4);
  t.aligne_points(states);
  EXPECT_DOUBLE_EQ(t.posx_receptivite(), 0.2);
  EXPECT_DOUBLE_EQ(t.posy_receptivite(), 2);

  gal_tpen_transition initial(-1, 1, 0, {9, 9}, 0, 0);
  initial.aligne_points(states);
  EXPECT_EQ(points(initial), (std::list<double>{9, 9}));
}

TEST(TransitionBox, SpansLabelAndPointsWithMaximaFlooredAtZero) {
  gal_tpen_transition t(0, 1, 0, {}, 2, 3);
  t.modif_receptivite("");
  EXPECT_EQ(t.posxmin(), 2);
  EXPECT_EQ(t.posxmax(), 2);
  EXPECT_EQ(t.posymin(), 3);
  EXPECT_EQ(t.posymax(), 3.5);

  gal_tpen_transition neg(0, 1, 0, {}, -5, -5);
  EXPECT_EQ(neg.posxmax(), 0.0);
  EXPECT_EQ(neg.posymax(), 0.0);

  gal_tpen_transition wide(0, 1, 0, {1, 8, 6, -2}, 0, 0);
  wide.modif_receptivite("ABCDEFGHIJKLMNOPQ");  // 17 characters: 5 units wide
  EXPECT_DOUBLE_EQ(wide.posxmax(), 6);
  wide.modif_coords_condition(4, 0);
  EXPECT_DOUBLE_EQ(wide.posxmax(), 9);
  EXPECT_EQ(wide.posymax(), 8);
  EXPECT_EQ(wide.posxmin(), 1);
  EXPECT_EQ(wide.posymin(), -2);
}

TEST(TransitionActions, AppendTranslateReplaceKeepOrder) {
  gal_tpen_transition t;
  t.modif_actions({5, 1});
  t.add_actions({0, 5});
  EXPECT_EQ(t.mes_actions(), (std::list<int>{5, 1, 0, 5}));
  t.translate_ident_actions(-1);
  EXPECT_EQ(t.mes_actions(), (std::list<int>{4, 0, -1, 4}));
  t.replace_action(4, 2);
  EXPECT_EQ(t.mes_actions(), (std::list<int>{2, 0, -1, 2}));
  EXPECT_TRUE(t.existe_action(-1));
  EXPECT_FALSE(t.existe_action(4));

  String table[] = {"A", "B", "C"};
  t.modif_actions({2, 0});
  testing::internal::CaptureStderr();
  EXPECT_TRUE(t.existe_action(table, "A"));
  EXPECT_FALSE(t.existe_action(table, "B"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(TransitionSyntax, SlashBeforeBracketBalance) {
  gal_tpen_transition t;
  t.modif_receptivite("(a / b");
  EXPECT_EQ(t.test_syntaxe_receptivite(), 1);
  t.modif_receptivite("(a and (b)");
  EXPECT_EQ(t.test_syntaxe_receptivite(), 2);
  t.modif_receptivite("(a) and b");
  EXPECT_EQ(t.test_syntaxe_receptivite(), 0);
}
