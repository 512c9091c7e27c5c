// What the three report filters share: line kinds, column lines and the page
// split. Private to the report library.
#ifndef TESSAN_FORMS_REPORT_LAYOUT_H
#define TESSAN_FORMS_REPORT_LAYOUT_H

#include "text/Stringpp.h"

#include <vector>

namespace tessan_report {

const int max_columns = 15;
const int lines_per_page = 77;

enum line_kind : char { text_line = 0, column_line = 1, print_column_line = 2, rule_line = 3 };

char line_type(const String& line);

// Text and rule lines fill a page; column lines take no room.
inline bool takes_a_line(char type) {
    return type == text_line || type == rule_line;
}

// Clears the 15 widths and rules, then reads the column line into them.
void read_columns(const String& line, int* widths, bool* rules);

// The width of a column; a column past the table has none.
inline int width_of(const int* widths, int column) {
    return column >= 0 && column < max_columns ? widths[column] : 0;
}

// The sum of the widths of the columns before `column`.
int width_before(const int* widths, int column);

// The widths and rule marks of the last column line read; none before the
// first.
struct columns {
    int widths[max_columns] = {};
    bool rules[max_columns] = {};
};

// Where a page begins, and the columns in force there: those of the last
// column line before it in the report.
struct page_start {
    int line;
    columns in_force;
};

// Page n (from 0), the report walked only up to its first line; false past
// the last page. Page 0 begins at line 0, before any column line.
bool page_opening(const String* lines, int count, int n, page_start& page);

// Index of the first line of each page; {0} for an empty report.
std::vector<int> page_starts(const String* lines, int count);

}  // namespace tessan_report

#endif
