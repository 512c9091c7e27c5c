// The BDD engine's store and operations: declarations, lookups, names,
// reference counts, the collector, statistics and dumps, then every operator
// against truth tables, restriction, quantifiers, composition, copies and
// literal tables, and the fatal misuses.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd_truth_table.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

String address_of(const void* p) {
  std::ostringstream os;
  os << p;
  return os.str();
}

// A manager with variables named after the letters a, b, c ... in order.
struct letters : bddpp_manager {
  std::vector<bdd> v;
  explicit letters(int n) {
    for (int i = 0; i < n; ++i) v.push_back(New_var_last(String(1, char('a' + i))));
  }
  ~letters() { v.clear(); }
  truth_table table(const bdd& f) { return truth_table_of(*this, f, static_cast<int>(v.size())); }
  // The function whose truth table (over all the letters) is bits.
  bdd from_table(std::uint64_t bits) {
    bdd r = Bdd_zero();
    const int n = static_cast<int>(v.size());
    for (std::uint64_t k = 0; k < (std::uint64_t(1) << n); ++k) {
      if (!((bits >> k) & 1u)) continue;
      std::vector<int> lit(static_cast<std::size_t>(n));
      for (int i = 0; i < n; ++i) lit[static_cast<std::size_t>(i)] = static_cast<int>((k >> i) & 1u);
      r = Bdd_or(r, Literals_to_bdd(lit.data()));
    }
    return r;
  }
};

std::uint64_t bits_of(const truth_table& t) { return t[0]; }

// The names of the variables, top first.
std::vector<String> order_of(bddpp_manager& m) {
  std::vector<String> order;
  for (int i = 0; i < m.var_count; ++i) order.push_back(m.Name_var_by_index(i));
  return order;
}

String stats_of(bddpp_manager& m) {
  std::ostringstream os;
  m.Bdd_stats(os);
  return os.str();
}

// The node table part of the statistics: every node with its number and count.
String node_map_of(bddpp_manager& m) {
  const String stats = stats_of(m);
  return stats.substr(stats.find("Map:"));
}

// What write wrote to a C stream.
template <class F>
String written_to_stream(F write) {
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  write(out);
  std::fclose(out);
  String text(buffer, size);
  std::free(buffer);
  return text;
}

// ---- Declarations and lookups -----------------------------------------------

TEST(BddManager, RedeclaringANameReturnsTheExistingVariable) {
  letters m(2);
  EXPECT_EQ(m.New_var_last("a"), m.v[0]);
  EXPECT_EQ(m.var_count, 2);
  EXPECT_EQ(m.Id_var_by_name("a"), 0);
  EXPECT_EQ(m.Index_var_by_name("a"), 0);
  EXPECT_EQ(m.Id_var_by_name("b"), 1);
  EXPECT_EQ(m.Index_var_by_name("b"), 1);
}

TEST(BddManager, DeclaringBeforeAPositionShiftsTheOthersDown) {
  letters m(2);
  bdd c = m.New_var_before(0, "c");
  EXPECT_EQ(m.Bdd_if_id(c), 2);
  EXPECT_EQ(m.Bdd_if_index(c), 0);
  EXPECT_EQ(m.Index_var_by_name("a"), 1);
  EXPECT_EQ(m.Index_var_by_name("b"), 2);
  EXPECT_EQ(order_of(m), (std::vector<String>{"c", "a", "b"}));
}

TEST(BddManager, DeclaringAfterAPositionOrAVariable) {
  letters m(2);
  m.New_var_after(1, "last");
  m.New_var_after(-1, "top");
  m.New_var_after(m.v[0], "after_a");
  EXPECT_EQ(order_of(m), (std::vector<String>{"top", "a", "after_a", "b", "last"}));
}

TEST(BddManager, BadPositionsAreRefusedWithAMessage) {
  letters m(1);
  CaptureStderr();
  bdd before = m.New_var_before(1, "x");
  bdd after = m.New_var_after(1, "y");
  EXPECT_EQ(GetCapturedStderr(),
            "Error in new_node_var_before(): abnormal index ...\n"
            "Error in new_node_var_after(): abnormal id ...\n");
  EXPECT_EQ(before.node(), nullptr);
  EXPECT_EQ(after.node(), nullptr);
  EXPECT_EQ(m.var_count, 1);
}

TEST(BddManager, TheSeventeenthDeclarationDoublesTheTables) {
  bddpp_manager m;
  std::vector<bdd> vars;
  vars.push_back(m.New_var_last("v0"));
  for (int i = 1; i < 16; ++i) vars.push_back(m.New_var_before(i - 1, "v" + std::to_string(i)));
  EXPECT_EQ(m.capacity, 16);
  std::vector<String> order = order_of(m);
  vars.push_back(m.New_var_last("v16"));
  EXPECT_EQ(m.capacity, 32);
  order.push_back("v16");
  EXPECT_EQ(order_of(m), order);
  for (int i = 0; i < 17; ++i) EXPECT_EQ(m.Bdd_var_by_name("v" + std::to_string(i)), vars[static_cast<std::size_t>(i)]);
  EXPECT_EQ(m.Index_var_by_name("v16"), 16);
}

TEST(BddManager, LookupsOutOfRange) {
  letters m(2);
  CaptureStderr();
  EXPECT_EQ(m.Bdd_var_by_index(-1), m.Bdd_one());
  EXPECT_EQ(GetCapturedStderr(), "");
  CaptureStderr();
  EXPECT_EQ(m.Bdd_var_by_index(5), bdd());
  EXPECT_EQ(m.Bdd_var_by_id(7), m.Bdd_zero());
  EXPECT_EQ(GetCapturedStderr(),
            "calling bddpp_manager::Bdd_var_by_index() with index= 5 :out of range!\n"
            "calling bddpp_manager::Bdd_var_by_id() with id= 7 :out of range!\n");
  CaptureStderr();
  EXPECT_EQ(m.Bdd_var_by_name("zz"), m.Bdd_zero());
  EXPECT_EQ(m.Id_var_by_name("zz"), -1);
  EXPECT_EQ(m.Index_var_by_name("zz"), -1);
  EXPECT_EQ(GetCapturedStderr(), "");
  EXPECT_EQ(m.Bdd_var_by_name("a"), m.v[0]);
}

TEST(BddManager, TopVariableOfForeignOrEmptyHandles) {
  bddpp_manager m, other;
  bdd a = m.New_var_last("a");
  bdd x = other.New_var_last("x");
  EXPECT_EQ(m.Bdd_if_id(a), 0);
  EXPECT_EQ(m.Bdd_if_index(m.Bdd_one()), -1);
  EXPECT_EQ(m.Bdd_if_id(m.Bdd_zero()), -1);
  CaptureStderr();
  EXPECT_EQ(m.Bdd_if_id(x), -3);
  EXPECT_EQ(m.Bdd_if_index(bdd()), -3);
  EXPECT_EQ(GetCapturedStderr(),
            "Error in bddpp_manager::Bdd_if_id(): bad Bdd manager or bdd not initialized!\n"
            "Error in bddpp_manager::Bdd_if_index(): bad Bdd manager or bdd not initialized!\n");
}

