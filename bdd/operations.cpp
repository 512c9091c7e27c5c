// The boolean algebra: the one constructor of inner nodes, the two recursive
// operators, the derived operators, the tests and the cofactors.
//
// Derived operators call the core ones left to right as written, so the
// nodes they create, and their numbers, are the same from run to run.
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "bdd/bddpp.h"
#include "bdd/fatal.h"
#include "bdd/memo.h"
#include "bdd/unique_table.h"
#include "bdd/work.h"

namespace {

// Nodes carry no size, and counting an operand's nodes would cost a walk as
// long as the conjunction itself; but a conjunction over a node that an
// earlier conjunction made tends to make about as many entries as that one
// did. The last conjunctions that grew past their first table leave their
// result and their entries here, and the next one that takes such a result
// as an operand starts its memo at that size instead of growing to it.
class entries_by_result {
public:
  static std::size_t of(const bdd_node* n) {
    const slot& s = slots()[index(n)];
    return s.node == n ? s.entries : 0;
  }
  static void note(const bdd_node* n, std::size_t entries) {
    if (entries > bdd_memo_table<bdd_memo_narrow_slot>::smallest / 2) slots()[index(n)] = slot{n, entries};
  }

private:
  struct slot {
    const bdd_node* node;
    std::size_t entries;
  };
  static std::size_t index(const bdd_node* n) { return bdd_memo_mix(reinterpret_cast<std::uintptr_t>(n), 0) & 255; }
  static slot* slots() {
    static slot table[256];
    return table;
  }
};

// AND with a memo of the pairs already solved. OR is NOT(AND(NOT x, NOT y)):
// complement links make it the same walk, so it creates the same nodes in the
// same order as a walk of its own would; only the messages differ.
class conjunction {
public:
  conjunction(bddpp_manager& m, bool for_or, const bdd_node* x, const bdd_node* y)
      : m_(m), for_or_(for_or), memo_(std::max(entries_by_result::of(x), entries_by_result::of(y))) {}
  ~conjunction() {
    if (result_ != nullptr) entries_by_result::note(result_, memo_.entries());
  }

  // Past a spent work budget the walk stops and its caller gets a constant
  // that means nothing (bdd/work.h).
  bdd_node* top(int xl, bdd_node* x, int yl, bdd_node* y, int& link) {
    bdd_node* r = run(xl, x, yl, y, link);
    if (r == nullptr) {
      link = -1;
      return m_.one;
    }
    result_ = r;
    return r;
  }

  // Null when the work budget is spent: nothing is made or remembered then.
  bdd_node* run(int xl, bdd_node* x, int yl, bdd_node* y, int& link) {
    if (x == nullptr || y == nullptr) null_operands(x, y);
    if (x->id == -1) {
      if (xl == 1) {
        link = yl;
        return y;
      }
      link = -1;
      return m_.one;
    }
    if (y->id == -1) {
      if (yl == 1) {
        link = xl;
        return x;
      }
      link = -1;
      return m_.one;
    }
    if (x == y) {
      link = xl == yl ? xl : -1;
      return xl == yl ? x : m_.one;
    }
    // The pair is unordered: and(x, y) and and(y, x) walk the same subproblems.
    std::uint32_t a = tag(x, xl), b = tag(y, yl);
    if (b < a) std::swap(a, b);
    std::uint32_t known;
    if (memo_.find(a, b, known)) {
      link = (known & 1u) ? -1 : 1;
      return bdd_node_cells::node(known >> 1);
    }
    if (!bdd_charge_work(m_, bdd_work_subproblem)) return nullptr;
    const std::int32_t px = m_.position_of(x), py = m_.position_of(y);
    if (px <= py) __builtin_prefetch(x->else_node);
    if (py <= px) __builtin_prefetch(y->else_node);
    announce(px <= py ? tag(x->else_node, xl * x->else_link) : tag(x, xl),
             py <= px ? tag(y->else_node, yl * y->else_link) : tag(y, yl));
    int tl, el;
    bdd_node *t, *e;
    std::int32_t p;
    if (px < py) {
      t = run(xl, x->then_node, yl, y, tl);
      e = run(xl * x->else_link, x->else_node, yl, y, el);
      p = px;
    } else if (py < px) {
      t = run(yl, y->then_node, xl, x, tl);
      e = run(yl * y->else_link, y->else_node, xl, x, el);
      p = py;
    } else {
      t = run(xl, x->then_node, yl, y->then_node, tl);
      e = run(xl * x->else_link, x->else_node, yl * y->else_link, y->else_node, el);
      p = px;
    }
    if (t == nullptr || e == nullptr) return nullptr;
    bdd_node* r;
    if (t == e && tl == el) {
      r = t;
      link = tl;
    } else {
      link = 1;
      r = m_.Find_or_create_bdd_node(p, tl, el, t, e, link);
    }
    if (r->id != -1) {
      std::int32_t pr = m_.position_of(r);
      if (pr < px && pr < py) inconsistent(pr, px, py, xl, x, yl, y, link, r);
    }
    memo_.insert(a, b, tag(r, link));
    return r;
  }

private:
  // A node and a link in one word, the memo's key: the node's cell number
  // and the complement bit.
  static std::uint32_t tag(const bdd_node* n, int link) {
    return (bdd_node_cells::number(n) << 1) | (link < 0 ? 1u : 0u);
  }

