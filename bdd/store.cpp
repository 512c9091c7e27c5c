#include "bdd/bddpp.h"

String Bdd_version() { return "4.9"; }
#include "bdd/memo.h"
