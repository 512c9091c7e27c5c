// File names, directories and the edit distance. Paths use '/' only; the
// current directory is handed out in that form too.
#include "text/Stringpp.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <vector>

String supress_filename_extension(const String& path) {
  std::size_t slash = path.rfind('/');
  std::size_t from = slash == String::npos ? 0 : slash + 1;
  std::size_t d = path.rfind('.');
  if (d == String::npos || d < from) return path;
  if (d + 1 == path.size()) return path.substr(0, d);
  if (path[d + 1] == '/' || path[d + 1] == '\\') return path;
  if (d > 0 && path[d - 1] == '.') return path;
  return path.substr(0, d);
}

String extract_filename_name(const String& path) {
  std::size_t slash = path.rfind('/');
  return slash == String::npos ? path : path.substr(slash + 1);
}

String extract_filename_path(const String& path) {
  std::size_t slash = path.rfind('/');
  if (slash == String::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A directory deeper than the historic 1024 characters is still returned
// whole; the empty text only when the directory cannot be read at all.
String my_current_directory() {
  std::vector<char> buf(1025);
  while (getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return String();
    buf.resize(buf.size() * 2);
  }
  String dir(buf.data());
  for (char& c : dir)
    if (c == '\\') c = '/';
  return dir;
}

namespace {
// A trailing '/' names the same directory; the root keeps its one '/'.
String without_trailing_slashes(String p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

std::vector<String> components(const String& p) {
  std::vector<String> parts;
  if (p == "/") {
    parts.emplace_back();
    return parts;
  }
  String rest = p;
  do {
    parts.push_back(next_record(rest, '/', rest));
  } while (!rest.empty());
  return parts;
}

// A component that stays where it is.
bool names_here(const String& component) { return component.empty() || component == "."; }

String join(const std::vector<String>& parts) {
  String r;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) r += '/';
    r += parts[i];
  }
  return r;
}
}  // namespace

String relative_directory_path(const String& target, const String& from) {
  String t = without_trailing_slashes(target);
  String base = without_trailing_slashes(from.empty() ? my_current_directory() : from);
  if (t == base) return ".";
  std::vector<String> tp = components(t), bp = components(base);
  std::size_t shared = 0;
  while (shared < tp.size() && shared < bp.size() && tp[shared] == bp[shared]) ++shared;
  // Two relative paths start from the same directory: a chain of ".." leads
  // from one to the other even when they share nothing, and a "." or an
  // empty component climbs nothing and is left out. A ".." of the base that
  // is not shared leaves a directory whose name neither text holds: such a
  // base is read as the others are.
  const bool both_relative = (t.empty() || t[0] != '/') && (base.empty() || base[0] != '/');
  const bool same_start = both_relative && std::find(bp.begin() + shared, bp.end(), "..") == bp.end();
  // Otherwise, with nothing in common no chain of ".." can lead from base to
  // target, so the target is the best answer (an absolute one still names the
  // right place).
  if (shared == 0 && !same_start) return target;
  String up;
  for (std::size_t i = shared; i < bp.size(); ++i)
    if (!same_start || !names_here(bp[i])) up += up.empty() ? ".." : "/..";
  std::vector<String> down(tp.begin() + shared, tp.end());
  if (same_start) down.erase(std::remove_if(down.begin(), down.end(), names_here), down.end());
  String p1 = join(down);
  if (p1.empty() && up.empty()) return ".";
  if (p1.empty()) return up;
  if (up.empty()) return p1;
  return up + "/" + p1;
}

int levenshtein(const String& a, const String& b) {
  if (a.size() + 1 > 999 || b.size() + 1 > 999) {
    std::cerr << "chaines trop grandes!" << std::endl;
    return -1;
  }
  // Two rows of the table are enough: each row reads only the one above.
  std::vector<int> above(b.size() + 1), row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) above[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    row[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= b.size(); ++j) {
      int best = above[j] + 1;
      if (row[j - 1] + 1 < best) best = row[j - 1] + 1;
      int diag = above[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      if (diag < best) best = diag;
      row[j] = best;
    }
    above.swap(row);
  }
  return above[b.size()];
}
