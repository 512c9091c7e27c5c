// The engine against BuDDy as an oracle: a few hundred random expressions
// over 12 variables, parsed by the engine and built in BuDDy from the same
// tree, compared on their truth tables and on tautology, equivalence,
// quantifiers, restriction, composition and the number of satisfying
// assignments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd_truth_table.h"
#include "buddy_ref.h"

namespace {

const int variables = 12;

// A random expression, written in the parser's syntax with a spelling drawn
// at random for each operator, and built in BuDDy alongside.
struct expression {
  String text;
  int reference;  // a referenced BuDDy diagram
};

class generator {
public:
  explicit generator(unsigned seed) : rng_(seed) {}

  expression make(int depth) {
    if (depth == 0 || pick(5) == 0) return leaf();
    switch (pick(6)) {
      case 0: {
        expression e = make(depth - 1);
        const char* spelling[] = {"not ", "NOT ", "!", "~"};
        expression r{String(spelling[pick(4)]) + "(" + e.text + ")", buddy_not(e.reference)};
        buddy_release(e.reference);
        return r;
      }
      case 1:
        return binary(depth, {" and ", " AND ", " . ", " & "}, buddy_and);
      case 2:
        return binary(depth, {" or ", " OR ", " + ", " | "}, buddy_or);
      case 3:
        return binary(depth, {" xor ", " XOR "}, buddy_xor);
      case 4:
        return binary(depth, {" xnor ", " XNOR "}, buddy_xnor);
      default:
        return binary(depth, {" and ", " or "}, nullptr);
    }
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

private:
  expression leaf() {
    const int roll = pick(30);
    if (roll == 0) return {"1", buddy_copy(buddy_true())};
    if (roll == 1) return {"0", buddy_copy(buddy_false())};
    const int v = pick(variables);
    return {"v" + std::to_string(v), buddy_copy(buddy_var(v))};
  }

  expression binary(int depth, std::vector<const char*> spellings, int (*op)(int, int)) {
    const std::size_t which = static_cast<std::size_t>(pick(static_cast<int>(spellings.size())));
    if (op == nullptr) op = String(spellings[which]) == " and " ? buddy_and : buddy_or;
    expression l = make(depth - 1);
    expression r = make(depth - 1);
    expression e{"(" + l.text + ")" + spellings[which] + "[" + r.text + "]", op(l.reference, r.reference)};
    buddy_release(l.reference);
    buddy_release(r.reference);
    return e;
  }

  std::mt19937 rng_;
};

class oracle : public testing::Test {
protected:
  void SetUp() override {
    buddy_open(variables, 100000, 10000);
    for (int i = 0; i < variables; ++i) v.push_back(m.New_var_last("v" + std::to_string(i)));
  }
  void TearDown() override {
    for (int r : held) buddy_release(r);
    v.clear();
    buddy_close();
  }

  truth_table ours(const bdd& f) { return truth_table_of(m, f, variables); }
  truth_table theirs(int f) {
    truth_table t(truth_table_words(variables));
    buddy_truth_table(f, variables, t.data());
    return t;
  }
  int keep(int r) {
    held.push_back(r);
    return r;
  }

  // The next random expression, kept alive in BuDDy, and its parse.
  expression draw(generator& g, int depth, bdd& parsed) {
    expression e = g.make(depth);
    keep(e.reference);
    parsed = parse(e.text);
    return e;
  }

  bdd parse(const String& text) {
    int status = -1;
    bdd f = m.Parse_expression(text, &status);
    EXPECT_EQ(status, 0) << text;
    return f;
  }

  // The satisfying assignments counted over disjoint cubes, as the level-0
  // cover walks them.
  double count_models(const bdd& f) {
    double total = 0;
    bdd rest = f;
    std::vector<int> table(static_cast<std::size_t>(variables));
    while (!m.Bdd_is_zero_tautologic(rest)) {
      bdd c = m.Bdd_satisfy(rest);
      // The constant true is no cube of literals: every variable is free.
      std::fill(table.begin(), table.end(), 2);
      if (!m.Bdd_is_one_tautologic(c)) m.Bdd_to_literals(c, table.data());
      total += std::ldexp(1.0, static_cast<int>(std::count(table.begin(), table.end(), 2)));
      rest = m.Bdd_and(rest, m.Bdd_not(c));
    }
    return total;
  }

