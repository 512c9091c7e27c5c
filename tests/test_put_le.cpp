// The LE writer: whole modules read from chart files and compared with texts
// worked out by hand (tests/data/le, tests/data/writers), with the warnings
// they give, and the charts that must not be written.
#include "chart/gal_norm.h"
#include "reader_files.h"
#include "writers/put_le.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace reader_files;

namespace {

// Warnings must reach standard error, not a modal window that nobody closes.
const bool no_display = [] { return unsetenv("DISPLAY") == 0; }();

String fixture(const String& name) { return slurp(String(TESSAN_TEST_DATA) + "/" + name); }

String replaced(String text, const String& from, const String& to) {
    const std::size_t at = text.find(from);
    return at == String::npos ? text : text.replace(at, from.size(), to);
}

struct written_le {
    int status;
    String text;
    String err;
    String first_state;
};

written_le write_le(const String& gal, const String& file) {
    const reading r = read_text(gal);
    EXPECT_NE(r.chart, nullptr) << r.err;
    if (!r.chart)
        return {-1, "", r.err, ""};
    testing::internal::CaptureStderr();
    const int status = r.chart->put_le(file, r.chart->mon_nom_module());
    const String err = testing::internal::GetCapturedStderr();
    return {status, slurp(file), err, r.chart->nbr_etats() > 0 ? r.chart->ma_table_etats()[0].un_nom() : ""};
}

}  // namespace

// Data block, interface, and one automaton part, or a main module running one
// module per automaton with the names each uses; the warnings come as the
// writer reaches what LE cannot say.
TEST(PutLe, WritesEachChartAsTheModuleWorkedOutByHand) {
    const String suspend = "Warning in  gal_tpen_transition::put_le(): a suspend transition is not "
                           "exportable in le format ...\n";
    const String abnormal = "Warning in  gal_tpen_transition::put_le(): found abnormal transition ...\n";
    const String several = "WARNING: No initial transition found about one of automata at least!\n\n"
                           "le code generation will be incomplete ...\n";
    const std::tuple<const char*, const char*, String> rows[] = {
        {"le/single.gal", "le/single.le", ""},
        {"le/pair.gal", "le/pair.le", suspend + several},
        {"writers/items.gal", "writers/items.le", several + suspend + abnormal + suspend + several + several},
        {"writers/empty.gal", "writers/empty.le",
         "WARNING: No initial transition found!\n\nle code generation will be incomplete ...\n"},
        {"strl5/plain.gal", "writers/plain.le", ""},  // the basic model: every type all the same
    };
    for (const auto& [gal, le, warnings] : rows) {
        const written_le out = write_le(fixture(gal), scratch_file("out.le"));
        EXPECT_EQ(out.status, 1) << gal;
        // An unnamed state goes by the name that the chart made up for it.
        String expected = fixture(le);
        for (std::size_t at; (at = expected.find("GENERATED")) != String::npos;)
            expected.replace(at, 9, out.first_state);
        EXPECT_EQ(out.text, expected) << gal;
        EXPECT_EQ(out.err, warnings) << gal;
    }
}

TEST(PutLe, RefusesIndicesOutsideTheirTablesAndKeepsTheOldFile) {
    const String indices = fixture("writers/indices.gal");
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"To: 1", "To: 5", "transition 1 has target state 5, outside the 2 states"},
        {"From: 0", "From: -2", "transition 1 has source state -2, outside the 2 states"},
        {"\"A\" / 0", "\"A\" / 3", "transition 1 has action 3, outside the 1 actions"},
        {": -1 : 0", ": -1 : -1", "state 1 (b) has action -1, outside the 1 actions"},
        {"0 0 : -1 :", "0 0 : 2 :", "state 0 (a) runs program 2, outside the 1 external programs"},
    };
    for (const auto& [from, to, fault] : rows) {
        const String file = scratch_file("kept.le");
        spill(file, "good module\n");
        const written_le out = write_le(replaced(indices, from, to), file);
        EXPECT_EQ(out.status, 0) << fault;
        EXPECT_EQ(out.text, "good module\n") << fault;
        EXPECT_EQ(out.err, "ERROR in gal_tpen_fichier::put_le: " + String(fault) + ": nothing written to " +
                               file + "\n");
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
    EXPECT_NE(slurp(file).find("module m_run1 : \nInput:\na b;\n\nRun:\n\".\": p: P\n;\nautomaton"), String::npos)
        << slurp(file);
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
