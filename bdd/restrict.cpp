// Restriction by cubes, quantification of one variable, evaluation under an
// assignment, composition and renaming of variables.
//
// Every recursion keeps a memo of the sub-diagrams it has already rebuilt for
// the duration of its top-level call (bdd/memo.h).
#include <cstdlib>
#include <iostream>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/fatal.h"
#include "bdd/memo.h"
#include "bdd/work.h"

namespace {

// f restricted by a literal table. Negating the start link only flips every
// link of the walk (the same nodes are built), so the memo is keyed on the
// node alone and holds the result under a regular link.
class cube_restriction {
public:
  cube_restriction(bddpp_manager& m, const std::vector<int>& literals, const bdd_id_set& fixed)
      : m_(m), literals_(literals), fixed_(fixed) {}

  // Null when the work budget is spent: nothing is made or remembered then.
  bdd_node* run(bdd_node* n, int& link) {
    if (n->id == -1) return n;  // link unchanged
    // A sub-diagram over none of the fixed variables rebuilds into itself.
    if (!n->support.intersects(fixed_)) return n;
    std::uint64_t known;
    if (memo_.find(bdd_memo_tag(n, 1), 0, known)) {
      link *= bdd_memo_link(known);
      return bdd_memo_node(known);
    }
    if (!bdd_charge_work(m_, bdd_work_subproblem)) return nullptr;
    const std::int32_t p = m_.position_of(n);
    int rl = 1;
    bdd_node* r;
    if (literals_[p] == 1) {
      r = run(n->then_node, rl);
    } else if (literals_[p] == 0) {
      rl = n->else_link;
      r = run(n->else_node, rl);
    } else {
      int tl = 1, el = n->else_link;
      bdd_node* t = run(n->then_node, tl);
      bdd_node* e = run(n->else_node, el);
      if (t == nullptr || e == nullptr) return nullptr;
      if (t == e && tl == el) {
        r = t;
        rl = tl;
      } else {
        rl = 1;
        r = m_.Find_or_create_bdd_node(p, tl, el, t, e, rl);
      }
    }
    if (r == nullptr) return nullptr;
    memo_.insert(bdd_memo_tag(n, 1), 0, bdd_memo_tag(r, rl));
    link *= rl;
    return r;
  }

private:
  bddpp_manager& m_;
  const std::vector<int>& literals_;
  const bdd_id_set& fixed_;
  bdd_memo memo_;
};

// The value of a diagram under a literal table: 1, 0, or 2 when it still
// depends on a free variable. Memo by node, for the regular link.
class literal_evaluation {
public:
  literal_evaluation(bddpp_manager& m, const int* values) : m_(m), values_(values) {}

  int run(bdd_node* n, int link) {
    while (true) {
      if (n == nullptr || n->manager == nullptr) unknown();
      const std::int32_t p = m_.position_of(n);
      if (p == -1) return link == 1 ? 1 : 0;
      if (p < 0 || p >= m_.var_count) unknown();
      if (values_[p] == 2) return both(n, link);
      if (values_[p] == 1) {
        n = n->then_node;
      } else {
        link *= n->else_link;
        n = n->else_node;
      }
    }
  }

private:
  int both(bdd_node* n, int link) {
    std::uint64_t known;
    int v;
    if (memo_.find(bdd_memo_tag(n, 1), 0, known)) {
      v = static_cast<int>(known);
    } else {
      const int t = run(n->then_node, 1);
      const int e = run(n->else_node, n->else_link);
      v = t == e ? t : 2;
      memo_.insert(bdd_memo_tag(n, 1), 0, static_cast<std::uint64_t>(v));
    }
    if (v == 2 || link == 1) return v;
    return 1 - v;
  }

  [[noreturn]] void unknown() {
    std::cerr << "error in bddpp_manager::Bdd_eval(): unknown bdd type ..." << std::endl;
    bdd_fatal_exit();
  }

  bddpp_manager& m_;
  const int* values_;
  bdd_memo memo_;
};

// A recursion over handles whose result depends on the exact (node, link)
// operand; the memo holds each result as a handle so it stays referenced.
template <class Step>
class handle_recursion {
public:
  explicit handle_recursion(Step step) : step_(step) {}

  bdd run(const bdd& f) {
    const std::uint64_t key = bdd_memo_tag(f.node(), f.link_type());
    std::uint64_t known;
    if (memo_.find(key, 0, known)) return results_[known];
    bdd r = step_(*this, f);
    memo_.insert(key, 0, results_.size());
    results_.push_back(r);
    return r;
  }

private:
  Step step_;
  bdd_memo memo_;
  std::vector<bdd> results_;
};

template <class Step>
handle_recursion<Step> make_recursion(Step step) {
  return handle_recursion<Step>(step);
}

}  // namespace

// ---- Restriction ------------------------------------------------------------

bdd bddpp_manager::Bdd_cube_reduce(const bdd& f, const bdd& c) {
  if (f.node() == nullptr) {
    std::cerr << "Error in Bdd_cube_reduce(): bdd has a Null pointer!" << std::endl;
    bdd_fatal_exit();
  }
  if (f.node() == one) return f;
  if (c.node() == nullptr) {
    std::cerr << "Error in Bdd_cube_reduce(): assertion has a Null pointer!" << std::endl;
    bdd_fatal_exit();
  }
  if (c.node() == one) return f;
  std::vector<int> literals(static_cast<std::size_t>(var_count), 2);
  Bdd_node_to_literals(c.link_type(), c.node(), literals.data());
  cube_restriction walk(*this, literals, c.node()->support);
  int link = f.link_type();
  bdd_node* r = walk.run(f.node(), link);
  // Past a spent work budget: a constant that means nothing (bdd/work.h).
  if (r == nullptr) return Bdd_zero();
  return bdd(this, link, r);
}

