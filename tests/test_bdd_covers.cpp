// Covers, implicants, truth tables and simplification of the BDD engine.
//
// Covers are printed with ", " between cubes, "." between literals and "'"
// after a negated literal, the notation of the level-3 catalogue.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "bdd/bddpp.h"
#include "bdd2_support.h"

namespace {

String cover_text(bddpp_manager& m, const bdd& f, int level) {
  return m.Print_sop_to_String(", ", ".", "", "'", f, level);
}

String list_text(bddpp_manager& m, const std::list<bdd>& l) {
  String s;
  for (const bdd& c : l) s += (s.empty() ? "" : ", ") + m.Print_product_to_String(".", "", "'", c);
  return s;
}

// ---- The literal reading of the cover algorithms, on BDD operations only ---
// (slow, but the order of every list they produce is the one to keep).

void reference_primes(bddpp_manager& m, const bdd& f, std::list<bdd>& out) {
  out.clear();
  if (f.node() == m.Bdd_node_one()) {
    out.push_back(f);
    return;
  }
  Tdd tree(&m, f);
  std::list<bdd> l;
  tree.Bdd_implicants_loc(m.Bdd_one(), l);
  std::vector<bdd> v(l.begin(), l.end());
  for (std::size_t a = 0; a < v.size(); ++a)
    for (std::size_t b = a + 1; b < v.size(); ++b)
      if (m.Bdd_imply(v[b], v[a])) v[b] = m.Bdd_zero();
  for (const bdd& c : v)
    if (!m.Bdd_is_zero_tautologic(c)) out.push_back(c);
}

void reference_essential(bddpp_manager& m, const bdd& f, std::list<bdd>& ess, std::list<bdd>& others) {
  std::list<bdd> p;
  reference_primes(m, f, p);
  ess.clear();
  others.clear();
  std::vector<bdd> v(p.begin(), p.end());
  for (std::size_t k = 0; k < v.size(); ++k) {
    bdd acc = m.Bdd_zero();
    for (std::size_t j = 0; j < v.size(); ++j)
      if (j != k) acc = m.Bdd_or(acc, v[j]);
    (m.Bdd_equiv(acc, f) ? others : ess).push_back(v[k]);
  }
}

void reference_sop0(bddpp_manager& m, const bdd& f, std::list<bdd>& out) {
  out.clear();
  if (m.Bdd_is_one_tautologic(f)) {
    out.push_back(f);
    return;
  }
  bdd g = f;
  while (!m.Bdd_is_zero_tautologic(g)) {
    bdd c = m.Bdd_satisfy(g);
    g = m.Bdd_and(g, m.Bdd_not(c));
    out.push_back(c);
  }
}

void reference_sop1(bddpp_manager& m, const bdd& f, std::list<bdd>& out) {
  out.clear();
  if (f.node() == m.Bdd_node_one()) {
    out.push_back(f);
    return;
  }
  std::list<bdd> d;
  reference_sop0(m, f, d);
  std::vector<bdd> l;
  for (bdd c : d) {
    std::vector<int> present(static_cast<std::size_t>(m.var_count));
    m.Present_variables(c, present.data());
    for (int i = 0; i < m.var_count; ++i) {
      if (!present[static_cast<std::size_t>(i)]) continue;
      bdd c2 = m.Bdd_exist(c, m.Bdd_var_by_index(i));
      if (m.Bdd_is_one_tautologic(m.Bdd_reduce(f, c2))) c = c2;
    }
    l.push_back(c);
  }
  for (std::size_t k = 0; k < l.size(); ++k) {
    bdd acc = m.Bdd_zero();
    for (std::size_t j = 0; j < l.size(); ++j)
      if (j != k) acc = m.Bdd_or(acc, l[j]);
    if (m.Bdd_equiv(acc, f)) l[k] = m.Bdd_zero();
  }
  for (const bdd& c : l)
    if (!m.Bdd_is_zero_tautologic(c)) out.push_back(c);
}

void reference_sop2(bddpp_manager& m, const bdd& f, std::list<bdd>& out) {
  out.clear();
  std::list<bdd> e, r;
  reference_essential(m, f, e, r);
  bdd cov = m.Bdd_zero();
  for (const bdd& c : e) {
    out.push_back(c);
    cov = m.Bdd_or(c, cov);
  }
  bool stuck = false;
  while (!m.Bdd_equiv(cov, f) && !stuck) {
    bdd prev = cov;
    for (const bdd& c : r)
      if (m.Bdds_excl(cov, c)) {
        out.push_back(c);
        cov = m.Bdd_or(c, cov);
        break;
      }
    stuck = m.Bdd_equiv(cov, prev);
  }
  if (stuck)
    for (const bdd& c : r) {
      if (m.Bdd_equiv(cov, f)) break;
      if (!m.Bdd_equiv(m.Bdd_or(c, cov), cov)) {
        out.push_back(c);
        cov = m.Bdd_or(c, cov);
      }
    }
  std::list<bdd> l1;
  reference_sop1(m, f, l1);
  if (out.size() > l1.size()) out = l1;
}

// Runs check(m, v, f, round) on random functions over 1 .. max_vars
// variables, each in a manager of its own.
template <class Check>
void for_random_functions(unsigned seed, int rounds, int max_vars, Check check) {
  std::mt19937 rng(seed);
  for (int round = 0; round < rounds; ++round) {
    bddpp_manager m;
    auto v = declare_xs(m, 1 + round % max_vars);
    bdd f = random_function(m, v, rng);
    check(m, v, f, round);
  }
}

}  // namespace

