// Pieces shared by the chart writers that write a whole file from a chart:
// the file that replaces its target only once complete, the check of every
// index a writer follows, and the transitions of each concurrent automaton.
//
// A writer that uses them writes nothing over a good file when it fails: the
// text goes to a temporary file beside the target, renamed over it at the end,
// and a chart whose indices point outside their tables is refused first.
// Every name a writer is given reaches the file system through here.
#ifndef TESSAN_WRITERS_WRITER_FILES_H
#define TESSAN_WRITERS_WRITER_FILES_H

#include <functional>
#include <ostream>
#include <vector>

#include "chart/gal_norm.h"
#include "text/Stringpp.h"
#include "text/file_streams.h"

namespace tessan_writers {

// The file that replaces its target only once complete lives with the text
// toolkit, under the Forms toolkit, whose exports use it too.
using tessan_files::descriptor_buffer;
using tessan_files::replacing_file;

// Writes `file` whole with `write`, or not at all; a file that cannot be
// written is reported on standard error. 1 when written, 0 otherwise. A file
// that a chart was read from is refused, unless `chart` says that the text is
// a chart's.
int write_whole_file(const String& file, const std::function<void(std::ostream&)>& write,
                     replacing_file::chart_file chart = replacing_file::chart_file::kept);

// The text with its control characters escaped ("\n", "\t", "\x1b"), so that
// a name or a trigger that holds a line end keeps one problem on one line.
String printable(const String& text);

// "what index, outside the count table": how a dangling index is described.
String outside(const char* what, int index, int count, const char* table);

// True, with `fault` describing the first one, when one of the action indices
// of `owner` lies outside the chart's action table.
bool action_fault(const gal_tpen_fichier& chart, const std::list<int>& actions,
                  const String& owner, String& fault);

// Walks every index held by the chart's states (actions, program), its
// transitions in use (source, target, actions) and its concurrent automata
// (states); the first one outside its table is described in `fault` and the
// answer is true. For the writers that follow all of them.
bool first_dangling_index(const gal_tpen_fichier& chart, String& fault);

// Writes `file` whole with `write`, or not at all: a chart with a dangling
// index is refused (on standard error, under the writer's name) and a file
// that cannot be written is reported. 1 when written, 0 otherwise.
int write_chart_file(const gal_tpen_fichier& chart, const String& file, const char* writer,
                     const std::function<void(std::ostream&)>& write);

// For each concurrent automaton, in the chart's order, the transitions in use
// whose source or target is one of its states, in index order. Linear in the
// size of the chart, whatever the number of automata.
std::vector<std::vector<int>> touching_transitions(const gal_tpen_fichier& chart);

}  // namespace tessan_writers

#endif