  // The else subproblem waits for the whole then walk: its nodes (fetched
  // by the caller) and its memo slot are fetched meanwhile.
  void announce(std::uint32_t a, std::uint32_t b) {
    if (b < a) std::swap(a, b);
    memo_.prefetch(a, b);
  }

  [[noreturn]] void null_operands(bdd_node* x, bdd_node* y) {
    if (for_or_) {
      std::cerr << "ERROR: call bddpp_manager::Bdd_or() with null reference" << std::endl;
    } else {
      std::cerr << "ERROR: call bddpp_manager::Bdd_and() with null reference" << std::endl;
      std::cerr << "Bdd_and(" << static_cast<const void*>(x) << "," << static_cast<const void*>(y) << ")"
                << std::endl;
    }
    bdd_fatal_exit();
  }

  // Reached only by a broken diagram; in the OR walk the operands' links
  // are those of the complemented problem, so they are flipped back here.
  [[noreturn]] void inconsistent(std::int32_t pr, std::int32_t px, std::int32_t py, int xl, bdd_node* x,
                                 int yl, bdd_node* y, int rl, bdd_node* r) {
    if (for_or_) {
      xl = -xl;
      yl = -yl;
      rl = -rl;
      std::cerr << "INTERNAL ERROR in Bdd_or(): result has an index (" << pr << ") less than the operands ("
                << px << ") and (" << py << ")!" << std::endl;
    } else {
      std::cerr << "INTERNAL ERROR in Bdd_and(): result has an index (" << pr << ") less than the operands ("
                << px << " ) of x  and (" << py << ") of y!" << std::endl;
    }
    m_.Bdd_global_clear_marks();
    std::int32_t k = m_.Bdd_incremental_id(x, 0);
    k = m_.Bdd_incremental_id(y, k);
    m_.Bdd_incremental_id(r, k);
    m_.Bdd_clear_marks(x);
    m_.Bdd_clear_marks(y);
    m_.Bdd_clear_marks(r);
    std::ostream& os = std::cerr;
    os << "\n\n";
    os << "param1= " << (xl == -1 ? "NOT" : "") << "\n";
    m_.Print_bdd_structure_loc(os, 5, x);
    if (!for_or_ && !x->is_correct()) os << "BE CAREFUL: x is not correct!\n\n";
    os << "param2=" << (yl == -1 ? "NOT" : "") << "\n";
    m_.Print_bdd_structure_loc(os, 5, y);
    if (!for_or_ && !y->is_correct()) os << "BE CAREFUL: y is not correct!\n\n";
    os << "result=" << (rl == -1 ? "NOT" : "") << "\n";
    m_.Print_bdd_structure_loc(os, 5, r);
    os << "\n";
    m_.Bdd_stats(os);
    bdd_fatal_exit();
  }

  bddpp_manager& m_;
  bool for_or_;
  bdd_memo32 memo_;
  const bdd_node* result_ = nullptr;
};

[[noreturn]] void foreign_operand(const char* op) {
  std::cerr << "ERROR: call bddpp_manager::" << op << "() with a bdd of another manager" << std::endl;
  bdd_fatal_exit();
}

bool is_variable_node(const bdd_node* n) {
  return n != nullptr && n->id >= 0 && n->then_node != nullptr && n->then_node->id == -1 &&
         n->else_node != nullptr && n->else_node->id == -1 && n->else_link == -1;
}

}  // namespace

// ---- Node constructor -------------------------------------------------------

