// The list templates: arrays owned by the caller, positions from 1, and
// printing that nests and uses each element type's own operator<<.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "text/list_String.h"
#include "text/list_int.h"
#include "text/list_long.h"

namespace {
int instances = 0;
}

// A record declared after the templates, printed with its own operator<< as
// the chart model's states and declarations are.
struct record_like {
  int id = 0;
  record_like() { ++instances; }
  record_like(const record_like& o) : id(o.id) { ++instances; }
  record_like& operator=(const record_like& o) = default;
  ~record_like() { --instances; }
  bool operator==(const record_like& o) const { return id == o.id; }
};
std::ostream& operator<<(std::ostream& os, const record_like& r) { return os << "r" << r.id; }

template <typename T>
std::string printed(T& l) {
  std::ostringstream os;
  os << l;
  return os.str();
}

TEST(ArrayConvert, EmptyListGivesNull) {
  list<int> l;
  EXPECT_EQ(array_convert(l), nullptr);
}

TEST(ArrayConvert, CopiesElementsInListOrder) {
  list<int> l{7, 8, 9};
  std::unique_ptr<int[]> a(array_convert(l));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a[0], 7);
  EXPECT_EQ(a[1], 8);
  EXPECT_EQ(a[2], 9);
}

TEST(ArrayConvert, WorksForStringsListsAndRecordsWithoutLeaks) {
  list<list<String>> names{{"a", "b"}, {"c"}};
  std::unique_ptr<list<String>[]> a(array_convert(names));
  EXPECT_EQ(a[0], (list<String>{"a", "b"}));
  EXPECT_EQ(a[1], list<String>{"c"});

  int before = instances;
  {
    list<record_like> records(2);
    records.back().id = 5;
    std::unique_ptr<record_like[]> r(array_convert(records));
    EXPECT_EQ(r[1].id, 5);
  }
  EXPECT_EQ(instances, before);
}

TEST(ItemIn, FindsEqualElementsOnly) {
  list<String> l{"x", "y"};
  EXPECT_TRUE(item_in(l, "y"));
  EXPECT_FALSE(item_in(l, "z"));
  list<int> none;
  EXPECT_FALSE(item_in(none, 1));
}

TEST(ItemWhere, GivesFirstPositionFromOneOrZero) {
  list<int> l{4, 5, 4};
  EXPECT_EQ(item_where(l, 4), 1);
  EXPECT_EQ(item_where(l, 5), 2);
  EXPECT_EQ(item_where(l, 6), 0);
  list<int> none;
  EXPECT_EQ(item_where(none, 4), 0);
  list<list<long>> nested{{1, 2}, {3}};
  EXPECT_EQ(item_where(nested, list<long>{3}), 2);
  EXPECT_EQ(item_where(nested, list<long>{1}), 0);
}

TEST(ReadNumber, GivesNthElementOrZero) {
  list<int> l{4, 5};
  EXPECT_EQ(read_number(l, 1), 4);
  EXPECT_EQ(read_number(l, 2), 5);
  EXPECT_EQ(read_number(l, 3), 0);
  EXPECT_EQ(read_number(l, 0), 0);
  EXPECT_EQ(read_number(l, -1), 0);
}

TEST(ReplaceNumber, ChangesOnlyAnExistingPosition) {
  list<int> l{4, 5};
  replace_number(l, 2, 9);
  EXPECT_EQ(l, (list<int>{4, 9}));
  replace_number(l, 3, 7);
  replace_number(l, 0, 7);
  EXPECT_EQ(l, (list<int>{4, 9}));
}

TEST(Car, GivesFirstElementSilently) {
  list<int> l{4, 5};
  testing::internal::CaptureStderr();
  EXPECT_EQ(car(l), 4);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(Car, WarnsOnEmptyListAndGivesZero) {
  list<int> l;
  testing::internal::CaptureStderr();
  EXPECT_EQ(car(l), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: abnormal use of car(list<T> &)\n");
}

TEST(PrintList, WritesBracketsAndCommaSeparatedElements) {
  list<int> empty;
  EXPECT_EQ(printed(empty), "()");
  list<int> l{1, 2, 3};
  EXPECT_EQ(printed(l), "(1, 2, 3)");
  list<long> big{-2147483649L};
  EXPECT_EQ(printed(big), "(-2147483649)");
  list<String> s{"a b", ""};
  EXPECT_EQ(printed(s), "(a b, )");
}

TEST(PrintList, NestsListsOfLists) {
  list<list<int>> l{{1, 2}, {3}, {}};
  EXPECT_EQ(printed(l), "((1, 2), (3), ())");
  const list<list<String>> c{{"x"}};
  EXPECT_EQ(printed(c), "((x))");
}

TEST(PrintList, UsesTheElementsOwnOperator) {
  list<record_like> l(2);
  l.front().id = 1;
  l.back().id = 2;
  EXPECT_EQ(printed(l), "(r1, r2)");
  list<list<record_like>> nested{l};
  EXPECT_EQ(printed(nested), "((r1, r2))");
}

TEST(EmptyLists, ExistAndAreEmpty) {
  EXPECT_TRUE(empty_list_int.empty());
  EXPECT_TRUE(empty_list_long.empty());
  EXPECT_TRUE(empty_list_String.empty());
}
