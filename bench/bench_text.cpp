// Whole-word substitution, plain substitution and token search over texts
// of growing size: the per-byte time must stay flat (the complexity fit
// should read O(N)), since chart editing renames signals in every trigger.
#include <benchmark/benchmark.h>

#include "text/Stringpp.h"

namespace {

String trigger_text(std::int64_t bytes) {
  String s;
  const char* words[] = {"go", "and", "gogo", "not", "go_1", "(go)", "or", "ago"};
  for (std::size_t i = 0; static_cast<std::int64_t>(s.size()) < bytes; ++i) {
    s += words[i % 8];
    s += ' ';
  }
  return s;
}

void BM_substitute_token(benchmark::State& state) {
  String s = trigger_text(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(substitute_token(s, "go", "went"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.size()));
  state.SetComplexityN(state.range(0));
}

void BM_substitute_string(benchmark::State& state) {
  String s = trigger_text(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(substitute_string(s, "and", "&"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.size()));
  state.SetComplexityN(state.range(0));
}

void BM_find_token_absent(benchmark::State& state) {
  String s = trigger_text(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(find_token(s, "absent"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.size()));
  state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_substitute_token)->RangeMultiplier(16)->Range(1 << 10, 1 << 18)->Complexity(benchmark::oN);
BENCHMARK(BM_substitute_string)->RangeMultiplier(16)->Range(1 << 10, 1 << 18)->Complexity(benchmark::oN);
BENCHMARK(BM_find_token_absent)->RangeMultiplier(16)->Range(1 << 10, 1 << 18)->Complexity(benchmark::oN);
