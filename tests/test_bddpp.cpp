// The BDD engine's store and operations: declarations, lookups and names,
// reference counts, the collector, statistics and dumps, every operator on
// the two-variable functions and, against BuDDy, on random ones, the tests on
// functions, restriction, composition, copies, literal tables and the fatal
// misuses. A transcript (each result, and the engine's messages in their
// place) is compared whole with its file in tests/data/bdd.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <tuple>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/memo.h"
#include "bdd2_support.h"

namespace {

String address_of(const void* p) {
  std::ostringstream os;
  os << p;
  return os.str();
}

String replaced(String s, const String& from, const String& to) {
  for (std::size_t at; (at = s.find(from)) != String::npos;) s.replace(at, from.size(), to);
  return s;
}

// A manager with variables named after the letters a, b, c ... in order.
struct letters : bddpp_manager {
  std::vector<bdd> v;
  explicit letters(int n) {
    for (int i = 0; i < n; ++i) v.push_back(New_var_last(String(1, char('a' + i))));
  }
  ~letters() { v.clear(); }
  // A function as a short sum of products, "c + a.b'"; "null" for no function.
  String text(const bdd& f) { return f.node() ? Print_sop_to_String(" + ", ".", "", "'", f, 2) : "null"; }
  String order() {
    String s;
    for (int i = 0; i < var_count; ++i) s += " " + Name_var_by_index(i);
    return s;
  }
};

// ---- Declarations, lookups, names ---------------------------------------------

// A renaming changes the printed name only: lookups still go by the declared
// name. It is refused, with a warning, onto a taken name or from a missing one.
TEST(BddManager, DeclarationsLookupsAndNames) {
  std::ostringstream log;
  cerr_into errors(log);
  letters m(2), other(1);
  bdd a = m.v[0], b = m.v[1], c = m.New_var_before(0, "c");
  log << "c before a: id " << m.Bdd_if_id(c) << ", position " << m.Bdd_if_index(c) << "," << m.order() << "\n";
  m.New_var_after(2, "last");
  m.New_var_after(-1, "top");
  m.New_var_after(a, "after_a");
  log << "after:" << m.order() << ", a again is a: " << (m.New_var_last("a") == a) << "\n";
  log << "bad: " << m.New_var_before(6, "x").node() << " " << m.New_var_after(6, "y").node() << "\n";
  for (const char* name : {"a", "b", "zz"})
    log << name << ": id " << m.Id_var_by_name(name) << ", position " << m.Index_var_by_name(name) << ", "
        << m.text(m.Bdd_var_by_name(name)) << "\n";
  log << "position -1, 6; id 5, 6: " << m.text(m.Bdd_var_by_index(-1)) << " " << m.text(m.Bdd_var_by_index(6))
      << " " << m.text(m.Bdd_var_by_id(5)) << " " << m.text(m.Bdd_var_by_id(6)) << "\n";
  log << "top of 1, 0, c.b, foreign, empty: " << m.Bdd_if_index(m.Bdd_one()) << " " << m.Bdd_if_id(m.Bdd_zero())
      << " " << m.Bdd_if_index(m.Bdd_and(c, b)) << " " << m.Bdd_if_id(other.v[0]) << " "
      << m.Bdd_if_index(bdd()) << "\n";
  log << "names of 1, 0, b', a.b: " << m.Name_var_by_bdd(m.Bdd_one()) << " " << m.Name_var_by_bdd(m.Bdd_zero())
      << " " << m.Name_var_by_bdd(m.Bdd_not(b)) << " " << m.Name_var_by_bdd(m.Bdd_and(a, b)) << "\n";
  bddpp_manager copy(&m);  // the variables only
  log << "copy: " << copy.Index_var_by_name("c") << " " << copy.Name_var_by_index(2) << " "
      << copy.var_nodes[0]->gid << " " << copy.var_nodes[5]->gid << " " << copy.next_gid << " "
      << copy.table_node_count() << " " << (copy.assoc[2].node == copy.var_nodes[2]) << "\n";
  m.Rename_var("b", "a");
  m.Rename_var("w", "zz");
  m.Rename_var("x", "a");
  log << "renamed:" << m.order() << ", ids of a and x: " << m.Id_var_by_name("a") << " "
      << m.Id_var_by_name("x") << "\n";
  m.New_var_last("_x.y");
  m.New_var_last("z_");
  m.Change_name_by_index(0, "k.l");
  m.Replace_char_in_all_names('.', '_');
  m.No_begin_underscore_name();
  m.Change_name_by_id(1, "second");
  m.Change_name_by_id(40, "x");
  m.Change_name_by_index(8, "y");
  log << "cleaned:" << m.order() << ", out of range: '" << m.Name_var_by_id(8) << "' '"
      << m.Name_var_by_index(-1) << "'\n";
  // The seventeenth variable doubles the tables: order and handles stay.
  letters big(0);
  std::vector<bdd> vars{big.New_var_last("v0")};
  for (int i = 1; i < 16; ++i) vars.push_back(big.New_var_before(i / 2, "v" + std::to_string(i)));
  log << "capacity " << big.capacity << ":" << big.order() << "\n";
  vars.push_back(big.New_var_last("v16"));
  log << "capacity " << big.capacity << ":" << big.order() << "\n";
  for (std::size_t i = 0; i < 17; ++i) EXPECT_EQ(big.Bdd_var_by_name("v" + std::to_string(i)), vars[i]);
  // Children may come before their parents in the table: under the
  // sanitizer, destruction would catch a count adjusted on a freed node.
  bdd f = big.Bdd_zero();
  for (std::size_t i = 0; i < 16; ++i) f = big.Bdd_xor(f, big.Bdd_and(vars[i], vars[(i * 5 + 3) % 17]));
  EXPECT_TRUE(big.Bdd_is_correct(f));
  test_files::expect_fixture("bdd/declarations.txt", log.str());
}

// ---- Handles, collector, statistics, dumps --------------------------------------

TEST(BddHandles, CopiesAndAssignmentsCountReferences) {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  bdd_node* n = a.node();
  bdd copy(a);
  bdd& same = copy;
  copy = same;
  copy = a;
  EXPECT_EQ(n->refs, 2);
  copy = m.Bdd_not(a);
  EXPECT_EQ(n->refs, 2);
  copy = m.Bdd_one();
  EXPECT_EQ(n->refs, 1);
  std::ostringstream log;
  {
    cerr_into errors(log);
    log << m.Bdd_not(a) << "|" << bdd() << "\n";
    EXPECT_EQ(m.Bdd_dup(a), a);
    m.Bdd_free(a);
  }
  test_files::expect_fixture("bdd/handles.txt", replaced(replaced(log.str(), address_of(&m), "@m"), address_of(n), "@a"));
}

// Unreferenced nodes go, over as many passes as needed; referenced ones stay,
// even when their count went up and down many times.
TEST(BddCollector, FreesUnreferencedNodesAndOnlyThose) {
  letters m(8);
  const std::int32_t variables_only = m.table_node_count();
  bdd f = m.v[0], wide = m.Bdd_zero();
  for (std::size_t i = 1; i < 5; ++i) f = m.Bdd_xor(f, m.v[i]);
  for (std::size_t i = 0; i < 4; ++i) wide = m.Bdd_or(wide, m.Bdd_and(m.v[i], m.v[i + 4]));
  const String parity = m.text(f);
  bdd kept = m.Bdd_and(m.v[0], m.v[1]);
  // The same result is found again, not created: only its count moves.
  for (int i = 0; i < 300000; ++i) bdd g = m.Bdd_and(kept, m.v[3]);
  m.Bdd_gc();
  const std::int32_t with_wide = m.table_node_count() - (1 + m.Bdd_size(f) - 2);
  EXPECT_EQ(m.text(f), parity);
  f = m.Bdd_one();
  m.Bdd_gc();
  EXPECT_EQ(m.table_node_count(), with_wide + 1);
  kept = f;
  wide = f;
  m.Bdd_gc();  // a few dozen dead nodes, taken out one by one
  EXPECT_EQ(m.table_node_count(), variables_only);
  EXPECT_EQ(m.gc_calls, 3);
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(m.Bdd_var_by_index(int(i)), m.v[i]);
}

// Statistics list the table in key order; dumps show shared nodes once, and
// the file forms write what the stream forms write.
TEST(BddStats, StatisticsAndDumps) {
  letters fresh(0), m(3);
  bdd f = m.Bdd_and(m.v[0], m.v[1]);
  bdd unused = m.Bdd_or(m.v[0], m.v[1]);
  unused = bdd();
  std::ostringstream os;
  fresh.Bdd_stats(os);
  m.Bdd_stats(os);
  bdd parity = m.Bdd_xor(m.Bdd_xor(m.v[0], m.v[1]), m.v[2]);
  for (const bdd& g : {f, m.Bdd_not(f), parity}) m.Print_bdd_structure(os, g);
  m.Print_bdd_global_structure_loc(os, 2, f.node());
  char* buffer = nullptr;
  std::size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  m.Print_bdd_structure(out, parity);
  m.Print_bdd_global_structure_loc(out, 2, f.node());
  m.Chars('*', 3, out);
  std::fclose(out);
  const String text = os.str() + "---- file forms\n" + String(buffer, size);
  std::free(buffer);
  test_files::expect_fixture("bdd/stats.txt", replaced(replaced(text, address_of(&fresh), "@"), address_of(&m), "@"));
  EXPECT_EQ(m.Bdd_version() + Bdd_version(), "4.94.9");
}

TEST(BddSizes, SizesNumberingAndSupports) {
  std::ostringstream log;
  cerr_into errors(log);
  letters m(3), other(0);
  bdd parity = m.Bdd_xor(m.Bdd_xor(m.v[0], m.v[1]), m.v[2]), f = m.Bdd_or(m.v[0], m.v[1]);
  log << "sizes of a.b, 1, parity: " << m.Bdd_size(m.Bdd_and(m.v[0], m.v[1])) << " " << m.Bdd_size(m.Bdd_one())
      << " " << m.Bdd_size(parity) << ", total " << (m.Bdd_total_size() == m.next_gid) << "\n";
  m.Bdd_clear_marks(f);
  log << "a + b numbered from 10: next " << m.Bdd_incremental_id(f.node(), 10) << ", top "
      << f.node()->traversal_number << ", else " << f.node()->else_node->traversal_number << "; marked: "
      << m.Bdd_incremental_id(f.node(), 20);
  m.Bdd_global_clear_marks();
  log << ", cleared " << f.node()->mark << ", null " << m.Bdd_incremental_id(nullptr, 4) << "\n";
  bdd g = m.Bdd_and(m.New_var_before(0, "d"), m.v[1]);
  int present[4] = {7, 7, 7, 7};
  m.Present_variables(g, present);
  log << "d.b: ids";
  for (std::int32_t id : m.set_of_id_depend_on(g)) log << " " << id;
  log << ", positions";
  for (std::int32_t p : m.set_of_index_depend_on(g)) log << " " << p;
  log << ", present " << present[0] << present[1] << present[2] << present[3] << ", shares with a + b, a: "
      << m.exists_common_variables(g, f) << m.exists_common_variables(g, m.v[0]) << "\n";
  log << "supports of 1, of d.b in another manager: " << m.set_of_id_depend_on(m.Bdd_one()).size()
      << other.set_of_id_depend_on(g).size() << "\n";
  String table[2] = {"ab", String(40, 'x')};
  log << "string table sizes: " << String_table_memory_size(table, 1) << " "
      << String_table_memory_size(table, 0) << " " << (String_table_memory_size(table, 2) >= 55) << "\n";
  const String text = replaced(log.str(), address_of(&m), "@m");
  test_files::expect_fixture("bdd/sizes.txt", replaced(text, address_of(&other), "@other"));
  // Supports past 64 ids are kept in blocks.
  letters many(0);
  std::vector<bdd> x = declare_xs(many, 200);
  bdd h = many.Bdd_or(many.Bdd_and(x[3], x[130]), x[199]);
  EXPECT_EQ(many.set_of_id_depend_on(h), (std::set<std::int32_t>{3, 130, 199}));
  EXPECT_EQ(h.node()->support.size(), 3);
  EXPECT_EQ(set_union<std::int32_t>({1, 3}, {2, 3}), (std::set<std::int32_t>{1, 2, 3}));
}

// ---- Operators ------------------------------------------------------------------

TEST(BddOperators, EveryBinaryOperatorOnEveryPairOfTwoVariableFunctions) {
  letters m(2);
  // all[t] has the truth table t. Results are compared as handles, so each
  // must also be the one diagram of its function: and(f, f) is f, or(f, not f)
  // is the constant, and the operands' order does not matter.
  std::vector<bdd> all;
  for (std::uint32_t t = 0; t < 16; ++t) all.push_back(m.Bdd_function_by_id(t, 2, m.v.data()));
  EXPECT_EQ(all[10], m.v[0]);
  EXPECT_EQ(all[12], m.v[1]);
  for (std::uint64_t x = 0; x < 16; ++x) {
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
      EXPECT_EQ(m.Bdd_ite(f, g, all[y ^ 6]), all[(x & y) | (~x & (y ^ 6))]);
      EXPECT_EQ(m.Bdd_equiv(f, g), x == y ? 1 : 0);
      EXPECT_EQ(m.Bdd_imply(f, g), (x & ~y) == 0 ? 1 : 0);
      EXPECT_EQ(m.Bdds_excl(f, g), (x & y) == 0 ? 1 : 0);
      EXPECT_EQ(m.Bdds_exclude(f, g), (x & y) == 0 ? 1 : 0);
    }
  }
  EXPECT_EQ(m.Bdd_ite(-1, 1, m.v[0], all[3]), m.Bdd_ite(m.Bdd_not(m.v[1]), m.v[0], all[3]));
  EXPECT_EQ(m.Bdd_ite(1, -1, m.v[0], all[3]), m.v[0]);
}

