// Pieces shared by the sources of the Esterel writer and nobody else.
#ifndef TESSAN_WRITERS_PUT_STRL5_PRIVATE_H
#define TESSAN_WRITERS_PUT_STRL5_PRIVATE_H

#include <list>
#include <string>
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

// The local signal that automaton k emits when it ends: <chart>_ctl<k>_terminate.
String termination_signal(const gal_tpen_fichier& chart, int k);

// Walks every index that writing the module would follow; the first one
// outside its table is described in `fault` and the answer is true.
bool first_index_fault(const gal_tpen_fichier& chart, String& fault);

// ---- What Esterel can say (put_strl5_esterel.cpp) ---------------------------

// Null for a name that Esterel takes as an identifier, else why it does not.
const char* identifier_fault(const String& name);

// boolean, integer, float, double, string: never declared by a module.
bool predefined_type(const String& type);

// A signal of this type is written without one: "pure", the empty type, and
// "bool" in the models where it stands for presence alone.
bool pure_type(const String& type, int model);

// The constant's Esterel value (value 5, else the default value 0) as an
// Esterel literal of its type; "" when it has none, which leaves the value to
// the host language.
String constant_literal(const gal_declaration_constants& c);

// A trigger as an Esterel delay: `text` is what follows "case " (or "when
// immediate " when `immediate` is false, the "#" marks then being dropped);
// `signals` the names it tests, tick aside; `fault` why it has no Esterel
// form, "" when it has one.
struct esterel_trigger {
    String text;
    String fault;
    std::vector<String> signals;
};
esterel_trigger translate_trigger(const String& trigger, bool immediate);

// The renaming of a run, written between "[signal " and "]".
struct esterel_renaming {
    String text;
    String fault;
    std::vector<String> actuals;
};
esterel_renaming translate_renaming(const String& stored);

// An action's text read as an emission: the signal emitted and whether a
// value follows it between round brackets. A blank text emits nothing.
struct emission {
    bool nothing = true;
    String signal;
    bool valued = false;
    bool well_formed = true;
};
emission emission_of(const String& action);

// ---- Refusals (put_strl5_checks.cpp) ------------------------------------------

// Types that the module declares: the chart's, then any other that a written
// declaration uses, each once, the predefined ones and those written pure left
// out.
std::vector<String> types_to_declare(const gal_tpen_fichier& chart,
                                     const std::vector<gal_declaration_functions>& functions);

// One line per element of the chart that has no Esterel form, naming the
// element and why; empty when the module can be written. The indices must
// have been checked first.
std::vector<String> translation_faults(const gal_tpen_fichier& chart, const String& module,
                                       const std::vector<gal_declaration_functions>& functions);

}  // namespace tessan_strl5

#endif
