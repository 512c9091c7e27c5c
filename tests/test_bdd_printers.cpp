// Texts of BDDs: sums of products in every spelling, cube tables, node
// lists and the implicant tree dump; the VHDL and BLIF texts are checked by
// ghdl and berkeley-abc, the Esterel text by reading it back.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "bdd/bddpp.h"
#include "bdd2_support.h"

namespace {

struct abc_manager {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  bdd b = m.New_var_last("b");
  bdd c = m.New_var_last("c");
  bdd a_and_not_b = m.Bdd_and(a, m.Bdd_not(b));
  bdd f = m.Bdd_or(a_and_not_b, c);  // (a AND NOT b) OR c
};

}  // namespace

// ---- Products and sums of products ----------------------------------------------

TEST(BddPrinters, SumOfProductsOfConstantsAndLiterals) {
  abc_manager t;
  auto sop = [&](const bdd& f) { return t.m.Print_sop_to_String(" or ", " and ", "not ", "", f, 2); };
  EXPECT_EQ(sop(t.m.Bdd_zero()), "0");
  EXPECT_EQ(sop(t.m.Bdd_one()), "1");
  EXPECT_EQ(sop(t.a), "a");
  EXPECT_EQ(sop(t.m.Bdd_not(t.a)), "not a");
  for (int level : {0, 1, 2, 3}) {
    EXPECT_EQ(t.m.Print_sop_to_String("+", ".", "!", "", t.m.Bdd_zero(), level), "0");
    EXPECT_EQ(t.m.Print_sop_to_String("+", ".", "!", "", t.m.Bdd_one(), level), "1");
  }
}

TEST(BddPrinters, SumOfProductsAtLevelsOneAndTwo) {
  abc_manager t;
  EXPECT_EQ(t.m.Print_sop_to_String(" or ", " and ", "not ", "", t.f, 2), "c or a and not b");
  EXPECT_EQ(t.m.Print_sop_to_String(" or ", " and ", "not ", "", t.f, 1), "a and not b or c");
  // A cover already made is written the same way; the empty one is "0".
  for (const bdd& f : {t.f, t.m.Bdd_zero(), t.m.Bdd_one()}) {
    std::list<bdd> cover;
    t.m.Bdd_sop(f, cover, 2);
    EXPECT_EQ(t.m.Print_cover_to_String(" or ", " and ", "not ", "", cover),
              t.m.Print_sop_to_String(" or ", " and ", "not ", "", f, 2));
  }
  std::ostringstream o;
  t.m.Print_sop(" + ", ".", "", "'", o, t.f, 0);
  EXPECT_EQ(o.str(), "a.b.c + a.b' + a'.c");
}

TEST(BddPrinters, LiteralWithPrefixSuffixAndNotTexts) {
  abc_manager t;
  bdd not_a = t.m.Bdd_not(t.a);
  EXPECT_EQ(t.m.Print_product_to_String_pref_suff("&", "~(", ")", not_a, "in_", "_s"), "~(in_a_s)");
  EXPECT_EQ(t.m.Print_product_to_String_pref_suff("&", "~(", ")", t.a_and_not_b, "<", ">"), "<a>&~(<b>)");
  EXPECT_EQ(t.m.Print_sop_to_String_pref_suff(" | ", "&", "!", "", t.f, "s.", "", 1), "s.a&!s.b | s.c");
  std::ostringstream o;
  t.m.Print_product_pref_suff(".", "!", "", o, t.a_and_not_b, "[", "]");
  t.m.Print_product(".", "!", "", o, t.m.Bdd_one());
  t.m.Print_sop_pref_suff("+", ".", "!", "", o, t.m.Bdd_zero(), "[", "]", 2);
  EXPECT_EQ(o.str(), "[a].![b]10");
}

TEST(BddPrinters, EsterelAndVhdlTexts) {
  abc_manager t;
  for (int level : {0, 1, 2, 3}) {
    EXPECT_EQ(t.m.Print_sop_to_ESTEREL_String(t.m.Bdd_zero(), level), "not tick");
    EXPECT_EQ(t.m.Print_sop_to_ESTEREL_String(t.m.Bdd_one(), level), "tick");
    EXPECT_EQ(t.m.Print_sop_to_VHDL_String(t.m.Bdd_zero(), level), "'0'");
    EXPECT_EQ(t.m.Print_sop_to_VHDL_String(t.m.Bdd_one(), level), "'1'");
  }
  EXPECT_EQ(t.m.Print_sop_to_ESTEREL_String(t.f, 2), "c or a and not b");
  EXPECT_EQ(t.m.Print_sop_to_VHDL_String(t.a_and_not_b, 2), "a and not b");
  EXPECT_EQ(t.m.Print_sop_to_VHDL_String(t.f, 2), "(c) or (a and not b)");
}