// ---- Small covers, exactly ----------------------------------------------------

TEST(BddCovers, ConstantsAtEveryLevel) {
  bddpp_manager m;
  declare_xs(m, 4);
  std::list<bdd> out;
  for (int level : {0, 2}) {
    m.Bdd_sop(m.Bdd_zero(), out, level);
    EXPECT_TRUE(out.empty()) << level;
  }
  m.Bdd_sop(m.Bdd_zero(), out, 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(m.Bdd_is_zero_tautologic(out.front()));
  for (int level : {0, 1, 2, 3}) {
    m.Bdd_sop(m.Bdd_one(), out, level);
    ASSERT_EQ(out.size(), 1u) << level;
    EXPECT_TRUE(m.Bdd_is_one_tautologic(out.front())) << level;
  }
}

TEST(BddCovers, OrOfTwoVariables) {
  bddpp_manager m;
  auto v = declare_xs(m, 2);
  bdd f = m.Bdd_or(v[0], v[1]);
  EXPECT_EQ(cover_text(m, f, 0), "x0, x0'.x1");
  EXPECT_EQ(cover_text(m, f, 1), "x0, x1");
  std::list<bdd> p;
  m.Bdd_prime_implicants(f, p);
  EXPECT_EQ(list_text(m, p), "x0, x1");
}

TEST(BddCovers, LevelTwoKeepsItsCoverOnATie) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b"), c = m.New_var_last("c");
  bdd f = m.Bdd_or(m.Bdd_and(a, m.Bdd_not(b)), c);
  EXPECT_EQ(cover_text(m, f, 0), "a.b.c, a.b', a'.c");
  EXPECT_EQ(cover_text(m, f, 1), "a.b', c");
  std::list<bdd> e, o;
  m.Bdd_essential_implicants(f, e, o);
  EXPECT_EQ(list_text(m, e), "c, a.b'");
  EXPECT_TRUE(o.empty());
  EXPECT_EQ(cover_text(m, f, 2), "c, a.b'");
  EXPECT_EQ(m.Print_sop_to_String(" or ", " and ", "not ", "", f, 2), "c or a and not b");
}

