// The trigger checks: syntax of one trigger, and per state the determinism
// and completeness of the outgoing triggers, decided with BDDs.
//
// A determinism check reads each state's outgoing guards G[k] with their
// priorities P[k], narrows them by priority into E[k] (a guard gives way to
// every guard of a lower rank), and then asks whether the E[k] together hold
// everywhere (completeness) and which pairs of them meet (exclusivity).
// States with hundreds of outgoing transitions are possible in generated
// charts, so neither step pairs every guard with every other: the narrowing
// runs over the guards sorted by rank with one running disjunction, and the
// pairs that meet are found through a tree of disjunctions that only opens a
// subtree whose disjunction meets the guard at hand.
#include <algorithm>
#include <iostream>
#include <numeric>
#include <vector>

#include "bdd/bddpp.h"
#include "chart/gal_norm.h"
#include "text/Stringexp.h"

namespace {

const char* const undefined_model_report = "Automaton Model undefined ...";

// The chart's signals as variables, in the order the printed products
// follow: inputs, locals, then pre names. A repeated name keeps its first
// variable.
void declare_signals(bddpp_manager& m, const std::vector<gal_declaration_variables>& inputs,
                     const std::vector<gal_declaration_variables>& locals,
                     const std::vector<gal_declaration_pres>& pres) {
  for (const gal_declaration_variables& v : inputs) m.New_var_last(v.nom());
  for (const gal_declaration_variables& v : locals) m.New_var_last(v.nom());
  for (const gal_declaration_pres& p : pres) m.New_var_last(p.prename());
}

// The outgoing transitions of every state, each in transition order, found in
// one pass over the table: asking the whole table again for every state would
// make a check quadratic in the size of the chart.
class outgoing_transitions {
 public:
  outgoing_transitions(const gal_tpen_transition* table, int transitions, int states)
      : start_(static_cast<std::size_t>(states) + 1, 0) {
    for (int t = 0; t < transitions; ++t) {
      const int s = table[t].mon_ident_etat_amont();
      if (s >= 0 && s < states) ++start_[static_cast<std::size_t>(s) + 1];
    }
    std::partial_sum(start_.begin(), start_.end(), start_.begin());
    items_.resize(static_cast<std::size_t>(start_.back()));
    std::vector<int> next(start_.begin(), start_.end() - 1);
    for (int t = 0; t < transitions; ++t) {
      const int s = table[t].mon_ident_etat_amont();
      if (s >= 0 && s < states) items_[static_cast<std::size_t>(next[s]++)] = t;
    }
  }
  const int* begin(int state) const { return items_.data() + start_[state]; }
  const int* end(int state) const { return items_.data() + start_[state + 1]; }

 private:
  std::vector<int> start_;
  std::vector<int> items_;
};

// The guards of one state that parsed, with their priorities.
struct state_guards {
  std::vector<bdd> g;
  std::vector<int> p;
};

// E[k] = G[k] and not (G[j] or ...) over every j with lowest <= P[j] < P[k],
// after "other" (-1) has become the rank after the largest one (all "other"
// guards sharing it). Guards of equal rank don't narrow each other, and a
// guard whose rank is below `lowest` narrows none.
std::vector<bdd> narrowed_by_priority(bddpp_manager& m, const state_guards& s, int lowest) {
  const std::size_t n = s.g.size();
  // Wider than a priority: "other" after the largest int still comes last.
  std::vector<long long> rank(s.p.begin(), s.p.end());
  long long largest = 0;
  for (long long r : rank) largest = std::max(largest, r);
  for (long long& r : rank)
    if (r == -1) r = largest + 1;
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&rank](std::size_t a, std::size_t b) { return rank[a] < rank[b]; });
  std::vector<bdd> e(s.g);
  bdd below = m.Bdd_zero();  // the guards of every rank already passed, from `lowest` up
  for (std::size_t first = 0; first < n;) {
    std::size_t last = first;
    while (last < n && rank[order[last]] == rank[order[first]]) ++last;
    if (!m.Bdd_is_tautology(below, 0)) {
      const bdd blocked = m.Bdd_not(below);
      for (std::size_t i = first; i < last; ++i) e[order[i]] = m.Bdd_and(e[order[i]], blocked);
    }
    if (rank[order[first]] >= lowest)
      for (std::size_t i = first; i < last; ++i) below = m.Bdd_or(below, s.g[order[i]]);
    first = last;
  }
  return e;
}

// A balanced tree of disjunctions over the narrowed guards: its root is their
// union, and the guards that meet a given function are found by opening only
// the subtrees whose union meets it, so a state whose guards meet rarely
// costs about n log n conjunctions instead of n * n / 2.
class union_tree {
 public:
  union_tree(bddpp_manager& m, const std::vector<bdd>& e)
      : m_(m), e_(e), n_(static_cast<int>(e.size())), u_(4 * e.size() + 1) {
    if (n_ > 0) build(1, 0, n_);
  }

