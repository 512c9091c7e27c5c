#include "reader/gal_actions.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "reader/gal_scanner.h"
#include "reader/parse_gal.h"

namespace gal_actions {

namespace {

const char* current_text() { return pgal_parser->scanner->YYText(); }

std::size_t current_length() {
  int length = pgal_parser->scanner->YYLeng();
  return length > 0 ? static_cast<std::size_t>(length) : 0;
}

}  // namespace

// ---- Trace ----------------------------------------------------------------

void trace_line(int n, int m, const char* text, std::size_t length, int debug,
                std::ostream& trace) {
  if (debug == 0) return;
  trace << n;
  if (m != 1) trace << ',' << m;
  trace << " --> ";
  trace.write(text, static_cast<std::streamsize>(length));
  trace << '\n';
}

void rule(int n, int m, const char* text) {
  if (pgal_parser->trace != nullptr)
    trace_line(n, m, text, std::strlen(text), pgal_parser->debug, *pgal_parser->trace);
}

// A text token may hold a NUL byte: write the token by its length.
void rule_text(int n, int m) {
  if (pgal_parser->trace != nullptr)
    trace_line(n, m, current_text(), current_length(), pgal_parser->debug, *pgal_parser->trace);
}

void trace_raw(const char* text) {
  if (pgal_parser->trace != nullptr) *pgal_parser->trace << text;
}

// ---- The current token ----------------------------------------------------

String token_text() { return String(current_text(), current_length()); }

String token_unquoted() {
  std::size_t length = current_length();
  if (length < 2) return String();
  return String(current_text() + 1, length - 2);
}

int token_int() {
  // The scanner hands over "-?[0-9]+" of any length: saturate instead of
  // letting the conversion overflow.
  long long value = std::strtoll(current_text(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double token_decimal() {
  const char* text = current_text();
  const char* end = text + current_length();
  double value = 0.0;
  std::from_chars_result result = std::from_chars(text, end, value);
  if (result.ec != std::errc::result_out_of_range) return value;
  // Too many digits either way: a non-zero integer part overflowed, anything
  // else underflowed.
  bool negative = *text == '-';
  const char* digit = negative ? text + 1 : text;
  while (*digit == '0') ++digit;
  bool huge = *digit >= '1' && *digit <= '9';
  double magnitude = huge ? DBL_MAX : 0.0;
  return negative ? -magnitude : magnitude;
}

int model_of_number(int n) {
  if (n <= 0) return n;
  return n == INT_MAX ? INT_MAX : n + 1;
}

// ---- Lists ----------------------------------------------------------------

std::list<String>* names_of(const std::list<gal_declaration_variables>* variables) {
  std::list<String>* names = new std::list<String>;
  if (variables != nullptr)
    for (const gal_declaration_variables& variable : *variables) names->push_back(variable.nom());
  return names;
}

// ---- Records --------------------------------------------------------------

std::pair<int, String>* assignment(int index, String* text) {
  std::pair<int, String>* value = new std::pair<int, String>(index, *text);
  delete text;
  return value;
}

gal_declaration_progs* program_by_path(String* text, String* module) {
  String file;
  String path = last_record(*text, '/', file);
  delete text;
  return program(new String(path), new String(file), module, nullptr, nullptr, nullptr);
}

gal_declaration_progs* program(String* path, String* file, String* module,
                               std::list<gal_declaration_variables>* inputs,
                               std::list<gal_declaration_variables>* sensors,
                               std::list<gal_declaration_variables>* outputs) {
  gal_declaration_progs* made =
      new gal_declaration_progs(path, file, module, inputs, sensors, outputs);
  delete path;
  delete file;
  delete module;
  delete inputs;
  delete sensors;
  delete outputs;
  return made;
}

gal_tpen_transition* make_transition(int source, int target, int kind, std::list<double>* points,
                                     double* label_x, double* label_y, int priority,
                                     String* trigger, std::list<int>* actions) {
  gal_tpen_transition* made = new gal_tpen_transition(source, target, kind, points, label_x,
                                                      label_y, priority, trigger, actions);
  delete points;
  delete label_x;
  delete label_y;
  delete trigger;
  delete actions;
  return made;
}

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
                 std::list<gal_declaration_pres>* pres, std::list<String>* actions) {
  // A header is read once per file; a second chart cannot arise, but never
  // leak one.
  delete pgal_parser->chart;
  pgal_parser->chart = new gal_tpen_fichier(name, model, types, inputs, sensors, outputs, locals,
                                            variables, runs, functions, constants, pres, actions);
  delete name;
  delete types;
  delete inputs;
  delete sensors;
  delete outputs;
  delete locals;
  delete variables;
  delete runs;
  delete functions;
  delete constants;
  delete pres;
  delete actions;
}

void hand_states(std::list<gal_tpen_etat>* states) {
  if (pgal_parser->chart != nullptr) pgal_parser->chart->parse_etats(states);
  delete states;
}

void hand_transitions(std::list<gal_tpen_transition>* transitions) {
  if (pgal_parser->chart != nullptr) pgal_parser->chart->parse_transitions(transitions);
  delete transitions;
}

void mark_encapsulated() {
  if (pgal_parser->chart != nullptr) pgal_parser->chart->set_encapsulation();
}

void finish_chart() {
  gal_tpen_fichier* chart = pgal_parser->chart;
  if (chart == nullptr) return;
  chart->normalise_diametre_etats();
  chart->update_simple_connexite();
  chart->raj_pre_post_transitions();
}

}  // namespace gal_actions
