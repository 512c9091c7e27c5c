// The print filter: a report as PostScript or as PDF 1.4, on one page layout.
#include "forms/report/report.h"
#include "forms/report/layout.h"

#include <algorithm>
#include <cstdio>

using namespace tessan_report;

namespace {

const int line_pitch = 10;
const int points_per_character = 5;
// The first page of a PDF document is object 10, its content stream 11; page
// k is 10 + 2k. Objects 6 to 9 are never written.
const int first_page_object = 10;
// Every page names it as its parent.
const int page_tree_object = 3;

const char* const ps_prologue[] = {
    "%!PS-Adobe-2.0", "%%Creator: vorlanth", "%%Title: tmp.ps", "%%Pages: 1",
    "%%PageOrder: Ascend", "%%BoundingBox: 0 0 612 792", "%%DocumentPaperSizes: a4",
    "%%EndComments"};
const char* const ps_page_setup[] = {"a4", "/Times-Roman findfont", "7 scalefont", "setfont"};

// '(' and ')' are left out (they still use up the cell's width). A backslash
// is doubled: alone it would escape the next character, and one at the end of
// a cell would swallow the string's closing parenthesis.
String cell_text(const String& line, std::size_t start, std::size_t end, int width) {
    String text;
    const std::size_t stop = std::min(end, start + static_cast<std::size_t>(width));
    for (std::size_t i = start; i < stop; ++i) {
        const char c = line[i];
        if (c == '(' || c == ')')
            continue;
        if (c == '\\')
            text += '\\';
        text += c;
    }
    return text;
}

// An xref entry must be exactly 20 bytes: ten digits, a space, five digits, a
// space, the kind and a two-byte line end, here a space and '\n'.
String xref_entry(long long offset, const char* generation, char kind) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010lld %s %c ", offset, generation, kind);
    return entry;
}

}  // namespace

OFD_afficheur_filtre_impression::OFD_afficheur_filtre_impression(String* lines, int count)
    : lines(lines), count(lines ? std::max(count, 0) : 0), ps_top(800), pdf_top(780), pdf_pages(0),
      left(40), widths{}, rules{}, line_index(1), rule_start(1), pdf_written(0), pdf_offsets(),
      pdf_stream(), pdf_listed(0) {}

char OFD_afficheur_filtre_impression::typeligne(const String& line) {
    return line_type(line);
}

int OFD_afficheur_filtre_impression::top(output kind) const {
    return kind == output::postscript ? ps_top : pdf_top;
}

// ---- Records common to both outputs -----------------------------------------

void OFD_afficheur_filtre_impression::write_cell(output kind, std::ostream& f, int x, int y,
                                                 const String& text) {
    if (kind == output::postscript) {
        f << x << " " << y << " moveto (" << text << ") show" << std::endl;
        return;
    }
    pdf_stream += "   BT\n     /F1 7 Tf\n     " + std::to_string(x) + " " + std::to_string(y) +
                  " Td\n(" + text + ") Tj\n   ET\n";
}

void OFD_afficheur_filtre_impression::write_rule(output kind, std::ostream& f, const String& indent,
                                                 int x1, int y1, int x2, int y2) {
    if (kind == output::postscript) {
        f << "newpath " << x1 << " " << y1 << " moveto " << x2 << " " << y2 << " lineto stroke "
          << std::endl;
        return;
    }
    pdf_stream += indent + std::to_string(x1) + " " + std::to_string(y1) + " m\n" + indent +
                  std::to_string(x2) + " " + std::to_string(y2) + " l\n       S\n";
}

void OFD_afficheur_filtre_impression::write_vertical_rules(output kind, std::ostream& f,
                                                           const String& indent) {
    const int y_last = top(kind) - line_pitch * (line_index - 1);
    const int y_first = top(kind) - line_pitch * (rule_start - 1);
    for (int c = 0; c < max_columns; ++c) {
        if (!rules[c])
            continue;
        const int x = left + points_per_character * width_before(widths, c);
        write_rule(kind, f, indent, x, y_last, x, y_first);
    }
}

