// parse() on arbitrary bytes: whatever the file holds, the reader must return
// a chart or null without a crash, an out-of-table read, undefined behaviour
// or a leak. Each input goes through a real file, as in every other read.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
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

void remove_chart_dir() {
  std::remove(chart_name.c_str());
  std::remove((chart_name + ".log").c_str());
  rmdir(chart_dir.c_str());
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
  delete parse(chart_name);
  return 0;
}
