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
  // `spent`: the walk stopped on a spent work budget (bdd/work.h), and its
  // answer means nothing.
  enum { reaches_true = 1, reaches_false = 2, spent = 4 };
  int reach(bdd_node* n, int link);
  bddpp_manager& m_;
  const cube_bits& c_;
  bdd_memo memo_;
};

// A set of list slots, as a bitset with a summary word per 64 words, so
// that a conjunction of sets finds its first member without reading every
// word.
class slot_set {
public:
  void insert(std::size_t i);
  void erase(std::size_t i);
  std::uint64_t word(std::size_t w) const { return w < bits_.size() ? bits_[w] : 0; }
  std::uint64_t summary(std::size_t s) const { return s < summary_.size() ? summary_[s] : 0; }

private:
  std::vector<std::uint64_t> bits_, summary_;
};

// The prime implicants of a non-constant f, in the order of the implicant
// enumeration tree (Tdd): each enumerated cube replaces the first listed
// cube that implies it or goes last, then every cube implied by an earlier
// one is dropped. A listed cube implies the offered one when it holds every
// literal of it, so the slots are indexed by literal: the first slot holding
// all of a cube's literals is the first member of a conjunction of sets.
class implicant_list {
public:
  static constexpr std::uint64_t unlimited = ~std::uint64_t(0);
  // Past `read_limit` words of the index read the list means nothing, and
  // drop_implied() and the searches of offer() stop.
  explicit implicant_list(std::int32_t var_count, std::uint64_t read_limit = unlimited)
      : words_(cube_bits::words_for(var_count)), count_(0),
        by_literal_(2 * static_cast<std::size_t>(var_count > 0 ? var_count : 0)), read_limit_(read_limit) {}
  void offer(const cube_bits& c);
  // Marks the listed cubes that an earlier one implies; primes() leaves them out.
  void drop_implied();
  // Stops once m's work budget is spent (bdd/work.h).
  void primes(bddpp_manager& m, std::list<bdd>& out) const;
  // Words of the literal index read so far by offer() and drop_implied().
  std::uint64_t reads() const { return reads_; }
  bool over() const { return reads_ > read_limit_; }

private:
  static const std::size_t none = static_cast<std::size_t>(-1);
  const std::uint64_t* care(std::size_t i) const { return &slots_[2 * words_ * i]; }
  const std::uint64_t* value(std::size_t i) const { return &slots_[2 * words_ * i + words_]; }
  std::uint64_t* slot(std::size_t i) { return &slots_[2 * words_ * i]; }
  // The literals of a cube (2 * position + 1 when positive) into lits.
  void literals_of(const std::uint64_t* care, const std::uint64_t* value, std::vector<std::int32_t>& lits) const;
  // The first slot from `from` on that holds every literal of lits.
  std::size_t first_holding(const std::vector<std::int32_t>& lits, std::size_t from) const;

  std::size_t words_;
  std::size_t count_;
  std::vector<std::uint64_t> slots_;
  std::vector<slot_set> by_literal_;
  std::vector<std::int32_t> scratch_, held_scratch_;
  std::vector<char> dropped_;
  mutable std::uint64_t reads_ = 0;
  std::uint64_t read_limit_;
};

void bdd_prime_implicants_fast(bddpp_manager& m, const bdd& f, std::list<bdd>& out);
// The same, charged to m's work budget (bdd/work.h): a vertex of the tree
// folded onto shared sub-functions, the conjunction that makes each one, a
// leaf of the unfolded tree, and a word of the list's literal index read
// while looking for the cube a leaf replaces or the cubes a prime implies.
// The walk is not started when its leaves promise more reads than the
// budget has left. When the work would pass the budget, the budget is spent
// and out left as it was.
void bdd_prime_implicants_counted(bddpp_manager& m, const bdd& f, std::list<bdd>& out);

#endif
