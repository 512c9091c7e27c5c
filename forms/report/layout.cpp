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

namespace {

// The page split: `next_page` gets the first line of each page after the
// first, and stops the walk by answering false. `in_force`, when given,
// follows the column lines read, so that it holds a page's columns when that
// page is reached.
template <class Next_page>
void walk_pages(const String* lines, int count, columns* in_force, Next_page next_page) {
    if (!lines)
        return;
    int on_page = 0;
    for (int i = 0; i + 1 < count; ++i) {
        const char type = line_type(lines[i]);
        if (takes_a_line(type))
            ++on_page;
        else if (in_force)
            read_columns(lines[i], in_force->widths, in_force->rules);
        if (on_page >= lines_per_page) {
            if (!next_page(i + 1))
                return;
            on_page = 0;
        }
    }
}

}  // namespace

std::vector<int> page_starts(const String* lines, int count) {
    std::vector<int> starts{0};
    walk_pages(lines, count, nullptr, [&starts](int line) {
        starts.push_back(line);
        return true;
    });
    return starts;
}

bool page_opening(const String* lines, int count, int n, page_start& page) {
    page = page_start{0, columns{}};
    if (n <= 0)
        return n == 0;
    int reached = 0;
    walk_pages(lines, count, &page.in_force, [&](int line) {
        if (++reached < n)
            return true;
        page.line = line;
        return false;
    });
    return reached == n;
}

}  // namespace tessan_report
