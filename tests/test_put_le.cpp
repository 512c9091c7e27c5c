// The LE writer: whole modules of chart files compared with texts worked out
// by hand, with their warnings, and what only editing makes. The charts it
// refuses are tested with the other writers' (test_put_strl5.cpp).
#include "reader_files.h"
#include "writers/put_le.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace fs = std::filesystem;
using namespace reader_files;

namespace {

// Warnings must reach standard error, not a modal window that nobody closes.
const bool no_display = [] { return unsetenv("DISPLAY") == 0; }();

using test_files::expect_fixture;
using test_files::fixture;

}  // namespace

// Data block, interface, and one automaton part, or a main module running one
// module per automaton with the names each uses; warnings in <chart>.le.err.
TEST(PutLe, WritesEachChartAsTheModuleWorkedOutByHand) {
    const std::pair<const char*, const char*> rows[] = {
        {"le/single.gal", "le/single.le"},
        {"le/pair.gal", "le/pair.le"},
        {"writers/items.gal", "writers/items.le"},
        {"writers/empty.gal", "writers/empty.le"},
        {"strl5/plain.gal", "writers/plain.le"},  // the basic model: every type all the same
    };
    for (const auto& [gal, le] : rows) {
        const reading r = read_text(fixture(gal));
        ASSERT_NE(r.chart, nullptr) << r.err;
        const String file = scratch_file("out.le");
        testing::internal::CaptureStderr();
        EXPECT_EQ(r.chart->put_le(file, r.chart->mon_nom_module()), 1) << gal;
        const String warnings = testing::internal::GetCapturedStderr();
        expect_fixture("writers/" + fs::path(le).filename().string() + ".err", warnings);
        // An unnamed state goes by the name that the chart made up for it.
        const gal_tpen_etat* first = r.chart->nbr_etats() > 0 ? r.chart->ma_table_etats() : nullptr;
        const String made_up = first && first->mon_nom().empty() ? first->un_nom() : "";
        expect_fixture(le, substitute_string(slurp(file), made_up, "GENERATED"));
    }
}

// A name that is no single word comes only from editing: it is looked for as
// a whole token, which a name with a byte outside words never is.
TEST(PutLe, LooksForANameOfSeveralWordsAsAWholeToken) {
    gal_tpen_fichier chart;
    chart.def_modele(light_esterel_model);
    chart.add_fin_input(gal_declaration_variables("pure", "x-y"));
    chart.add_fin_input(gal_declaration_variables("pure", "a b"));
    chart.add_fin_progs_externes(gal_declaration_progs(".", "p", "P", {}, {}, {}));
    for (int s = 0; s < 2; ++s) {
        String name = "s" + std::to_string(s);
        std::list<int> none;
        chart.add_fin_etat(gal_tpen_etat(normal_star, &name, 0, 0, gal_run_instance(0, ""), &none));
        chart.add_fin_transition(gal_tpen_transition(-1, s, strong_trans, 0.0, 0.0, 0, "x-y or a b", {}));
    }
    const String file = scratch_file("words.le");
    EXPECT_EQ(chart.put_le(file, "m"), 1);
    const String module = slurp(file);
    EXPECT_NE(module.find("module m_run1 : \nInput:\na b;\n\nRun:\n\".\": p: P\n;\nautomaton"), String::npos)
        << module;
}

TEST(PutLe, ReportsAConstantWithoutNameOrTypeAndWritesNothing) {
    String type = "integer", name = "N", none;
    std::list<std::pair<int, String>> values = {{0, "3"}};
    std::ostringstream os;
    testing::internal::CaptureStderr();
    gal_declaration_constants(&type, &none, &values).put_le(os);
    gal_declaration_constants(&none, &name, &values).put_le(os);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "internal definition constant error: \"integer\",\"\"\n"
              "internal definition constant error: \"\",\"N\"\n");
    EXPECT_EQ(os.str(), "");
}
