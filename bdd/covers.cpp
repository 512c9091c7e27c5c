// Minterms, implicants, sum-of-products covers at four levels of effort,
// truth tables and function identifiers, simplification under a constraint.
//
// The covers decide with bit-mask cubes (bdd/cube_bits.h) wherever a test
// would otherwise build and discard a BDD, and replace the "OR of every
// other cube" tests by running prefix and suffix disjunctions, so each level
// does a linear number of BDD operations in the size of its cube list.
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/cube_bits.h"
#include "bdd/work.h"

namespace {

[[noreturn]] void fatal_exit() {
  std::cerr.flush();
  std::exit(1);
}

// One cube per list element, turned into masks once.
std::vector<cube_bits> cube_bits_of_list(bddpp_manager& m, const std::list<bdd>& l) {
  std::vector<cube_bits> r;
  r.reserve(l.size());
  for (const bdd& c : l) r.push_back(cube_bits_of(m, c));
  return r;
}

// The disjoint cubes of f in order: each is the then-first path of what is
// left, and what is left loses it. The path is read off the nodes (the
// then child is taken unless it is the constant false) and its cube built
// from the deepest literal up, one node per conjunction, instead of a
// literal table and a conjunction per position from the top; the cube is
// the same function, so the same node. take(masks, cube) gets each one,
// until m's work budget is spent (bdd/work.h).
template <class Take>
void for_each_disjoint_cube(bddpp_manager& m, const bdd& f, Take take) {
  bdd left = f;
  cube_bits masks(m.var_count);
  std::vector<std::int32_t> path;
  while ((left.node() != m.one || left.link_type() == 1) && !bdd_work_spent(m)) {
    std::fill(masks.care.begin(), masks.care.end(), 0);
    std::fill(masks.value.begin(), masks.value.end(), 0);
    path.clear();
    bdd_node* n = left.node();
    int link = left.link_type();
    while (n->id != -1) {
      const std::int32_t p = m.position_of(n);
      path.push_back(p);
      if (n->then_node->id == -1 && link == -1) {
        masks.set(p, false);
        link *= n->else_link;
        n = n->else_node;
      } else {
        masks.set(p, true);
        n = n->then_node;
      }
    }
    bdd cube = m.Bdd_one();
    for (std::size_t i = path.size(); i-- > 0;) {
      bdd v = m.Bdd_var_by_index(path[i]);
      cube = m.Bdd_and(masks.positive(path[i]) ? v : m.Bdd_not(v), cube);
    }
    left = m.Bdd_and(left, m.Bdd_not(cube));
    take(masks, cube);
  }
}

}  // namespace

// ---- Minterms and implicants --------------------------------------------------

bdd bddpp_manager::Minterm(std::int32_t k, std::int32_t n, bdd* v) {
  if (k < 0) return Bdd_zero();
  bdd r = Bdd_one();
  for (std::int32_t i = 0; i < n; ++i) {
    r = Bdd_and(r, (k & 1) ? v[i] : Bdd_not(v[i]));
    k >>= 1;
  }
  return r;
}

bdd bddpp_manager::Bdd_one_implicant(const bdd& f) {
  if (f.manager_ref() != this) {
    std::cerr << "ERROR in bddpp_manager::Bdd_one_implicant():" << std::endl;
    std::cerr << "   bdd : " << f << ", is not allocated or associated with a bad BDD manager..." << std::endl;
    fatal_exit();
  }
  if (f.node() == one) return f;
  if (Bdd_is_var(f)) return f;
  if (Bdd_is_negvar(f)) return Bdd_not(Bdd_if(f));
  bdd x = Bdd_if(f);
  bdd t = Bdd_then(f);
  if (Bdd_is_one_tautologic(t)) return x;
  bdd e = Bdd_else(f);
  if (Bdd_is_zero_tautologic(t)) return Bdd_and(Bdd_not(x), Bdd_one_implicant(e));
  if (Bdd_is_one_tautologic(e)) return Bdd_not(x);
  if (Bdd_is_zero_tautologic(e)) return Bdd_and(x, Bdd_one_implicant(t));
  if (t.node()->support.size() > e.node()->support.size()) return Bdd_and(Bdd_not(x), Bdd_one_implicant(e));
  return Bdd_and(x, Bdd_one_implicant(t));
}