bdd bddpp_manager::Bdd_exist(const bdd& f, const bdd& v) {
  if (!Bdd_is_var(v) && !Bdd_is_negvar(v)) return f;
  if (!Bdd_depends_on(f, v)) return f;
  bdd on = Bdd_cube_reduce(f, v);
  bdd off = Bdd_cube_reduce(f, Bdd_not(v));
  return Bdd_or(on, off);
}

bdd bddpp_manager::Bdd_forall(const bdd& f, const bdd& v) {
  if (!Bdd_is_var(v) && !Bdd_is_negvar(v)) return f;
  if (!Bdd_depends_on(f, v)) return f;
  bdd on = Bdd_cube_reduce(f, v);
  bdd off = Bdd_cube_reduce(f, Bdd_not(v));
  return Bdd_and(on, off);
}

bdd bddpp_manager::Bdd_eval(const bdd& f, int* values) {
  bdd r = f;
  for (std::int32_t p = 0; p < var_count; ++p) {
    if (values[p] != 0 && values[p] != 1) continue;
    // Restricting by a variable the function does not depend on rebuilds the
    // function itself, so it is skipped.
    if (r.node() == nullptr || !r.node()->support.contains(id_of_index[p])) continue;
    bdd v = Bdd_var_by_index(p);
    r = Bdd_cube_reduce(r, values[p] == 1 ? v : Bdd_not(v));
  }
  return r;
}

int bddpp_manager::Bdd_eval_for_literal(const bdd& f, int* values) {
  literal_evaluation walk(*this, values);
  return walk.run(f.node(), f.link_type());
}

bdd bddpp_manager::Bdd_reduce(const bdd& f, const bdd& g) {
  if (!exists_common_variables(f, g)) return f;
  if (Bdd_is_cube(g)) return Bdd_cube_reduce(f, g);
  bdd r = Bdd_one();
  bdd rest = g;
  while (!Bdd_is_zero_tautologic(rest)) {
    bdd c = Bdd_satisfy(rest);
    if (!Bdd_is_cube(c)) {
      std::cerr << "ERROR about !!!" << std::endl;
      Print_bdd_structure(std::cerr, c);
      bdd_fatal_exit();
    }
    r = Bdd_and(r, Bdd_cube_reduce(f, c));
    rest = Bdd_and(rest, Bdd_not(c));
  }
  return r;
}

bdd bddpp_manager::Bdd_keep_first_variables(const bdd& f, std::int32_t n) {
  auto walk = make_recursion([this, n](auto& self, const bdd& g) -> bdd {
    if (g.node() == one) return g;
    const std::int32_t p = position_of(g.node());
    if (p >= n) return Bdd_one();
    bdd t = self.run(Bdd_then(g));
    bdd e = self.run(Bdd_else(g));
    return Bdd_ite(1, p, t, e);
  });
  return walk.run(f);
}

// ---- Composition and renaming -----------------------------------------------

bdd bddpp_manager::Bdd_compose(const bdd& f, const bdd& x, const bdd& g) {
  if (!Bdd_is_var(x)) {
    std::cerr << "Warning in bddpp_manager::Bdd_compose(): second parametre is not a variable!" << std::endl;
    return Bdd_zero();
  }
  return Bdd_compose_loc(f, x, g);
}

bdd bddpp_manager::Bdd_compose_loc(const bdd& f, const bdd& x, const bdd& g) {
  const std::int32_t px = x.node() ? position_of(x.node()) : -3;
  auto walk = make_recursion([this, px, &g](auto& self, const bdd& h) -> bdd {
    if (h.node() == one) return h;
    bdd t = self.run(Bdd_then(h));
    bdd e = self.run(Bdd_else(h));
    const std::int32_t p = position_of(h.node());
    if (p == px) return Bdd_ite(g, t, e);
    return Bdd_ite(1, p, t, e);
  });
  return walk.run(f);
}

bdd bddpp_manager::Bdd_replace_vars(const bdd& f, std::int32_t* map) {
  auto walk = make_recursion([this, map](auto& self, const bdd& h) -> bdd {
    if (h.node() == one) return h;
    const std::int32_t p = position_of(h.node());
    bdd v = Bdd_var_by_index(map[p]);
    bdd t = self.run(Bdd_then(h));
    bdd e = self.run(Bdd_else(h));
    return Bdd_ite(v, t, e);
  });
  return walk.run(f);
}

// ---- Placeholders -----------------------------------------------------------

bool bddpp_manager::Bdd_swap_vars(const bdd&, const bdd&, const bdd&) {
  std::cerr << "bddpp_manager::Bdd_swap_vars(bdd f) A FAIRE" << std::endl;
  return false;
}

void bddpp_manager::Bdd_var_reorder() { std::cerr << "bddpp_manager::Bdd_var_reorder(void) A FAIRE" << std::endl; }
