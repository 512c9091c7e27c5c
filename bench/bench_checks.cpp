// The trigger checks on charts whose triggers name 30 signals, at two sizes
// each: the time per state (determinism and completeness, and the
// completion with self-loops) and the time per transition of one state with
// many transitions. A check that is linear in the chart, and close to linear
// in a state's transitions, shows about the same time per element at both
// sizes; the baseline that conjoins every pair of a state's guards grows
// with their number instead.
//
// Every state of the first kind has the triggers F = (x0 or x1) and ... and
// (x28 or x29), not F, and the cube x0 and ... and x29, which meets F: one
// finding of 30 literals. Every state of the second kind has the parity of
// the 30 signals and its negation: linear as BDDs, exponential as sums of
// products, and complete and exclusive, so nothing is printed for them.
// Signals are rotated from state to state so that states share few nodes.
//
// The last group checks states with many ordinary triggers ("a and not b",
// "a and b and not c", "a or b" over 64 inputs, ranks 0 to 3 and "other"),
// whose findings are where the level-2 cover gives way to the irredundant
// one: the time and peak memory of one such state for 8 to 32 triggers, the
// growth from 16 to 32 triggers, and a chart of 200 such states against one
// of 50. The paired runs alternate their two sides in one process and
// compare median CPU times, so the machine's load moves both alike.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <vector>

#include "bdd/bddpp.h"
#include "bench/bench_support.h"
#include "chart/gal_norm.h"

namespace {

constexpr int signals = 30;

String signal(int j, int rotation) { return "x" + std::to_string((j + rotation) % signals); }

String joined(int rotation, const char* op) {
  String s = signal(0, rotation);
  for (int j = 1; j < signals; ++j) s += String(" ") + op + " " + signal(j, rotation);
  return s;
}

String clauses(int rotation) {
  String s;
  for (int j = 0; j < signals; j += 2)
    s += String(j ? " and " : "") + "(" + signal(j, rotation) + " or " +
         signal(j + 1, rotation) + ")";
  return s;
}

// States s0, s1, ... in a row, and pure inputs <prefix>0, <prefix>1, ...
gal_tpen_fichier chart_with_states(int model, int states, int inputs = signals, const char* prefix = "x") {
  gal_tpen_fichier chart;
  chart.def_modele(model);
  for (int j = 0; j < inputs; ++j)
    chart.add_fin_input(gal_declaration_variables("pure", prefix + std::to_string(j)));
  for (int i = 0; i < states; ++i) {
    String name = "s" + std::to_string(i);
    chart.add_fin_etat(gal_tpen_etat(1, &name, 4.0 * i, 0.0, gal_run_instance(), nullptr));
  }
  return chart;
}

void arrow(gal_tpen_fichier& chart, int from, int to, const String& trigger) {
  chart.add_fin_transition(gal_tpen_transition(from, to, strong_trans, 0.0, 0.0, 0, trigger, {}));
}

gal_tpen_fichier mixed_chart(int states) {
  gal_tpen_fichier chart = chart_with_states(basic_model, states);
  for (int i = 0; i < states; ++i) {
    const int next = (i + 1) % states;
    const int r = i % signals;
    if (i % 2 == 0) {
      arrow(chart, i, next, clauses(r));
      arrow(chart, i, next, "not (" + clauses(r) + ")");
      arrow(chart, i, i, joined(r, "and"));
    } else {
      arrow(chart, i, next, joined(r, "xor"));
      arrow(chart, i, i, joined(r, "xnor"));  // 29 xnors: the negated parity
    }
  }
  return chart;
}

void per_state(benchmark::State& state, int states) {
  state.counters["states"] = states;
  state.counters["time_per_state"] = benchmark::Counter(
      static_cast<double>(states), benchmark::Counter::kIsIterationInvariantRate |
                                       benchmark::Counter::kInvert);
}

void BM_determinism_per_state(benchmark::State& state) {
  const int states = static_cast<int>(state.range(0));
  const gal_tpen_fichier chart = mixed_chart(states);
  String report;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chart.test_determinisme(report));
  }
  per_state(state, states);
}
BENCHMARK(BM_determinism_per_state)->Arg(500)->Arg(4000)->Unit(benchmark::kMillisecond);

