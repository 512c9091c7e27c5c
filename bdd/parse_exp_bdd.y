/* The grammar of boolean expressions: NOT binds tightest, then AND; OR, XOR
   and XNOR share the lowest level and group to the left. An optional
   priority stands in front, between "<" and ">". The start rule accepts as
   soon as the expression is complete, so a token that cannot continue it
   ends the parse and the rest of the text is not read. */

%define api.prefix {exp_bdd}
%define api.pure full
%define api.token.prefix {EXPBDD_}

%code requires {
#include "bdd/bddpp.h"
}

%code {
#include <climits>
#include <iostream>

#include "bdd/parse_exp_bdd.h"

int exp_bddlex(EXP_BDDSTYPE* value);

namespace {
bddpp_manager& manager() { return *pexp_bdd_parser->manager; }

bdd* combine(bdd (bddpp_manager::*op)(const bdd&, const bdd&), bdd* left, bdd* right) {
  bdd* r = new bdd((manager().*op)(*left, *right));
  delete left;
  delete right;
  return r;
}

void report(const String& what) {
  std::cerr << "parsing error in expression: " << what << std::endl;
}

// A priority number is a rank from 1 up to the largest int: 0 means "no
// priority" and -1 "other", so a number that wrapped on its way to an int
// would silently take one of those meanings or a negative rank.
bool priority_number(const String& word, int* value) {
  if (!checkuint(word)) return false;
  long long rank = 0;
  for (char digit : word) {
    rank = rank * 10 + (digit - '0');
    if (rank > INT_MAX) return false;
  }
  if (rank < 1) return false;
  *value = static_cast<int>(rank);
  return true;
}
}  // namespace

/* The value stack starts at 200 entries and doubles up to 10000; deeper
   nesting ends the parse with "memory exhausted" (status 2). */
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
}

%union {
  int number;
  bdd* function;
}

%token OR AND XOR XNOR NOT LPAR RPAR LT GT NAME CONST0 CONST1

%type <number> prefix pval
%type <function> prio_expr expr term factor name

%destructor { delete $$; } <function>

%%

input
  : prio_expr {
      delete pexp_bdd_parser->result;
      pexp_bdd_parser->result = $1;
      YYACCEPT;
    }
  ;

prio_expr
  : prefix expr { pexp_bdd_parser->priority = $1; $$ = $2; }
  ;

prefix
  : %empty { $$ = 0; }
  | LT pval GT { $$ = $2; }
  ;

pval
  : CONST0 {
      report("\"0\" is not a correct priority value ...");
      YYABORT;
    }
  | CONST1 { $$ = 1; }
  | NAME {
      const String& word = pexp_bdd_parser->token;
      if (word == "other" || word == "default") {
        $$ = -1;
      } else if (!priority_number(word, &$$)) {
        report("name \"" + word + "\" is not a correct priority value ...");
        YYABORT;
      }
    }
  ;

expr
  : expr OR term { $$ = combine(&bddpp_manager::Bdd_or, $1, $3); }
  | expr XOR term { $$ = combine(&bddpp_manager::Bdd_xor, $1, $3); }
  | expr XNOR term { $$ = combine(&bddpp_manager::Bdd_xnor, $1, $3); }
  | term { $$ = $1; }
  ;

term
  : term AND factor { $$ = combine(&bddpp_manager::Bdd_and, $1, $3); }
  | factor { $$ = $1; }
  ;

factor
  : LPAR expr RPAR { $$ = $2; }
  | NOT factor {
      $$ = new bdd(manager().Bdd_not(*$2));
      delete $2;
    }
  | name { $$ = $1; }
  | CONST0 { $$ = new bdd(manager().Bdd_zero()); }
  | CONST1 { $$ = new bdd(manager().Bdd_one()); }
  ;

name
  : NAME {
      const String& word = pexp_bdd_parser->token;
      if (manager().Index_var_by_name(word) == -1) {
        report("name \"" + word + "\" not identificated ...");
        YYABORT;
      }
      $$ = new bdd(manager().Bdd_var_by_name(word));
    }
  ;

%%
