// The expression syntax checker: a two-state machine over tokens, with a
// stack of open brackets.
#include "text/Stringexp.h"

#include <iostream>
#include <vector>

namespace {

enum {
  operand_expected = 1,
  operator_expected = 2,
  done = 3,
  failed = 4,
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The token next_Stringtoken(s.substr(p), ' ', &rest) would give; p moves to
// where that rest begins. Reading in place keeps a long text from being
// copied once per token.
String token_at(const String& s, std::size_t& p) {
  const std::size_t n = s.size();
  if (p >= n) return String();
  std::size_t start = p;
  while (start < n && s[start] == ' ') ++start;
  if (start == n) {  // nothing but blanks: one blank stands for them
    p = n;
    return " ";
  }
  const char c = s[start];
  std::size_t end = start + 1;
  if (c == '-') {
    while (end < n && (is_digit(s[end]) || s[end] == '.')) ++end;
  } else if (est_lc(c)) {
    while (end < n && est_lc(s[end])) ++end;
  }
  p = end;
  return s.substr(start, end - start);
}

// An optional '-', digits, and an optional '.' followed by digits.
bool is_number(const String& tok) {
  std::size_t i = tok.size() > 0 && tok[0] == '-' ? 1 : 0;
  const std::size_t first_digit = i;
  while (i < tok.size() && is_digit(tok[i])) ++i;
  if (i == first_digit) return false;
  if (i == tok.size()) return true;
  if (tok[i] != '.') return false;
  const std::size_t first_decimal = ++i;
  while (i < tok.size() && is_digit(tok[i])) ++i;
  return i > first_decimal && i == tok.size();
}

void end_trace_line(int state) { std::cerr << " state=" << state << "\n" << std::flush; }

}  // namespace

expressions_checker::expressions_checker() : accept_numbers_(0) {}

expressions_checker::~expressions_checker() = default;

void expressions_checker::accept_numbers() { accept_numbers_ = 1; }

void expressions_checker::add_operator(const String& text, int arity) {
  operators_.push_back(text);
  arities_.push_back(arity);
  arity_of_.emplace(text, arity);  // a second registration does not override the first
}

void expressions_checker::add_factor(const String& opening, const String& closing) {
  openers_.push_back(opening);
  closers_.push_back(closing);
  opener_set_.insert(opening);
  closer_set_.insert(closing);
}

void expressions_checker::add_variable(const String& name) {
  variables_.push_back(name);
  variable_set_.insert(name);
}

int expressions_checker::arity(const String& tok) const {
  const auto found = arity_of_.find(tok);
  return found == arity_of_.end() ? 0 : found->second;
}

int expressions_checker::check(const String& expr) {
  int depth = 0;
  int error = 0;
  int pos = 1;
  const String rest = rec_check(expr, &depth, &error, &pos);
  return rest.empty() && error == 0 && depth == 0 ? 0 : pos;
}

// A bracketed part is read as a level of its own from state 1; when it ends
// (a closer or the end of the text puts it in state 3, or it fails) the level
// that opened it goes on in state 2, or fails in its turn. The lengths of the
// openers waiting for their part to end are kept on `open`.
String expressions_checker::rec_check(const String& expr, int* depth, int* error, int* pos) {
  std::vector<int> open;
  std::size_t p = 0;
  int state = operand_expected;
  for (;;) {
    const String tok = token_at(expr, p);
    std::cerr << "tok=" << tok;
    const bool blank = tok.empty() || tok == " ";
    const bool is_operator = arity_of_.count(tok) > 0;
    int next = failed;
    if (state == operand_expected) {
      if (blank) {
        next = failed;
      } else if (variable_set_.count(tok)) {
        next = operator_expected;
      } else if (is_operator) {
        next = arity(tok) == 1 ? operand_expected : failed;
      } else if (opener_set_.count(tok)) {
        ++*depth;
        open.push_back(static_cast<int>(tok.size()));
        continue;  // the bracketed part starts in state 1; its opener's line ends later
      } else if (accept_numbers_ && is_number(tok)) {
        next = operator_expected;
      }
    } else {
      if (blank) {
        next = done;
      } else if (is_operator) {
        next = arity(tok) == 2 ? operand_expected : failed;
      } else if (closer_set_.count(tok)) {
        --*depth;
        next = done;
      }
    }
    end_trace_line(next);
    if (next != done) *pos += static_cast<int>(tok.size()) + 1;
    if (next == failed) *error = 1;
    if (next == operand_expected || next == operator_expected) {
      state = next;
      continue;
    }
    // This level is over: the openers waiting for it end their lines.
    while (!open.empty()) {
      const int opener_length = open.back();
      open.pop_back();
      next = *error ? failed : operator_expected;
      end_trace_line(next);
      *pos += opener_length + 1;
      if (next == operator_expected) break;
    }
    if (next != operator_expected) return expr.substr(p);
    state = operator_expected;
  }
}

int Stringtype(const String&) { return 2; }
