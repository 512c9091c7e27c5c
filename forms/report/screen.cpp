// The screen filter: one page of a report as lines for an FLTK browser.
#include "forms/report/report.h"
#include "forms/report/layout.h"

#include <algorithm>
#include <iterator>

using namespace tessan_report;

namespace {

// Fixed pitch at size 14, so that columns line up on screen.
const char* const browser_format = "@f@S14 ";

}  // namespace

OFD_afficheur_filtre_affichage::OFD_afficheur_filtre_affichage(String* lines, int count)
    : out(), widths{}, rules{}, count(lines ? std::max(count, 0) : 0), lines(lines) {}

char OFD_afficheur_filtre_affichage::typeligne(const String& line) {
    return line_type(line);
}

int OFD_afficheur_filtre_affichage::nb_pages() {
    return static_cast<int>(page_starts(lines, count).size()) - 1;
}

String OFD_afficheur_filtre_affichage::visu_ligne(const String& line) {
    const char type = line_type(line);
    if (type == column_line || type == print_column_line) {
        read_columns(line, widths, rules);
        return String();
    }
    String shown = browser_format;
    if (type == rule_line) {
        shown.append(static_cast<std::size_t>(width_before(widths, max_columns)), '-');
        return shown;
    }
    std::size_t start = 0;
    int column = 0;
    for (;;) {
        const std::size_t end = line.find('#', start);
        const std::size_t width = static_cast<std::size_t>(width_of(widths, column));
        const std::size_t length = std::min((end == String::npos ? line.size() : end) - start, width);
        shown.append(line, start, length);
        // The last cell is cut but never padded.
        if (end == String::npos)
            break;
        shown.append(width - length, ' ');
        ++column;
        start = end + 1;
    }
    return shown;
}

// A page opens with the columns in force at its first line, whichever page
// was formatted before it. The report is walked up to the page at each call,
// as the caller may have changed its lines since the last one.
String OFD_afficheur_filtre_affichage::visu_page(int n) {
    out.clear();
    page_start start;
    if (!page_opening(lines, count, n, start))
        return out;
    std::copy(std::begin(start.in_force.widths), std::end(start.in_force.widths), widths);
    std::copy(std::begin(start.in_force.rules), std::end(start.in_force.rules), rules);
    int filled = 0;
    for (int i = start.line; i < count && filled < lines_per_page; ++i) {
        out += visu_ligne(lines[i]);
        out += '\n';
        if (takes_a_line(line_type(lines[i])))
            ++filled;
    }
    return out;
}