// The nodes the memoised walks create, with their numbers and counts, are
// those of the textbook walks: the table, node by node, in key order.
TEST(BddOperators, NodesCreatedByTheOperators) {
  letters m(6);
  bdd f = m.Bdd_zero(), g = m.Bdd_one();
  for (std::size_t i = 0; i < 5; ++i) {
    f = m.Bdd_or(f, m.Bdd_and(m.v[i], m.Bdd_not(m.v[i + 1])));
    g = m.Bdd_and(g, m.Bdd_or(m.v[i + 1], m.v[(i * 3) % 6]));
  }
  bdd both = m.Bdd_and(f, m.Bdd_not(g)), either = m.Bdd_or(f, m.Bdd_not(g));
  // Operands built one at a time: the order of a call's arguments is the compiler's.
  bdd x = m.Bdd_xor(m.v[0], m.v[3]), y = m.Bdd_xnor(m.v[1], m.v[2]), z = m.Bdd_nor(m.v[0], m.v[2]);
  bdd derived = m.Bdd_ite(x, y, z);
  std::ostringstream os;
  for (bdd_node* n : m.table_nodes_in_key_order())
    os << n->gid << ": " << n->id << " " << n->then_node->gid << " " << n->else_node->gid << " " << n->else_link
       << " (" << n->refs << ")\n";
  test_files::expect_fixture("bdd/node_map.txt", os.str());
}