TEST(BddManager, NamesOfHandles) {
  letters m(2);
  EXPECT_EQ(m.Name_var_by_bdd(m.Bdd_one()), "1");
  EXPECT_EQ(m.Name_var_by_bdd(m.Bdd_zero()), "0");
  EXPECT_EQ(m.Name_var_by_bdd(m.Bdd_not(m.v[1])), "b");
  EXPECT_EQ(m.Name_var_by_bdd(m.Bdd_and(m.v[0], m.v[1])), "a");
}

// ---- Names ------------------------------------------------------------------

// A renaming changes the printed name only: lookups still go by the declared
// name. It is refused, with a warning, onto a taken name or from a missing one.
TEST(BddNames, RenamingChangesPrintedNamesButNotLookupsAndRefusesClashes) {
  letters m(2);
  CaptureStderr();
  m.Rename_var("b", "a");
  m.Rename_var("c", "zz");
  EXPECT_EQ(GetCapturedStderr(),
            "in bdd_manager::Rename_var(): WARNING b ALREADY DEFINED !\n"
            "renaming process aborted ...\n"
            "in bdd_manager::Rename_var(): WARNING zz NOT FOUND !\n"
            "renaming process aborted ...\n");
  EXPECT_EQ(order_of(m), (std::vector<String>{"a", "b"}));
  m.Rename_var("x", "a");
  EXPECT_EQ(m.Name_var_by_id(0), "x");
  EXPECT_EQ(m.Id_var_by_name("a"), 0);
  EXPECT_EQ(m.Id_var_by_name("x"), -1);
}

TEST(BddNames, CharacterReplacementAndLeadingUnderscores) {
  bddpp_manager m;
  m.New_var_last("_x.y");
  m.New_var_last("z_");
  m.New_var_before(0, "k.l");
  m.Replace_char_in_all_names('.', '_');
  m.No_begin_underscore_name();
  EXPECT_EQ(m.Name_var_by_id(0), "v_x_y");
  EXPECT_EQ(m.Name_var_by_id(1), "z_");
  EXPECT_EQ(m.Name_var_by_id(2), "k_l");
  m.Change_name_by_index(0, "first");
  m.Change_name_by_id(1, "second");
  EXPECT_EQ(m.Name_var_by_id(2), "first");
  EXPECT_EQ(m.Name_var_by_index(2), "second");
}

TEST(BddNames, PositionsAndIdsOutOfRangeGiveAnEmptyNameAndChangeNothing) {
  letters m(1);
  CaptureStderr();
  EXPECT_EQ(m.Name_var_by_id(1), "");
  EXPECT_EQ(m.Name_var_by_index(-1), "");
  m.Change_name_by_id(40, "x");
  m.Change_name_by_index(1, "y");
  EXPECT_EQ(GetCapturedStderr(), "calling bddpp_manager::Name_var_by_id() with id= 1 :out of range!\n"
                                 "calling bddpp_manager::Name_var_by_index() with index= -1 :out of range!\n"
                                 "calling bddpp_manager::Change_name_by_id() with id= 40 :out of range!\n"
                                 "calling bddpp_manager::Change_name_by_index() with index= 1 :out of range!\n");
  EXPECT_EQ(m.Name_var_by_id(0), "a");
}

// ---- Handles and reference counts -------------------------------------------

TEST(BddHandles, CopiesAndAssignmentsCountReferences) {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  bdd_node* n = a.node();
  EXPECT_EQ(n->refs, 1);
  {
    bdd copy(a);
    EXPECT_EQ(n->refs, 2);
    bdd& same = copy;
    copy = same;
    copy = a;
    EXPECT_EQ(n->refs, 2);
    copy = m.Bdd_not(a);
    EXPECT_EQ(n->refs, 2);
    copy = m.Bdd_one();
    EXPECT_EQ(n->refs, 1);
  }
  EXPECT_EQ(n->refs, 1);
  bdd empty;
  EXPECT_EQ(empty.link_type(), 0);
  EXPECT_EQ(empty.node(), nullptr);
}

TEST(BddHandles, OneLineDump) {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  std::ostringstream os;
  os << m.Bdd_not(a) << "|" << bdd();
  EXPECT_EQ(os.str(), "adr manager= " + address_of(&m) + ", link type =-1, adr node= " + address_of(a.node()) +
                          ", node signature: 2097154|adr manager= " + address_of(nullptr) +
                          ", link type =0, adr node= " + address_of(nullptr) + ", ");
}

TEST(BddHandles, DupAndFreeOnlyWarn) {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  CaptureStderr();
  bdd d = m.Bdd_dup(a);
  m.Bdd_free(d);
  EXPECT_EQ(GetCapturedStderr(),
            "Warning: bddpp_manager::Bdd_dup() is became useless ...\n"
            "Warning: bddpp_manager::Bdd_free() is now became useless\n"
            "adr manager= " + address_of(&m) + ", link type =1, adr node= " + address_of(a.node()) +
                ", node signature: 2097154\n");
  EXPECT_EQ(d, a);
}

// ---- Collector and statistics -----------------------------------------------

TEST(BddCollector, FreesUnreferencedNodesOverAsManyPassesAsNeeded) {
  letters m(5);
  const std::int32_t variables_only = m.table_node_count();
  {
    bdd f = m.v[0];
    for (int i = 1; i < 5; ++i) f = m.Bdd_xor(f, m.v[static_cast<std::size_t>(i)]);
    bdd kept = m.Bdd_and(m.v[0], m.v[1]);
    m.Bdd_gc();
    EXPECT_EQ(m.gc_calls, 1);
    EXPECT_EQ(m.table_node_count(), variables_only + 1 + m.Bdd_size(f) - 2);
    EXPECT_TRUE(m.Bdd_is_correct(f));
    EXPECT_EQ(m.table(f), m.table(m.Bdd_xor(m.Bdd_xor(m.Bdd_xor(m.Bdd_xor(m.v[0], m.v[1]), m.v[2]), m.v[3]), m.v[4])));
    f = m.Bdd_one();
    m.Bdd_gc();
    EXPECT_EQ(m.table_node_count(), variables_only + 1);
  }
  m.Bdd_gc();
  EXPECT_EQ(m.table_node_count(), variables_only);
  EXPECT_EQ(m.gc_calls, 3);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(m.Bdd_var_by_index(i), m.v[static_cast<std::size_t>(i)]);
}