TEST(BddCovers, LevelTwoFollowsItsPhasesAndIsNeverLongerThanLevelOne) {
  for_random_functions(7, 300, 9, [](bddpp_manager& m, std::vector<bdd>&, const bdd& f, int) {
    std::list<bdd> l1, l2;
    m.Bdd_sop(f, l1, 1);
    m.Bdd_sop(f, l2, 2);
    EXPECT_LE(l2.size(), l1.size());
    std::list<bdd> ref;
    reference_sop2(m, f, ref);
    EXPECT_EQ(list_text(m, l2), list_text(m, ref));
  });
}

TEST(BddCovers, EssentialAndOtherPrimes) {
  bddpp_manager m;
  bdd x = m.New_var_last("x"), y = m.New_var_last("y"), z = m.New_var_last("z");
  bdd f = m.Bdd_or(m.Bdd_or(m.Bdd_and(x, y), m.Bdd_and(m.Bdd_not(x), z)), m.Bdd_and(y, z));
  std::list<bdd> e, o;
  m.Bdd_essential_implicants(f, e, o);
  EXPECT_EQ(list_text(m, e), "x.y, x'.z");
  EXPECT_EQ(list_text(m, o), "y.z");
}

TEST(BddCovers, UnknownLevelsGiveTheDisjointCover) {
  bddpp_manager m;
  auto v = declare_xs(m, 3);
  bdd f = m.Bdd_or(v[0], m.Bdd_and(v[1], v[2]));
  for (int level : {7, -1}) EXPECT_EQ(cover_text(m, f, level), cover_text(m, f, 0));
}

TEST(BddCovers, OneImplicantTakesTheThenSideOnEqualSupports) {
  bddpp_manager m;
  bdd x = m.New_var_last("x"), y = m.New_var_last("y"), z = m.New_var_last("z");
  bdd f = m.Bdd_or(m.Bdd_and(x, y), m.Bdd_and(m.Bdd_not(x), z));
  EXPECT_EQ(m.Print_product_to_String(".", "", "'", m.Bdd_one_implicant(f)), "x.y");
  EXPECT_EQ(m.Print_product_to_String(".", "", "'", m.Bdd_one_implicant(m.Bdd_not(y))), "y'");
  bdd g = m.Bdd_or(m.Bdd_and(x, m.Bdd_and(y, z)), m.Bdd_and(m.Bdd_not(x), z));
  EXPECT_EQ(m.Print_product_to_String(".", "", "'", m.Bdd_one_implicant(g)), "x'.z");
}

TEST(BddCovers, PrimeImplicantTest) {
  bddpp_manager m;
  bdd x = m.New_var_last("x"), y = m.New_var_last("y");
  bdd f = m.Bdd_or(x, y);
  EXPECT_EQ(m.Bdd_is_prime_implicant(x, f), 1);
  EXPECT_EQ(m.Bdd_is_prime_implicant(m.Bdd_and(x, y), f), 0);
  EXPECT_EQ(m.Bdd_is_prime_implicant(f, f), 0);  // no cube
  EXPECT_EQ(m.Bdd_is_prime_implicant(m.Bdd_zero(), f), 0);
  EXPECT_EQ(m.Bdd_is_prime_implicant(m.Bdd_one(), m.Bdd_one()), 1);
}

// ---- Level 3 --------------------------------------------------------------------

