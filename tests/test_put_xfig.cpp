// The xfig 3.2 writer: a whole drawing read from a chart file and compared
// with the records worked out by hand (tests/data/drawings/shapes.fig), read
// back by fig2dev, then the geometry and the texts that the records carry.
#include "chart/gal_norm.h"
#include "reader_files.h"
#include "writers/put_drawings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace reader_files;

namespace {

String fixture(const String& name) { return slurp(String(TESSAN_TEST_DATA) + "/drawings/" + name); }

bool have_fig2dev() { return std::system("command -v fig2dev >/dev/null 2>&1") == 0; }

// fig2dev's SVG of an xfig file, or "" when fig2dev refused it.
String converted(const String& fig) {
    const String svg = fig + ".svg";
    const String command = "fig2dev -L svg '" + fig + "' '" + svg + "' 2>" + svg + ".err";
    return std::system(command.c_str()) == 0 ? slurp(svg) : String();
}

gal_tpen_etat state(const String& name, double x, double y, int kind = normal_star) {
    String n = name;
    return gal_tpen_etat(kind, &n, x, y, gal_run_instance(), nullptr);
}

String state_records(const gal_tpen_etat& s) {
    std::ostringstream os;
    s.put_xfig(os, nullptr, nullptr);
    return os.str();
}

String transition_records(const gal_tpen_transition& t, const gal_tpen_etat* states) {
    std::ostringstream os;
    t.put_xfig(os, states, nullptr);
    return os.str();
}

// Line n (from 0) of a text, without its line end.
String line(const String& text, int n) {
    std::istringstream in(text);
    String l;
    for (int i = 0; i <= n; ++i)
        std::getline(in, l);
    return l;
}

const char* const circle = " 1 3 0 1 0 7 50 -1 -1 0.000 1 0.0000 ";
const char* const centred = "4 1 0 50 -1 0 24 0.0000 4 135 780 ";
const char* const polyline = "2 1 0 1 0 7 50 -1 -1 0.000 0 0 -1 1 0 ";
const char* const arrow = "        1 1 1.00 120.00 240.00\n";
const char* const label = "4 0 0 50 -1 0 24 0.0000 4 135 780 ";

}  // namespace