TEST(BddPrinters, ArrayIndexedTexts) {
  abc_manager t;
  std::ostringstream o;
  t.m.Print_cat_product(" && ", "!", "", o, t.a_and_not_b, "in");
  o << "|";
  t.m.Print_cat_sop(" || ", " && ", "!", "", o, t.f, "in", 2);
  o << "|";
  t.m.Print_cat_sop(" || ", " && ", "!", "", o, t.m.Bdd_zero(), "in", 2);
  EXPECT_EQ(o.str(), "in[0] && !in[1]|in[2] || in[0] && !in[1]|0");
}

TEST(BddPrinters, NumberedLiterals) {
  abc_manager t;
  std::map<std::int32_t, int> numbers{{0, 3}, {1, 5}};
  std::ostringstream o;
  t.m.Print_cat_product(o, t.a_and_not_b, numbers, 4, false);  // b: 5 > 4, so 5 - 4
  o << "|";
  t.m.Print_cat_product(o, t.a_and_not_b, numbers, 4, true);
  o << "|";
  t.m.Print_cat_product(o, t.m.Bdd_not(t.a), numbers, 4, true);  // 3 <= 4, so 3 + 4
  o << "|";
  t.m.Print_cat_product(o, t.m.Bdd_zero(), numbers, 4, true);
  t.m.Print_cat_product(o, t.m.Bdd_one(), numbers, 4, true);
  EXPECT_EQ(o.str(), "3,1|11,1|7|01");
  EXPECT_EXIT(t.m.Print_cat_product(o, t.c, numbers, 4, false), ::testing::ExitedWithCode(1),
              "\\*\\*\\*\\*error:print_cat_product:2 is not a valid index \n");
}

TEST(BddPrinters, DebugTextIsTheDisjointCover) {
  abc_manager t;
  std::ostringstream o;
  Print_debug_bdd(o, t.m.Bdd_or(t.a, t.b));
  EXPECT_EQ(o.str(), "a + !a . b");
}

// ---- Cube tables ------------------------------------------------------------------

TEST(BddPrinters, BlifAndLecTables) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b"), y = m.New_var_last("f");
  bdd g = m.Bdd_and(a, m.Bdd_not(b));
  std::ostringstream blif, lec;
  m.BLIF_print(blif, y, g, 2);
  EXPECT_EQ(blif.str(), ".names  a b f\n10 1\n");
  std::int32_t numbers[] = {3, 5, 7};
  m.LEC_print(lec, numbers, y, g, 2);
  EXPECT_EQ(lec.str(), "3 5 7:\n1 0  1;\n");
  std::ostringstream two;
  m.BLIF_print(two, y, m.Bdd_or(a, b), 1);
  EXPECT_EQ(two.str(), ".names  a b f\n1- 1\n-1 1\n");
}

TEST(BddPrinters, CubeTableOfAConstantHasNoRows) {
  bddpp_manager m;
  m.New_var_last("a");
  bdd y = m.New_var_last("y");
  std::ostringstream o;
  m.PLA_print_pref_suff(o, y, m.Bdd_one(), "<", ">", "H:", "=\n", "/\n", "END\n", ",", 2);
  m.PLA_print_pref_suff(o, y, m.Bdd_zero(), "", "", "H:", "=\n", "/\n", "END\n", ",", 1);
  EXPECT_EQ(o.str(), "H:<y>=\n1END\nH:y=\n0END\n");
  std::ostringstream r;
  std::int32_t numbers[] = {40, 41};
  m.PLA_print_pref_suff_with_renaming(r, y, m.Bdd_not(m.Bdd_var_by_name("a")), "n", "", "", ":", ";", ".", "|", 2,
                                      numbers);
  EXPECT_EQ(r.str(), "n40 n41:0| 1.");
}

// The BLIF table of random functions is the function (abc's cec against a
// table of minterms).
TEST(BddPrinters, BlifTableIsEquivalentUnderAbc) {
  ASSERT_TRUE(tool_present("/usr/bin/berkeley-abc"));
  const std::string dir = scratch_folder("blif_table");
  ASSERT_FALSE(dir.empty());
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
    EXPECT_TRUE(abc_equivalent(dir, minterm_blif(truth, 6), blif_model(6, table.str()), &out)) << table.str() << out;
  }
  if (!HasFailure()) remove_scratch(dir);
}