int bddpp_manager::Bdd_is_prime_implicant(const bdd& c, const bdd& f) {
  if (Bdd_is_zero_tautologic(c)) return 0;
  if (Bdd_is_one_tautologic(c) && Bdd_is_one_tautologic(f)) return 1;
  if (!Bdd_is_cube(c) || !Bdd_imply(c, f)) return 0;
  for (std::int32_t id = 0; id < var_count; ++id) {
    bdd d = Bdd_exist(c, Bdd_var_by_id(id));
    if (d != c && Bdd_imply(d, f)) return 0;
  }
  return 1;
}

void bddpp_manager::Bdd_prime_implicants(const bdd& f, std::list<bdd>& out) {
  out.clear();
  if (f.node() == one) {
    out.push_back(f);
    return;
  }
  bdd_prime_implicants_fast(*this, f, out);
}

namespace {

// The minterms covered at least once and at least twice by the primes
// [first, last), halves first: adding the primes one by one into a growing
// disjunction costs the size of that disjunction per prime, while halves of
// about the same size meet at most log(n) times per prime.
struct coverage {
  bdd once, twice;
};

coverage coverage_of(bddpp_manager& m, const std::vector<bdd>& primes, std::size_t first, std::size_t last) {
  if (bdd_work_spent(m)) return {m.Bdd_zero(), m.Bdd_zero()};
  if (last - first == 1) return {primes[first], m.Bdd_zero()};
  const std::size_t middle = first + (last - first) / 2;
  const coverage a = coverage_of(m, primes, first, middle);
  const coverage b = coverage_of(m, primes, middle, last);
  return {m.Bdd_or(a.once, b.once), m.Bdd_or(m.Bdd_or(a.twice, b.twice), m.Bdd_and(a.once, b.once))};
}

// The primes together are f, so the others alone fall short of f exactly
// when this prime holds a minterm that no other prime covers: one that lies
// outside the minterms covered twice. Both lists mean nothing once m's work
// budget is spent.
void split_essential(bddpp_manager& m, const std::list<bdd>& primes, std::list<bdd>& essential,
                     std::list<bdd>& others) {
  essential.clear();
  others.clear();
  if (primes.empty()) return;
  const std::vector<bdd> listed(primes.begin(), primes.end());
  const bdd twice = coverage_of(m, listed, 0, listed.size()).twice;
  for (const bdd& p : primes) {
    if (bdd_work_spent(m)) return;
    // The one "prime" of ZERO implies everything.
    bool implied = m.Bdd_is_zero_tautologic(p);
    if (!implied) {
      const cube_bits c = cube_bits_of(m, p);
      cube_reach walk(m, c);
      implied = walk.implies(twice);
    }
    (implied ? others : essential).push_back(p);
  }
}

}  // namespace

void bddpp_manager::Bdd_essential_implicants(const bdd& f, std::list<bdd>& essential,
                                             std::list<bdd>& others) {
  std::list<bdd> primes;
  Bdd_prime_implicants(f, primes);
  split_essential(*this, primes, essential, others);
}

// ---- Covers ---------------------------------------------------------------------

void bddpp_manager::Bdd_sop(const bdd& f, std::list<bdd>& out, int level) {
  if (f.manager_ref() != this) {
    std::cerr << "ERROR in bddpp_manager::Bdd_sop():" << std::endl;
    std::cerr << "   bdd is not allocated or associated with a bad BDD manager: awaited "
              << static_cast<const void*>(this) << " found: " << static_cast<const void*>(f.manager_ref())
              << " ..." << std::endl;
    fatal_exit();
  }
  switch (level) {
    case 1:
      Bdd_sop_1(f, out);
      break;
    case 2:
      Bdd_sop_2(f, out);
      break;
    case 3:
      Bdd_sop_2plus(f, out);
      break;
    default:
      Bdd_sop_0(f, out);
  }
}

void bddpp_manager::Bdd_sop_0(const bdd& f, std::list<bdd>& out) {
  out.clear();
  if (Bdd_is_one_tautologic(f)) {
    out.push_back(f);
    return;
  }
  for_each_disjoint_cube(*this, f, [&out](const cube_bits&, const bdd& c) { out.push_back(c); });
}

