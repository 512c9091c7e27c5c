// Sum-of-products covers against the number of variables: the time of one
// cover at levels 0 to 3, the cubes it returns, and the memory it takes as
// the nodes it adds to the manager. Two families of functions: an OR of
// random 4-literal cubes (few primes, deep implicant trees), and a random
// truth table (many primes, a large diagram). Each run also times, in the
// same process, the level-0 cover of the same function, and reports the
// ratio: the cost of the implicant work over a plain walk of the diagram.
//
// A third family has the shape of the chart checks' triggers: the AND of k
// two-signal ORs (a guard whose cover has 2^k cubes) and its complement (the
// case the determinism check prints for a state with that guard alone: k
// cubes). Both count the leaves of the implicant tree, which the order of
// the prime implicants is defined by and which sets the time of level 2.
#include <benchmark/benchmark.h>

#include <chrono>
#include <list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bdd/bddpp.h"

namespace {

struct workload {
  bddpp_manager m;
  std::vector<bdd> v;
  bdd f;
  workload(int n, bool dense, unsigned seed) {
    for (int i = 0; i < n; ++i) v.push_back(m.New_var_last("x" + std::to_string(i)));
    std::mt19937 rng(seed);
    if (dense) {
      // A random truth table, folded bottom-up into a diagram.
      std::vector<bdd> layer;
      for (int k = 0; k < (1 << n); ++k) layer.push_back((rng() & 1u) ? m.Bdd_one() : m.Bdd_zero());
      for (int i = n - 1; i >= 0; --i) {
        std::vector<bdd> up;
        for (std::size_t k = 0; k < layer.size(); k += 2) up.push_back(m.Bdd_ite(v[static_cast<std::size_t>(i)], layer[k + 1], layer[k]));
        layer.swap(up);
      }
      f = layer[0];
    } else {
      f = m.Bdd_zero();
      for (int c = 0; c < 2 * n; ++c) {
        bdd cube = m.Bdd_one();
        for (int l = 0; l < 4; ++l) {
          const bdd& x = v[rng() % static_cast<unsigned>(n)];
          cube = m.Bdd_and(cube, (rng() & 1u) ? x : m.Bdd_not(x));
        }
        f = m.Bdd_or(f, cube);
      }
    }
  }
};

double seconds_of_level0(int n, bool dense) {
  workload w(n, dense, 1);
  std::list<bdd> out;
  const auto t0 = std::chrono::steady_clock::now();
  w.m.Bdd_sop(w.f, out, 0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void cover(benchmark::State& state, bool dense) {
  const int level = static_cast<int>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  std::size_t cubes = 0;
  double nodes = 0;
  double seconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    workload w(n, dense, 1);  // a fresh manager: nothing found from the last run
    const bdd_gid before = w.m.Bdd_total_size();
    std::list<bdd> out;
    const auto t0 = std::chrono::steady_clock::now();
    state.ResumeTiming();
    w.m.Bdd_sop(w.f, out, level);
    state.PauseTiming();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    cubes = out.size();
    nodes = w.m.Bdd_total_size() - before;
    out.clear();
    state.ResumeTiming();
  }
  const double level0 = seconds_of_level0(n, dense);
  state.counters["vars"] = n;
  state.counters["cubes"] = static_cast<double>(cubes);
  state.counters["nodes_added"] = nodes;
  state.counters["node_MiB"] = nodes * sizeof(bdd_node) / (1024.0 * 1024.0);
  state.counters["x_level0"] = level0 > 0 ? seconds / state.iterations() / level0 : 0;
}

// The leaves of the implicant tree of g: the tree of g's then cofactor, of
// its else cofactor and of their conjunction, counted once per sub-function.
double tree_leaves(bddpp_manager& m, const bdd& g, std::map<std::pair<bdd_node*, int>, double>& known) {
  if (g.node() == m.Bdd_node_one()) return g.link_type() == 1 ? 1 : 0;
  const std::pair<bdd_node*, int> key(g.node(), g.link_type());
  auto it = known.find(key);
  if (it != known.end()) return it->second;
  bdd t = m.Bdd_then(g), e = m.Bdd_else(g);
  const double n = tree_leaves(m, t, known) + tree_leaves(m, e, known) + tree_leaves(m, m.Bdd_and(t, e), known);
  known[key] = n;
  return n;
}

// The budget of the determinism checks' findings (chart/checks.cpp).
constexpr std::uint64_t finding_budget = 50000000;

// (x0 or x1) and (x2 or x3) and ... over k pairs; its complement when asked.
// Within the checks' budget when asked: the level-2 cover while it fits,
// the irredundant cover past it.
void BM_cover_chart_check(benchmark::State& state) {
  const bool uncovered = state.range(0) != 0;
  const int k = static_cast<int>(state.range(1));
  const bool budgeted = state.range(2) != 0;
  int kept = 1;
  std::size_t cubes = 0;
  double leaves = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bddpp_manager m;
    bdd f = m.Bdd_one();
    for (int i = 0; i < k; ++i)
      f = m.Bdd_and(f, m.Bdd_or(m.New_var_last("a" + std::to_string(i)), m.New_var_last("b" + std::to_string(i))));
    if (uncovered) f = m.Bdd_not(f);
    std::map<std::pair<bdd_node*, int>, double> known;
    leaves = tree_leaves(m, f, known);
    // Each leaf is offered to the implicant list, which the walk scans, so a
    // leaf costs more as the list grows (0.2 us at 20 thousand leaves, 9 us
    // at 14 million): past this the run would take hours, and says so.
    if (leaves > 2e8 && !budgeted) {
      state.SkipWithError(("implicant tree of " + std::to_string(leaves) + " leaves").c_str());
      break;
    }
    std::list<bdd> out;
    state.ResumeTiming();
    if (budgeted)
      kept = m.Bdd_sop_2_within(f, out, finding_budget);
    else
      m.Bdd_sop(f, out, 2);
    state.PauseTiming();
    cubes = out.size();
    out.clear();
    state.ResumeTiming();
  }
  state.counters["signals"] = 2 * k;
  state.counters["cubes"] = static_cast<double>(cubes);
  state.counters["tree_leaves"] = leaves;
  state.counters["level2_kept"] = kept;
}

void BM_cover_random_cubes(benchmark::State& state) { cover(state, false); }
void BM_cover_random_table(benchmark::State& state) { cover(state, true); }

}  // namespace

BENCHMARK(BM_cover_random_cubes)
    ->ArgsProduct({{0, 1, 2, 3}, {8, 10, 12, 14}})
    ->ArgNames({"level", "vars"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_cover_chart_check)
    ->ArgsProduct({{0, 1}, {8, 10, 12, 15}, {0}})
    ->ArgsProduct({{0, 1}, {8, 10, 12, 15, 20}, {1}})
    ->ArgNames({"uncovered", "pairs", "budgeted"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_cover_random_table)
    ->ArgsProduct({{0, 1, 2, 3}, {8, 10, 12}})
    ->ArgNames({"level", "vars"})
    ->Unit(benchmark::kMillisecond);
