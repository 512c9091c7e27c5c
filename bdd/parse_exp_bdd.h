// parse_exp_bdd: the parser of boolean expressions into BDDs.
//
// `bddpp_manager::Parse_expression` is the entry point; this header exposes
// the parser object behind it for the scanner and the grammar's actions. One
// parse at a time in the process: the object publishes itself in the global
// `pexp_bdd_parser` when it is constructed, and the scanner and the actions
// reach it there. The object owns the parsed result until it is destroyed.
#ifndef TESSAN_BDD_PARSE_EXP_BDD_H
#define TESSAN_BDD_PARSE_EXP_BDD_H

#include "bdd/bddpp.h"
#include "text/Stringpp.h"

class class_exp_bdd_parser {
public:
  bddpp_manager* manager;
  String rest;   // the input not yet scanned, once a parse has returned
  String token;  // the text of the last token scanned
  int priority;
  bdd* result;   // owned; null until a parse succeeds
  // During a parse the scanner walks rest in place from here, and the parse
  // drops what was scanned when it returns: cutting rest at every token would
  // copy the text once per token.
  std::size_t scanned;

  explicit class_exp_bdd_parser(bddpp_manager* m);
  ~class_exp_bdd_parser();
  class_exp_bdd_parser(const class_exp_bdd_parser&) = delete;
  class_exp_bdd_parser& operator=(const class_exp_bdd_parser&) = delete;

  // 0 parsed, 1 syntax, priority or name error, 2 parser stack exhausted.
  int parse(const String& e);
  bdd bddexpression();
  int prio();
};

extern class_exp_bdd_parser* pexp_bdd_parser;

int exp_bddparse();
void exp_bdderror(const char* msg);

#endif