void bddpp_manager::Bdd_sop_1(const bdd& f, std::list<bdd>& out) {
  out.clear();
  if (f.node() == one) {
    out.push_back(f);
    return;
  }
  // Literal removal on each disjoint cube: each literal is dropped, in
  // increasing position, when the cube without it still implies f.
  std::vector<bdd> reduced;
  for_each_disjoint_cube(*this, f, [&](const cube_bits& d, const bdd&) {
    cube_bits c = d;
    for (std::size_t w = 0; w < d.care.size(); ++w)
      for (std::uint64_t bits = d.care[w]; bits != 0; bits &= bits - 1) {
        const std::int32_t p = static_cast<std::int32_t>(64 * w) + __builtin_ctzll(bits);
        const bool positive = c.positive(p);
        c.clear(p);
        cube_reach walk(*this, c);
        if (!walk.implies(f)) c.set(p, positive);
      }
    reduced.push_back(bdd_of_cube_bits(*this, c));
  });
  // Cube removal: a cube goes when the cubes still kept before it and all
  // the cubes after it already make f. Those cubes with this one always
  // make f, and each implies f, so they make f exactly when they cover this
  // cube: when both restricted to it give true together. Restricting to a
  // cube follows its literals; the disjunction of the two whole functions
  // would be as large as f at every step. Past a spent work budget the
  // cover means nothing: it stops where it is.
  const std::size_t n = reduced.size();
  std::vector<bdd> after(n + 1, Bdd_zero());
  for (std::size_t k = n; k > 0 && !bdd_work_spent(*this); --k) after[k - 1] = Bdd_or(reduced[k - 1], after[k]);
  bdd kept_before = Bdd_zero();
  for (std::size_t k = 0; k < n && !bdd_work_spent(*this); ++k) {
    const bdd& c = reduced[k];
    if (Bdd_is_one_tautologic(Bdd_or(Bdd_cube_reduce(kept_before, c), Bdd_cube_reduce(after[k + 1], c)))) continue;
    kept_before = Bdd_or(kept_before, c);
    out.push_back(c);
  }
}

void bddpp_manager::Bdd_sop_2(const bdd& f, std::list<bdd>& out) {
  std::list<bdd> primes;
  Bdd_prime_implicants(f, primes);
  sop_2_of_primes(f, primes, out);
}

int bddpp_manager::Bdd_sop_2_within(const bdd& f, std::list<bdd>& out, std::uint64_t budget) {
  std::list<bdd> primes, cover;
  if (f.node() == one) {
    primes.push_back(f);
    sop_2_of_primes(f, primes, out);
    return 1;
  }
  bool fits;
  {
    bdd_work_budget scope(*this, budget);
    bdd_prime_implicants_counted(*this, f, primes);
    if (!scope.spent()) sop_2_of_primes(f, primes, cover);
    fits = !scope.spent();
  }
  if (!fits) {
    Bdd_sop_irredundant(f, out);
    return 0;
  }
  out.swap(cover);
  return 1;
}

void bddpp_manager::sop_2_of_primes(const bdd& f, const std::list<bdd>& primes, std::list<bdd>& out) {
  out.clear();
  std::list<bdd> essential, others;
  split_essential(*this, primes, essential, others);
  // Past a spent work budget the cover means nothing: it stops where it is.
  if (bdd_work_spent(*this)) return;
  bdd cov = Bdd_zero();
  for (const bdd& e : essential) {
    if (bdd_work_spent(*this)) return;
    out.push_back(e);
    cov = Bdd_or(e, cov);
  }
  // Disjoint phase: the first prime that shares no minterm with the cover.
  // Once a prime meets the cover it always will (the cover only grows), so
  // each prime is tested until it meets the cover or is taken.
  std::vector<bdd> rest(others.begin(), others.end());
  std::vector<cube_bits> rest_bits = cube_bits_of_list(*this, others);
  // The primes before `next` are out of play.
  std::size_t next = 0;
  bool stuck = false;
  while (!Bdd_equiv(cov, f) && !stuck && !bdd_work_spent(*this)) {
    stuck = true;
    while (next < rest.size()) {
      const std::size_t i = next++;
      cube_reach walk(*this, rest_bits[i]);
      if (walk.meets(cov)) continue;
      out.push_back(rest[i]);
      cov = Bdd_or(rest[i], cov);
      stuck = false;
      break;
    }
  }
  // Growth phase: the remaining primes in order, each when it adds minterms.
  if (stuck) {
    for (std::size_t i = 0; i < rest.size() && !Bdd_equiv(cov, f) && !bdd_work_spent(*this); ++i) {
      cube_reach walk(*this, rest_bits[i]);
      if (walk.implies(cov)) continue;
      out.push_back(rest[i]);
      cov = Bdd_or(rest[i], cov);
    }
  }
  if (bdd_work_spent(*this)) return;
  std::list<bdd> level1;
  Bdd_sop_1(f, level1);
  if (out.size() > level1.size()) out.swap(level1);
}