  bdd all() const { return n_ > 0 ? u_[1] : m_.Bdd_zero(); }

  // For each j >= from, ascending, whose guard meets f: j and f and E[j].
  void meeting(const bdd& f, int from, std::vector<std::pair<int, bdd>>& out) const {
    out.clear();
    if (from < n_) meeting(f, from, 1, 0, n_, out);
  }

 private:
  void build(int node, int lo, int hi) {
    if (hi - lo == 1) {
      u_[node] = e_[lo];
      return;
    }
    const int mid = lo + (hi - lo) / 2;
    build(2 * node, lo, mid);
    build(2 * node + 1, mid, hi);
    u_[node] = m_.Bdd_or(u_[2 * node], u_[2 * node + 1]);
  }

  void meeting(const bdd& f, int from, int node, int lo, int hi,
               std::vector<std::pair<int, bdd>>& out) const {
    if (hi <= from) return;
    if (lo >= from) {
      bdd w = m_.Bdd_and(f, u_[node]);
      if (m_.Bdd_is_tautology(w, 0)) return;
      if (hi - lo == 1) {
        out.emplace_back(lo, w);
        return;
      }
    }
    const int mid = lo + (hi - lo) / 2;
    meeting(f, from, 2 * node, lo, mid, out);
    meeting(f, from, 2 * node + 1, mid, hi, out);
  }

  bddpp_manager& m_;
  const std::vector<bdd>& e_;
  int n_;
  std::vector<bdd> u_;
};

// Every pair k < j of guards that meet, k ascending then j ascending, with
// the cases where both hold.
template <class Found>
void for_each_overlap(const union_tree& tree, const std::vector<bdd>& e, Found found) {
  std::vector<std::pair<int, bdd>> partners;
  for (std::size_t k = 0; k + 1 < e.size(); ++k) {
    tree.meeting(e[k], static_cast<int>(k) + 1, partners);
    for (const auto& [j, w] : partners) found(k, static_cast<std::size_t>(j), w);
  }
}

String sop(bddpp_manager& m, const bdd& f, int level) {
  return m.Print_sop_to_String(" or ", " and ", "not ", "", f, level);
}

// The collector frees the nodes no handle holds; running it each time the
// table has doubled since the last run keeps a check of a large chart in
// memory without making it quadratic.
class collector {
 public:
  explicit collector(bddpp_manager& m) : m_(m), threshold_(1 << 16) {}
  void collect_if_grown() {
    if (m_.table_node_count() < threshold_) return;
    m_.Bdd_gc();
    threshold_ = std::max<std::int32_t>(1 << 16, 2 * m_.table_node_count());
  }

 private:
  bddpp_manager& m_;
  std::int32_t threshold_;
};

// The level-2 cover lists its primes in the order of a walk of every
// implicant the tree of f reaches, as many as 3^depth: a state with 16
// ordinary triggers already asks for hours. A finding keeps the level-2
// text while that walk and the covers worked out after it fit in this much
// work (see Bdd_sop_2_within: about 0.1 s on today's machines, and every
// finding that took less than that keeps its text); past it the finding is
// the prime and irredundant cover of the same function, which takes time in
// proportion to its size. Work is counted, not time, so a chart gives the
// same text on any machine.
constexpr std::uint64_t finding_cover_budget = 50000000;

// A finding's cover makes many nodes that nothing holds once its text is
// written; a state with many findings would otherwise keep them all.
String finding(bddpp_manager& m, const bdd& f, collector& gc) {
  String text;
  {
    std::list<bdd> cover;
    m.Bdd_sop_2_within(f, cover, finding_cover_budget);
    text = m.Print_cover_to_String(" or ", " and ", "not ", "", cover);
  }
  gc.collect_if_grown();
  return text;
}

// The form of the parser without priority turns a "<" rank ">" prefix into
// the constant false with status 0, after saying on stderr that it does not
// know the prefix. Taken as it comes, such a trigger would stand in the check
// as a guard that never holds, and the findings about it would be wrong: it
// is refused instead. A successful parse whose first token is "<" had a
// prefix, since "<" has no other place in the grammar.
bool refused_prefix(const String& trigger) {
  String rest;
  return next_Stringtoken(trigger, ' ', &rest) == "<";
}

constexpr char parse_error_text[] = "PARSING ERROR about transition :";

}  // namespace

int gal_tpen_fichier::expression_valide(const String& e) const {
  expressions_checker checker;
  checker.accept_numbers();
  static const std::pair<const char*, int> operators[] = {
      {"+", 2},  {"or", 2}, {"OR", 2}, {"*", 2}, {"and", 2}, {"AND", 2}, {"!", 1},  {"not", 1},
      {"NOT", 1}, {">", 2}, {">=", 2}, {"<", 2}, {"<=", 2},  {"==", 2},  {"!=", 2},
  };
  for (const auto& [text, arity] : operators) checker.add_operator(text, arity);
  checker.add_factor("(", ")");
  checker.add_factor("[", "]");
  for (const gal_declaration_variables& v : table_inputs_) checker.add_variable(v.nom());
  for (const gal_declaration_variables& v : table_locals_) checker.add_variable(v.nom());
  for (const gal_declaration_pres& p : table_pres_) checker.add_variable(p.prename());
  checker.add_variable("1");
  checker.add_variable("0");
  checker.add_variable("tick");
  return checker.check(e) == 0 ? 1 : 0;
}

