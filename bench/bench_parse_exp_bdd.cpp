// Parse_expression on triggers of n and of 8n bytes, in the same process:
// `growth_8n` is the time for 8n over the time for n, 8 when the parse costs
// time in proportion to the text and 64 when each token costs a copy of the
// rest of it. The trigger mixes every level of the grammar over three
// signals, so the BDD work per token stays small and the scan shows.
#include <benchmark/benchmark.h>

#include <chrono>

#include "bdd/bddpp.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

String trigger(std::int64_t bytes) {
  const char* pieces[] = {"a or ", "not b and c or ", "(a xor [b]) . c + ", "!a & b | "};
  String text;
  for (std::size_t i = 0; static_cast<std::int64_t>(text.size()) < bytes; ++i) text += pieces[i % 4];
  return text + "c";
}

double parse_seconds(bddpp_manager& m, const String& text) {
  int prio = 0, status = -1;
  const auto start = Clock::now();
  const bdd f = m.Parse_expression(text, &prio, &status);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  benchmark::DoNotOptimize(f);
  return status == 0 ? seconds : -1;
}

// range(0): n in KB.
void BM_ParseLongTrigger(benchmark::State& state) {
  bddpp_manager m;
  for (const char* name : {"a", "b", "c"}) m.New_var_last(name);
  const std::int64_t n = state.range(0) * 1000;
  const String small = trigger(n), large = trigger(8 * n);
  bench_support::report_growth(state, "n_KB", "the trigger did not parse",
                               [&](bool eight_times) { return parse_seconds(m, eight_times ? large : small); });
}

}  // namespace

BENCHMARK(BM_ParseLongTrigger)->ArgName("KB")->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);