namespace {

// The fixed covers of level 3, for functions of the first four positions.
// F is the truth table: bit k is the value for x0 = bit 0 of k ... x3 = bit 3.
struct catalogue_row {
  std::uint32_t table;
  const char* cubes;
};

const catalogue_row catalogue[] = {
    {0xf7bc, "x1'.x2, x1'.x3, x0.x2, x0'.x3, x1.x2'.x3'"},
    {0xbfd2, "x0.x1'.x2', x2'.x3, x0.x1.x2, x0'.x2.x3', x1'.x3"},
    {0xdff2, "x1.x2, x0.x1'.x3', x2'.x3, x0'.x2"},
    {0xf77e, "x2.x3, x1.x2'.x3', x0.x1', x0'.x2, x0'.x3"},
    {0xfd7a, "x0'.x2, x0'.x3, x1'.x2, x1.x3, x0.x2'.x3'"},
    {0xdfb6, "x0'.x1.x2', x0.x1'.x3', x0'.x1'.x2, x1.x3, x2'.x3, x0.x1.x2"},
    {0xbdf6, "x0.x1'.x3', x0.x1.x3, x0'.x1.x2', x0'.x1'.x3, x0.x2, x2.x3'"},
    {0x7efc, "x1.x3', x1'.x2, x0.x2'.x3, x0'.x1"},
    {0xbcf6, "x1'.x2, x0.x2, x0.x1'.x3', x0'.x1.x3', x1.x2'.x3"},
    {0xb7be, "x0.x2, x1'.x2, x0'.x1.x2', x0.x3', x1'.x3"},
    {0xd7f6, "x1.x2, x0'.x1, x0'.x2, x0.x1'.x3', x1'.x2'.x3"},
    {0xf7ee, "x0'.x3, x1.x3', x0.x2, x0.x1'"},
    {0x9bfa, "x0.x1, x0.x2', x2.x3', x0'.x1'.x3"},
    {0xf96e, "x2.x3, x0'.x1.x3', x0'.x1'.x3, x0.x1'.x3', x0.x1.x2'"},
    {0xf7be, "x1'.x2, x1'.x3, x0'.x1.x2', x2.x3, x0.x3'"},
    {0xbff6, "x2'.x3, x1'.x2, x0.x2, x0.x1', x0'.x1.x3'"},
    {0xdffe, "x1, x0.x3', x2'.x3, x0'.x2"},
    {0xbfde, "x0'.x1'.x2, x1.x3', x0.x3, x2'.x3, x0.x2'"},
    {0xbcde, "x0'.x1'.x2, x1.x3', x1.x2', x0.x2'.x3', x0.x2.x3"},
    {0x3ffe, "x0.x1', x1'.x3, x2.x3', x1.x2'"},
    {0xf7ae, "x0'.x3, x1.x2'.x3', x0.x1', x0.x2"},
    {0xdfbe, "x2'.x3, x0'.x1'.x2, x1.x2', x1.x3, x0.x3'"},
    {0xc77e, "x0'.x1, x1'.x2'.x3, x1'.x2.x3', x0.x2'.x3', x1.x2.x3"},
    {0xdfe6, "x0'.x3, x2'.x3, x0'.x1, x1.x2, x0.x1'.x3'"},
    {0xe57e, "x0'.x1, x0.x2'.x3', x0.x2.x3, x0'.x2'.x3, x1'.x2.x3'"},
    {0xbede, "x0.x2', x1.x2', x0'.x1'.x2, x0.x3, x1.x3'"},
    {0x9f76, "x0.x1.x3, x0.x1'.x3', x0'.x1.x3', x0'.x1'.x2, x2'.x3"},
    {0x57de, "x1.x3', x0'.x2, x0.x1'.x2', x0'.x3"},
    {0xdbf6, "x0'.x1.x3', x0.x1.x3, x0'.x1'.x3, x1.x2, x0.x1'.x2', x2.x3'"},
    {0xdf36, "x1.x3, x0'.x1.x2', x0.x1'.x3', x0'.x1'.x2, x2'.x3"},
    {0x9f7e, "x0.x1.x3, x0.x1'.x3', x0'.x1'.x3, x0'.x2.x3', x0.x2', x1.x2'"},
    {0xdebc, "x0.x2'.x3, x1.x2', x0.x2.x3', x0'.x1'.x2, x1.x3"},
    {0xdffa, "x0'.x3, x2.x3', x0.x2', x0.x1"},
    {0xbd6e, "x0'.x1'.x3, x0'.x1.x3', x1.x2', x0.x2.x3, x0.x1'.x3'"},
    {0x7efe, "x1.x2', x0'.x2, x0.x1', x2.x3'"},
    {0xdfba, "x0'.x3, x0.x2', x0.x1, x1'.x2.x3'"},
    {0xa7ee, "x1.x3', x0.x1', x0.x2, x0'.x2'.x3"},
    {0xbef6, "x0.x1', x2.x3', x0.x3, x1'.x2, x0'.x1.x2'"},
    {0xebfc, "x1'.x2'.x3, x1.x3', x2.x3', x0.x3, x1.x2"},
    {0xef7e, "x0'.x2.x3', x2'.x3, x0.x1', x1.x2', x1.x3"},
    {0x9dfe, "x1.x2', x0.x3', x2.x3', x0.x1, x0'.x1'.x3"},
    {0x5ffe, "x0.x2', x2.x3', x0'.x1, x0'.x3"},
    {0x7fec, "x1'.x3, x0.x2.x3', x0'.x1, x1.x2'"},
};

// The truth table of f over the first four positions (f depends on no other).
std::uint32_t table_of_first_four(bddpp_manager& m, const bdd& f) {
  std::uint32_t table = 0;
  std::vector<int> literals(static_cast<std::size_t>(m.var_count), 2);
  for (std::uint32_t k = 0; k < 16; ++k) {
    for (int i = 0; i < 4; ++i) literals[i] = (k >> i) & 1u;
    if (m.Bdd_eval_for_literal(f, literals.data()) == 1) table |= 1u << k;
  }
  return table;
}

// "x1'.x2, x0.x3'" over x0 .. x3.
void catalogue_cubes(bddpp_manager& m, const char* text, const bdd* x, std::list<bdd>& out) {
  bdd cube = m.Bdd_one();
  for (const char* s = text;; ++s) {
    if (*s == 'x') {
      bdd v = x[s[1] - '0'];
      const bool negated = s[2] == '\'';
      cube = m.Bdd_and(cube, negated ? m.Bdd_not(v) : v);
      s += negated ? 2 : 1;
    } else if (*s == ',' || *s == '\0') {
      out.push_back(cube);
      cube = m.Bdd_one();
      if (*s == '\0') return;
    }
  }
}

}  // namespace

