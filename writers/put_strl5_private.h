// Pieces shared by the sources of the Esterel writer and nobody else.
#ifndef TESSAN_WRITERS_PUT_STRL5_PRIVATE_H
#define TESSAN_WRITERS_PUT_STRL5_PRIVATE_H

#include <list>
#include <vector>

#include "chart/gal_norm.h"

namespace tessan_strl5 {

// What the block of one state is made of: its outgoing weak-abortion,
// strong-abortion and normal-termination transitions, each list in priority
// order, and the suspensions that target it, in index order. A weak abortion
// is one only in the synccharts model; elsewhere it counts as a strong one.
struct state_lists {
    std::list<int> weak;
    std::list<int> strong;
    std::list<int> termination;
    std::list<int> suspension;
};

state_lists lists_of(const gal_tpen_fichier& chart, int state);

// The initial arrows (source -1, weak or strong) into the given states, in
// index order.
std::vector<int> initial_transitions(const gal_tpen_fichier& chart,
                                     const std::list<int>& states);

bool is_final(const gal_tpen_etat& state);

// Walks every index that writing the module would follow; the first one
// outside its table is described in `fault` and the answer is true.
bool first_index_fault(const gal_tpen_fichier& chart, String& fault);

}  // namespace tessan_strl5

#endif
