// Whole files for the tests: fixtures and the files a run leaves are read and
// compared as bytes, so a stray line end or byte shows as a difference.
#ifndef TESSAN_TESTS_TEST_FILES_H
#define TESSAN_TESTS_TEST_FILES_H

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
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

}  // namespace test_files

#endif
