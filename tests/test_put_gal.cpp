// The .gal writer: the exact text of each item and of a whole chart, and the
// round trip through the reader in every model kind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>

#include "chart/gal_norm.h"
#include "reader/parse_gal.h"
#include "reader_files.h"
#include "tests/chart_generator.h"

using namespace reader_files;

namespace {

// Reads a chart text back, quietly.
std::unique_ptr<gal_tpen_fichier> read_back(const String& text) {
  reading r = read_text(text);
  EXPECT_EQ(r.err, "");
  return std::move(r.chart);
}

using variables = std::list<gal_declaration_variables>;

gal_declaration_variables var(const char* type, const char* name) {
  return gal_declaration_variables(String(type), String(name));
}

gal_tpen_etat state(int kind, const char* name, double x, double y, gal_run_instance run,
                    std::list<int> actions) {
  String n = name;
  return gal_tpen_etat(kind, &n, x, y, run, &actions);
}

gal_tpen_transition transition(int from, int to, int kind, std::list<double> points, double x,
                               double y, int priority, const char* trigger,
                               std::list<int> actions) {
  String t = trigger;
  return gal_tpen_transition(from, to, kind, &points, &x, &y, priority, &t, &actions);
}

// A chart with something in every table, read-back-safe in every model.
std::unique_ptr<gal_tpen_fichier> rich_chart(int model) {
  String name = "rich";
  std::list<String> types = {"int", "bool"};
  variables inputs = {var("pure", "go"), var("int", "level")};
  variables sensors = {var("int", "temp")};
  variables outputs = {var("pure", "ring"), var("", "raw")};
  variables locals = {var("bool", "l")};
  variables vars = {var("int", "v")};
  std::list<gal_declaration_progs> runs = {
      gal_declaration_progs("lib/sub", "sub", "Sub", variables{var("pure", "a")}, variables{},
                            variables{var("int", "o"), var("", "p")}),
      gal_declaration_progs("", "f", "m", {}, {}, {})};
  std::list<gal_declaration_functions> functions = {
      gal_declaration_functions(String("int"), String("f"), std::list<String>{"int", "bool"}),
      gal_declaration_functions(String("bool"), String("g"), std::list<String>{})};
  std::list<std::pair<int, String>> values = {{0, "1"}, {2, "x <= 1"}, {5, "2"}};
  String ctype = "int", cname = "K";
  std::list<gal_declaration_constants> constants = {
      gal_declaration_constants(&ctype, &cname, &values)};
  String pa = "pA", a = "go", pb = "pB", b = "level", init = "zero";
  std::list<gal_declaration_pres> pres = {gal_declaration_pres(&pa, &a),
                                          gal_declaration_pres(&pb, &b, &init)};
  std::list<String> actions = {"emit ring", "x := 1", ""};
  auto chart = std::make_unique<gal_tpen_fichier>(&name, model, &types, &inputs, &sensors,
                                                  &outputs, &locals, &vars, &runs, &functions,
                                                  &constants, &pres, &actions);
  std::list<gal_tpen_etat> states = {
      state(normal_star, "idle", 1, 2.5, gal_run_instance(-1, ""), {}),
      state(final_star, "two\nlines", -3.25, 1e5, gal_run_instance(0, "go\\a,ring\\o"), {2, 0}),
      state(normal_star, "", 0.125, 0, gal_run_instance(1, ""), {1})};
  std::list<gal_tpen_transition> transitions = {
      transition(-1, 0, strong_trans, {}, 0.5, 1, 0, "", {}),
      transition(0, 1, suspend_trans, {1, 2, 3.5, 4}, 2, 3, -1, "go and not level", {1, 0}),
      transition(1, 2, normalterm_trans, {7, 8}, 1, 1, 2, "#tick", {}),
      transition(2, -1, weak_trans, {}, 0, 0, 1, "<1> go", {2})};
  chart->parse_etats(&states);
  chart->parse_transitions(&transitions);
  chart->normalise_diametre_etats();
  chart->update_simple_connexite();
  chart->raj_pre_post_transitions();
  return chart;
}

template <class T>
void expect_same_table(const T* a, int na, const T* b, int nb, const char* what) {
  ASSERT_EQ(na, nb) << what;
  for (int i = 0; i < na; ++i) EXPECT_TRUE(a[i] == b[i]) << what << ' ' << i;
}

}  // namespace

// ---- Whole charts ------------------------------------------------------------