bdd_node* bddpp_manager::Find_or_create_bdd_node(std::int32_t index, int tl, int el, bdd_node* t, bdd_node* e,
                                                 int& link) {
  link = link * tl;
  if (index == -1) return one;
  if (index < -1) return nullptr;
  if (t->id == -1 && e->id == -1) return tl * el == 1 ? one : var_nodes[id_of_index[index]];
  const std::int32_t pt = position_of(t), pe = position_of(e);
  const bool then_offends = pt >= 0 && index >= pt;
  if (then_offends || (pe >= 0 && index >= pe)) {
    // Only a broken diagram gets here, and nothing downstream could use a
    // null node: stop as the other fatal errors do.
    std::cerr << "FATAL ERROR: Bad call of bddpp_manager::Find_or_create_bdd_node():" << std::endl;
    std::cerr << "  index " << index << " is not less than "
              << (then_offends ? " its then node index (" : " its else node index (")
              << (then_offends ? pt : pe) << ")" << std::endl;
    bdd_fatal_exit();
  }
  const std::int32_t id = id_of_index[index];
  const int else_link = tl * el;
  if (bdd_node* found = unique_table ? unique_table->find(id, else_link, t, e) : nullptr) return found;
  bdd_node* n = new bdd_node(this, next_gid, id, 0, else_link, t, e);
  next_gid += 1;
  t->refs += 1;
  e->refs += 1;
  return n;
}

// ---- Core operators ---------------------------------------------------------

bdd_node* bddpp_manager::Bdd_and(int xl, bdd_node* x, int yl, bdd_node* y, int& link) {
  conjunction walk(*this, false, x, y);
  if (x != nullptr && y != nullptr && (x->manager != this || y->manager != this)) foreign_operand("Bdd_and");
  return walk.top(xl, x, yl, y, link);
}

bdd_node* bddpp_manager::Bdd_or(int xl, bdd_node* x, int yl, bdd_node* y, int& link) {
  conjunction walk(*this, true, x, y);
  if (x != nullptr && y != nullptr && (x->manager != this || y->manager != this)) foreign_operand("Bdd_or");
  bdd_node* r = walk.top(-xl, x, -yl, y, link);
  link = -link;
  return r;
}

bdd bddpp_manager::Bdd_and(const bdd& f, const bdd& g) {
  int link = 1;
  bdd_node* n = Bdd_and(f.link_type(), f.node(), g.link_type(), g.node(), link);
  return bdd(this, link, n);
}

bdd bddpp_manager::Bdd_or(const bdd& f, const bdd& g) {
  int link = 1;
  bdd_node* n = Bdd_or(f.link_type(), f.node(), g.link_type(), g.node(), link);
  return bdd(this, link, n);
}

bdd bddpp_manager::Bdd_not(const bdd& f) { return bdd(this, -f.link_type(), f.node()); }

// ---- Derived operators ------------------------------------------------------

bdd bddpp_manager::Bdd_nand(const bdd& f, const bdd& g) { return Bdd_not(Bdd_and(f, g)); }

bdd bddpp_manager::Bdd_nor(const bdd& f, const bdd& g) { return Bdd_not(Bdd_or(f, g)); }

bdd bddpp_manager::Bdd_xor(const bdd& f, const bdd& g) {
  bdd left = Bdd_and(f, Bdd_not(g));
  bdd right = Bdd_and(Bdd_not(f), g);
  return Bdd_or(left, right);
}

bdd bddpp_manager::Bdd_xnor(const bdd& f, const bdd& g) { return Bdd_not(Bdd_xor(f, g)); }

bdd bddpp_manager::Bdd_eq(const bdd& f, const bdd& g) { return Bdd_xnor(f, g); }

bdd bddpp_manager::Bdd_implication(const bdd& f, const bdd& g) { return Bdd_or(Bdd_not(f), g); }

bdd bddpp_manager::Bdd_ite(const bdd& f, const bdd& g, const bdd& h) {
  bdd left = Bdd_and(f, g);
  bdd right = Bdd_and(Bdd_not(f), h);
  return Bdd_or(left, right);
}

bdd bddpp_manager::Bdd_ite(int link, std::int32_t index, const bdd& g, const bdd& h) {
  bdd_node* v = nullptr;
  if (index == -1)
    v = one;
  else if (index >= 0 && index < var_count)
    v = var_nodes[id_of_index[index]];
  else
    std::cerr << "ERROR: abnormal index in bddpp_manager::Bdd_ite()" << std::endl;
  return Bdd_ite(bdd(this, link, v), g, h);
}

// ---- Tests ------------------------------------------------------------------

int bddpp_manager::Bdd_is_tautology(const bdd& f, int v) {
  if (f.node() != one) return 0;
  return v != 0 ? f.link_type() == 1 : f.link_type() == -1;
}

int bddpp_manager::Bdd_is_tautology(const bdd& f) { return f.node() == one; }

