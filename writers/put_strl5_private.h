// Pieces shared by the sources of the Esterel writer and nobody else.
#ifndef TESSAN_WRITERS_PUT_STRL5_PRIVATE_H
#define TESSAN_WRITERS_PUT_STRL5_PRIVATE_H

#include <list>
#include <unordered_map>
#include <utility>
#include <string>
#include <vector>

#include "chart/gal_norm.h"
#include "writers/writer_files.h"

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

// ---- Names the writer makes up (put_strl5_states.cpp) ----------------------------
// Each is made here and nowhere else, so that the refusals can ask whether a
// chart's own name is one of them.

// The local signal that automaton k emits when it ends: <chart>_ctl<k>_terminate.
String termination_signal(const gal_tpen_fichier& chart, int k);

// The local signal that starts a state: start_<state>.
String start_signal(const gal_tpen_etat& state);

// The trap that the end of a state's run leaves when the state also sustains
// its actions: done_<state>. Only such states declare it (see needs_run_trap).
String run_trap(const gal_tpen_etat& state);

// A state that sustains a part (actions, or the termination signal of a final
// state) beside its run, and leaves on a normal termination: the end of the
// run must end the sustained part too.
bool needs_run_trap(const gal_tpen_etat& state, const std::list<int>& termination);

// Walks every index that writing the module would follow; the first one
// outside its table is described in `fault` and the answer is true.
bool first_index_fault(const gal_tpen_fichier& chart, String& fault);

// ---- What Esterel can say (put_strl5_esterel.cpp) ---------------------------

// Brackets and negations nest the readers of triggers and values; beyond
// this depth a text is refused rather than allowed to exhaust the stack.
constexpr int deepest_nesting = 200;

// Any blank: a chart text may hold tabs and line ends where a blank is meant.
inline bool blank_char(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
inline bool letter_char(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool digit_char(char c) { return c >= '0' && c <= '9'; }
inline bool identifier_char(char c) { return letter_char(c) || digit_char(c) || c == '_'; }

// The text without the blanks around it.
String trimmed(const String& text);

// The same, every blank inside it a space: a text that the module writes on
// one line.
String one_line(const String& text);

// A letter, then letters, digits and "_".
bool identifier_shape(const String& name);

// A reserved word of Esterel v5, or "tick".
bool reserved_word(const String& word);

// Null for a name that Esterel takes as an identifier, else why it does not.
const char* identifier_fault(const String& name);

// boolean, integer, float, double, string: never declared by a module.
bool predefined_type(const String& type);

// A signal of this type is written without one: "pure", the empty type, and
// "bool" in the models where it stands for presence alone.
bool pure_type(const String& type, int model);

// A trigger as an Esterel delay: `text` is what follows "case " (or "when
// immediate " when `immediate` is false, the "#" marks then being dropped);
// `signals` the names it tests, tick aside; `count` the count of a count
// delay ("3 A"), whose type the caller checks; `fault` why it has no Esterel
// form, "" when it has one.
struct esterel_trigger {
    String text;
    String fault;
    String count;
    std::vector<String> signals;
};
esterel_trigger translate_trigger(const String& trigger, bool immediate);

// ---- Values (put_strl5_values.cpp) ------------------------------------------

// What the module declares that an expression may name: signals with their
// types ("" for a pure one), constants with theirs, and the functions.
struct esterel_scope {
    std::unordered_map<String, String> signals;
    std::unordered_map<String, String> constants;
    std::unordered_map<String, const gal_declaration_functions*> functions;
};

// "" when `text` is an Esterel expression of the given type (any type when
// `type` is empty) in `scope`, else why not.
String expression_fault(const String& text, const String& type, const esterel_scope& scope);

// A count expression of a delay as the module writer recognises it without
// the chart: an Esterel expression that holds no "and", "or" or "not".
bool count_shape(const String& text);

// The constant's Esterel value (value 5, else the default value 0) as an
// Esterel literal of its type; "" when it has none. `dropped` is set when a
// value was given but has no such literal.
String constant_literal(const gal_declaration_constants& c, bool& dropped);

// An action read as emissions separated by ";", each "[emit] S" or
// "[emit] S(value)", blanks of any kind around them; none when the text is
// blank or has a fault. `text` is what the module writes after "emit ",
// `fault` why the action is no list of emissions. The values are read, not
// checked: see expression_fault.
struct emission {
    String signal;
    bool valued = false;
    String value;
};
struct action_reading {
    std::vector<emission> emissions;
    String text;
    String fault;
};
action_reading read_action(const String& action);

// The renaming of a run, written between "[" and "]": a signal renaming,
// and after ";" any renaming of signals, constants, types or functions.
struct renaming_part {
    String keyword;  // signal, constant, type or function
    std::vector<std::pair<String, String>> pairs;  // actual, formal
};
struct esterel_renaming {
    String text;
    String fault;
    std::vector<renaming_part> parts;
};
esterel_renaming translate_renaming(const String& stored);

// ---- Refusals (put_strl5_checks.cpp) ------------------------------------------

using tessan_writers::printable;

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
