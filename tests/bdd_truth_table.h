// Truth tables of BDDs for the engine's tests: bit k of a table is the value
// of the function when the variable at position i takes bit i of k. Computed
// bottom-up over the diagram (one pass per node), not by evaluating every
// assignment, so a few hundred tables over 12 variables stay cheap.
#ifndef TESSAN_TESTS_BDD_TRUTH_TABLE_H
#define TESSAN_TESTS_BDD_TRUTH_TABLE_H

#include <cstdint>
#include <map>
#include <vector>

#include "bdd/bddpp.h"

using truth_table = std::vector<std::uint64_t>;

inline std::size_t truth_table_words(int n) { return n <= 6 ? 1 : (std::size_t(1) << (n - 6)); }

// All assignments where the variable at position p is 1.
inline truth_table position_mask(int p, int n) {
  truth_table t(truth_table_words(n), 0);
  for (std::uint64_t k = 0; k < (std::uint64_t(1) << n); ++k)
    if ((k >> p) & 1u) t[k / 64] |= std::uint64_t(1) << (k % 64);
  return t;
}

inline truth_table all_ones(int n) {
  truth_table t(truth_table_words(n), ~std::uint64_t(0));
  if (n < 6) t[0] = (std::uint64_t(1) << (std::uint64_t(1) << n)) - 1;
  return t;
}

inline truth_table complement(const truth_table& a, int n) {
  truth_table r = all_ones(n);
  for (std::size_t i = 0; i < r.size(); ++i) r[i] &= ~a[i];
  return r;
}

// f must depend only on positions 0 .. n-1.
inline truth_table truth_table_of(bddpp_manager& m, const bdd& f, int n) {
  std::map<bdd_node*, truth_table> known;
  std::vector<truth_table> masks;
  for (int p = 0; p < n; ++p) masks.push_back(position_mask(p, n));
  struct walk {
    bddpp_manager& m;
    int n;
    std::map<bdd_node*, truth_table>& known;
    std::vector<truth_table>& masks;
    truth_table of(bdd_node* x) {
      if (x->id == -1) return all_ones(n);
      auto it = known.find(x);
      if (it != known.end()) return it->second;
      truth_table t = of(x->then_node);
      truth_table e = of(x->else_node);
      if (x->else_link == -1) e = complement(e, n);
      const truth_table& mask = masks[static_cast<std::size_t>(m.position_of(x))];
      truth_table r(t.size());
      for (std::size_t i = 0; i < r.size(); ++i) r[i] = (mask[i] & t[i]) | (~mask[i] & e[i]);
      known[x] = r;
      return r;
    }
  } w{m, n, known, masks};
  truth_table r = w.of(f.node());
  return f.link_type() == 1 ? r : complement(r, n);
}

#endif
