// The expression syntax checker: verdicts with the position reported and the
// trace on stderr, deep nesting, and tokens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <vector>

#include "tests/test_files.h"
#include "text/Stringexp.h"

namespace {

// The small language of the examples: "+" and "and" infix, "not" prefix,
// round brackets, the operands a and b.
void configure(expressions_checker& c) {
  c.add_operator("+", 2);
  c.add_operator("and", 2);
  c.add_operator("not", 1);
  c.add_factor("(", ")");
  c.add_variable("a");
  c.add_variable("b");
}

std::pair<int, std::string> run(expressions_checker& c, const String& expr) {
  testing::internal::CaptureStderr();
  const int result = c.check(expr);
  return {result, testing::internal::GetCapturedStderr()};
}

}  // namespace

// Each text is checked in the example language (whose trace follows), then
// with numbers accepted, then with more registrations: square brackets (any
// closer closes any opener), "and" again as prefix and "-" as prefix then
// infix (the first arity stays), and "?" of arity 3 (which fits nowhere).
TEST(ExpressionsChecker, VerdictsAndTracesInThreeLanguages) {
  expressions_checker plain, numbers, more;
  configure(plain);
  configure(numbers);
  numbers.accept_numbers();
  configure(more);
  more.add_factor("[", "]");
  more.add_operator("and", 1);
  more.add_operator("-", 1);
  more.add_operator("-", 2);
  more.add_operator("?", 3);
  std::ostringstream out;
  for (const char* text :
       {"a", "a and b", "not a", "not not a", "a + ( b and not a )", "(a)", "  a   and b  ", "((a))", "",
        "and", "a b", "a and", "a not b", "3", "a + c", "c", "( a", "a )", "a ) b", "( )", "( ( c", "((a)))",
        "a and 3", "-2.5 + a", "0.25", "not 3", "( 3 + a )", "not ( a and not b )", "3 4", "- a", "1.",
        "1.5.2", "3x", "-", "a and c", "( a ]", "[ a + ( b ] )", "and a", "a - b", "? a", "a ? b"}) {
    const auto traced = run(plain, text);
    out << "\"" << text << "\": " << traced.first << " " << run(numbers, text).first << " "
        << run(more, text).first << "\n" << traced.second;
  }
  test_files::expect_fixture("chart/stringexp_verdicts.txt", out.str());
}

TEST(ExpressionsChecker, DeepNestingIsCheckedWithoutExhaustingTheStack) {
  expressions_checker c;
  configure(c);
  EXPECT_EQ(run(c, String(100000, '(') + "a" + String(100000, ')')).first, 0);
}

// Whatever the text, the tokens traced are those that next_Stringtoken gives
// one after the other, up to where the check stopped.
TEST(ExpressionsChecker, ReadsTheTokensOfNextStringtoken) {
  std::mt19937 random(7);
  const String alphabet = "ab1-.()+ !x,_";
  expressions_checker c;
  configure(c);
  c.add_operator("!", 1);
  c.add_variable("x,_");
  c.add_variable("1");
  c.accept_numbers();
  for (int round = 0; round < 2000; ++round) {
    String text;
    for (int i = static_cast<int>(random() % 12); i > 0; --i) text += alphabet[random() % alphabet.size()];
    const std::string trace = run(c, text).second;
    String rest = text;
    for (std::size_t p = trace.find("tok="); p != std::string::npos; p = trace.find("tok=", p)) {
      p += 4;
      const std::size_t end = std::min(trace.find(" state=", p), trace.find("tok=", p));
      ASSERT_EQ(trace.substr(p, end - p), next_Stringtoken(rest, ' ', &rest)) << "in '" << text << "'";
    }
  }
  EXPECT_EQ(Stringtype("") + Stringtype("12") + Stringtype("abc"), 6);  // 2 whatever the text
}
