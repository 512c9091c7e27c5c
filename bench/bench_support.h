// What the benchmark programs share: CPU time of the process (other work on a
// shared machine does not count, as it would in wall time), the median of
// paired runs, and the counters of a growth measure from n to 8n.
#ifndef TESSAN_BENCH_SUPPORT_H
#define TESSAN_BENCH_SUPPORT_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

namespace bench_support {

inline double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

template <class Run>
double cpu_seconds_of(Run run) {
  const double start = cpu_seconds();
  run();
  return cpu_seconds() - start;
}

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Times of size n and 8n, measured once per iteration by `measure` (negative
// when the run failed); `growth_8n` is 8 when the cost is linear.
template <class Measure>
void report_growth(benchmark::State& state, const char* size_name, const char* failure, Measure measure) {
  double t_small = 0, t_large = 0;
  for (auto _ : state) {
    t_small = measure(false);
    t_large = measure(true);
    if (t_small < 0 || t_large < 0) {
      state.SkipWithError(failure);
      return;
    }
  }
  state.counters[size_name] = static_cast<double>(state.range(0));
  state.counters["n_s"] = t_small;
  state.counters["8n_s"] = t_large;
  state.counters["growth_8n"] = t_large / t_small;
}

}  // namespace bench_support

#endif