// Random functions over 12 variables are copied into BuDDy, where equal
// functions are one diagram, and each operation is compared there with
// BuDDy's. BuDDy's diagrams stay referenced until it closes: no number is
// reused while the test compares numbers.
TEST(BddOracle, OperationsOnRandomFunctionsAgreeWithBuDDy) {
  buddy_open(12, 100000, 10000);
  {
    bddpp_manager m;
    std::vector<bdd> v = declare_xs(m, 12);
    std::mt19937 rng(11);
    const auto agrees = [&m](const bdd& f, int reference) { return to_buddy(m, f) == reference; };
    for (int i = 0; i < 300; ++i) {
      bdd f = random_function(m, v, rng), g = random_function(m, v, rng), h = random_function(m, v, rng);
      const int bf = to_buddy(m, f), bg = to_buddy(m, g), bh = to_buddy(m, h);
      const int x = i % 12;
      bdd literal = i % 3 ? v[std::size_t(x)] : m.Bdd_not(v[std::size_t(x)]);
      EXPECT_TRUE(m.Bdd_is_correct(f));
      EXPECT_TRUE(agrees(m.Bdd_and(f, g), buddy_and(bf, bg)));
      EXPECT_TRUE(agrees(m.Bdd_or(f, m.Bdd_not(g)), buddy_or(bf, buddy_not(bg))));
      EXPECT_TRUE(agrees(m.Bdd_xor(f, g), buddy_xor(bf, bg)));
      EXPECT_TRUE(agrees(m.Bdd_ite(f, g, h), buddy_ite(bf, bg, bh)));
      EXPECT_TRUE(agrees(m.Bdd_exist(f, literal), buddy_exist(bf, x)));
      EXPECT_TRUE(agrees(m.Bdd_forall(f, literal), buddy_forall(bf, x)));
      EXPECT_TRUE(agrees(m.Bdd_compose(f, v[std::size_t(x)], g), buddy_compose(bf, bg, x)));
      EXPECT_EQ(m.Bdd_equiv(f, g), bf == bg);
      EXPECT_EQ(m.Bdd_imply(m.Bdd_and(f, g), f), 1);
      EXPECT_EQ(m.Bdd_is_tautology(m.Bdd_or(f, g), 1), buddy_or(bf, bg) == buddy_true());
      // Restriction by a cube of up to four literals on distinct variables.
      bdd cube = m.Bdd_one();
      int reference_cube = buddy_copy(buddy_true());
      for (int k = 0; k < 4; ++k) {
        const int y = (x + 1 + 3 * k + i / 12) % 12;
        const bool positive = (i >> k) & 1;
        cube = m.Bdd_and(cube, positive ? v[std::size_t(y)] : m.Bdd_not(v[std::size_t(y)]));
        reference_cube = buddy_and(reference_cube, positive ? buddy_var(y) : buddy_nvar(y));
        EXPECT_TRUE(agrees(m.Bdd_cube_reduce(f, cube), buddy_restrict(bf, reference_cube)));
      }
      EXPECT_EQ(m.Bdd_reduce(f, cube), m.Bdd_cube_reduce(f, cube));
    }
  }
  buddy_close();
}

