// put_strl5: the compiler's back end, which writes a chart as one Esterel v5
// module.
//
// The module writer itself is a member of the chart
// (`gal_tpen_fichier::put_strl5`, declared in chart/gal_norm.h); this header
// gives the free pieces around it: the translation of a trigger expression
// into an Esterel signal expression and the priority order of a state's
// outgoing transitions.
//
// Every concurrent automaton becomes a constellation of endless loops, one per
// state, each waiting for the state's local start signal; the constellations
// run in parallel under a weak abortion that ends when every automaton's
// termination signal is present.
//
// The writer changes nothing in the chart. It never follows an index that
// lies outside its table, and writes nothing that Esterel has no form for:
// such a chart is refused, one line on standard error for each problem,
// before anything is written.
// The module goes to a temporary file beside the target, renamed over the
// target once complete, so a failed run never leaves a truncated module over a
// good one.
#ifndef TESSAN_WRITERS_PUT_STRL5_H
#define TESSAN_WRITERS_PUT_STRL5_H

#include "text/Stringpp.h"

// The Esterel form of a trigger: a leading priority between "<" and ">" is
// cut, the chart's operator spellings become "and", "or" and "not" (xor and
// xnor are spelled out with them), a compound expression is put between
// square brackets in which parentheses group, "1" and the empty trigger
// become "tick", "0" a test that never holds, and a "#" before any operand
// makes the whole test immediate ("A & #B" gives "immediate [A and B]"). A
// count delay keeps its count ("3 [A | B]" gives "3 [A or B]"). A trigger
// that has no Esterel form (see the writer's refusals) comes back as it was
// spelled before, with only the priority and the "#" marks treated.
String strl5_recept(const String& trigger);

// The same without the word "immediate": the text that follows "when
// immediate " in a suspension, which is immediate already.
String strl5_recept_without_immediate(const String& trigger);

// Order of two transitions of the table being sorted by
// `gal_tpen_fichier::sort_transitions_list`: priority 0 (none given) first,
// then 1, 2 and upward, "other" (-1) last. Valid only during that sort.
bool compare_prio(int i, int j);

#endif