// What the substitution table holds survives a collection; once the table
// lets it go, the next collection frees it.
TEST(BddCollector, KeepsTheFunctionsOfTheSubstitutionTableUntilTheyAreReplaced) {
  letters m(3);
  const std::int32_t variables_only = m.table_node_count();
  bdd_node* stored;
  {
    bdd f = m.Bdd_or(m.Bdd_and(m.v[0], m.v[1]), m.v[2]);
    stored = f.node();
    m.assoc[2] = bdd_assoc_entry{f.node(), f.link_type()};
  }
  m.Bdd_gc();
  EXPECT_GT(m.table_node_count(), variables_only);
  EXPECT_EQ(m.Bdd_or(m.Bdd_and(m.v[0], m.v[1]), m.v[2]).node(), stored);
  m.assoc[2] = bdd_assoc_entry{m.v[2].node(), 1};
  m.Bdd_gc();
  EXPECT_EQ(m.table_node_count(), variables_only);
}

TEST(BddCollector, FreesANodeWhoseCountWentUpAndDownManyTimes) {
  letters m(4);
  const std::int32_t variables_only = m.table_node_count();
  bdd f = m.Bdd_and(m.v[0], m.Bdd_or(m.v[1], m.v[2]));
  const std::int32_t with_f = m.table_node_count();
  // The same results are found again, not created: only the counts move.
  for (int i = 0; i < 300000; ++i) {
    bdd g = m.Bdd_and(f, m.v[3]);
    bdd h = g;
  }
  m.Bdd_gc();
  EXPECT_EQ(m.table_node_count(), with_f);
  f = m.Bdd_one();
  m.Bdd_gc();
  EXPECT_EQ(m.table_node_count(), variables_only);
}

TEST(BddStats, AFreshManager) {
  bddpp_manager m;
  EXPECT_EQ(stats_of(m), "BDD MANAGER statistics:\n"
                      "memory adress: " + address_of(&m) + " Version: 4.9\n"
                      "bdd constant number: 1\n"
                      "-: 1 --> -1\n"
                      "bdd variables number: 0\n"
                      "Map:\n"
                      "global id: sign = var_index then_node else_node else_link_type (refs number)\n"
                      "Finaly:\n"
                      "Map Nodes number: 0 --> useless: 0\n"
                      "Global references number: 0\n"
                      "number of garbage collector calls: 0\n" +
                          String(46, '-') + "\n");
  EXPECT_EQ(m.Bdd_version(), "4.9");
  EXPECT_EQ(Bdd_version(), "4.9");
}

TEST(BddStats, TableEntriesInKeyOrderWithTheirStructure) {
  letters m(2);
  bdd f = m.Bdd_and(m.v[0], m.v[1]);
  bdd unused = m.Bdd_or(m.v[0], m.v[1]);
  unused = bdd();
  const String rule(43, '-');
  EXPECT_EQ(stats_of(m), "BDD MANAGER statistics:\n"
                      "memory adress: " + address_of(&m) + " Version: 4.9\n"
                      "bdd constant number: 1\n"
                      "-: 1 --> -1\n"
                      "bdd variables number: 2\n"
                      "Index (Id): name --> signature\n"
                      "0(0): a --> 2097154\n"
                      "1(1): b --> 2199025352706\n"
                      "Map:\n"
                      "global id: sign = var_index then_node else_node else_link_type (refs number)\n"
                      "2: 2097154 = 0 1 1 inverse (1)\n"
                      "a (node: 2,index: 0)\n" + rule + "\n"
                      "5: 2097159 = 0 1 3 normal (0)\n"
                      "if a (node: 5,index: 0)\n"
                      "  1 (node: 1,index: -1)\n"
                      "else (not a)\n"
                      "  b (node: 3,index: 1)\n" + rule + "\n"
                      "4: 6291458 = 0 3 1 inverse (1)\n"
                      "if a (node: 4,index: 0)\n"
                      "  b (node: 3,index: 1)\n"
                      "else (not a)\n"
                      "  not(\n"
                      "      1 (node: 1,index: -1)\n"
                      "     )\n" + rule + "\n"
                      "3: 2199025352706 = 1 1 1 inverse (3)\n"
                      "b (node: 3,index: 1)\n" + rule + "\n"
                      "Finaly:\n"
                      "Map Nodes number: 4 --> useless: 1\n"
                      "Global references number: 5\n"
                      "number of garbage collector calls: 0\n" +
                          String(46, '-') + "\n");
}

// ---- Dumps, marks and sizes ---------------------------------------------------

TEST(BddDumps, StructureOfAFunctionAndOfItsComplement) {
  letters m(2);
  bdd f = m.Bdd_and(m.v[0], m.v[1]);
  std::ostringstream plain, negated;
  m.Print_bdd_structure(plain, f);
  m.Print_bdd_structure(negated, m.Bdd_not(f));
  EXPECT_EQ(plain.str(), "if a (node: 0,index: 0)\n"
                         "  b (node: 1,index: 1)\n"
                         "else (not a)\n"
                         "  not(\n"
                         "      1 (node: 2,index: -1)\n"
                         "     )\n");
  EXPECT_EQ(negated.str(), "not(\n"
                           "     if a (node: 0,index: 0)\n"
                           "       b (node: 1,index: 1)\n"
                           "     else (not a)\n"
                           "       not(\n"
                           "           1 (node: 2,index: -1)\n"
                           "          )\n"
                           "   )\n");
}

TEST(BddDumps, SharedNodesAreDumpedOnceAndTheFileFormMatches) {
  letters m(3);
  bdd f = m.Bdd_xor(m.Bdd_xor(m.v[0], m.v[1]), m.v[2]);
  std::ostringstream os;
  m.Print_bdd_structure(os, f);
  EXPECT_NE(os.str().find("already found node: "), String::npos);
  EXPECT_EQ(written_to_stream([&](FILE* out) { m.Print_bdd_structure(out, f); }), os.str());
}

TEST(BddDumps, GlobalFileFormSaysGlobalIndex) {
  letters m(1);
  EXPECT_EQ(written_to_stream([&](FILE* out) {
              m.Print_bdd_global_structure_loc(out, 2, m.v[0].node());
              m.Chars('*', 3, out);
            }),
            "  a (node: 2,global index: 0)\n***");
}

TEST(BddSizes, CountDistinctNodesWithTheConstant) {
  letters m(3);
  EXPECT_EQ(m.Bdd_size(m.Bdd_and(m.v[0], m.v[1])), 3);
  EXPECT_EQ(m.Bdd_size(m.Bdd_one()), 1);
  bdd parity = m.Bdd_xor(m.Bdd_xor(m.v[0], m.v[1]), m.v[2]);
  EXPECT_EQ(m.Bdd_size(parity), 4);
  EXPECT_EQ(m.Bdd_total_size(), m.next_gid);
}