// ---- Tests on functions, cofactors, restriction, composition ------------------------

// One row per function: tautology of 0 and of 1, constant, true, false, variable,
// negated variable, cube; depends on b, needs position 1, in its true and its
// false value, position 0 in its true and false value; well formed.
TEST(BddTests, PredicatesOfFunctions) {
  letters m(3), other(1);
  bdd a = m.v[0], b = m.v[1], c = m.v[2];
  std::ostringstream log;
  cerr_into errors(log);
  for (const bdd& f : {m.Bdd_zero(), m.Bdd_one(), b, m.Bdd_not(b), m.Bdd_and(a, c), m.Bdd_and(a, m.Bdd_not(b)),
                       m.Bdd_and(m.Bdd_not(a), m.Bdd_and(m.Bdd_not(b), c)), m.Bdd_or(a, b), m.Bdd_xor(a, b)})
    log << m.text(f) << ": " << m.Bdd_is_tautology(f, 0) << m.Bdd_is_tautology(f, 1) << m.Bdd_is_tautology(f)
        << m.Bdd_is_one_tautologic(f) << m.Bdd_is_zero_tautologic(f) << m.Bdd_is_var(f) << m.Bdd_is_negvar(f)
        << m.Bdd_is_cube(f) << " " << m.Bdd_depends_on(f, b) << m.Variable_awaited(f, 1)
        << m.Variable_true_awaited(f, 1) << m.Variable_false_awaited(f, 1) << m.Variable_true_awaited(f, 0)
        << m.Variable_false_awaited(f, 0) << " " << m.Bdd_is_correct(f) << "\n";
  bdd_node orphan;
  log << "1 on 0, position 3, foreign: " << m.Bdd_depends_on(m.Bdd_one(), m.Bdd_zero())
      << m.Variable_awaited(a, 3) << m.Bdd_depends_on(a, other.v[0]) << "\ncorrect empty, orphan: "
      << m.Bdd_is_correct(bdd()) << orphan.is_correct() << "\n";
  test_files::expect_fixture("bdd/predicates.txt", log.str());
}