// The whole catalogue, row by row: the function of each row (its truth table
// F) gets exactly that row's cubes; each row's cubes make F.
TEST(BddCovers, LevelThreeCatalogue) {
  std::ifstream in(TESSAN_TEST_DATA "/bdd2/catalogue.txt");
  ASSERT_TRUE(in.good());
  bddpp_manager m;
  auto v = declare_xs(m, 5);
  std::string line;
  int rows = 0;
  std::set<unsigned> tables;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream s(line);
    unsigned table;
    s >> std::hex >> table;
    std::string cubes;
    std::getline(s >> std::ws, cubes);
    bdd f = m.Bdd_function_by_id(table, 4, v.data());
    EXPECT_EQ(cover_text(m, f, 3), cubes) << std::hex << table;
    std::list<bdd> out;
    m.Bdd_sop(f, out, 3);
    bdd sum = m.Bdd_zero();
    for (const bdd& c : out) sum = m.Bdd_or(sum, c);
    EXPECT_TRUE(m.Bdd_equiv(sum, f)) << std::hex << table;
    tables.insert(table);
    ++rows;
  }
  EXPECT_EQ(rows, 43);
  EXPECT_EQ(tables.size(), 43u);
}

TEST(BddCovers, LevelThreeFallsBackToLevelTwo) {
  bddpp_manager m;
  auto v = declare_xs(m, 5);
  // Row 17's function, then the same over x1 .. x4: only the first one is
  // in the catalogue.
  bdd f = m.Bdd_or(m.Bdd_or(v[1], m.Bdd_and(v[0], m.Bdd_not(v[3]))),
                   m.Bdd_or(m.Bdd_and(m.Bdd_not(v[2]), v[3]), m.Bdd_and(m.Bdd_not(v[0]), v[2])));
  EXPECT_EQ(cover_text(m, f, 3), "x1, x0.x3', x2'.x3, x0'.x2");
  bdd g = m.Bdd_or(m.Bdd_or(v[2], m.Bdd_and(v[1], m.Bdd_not(v[4]))),
                   m.Bdd_or(m.Bdd_and(m.Bdd_not(v[3]), v[4]), m.Bdd_and(m.Bdd_not(v[1]), v[3])));
  EXPECT_EQ(cover_text(m, g, 3), cover_text(m, g, 2));
  bdd h = m.Bdd_or(v[0], m.Bdd_and(v[1], v[2]));  // first three positions only
  EXPECT_EQ(cover_text(m, h, 3), cover_text(m, h, 2));
}

TEST(BddCovers, LevelThreeWithFewerThanFourVariablesGivesLevelTwo) {
  bddpp_manager m;
  auto v = declare_xs(m, 3);
  bdd f = m.Bdd_or(m.Bdd_and(v[0], m.Bdd_not(v[1])), v[2]);
  EXPECT_EQ(cover_text(m, f, 3), "x2, x0.x1'");
  EXPECT_EQ(cover_text(m, m.Bdd_one(), 3), "1");
}

// ---- Random functions against BuDDy --------------------------------------------

class BddCoversOracle : public ::testing::Test {
protected:
  void SetUp() override { buddy_open(12, 200000, 20000); }
  void TearDown() override { buddy_close(); }
};

// The OR of the cubes is the function at every level; level-0 cubes are
// disjoint (their minterm counts add up to the function's); level-2 cubes and
// those of the irredundant cover (level 4 here) are prime (no literal can
// go), and no cube of the irredundant cover can go either.
TEST_F(BddCoversOracle, CoversOfRandomFunctions) {
  std::mt19937 rng(2026);
  for (int round = 0; round < 120; ++round) {
    const int n = 2 + round % 11;
    bddpp_manager m;
    auto v = declare_xs(m, n);
    bdd f = random_function(m, v, rng);
    const int bf = to_buddy(m, f);
    for (int level = 0; level <= 4; ++level) {
      std::list<bdd> cover;
      if (level == 4)
        m.Bdd_sop_irredundant(f, cover);
      else
        m.Bdd_sop(f, cover, level);
      const int sum = buddy_or_of(m, cover);
      EXPECT_EQ(sum, bf) << "level " << level << " round " << round;
      buddy_release(sum);
      for (const bdd& c : cover) EXPECT_TRUE(m.Bdd_is_cube(c));
      if (level == 0) {
        double total = 0;
        for (const bdd& c : cover) {
          const int bc = to_buddy(m, c);
          total += buddy_satcount(bc);
          buddy_release(bc);
        }
        EXPECT_EQ(total, buddy_satcount(bf)) << round;
      }
      if (level == 4)
        for (auto c = cover.begin(); c != cover.end(); ++c) {
          std::list<bdd> others(cover.begin(), c);
          others.insert(others.end(), std::next(c), cover.end());
          const int rest = buddy_or_of(m, others);
          EXPECT_NE(rest, bf) << "a cube of the irredundant cover can go, round " << round;
          buddy_release(rest);
        }
      if ((level == 2 || level == 4) && f.node() != m.Bdd_node_one()) {
        for (const bdd& c : cover) {
          std::vector<int> lits(static_cast<std::size_t>(n));
          m.Bdd_to_literals(c, lits.data());
          for (int p = 0; p < n; ++p) {
            if (lits[static_cast<std::size_t>(p)] == 2) continue;
            const int bc = to_buddy(m, c);
            const int wider = buddy_exist(bc, p);
            const int outside = buddy_and(wider, buddy_not(bf));
            EXPECT_NE(outside, buddy_false()) << "a literal can go, level " << level;
            buddy_release(bc);
            buddy_release(wider);
            buddy_release(outside);
          }
        }
      }
    }
    buddy_release(bf);
  }
}

