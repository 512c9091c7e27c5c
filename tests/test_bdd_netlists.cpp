// Netlists node by node: the exact lines of every form on small diagrams,
// then each form checked by a real reader: the C arrays compiled and run on
// every input, the VHDL netlist under ghdl, the BLIF netlist under
// berkeley-abc's cec, the NuSMV assignments read back by the expression
// parser.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

#include "bdd/bddpp.h"
#include "bdd2_support.h"

namespace {

// a AND NOT b over a (gid 2) and b (gid 3): one node, gid 4, whose then
// child is b's variable node and whose else child is ONE (gid 1).
struct and_not_manager {
  bddpp_manager m;
  bdd a = m.New_var_last("a");
  bdd b = m.New_var_last("b");
  bdd f = m.Bdd_and(a, m.Bdd_not(b));
  bdd_node* n = f.node();
};

}  // namespace

// ---- Exact lines -----------------------------------------------------------------

TEST(BddNetlists, EvaluationArraysInEveryForm) {
  and_not_manager t;
  ASSERT_EQ(t.n->gid, 4);
  std::ostringstream o;
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval(" | ", " & ", "!(", ")", "<", ">", "0", ";", "N", o, t.n);
  EXPECT_EQ(o.str(), "  N[3]= <b>;\n   N[1]= !(0);\n  N[4]= <a> & N[3] | !(<a>) & N[1];\n");
  std::ostringstream arrayless;
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval_arrayless(" | ", " & ", "!(", ")", "", "", "0", ";", "N", arrayless, t.n);
  EXPECT_EQ(arrayless.str(), "  N_3= b;\n   N_1= !(0);\n  N_4= a & N_3 | !(a) & N_1;\n");
  std::ostringstream indented;
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval(" | ", " & ", "!(", ")", "", "", "0", ";", "\t", "M", indented, t.n);
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval_arrayless(" | ", " & ", "!(", ")", "", "", "0", ";", "", "M", indented, t.n);
  EXPECT_EQ(indented.str(),
            "\tM[3]= b;\n\tM[1]= !(0);\n\tM[4]= a & M[3] | !(a) & M[1];\n"
            "M_3= b;\nM_1= !(0);\nM_4= a & M_3 | !(a) & M_1;\n");
}

TEST(BddNetlists, NuSmvVhdlAndBlifLines) {
  and_not_manager t;
  std::ostringstream smv, vhdl, blif;
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval_NUSMV("i.", "", "  ", "N", smv, t.n);
  EXPECT_EQ(smv.str(), "  N_3:= i.b;\n  N_1:= TRUE;\n  N_4:= i.a & N_3 | !i.a & N_1;\n");
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval_VHDL("S", vhdl, t.n);
  EXPECT_EQ(vhdl.str(), "      S(1) <= '1';\n      S(4) <= (S(2) and S(3)) or (not S(2) and S(1));\n");
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval_BLIF("", "_in", "n", blif, t.n);
  EXPECT_EQ(blif.str(), ".names b_in n_3\n1 1\n.names n_1\n1\n.names a_in n_3 n_1 n_4\n11- 1\n0-1 1\n");
}

TEST(BddNetlists, ComplementedElseEdgeAndSharedChild) {
  bddpp_manager m;
  bdd a = m.New_var_last("a"), b = m.New_var_last("b");
  bdd f = m.Bdd_xor(a, b);  // a ? NOT b : b, one node whose two children are b's
  const String g = long2S(f.node()->gid);
  std::ostringstream c, smv, vhdl, blif;
  m.Bdd_clear_marks(f);
  m.Print_node_for_eval(" | ", " & ", "!(", ")", "", "", "0", ";", "N", c, f.node());
  EXPECT_EQ(c.str(), "  N[3]= b;\n  N[" + g + "]= a & N[3] | !(a) & !(N[3]);\n");
  m.Bdd_clear_marks(f);
  m.Print_node_for_eval_NUSMV("", "", "", "N", smv, f.node());
  EXPECT_EQ(smv.str(), "N_3:= b;\nN_" + g + ":= a & N_3 | !a & !N_3;\n");
  m.Bdd_clear_marks(f);
  m.Print_node_for_eval_VHDL("S", vhdl, f.node());
  EXPECT_EQ(vhdl.str(), "      S(" + g + ") <= (S(2) and S(3)) or (not S(2) and not S(3));\n");
  m.Bdd_clear_marks(f);
  m.Print_node_for_eval_BLIF("", "", "n", blif, f.node());
  EXPECT_EQ(blif.str(), ".names b n_3\n1 1\n.names a n_3 n_3 n_" + g + "\n11- 1\n0-0 1\n");
}

