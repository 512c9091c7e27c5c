// Texts of BDDs: sums of products in every spelling, cube tables, node
// lists and the implicant tree dump; the VHDL and BLIF texts of random
// functions are checked by ghdl and berkeley-abc.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "bdd/bddpp.h"
#include "bdd2_support.h"

// Sums of products in every spelling and at every level, cube tables,
// numbered literals, node lists and the implicant tree, in one transcript.
TEST(BddPrinters, EveryTextOfSmallFunctions) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b"), c = m.New_var_last("c");
  bdd a_and_not_b = m.Bdd_and(a, m.Bdd_not(b)), f = m.Bdd_or(a_and_not_b, c);
  std::ostringstream o;
  for (int level : {0, 1, 2, 3}) {
    o << "level " << level << ":";
    for (const bdd& g : {m.Bdd_zero(), m.Bdd_one(), a, m.Bdd_not(a), a_and_not_b, f})
      o << " [" << m.Print_sop_to_String(" or ", " and ", "not ", "", g, level) << "] ["
        << m.Print_sop_to_ESTEREL_String(g, level) << "] [" << m.Print_sop_to_VHDL_String(g, level) << "]";
    o << "\n";
  }
  // A cover already made is written as its function is; the empty one is "0".
  for (const bdd& g : {f, m.Bdd_zero(), m.Bdd_one()}) {
    std::list<bdd> cover;
    m.Bdd_sop(g, cover, 2);
    o << "[" << m.Print_cover_to_String(" or ", " and ", "not ", "", cover) << "] ";
  }
  o << "\n";
  m.Print_sop(" + ", ".", "", "'", o, f, 0);
  o << "\n" << m.Print_product_to_String_pref_suff("&", "~(", ")", m.Bdd_not(a), "in_", "_s") << "\n";
  o << m.Print_product_to_String_pref_suff("&", "~(", ")", a_and_not_b, "<", ">") << "\n";
  o << m.Print_sop_to_String_pref_suff(" | ", "&", "!", "", f, "s.", "", 1) << "\n";
  m.Print_product_pref_suff(".", "!", "", o, a_and_not_b, "[", "]");
  m.Print_product(".", "!", "", o, m.Bdd_one());
  m.Print_sop_pref_suff("+", ".", "!", "", o, m.Bdd_zero(), "[", "]", 2);
  o << "\n";
  m.Print_cat_product(" && ", "!", "", o, a_and_not_b, "in");
  o << "|";
  m.Print_cat_sop(" || ", " && ", "!", "", o, f, "in", 2);
  o << "|";
  m.Print_cat_sop(" || ", " && ", "!", "", o, m.Bdd_zero(), "in", 2);
  o << "\n";
  // Numbered literals: a negated number above n loses n, one below gains n;
  // shifted plain ones gain 2n.
  std::map<std::int32_t, int> numbers{{0, 3}, {1, 5}};
  for (const bdd& g : {a_and_not_b, m.Bdd_not(a), m.Bdd_zero(), m.Bdd_one()})
    for (bool shifted : {false, true}) {
      m.Print_cat_product(o, g, numbers, 4, shifted);
      o << "|";
    }
  o << "\n";
  Print_debug_bdd(o, m.Bdd_or(a, b));
  o << "\n";
  std::int32_t renumbered[] = {3, 5, 7};
  m.BLIF_print(o, c, a_and_not_b, 2);
  m.BLIF_print(o, c, m.Bdd_or(a, b), 1);
  m.LEC_print(o, renumbered, c, a_and_not_b, 2);
  m.PLA_print_pref_suff(o, c, m.Bdd_one(), "<", ">", "H:", "=\n", "/\n", "END\n", ",", 2);
  m.PLA_print_pref_suff(o, c, m.Bdd_zero(), "", "", "H:", "=\n", "/\n", "END\n", ",", 1);
  m.PLA_print_pref_suff_with_renaming(o, b, m.Bdd_not(a), "n", "", "", ":", ";", ".", "|", 2, renumbered);
  o << "\n";
  std::int32_t numbered[] = {10, 20, 30};
  bdd ab = m.Bdd_and(a, b);
  m.Print_bdd_by_nodes_list(o, ab);
  m.Print_bdd_by_nodes_list(o, ab, numbered);
  Print_bdd_node(o, m.Bdd_node_one());
  Print_bdd_node(o, nullptr);
  o << "\n";
  std::list<bdd> l{ab, m.Bdd_not(b), m.Bdd_or(m.Bdd_not(a), b)};
  m.Print_bdds_list_by_nodes_list(o, l);
  m.Print_bdds_list_by_nodes_list(o, l, numbered);
  Tdd tree(&m, m.Bdd_or(a, b));
  tree.Print_bdd_structure(o);
  test_files::expect_fixture("bdd/printers.txt", o.str());
  std::ostringstream adr, expected;
  m.Print_bdd_node_with_adress(adr, ab.node());
  expected << ab.node() << ": 0:" << b.node() << ":" << m.Bdd_node_one() << ",-1";
  EXPECT_EQ(adr.str(), expected.str());
  EXPECT_EXIT(m.Print_cat_product(o, c, numbers, 4, false), ::testing::ExitedWithCode(1),
              "\\*\\*\\*\\*error:print_cat_product:2 is not a valid index \n");
}

// The BLIF table of random functions is the function (abc's cec against a
// table of minterms).
TEST(BddPrinters, BlifTableIsEquivalentUnderAbc) {
  std::mt19937 rng(17);
  for (int round = 0; round < 8; ++round) {
    bddpp_manager m;
    auto v = declare_xs(m, 6);
    bdd y = m.New_var_last("y");
    bdd f = random_function(m, v, rng);
    const std::string truth = truth_string(m, f, 6);
    if (truth.find('1') == std::string::npos || truth.find('0') == std::string::npos) continue;
    std::ostringstream table;  // inputs f does not depend on stay unused
    m.BLIF_print(table, y, f, round % 4);
    std::string out;
    EXPECT_TRUE(abc_equivalent("blif_table", truth, table.str(), &out)) << table.str() << out;
  }
}

// The VHDL sum of products of random functions, at every level, drives an
// entity that ghdl runs against every input combination.
TEST(BddPrinters, VhdlSumOfProductsRunsUnderGhdl) {
  std::mt19937 rng(23);
  bddpp_manager m;
  auto v = declare_xs(m, 5);
  std::ostringstream body;
  std::vector<std::string> truths;
  for (int round = 0; round < 12; ++round) {
    bdd f = random_function(m, v, rng);
    for (int level = 0; level <= 3; ++level) {
      body << "  y(" << truths.size() << ") <= " << m.Print_sop_to_VHDL_String(f, level) << ";\n";
      truths.push_back(truth_string(m, f, 5));
    }
  }
  std::string out;
  EXPECT_TRUE(ghdl_runs("vhdl_sop", "", body.str(), truths, &out)) << out;
}
