// Whole files for the tests: fixtures and the files a run leaves are read and
// compared as bytes, so a stray line end or byte shows as a difference.
#ifndef TESSAN_TESTS_TEST_FILES_H
#define TESSAN_TESTS_TEST_FILES_H

#include <fstream>
#include <sstream>
#include <string>

namespace test_files {

// The whole file, or "" when it cannot be read. Streaming the buffer (rather
// than iterating it) also turns a read error, a directory say, into "".
inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    return text.str();
}

inline void spill(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace test_files

#endif
