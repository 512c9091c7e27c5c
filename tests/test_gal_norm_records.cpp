// Declaration records and the run instance: values, order, dumps, renaming.
#include <gtest/gtest.h>

#include <list>
#include <set>
#include <sstream>
#include <utility>

#include "chart/gal_norm.h"

namespace {

template <class T>
String dump(const T& value) {
  std::ostringstream os;
  os << value;
  return os.str();
}

String S(const char* s) { return String(s); }

}  // namespace

TEST(Variables, OrderByNameThenType) {
  const gal_declaration_variables int_b("int", "b"), bool_a("bool", "a");
  EXPECT_TRUE(bool_a < int_b);
  EXPECT_FALSE(int_b < bool_a);
  const gal_declaration_variables a_x("a", "x"), b_x("b", "x");
  EXPECT_TRUE(a_x < b_x);
  EXPECT_FALSE(b_x < a_x);

  std::set<gal_declaration_variables> ordered{int_b, b_x, bool_a, a_x};
  std::ostringstream names;
  for (const auto& v : ordered) names << v.nom() << v.typev() << ";";
  EXPECT_EQ(names.str(), "abool;bint;xa;xb;");
}

TEST(Variables, DefaultsEqualityAndDump) {
  const gal_declaration_variables none;
  EXPECT_EQ(none.nom(), "?");
  EXPECT_EQ(none.typev(), "?");
  String t = "pure", n = "go";
  const gal_declaration_variables read(&t, &n);
  EXPECT_EQ(read, gal_declaration_variables("pure", "go"));
  EXPECT_NE(read, gal_declaration_variables("", "go"));
  EXPECT_EQ(dump(read), "go : pure");
  EXPECT_EQ(dump(gal_declaration_variables("", "x")), "x : ");
}

TEST(Constants, ReaderPairsLaterWinsAndStrayIndexIgnoredSilently) {
  String t = "integer", n = "N";
  std::list<std::pair<int, String>> pairs{{5, "x"}, {7, "y"}, {5, "z"}, {-1, "w"}};
  testing::internal::CaptureStderr();
  const gal_declaration_constants c(&t, &n, &pairs);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(c.value(i), "") << i;
  EXPECT_EQ(c.value(5), "z");
}

TEST(Constants, ValueOutOfRangeReportsAndKeepsRecord) {
  String values[6] = {"0", "1", "2", "3", "4", "5"};
  gal_declaration_constants c(S("int"), S("K"), values);
  const gal_declaration_constants before = c;

  testing::internal::CaptureStderr();
  EXPECT_EQ(c.value(6), "???");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "internal error in gal_declaration_constants::value(int)! \n");

  testing::internal::CaptureStderr();
  c.value(-1, "new");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "internal error in gal_declaration_constants::value(int,String)! \n");
  EXPECT_EQ(c, before);

  c.value(3, "three");
  EXPECT_EQ(c.value(3), "three");
  EXPECT_NE(c, before);
}

TEST(Constants, DumpLabelsEveryValueInIndexOrder) {
  String t = "int", n = "K";
  String v[6] = {"d", "c", "v", "n", "l", "e"};
  EXPECT_EQ(dump(gal_declaration_constants(&t, &n, v)),
            "int K = \"d\" c= \"c\" vhdl= \"v\" nusmv= \"n\" lustre= \"l\" esterel= \"e\"");
  EXPECT_EQ(dump(gal_declaration_constants()),
            "? ? = \"\" c= \"\" vhdl= \"\" nusmv= \"\" lustre= \"\" esterel= \"\"");
}

TEST(Functions, ResultTypeComesFirstAndDumpListsArguments) {
  const gal_declaration_functions f(S("bool"), S("cmp"), std::list<String>{"int", "float"});
  EXPECT_EQ(f.result(), "bool");
  EXPECT_EQ(f.name(), "cmp");
  EXPECT_EQ(dump(f), "bool cmp(int,float)");
  EXPECT_EQ(dump(gal_declaration_functions(S("int"), S("now"), {})), "int now()");

  gal_declaration_functions g = f;
  EXPECT_EQ(g, f);
  g.arguments({"int"});
  EXPECT_NE(g, f);
}

