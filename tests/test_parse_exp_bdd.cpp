// The boolean expression parser: every text's function, status, priority and messages
// (tests/data/readertext/), the stack limit, the cost of a long text, what is left unread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "bdd/parse_exp_bdd.h"
#include "tests/test_files.h"

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

using Texts = std::vector<String>;

struct parsing : testing::Test {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b"), c = m.New_var_last("c");

  // The function's values over (a, b, c) from 000 to 111, a the slowest.
  String truth_table(const bdd& f) {
    bdd slowest_last[] = {c, b, a};
    char bits[8];
    m.Truth_table(f, 3, slowest_last, bits);
    return String(bits, 8);
  }
};

TEST_F(parsing, EveryTextGivesItsStatusPriorityFunctionAndMessages) {
  const auto with_priority = [this](const Texts& in) {
    int prio = -9, status = -7;
    const String function = truth_table(m.Parse_expression(in[0], &prio, &status));
    return Texts{function, std::to_string(status), std::to_string(prio)};
  };
  const auto without_priority = [this](const Texts& in) {
    int status = -7;
    const String function = truth_table(m.Parse_expression(in[0], &status));
    return Texts{function, std::to_string(status)};
  };
  test_files::check_table(String(TESSAN_TEST_DATA) + "/readertext/parse_exp_bdd.txt",
                          {{"with priority", with_priority}, {"without priority", without_priority}});
}

// Two texts, the second eight times the first: the bytes allocated grow in
// proportion.
TEST_F(parsing, ALongTriggerCostsInProportionToItsLength) {
  std::size_t bytes[2];
  for (int i : {0, 1}) {
    String text = "a";
    while (text.size() < (i == 0 ? 20000u : 160000u)) text += " or not b and (c xor a)";
    allocated = 0;
    counting = true;
    int status = -7;
    const bdd f = m.Parse_expression(text, &status);
    counting = false;
    EXPECT_EQ(status, 0);
    EXPECT_EQ(truth_table(f), "01001111");
    bytes[i] = allocated;
  }
  EXPECT_LE(bytes[1], 12 * bytes[0]) << bytes[0] << " then " << bytes[1];
}

TEST_F(parsing, NestingBeyondTheStackLimitAnswersMemoryExhaustedAndTheManagerGoesOn) {
  int status = -7;
  EXPECT_EQ(m.Parse_expression(String(3000, '(') + "a" + String(3000, ')'), &status), a);
  EXPECT_EQ(status, 0);
  const String deep = String(12000, '!') + "a";
  testing::internal::CaptureStderr();
  EXPECT_EQ(m.Parse_expression(deep, &status), m.Bdd_zero());
  EXPECT_EQ(status, 2);
  const String message = "memory exhausted\nPARSING ERROR about expression: \"" + deep + "\"\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
  EXPECT_EQ(m.Parse_expression("not a", &status), m.Bdd_not(a));
}

TEST_F(parsing, TheParserObjectPublishesItselfAndOwnsTheResult) {
  class_exp_bdd_parser parser(&m);
  EXPECT_EQ(pexp_bdd_parser, &parser);
  EXPECT_EQ(parser.prio(), 0);
  EXPECT_EQ(parser.parse("<4> a and c"), 0);
  EXPECT_EQ(parser.prio(), 4);
  EXPECT_EQ(parser.bddexpression(), m.Bdd_and(a, c));
  EXPECT_EQ(parser.rest, "");
  EXPECT_EQ(parser.parse("b c d"), 0);  // the token after b ends the parse
  EXPECT_EQ(parser.rest, " d");
}

}  // namespace