TEST(PutXfig, WritesStatesThenTransitionsAsRecordsThatFig2devReads) {
    reading r = read_text(fixture("shapes.gal"));
    ASSERT_NE(r.chart, nullptr) << r.err;
    const String file = scratch_file("shapes.fig");
    testing::internal::CaptureStderr();
    EXPECT_EQ(r.chart->put_xfig(file, "shapes"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(slurp(file), fixture("shapes.fig"));
    if (!have_fig2dev())
        GTEST_SKIP() << "fig2dev is not installed";
    const String svg = converted(file);
    EXPECT_NE(svg.find("<svg"), String::npos);
    EXPECT_NE(svg.find("&lt;other&gt; /a&lt;b"), String::npos) << svg;
}

TEST(PutXfig, StateCircleAndNameInThousandthsOfAModelUnit) {
    EXPECT_EQ(state_records(state("S", 2, 3)), String(circle) + "2000 3000 500 500 2000 3000 2500 3000\n" +
                                                   centred + "2000 2420 S\\001\n");
    // A final state gets an inner circle; its name is written once. An empty
    // name stays empty.
    gal_tpen_etat final = state("", 2, 3, final_star);
    final.change_mon_diametre(2);
    EXPECT_EQ(state_records(final), String(circle) + "2000 3000 1000 1000 2000 3000 3000 3000\n" +
                                        circle + "2000 3000 900 900 2000 3000 3000 3000\n" +
                                        centred + "2000 1920 \\001\n");
}

TEST(PutXfig, TruncatesTowardZeroAndStopsAtTheEdgeOfTheIntegers) {
    EXPECT_EQ(line(state_records(state("", 0.0015, -0.0015)), 0),
              String(circle) + "1 -1 500 500 1 -1 501 -1");
    EXPECT_EQ(line(state_records(state("", 1e7, -1e7)), 0),
              String(circle) + "2147483647 -2147483648 500 500 2147483647 -2147483648 2147483647 -2147483648");
}

// A text record ends at the four characters \001 and reads backslash escapes:
// a name holding them, or a line end, must not end it early.
TEST(PutXfig, EscapesBackslashesAndControlCharactersInTexts) {
    EXPECT_EQ(line(state_records(state("a\\001b\nc\td", 0, 0)), 1),
              String(centred) + "0 -580 a\\\\001b\\012c\\011d\\001");
    if (!have_fig2dev())
        GTEST_SKIP() << "fig2dev is not installed";
    const String file = scratch_file("texts.fig");
    gal_tpen_fichier chart;
    chart.add_fin_etat(state("a\\001b", 1, 1));
    chart.add_fin_etat(state("x\ny", 3, 1));
    ASSERT_EQ(chart.put_xfig(file, ""), 1);
    const String svg = converted(file);
    EXPECT_NE(svg.find(">a\\001b</text>"), String::npos) << svg;
    EXPECT_NE(svg.find(">x\ny</text>"), String::npos) << svg;
}

TEST(PutXfig, ArrowsRunFromBorderToBorder) {
    const gal_tpen_etat states[] = {state("A", 1, 1), state("B", 4, 5)};
    // Along the line of centres: 0.5 from each centre (3-4-5 triangle).
    EXPECT_EQ(transition_records(gal_tpen_transition(0, 1, 1.0, 2.0), states),
              String(polyline) + "2\n" + arrow + "         1300 1400 3700 4600 \n" + label +
                  "1000 2500 \\001");
    // Intermediate points are kept as they are; only the ends move.
    gal_tpen_transition bent(0, 1, strong_trans, {1, 5}, 0.0, 0.0);
    EXPECT_EQ(transition_records(bent, states), String(polyline) + "3\n" + arrow +
                                                    "         1000 1500 1000 5000 3500 5000 \n" +
                                                    label + "0 500 \\001");
}

// Every point written is counted: an initial arrow without points runs from
// the target's centre to its border (two points), and an arrow that would
// have a single point is not drawn at all, only labelled.
TEST(PutXfig, DegenerateArrowsCountThePointsTheyWrite) {
    const gal_tpen_etat states[] = {state("A", 1, 1)};
    EXPECT_EQ(transition_records(gal_tpen_transition(-1, 0, 0.0, 0.0), states),
              String(polyline) + "2\n" + arrow + "         1000 1000 1000 1500 \n" + label +
                  "0 500 \\001");
    EXPECT_EQ(transition_records(gal_tpen_transition(0, -1, 0.0, 0.0), states), String(label) + "0 500 \\001");
    EXPECT_EQ(transition_records(gal_tpen_transition(-1, -1, 0.0, 0.0), states), "");
    gal_tpen_transition from_point(-1, -1, strong_trans, {2, 2, 3, 3}, 0.0, 0.0);
    EXPECT_EQ(transition_records(from_point, states),
              String(polyline) + "2\n" + arrow + "         2000 2000 3000 3000 \n" + label + "0 500 \\001");
}

TEST(PutXfig, BorderCorrection) {
    struct row { double x0, y0, r, px, py, x, y; };
    const row rows[] = {
        {0, 0, 1, 0.04, 5, 0, 4},     // nearly vertical, below: snapped onto the axis
        {0, 0, 1, 0.04, -5, 0, -4},   // nearly vertical, above
        {0, 0, 1, 5, 0.04, 4, 0},     // nearly horizontal, right
        {0, 0, 1, -5, 0.04, -4, 0},   // nearly horizontal, left
        {0, 0, 5, 6, 8, 3, 4},        // 3-4-5 triangle, right of the neighbour
        {0, 0, 5, -6, -8, -3, -4},    // and left of it
        {1, 1, 0, 5, 7, 5, 7},        // no radius, no move
    };
    for (const row& r : rows) {
        double px = r.px, py = r.py;
        frontieres_corrections(r.x0, r.y0, r.r, px, py);
        EXPECT_NEAR(px, r.x, 1e-12) << r.px << "," << r.py;
        EXPECT_NEAR(py, r.y, 1e-12) << r.px << "," << r.py;
    }
}

TEST(PutXfig, RefusesAChartWithAnIndexOutsideItsTable) {
    gal_tpen_fichier chart;
    chart.add_fin_etat(state("A", 1, 1));
    chart.add_fin_transition(gal_tpen_transition(0, 3, 0.0, 0.0));
    const String file = scratch_file("refused.fig");
    testing::internal::CaptureStderr();
    EXPECT_EQ(chart.put_xfig(file, ""), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR in gal_tpen_fichier::put_xfig: transition 0 has target state 3, outside the 1 "
              "states: nothing written to " + file + "\n");
    EXPECT_FALSE(std::ifstream(file).good());
}
