// The substitution table: associations x := g, their replacement in
// functions, the table listing and the fixed-point report.
#include <gtest/gtest.h>

#include <sstream>

#include "bdd/bddpp.h"
#include "bdd2_support.h"

namespace {

// A manager over a, b, c, d writing what it does into a transcript.
struct abcd {
  std::ostream& log;
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  bdd b = m.New_var_last("b");
  bdd c = m.New_var_last("c");
  bdd d = m.New_var_last("d");

  abcd(std::ostream& o, const char* title) : log(o) { log << "---- " << title << "\n"; }
  String text(const bdd& f) { return m.Print_sop_to_String(" + ", ".", "", "'", f, 2); }
  void follow(const bdd& f) {
    std::int32_t loop = -5;
    const String r = text(m.Bdd_follow_assoc(f, &loop));
    log << "follow " << text(f) << ": " << r << ", loop " << loop << "\n";
  }
  void fixed_points(const bdd& f) {
    m.Print_Fixes_Points(log, f);
    log << "|\n";
  }
};

}  // namespace

TEST(BddSubstitution, AssociationsFollowingAndFixedPoints) {
  std::ostringstream log;
  cerr_into errors(log);
  {
    abcd t(log, "z declared before a: the table follows variables, not positions");
    bdd z = t.m.New_var_before(0, "z");
    t.follow(t.a);
    t.follow(t.m.Bdd_or(t.a, t.m.Bdd_and(t.b, t.c)));
    t.fixed_points(t.m.Bdd_and(t.c, t.d));
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_one(), t.m.Bdd_one());  // accepted silently
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_zero(), t.m.Bdd_zero());
    t.m.debug_variables(log);
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_not(t.b), t.a);
    t.follow(t.m.Bdd_or(t.a, t.c));
    t.follow(t.a);
    t.follow(t.m.Bdd_and(z, t.a));
    t.fixed_points(t.m.Bdd_or(t.a, t.c));
    t.fixed_points(t.a);
    // Self-dependent variables: two stable points, or an oscillation.
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_and(t.d, t.b), t.d);
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_and(t.m.Bdd_not(t.c), t.b), t.c);
    t.m.debug_variables(log);
    t.follow(t.d);
    t.follow(t.m.Bdd_or(t.c, t.a));
    t.fixed_points(t.d);
    t.fixed_points(t.c);
  }
  // A new association replaces the variables already associated, and is
  // replaced in the associations that use its variable.
  {
    abcd t(log, "b := c', then a := b.d");
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_not(t.c), t.b);
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_and(t.b, t.d), t.a);
    t.m.debug_variables(log);
  }
  {
    abcd t(log, "a := b.d, then b := c'");
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_and(t.b, t.d), t.a);
    t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_not(t.c), t.b);
    t.m.debug_variables(log);
  }
  test_files::expect_fixture("bdd/substitution.txt", log.str());
}

// The table holds no reference: the collector keeps what it names, and frees
// it once the table lets it go.
TEST(BddSubstitution, CollectorKeepsWhatOnlyTheTableHolds) {
  std::ostringstream log;
  abcd t(log, "");
  const std::int32_t variables_only = t.m.table_node_count();
  {
    bdd g = t.m.Bdd_or(t.m.Bdd_and(t.b, t.c), t.m.Bdd_and(t.m.Bdd_not(t.b), t.d));
    t.m.Bdd_assoc_bdd_to_var(g, t.a);
  }
  const std::int32_t nodes = t.m.table_node_count();
  t.m.Bdd_gc();
  EXPECT_LT(t.m.table_node_count(), nodes);  // the intermediate conjunctions went
  std::int32_t loop;
  EXPECT_EQ(t.m.Bdd_follow_assoc(t.a, &loop),
            t.m.Bdd_or(t.m.Bdd_and(t.b, t.c), t.m.Bdd_and(t.m.Bdd_not(t.b), t.d)));
  t.m.assoc[0] = bdd_assoc_entry{t.a.node(), 1};
  t.m.Bdd_gc();
  EXPECT_EQ(t.m.table_node_count(), variables_only);
}

TEST(BddSubstitutionDeath, SecondArgumentMustBeAVariable) {
  std::ostringstream log;
  abcd t(log, "");
  EXPECT_EXIT(t.m.Bdd_assoc_bdd_to_var(t.b, t.m.Bdd_not(t.a)), ::testing::ExitedWithCode(1),
              "error in bddpp_manager::Bdd_assoc_bdd_to_var\\(\\):\n     second parameter is not a var !\n"
              "replace from: !a by expression: b\n");
  EXPECT_EXIT(t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_zero(), t.m.Bdd_one()), ::testing::ExitedWithCode(1),
              "replace from: 1 by expression: 0\n");
}
