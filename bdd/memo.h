// memo: scratch tables that live for one top-level call of the engine.
//
// The engine keeps nothing between calls, but a recursive operation that
// meets a shared sub-diagram twice would otherwise solve it again for every
// path that reaches it. A `bdd_memo` remembers the subproblems one call has
// already solved and is thrown away when the call returns; a memo hit gives
// exactly the node a recomputation would have found in the unique table (no
// node is freed during a call), so node numbers and counts stay the same.
// `bdd_memo32` is the same on 32-bit words, for the and/or walk, which names
// its nodes by cell number (bdd/unique_table.h) in half the memory.
// `bdd_visited` is the matching set for walks that visit every node once.
// Every recursive operation of the engine (store, operations, covers,
// printers, substitution) uses these two; nothing here is public API.
#ifndef TESSAN_BDD_MEMO_H
#define TESSAN_BDD_MEMO_H

#include <cstdint>
#include <cstring>
#include <vector>

class bdd_node;

// A node with its link packed in one word: nodes are at least 8-aligned, so
// bit 0 is free to hold "complemented".
inline std::uint64_t bdd_memo_tag(const bdd_node* n, int link) {
  return reinterpret_cast<std::uintptr_t>(n) | (link < 0 ? 1u : 0u);
}
inline bdd_node* bdd_memo_node(std::uint64_t w) {
  return reinterpret_cast<bdd_node*>(static_cast<std::uintptr_t>(w & ~std::uint64_t(1)));
}
inline int bdd_memo_link(std::uint64_t w) { return (w & 1u) ? -1 : 1; }

inline std::uint64_t bdd_memo_mix(std::uint64_t a, std::uint64_t b) {
  // Node addresses differ mostly in their middle bits: a full avalanche
  // (the 64-bit finaliser of MurmurHash3) spreads them over the low bits
  // that pick a slot.
  std::uint64_t h = a ^ (b * 0x9E3779B97F4A7C15ull);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return h;
}

// Open addressing on a key of one or two words. A table starts at the
// smallest size, or at the size its caller expects, and doubles with its own
// entries: each call gets a table sized from what it solves, never from what
// an earlier, larger call solved.
// The slot arrays outlive the memos that use them: a released array goes
// back to a small pool and the next memo takes it as it is, its slots
// stamped with an older epoch and so empty. Thousands of small calls then
// cost no allocation and no clearing, and a large call that grows takes the
// arrays of the last large call instead of clearing new ones. The pool is
// bounded in arrays and in bytes; what it cannot keep is freed.
// `Slot` holds `key`, `value` and `epoch`; each kind of slot has its pool.
template <class Slot>
class bdd_memo_table {
public:
  using key_type = decltype(Slot::key);
  using value_type = decltype(Slot::value);

  // Small enough to stay in the first-level cache, large enough that the
  // many calls of a few hundred subproblems never grow.
  static constexpr std::size_t smallest = 1024;
  // No guess starts a table larger than this; past it, tables grow.
  static constexpr std::size_t largest_first = std::size_t(1) << 20;
  static constexpr std::size_t pooled_buffers = 16;
  static constexpr std::size_t pooled_bytes = std::size_t(64) << 20;

  // A caller that can tell how many entries its call will make spares the
  // table its growth.
  explicit bdd_memo_table(std::size_t expected_entries = 0) : buffer_(nullptr), count_(0), first_(smallest) {
    while (first_ < 2 * expected_entries && first_ < largest_first) first_ *= 2;
  }
  ~bdd_memo_table() { give_back(buffer_); }
  bdd_memo_table(const bdd_memo_table&) = delete;
  bdd_memo_table& operator=(const bdd_memo_table&) = delete;

