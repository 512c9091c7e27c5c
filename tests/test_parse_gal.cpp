// The chart reader: parse() on charts of every header form, its trace file,
// its messages, and what it makes of odd or broken input.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cfloat>
#include <climits>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "reader/gal_scanner.h"
#include "reader/parse_gal.h"
#include "reader_files.h"

using namespace reader_files;

namespace {

const String data_dir = String(TESSAN_TEST_DATA) + "/reader/";

reading read_fixture(const String& fixture) { return read_text(slurp(data_dir + fixture)); }

const char* const empty_header =
    "Type:\n;\nInput:\n;\nSensor:\n;\nOutput:\n;\nLocal:\n;\nVariable:\n;\nRun:\n;\n"
    "Function:\n;\nConstant:\n;\nPre:\n;\nAction:\n;\n";

String chart_with(const String& model, const String& body) {
  return "Name: m : " + model + ";\n" + empty_header + body;
}

// A folder of its own in the scratch folder.
String scratch_dir(const char* stem) {
  const String dir = scratch_file(stem);
  EXPECT_EQ(mkdir(dir.c_str(), 0700), 0);
  return dir + "/";
}

// parse() with its standard error caught, the trace left unread (a pipe in
// its place would never give an end).
String parse_error_of(const String& name, bool& read) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const std::unique_ptr<gal_tpen_fichier> chart(parse(name));
  testing::internal::GetCapturedStdout();
  read = chart != nullptr;
  return testing::internal::GetCapturedStderr();
}

std::list<int> ints(std::initializer_list<int> l) { return l; }
std::list<double> doubles(std::initializer_list<double> l) { return l; }

}  // namespace

// ---- The current form ------------------------------------------------------

