// Covers, implicants, truth tables and simplification of the BDD engine.
//
// Covers are printed with ", " between cubes, "." between literals and "'"
// after a negated literal, the notation of the level-3 catalogue.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <random>
#include <sstream>

#include "bdd/bddpp.h"
#include "cover_oracle.h"
#include "tests/test_files.h"

namespace {

String product(bddpp_manager& m, const bdd& c) { return m.Print_product_to_String(".", "", "'", c); }

String list_text(bddpp_manager& m, const std::list<bdd>& l) {
  String s;
  for (const bdd& c : l) s += (s.empty() ? "" : ", ") + product(m, c);
  return s;
}

String cover_text(bddpp_manager& m, const bdd& f, int level) {
  return m.Print_sop_to_String(", ", ".", "", "'", f, level);
}

// Everything the engine lists about f, a line each, in the engine's order;
// the slower walks only for functions of few variables.
String listings(bddpp_manager& m, std::vector<bdd> v, const bdd& f) {
  const int n = static_cast<int>(v.size());
  std::ostringstream s;
  std::list<bdd> l, others;
  for (int level = 0; level <= (n <= 9 ? 3 : 1); ++level) {
    m.Bdd_sop(f, l, level);
    s << level << ": " << list_text(m, l) << "\n";
  }
  m.Bdd_sop_irredundant(f, l);
  s << "irredundant: " << list_text(m, l) << "\n";
  if (n > 9) return s.str();
  m.Bdd_prime_implicants(f, l);
  s << "primes: " << list_text(m, l) << "\n";
  m.Bdd_essential_implicants(f, l, others);
  s << "essential: " << list_text(m, l) << " | others: " << list_text(m, others) << "\n";
  s << "one implicant: " << product(m, m.Bdd_one_implicant(f)) << "\n";
  if (n > 6) return s.str();
  Tdd tree(&m, f);
  tree.Bdd_prime_implicants(l);
  s << "tree primes: " << list_text(m, l) << "\n";
  l.clear();
  tree.Bdd_implicants_loc(m.Bdd_one(), l);
  s << "implicants: " << list_text(m, l) << "\n";
  if (n > 5) return s.str();
  std::vector<char> table((1u << (n - 1)) + 1, '-');  // over all but the last variable; one past stays
  std::vector<bdd> cells(table.size() - 1);
  m.Truth_table(f, n - 1, v.data(), table.data());
  m.Bdd_truth_table(f, n - 1, v.data(), cells.data());
  const std::uint32_t id = m.Id_function_by_bdd(f, n, v.data());
  EXPECT_EQ(m.Bdd_function_by_id(id, n, v.data()), f);
  s << "truth table: " << std::string(table.begin(), table.end()) << " cells: "
    << list_text(m, std::list<bdd>(cells.begin(), cells.end())) << " id: " << std::hex << id << "\n";
  return s.str();
}

}  // namespace

// Every listing of sets of random functions (seed, count, fewest and most
// variables), of the guards the chart checks meet (an AND of two-signal ORs,
// and its complement, whose disjoint cover is exponential), of a function of
// positions past the first word and of 0 and 1, in
// the order each algorithm gives. The fixture was checked against readings of
// the algorithms step by step on BDD operations alone; BuDDy checks below
// what the covers must be.
TEST(BddCovers, ListingsOfFunctionsAreThoseOfTheFixture) {
  std::ostringstream out;
  for (const auto& [seed, count, low, high] :
       {std::array{7, 300, 1, 9}, {5, 200, 1, 9}, {11, 150, 1, 6}, {17, 40, 10, 14}}) {
    std::mt19937 rng(seed);
    for (int round = 0; round < count; ++round) {
      bddpp_manager m;
      const auto v = declare_xs(m, low + round % (high - low + 1));
      out << "function " << seed << "/" << round << "\n" << listings(m, v, random_function(m, v, rng));
    }
  }
  bddpp_manager m;
  const auto v = declare_xs(m, 70);  // cubes past the first 64 positions too
  bdd guard = m.Bdd_one();
  for (int i = 0; i < 6; ++i) guard = m.Bdd_and(guard, m.Bdd_or(v[2 * i], v[2 * i + 1]));
  out << "guard\n" << listings(m, v, guard) << "its complement\n" << listings(m, v, m.Bdd_not(guard));
  out << "wide\n" << listings(m, v, m.Bdd_or(m.Bdd_and(v[1], m.Bdd_not(v[66])), m.Bdd_and(v[64], v[69])));
  const std::vector<bdd> x(v.begin(), v.begin() + 4);
  out << "0\n" << listings(m, x, m.Bdd_zero()) << "1\n" << listings(m, x, m.Bdd_one());
  test_files::expect_fixture("bdd2/listings.txt", out.str());
}

