// Netlists node by node: the exact lines of every form on small diagrams
// (the forms share one walk and differ in their lines only), then the walk on
// random diagrams checked by real readers: the VHDL netlist under ghdl, the
// BLIF netlist under berkeley-abc's cec.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "bdd/bddpp.h"
#include "bdd2_support.h"

// a AND NOT b (one node whose children are b and ONE), a XOR b (one node
// whose two children are b, one through a complemented edge) and the parity
// of a, b, c (shared nodes), in every form.
TEST(BddNetlists, EveryFormOnSmallDiagrams) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b"), c = m.New_var_last("c");
  std::ostringstream o;
  for (const bdd& f : {m.Bdd_and(a, m.Bdd_not(b)), m.Bdd_xor(a, b), m.Bdd_xor(m.Bdd_xor(a, b), c)}) {
    bdd_node* n = f.node();
    const auto form = [&](const char* name, const std::function<void()>& print) {
      o << "---- " << name << "\n";
      m.Bdd_clear_marks(f);
      print();
    };
    form("arrays", [&] { m.Print_node_for_eval("|", "&", "!(", ")", "<", ">", "0", ";", "N", o, n); });
    form("names", [&] { m.Print_node_for_eval_arrayless("|", "&", "!(", ")", "", "", "0", ";", "N", o, n); });
    form("indented", [&] { m.Print_node_for_eval("|", "&", "!(", ")", "", "", "0", ";", "\t", "M", o, n); });
    form("unindented names",
         [&] { m.Print_node_for_eval_arrayless("|", "&", "!", "", "", "", "1", ";", "", "M", o, n); });
    form("nusmv", [&] { m.Print_node_for_eval_NUSMV("i.", "", "  ", "N", o, n); });
    form("vhdl", [&] { m.Print_node_for_eval_VHDL("S", o, n); });
    form("blif", [&] { m.Print_node_for_eval_BLIF("", "_in", "n", o, n); });
    form("twice, then from null: once", [&] {
      m.Print_node_for_eval_NUSMV("", "", "", "N", o, n);
      m.Print_node_for_eval_NUSMV("", "", "", "N", o, n);
      m.Print_node_for_eval_BLIF("", "", "n", o, nullptr);
    });
    o << "---- node names: " << f.vhdl_node_name("S") << ", " << m.Bdd_not(f).vhdl_node_name("sig") << "\n";
  }
  m.Bdd_clear_marks(a);
  m.Print_node_for_eval_VHDL("S", o, a.node());
  m.Print_node_for_eval_VHDL_input("in_", "_i", "S", o, "a");
  m.Print_node_for_eval_VHDL_reset_input("S", o, "b");
  m.Print_node_for_eval_VHDL_input("", "", "S", o, "nobody");
  // The nodes a function uses, by number, and the marks it leaves.
  bdd f = m.Bdd_and(a, m.Bdd_not(b));
  std::vector<int> used(static_cast<std::size_t>(m.next_gid), 0);
  m.Bdd_clear_marks(f);
  f.node()->Lustre_writing_node_used(used.data(), nullptr);
  o << "used by a.b':";
  for (int u : used) o << " " << u;
  o << "; marks " << f.node()->mark << m.Bdd_node_one()->mark << "\n";
  test_files::expect_fixture("bdd/netlists.txt", o.str());
}

// The VHDL netlist of several functions in one architecture (each node
// once), with its input lines, under ghdl on every input combination.
TEST(BddNetlists, VhdlNetlistRunsUnderGhdl) {
  bddpp_manager m;
  auto v = declare_xs(m, 5);
  std::mt19937 rng(43);
  std::vector<bdd> fs{m.Bdd_one(), m.Bdd_zero()};
  for (int i = 0; i < 16; ++i) fs.push_back(random_function(m, v, rng));
  std::ostringstream body;
  std::vector<std::string> truths;
  m.Bdd_global_clear_marks();
  for (int i = 0; i < 5; ++i) m.Print_node_for_eval_VHDL_input("", "", "S", body, "x" + std::to_string(i));
  for (const bdd& f : fs) {
    m.Print_node_for_eval_VHDL("S", body, f.node());
    body << "      y(" << truths.size() << ") <= " << f.vhdl_node_name("S") << ";\n";
    truths.push_back(truth_string(m, f, 5));
  }
  const std::string signals = "  signal S : std_logic_vector(0 to " + std::to_string(m.next_gid - 1) + ");\n";
  std::string out;
  EXPECT_TRUE(ghdl_runs("vhdl_netlist", signals, body.str(), truths, &out)) << out;
}

// The BLIF netlist of random functions is equivalent, under abc's cec, to a
// table of the function's minterms.
TEST(BddNetlists, BlifNetlistIsEquivalentUnderAbc) {
  bddpp_manager m;
  auto v = declare_xs(m, 6);
  std::mt19937 rng(47);
  for (int i = 0; i < 10; ++i) {
    bdd f = random_function(m, v, rng);
    const std::string truth = truth_string(m, f, 6);
    if (truth.find('1') == std::string::npos || truth.find('0') == std::string::npos) continue;
    std::ostringstream netlist;
    m.Bdd_clear_marks(f);
    m.Print_node_for_eval_BLIF("", "", "n", netlist, f.node());
    netlist << ".names n_" << f.node()->gid << " y\n" << (f.link_type() == 1 ? "1" : "0") << " 1\n";
    std::string out;
    EXPECT_TRUE(abc_equivalent("blif_netlist", truth, netlist.str(), &out)) << netlist.str() << out;
  }
}
