// Lists of int: the list templates and the global empty_list_int (built at
// start-up, never read by the system itself).
#ifndef TESSAN_TEXT_LIST_INT_H
#define TESSAN_TEXT_LIST_INT_H

#include "text/list_templates.h"

extern list<int> empty_list_int;

#endif
