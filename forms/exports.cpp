// The files the user asks the toolkit for: the report viewer's exports and the
// long-message window's copy.
#include "forms/forms_private.h"

#include <cstdio>

#include "text/file_checks.h"

namespace tessan_forms {

bool write_export(const String& name, const std::function<void(std::fstream&)>& write) {
    if (tessan_files::holds_nul(name))
        return false;
    std::fstream out(name, std::ios::out | std::ios::trunc);
    if (!out)
        return false;
    write(out);
    out.close();
    if (out)
        return true;
    // Only the name itself is looked at: through a link the cut text is in
    // the user's file, and removing the link would not undo that.
    if (tessan_files::is_plain_file(name))
        std::remove(name.c_str());
    return false;
}

}  // namespace tessan_forms
