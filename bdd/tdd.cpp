// The ternary enumeration of implicants (Tdd) and the prime implicants.
//
// A `Tdd` is the full ternary tree of a function: below each variable come
// the tree of the positive cofactor, of the negative cofactor and of their
// conjunction (the variable dropped). Its leaves that are true are the
// implicants the walk meets, and the prime implicants come out of the order
// in which the walk meets them. The tree object exists for callers that want
// to see it; the manager's own prime implicants walk the same tree folded
// into a graph (one vertex per distinct sub-function, built in the tree's
// construction order so that the same conjunctions are created in the same
// order) and keep the implicants as bit masks.
#include <algorithm>
#include <iostream>

#include "bdd/bddpp.h"
#include "bdd/cube_bits.h"
#include "bdd/memo.h"
#include "bdd/work.h"

// ---- Bit-mask cubes ---------------------------------------------------------

cube_bits cube_bits_of(bddpp_manager& m, const bdd& cube) {
  cube_bits c(m.var_count);
  if (cube.node() == m.one) return c;
  std::vector<int> literals(static_cast<std::size_t>(m.var_count), 2);
  m.Bdd_to_literals(cube, literals.data());
  for (std::int32_t p = 0; p < m.var_count; ++p)
    if (literals[p] != 2) c.set(p, literals[p] == 1);
  return c;
}

bdd bdd_of_cube_bits(bddpp_manager& m, const cube_bits& c) {
  bdd r = m.Bdd_one();
  for (std::int32_t p = m.var_count - 1; p >= 0; --p) {
    if (!c.has(p)) continue;
    bdd v = m.Bdd_var_by_index(p);
    r = m.Bdd_and(c.positive(p) ? v : m.Bdd_not(v), r);
  }
  return r;
}

int cube_reach::reach(bdd_node* n, int link) {
  int r;
  if (n->id == -1) {
    r = reaches_true;  // under link +1
  } else {
    std::uint64_t known;
    if (memo_.find(bdd_memo_tag(n, 1), 0, known)) {
      r = static_cast<int>(known);
    } else {
      if (!bdd_charge_work(m_, bdd_work_visit)) return spent;
      const std::int32_t p = m_.position_of(n);
      if (c_.has(p)) {
        r = c_.positive(p) ? reach(n->then_node, 1) : reach(n->else_node, n->else_link);
      } else {
        r = reach(n->then_node, 1);
        if (r != (reaches_true | reaches_false)) r |= reach(n->else_node, n->else_link);
      }
      if (r & spent) return spent;
      memo_.insert(bdd_memo_tag(n, 1), 0, static_cast<std::uint64_t>(r));
    }
  }
  if (link == 1) return r;
  return ((r & reaches_true) ? reaches_false : 0) | ((r & reaches_false) ? reaches_true : 0);
}

// ---- The implicant list -----------------------------------------------------

void slot_set::insert(std::size_t i) {
  const std::size_t w = i / 64;
  if (w >= bits_.size()) bits_.resize(w + 1, 0);
  if (w / 64 >= summary_.size()) summary_.resize(w / 64 + 1, 0);
  bits_[w] |= std::uint64_t(1) << (i % 64);
  summary_[w / 64] |= std::uint64_t(1) << (w % 64);
}

void slot_set::erase(std::size_t i) {
  const std::size_t w = i / 64;
  if (w >= bits_.size()) return;
  bits_[w] &= ~(std::uint64_t(1) << (i % 64));
  if (bits_[w] == 0) summary_[w / 64] &= ~(std::uint64_t(1) << (w % 64));
}

void implicant_list::literals_of(const std::uint64_t* care, const std::uint64_t* value,
                                 std::vector<std::int32_t>& lits) const {
  lits.clear();
  for (std::size_t w = 0; w < words_; ++w)
    for (std::uint64_t m = care[w]; m != 0; m &= m - 1) {
      const int b = __builtin_ctzll(m);
      const std::int32_t p = static_cast<std::int32_t>(64 * w) + b;
      lits.push_back(2 * p + static_cast<std::int32_t>((value[w] >> b) & 1u));
    }
}