TEST(PutGal, UndefinedModelWritesNoFile) {
  gal_tpen_fichier chart;
  String name = scratch_file("none.gal");
  chart.put_gal(name, "m");
  struct stat status;
  EXPECT_NE(stat(name.c_str(), &status), 0);
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
  testing::internal::CaptureStderr();
  EXPECT_EQ(rich_chart(synccharts_model)->put_gal(kept, "rich"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: cannot write " + kept + ": No space left on device\n");
  EXPECT_EQ(slurp(kept), "old chart\n");
  const std::filesystem::directory_iterator walk(dir);
  EXPECT_EQ(std::distance(begin(walk), end(walk)), 2);  // the chart and the filler
}

TEST(PutGal, EmptyChartIsTheHeaderAndThirteenEmptySections) {
  String own = "own";
  std::list<String> none;
  variables no_vars;
  std::list<gal_declaration_progs> no_runs;
  std::list<gal_declaration_functions> no_functions;
  std::list<gal_declaration_constants> no_constants;
  std::list<gal_declaration_pres> no_pres;
  gal_tpen_fichier chart(&own, par_automata_model, &none, &no_vars, &no_vars, &no_vars, &no_vars,
                         &no_vars, &no_runs, &no_functions, &no_constants, &no_pres, &none);
  // Written under the module name given, not the chart's own.
  EXPECT_EQ(written(chart, "given"),
            "Name: given : par_automata_model:;\n\n"
            "Type:\n;\n\nInput:\n;\n\nSensor:\n;\n\nOutput:\n;\n\nLocal:\n;\n\n"
            "Variable:\n;\n\nRun:\n;\n\nFunction:\n;\n\nConstant:\n;\n\nPre:\n;\n\n"
            "Action:\n;\n\nStar:\n;\n\nTransition:\n;\n");
  std::unique_ptr<gal_tpen_fichier> back = read_back(written(chart, "given"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->mon_nom_module(), "given");
  EXPECT_EQ(back->nbr_etats(), 0);
  EXPECT_EQ(back->nbr_inputs(), 0);
}

TEST(PutGal, SectionsSeparateItemsWithCommaAndLineEnd) {
  String text = written(*rich_chart(synccharts_model), "rich");
  EXPECT_NE(text.find("\nType:\nint,\nbool\n;\n\nInput:\ngo: pure,\nlevel: int\n;\n"),
            String::npos);
  EXPECT_NE(text.find("\nOutput:\nring: pure,\nraw: \n;\n"), String::npos);
  EXPECT_NE(text.find("\nFunction:\nint f(int,bool),\nbool g()\n;\n"), String::npos);
  EXPECT_NE(text.find("\nPre:\npA go ---,\npB level zero\n;\n"), String::npos);
  EXPECT_NE(text.find("\nAction:\n\"emit ring\",\n\"x := 1\",\n\"\"\n;\n"), String::npos);
}

TEST(PutGal, ProgramsAreWrittenInFullWithoutTheirSensors) {
  String text = written(*rich_chart(synccharts_model), "rich");
  EXPECT_NE(text.find("\nRun:\n"
                      "\"lib/sub\": sub: Sub: \nInput:\na: pure;\nSensor:\n;\n"
                      "Output:\no: int,\np: ;\n"
                      ",\n"
                      "\"\": f: m: \nInput:\n;\nSensor:\n;\nOutput:\n;\n"
                      "\n;\n"),
            String::npos)
      << text;
}

TEST(PutGal, ModelKindBeyondTheKeywordsReadsBackUnchanged) {
  std::unique_ptr<gal_tpen_fichier> chart = rich_chart(4);
  String text = written(*chart, "rich");
  EXPECT_EQ(text.substr(0, text.find('\n')), "Name: rich : 3;");
  std::unique_ptr<gal_tpen_fichier> back = read_back(text);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->mon_modele(), 4);
}

// ---- Items -------------------------------------------------------------------

TEST(PutGal, StateLineCarriesRunRenamingAndActions) {
  gal_tpen_fichier chart;
  std::ostringstream os;
  state(normal_star, "s", 1, 2, gal_run_instance(0, "A\\x"), {2, 5}).put_gal(os, chart);
  EXPECT_EQ(os.str(), "NS: \"s\" 1 2 : 0 \"A\\x\" : 2 5  ");
  os.str("");
  state(final_star, "", 0.5, -3, gal_run_instance(-1, ""), {}).put_gal(os, chart);
  EXPECT_EQ(os.str(), "FS: \"\" 0.5 -3 : -1 :  ");
}

TEST(PutGal, RenamingIsWrittenOnlyWithARun) {
  gal_tpen_fichier chart;
  std::ostringstream os;
  state(normal_star, "s", 0, 0, gal_run_instance(-1, "A\\x"), {}).put_gal(os, chart);
  EXPECT_EQ(os.str(), "NS: \"s\" 0 0 : -1 :  ");
  os.str("");
  state(normal_star, "s", 0, 0, gal_run_instance(3, ""), {}).put_gal(os, chart);
  EXPECT_EQ(os.str(), "NS: \"s\" 0 0 : 3 :  ");
}

TEST(PutGal, StateOfUnknownKindIsWrittenUndefs) {
  gal_tpen_fichier chart;
  std::ostringstream os;
  state(0, "s", 0, 0, gal_run_instance(), {}).put_gal(os, chart);
  EXPECT_EQ(os.str(), "UNDEFS: \"s\" 0 0 : -1 :  ");
}

TEST(PutGal, TransitionKindIsWrittenInModels2And3Only) {
  gal_tpen_transition t = transition(0, 1, suspend_trans, {}, 1, 2, -1, "", {});
  const std::pair<int, const char*> cases[] = {
      {basic_model, "From: 0 To: 1 By: : 1 2 -1 \"\" / "},
      {par_automata_model, "From: 0 To: 1 By: : 1 2 -1 \"\" / "},
      {light_esterel_model, "From: 0 To: 1 Type: 2 By: : 1 2 -1 \"\" / "},
      {synccharts_model, "From: 0 To: 1 Type: 2 By: : 1 2 -1 \"\" / "}};
  for (const auto& [model, text] : cases) {
    std::ostringstream os;
    t.put_gal(os, model);
    EXPECT_EQ(os.str(), text) << model;
  }
}

TEST(PutGal, TransitionPointsAndActionsAreBlankSeparated) {
  std::ostringstream os;
  transition(-1, 3, weak_trans, {0.5, 1, 1.5, 2}, 4, 5, 2, "a or b", {3, 1}).put_gal(os, 1);
  EXPECT_EQ(os.str(), "From: -1 To: 3 By: 0.5,1 1.5,2 : 4 5 2 \"a or b\" / 3 1");
}

TEST(PutGal, DoublesKeepSixDigitsWithoutExponentAndReadBack) {
  const std::pair<double, const char*> cases[] = {
      {1.0 / 3, "0.333333"},     {2.5, "2.5"},           {3, "3"},
      {999999, "999999"},        {0.0001, "0.0001"},     {0.00001, "0.00001"},
      {-2.5e-7, "-0.00000025"},  {1234567, "1234570"},   {123456789, "123457000"},
      {3e9, "3000000000."},      {-1.5e12, "-1500000000000."}};
  gal_tpen_fichier chart;
  chart.def_modele(synccharts_model);
  for (const auto& c : cases) {
    std::ostringstream os;
    state(normal_star, "", c.first, 0, gal_run_instance(), {}).put_gal(os, chart);
    EXPECT_EQ(os.str(), "NS: \"\" " + String(c.second) + " 0 : -1 :  ");
    chart.add_fin_etat(state(normal_star, "", c.first, 0, gal_run_instance(), {}));
  }
  const std::unique_ptr<gal_tpen_fichier> back = read_back(written(chart, "n"));
  ASSERT_NE(back, nullptr);
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(back->ma_table_etats()[i].ma_posx(), std::stod(cases[i].second)) << cases[i].second;
}

TEST(PutGal, DeclarationItems) {
  std::ostringstream os;
  var("", "a").put_gal(os);
  os << '|';
  var("bool", "b").put_gal(os);
  os << '|';
  String type = "int", name = "K";
  std::list<std::pair<int, String>> values = {{5, "e"}, {0, "d"}, {1, "c"}, {3, "n"}};
  gal_declaration_constants(&type, &name, &values).put_gal(os);
  os << '|';
  String no_values_type = "bool", no_values_name = "T";
  std::list<std::pair<int, String>> none;
  gal_declaration_constants(&no_values_type, &no_values_name, &none).put_gal(os);
  os << '|';
  gal_declaration_functions(String("real"), String("h"), std::list<String>{"int"}).put_gal(os);
  os << '|';
  String p = "p", s = "s";
  gal_declaration_pres(&p, &s).put_gal(os);
  EXPECT_EQ(os.str(),
            "a: |b: bool|int K \"d\" c_assign: \"c\" nusmv_assign: \"n\" esterel_assign: \"e\""
            "|bool T|real h(int)|p s ---");
}

// ---- Round trip --------------------------------------------------------------

namespace {

// Written and read back, a chart keeps everything but what the text has no
// place for (Models 0 and 1 do not write the kind: it reads back as 0).
void expect_same_chart(const gal_tpen_fichier& chart, const gal_tpen_fichier& back) {
  const int model = chart.mon_modele();
  EXPECT_EQ(back.mon_nom_module(), chart.mon_nom_module());
  EXPECT_EQ(back.mon_modele(), model);
  expect_same_table(chart.ma_table_types(), chart.nbr_types(), back.ma_table_types(),
                    back.nbr_types(), "types");
  expect_same_table(chart.ma_table_inputs(), chart.nbr_inputs(), back.ma_table_inputs(),
                    back.nbr_inputs(), "inputs");
  expect_same_table(chart.ma_table_outputs(), chart.nbr_outputs(), back.ma_table_outputs(),
                    back.nbr_outputs(), "outputs");
  expect_same_table(chart.ma_table_locals(), chart.nbr_locals(), back.ma_table_locals(),
                    back.nbr_locals(), "locals");
  expect_same_table(chart.ma_table_actions(), chart.nbr_actions(), back.ma_table_actions(),
                    back.nbr_actions(), "actions");
  expect_same_table(chart.ma_table_constants(), chart.nbr_constants(),
                    back.ma_table_constants(), back.nbr_constants(), "constants");
  expect_same_table(chart.ma_table_progs_externes(), chart.nbr_progs_externes(),
                    back.ma_table_progs_externes(), back.nbr_progs_externes(), "programs");
  for (int p = 0; p < std::min(chart.nbr_progs_externes(), back.nbr_progs_externes()); ++p) {
    EXPECT_EQ(back.ma_table_progs_externes()[p].my_inputs_list(),
              chart.ma_table_progs_externes()[p].my_inputs_list());
    EXPECT_EQ(back.ma_table_progs_externes()[p].my_outputs_list(),
              chart.ma_table_progs_externes()[p].my_outputs_list());
  }

  ASSERT_EQ(back.nbr_etats(), chart.nbr_etats());
  for (int i = 0; i < chart.nbr_etats(); ++i)
    EXPECT_FALSE(back.ma_table_etats()[i] != chart.ma_table_etats()[i]) << "state " << i;

  ASSERT_EQ(back.nbr_transitions(), chart.nbr_transitions());
  for (int i = 0; i < chart.nbr_transitions(); ++i) {
    const gal_tpen_transition& a = chart.ma_table_transitions()[i];
    const gal_tpen_transition& b = back.ma_table_transitions()[i];
    EXPECT_EQ(b.mon_ident_etat_amont(), a.mon_ident_etat_amont()) << i;
    EXPECT_EQ(b.mon_ident_etat_aval(), a.mon_ident_etat_aval()) << i;
    EXPECT_EQ(b.mon_type_trans(), model >= light_esterel_model ? a.mon_type_trans() : weak_trans) << i;
    EXPECT_EQ(b.ma_priorite(), a.ma_priorite()) << i;
    EXPECT_EQ(b.ma_receptivite(), a.ma_receptivite()) << i;
    EXPECT_EQ(b.liste_positions(), a.liste_positions()) << i;
    EXPECT_EQ(b.posx_receptivite(), a.posx_receptivite()) << i;
    EXPECT_EQ(b.posy_receptivite(), a.posy_receptivite()) << i;
    EXPECT_EQ(b.mes_actions(), a.mes_actions()) << i;
  }
  EXPECT_EQ(back.nombre_SC(), chart.nombre_SC());
}

}  // namespace

TEST(PutGal, RoundTripKeepsTheChartInEveryModel) {
  for (int model : {basic_model, par_automata_model, light_esterel_model, synccharts_model}) {
    SCOPED_TRACE(model);
    std::unique_ptr<gal_tpen_fichier> chart = rich_chart(model);
    String text = written(*chart, chart->mon_nom_module());
    std::unique_ptr<gal_tpen_fichier> back = read_back(text);
    ASSERT_NE(back, nullptr) << text;
    expect_same_chart(*chart, *back);
    // Sensors, variables, functions and pres have no getters: writing the
    // read chart again gives the same text.
    EXPECT_EQ(written(*back, back->mon_nom_module()), text);
  }
}

// Any chart the reader reads is written in a form that it reads again into
// the same chart, and written a second time into the same text.
TEST(PutGal, RandomChartsReadBackTheSame) {
  chart_generator::drawer draw(chart_generator::seed());
  for (int i = 0; i < chart_generator::charts(); ++i) {
    const chart_generator::generated g = draw.chart("g" + std::to_string(i));
    SCOPED_TRACE(g.text);
    const std::unique_ptr<gal_tpen_fichier> chart = read_back(g.text);
    ASSERT_NE(chart, nullptr);
    if (g.model < 0)
      continue;  // an undefined model is not written at all
    const String text = written(*chart, chart->mon_nom_module());
    const std::unique_ptr<gal_tpen_fichier> back = read_back(text);
    ASSERT_NE(back, nullptr) << text;
    expect_same_chart(*chart, *back);
    ASSERT_EQ(written(*back, back->mon_nom_module()), text);
  }
}