TEST(BddNetlists, MarkedNullAndVariableStarts) {
  and_not_manager t;
  std::ostringstream o;
  t.m.Bdd_clear_marks(t.f);
  t.m.Print_node_for_eval_NUSMV("", "", "", "N", o, t.n);
  const std::size_t first = o.str().size();
  t.m.Print_node_for_eval_NUSMV("", "", "", "N", o, t.n);  // marks left from the first run
  t.m.Print_node_for_eval_BLIF("", "", "n", o, nullptr);
  EXPECT_EQ(o.str().size(), first);
  std::ostringstream v;
  t.m.Bdd_clear_marks(t.a);
  t.m.Print_node_for_eval_VHDL("S", v, t.a.node());
  EXPECT_EQ(v.str(), "");
}

TEST(BddNetlists, VhdlInputsResetsAndNodeNames) {
  and_not_manager t;
  std::ostringstream o;
  t.m.Print_node_for_eval_VHDL_input("in_", "_i", "S", o, "a");
  t.m.Print_node_for_eval_VHDL_reset_input("S", o, "b");
  t.m.Print_node_for_eval_VHDL_input("", "", "S", o, "nobody");
  EXPECT_EQ(o.str(), "      S(2) <= in_a_i;\n      S(3) <= '0';\n");
  EXPECT_EQ(t.f.vhdl_node_name("S"), "not S(4)");
  EXPECT_EQ(t.m.Bdd_not(t.f).vhdl_node_name("sig"), "sig(4)");
}

TEST(BddNetlists, NodesUsedByAFunction) {
  and_not_manager t;
  bdd other = t.m.Bdd_or(t.a, t.b);
  std::vector<int> used(static_cast<std::size_t>(t.m.next_gid), 0);
  t.m.Bdd_clear_marks(t.f);
  t.n->Lustre_writing_node_used(used.data(), nullptr);
  EXPECT_EQ(used, (std::vector<int>{0, 1, 0, 1, 1, 0}));
  EXPECT_EQ(t.n->mark, 1);
  EXPECT_EQ(t.m.Bdd_node_one()->mark, 1);
  (void)other;
}

// ---- Real readers -----------------------------------------------------------------

namespace {

struct random_set {
  bddpp_manager m;
  std::vector<bdd> v;
  std::vector<bdd> fs;
  random_set(int inputs, int count, unsigned seed) {
    v = declare_xs(m, inputs);
    std::mt19937 rng(seed);
    fs.push_back(m.Bdd_one());
    fs.push_back(m.Bdd_zero());
    for (int i = 0; i < count; ++i) fs.push_back(random_function(m, v, rng));
  }
};

}  // namespace

// Every evaluation form, compiled as C and run on every input combination.
TEST(BddNetlists, EvaluationArraysCompileAndComputeTheFunction) {
  ASSERT_TRUE(tool_present("/usr/bin/cc"));
  const std::string dir = scratch_folder("c_arrays");
  ASSERT_FALSE(dir.empty());
  random_set s(6, 24, 41);
  std::ostringstream prog, expected;
  prog << "#include <stdio.h>\n\nint main(void) {\n  int N[" << s.m.next_gid << "];\n";
  for (int g = 0; g < s.m.next_gid; ++g) prog << "  int N_" << g << ";\n";
  prog << "  for (int k = 0; k < 64; ++k) {\n";
  for (int i = 0; i < 6; ++i) prog << "    int x" << i << " = (k >> " << i << ") & 1;\n";
  for (std::size_t i = 0; i < s.fs.size(); ++i) {
    const bdd& f = s.fs[i];
    s.m.Bdd_clear_marks(f);
    const char* ops[] = {" || ", " && ", "!(", ")", "", "", "0", ";"};
    std::string root;
    switch (i % 4) {
      case 0:
        s.m.Print_node_for_eval(ops[0], ops[1], ops[2], ops[3], ops[4], ops[5], ops[6], ops[7], "N", prog, f.node());
        root = "N[" + std::to_string(f.node()->gid) + "]";
        break;
      case 1:
        s.m.Print_node_for_eval_arrayless(ops[0], ops[1], ops[2], ops[3], ops[4], ops[5], ops[6], ops[7], "N", prog,
                                          f.node());
        root = "N_" + std::to_string(f.node()->gid);
        break;
      case 2:
        s.m.Print_node_for_eval(ops[0], ops[1], ops[2], ops[3], ops[4], ops[5], ops[6], ops[7], "\t", "N", prog,
                                f.node());
        root = "N[" + std::to_string(f.node()->gid) + "]";
        break;
      default:
        s.m.Print_node_for_eval_arrayless(ops[0], ops[1], ops[2], ops[3], ops[4], ops[5], ops[6], ops[7], "    ",
                                          "N", prog, f.node());
        root = "N_" + std::to_string(f.node()->gid);
    }
    prog << "    putchar('0' + (" << (f.link_type() == 1 ? "" : "!") << root << "));\n";
    expected << truth_string(s.m, f, 6) << "\n";
  }
  prog << "    putchar('\\n');\n  }\n  return 0;\n}\n";
  write_text(dir + "/netlist.c", prog.str());
  std::string out;
  ASSERT_EQ(run_in(dir, "/usr/bin/cc -std=c99 -w -o netlist netlist.c", &out), 0) << out;
  ASSERT_EQ(run_in(dir, "./netlist", &out), 0);
  // The program writes one line per input combination; the expectation one
  // line per function: compare column against row.
  std::istringstream lines(out);
  std::vector<std::string> rows;
  for (std::string l; std::getline(lines, l);) rows.push_back(l);
  ASSERT_EQ(rows.size(), 64u);
  std::istringstream want(expected.str());
  std::size_t i = 0;
  for (std::string w; std::getline(want, w); ++i)
    for (int k = 0; k < 64; ++k) EXPECT_EQ(rows[static_cast<std::size_t>(k)][i], w[static_cast<std::size_t>(k)]) << i << " " << k;
  if (!HasFailure()) remove_scratch(dir);
}