// The VHDL sum of products of random functions, at every level, drives an
// entity that ghdl runs against every input combination.
TEST(BddPrinters, VhdlSumOfProductsRunsUnderGhdl) {
  ASSERT_TRUE(tool_present("/usr/bin/ghdl"));
  const std::string dir = scratch_folder("vhdl_sop");
  ASSERT_FALSE(dir.empty());
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
  EXPECT_TRUE(ghdl_runs(dir, 5, "", body.str(), truths, &out)) << out;
  if (!HasFailure()) remove_scratch(dir);
}

// The Esterel text reads back, through the expression parser, as the function.
TEST(BddPrinters, EsterelTextReadsBackAsTheFunction) {
  std::mt19937 rng(31);
  for (int round = 0; round < 60; ++round) {
    bddpp_manager m;
    auto v = declare_xs(m, 2 + round % 7);
    bdd f = random_function(m, v, rng);
    if (f.node() == m.Bdd_node_one()) continue;
    for (int level = 0; level <= 3; ++level) {
      const String text = m.Print_sop_to_ESTEREL_String(f, level);
      int status = -1;
      bdd back = m.Parse_expression(text, &status);
      ASSERT_EQ(status, 0) << text;
      EXPECT_EQ(back, f) << text;
    }
  }
}

// ---- Node lists and the tree dump -----------------------------------------------

TEST(BddPrinters, NodeListOfAConjunction) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b");
  bdd f = m.Bdd_and(a, b);
  std::ostringstream o;
  m.Print_bdd_by_nodes_list(o, f);
  EXPECT_EQ(o.str(), "nombre de noeud trouves: 3\n0: 0:1:2,-1\n1: 1:2:2,-1\n2: -1:-3:-3,1\n");
  std::int32_t numbers[] = {10, 20};
  std::ostringstream n;
  m.Print_bdd_by_nodes_list(n, f, numbers);
  EXPECT_EQ(n.str(), "0: 10:1:2,-1\n1: 20:2:2,-1\n2: -1:-3:-3,1\n");
  std::ostringstream one;
  Print_bdd_node(one, m.Bdd_node_one());
  Print_bdd_node(one, nullptr);
  EXPECT_EQ(one.str(), "2: -1:-3:-3,1");
  std::ostringstream adr;
  m.Print_bdd_node_with_adress(adr, f.node());
  std::ostringstream expected;
  expected << static_cast<const void*>(f.node()) << ": 0:" << static_cast<const void*>(b.node()) << ":"
           << static_cast<const void*>(m.Bdd_node_one()) << ",-1";
  EXPECT_EQ(adr.str(), expected.str());
}

TEST(BddPrinters, NodeListsOfSeveralFunctionsShareOneNumbering) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b");
  std::list<bdd> l{m.Bdd_and(a, b), m.Bdd_not(b), m.Bdd_or(m.Bdd_not(a), b)};
  std::ostringstream o;
  m.Print_bdds_list_by_nodes_list(o, l);
  EXPECT_EQ(o.str(),
            "bdd_vars: \na,b;\nbdd_nodes: \n"
            "0: 0:1:2,-1\n1: 1:2:2,-1\n2: -1:-3:-3,1\n"
            "3: 0:1:2,1\n");
  std::int32_t numbers[] = {7, 8};
  std::ostringstream n;
  m.Print_bdds_list_by_nodes_list(n, l, numbers);
  EXPECT_EQ(n.str(), "4\n0: 7:1:2,-1\n1: 8:2:2,-1\n2: -1:-3:-3,1\n3: 7:1:2,1\n");
}

TEST(BddPrinters, ImplicantTreeDump) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b");
  Tdd t(&m, m.Bdd_or(a, b));
  std::ostringstream o;
  t.Print_bdd_structure(o);
  EXPECT_EQ(o.str(),
            "if a\n"
            "  1\n"
            "else if !a\n"
            "  if b\n"
            "    1\n"
            "  else if !b\n"
            "    0\n"
            "  dont care b\n"
            "    0\n"
            "dont care a\n"
            "  if b\n"
            "    1\n"
            "  else if !b\n"
            "    0\n"
            "  dont care b\n"
            "    0\n");
}
