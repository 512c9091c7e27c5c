// put_le: a chart as LE text, the language of the "light_esterel_model:" kind.
//
// The writer itself is a member of the chart (`gal_tpen_fichier::put_le`),
// and each record writes its own item (`put_le` of variables, pres, programs,
// states and transitions; the constant item is shared with the Esterel
// writer). A chart of one automaton (or none) becomes one module with an
// "automaton" part; a chart of several becomes a main module that runs one
// module per automaton, each with the interface that its triggers, actions
// and programs use. No item writes a line end: the caller does.
//
// Triggers are written as they stand, not translated: a trigger that holds a
// data test is marked "value:".
#ifndef TESSAN_WRITERS_PUT_LE_H
#define TESSAN_WRITERS_PUT_LE_H

#include "text/Stringpp.h"

// 1 when the trigger holds "#" or a comparison ("<", ">", "<=", ">=", "==",
// "!="), else 0.
int data_LE_expression(const String& trigger);

#endif
