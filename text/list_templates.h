// List templates: the small generic chores over std::list that the chart
// model and the checks share — turning a list into an array, membership,
// positions, the n-th element, the first element, and printing.
//
// Positions count from 1; 0 means absent. Arrays made by array_convert belong
// to the caller, who releases them with delete[]. Include the header named
// for the element type you use (list_int.h, list_long.h, list_String.h); they
// all bring in these templates.
#ifndef TESSAN_TEXT_LIST_TEMPLATES_H
#define TESSAN_TEXT_LIST_TEMPLATES_H

#include <iostream>
#include <list>

using std::list;

namespace tessan_list_detail {
// Keeps the searched value out of template deduction, so that
// item_in(names, "x") or item_where(longs, 3) convert as a caller expects.
template <typename T>
struct same {
  typedef T type;
};
}  // namespace tessan_list_detail

// Null for an empty list; otherwise a new array of l.size() elements, each
// default-constructed and then assigned in list order (so a record type's
// assignment, such as a bdd handle's reference counting, is honoured).
template <typename T>
T* array_convert(list<T>& l) {
  if (l.empty()) return nullptr;
  T* a = new T[l.size()];
  std::size_t i = 0;
  for (const T& x : l) a[i++] = x;
  return a;
}

template <typename T>
bool item_in(list<T>& l, const typename tessan_list_detail::same<T>::type& x) {
  for (const T& y : l)
    if (y == x) return true;
  return false;
}

template <typename T>
int item_where(list<T>& l, const typename tessan_list_detail::same<T>::type& x) {
  int position = 1;
  for (const T& y : l) {
    if (y == x) return position;
    ++position;
  }
  return 0;
}

// The element at position n, or T() (0 for numbers) when there is none.
template <typename T>
T read_number(list<T>& l, int n) {
  if (n < 1) return T();
  for (const T& y : l)
    if (--n == 0) return y;
  return T();
}

template <typename T>
void replace_number(list<T>& l, int n, const typename tessan_list_detail::same<T>::type& x) {
  if (n < 1) return;
  for (T& y : l)
    if (--n == 0) {
      y = x;
      return;
    }
}

template <typename T>
T car(list<T>& l) {
  if (l.empty()) {
    std::cerr << "Warning: abnormal use of car(list<T> &)" << std::endl;
    return T();
  }
  return l.front();
}

template <typename T>
std::ostream& operator<<(std::ostream& os, list<T>& l);
template <typename T>
std::ostream& operator<<(std::ostream& os, const list<T>& l);

namespace tessan_list_detail {
template <typename L>
std::ostream& print(std::ostream& os, L& l) {
  os << "(";
  bool first = true;
  for (auto& x : l) {
    if (!first) os << ", ";
    first = false;
    os << x << std::flush;
  }
  os << ")" << std::flush;
  return os;
}
}  // namespace tessan_list_detail

// "(a, b, c)", each element by its own operator<< (found where the element
// type is declared), flushed after each element; a list of lists prints
// nested: ((1, 2), (3)).
template <typename T>
std::ostream& operator<<(std::ostream& os, list<T>& l) {
  return tessan_list_detail::print(os, l);
}

template <typename T>
std::ostream& operator<<(std::ostream& os, const list<T>& l) {
  return tessan_list_detail::print(os, l);
}

#endif
