// unique_table: the manager's table of inner and variable nodes.
//
// Keyed on the node's full tuple (variable id, then node, else node,
// else-link), never on the printed 64-bit signature, whose fields overlap
// once node numbers pass 2^20. Open addressing with linear probing; removal
// shifts the following entries back, so no tombstones build up across
// collections. Iteration in key order is on demand (`nodes_in_key_order`),
// for the dumps that print the table.
#ifndef TESSAN_BDD_UNIQUE_TABLE_H
#define TESSAN_BDD_UNIQUE_TABLE_H

#include <cstdint>
#include <vector>

#include "bdd/bddpp.h"

class bdd_unique_table {
public:
  bdd_unique_table() : mask_(0), count_(0) {}

  bdd_node* find(std::int32_t id, int else_link, const bdd_node* t, const bdd_node* e) const {
    if (count_ == 0) return nullptr;
    std::uint64_t h = hash(id, else_link, t, e);
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      const slot& s = slots_[i];
      if (s.node == nullptr) return nullptr;
      if (s.hash == h && same_key(s.node, id, else_link, t, e)) return s.node;
    }
  }

  // Stores n under its key, replacing the node already stored there.
  void insert(bdd_node* n) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    place(n);
  }

  // Erases the entry under n's key (whichever node it holds); false when none.
  bool erase_key_of(const bdd_node* n) {
    if (count_ == 0) return false;
    std::uint64_t h = hash_of(n);
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
      std::size_t home = slots_[j].hash & mask_;
      bool stays = (hole <= j) ? (hole < home && home <= j) : (hole < home || home <= j);
      if (!stays) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole] = slot{nullptr, 0};
    --count_;
    return true;
  }

  std::size_t size() const { return count_; }

  template <class F>
  void for_each(F f) const {
    for (const slot& s : slots_)
      if (s.node != nullptr) f(s.node);
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
    std::uint64_t a = reinterpret_cast<std::uintptr_t>(t) ^
                      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(id)) << 1) ^
                      (else_link < 0 ? 1u : 0u);
    std::uint64_t b = reinterpret_cast<std::uintptr_t>(e);
    std::uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
    return h ^ (h >> 31);
  }
  static std::uint64_t hash_of(const bdd_node* n) {
    return hash(n->id, n->else_link, n->then_node, n->else_node);
  }

  void place(bdd_node* n) {
    std::uint64_t h = hash_of(n);
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

  void grow() {
    std::vector<slot> old;
    old.swap(slots_);
    std::size_t n = old.empty() ? 1024 : old.size() * 2;
    slots_.assign(n, slot{nullptr, 0});
    mask_ = n - 1;
    count_ = 0;
    for (const slot& s : old)
      if (s.node != nullptr) place(s.node);
  }

  std::vector<slot> slots_;
  std::size_t mask_;
  std::size_t count_;
};

#endif
