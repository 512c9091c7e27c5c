// BuDDy's word on a cover of f: the OR of its cubes is f and, when asked, no
// literal of a cube can go (prime) and no cube can go (irredundant). BuDDy's
// references are given back when it closes.
#ifndef TESSAN_TESTS_COVER_ORACLE_H
#define TESSAN_TESTS_COVER_ORACLE_H

#include <gtest/gtest.h>

#include <iterator>
#include <list>
#include <string>

#include "bdd2_support.h"

inline void expect_cover(bddpp_manager& m, const std::list<bdd>& cubes, const bdd& f, const std::string& what,
                         bool prime, bool irredundant) {
  const int bf = to_buddy(m, f);
  EXPECT_EQ(buddy_or_of(m, cubes), bf) << what;
  for (auto c = cubes.begin(); c != cubes.end(); ++c) {
    const int bc = to_buddy(m, *c);
    for (int p = 0; prime && p < m.var_count; ++p) {
      const int wider = buddy_exist(bc, p);
      EXPECT_TRUE(wider == bc || buddy_and(wider, buddy_not(bf)) != buddy_false()) << what << ": " << p;
    }
    if (!irredundant) continue;
    std::list<bdd> others(cubes.begin(), c);
    others.insert(others.end(), std::next(c), cubes.end());
    EXPECT_NE(buddy_or_of(m, others), bf) << what << ": a cube can go";
  }
}

#endif
