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

#include <sys/types.h>

#include <functional>
#include <ostream>
#include <streambuf>
#include <vector>

#include "chart/gal_norm.h"
#include "text/Stringpp.h"

namespace tessan_writers {

// Output to an open file descriptor, which it owns; a failed write is kept
// (`error()`) and fails the stream.
class descriptor_buffer : public std::streambuf {
public:
    descriptor_buffer();
    ~descriptor_buffer() override;

    void attach(int fd) { fd_ = fd; }
    // Writes what is buffered and closes: false when anything failed.
    bool close_file();
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    int fd_ = -1;
    int error_ = 0;
    std::vector<char> data_;
};

// A file written to a temporary file beside the target and renamed over it
// once complete: a run that fails half-way leaves the old file, and a run
// stopped by SIGINT, SIGTERM or SIGHUP leaves no temporary file. A target that is a
// symbolic link is replaced where the link points, and keeps its mode; a
// link to nothing yet creates the file it names. A target that is no plain
// file (a device, a pipe) is the user's: it is written into, never replaced,
// and a failed write is a failure. A name holding a NUL byte opens nothing.
class replacing_file {
public:
    explicit replacing_file(const String& target);
    ~replacing_file();

    replacing_file(const replacing_file&) = delete;
    replacing_file& operator=(const replacing_file&) = delete;

    bool opened() const { return error_ == 0; }
    std::ostream& stream() { return out_; }

    // Closes the temporary file and puts it in the target's place.
    bool commit();

    String error_text() const;

private:
    void open_temporary();
    void open_in_place();
    void discard_temporary();

    String target_;     // the given name, its links followed
    String temporary_;  // empty when the target is written in place
    int pending_slot_ = -1;
    descriptor_buffer buffer_;
    std::ostream out_;
    int error_ = 0;
    bool committed_ = false;
};

// Writes `file` whole with `write`, or not at all; a file that cannot be
// written is reported on standard error. 1 when written, 0 otherwise.
int write_whole_file(const String& file, const std::function<void(std::ostream&)>& write);

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
