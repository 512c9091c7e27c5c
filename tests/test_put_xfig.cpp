// The xfig 3.2 writer: charts read from tests/data/forms/drawings compared
// whole with their NAME.fig (shapes, worked out by hand: every kind of record;
// odd: coordinates at the edge of the integers, texts with backslashes and
// control characters, arrows without source, target or points, arrow ends
// moved onto the circles or snapped onto an axis), then read back by fig2dev;
// and a chart refused whole.
#include "chart/gal_norm.h"
#include "reader_files.h"
#include "writers/put_drawings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace reader_files;

const String data = String(TESSAN_TEST_DATA) + "/forms/drawings/";

TEST(PutXfig, WritesStatesThenTransitionsAsRecordsThatFig2devReads) {
    const bool fig2dev = std::system("command -v fig2dev >/dev/null 2>&1") == 0;
    // What fig2dev must draw: a text ends at the four characters \001 only
    // when they are not escaped, and a line end inside it is kept.
    const std::pair<String, std::vector<String>> charts[] = {
        {"shapes", {"&lt;other&gt; /a&lt;b"}},
        {"odd", {">a\\001b\nc\td</text>", ">x\ny</text>", "&lt;other&gt; a &lt; b/x,y&amp;z"}}};
    for (const auto& [name, texts] : charts) {
        reading r = read_text(slurp(data + name + ".gal"));
        ASSERT_NE(r.chart, nullptr) << r.err;
        if (name == "odd")
            r.chart->ma_table_etats()[1].change_mon_diametre(2);  // a final state's two circles
        const String file = scratch_file("drawing.fig");
        testing::internal::CaptureStderr();
        EXPECT_EQ(r.chart->put_xfig(file, name), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        test_files::expect_fixture("forms/drawings/" + name + ".fig", slurp(file));
        if (!fig2dev)
            continue;
        const String command = "fig2dev -L svg '" + file + "' '" + file + ".svg'";
        const String svg = std::system(command.c_str()) == 0 ? slurp(file + ".svg") : "refused";
        for (const String& text : texts)
            EXPECT_NE(svg.find(text), String::npos) << text << " in " << svg;
    }
    if (!fig2dev)
        GTEST_SKIP() << "fig2dev is not installed";
}

TEST(PutXfig, RefusesAChartWithAnIndexOutsideItsTableAndWritesNothing) {
    reading r = read_text(slurp(data + "shapes.gal"));
    r.chart->add_fin_transition(gal_tpen_transition(0, 3, 0.0, 0.0));
    const String file = scratch_file("refused.fig");
    testing::internal::CaptureStderr();
    EXPECT_EQ(r.chart->put_xfig(file, ""), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR in gal_tpen_fichier::put_xfig: transition 5 has target state 3, outside the 3 states: "
              "nothing written to " + file + "\n");
    EXPECT_FALSE(std::ifstream(file).good());
}
