// The parser object, the scanner and Parse_expression; the grammar itself is
// parse_exp_bdd.y.
#include "bdd/parse_exp_bdd.h"

#include <iostream>

#include "parse_exp_bdd.tab.hpp"

class_exp_bdd_parser* pexp_bdd_parser = nullptr;

class_exp_bdd_parser::class_exp_bdd_parser(bddpp_manager* m)
    : manager(m), priority(0), result(nullptr), scanned(0) {
  pexp_bdd_parser = this;
}

class_exp_bdd_parser::~class_exp_bdd_parser() { delete result; }

int class_exp_bdd_parser::parse(const String& e) {
  rest = e;
  scanned = 0;
  const int status = exp_bddparse();
  rest.erase(0, scanned);
  scanned = 0;
  return status;
}

bdd class_exp_bdd_parser::bddexpression() { return result ? *result : bdd(); }

int class_exp_bdd_parser::prio() { return priority; }

namespace {

struct spelling {
  const char* text;
  int token;
};

const spelling spellings[] = {
    {"or", EXPBDD_OR},     {"OR", EXPBDD_OR},       {"+", EXPBDD_OR},     {"|", EXPBDD_OR},
    {"and", EXPBDD_AND},   {"AND", EXPBDD_AND},     {".", EXPBDD_AND},    {"&", EXPBDD_AND},
    {"xor", EXPBDD_XOR},   {"XOR", EXPBDD_XOR},     {"xnor", EXPBDD_XNOR}, {"XNOR", EXPBDD_XNOR},
    {"not", EXPBDD_NOT},   {"NOT", EXPBDD_NOT},     {"!", EXPBDD_NOT},    {"~", EXPBDD_NOT},
    {"(", EXPBDD_LPAR},    {"[", EXPBDD_LPAR},      {")", EXPBDD_RPAR},   {"]", EXPBDD_RPAR},
    {"<", EXPBDD_LT},      {">", EXPBDD_GT},        {"0", EXPBDD_CONST0}, {"1", EXPBDD_CONST1},
};

}  // namespace

int exp_bddlex(EXP_BDDSTYPE*) {
  class_exp_bdd_parser& p = *pexp_bdd_parser;
  p.token = next_Stringtoken_at(p.rest, ' ', &p.scanned);
  if (p.token.empty()) return 0;
  for (const spelling& s : spellings)
    if (p.token == s.text) return s.token;
  return EXPBDD_NAME;
}

void exp_bdderror(const char* msg) {
  std::cerr << msg << std::endl;
  std::cerr.flush();
}

namespace {

void parsing_error(const String& e, const char* what) {
  std::cerr << "PARSING ERROR about expression: \"" << e << "\"" << what << std::endl;
}

// The checks made before the parser runs; false when e is refused.
bool acceptable(const String& e) {
  if (e.empty()) return false;
  if (char_occurences(e, '/') != 0) {
    parsing_error(e, ": / char detection!");
    return false;
  }
  if (char_occurences(e, '(') != char_occurences(e, ')')) {
    parsing_error(e, ": bad parenthesing!");
    return false;
  }
  return true;
}

}  // namespace

bdd bddpp_manager::Parse_expression(const String& e, int* prio, int* status) {
  *prio = 0;
  if (!acceptable(e)) return Bdd_zero();
  class_exp_bdd_parser parser(this);
  *status = parser.parse(e);
  if (*status == 0) {
    *prio = parser.prio();
    return parser.bddexpression();
  }
  parsing_error(e, "");
  return Bdd_zero();
}

bdd bddpp_manager::Parse_expression(const String& e, int* status) {
  if (!acceptable(e)) return Bdd_zero();
  class_exp_bdd_parser parser(this);
  *status = parser.parse(e);
  if (*status != 0) {
    parsing_error(e, "");
    return Bdd_zero();
  }
  if (parser.prio() != 0) {
    parsing_error(e, ": unknown symbols '<' and '>' ");
    return Bdd_zero();
  }
  return parser.bddexpression();
}
