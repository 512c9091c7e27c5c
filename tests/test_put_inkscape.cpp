// The SVG writer: a whole drawing read from a chart file and compared with
// the elements worked out by hand (tests/data/drawings/shapes.svg), checked
// well-formed by xmllint, then the arrows by kind and model, the frames of
// the automata, the page, and texts that XML would not take as they stand.
#include "chart/gal_norm.h"
#include "reader_files.h"
#include "writers/put_drawings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace reader_files;

namespace {

String fixture(const String& name) { return slurp(String(TESSAN_TEST_DATA) + "/drawings/" + name); }

bool have_xmllint() { return std::system("command -v xmllint >/dev/null 2>&1") == 0; }

bool well_formed(const String& file) {
    const String command = "xmllint --noout '" + file + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

gal_tpen_etat state(const String& name, double x, double y, int kind = normal_star) {
    String n = name;
    return gal_tpen_etat(kind, &n, x, y, gal_run_instance(), nullptr);
}

String elements(const gal_tpen_transition& t, const gal_tpen_etat* states, int model,
                const String* actions = nullptr) {
    std::ostringstream os;
    t.put_inkscape(os, states, model, actions);
    return os.str();
}

String replaced(String text, const String& from, const String& to) {
    const std::size_t at = text.find(from);
    return at == String::npos ? text : text.replace(at, from.size(), to);
}

// Two states on one row, A at (1, 1) and B at (4, 1): SVG centres (20, 20)
// and (80, 20), radius 10.
const gal_tpen_etat row[] = {state("A", 1, 1), state("B", 4, 1)};

gal_tpen_transition from_a_to_b(int kind) {
    return gal_tpen_transition(0, 1, kind, 2.5, 0.5, 0, "", {});
}

const char* const straight_arrow =
    "  <polyline points=\"30,20 70,20\" stroke=\"#000\" stroke-width=\"1\" fill=\"none\" "
    "marker-end=\"url(#arrowhead)\" />\n";

}  // namespace

TEST(PutInkscape, WritesTheWholeDrawingAsWellFormedXml) {
    reading r = read_text(fixture("shapes.gal"));
    ASSERT_NE(r.chart, nullptr) << r.err;
    const String file = scratch_file("shapes.svg");
    testing::internal::CaptureStderr();
    EXPECT_EQ(r.chart->put_inkscape(file, "shapes"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(slurp(file), replaced(fixture("shapes.svg"), "@DOCNAME@", file));
    if (!have_xmllint())
        GTEST_SKIP() << "xmllint is not installed";
    EXPECT_TRUE(well_formed(file));
}

TEST(PutInkscape, WeakTransitionIsAZigzagOnlyInTheLightEsterelModel) {
    EXPECT_EQ(elements(from_a_to_b(weak_trans), row, light_esterel_model),
              "  <polyline points=\"30,20 35,25 40,15 45,20 \" stroke=\"#000\" stroke-width=\"1\" "
              "fill=\"none\" />\n"
              "  <line x1=\"45\" y1=\"20\" x2=\"70\" y2=\"20\" stroke=\"#000\" stroke-width=\"1\" "
              "marker-end=\"url(#arrowhead)\" />\n");
    for (int model : {basic_model, par_automata_model, synccharts_model})
        EXPECT_EQ(elements(from_a_to_b(weak_trans), row, model), straight_arrow) << model;
}

TEST(PutInkscape, MarksAndArrowsByKindAndModel) {
    const String red = "  <circle cx=\"33\" cy=\"20\" r=\"3\" fill=\"#ff1414\" stroke=\"none\" />\n";
    const String green = "  <polygon points=\"36,20 30,23.2 30,16.8\" fill=\"#65f200\" stroke=\"none\" />\n";
    const String suspension =
        "  <polyline points=\"30,20 70,20\" stroke=\"#000\" stroke-width=\"1\" fill=\"none\"/>\n"
        "  <circle cx=\"67\" cy=\"20\" r=\"3\" fill=\"#ffff00\" stroke=\"none\" />\n";
    struct expectation { int kind; int model; String text; };
    const expectation rows[] = {
        {strong_trans, synccharts_model, straight_arrow + red},
        {strong_trans, light_esterel_model, straight_arrow},
        {suspend_trans, synccharts_model, suspension},
        {suspend_trans, light_esterel_model, ""},
        {normalterm_trans, synccharts_model, straight_arrow + green},
        {normalterm_trans, light_esterel_model, straight_arrow + green},
        {normalterm_trans, par_automata_model, ""},
        {9, synccharts_model, ""},
    };
    for (const expectation& e : rows)
        EXPECT_EQ(elements(from_a_to_b(e.kind), row, e.model), e.text) << e.kind << " " << e.model;
    // An initial arrow is plain, whatever its kind.
    EXPECT_EQ(elements(gal_tpen_transition(-1, 0, strong_trans, {0, 1}, 0, 0), row, synccharts_model),
              "  <polyline points=\"0,20 10,20\" stroke=\"#000\" stroke-width=\"1\" fill=\"none\" "
              "marker-end=\"url(#arrowhead)\" />\n");
}

TEST(PutInkscape, LabelHoldsPriorityTriggerAndActionsAsCharacterData) {
    const String actions[] = {"x", "y&z"};
    gal_tpen_transition t(0, -1, strong_trans, 2, 3, -1, "a < b", {0, 1});
    EXPECT_EQ(elements(t, row, synccharts_model, actions),
              "  <text x=\"50\" y=\"70\" font-size=\"8\" text-anchor=\"middle\" "
              "dominant-baseline=\"middle\">&#60;other&#62; a &#60; b/x,y&#38;z</text>\n");
    t.modif_priorite(4);
    EXPECT_NE(elements(t, row, synccharts_model, actions).find(">&#60;4&#62; a"), String::npos);
    // Without source, target and points there is no arrow, only the label.
    EXPECT_EQ(elements(gal_tpen_transition(-1, -1, strong_trans, 0, 0, 0, "go", {}), row, basic_model),
              "  <text x=\"10\" y=\"10\" font-size=\"8\" text-anchor=\"middle\" "
              "dominant-baseline=\"middle\">go</text>\n");
}

TEST(PutInkscape, FramesEachAutomatonHalfAUnitAroundItsStatesAndTransitions) {
    gal_tpen_fichier chart;
    chart.def_modele(par_automata_model);
    chart.add_fin_etat(state("a", 1, 1));
    chart.add_fin_etat(state("b", 3, 1));
    chart.add_fin_etat(state("c", 2, 6));
    chart.add_fin_transition(gal_tpen_transition(0, 1, strong_trans, 2, 0.25, 0, "go", {}));
    ASSERT_EQ(chart.nombre_SC(), 2);
    EXPECT_EQ(chart.SC_xmin(), (std::list<double>{0, 1}));
    EXPECT_EQ(chart.SC_xmax(), (std::list<double>{4, 3}));
    EXPECT_EQ(chart.SC_ymin(), (std::list<double>{-0.25, 5}));
    EXPECT_EQ(chart.SC_ymax(), (std::list<double>{2, 7}));
    EXPECT_EQ(chart.largueur_max(), 13);
    EXPECT_EQ(chart.hauteur_max(), 6);

    const String file = scratch_file("frames.svg");
    ASSERT_EQ(chart.put_inkscape(file, ""), 1);
    const String text = slurp(file);
    const String dashes = "\" fill=\"none\" stroke=\"black\" stroke-width=\"1\" stroke-dasharray=\"4,4\" />\n";
    EXPECT_NE(text.find("<rect x=\"0\" y=\"-5\" width=\"80\" height=\"45" + dashes +
                        "<rect x=\"20\" y=\"100\" width=\"40\" height=\"40" + dashes + "<g>\n"),
              String::npos);
}

// The page reaches as far below the lowest state as to the right of the
// rightmost one, so that no circle is cut by its lower edge.
TEST(PutInkscape, PageHoldsTheLowestStatesWhole) {
    gal_tpen_fichier chart;
    chart.add_fin_etat(state("a", 2, 5));
    const String file = scratch_file("page.svg");
    ASSERT_EQ(chart.put_inkscape(file, ""), 1);
    EXPECT_NE(slurp(file).find("   width=\"240mm\"\n   height=\"300mm\"\n   viewBox=\"0 0 240 300\"\n"),
              String::npos);
}

// Chart texts are bytes: markup characters, Latin-1 bytes, control
// characters and a quote in the file name must all leave the file readable.
TEST(PutInkscape, TextsThatXmlWouldNotTakeAsTheyStand) {
    gal_tpen_fichier chart;
    chart.add_fin_etat(state("<a&b>", 1, 1));
    chart.add_fin_etat(state("caf\xe9 \xc3\xa9t\xc3\xa9 \x01", 3, 1));
    chart.add_fin_action("\xff\xfe");
    chart.ma_table_etats()[1].add_action(0);
    const String file = scratch_file("odd\"name&.svg");
    ASSERT_EQ(chart.put_inkscape(file, ""), 1);
    const String text = slurp(file);
    EXPECT_NE(text.find(">&#60;a&#38;b&#62;</text>"), String::npos);
    EXPECT_NE(text.find(">caf&#233; \xc3\xa9t\xc3\xa9 &#65533;</text>"), String::npos);
    EXPECT_NE(text.find(">&#255;&#254;</text>"), String::npos);
    EXPECT_NE(text.find("odd&#34;name&#38;.svg"), String::npos);
    if (!have_xmllint())
        GTEST_SKIP() << "xmllint is not installed";
    EXPECT_TRUE(well_formed(file));
}

TEST(PutInkscape, UnitVector) {
    const std::vector<std::pair<double, double>> points = {{0, 0}, {3, 4}, {3, 4.00005}};
    vec2 u{7, 7};
    EXPECT_TRUE(unit_vector(points, 0, 1, u));
    EXPECT_DOUBLE_EQ(u.x, 0.6);
    EXPECT_DOUBLE_EQ(u.y, 0.8);
    u = vec2{7, 7};
    EXPECT_FALSE(unit_vector(points, 1, 2, u));
    EXPECT_FALSE(unit_vector(points, 0, 3, u));
    EXPECT_EQ(u.x, 7);
    EXPECT_EQ(u.y, 7);
}

TEST(PutInkscape, FinalStateGetsAnInnerCircleAndItsNameOnce) {
    const gal_tpen_etat s = state("", 2, 3, final_star);
    std::ostringstream os;
    s.put_inkscape(os, nullptr, nullptr);
    EXPECT_EQ(os.str(),
              "    <g transform=\"translate(40,60)\">\n"
              "      <text x=\"0\" y=\"-15\" font-size=\"8px\" text-anchor=\"middle\"></text>\n"
              "      <circle cx=\"0\" cy=\"0\" r=\"10\" stroke=\"#000000\" fill=\"none\" />\n"
              "</g>\n"
              "    <g transform=\"translate(40,60)\">\n"
              "      <circle cx=\"0\" cy=\"0\" r=\"7\" stroke=\"#000000\" fill=\"none\" />\n"
              "</g>\n");
}
