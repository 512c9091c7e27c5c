// The BDD engine against BuDDy on the same workloads, in one process: an xor
// chain, n-queens, and random 20-variable expressions. Each workload is
// written once over a small engine adapter and run on both; the two engines
// alternate run by run, and every benchmark reports the median CPU time of
// each and the median ratio of their paired runs.
//
// BuDDy keeps an operation cache across calls; this engine keeps nothing
// between calls, only a memo inside each call.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "bdd/bddpp.h"
#include "bench/bench_support.h"
#include "buddy_ref.h"

namespace {

// Nodes created by the last run of each engine, and the time the engine
// spent in its collector.
std::int64_t ours_nodes = 0, buddy_nodes = 0;
double ours_gc_seconds = 0;

// The engine collects only when asked. The adapter asks as BuDDy collects:
// when the nodes fill a table of BuDDy's starting size (`table_nodes`, given
// to both), and that table doubles whenever a collection leaves less than a
// fifth of it free. Both engines then hold the same memory between two
// collections.
constexpr int table_nodes = 1 << 16;
constexpr int cache_entries = 1 << 14;

struct ours {
  using F = bdd;
  bddpp_manager m;
  std::vector<bdd> vars;
  std::int32_t capacity = table_nodes;
  explicit ours(int n) {
    for (int i = 0; i < n; ++i) vars.push_back(m.New_var_last("x" + std::to_string(i)));
  }
  ~ours() {
    vars.clear();
    ours_nodes = m.Bdd_total_size();
  }
  F var(int i) { return vars[static_cast<std::size_t>(i)]; }
  F one() { return m.Bdd_one(); }
  F zero() { return m.Bdd_zero(); }
  F op_and(const F& a, const F& b) { return collected(m.Bdd_and(a, b)); }
  F op_or(const F& a, const F& b) { return collected(m.Bdd_or(a, b)); }
  F op_xor(const F& a, const F& b) { return collected(m.Bdd_xor(a, b)); }
  F op_not(const F& a) { return m.Bdd_not(a); }
  F op_imply(const F& a, const F& b) { return collected(m.Bdd_implication(a, b)); }

  F collected(F result) {
    if (m.table_node_count() >= capacity) {
      const auto start = std::chrono::steady_clock::now();
      m.Bdd_gc();
      ours_gc_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      const std::int64_t free_nodes = std::int64_t(capacity) - m.table_node_count();
      if (free_nodes * 100 / capacity <= 20) capacity *= 2;
    }
    return result;
  }
};

// A referenced BuDDy diagram with value semantics.
class buddy_handle {
public:
  explicit buddy_handle(int referenced) : r_(referenced) {}
  buddy_handle(const buddy_handle& o) : r_(buddy_copy(o.r_)) {}
  buddy_handle& operator=(const buddy_handle& o) {
    int keep = buddy_copy(o.r_);
    buddy_release(r_);
    r_ = keep;
    return *this;
  }
  ~buddy_handle() { buddy_release(r_); }
  int get() const { return r_; }

private:
  int r_;
};

struct buddy {
  using F = buddy_handle;
  explicit buddy(int n) { buddy_open(n, table_nodes, cache_entries); }
  ~buddy() {
    buddy_nodes = buddy_produced();
    buddy_close();
  }
  F var(int i) { return F(buddy_copy(buddy_var(i))); }
  F one() { return F(buddy_copy(buddy_true())); }
  F zero() { return F(buddy_copy(buddy_false())); }
  F op_and(const F& a, const F& b) { return F(buddy_and(a.get(), b.get())); }
  F op_or(const F& a, const F& b) { return F(buddy_or(a.get(), b.get())); }
  F op_xor(const F& a, const F& b) { return F(buddy_xor(a.get(), b.get())); }
  F op_not(const F& a) { return F(buddy_not(a.get())); }
  F op_imply(const F& a, const F& b) {
    F na = op_not(a);
    return op_or(na, b);
  }
};

// ---- Workloads --------------------------------------------------------------

template <class E>
void xor_chain(int n) {
  E e(n);
  typename E::F f = e.var(0);
  for (int i = 1; i < n; ++i) f = e.op_xor(f, e.var(i));
  benchmark::DoNotOptimize(f);
}

template <class E>
void queens(int n) {
  E e(n * n);
  auto x = [&](int i, int j) { return e.var(i * n + j); };
  typename E::F q = e.one();
  for (int i = 0; i < n; ++i) {
    typename E::F row = e.zero();
    for (int j = 0; j < n; ++j) row = e.op_or(row, x(i, j));
    q = e.op_and(q, row);
  }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      typename E::F here = x(i, j);
      typename E::F c = e.one();
      for (int l = 0; l < n; ++l)
        if (l != j) c = e.op_and(c, e.op_imply(here, e.op_not(x(i, l))));
      for (int k = 0; k < n; ++k)
        if (k != i) c = e.op_and(c, e.op_imply(here, e.op_not(x(k, j))));
      for (int k = 0; k < n; ++k) {
        const int up = k - i + j, down = i + j - k;
        if (k != i && up >= 0 && up < n) c = e.op_and(c, e.op_imply(here, e.op_not(x(k, up))));
        if (k != i && down >= 0 && down < n) c = e.op_and(c, e.op_imply(here, e.op_not(x(k, down))));
      }
      q = e.op_and(q, c);
    }
  benchmark::DoNotOptimize(q);
}

