// Triggers and priorities for the Esterel writer: how a trigger expression
// reads in Esterel, and in which order a state's transitions are tried.
#include "writers/put_strl5.h"
#include "writers/put_strl5_private.h"

#include "chart/gal_norm.h"

namespace {

// The transition table that compare_prio reads; set by sort_transitions_list
// for the length of one sort only.
const gal_tpen_transition* table_transitions_prio = nullptr;

}  // namespace

String strl5_recept_without_immediate(const String& trigger) {
    return tessan_strl5::translate_trigger(trigger, false).text;
}

String strl5_recept(const String& trigger) {
    return tessan_strl5::translate_trigger(trigger, true).text;
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
