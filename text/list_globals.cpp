#include "text/list_String.h"
#include "text/list_int.h"
#include "text/list_long.h"

list<int> empty_list_int;
list<long> empty_list_long;
list<String> empty_list_String;