TEST(BddSizes, IncrementalNumberingIsThenFirstAndSkipsMarkedNodes) {
  letters m(2);
  bdd f = m.Bdd_or(m.v[0], m.v[1]);
  m.Bdd_clear_marks(f);
  EXPECT_EQ(m.Bdd_incremental_id(f.node(), 10), 13);
  EXPECT_EQ(f.node()->traversal_number, 10);
  EXPECT_EQ(f.node()->else_node->traversal_number, 12);
  EXPECT_EQ(m.Bdd_incremental_id(f.node(), 20), 20);
  m.Bdd_global_clear_marks();
  EXPECT_EQ(f.node()->mark, 0);
  CaptureStderr();
  EXPECT_EQ(m.Bdd_incremental_id(nullptr, 4), 4);
  EXPECT_EQ(GetCapturedStderr(), "Warning: call bddpp_manager::Bdd_incremental_id() with null reference!\n");
}

// ---- Support queries ---------------------------------------------------------

TEST(BddSupport, IdsPositionsAndPresence) {
  letters m(2);
  bdd a = m.v[0], b = m.v[1];
  bdd c = m.New_var_before(0, "c");
  bdd f = m.Bdd_and(c, b);
  EXPECT_EQ(m.set_of_id_depend_on(f), (std::set<std::int32_t>{1, 2}));
  EXPECT_EQ(m.set_of_index_depend_on(f), (std::set<std::int32_t>{0, 2}));
  EXPECT_TRUE(m.set_of_id_depend_on(m.Bdd_one()).empty());
  int present[3] = {7, 7, 7};
  m.Present_variables(f, present);
  EXPECT_EQ(std::vector<int>(present, present + 3), (std::vector<int>{1, 0, 1}));
  EXPECT_TRUE(m.exists_common_variables(f, m.Bdd_or(a, b)));
  EXPECT_FALSE(m.exists_common_variables(f, a));
}

TEST(BddSupport, ManyVariablesAndAForeignManager) {
  bddpp_manager m, other;
  std::vector<bdd> v;
  for (int i = 0; i < 200; ++i) v.push_back(m.New_var_last("x" + std::to_string(i)));
  bdd f = m.Bdd_or(m.Bdd_and(v[3], v[130]), v[199]);
  EXPECT_EQ(m.set_of_id_depend_on(f), (std::set<std::int32_t>{3, 130, 199}));
  EXPECT_EQ(f.node()->support.size(), 3);
  CaptureStderr();
  EXPECT_TRUE(other.set_of_id_depend_on(f).empty());
  EXPECT_EQ(GetCapturedStderr(), "Warning: call  bddpp_manager::set_of_id_depend_on() with a bad manager\n"
                                 "Awaited: " + address_of(&other) + " found: " + address_of(&m) + "\n");
}

TEST(BddSupport, SetUnionAndStringTableSize) {
  EXPECT_EQ(set_union<std::int32_t>({1, 3}, {2, 3}), (std::set<std::int32_t>{1, 2, 3}));
  String table[2] = {"ab", String(40, 'x')};
  EXPECT_EQ(String_table_memory_size(table, 0), 0);
  EXPECT_EQ(String_table_memory_size(table, 1), 15);
  EXPECT_GE(String_table_memory_size(table, 2), 15 + 40);
}

// ---- Construction and destruction ---------------------------------------------

TEST(BddManager, CopyConstructorTakesTheVariablesOnly) {
  letters m(2);
  bdd f = m.Bdd_and(m.v[0], m.v[1]);
  m.New_var_before(1, "c");
  bddpp_manager copy(&m);
  EXPECT_EQ(copy.var_count, 3);
  EXPECT_EQ(copy.Index_var_by_name("c"), 1);
  EXPECT_EQ(copy.Name_var_by_index(2), "b");
  EXPECT_EQ(copy.var_nodes[0]->gid, 2);
  EXPECT_EQ(copy.var_nodes[2]->gid, 4);
  EXPECT_EQ(copy.next_gid, 5);
  EXPECT_EQ(copy.table_node_count(), 3);
  EXPECT_EQ(copy.assoc[2].node, copy.var_nodes[2]);
}

TEST(BddManager, DestructionAfterDeclaringBeforeExistingVariablesIsClean) {
  // Children may come before their parents in the table; under the sanitizer
  // this run would catch any count adjusted on a freed node.
  for (int round = 0; round < 20; ++round) {
    bddpp_manager m;
    std::vector<bdd> v;
    v.push_back(m.New_var_last("x0"));
    for (int i = 1; i < 6; ++i) v.push_back(m.New_var_before(i / 2, "x" + std::to_string(i)));
    bdd f = m.Bdd_zero();
    for (int i = 0; i < 6; ++i) f = m.Bdd_xor(f, m.Bdd_and(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>((i + round) % 6)]));
    EXPECT_TRUE(m.Bdd_is_correct(f));
  }
}

// ---- Operators against truth tables -------------------------------------------

TEST(BddOperators, EveryBinaryOperatorOnEveryPairOfTwoVariableFunctions) {
  letters m(2);
  // all[t] has the truth table t. Results are compared as handles, so each
  // must also be the one diagram of its function: and(f, f) is f, or(f, not f)
  // is the constant, and the operands' order does not matter.
  std::vector<bdd> all;
  for (std::uint64_t t = 0; t < 16; ++t) all.push_back(m.from_table(t));
  EXPECT_EQ(all[10], m.v[0]);
  EXPECT_EQ(all[12], m.v[1]);
  for (std::uint64_t x = 0; x < 16; ++x) {
    EXPECT_EQ(bits_of(m.table(all[x])), x);
    EXPECT_EQ(m.Bdd_not(all[x]), all[~x & 15]);
    for (std::uint64_t y = 0; y < 16; ++y) {
      SCOPED_TRACE(testing::Message() << "truth tables " << x << " and " << y);
      const bdd &f = all[x], &g = all[y];
      EXPECT_EQ(m.Bdd_and(f, g), all[x & y]);
      EXPECT_EQ(m.Bdd_or(f, g), all[x | y]);
      EXPECT_EQ(m.Bdd_nand(f, g), all[~(x & y) & 15]);
      EXPECT_EQ(m.Bdd_nor(f, g), all[~(x | y) & 15]);
      EXPECT_EQ(m.Bdd_xor(f, g), all[x ^ y]);
      EXPECT_EQ(m.Bdd_xnor(f, g), all[~(x ^ y) & 15]);
      EXPECT_EQ(m.Bdd_eq(f, g), all[~(x ^ y) & 15]);
      EXPECT_EQ(m.Bdd_implication(f, g), all[(~x | y) & 15]);
      EXPECT_EQ(m.Bdd_equiv(f, g), x == y ? 1 : 0);
      EXPECT_EQ(m.Bdd_imply(f, g), (x & ~y) == 0 ? 1 : 0);
      EXPECT_EQ(m.Bdds_excl(f, g), (x & y) == 0 ? 1 : 0);
      EXPECT_EQ(m.Bdds_exclude(f, g), m.Bdds_excl(f, g));
    }
  }
}