// Prime implicants known by hand; levels the covers do not know give the disjoint cover.
TEST(BddCovers, CoversAndPrimeImplicantsKnownByHand) {
  bddpp_manager m;
  const bdd a = m.New_var_last("a"), b = m.New_var_last("b"), c = m.New_var_last("c");
  const bdd f = m.Bdd_or(m.Bdd_and(a, m.Bdd_not(b)), c);
  EXPECT_EQ(cover_text(m, f, 7), "a.b.c, a.b', a'.c");
  const struct {
    bdd cube, f;
    int prime;
  } cases[] = {{c, f, 1},           {m.Bdd_and(a, m.Bdd_not(b)), f, 1}, {m.Bdd_and(a, c), f, 0},
               {m.Bdd_not(b), f, 0}, {f, f, 0} /* no cube */,           {m.Bdd_zero(), f, 0},
               {m.Bdd_one(), m.Bdd_one(), 1}, {a, m.Bdd_one(), 0}};
  for (const auto& t : cases) EXPECT_EQ(m.Bdd_is_prime_implicant(t.cube, t.f), t.prime) << product(m, t.cube);
}

// Each catalogue row's function (its truth table over x0 .. x3) gets exactly
// that row's cubes, which make the function; the same function over x1 .. x4
// and functions of fewer positions get the level-2 cover.
TEST(BddCovers, LevelThreeCatalogue) {
  std::ifstream in(TESSAN_TEST_DATA "/bdd2/catalogue.txt");
  bddpp_manager m;
  auto v = declare_xs(m, 4);
  std::string line, rows, got;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const bdd f = m.Bdd_function_by_id(std::stoul(line.substr(0, 4), nullptr, 16), 4, v.data());
    std::list<bdd> cubes;
    m.Bdd_sop(f, cubes, 3);
    bdd sum = m.Bdd_zero();
    for (const bdd& c : cubes) sum = m.Bdd_or(sum, c);
    EXPECT_TRUE(m.Bdd_equiv(sum, f)) << line;
    rows += line + "\n";
    got += line.substr(0, 5) + list_text(m, cubes) + "\n";
  }
  EXPECT_EQ(got, rows);
  EXPECT_NE(rows, "");
  bddpp_manager m5;
  auto w = declare_xs(m5, 5);
  EXPECT_EQ(cover_text(m5, m5.Bdd_function_by_id(0xdffe, 4, w.data()), 3), "x1, x0.x3', x2'.x3, x0'.x2");
  for (const bdd& g : {m5.Bdd_function_by_id(0xdffe, 4, &w[1]), m5.Bdd_or(w[0], m5.Bdd_and(w[1], w[2]))})
    EXPECT_EQ(cover_text(m5, g, 3), cover_text(m5, g, 2));
}

