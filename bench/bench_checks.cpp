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
// compare median CPU times, so the machine's load moves both alike. Two
// states of their own measure the work budget's edges: one of 35
// conjunction triggers, whose fallback covers make many small calls after
// large ones, and one of 18 parity triggers, whose one finding has a walk
// that fits and covers after it that do not.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
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

// Triggers of two or three literals, each over signals drawn from the 64;
// with `conjunctions_only`, the draws that would give "a or b" give "a and
// not b" instead.
void add_ordinary_triggers(gal_tpen_fichier& chart, int from, int to, int count, unsigned seed,
                           bool conjunctions_only = false) {
  std::mt19937 random(seed);
  auto any = [&random] { return static_cast<int>(random() % ordinary_inputs); };
  for (int k = 0; k < count; ++k) {
    const int a = any();
    int b = any(), c = any();
    while (b == a) b = any();
    while (c == a || c == b) c = any();
    const String x = "i" + std::to_string(a), y = "i" + std::to_string(b), z = "i" + std::to_string(c);
    String trigger;
    const unsigned kind = random() % 3;
    switch (conjunctions_only ? kind % 2 : kind) {
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

// What a run cost in a child process of its own, so that what the other
// benchmarks took does not count: its user and system CPU seconds, its peak
// memory, and the two numbers the run returns. The child gives its free heap
// back and resets its peak before the run (/proc/self/clear_refs), so the
// peak is the run's own and not the parent's pages it started with. All
// negative when the child could not run or report.
struct child_usage {
  double user_s = -1, system_s = -1, peak_mib = -1;
  double results[2] = {-1, -1};
};

template <class Run>
child_usage in_child(Run run) {
  child_usage r;
  int channel[2];
  if (pipe(channel) != 0) return r;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    malloc_trim(0);
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", f);
      std::fclose(f);
    }
    double out[3] = {-1, -1, -1};
    const auto results = run();
    out[1] = results.first;
    out[2] = results.second;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
      char line[256];
      long kib = 0;
      while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) out[0] = static_cast<double>(kib) / 1024.0;
      std::fclose(f);
    }
    const ssize_t written = write(channel[1], out, sizeof out);
    _exit(written == static_cast<ssize_t>(sizeof out) ? 0 : 1);
  }
  close(channel[1]);
  double in[3];
  const bool read_all = child > 0 && read(channel[0], in, sizeof in) == static_cast<ssize_t>(sizeof in);
  close(channel[0]);
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || !read_all) return r;
  r.user_s = static_cast<double>(usage.ru_utime.tv_sec) + 1e-6 * static_cast<double>(usage.ru_utime.tv_usec);
  r.system_s = static_cast<double>(usage.ru_stime.tv_sec) + 1e-6 * static_cast<double>(usage.ru_stime.tv_usec);
  r.peak_mib = in[0];
  r.results[0] = in[1];
  r.results[1] = in[2];
  return r;
}

// The findings of a report and its size in bytes.
std::pair<double, double> findings_and_size(const String& report) {
  int findings = 0;
  for (std::size_t at = report.find("ERROR"); at != String::npos; at = report.find("ERROR", at + 1)) ++findings;
  return {findings, static_cast<double>(report.size())};
}

// The peak memory of the checks of the sample states.
double peak_mib_of_checks(int triggers) {
  return in_child([triggers] {
           for (int k = 0; k < ordinary_samples; ++k) {
             const gal_tpen_fichier chart = ordinary_chart(1, triggers, 1000u + k);
             String report;
             chart.test_determinisme(report);
           }
           return std::pair<double, double>(0, 0);
         }).peak_mib;
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
  state.counters["triggers"] = triggers;
  state.counters["median_ms"] = median(seconds) * 1e3;
  state.counters["max_ms"] = *std::max_element(seconds.begin(), seconds.end()) * 1e3;
  const auto [findings, bytes] = findings_and_size(slowest);
  state.counters["findings_of_max"] = findings;
  state.counters["report_KiB_of_max"] = bytes / 1024.0;
  state.counters["peak_MiB"] = peak_mib_of_checks(triggers);
}
BENCHMARK(BM_determinism_ordinary_triggers)
    ->Arg(8)->Arg(12)->Arg(16)->Arg(20)->Arg(25)->Arg(32)
    ->Iterations(1)->Unit(benchmark::kMillisecond);

// One state's check in a child process: its time, system time and peak
// memory, with the findings and the size of its report.
void report_one_state(benchmark::State& state, const gal_tpen_fichier& chart) {
  child_usage usage;
  for (auto _ : state) usage = in_child([&chart] {
                         String report;
                         chart.test_determinisme(report);
                         return findings_and_size(report);
                       });
  if (usage.user_s < 0) state.SkipWithError("the check's process did not end normally");
  state.counters["user_s"] = usage.user_s;
  state.counters["system_s"] = usage.system_s;
  state.counters["peak_MiB"] = usage.peak_mib;
  state.counters["findings"] = usage.results[0];
  state.counters["report_MiB"] = usage.results[1] / (1024.0 * 1024.0);
}

// One state of 35 triggers "a and not b" and "a and b and not c" over the
// 64 inputs: most of its findings are past the level-2 budget, and their
// irredundant covers make thousands of small conjunctions between large ones.
void BM_determinism_35_conjunction_triggers(benchmark::State& state) {
  gal_tpen_fichier chart = chart_with_states(par_automata_model, 1, ordinary_inputs, "i");
  add_ordinary_triggers(chart, 0, 0, 35, 3u, true);
  report_one_state(state, chart);
}
BENCHMARK(BM_determinism_35_conjunction_triggers)->Iterations(1)->Unit(benchmark::kMillisecond);

// One state of 18 parity triggers: i0 xor ... xor i9 and i9 xor ... xor i18
// at rank 0, and i(19+k) xor i(20+k) at rank 1 + k for k = 0 .. 15, without
// the completeness check. The one finding, the two first meeting, has 2^17
// minterms, each its own prime: its implicant walk fits in the budget, the
// covers worked out after it do not.
void BM_determinism_18_parity_triggers(benchmark::State& state) {
  gal_tpen_fichier chart = chart_with_states(light_esterel_model, 1, 36, "i");
  auto parity = [](int first, int last) {
    String s = "i" + std::to_string(first);
    for (int j = first + 1; j <= last; ++j) s += " xor i" + std::to_string(j);
    return s;
  };
  const String first = parity(0, 9), second = parity(9, 18);
  for (const String& trigger : {first, second})
    chart.add_fin_transition(gal_tpen_transition(0, 0, strong_trans, 0.0, 0.0, 0, trigger, {}));
  for (int k = 0; k < 16; ++k)
    chart.add_fin_transition(gal_tpen_transition(0, 0, strong_trans, 0.0, 0.0, 1 + k, parity(19 + k, 20 + k), {}));
  report_one_state(state, chart);
}
BENCHMARK(BM_determinism_18_parity_triggers)->Iterations(1)->Unit(benchmark::kMillisecond);

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