TEST(BddRestriction, CofactorsRestrictionEvaluationComposition) {
  letters m(4);
  bdd a = m.v[0], b = m.v[1], c = m.v[2], d = m.v[3];
  std::ostringstream log;
  cerr_into errors(log);
  const auto show = [&](const char* what, const bdd& f) { log << what << ": " << m.text(f) << "\n"; };
  bdd nand = m.Bdd_not(m.Bdd_and(a, b)), ab = m.Bdd_and(a, b), g = m.Bdd_or(ab, c), x = m.Bdd_xor(a, c);
  log << "(a.b)' then, else; top of b.c, of 1: " << m.text(m.Bdd_then(nand)) << " " << m.text(m.Bdd_else(nand))
      << " " << m.text(m.Bdd_if(m.Bdd_and(b, c))) << " " << m.text(m.Bdd_if(m.Bdd_one())) << "\n";
  bdd f = m.Bdd_or(m.Bdd_and(a, c), m.Bdd_and(m.Bdd_not(a), b));
  show("a.c + a'.b reduced by a + b", m.Bdd_reduce(f, m.Bdd_or(a, b)));
  show("a.c + a'.b reduced by b", m.Bdd_reduce(f, b));
  show("c reduced by b", m.Bdd_reduce(c, b));
  show("a.c + a'.b by 0", m.Bdd_cube_reduce(f, m.Bdd_zero()));
  log << "a^c, exist and forall of a.b, of b: " << m.text(m.Bdd_exist(x, ab)) << " " << m.text(m.Bdd_exist(x, b))
      << " " << m.text(m.Bdd_forall(x, ab)) << " " << m.text(m.Bdd_forall(x, b)) << "\n";
  int free_a[] = {1, 2, 2, 2}, a_false[] = {0, 2, 2, 2}, set[] = {1, 1, 0, 2}, only_c[] = {2, 2, 1, 2};
  log << "a.b on a, a', a.b.c', (a.b)' on a.b.c': " << m.Bdd_eval_for_literal(ab, free_a)
      << m.Bdd_eval_for_literal(ab, a_false) << m.Bdd_eval_for_literal(ab, set)
      << m.Bdd_eval_for_literal(nand, set) << "; a.b + c on c: " << m.Bdd_eval_for_literal(g, only_c) << "\n";
  log << "a.b + c for a, a.b.c', a': " << m.text(m.Bdd_eval(g, free_a)) << ", " << m.text(m.Bdd_eval(g, set))
      << ", " << m.text(m.Bdd_eval(g, a_false)) << "\n";
  log << "first positions of a.b, 0, b^c, (a.b)': " << m.text(m.Bdd_keep_first_variables(ab, 1)) << " "
      << m.text(m.Bdd_keep_first_variables(m.Bdd_zero(), 0)) << " "
      << m.text(m.Bdd_keep_first_variables(m.Bdd_xor(b, c), 0)) << " "
      << m.text(m.Bdd_keep_first_variables(nand, 1)) << "\n";
  bdd h = m.Bdd_xor(ab, d), k = m.Bdd_or(c, d);
  show("a.b^d, b := c + d", m.Bdd_compose(h, b, k));
  show("a.b^d, c := c + d", m.Bdd_compose(h, c, k));
  show("a.b^d, b' := c + d", m.Bdd_compose(h, m.Bdd_not(b), k));
  std::int32_t swap[] = {3, 2, 1, 0};
  show("a.b' + c, reversed", m.Bdd_replace_vars(m.Bdd_or(m.Bdd_and(a, m.Bdd_not(b)), c), swap));
  show("1, reversed", m.Bdd_replace_vars(m.Bdd_one(), swap));
  log << "swap: " << m.Bdd_swap_vars(a, a, b) << "\n";
  m.Bdd_var_reorder();
  test_files::expect_fixture("bdd/restriction.txt", log.str());
}

