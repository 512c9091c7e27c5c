// Lists of String: the list templates and the global empty_list_String
// (built at start-up, never read by the system itself).
#ifndef TESSAN_TEXT_LIST_STRING_H
#define TESSAN_TEXT_LIST_STRING_H

#include "text/Stringpp.h"
#include "text/list_templates.h"

extern list<String> empty_list_String;

#endif