void OFD_afficheur_filtre_impression::write_line(output kind, std::ostream& f, const String& line) {
    const int y = top(kind) - line_pitch * line_index;
    switch (line_type(line)) {
    case print_column_line:
        line_index = 0;
        read_columns(line, widths, rules);
        return;
    case column_line:
        write_vertical_rules(kind, f, "    ");
        rule_start = line_index;
        read_columns(line, widths, rules);
        return;
    case rule_line:
        write_rule(kind, f, "    ", left, y,
                   left + points_per_character * width_before(widths, max_columns), y);
        ++line_index;
        return;
    default:
        break;
    }
    // The character right after each '#' is never printed: the next cell
    // starts one further on.
    int column = 0;
    int x = points_per_character;
    std::size_t start = 0;
    for (std::size_t hash = line.find('#'); hash != String::npos; hash = line.find('#', hash + 1)) {
        const String text = cell_text(line, start, hash, width_of(widths, column));
        if (text != " ")
            write_cell(kind, f, left + x, y, text);
        x += points_per_character * width_of(widths, column);
        ++column;
        start = hash + 2;
    }
    const String text = cell_text(line, start, line.size(), width_of(widths, column));
    if (text != " ")
        write_cell(kind, f, left + x, y, text);
    ++line_index;
}

void OFD_afficheur_filtre_impression::print_document(output kind, std::ostream& f) {
    const std::vector<int> starts = page_starts(lines, count);
    if (kind == output::postscript)
        begin_postscript(f);
    else
        begin_pdf(f);
    std::size_t page = 0;
    for (int i = 0; i < count; ++i) {
        if (page + 1 < starts.size() && i == starts[page + 1]) {
            ++page;
            if (kind == output::postscript)
                next_page_postscript(f, static_cast<int>(page));
            else
                next_page_pdf(f, static_cast<int>(page));
        }
        write_line(kind, f, lines[i]);
    }
    if (kind == output::postscript)
        end_postscript(f);
    else
        end_pdf(f);
}

// The columns of an earlier document would rule the first lines of this one.
void OFD_afficheur_filtre_impression::start_document() {
    std::fill(widths, widths + max_columns, 0);
    std::fill(rules, rules + max_columns, false);
    line_index = 1;
    rule_start = 1;
}

// ---- PostScript -------------------------------------------------------------

void OFD_afficheur_filtre_impression::begin_postscript(std::ostream& f) {
    start_document();
    for (const char* line : ps_prologue)
        f << line << std::endl;
    for (const char* line : ps_page_setup)
        f << line << std::endl;
}

void OFD_afficheur_filtre_impression::postscript(std::ostream& f, const String& line) {
    write_line(output::postscript, f, line);
}

void OFD_afficheur_filtre_impression::next_page_postscript(std::ostream& f, int page) {
    write_vertical_rules(output::postscript, f, "");
    f << "showpage" << std::endl;
    f << "%%page : " << page << " " << page << std::endl;
    for (const char* line : ps_page_setup)
        f << line << std::endl;
    line_index = 1;
    rule_start = 1;
}

void OFD_afficheur_filtre_impression::end_postscript(std::ostream& f) {
    write_vertical_rules(output::postscript, f, "");
    f << "showpage" << std::endl;
}

void OFD_afficheur_filtre_impression::imprime_postscript(std::ostream& f) {
    print_document(output::postscript, f);
}

// ---- PDF --------------------------------------------------------------------

void OFD_afficheur_filtre_impression::pdf_put(std::ostream& f, const String& text) {
    f << text << std::endl;
    pdf_written += static_cast<long long>(text.size()) + 1;
}

void OFD_afficheur_filtre_impression::pdf_begin_object(std::ostream& f, int number) {
    if (pdf_offsets.size() <= static_cast<std::size_t>(number))
        pdf_offsets.resize(static_cast<std::size_t>(number) + 1, -1);
    pdf_offsets[static_cast<std::size_t>(number)] = pdf_written;
    pdf_put(f, std::to_string(number) + " 0 obj");
}

void OFD_afficheur_filtre_impression::pdf_page_object(std::ostream& f, int number, int contents) {
    pdf_begin_object(f, number);
    pdf_put(f, "  << /Type /Page");
    pdf_put(f, "     /Parent 3 0 R");
    pdf_put(f, "     /MediaBox [0 0 612 792]");
    pdf_put(f, "     /Contents " + std::to_string(contents) + " 0 R");
    pdf_put(f, "     /Resources << /ProcSet 4 0 R");
    pdf_put(f, "                   /Font << /F1 5 0 R >>");
    pdf_put(f, "                >>");
    pdf_put(f, "  >>");
    pdf_put(f, "endobj");
    pdf_put(f, "");
}

void OFD_afficheur_filtre_impression::pdf_page_tree(std::ostream& f, int pages) {
    pdf_begin_object(f, page_tree_object);
    pdf_put(f, "  << /Type /Pages");
    pdf_put(f, "     /Kids [");
    for (int k = 0; k < pages; ++k)
        pdf_put(f, String(k == 0 ? "" : "         ") + std::to_string(first_page_object + 2 * k) + " 0 R");
    pdf_put(f, "         ]");
    pdf_put(f, "     /Count " + std::to_string(pages));
    for (const char* line : {"  >>", "endobj", ""})
        pdf_put(f, line);
    pdf_listed = pages;
}