std::size_t implicant_list::first_holding(const std::vector<std::int32_t>& lits, std::size_t from) const {
  if (from >= count_) return none;
  if (lits.empty()) return from;
  const std::size_t last_word = (count_ - 1) / 64;
  for (std::size_t s = from / 64 / 64; s <= last_word / 64; ++s) {
    std::uint64_t candidates = ~std::uint64_t(0);
    reads_ += lits.size();
    if (over()) return none;
    for (std::int32_t l : lits) candidates &= by_literal_[static_cast<std::size_t>(l)].summary(s);
    if (s == from / 64 / 64) candidates &= ~std::uint64_t(0) << ((from / 64) % 64);
    for (; candidates != 0; candidates &= candidates - 1) {
      const std::size_t w = 64 * s + static_cast<std::size_t>(__builtin_ctzll(candidates));
      std::uint64_t members = ~std::uint64_t(0);
      reads_ += lits.size();
      for (std::int32_t l : lits) members &= by_literal_[static_cast<std::size_t>(l)].word(w);
      if (w == from / 64) members &= ~std::uint64_t(0) << (from % 64);
      if (members != 0) return 64 * w + static_cast<std::size_t>(__builtin_ctzll(members));
    }
  }
  return none;
}

void implicant_list::offer(const cube_bits& c) {
  literals_of(c.care.data(), c.value.data(), scratch_);
  const std::size_t i = first_holding(scratch_, 0);
  if (i != none) {
    // The listed cube holds every literal of c: it loses the others.
    std::vector<std::int32_t>& held = held_scratch_;
    literals_of(care(i), value(i), held);
    for (std::int32_t l : held) {
      const std::int32_t p = l / 2;
      if (!c.has(p)) by_literal_[static_cast<std::size_t>(l)].erase(i);
    }
    std::copy(c.care.begin(), c.care.end(), slot(i));
    std::copy(c.value.begin(), c.value.end(), slot(i) + words_);
    return;
  }
  slots_.insert(slots_.end(), c.care.begin(), c.care.end());
  slots_.insert(slots_.end(), c.value.begin(), c.value.end());
  for (std::int32_t l : scratch_) by_literal_[static_cast<std::size_t>(l)].insert(count_);
  ++count_;
}

void implicant_list::drop_implied() {
  dropped_.assign(count_, 0);
  std::vector<std::int32_t> lits;
  for (std::size_t a = 0; a < count_ && !over(); ++a) {
    if (dropped_[a]) continue;
    literals_of(care(a), value(a), lits);
    for (std::size_t b = first_holding(lits, a + 1); b != none; b = first_holding(lits, b + 1)) dropped_[b] = 1;
  }
}

void implicant_list::primes(bddpp_manager& m, std::list<bdd>& out) const {
  out.clear();
  cube_bits c(m.var_count);
  for (std::size_t i = 0; i < count_ && !bdd_work_spent(m); ++i) {
    if (dropped_[i]) continue;
    std::copy(care(i), care(i) + words_, c.care.begin());
    std::copy(value(i), value(i) + words_, c.value.begin());
    out.push_back(bdd_of_cube_bits(m, c));
  }
}

// ---- The enumeration graph ----------------------------------------------------

namespace {

const std::int32_t vertex_zero = -1;
const std::int32_t vertex_one = -2;
const std::int32_t vertex_spent = -3;  // built past a spent work budget: means nothing

struct tdd_vertex {
  std::int32_t position;
  std::int32_t child[3];  // then, else, both
};

class tdd_graph {
public:
  explicit tdd_graph(bddpp_manager& m) : m_(m) {}

