// Reading a chart file with parse(): scanner, parser, trace file and the
// chart's upkeep. Charts of 10k and 100k states (two transitions per state,
// a few declarations) written once per size; each run reports
// `ms_per_MB` of chart text, and the 100k run `growth`, its time per
// megabyte over that of the 10k chart read in the same process: near 1
// means the read is linear in the size of the file.
//
// The scanner alone on one token of n and of 8n bytes (a word, or a quoted
// text holding line ends), in the same process: `growth_8n` is the time for
// 8n over the time for n, 8 when a token costs time in proportion to its
// length and 64 when every refill of the buffer scans the token again.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <streambuf>

#include "bench/bench_support.h"
#include "reader/gal_scanner.h"
#include "reader/parse_gal.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int baseline_states = 10000;

class discard_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// n states in rings of 50, each with an arrow to the next state of its ring
// and a chord inside it, as the chart benchmark builds them.
void write_chart(int n, const String& name) {
  std::ofstream os(name.c_str());
  std::mt19937 random(42);
  const int ring = 50;
  os << "Name: bench : par_automata_model:;\n\nType:\n;\n\nInput:\nA: pure,\nB: pure,\nC: pure\n;\n\n"
        "Sensor:\n;\n\nOutput:\nO: pure\n;\n\nLocal:\n;\n\nVariable:\n;\n\nRun:\n;\n\n"
        "Function:\n;\n\nConstant:\n;\n\nPre:\n;\n\nAction:\n\"emit O\"\n;\n\nStar:\n";
  for (int i = 0; i < n; ++i)
    os << "NS: \"S" << i << "\" " << i % ring << ' ' << i / ring << ".5 : -1 : 0 "
       << (i + 1 < n ? ",\n" : "\n");
  os << ";\n\nTransition:\n";
  for (int i = 0; i < n; ++i) {
    const int base = i - i % ring;
    const int next = base + (i % ring + 1) % ring;
    const int chord = base + static_cast<int>(random() % ring);
    const int from = i % ring == 0 ? -1 : i;
    os << "From: " << from << " To: " << next << " By: " << i % ring << ".5," << i / ring
       << " : 0.25 1.75 0 \"A and not B\" / 0,\n"
       << "From: " << i << " To: " << chord << " By: : 1 2 1 \"C\" / " << (i + 1 < n ? ",\n" : "\n");
  }
  os << ";\n";
}

struct chart_file {
  String name;
  double megabytes;
};

const chart_file& chart_of(int n) {
  static std::map<int, chart_file> files;
  static const String dir = [] {
    String pattern = String(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                     "/tessan-bench-reader-XXXXXX";
    const char* made = mkdtemp(&pattern[0]);
    return String(made != nullptr ? made : "");
  }();
  static const struct cleanup {
    ~cleanup() {
      std::error_code ignored;
      if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
  } at_exit;
  auto found = files.find(n);
  if (found != files.end()) return found->second;
  String name = (dir.empty() ? String(".") : dir) + "/chart" + std::to_string(n) + ".gal";
  write_chart(n, name);
  std::ifstream in(name.c_str(), std::ios::binary | std::ios::ate);
  return files[n] = chart_file{name, static_cast<double>(in.tellg()) / 1e6};
}

double read_seconds_per_megabyte(const chart_file& file) {
  static discard_buffer sink;
  std::streambuf* out = std::cout.rdbuf(&sink);  // "reading ..."
  const auto start = Clock::now();
  std::unique_ptr<gal_tpen_fichier> chart(parse(file.name));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::cout.rdbuf(out);
  if (chart == nullptr) return 1e30;
  benchmark::DoNotOptimize(chart->nbr_etats());
  return seconds / file.megabytes;
}

void BM_ParseChartFile(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const chart_file& file = chart_of(n);
  double best = 1e30;
  for (auto _ : state) best = std::min(best, read_seconds_per_megabyte(file));
  if (best >= 1e30) {
    state.SkipWithError("the generated chart did not read");
    return;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.megabytes * 1e6));
  state.counters["MB"] = file.megabytes;
  state.counters["ms_per_MB"] = best * 1e3;
  if (n != baseline_states) {
    const chart_file& baseline = chart_of(baseline_states);
    double best_baseline = 1e30;
    for (int r = 0; r < 5; ++r)
      best_baseline = std::min(best_baseline, read_seconds_per_megabyte(baseline));
    state.counters["growth"] = best / best_baseline;
  }
}

// A word of n letters, or a quoted text of n bytes whose lines are 80 long.
String long_token(std::int64_t n, bool quoted) {
  String token(static_cast<std::size_t>(n), 'w');
  if (quoted) {
    for (std::size_t i = 80; i < token.size(); i += 81) token[i] = '\n';
    token.front() = '"';
    token.back() = '"';
  }
  return token;
}

double scan_seconds(const String& text) {
  std::istringstream in(text);
  std::ostringstream echo;
  const auto start = Clock::now();
  galFlexLexer scanner(&in, &echo);
  int tokens = 0;
  while (scanner.yylex() != 0) ++tokens;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return tokens == 1 ? seconds : -1;
}

// range(0): n in MiB; range(1): 1 for a quoted text, 0 for a word.
void BM_ScanOneLongToken(benchmark::State& state) {
  const std::int64_t n = state.range(0) << 20;
  const bool quoted = state.range(1) != 0;
  const String small = long_token(n, quoted), large = long_token(8 * n, quoted);
  bench_support::report_growth(state, "n_MiB", "the token was not scanned as one token",
                               [&](bool eight_times) { return scan_seconds(eight_times ? large : small); });
}

}  // namespace

BENCHMARK(BM_ScanOneLongToken)
    ->ArgNames({"MiB", "quoted"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({8, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_ParseChartFile)->Arg(baseline_states)->Arg(100000)->Unit(benchmark::kMillisecond);
