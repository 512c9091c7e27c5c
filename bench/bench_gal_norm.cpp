// Building and finishing a chart: states and transitions appended one by one,
// then the diameters, the concurrent automata and the in/out lists, as the
// reader leaves a chart. Runs at 10k and 100k states (two transitions per
// state); the 100k runs also report `growth`, their time per transition over
// that of a 10k chart built in the same process: near 1 means linear.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <list>
#include <random>

#include "chart/gal_norm.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int baseline_states = 10000;

// n states in rings of 50, each state with an arrow to the next one of its
// ring and a chord inside it: automata of a realistic size, one initial
// arrow per ring.
void build(int n, gal_tpen_fichier& chart) {
  std::mt19937 random(42);
  const int ring = 50;
  for (int i = 0; i < n; ++i) {
    String name = "S" + std::to_string(i);
    chart.add_fin_etat(gal_tpen_etat(1, &name, i % ring, i / ring, gal_run_instance(), nullptr));
  }
  for (int i = 0; i < n; ++i) {
    const int base = i - i % ring;
    const int next = base + (i % ring + 1) % ring;
    const int chord = base + static_cast<int>(random() % ring);
    const int from = i % ring == 0 ? -1 : i;
    chart.add_fin_transition(
        gal_tpen_transition(from, next, strong_trans, 0.0, 0.0, 0, "A and not B", {}));
    chart.add_fin_transition(gal_tpen_transition(i, chord, weak_trans, 0.0, 0.0, 1, "C", {}));
  }
}

void finish(gal_tpen_fichier& chart) {
  chart.normalise_diametre_etats();
  chart.update_simple_connexite();
  chart.raj_pre_post_transitions();
}

double build_and_finish_seconds(int n) {
  const auto start = Clock::now();
  gal_tpen_fichier chart;
  chart.def_modele(par_automata_model);
  build(n, chart);
  finish(chart);
  benchmark::DoNotOptimize(chart.nombre_SC());
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double best_per_transition(int n, int runs) {
  double best = 1e30;
  for (int r = 0; r < runs; ++r) best = std::min(best, build_and_finish_seconds(n) / (2.0 * n));
  return best;
}

void report(benchmark::State& state, int n, double best_per_transition_here) {
  state.SetItemsProcessed(state.iterations() * 2 * n);
  state.counters["ns_per_transition"] = best_per_transition_here * 1e9;
  if (n != baseline_states)
    state.counters["growth"] = best_per_transition_here / best_per_transition(baseline_states, 5);
}

void BM_BuildAndFinishChart(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  double best = 1e30;
  for (auto _ : state) best = std::min(best, build_and_finish_seconds(n) / (2.0 * n));
  report(state, n, best);
}

// The reader's way: whole lists handed over, then the same upkeep.
void BM_ParseListsAndFinishChart(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  gal_tpen_fichier source;
  build(n, source);
  const std::list<gal_tpen_etat> states(source.ma_table_etats(), source.ma_table_etats() + n);
  const std::list<gal_tpen_transition> transitions(
      source.ma_table_transitions(), source.ma_table_transitions() + source.nbr_transitions());
  double best = 1e30;
  for (auto _ : state) {
    std::list<gal_tpen_etat> s = states;
    std::list<gal_tpen_transition> t = transitions;
    const auto start = Clock::now();
    gal_tpen_fichier chart;
    chart.def_modele(par_automata_model);
    chart.parse_etats(&s);
    chart.parse_transitions(&t);
    finish(chart);
    benchmark::DoNotOptimize(chart.nombre_SC());
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count() / (2.0 * n));
  }
  state.SetItemsProcessed(state.iterations() * 2 * n);
  state.counters["ns_per_transition"] = best * 1e9;
}

}  // namespace

BENCHMARK(BM_BuildAndFinishChart)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseListsAndFinishChart)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
