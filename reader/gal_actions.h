// What the grammar actions of reader/parse_gal.y call: trace lines, token
// conversions, and the steps that build the chart of the read under way
// (pgal_parser->chart). Private to the reader.
//
// Ownership: every pointer argument is a fresh object of an earlier action;
// the function takes it over and frees it, whatever it does with its content.
// Null list arguments stand for empty lists. The names are plain words, so
// they live in a namespace of their own.
#ifndef TESSAN_READER_GAL_ACTIONS_H
#define TESSAN_READER_GAL_ACTIONS_H

#include <cstddef>
#include <list>
#include <ostream>
#include <utility>

#include "chart/gal_norm.h"
#include "text/Stringpp.h"

namespace gal_actions {

// ---- Trace ----------------------------------------------------------------

// Trace lines are not flushed one by one: a large chart gives millions of
// them. The trace is flushed when the read ends, and before the scanner's
// fatal error ends the process.
void trace_line(int n, int m, const char* text, std::size_t length, int debug,
                std::ostream& trace);
void rule(int n, int m, const char* text);
// A trace line whose text is the current token's text, every byte of it.
void rule_text(int n, int m);
// Written to the trace stream whether the trace is on or not.
void trace_raw(const char* text);

// ---- The current token ----------------------------------------------------

String token_text();
// A text token without its two double quotes.
String token_unquoted();
// An integer token, clamped to the int range (no overflow on long digits).
int token_int();
// A decimal token by its C-locale value ("4." is 4, "007.5" is 7.5).
double token_decimal();
// The older numeric model: 0 basic, 1 light_esterel, 2 synccharts, n > 2: n + 1.
int model_of_number(int n);

// ---- Lists ----------------------------------------------------------------

template <class T>
std::list<T>* empty_list() {
  return new std::list<T>;
}

template <class T>
std::list<T>* list_of(T* item) {
  std::list<T>* items = new std::list<T>;
  items->push_back(*item);
  delete item;
  return items;
}

template <class T>
std::list<T>* append(std::list<T>* items, T* item) {
  items->push_back(*item);
  delete item;
  return items;
}

// The names of the variables, in order (the variables stay with the caller).
std::list<String>* names_of(const std::list<gal_declaration_variables>* variables);

// ---- Records --------------------------------------------------------------

std::pair<int, String>* assignment(int index, String* text);
// Old two-part form: the path is the text before its last '/', the file name
// the rest.
gal_declaration_progs* program_by_path(String* text, String* module);
gal_declaration_progs* program(String* path, String* file, String* module,
                               std::list<gal_declaration_variables>* inputs,
                               std::list<gal_declaration_variables>* sensors,
                               std::list<gal_declaration_variables>* outputs);
gal_tpen_transition* make_transition(int source, int target, int kind, std::list<double>* points,
                                     double* label_x, double* label_y, int priority,
                                     String* trigger, std::list<int>* actions);

// ---- The chart ------------------------------------------------------------

void build_chart(String* name, int model, std::list<String>* types,
                 std::list<gal_declaration_variables>* inputs,
                 std::list<gal_declaration_variables>* sensors,
                 std::list<gal_declaration_variables>* outputs,
                 std::list<gal_declaration_variables>* locals,
                 std::list<gal_declaration_variables>* variables,
                 std::list<gal_declaration_progs>* runs,
                 std::list<gal_declaration_functions>* functions,
                 std::list<gal_declaration_constants>* constants,
                 std::list<gal_declaration_pres>* pres, std::list<String>* actions);
void hand_states(std::list<gal_tpen_etat>* states);
void hand_transitions(std::list<gal_tpen_transition>* transitions);
void mark_encapsulated();
// Diameters, concurrent automata, incoming and outgoing lists.
void finish_chart();

}  // namespace gal_actions

#endif
