// The report page model and its outputs. Each report under data/forms/report
// is compared whole, with what every filter makes of it (NAME.out: the screen
// pages, the text, the PostScript and the PDF documents); the documents are
// also handed to Ghostscript and to poppler's pdfinfo, pdftoppm and pdftotext.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include "forms/report/report.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using test_files::slurp;

const std::string data = std::string(TESSAN_TEST_DATA) + "/forms/report/";

std::vector<String> read_lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<String> lines;
    for (String line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The kind of each line as the three filters see it, the screen's pages from
// one before the first to one past the last, the text, then the documents of
// one print filter. The filter writes each kind twice, in turn: its later
// documents must not differ from its first ones.
std::string every_output(std::vector<String> lines, int count) {
    std::ostringstream out;
    OFD_afficheur_filtre_affichage screen(lines.data(), count);
    OFD_afficheur_filtre_texte text(lines.data(), count);
    OFD_afficheur_filtre_impression printer(lines.data(), count);
    out << "==== kinds";
    for (int i = 0; i < count; ++i)
        out << " " << int{screen.typeligne(lines[i])} << int{text.typeligne(lines[i])}
            << int{printer.typeligne(lines[i])};
    out << "\n";
    for (int page = -1; page <= screen.nb_pages() + 1; ++page)
        out << "==== screen page " << page << "\n" << screen.visu_page(page);
    out << "==== text\n";
    text.imprime(out);
    std::ostringstream ps, pdf, pdf_again, ps_again;
    printer.imprime_postscript(ps);
    printer.imprime_pdf(pdf);
    printer.imprime_pdf(pdf_again);
    printer.imprime_postscript(ps_again);
    out << "==== postscript\n" << ps.str() << "==== pdf\n" << pdf.str();
    if (pdf_again.str() != pdf.str() || ps_again.str() != ps.str())
        out << "==== the filter's next documents differ from its first\n";
    return out.str();
}

TEST(ReportFilters, EachReportGivesItsPagesTextPostScriptAndPdf) {
    for (const char* name : {"sample", "columns", "cells", "rules", "print-columns", "empty", "pages-77",
                             "pages-ruled", "pages-columns"}) {
        std::vector<String> lines = read_lines(data + name + ".rep");
        test_files::expect_fixture("forms/report/" + std::string(name) + ".out",
                                   every_output(lines, static_cast<int>(lines.size())));
    }
    EXPECT_EQ(every_output({"text", "#T"}, -5), every_output({}, 0));  // a count below zero: nothing
}

// A report of three pages whose second opens on a column line of its own: the
// third page opens before any column line and has the second page's widths.
std::vector<String> two_widths_report() {
    std::vector<String> lines{"#C 4 "};
    for (int i = 0; i < 77; ++i)
        lines.push_back("p0 row " + std::to_string(i));
    lines.push_back("#C 12 ");
    for (int i = 0; i < 77; ++i)
        lines.push_back("p1 row " + std::to_string(i));
    for (int i = 0; i < 5; ++i)
        lines.push_back("p2 row " + std::to_string(i));
    return lines;
}

// A page shows the columns of the last column line before it, whether the
// viewer stepped to it, jumped to it or came back to it.
TEST(ReportScreen, APageLooksTheSameHoweverItIsReached) {
    std::vector<String> lines = two_widths_report();
    const int count = static_cast<int>(lines.size());
    OFD_afficheur_filtre_affichage stepped(lines.data(), count);
    std::vector<String> pages;
    for (int page = 0; page <= stepped.nb_pages(); ++page)
        pages.push_back(stepped.visu_page(page));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2], "@f@S14 p2 row 0\n@f@S14 p2 row 1\n@f@S14 p2 row 2\n@f@S14 p2 row 3\n"
                        "@f@S14 p2 row 4\n");

    OFD_afficheur_filtre_affichage jumped(lines.data(), count);
    for (const int page : {2, 0, 2, 1, 0, 1, 2}) {
        EXPECT_EQ(jumped.visu_page(page), pages[static_cast<std::size_t>(page)]) << "page " << page;
        jumped.visu_ligne("#C 1 ");  // a line formatted between pages changes none
    }

    // Lines before any column line have no width, even after a later page.
    std::vector<String> opening{"ab#cd", "#C 3 "};
    for (int i = 0; i < 77; ++i)
        opening.push_back("row " + std::to_string(i));
    OFD_afficheur_filtre_affichage screen(opening.data(), static_cast<int>(opening.size()));
    ASSERT_EQ(screen.nb_pages(), 1);
    EXPECT_EQ(screen.visu_page(1), "@f@S14 row\n");
    EXPECT_EQ(screen.visu_page(0).substr(0, 20), "@f@S14 \n\n@f@S14 row\n");
}

