// The boolean expression parser: spellings, precedence, priorities, every
// status and message, the stack limit, and what it leaves unread.
#include <gtest/gtest.h>

#include "bdd/bddpp.h"
#include "bdd/parse_exp_bdd.h"

#include <cstdlib>
#include <new>

// Bytes handed out by operator new while `counting` is on: the parse of a
// long trigger must not copy the text once per token.
namespace {
bool counting = false;
std::size_t allocated = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (counting) allocated += size;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

struct parsing : testing::Test {
  bddpp_manager m;
  bdd a, b, c;
  parsing() : a(m.New_var_last("a")), b(m.New_var_last("b")), c(m.New_var_last("c")) {}

  // Parses with the priority form; status starts at -7 to see whether it is written.
  bdd parse(const String& e, int* prio = nullptr, int* status = nullptr) {
    int p = -9, s = -7;
    bdd r = m.Parse_expression(e, &p, &s);
    if (prio) *prio = p;
    if (status) *status = s;
    return r;
  }
};

TEST_F(parsing, EverySpellingOfTheOperators) {
  const bdd expected = m.Bdd_and(a, m.Bdd_not(b));
  for (const char* text : {"a and not b", "a AND NOT b", "a & !b", "a . ~b", "[a] AND (NOT b)", "a&!b"}) {
    int status = -7;
    EXPECT_EQ(parse(text, nullptr, &status), expected) << text;
    EXPECT_EQ(status, 0) << text;
  }
  for (const char* text : {"a or b", "a OR b", "a + b", "a | b", "a+b"}) EXPECT_EQ(parse(text), m.Bdd_or(a, b)) << text;
  EXPECT_EQ(parse("a xor b"), m.Bdd_xor(a, b));
  EXPECT_EQ(parse("a XOR b"), m.Bdd_xor(a, b));
  EXPECT_EQ(parse("a xnor b"), m.Bdd_xnor(a, b));
  EXPECT_EQ(parse("a XNOR b"), m.Bdd_xnor(a, b));
  EXPECT_EQ(parse("1"), m.Bdd_one());
  EXPECT_EQ(parse("0"), m.Bdd_zero());
  EXPECT_EQ(parse("not 0 and a"), a);
}

TEST_F(parsing, NotBindsTightestThenAndThenTheOthersFromTheLeft) {
  EXPECT_EQ(parse("a or b and c"), m.Bdd_or(a, m.Bdd_and(b, c)));
  EXPECT_EQ(parse("not a and b"), m.Bdd_and(m.Bdd_not(a), b));
  EXPECT_EQ(parse("a xor b xnor c"), m.Bdd_xnor(m.Bdd_xor(a, b), c));
  EXPECT_EQ(parse("a or b xor c"), m.Bdd_xor(m.Bdd_or(a, b), c));
  EXPECT_EQ(parse("a xor b or c"), m.Bdd_or(m.Bdd_xor(a, b), c));
  EXPECT_EQ(parse("not (a or b) and [c]"), m.Bdd_and(m.Bdd_not(m.Bdd_or(a, b)), c));
  EXPECT_EQ(parse("[a and b) or (c]"), m.Bdd_or(m.Bdd_and(a, b), c));
}

TEST_F(parsing, PrioritiesInFront) {
  int prio = 0, status = 0;
  EXPECT_EQ(parse("<2> a", &prio, &status), a);
  EXPECT_EQ(prio, 2);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(parse("<other> a", &prio), a);
  EXPECT_EQ(prio, -1);
  EXPECT_EQ(parse("<default> a or b", &prio), m.Bdd_or(a, b));
  EXPECT_EQ(prio, -1);
  EXPECT_EQ(parse("<1> a", &prio), a);
  EXPECT_EQ(prio, 1);
  EXPECT_EQ(parse("< 12 >b", &prio), b);
  EXPECT_EQ(prio, 12);
  EXPECT_EQ(parse("a", &prio), a);
  EXPECT_EQ(prio, 0);
}

TEST_F(parsing, BadPrioritiesFailWithStatusOne) {
  int prio = 5, status = 0;
  CaptureStderr();
  EXPECT_EQ(parse("< 0 > a", &prio, &status), m.Bdd_zero());
  EXPECT_EQ(status, 1);
  EXPECT_EQ(prio, 0);
  EXPECT_EQ(parse("<x> a", &prio, &status), m.Bdd_zero());
  EXPECT_EQ(status, 1);
  EXPECT_EQ(GetCapturedStderr(),
            "parsing error in expression: \"0\" is not a correct priority value ...\n"
            "PARSING ERROR about expression: \"< 0 > a\"\n"
            "parsing error in expression: name \"x\" is not a correct priority value ...\n"
            "PARSING ERROR about expression: \"<x> a\"\n");
}

// Numbers that would wrap on their way to an int are refused, not read as
// "other", as no priority or as a negative rank.
TEST_F(parsing, PriorityNumbersRunFromOneToTheLargestInt) {
  const struct {
    const char* number;
    int prio;  // 0: refused
  } cases[] = {{"2147483647", 2147483647}, {"007", 7}, {"2147483648", 0}, {"4294967295", 0},
               {"4294967296", 0}, {"4294967297", 0}, {"00", 0}, {"99999999999999999999999", 0}};
  for (const auto& c : cases) {
    const String text = "<" + String(c.number) + "> a";
    int prio = 5, status = -7;
    CaptureStderr();
    const bdd f = parse(text, &prio, &status);
    const String err = GetCapturedStderr();
    EXPECT_EQ(prio, c.prio) << text;
    EXPECT_EQ(status, c.prio == 0 ? 1 : 0) << text;
    EXPECT_EQ(f, c.prio == 0 ? m.Bdd_zero() : a) << text;
    EXPECT_EQ(err, c.prio != 0 ? "" : "parsing error in expression: name \"" + String(c.number) +
                                          "\" is not a correct priority value ...\n"
                                          "PARSING ERROR about expression: \"" + text + "\"\n") << text;
  }
}

TEST_F(parsing, TheFormWithoutPriorityRefusesAPrefix) {
  int status = -7;
  CaptureStderr();
  EXPECT_EQ(m.Parse_expression("<2> a", &status), m.Bdd_zero());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(GetCapturedStderr(), "PARSING ERROR about expression: \"<2> a\": unknown symbols '<' and '>' \n");
  CaptureStderr();
  EXPECT_EQ(m.Parse_expression("a or c", &status), m.Bdd_or(a, c));
  EXPECT_EQ(m.Parse_expression("b", &status), b);
  EXPECT_EQ(GetCapturedStderr(), "");
}

TEST_F(parsing, TextsRefusedBeforeParsingLeaveTheStatusAlone) {
  int prio = 3, status = -7;
  CaptureStderr();
  EXPECT_EQ(parse("", &prio, &status), m.Bdd_zero());
  EXPECT_EQ(status, -7);
  EXPECT_EQ(prio, 0);
  EXPECT_EQ(parse("a/b", nullptr, &status), m.Bdd_zero());
  EXPECT_EQ(status, -7);
  EXPECT_EQ(parse("(a", nullptr, &status), m.Bdd_zero());
  EXPECT_EQ(status, -7);
  EXPECT_EQ(parse("(a]", nullptr, &status), m.Bdd_zero());
  EXPECT_EQ(status, -7);
  int plain = -7;
  EXPECT_EQ(m.Parse_expression("", &plain), m.Bdd_zero());
  EXPECT_EQ(plain, -7);
  EXPECT_EQ(GetCapturedStderr(), "PARSING ERROR about expression: \"a/b\": / char detection!\n"
                                 "PARSING ERROR about expression: \"(a\": bad parenthesing!\n"
                                 "PARSING ERROR about expression: \"(a]\": bad parenthesing!\n");
}

TEST_F(parsing, SyntaxErrors) {
  for (const char* text : {"[a", "a or", "and a", "a and and b", "()"}) {
    int status = -7;
    CaptureStderr();
    EXPECT_EQ(parse(text, nullptr, &status), m.Bdd_zero()) << text;
    EXPECT_EQ(status, 1) << text;
    EXPECT_EQ(GetCapturedStderr(), "syntax error\nPARSING ERROR about expression: \"" + String(text) + "\"\n");
  }
}

TEST_F(parsing, UndeclaredNamesFailWithStatusOne) {
  struct expected_failure {
    const char* text;
    const char* name;
  };
  // 'a.b' is one word; blanks left at the end form one blank name.
  for (expected_failure x : {expected_failure{"a.b", "a.b"}, {"tick", "tick"}, {"a and zz", "zz"}, {"   ", " "},
                             {"a and ", " "}, {"And", "And"}}) {
    int status = -7;
    CaptureStderr();
    EXPECT_EQ(parse(x.text, nullptr, &status), m.Bdd_zero()) << x.text;
    EXPECT_EQ(status, 1);
    EXPECT_EQ(GetCapturedStderr(), "parsing error in expression: name \"" + String(x.name) +
                                       "\" not identificated ...\nPARSING ERROR about expression: \"" +
                                       String(x.text) + "\"\n");
  }
}

TEST_F(parsing, ATokenThatCannotContinueEndsTheParse) {
  int status = -7;
  CaptureStderr();
  EXPECT_EQ(parse("a b", nullptr, &status), a);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(parse("1 0"), m.Bdd_one());
  EXPECT_EQ(parse("a ] b"), a);
  EXPECT_EQ(parse("a ) ( b"), a);
  EXPECT_EQ(parse("b zz"), b);
  EXPECT_EQ(GetCapturedStderr(), "");
}

TEST_F(parsing, ALongTriggerCostsInProportionToItsLength) {
  std::size_t bytes[2];
  for (int i : {0, 1}) {
    String text = "a";
    while (text.size() < (i == 0 ? 20000u : 160000u)) text += " or not b and (c xor a)";
    allocated = 0;
    counting = true;
    int status = -7;
    const bdd f = parse(text, nullptr, &status);
    counting = false;
    EXPECT_EQ(status, 0);
    EXPECT_EQ(f, m.Bdd_or(a, m.Bdd_and(m.Bdd_not(b), m.Bdd_xor(c, a))));
    bytes[i] = allocated;
  }
  EXPECT_LE(bytes[1], 12 * bytes[0]) << bytes[0] << " then " << bytes[1];
}

TEST_F(parsing, DeepNestingWithinTheStackLimitParses) {
  String text = String(3000, '(') + "a" + String(3000, ')');
  int status = -7;
  EXPECT_EQ(parse(text, nullptr, &status), a);
  EXPECT_EQ(status, 0);
}

TEST_F(parsing, NestingBeyondTheStackLimitAnswersMemoryExhausted) {
  String text = String(12000, '!') + "a";
  int status = -7;
  CaptureStderr();
  EXPECT_EQ(parse(text, nullptr, &status), m.Bdd_zero());
  EXPECT_EQ(status, 2);
  EXPECT_EQ(GetCapturedStderr(), "memory exhausted\nPARSING ERROR about expression: \"" + text + "\"\n");
  // The process and the manager go on.
  EXPECT_EQ(parse("not a"), m.Bdd_not(a));
}

TEST_F(parsing, TheParserObjectPublishesItselfAndOwnsTheResult) {
  class_exp_bdd_parser parser(&m);
  EXPECT_EQ(pexp_bdd_parser, &parser);
  EXPECT_EQ(parser.prio(), 0);
  EXPECT_EQ(parser.bddexpression(), bdd());
  EXPECT_EQ(parser.parse("<4> a and c"), 0);
  EXPECT_EQ(parser.prio(), 4);
  EXPECT_EQ(parser.bddexpression(), m.Bdd_and(a, c));
  EXPECT_EQ(parser.rest, "");
  EXPECT_EQ(parser.parse("b c d"), 0);  // the token after b ends the parse
  EXPECT_EQ(parser.rest, " d");
}

}  // namespace