  // Each vertex is charged before its sub-functions are built, so a graph
  // over budget stops on the vertex that passes it, and neither lists nor
  // remembers a vertex after it.
  std::int32_t build(const bdd& g) {
    if (g.node() == m_.one) return g.link_type() == 1 ? vertex_one : vertex_zero;
    std::uint64_t known;
    const std::uint64_t tag = bdd_memo_tag(g.node(), g.link_type());
    if (memo_.find(tag, 0, known)) return static_cast<std::int32_t>(known);
    if (!bdd_charge_work(m_, bdd_work_vertex)) return vertex_spent;
    bdd t = m_.Bdd_then(g);
    bdd e = m_.Bdd_else(g);
    tdd_vertex v;
    v.position = m_.position_of(g.node());
    v.child[0] = build(t);
    v.child[1] = build(e);
    v.child[2] = build(m_.Bdd_and(t, e));
    if (bdd_work_spent(m_)) return vertex_spent;
    std::uint64_t leaves = 0;
    for (std::int32_t c : v.child) leaves = saturated_sum(leaves, leaves_of(c));
    vertices_.push_back(v);
    leaves_.push_back(leaves);
    const std::int32_t index = static_cast<std::int32_t>(vertices_.size() - 1);
    memo_.insert(tag, 0, static_cast<std::uint64_t>(index));
    return index;
  }

  // The leaves of the unfolded tree below v that the walk offers to the
  // list (the true ones), up to the largest count a word holds.
  std::uint64_t leaves_of(std::int32_t v) const {
    if (v == vertex_one) return 1;
    if (v == vertex_zero) return 0;
    return leaves_[static_cast<std::size_t>(v)];
  }

  // The walk of the unfolded tree, in the order then, else, both. It stays
  // unfolded although the graph is shared: where a prime ends up in the list
  // depends on the non-prime implicants offered before it (it takes the
  // place of the first listed cube that holds it, and which cube that is
  // depends on every earlier replacement), and those are as many as the
  // tree's leaves. Neither the first leaf holding a prime nor a greedy
  // matching of primes to leaves gives the same order on random functions.
  //
  // It stops, and says so, once the list has read all the index words it
  // may.
  bool enumerate(std::int32_t v, cube_bits& cube, implicant_list& l) const {
    if (v == vertex_zero) return true;
    if (v == vertex_one) {
      l.offer(cube);
      return !l.over();
    }
    const tdd_vertex& x = vertices_[static_cast<std::size_t>(v)];
    cube.set(x.position, true);
    if (!enumerate(x.child[0], cube, l)) return false;
    cube.set(x.position, false);
    if (!enumerate(x.child[1], cube, l)) return false;
    cube.clear(x.position);
    return enumerate(x.child[2], cube, l);
  }

private:
  static std::uint64_t saturated_sum(std::uint64_t a, std::uint64_t b) {
    return a + b < a ? static_cast<std::uint64_t>(-1) : a + b;
  }

  bddpp_manager& m_;
  std::vector<tdd_vertex> vertices_;
  std::vector<std::uint64_t> leaves_;
  bdd_memo memo_;
};

void enumerate_tree(bddpp_manager& m, const Tdd& t, cube_bits& cube, implicant_list& l) {
  if (t.top.node() == m.one) {
    if (t.top.link_type() == 1) l.offer(cube);
    return;
  }
  const std::int32_t p = m.position_of(t.top.node());
  cube.set(p, true);
  enumerate_tree(m, *t.children[0], cube, l);
  cube.set(p, false);
  enumerate_tree(m, *t.children[1], cube, l);
  cube.clear(p);
  enumerate_tree(m, *t.children[2], cube, l);
}

void walk_primes(bddpp_manager& m, const bdd& f, std::list<bdd>& out, bool counted) {
  tdd_graph graph(m);
  const std::int32_t root = graph.build(f);
  if (root == vertex_spent) return;
  const std::uint64_t leaves = graph.leaves_of(root);
  // Once the list holds a few thousand cubes a leaf reads a hundred words
  // of the index or more (130 to 900 in the shapes measured): a tree with
  // more leaves than a hundred-and-twenty-eighth of the work left would
  // only stop on the way, so its walk is not started.
  if (counted) {
    if (leaves > bdd_work_left(m) / 128 || !bdd_charge_work(m, leaves)) {
      bdd_spend_work(m);
      return;
    }
  }
  implicant_list l(m.var_count, counted ? bdd_work_left(m) : implicant_list::unlimited);
  cube_bits cube(m.var_count);
  graph.enumerate(root, cube, l);
  l.drop_implied();
  if (counted && !bdd_charge_work(m, l.reads())) return;
  std::list<bdd> primes;
  l.primes(m, primes);
  if (bdd_work_spent(m)) return;
  out.swap(primes);
}

}  // namespace