int gal_tpen_fichier::test_determinisme(String& report) const {
  report.clear();
  const int model = mon_modele();
  if (model == undefined_model) {
    report = undefined_model_report;
    return 0;
  }
  const bool complete = model == basic_model || model == par_automata_model;
  int result = 1;
  bddpp_manager m;
  {
    declare_signals(m, table_inputs_, table_locals_, table_pres_);
    collector gc(m);
    const outgoing_transitions outgoing(table_transitions_.data(), nbr_transitions_, nbr_etats());
    for (int i = 0; i < nbr_etats(); ++i) {
      state_guards s;
      for (const int* t = outgoing.begin(i); t != outgoing.end(i); ++t) {
        const gal_tpen_transition& tr = table_transitions_[*t];
        const String trigger = tr.ma_receptivite();
        // Set for every trigger: the parser leaves it alone for an empty
        // text, a "/" or unbalanced round brackets, which are thus errors
        // whatever the trigger before them gave.
        int status = 1;
        bdd g = m.Parse_expression(trigger, &status);
        if (status == 0 && !refused_prefix(trigger)) {
          s.g.push_back(g);
          s.p.push_back(tr.ma_priorite());
        } else {
          report += parse_error_text + trigger + "\n";
          result = 0;
        }
      }
      if (s.g.empty()) continue;
      const std::vector<bdd> e = narrowed_by_priority(m, s, 0);
      const union_tree tree(m, e);
      const String state_line = "ERROR: in state " + table_etats_[i].mon_nom() + " :\n";
      if (complete) {
        const bdd u = tree.all();
        if (!m.Bdd_is_tautology(u, 1)) {
          report += state_line + "  behavior not defined when " + finding(m, m.Bdd_not(u), gc) + "\n";
          result = 0;
        }
      }
      for_each_overlap(tree, e, [&](std::size_t, std::size_t, const bdd& w) {
        report += state_line + "  several behaviors possible when " + finding(m, w, gc) + "\n\n";
        result = 0;
      });
      gc.collect_if_grown();
    }
  }
  return result;
}

int gal_tpen_fichier::test_determinisme_avec_auto_completion() {
  if (mon_modele() == undefined_model) return 1;
  int result = 1;
  bddpp_manager m;
  {
    declare_signals(m, table_inputs_, table_locals_, table_pres_);
    collector gc(m);
    // Taken before any self-loop is added: a completing self-loop of state
    // i leaves i, which is being checked, so no later state sees it.
    const outgoing_transitions outgoing(table_transitions_.data(), nbr_transitions_, nbr_etats());
    auto add_self_loop = [this](int i, const String& trigger) {
      const gal_tpen_etat& s = table_etats_[i];
      const double x = s.ma_posx();
      const double y = s.ma_posy();
      const double d = s.mon_diametre();
      gal_tpen_transition loop(i, i, 0.0, 0.0);
      loop.modif_receptivite(trigger);
      loop.add_point(x + d, y + d);
      loop.add_point(x + d, y - d);
      add_fin_transition(loop);
    };
    for (int i = 0; i < nbr_etats(); ++i) {
      state_guards s;
      for (const int* t = outgoing.begin(i); t != outgoing.end(i); ++t) {
        const String trigger = table_transitions_[*t].ma_receptivite();
        int status = 1;  // as in test_determinisme
        int priority = 0;
        bdd g = m.Parse_expression(trigger, &priority, &status);
        if (status == 0) {
          s.g.push_back(g);
          s.p.push_back(priority);
        } else {
          std::cerr << parse_error_text << trigger << std::endl;
          result = 0;
        }
      }
      if (s.g.empty()) {
        add_self_loop(i, "1");
        continue;
      }
      const std::vector<bdd> e = narrowed_by_priority(m, s, 1);
      const union_tree tree(m, e);
      const bdd u = tree.all();
      if (!m.Bdd_is_tautology(u, 1)) add_self_loop(i, sop(m, m.Bdd_not(u), 0));
      const String name = table_etats_[i].mon_nom();
      for_each_overlap(tree, e, [&](std::size_t, std::size_t, const bdd& w) {
        std::cerr << "ERROR: in state " << name << " :" << std::endl
                  << "  several behaviors possible when " << finding(m, w, gc) << std::endl
                  << std::endl;
        result = 0;
      });
      gc.collect_if_grown();
    }
  }
  return result;
}