// The VHDL netlist of several functions in one architecture (each node
// once), with its input lines, under ghdl on every input combination.
TEST(BddNetlists, VhdlNetlistRunsUnderGhdl) {
  ASSERT_TRUE(tool_present("/usr/bin/ghdl"));
  const std::string dir = scratch_folder("vhdl_netlist");
  ASSERT_FALSE(dir.empty());
  random_set s(5, 16, 43);
  std::ostringstream body;
  std::vector<std::string> truths;
  s.m.Bdd_global_clear_marks();
  for (int i = 0; i < 5; ++i) s.m.Print_node_for_eval_VHDL_input("", "", "S", body, "x" + std::to_string(i));
  for (const bdd& f : s.fs) {
    s.m.Print_node_for_eval_VHDL("S", body, f.node());
    body << "      y(" << truths.size() << ") <= " << f.vhdl_node_name("S") << ";\n";
    truths.push_back(truth_string(s.m, f, 5));
  }
  const std::string signals = "  signal S : std_logic_vector(0 to " + std::to_string(s.m.next_gid - 1) + ");\n";
  std::string out;
  EXPECT_TRUE(ghdl_runs(dir, 5, signals, body.str(), truths, &out)) << out;
  if (!HasFailure()) remove_scratch(dir);
}

// The BLIF netlist of random functions is equivalent, under abc's cec, to a
// table of the function's minterms.
TEST(BddNetlists, BlifNetlistIsEquivalentUnderAbc) {
  ASSERT_TRUE(tool_present("/usr/bin/berkeley-abc"));
  const std::string dir = scratch_folder("blif_netlist");
  ASSERT_FALSE(dir.empty());
  random_set s(6, 10, 47);
  for (const bdd& f : s.fs) {
    const std::string truth = truth_string(s.m, f, 6);
    if (truth.find('1') == std::string::npos || truth.find('0') == std::string::npos) continue;
    std::ostringstream netlist;
    s.m.Bdd_clear_marks(f);
    s.m.Print_node_for_eval_BLIF("", "", "n", netlist, f.node());
    netlist << ".names n_" << f.node()->gid << " y\n" << (f.link_type() == 1 ? "1" : "0") << " 1\n";
    std::string out;
    EXPECT_TRUE(abc_equivalent(dir, minterm_blif(truth, 6), blif_model(6, netlist.str()), &out)) << netlist.str() << out;
  }
  if (!HasFailure()) remove_scratch(dir);
}

// The NuSMV assignments, read back one by one by the expression parser (each
// node name stands for its own assignment), give the node's function.
TEST(BddNetlists, NuSmvAssignmentsReadBackAsTheFunction) {
  random_set s(7, 30, 53);
  for (const bdd& f : s.fs) {
    std::ostringstream smv;
    s.m.Bdd_clear_marks(f);
    s.m.Print_node_for_eval_NUSMV("", "", "  ", "N", smv, f.node());
    std::map<String, bdd> defined;
    defined["TRUE"] = s.m.Bdd_one();
    String last;
    std::istringstream lines(smv.str());
    for (std::string line; std::getline(lines, line);) {
      ASSERT_EQ(line.substr(0, 4), "  N_") << line;
      const std::size_t assign = line.find(":= ");
      ASSERT_NE(assign, std::string::npos) << line;
      ASSERT_EQ(line.back(), ';') << line;
      const String name = line.substr(2, assign - 2);
      const String rhs = line.substr(assign + 3, line.size() - assign - 4);
      s.m.New_var_last(name);
      s.m.New_var_last("TRUE");
      int status = -1;
      bdd r = s.m.Parse_expression(rhs, &status);
      ASSERT_EQ(status, 0) << rhs;
      for (const auto& d : defined) r = s.m.Bdd_compose(r, s.m.Bdd_var_by_name(d.first), d.second);
      defined[name] = r;
      last = name;
    }
    EXPECT_EQ(last, "N_" + long2S(f.node()->gid));
    const bdd node_function = f.link_type() == 1 ? f : s.m.Bdd_not(f);
    EXPECT_EQ(defined[last], node_function) << smv.str();
  }
}