void bdd_prime_implicants_fast(bddpp_manager& m, const bdd& f, std::list<bdd>& out) {
  walk_primes(m, f, out, false);
}

void bdd_prime_implicants_counted(bddpp_manager& m, const bdd& f, std::list<bdd>& out) {
  walk_primes(m, f, out, true);
}

// ---- Tdd ----------------------------------------------------------------------

Tdd::Tdd(bddpp_manager* m, bdd f) : manager(m), top(), children{nullptr, nullptr, nullptr} {
  if (m == nullptr) {
    std::cerr << "in Tdd::Tdd() : error: bdd manager not yet created !" << std::endl;
    return;
  }
  if (f.node() == m->one) {
    top = f;
    return;
  }
  top = m->Bdd_if(f);
  bdd t = m->Bdd_then(f);
  bdd e = m->Bdd_else(f);
  children[0] = new Tdd(m, t);
  children[1] = new Tdd(m, e);
  children[2] = new Tdd(m, m->Bdd_and(t, e));
}

Tdd::~Tdd() {
  if (manager != nullptr && top.node() != manager->one)
    for (Tdd* c : children) delete c;
}

void Tdd::Bdd_implicants_loc(const bdd& cube, std::list<bdd>& l) {
  if (manager == nullptr || top.node() == nullptr) return;
  bddpp_manager& m = *manager;
  if (top.node() == m.one) {
    if (top.link_type() != 1) return;
    for (bdd& p : l) {
      if (m.Bdd_imply(p, cube)) {
        p = cube;
        return;
      }
    }
    l.push_back(cube);
    return;
  }
  children[0]->Bdd_implicants_loc(m.Bdd_and(cube, top), l);
  children[1]->Bdd_implicants_loc(m.Bdd_and(cube, m.Bdd_not(top)), l);
  children[2]->Bdd_implicants_loc(cube, l);
}

void Tdd::Bdd_prime_implicants(std::list<bdd>& out) {
  out.clear();
  if (manager == nullptr || top.node() == nullptr) return;
  implicant_list l(manager->var_count);
  cube_bits cube(manager->var_count);
  enumerate_tree(*manager, *this, cube, l);
  l.drop_implied();
  l.primes(*manager, out);
}

void Tdd::Print_bdd_structure(std::ostream& o) { Print_bdd_structure_loc(o, 0); }

void Tdd::Print_bdd_structure_loc(std::ostream& o, int indent) {
  if (manager == nullptr || top.node() == nullptr) return;
  bddpp_manager& m = *manager;
  const String name = m.Name_var_by_bdd(top);
  const String blanks(static_cast<std::size_t>(indent < 0 ? 0 : indent), ' ');
  if (top.node() == m.one) {
    o << blanks << name << std::endl;
    return;
  }
  o << blanks << "if " << name << std::endl;
  children[0]->Print_bdd_structure_loc(o, indent + 2);
  o << blanks << "else if !" << name << std::endl;
  children[1]->Print_bdd_structure_loc(o, indent + 2);
  o << blanks << "dont care " << name << std::endl;
  children[2]->Print_bdd_structure_loc(o, indent + 2);
}
