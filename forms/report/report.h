// report: the report page model and its three outputs, free of any window.
//
// A report is an array of `String` lines in a small format of its own:
//   "#C..." and "#P..." column lines declare the widths (in characters) of up
//   to 15 columns, each width ended by a space, a 'T' marking its column as
//   ruled ("#C 10T 20 ");
//   "#T..." rule lines draw a horizontal rule across the columns;
//   every other line is a text line of cells separated by '#'.
// Text and rule lines count towards a page; 77 of them fill one, and the line
// after the 77th opens the next page whatever its kind.
//
// The screen filter formats one page for an FLTK browser, the text filter
// writes the report as plain text, the print filter as PostScript or PDF 1.4.
// Every filter borrows the caller's array of lines: it neither copies nor
// frees it, so the array must outlive the filter's calls. Widths before the
// first column line are 0, and columns past the 15th have no width.
#ifndef TESSAN_FORMS_REPORT_REPORT_H
#define TESSAN_FORMS_REPORT_REPORT_H

#include "text/Stringpp.h"

#include <ostream>
#include <vector>

// The screen filter: pages of a report as browser text.
class OFD_afficheur_filtre_affichage {
public:
    OFD_afficheur_filtre_affichage(String* lines, int count);

    // 0 text line, 1 "#C", 2 "#P", 3 "#T".
    char typeligne(const String& line);
    // The number of the last page: 0 for an empty report and for one page.
    int nb_pages();
    // One browser line, in a fixed-pitch font; a column line gives "" and
    // sets the widths of the lines formatted after it.
    String visu_ligne(const String& line);
    // Page n (from 0), each line ended by '\n'; "" past the last page. Its
    // lines have the columns of the last column line before them in the
    // report, whatever was formatted before.
    String visu_page(int n);

private:
    String out;
    int widths[15];
    bool rules[15];
    int count;
    String* lines;
};

// The plain-text filter: text lines as they stand, column and rule lines as a
// dashed line.
class OFD_afficheur_filtre_texte {
public:
    OFD_afficheur_filtre_texte(String* lines, int count);

    char typeligne(const String& line);
    void imprime_ligne(std::ostream& f, const String& line);
    void imprime(std::ostream& f);

private:
    int count;
    String* lines;
};

// The print filter: Times-Roman 7 points on a line pitch of 10 points, 5
// points per character of column width, vertical rules on the ruled columns.
// One object writes one document at a time; the begin operations reset it
// (no columns, first line), so every document comes out the same.
class OFD_afficheur_filtre_impression {
public:
    OFD_afficheur_filtre_impression(String* lines, int count);

    char typeligne(const String& line);

    void begin_postscript(std::ostream& f);
    void postscript(std::ostream& f, const String& line);
    void next_page_postscript(std::ostream& f, int page);
    void end_postscript(std::ostream& f);
    void imprime_postscript(std::ostream& f);

    // The content of a page is held until the page ends, because its stream
    // object must state its length before the content. A caller may break
    // pages where it likes with next_page_pdf: the document lists the pages
    // written, whatever the report's own split.
    void begin_pdf(std::ostream& f);
    void pdf(std::ostream& f, const String& line);
    void next_page_pdf(std::ostream& f, int page);
    void end_pdf(std::ostream& f);
    void imprime_pdf(std::ostream& f);

private:
    enum class output { postscript, pdf };

    void write_line(output kind, std::ostream& f, const String& line);
    void write_cell(output kind, std::ostream& f, int x, int y, const String& text);
    void write_rule(output kind, std::ostream& f, const String& indent, int x1, int y1, int x2, int y2);
    void write_vertical_rules(output kind, std::ostream& f, const String& indent);
    void print_document(output kind, std::ostream& f);
    int top(output kind) const;
    void start_document();

    // PDF bookkeeping: bytes written since "%PDF", object offsets, the page
    // content not yet written.
    void pdf_put(std::ostream& f, const String& text);
    void pdf_begin_object(std::ostream& f, int number);
    void pdf_page_object(std::ostream& f, int number, int contents);
    void pdf_page_tree(std::ostream& f, int pages);
    void pdf_close_stream(std::ostream& f);

    String* lines;
    int count;
    int ps_top;
    int pdf_top;
    int pdf_pages;
    int left;
    int widths[15];
    bool rules[15];
    int line_index;
    int rule_start;

    long long pdf_written;
    std::vector<long long> pdf_offsets;  // by object number, -1 for none
    String pdf_stream;
    int pdf_listed;  // pages in the last page tree written
};

#endif