TEST(ParseGal, ReadsCurrentFormIntoChart) {
  reading r = read_fixture("current.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  const gal_tpen_fichier& c = *r.chart;
  EXPECT_EQ(c.mon_nom_module(), "demo");
  EXPECT_EQ(c.mon_modele(), synccharts_model);
  EXPECT_EQ(c.encapsulated(), 0);

  ASSERT_EQ(c.nbr_types(), 2);
  EXPECT_EQ(c.ma_table_types()[1], "bool");
  ASSERT_EQ(c.nbr_inputs(), 2);
  EXPECT_EQ(c.ma_table_inputs()[0], gal_declaration_variables("", "A"));  // no type: empty
  EXPECT_EQ(c.ma_table_inputs()[1], gal_declaration_variables("bool", "B"));
  ASSERT_EQ(c.nbr_outputs(), 2);
  EXPECT_EQ(c.type_output(1), "int");
  ASSERT_EQ(c.nbr_locals(), 1);
  EXPECT_EQ(c.nom_local(0), "L");
  ASSERT_EQ(c.nbr_actions(), 2);
  EXPECT_EQ(c.action(1), "x := 1");

  // The three forms of a "Run:" item.
  ASSERT_EQ(c.nbr_progs_externes(), 3);
  const gal_declaration_progs* p = c.ma_table_progs_externes();
  EXPECT_EQ(p[0], gal_declaration_progs("lib/sub", "sub", "Sub", {}, {}, {}));
  EXPECT_EQ(p[0].my_inputs_list().size(), 2u);
  EXPECT_EQ(p[0].my_outputs_list().front(), gal_declaration_variables("", "O"));
  EXPECT_EQ(p[1], gal_declaration_progs("dir/sub", "f", "m", {}, {}, {}));
  EXPECT_EQ(p[2], gal_declaration_progs("plain", "file2", "mod2", {}, {}, {}));

  ASSERT_EQ(c.nbr_etats(), 3);
  const gal_tpen_etat* s = c.ma_table_etats();
  EXPECT_EQ(s[0].convert_type(), "NS");
  EXPECT_EQ(s[0].mon_nom(), "idle");
  EXPECT_EQ(s[0].ma_posy(), 2.5);
  EXPECT_EQ(s[0].mon_ident_run(), -1);
  EXPECT_EQ(s[1].convert_type(), "FS");
  EXPECT_EQ(s[1].mon_ident_run(), 0);
  EXPECT_EQ(s[1].mes_renomages_param_run(), "A\\x,B\\y");
  EXPECT_EQ(s[1].mes_actions(), ints({0, 1}));
  EXPECT_EQ(s[2].mon_nom(), "");  // an empty text is an empty name
  EXPECT_EQ(s[2].ma_posx(), -1.25);
  EXPECT_TRUE(s[2].mes_actions().empty());

  ASSERT_EQ(c.nbr_transitions(), 3);
  const gal_tpen_transition* t = c.ma_table_transitions();
  EXPECT_EQ(t[0].mon_ident_etat_amont(), -1);
  EXPECT_EQ(t[0].mon_type_trans(), strong_trans);
  EXPECT_EQ(t[0].ma_receptivite(), "");
  EXPECT_EQ(t[1].mon_type_trans(), weak_trans);  // no "Type:"
  EXPECT_EQ(t[1].ma_priorite(), -1);
  EXPECT_EQ(t[1].ma_receptivite(), "A and not B");
  EXPECT_EQ(t[1].liste_positions(), doubles({1, 2, 3, 4}));  // "3." is 3
  EXPECT_EQ(t[1].posx_receptivite(), 2);
  EXPECT_EQ(t[1].mes_actions(), ints({1, 0}));
  EXPECT_EQ(t[2].mon_type_trans(), normalterm_trans);
  EXPECT_EQ(t[2].ma_priorite(), 0);  // no priority

  // The finishing calls have run: in/out lists and one automaton.
  EXPECT_EQ(s[1].mes_transitions_pre(), ints({1}));
  EXPECT_EQ(s[1].mes_transitions_post(), ints({2}));
  EXPECT_EQ(c.nombre_SC(), 1);
}

TEST(ParseGal, CurrentFormWritesBackToTheCanonicalText) {
  // Sensors, variables, functions, constants and pres have no getters: the
  // written text shows them all (a later constant value for an index wins).
  reading r = read_fixture("current.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  EXPECT_EQ(written(*r.chart, r.chart->mon_nom_module()), slurp(data_dir + "current.written.gal"));
}

TEST(ParseGal, TraceFileHoldsOneLinePerRule) {
  reading r = read_fixture("current.gal");
  ASSERT_NE(r.chart, nullptr);
  EXPECT_EQ(r.trace, slurp(data_dir + "current.trace"));
}

TEST(ParseGal, FirstRunItemWritesRegleFinieOnce) {
  reading r = read_fixture("current.gal");  // three runs
  std::size_t first = r.trace.find("\n15,2 --> liste run a un element\nREGLE FINIE\n");
  ASSERT_NE(first, String::npos);
  EXPECT_EQ(r.trace.find("REGLE FINIE", first + 40), String::npos);
}

TEST(ParseGal, AnnouncesTheReadOnStandardOutput) {
  reading r = read_fixture("current.gal");
  EXPECT_EQ(r.out, "reading " + r.name + "\n");
  EXPECT_EQ(r.err, "");
}

// ---- Older header forms ----------------------------------------------------

TEST(ParseGal, HeaderWithoutPreReadsWithNoPres) {
  reading r = read_fixture("before_pre.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  EXPECT_EQ(r.chart->mon_modele(), light_esterel_model);  // numeric 1
  EXPECT_NE(r.trace.find("\n2,2 --> entete et table bdd cree version anterieur a 3.6.0\n"),
            String::npos);
  EXPECT_NE(written(*r.chart, r.chart->mon_nom_module()).find("Pre:\n;\n"), String::npos);
  EXPECT_EQ(r.chart->action(0), "emit ring");
  EXPECT_EQ(r.chart->ma_table_transitions()[1].ma_priorite(), 1);
  EXPECT_EQ(r.err, "");
}

TEST(ParseGal, HeaderWithoutActionsTakesThemFromTheOutputs) {
  reading r = read_fixture("before_action.gal");
  ASSERT_NE(r.chart, nullptr);
  EXPECT_EQ(r.chart->mon_modele(), synccharts_model);  // numeric 2
  ASSERT_EQ(r.chart->nbr_actions(), 2);
  EXPECT_EQ(r.chart->action(0), "ring");
  EXPECT_EQ(r.chart->action(1), "stop");
  EXPECT_EQ(r.err, "Construction de la table des actions a partir de celle des outputs...\n");
  EXPECT_NE(r.trace.find("\n2,3 --> entete et table bdd cree syntaxe anterieure a 1.3.0\n"),
            String::npos);
}

TEST(ParseGal, FirstHeaderFormHasInputsOutputsLocalsAndRunsOnly) {
  reading r = read_fixture("v0.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  const gal_tpen_fichier& c = *r.chart;
  EXPECT_EQ(c.mon_modele(), basic_model);
  EXPECT_EQ(c.nbr_types(), 0);
  EXPECT_EQ(c.nbr_actions(), 0);
  EXPECT_EQ(c.nbr_inputs(), 1);
  EXPECT_EQ(c.nbr_outputs(), 1);
  EXPECT_EQ(c.type_local(0), "int");
  // The two-part run item splits its text at the last '/'.
  ASSERT_EQ(c.nbr_progs_externes(), 1);
  EXPECT_EQ(c.chemin_prog_externe(0), "progs");
  EXPECT_EQ(c.nom_fichier_prog_externe(0), "p");
  EXPECT_EQ(c.nom_module_prog_externe(0), "P");
  EXPECT_EQ(c.ma_table_etats()[0].mon_ident_run(), 0);
  EXPECT_EQ(c.ma_table_transitions()[0].liste_positions(), doubles({0.5, 0, 1.5, 0}));
  EXPECT_EQ(c.nombre_SC(), 0);  // model 0 has no concurrent automata
  EXPECT_NE(r.trace.find("\n2,4 --> entete et table bdd cree syntaxe V0\n"), String::npos);
}

TEST(ParseGal, RunTextWithoutSlashIsThePathAlone) {
  String text = chart_with("basic_model:", "Star:\n;\nTransition:\n;\n");
  text.replace(text.find("Run:\n;"), 6, "Run:\n\"here\": mod\n;");
  reading r = read_text(text);
  ASSERT_NE(r.chart, nullptr) << r.err;
  EXPECT_EQ(r.chart->chemin_prog_externe(0), "here");
  EXPECT_EQ(r.chart->nom_fichier_prog_externe(0), "");
  EXPECT_EQ(r.chart->nom_module_prog_externe(0), "mod");
}

TEST(ParseGal, NumericModelsFollowTheOlderNumbering) {
  const std::pair<const char*, int> cases[] = {
      {"-1", -1}, {"0", 0}, {"1", 2}, {"2", 3}, {"3", 4}, {"-7", -7},
      {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}};
  for (const auto& [text, kind] : cases) {
    reading r = read_text(chart_with(text, "Star:\n;\nTransition:\n;\n"));
    ASSERT_NE(r.chart, nullptr) << text;
    EXPECT_EQ(r.chart->mon_modele(), kind) << text;
  }
}

// ---- Body forms and lexical oddities -----------------------------------------

TEST(ParseGal, EncapsulatedChartHasNoStatesNorTransitions) {
  reading r = read_fixture("encapsulated.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  EXPECT_EQ(r.chart->encapsulated(), 1);
  EXPECT_EQ(r.chart->nbr_etats(), 0);
  EXPECT_EQ(r.chart->nbr_transitions(), 0);
  EXPECT_NE(r.trace.find("\n50 --> mode encapsulation\n32,2 --> mode encapsulation\n"
                         "1 --> synccharts cree\n"),
            String::npos);
}

TEST(ParseGal, CarriageReturnsAreSkippedAndEchoedIntoTheTrace) {
  reading r = read_fixture("crlf.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  EXPECT_EQ(r.chart->nbr_inputs(), 1);
  EXPECT_EQ(r.chart->ma_table_etats()[0].ma_posy(), 2);
  EXPECT_EQ(r.chart->ma_table_transitions()[0].mon_type_trans(), strong_trans);
  EXPECT_EQ(r.trace, slurp(data_dir + "crlf.trace"));
}

TEST(ParseGal, BytesThatStartNoTokenAreSkippedAndEchoed) {
  // "+", a lone "-" or ".", UTF-8, a form feed, a NUL, "----" and an
  // unmatched quote.
  reading r = read_fixture("skipped_bytes.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  const gal_tpen_etat* s = r.chart->ma_table_etats();
  ASSERT_EQ(r.chart->nbr_etats(), 3);
  EXPECT_EQ(s[0].ma_posx(), 3.4);  // 3.4.5: 3.4, ".", 5
  EXPECT_EQ(s[0].ma_posy(), 5);
  EXPECT_EQ(s[1].ma_posx(), 5);  // .5: ".", 5
  EXPECT_EQ(s[2].ma_posx(), 3);  // - 3: "-", 3
  EXPECT_EQ(r.chart->nbr_inputs(), 2);
  EXPECT_EQ(r.trace, slurp(data_dir + "skipped_bytes.trace"));
}

TEST(ParseGal, TextsMaySpanLines) {
  reading r = read_fixture("multiline_name.gal");
  ASSERT_NE(r.chart, nullptr) << r.err;
  EXPECT_EQ(r.chart->nom_etat(0), "first\nsecond");
  EXPECT_EQ(r.chart->nom_etat(1), "");
  EXPECT_EQ(r.chart->receptivite_transition(0), "a\nb");
  EXPECT_NE(r.trace.find("\n31 --> \"first\nsecond\"\n"), String::npos);
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
    EXPECT_EQ(scanner.yylex(), 0);
    EXPECT_LE(scanner.reads, 20) << code;
    EXPECT_EQ(echo.str(), "");
  }
}

TEST(ParseGal, DecimalsKeepTheirValueWhateverTheirDigits) {
  reading r = read_text(chart_with(
      "basic_model:", "Star:\nNS: \"a\" 4. 007.5,\nNS: \"b\" -0.5 -12.,\n"
                      "NS: \"c\" 123456789012345678901234567890.0 "
                      "0.0000000000000000000000000000001\n;\nTransition:\n;\n"));
  ASSERT_NE(r.chart, nullptr) << r.err;
  const gal_tpen_etat* s = r.chart->ma_table_etats();
  EXPECT_EQ(s[0].ma_posx(), 4.0);
  EXPECT_EQ(s[0].ma_posy(), 7.5);
  EXPECT_EQ(s[1].ma_posx(), -0.5);
  EXPECT_EQ(s[1].ma_posy(), -12.0);
  EXPECT_DOUBLE_EQ(s[2].ma_posx(), 1.2345678901234568e29);
  EXPECT_DOUBLE_EQ(s[2].ma_posy(), 1e-31);
}

TEST(ParseGal, DecimalsBeyondTheDoubleRangeSaturate) {
  const String huge = String(400, '9') + ".5";
  const String tiny = "0." + String(400, '0') + "1";
  reading r = read_text(chart_with("basic_model:", "Star:\nNS: \"a\" -" + huge + " " + tiny +
                                                       "\n;\nTransition:\n;\n"));
  ASSERT_NE(r.chart, nullptr) << r.err;
  EXPECT_EQ(r.chart->ma_table_etats()[0].ma_posx(), -DBL_MAX);
  EXPECT_EQ(r.chart->ma_table_etats()[0].ma_posy(), 0.0);
}

TEST(ParseGal, IntegersTooLongForIntAreClamped) {
  reading r = read_text(chart_with(
      "basic_model:",
      "Star:\nNS: \"a\" 99999999999 -99999999999 : 99999999999 : 88888888888888888888\n;\n"
      "Transition:\nFrom: -99999999999 To: 99999999999 By: : 0 0 99999999999 \"\" / "
      "-99999999999\n;\n"));
  ASSERT_NE(r.chart, nullptr) << r.err;
  const gal_tpen_etat& s = r.chart->ma_table_etats()[0];
  EXPECT_EQ(s.ma_posx(), double(INT_MAX));
  EXPECT_EQ(s.ma_posy(), double(INT_MIN));
  EXPECT_EQ(s.mon_ident_run(), INT_MAX);
  EXPECT_EQ(s.mes_actions(), ints({INT_MAX}));
  const gal_tpen_transition& t = r.chart->ma_table_transitions()[0];
  EXPECT_EQ(t.mon_ident_etat_amont(), INT_MIN);
  EXPECT_EQ(t.mon_ident_etat_aval(), INT_MAX);
  EXPECT_EQ(t.ma_priorite(), INT_MAX);
  EXPECT_EQ(t.mes_actions(), ints({INT_MIN}));
}

TEST(ParseGal, IndicesOutsideTheirTablesAreKeptAsRead) {
  // A run index with no program, action indices with no action and
  // transition ends with no state: stored, never followed.
  reading r = read_text(chart_with(
      "synccharts_model:",
      "Star:\nNS: \"a\" 0 0 : 7 \"x\\y\" : 9 -4,\nNS: \"b\" 1 0 : -3 : \n;\n"
      "Transition:\nFrom: 0 To: 5 By: : 0 0 \"\" / 12,\nFrom: 9 To: 1 By: : 0 0 \"\" /,\n"
      "From: 0 To: 1 By: : 0 0 \"\" /\n;\n"));
  ASSERT_NE(r.chart, nullptr) << r.err;
  const gal_tpen_fichier& c = *r.chart;
  EXPECT_EQ(c.ma_table_etats()[0].mon_ident_run(), 7);
  EXPECT_EQ(c.ma_table_etats()[0].mes_actions(), ints({9, -4}));
  EXPECT_EQ(c.ma_table_etats()[0].mon_diametre(), 1.0);
  EXPECT_EQ(c.ma_table_transitions()[0].mon_ident_etat_aval(), 5);
  EXPECT_EQ(c.ma_table_transitions()[1].mon_ident_etat_amont(), 9);
  EXPECT_EQ(c.ma_table_etats()[0].mes_transitions_post(), ints({0, 2}));
  EXPECT_EQ(c.ma_table_etats()[1].mes_transitions_pre(), ints({1, 2}));
}

// ---- Failures ----------------------------------------------------------------

TEST(ParseGal, BrokenChartsReportTheFirstSyntaxErrorAndGiveNoChart) {
  const std::pair<const char*, const char*> cases[] = {
      {"empty.gal", "syntax error, unexpected $end, expecting NAME_TOKEN"},
      {"name_blank_colon.gal", "syntax error, unexpected WORD_TOKEN, expecting NAME_TOKEN"},
      {"missing_colon.gal",
       "syntax error, unexpected BASIC_MODEL_TOKEN, expecting DEUX_POINTS_TOKEN"},
      // Five tokens could follow: the message names none of them.
      {"missing_model.gal", "syntax error, unexpected POINT_VIRGULE_TOKEN"},
      {"state_kind_blank_colon.gal",
       "syntax error, unexpected WORD_TOKEN, expecting VIRGULE_TOKEN or POINT_VIRGULE_TOKEN"},
      {"undefs_state.gal",
       "syntax error, unexpected WORD_TOKEN, expecting VIRGULE_TOKEN or POINT_VIRGULE_TOKEN"},
      {"exponent_coordinate.gal",
       "syntax error, unexpected WORD_TOKEN, expecting NUMBER_TOKEN or DNUMBER_TOKEN"},
      {"quote_in_trigger.gal", "syntax error, unexpected WORD_TOKEN, expecting SLASH_TOKEN"},
      {"missing_transitions.gal", "syntax error, unexpected $end, expecting TRANSITION_TOKEN"},
      {"token_after_body.gal", "syntax error, unexpected STAR_TOKEN, expecting $end"},
  };
  for (const auto& [fixture, message] : cases) {
    reading r = read_fixture(String("broken/") + fixture);
    EXPECT_EQ(r.chart, nullptr) << fixture;
    EXPECT_EQ(r.err, String(message) + "\nERROR about loading file : " + r.name + "\n")
        << fixture;
    EXPECT_EQ(r.out, "reading " + r.name + "\n");
  }
}

TEST(ParseGal, TokenAfterCompleteBodyFailsAfterTheChartWasFinished) {
  reading r = read_fixture("broken/token_after_body.gal");
  EXPECT_EQ(r.chart, nullptr);
  const String tail = "\n32 --> corps cree\n1 --> synccharts cree\n";
  ASSERT_GE(r.trace.size(), tail.size());
  EXPECT_EQ(r.trace.substr(r.trace.size() - tail.size()), tail);
}

TEST(ParseGal, MissingFileIsReportedWithAnEmptyTrace) {
  String name = scratch_file("absent.gal");
  reading r = read_file(name);
  EXPECT_EQ(r.chart, nullptr);
  EXPECT_EQ(r.err, "FILE NOT FOUND !\n");
  EXPECT_EQ(r.out, "reading " + name + "\n");
  struct stat status;
  EXPECT_EQ(stat((name + ".log").c_str(), &status), 0);
  EXPECT_EQ(r.trace, "");
}

TEST(ParseGal, DirectoryIsReportedAsNotFound) {
  String dir = scratch_file("folder.gal");
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  reading r = read_file(dir);
  EXPECT_EQ(r.chart, nullptr);
  EXPECT_EQ(r.err, "FILE NOT FOUND !\n");
}

TEST(ParseGal, UnreadableFileIsReportedAsNotFound) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  String name = scratch_file("locked.gal");
  spill(name, "Name: m : 0;\n");
  ASSERT_EQ(chmod(name.c_str(), 0), 0);
  reading r = read_file(name);
  EXPECT_EQ(r.chart, nullptr);
  EXPECT_EQ(r.err, "FILE NOT FOUND !\n");
}

// A name holding a NUL byte would reach the system cut short, naming another
// file that the trace would empty; a device never ends while the trace grows:
// neither is opened. A pipe is read: it ends when its writer closes it.
TEST(ParseGal, NulNamesAndDevicesAreNotFoundAndAPipeIsRead) {
  const String dir = scratch_dir("special"), nul(1, '\0');
  spill(dir + "important.txt", String(32, 'i'));
  std::vector<String> refused = {dir + "important.txt" + nul, dir + "important.txt" + nul + "/x.gal"};
  if (test_files::make_device(dir + "zero", 5).empty() && symlink("zero", (dir + "dev.gal").c_str()) == 0)
    refused.push_back(dir + "dev.gal");
  for (const String& name : refused) {
    bool read = true;
    EXPECT_EQ(parse_error_of(name, read), "FILE NOT FOUND !\n");
    EXPECT_FALSE(read) << name;
  }
  EXPECT_EQ(slurp(dir + "important.txt"), String(32, 'i'));
  ASSERT_EQ(mkfifo((dir + "pipe.gal").c_str(), 0600), 0);
  std::thread writer([&] { spill(dir + "pipe.gal", slurp(data_dir + "encapsulated.gal")); });
  bool read = false;
  EXPECT_EQ(parse_error_of(dir + "pipe.gal", read), "");
  writer.join();
  EXPECT_TRUE(read);
}

// The trace is truncated when it opens: never when it is the chart itself or
// no plain file (a device only when root may make one); the chart is read.
TEST(ParseGal, TraceThatIsTheChartOrNoPlainFileIsLeftAsItIs) {
  using maker = std::function<bool(const String& chart, const String& trace)>;
  const std::pair<const char*, maker> rows[] = {
      {"is the chart itself", [](const String&, const String& t) { return symlink("c.gal", t.c_str()) == 0; }},
      {"is the chart itself", [](const String& c, const String& t) { return link(c.c_str(), t.c_str()) == 0; }},
      {"is not a regular file", [](const String&, const String& t) { return mkfifo(t.c_str(), 0600) == 0; }},
      {"is not a regular file", [](const String&, const String& t) { return test_files::make_device(t, 3).empty(); }}};
  const String text = slurp(data_dir + "encapsulated.gal");
  for (const auto& [refusal, make] : rows) {
    const String chart = scratch_dir("trace") + "c.gal", trace = chart + ".log";
    spill(chart, text);
    struct stat before, after;
    if (!make(chart, trace) || lstat(trace.c_str(), &before) != 0) continue;
    bool read = false;
    EXPECT_EQ(parse_error_of(chart, read), "WARNING: no trace written: " + trace + " " + refusal + "\n");
    EXPECT_TRUE(read);
    EXPECT_EQ(slurp(chart), text);
    EXPECT_TRUE(lstat(trace.c_str(), &after) == 0 && after.st_mode == before.st_mode) << trace;
  }
}

TEST(ParseGal, ReadsAgainAfterAFailedRead) {
  reading bad = read_fixture("broken/missing_colon.gal");
  EXPECT_EQ(bad.chart, nullptr);
  reading good = read_fixture("encapsulated.gal");
  EXPECT_NE(good.chart, nullptr);
  EXPECT_EQ(pgal_parser, nullptr);  // the context went with its read
}

// ---- Trace writer and token names ------------------------------------------

TEST(ParseGal, TraceLineShowsTheAlternativeOnlyBeyondTheFirst) {
  std::ostringstream trace;
  gal_debuger_law(35, 1, "genere etat", 1, trace);
  gal_debuger_law(35, 2, "genere etat", 1, trace);
  gal_debuger_law(35, 2, "nothing", 0, trace);
  EXPECT_EQ(trace.str(), "35 --> genere etat\n35,2 --> genere etat\n");
}

TEST(ParseGal, TypeLexemeNamesTokensForDisplay) {
  EXPECT_EQ(type_lexeme(267), "Normal Star");
  EXPECT_EQ(type_lexeme(268), "Final Star");
  EXPECT_EQ(type_lexeme(269), "DEUX_POINTS");
  EXPECT_EQ(type_lexeme(296), "WORD");
  EXPECT_EQ(type_lexeme(258), "OTHER");
  EXPECT_EQ(type_lexeme(0), "OTHER");
}
