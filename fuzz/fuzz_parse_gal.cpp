// parse() on arbitrary bytes: whatever the file holds, the reader must return
// a chart or null without a crash, an out-of-table read, undefined behaviour
// or a leak. Each input goes through a real file, as in every other read.
// A chart that reads is then checked against its external programs, whose
// paths the input chose: only paths that stay inside the fuzz folder are
// followed, since every read leaves a trace file beside its chart.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <streambuf>

#include "reader/parse_gal.h"

namespace {

// Swallows the reader's "reading ..." and syntax error lines.
class discard_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

String chart_dir;
String chart_name;

// Everything the reads left in the fuzz folder (traces of programs' charts
// named by the input), and the chart too when `all`.
void empty_chart_dir(bool all) {
  DIR* dir = opendir(chart_dir.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const String name = entry->d_name;
    if (name == "." || name == ".." || (!all && name == "chart.gal")) continue;
    std::remove((chart_dir + "/" + name).c_str());
  }
  closedir(dir);
}

void remove_chart_dir() {
  empty_chart_dir(true);
  rmdir(chart_dir.c_str());
}

// A relative path without a ".." component stays in the current folder.
bool stays_inside(const String& path) {
  if (!path.empty() && path[0] == '/') return false;
  String rest = path;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    if (rest.substr(0, slash) == "..") return false;
    rest = slash == String::npos ? String() : rest.substr(slash + 1);
  }
  return true;
}

void check_programs_inside(const gal_tpen_fichier& chart) {
  for (int i = 0; i < chart.nbr_progs_externes(); ++i) {
    const gal_declaration_progs& program = chart.ma_table_progs_externes()[i];
    if (!stays_inside(program.chemin()) || !stays_inside(program.nom_fichier())) return;
  }
  const int back = open(".", O_RDONLY | O_DIRECTORY);
  if (back < 0 || chdir(chart_dir.c_str()) != 0) {
    if (back >= 0) close(back);
    return;
  }
  String report;
  chart.test_external_progs_io(report);
  if (fchdir(back) != 0) std::abort();
  close(back);
  empty_chart_dir(false);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static discard_buffer sink;
  std::cout.rdbuf(&sink);
  std::cerr.rdbuf(&sink);
  // tmpfs where there is one: every input makes a chart file and a trace.
  String pattern = String(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                   "/tessan-fuzz-XXXXXX";
  const char* dir = mkdtemp(&pattern[0]);
  if (dir == nullptr) {
    std::perror("fuzz_parse_gal: mkdtemp");
    return 1;
  }
  chart_dir = dir;
  std::atexit(remove_chart_dir);
  chart_name = String(dir) + "/chart.gal";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream chart(chart_name.c_str(), std::ios::binary | std::ios::trunc);
    chart.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::unique_ptr<gal_tpen_fichier> chart(parse(chart_name));
  if (chart) check_programs_inside(*chart);
  return 0;
}