int bddpp_manager::Bdd_is_one_tautologic(const bdd& f) { return f.node() == one && f.link_type() == 1; }

int bddpp_manager::Bdd_is_zero_tautologic(const bdd& f) { return f.node() == one && f.link_type() == -1; }

int bddpp_manager::Bdd_equiv(const bdd& f, const bdd& g) { return Bdd_is_one_tautologic(Bdd_xnor(f, g)); }

int bddpp_manager::Bdd_imply(const bdd& f, const bdd& g) {
  return Bdd_is_one_tautologic(Bdd_or(Bdd_not(f), g));
}

int bddpp_manager::Bdds_excl(const bdd& f, const bdd& g) { return Bdd_is_zero_tautologic(Bdd_and(f, g)); }

int bddpp_manager::Bdds_exclude(const bdd& f, const bdd& g) { return Bdds_excl(f, g); }

int bddpp_manager::Bdd_is_var(const bdd& f) { return is_variable_node(f.node()) && f.link_type() == 1; }

int bddpp_manager::Bdd_is_negvar(const bdd& f) { return is_variable_node(f.node()) && f.link_type() == -1; }

int bddpp_manager::Bdd_depends_on(const bdd& f, const bdd& v) { return Bdd_node_depends_on(f.node(), v.node()); }

int bddpp_manager::Bdd_node_depends_on(bdd_node* f, bdd_node* v) {
  if (f == nullptr || v == nullptr || f->manager != this || v->manager != this) {
    std::cerr << "Error in bddpp_manager::Bdd_node_depends_on():  bad Bdd manager or bdd(s) not initialized!"
              << std::endl;
    return 0;
  }
  if (f->id == v->id) return 1;
  return f != one && f->support.contains(v->id);
}

int bddpp_manager::Variable_awaited(const bdd& f, std::int32_t p) {
  if (p < 0 || p >= var_count) return 0;
  return Bdd_depends_on(f, Bdd_var_by_index(p));
}

int bddpp_manager::Variable_true_awaited(const bdd& f, std::int32_t p) {
  if (!Variable_awaited(f, p)) return 0;
  return !Bdd_is_zero_tautologic(Bdd_cube_reduce(f, Bdd_var_by_index(p)));
}

int bddpp_manager::Variable_false_awaited(const bdd& f, std::int32_t p) {
  if (!Variable_awaited(f, p)) return 0;
  return !Bdd_is_zero_tautologic(Bdd_cube_reduce(f, Bdd_not(Bdd_var_by_index(p))));
}

int bddpp_manager::Bdd_is_cube(const bdd& f) {
  bdd_node* n = f.node();
  int link = f.link_type();
  while (n != nullptr && n->id != -1) {
    const int else_link = link * n->else_link;
    // A cofactor is false when it is the constant node under a negative link.
    if (n->then_node->id == -1 && link == -1) {
      n = n->else_node;
      link = else_link;
    } else if (n->else_node->id == -1 && else_link == -1) {
      n = n->then_node;
    } else {
      return 0;
    }
  }
  return 1;
}

int bddpp_manager::Bdd_is_correct(const bdd& f) {
  if (f.node() == nullptr) {
    std::cerr << "Warning: call  bddpp_manager::Bdd_is_correct() with a null reference!" << std::endl;
    return 0;
  }
  Bdd_clear_marks(f.node());
  Bdd_incremental_id(f.node(), 1);
  return f.node()->is_correct();
}

// ---- Cofactors and top variable ---------------------------------------------

bdd bddpp_manager::Bdd_then(const bdd& f) {
  if (f.node() == nullptr || f.node()->id == -1) {
    std::cerr << "ERROR in Bdd_then(): calling with a tautologic function!" << std::endl;
    bdd_fatal_exit();
  }
  return bdd(this, f.link_type(), f.node()->then_node);
}

bdd bddpp_manager::Bdd_else(const bdd& f) {
  if (f.node() == nullptr || f.node()->id == -1) {
    std::cerr << "ERROR in Bdd_else(): calling with a tautologic function!" << std::endl;
    bdd_fatal_exit();
  }
  return bdd(this, f.link_type() * f.node()->else_link, f.node()->else_node);
}

bdd bddpp_manager::Bdd_if(const bdd& f) {
  const std::int32_t p = f.node() ? position_of(f.node()) : -3;
  if (p < 0 || p >= var_count) {
    std::cerr << "calling bddpp_manager::Bdd_if() with bdd index= " << p << " :out of range!" << std::endl;
    return Bdd_zero();
  }
  return Bdd_var_by_index(p);
}
