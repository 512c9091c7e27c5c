// What a name names on the file system, asked before anything is opened with
// it. The reader, the external-program check, the writers and the Forms
// exports all ask here, so that they agree on which names may be opened.
//
// A name comes from a chart or a caller as a String, which may hold a NUL
// byte; every system call would see only the text before it, which is
// another file. Such a name names nothing and is never handed to the system.
// Links are followed, as open() follows them.
#ifndef TESSAN_TEXT_FILE_CHECKS_H
#define TESSAN_TEXT_FILE_CHECKS_H

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

file_kind kind_of_file(const String& name);

// Whether the name itself is a regular file, not a link to one: the one kind
// of name that a writer may remove after it made or truncated the file.
bool is_plain_file(const String& name);

// Whether a and b are one file (the same inode once links are followed); false
// when either is missing or has a bad name.
bool same_file(const String& a, const String& b);

}  // namespace tessan_files

#endif
