#include "reader/parse_gal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <istream>
#include <memory>

#include "parse_gal.tab.hpp"
#include "reader/gal_actions.h"
#include "reader/gal_scanner.h"
#include "text/file_checks.h"
#include "text/file_streams.h"

class_gal_parser* pgal_parser = nullptr;

class_gal_parser::class_gal_parser() { pgal_parser = this; }

// A context that is gone is no context: nothing may reach it afterwards.
class_gal_parser::~class_gal_parser() {
  if (pgal_parser == this) pgal_parser = nullptr;
}

int class_gal_parser::parse(std::ostream& trace_stream, int debug_flag) {
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

// The chart opens without waiting, so that what the name turned out to be is
// judged first; then its reads wait for data again.
bool wait_on_reads(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// A pipe opened without waiting may have no writer yet, and a first read
// would find its end: its writer is waited for, as a waiting open would.
bool writer_came(int fd) {
  pollfd pipe{fd, POLLIN, 0};
  int ready;
  while ((ready = poll(&pipe, 1, -1)) < 0 && errno == EINTR) {
  }
  return ready > 0;
}

// The chart's descriptor and what it is, or -1. Only a file that ends may be
// read: a directory only fails at its first read, which the scanner would
// take for a fatal input failure, and a device (a link to /dev/zero, say)
// never ends while the trace grows with every byte. A pipe ends when its
// writer closes it, and is read where `pipes` says so.
int open_chart(const String& name, bool pipes, struct stat& st) {
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || (pipes && S_ISFIFO(st.st_mode) && writer_came(fd))) &&
      wait_on_reads(fd))
    return fd;
  close(fd);
  return -1;
}

// Why `st` may not be the trace, which is emptied: it must be a plain file
// (a device or a pipe in its place is the user's) and no chart, neither the
// one being read, through a link or another name of the same file, nor one
// read before.
const char* trace_refusal(const struct stat& st, const struct stat& chart) {
  if (!S_ISREG(st.st_mode)) return " is not a regular file";
  if (tessan_files::same_file(st, chart)) return " is the chart itself";
  if (tessan_files::is_chart_read(st)) return " is a chart read before";
  return nullptr;
}

void no_trace(const String& name, const String& why) {
  std::cerr << "WARNING: no trace written: " << name << why << std::endl;
}

// The trace's descriptor, emptied, or -1 once said why not: the chart is read
// without a trace then. Judged once open and emptied only then; a last link
// is not followed where what it leads to would be refused.
int open_trace(const String& name, const struct stat& chart) {
  const int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = open(name.c_str(), flags | O_NOFOLLOW, 0666);
  if (fd < 0 && errno == ELOOP) {
    struct stat target;
    const char* refusal = stat(name.c_str(), &target) == 0 ? trace_refusal(target, chart) : nullptr;
    if (refusal) {
      no_trace(name, refusal);
      return -1;
    }
    fd = open(name.c_str(), flags, 0666);
  }
  struct stat st;
  if (fd < 0) {
    const int error = errno;
    // A pipe that nobody reads does not open: said as what it is.
    no_trace(name, stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) ? String(" is not a regular file")
                                                                          : ": " + String(std::strerror(error)));
    return -1;
  }
  const char* refusal = fstat(fd, &st) != 0 ? " cannot be looked at" : trace_refusal(st, chart);
  if (!refusal && ftruncate(fd, 0) != 0) refusal = " cannot be emptied";
  if (refusal) {
    no_trace(name, refusal);
    close(fd);
    return -1;
  }
  return fd;
}

gal_tpen_fichier* read_chart(const String& name, bool pipes) {
  class_gal_parser context;
  std::cout << "reading " << name << std::endl;
  // A name holding a NUL byte would reach the system cut short, naming
  // another file: nothing is opened.
  struct stat chart_status;
  const int chart_fd = tessan_files::holds_nul(name) ? -1 : open_chart(name, pipes, chart_status);
  if (chart_fd < 0) {
    std::cerr << "FILE NOT FOUND !" << std::endl;
    return nullptr;
  }
  tessan_files::note_chart_read(chart_fd);
  tessan_files::descriptor_input chart_buffer(chart_fd);
  std::istream chart_file(&chart_buffer);
  const String trace_name = name + ".log";
  const int trace_fd = open_trace(trace_name, chart_status);
  tessan_files::descriptor_buffer trace_buffer;
  trace_buffer.attach(trace_fd);
  std::ostream trace(&trace_buffer);
  galFlexLexer scanner(&chart_file, &trace);
  context.scanner = &scanner;
  int status = context.parse(trace, 1);
  context.scanner = nullptr;
  if (trace_fd >= 0 && !trace_buffer.close_file())
    std::cerr << "WARNING: the trace " << trace_name << " is incomplete: " << std::strerror(trace_buffer.error())
              << std::endl;
  std::unique_ptr<gal_tpen_fichier> chart(context.chart);
  context.chart = nullptr;
  // A read that failed half-way ended the text early: the chart is not whole.
  if (status != 0 || chart_buffer.error() != 0) {
    std::cerr << "ERROR about loading file : " << name
              << (chart_buffer.error() != 0 ? String(": ") + std::strerror(chart_buffer.error()) : String())
              << std::endl;
    return nullptr;
  }
  return chart.release();
}

}  // namespace

gal_tpen_fichier* parse(const String& name) { return read_chart(name, true); }

gal_tpen_fichier* parse_plain_file(const String& name) { return read_chart(name, false); }
