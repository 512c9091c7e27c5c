// The substitution table: associations x := g, their replacement in
// functions, the table listing and the fixed-point report.
#include <gtest/gtest.h>

#include <sstream>

#include "bdd/bddpp.h"

namespace {

struct abcd_manager {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  bdd b = m.New_var_last("b");
  bdd c = m.New_var_last("c");
  bdd d = m.New_var_last("d");

  String table() {
    std::ostringstream o;
    m.debug_variables(o);
    return o.str();
  }
  String fixed_points(const bdd& f) {
    std::ostringstream o;
    m.Print_Fixes_Points(o, f);
    return o.str();
  }
};

}  // namespace

TEST(BddSubstitution, DeclarationsAssociateNothing) {
  abcd_manager t;
  EXPECT_EQ(t.table(), "a --> a\nb --> b\nc --> c\nd --> d\n");
  std::int32_t loop = 5;
  EXPECT_EQ(t.m.Bdd_follow_assoc(t.a, &loop), t.a);
  EXPECT_EQ(loop, -1);
  bdd f = t.m.Bdd_or(t.a, t.m.Bdd_and(t.b, t.c));
  EXPECT_EQ(t.m.Bdd_follow_assoc(f, &loop), f);
  EXPECT_EQ(loop, -1);
}

TEST(BddSubstitution, FollowReplacesAssociatedVariables) {
  abcd_manager t;
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_not(t.b), t.a);
  std::int32_t loop = 5;
  EXPECT_EQ(t.m.Bdd_follow_assoc(t.m.Bdd_or(t.a, t.c), &loop), t.m.Bdd_or(t.m.Bdd_not(t.b), t.c));
  EXPECT_EQ(loop, -1);
  EXPECT_EQ(t.m.Bdd_follow_assoc(t.a, &loop), t.m.Bdd_not(t.b));
  EXPECT_EQ(loop, -1);
  EXPECT_EQ(t.table(), "a --> not b\nb --> b\nc --> c\nd --> d\n");
}

TEST(BddSubstitution, AssociationsAreKeptSubstitutedBothWays) {
  abcd_manager t;
  // A new association replaces the variables already associated ...
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_not(t.c), t.b);
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_and(t.b, t.d), t.a);
  EXPECT_EQ(t.table(), "a --> not c and d\nb --> not c\nc --> c\nd --> d\n");
  // ... and is replaced in the associations that use its variable.
  abcd_manager u;
  u.m.Bdd_assoc_bdd_to_var(u.m.Bdd_and(u.b, u.d), u.a);
  u.m.Bdd_assoc_bdd_to_var(u.m.Bdd_not(u.c), u.b);
  EXPECT_EQ(u.table(), "a --> not c and d\nb --> not c\nc --> c\nd --> d\n");
}

TEST(BddSubstitution, ConstantPairsAreAcceptedSilently) {
  abcd_manager t;
  testing::internal::CaptureStderr();
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_one(), t.m.Bdd_one());
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_zero(), t.m.Bdd_zero());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(t.table(), "a --> a\nb --> b\nc --> c\nd --> d\n");
}

TEST(BddSubstitutionDeath, SecondArgumentMustBeAVariable) {
  abcd_manager t;
  EXPECT_EXIT(t.m.Bdd_assoc_bdd_to_var(t.b, t.m.Bdd_not(t.a)), ::testing::ExitedWithCode(1),
              "error in bddpp_manager::Bdd_assoc_bdd_to_var\\(\\):\n     second parameter is not a var !\n"
              "replace from: !a by expression: b\n");
  EXPECT_EXIT(t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_zero(), t.m.Bdd_one()), ::testing::ExitedWithCode(1),
              "replace from: 1 by expression: 0\n");
}

TEST(BddSubstitution, TheTableFollowsVariablesNotPositions) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b");
  bdd z = m.New_var_before(0, "z");  // z takes position 0, a and b move down
  m.Bdd_assoc_bdd_to_var(m.Bdd_not(a), b);
  std::int32_t loop = 5;
  EXPECT_EQ(m.Bdd_follow_assoc(m.Bdd_and(z, b), &loop), m.Bdd_and(z, m.Bdd_not(a)));
  EXPECT_EQ(loop, -1);
  std::ostringstream o;
  m.debug_variables(o);
  EXPECT_EQ(o.str(), "z --> z\na --> a\nb --> not a\n");
}

TEST(BddSubstitution, CollectorKeepsWhatOnlyTheTableHolds) {
  abcd_manager t;
  {
    bdd g = t.m.Bdd_or(t.m.Bdd_and(t.b, t.c), t.m.Bdd_and(t.m.Bdd_not(t.b), t.d));
    t.m.Bdd_assoc_bdd_to_var(g, t.a);
  }
  const std::int32_t nodes = t.m.table_node_count();
  t.m.Bdd_gc();
  EXPECT_LT(t.m.table_node_count(), nodes);  // the intermediate conjunctions went
  EXPECT_EQ(t.table(), "a --> b and c or not b and d\nb --> b\nc --> c\nd --> d\n");
  std::int32_t loop;
  EXPECT_EQ(t.m.Bdd_follow_assoc(t.a, &loop), t.m.Bdd_or(t.m.Bdd_and(t.b, t.c), t.m.Bdd_and(t.m.Bdd_not(t.b), t.d)));
}

TEST(BddSubstitution, SelfDependentVariableWithTwoStablePoints) {
  abcd_manager t;
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_and(t.a, t.b), t.a);
  std::int32_t loop = -5;
  EXPECT_EQ(t.m.Bdd_follow_assoc(t.a, &loop), t.m.Bdd_and(t.a, t.b));
  EXPECT_EQ(loop, 0);
  EXPECT_EQ(t.fixed_points(t.a), "\n  ==> two stability points : a'= 0, a''= b");
}

TEST(BddSubstitution, SelfDependentVariableThatOscillates) {
  abcd_manager t;
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_and(t.m.Bdd_not(t.c), t.b), t.c);
  std::int32_t loop;
  EXPECT_EQ(t.m.Bdd_follow_assoc(t.m.Bdd_or(t.c, t.d), &loop), t.m.Bdd_or(t.c, t.d));
  EXPECT_EQ(loop, 2);
  EXPECT_EQ(t.fixed_points(t.c), "\n  ==> oscillation on c  for b\n  ==> stabilisation when c = b'\n");
}

TEST(BddSubstitution, FixedPointReportWithoutSelfDependence) {
  abcd_manager t;
  EXPECT_EQ(t.fixed_points(t.m.Bdd_and(t.c, t.d)), "c.d = c.d\n");
  t.m.Bdd_assoc_bdd_to_var(t.m.Bdd_not(t.b), t.a);
  EXPECT_EQ(t.fixed_points(t.m.Bdd_or(t.a, t.c)), "a + c = c + b'\n");
  EXPECT_EQ(t.fixed_points(t.a), "a = b'\n");
}
