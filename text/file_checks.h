// What a name or an open descriptor is on the file system. The reader, the
// external-program check, the writers and the Forms exports all ask here, so
// that they agree on which files may be read, truncated or replaced.
//
// Decide on the descriptor once the file is open, never on the name before:
// between a look at a name and its opening, another process may put a link
// or another file there. The questions about names are for messages and for
// choosing how to open, never for letting a write through.
//
// A name comes from a chart or a caller as a String, which may hold a NUL
// byte; every system call would see only the text before it, which is
// another file. Such a name names nothing and is never handed to the system.
#ifndef TESSAN_TEXT_FILE_CHECKS_H
#define TESSAN_TEXT_FILE_CHECKS_H

#include <sys/stat.h>

#include "text/Stringpp.h"

namespace tessan_files {

enum class file_kind {
  bad_name,   // holds a NUL byte: nothing was asked of the system
  none,       // nothing there that can be seen (a dangling link included)
  regular,
  directory,
  fifo,
  device,     // character or block device
  other       // a socket, say
};

bool holds_nul(const String& name);

file_kind kind_of(const struct stat& status);

// The kind of what the name names, links followed, as open() follows them.
file_kind kind_of_file(const String& name);

// Whether the name itself is a regular file, not a link to one: the one kind
// of name that a writer may remove after it made or truncated the file.
bool is_plain_file(const String& name);

bool same_file(const struct stat& a, const struct stat& b);

// The files that charts were read from in this process. No writer replaces
// or truncates one of them while it is as it was read: a link or a second
// name that leads a module or a trace there would destroy the chart.
void note_chart_read(int descriptor);
void note_chart_read(const struct stat& status);
bool is_chart_read(const struct stat& status);

}  // namespace tessan_files

#endif
