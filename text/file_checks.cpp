#include "text/file_checks.h"

#include <map>
#include <utility>

namespace tessan_files {

bool holds_nul(const String& name) { return name.find('\0') != String::npos; }

file_kind kind_of(const struct stat& status) {
  if (S_ISREG(status.st_mode)) return file_kind::regular;
  if (S_ISDIR(status.st_mode)) return file_kind::directory;
  if (S_ISFIFO(status.st_mode)) return file_kind::fifo;
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return file_kind::device;
  return file_kind::other;
}

file_kind kind_of_file(const String& name) {
  if (holds_nul(name)) return file_kind::bad_name;
  struct stat st;
  if (stat(name.c_str(), &st) != 0) return file_kind::none;
  return kind_of(st);
}

bool is_plain_file(const String& name) {
  struct stat st;
  return !holds_nul(name) && lstat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

namespace {

// The charts read, by inode, with their modification time as they were read:
// a file that later gets the number of a removed chart, or a chart written
// since, is not taken for the chart that was read. A file read again, or a
// number given to another file, takes the place of what was noted, so that
// there are never more than files read.
using inode = std::pair<dev_t, ino_t>;
using modified = std::pair<time_t, long>;

std::map<inode, modified>& charts_read() {
  static std::map<inode, modified> charts;
  return charts;
}

}  // namespace

void note_chart_read(int descriptor) {
  struct stat st;
  if (fstat(descriptor, &st) == 0) note_chart_read(st);
}

void note_chart_read(const struct stat& status) {
  if (S_ISREG(status.st_mode))
    charts_read()[inode(status.st_dev, status.st_ino)] =
        modified(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
}

bool is_chart_read(const struct stat& status) {
  if (!S_ISREG(status.st_mode)) return false;
  const auto chart = charts_read().find(inode(status.st_dev, status.st_ino));
  return chart != charts_read().end() && chart->second == modified(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
}

}  // namespace tessan_files