TEST(Programs, EqualityIgnoresPorts) {
  const std::list<gal_declaration_variables> a{{"pure", "A"}}, b{{"int", "B"}, {"pure", "C"}};
  const gal_declaration_progs p(S("/lib"), S("m.gal"), S("m"), a, {}, a);
  const gal_declaration_progs q(S("/lib"), S("m.gal"), S("m"), b, b, {});
  EXPECT_EQ(p, q);
  EXPECT_NE(p, gal_declaration_progs(S("/lib"), S("n.gal"), S("m"), a, {}, a));
  EXPECT_EQ(q.my_inputs_list().size(), 2u);
  EXPECT_TRUE(q.my_outputs_list().empty());
}

TEST(Programs, ReaderOrderIsPathFileModuleAndDump) {
  String path = "dir", file = "f.gal", module = "mod";
  std::list<gal_declaration_variables> in{{"pure", "I"}};
  const gal_declaration_progs p(&path, &file, &module, &in, nullptr, nullptr);
  EXPECT_EQ(p.chemin(), "dir");
  EXPECT_EQ(p.nom_fichier(), "f.gal");
  EXPECT_EQ(p.nom_module(), "mod");
  EXPECT_EQ(p.my_inputs_list(), in);
  EXPECT_EQ(dump(p), "dir: f.gal: mod");
  EXPECT_EQ(dump(gal_declaration_progs()), "?: ?: ?");
}

TEST(Pres, WithoutInitialValueHoldsDashes) {
  String pre = "pA", actual = "A", init = "0";
  EXPECT_EQ(dump(gal_declaration_pres(&pre, &actual)), "pA A --- ");
  const gal_declaration_pres with(&pre, &actual, &init);
  EXPECT_EQ(with.initialname(), "0");
  EXPECT_EQ(dump(with), "pA A 0 ");
  EXPECT_NE(with, gal_declaration_pres(&pre, &actual));
  EXPECT_EQ(dump(gal_declaration_pres()), "   ");
}

TEST(RunInstance, RenamingMapsFormalToActual) {
  const gal_run_instance run(0, "A\\x,B\\y");
  EXPECT_EQ(run.renaming_signal("y"), "B");
  EXPECT_EQ(run.renaming_signal("x"), "A");
  EXPECT_EQ(run.renaming_signal("A"), "A");  // first word of the text
  EXPECT_EQ(run.renaming_signal("B"), "B");  // an actual name, no formal: itself
  EXPECT_EQ(run.renaming_signal("z"), "z");
  EXPECT_EQ(run.renaming_signal("xx"), "xx");
}

// A name is looked up only where it stands as a formal, after a backslash,
// even when an earlier pair holds it as its actual.
TEST(RunInstance, NamesReusedAcrossPairsMapByTheirFormal) {
  const struct {
    const char *renaming, *name, *actual;
  } cases[] = {
      {"B\\A,A\\B", "B", "A"}, {"B\\A,A\\B", "A", "B"}, {"b\\x,a\\b", "b", "a"},
      {"b\\x,a\\b", "x", "b"}, {"b\\x,a\\b", "a", "a"},  {"x\\x", "x", "x"},
      {"A\\xx,B\\x", "x", "B"}, {"A\\x.y,B\\x", "x", "A"}, {"\\x,B\\y", "x", "x"},
      {"\\x,B\\y", "y", "B"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(gal_run_instance(0, c.renaming).renaming_signal(c.name), c.actual) << c.renaming << " " << c.name;
}

TEST(RunInstance, EmptyRenamingMapsEveryNameToItself) {
  const gal_run_instance run;
  EXPECT_EQ(run.ident(), -1);
  EXPECT_EQ(run.renaming_signal("x"), "x");
  EXPECT_EQ(run.renaming_signal(""), "");
}

TEST(RunInstance, LongerActualNamesAndDump) {
  gal_run_instance run(2, "go_on\\start,stop_now\\halt");
  EXPECT_EQ(run.renaming_signal("halt"), "stop_now");
  EXPECT_EQ(run.renaming_signal("start"), "go_on");
  EXPECT_EQ(dump(run), "2 go_on\\start,stop_now\\halt ");
  EXPECT_EQ(run, gal_run_instance(2, "go_on\\start,stop_now\\halt"));
  run.ident(3);
  EXPECT_NE(run, gal_run_instance(2, "go_on\\start,stop_now\\halt"));
}
