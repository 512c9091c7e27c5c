// Stringexp: a syntax checker for expressions written as text.
//
// An `expressions_checker` is configured with operators (arity 1: prefix,
// arity 2: infix), bracket pairs and the names accepted as operands, then
// `check` tells whether a text is a well-formed alternation of operands and
// operators with balanced brackets. Nothing is evaluated and no tree is built.
// The chart model's trigger check configures one checker per trigger.
//
// Tokens are those of `next_Stringtoken(text, ' ', &rest)`: blanks separate,
// a run of word characters is one token, '-' takes the digits and points
// after it, any other character stands alone. So ">=" is read as two tokens,
// and an operator registered as ">=" never matches.
//
// Any registered closer closes any open bracket: pairs are registered
// together but not matched. The same operator text registered twice keeps
// the arity of its first registration.
//
// With `accept_numbers()`, a number (an optional '-', digits, and an optional
// '.' followed by digits) is an operand too. It is tested after the
// registered names, prefix operators and openers, which keep their meaning;
// names that are not registered are still refused.
//
// While it works the checker writes a trace on the standard error stream, one
// line per token: "tok=", the token, " state=", the new state (1 operand
// expected, 2 operator expected, 3 done, 4 error). The lines of a bracketed
// part stand between the "tok=" of its opener and the " state=" that ends it.
//
// The checker owns its lists; it keeps no reference to the texts it is given.
#ifndef TESSAN_TEXT_STRINGEXP_H
#define TESSAN_TEXT_STRINGEXP_H

#include <list>
#include <unordered_map>
#include <unordered_set>

#include "text/Stringpp.h"

class expressions_checker {
 public:
  expressions_checker();
  ~expressions_checker();

  void accept_numbers();
  void add_operator(const String& text, int arity);
  void add_factor(const String& opening, const String& closing);
  void add_variable(const String& name);

  // 0 when expr is valid; otherwise a position counter (2 or more): 1 plus,
  // for every token read before the verdict, its length plus one, the
  // failing token included.
  int check(const String& expr);

  // The state machine, from state 1. Returns the text left after the part
  // it consumed; *depth counts the open brackets, *error becomes 1 on a
  // fault, *pos is the position counter of `check`. Brackets nest on a stack
  // of our own, not on the call stack, so deep nesting cannot overflow it.
  String rec_check(const String& expr, int* depth, int* error, int* pos);

 private:
  int accept_numbers_;
  std::list<int> arities_;
  std::list<String> operators_;
  std::list<String> openers_;
  std::list<String> closers_;
  std::list<String> variables_;

  // Lookup indexes over the lists above, so that a check costs the same
  // whatever the number of declared names.
  std::unordered_map<String, int> arity_of_;
  std::unordered_set<String> opener_set_;
  std::unordered_set<String> closer_set_;
  std::unordered_set<String> variable_set_;

  int arity(const String& tok) const;  // 0 when tok is no operator
};

// 2, whatever the text.
int Stringtype(const String& s);

#endif
