// The chart reader: `parse()` turns one .gal chart file into a new chart.
//
// `parse(name)` opens the chart file, then a trace file named name + ".log",
// runs the scanner `galFlexLexer` (reader/lex.gal.l) and the LALR(1) parser
// `galparse` (reader/parse_gal.y) over it, and returns the chart the grammar
// actions built, or null after a missing file or a syntax error. The chart
// returned belongs to the caller; nothing else the parser built outlives the
// read. Diagnostics go to standard error, "reading <name>" to standard output.
//
// One read at a time in the process: the parser, the scanner and the grammar
// actions meet through the global `pgal_parser`, which points at the context
// of the read under way, and is null again once `parse()` has returned.
#ifndef TESSAN_READER_PARSE_GAL_H
#define TESSAN_READER_PARSE_GAL_H

#include <ostream>

#include "chart/gal_norm.h"
#include "text/Stringpp.h"

class galFlexLexer;

// The context of one read.
class class_gal_parser {
public:
  int debug = 0;                     // non-zero: rule trace lines are written
  std::ostream* trace = nullptr;     // trace file; also gets the skipped bytes
  galFlexLexer* scanner = nullptr;   // token source, owned by parse()
  gal_tpen_fichier* chart = nullptr; // set once the header has been read

  class_gal_parser();
  ~class_gal_parser();

  // Runs galparse with this trace stream and debug flag; galparse's result.
  int parse(std::ostream& trace_stream, int debug_flag);
};

extern class_gal_parser* pgal_parser;

gal_tpen_fichier* parse(const String& name);

// parse() for a reader that must not wait: only a plain file is read, and a
// pipe is refused like a device (the external-program check, which reads
// the files that a chart names).
gal_tpen_fichier* parse_plain_file(const String& name);

// 0: the whole file was read; 1: syntax error; 2: "memory exhausted".
int galparse();
void galerror(const char* message);
int galwrap();

// One rule trace line, "n[,m] --> text", when debug is non-zero.
void gal_debuger_law(int n, int m, const char* text, int debug, std::ostream& trace);

// A display name for a token code ("OTHER" for codes without one).
String type_lexeme(int token);

#endif