// Within the budget the level-2 cover itself; past it the irredundant one,
// and 0. A constant needs no walk. Level-2 walks of random functions of up
// to 9 variables take under a million units.
TEST(BddCovers, LevelTwoWithinABudgetOrTheIrredundantCover) {
  for_random_functions(23, 120, 9, [](bddpp_manager& m, std::vector<bdd>&, const bdd& f, int round) {
    const bool constant = f.node() == m.Bdd_node_one();
    std::list<bdd> level2, irredundant, within;
    m.Bdd_sop_2(f, level2);
    m.Bdd_sop_irredundant(f, irredundant);
    const struct {
      std::uint64_t budget;
      int kept;
      const std::list<bdd>& cover;
    } cases[] = {{1000000, 1, level2}, {0, constant ? 1 : 0, constant ? level2 : irredundant}};
    for (const auto& c : cases) {
      EXPECT_EQ(m.Bdd_sop_2_within(f, within, c.budget), c.kept) << round << " budget " << c.budget;
      EXPECT_EQ(list_text(m, within), list_text(m, c.cover)) << round << " budget " << c.budget;
    }
  });
}

TEST(BddCovers, PrimesAreEveryPrimeOnceInTheTreeOrder) {
  for_random_functions(11, 150, 6, [](bddpp_manager& m, std::vector<bdd>& v, const bdd& f, int round) {
    const int n = static_cast<int>(v.size());
    std::list<bdd> fast, ref;
    m.Bdd_prime_implicants(f, fast);
    reference_primes(m, f, ref);
    ASSERT_EQ(list_text(m, fast), list_text(m, ref)) << round;
    // Every prime by brute force over all 3^n cubes.
    int primes = 0;
    long cubes = 1;
    for (int i = 0; i < n; ++i) cubes *= 3;
    for (long code = 0; code < cubes; ++code) {
      bdd c = m.Bdd_one();
      long k = code;
      for (int i = 0; i < n; ++i, k /= 3)
        if (k % 3 != 2) c = m.Bdd_and(c, k % 3 ? v[static_cast<std::size_t>(i)] : m.Bdd_not(v[static_cast<std::size_t>(i)]));
      if (m.Bdd_is_prime_implicant(c, f)) ++primes;
    }
    if (m.Bdd_node_one() == f.node()) return;
    EXPECT_EQ(primes, static_cast<int>(fast.size())) << round;
    Tdd tree(&m, f);
    std::list<bdd> from_tree;
    tree.Bdd_prime_implicants(from_tree);
    EXPECT_EQ(list_text(m, from_tree), list_text(m, fast));
  });
}