void bddpp_manager::Bdd_sop_2plus(const bdd& f, std::list<bdd>& out) {
  out.clear();
  // Every catalogue function depends on all four first positions and on no
  // other, so any other function goes straight to level 2; so does every
  // function of a manager with fewer than four variables.
  bool candidate = var_count >= 4 && f.node() != one && f.node()->support.size() == 4;
  for (std::int32_t p = 0; candidate && p < 4; ++p)
    candidate = f.node()->support.contains(id_of_index[p]);
  if (candidate) {
    const std::uint32_t table = table_of_first_four(*this, f);
    for (const catalogue_row& row : catalogue) {
      if (row.table != table) continue;
      bdd x[4] = {Bdd_var_by_index(0), Bdd_var_by_index(1), Bdd_var_by_index(2), Bdd_var_by_index(3)};
      catalogue_cubes(*this, row.cubes, x, out);
      return;
    }
  }
  Bdd_sop_2(f, out);
}

int bddpp_manager::Bdd_sop(const bdd& f, bdd* out, int level) {
  std::cerr << "warning: calling obsolete version of bddpp_manager::Bdd_sop() ..." << std::endl;
  std::list<bdd> l;
  Bdd_sop(f, l, level);
  int k = 0;
  for (const bdd& c : l) out[k++] = c;
  return k;
}

