// The chart reader: parse() on charts of every form and on broken ones, its trace
// and messages, long tokens, and the names it refuses to open or to truncate.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iomanip>
#include <thread>

#include "reader/gal_scanner.h"
#include "reader/parse_gal.h"
#include "reader_files.h"

using namespace reader_files;

namespace {

const String data = String(TESSAN_TEST_DATA) + "/";

// What a read shows: its messages, then the chart's model, flag, automata,
// locals and states as its getters and dumps give them, and its whole text as
// written back; the chart's file name reads CHART.
String seen(const reading& r) {
  std::ostringstream os;
  os << std::setprecision(17) << r.out << r.err;
  if (r.chart) {
    const gal_tpen_fichier& c = *r.chart;
    os << "model " << c.mon_modele() << " encapsulated " << c.encapsulated() << " automata " << c.nombre_SC();
    for (int i = 0; i < c.nbr_locals(); ++i) os << "\nlocal " << c.nom_local(i) << " : " << c.type_local(i);
    os << "\n";
    for (int i = 0; i < c.nbr_etats(); ++i) os << c.ma_table_etats()[i] << "\n";
    os << written(c, c.mon_nom_module());
  }
  return substitute_string(os.str(), r.name, "CHART");
}

}  // namespace

// Every header form and model number, lexical oddities, numbers beyond their types,
// indices outside their tables and broken charts, one after another in one process.
TEST(ParseGal, EachChartShowsItsExpectedReadAndTrace) {
  for (const char* folder : {"reader/", "reader/broken/", "readertext/reader/"})
    for (const auto& file : std::filesystem::directory_iterator(data + folder)) {
      if (file.path().extension() != ".gal") continue;
      const reading r = read_text(slurp(file.path()));
      const String stem = "readertext/reader/" + file.path().stem().string();
      test_files::expect_fixture(stem + ".seen", seen(r));
      test_files::expect_fixture(stem + ".trace", r.trace);
      EXPECT_EQ(pgal_parser, nullptr);  // the context went with its read
    }
}

// A token of megabytes is read in a few large blocks, not in a few-KiB read
// after which the whole token would be scanned again.
struct counting_scanner : galFlexLexer {
  using galFlexLexer::galFlexLexer;
  int reads = 0;
  int LexerInput(char* buffer, int size) override {
    ++reads;
    return galFlexLexer::LexerInput(buffer, size);
  }
};

TEST(ParseGal, ALongTokenIsReadInFewBlocksAndKeptWhole) {
  const std::size_t n = 4u << 20;
  String word(n, 'w'), text(n, 'x');
  text.front() = text.back() = '"';
  text[n / 2] = '\n';
  for (const auto& [token, code] : {std::pair{word, 296}, std::pair{text, 297}}) {
    std::istringstream in(token + " ;");
    std::ostringstream echo;
    counting_scanner scanner(&in, &echo);
    EXPECT_EQ(scanner.yylex(), code);
    EXPECT_EQ(String(scanner.YYText(), scanner.YYLeng()), token);
    EXPECT_EQ(scanner.yylex(), 271);  // ";"
    EXPECT_LE(scanner.reads, 20) << code;
    EXPECT_EQ(echo.str(), "");
  }
}