// ---- Copies into another manager, single cubes and literal tables ------------------

TEST(BddCopies, ByPositionThroughAMapAndByName) {
  letters from(3), to(3), other(0);
  bdd f = from.Bdd_or(from.Bdd_and(from.v[0], from.Bdd_not(from.v[1])), from.v[2]);
  std::int32_t reverse[] = {2, 1, 0};
  std::ostringstream log;
  cerr_into errors(log);
  bdd empty, one = from.Bdd_one(), negated = from.Bdd_not(f);
  for (bdd* g : {&f, &negated, &one, &empty})
    log << from.text(*g) << ": " << to.text(Bdd_isomorphe(&to, &from, *g)) << " / "
        << to.text(Bdd_isomorphe(&to, &from, *g, reverse)) << "\n";
  log << "without a source: " << to.text(Bdd_isomorphe(&to, nullptr, f, reverse)) << "\n";
  bdd_node* copied = Bdd_isomorphe(&to, &from, f.node(), reverse);
  log << "nodes through the map: " << to.text(bdd(&to, f.link_type(), copied));
  other.New_var_last("c");
  other.New_var_last("a");
  log << "\nby name: " << other.text(Bdd_isomorphe_by_name(&other, &from, negated)) << " over" << other.order()
      << "\n";
  test_files::expect_fixture("bdd/copies.txt", log.str());
}

TEST(BddLiterals, SatisfyAndLiteralTables) {
  letters m(4);
  bdd a = m.v[0], b = m.v[1], cube = m.Bdd_and(m.Bdd_and(m.Bdd_not(a), m.v[2]), m.Bdd_not(m.v[3]));
  std::ostringstream log;
  cerr_into errors(log);
  for (const bdd& f : {m.Bdd_or(m.Bdd_and(m.Bdd_not(a), m.v[2]), m.Bdd_and(a, b)), m.Bdd_not(a), m.Bdd_zero()})
    log << "satisfy " << m.text(f) << ": " << m.text(m.Bdd_satisfy(f)) << "\n";
  int table[4] = {2, 2, 2, 2};
  std::list<std::int32_t> positive{9}, negative{9};
  m.Bdd_to_literals(cube, positive, negative);
  log << "one path of 0: " << m.Bdd_OneSat(m.one, -1, table) << "; lists of a'.c.d': " << positive.size()
      << negative.size() << " " << positive.front() << " " << negative.front() << negative.back() << "\n";
  for (const bdd& f : {cube, m.Bdd_zero(), m.Bdd_or(a, b), m.Bdd_xor(a, b), bdd()}) {
    m.Bdd_to_literals(f, table);
    log << "table of " << m.text(f) << ": " << table[0] << table[1] << table[2] << table[3] << ", back "
        << m.text(m.Literals_to_bdd(table)) << "\n";
  }
  test_files::expect_fixture("bdd/literals.txt", log.str());
}

// ---- Large problems -------------------------------------------------------------

