// The .gal writer: the whole text of a chart with something in every table, in
// every model kind, the round trip of random charts through the reader, and
// the chart kept whole when the disk is full.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>

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

String fixture(const char* name) { return test_files::fixture(String("writers/") + name); }

String with_model(const String& text, const String& model) {
  const std::size_t colon = text.find(" : ") + 3;
  return text.substr(0, colon) + model + text.substr(text.find(";\n"));
}

}  // namespace

// Every section, one item a line, under the module name given; numbers in six
// digits, no exponent; no program sensors, no renaming without a run; kinds of
// transitions only where the model has kinds (the fixtures' header names it
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

// Any chart the reader reads is written in a form that it reads again into
// the same states, and written a second time into the same text.
TEST(PutGal, RandomChartsReadBackTheSame) {
  chart_generator::drawer draw(chart_generator::seed());
  for (int i = 0; i < chart_generator::charts(); ++i) {
    const chart_generator::generated g = draw.chart("g" + std::to_string(i));
    SCOPED_TRACE(g.text);
    const std::unique_ptr<gal_tpen_fichier> chart = read_back(g.text);
    ASSERT_NE(chart, nullptr);
    const String name = scratch_file("written.gal");
    if (g.model < 0) {  // an undefined model is not written at all
      EXPECT_EQ(chart->put_gal(name, "m"), 0);
      EXPECT_FALSE(std::filesystem::exists(name));
      continue;
    }
    const String text = written(*chart, chart->mon_nom_module());
    const std::unique_ptr<gal_tpen_fichier> back = read_back(text);
    ASSERT_NE(back, nullptr) << text;
    ASSERT_EQ(back->nbr_etats(), chart->nbr_etats());
    for (int s = 0; s < chart->nbr_etats(); ++s)
      EXPECT_FALSE(back->ma_table_etats()[s] != chart->ma_table_etats()[s]) << "state " << s;
    ASSERT_EQ(written(*back, back->mon_nom_module()), text);
  }
}
