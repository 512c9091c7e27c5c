#include "reader/parse_gal.h"

#include <cstring>
#include <iostream>

#include "parse_gal.tab.hpp"
#include "reader/gal_actions.h"
#include "reader/gal_scanner.h"
#include "text/file_checks.h"

class_gal_parser* pgal_parser = nullptr;

class_gal_parser::class_gal_parser() { pgal_parser = this; }

// A context that is gone is no context: nothing may reach it afterwards.
class_gal_parser::~class_gal_parser() {
  if (pgal_parser == this) pgal_parser = nullptr;
}

int class_gal_parser::parse(std::ofstream& trace_stream, int debug_flag) {
  trace = &trace_stream;
  debug = debug_flag;
  return galparse();
}

int gallex(GALSTYPE* /*value*/) { return pgal_parser->scanner->yylex(); }

void galerror(const char* message) { std::cerr << message << std::endl; }

int galwrap() { return 1; }

void gal_debuger_law(int n, int m, const char* text, int debug, std::ostream& trace) {
  gal_actions::trace_line(n, m, text, std::strlen(text), debug, trace);
}

String type_lexeme(int token) {
  switch (token) {
    case N_S_TOKEN: return "Normal Star";
    case F_S_TOKEN: return "Final Star";
    case DEUX_POINTS_TOKEN: return "DEUX_POINTS";
    case VIRGULE_TOKEN: return "VIRGULE";
    case POINT_VIRGULE_TOKEN: return "POINT_VIRGULE";
    case PAR_OUVRANTE_TOKEN: return "(";
    case PAR_FERMANTE_TOKEN: return ")";
    case NAME_TOKEN: return "NAME";
    case TYPE_TOKEN: return "TYPE";
    case INPUT_TOKEN: return "INPUT";
    case SENSOR_TOKEN: return "SENSOR";
    case OUTPUT_TOKEN: return "OUTPUT";
    case LOCAL_TOKEN: return "LOCAL";
    case VARIABLE_TOKEN: return "VARIABLE";
    case RUN_TOKEN: return "RUN";
    case FUNCTION_TOKEN: return "FUNCTION";
    case CONSTANT_TOKEN: return "CONSTANT";
    case STAR_TOKEN: return "STAR";
    case TRANSITION_TOKEN: return "TRANSITION";
    case ENCAPSULATION_TOKEN: return "ENCAPSULATION";
    case TO_TOKEN: return "TO";
    case FROM_TOKEN: return "FROM";
    case BY_TOKEN: return "BY";
    case NUMBER_TOKEN: return "NUMBER";
    case STRING_TOKEN: return "STRING";
    case WORD_TOKEN: return "WORD";
    default: return "OTHER";
  }
}

namespace {

using tessan_files::file_kind;

// Only a file that ends may be read: a directory opens as a stream on this
// platform and only fails at the first read, which the scanner would take
// for a fatal input failure, and a device (a link to /dev/zero, say) never
// ends while the trace grows with every byte. A pipe is read: it ends when
// its writer closes it.
bool open_chart(const String& name, std::ifstream& chart) {
  const file_kind kind = tessan_files::kind_of_file(name);
  if (kind != file_kind::regular && kind != file_kind::fifo) return false;
  chart.open(name.c_str());
  if (!chart.is_open()) return false;
  chart.peek();
  return !chart.bad();
}

// The trace is truncated when it opens, so it must never be the chart being
// read (through a link or another name of the same file) nor anything but a
// plain file: a device or a pipe in its place is the user's, not ours. The
// read goes on without a trace then.
void open_trace(const String& chart, std::ofstream& trace) {
  const String name = chart + ".log";
  const file_kind kind = tessan_files::kind_of_file(name);
  const char* refusal = nullptr;
  if (kind != file_kind::regular && kind != file_kind::none)
    refusal = "is not a regular file";
  else if (tessan_files::same_file(name, chart))
    refusal = "is the chart itself";
  if (refusal) {
    std::cerr << "WARNING: no trace written: " << name << ' ' << refusal << std::endl;
    return;
  }
  trace.open(name.c_str(), std::ios::out | std::ios::trunc);
}

}  // namespace

gal_tpen_fichier* parse(const String& name) {
  class_gal_parser context;
  std::cout << "reading " << name << std::endl;
  // A name holding a NUL byte would reach the system cut short, naming
  // another file, which the trace would then empty: nothing is opened.
  if (tessan_files::holds_nul(name)) {
    std::cerr << "FILE NOT FOUND !" << std::endl;
    return nullptr;
  }
  std::ifstream chart_file;
  bool readable = open_chart(name, chart_file);
  std::ofstream trace;
  open_trace(name, trace);
  if (!readable) {
    std::cerr << "FILE NOT FOUND !" << std::endl;
    return nullptr;
  }
  galFlexLexer scanner(&chart_file, &trace);
  context.scanner = &scanner;
  int status = context.parse(trace, 1);
  context.scanner = nullptr;
  gal_tpen_fichier* chart = context.chart;
  context.chart = nullptr;
  if (status != 0) {
    std::cerr << "ERROR about loading file : " << name << std::endl;
    delete chart;
    return nullptr;
  }
  return chart;
}
