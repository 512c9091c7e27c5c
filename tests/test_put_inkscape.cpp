// The SVG writer: charts read from tests/data/forms/drawings, written under
// each of the four models and compared whole with NAME-MODEL.svg (shapes-3,
// worked out by hand; frames: a dashed frame per automaton; odd: arrows of
// every kind, labels, texts that XML would not take as they stand), each file
// named with a quote and an ampersand and checked well-formed by xmllint;
// then the automata's extents and the unit vector of an arrow's segment.
#include "chart/gal_norm.h"
#include "reader_files.h"
#include "writers/put_drawings.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace reader_files;

namespace {

const String data = String(TESSAN_TEST_DATA) + "/forms/drawings/";

reading read_chart(const String& name) {
    reading r = read_text(slurp(data + name + ".gal"));
    if (r.chart && name == "odd") {
        r.chart->ma_table_etats()[1].change_mon_diametre(2);  // a final state's two circles
        r.chart->ma_table_etats()[10].change_mon_diametre(0);  // and a point, which ends arrows as is
    }
    return r;
}

}  // namespace

TEST(PutInkscape, WritesEachChartUnderEachModelAsWellFormedXml) {
    const bool xmllint = std::system("command -v xmllint >/dev/null 2>&1") == 0;
    for (const String name : {"shapes", "frames", "odd"}) {
        reading r = read_chart(name);
        ASSERT_NE(r.chart, nullptr) << r.err;
        for (int model : {basic_model, par_automata_model, light_esterel_model, synccharts_model}) {
            r.chart->def_modele(model);
            const String stem = "\"" + name + "&" + std::to_string(model) + ".svg";
            const String file = scratch_file(stem.c_str());
            testing::internal::CaptureStderr();
            EXPECT_EQ(r.chart->put_inkscape(file, name), 1);
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
            // The scratch folder is left out of the file name that the drawing holds.
            String svg = slurp(file);
            svg.erase(svg.find(file.substr(0, file.size() - stem.size())), file.size() - stem.size());
            test_files::expect_fixture("forms/drawings/" + name + "-" + std::to_string(model) + ".svg", svg);
            const String check = "xmllint --noout '" + file + "' 2>/dev/null";
            EXPECT_TRUE(!xmllint || std::system(check.c_str()) == 0) << name << " " << model;
        }
    }
    if (!xmllint)
        GTEST_SKIP() << "xmllint is not installed: the drawings were not checked well-formed";
}

TEST(PutInkscape, FramesEachAutomatonHalfAUnitAroundItsStatesAndTransitions) {
    const reading r = read_chart("frames");
    ASSERT_NE(r.chart, nullptr) << r.err;
    ASSERT_EQ(r.chart->nombre_SC(), 2);
    EXPECT_EQ(r.chart->SC_xmin(), (std::list<double>{0, 1}));
    EXPECT_EQ(r.chart->SC_xmax(), (std::list<double>{4, 3}));
    EXPECT_EQ(r.chart->SC_ymin(), (std::list<double>{-0.25, 5}));
    EXPECT_EQ(r.chart->SC_ymax(), (std::list<double>{2, 7}));
    EXPECT_EQ(r.chart->largueur_max(), 13);
    EXPECT_EQ(r.chart->hauteur_max(), 6);
}

// A segment shorter than 0.0001, or an index past the arrow's points, has no
// unit vector and leaves the one given as it was.
TEST(PutInkscape, UnitVectorOfASegment) {
    const std::vector<std::pair<double, double>> points = {{0, 0}, {3, 4}, {3, 4.00005}, {3, 4.0005}};
    vec2 u{7, 7};
    EXPECT_FALSE(unit_vector(points, 1, 2, u) || unit_vector(points, 0, 4, u) || u.x != 7 || u.y != 7);
    EXPECT_TRUE(unit_vector(points, 1, 3, u) && u.x == 0 && u.y == 1) << u.x << "," << u.y;
    EXPECT_TRUE(unit_vector(points, 0, 1, u) && u.x == 0.6 && u.y == 0.8) << u.x << "," << u.y;
}
