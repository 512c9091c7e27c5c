// Declaration records and the run instance: dumps, comparisons, order, constant values
// and the renaming of a run's signals, against whole texts in tests/data/readertext/.
#include <gtest/gtest.h>

#include <set>

#include "chart/gal_norm.h"
#include "tests/test_files.h"

namespace {

const String data = String(TESSAN_TEST_DATA) + "/readertext/";

using V = gal_declaration_variables;
using C = gal_declaration_constants;
using P = gal_declaration_progs;

// A record's dump, what == and then != say of it and another, and the other.
template <class T>
String compared(const T& a, const T& b) {
  std::ostringstream os;
  os << a << (a == b ? " == " : " != ") << (a != b ? "!= " : "== ") << b << "\n";
  return os.str();
}

TEST(Records, DumpsComparisonsAndOrderOfEveryKind) {
  String type = "int", name = "K", pre = "pA", actual = "A", initial = "0", path = "dir", file = "f.gal";
  String values[6] = {"d", "c", "v", "n", "l", "e"};
  std::list<std::pair<int, String>> read_values{{5, "x"}, {7, "y"}, {5, "z"}, {-1, "w"}};
  std::list<String> arguments{"int", "float"};
  std::list<V> inputs{{"pure", "I"}}, two{{"int", "B"}, {"pure", "C"}};
  std::ostringstream os;
  testing::internal::CaptureStderr();
  for (const V& v : std::set<V>{{"int", "b"}, {"b", "x"}, {"bool", "a"}, {"a", "x"}}) os << v << "; ";
  os << "\n" << compared(V(), V("?", "K")) << compared(V(&type, &name), V("int", "K"));
  C constant(type, name, values);
  os << compared(C(&type, &name, values), constant) << compared(C(&type, &name, &read_values), C());
  os << constant.value(6) << "\n";
  constant.value(-1, "new");
  os << compared(constant, C(type, name, values));
  constant.value(3, "three");
  os << compared(constant, C(type, name, values));
  gal_declaration_functions function(&type, &name, &arguments);
  os << compared(function, gal_declaration_functions("int", "K", {"int", "float"}));
  function.arguments({"int"});
  os << compared(function, gal_declaration_functions("int", "K", {"int", "float"}));
  os << compared(gal_declaration_functions("bool", "now", {}), gal_declaration_functions());
  const P read(&path, &file, &name, &inputs, nullptr, nullptr);
  os << compared(read, P("dir", "f.gal", "K", two, two, {}));  // the ports are not compared
  os << compared(read, P("dir", "g.gal", "K", {}, {}, {}));
  os << read.my_inputs_list().front() << " " << read.my_outputs_list().size() << "\n" << compared(P(), P());
  os << compared(gal_declaration_pres(&pre, &actual), gal_declaration_pres(&pre, &actual, &initial));
  os << compared(gal_declaration_pres(), gal_declaration_pres("", "", ""));
  gal_run_instance run(2, "go_on\\start,stop_now\\halt");
  os << compared(gal_run_instance(), gal_run_instance(-1, ""));
  os << compared(run, gal_run_instance(2, run.renaming()));
  run.ident(3);
  os << compared(run, gal_run_instance(2, run.renaming()));
  os << testing::internal::GetCapturedStderr();
  test_files::expect_fixture("readertext/records.txt", os.str());
}

// A name is looked up only where it stands as a formal, after a backslash,
// even when an earlier pair holds it as its actual.
TEST(Records, RunInstanceMapsEachFormalToItsActualAndOtherNamesToThemselves) {
  test_files::check_table(data + "renamings.txt", {{"renaming_signal", [](const std::vector<String>& in) {
    return std::vector<String>{gal_run_instance(0, in[0]).renaming_signal(in[1])};
  }}});
}

}  // namespace
