// Lists of long: the list templates and the global empty_list_long (built at
// start-up, never read by the system itself). The element is the platform's
// long, as the lists of coordinates and identifiers carry it.
#ifndef TESSAN_TEXT_LIST_LONG_H
#define TESSAN_TEXT_LIST_LONG_H

#include "text/list_templates.h"

extern list<long> empty_list_long;

#endif
