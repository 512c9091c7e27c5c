// Triggers and priorities for the Esterel writer: how a trigger expression
// reads in Esterel, and in which order a state's transitions are tried.
#include "writers/put_strl5.h"

#include "chart/gal_norm.h"

namespace {

// The transition table that compare_prio reads; set by sort_transitions_list
// for the length of one sort only.
const gal_tpen_transition* table_transitions_prio = nullptr;

// "#" marks an immediate test. Esterel takes "immediate" once, in front of the
// whole expression, so every "#" is taken out first and the word is put back
// by the caller, in front of the brackets of a compound expression.
String translate_body(const String& trigger) {
    String r = cancel_begin_end_spaces(suppres_char(trigger, '#'));
    // Only a leading "<...>" is a priority; "<" and ">" further in are
    // comparisons and stay.
    if (!r.empty() && r[0] == '<') {
        const int close = find(r, ">");
        if (close >= 0)
            r = cancel_begin_end_spaces(my_after(r, close + 1));
    }
    if (contains(r, " or ") || contains(r, " OR ") || contains(r, " and ") ||
        contains(r, " AND ") || contains(r, "not ") || contains(r, "NOT "))
        r = "[" + r + "]";
    if (r == "1")
        r = "tick";
    return r;
}

}  // namespace

String strl5_recept_without_immediate(const String& trigger) {
    return translate_body(trigger);
}

String strl5_recept(const String& trigger) {
    const String body = translate_body(trigger);
    return contains(trigger, "#") ? "immediate " + body : body;
}

bool compare_prio(int i, int j) {
    const int pi = table_transitions_prio[i].ma_priorite();
    const int pj = table_transitions_prio[j].ma_priorite();
    if (pi == -1)
        return false;
    if (pj == -1)
        return true;
    return pi < pj;
}

std::list<int> gal_tpen_fichier::sort_transitions_list(const std::list<int>& l) const {
    if (l.size() < 2)
        return l;
    std::list<int> sorted = l;
    table_transitions_prio = ma_table_transitions();
    sorted.sort(compare_prio);  // a stable merge sort: equal priorities keep their order
    table_transitions_prio = nullptr;
    return sorted;
}