// A name holding a NUL byte would reach the system cut short, naming another file that
// the trace would empty; a device never ends while the trace grows; a directory only
// fails at its first read: none is read, and none gets a trace, nor empties one left
// by an earlier read, also when the program check looks for it. A pipe is read: its
// writer ends it.
TEST(ParseGal, MissingFilesNulNamesDirectoriesAndDevicesAreNotFoundAndAPipeIsRead) {
  const String dir = scratch_file("nonplain") + "/", nul(1, '\0');
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  spill(dir + "important.txt", String(32, 'i'));
  spill(dir + "absent.gal.log", "earlier\n");
  std::vector<String> refused = {dir + "absent.gal", dir, dir + "important.txt" + nul,
                                 dir + "important.txt" + nul + "/x.gal"};
  const String no_device = test_files::make_device(dir + "zero", 5);
  if (no_device.empty() && symlink("zero", (dir + "dev.gal").c_str()) == 0) refused.push_back(dir + "dev.gal");
  for (const String& name : refused) {
    const reading r = read_file(name);
    EXPECT_EQ(r.err, "FILE NOT FOUND !\n");
    EXPECT_EQ(r.chart, nullptr) << name;
  }
  const String runs = "Run:\n\"" + dir + "absent\" : absent\n;";
  const reading checking = read_text(substitute_string(slurp(data + "reader/encapsulated.gal"), "Run:\n;", runs));
  String report;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(checking.chart->test_external_progs_io(report), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr() + testing::internal::GetCapturedStdout(),
            "FILE NOT FOUND !\nreading " + dir + "absent.gal\n");
  EXPECT_EQ(slurp(dir + "important.txt"), String(32, 'i'));
  EXPECT_EQ(slurp(dir + "absent.gal.log"), "earlier\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), refused.size() > 4 ? 4 : 2);
  ASSERT_EQ(mkfifo((dir + "pipe.gal").c_str(), 0600), 0);
  std::thread writer([&] { spill(dir + "pipe.gal", slurp(data + "reader/encapsulated.gal")); });
  const reading piped = read_file(dir + "pipe.gal");
  writer.join();
  EXPECT_NE(piped.chart, nullptr) << piped.err;
  if (!no_device.empty()) GTEST_SKIP() << "the device row: " << no_device;
}

// The trace is truncated when it opens: never when it is the chart itself or
// no plain file (a device only when root may make one); the chart is read.
TEST(ParseGal, TraceThatIsTheChartOrNoPlainFileIsLeftAsItIs) {
  using maker = std::function<bool(const String& chart, const String& trace)>;
  const std::pair<const char*, maker> rows[] = {
      {"is the chart itself", [](auto&, auto& t) { return symlink("c.gal", t.c_str()) == 0; }},
      {"is the chart itself", [](auto& c, auto& t) { return link(c.c_str(), t.c_str()) == 0; }},
      {"is not a regular file", [](auto&, auto& t) { return mkfifo(t.c_str(), 0600) == 0; }},
      {"is not a regular file", [](auto&, auto& t) { return test_files::make_device(t, 3).empty(); }}};
  const String text = slurp(data + "reader/encapsulated.gal");
  String unmade;
  for (const auto& [refusal, make] : rows) {
    const String chart = scratch_file("trace") + "/c.gal", trace = chart + ".log";
    ASSERT_EQ(mkdir(chart.substr(0, chart.size() - 6).c_str(), 0700), 0);
    spill(chart, text);
    struct stat before, after;
    if (!make(chart, trace) || lstat(trace.c_str(), &before) != 0) {
      unmade += trace + " (" + refusal + "): " + std::strerror(errno) + "; ";
      continue;
    }
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const std::unique_ptr<gal_tpen_fichier> read(parse(chart));  // its trace left unread: it may be a pipe
    testing::internal::GetCapturedStdout();
    const String warning = "WARNING: no trace written: " + trace + " " + refusal + "\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), warning);
    EXPECT_NE(read, nullptr);
    EXPECT_EQ(slurp(chart), text);
    EXPECT_TRUE(lstat(trace.c_str(), &after) == 0 && after.st_mode == before.st_mode) << trace;
  }
  if (!unmade.empty()) GTEST_SKIP() << "rows whose trace could not be made: " << unmade;
}

// A trace that cannot be written whole is said once, and the chart is read: a
// name too long for ".log", a stale trace that the user may not write (read as
// nobody), a disk that fills up (a small file system, which needs root).
TEST(ParseGal, ATraceThatCannotBeWrittenIsSaidOnceAndTheChartIsRead) {
  const String text = slurp(data + "reader/encapsulated.gal"), dir = scratch_file("traces") + "/";
  const String long_name = dir + String(251, 'l') + ".gal", stale = dir + "stale.gal", full = dir + "full/c.gal";
  ASSERT_EQ(mkdir(dir.c_str(), 0755) | mkdir((dir + "full").c_str(), 0755), 0);
  spill(long_name, text);
  spill(stale, text);
  spill(stale + ".log", "another chart's trace\n");
  ASSERT_EQ(chmod((stale + ".log").c_str(), 0444), 0);
  const test_files::small_tmpfs disk(dir + "full");
  if (disk.mounted()) {
    spill(full, text);
    disk.fill();
  }
  const std::tuple<String, bool, const char*> rows[] = {
      {long_name, false, "WARNING: no trace written: TRACE: File name too long\n"},
      {stale, true, "WARNING: no trace written: TRACE: Permission denied\n"},
      {full, false, "WARNING: the trace TRACE is incomplete: No space left on device\n"}};
  for (const auto& [chart, unprivileged, warning] : rows) {
    if (chart == full && !disk.mounted()) continue;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const auto read = [c = chart] { return std::unique_ptr<gal_tpen_fichier>(parse(c)) ? 0 : 1; };
    EXPECT_EQ(unprivileged ? test_files::as_nobody(read) : read(), 0) << chart;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), substitute_string(warning, "TRACE", chart + ".log"));
  }
  EXPECT_EQ(slurp(stale + ".log"), "another chart's trace\n");
  if (!disk.mounted()) GTEST_SKIP() << "the full disk row: " << disk.why_not;
}