// x0..x(n-1) above y0..y(n-1): the equality of the two words has a node per
// prefix of x, more than 2^19 nodes for n = 18, and building it numbers more
// than 2^20 nodes, past the point where the printed keys overlap. The memo
// tables of its last conjunctions are as large; the small conjunctions after
// them get small tables again, without allocating one of that size each.
TEST(BddLarge, MoreThanAMillionNodesStayDistinct) {
  const std::size_t n = 18;
  bddpp_manager m;
  std::vector<bdd> x = declare_xs(m, n, "x"), y = declare_xs(m, n, "y");
  bdd f = m.Bdd_one();
  for (std::size_t i = 0; i < n; ++i) f = m.Bdd_and(f, m.Bdd_xnor(x[i], y[i]));
  EXPECT_GT(m.next_gid, 1 << 20);
  EXPECT_GT(m.Bdd_size(f), 1 << 19);
  EXPECT_EQ(m.Bdd_is_correct(f), 1);
  const std::uint64_t allocated = bdd_memo_table<bdd_memo_narrow_slot>::slots_allocated();
  for (std::size_t i = 0; i < 100; ++i) m.Bdd_and(x[i % n], m.Bdd_not(y[(i + 1) % n]));
  EXPECT_LE(bdd_memo_table<bdd_memo_narrow_slot>::slots_allocated() - allocated, 100u * 64);
  std::vector<int> word(2 * n);
  for (std::uint32_t k = 0; k < (1u << n); k += 5) {
    for (std::size_t i = 0; i < n; ++i) word[i] = word[n + i] = (k >> i) & 1u;
    ASSERT_EQ(m.Bdd_eval_for_literal(f, word.data()), 1) << k;
    word[n + k % n] ^= 1;
    ASSERT_EQ(m.Bdd_eval_for_literal(f, word.data()), 0) << k;
  }
}

// Every maximal run of digits that follows `marker`, read as a node number
// and passed through `number`.
String renumbered(const String& text, const String& marker,
                  const std::function<std::int64_t(std::int64_t)>& number) {
  String r;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(marker, from)) != String::npos;) {
    std::size_t end = at + marker.size();
    r += text.substr(from, end - from);
    std::size_t digits = end;
    while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    if (digits > end) r += std::to_string(number(std::stoll(text.substr(end, digits - end))));
    from = digits;
  }
  return r + text.substr(from);
}

// A manager that lives long goes on numbering its nodes past 2^31 (numbers
// are never reused, whatever the collector frees). One whose count starts
// just below that point, after its variables, does the work of a fresh one
// in batches, each dropped and collected but for a running result: every
// result, the store node by node, the dumps and the netlists agree, the
// numbers of the nodes made after the variables shifted by the distance
// between the two starts.
TEST(BddLarge, NodeNumbersGoOnPastThirtyTwoBits) {
  constexpr int n = 10;
  bddpp_manager fresh, aged;
  std::vector<bdd> xf = declare_xs(fresh, n), xa = declare_xs(aged, n);
  const std::int64_t start = fresh.next_gid;
  aged.next_gid = std::numeric_limits<std::int32_t>::max() - 3;
  fresh.gc_calls = aged.gc_calls = std::numeric_limits<std::int32_t>::max();
  const std::int64_t shift = std::int64_t(aged.next_gid) - start;
  const auto shifted = [&](std::int64_t g) { return g < start ? g : g + shift; };
  struct side {
    side(bddpp_manager& manager, std::vector<bdd>& vars) : m(manager), x(vars), rng(29) {}
    bddpp_manager& m;
    std::vector<bdd>& x;
    std::mt19937 rng;
    bdd kept;
    String sop(const bdd& f) { return m.Print_sop_to_String(" + ", ".", "", "'", f, 1); }
    String structure(const bdd& f) {
      std::ostringstream os;
      m.Print_bdd_structure(os, f);
      return os.str();
    }
    // One batch: its results as text, and the running result updated.
    String batch() {
      bdd f = random_function(m, x, rng), g = random_function(m, x, rng), h = random_function(m, x, rng);
      for (int i = 0; i < 200; ++i) f = m.Bdd_or(f, random_function(m, x, rng));
      String r;
      for (const bdd& k : {m.Bdd_and(f, g), m.Bdd_xor(g, h), m.Bdd_ite(f, g, h), m.Bdd_exist(m.Bdd_xor(g, h), x[3]),
                           m.Bdd_compose(h, x[1], m.Bdd_nand(f, g))})
        r += sop(k) + "\n" + structure(k);
      kept = kept.node() ? m.Bdd_xor(kept, m.Bdd_and(g, h)) : m.Bdd_and(g, h);
      return r;
    }
  } a{aged, xa}, b{fresh, xf};
  for (int round = 0; round < 6; ++round) {
    ASSERT_EQ(a.batch(), b.batch()) << round;
    aged.Bdd_gc();
    fresh.Bdd_gc();
    const std::vector<bdd_node*> ours = aged.table_nodes_in_key_order(), theirs = fresh.table_nodes_in_key_order();
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
      const bdd_node *p = ours[i], *q = theirs[i];
      ASSERT_EQ(std::make_tuple(std::int64_t(p->gid), p->id, std::int64_t(p->then_node->gid),
                                std::int64_t(p->else_node->gid), int(p->else_link), p->refs),
                std::make_tuple(shifted(q->gid), q->id, shifted(q->then_node->gid), shifted(q->else_node->gid),
                                int(q->else_link), q->refs))
          << round << " " << i;
    }
    EXPECT_EQ(aged.Bdd_is_correct(a.kept), 1);
  }
  EXPECT_GT(aged.next_gid, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(a.sop(a.kept), b.sop(b.kept));
  const auto texts = [](bddpp_manager& m, const bdd& f) {
    std::ostringstream o;
    m.Print_bdd_global_structure_loc(o, 0, f.node());
    m.Bdd_clear_marks(f);
    m.Print_node_for_eval("|", "&", "!(", ")", "", "", "0", ";", "N", o, f.node());
    m.Bdd_clear_marks(f);
    m.Print_node_for_eval_arrayless("|", "&", "!(", ")", "", "", "0", ";", "N", o, f.node());
    m.Bdd_clear_marks(f);
    m.Print_node_for_eval_VHDL("S", o, f.node());
    m.Bdd_clear_marks(f);
    m.Print_node_for_eval_BLIF("", "", "n", o, f.node());
    o << f.vhdl_node_name("S") << "\n";
    return String(o.str());
  };
  String expected = texts(fresh, b.kept);
  for (const char* marker : {"(node: ", "N[", "N_", "S(", "n_"}) expected = renumbered(expected, marker, shifted);
  const String got = texts(aged, a.kept);
  EXPECT_EQ(got, expected);
  EXPECT_NE(got.find("(node: 21474836"), String::npos);
  std::ostringstream stats, fresh_stats;
  aged.Bdd_stats(stats);
  fresh.Bdd_stats(fresh_stats);
  const String tail = stats.str().substr(stats.str().find("Finaly:"));
  EXPECT_EQ(tail, fresh_stats.str().substr(fresh_stats.str().find("Finaly:")));
  EXPECT_NE(tail.find("garbage collector calls: 2147483653\n"), String::npos) << tail;
}

