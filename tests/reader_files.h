// Files for the reader and .gal writer tests: fixtures, scratch files that go
// away with the test program, and parse() with its outputs captured.
#ifndef TESSAN_TESTS_READER_FILES_H
#define TESSAN_TESTS_READER_FILES_H

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "chart/gal_norm.h"
#include "tests/test_files.h"
#include "reader/parse_gal.h"

namespace reader_files {

using test_files::slurp;
using test_files::spill;

// One scratch folder per test program, removed when the program ends; each
// call gives a new file name in it (parse() writes its trace beside).
inline String scratch_file(const char* stem) {
  static const std::filesystem::path dir = [] {
    char pattern[] = "/tmp/tessan-reader-XXXXXX";
    const char* made = mkdtemp(pattern);
    // Open to other users, for the reads that run as nobody.
    if (made != nullptr) chmod(made, 0755);
    return std::filesystem::path(made != nullptr ? made : "");
  }();
  static const struct cleanup {
    ~cleanup() {
      std::error_code ignored;
      if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
  } at_exit;
  static int count = 0;
  const std::filesystem::path base = dir.empty() ? std::filesystem::path(".") : dir;
  return (base / (std::to_string(++count) + "-" + stem)).string();
}

// What one call of parse() left behind.
struct reading {
  std::unique_ptr<gal_tpen_fichier> chart;
  String name;  // the chart file name handed to parse()
  String out;
  String err;
  String trace;
};

inline reading read_file(const String& name) {
  reading r;
  r.name = name;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  r.chart.reset(parse(name));
  r.err = testing::internal::GetCapturedStderr();
  r.out = testing::internal::GetCapturedStdout();
  r.trace = slurp(name + ".log");
  return r;
}

inline reading read_text(const String& text) {
  String name = scratch_file("chart.gal");
  spill(name, text);
  return read_file(name);
}

inline String written(const gal_tpen_fichier& chart, const String& module) {
  String name = scratch_file("written.gal");
  chart.put_gal(name, module);
  return slurp(name);
}

}  // namespace reader_files

#endif