std::int32_t bddpp_manager::Max_number_of_terms() { return 1000000; }

// ---- Truth tables and function identifiers ------------------------------------

void bddpp_manager::Truth_table(const bdd& f, int n, bdd* v, char* out) {
  const std::uint64_t total = std::uint64_t(1) << n;
  for (std::uint64_t k = 0; k < total; ++k) {
    bdd r = Bdd_reduce(f, Minterm(static_cast<std::int32_t>(k), n, v));
    out[k] = Bdd_is_one_tautologic(r) ? '1' : Bdd_is_zero_tautologic(r) ? '0' : '?';
  }
}

void bddpp_manager::Bdd_truth_table(const bdd& f, int n, bdd* v, bdd* out) {
  const std::uint64_t total = std::uint64_t(1) << n;
  for (std::uint64_t k = 0; k < total; ++k) out[k] = Bdd_reduce(f, Minterm(static_cast<std::int32_t>(k), n, v));
}

std::uint32_t bddpp_manager::Id_function_by_bdd(bdd f, int n, bdd* v) {
  if (n > 5) {
    std::cerr << "In bddpp_manager::Id_function_by_bdd(): number of variables (" << n
              << ") too big! avorted ..." << std::endl;
    return 0;
  }
  std::uint32_t id = 0;
  for (std::uint32_t k = 0; k < (1u << n); ++k)
    if (Bdd_imply(Minterm(static_cast<std::int32_t>(k), n, v), f)) id |= 1u << k;
  return id;
}

bdd bddpp_manager::Bdd_function_by_id(std::uint32_t id, std::int32_t n, bdd* v) {
  bdd r = Bdd_zero();
  for (std::int32_t k = 0; k < 32; ++k)
    if ((id >> k) & 1u) r = Bdd_or(r, Minterm(k, n, v));
  return r;
}

// ---- Simplification under a constraint -----------------------------------------

namespace {

// f widened over each listed variable, in order, while it stays disjoint
// from g.
bdd widen_while_disjoint(bddpp_manager& m, const bdd& f, const bdd& g, const std::vector<std::int32_t>& ids) {
  bdd r = f;
  for (std::int32_t id : ids) {
    bdd t = m.Bdd_exist(r, m.Bdd_var_by_id(id));
    if (m.Bdds_excl(t, g)) r = t;
  }
  return r;
}

std::vector<std::int32_t> support_ids(const bdd& f) {
  std::vector<std::int32_t> ids;
  for (std::int32_t id : f.node()->support) ids.push_back(id);
  return ids;
}

}  // namespace

bdd bddpp_manager::Bdd_simplify(const bdd& f, const bdd& g) {
  if (f.node() == one) return f;
  return widen_while_disjoint(*this, f, g, support_ids(f));
}

bdd bddpp_manager::Bdd_simplify2(const bdd& f, const bdd& g) {
  if (f.node() == one) return f;
  // Never over the top variable itself: only the variables below it.
  const std::int32_t top = position_of(f.node());
  std::vector<std::int32_t> ids;
  for (std::int32_t id : support_ids(f))
    if (index_of_id[id] > top) ids.push_back(id);
  return widen_while_disjoint(*this, f, g, ids);
}

bdd bddpp_manager::Bdd_simplify3(const bdd& f, const bdd& g) {
  if (f.node() == one) return f;
  std::list<bdd> primes;
  Bdd_prime_implicants(f, primes);
  bdd r = Bdd_zero();
  for (const bdd& p : primes) r = Bdd_or(r, widen_while_disjoint(*this, p, g, support_ids(p)));
  return r;
}
