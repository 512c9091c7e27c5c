// Helpers shared by the cover, printer and netlist tests: random functions,
// the copy of a function into BuDDy (the oracle), running external tools.
#ifndef TESSAN_TESTS_BDD2_SUPPORT_H
#define TESSAN_TESTS_BDD2_SUPPORT_H

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <list>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bdd/bddpp.h"
#include "buddy_ref.h"

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

// A fresh scratch folder under the test's working directory.
inline std::string scratch_folder(const std::string& name) {
  std::string base = "bdd2_scratch_" + name + "_XXXXXX";
  std::vector<char> t(base.begin(), base.end());
  t.push_back('\0');
  const char* d = mkdtemp(t.data());
  return d ? std::string(d) : std::string();
}

inline void write_text(const std::string& path, const std::string& text) {
  std::ofstream o(path);
  o << text;
}

inline std::string read_text(const std::string& path) {
  std::ifstream i(path);
  std::stringstream s;
  s << i.rdbuf();
  return s.str();
}

// Runs a shell command in a folder; its output goes to a file there.
inline int run_in(const std::string& folder, const std::string& command, std::string* output = nullptr) {
  const std::string log = folder + "/command.log";
  const std::string full = "cd '" + folder + "' && " + command + " > command.log 2>&1";
  const int status = std::system(full.c_str());
  if (output) *output = read_text(log);
  return status;
}

// Removes a scratch folder made by scratch_folder (kept when a test failed,
// for reading).
inline void remove_scratch(const std::string& folder) {
  if (folder.find("bdd2_scratch_") == std::string::npos) return;
  std::system(("rm -rf '" + folder + "'").c_str());
}

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

// A BLIF model over inputs x0 .. x(n-1) and output y: its body, or, for the
// reference, a table of the minterms of a truth string.
inline std::string blif_model(int inputs, const std::string& body) {
  std::string s = ".model m\n.inputs";
  for (int i = 0; i < inputs; ++i) s += " x" + std::to_string(i);
  return s + "\n.outputs y\n" + body + ".end\n";
}

inline std::string minterm_blif(const std::string& truth, int inputs) {
  std::string body = ".names";
  for (int i = 0; i < inputs; ++i) body += " x" + std::to_string(i);
  body += " y\n";
  for (std::size_t k = 0; k < truth.size(); ++k) {
    if (truth[k] != '1') continue;
    for (int b = 0; b < inputs; ++b) body += ((k >> b) & 1u) ? '1' : '0';
    body += " 1\n";
  }
  return blif_model(inputs, body);
}

// berkeley-abc's combinational equivalence check of two BLIF texts.
inline bool abc_equivalent(const std::string& folder, const std::string& reference, const std::string& ours,
                           std::string* output) {
  write_text(folder + "/ref.blif", reference);
  write_text(folder + "/ours.blif", ours);
  run_in(folder, "/usr/bin/berkeley-abc -c 'cec ref.blif ours.blif'", output);
  return output->find("Networks are equivalent") != std::string::npos;
}

// A ghdl testbench over std_logic inputs x0 .. x(n-1) (n at most 5) and a
// vector y of outputs driven by `body`, which asserts on every input
// combination that y(o) takes the values of truths[o] (truth strings).
inline bool ghdl_runs(const std::string& folder, int inputs, const std::string& declarations,
                      const std::string& body, const std::vector<std::string>& truths, std::string* output) {
  const int outputs = static_cast<int>(truths.size());
  const int combinations = 1 << inputs;
  std::ostringstream v;
  v << "library ieee; use ieee.std_logic_1164.all;\n"
       "entity tb is end tb;\n"
       "architecture run of tb is\n";
  for (int i = 0; i < inputs; ++i) v << "  signal x" << i << " : std_logic;\n";
  v << declarations << "  signal y : std_logic_vector(0 to " << outputs - 1 << ");\n"
    << "  type table is array (0 to " << outputs - 1 << ") of string(1 to " << combinations << ");\n"
    << "begin\n" << body << "  process\n    variable expected : table;\n  begin\n";
  for (int o = 0; o < outputs; ++o) v << "    expected(" << o << ") := \"" << truths[static_cast<std::size_t>(o)] << "\";\n";
  v << "    for k in 0 to " << combinations - 1 << " loop\n";
  for (int i = 0; i < inputs; ++i)
    v << "      if (k / " << (1 << i) << ") mod 2 = 1 then x" << i << " <= '1'; else x" << i << " <= '0'; end if;\n";
  v << "      wait for 1 ns;\n"
       "      for o in 0 to " << outputs - 1 << " loop\n"
       "        assert (y(o) = '1') = (expected(o)(k + 1) = '1')\n"
       "          report \"mismatch on output \" & integer'image(o) & \" at \" & integer'image(k)\n"
       "          severity failure;\n"
       "      end loop;\n"
       "    end loop;\n"
       "    report \"all combinations checked\";\n"
       "    wait;\n"
       "  end process;\n"
       "end run;\n";
  write_text(folder + "/tb.vhd", v.str());
  const int status = run_in(folder, "/usr/bin/ghdl -a tb.vhd && /usr/bin/ghdl -e tb && /usr/bin/ghdl -r tb", output);
  return status == 0 && output->find("all combinations checked") != std::string::npos;
}

inline bool tool_present(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

#endif
