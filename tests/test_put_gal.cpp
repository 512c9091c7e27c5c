// The .gal writer: the whole text of a chart with something in every table, in
// every model kind, the round trip of random charts through the reader, and
// the chart kept whole when the disk is full.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <functional>
#include <map>
#include <random>

#include "reader_files.h"
#include "tests/chart_generator.h"
#include "tests/esterel_checker.h"
#include "writers/writer_files.h"

using namespace reader_files;
using namespace esterel_checker;

namespace {

// Warnings of the Esterel writer must reach standard error, not a modal
// window that nobody closes.
const bool no_display = [] { return unsetenv("DISPLAY") == 0; }();

// Reads a chart text back, quietly.
std::unique_ptr<gal_tpen_fichier> read_back(const String& text) {
  reading r = read_text(text);
  EXPECT_EQ(r.err, "");
  return std::move(r.chart);
}

String fixture(const char* name) { return test_files::fixture(String("writers/") + name); }

String with_model(const String& text, const String& model) {
  const std::size_t colon = text.find(" : ") + 3;
  return text.substr(0, colon) + model + text.substr(text.find(";\n"));
}

// Every field of a transition, numbers exactly.
auto fields(const gal_tpen_transition& t) {
  return std::make_tuple(t.mon_ident_etat_amont(), t.mon_ident_etat_aval(), t.mon_type_trans(),
                         t.ma_priorite(), t.ma_receptivite(), t.posx_receptivite(),
                         t.posy_receptivite(), t.liste_positions(), t.mes_actions());
}

// All that the text holds: the model, the declaration tables (as the dump
// shows them), the programs with their ports, the states and transitions.
void expect_same_chart(const gal_tpen_fichier& a, const gal_tpen_fichier& b) {
  EXPECT_EQ(a.mon_modele(), b.mon_modele());
  const auto dump = [](const auto& c) { std::ostringstream os; c.put(os); return os.str(); };
  EXPECT_EQ(dump(a), dump(b));
  ASSERT_EQ(a.nbr_progs_externes(), b.nbr_progs_externes());
  for (int p = 0; p < a.nbr_progs_externes(); ++p) {
    const gal_declaration_progs &x = a.ma_table_progs_externes()[p], &y = b.ma_table_progs_externes()[p];
    EXPECT_EQ(x, y) << "program " << p;
    EXPECT_EQ(x.my_inputs_list(), y.my_inputs_list()) << "program " << p;
    EXPECT_EQ(x.my_outputs_list(), y.my_outputs_list()) << "program " << p;
  }
  ASSERT_EQ(a.nbr_etats(), b.nbr_etats());
  for (int s = 0; s < a.nbr_etats(); ++s) {
    const gal_tpen_etat &x = a.ma_table_etats()[s], &y = b.ma_table_etats()[s];
    EXPECT_FALSE(x != y) << "state " << s;
    EXPECT_EQ(std::make_pair(x.ma_posx(), x.ma_posy()), std::make_pair(y.ma_posx(), y.ma_posy()))
        << "state " << s;
  }
  ASSERT_EQ(a.nbr_transitions(), b.nbr_transitions());
  for (int t = 0; t < a.nbr_transitions(); ++t)
    EXPECT_EQ(fields(a.ma_table_transitions()[t]), fields(b.ma_table_transitions()[t]))
        << "transition " << t;
}

// The Esterel module of the chart, as tessan writes it.
String module_of(const gal_tpen_fichier& chart) {
  const String name = scratch_file("module.strl");
  testing::internal::CaptureStderr();
  chart.put_strl5(name, chart.mon_nom_module());
  testing::internal::GetCapturedStderr();
  return slurp(name);
}

// Saves the fixture's chart over the file it was read from, which then holds
// the text of the fixture `saved` and reads back into the same tables; a
// second save writes that text again, and the module is the one the chart
// gave before the save. That module is returned, for the checker.
String expect_saved_over_itself(const char* chart, const char* saved) {
  const String name = scratch_file(chart);
  spill(name, fixture(chart));
  const std::unique_ptr<gal_tpen_fichier> before = read_file(name).chart;
  EXPECT_NE(before, nullptr);
  if (before == nullptr) return "";
  const String module = module_of(*before);
  EXPECT_NE(module, "");
  EXPECT_EQ(before->put_gal(name, before->mon_nom_module()), 1);
  const String text = slurp(name);
  test_files::expect_fixture(String("writers/") + saved, text);
  const reading back = read_file(name);
  EXPECT_NE(back.chart, nullptr) << back.err;
  if (back.chart == nullptr) return module;
  expect_same_chart(*before, *back.chart);
  EXPECT_EQ(written(*back.chart, back.chart->mon_nom_module()), text);
  EXPECT_EQ(module_of(*back.chart), module);
  return module;
}

// Numbers that six digits do not hold: any finite double, whole numbers
// about the bounds of the reader's integers, fractions of 53 bits, -0.
double awkward(std::mt19937_64& rng) {
  const std::uint64_t bits = rng();
  double any;
  std::memcpy(&any, &bits, sizeof any);
  switch (bits % 4) {
    case 0: return std::isfinite(any) ? any : 0.5;
    case 1: return static_cast<double>(static_cast<std::int64_t>(bits >> 31) - (1ll << 32));
    case 2: return std::ldexp(static_cast<double>(bits >> 11), -43);
    default: return -0.0;
  }
}

void make_numbers_awkward(gal_tpen_fichier& chart, std::mt19937_64& rng) {
  for (int s = 0; s < chart.nbr_etats(); ++s) {
    chart.ma_table_etats()[s].change_ma_posx(awkward(rng));
    chart.ma_table_etats()[s].change_ma_posy(awkward(rng));
  }
  for (int t = 0; t < chart.nbr_transitions(); ++t) {
    gal_tpen_transition& transition = chart.ma_table_transitions()[t];
    transition.modif_coords_condition(awkward(rng), awkward(rng));
    for (std::size_t p = 0; p < transition.liste_positions().size() / 2; ++p)
      transition.modif_coords_point(static_cast<int>(p), awkward(rng), awkward(rng));
  }
}

}  // namespace