// The OR of the cubes is the function at every level, the level-0 cubes are
// disjoint (their minterm counts add up to the function's), the level-2
// cubes are prime and the irredundant cover is prime and irredundant.
TEST(BddCovers, CoversOfRandomFunctionsAgreeWithBuDDy) {
  buddy_open(12, 200000, 20000);
  std::mt19937 rng(2026);
  for (int round = 0; round < 120; ++round) {
    bddpp_manager m;
    const bdd f = random_function(m, declare_xs(m, 2 + round % 11), rng);
    for (int level = 0; level <= 3; ++level) {
      std::list<bdd> cover;
      m.Bdd_sop(f, cover, level);
      expect_cover(m, cover, f, std::to_string(round) + " level " + std::to_string(level), level == 2, false);
      double minterms = 0;
      for (const bdd& c : cover) minterms += buddy_satcount(to_buddy(m, c));
      EXPECT_TRUE(level != 0 || minterms == buddy_satcount(to_buddy(m, f))) << round;
    }
    std::list<bdd> irredundant;
    m.Bdd_sop_irredundant(f, irredundant);
    expect_cover(m, irredundant, f, std::to_string(round) + " irredundant", true, true);
  }
  buddy_close();
}

// Within the budget the level-2 cover itself and 1; past it the irredundant
// cover and 0. A constant needs no walk. Level-2 walks of random functions of
// up to 9 variables take under a million units.
TEST(BddCovers, LevelTwoWithinABudgetOrTheIrredundantCover) {
  std::mt19937 rng(23);
  for (int round = 0; round < 120; ++round) {
    bddpp_manager m;
    const bdd f = random_function(m, declare_xs(m, 1 + round % 9), rng);
    const bool constant = f.node() == m.Bdd_node_one();
    std::list<bdd> level2, irredundant, within;
    m.Bdd_sop_2(f, level2);
    m.Bdd_sop_irredundant(f, irredundant);
    EXPECT_EQ(m.Bdd_sop_2_within(f, within, 1000000), 1) << round;
    EXPECT_EQ(list_text(m, within), list_text(m, level2)) << round;
    EXPECT_EQ(m.Bdd_sop_2_within(f, within, 0), constant ? 1 : 0) << round;
    EXPECT_EQ(list_text(m, within), list_text(m, constant ? level2 : irredundant)) << round;
  }
}

// A budget that gives level 2 gives it plus one: the answer is the same at
// every budget past the work of the whole cover, and the irredundant cover
// below it, for functions whose walks end far from where they start (an AND,
// thresholds, a parity), at every budget up to a few hundred units and at
// doublings past them.
TEST(BddCovers, ABudgetThatFitsFitsPlusOne) {
  bddpp_manager m;
  const auto x = declare_xs(m, 12);
  auto at_least = [&](int k, int n) {
    std::vector<bdd> row(static_cast<std::size_t>(k) + 1, m.Bdd_zero());  // row[j]: at least j so far
    row[0] = m.Bdd_one();
    for (int i = 0; i < n; ++i)
      for (int j = k; j >= 1; --j) row[j] = m.Bdd_or(row[j], m.Bdd_and(row[j - 1], x[i]));
    return row[k];
  };
  bdd parity = m.Bdd_zero();
  for (int i = 0; i < 6; ++i) parity = m.Bdd_xor(parity, x[i]);
  const std::pair<const char*, bdd> functions[] = {
      {"x0.x1", m.Bdd_and(x[0], x[1])}, {"3 of 6", at_least(3, 6)}, {"5 of 10", at_least(5, 10)}, {"parity", parity}};
  for (const auto& [name, f] : functions) {
    std::list<bdd> out;
    int fitted = 0;
    for (std::uint64_t budget = 0; budget < (std::uint64_t(1) << 30); budget += budget < 400 ? 1 : budget) {
      const int fits = m.Bdd_sop_2_within(f, out, budget);
      EXPECT_GE(fits, fitted) << name << " at " << budget;
      fitted = fits;
    }
    EXPECT_EQ(fitted, 1) << name;
  }
}

// The budget covers the steps after the walk too: the walk of the parity of
// 11 variables fits in a few hundred thousand units (a graph of 21 vertices,
// 1024 leaves), but its 1024 primes, one per minterm, make the essential
// split and the level-1 cover compared with it cost millions.
TEST(BddCovers, AWalkThatFitsFallsBackWhenTheCoversAfterItDoNot) {
  bddpp_manager m;
  const auto x = declare_xs(m, 11);
  bdd parity = m.Bdd_zero();
  for (const bdd& v : x) parity = m.Bdd_xor(parity, v);
  std::list<bdd> within, irredundant;
  m.Bdd_sop_irredundant(parity, irredundant);
  EXPECT_EQ(m.Bdd_sop_2_within(parity, within, 1000000), 0);
  EXPECT_EQ(list_text(m, within), list_text(m, irredundant));
  EXPECT_EQ(m.Bdd_sop_2_within(parity, within, std::uint64_t(1) << 40), 1);
}

