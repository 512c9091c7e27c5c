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

// The screen's pages from one before the first to one past the last, the
// text, then the documents of one print filter. The filter writes each kind
// twice, in turn: its later documents must not differ from its first ones.
std::string every_output(std::vector<String> lines, int count) {
    std::ostringstream out;
    OFD_afficheur_filtre_affichage screen(lines.data(), count);
    for (int page = -1; page <= screen.nb_pages() + 1; ++page)
        out << "==== screen page " << page << "\n" << screen.visu_page(page);
    out << "==== text\n";
    OFD_afficheur_filtre_texte(lines.data(), count).imprime(out);
    OFD_afficheur_filtre_impression printer(lines.data(), count);
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
        EXPECT_EQ(every_output(lines, static_cast<int>(lines.size())), slurp(data + name + ".out")) << name;
    }
}

TEST(ReportFilters, CountBelowZeroIsAnEmptyReport) {
    EXPECT_EQ(every_output({"text", "#T"}, -5), every_output({}, 0));
}

TEST(ReportFilters, LineKindIsDecidedByTheFirstTwoCharactersOnly) {
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    OFD_afficheur_filtre_texte text(nullptr, 0);
    OFD_afficheur_filtre_impression printer(nullptr, 0);
    const std::pair<const char*, int> kinds[] = {{"", 0},  {"#", 0},      {"#X", 0}, {"C#", 0},
                                                 {"#C", 1}, {"#P 10 ", 2}, {"#Tx", 3}};
    for (const auto& [line, kind] : kinds) {
        EXPECT_EQ(screen.typeligne(line), kind) << line;
        EXPECT_EQ(text.typeligne(line), kind) << line;
        EXPECT_EQ(printer.typeligne(line), kind) << line;
    }
}

// ---- Outside readers ------------------------------------------------------------

// The sample report, then n lines whose cells hold parentheses and a
// backslash: a document of several pages with every kind of line, written to
// `file` in the working directory, as PDF or else as PostScript.
void print_sample_and_more(int n, bool pdf, const std::string& file) {
    std::vector<String> lines = read_lines(data + "sample.rep");
    for (int i = 1; i <= n; ++i)
        lines.push_back("line " + std::to_string(i) + "# (x)#\\");
    OFD_afficheur_filtre_impression printer(lines.data(), static_cast<int>(lines.size()));
    std::ofstream out(file, std::ios::binary);
    if (pdf)
        printer.imprime_pdf(out);
    else
        printer.imprime_postscript(out);
}

// The command's exit status; its output and errors together in `out`.
int run(const std::string& command, std::string& out) {
    const std::string file = "report-oracle-" + std::to_string(getpid()) + ".out";
    const int status = std::system((command + " >" + file + " 2>&1").c_str());
    out = slurp(file);
    std::remove(file.c_str());
    return status;
}

TEST(ReportOracles, GhostscriptReadsEveryPageWithoutError) {
    print_sample_and_more(160, false, "report-oracle.ps");
    std::string out;
    EXPECT_EQ(run("gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=nullpage report-oracle.ps", out), 0) << out;
    EXPECT_EQ(out, "");
    std::remove("report-oracle.ps");
}

TEST(ReportOracles, PopplerReadsRendersAndExtractsThePdf) {
    print_sample_and_more(90, true, "report-oracle.pdf");
    std::string info, render, colours, text;
    EXPECT_EQ(run("pdfinfo report-oracle.pdf", info), 0) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("PDF version: +1.4"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("\nPages: +2\n"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +612 x 792 pts"))) << info;
    EXPECT_EQ(info.find("Error"), std::string::npos) << info;
    EXPECT_EQ(run("pdftoppm -png -r 50 -f 1 -l 1 report-oracle.pdf report-oracle", render), 0) << render;
    EXPECT_EQ(render, "");
    // A page with text and rules on it holds more than the paper's white.
    ASSERT_EQ(run("identify -format %k report-oracle-1.png", colours), 0) << colours;
    EXPECT_GE(std::atoi(colours.c_str()), 2) << colours;
    run("pdftotext -f 1 -l 1 report-oracle.pdf -", text);
    EXPECT_NE(text.find("alpha"), std::string::npos) << text;
    EXPECT_NE(text.find("back\\slash"), std::string::npos) << text;
    std::remove("report-oracle.pdf");
    std::remove("report-oracle-1.png");
}

}  // namespace
