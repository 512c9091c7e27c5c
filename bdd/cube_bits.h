// cube_bits: cubes as pairs of bit masks over positions, for the covers.
//
// The cover algorithms test "does this cube imply that one" and "does this
// cube imply (or meet) the function" many thousands of times. As BDD
// operations each test would build a disjunction or a restriction; on masks
// a cube test is a few word operations and a function test is one walk of
// the diagram that builds nothing. Only the cubes a cover returns are turned
// back into BDDs. Private to the engine.
#ifndef TESSAN_BDD_CUBE_BITS_H
#define TESSAN_BDD_CUBE_BITS_H

#include <cstdint>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/memo.h"

// One cube: care bit set for every position with a literal, value bit set for
// the positive ones. Value bits outside care are always clear.
struct cube_bits {
  std::vector<std::uint64_t> care, value;

  explicit cube_bits(std::int32_t var_count)
      : care(words_for(var_count), 0), value(words_for(var_count), 0) {}

  static std::size_t words_for(std::int32_t var_count) {
    return var_count <= 0 ? 1 : (static_cast<std::size_t>(var_count) + 63) / 64;
  }
  bool has(std::int32_t p) const { return (care[p / 64] >> (p % 64)) & 1u; }
  bool positive(std::int32_t p) const { return (value[p / 64] >> (p % 64)) & 1u; }
  void set(std::int32_t p, bool positive_literal) {
    care[p / 64] |= std::uint64_t(1) << (p % 64);
    if (positive_literal)
      value[p / 64] |= std::uint64_t(1) << (p % 64);
    else
      value[p / 64] &= ~(std::uint64_t(1) << (p % 64));
  }
  void clear(std::int32_t p) {
    care[p / 64] &= ~(std::uint64_t(1) << (p % 64));
    value[p / 64] &= ~(std::uint64_t(1) << (p % 64));
  }
};

// p implies c (as nonzero cubes): every literal of c is a literal of p.
inline bool cube_words_imply(const std::uint64_t* p_care, const std::uint64_t* p_value,
                             const std::uint64_t* c_care, const std::uint64_t* c_value,
                             std::size_t words) {
  for (std::size_t i = 0; i < words; ++i)
    if ((c_care[i] & ~p_care[i]) != 0 || ((p_value[i] ^ c_value[i]) & c_care[i]) != 0) return false;
  return true;
}

// The literals of a BDD cube (not ZERO).
cube_bits cube_bits_of(bddpp_manager& m, const bdd& cube);
// The BDD of a cube, built from the bottom of the order up so that every
// conjunction meets a single node.
bdd bdd_of_cube_bits(bddpp_manager& m, const cube_bits& c);

// What a function can still reach under the literals of a cube: a walk of
// the diagram along the cube, memoised per node for this one question.
class cube_reach {
public:
  cube_reach(bddpp_manager& m, const cube_bits& c) : m_(m), c_(c) {}
  // The cube implies f (f restricted by the cube is true).
  bool implies(const bdd& f) { return (reach(f.node(), f.link_type()) & reaches_false) == 0; }
  // The cube and f have a common minterm.
  bool meets(const bdd& f) { return (reach(f.node(), f.link_type()) & reaches_true) != 0; }

private:
  enum { reaches_true = 1, reaches_false = 2 };
  int reach(bdd_node* n, int link);
  bddpp_manager& m_;
  const cube_bits& c_;
  bdd_memo memo_;
};

// The prime implicants of a non-constant f, in the order of the implicant
// enumeration tree (Tdd): each enumerated cube replaces the first listed
// cube that implies it or goes last, then every cube implied by an earlier
// one is dropped.
class implicant_list {
public:
  explicit implicant_list(std::int32_t var_count) : words_(cube_bits::words_for(var_count)) {}
  void offer(const cube_bits& c);
  void primes(bddpp_manager& m, std::list<bdd>& out) const;

private:
  const std::uint64_t* care(std::size_t i) const { return &slots_[2 * words_ * i]; }
  const std::uint64_t* value(std::size_t i) const { return &slots_[2 * words_ * i + words_]; }
  std::size_t count() const { return slots_.size() / (2 * words_); }
  std::size_t words_;
  std::vector<std::uint64_t> slots_;
};

void bdd_prime_implicants_fast(bddpp_manager& m, const bdd& f, std::list<bdd>& out);

#endif