// The literals of f go in turn while f stays apart from g; the second form
// never drops the top variable, the third widens each prime on its own.
TEST(BddCovers, SimplifyWidensWhileDisjointFromTheConstraint) {
  bddpp_manager m;
  const bdd a = m.New_var_last("a"), b = m.New_var_last("b"), c = m.New_var_last("c");
  const bdd f = m.Bdd_and(a, m.Bdd_and(b, c));
  const bdd none = m.Bdd_and(m.Bdd_not(a), m.Bdd_and(m.Bdd_not(b), m.Bdd_not(c)));
  EXPECT_EQ(m.Bdd_simplify(f, none), c);
  EXPECT_EQ(m.Bdd_simplify(f, m.Bdd_and(m.Bdd_not(a), b)), a);  // dropping a would meet a'.b
  EXPECT_EQ(m.Bdd_simplify(m.Bdd_one(), a), m.Bdd_one());
  EXPECT_EQ(m.Bdd_simplify2(f, none), a);
  EXPECT_EQ(m.Bdd_simplify2(f, a), f);
  const bdd k = m.Bdd_or(m.Bdd_and(a, b), m.Bdd_and(m.Bdd_not(a), c));  // primes a.b, a'.c, b.c
  EXPECT_EQ(m.Bdd_simplify3(k, m.Bdd_and(m.Bdd_not(b), m.Bdd_not(c))), m.Bdd_or(b, c));
  EXPECT_EQ(m.Bdd_simplify3(m.Bdd_zero(), a), m.Bdd_zero());
}

// The obsolete array form copies the list, a tree without a manager lists
// nothing and identifiers of more than five variables are refused, each
// saying so.
TEST(BddCovers, ObsoleteAndRefusedCallsWarn) {
  bddpp_manager m;
  auto v = declare_xs(m, 6);
  bdd out[4];
  std::list<bdd> primes(1, v[0]);
  testing::internal::CaptureStderr();
  EXPECT_EQ(m.Bdd_sop(m.Bdd_or(v[0], v[1]), out, 1), 2);
  Tdd(nullptr, bdd()).Bdd_prime_implicants(primes);
  EXPECT_EQ(m.Id_function_by_bdd(v[0], 6, v.data()), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "warning: calling obsolete version of bddpp_manager::Bdd_sop() ...\n"
            "in Tdd::Tdd() : error: bdd manager not yet created !\n"
            "In bddpp_manager::Id_function_by_bdd(): number of variables (6) too big! avorted ...\n");
  EXPECT_EQ(list_text(m, {out[0], out[1]}), "x0, x1");
  EXPECT_TRUE(primes.empty());
  EXPECT_EQ(m.Max_number_of_terms(), 1000000);
  EXPECT_EQ(m.Minterm(-1, 3, v.data()), m.Bdd_zero());
}

TEST(BddCoversDeath, ForeignHandles) {
  bddpp_manager m, other;
  bdd x = other.New_var_last("x");
  m.New_var_last("x");
  std::list<bdd> out;
  EXPECT_EXIT(m.Bdd_sop(x, out, 2), ::testing::ExitedWithCode(1),
              "ERROR in bddpp_manager::Bdd_sop\\(\\):\n   bdd is not allocated or associated with a bad BDD "
              "manager: awaited 0x[0-9a-f]+ found: 0x[0-9a-f]+ ...");
  EXPECT_EXIT(m.Bdd_one_implicant(x), ::testing::ExitedWithCode(1),
              "ERROR in bddpp_manager::Bdd_one_implicant\\(\\):\n   bdd : adr manager= .*, is not allocated "
              "or associated with a bad BDD manager...");
}
