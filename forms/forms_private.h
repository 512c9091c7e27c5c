// Pieces shared by the toolkit's sources and nobody else.
#ifndef TESSAN_FORMS_FORMS_PRIVATE_H
#define TESSAN_FORMS_FORMS_PRIVATE_H

#include <functional>
#include <ostream>

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

// Writes the file `name` with `write`, whole or not at all, for the exports
// the user asks for: a plain file is replaced once the text is complete, so
// that a failure leaves the old one; anything else there (a device, a pipe)
// is the user's and written into. Why it could not be written, or "" when it
// was.
String write_export(const String& name, const std::function<void(std::ostream&)>& write);

}  // namespace tessan_forms

#endif
