// unique_table: the manager's table of inner and variable nodes.
//
// Keyed on the node's full tuple (variable id, then node, else node,
// else-link), never on the printed 64-bit signature, whose fields overlap
// once node numbers pass 2^20. Open addressing with linear probing; each slot
// keeps the key's hash beside the node, so a probe reads a node only on a
// probable match. Removal shifts the following entries back (no tombstones),
// and the collector sweeps the slots once and rebuilds a table sized for the
// survivors. Iteration in key order is on demand (`nodes_in_key_order`), for
// the dumps that print the table.
#ifndef TESSAN_BDD_UNIQUE_TABLE_H
#define TESSAN_BDD_UNIQUE_TABLE_H

#include <cstdint>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/memo.h"

class bdd_unique_table {
public:
  bdd_unique_table() : slots_(nullptr), mask_(0), count_(0) {}
  ~bdd_unique_table() { release(slots_, mask_ + 1); }
  bdd_unique_table(const bdd_unique_table&) = delete;
  bdd_unique_table& operator=(const bdd_unique_table&) = delete;

  bdd_node* find(std::int32_t id, int else_link, const bdd_node* t, const bdd_node* e) const {
    if (count_ == 0) return nullptr;
    const std::uint64_t h = hash(id, else_link, t, e);
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      const slot& s = slots_[i];
      if (s.node == nullptr) return nullptr;
      if (s.hash == h && same_key(s.node, id, else_link, t, e)) return s.node;
    }
  }

  // Stores n under its key, replacing the node already stored there.
  void insert(bdd_node* n) {
    if (slots_ == nullptr || (count_ + 1) * 2 > mask_ + 1) resize(slots_ == nullptr ? 1024 : (mask_ + 1) * 2);
    place(n, hash_of(n));
  }

  // Erases the entry under n's key (whichever node it holds); false when none.
  bool erase_key_of(const bdd_node* n) {
    if (count_ == 0) return false;
    const std::uint64_t h = hash_of(n);
    std::size_t i = h & mask_;
    for (;; i = (i + 1) & mask_) {
      const slot& s = slots_[i];
      if (s.node == nullptr) return false;
      if (s.hash == h && same_key(s.node, n->id, n->else_link, n->then_node, n->else_node)) break;
    }
    // Backward shift: pull later entries of the run into the hole when their
    // home slot does not lie cyclically within (hole, current].
    std::size_t hole = i;
    for (std::size_t j = (i + 1) & mask_; slots_[j].node != nullptr; j = (j + 1) & mask_) {
      const std::size_t home = slots_[j].hash & mask_;
      const bool stays = (hole <= j) ? (hole < home && home <= j) : (hole < home || home <= j);
      if (!stays) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole] = slot{nullptr, 0};
    --count_;
    return true;
  }

  // Keeps the nodes for which keep(node) is true, in a table sized for them
  // (the same array when the size stays, so no fresh pages are touched).
  template <class Keep>
  void retain(Keep keep) {
    std::vector<slot> survivors;
    constexpr std::size_t ahead = 16;
    const std::size_t n = slots_ ? mask_ + 1 : 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (i + ahead < n && slots_[i + ahead].node != nullptr) __builtin_prefetch(slots_[i + ahead].node);
      if (slots_[i].node != nullptr && keep(slots_[i].node)) survivors.push_back(slots_[i]);
    }
    std::size_t capacity = 1024;
    while (capacity < survivors.size() * 2) capacity *= 2;
    if (slots_ != nullptr && capacity * 16 > mask_ + 1) capacity = mask_ + 1;
    if (slots_ == nullptr || capacity != mask_ + 1) {
      release(slots_, mask_ + 1);
      slots_ = allocate(capacity);
      mask_ = capacity - 1;
    } else {
      clear();
    }
    count_ = 0;
    for (const slot& s : survivors) place(s.node, s.hash);
  }

  std::size_t size() const { return count_; }

  template <class F>
  void for_each(F f) const {
    for (std::size_t i = 0; i <= mask_ && slots_; ++i)
      if (slots_[i].node != nullptr) f(slots_[i].node);
  }

  // The same walk, fetching the nodes a few slots ahead: for passes that
  // read every node of a large table.
  template <class F>
  void for_each_ahead(F f) const {
    constexpr std::size_t ahead = 16;
    const std::size_t n = slots_ ? mask_ + 1 : 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (i + ahead < n && slots_[i + ahead].node != nullptr) __builtin_prefetch(slots_[i + ahead].node);
      if (slots_[i].node != nullptr) f(slots_[i].node);
    }
  }

  std::vector<bdd_node*> nodes_in_key_order() const;

  static bool key_less(const bdd_node* a, const bdd_node* b);

private:
  struct slot {
    bdd_node* node;
    std::uint64_t hash;
  };

  static bool same_key(const bdd_node* n, std::int32_t id, int else_link, const bdd_node* t,
                       const bdd_node* e) {
    return n->id == id && n->then_node == t && n->else_node == e && n->else_link == else_link;
  }
  static std::uint64_t hash(std::int32_t id, int else_link, const bdd_node* t, const bdd_node* e) {
    const std::uint64_t a = reinterpret_cast<std::uintptr_t>(t) ^
                            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(id)) << 1) ^
                            (else_link < 0 ? 1u : 0u);
    return bdd_memo_mix(a, reinterpret_cast<std::uintptr_t>(e));
  }
  static std::uint64_t hash_of(const bdd_node* n) {
    return hash(n->id, n->else_link, n->then_node, n->else_node);
  }

  void place(bdd_node* n, std::uint64_t h) {
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      slot& s = slots_[i];
      if (s.node == nullptr) {
        s.node = n;
        s.hash = h;
        ++count_;
        return;
      }
      if (s.hash == h && same_key(s.node, n->id, n->else_link, n->then_node, n->else_node)) {
        s.node = n;
        return;
      }
    }
  }

  void resize(std::size_t capacity);
  void clear();
  static slot* allocate(std::size_t capacity);
  static void release(slot* slots, std::size_t capacity);

  slot* slots_;
  std::size_t mask_;
  std::size_t count_;
};

#endif
