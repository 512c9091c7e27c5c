// The outside Esterel v5 front end that every module a test writes goes
// through: it parses and resolves names and value types, and prints the
// module's tree as XML.
#ifndef TESSAN_TESTS_ESTEREL_CHECKER_H
#define TESSAN_TESTS_ESTEREL_CHECKER_H

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/reader_files.h"

namespace esterel_checker {

// From $ESTEREL_CHECK or beside the source tree; "" when there is none, and
// the tests that need it say they skipped.
inline std::string checker() {
    const char* given = std::getenv("ESTEREL_CHECK");
    const std::string path =
        given && *given ? given : TESSAN_SOURCE_DIR "/../shared/tools/esterel-check/cec-strlxml";
    return access(path.c_str(), X_OK) == 0 ? path : std::string();
}

const char* const no_checker = "no Esterel checker (set ESTEREL_CHECK): modules not checked";

// "" when the checker accepts the module, else what it said; `xml` receives
// the tree that it prints.
inline std::string refusal(const std::string& module, std::string* xml = nullptr) {
    const std::string in = reader_files::scratch_file("checked.strl");
    test_files::spill(in, module);
    const int code =
        std::system(("'" + checker() + "' <'" + in + "' >'" + in + ".xml' 2>'" + in + ".err'").c_str());
    if (xml)
        *xml = test_files::slurp(in + ".xml");
    return code == 0 ? std::string() : "refused: " + test_files::slurp(in + ".err");
}

}  // namespace esterel_checker

#endif