TEST(BddOperators, IfThenElseOnThreeVariables) {
  letters m(3);
  for (std::uint64_t f = 0; f < 256; f += 37)
    for (std::uint64_t g = 0; g < 256; g += 23)
      for (std::uint64_t h = 0; h < 256; h += 51) {
        bdd r = m.Bdd_ite(m.from_table(f), m.from_table(g), m.from_table(h));
        EXPECT_EQ(bits_of(m.table(r)), ((f & g) | (~f & h)) & 255);
      }
  EXPECT_EQ(m.Bdd_ite(-1, 1, m.v[0], m.v[2]), m.Bdd_ite(m.Bdd_not(m.v[1]), m.v[0], m.v[2]));
  EXPECT_EQ(m.Bdd_ite(1, -1, m.v[0], m.v[2]), m.v[0]);
}

TEST(BddOperators, AConjunctionOfTwoVariablesIsOneNodeWithAComplementedElse) {
  letters m(2);
  bdd f = m.Bdd_and(m.v[0], m.v[1]);
  EXPECT_EQ(f.link_type(), 1);
  EXPECT_EQ(f.node()->id, 0);
  EXPECT_EQ(f.node()->then_node, m.v[1].node());
  EXPECT_EQ(f.node()->else_node, m.one);
  EXPECT_EQ(f.node()->else_link, -1);
}

TEST(BddOperators, DerivedOperatorsNumberTheirNodesReproducibly) {
  auto run = [] {
    letters m(4);
    bdd f = m.Bdd_ite(m.Bdd_xor(m.v[0], m.v[3]), m.Bdd_xnor(m.v[1], m.v[2]), m.Bdd_nor(m.v[0], m.v[2]));
    return node_map_of(m);
  };
  EXPECT_EQ(run(), run());
}

// The textbook walks of and/or, without a memo, straight on the node
// constructor: the engine's memoised walks must create the same nodes with
// the same numbers and counts.
struct plain_walk {
  bddpp_manager& m;
  bool for_or;
  bdd_node* run(int xl, bdd_node* x, int yl, bdd_node* y, int& link) {
    const int absorbing = for_or ? 1 : -1;  // the constant that decides alone
    if (x->id == -1 || y->id == -1) {
      const bool x_constant = x->id == -1;
      const int cl = x_constant ? xl : yl;
      if (cl == absorbing) {
        link = absorbing;
        return m.one;
      }
      link = x_constant ? yl : xl;
      return x_constant ? y : x;
    }
    if (x == y) {
      link = xl == yl ? xl : absorbing;
      return xl == yl ? x : m.one;
    }
    const std::int32_t px = m.position_of(x), py = m.position_of(y);
    int tl, el;
    bdd_node *t, *e;
    if (px < py) {
      t = run(xl, x->then_node, yl, y, tl);
      e = run(xl * x->else_link, x->else_node, yl, y, el);
    } else if (py < px) {
      t = run(yl, y->then_node, xl, x, tl);
      e = run(yl * y->else_link, y->else_node, xl, x, el);
    } else {
      t = run(xl, x->then_node, yl, y->then_node, tl);
      e = run(xl * x->else_link, x->else_node, yl * y->else_link, y->else_node, el);
    }
    if (t == e && tl == el) {
      link = tl;
      return t;
    }
    link = 1;
    return m.Find_or_create_bdd_node(std::min(px, py), tl, el, t, e, link);
  }
};

TEST(BddOperators, TheMemoCreatesTheNodesAPlainWalkCreates) {
  auto build = [](letters& m) {
    bdd f = m.Bdd_zero(), g = m.Bdd_one();
    for (int i = 0; i < 5; ++i) {
      f = m.Bdd_or(f, m.Bdd_and(m.v[static_cast<std::size_t>(i)], m.Bdd_not(m.v[static_cast<std::size_t>(i + 1)])));
      g = m.Bdd_and(g, m.Bdd_or(m.v[static_cast<std::size_t>(i + 1)], m.v[static_cast<std::size_t>((i * 3) % 6)]));
    }
    return std::make_pair(f, g);
  };
  for (bool for_or : {false, true}) {
    letters memoised(6), plain(6);
    auto [f1, g1] = build(memoised);
    auto [f2, g2] = build(plain);
    bdd r1 = for_or ? memoised.Bdd_or(f1, memoised.Bdd_not(g1)) : memoised.Bdd_and(f1, memoised.Bdd_not(g1));
    int link = 1;
    bdd_node* n = plain_walk{plain, for_or}.run(f2.link_type(), f2.node(), -g2.link_type(), g2.node(), link);
    bdd r2(&plain, link, n);
    EXPECT_EQ(r1.node()->gid, r2.node()->gid);
    EXPECT_EQ(r1.link_type(), r2.link_type());
    EXPECT_EQ(memoised.next_gid, plain.next_gid);
    EXPECT_EQ(node_map_of(memoised), node_map_of(plain));
  }
}

// ---- Tests on functions ------------------------------------------------------

TEST(BddTests, TautologiesOfBothKinds) {
  letters m(1);
  bdd a = m.v[0];
  EXPECT_EQ(m.Bdd_is_tautology(m.Bdd_and(a, m.Bdd_not(a)), 0), 1);
  EXPECT_EQ(m.Bdd_is_tautology(m.Bdd_or(a, m.Bdd_not(a)), 1), 1);
  EXPECT_EQ(m.Bdd_is_tautology(m.Bdd_zero()), 1);
  EXPECT_EQ(m.Bdd_is_tautology(m.Bdd_zero(), 1), 0);
  EXPECT_EQ(m.Bdd_is_tautology(a), 0);
  EXPECT_EQ(m.Bdd_is_tautology(a, 1), 0);
  EXPECT_EQ(m.Bdd_is_one_tautologic(m.Bdd_one()), 1);
  EXPECT_EQ(m.Bdd_is_zero_tautologic(m.Bdd_one()), 0);
}

TEST(BddTests, VariablesNegatedVariablesAndDependence) {
  letters m(3);
  bdd f = m.Bdd_and(m.v[0], m.v[2]);
  EXPECT_EQ(m.Bdd_is_var(m.v[1]), 1);
  EXPECT_EQ(m.Bdd_is_negvar(m.v[1]), 0);
  EXPECT_EQ(m.Bdd_is_negvar(m.Bdd_not(m.v[1])), 1);
  EXPECT_EQ(m.Bdd_is_var(f), 0);
  EXPECT_EQ(m.Bdd_is_var(m.Bdd_one()), 0);
  EXPECT_EQ(m.Bdd_depends_on(f, m.v[2]), 1);
  EXPECT_EQ(m.Bdd_depends_on(f, m.v[1]), 0);
  EXPECT_EQ(m.Bdd_depends_on(m.Bdd_one(), m.Bdd_zero()), 1);
  EXPECT_EQ(m.Variable_awaited(f, 2), 1);
  EXPECT_EQ(m.Variable_awaited(f, 3), 0);
  bdd g = m.Bdd_and(m.v[0], m.Bdd_not(m.v[1]));
  EXPECT_EQ(m.Variable_true_awaited(g, 1), 0);
  EXPECT_EQ(m.Variable_false_awaited(g, 1), 1);
  EXPECT_EQ(m.Variable_true_awaited(g, 0), 1);
  EXPECT_EQ(m.Variable_false_awaited(g, 0), 0);
  bddpp_manager other;
  bdd x = other.New_var_last("x");
  CaptureStderr();
  EXPECT_EQ(m.Bdd_depends_on(f, x), 0);
  EXPECT_EQ(GetCapturedStderr(),
            "Error in bddpp_manager::Bdd_node_depends_on():  bad Bdd manager or bdd(s) not initialized!\n");
}