  bool find(const key_type& k, std::uint64_t h, value_type& value) const {
    if (buffer_ == nullptr) return false;
    const std::size_t mask = buffer_->slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      const Slot& s = buffer_->slots[i];
      if (s.epoch != buffer_->epoch) return false;
      if (s.key == k) {
        value = s.value;
        return true;
      }
    }
  }

  // Fetches the slot where a key of hash h would be looked up: a walk
  // announces the subproblem it will solve after the one it solves now.
  void prefetch(std::uint64_t h) const {
    if (buffer_ == nullptr) return;
    __builtin_prefetch(&buffer_->slots[h & (buffer_->slots.size() - 1)]);
  }

  void insert(const key_type& k, std::uint64_t h, const value_type& value) {
    if (buffer_ == nullptr) buffer_ = take(first_);
    if ((count_ + 1) * 2 > buffer_->slots.size()) grow();
    place(k, h, value);
  }

  std::size_t entries() const { return count_; }

  // Slots allocated (not taken from the pool) since the program started:
  // what the tables have cost in fresh memory to clear.
  static std::uint64_t slots_allocated() { return allocated(); }

private:
  struct buffer {
    std::vector<Slot> slots;  // a power of two long
    std::uint32_t epoch;
  };

  void place(const key_type& k, std::uint64_t h, const value_type& value) {
    const std::size_t mask = buffer_->slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      Slot& s = buffer_->slots[i];
      if (s.epoch != buffer_->epoch) {
        s.key = k;
        s.value = value;
        s.epoch = buffer_->epoch;
        ++count_;
        return;
      }
      if (s.key == k) {
        s.value = value;
        return;
      }
    }
  }

  static std::uint64_t& allocated() {
    static std::uint64_t slots = 0;
    return slots;
  }

  struct pool_type {
    std::vector<buffer*> buffers;
    std::size_t bytes = 0;
    ~pool_type() {
      for (buffer* b : buffers) delete b;
    }
  };
  static pool_type& pool() {
    static pool_type p;
    return p;
  }
  static std::size_t bytes_of(const buffer* b) { return b->slots.size() * sizeof(Slot); }

  // The smallest pooled buffer of at least `capacity` slots, all empty: a
  // small call stays in a few cache lines.
  static buffer* take(std::size_t capacity) {
    pool_type& p = pool();
    std::vector<buffer*>& free = p.buffers;
    std::size_t best = free.size();
    for (std::size_t i = 0; i < free.size(); ++i)
      if (free[i]->slots.size() >= capacity && (best == free.size() || free[i]->slots.size() < free[best]->slots.size()))
        best = i;
    if (best < free.size()) {
      buffer* b = free[best];
      free[best] = free.back();
      free.pop_back();
      p.bytes -= bytes_of(b);
      if (++b->epoch == 0) {
        for (Slot& s : b->slots) s.epoch = 0;
        b->epoch = 1;
      }
      return b;
    }
    buffer* b = new buffer;
    b->slots.assign(capacity, Slot{});
    b->epoch = 1;
    allocated() += capacity;
    return b;
  }

  // Kept for the next calls while the pool has room; past its count or its
  // bytes the largest buffers go first: the small ones serve the many small
  // calls, and a call that needs a large one again does work in proportion
  // to its size anyway.
  static void give_back(buffer* b) {
    if (b == nullptr) return;
    pool_type& p = pool();
    std::vector<buffer*>& free = p.buffers;
    free.push_back(b);
    p.bytes += bytes_of(b);
    while (free.size() > pooled_buffers || p.bytes > pooled_bytes) {
      std::size_t pick = 0;
      for (std::size_t i = 1; i < free.size(); ++i)
        if (free[i]->slots.size() > free[pick]->slots.size()) pick = i;
      p.bytes -= bytes_of(free[pick]);
      delete free[pick];
      free[pick] = free.back();
      free.pop_back();
    }
  }

  void grow() {
    buffer* old = buffer_;
    buffer_ = take(old->slots.size() * 2);
    count_ = 0;
    for (const Slot& s : old->slots)
      if (s.epoch == old->epoch) place(s.key, Slot::hash(s.key), s.value);
    give_back(old);
  }

  buffer* buffer_;
  std::size_t count_;
  std::size_t first_;  // the slots of the first buffer
};

