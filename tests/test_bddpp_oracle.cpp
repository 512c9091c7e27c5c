// The engine against BuDDy as an oracle: random functions over 12 variables
// are copied into BuDDy, where equal functions are one diagram, and every
// operation of the engine is compared there with BuDDy's own.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd2_support.h"

namespace {

class oracle : public testing::Test {
protected:
  void SetUp() override { buddy_open(12, 100000, 10000); }
  void TearDown() override {
    for (int r : held) buddy_release(r);
    v.clear();
    buddy_close();
  }

  int keep(int r) {
    held.push_back(r);
    return r;
  }
  // Whether f is BuDDy's diagram `reference`.
  bool agrees(const bdd& f, int reference) { return keep(to_buddy(m, f)) == reference; }

  bddpp_manager m;
  std::vector<bdd> v = declare_xs(m, 12);
  std::vector<int> held;
};

TEST_F(oracle, OperationsOnRandomFunctionsAgreeWithBuDDy) {
  std::mt19937 rng(11);
  for (int i = 0; i < 300; ++i) {
    bdd f = random_function(m, v, rng), g = random_function(m, v, rng), h = random_function(m, v, rng);
    const int bf = keep(to_buddy(m, f)), bg = keep(to_buddy(m, g)), bh = keep(to_buddy(m, h));
    const int x = i % 12;
    bdd literal = i % 3 ? v[std::size_t(x)] : m.Bdd_not(v[std::size_t(x)]);
    EXPECT_TRUE(m.Bdd_is_correct(f));
    EXPECT_TRUE(agrees(m.Bdd_and(f, g), keep(buddy_and(bf, bg))));
    EXPECT_TRUE(agrees(m.Bdd_or(f, m.Bdd_not(g)), keep(buddy_or(bf, keep(buddy_not(bg))))));
    EXPECT_TRUE(agrees(m.Bdd_xor(f, g), keep(buddy_xor(bf, bg))));
    EXPECT_TRUE(agrees(m.Bdd_ite(f, g, h), keep(buddy_ite(bf, bg, bh))));
    EXPECT_TRUE(agrees(m.Bdd_exist(f, literal), keep(buddy_exist(bf, x))));
    EXPECT_TRUE(agrees(m.Bdd_forall(f, literal), keep(buddy_forall(bf, x))));
    EXPECT_TRUE(agrees(m.Bdd_compose(f, v[std::size_t(x)], g), keep(buddy_compose(bf, bg, x))));
    EXPECT_EQ(m.Bdd_equiv(f, g), bf == bg);
    EXPECT_EQ(m.Bdd_imply(m.Bdd_and(f, g), f), 1);
    EXPECT_EQ(m.Bdd_is_tautology(m.Bdd_or(f, g), 1), keep(buddy_or(bf, bg)) == buddy_true());
    // Restriction by a cube of up to four literals on distinct variables.
    bdd cube = m.Bdd_one();
    int reference_cube = keep(buddy_copy(buddy_true()));
    for (int k = 0; k < 4; ++k) {
      const int y = (x + 1 + 3 * k + i / 12) % 12;
      const bool positive = (i >> k) & 1;
      cube = m.Bdd_and(cube, positive ? v[std::size_t(y)] : m.Bdd_not(v[std::size_t(y)]));
      reference_cube = keep(buddy_and(reference_cube, positive ? buddy_var(y) : buddy_nvar(y)));
      EXPECT_TRUE(agrees(m.Bdd_cube_reduce(f, cube), keep(buddy_restrict(bf, reference_cube))));
    }
    EXPECT_EQ(m.Bdd_reduce(f, cube), m.Bdd_cube_reduce(f, cube));
  }
}

}  // namespace