TEST(BddTests, Cubes) {
  letters m(3);
  EXPECT_EQ(m.Bdd_is_cube(m.Bdd_one()), 1);
  EXPECT_EQ(m.Bdd_is_cube(m.Bdd_zero()), 1);
  EXPECT_EQ(m.Bdd_is_cube(m.Bdd_and(m.v[0], m.Bdd_not(m.v[1]))), 1);
  EXPECT_EQ(m.Bdd_is_cube(m.Bdd_and(m.Bdd_not(m.v[0]), m.Bdd_and(m.Bdd_not(m.v[1]), m.v[2]))), 1);
  EXPECT_EQ(m.Bdd_is_cube(m.Bdd_not(m.v[2])), 1);
  EXPECT_EQ(m.Bdd_is_cube(m.Bdd_or(m.v[0], m.v[1])), 0);
  EXPECT_EQ(m.Bdd_is_cube(m.Bdd_xor(m.v[0], m.v[1])), 0);
}

TEST(BddTests, CorrectnessOfDiagrams) {
  letters m(3);
  EXPECT_EQ(m.Bdd_is_correct(m.Bdd_xor(m.v[0], m.Bdd_and(m.v[1], m.v[2]))), 1);
  EXPECT_EQ(m.Bdd_is_correct(m.Bdd_one()), 1);
  CaptureStderr();
  EXPECT_EQ(m.Bdd_is_correct(bdd()), 0);
  EXPECT_EQ(GetCapturedStderr(), "Warning: call  bddpp_manager::Bdd_is_correct() with a null reference!\n");
  bdd_node orphan;
  EXPECT_EQ(orphan.is_correct(), 0);
}

// ---- Cofactors, restriction, quantifiers ----------------------------------------

TEST(BddCofactors, ThenElseAndTopVariable) {
  letters m(3);
  bdd f = m.Bdd_not(m.Bdd_and(m.v[0], m.v[1]));
  EXPECT_EQ(m.Bdd_then(f), m.Bdd_not(m.v[1]));
  EXPECT_EQ(m.Bdd_else(f), m.Bdd_one());
  EXPECT_EQ(m.Bdd_if(m.Bdd_and(m.v[1], m.v[2])), m.v[1]);
  CaptureStderr();
  EXPECT_EQ(m.Bdd_if(m.Bdd_one()), m.Bdd_zero());
  EXPECT_EQ(GetCapturedStderr(), "calling bddpp_manager::Bdd_if() with bdd index= -1 :out of range!\n");
}

TEST(BddRestriction, ByCubesAgainstTruthTables) {
  letters m(4);
  bdd c = m.Bdd_and(m.v[1], m.Bdd_not(m.v[3]));
  for (std::uint64_t t = 1; t < 65536; t += 4099) {
    bdd f = m.from_table(t);
    truth_table r = m.table(m.Bdd_cube_reduce(f, c));
    for (std::uint64_t k = 0; k < 16; ++k) {
      const std::uint64_t fixed = (k | 2u) & ~std::uint64_t(8);
      EXPECT_EQ((r[0] >> k) & 1u, (t >> fixed) & 1u) << t << " at " << k;
    }
    EXPECT_EQ(m.Bdd_cube_reduce(f, m.Bdd_zero()), f);
    EXPECT_EQ(m.Bdd_cube_reduce(f, m.Bdd_one()), f);
    EXPECT_EQ(m.Bdd_reduce(f, c), m.Bdd_cube_reduce(f, c));
  }
}

TEST(BddRestriction, ReduceByANonCubeConjoinsTheRestrictionsByItsCubes) {
  letters m(3);
  bdd f = m.Bdd_or(m.Bdd_and(m.v[0], m.v[2]), m.Bdd_and(m.Bdd_not(m.v[0]), m.v[1]));
  bdd g = m.Bdd_or(m.v[0], m.v[1]);
  // g's cubes: a, then a'.b: f|a = c, f|a'b = 1.
  EXPECT_EQ(m.Bdd_reduce(f, g), m.v[2]);
  EXPECT_EQ(m.Bdd_reduce(f, m.v[1]), m.Bdd_or(m.Bdd_not(m.v[0]), m.v[2]));
  EXPECT_EQ(m.Bdd_reduce(m.v[2], m.v[1]), m.v[2]);
}

TEST(BddQuantifiers, ExistAndForallOfOneVariable) {
  letters m(3);
  bdd a = m.v[0], b = m.v[1];
  EXPECT_EQ(m.Bdd_exist(m.Bdd_and(a, b), a), b);
  EXPECT_EQ(m.Bdd_forall(m.Bdd_or(a, b), a), b);
  EXPECT_EQ(m.Bdd_exist(m.Bdd_and(a, b), m.Bdd_not(a)), b);
  bdd f = m.Bdd_xor(a, m.v[2]);
  EXPECT_EQ(m.Bdd_exist(f, m.Bdd_and(a, b)), f);
  EXPECT_EQ(m.Bdd_exist(f, b), f);
  EXPECT_EQ(m.Bdd_exist(f, a), m.Bdd_one());
  EXPECT_EQ(m.Bdd_forall(f, a), m.Bdd_zero());
}

TEST(BddEvaluation, AssignmentsAndLiteralTables) {
  letters m(3);
  bdd ab = m.Bdd_and(m.v[0], m.v[1]);
  int both_free[] = {1, 2, 2};
  int a_false[] = {0, 2, 2};
  int all_set[] = {1, 1, 0};
  EXPECT_EQ(m.Bdd_eval_for_literal(ab, both_free), 2);
  EXPECT_EQ(m.Bdd_eval_for_literal(ab, a_false), 0);
  EXPECT_EQ(m.Bdd_eval_for_literal(ab, all_set), 1);
  EXPECT_EQ(m.Bdd_eval_for_literal(m.Bdd_not(ab), all_set), 0);
  bdd f = m.Bdd_or(ab, m.v[2]);
  int shared_free[] = {2, 2, 1};
  EXPECT_EQ(m.Bdd_eval_for_literal(f, shared_free), 1);
  EXPECT_EQ(m.Bdd_eval(f, both_free), m.Bdd_or(m.v[1], m.v[2]));
  EXPECT_EQ(m.Bdd_eval(f, all_set), m.Bdd_one());
  EXPECT_EQ(m.Bdd_eval(f, a_false), m.v[2]);
}

