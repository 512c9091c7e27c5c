// The files the user asks the toolkit for: the report viewer's exports and the
// long-message window's copy.
#include "forms/forms_private.h"

#include "text/file_streams.h"

namespace tessan_forms {

String write_export(const String& name, const std::function<void(std::ostream&)>& write) {
    tessan_files::replacing_file output(name);
    if (output.opened())
        write(output.stream());
    if (output.opened() && output.commit())
        return String();
    return output.error_text();
}

}  // namespace tessan_forms