// The same seeded expressions for both engines.
template <class E>
typename E::F random_expression(E& e, std::mt19937& rng, int depth, int variables) {
  std::uniform_int_distribution<int> pick(0, 7);
  const int roll = pick(rng);
  if (depth == 0 || roll == 0) return e.var(std::uniform_int_distribution<int>(0, variables - 1)(rng));
  typename E::F left = random_expression(e, rng, depth - 1, variables);
  if (roll == 1) return e.op_not(left);
  typename E::F right = random_expression(e, rng, depth - 1, variables);
  if (roll <= 3) return e.op_and(left, right);
  if (roll <= 5) return e.op_or(left, right);
  return e.op_xor(left, right);
}

template <class E>
void random_expressions(int count) {
  const int variables = 20;
  E e(variables);
  std::mt19937 rng(2024);
  for (int i = 0; i < count; ++i) {
    typename E::F f = random_expression(e, rng, 9, variables);
    benchmark::DoNotOptimize(f);
  }
}

// ---- Measurement ---------------------------------------------------------------

using bench_support::median;
using bench_support::cpu_seconds_of;

// The two engines take turns, run by run, each run paired with the other
// engine's run next to it (which goes first alternates too), so a change in
// the machine's load falls on both sides of a pair; the ratio reported is
// the median of the pairs' ratios. The benchmark's own time is that of both
// engines together.
template <class Ours, class Theirs>
void compare(benchmark::State& state, Ours run_ours, Theirs run_buddy) {
  std::vector<double> ours_runs, buddy_runs, ratios;
  double ours_total = 0, gc_total = 0;
  std::int64_t nodes_ours = 0, nodes_buddy = 0;
  for (auto _ : state) {
    const bool ours_first = ours_runs.size() % 2 == 0;
    double ours_s = 0, buddy_s = 0;
    if (!ours_first) buddy_s = cpu_seconds_of(run_buddy);
    ours_gc_seconds = 0;
    ours_s = cpu_seconds_of(run_ours);
    gc_total += ours_gc_seconds;
    if (ours_first) buddy_s = cpu_seconds_of(run_buddy);
    nodes_ours = ours_nodes;
    nodes_buddy = buddy_nodes;
    ours_total += ours_s;
    ours_runs.push_back(ours_s);
    buddy_runs.push_back(buddy_s);
    ratios.push_back(ours_s / buddy_s);
  }
  const double ours_median = median(ours_runs), buddy_median = median(buddy_runs);
  state.counters["ours_ms"] = ours_median * 1e3;
  state.counters["buddy_ms"] = buddy_median * 1e3;
  state.counters["ratio"] = median(ratios);
  state.counters["pairs"] = static_cast<double>(ratios.size());
  // What bounds the ratio: how many nodes each engine makes, and the time
  // per node.
  state.counters["gc_share"] = gc_total / ours_total;
  state.counters["nodes_ratio"] = static_cast<double>(nodes_ours) / static_cast<double>(nodes_buddy);
  state.counters["ns_per_node_ours"] = ours_median * 1e9 / static_cast<double>(nodes_ours);
  state.counters["ns_per_node_buddy"] = buddy_median * 1e9 / static_cast<double>(nodes_buddy);
}

void xor_chain_vs_buddy(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  compare(state, [n] { xor_chain<ours>(n); }, [n] { xor_chain<buddy>(n); });
}
BENCHMARK(xor_chain_vs_buddy)->Arg(500)->Arg(2000)->MinTime(0.5)->Unit(benchmark::kMillisecond);

void queens_vs_buddy(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  compare(state, [n] { queens<ours>(n); }, [n] { queens<buddy>(n); });
}
BENCHMARK(queens_vs_buddy)->DenseRange(6, 8)->MinTime(0.5)->Unit(benchmark::kMillisecond);

void random_expressions_vs_buddy(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  compare(state, [count] { random_expressions<ours>(count); }, [count] { random_expressions<buddy>(count); });
}
BENCHMARK(random_expressions_vs_buddy)->Arg(200)->MinTime(0.5)->Unit(benchmark::kMillisecond);

}  // namespace