// ---- Outside readers ------------------------------------------------------------

// The command's exit status; its output and errors together in `out`.
int run(const std::string& command, std::string& out) {
    const std::string file = "report-oracle-" + std::to_string(getpid()) + ".out";
    const int status = std::system((command + " >" + file + " 2>&1").c_str());
    out = slurp(file);
    std::remove(file.c_str());
    return status;
}

// A document of three pages with every kind of line: the sample report, then
// lines whose cells hold parentheses and a backslash.
TEST(ReportOracles, GhostscriptAndPopplerReadTheDocumentsWithoutError) {
    if (std::system("which gs pdfinfo pdftoppm pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "needs Ghostscript (gs) and poppler-utils";
    std::vector<String> lines = read_lines(data + "sample.rep");
    for (int i = 1; i <= 160; ++i)
        lines.push_back("line " + std::to_string(i) + "# (x)#\\");
    OFD_afficheur_filtre_impression printer(lines.data(), static_cast<int>(lines.size()));
    const std::string stem = "report-oracle-" + std::to_string(getpid()), ps = stem + ".ps", pdf = stem + ".pdf";
    printer.imprime_postscript(std::ofstream(ps, std::ios::binary).flush());
    printer.imprime_pdf(std::ofstream(pdf, std::ios::binary).flush());
    std::string out;
    EXPECT_EQ(run("gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=nullpage " + ps, out), 0) << out;
    EXPECT_EQ(out, "");
    EXPECT_EQ(run("pdfinfo " + pdf, out), 0) << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("PDF version: +1.4"))) << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("\nPages: +3\n"))) << out;
    EXPECT_TRUE(std::regex_search(out, std::regex("Page size: +612 x 792 pts"))) << out;
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;
    EXPECT_EQ(run("pdftoppm -png -r 50 -f 1 -l 1 " + pdf + " " + stem, out), 0) << out;
    EXPECT_EQ(out, "");
    run("pdftotext -f 1 -l 1 " + pdf + " -", out);
    EXPECT_NE(out.find("alpha"), std::string::npos) << out;
    EXPECT_NE(out.find("back\\slash"), std::string::npos) << out;
    for (const std::string& file : {ps, pdf, stem + "-1.png"})
        std::remove(file.c_str());
}

// A caller that breaks the pages itself, more or less often than the report's
// own split of three pages: the document lists the pages written.
TEST(ReportOracles, TheDocumentListsThePagesTheCallerBroke) {
    if (std::system("which qpdf pdfinfo pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "needs qpdf and poppler-utils";
    std::vector<String> lines{"#C 20 "};
    for (int i = 0; i < 160; ++i)
        lines.push_back("row " + std::to_string(i));
    OFD_afficheur_filtre_impression printer(lines.data(), static_cast<int>(lines.size()));
    const std::string pdf = "report-oracle-" + std::to_string(getpid()) + ".pdf";
    struct breaks {
        int every;  // rows a page
        int rows;   // rows written
    };
    for (const breaks& caller : {breaks{10, 50}, breaks{70, 140}, breaks{77, 160}}) {
        const int pages = (caller.rows + caller.every - 1) / caller.every;
        SCOPED_TRACE(std::to_string(pages) + " pages of " + std::to_string(caller.every) + " rows");
        {
            std::ofstream f(pdf, std::ios::binary);
            printer.begin_pdf(f);
            printer.pdf(f, lines[0]);
            for (int row = 0; row < caller.rows; ++row) {
                if (row > 0 && row % caller.every == 0)
                    printer.next_page_pdf(f, row / caller.every);
                printer.pdf(f, lines[static_cast<std::size_t>(row) + 1]);
            }
            printer.end_pdf(f);
        }
        std::string out;
        EXPECT_EQ(run("qpdf --check " + pdf, out), 0) << out;
        EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;
        EXPECT_EQ(run("pdfinfo " + pdf, out), 0) << out;
        EXPECT_TRUE(std::regex_search(out, std::regex("\nPages: +" + std::to_string(pages) + "\n"))) << out;
        for (int page = 1; page <= pages; ++page) {
            run("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + pdf + " -", out);
            const std::string first = "row " + std::to_string((page - 1) * caller.every) + "\n";
            EXPECT_EQ(out.rfind(first, 0), 0u) << "page " << page << ":\n" << out;
        }
    }
    // Broken where the report breaks, the pages make the whole document's bytes.
    std::ostringstream whole;
    printer.imprime_pdf(whole);
    EXPECT_EQ(slurp(pdf), whole.str());
    std::remove(pdf.c_str());
}

}  // namespace
