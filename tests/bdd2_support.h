// Helpers shared by the BDD engine's tests: random functions, the copy of a
// function into BuDDy (the oracle), whole outputs against their expected
// files, and the outside readers (berkeley-abc, ghdl, the C compiler).
#ifndef TESSAN_TESTS_BDD2_SUPPORT_H
#define TESSAN_TESTS_BDD2_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bdd/bddpp.h"
#include "buddy_ref.h"
#include "test_files.h"

// A manager with variables x0 .. x(n-1) in this order.
inline std::vector<bdd> declare_xs(bddpp_manager& m, int n, const char* stem = "x") {
  std::vector<bdd> v;
  for (int i = 0; i < n; ++i) v.push_back(m.New_var_last(stem + std::to_string(i)));
  return v;
}

// A random function over the given variables: an OR of random cubes, now and
// then folded with an XOR, so that both covers with many shared literals and
// functions with few implicants come up.
inline bdd random_function(bddpp_manager& m, const std::vector<bdd>& v, std::mt19937& rng) {
  const int n = static_cast<int>(v.size());
  std::uniform_int_distribution<int> cubes(1, 2 * n), lits(1, n < 4 ? n : 4), var(0, n - 1), coin(0, 1),
      xor_roll(0, 5);
  bdd f = m.Bdd_zero();
  const int k = cubes(rng);
  for (int c = 0; c < k; ++c) {
    bdd cube = m.Bdd_one();
    const int l = lits(rng);
    for (int i = 0; i < l; ++i) {
      const bdd& x = v[static_cast<std::size_t>(var(rng))];
      cube = m.Bdd_and(cube, coin(rng) ? x : m.Bdd_not(x));
    }
    f = xor_roll(rng) == 0 ? m.Bdd_xor(f, cube) : m.Bdd_or(f, cube);
  }
  return f;
}

// The copy of f in BuDDy, variable for variable by position; one reference
// taken on the result.
inline int to_buddy(bddpp_manager& m, const bdd& f) {
  std::map<bdd_node*, int> known;
  struct walk {
    bddpp_manager& m;
    std::map<bdd_node*, int>& known;
    int of(bdd_node* n) {  // the function of n under a regular link
      if (n->id == -1) return buddy_true();
      auto it = known.find(n);
      if (it != known.end()) return it->second;
      int t = of(n->then_node);
      int e = of(n->else_node);
      int e2 = n->else_link == 1 ? buddy_copy(e) : buddy_not(e);
      int x = buddy_var(m.position_of(n));
      int r = buddy_ite(x, t, e2);
      buddy_release(e2);
      known[n] = r;
      return r;
    }
  } w{m, known};
  int r = w.of(f.node());
  r = f.link_type() == 1 ? buddy_copy(r) : buddy_not(r);
  for (auto& k : known) buddy_release(k.second);
  return r;
}

// The disjunction of a list of cubes, in BuDDy.
inline int buddy_or_of(bddpp_manager& m, const std::list<bdd>& cubes) {
  int r = buddy_false();
  for (const bdd& c : cubes) {
    int b = to_buddy(m, c);
    int r2 = buddy_or(r, b);
    buddy_release(b);
    buddy_release(r);
    r = r2;
  }
  return r;
}

// While alive, what the engine writes on std::cerr goes into a transcript,
// in order with the results the test writes there.
struct cerr_into {
  std::streambuf* saved;
  explicit cerr_into(std::ostream& o) : saved(std::cerr.rdbuf(o.rdbuf())) {}
  ~cerr_into() { std::cerr.rdbuf(saved); }
};

// The values of f on every combination of its first `inputs` positions,
// combination k giving position i the value of bit i of k: '1' or '0'.
inline std::string truth_string(bddpp_manager& m, const bdd& f, int inputs) {
  std::string s;
  std::vector<int> lits(static_cast<std::size_t>(m.var_count), 2);
  for (int k = 0; k < (1 << inputs); ++k) {
    for (int i = 0; i < inputs; ++i) lits[static_cast<std::size_t>(i)] = (k >> i) & 1;
    s += m.Bdd_eval_for_literal(f, lits.data()) == 1 ? '1' : '0';
  }
  return s;
}

// Runs a shell command in a scratch folder under the test's working
// directory; its output, both streams, in *output.
inline int run_in(const std::string& folder, const std::string& command, std::string* output) {
  const int status = std::system(("cd '" + folder + "' && " + command + " > command.log 2>&1").c_str());
  *output = test_files::slurp(folder + "/command.log");
  return status;
}

inline std::string scratch_folder(const std::string& name) {
  std::system(("mkdir -p bdd_scratch_" + name).c_str());
  return "bdd_scratch_" + name;
}

// berkeley-abc's combinational equivalence check of a BLIF body over inputs
// x0 .. x5 and output y against the table of the minterms of a truth string.
inline bool abc_equivalent(const std::string& name, const std::string& truth, const std::string& body,
                           std::string* output) {
  const std::string folder = scratch_folder(name);
  const std::string model = ".model m\n.inputs x0 x1 x2 x3 x4 x5\n.outputs y\n";
  std::string table = ".names x0 x1 x2 x3 x4 x5 y\n";
  for (std::size_t k = 0; k < truth.size(); ++k) {
    if (truth[k] != '1') continue;
    for (int b = 0; b < 6; ++b) table += ((k >> b) & 1u) ? '1' : '0';
    table += " 1\n";
  }
  test_files::spill(folder + "/ref.blif", model + table + ".end\n");
  test_files::spill(folder + "/ours.blif", model + body + ".end\n");
  run_in(folder, "/usr/bin/berkeley-abc -c 'cec ref.blif ours.blif'", output);
  return output->find("Networks are equivalent") != std::string::npos;
}

// The testbench tests/data/bdd/testbench.vhd under ghdl: over std_logic
// inputs x0 .. x4, `body` drives the outputs y(0 ..), and on every input
// combination y(o) must take the values of truths[o] (truth strings).
inline bool ghdl_runs(const std::string& name, const std::string& declarations, const std::string& body,
                      const std::vector<std::string>& truths, std::string* output) {
  const std::string folder = scratch_folder(name);
  std::string bench = test_files::slurp(std::string(TESSAN_TEST_DATA) + "/bdd/testbench.vhd"), table;
  for (const std::string& t : truths) table += (table.empty() ? "\"" : ", \"") + t + "\"";
  for (auto [key, value] : std::map<std::string, std::string>{
           {"@DECLARATIONS@", declarations}, {"@LAST@", std::to_string(truths.size() - 1)},
           {"@EXPECTED@", table}, {"@BODY@", body}})
    for (std::size_t at; (at = bench.find(key)) != std::string::npos;) bench.replace(at, key.size(), value);
  test_files::spill(folder + "/tb.vhd", bench);
  return run_in(folder, "/usr/bin/ghdl -a tb.vhd && /usr/bin/ghdl -e tb && /usr/bin/ghdl -r tb", output) == 0 &&
         output->find("all combinations checked") != std::string::npos;
}

#endif