  bddpp_manager m;
  std::vector<bdd> v;
  std::vector<int> held;
};

TEST_F(oracle, ParsedExpressionsHaveTheReferenceTruthTables) {
  generator g(11);
  for (int i = 0; i < 300; ++i) {
    bdd f;
    expression e = draw(g, 1 + i % 6, f);
    ASSERT_EQ(ours(f), theirs(e.reference)) << e.text;
    EXPECT_EQ(m.Bdd_is_tautology(f, 1), e.reference == buddy_true()) << e.text;
    EXPECT_EQ(m.Bdd_is_tautology(f, 0), e.reference == buddy_false()) << e.text;
    EXPECT_EQ(m.Bdd_is_correct(f), 1);
  }
}

TEST_F(oracle, TautologiesAndEquivalences) {
  generator g(23);
  int tautologies = 0, equivalent_pairs = 0;
  bdd f, before;
  expression previous = draw(g, 3, before);
  for (int i = 0; i < 200; ++i) {
    expression e = draw(g, 2 + i % 4, f);
    // e or not e, and e written again through De Morgan's laws.
    bdd always = parse("(" + e.text + ") or not (" + e.text + ")");
    EXPECT_EQ(m.Bdd_is_tautology(always, 1), 1);
    bdd rewritten = parse("not (not (" + e.text + ") and not (" + previous.text + "))");
    int reference_or = keep(buddy_or(e.reference, previous.reference));
    EXPECT_EQ(m.Bdd_equiv(rewritten, m.Bdd_or(f, before)), 1);
    EXPECT_EQ(ours(rewritten), theirs(reference_or));
    const bool same = e.reference == previous.reference;
    EXPECT_EQ(m.Bdd_equiv(f, before), same ? 1 : 0) << e.text << " / " << previous.text;
    EXPECT_EQ(m.Bdd_imply(f, rewritten), 1);
    tautologies += e.reference == buddy_true();
    equivalent_pairs += same;
    previous = e;
    before = f;
  }
  // The generator does produce constants and repeats, so both answers are exercised.
  EXPECT_GT(tautologies + equivalent_pairs, 0);
}

TEST_F(oracle, QuantifiersOfOneVariable) {
  generator g(37);
  for (int i = 0; i < 200; ++i) {
    bdd f;
    expression e = draw(g, 2 + i % 5, f);
    const int x = g.pick(variables);
    bdd var = m.Bdd_var_by_index(x);
    bdd literal = g.pick(2) ? var : m.Bdd_not(var);
    EXPECT_EQ(ours(m.Bdd_exist(f, literal)), theirs(keep(buddy_exist(e.reference, x)))) << e.text << " v" << x;
    EXPECT_EQ(ours(m.Bdd_forall(f, literal)), theirs(keep(buddy_forall(e.reference, x)))) << e.text << " v" << x;
  }
}

TEST_F(oracle, RestrictionByCubes) {
  generator g(41);
  for (int i = 0; i < 200; ++i) {
    bdd f;
    expression e = draw(g, 2 + i % 5, f);
    bdd cube = m.Bdd_one();
    int reference_cube = keep(buddy_copy(buddy_true()));
    for (int k = 0, n = 1 + g.pick(4); k < n; ++k) {
      const int x = g.pick(variables);
      const bool positive = g.pick(2) != 0;
      if (m.Bdd_depends_on(cube, m.Bdd_var_by_index(x))) continue;
      bdd var = m.Bdd_var_by_index(x);
      cube = m.Bdd_and(cube, positive ? var : m.Bdd_not(var));
      reference_cube = keep(buddy_and(reference_cube, positive ? buddy_var(x) : buddy_nvar(x)));
    }
    EXPECT_EQ(ours(m.Bdd_cube_reduce(f, cube)), theirs(keep(buddy_restrict(e.reference, reference_cube)))) << e.text;
    EXPECT_EQ(ours(m.Bdd_reduce(f, cube)), ours(m.Bdd_cube_reduce(f, cube)));
  }
}

TEST_F(oracle, CompositionAndIfThenElse) {
  generator g(53);
  for (int i = 0; i < 150; ++i) {
    bdd f, fh, fk;
    expression e = draw(g, 2 + i % 4, f), h = draw(g, 1 + i % 3, fh), k = draw(g, 1 + i % 3, fk);
    const int x = g.pick(variables);
    EXPECT_EQ(ours(m.Bdd_compose(f, m.Bdd_var_by_index(x), fh)), theirs(keep(buddy_compose(e.reference, h.reference, x))))
        << e.text << " v" << x << " := " << h.text;
    EXPECT_EQ(ours(m.Bdd_ite(f, fh, fk)), theirs(keep(buddy_ite(e.reference, h.reference, k.reference))));
  }
}

TEST_F(oracle, NumberOfSatisfyingAssignments) {
  generator g(67);
  for (int i = 0; i < 150; ++i) {
    bdd f;
    expression e = draw(g, 2 + i % 4, f);
    EXPECT_EQ(count_models(f), buddy_satcount(e.reference)) << e.text;
  }
}

}  // namespace