// ---- Fatal misuses ----------------------------------------------------------------

TEST(BddDeath, FatalMisusesStopTheProcessWithTheirMessage) {
  letters m(2), other(1);
  bdd a = m.v[0];
  int table[2] = {1, 1};
  bdd_node orphan, bad;
  bad.gid = -4;
  int link = 1;
  const std::vector<std::pair<std::function<void()>, const char*>> cases = {
      {[&] { m.Bdd_and(a, bdd()); }, "call bddpp_manager::Bdd_and\\(\\) with null reference\nBdd_and\\("},
      {[&] { m.Bdd_or(bdd(), a); }, "ERROR: call bddpp_manager::Bdd_or\\(\\) with null reference"},
      {[&] { m.Bdd_cube_reduce(bdd(), a); }, "bdd has a Null pointer!"},
      {[&] { m.Bdd_cube_reduce(a, bdd()); }, "assertion has a Null pointer!"},
      {[&] { m.Bdd_OneSat(nullptr, 1, table); }, "call bddpp_manager::Bdd_OneSat\\(\\) with null"},
      {[&] { m.Bdd_then(m.Bdd_one()); }, "ERROR in Bdd_then\\(\\): calling with a tautologic function!"},
      {[&] { m.Bdd_else(m.Bdd_zero()); }, "ERROR in Bdd_else\\(\\): calling with a tautologic function!"},
      {[&] { m.Bdd_to_literals(m.Bdd_one(), table); }, "literals\\(\\) :\nconstant 1 is not a literal"},
      {[&] { m.Find_or_create_bdd_node(1, 1, 1, m.v[1].node(), m.one, link); },
       "FATAL ERROR: Bad call of bddpp_manager::Find_or_create_bdd_node\\(\\):\n"
       "  index 1 is not less than  its then node index \\(1\\)"},
      {[&] { bdd_node_signature(0, 1, &bad, m.one); }, "bdd_node_signature\\(\\): then node have a bad"},
      {[&] { m.Bdd_eval_for_literal(bdd(&m, 1, &orphan), table); }, "Bdd_eval\\(\\): unknown bdd type"},
      {[&] { m.Bdd_ite(1, 7, a, m.v[1]); }, "abnormal index in bddpp_manager::Bdd_ite\\(\\)\nERROR"},
      {[&] { m.Bdd_and(a, other.v[0]); }, "with a bdd of another manager"},
      {[&] { m.Name_var_by_bdd(other.v[0]); },
       "Name_var_by_bdd\\(\\)\nbdd defined by: .*, is not correct ...\n\\(typebdd = 0\\)"},
  };
  for (const auto& [run, message] : cases) EXPECT_EXIT(run(), testing::ExitedWithCode(1), message);
}

}  // namespace
