#include "text/file_checks.h"

#include <sys/stat.h>

namespace tessan_files {

bool holds_nul(const String& name) { return name.find('\0') != String::npos; }

file_kind kind_of_file(const String& name) {
  if (holds_nul(name)) return file_kind::bad_name;
  struct stat st;
  if (stat(name.c_str(), &st) != 0) return file_kind::none;
  if (S_ISREG(st.st_mode)) return file_kind::regular;
  if (S_ISDIR(st.st_mode)) return file_kind::directory;
  if (S_ISFIFO(st.st_mode)) return file_kind::fifo;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return file_kind::device;
  return file_kind::other;
}

bool is_plain_file(const String& name) {
  struct stat st;
  return !holds_nul(name) && lstat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool same_file(const String& a, const String& b) {
  if (holds_nul(a) || holds_nul(b)) return false;
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

}  // namespace tessan_files
