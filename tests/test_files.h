// Whole files for the tests: fixtures and the files a run leaves are read and
// compared as bytes, so a stray line end or byte shows as a difference.
#ifndef TESSAN_TESTS_TEST_FILES_H
#define TESSAN_TESTS_TEST_FILES_H

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

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

// A fixture's text, a path under tests/data/. A missing fixture is a failure,
// never an empty text that an empty output would match.
inline std::string fixture(const std::string& name) {
    const std::string path = std::string(TESSAN_TEST_DATA) + "/" + name;
    if (!std::ifstream(path))
        ADD_FAILURE() << "missing fixture: " << path;
    return slurp(path);
}

// A whole output against its fixture. With TESSAN_WRITE_FIXTURES set, a
// fixture that differs is written instead and the test fails, so that it is
// read over before it is committed: a rewritten fixture never passes.
inline void expect_fixture(const std::string& name, const std::string& actual) {
    const std::string path = std::string(TESSAN_TEST_DATA) + "/" + name;
    if (std::getenv("TESSAN_WRITE_FIXTURES") && (!std::ifstream(path) || slurp(path) != actual)) {
        spill(path, actual);
        ADD_FAILURE() << "fixture written, to be read over: " << path;
        return;
    }
    EXPECT_EQ(actual, fixture(name)) << "expected output: " << path;
}

// A table of cases, one a line: `name "input" ... = "expected" ...`, texts quoted with the
// escapes \" \\ \n \t \0 and \xHH (two digits); blank lines and '#' lines are comments.
struct table_row {
    std::string line, name;
    std::vector<std::string> in, out;
};

inline char unescape(const std::string& line, std::size_t& i) {
    static const std::map<char, char> named{{'n', '\n'}, {'t', '\t'}, {'0', '\0'}};
    if (line[i] == 'x')
        return static_cast<char>(std::stoi(line.substr((i += 2) - 1, 2), nullptr, 16));
    return named.count(line[i]) != 0 ? named.at(line[i]) : line[i];
}

inline std::vector<table_row> read_table(const std::string& path) {
    std::vector<table_row> rows;
    std::istringstream table(slurp(path));
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        table_row row{line, line.substr(0, line.find(" \"")), {}, {}};
        std::vector<std::string>* side = &row.in;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '=')
                side = &row.out;
            if (line[i] != '"')
                continue;
            std::string text;
            while (++i < line.size() && line[i] != '"')
                text += line[i] != '\\' ? line[i] : unescape(line, ++i);
            side->push_back(text);
        }
        rows.push_back(row);
    }
    return rows;
}

using table_call = std::function<std::vector<std::string>(const std::vector<std::string>& in)>;

// Each row of the table through the call of its name: its results, then what
// it wrote on stderr if anything, are the row's expected texts.
inline void check_table(const std::string& path, const std::map<std::string, table_call>& calls) {
    const std::vector<table_row> rows = read_table(path);
    EXPECT_FALSE(rows.empty()) << path;
    for (const table_row& row : rows) {
        ASSERT_EQ(calls.count(row.name), 1u) << row.line;
        testing::internal::CaptureStderr();
        std::vector<std::string> got = calls.at(row.name)(row.in);
        const std::string err = testing::internal::GetCapturedStderr();
        if (!err.empty())
            got.push_back(err);
        EXPECT_EQ(got, row.out) << row.line;
    }
}

// The file kind a test made, read back without following a link.
inline bool is_device(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A character device of the test's own, a copy of a system one (1,3 null,
// 1,5 zero, 1,7 full), never the system's node. Only root may make one: ""
// when made, else why not.
inline std::string make_device(const std::string& path, unsigned minor) {
    if (mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0)
        return "";
    return "cannot make a device (" + std::string(std::strerror(errno)) + "): needs root";
}

// A small tmpfs mounted on `dir` (a folder of the test's own) for the scope.
// Only root may mount one: `why_not` says what stopped it, and the test skips.
struct small_tmpfs {
    explicit small_tmpfs(const std::string& where) : dir(where) {
        if (geteuid() != 0)
            why_not = "mounting a tmpfs needs root";
        else if (mount("tessan-test", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
            why_not = "cannot mount a tmpfs on " + dir + ": " + std::strerror(errno);
    }
    ~small_tmpfs() {
        if (mounted())
            umount2(dir.c_str(), MNT_DETACH);
    }
    bool mounted() const { return why_not.empty(); }
    // Takes every free block with one file, so that the next write fails.
    void fill() const {
        const int fd = open((dir + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::vector<char> block(4096, 'f');
        while (fd >= 0 && write(fd, block.data(), block.size()) > 0) {
        }
        close(fd);
    }
    std::string dir, why_not;
};

// Runs `body` in a child process as the user nobody (when run by root; by
// anyone else, as that user), for what root may do and a user may not, such
// as writing a file its owner keeps read-only. The child's files and folders
// must let nobody in. What body returned, or -1 when the child did not end
// by itself (125: it could not become nobody).
inline int as_nobody(const std::function<int()>& body) {
    const passwd* nobody = getpwnam("nobody");
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (!nobody || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
                               setuid(nobody->pw_uid) != 0))
            _exit(125);
        _exit(body());
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace test_files

#endif