// Each state has one transition, "not (x0 and ... and x29)" rotated: its
// completing self-loop is the one cube.
void BM_completion_per_state(benchmark::State& state) {
  const int states = static_cast<int>(state.range(0));
  gal_tpen_fichier base = chart_with_states(basic_model, states);
  for (int i = 0; i < states; ++i)
    arrow(base, i, (i + 1) % states, "not (" + joined(i % signals, "and") + ")");
  for (auto _ : state) {
    state.PauseTiming();
    gal_tpen_fichier chart = base;
    state.ResumeTiming();
    benchmark::DoNotOptimize(chart.test_determinisme_avec_auto_completion());
  }
  per_state(state, states);
}
BENCHMARK(BM_completion_per_state)->Arg(500)->Arg(4000)->Unit(benchmark::kMillisecond);

// One state whose n transitions are exclusive cubes: the binary code of k
// over x0..x10, and the other 19 signals all present. No pair meets, so the
// exclusivity finds nothing, and the question is what it costs to say so.
String exclusive_cube(int k) {
  String trigger;
  for (int j = 0; j < signals; ++j) {
    const bool negated = j < 11 ? ((k >> j) & 1) == 0 : (j + k) % 3 == 0;
    trigger += String(j ? " and " : "") + (negated ? "not " : "") + signal(j, 0);
  }
  return trigger;
}

void per_transition(benchmark::State& state, int n) {
  state.counters["transitions"] = n;
  state.counters["time_per_transition"] = benchmark::Counter(
      static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                  benchmark::Counter::kInvert);
}

void BM_determinism_per_transition(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  gal_tpen_fichier chart = chart_with_states(light_esterel_model, 2);
  for (int k = 0; k < n; ++k) arrow(chart, 0, 1, exclusive_cube(k));
  String report;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chart.test_determinisme(report));
  }
  per_transition(state, n);
}
BENCHMARK(BM_determinism_per_transition)->Arg(200)->Arg(1600)->Unit(benchmark::kMillisecond);

// The baseline: the same guards, every pair of them conjoined and tested.
void BM_all_pairs_baseline_per_transition(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    bddpp_manager m;
    {
      for (int j = 0; j < signals; ++j) m.New_var_last(signal(j, 0));
      std::vector<bdd> guards;
      for (int k = 0; k < n; ++k) {
        int status = 1;
        guards.push_back(m.Parse_expression(exclusive_cube(k), &status));
      }
      int met = 0;
      for (int k = 0; k < n; ++k)
        for (int j = k + 1; j < n; ++j)
          met += !m.Bdd_is_tautology(m.Bdd_and(guards[k], guards[j]), 0);
      benchmark::DoNotOptimize(met);
    }
  }
  per_transition(state, n);
}
BENCHMARK(BM_all_pairs_baseline_per_transition)->Arg(200)->Arg(1600)->Unit(benchmark::kMillisecond);

// ---- States with many ordinary triggers ------------------------------------

constexpr int ordinary_inputs = 64;

// Triggers of two or three literals, each over signals drawn from the 64.
void add_ordinary_triggers(gal_tpen_fichier& chart, int from, int to, int count, unsigned seed) {
  std::mt19937 random(seed);
  auto any = [&random] { return static_cast<int>(random() % ordinary_inputs); };
  for (int k = 0; k < count; ++k) {
    const int a = any();
    int b = any(), c = any();
    while (b == a) b = any();
    while (c == a || c == b) c = any();
    const String x = "i" + std::to_string(a), y = "i" + std::to_string(b), z = "i" + std::to_string(c);
    String trigger;
    switch (random() % 3) {
      case 0: trigger = x + " and not " + y; break;
      case 1: trigger = x + " and " + y + " and not " + z; break;
      default: trigger = x + " or " + y;
    }
    const int rank = static_cast<int>(random() % 5) - 1;  // -1 is "other"
    chart.add_fin_transition(gal_tpen_transition(from, to, strong_trans, 0.0, 0.0, rank, trigger, {}));
  }
}

// State i's triggers are drawn with seed first_seed + i.
gal_tpen_fichier ordinary_chart(int states, int triggers, unsigned first_seed = 1000u) {
  gal_tpen_fichier chart = chart_with_states(par_automata_model, states, ordinary_inputs, "i");
  for (int i = 0; i < states; ++i) add_ordinary_triggers(chart, i, (i + 1) % states, triggers, first_seed + i);
  return chart;
}

