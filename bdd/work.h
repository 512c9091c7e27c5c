// work: budgets counted in work done, for computations that must come back.
//
// A budgeted computation (the level-2 cover of a finding) costs at most its
// budget whichever step the cost falls in: the implicant walk, the
// conjunctions behind its vertices, and the covers worked out after it. The
// recursive operations charge the manager for each subproblem before they
// solve it. The first charge that would pass the limit a `bdd_work_budget`
// set spends the budget instead, and it stays spent: every later charge
// fails, each recursion then returns at once without making a node or
// remembering what it returns, the loops of the covers stop, and the
// operations hand their callers a constant that means nothing. The budget's
// owner asks spent() after each step and, once it is, discards what the
// steps gave and goes its other way. Nothing is left half-made: the nodes
// made before are whole (the collector takes those nobody holds), and none
// is made after. Work is counted, not timed, so the same function gets the
// same answer on any machine, and a budget never refuses what a smaller one
// took. Private to the engine.
#ifndef TESSAN_BDD_WORK_H
#define TESSAN_BDD_WORK_H

#include <algorithm>
#include <cstdint>

#include "bdd/bddpp.h"

// The unit is about the time of one word read from the implicant list's
// index (bdd/cube_bits.h). The other steps are charged somewhat under what
// they cost in those units, as measured on the findings of the chart
// checks: the covers that took under 0.1 s all stay within the checks'
// budget, and the longest still stop within about a second.
constexpr std::uint64_t bdd_work_subproblem = 12;  // of a conjunction or a restriction by a cube
constexpr std::uint64_t bdd_work_visit = 2;        // a node of a walk along a cube
constexpr std::uint64_t bdd_work_vertex = 16;      // a vertex of the implicant tree's graph

inline std::uint64_t bdd_work_left(const bddpp_manager& m) { return m.work_limit - m.work_done; }

inline bool bdd_work_spent(const bddpp_manager& m) { return m.work_spent; }

// Refuses the rest of the work: nothing is left, so every later charge of
// any work fails.
inline void bdd_spend_work(bddpp_manager& m) {
  m.work_spent = true;
  m.work_limit = m.work_done;
}

// False, and the budget spent, when `units` would pass it.
[[nodiscard]] inline bool bdd_charge_work(bddpp_manager& m, std::uint64_t units) {
  if (__builtin_expect(units > bdd_work_left(m), 0)) {
    bdd_spend_work(m);
    return false;
  }
  m.work_done += units;
  return true;
}

// While alive, the operations of m may do `budget` more units of work (and
// no more than an enclosing budget leaves). Once gone, an enclosing budget
// is as it was, spent only if it was.
class bdd_work_budget {
public:
  bdd_work_budget(bddpp_manager& m, std::uint64_t budget) : m_(m), saved_(m.work_limit), saved_spent_(m.work_spent) {
    m.work_limit = m.work_done + std::min(budget, bdd_work_left(m));
  }
  ~bdd_work_budget() {
    m_.work_limit = saved_;
    m_.work_spent = saved_spent_;
  }
  bdd_work_budget(const bdd_work_budget&) = delete;
  bdd_work_budget& operator=(const bdd_work_budget&) = delete;

  bool spent() const { return m_.work_spent; }

private:
  bddpp_manager& m_;
  std::uint64_t saved_;
  bool saved_spent_;
};

#endif