TEST(BddEvaluation, KeepFirstVariables) {
  letters m(3);
  EXPECT_EQ(m.Bdd_keep_first_variables(m.Bdd_and(m.v[0], m.v[1]), 1), m.v[0]);
  EXPECT_EQ(m.Bdd_keep_first_variables(m.Bdd_zero(), 0), m.Bdd_zero());
  EXPECT_EQ(m.Bdd_keep_first_variables(m.Bdd_xor(m.v[1], m.v[2]), 0), m.Bdd_one());
  EXPECT_EQ(m.Bdd_keep_first_variables(m.Bdd_not(m.Bdd_and(m.v[0], m.v[1])), 1), m.Bdd_one());
}

// ---- Composition and renaming --------------------------------------------------

TEST(BddComposition, ReplacesAVariableByAFunction) {
  letters m(4);
  bdd f = m.Bdd_xor(m.Bdd_and(m.v[0], m.v[1]), m.v[3]);
  bdd g = m.Bdd_or(m.v[2], m.v[3]);
  bdd r = m.Bdd_compose(f, m.v[1], g);
  EXPECT_EQ(r, m.Bdd_xor(m.Bdd_and(m.v[0], g), m.v[3]));
  EXPECT_EQ(m.Bdd_compose(f, m.v[2], g), f);
  CaptureStderr();
  EXPECT_EQ(m.Bdd_compose(f, m.Bdd_not(m.v[1]), g), m.Bdd_zero());
  EXPECT_EQ(GetCapturedStderr(), "Warning in bddpp_manager::Bdd_compose(): second parametre is not a variable!\n");
}

TEST(BddComposition, ReplaceVariablesThroughAPositionMap) {
  letters m(4);
  bdd f = m.Bdd_or(m.Bdd_and(m.v[0], m.Bdd_not(m.v[1])), m.v[2]);
  std::int32_t swap[] = {3, 2, 1, 0};
  EXPECT_EQ(m.Bdd_replace_vars(f, swap), m.Bdd_or(m.Bdd_and(m.v[3], m.Bdd_not(m.v[2])), m.v[1]));
  EXPECT_EQ(m.Bdd_replace_vars(m.Bdd_one(), swap), m.Bdd_one());
}

TEST(BddComposition, PlaceholdersOnlyWrite) {
  letters m(2);
  CaptureStderr();
  EXPECT_FALSE(m.Bdd_swap_vars(m.v[0], m.v[0], m.v[1]));
  m.Bdd_var_reorder();
  EXPECT_EQ(GetCapturedStderr(), "bddpp_manager::Bdd_swap_vars(bdd f) A FAIRE\n"
                                 "bddpp_manager::Bdd_var_reorder(void) A FAIRE\n");
}

// ---- Copies into another manager ---------------------------------------------

TEST(BddCopies, ByPosition) {
  letters from(3);
  bddpp_manager to;
  bdd x = to.New_var_last("x"), y = to.New_var_last("y"), z = to.New_var_last("z");
  bdd f = from.Bdd_not(from.Bdd_or(from.Bdd_and(from.v[0], from.v[1]), from.v[2]));
  bdd copy = Bdd_isomorphe(&to, &from, f);
  EXPECT_EQ(copy, to.Bdd_not(to.Bdd_or(to.Bdd_and(x, y), z)));
  EXPECT_EQ(Bdd_isomorphe(&to, &from, from.Bdd_zero()), to.Bdd_zero());
}

TEST(BddCopies, ThroughAPositionMap) {
  letters from(3);
  letters to(3);
  bdd f = from.Bdd_or(from.Bdd_and(from.v[0], from.Bdd_not(from.v[1])), from.v[2]);
  std::int32_t reverse[] = {2, 1, 0};
  bdd expected = to.Bdd_or(to.Bdd_and(to.v[2], to.Bdd_not(to.v[1])), to.v[0]);
  EXPECT_EQ(Bdd_isomorphe(&to, &from, f, reverse), expected);
  EXPECT_EQ(bdd(&to, f.link_type(), Bdd_isomorphe(&to, &from, f.node(), reverse)), expected);
  bdd negated = from.Bdd_not(f), one = from.Bdd_one(), empty;
  EXPECT_EQ(Bdd_isomorphe(&to, &from, negated, reverse), to.Bdd_not(expected));
  EXPECT_EQ(Bdd_isomorphe(&to, &from, one, reverse), to.Bdd_one());
  CaptureStderr();
  EXPECT_EQ(Bdd_isomorphe(&to, &from, empty, reverse), to.Bdd_zero());
  EXPECT_EQ(Bdd_isomorphe(&to, nullptr, f, reverse), to.Bdd_zero());
  EXPECT_EQ(GetCapturedStderr(), "ERROR: Bad call of Bdd_isomorphe() !\nERROR: Bad call of Bdd_isomorphe() !\n");
}

TEST(BddCopies, ByNameDeclaresMissingNamesLast) {
  bddpp_manager from, to;
  bdd a = from.New_var_last("a"), b = from.New_var_last("b"), c = from.New_var_last("c");
  bdd tc = to.New_var_last("c");
  bdd ta = to.New_var_last("a");
  bdd f = from.Bdd_or(from.Bdd_and(a, b), from.Bdd_not(c));
  bdd copy = Bdd_isomorphe_by_name(&to, &from, f);
  ASSERT_EQ(to.var_count, 3);
  EXPECT_EQ(to.Name_var_by_index(2), "b");
  EXPECT_EQ(copy, to.Bdd_or(to.Bdd_and(ta, to.Bdd_var_by_name("b")), to.Bdd_not(tc)));
}

// ---- Single cubes and literal tables ------------------------------------------

TEST(BddLiterals, SatisfyGivesTheThenFirstPathAndFalseForFalse) {
  letters m(3);
  bdd f = m.Bdd_or(m.Bdd_and(m.Bdd_not(m.v[0]), m.v[2]), m.Bdd_and(m.v[0], m.v[1]));
  EXPECT_EQ(m.Bdd_satisfy(f), m.Bdd_and(m.v[0], m.v[1]));
  EXPECT_EQ(m.Bdd_satisfy(m.Bdd_not(m.v[0])), m.Bdd_not(m.v[0]));
  EXPECT_EQ(m.Bdd_satisfy(m.Bdd_one()), m.Bdd_one());
  EXPECT_EQ(m.Bdd_satisfy(m.Bdd_zero()), m.Bdd_zero());
  int table[] = {2, 2, 2};
  EXPECT_EQ(m.Bdd_OneSat(m.one, -1, table), 0);
}

