// The outside Esterel v5 front end, as a second reader of every module a test
// writes. It is found through $ESTEREL_CHECK or beside the source tree
// (../shared/tools/esterel-check/cec-strlxml); a test that needs it and finds
// none says that it skipped.
#ifndef TESSAN_TESTS_ESTEREL_CHECK_H
#define TESSAN_TESTS_ESTEREL_CHECK_H

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/test_files.h"

namespace esterel_check {

inline std::string checker() {
    const char* given = std::getenv("ESTEREL_CHECK");
    const std::string path = given && *given
                                 ? std::string(given)
                                 : std::string(TESSAN_SOURCE_DIR) +
                                       "/../shared/tools/esterel-check/cec-strlxml";
    return access(path.c_str(), X_OK) == 0 ? path : std::string();
}

// "" when the checker accepts the module, else what it said (or why it could
// not be asked).
inline std::string refusal(const std::string& module) {
    char folder[] = "/tmp/tessan-esterel-XXXXXX";
    if (!mkdtemp(folder))
        return "no temporary folder for the checker";
    const std::string in = std::string(folder) + "/m.strl", err = std::string(folder) + "/err";
    test_files::spill(in, module);
    const std::string command = "'" + checker() + "' < '" + in + "' > /dev/null 2> '" + err + "'";
    const int status = std::system(command.c_str());
    std::string said = status == 0 ? std::string() : test_files::slurp(err);
    if (status != 0 && said.empty())
        said = "refused without a message";
    std::remove(in.c_str());
    std::remove(err.c_str());
    rmdir(folder);
    return said;
}

}  // namespace esterel_check

// Passes each module through the checker, or ends the test as skipped (after
// its other checks have run) when there is none.
#define EXPECT_ESTEREL_ACCEPTS(module, what)                                              \
    do {                                                                                  \
        if (esterel_check::checker().empty())                                             \
            GTEST_SKIP() << "no Esterel checker (set ESTEREL_CHECK): modules not checked"; \
        EXPECT_EQ(esterel_check::refusal(module), "") << (what);                         \
    } while (0)

#endif