// Another process flips the trace between a plain file and a link to the
// chart, then a second name of the chart between it and a link to a device,
// while the chart is read a fixed number of times: the chart is never emptied,
// and is read whole or not found, never read as something else.
TEST(ParseGal, AChartStaysWholeWhileAnotherProcessFlipsItsNames) {
  const String dir = scratch_file("race") + "/", kept = dir + "kept.gal", spare = dir + "spare";
  const String text = slurp(data + "reader/encapsulated.gal");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  spill(kept, text);
  for (const String& flipped : {kept + ".log", dir + "flipped.gal"}) {
    const bool chart_flips = flipped != kept + ".log";
    const pid_t flipper = fork();
    ASSERT_GE(flipper, 0);
    if (flipper == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      for (;;) {
        if (symlink(chart_flips ? "/dev/null" : "kept.gal", spare.c_str()) == 0) rename(spare.c_str(), flipped.c_str());
        if (chart_flips ? link(kept.c_str(), spare.c_str()) == 0 : close(creat(spare.c_str(), 0600)) == 0)
          rename(spare.c_str(), flipped.c_str());
      }
    }
    for (int round = 0; round < 1000; ++round) {
      const reading r = read_file(chart_flips ? flipped : kept);
      if (slurp(kept) != text || r.err.find("ERROR") != String::npos) {
        ADD_FAILURE() << "round " << round << " of " << flipped << ": " << r.err;
        break;
      }
    }
    kill(flipper, SIGKILL);
    waitpid(flipper, nullptr, 0);
  }
}

TEST(ParseGal, TraceLinesShowTheAlternativeBeyondTheFirstAndTokensHaveDisplayNames) {
  std::ostringstream trace;
  gal_debuger_law(35, 1, "genere etat", 1, trace);
  gal_debuger_law(35, 2, "genere etat", 1, trace);
  gal_debuger_law(35, 2, "nothing", 0, trace);
  EXPECT_EQ(trace.str(), "35 --> genere etat\n35,2 --> genere etat\n");
  for (const auto& [token, name] : {std::pair{267, "Normal Star"}, {268, "Final Star"}, {269, "DEUX_POINTS"},
                                    {296, "WORD"}, {258, "OTHER"}, {0, "OTHER"}})
    EXPECT_EQ(type_lexeme(token), name) << token;
}
