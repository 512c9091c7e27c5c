// The report page model and its outputs: line kinds, column lines, the page
// split, the screen and text filters, and the PostScript and PDF documents,
// which are also handed to Ghostscript and to poppler's pdfinfo and pdftoppm.
#include <gtest/gtest.h>

#include "tests/test_files.h"

#include "forms/report/report.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using test_files::slurp;

const std::string data = std::string(TESSAN_TEST_DATA) + "/report/";

std::vector<String> read_lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<String> lines;
    for (String line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<String> text_lines(int n) {
    std::vector<String> lines;
    for (int i = 1; i <= n; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The sample report, then n lines whose cells hold parentheses and a
// backslash: a document of several pages with every kind of line.
std::vector<String> sample_and_more(int n) {
    std::vector<String> lines = read_lines(data + "sample.rep");
    for (const String& line : text_lines(n))
        lines.push_back(line + "# (x)#\\");
    return lines;
}

std::string postscript_of(std::vector<String> lines) {
    OFD_afficheur_filtre_impression printer(lines.data(), static_cast<int>(lines.size()));
    std::ostringstream out;
    printer.imprime_postscript(out);
    return out.str();
}

std::string pdf_of(std::vector<String> lines) {
    OFD_afficheur_filtre_impression printer(lines.data(), static_cast<int>(lines.size()));
    std::ostringstream out;
    printer.imprime_pdf(out);
    return out.str();
}

// What lies between the first line equal to `from` and the next equal to
// `to`, both left out.
std::vector<std::string> between(const std::string& text, const std::string& from,
                                 const std::string& to) {
    std::vector<std::string> inside;
    bool in = false;
    for (const std::string& line : split_lines(text)) {
        if (in && line == to)
            break;
        if (in)
            inside.push_back(line);
        if (line == from)
            in = true;
    }
    return inside;
}

bool has_line(const std::string& text, const std::string& line) {
    for (const std::string& seen : split_lines(text))
        if (seen == line)
            return true;
    return false;
}

// A scratch folder under /tmp, removed with what it holds.
class Scratch {
public:
    Scratch() {
        char name[] = "/tmp/tessan-report-XXXXXX";
        dir_ = mkdtemp(name);
    }
    ~Scratch() { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

struct Outcome {
    int status = -1;
    std::string out;
};

// The command's standard output and error together, and its exit status.
Outcome run(const std::string& command) {
    Outcome result;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[512];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            result.out.append(buffer, n);
        result.status = pclose(pipe);
    }
    return result;
}

// ---- Line kinds and column lines ------------------------------------------

TEST(LineType, IsDecidedByTheFirstTwoCharactersOnly) {
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    EXPECT_EQ(screen.typeligne(""), 0);
    EXPECT_EQ(screen.typeligne("#"), 0);
    EXPECT_EQ(screen.typeligne("#X"), 0);
    EXPECT_EQ(screen.typeligne("C#"), 0);
    EXPECT_EQ(screen.typeligne("#C"), 1);
    EXPECT_EQ(screen.typeligne("#P 10 "), 2);
    EXPECT_EQ(screen.typeligne("#T"), 3);
    OFD_afficheur_filtre_texte text(nullptr, 0);
    OFD_afficheur_filtre_impression printer(nullptr, 0);
    for (const char* line : {"", "#", "#C 1 ", "#P", "#Tx", "ab"}) {
        EXPECT_EQ(text.typeligne(line), screen.typeligne(line)) << line;
        EXPECT_EQ(printer.typeligne(line), screen.typeligne(line)) << line;
    }
}

TEST(ColumnLine, EndsEachWidthWithASpaceAndDropsAnUnendedOne) {
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    EXPECT_EQ(screen.visu_ligne("#C 10 20T 5 "), "");
    EXPECT_EQ(screen.visu_ligne("#T"), "@f@S14 " + std::string(35, '-'));
    EXPECT_EQ(screen.visu_ligne("#C 10 20"), "");
    EXPECT_EQ(screen.visu_ligne("#T"), "@f@S14 " + std::string(10, '-'));
    // A zero, and a space with no number before it, make no column.
    screen.visu_ligne("#C  0 3 x4 ");
    EXPECT_EQ(screen.visu_ligne("abcdef#ghijkl"), "@f@S14 abc" "ghij");
}

TEST(ColumnLine, MarksTheColumnThatTheNextSpaceCloses) {
    // The 'T' of "20T" rules the second column, drawn 5 points left of its
    // text at x = 40 + 5 * 10.
    const std::string ps = postscript_of({"#C 10 20T 5 ", "a", "#C 1 "});
    EXPECT_TRUE(has_line(ps, "newpath 90 790 moveto 90 800 lineto stroke ")) << ps;
    EXPECT_EQ(ps.find("newpath 40 "), std::string::npos);
    EXPECT_EQ(ps.find("newpath 240 "), std::string::npos);
}

TEST(ColumnLine, WidthsBeforeAnyColumnLineAreZero) {
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    EXPECT_EQ(screen.visu_ligne("abc#def"), "@f@S14 ");
    EXPECT_EQ(screen.visu_ligne("#T"), "@f@S14 ");
}

TEST(ColumnLine, SixteenthWidthAndCellHaveNoColumn) {
    String columns = "#C";
    String cells;
    for (int c = 1; c <= 17; ++c) {
        columns += " 1";
        cells += String(1, static_cast<char>('a' + c - 1)) + (c < 17 ? "#" : "");
    }
    columns += "T ";
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    screen.visu_ligne(columns);
    EXPECT_EQ(screen.visu_ligne(cells), "@f@S14 abcdefghijklmno");
    EXPECT_EQ(screen.visu_ligne("#T"), "@f@S14 " + std::string(15, '-'));
    std::vector<String> report{columns, cells, "#T"};
    EXPECT_EQ(postscript_of(report).find("(p)"), std::string::npos);
    EXPECT_EQ(pdf_of(report).find("(p)"), std::string::npos);
}

TEST(ColumnLine, HugeWidthIsBounded) {
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    screen.visu_ligne("#C 99999999999999999999 ");
    EXPECT_EQ(screen.visu_ligne("#T").size(), 7u + 10000u);
}

// ---- Screen filter ----------------------------------------------------------

TEST(ScreenLine, CutsAndPadsEachCellButNeverPadsTheLast) {
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    screen.visu_ligne("#C 3 4 2 ");
    EXPECT_EQ(screen.visu_ligne("abcdef#xy#tail"), "@f@S14 abcxy  ta");
    EXPECT_EQ(screen.visu_ligne("a"), "@f@S14 a");
    EXPECT_EQ(screen.visu_ligne("##"), "@f@S14        ");
    screen.visu_ligne("#C 10 20 ");
    EXPECT_EQ(screen.visu_ligne("#T"), "@f@S14 " + std::string(30, '-'));
}

TEST(ScreenPages, SeventySevenCountedLinesFillAPage) {
    std::vector<String> lines = text_lines(77);
    OFD_afficheur_filtre_affichage one(lines.data(), 77);
    EXPECT_EQ(one.nb_pages(), 0);
    lines = text_lines(78);
    OFD_afficheur_filtre_affichage two(lines.data(), 78);
    EXPECT_EQ(two.nb_pages(), 1);
    EXPECT_EQ(two.visu_page(1), "@f@S14 \n");  // widths are still zero
    std::vector<String> ruled{"#C 10 "};
    for (const String& line : text_lines(78))
        ruled.push_back(line);
    OFD_afficheur_filtre_affichage screen(ruled.data(), 79);
    EXPECT_EQ(screen.visu_page(0).substr(0, 15), "\n@f@S14 line 1\n");
    EXPECT_EQ(screen.visu_page(1), "@f@S14 line 78\n");
    EXPECT_EQ(screen.visu_page(2), "");
    EXPECT_EQ(screen.visu_page(-1), "");
}

TEST(ScreenPages, ColumnLinesTakeNoRoom) {
    std::vector<String> lines;
    for (int i = 1; i <= 100; ++i) {
        lines.push_back("line " + std::to_string(i));
        if (i % 10 == 0)
            lines.push_back("#C 8 ");
    }
    OFD_afficheur_filtre_affichage screen(lines.data(), static_cast<int>(lines.size()));
    EXPECT_EQ(screen.nb_pages(), 1);
    const std::vector<std::string> first = split_lines(screen.visu_page(0));
    EXPECT_EQ(first.size(), 77u + 7u);
    EXPECT_EQ(first.back(), "@f@S14 line 77");
    const std::vector<std::string> second = split_lines(screen.visu_page(1));
    EXPECT_EQ(second.front(), "@f@S14 line 78");
    EXPECT_EQ(second.back(), "");  // the column line after line 100
}

TEST(ScreenPages, LineAfterThe77thOpensAPageWhateverItsKind) {
    std::vector<String> lines = text_lines(77);
    lines.push_back("#C 4 ");
    OFD_afficheur_filtre_affichage screen(lines.data(), 78);
    EXPECT_EQ(screen.nb_pages(), 1);
    EXPECT_EQ(screen.visu_page(1), "\n");
}

TEST(ScreenPages, EmptyReportHasOneEmptyPage) {
    OFD_afficheur_filtre_affichage screen(nullptr, 0);
    EXPECT_EQ(screen.nb_pages(), 0);
    EXPECT_EQ(screen.visu_page(0), "");
    std::vector<String> none(1);
    OFD_afficheur_filtre_affichage negative(none.data(), -5);
    EXPECT_EQ(negative.nb_pages(), 0);
    EXPECT_EQ(negative.visu_page(0), "");
}

TEST(ScreenPages, SamplePageIsFormattedLineByLine) {
    std::vector<String> lines = read_lines(data + "sample.rep");
    OFD_afficheur_filtre_affichage screen(lines.data(), static_cast<int>(lines.size()));
    EXPECT_EQ(screen.visu_page(0), slurp(data + "sample.screen"));
}

// ---- Text filter --------------------------------------------------------------

TEST(TextOutput, WritesTextLinesAsTheyStandAndOtherLinesAsDashes) {
    std::vector<String> lines{"#C 10 ", "a#b", "#T"};
    OFD_afficheur_filtre_texte text(lines.data(), 3);
    std::ostringstream out;
    text.imprime(out);
    const std::string dashes(55, '-');
    EXPECT_EQ(out.str(), dashes + "\na#b\n" + dashes + "\n");
}

TEST(TextOutput, SampleReport) {
    std::vector<String> lines = read_lines(data + "sample.rep");
    OFD_afficheur_filtre_texte text(lines.data(), static_cast<int>(lines.size()));
    std::ostringstream out;
    text.imprime(out);
    EXPECT_EQ(out.str(), slurp(data + "sample.txt"));
}

// ---- PostScript -----------------------------------------------------------------

TEST(PostScript, SampleReportIsWrittenRecordByRecord) {
    EXPECT_EQ(postscript_of(read_lines(data + "sample.rep")), slurp(data + "sample.ps"));
}

TEST(PostScript, EmptyReportIsThePrologueAndOneShowpage) {
    const std::vector<std::string> ps = split_lines(postscript_of({}));
    ASSERT_EQ(ps.size(), 13u);
    EXPECT_EQ(ps[0], "%!PS-Adobe-2.0");
    EXPECT_EQ(ps[11], "setfont");
    EXPECT_EQ(ps[12], "showpage");
}

TEST(PostScript, SeventyEighthLineStartsThe2ndPageAtItsTop) {
    std::vector<String> lines{"#C 10 "};
    for (const String& line : text_lines(78))
        lines.push_back(line);
    const std::vector<std::string> ps = split_lines(postscript_of(lines));
    ASSERT_GT(ps.size(), 9u);
    const std::vector<std::string> expected{"45 30 moveto (line 77) show", "showpage", "%%page : 1 1", "a4",
                                            "/Times-Roman findfont", "7 scalefont", "setfont",
                                            "45 790 moveto (line 78) show"};
    EXPECT_EQ(std::vector<std::string>(ps.end() - 9, ps.end() - 1), expected);
    EXPECT_EQ(ps.back(), "showpage");
}

TEST(PostScript, ColumnLineClosesTheRulesOfTheColumnsBeforeIt) {
    const std::string ps = postscript_of({"#C 10T 20 ", "a", "b", "c", "#C 10 20 ", "d"});
    EXPECT_TRUE(has_line(ps, "newpath 40 770 moveto 40 800 lineto stroke ")) << ps;
    EXPECT_EQ(ps.find("newpath 40 760"), std::string::npos);
}

TEST(PostScript, CharacterAfterEachHashIsSkipped) {
    const std::string ps = postscript_of({"#C 10 10 ", "ab#_cd"});
    EXPECT_TRUE(has_line(ps, "45 790 moveto (ab) show"));
    EXPECT_TRUE(has_line(ps, "95 790 moveto (cd) show"));
}

TEST(PostScript, CellsDropParenthesesSkipALoneSpaceAndEscapeBackslashes) {
    const std::string ps = postscript_of({"#C 5 5 5 5 ", "(x)#_ #_\\a\\#_"});
    EXPECT_TRUE(has_line(ps, "45 790 moveto (x) show")) << ps;
    EXPECT_EQ(ps.find("(#)"), std::string::npos);
    EXPECT_EQ(ps.find("70 790"), std::string::npos);  // the lone space
    EXPECT_TRUE(has_line(ps, "95 790 moveto (\\\\a\\\\) show")) << ps;
    EXPECT_TRUE(has_line(ps, "120 790 moveto () show")) << ps;  // empty last cell
}

TEST(PostScript, CellRunningPastTheLineEndIsEmpty) {
    const std::string ps = postscript_of({"#C 5 5 ", "ab#"});
    EXPECT_TRUE(has_line(ps, "45 790 moveto (ab) show"));
    EXPECT_TRUE(has_line(ps, "70 790 moveto () show")) << ps;
}

TEST(PostScript, PrintColumnLineSendsTheNextLineAboveTheFirst) {
    const std::string ps = postscript_of({"#C 10 ", "a", "b", "#P 10 ", "c"});
    EXPECT_TRUE(has_line(ps, "45 800 moveto (c) show")) << ps;
    const std::string pdf = pdf_of({"#C 10 ", "a", "#P 10 ", "c"});
    EXPECT_TRUE(has_line(pdf, "     45 780 Td")) << pdf;
}

TEST(PostScript, GhostscriptReadsEveryPageWithoutError) {
    Scratch scratch;
    const std::vector<String> lines = sample_and_more(160);
    std::ofstream(scratch.path("tmp.ps"), std::ios::binary) << postscript_of(lines);
    const Outcome gs = run("gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=nullpage '" + scratch.path("tmp.ps") + "'");
    EXPECT_EQ(gs.status, 0) << gs.out;
    EXPECT_EQ(gs.out, "");
}

// ---- PDF ------------------------------------------------------------------------

// Checks what a reader relies on: every xref entry is 20 bytes and points at
// its object, startxref points at "xref", and each stream's /Length is the
// number of bytes between "stream" and "endstream".
void expect_consistent_pdf(const std::string& pdf) {
    const std::size_t start = pdf.rfind("startxref\n");
    ASSERT_NE(start, std::string::npos);
    const long long xref = std::stoll(pdf.substr(start + 10));
    ASSERT_EQ(pdf.compare(static_cast<std::size_t>(xref), 5, "xref\n"), 0);
    std::istringstream table(pdf.substr(static_cast<std::size_t>(xref) + 5));
    int first = -1, entries = -1;
    table >> first >> entries;
    ASSERT_EQ(first, 0);
    std::size_t at = pdf.find('\n', static_cast<std::size_t>(xref) + 5) + 1;
    for (int k = 0; k < entries; ++k, at += 20) {
        const std::string entry = pdf.substr(at, 20);
        ASSERT_EQ(entry.size(), 20u);
        ASSERT_EQ(entry.substr(18), " \n") << "entry " << k;
        if (entry[17] == 'n') {
            const std::string head = std::to_string(k) + " 0 obj\n";
            EXPECT_EQ(pdf.compare(std::stoull(entry.substr(0, 10)), head.size(), head), 0) << "object " << k;
        }
    }
    EXPECT_NE(pdf.find("/Size " + std::to_string(entries) + "\n"), std::string::npos);
    const std::regex length("/Length ([0-9]+) >>\nstream\n");
    for (auto m = std::sregex_iterator(pdf.begin(), pdf.end(), length); m != std::sregex_iterator(); ++m) {
        const std::size_t body = static_cast<std::size_t>(m->position(0) + m->length(0));
        EXPECT_EQ(pdf.compare(body + std::stoul((*m)[1]), 10, "endstream\n"), 0);
    }
}

TEST(Pdf, SampleReportIsWrittenObjectByObject) {
    const std::string pdf = pdf_of(read_lines(data + "sample.rep"));
    EXPECT_EQ(pdf, slurp(data + "sample.pdf"));
    expect_consistent_pdf(pdf);
}

TEST(Pdf, EmptyReportIsOneEmptyPage) {
    const std::string pdf = pdf_of({});
    expect_consistent_pdf(pdf);
    EXPECT_EQ(between(pdf, "     /Kids [", "         ]"), std::vector<std::string>{"10 0 R"});
    EXPECT_NE(pdf.find("11 0 obj\n  << /Length 0 >>\nstream\nendstream\n"), std::string::npos);
}

TEST(Pdf, SeventyEighthLineStartsThe2ndPage) {
    std::vector<String> lines{"#C 10 "};
    for (const String& line : text_lines(78))
        lines.push_back(line);
    const std::string pdf = pdf_of(lines);
    expect_consistent_pdf(pdf);
    EXPECT_EQ(between(pdf, "     /Kids [", "         ]"),
              (std::vector<std::string>{"10 0 R", "         12 0 R"}));
    EXPECT_TRUE(has_line(pdf, "     /Count 2"));
    EXPECT_TRUE(has_line(pdf, "     /Contents 13 0 R"));
    const std::size_t page2 = pdf.find("13 0 obj\n");
    ASSERT_NE(page2, std::string::npos);
    EXPECT_NE(pdf.find("     45 770 Td\n(line 78) Tj", page2), std::string::npos);
    EXPECT_EQ(pdf.find("(line 78)"), pdf.find("(line 78)", page2));
}

TEST(Pdf, RulesInsideAPageAndAtTheDocumentEndAreIndentedDifferently) {
    const std::string pdf = pdf_of({"#C 10T 20 ", "a", "#T", "#C 10T ", "b"});
    expect_consistent_pdf(pdf);
    EXPECT_NE(pdf.find("    40 760 m\n    40 780 l\n       S\n"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("    40 760 m\n    190 760 l\n       S\n"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("      40 750 m\n      40 760 l\n       S\n"), std::string::npos) << pdf;
}

TEST(Pdf, SecondDocumentFromOneFilterIsTheSameAsTheFirst) {
    std::vector<String> lines{"#C 10 "};
    for (const String& line : text_lines(200))
        lines.push_back(line);
    OFD_afficheur_filtre_impression printer(lines.data(), static_cast<int>(lines.size()));
    std::ostringstream first, second;
    printer.imprime_pdf(first);
    printer.imprime_pdf(second);
    EXPECT_EQ(second.str(), first.str());
    expect_consistent_pdf(second.str());
}

TEST(Pdf, ColumnsOfAnEarlierDocumentDoNotCarryOver) {
    std::vector<String> lines = read_lines(data + "sample.rep");
    OFD_afficheur_filtre_impression printer(lines.data(), static_cast<int>(lines.size()));
    std::ostringstream ps, pdf;
    printer.imprime_postscript(ps);
    printer.imprime_pdf(pdf);
    EXPECT_EQ(pdf.str(), pdf_of(lines));
}

TEST(Pdf, PopplerReadsAndRendersItWithoutComplaint) {
    Scratch scratch;
    const std::vector<String> lines = sample_and_more(90);
    std::ofstream(scratch.path("tmp.pdf"), std::ios::binary) << pdf_of(lines);
    const Outcome info = run("pdfinfo '" + scratch.path("tmp.pdf") + "'");
    EXPECT_EQ(info.status, 0) << info.out;
    EXPECT_TRUE(std::regex_search(info.out, std::regex("PDF version: +1.4"))) << info.out;
    EXPECT_TRUE(std::regex_search(info.out, std::regex("\nPages: +2\n"))) << info.out;
    EXPECT_EQ(info.out.find("Error"), std::string::npos) << info.out;
    EXPECT_TRUE(std::regex_search(info.out, std::regex("Page size: +612 x 792 pts"))) << info.out;

    const Outcome render = run("pdftoppm -png -r 50 -f 1 -l 1 '" + scratch.path("tmp.pdf") + "' '" +
                           scratch.path("page") + "'");
    EXPECT_EQ(render.status, 0) << render.out;
    EXPECT_EQ(render.out, "");
    // A page with text and rules on it holds more than the paper's white.
    const Outcome colours = run("identify -format %k '" + scratch.path("page-1.png") + "'");
    ASSERT_EQ(colours.status, 0) << colours.out;
    EXPECT_GE(std::atoi(colours.out.c_str()), 2) << colours.out;
    const Outcome text = run("pdftotext -f 1 -l 1 '" + scratch.path("tmp.pdf") + "' -");
    EXPECT_NE(text.out.find("alpha"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("back\\slash"), std::string::npos) << text.out;
}

}  // namespace
