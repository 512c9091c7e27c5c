// The prime and irredundant cover of a function by the Minato–Morreale
// recursion: the cover the determinism checks print when the level-2 walk
// would not come back.
//
// The recursion works on an interval [L, U] of functions (at the top, L = U
// = f) and splits it on the top variable x: the cubes that need x' cover
// what L0 has and U1 lacks, those that need x what L1 has and U0 lacks, and
// the cubes without x cover the rest of L inside U0 and U1. Each cube is
// prime (a literal of x' or x is there because its cubes meet the other
// side's complement, and the rest is prime inside its own interval) and the
// cover irredundant. Subintervals are met again through shared nodes and
// are solved once; the work is the size of the diagram plus the size of
// the cover times its depth, never the number of implicants.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/cube_bits.h"
#include "bdd/memo.h"

namespace {

// Cubes one after the other, each as its care words then its value words.
struct cube_block {
  std::vector<std::uint64_t> data;
};

struct interval_key {
  std::uint64_t lower, upper;
  bool operator==(const interval_key& o) const { return lower == o.lower && upper == o.upper; }
};

struct interval_hash {
  std::size_t operator()(const interval_key& k) const {
    return static_cast<std::size_t>(bdd_memo_mix(k.lower, k.upper));
  }
};

struct interval_cover {
  bdd function;  // the OR of the cubes
  std::size_t block;
};

class irredundant_cover {
public:
  explicit irredundant_cover(bddpp_manager& m) : m_(m), words_(cube_bits::words_for(m.var_count)) {}

  // The cubes of the cover of f, in order.
  const std::vector<std::uint64_t>& of(const bdd& f) {
    const interval_cover c = solve(f, f);
    return blocks_[c.block].data;
  }
  std::size_t words() const { return words_; }

private:
  // g with the variable at position p set, when g's top variable is there.
  bdd cofactor(const bdd& g, std::int32_t p, bool positive) {
    if (g.node() == m_.one || m_.position_of(g.node()) != p) return g;
    return positive ? m_.Bdd_then(g) : m_.Bdd_else(g);
  }

  // The cubes of one side, each with the literal of p added.
  void append_with_literal(std::vector<std::uint64_t>& to, const std::vector<std::uint64_t>& from,
                           std::int32_t p, bool positive) {
    const std::size_t w = static_cast<std::size_t>(p) / 64;
    const std::uint64_t bit = std::uint64_t(1) << (p % 64);
    for (std::size_t at = 0; at < from.size(); at += 2 * words_) {
      const std::size_t start = to.size();
      to.insert(to.end(), from.begin() + static_cast<std::ptrdiff_t>(at),
                from.begin() + static_cast<std::ptrdiff_t>(at + 2 * words_));
      to[start + w] |= bit;
      if (positive) to[start + words_ + w] |= bit;
    }
  }

  interval_cover solve(const bdd& lower, const bdd& upper) {
    if (m_.Bdd_is_zero_tautologic(lower)) return {m_.Bdd_zero(), empty_block()};
    if (m_.Bdd_is_one_tautologic(upper)) return {m_.Bdd_one(), one_block()};
    const interval_key key{bdd_memo_tag(lower.node(), lower.link_type()),
                           bdd_memo_tag(upper.node(), upper.link_type())};
    const auto known = memo_.find(key);
    if (known != memo_.end()) return known->second;

    // Neither bound is constant here: lower is not false, and upper, which
    // lower implies, is not true.
    const std::int32_t p = std::min(m_.position_of(lower.node()), m_.position_of(upper.node()));
    const bdd l1 = cofactor(lower, p, true), l0 = cofactor(lower, p, false);
    const bdd u1 = cofactor(upper, p, true), u0 = cofactor(upper, p, false);
    const interval_cover with_x = solve(m_.Bdd_and(l1, m_.Bdd_not(u0)), u1);
    const interval_cover with_not_x = solve(m_.Bdd_and(l0, m_.Bdd_not(u1)), u0);
    const bdd rest = m_.Bdd_or(m_.Bdd_and(l1, m_.Bdd_not(with_x.function)),
                               m_.Bdd_and(l0, m_.Bdd_not(with_not_x.function)));
    const interval_cover without_x = solve(rest, m_.Bdd_and(u0, u1));

    // Then, else, both: the order in which the implicant tree walks them.
    std::vector<std::uint64_t> cubes;
    append_with_literal(cubes, blocks_[with_x.block].data, p, true);
    append_with_literal(cubes, blocks_[with_not_x.block].data, p, false);
    const std::vector<std::uint64_t>& dropped = blocks_[without_x.block].data;
    cubes.insert(cubes.end(), dropped.begin(), dropped.end());
    const bdd x = m_.Bdd_var_by_index(p);
    const bdd function = m_.Bdd_or(m_.Bdd_ite(x, with_x.function, with_not_x.function), without_x.function);
    blocks_.push_back(cube_block{std::move(cubes)});
    const interval_cover result{function, blocks_.size() - 1};
    // Bare node tags as keys: no node is freed before the call returns.
    memo_.emplace(key, result);
    return result;
  }

  std::size_t empty_block() {
    if (empty_ == none) {
      blocks_.push_back(cube_block{});
      empty_ = blocks_.size() - 1;
    }
    return empty_;
  }
  std::size_t one_block() {
    if (one_ == none) {
      blocks_.push_back(cube_block{std::vector<std::uint64_t>(2 * words_, 0)});
      one_ = blocks_.size() - 1;
    }
    return one_;
  }

  static const std::size_t none = static_cast<std::size_t>(-1);
  bddpp_manager& m_;
  std::size_t words_;
  std::vector<cube_block> blocks_;
  std::unordered_map<interval_key, interval_cover, interval_hash> memo_;
  std::size_t empty_ = none, one_ = none;
};

}  // namespace

void bddpp_manager::Bdd_sop_irredundant(const bdd& f, std::list<bdd>& out) {
  out.clear();
  irredundant_cover cover(*this);
  const std::vector<std::uint64_t>& cubes = cover.of(f);
  const std::size_t words = cover.words();
  cube_bits c(var_count);
  for (std::size_t at = 0; at < cubes.size(); at += 2 * words) {
    std::copy(cubes.begin() + static_cast<std::ptrdiff_t>(at), cubes.begin() + static_cast<std::ptrdiff_t>(at + words),
              c.care.begin());
    std::copy(cubes.begin() + static_cast<std::ptrdiff_t>(at + words),
              cubes.begin() + static_cast<std::ptrdiff_t>(at + 2 * words), c.value.begin());
    out.push_back(bdd_of_cube_bits(*this, c));
  }
}
