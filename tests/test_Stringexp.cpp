// The expression syntax checker: valid and invalid texts with the position
// reported, the trace on stderr, brackets, numbers, and long texts.
#include <gtest/gtest.h>

#include <random>
#include <vector>

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

struct traced {
  int result;
  std::string trace;
};

traced run(expressions_checker& c, const String& expr) {
  testing::internal::CaptureStderr();
  const int result = c.check(expr);
  return {result, testing::internal::GetCapturedStderr()};
}

int check_plain(const String& expr) {
  expressions_checker c;
  configure(c);
  return run(c, expr).result;
}

int check_with_numbers(const String& expr) {
  expressions_checker c;
  configure(c);
  c.accept_numbers();
  return run(c, expr).result;
}

// The tokens named by the trace, in the order they were read.
std::vector<String> traced_tokens(const std::string& trace) {
  std::vector<String> tokens;
  std::size_t p = trace.find("tok=");
  while (p != std::string::npos) {
    p += 4;
    std::size_t end = std::min(trace.find(" state=", p), trace.find("tok=", p));
    tokens.push_back(trace.substr(p, end - p));
    p = trace.find("tok=", p);
  }
  return tokens;
}

}  // namespace

TEST(ExpressionsChecker, AcceptsWellFormedTexts) {
  for (const char* text : {"a", "a and b", "not a", "not not a", "a + ( b and not a )", "(a)",
                           "  a   and b  ", "((a))"})
    EXPECT_EQ(check_plain(text), 0) << text;
}

TEST(ExpressionsChecker, ReportsTheCounterAfterTheFailingToken) {
  EXPECT_EQ(check_plain(""), 2);
  EXPECT_EQ(check_plain("and"), 5);
  EXPECT_EQ(check_plain("a b"), 5);
  EXPECT_EQ(check_plain("a and"), 8);  // the empty token where an operand is expected
  EXPECT_EQ(check_plain("a not b"), 7);  // a prefix operator between operands
  EXPECT_EQ(check_plain("3"), 3);
  EXPECT_EQ(check_plain("a + c"), 7);
}

TEST(ExpressionsChecker, UnbalancedBracketsAndLeftoverTextAreInvalid) {
  EXPECT_EQ(check_plain("( a"), 5);
  EXPECT_EQ(check_plain("a )"), 3);
  EXPECT_EQ(check_plain("a ) b"), 3);
  EXPECT_EQ(check_plain("( )"), 5);
}

TEST(ExpressionsChecker, RecCheckReturnsWhatFollowsTheConsumedPart) {
  expressions_checker c;
  configure(c);
  int depth = 0, error = 0, pos = 1;
  testing::internal::CaptureStderr();
  const String rest = c.rec_check("a ) b", &depth, &error, &pos);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(rest, " b");
  EXPECT_EQ(depth, -1);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(pos, 3);
}

TEST(ExpressionsChecker, TracesEveryTokenAndState) {
  expressions_checker c;
  configure(c);
  EXPECT_EQ(run(c, "a").trace, "tok=a state=2\ntok= state=3\n");
  EXPECT_EQ(run(c, "and").trace, "tok=and state=4\n");
}

TEST(ExpressionsChecker, TraceOfABracketedPartStandsInsideItsOpenersLine) {
  expressions_checker c;
  configure(c);
  EXPECT_EQ(run(c, "( a ) + b").trace,
            "tok=(tok=a state=2\ntok=) state=3\n state=2\n"
            "tok=+ state=1\ntok=b state=2\ntok= state=3\n");
  // A failure inside fails every bracket around it, each counted.
  const traced failed = run(c, "( ( c");
  EXPECT_EQ(failed.trace, "tok=(tok=(tok=c state=4\n state=4\n state=4\n");
  EXPECT_EQ(failed.result, 1 + 2 + 2 + 2);
}

TEST(ExpressionsChecker, AnyCloserClosesAnyOpener) {
  expressions_checker c;
  configure(c);
  c.add_factor("[", "]");
  EXPECT_EQ(run(c, "( a ]").result, 0);
  EXPECT_EQ(run(c, "[ a + ( b ] )").result, 0);
}

TEST(ExpressionsChecker, FirstRegistrationOfAnOperatorKeepsItsArity) {
  expressions_checker c;
  configure(c);
  c.add_operator("and", 1);
  c.add_operator("-", 1);
  c.add_operator("-", 2);
  EXPECT_EQ(run(c, "a and b").result, 0);
  EXPECT_NE(run(c, "and a").result, 0);
  EXPECT_EQ(run(c, "- a").result, 0);
  EXPECT_NE(run(c, "a - b").result, 0);
}

TEST(ExpressionsChecker, AnOperatorOfAnotherArityFitsNowhere) {
  expressions_checker c;
  configure(c);
  c.add_operator("?", 3);
  EXPECT_EQ(run(c, "? a").result, 3);
  EXPECT_EQ(run(c, "a ? b").result, 5);
}

TEST(ExpressionsChecker, WithNumbersAcceptedNumbersAreOperands) {
  for (const char* text : {"3", "a and 3", "-2.5 + a", "0.25", "not 3", "( 3 + a )"})
    EXPECT_EQ(check_with_numbers(text), 0) << text;
  for (const char* text : {"3 4", "- a", "1.", "1.5.2", "3x", "-"})
    EXPECT_NE(check_with_numbers(text), 0) << text;
}

TEST(ExpressionsChecker, WithNumbersAcceptedPrefixOperatorsAndBracketsKeepWorking) {
  for (const char* text : {"not a", "( a )", "not ( a and not b )", "a + ( b )"})
    EXPECT_EQ(check_with_numbers(text), 0) << text;
}

TEST(ExpressionsChecker, WithNumbersAcceptedUnknownNamesAreStillRefused) {
  EXPECT_EQ(check_with_numbers("c"), 3);
  EXPECT_EQ(check_with_numbers("a and c"), 9);
  EXPECT_NE(check_with_numbers("and"), 0);
}

TEST(ExpressionsChecker, DeepNestingIsCheckedWithoutExhaustingTheStack) {
  const int depth = 100000;
  const String text = String(depth, '(') + "a" + String(depth, ')');
  expressions_checker c;
  configure(c);
  EXPECT_EQ(run(c, text).result, 0);
  // Closers end a part and count nothing; the one too many is left over.
  EXPECT_EQ(run(c, "((a)))").result, 1 + 2 * 2 + 2);
}

TEST(ExpressionsChecker, ReadsTheTokensOfNextStringtoken) {
  // Whatever the text, the tokens traced are those that next_Stringtoken
  // gives one after the other, up to where the check stopped.
  std::mt19937 random(7);
  const String alphabet = "ab1-.()+ !x,_";
  for (int round = 0; round < 2000; ++round) {
    String text;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    expressions_checker c;
    configure(c);
    c.add_operator("!", 1);
    c.add_variable("x,_");
    c.add_variable("1");
    c.accept_numbers();
    const std::vector<String> traced = traced_tokens(run(c, text).trace);
    String rest = text;
    for (const String& tok : traced) {
      String next = next_Stringtoken(rest, ' ', &rest);
      ASSERT_EQ(tok, next) << "in '" << text << "'";
    }
  }
}

TEST(Stringtype, IsTwoForAnyText) {
  EXPECT_EQ(Stringtype(""), 2);
  EXPECT_EQ(Stringtype("12"), 2);
  EXPECT_EQ(Stringtype("abc"), 2);
}