// Every section, one item a line, under the module name given; numbers
// without an exponent; no program sensors, no renaming without a run; where
// the model has no kinds of transitions, a kind only where the reader would
// not take it for a weak abortion (the fixtures' header names the model
// MODEL). The text reads back into itself.
TEST(PutGal, WritesEveryTableOfTheChartInEachModelKind) {
  const String rich = fixture("rich.gal");
  const std::pair<const char*, const char*> rows[] = {
      {"synccharts_model:", "rich.written.gal"}, {"light_esterel_model:", "rich.written.gal"},
      {"par_automata_model:", "rich.untyped.gal"}, {"basic_model:", "rich.untyped.gal"},
      {"3", "rich.untyped.gal"}};  // the older numeric header: kind 4
  for (const auto& [model, expected] : rows) {
    const std::unique_ptr<gal_tpen_fichier> chart = read_back(with_model(rich, model));
    ASSERT_NE(chart, nullptr) << model;
    const String text = written(*chart, "given");
    EXPECT_EQ(with_model(text, model), text) << model;
    test_files::expect_fixture(String("writers/") + expected, with_model(text, "MODEL"));
    EXPECT_EQ(written(*read_back(text), "given"), text) << model;
  }
}

// The chart the user edits is written whole or not at all: on a full disk the
// old chart stays and the failure is said.
TEST(PutGal, FullDiskKeepsTheOldChartAndSaysSo) {
  const String dir = scratch_file("full"), kept = dir + "/c.gal";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const test_files::small_tmpfs disk(dir);
  if (!disk.mounted()) GTEST_SKIP() << disk.why_not;
  spill(kept, "old chart\n");
  disk.fill();
  const std::unique_ptr<gal_tpen_fichier> chart = read_back(fixture("rich.gal"));
  testing::internal::CaptureStderr();
  EXPECT_EQ(chart->put_gal(kept, "rich"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: cannot write " + kept + ": No space left on device\n");
  EXPECT_EQ(slurp(kept), "old chart\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);  // the chart and the filler
}

// A chart read, edited and saved under its own name replaces the file it was
// read from, whole, and reads back as edited. The saved file is still the
// chart: no other writer may put its text there, by its name or through a
// link.
TEST(PutGal, SavesAnEditedChartOverTheFileItWasReadFrom) {
  const String dir = scratch_file("saved"), name = dir + "/light.gal", link = dir + "/light.strl";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  spill(name, test_files::fixture("strl5/light.gal"));
  const std::unique_ptr<gal_tpen_fichier> chart = read_file(name).chart;
  ASSERT_NE(chart, nullptr);
  chart->ma_table_etats()[0].replace_nom("renamed");
  EXPECT_EQ(chart->put_gal(name, chart->mon_nom_module()), 1);
  const String saved = slurp(name);
  ASSERT_EQ(symlink("light.gal", link.c_str()), 0);
  using writer = int (gal_tpen_fichier::*)(const String&, const String&) const;
  for (const writer put : {&gal_tpen_fichier::put_strl5, &gal_tpen_fichier::put_le,
                           &gal_tpen_fichier::put_xfig, &gal_tpen_fichier::put_inkscape})
    for (const String& target : {name, link}) {
      testing::internal::CaptureStderr();
      EXPECT_EQ(((*chart).*put)(target, "light"), 0) << target;
      EXPECT_EQ(testing::internal::GetCapturedStderr(),
                "ERROR: cannot write " + target + ": it is the file the chart was read from\n");
    }
  EXPECT_EQ(slurp(name), saved);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 3);  // with the trace and the link
  const std::unique_ptr<gal_tpen_fichier> back = read_file(name).chart;
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->ma_table_etats()[0].mon_nom(), "renamed");
  EXPECT_EQ(written(*back, back->mon_nom_module()), saved);
}

// A run given as a text and a module names as its file what follows the
// text's last "/", or nothing: a file name that is no name ("my-counter.v2",
// "semi;colon", "+ab", which the scanner would skip a byte of) or none at all
// is saved in that form, and a name in the full form, as always. A program
// made by a caller with such a file name and ports, or with a "/" in it, has
// no text: the save is refused and the old chart kept.
TEST(PutGal, SavesARunWhoseFileNameIsNoNameAsATextAndAModule) {
  const String module = expect_saved_over_itself("saved_runs.gal", "saved_runs.saved.gal");
  const std::unique_ptr<gal_tpen_fichier> chart = read_back(fixture("saved_runs.gal"));
  ASSERT_NE(chart, nullptr);
  const std::list<gal_declaration_variables> none, port = {gal_declaration_variables("pure", "a")};
  const char* const ported = "is no name: only a run without ports holds such a file name";
  const std::tuple<const char*, std::list<gal_declaration_variables>, const char*, const char*> rows[] = {
      {"my-counter.v2", port, "my-counter.v2", ported},
      {"", port, "", ported},
      {"sub/\tf", none, "sub/\\tf", "holds a \"/\": no run text holds such a file name"},
      {"a\nb", none, "", nullptr},  // written, a line end in the text
  };
  const String name = scratch_file("refused.gal");
  for (const auto& [file, ports, shown, why] : rows) {
    gal_tpen_fichier made = *chart;
    made.add_fin_progs_externes(gal_declaration_progs("lib", file, "M", ports, none, ports));
    spill(name, "old chart\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(made.put_gal(name, "runs"), why ? 0 : 1) << file;
    const String said = testing::internal::GetCapturedStderr();
    if (why == nullptr) {
      EXPECT_EQ(said, "");
      const std::unique_ptr<gal_tpen_fichier> back = read_file(name).chart;
      ASSERT_NE(back, nullptr);
      expect_same_chart(made, *back);
      continue;
    }
    EXPECT_EQ(said, "ERROR in gal_tpen_fichier::put_gal: program 8 has the file name \"" +
                        String(shown) + "\", which " + why + ": nothing written to " + name + "\n");
    EXPECT_EQ(slurp(name), "old chart\n");
  }
  if (checker().empty()) GTEST_SKIP() << no_checker;
  EXPECT_EQ(refusal(module), "");
}

// A declared name that spells a keyword without its colon ("NS", "Input",
// "c_assign"), read where a blank stood before its colon, is saved with that
// blank: as a signal or variable of every section, a port, a program's file
// or module. The fixture declares every keyword of the text so.
TEST(PutGal, SavesANameThatSpellsAKeywordWithABlankBeforeItsColon) {
  const String module = expect_saved_over_itself("saved_keywords.gal", "saved_keywords.saved.gal");
  if (checker().empty()) GTEST_SKIP() << no_checker;
  EXPECT_EQ(refusal(module), "");
}

// Each number reads back the same; one that the text has no form for (inf,
// nan) leaves the old file and says so.
TEST(PutGal, WritesEachNumberSoThatItReadsBackTheSame) {
  const std::unique_ptr<gal_tpen_fichier> chart = read_back(
      "Name: n : basic_model:; Type: ; Input: ; Sensor: ; Output: ; Local: ; Variable: ;\n"
      "Run: ; Function: ; Constant: ; Pre: ; Action: ; Star: NS: \"\" 0 0; Transition: ;\n");
  const String name = scratch_file("number.gal");
  const String table = String(TESSAN_TEST_DATA) + "/writers/numbers.txt";
  for (const test_files::table_row& row : test_files::read_table(table)) {
    double x = 0;
    std::from_chars(row.in[0].data(), row.in[0].data() + row.in[0].size(), x);
    chart->ma_table_etats()[0].change_ma_posx(x);
    spill(name, "old chart\n");
    const bool refused = row.out[0] == "refused";
    testing::internal::CaptureStderr();
    EXPECT_EQ(chart->put_gal(name, "n"), refused ? 0 : 1) << row.line;
    const String said = testing::internal::GetCapturedStderr() + slurp(name);
    if (refused) {
      EXPECT_EQ(said, "ERROR in gal_tpen_fichier::put_gal: state 0 has the coordinate " +
                          row.in[0] + ": nothing written to " + name + "\nold chart\n");
      continue;
    }
    EXPECT_NE(said.find("NS: \"\" " + row.out[0] + " 0 :"), String::npos) << row.line;
    const std::unique_ptr<gal_tpen_fichier> back = read_file(name).chart;
    ASSERT_NE(back, nullptr) << row.line;
    EXPECT_EQ(back->ma_table_etats()[0].ma_posx(), x) << row.line;
  }
}

// Any chart the reader reads, also with numbers that six digits do not hold,
// reads back into the same chart, which is written into the same text.
TEST(PutGal, RandomChartsReadBackTheSame) {
  chart_generator::drawer draw(chart_generator::seed());
  std::mt19937_64 rng(chart_generator::seed());
  for (int i = 0; i < chart_generator::charts(); ++i) {
    const chart_generator::generated g = draw.chart("g" + std::to_string(i));
    SCOPED_TRACE(g.text);
    const std::unique_ptr<gal_tpen_fichier> chart = read_back(g.text);
    ASSERT_NE(chart, nullptr);
    if (i % 2 == 1) make_numbers_awkward(*chart, rng);
    const String name = scratch_file("written.gal");
    if (g.model < 0) {  // an undefined model is not written at all
      EXPECT_EQ(chart->put_gal(name, "m"), 0);
      EXPECT_FALSE(std::filesystem::exists(name));
      continue;
    }
    const String text = written(*chart, chart->mon_nom_module());
    const std::unique_ptr<gal_tpen_fichier> back = read_back(text);
    ASSERT_NE(back, nullptr) << text;
    expect_same_chart(*chart, *back);
    ASSERT_EQ(written(*back, back->mon_nom_module()), text);
  }
}

// ---- Texts that a caller sets ------------------------------------------------

namespace {

// One of everything that the chart text holds, made as an editor makes a
// chart: the reader's constructor for the tables that have no builder, the
// builders for the state and the transition. Each row changes one text.
struct made_parts {
  String module = "made";
  std::list<String> types = {"int"};
  std::list<gal_declaration_variables> inputs = {{"pure", "I"}}, sensors = {{"int", "S"}},
                                       outputs = {{"int", "O"}}, locals = {{"", "L"}},
                                       variables = {{"int", "V"}};
  String path = "lib", file = "sub", program_module = "Sub";
  std::list<gal_declaration_variables> program_inputs = {{"pure", "a"}},
                                       program_outputs = {{"int", "o"}};
  String result = "int", function = "f";
  std::list<String> arguments = {"int", "bool"};
  String constant_type = "int", constant = "K";
  String values[gal_declaration_constants::nb_values] = {"1", "", "x <= 1", "", "", "2"};
  String pre = "pI", pre_signal = "I", pre_initial = "---";
  String action = "emit O(1)";
  int kind = normal_star;
  String state = "idle", renaming = "I\\a";
  String trigger = "I";
};

std::unique_ptr<gal_tpen_fichier> made(made_parts p) {
  std::list<gal_declaration_progs> programs = {gal_declaration_progs(
      p.path, p.file, p.program_module, p.program_inputs, {}, p.program_outputs)};
  std::list<gal_declaration_functions> functions = {
      gal_declaration_functions(p.result, p.function, p.arguments)};
  std::list<gal_declaration_constants> constants = {
      gal_declaration_constants(p.constant_type, p.constant, p.values)};
  std::list<gal_declaration_pres> pres = {gal_declaration_pres(p.pre, p.pre_signal, p.pre_initial)};
  std::list<String> actions = {p.action};
  auto chart = std::make_unique<gal_tpen_fichier>(
      &p.module, synccharts_model, &p.types, &p.inputs, &p.sensors, &p.outputs, &p.locals,
      &p.variables, &programs, &functions, &constants, &pres, &actions);
  std::list<int> emitted = {0};
  chart->add_fin_etat(
      gal_tpen_etat(p.kind, &p.state, 1, 2, gal_run_instance(0, p.renaming), &emitted));
  chart->add_fin_transition(
      gal_tpen_transition(-1, 0, strong_trans, 0.5, 1, 0, p.trigger, emitted));
  return chart;
}

// A text set into one slot of the chart, and the fault that the save names
// ("" when the chart is saved).
struct text_row {
  const char* slot;
  String text;
  String fault;
};

using slot_setter = std::function<void(made_parts&, const String&)>;

// Each row's chart saved over an old chart file: refused, with the fault on
// one line and the old file kept byte for byte, or saved in a text that reads
// back into the same chart, which saves into the same text.
void expect_saved_or_refused(const std::map<String, slot_setter>& slots,
                             const std::vector<text_row>& rows) {
  const String old = fixture("rich.gal");
  for (const text_row& row : rows) {
    const String shown = String(row.slot) + " \"" + tessan_writers::printable(row.text) + "\"";
    made_parts parts;
    slots.at(row.slot)(parts, row.text);
    const std::unique_ptr<gal_tpen_fichier> chart = made(parts);
    const String name = scratch_file("edited.gal");
    spill(name, old);
    testing::internal::CaptureStderr();
    const int saved = chart->put_gal(name, chart->mon_nom_module());
    const String said = testing::internal::GetCapturedStderr();
    if (!row.fault.empty()) {
      EXPECT_EQ(saved, 0) << shown;
      EXPECT_EQ(said, "ERROR in gal_tpen_fichier::put_gal: " + row.fault + ": nothing written to " +
                          name + "\n")
          << shown;
      EXPECT_EQ(slurp(name), old) << shown;
      continue;
    }
    EXPECT_EQ(saved, 1) << shown;
    EXPECT_EQ(said, "") << shown;
    const reading back = read_file(name);
    EXPECT_NE(back.chart, nullptr) << shown << "\n" << back.err;
    if (back.chart == nullptr) continue;
    SCOPED_TRACE(shown);
    expect_same_chart(*chart, *back.chart);
    EXPECT_EQ(written(*back.chart, back.chart->mon_nom_module()), slurp(name)) << shown;
  }
}

// The name, or the type, of the first signal, variable or port of a table.
slot_setter variable(std::list<gal_declaration_variables> made_parts::*table, bool type) {
  return [table, type](made_parts& p, const String& t) {
    gal_declaration_variables& v = (p.*table).front();
    v = type ? gal_declaration_variables(t, v.nom()) : gal_declaration_variables(v.typev(), t);
  };
}

const String quote = "holds a double quote: no chart text holds it";
const String no_name = "is no name: the chart text holds only a name there";
const String no_type = "is neither a name nor empty: the chart text holds only those there";

}  // namespace

// A text of the chart is between double quotes, with no escape: one that
// holds a double quote is refused, any other byte is saved (line ends, tabs,
// control bytes, a NUL, a backslash, bytes beyond ASCII).
TEST(PutGal, RefusesAStateNameOrRenamingThatHoldsADoubleQuote) {
  expect_saved_or_refused(
      {{"name", [](made_parts& p, const String& t) { p.state = t; }},
       {"renaming", [](made_parts& p, const String& t) { p.renaming = t; }}},
      {{"name", "a\"b", "state 0 has the name \"a\\\"b\", which " + quote},
       {"name", "\"", "state 0 has the name \"\\\"\", which " + quote},
       {"name", "line\nend\x01\"", "state 0 has the name \"line\\nend\\x01\\\"\", which " + quote},
       {"name", "", ""},
       {"name", "two\nlines\t\x01\x7f \\ ; : , / \xc3\xa9", ""},
       {"name", String("nul\0byte", 8), ""},
       {"renaming", "I\\a,\"O\\o", "state 0 has the renaming \"I\\a,\\\"O\\o\", which " + quote},
       {"renaming", "I\\a,\nO\\o", ""}});
}

// "NS" and "FS" are the only kinds of state the text spells.
TEST(PutGal, RefusesAStateWhoseKindIsNeitherNormalNorFinal) {
  const String neither = ", which is neither normal (1) nor final (2): no chart text holds it";
  expect_saved_or_refused({{"kind", [](made_parts& p, const String& t) { p.kind = std::stoi(t); }}},
                          {{"kind", "0", "state 0 has the kind 0" + neither},
                           {"kind", "3", "state 0 has the kind 3" + neither},
                           {"kind", "-2147483648", "state 0 has the kind -2147483648" + neither},
                           {"kind", "1", ""},
                           {"kind", "2", ""}});
}

TEST(PutGal, RefusesATriggerThatHoldsADoubleQuote) {
  expect_saved_or_refused(
      {{"trigger", [](made_parts& p, const String& t) { p.trigger = t; }}},
      {{"trigger", "A and \"x\"",
        "transition 0 has the trigger \"A and \\\"x\\\"\", which " + quote},
       {"trigger", "", ""},
       {"trigger", "<2> #I / O;\n\t", ""}});
}

TEST(PutGal, RefusesAnActionThatHoldsADoubleQuote) {
  expect_saved_or_refused(
      {{"action", [](made_parts& p, const String& t) { p.action = t; }}},
      {{"action", "emit O(\"v\")", "action 0 has the text \"emit O(\\\"v\\\")\", which " + quote},
       {"action", "", ""},
       {"action", "x := 1;\n emit O(2) / \\", ""}});
}

// Where the text needs a name (ASCII letters, digits and "_", not digits
// alone) nothing else is saved: a blank, a colon, a byte beyond ASCII, no
// name at all. A name that spells a keyword is one; a signal's type may also
// be left out.
TEST(PutGal, RefusesADeclaredNameOrTypeThatIsNoName) {
  expect_saved_or_refused(
      {{"type", [](made_parts& p, const String& t) { p.types.front() = t; }},
       {"input", variable(&made_parts::inputs, false)},
       {"input type", variable(&made_parts::inputs, true)},
       {"sensor", variable(&made_parts::sensors, false)},
       {"sensor type", variable(&made_parts::sensors, true)},
       {"output", variable(&made_parts::outputs, false)},
       {"output type", variable(&made_parts::outputs, true)},
       {"local", variable(&made_parts::locals, false)},
       {"local type", variable(&made_parts::locals, true)},
       {"variable", variable(&made_parts::variables, false)},
       {"variable type", variable(&made_parts::variables, true)}},
      {{"type", "", "type 0 has the name \"\", which " + no_name},
       {"type", "unsigned int", "type 0 has the name \"unsigned int\", which " + no_name},
       {"type", "Type", ""},
       {"input", "two words", "input 0 has the name \"two words\", which " + no_name},
       {"input", "Input", ""},
       {"input type", "a-b", "input 0 has the type \"a-b\", which " + no_type},
       {"sensor", "", "sensor 0 has the name \"\", which " + no_name},
       {"sensor type", "---", "sensor 0 has the type \"---\", which " + no_type},
       {"output", "P:Q", "output 0 has the name \"P:Q\", which " + no_name},
       {"output", "12_", ""},
       {"output type", "", ""},
       {"local", "12", "local 0 has the name \"12\", which " + no_name},
       {"local", "\xc3\xa9t\xc3\xa9",
        "local 0 has the name \"\xc3\xa9t\xc3\xa9\", which " + no_name},
       {"local type", "\t", "local 0 has the type \"\\t\", which " + no_type},
       {"variable", "v\n", "variable 0 has the name \"v\\n\", which " + no_name},
       {"variable", "NS", ""},
       {"variable type", "Name", ""},
       {"variable type", "int\"", "variable 0 has the type \"int\\\"\", which " + no_type}});
}

// A run is a quoted path, a file name and a module name, and ports as
// signals are; a run without ports whose file name is no name is the path and
// the file name quoted together.
TEST(PutGal, RefusesARunWhosePathModuleOrPortsNoTextHolds) {
  expect_saved_or_refused(
      {{"path", [](made_parts& p, const String& t) { p.path = t; }},
       {"file", [](made_parts& p, const String& t) { p.file = t; }},
       {"file without ports",
        [](made_parts& p, const String& t) {
          p.file = t;
          p.program_inputs.clear();
          p.program_outputs.clear();
        }},
       {"module", [](made_parts& p, const String& t) { p.program_module = t; }},
       {"input", variable(&made_parts::program_inputs, false)},
       {"input type", variable(&made_parts::program_inputs, true)},
       {"output", variable(&made_parts::program_outputs, false)},
       {"output type", variable(&made_parts::program_outputs, true)}},
      {{"path", "lib/\"x\"", "program 0 has the path \"lib/\\\"x\\\"\", which " + quote},
       {"path", "a b/\n;", ""},
       {"file", "a\"b", "program 0 has the file name \"a\\\"b\", which is no name: only a run "
                        "without ports holds such a file name"},
       {"file", "Run", ""},
       {"file without ports", "a\"b", "program 0 has the file name \"a\\\"b\", which " + quote},
       {"file without ports", "my-file.gal", ""},
       {"module", "my module", "program 0 has the module name \"my module\", which " + no_name},
       {"module", "", "program 0 has the module name \"\", which " + no_name},
       {"module", "Star", ""},
       {"input", "a b", "input 0 of program 0 has the name \"a b\", which " + no_name},
       {"input type", "a;", "input 0 of program 0 has the type \"a;\", which " + no_type},
       {"output", "By", ""},
       {"output type", "", ""},
       {"output type", "x y", "output 0 of program 0 has the type \"x y\", which " + no_type}});
}

// A constant is a type, a name and its values, each quoted after its prefix.
TEST(PutGal, RefusesAConstantWhoseTypeOrNameIsNoNameOrWhoseValueHoldsADoubleQuote) {
  const auto value = [](int i) {
    return [i](made_parts& p, const String& t) { p.values[i] = t; };
  };
  expect_saved_or_refused(
      {{"type", [](made_parts& p, const String& t) { p.constant_type = t; }},
       {"name", [](made_parts& p, const String& t) { p.constant = t; }},
       {"default", value(0)},
       {"C", value(1)},
       {"VHDL", value(2)},
       {"NuSMV", value(3)},
       {"Lustre", value(4)},
       {"Esterel", value(5)}},
      {{"type", "unsigned int", "constant 0 has the type \"unsigned int\", which " + no_name},
       {"name", "K 1", "constant 0 has the name \"K 1\", which " + no_name},
       {"name", "c_assign", ""},
       {"default", "\"1\"", "constant 0 has the default value \"\\\"1\\\"\", which " + quote},
       {"default", "", ""},
       {"C", "'a\"", "constant 0 has the C value \"'a\\\"\", which " + quote},
       {"VHDL", "\"1010\"", "constant 0 has the VHDL value \"\\\"1010\\\"\", which " + quote},
       {"NuSMV", "a\"", "constant 0 has the NuSMV value \"a\\\"\", which " + quote},
       {"Lustre", "\"", "constant 0 has the Lustre value \"\\\"\", which " + quote},
       {"Esterel", "\"s\"", "constant 0 has the Esterel value \"\\\"s\\\"\", which " + quote},
       {"Esterel", "1 + \\\n2", ""}});
}

// A function is its result type, its name and its argument types, all names;
// a pre is its name, its signal, and a name or "---" for its initial value.
TEST(PutGal, RefusesAFunctionOrPreWhosePartsAreNoNames) {
  expect_saved_or_refused(
      {{"result", [](made_parts& p, const String& t) { p.result = t; }},
       {"function", [](made_parts& p, const String& t) { p.function = t; }},
       {"argument", [](made_parts& p, const String& t) { p.arguments.back() = t; }},
       {"pre", [](made_parts& p, const String& t) { p.pre = t; }},
       {"signal", [](made_parts& p, const String& t) { p.pre_signal = t; }},
       {"initial", [](made_parts& p, const String& t) { p.pre_initial = t; }}},
      {{"result", "", "function 0 has the result type \"\", which " + no_name},
       {"function", "f(x)", "function 0 has the name \"f(x)\", which " + no_name},
       {"function", "Function", ""},
       {"argument", "int*", "argument 1 of function 0 has the type \"int*\", which " + no_name},
       {"pre", "p re", "pre 0 has the name \"p re\", which " + no_name},
       {"signal", "", "pre 0 has the signal \"\", which " + no_name},
       {"initial", "",
        "pre 0 has the initial value \"\", which is neither a name nor \"---\": the chart text "
        "holds only those there"},
       {"initial", "--", "pre 0 has the initial value \"--\", which is neither a name nor "
                         "\"---\": the chart text holds only those there"},
       {"initial", "zero", ""}});
}

// The module name given to the save heads the text.
TEST(PutGal, RefusesAModuleNameThatIsNoName) {
  const String said = "the module has the name ";
  expect_saved_or_refused({{"module", [](made_parts& p, const String& t) { p.module = t; }}},
                          {{"module", "", said + "\"\", which " + no_name},
                           {"module", "my module", said + "\"my module\", which " + no_name},
                           {"module", "9", said + "\"9\", which " + no_name},
                           {"module", "Name", ""},
                           {"module", "_9", ""}});
}
