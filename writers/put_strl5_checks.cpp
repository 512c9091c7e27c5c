// The indices that writing a module follows, checked before anything is
// written: the reader keeps indices as the chart text gives them, and a module
// written from a dangling one would name a state, an action or a program that
// does not exist.
#include "writers/put_strl5_private.h"
#include "writers/writer_files.h"

#include <string>

namespace tessan_strl5 {

using tessan_writers::action_fault;
using tessan_writers::outside;

namespace {

// A transition that is written: its target is a state or -1 (a final arrow),
// and its actions exist.
bool transition_fault(const gal_tpen_fichier& chart, int t, String& fault) {
    const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
    const String owner = "transition " + std::to_string(t);
    const int target = transition.mon_ident_etat_aval();
    if (target < -1 || target >= chart.nbr_etats()) {
        fault = owner + " has " + outside("target state", target, chart.nbr_etats(), "states");
        return true;
    }
    return action_fault(chart, transition.mes_actions(), owner, fault);
}

bool state_fault(const gal_tpen_fichier& chart, int s, String& fault) {
    const gal_tpen_etat& state = chart.ma_table_etats()[s];
    const String owner = "state " + std::to_string(s) + " (" + state.un_nom() + ")";
    if (action_fault(chart, state.mes_actions(), owner, fault))
        return true;
    const int program = state.mon_ident_run();
    if (program != -1 && (program < 0 || program >= chart.nbr_progs_externes())) {
        fault = owner + " runs " +
                outside("program", program, chart.nbr_progs_externes(), "external programs");
        return true;
    }
    const state_lists lists = lists_of(chart, s);
    for (const std::list<int>* written : {&lists.weak, &lists.strong})
        for (int t : *written)
            if (transition_fault(chart, t, fault))
                return true;
    return !lists.termination.empty() && transition_fault(chart, lists.termination.front(), fault);
}

}  // namespace

bool first_index_fault(const gal_tpen_fichier& chart, String& fault) {
    for (int k = 0; k < chart.nombre_SC(); ++k) {
        const std::list<int> states = chart.SC_liste_etats(k);
        const String automaton = "automaton " + std::to_string(k);
        if (states.empty()) {
            fault = automaton + " holds no state";
            return true;
        }
        for (int s : states)
            if (s < 0 || s >= chart.nbr_etats()) {
                fault = automaton + " holds " + outside("state", s, chart.nbr_etats(), "states");
                return true;
            }
        for (int t : initial_transitions(chart, states))
            if (action_fault(chart, chart.ma_table_transitions()[t].mes_actions(),
                             "transition " + std::to_string(t), fault))
                return true;
        for (int s : states)
            if (state_fault(chart, s, fault))
                return true;
    }
    return false;
}

}  // namespace tessan_strl5
