// Streams over open file descriptors, and the file that replaces its target
// only once it is complete. Every file the library writes for its user goes
// through here: the writers' modules and drawings (writers/writer_files) and
// the Forms exports; the reader reads its chart and writes its trace with the
// descriptor streams.
#ifndef TESSAN_TEXT_FILE_STREAMS_H
#define TESSAN_TEXT_FILE_STREAMS_H

#include <sys/stat.h>

#include <ostream>
#include <streambuf>
#include <vector>

#include "text/Stringpp.h"

namespace tessan_files {

// Output to an open file descriptor, which it owns; a failed write is kept
// (`error()`) and fails the stream. A write into a pipe that nobody reads any
// more, or past the process's file-size limit, fails like any other: the
// signal it raises is taken back instead of ending the process.
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

// Input from an open file descriptor, which it owns. A failed read ends the
// input and is kept (`error()`).
class descriptor_input : public std::streambuf {
public:
    explicit descriptor_input(int fd);
    ~descriptor_input() override;

    int error() const { return error_; }

protected:
    int_type underflow() override;

private:
    int fd_;
    int error_ = 0;
    std::vector<char> data_;
};

// A file written to a temporary file beside the target and renamed over it
// once complete: a run that fails half-way leaves the old file, and a run
// stopped by a signal whose default action ends the process leaves no
// temporary file. A target that is a symbolic link is replaced where the link
// points; a link to nothing yet creates the file it names. The new file keeps
// the old one's mode, and its owner and group where the process may give
// them (root may).
//
// Refused, with nothing touched: a name holding a NUL byte, a file a chart
// was read from (tessan_files::is_chart_read) unless what is written is a
// chart, and a file that the process could not open for writing: a
// replacement needs only the folder's permission, and would overrule the
// file's.
//
// A target that is no plain file (a device, a pipe) is the user's: it is
// written into, never replaced, and a failed write is a failure. A pipe that
// nobody reads fails at once ("no reader") rather than waiting for one.
class replacing_file {
public:
    // Whether a file that a chart was read from may be replaced. A chart's
    // text may replace it: that is how an edited chart is saved, and the
    // caller named the file to save it in. The saved file is then cared for
    // as the chart that was read. Any other text there (a module, a drawing,
    // reaching it through a link or a second name) would destroy the chart.
    enum class chart_file { kept, saved };

    explicit replacing_file(const String& target, chart_file chart = chart_file::kept);
    ~replacing_file();

    replacing_file(const replacing_file&) = delete;
    replacing_file& operator=(const replacing_file&) = delete;

    bool opened() const { return why_.empty(); }
    std::ostream& stream() { return out_; }

    // Closes the temporary file and puts it in the target's place.
    bool commit();

    // Why the file could not be written, in words for a message.
    String error_text() const { return why_; }

private:
    enum class refuser { file, folder };

    void open_regular(const struct stat& old);
    void open_temporary(const struct stat* old);
    void open_in_place();
    void discard_temporary();
    void fail(int error, refuser who);

    String target_;     // the given name, its links followed
    String temporary_;  // empty when the target is written in place
    int pending_slot_ = -1;
    descriptor_buffer buffer_;
    std::ostream out_;
    String why_;
    chart_file chart_;
    bool replaces_chart_ = false;
    bool committed_ = false;
};

}  // namespace tessan_files

#endif