using bench_support::cpu_seconds_of;
using bench_support::median;

constexpr int ordinary_samples = 8;

// The peak memory of the checks of the sample states, in a child process of
// its own so that what the other benchmarks took does not count.
double peak_mib_of_checks(int triggers) {
  const pid_t child = fork();
  if (child == 0) {
    for (int k = 0; k < ordinary_samples; ++k) {
      const gal_tpen_fichier chart = ordinary_chart(1, triggers, 1000u + k);
      String report;
      chart.test_determinisme(report);
    }
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

// Eight states of `triggers` triggers each, drawn with eight seeds, each in
// a chart of its own: how long one state takes varies a lot with the draw,
// so the median and the largest CPU time of the eight are reported, with
// the findings and report size of the slowest.
void BM_determinism_ordinary_triggers(benchmark::State& state) {
  const int triggers = static_cast<int>(state.range(0));
  std::vector<gal_tpen_fichier> charts;
  for (int k = 0; k < ordinary_samples; ++k) charts.push_back(ordinary_chart(1, triggers, 1000u + k));
  std::vector<double> seconds(ordinary_samples);
  String report, slowest;
  for (auto _ : state) {
    for (int k = 0; k < ordinary_samples; ++k) {
      seconds[k] = cpu_seconds_of([&] { charts[k].test_determinisme(report); });
      if (seconds[k] >= *std::max_element(seconds.begin(), seconds.begin() + k + 1)) slowest = report;
    }
  }
  int findings = 0;
  for (std::size_t at = slowest.find("ERROR"); at != String::npos; at = slowest.find("ERROR", at + 1)) ++findings;
  state.counters["triggers"] = triggers;
  state.counters["median_ms"] = median(seconds) * 1e3;
  state.counters["max_ms"] = *std::max_element(seconds.begin(), seconds.end()) * 1e3;
  state.counters["findings_of_max"] = findings;
  state.counters["report_KiB_of_max"] = static_cast<double>(slowest.size()) / 1024.0;
  state.counters["peak_MiB"] = peak_mib_of_checks(triggers);
}
BENCHMARK(BM_determinism_ordinary_triggers)
    ->Arg(8)->Arg(12)->Arg(16)->Arg(20)->Arg(25)->Arg(32)
    ->Iterations(1)->Unit(benchmark::kMillisecond);

// Two checks, run in turn three times each; the ratio of their median CPU
// times, and each median.
template <class A, class B>
void paired(benchmark::State& state, A run_a, B run_b, const char* a_name, const char* b_name, double scale) {
  std::vector<double> a, b;
  for (auto _ : state) {
    for (int i = 0; i < 3; ++i) {
      a.push_back(cpu_seconds_of(run_a));
      b.push_back(cpu_seconds_of(run_b));
    }
  }
  state.counters[a_name] = median(a) * 1e3;
  state.counters[b_name] = median(b) * 1e3;
  state.counters["ratio"] = median(b) / median(a) / scale;
}

// One state of 32 triggers against one of 16: the ratio of their times.
void BM_determinism_growth_16_to_32(benchmark::State& state) {
  const gal_tpen_fichier small = ordinary_chart(1, 16), large = ordinary_chart(1, 32);
  String report;
  paired(state, [&] { small.test_determinisme(report); }, [&] { large.test_determinisme(report); },
         "ms_16", "ms_32", 1.0);
}
BENCHMARK(BM_determinism_growth_16_to_32)->Iterations(1)->Unit(benchmark::kMillisecond);

// 200 states of 20 triggers against 50: the ratio of the time per state,
// 1 when the check is linear in the states.
void BM_determinism_200_states_per_state_over_50(benchmark::State& state) {
  const gal_tpen_fichier small = ordinary_chart(50, 20), large = ordinary_chart(200, 20);
  String report;
  paired(state, [&] { small.test_determinisme(report); }, [&] { large.test_determinisme(report); },
         "ms_50_states", "ms_200_states", 4.0);
}
BENCHMARK(BM_determinism_200_states_per_state_over_50)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