TEST(BddLiterals, TablesAndListsOfACube) {
  letters m(4);
  bdd c = m.Bdd_and(m.Bdd_and(m.Bdd_not(m.v[0]), m.v[2]), m.Bdd_not(m.v[3]));
  int table[4];
  m.Bdd_to_literals(c, table);
  EXPECT_EQ(std::vector<int>(table, table + 4), (std::vector<int>{0, 2, 1, 0}));
  EXPECT_EQ(m.Literals_to_bdd(table), c);
  std::list<std::int32_t> positive{9}, negative{9};
  m.Bdd_to_literals(c, positive, negative);
  EXPECT_EQ(positive, (std::list<std::int32_t>{2}));
  EXPECT_EQ(negative, (std::list<std::int32_t>{0, 3}));
  int none[] = {2, 2, 2, 2};
  EXPECT_EQ(m.Literals_to_bdd(none), m.Bdd_one());
  m.Bdd_to_literals(m.Bdd_zero(), table);
  EXPECT_EQ(std::vector<int>(table, table + 4), (std::vector<int>{2, 2, 2, 2}));
}

TEST(BddLiterals, NonCubesWarnAndGiveOnePath) {
  letters m(2);
  int table[2];
  CaptureStderr();
  m.Bdd_to_literals(m.Bdd_or(m.v[0], m.v[1]), table);
  m.Bdd_to_literals(m.Bdd_xor(m.v[0], m.v[1]), table);
  m.Bdd_node_to_literals(1, nullptr, table);
  EXPECT_EQ(GetCapturedStderr(),
            "Warning 1: Bddpp_manager::Bdd_node_to_literals() not used with a cube ...\n"
            "Warning 2: Bddpp_manager::Bdd_node_to_literals() not used with a cube ...\n"
            "Warning: bddpp_manager::Bdd_node_to_literals() call with a NULL bdd node !\n");
  EXPECT_EQ(std::vector<int>(table, table + 2), (std::vector<int>{2, 2}));
}

// ---- Large problems ------------------------------------------------------------

// x0..x(n-1) above y0..y(n-1): the equality of the two words has a node per
// prefix of x, more than 2^19 nodes for n = 18, and building it numbers more
// than 2^20 nodes, past the point where the printed keys overlap.
TEST(BddLarge, MoreThanAMillionNodesStayDistinct) {
  const int n = 18;
  bddpp_manager m;
  std::vector<bdd> x, y;
  for (int i = 0; i < n; ++i) x.push_back(m.New_var_last("x" + std::to_string(i)));
  for (int i = 0; i < n; ++i) y.push_back(m.New_var_last("y" + std::to_string(i)));
  bdd f = m.Bdd_one();
  for (int i = 0; i < n; ++i) f = m.Bdd_and(f, m.Bdd_xnor(x[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)]));
  EXPECT_GT(m.next_gid, 1 << 20);
  EXPECT_GT(m.Bdd_size(f), 1 << 19);
  EXPECT_EQ(m.Bdd_is_correct(f), 1);
  std::vector<int> cube(2 * n);
  for (std::uint32_t k = 0; k < (1u << n); k += 5) {
    for (int i = 0; i < n; ++i) cube[static_cast<std::size_t>(i)] = cube[static_cast<std::size_t>(n + i)] = (k >> i) & 1u;
    ASSERT_EQ(m.Bdd_eval_for_literal(f, cube.data()), 1) << k;
    const int flip = n + static_cast<int>(k % n);
    cube[static_cast<std::size_t>(flip)] ^= 1;
    ASSERT_EQ(m.Bdd_eval_for_literal(f, cube.data()), 0) << k;
  }
}

// ---- Fatal misuses ----------------------------------------------------------------

TEST(BddDeath, NullOperands) {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  EXPECT_EXIT(m.Bdd_and(a, bdd()), testing::ExitedWithCode(1),
              "ERROR: call bddpp_manager::Bdd_and\\(\\) with null reference\nBdd_and\\(");
  EXPECT_EXIT(m.Bdd_or(bdd(), a), testing::ExitedWithCode(1), "ERROR: call bddpp_manager::Bdd_or\\(\\) with null reference");
  EXPECT_EXIT(m.Bdd_cube_reduce(bdd(), a), testing::ExitedWithCode(1), "bdd has a Null pointer!");
  EXPECT_EXIT(m.Bdd_cube_reduce(a, bdd()), testing::ExitedWithCode(1), "assertion has a Null pointer!");
  int table[1];
  EXPECT_EXIT(m.Bdd_OneSat(nullptr, 1, table), testing::ExitedWithCode(1),
              "ERROR: call bddpp_manager::Bdd_OneSat\\(\\) with null reference");
}

TEST(BddDeath, ConstantsWhereANodeIsNeeded) {
  bddpp_manager m;
  EXPECT_EXIT(m.Bdd_then(m.Bdd_one()), testing::ExitedWithCode(1),
              "ERROR in Bdd_then\\(\\): calling with a tautologic function!");
  EXPECT_EXIT(m.Bdd_else(m.Bdd_zero()), testing::ExitedWithCode(1),
              "ERROR in Bdd_else\\(\\): calling with a tautologic function!");
  int table[1];
  EXPECT_EXIT(m.Bdd_to_literals(m.Bdd_one(), table), testing::ExitedWithCode(1),
              "ERROR in  bddpp_manager::Bdd_node_to_literals\\(\\) :\nconstant 1 is not a literal ...");
}

TEST(BddDeath, BrokenNodesStopTheProcess) {
  letters m(2);
  int link = 1;
  EXPECT_EXIT(m.Find_or_create_bdd_node(1, 1, 1, m.v[1].node(), m.one, link), testing::ExitedWithCode(1),
              "FATAL ERROR: Bad call of bddpp_manager::Find_or_create_bdd_node\\(\\):\n"
              "  index 1 is not less than  its then node index \\(1\\)");
  bdd_node bad;
  bad.gid = -4;
  EXPECT_EXIT(bdd_node_signature(0, 1, &bad, m.one), testing::ExitedWithCode(1),
              "ERROR in bdd_node_signature\\(\\): then node have a bad global id!");
  bdd_node orphan;
  int values[2] = {1, 1};
  EXPECT_EXIT(m.Bdd_eval_for_literal(bdd(&m, 1, &orphan), values), testing::ExitedWithCode(1),
              "error in bddpp_manager::Bdd_eval\\(\\): unknown bdd type ...");
}

TEST(BddDeath, IfThenElseOnAnAbnormalIndex) {
  letters m(2);
  EXPECT_EXIT(m.Bdd_ite(1, 7, m.v[0], m.v[1]), testing::ExitedWithCode(1),
              "ERROR: abnormal index in bddpp_manager::Bdd_ite\\(\\)\nERROR: call bddpp_manager::Bdd_and");
}

TEST(BddDeath, HandlesOfAnotherManager) {
  bddpp_manager m, other;
  bdd a = m.New_var_last("a");
  bdd x = other.New_var_last("x");
  EXPECT_EXIT(m.Bdd_and(a, x), testing::ExitedWithCode(1), "with a bdd of another manager");
  EXPECT_EXIT(m.Name_var_by_bdd(x), testing::ExitedWithCode(1),
              "error in bddpp_manager::Name_var_by_bdd\\(\\)\nbdd defined by: .*, is not correct ...\n"
              "\\(typebdd = 0\\)");
}

}  // namespace
