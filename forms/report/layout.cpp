// Line kinds, column lines and the page split of a report.
#include "forms/report/layout.h"

#include <algorithm>

namespace tessan_report {

namespace {

// A column of a million characters has no use on any screen or page, and a
// width past this bound would let a rule line ask for gigabytes of dashes.
const int widest_column = 10000;

}  // namespace

char line_type(const String& line) {
    if (line.size() < 2 || line[0] != '#')
        return text_line;
    switch (line[1]) {
    case 'C': return column_line;
    case 'P': return print_column_line;
    case 'T': return rule_line;
    default: return text_line;
    }
}

void read_columns(const String& line, int* widths, bool* rules) {
    std::fill(widths, widths + max_columns, 0);
    std::fill(rules, rules + max_columns, false);
    int column = 0;
    int number = 0;
    for (const char c : line) {
        if (c >= '0' && c <= '9') {
            number = std::min(number * 10 + (c - '0'), widest_column);
        } else if (c == ' ') {
            if (number != 0) {
                // Widths past the 15th have no column to go to.
                if (column < max_columns)
                    widths[column] = number;
                ++column;
                number = 0;
            }
        } else if (c == 'T') {
            if (column < max_columns)
                rules[column] = true;
        }
    }
}

int width_before(const int* widths, int column) {
    int sum = 0;
    for (int c = 0; c < std::min(column, max_columns); ++c)
        sum += widths[c];
    return sum;
}

std::vector<page_start> page_layout(const String* lines, int count) {
    std::vector<page_start> pages{page_start{0, columns{}}};
    if (!lines)
        return pages;
    columns current;
    int on_page = 0;
    for (int i = 0; i + 1 < count; ++i) {
        const char type = line_type(lines[i]);
        if (takes_a_line(type))
            ++on_page;
        else
            read_columns(lines[i], current.widths, current.rules);
        if (on_page >= lines_per_page) {
            pages.push_back(page_start{i + 1, current});
            on_page = 0;
        }
    }
    return pages;
}

std::vector<int> page_starts(const String* lines, int count) {
    std::vector<int> starts;
    for (const page_start& page : page_layout(lines, count))
        starts.push_back(page.line);
    return starts;
}

}  // namespace tessan_report