struct bdd_memo_wide_slot {
  struct pair {
    std::uint64_t a, b;
    bool operator==(const pair& o) const { return a == o.a && b == o.b; }
  };
  static std::uint64_t hash(const pair& k) { return bdd_memo_mix(k.a, k.b); }
  pair key{0, 0};
  std::uint64_t value = 0;
  std::uint32_t epoch = 0;
};

// Two words to one.
class bdd_memo {
public:
  bool find(std::uint64_t a, std::uint64_t b, std::uint64_t& value) const {
    return table_.find({a, b}, bdd_memo_mix(a, b), value);
  }
  void prefetch(std::uint64_t a, std::uint64_t b) const { table_.prefetch(bdd_memo_mix(a, b)); }
  void insert(std::uint64_t a, std::uint64_t b, std::uint64_t value) {
    table_.insert({a, b}, bdd_memo_mix(a, b), value);
  }

private:
  bdd_memo_table<bdd_memo_wide_slot> table_;
};

// Two 32-bit words to one, in 16-byte slots: for walks that name their
// nodes by cell number, half the memory of `bdd_memo`.
struct bdd_memo_narrow_slot {
  static std::uint64_t hash(std::uint64_t k) {
    std::uint64_t h = k * 0x9E3779B97F4A7C15ull;
    h ^= h >> 32;
    h *= 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 29);
  }
  std::uint64_t key = 0;
  std::uint32_t value = 0;
  std::uint32_t epoch = 0;
};

class bdd_memo32 {
public:
  explicit bdd_memo32(std::size_t expected_entries = 0) : table_(expected_entries) {}
  std::size_t entries() const { return table_.entries(); }
  static std::uint64_t key(std::uint32_t a, std::uint32_t b) { return (std::uint64_t(a) << 32) | b; }
  bool find(std::uint32_t a, std::uint32_t b, std::uint32_t& value) const {
    const std::uint64_t k = key(a, b);
    return table_.find(k, bdd_memo_narrow_slot::hash(k), value);
  }
  void prefetch(std::uint32_t a, std::uint32_t b) const { table_.prefetch(bdd_memo_narrow_slot::hash(key(a, b))); }
  void insert(std::uint32_t a, std::uint32_t b, std::uint32_t value) {
    const std::uint64_t k = key(a, b);
    table_.insert(k, bdd_memo_narrow_slot::hash(k), value);
  }

private:
  bdd_memo_table<bdd_memo_narrow_slot> table_;
};

// A set of visited nodes for one walk.
class bdd_visited {
public:
  bdd_visited() : mask_(0), count_(0) {}
  // True when p was not yet in the set (and is now).
  bool insert(const void* p) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    std::uint64_t w = reinterpret_cast<std::uintptr_t>(p);
    for (std::size_t i = bdd_memo_mix(w, 0) & mask_;; i = (i + 1) & mask_) {
      if (slots_[i] == 0) {
        slots_[i] = w;
        ++count_;
        return true;
      }
      if (slots_[i] == w) return false;
    }
  }

  bool contains(const void* p) const {
    if (slots_.empty()) return false;
    std::uint64_t w = reinterpret_cast<std::uintptr_t>(p);
    for (std::size_t i = bdd_memo_mix(w, 0) & mask_;; i = (i + 1) & mask_) {
      if (slots_[i] == 0) return false;
      if (slots_[i] == w) return true;
    }
  }

private:
  void grow() {
    std::vector<std::uint64_t> old;
    old.swap(slots_);
    std::size_t n = old.empty() ? 64 : old.size() * 2;
    slots_.assign(n, 0);
    mask_ = n - 1;
    count_ = 0;
    for (std::uint64_t w : old)
      if (w != 0) insert(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(w)));
  }
  std::vector<std::uint64_t> slots_;
  std::size_t mask_;
  std::size_t count_;
};

#endif