TEST(BddCovers, LevelOneAndEssentialPrimesKeepTheOrderOfTheirSteps) {
  for_random_functions(5, 200, 9, [](bddpp_manager& m, std::vector<bdd>&, const bdd& f, int round) {
    std::list<bdd> fast, ref;
    m.Bdd_sop_1(f, fast);
    reference_sop1(m, f, ref);
    EXPECT_EQ(list_text(m, fast), list_text(m, ref)) << round;
    std::list<bdd> e1, o1, e2, o2;
    m.Bdd_essential_implicants(f, e1, o1);
    reference_essential(m, f, e2, o2);
    EXPECT_EQ(list_text(m, e1), list_text(m, e2)) << round;
    EXPECT_EQ(list_text(m, o1), list_text(m, o2)) << round;
  });
}

// The disjoint and level-1 covers of larger functions, and of the guards the
// chart checks meet (an AND of two-signal ORs and its complement, whose
// disjoint cover is exponential while its level-1 cover is not), cube for
// cube against the step-by-step reading.
TEST(BddCovers, LevelsZeroAndOneKeepTheirOrderOnLargerFunctions) {
  auto same = [](bddpp_manager& m, const bdd& f, const String& what) {
    std::list<bdd> fast, ref;
    m.Bdd_sop_0(f, fast);
    reference_sop0(m, f, ref);
    EXPECT_EQ(list_text(m, fast), list_text(m, ref)) << what;
    m.Bdd_sop_1(f, fast);
    reference_sop1(m, f, ref);
    EXPECT_EQ(list_text(m, fast), list_text(m, ref)) << what;
  };
  std::mt19937 rng(17);
  for (int round = 0; round < 40; ++round) {
    bddpp_manager m;
    auto v = declare_xs(m, 10 + round % 5);
    same(m, random_function(m, v, rng), "round " + std::to_string(round));
  }
  bddpp_manager m;
  auto v = declare_xs(m, 12);
  bdd guard = m.Bdd_one();
  for (int i = 0; i < 6; ++i) guard = m.Bdd_and(guard, m.Bdd_or(v[2 * i], v[2 * i + 1]));
  same(m, guard, "guard");
  same(m, m.Bdd_not(guard), "uncovered");
  std::list<bdd> out;
  m.Bdd_sop_0(m.Bdd_zero(), out);
  EXPECT_TRUE(out.empty());
}

TEST(BddCovers, ArrayFormCopiesTheListWithAWarning) {
  bddpp_manager m;
  auto v = declare_xs(m, 2);
  bdd out[4];
  testing::internal::CaptureStderr();
  const int k = m.Bdd_sop(m.Bdd_or(v[0], v[1]), out, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "warning: calling obsolete version of bddpp_manager::Bdd_sop() ...\n");
  ASSERT_EQ(k, 2);
  EXPECT_EQ(out[0], v[0]);
  EXPECT_EQ(out[1], v[1]);
  EXPECT_EQ(m.Max_number_of_terms(), 1000000);
}

// ---- Truth tables and identifiers ------------------------------------------------

