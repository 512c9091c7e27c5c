// Pieces shared by the toolkit's sources and nobody else.
#ifndef TESSAN_FORMS_FORMS_PRIVATE_H
#define TESSAN_FORMS_FORMS_PRIVATE_H

#include <fstream>
#include <functional>

#include "text/Stringpp.h"

class Fl_Window;

namespace tessan_forms {

// The headless stand-in of a message window: the text on standard error,
// ended by a line end when it has none of its own.
void report_on_stderr(const String& text);

// Forms' fl_end_form flips every child's y (Forms counts from the bottom)
// unless fl_flip is off; our geometry is top-left, so every form ends here,
// and the flip is left as it was for the caller's own forms.
void end_form_top_left();

// The pause between two polls of a window (2 milliseconds).
void pause_between_polls();

// Shows nothing itself: waits, at most timeout seconds, until the window is
// mapped and exposed, then draws it and flushes the connection, so that what
// the window shows is on the screen when this returns.
void wait_until_drawn(Fl_Window* window, double timeout);

// Writes the file `name` with `write`, created or truncated, for the exports
// the user asks for. False when it could not be written whole. When it cannot
// be opened, nothing is touched: what is there is the user's. When a write
// fails, a plain file that this export created or truncated is removed (it
// holds a cut text); a link, a device or a pipe is left as it is. A name
// holding a NUL byte opens nothing.
bool write_export(const String& name, const std::function<void(std::fstream&)>& write);

}  // namespace tessan_forms

#endif
