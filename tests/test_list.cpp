// The list templates: arrays owned by the caller, positions from 1 (0 for
// none), and printing that nests and uses each element type's own operator<<.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "text/list_String.h"
#include "text/list_int.h"
#include "text/list_long.h"

// A record declared after the templates, printed with its own operator<< as
// the chart model's states and declarations are.
struct record_like {
  int id = 0;
};
std::ostream& operator<<(std::ostream& os, const record_like& r) { return os << "r" << r.id; }

template <typename T>
std::string printed(T& l) {
  std::ostringstream os;
  os << l;
  return os.str();
}

TEST(ArrayConvert, NullForEmptyElseTheElementsInOrder) {
  EXPECT_EQ(array_convert(empty_list_int), nullptr);
  EXPECT_EQ(array_convert(empty_list_long), nullptr);
  EXPECT_EQ(array_convert(empty_list_String), nullptr);
  list<list<String>> names{{"a", "b"}, {"c"}};
  std::unique_ptr<list<String>[]> a(array_convert(names));
  EXPECT_EQ(a[0], (list<String>{"a", "b"}));
  EXPECT_EQ(a[1], list<String>{"c"});
}

TEST(Positions, CountFromOneWithZeroForNone) {
  list<int> l{4, 5, 4}, none;
  list<list<long>> nested{{1, 2}, {3}};
  const std::vector<int> found = {
      item_in(l, 5),     item_in(l, 6),     item_in(none, 4),  item_where(l, 5), item_where(l, 4),
      item_where(l, 6),  item_where(nested, {3}), read_number(l, 1), read_number(l, 2), read_number(l, 4),
      read_number(l, 0), read_number(l, -1)};
  EXPECT_EQ(found, std::vector<int>({1, 0, 0, 2, 1, 0, 2, 4, 5, 0, 0, 0}));
  for (const auto& r : {std::make_pair(2, 9), {1, 8}, {4, 7}, {0, 7}}) replace_number(l, r.first, r.second);
  EXPECT_EQ(l, (list<int>{8, 9, 4}));
}

TEST(Car, GivesTheFirstElementOrWarnsAndGivesZero) {
  list<int> l{4, 5}, none;
  testing::internal::CaptureStderr();
  EXPECT_EQ(car(l), 4);
  EXPECT_EQ(car(none), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: abnormal use of car(list<T> &)\n");
}

TEST(PrintList, BracketsCommasNestingAndTheElementsOwnOperator) {
  list<int> empty, l{1, 2, 3};
  list<long> big{-2147483649L};
  list<String> s{"a b", ""};
  list<list<int>> nested{{1, 2}, {3}, {}};
  const list<list<String>> c{{"x"}};
  list<list<record_like>> records{list<record_like>(2)};
  records.front().back().id = 2;
  EXPECT_EQ(printed(empty) + printed(l) + printed(big) + printed(s), "()(1, 2, 3)(-2147483649)(a b, )");
  EXPECT_EQ(printed(nested) + printed(c) + printed(records), "((1, 2), (3), ())((x))((r0, r2))");
}