void OFD_afficheur_filtre_impression::pdf_close_stream(std::ostream& f) {
    pdf_put(f, "  << /Length " + std::to_string(pdf_stream.size()) + " >>");
    pdf_put(f, "stream");
    f << pdf_stream;
    f.flush();
    pdf_written += static_cast<long long>(pdf_stream.size());
    pdf_stream.clear();
    pdf_put(f, "endstream");
    pdf_put(f, "endobj");
    pdf_put(f, "");
}

void OFD_afficheur_filtre_impression::begin_pdf(std::ostream& f) {
    const int pages = static_cast<int>(page_starts(lines, count).size());
    // Each document numbers its pages from the first: a second document from
    // the same filter must not list pages that it numbers elsewhere.
    pdf_pages = 0;
    pdf_written = 0;
    pdf_offsets.assign(static_cast<std::size_t>(first_page_object + 2 * pages), -1);
    pdf_stream.clear();
    start_document();

    pdf_put(f, "%PDF-1.4");
    pdf_begin_object(f, 1);
    for (const char* line : {"  << /Type /Catalog", "     /Outlines 2 0 R", "     /Pages 3 0 R", "  >>",
                             "endobj", ""})
        pdf_put(f, line);
    pdf_begin_object(f, 2);
    for (const char* line : {"  << /Type /Outlines", "     /Count 0", "  >>", "endobj", ""})
        pdf_put(f, line);
    pdf_page_tree(f, pages);
    pdf_begin_object(f, 4);
    for (const char* line : {"   [/PDF /Text]", "endobj", ""})
        pdf_put(f, line);
    pdf_begin_object(f, 5);
    for (const char* line : {"  << /Type /Font", "     /Subtype /Type1", "     /Name /F1",
                             "     /BaseFont /Times-Roman", "     /Encoding /WinAnsiEncoding", "  >>",
                             "endobj", ""})
        pdf_put(f, line);
    pdf_page_object(f, first_page_object, first_page_object + 1);
    pdf_begin_object(f, first_page_object + 1);
}

void OFD_afficheur_filtre_impression::pdf(std::ostream& f, const String& line) {
    write_line(output::pdf, f, line);
}

void OFD_afficheur_filtre_impression::next_page_pdf(std::ostream& f, int) {
    write_vertical_rules(output::pdf, f, "    ");
    pdf_close_stream(f);
    const int page_object = first_page_object + 2 + 2 * pdf_pages;
    pdf_page_object(f, page_object, page_object + 1);
    pdf_begin_object(f, page_object + 1);
    ++pdf_pages;
    line_index = 1;
    rule_start = 1;
}

void OFD_afficheur_filtre_impression::end_pdf(std::ostream& f) {
    write_vertical_rules(output::pdf, f, "      ");
    pdf_close_stream(f);
    // The tree written first lists the pages of the report's own split; a
    // caller who broke its pages elsewhere gets a tree of the pages it wrote,
    // and the cross-reference names that one (the first stays unread).
    const int pages = pdf_pages + 1;
    if (pages != pdf_listed)
        pdf_page_tree(f, pages);
    // Pages listed first but never written leave no trailing free entries.
    while (!pdf_offsets.empty() && pdf_offsets.back() < 0)
        pdf_offsets.pop_back();
    const long long xref = pdf_written;
    const std::size_t entries = pdf_offsets.size();
    pdf_put(f, "xref");
    pdf_put(f, "0 " + std::to_string(entries));
    pdf_put(f, xref_entry(0, "65535", 'f'));
    for (std::size_t k = 1; k < entries; ++k)
        pdf_put(f, pdf_offsets[k] < 0 ? xref_entry(0, "65535", 'f')
                                      : xref_entry(pdf_offsets[k], "00000", 'n'));
    pdf_put(f, "");
    pdf_put(f, "trailer");
    pdf_put(f, "  << /Size " + std::to_string(entries));
    pdf_put(f, "     /Root 1 0 R");
    pdf_put(f, "  >>");
    pdf_put(f, "startxref");
    pdf_put(f, std::to_string(xref));
    pdf_put(f, "%%EOF");
}

void OFD_afficheur_filtre_impression::imprime_pdf(std::ostream& f) {
    print_document(output::pdf, f);
}