TEST(BddCovers, TruthTablesAndIdentifiers) {
  bddpp_manager m;
  auto v = declare_xs(m, 6);
  bdd f = m.Bdd_or(m.Bdd_and(v[0], v[1]), v[2]);
  char table[8];
  m.Truth_table(f, 3, v.data(), table);
  EXPECT_EQ(std::string(table, 8), "00011111");
  m.Truth_table(v[5], 3, v.data(), table);
  EXPECT_EQ(std::string(table, 8), "????????");
  bdd cells[8];
  m.Bdd_truth_table(m.Bdd_and(v[0], v[5]), 3, v.data(), cells);
  EXPECT_TRUE(m.Bdd_is_zero_tautologic(cells[0]));
  EXPECT_EQ(cells[1], v[5]);
  EXPECT_EQ(m.Id_function_by_bdd(f, 3, v.data()), 0xF8u);
  EXPECT_EQ(m.Minterm(-1, 3, v.data()), m.Bdd_zero());
  bdd all5 = m.Bdd_and(m.Bdd_and(m.Bdd_and(v[0], v[1]), m.Bdd_and(v[2], v[3])), v[4]);
  EXPECT_EQ(m.Id_function_by_bdd(all5, 5, v.data()), 0x80000000u);
  testing::internal::CaptureStderr();
  EXPECT_EQ(m.Id_function_by_bdd(f, 6, v.data()), 0u);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "In bddpp_manager::Id_function_by_bdd(): number of variables (6) too big! avorted ...\n");
  EXPECT_EQ(m.Bdd_function_by_id(0, 3, v.data()), m.Bdd_zero());
  std::mt19937 rng(3);
  for (int i = 0; i < 50; ++i) {
    const std::uint32_t id = static_cast<std::uint32_t>(rng());
    EXPECT_EQ(m.Id_function_by_bdd(m.Bdd_function_by_id(id, 5, v.data()), 5, v.data()), id);
  }
}

// ---- Simplification under a constraint -------------------------------------------

TEST(BddCovers, SimplifyWidensWhileDisjointFromTheConstraint) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b"), c = m.New_var_last("c");
  bdd f = m.Bdd_and(a, m.Bdd_and(b, c));
  bdd g = m.Bdd_and(m.Bdd_not(a), b);
  // a is kept (dropping it meets g); b and c go.
  EXPECT_EQ(m.Bdd_simplify(f, g), a);
  EXPECT_EQ(m.Bdd_simplify(m.Bdd_one(), g), m.Bdd_one());
  // Never over the top variable a: b goes, then c.
  bdd h = m.Bdd_and(b, m.Bdd_not(a));
  EXPECT_EQ(m.Bdd_simplify2(f, h), a);
  EXPECT_EQ(m.Bdd_simplify2(f, a), f);
  // Each prime widened on its own: a.b + a'.c against b'.c' stays whole, and
  // against a.b' .c' it becomes b + a'.
  bdd k = m.Bdd_or(m.Bdd_and(a, b), m.Bdd_and(m.Bdd_not(a), c));
  bdd r = m.Bdd_simplify3(k, m.Bdd_and(m.Bdd_not(b), m.Bdd_not(c)));
  EXPECT_TRUE(m.Bdd_imply(k, r));
  EXPECT_TRUE(m.Bdds_excl(r, m.Bdd_and(m.Bdd_not(b), m.Bdd_not(c))));
  EXPECT_EQ(m.Bdd_simplify3(m.Bdd_zero(), a), m.Bdd_zero());
}

// ---- Misuse -------------------------------------------------------------------------

TEST(BddCoversDeath, ForeignHandles) {
  bddpp_manager m, other;
  bdd x = other.New_var_last("x");
  m.New_var_last("x");
  std::list<bdd> out;
  EXPECT_EXIT(m.Bdd_sop(x, out, 2), ::testing::ExitedWithCode(1),
              "ERROR in bddpp_manager::Bdd_sop\\(\\):\n   bdd is not allocated or associated with a bad BDD "
              "manager: awaited 0x[0-9a-f]+ found: 0x[0-9a-f]+ ...");
  EXPECT_EXIT(m.Bdd_one_implicant(x), ::testing::ExitedWithCode(1),
              "ERROR in bddpp_manager::Bdd_one_implicant\\(\\):\n   bdd : adr manager= .*, is not allocated or "
              "associated with a bad BDD manager...");
}

TEST(BddCovers, TddWithoutManager) {
  testing::internal::CaptureStderr();
  Tdd t(nullptr, bdd());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "in Tdd::Tdd() : error: bdd manager not yet created !\n");
  std::list<bdd> out;
  t.Bdd_prime_implicants(out);
  EXPECT_TRUE(out.empty());
}
