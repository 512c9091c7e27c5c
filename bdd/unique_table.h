// unique_table: the manager's table of inner and variable nodes.
//
// Keyed on the node's full tuple (variable id, then node, else node,
// else-link), never on the printed 64-bit signature, whose fields overlap
// once node numbers pass 2^20. Open addressing with linear probing. A slot is
// one word: the node's cell number (see `bdd_node_cells`) and the low half
// of the key's hash, which gives the home slot and filters the probes, so a
// probe reads a node only on a probable match; a table of 64k nodes is 1 MB.
// Removal shifts the following entries back (no tombstones); the collector
// takes its few dead nodes out one by one, or stores the survivors of many
// again, and the table keeps its size.
// Iteration in key order is on demand (`nodes_in_key_order`), for the dumps
// that print the table.
#ifndef TESSAN_BDD_UNIQUE_TABLE_H
#define TESSAN_BDD_UNIQUE_TABLE_H

#include <cstdint>
#include <cstring>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/memo.h"

// Node cells by number. Nodes live in chunks aligned on their size, whose
// first cell holds the chunk's number instead of a node (store.cpp): a node's
// number is its chunk's number and its place in the chunk, worked out from
// its address without reading the node. Cell number 0 is no node.
struct bdd_node_cells {
  static constexpr std::uintptr_t chunk_bytes = std::uintptr_t(2) << 20;
  static constexpr unsigned cell_shift = 6;     // a node is 64 bytes
  static constexpr unsigned chunk_shift = 15;   // cells per chunk: 2 MB / 64
  static char* const* chunks;                   // chunk addresses by number
  static std::uint32_t chunk_count;

  static std::uint32_t number(const bdd_node* n) {
    const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(n);
    const std::uintptr_t base = p & ~(chunk_bytes - 1);
    return (*reinterpret_cast<const std::uint32_t*>(base) << chunk_shift) |
           static_cast<std::uint32_t>((p - base) >> cell_shift);
  }
  static bdd_node* node(std::uint32_t k) {
    return reinterpret_cast<bdd_node*>(chunks[k >> chunk_shift] +
                                       (std::uintptr_t(k & ((1u << chunk_shift) - 1)) << cell_shift));
  }
};

class bdd_unique_table {
public:
  bdd_unique_table() : slots_(nullptr), mask_(0), count_(0) {}
  ~bdd_unique_table() { release(slots_, mask_ + 1); }
  bdd_unique_table(const bdd_unique_table&) = delete;
  bdd_unique_table& operator=(const bdd_unique_table&) = delete;

  bdd_node* find(std::int32_t id, int else_link, const bdd_node* t, const bdd_node* e) const {
    if (count_ == 0) return nullptr;
    const std::uint64_t h = hash(id, else_link, t, e);
    const std::uint32_t tag = static_cast<std::uint32_t>(h);
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      const slot s = slots_[i];
      if (s.cell == 0) return nullptr;
      if (s.tag == tag) {
        bdd_node* n = bdd_node_cells::node(s.cell);
        if (same_key(n, id, else_link, t, e)) return n;
      }
    }
  }

  // Stores n under its key, replacing the node already stored there.
  void insert(bdd_node* n) {
    if (slots_ == nullptr || (count_ + 1) * 2 > mask_ + 1) resize(slots_ == nullptr ? 1024 : (mask_ + 1) * 2);
    place(n, hash_of(n));
  }

  // The key's hash of a node in the table, for `erase` after its id changed.
  static std::uint64_t hash_of(const bdd_node* n) {
    return hash(n->id, n->else_link, n->then_node, n->else_node);
  }

  // Erases n's entry, stored under hash h; false when the table holds no
  // entry for n itself. Reads no node, so n may be freed already.
  bool erase(const bdd_node* n, std::uint64_t h) {
    const std::size_t i = slot_of(n, h);
    if (i > mask_) return false;
    erase_at(i);
    return true;
  }

  // Erases the entry under n's key (whichever node it holds); false when none.
  bool erase_key_of(const bdd_node* n) {
    if (count_ == 0) return false;
    const std::uint64_t h = hash_of(n);
    const std::uint32_t tag = static_cast<std::uint32_t>(h);
    std::size_t i = h & mask_;
    for (;; i = (i + 1) & mask_) {
      const slot& s = slots_[i];
      if (s.cell == 0) return false;
      if (s.tag == tag && same_key(bdd_node_cells::node(s.cell), n->id, n->else_link, n->then_node, n->else_node))
        break;
    }
    erase_at(i);
    return true;
  }

  // Fetches the slot where an entry stored under hash h begins its probe.
  void prefetch(std::uint64_t h) const {
    if (slots_ != nullptr) __builtin_prefetch(&slots_[h & mask_], 1);
  }

  // Removes the entries whose cell number dead(number) names, reading no
  // node: the entries left are gathered without a branch per slot (the
  // slots hold entries, holes and dead nodes in no order a predictor could
  // learn), and stored again from their tags into the cleared table.
  template <class Dead>
  void remove_cells(Dead dead) {
    if (slots_ == nullptr) return;
    const std::size_t n = mask_ + 1;
    std::vector<slot> kept(count_ + 1);
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const slot s = slots_[i];
      kept[k] = s;
      k += static_cast<std::size_t>((s.cell != 0) & !dead(s.cell));
    }
    std::memset(slots_, 0, n * sizeof(slot));
    count_ = k;
    for (std::size_t j = 0; j < k; ++j) {
      std::size_t i = kept[j].tag & mask_;
      while (slots_[i].cell != 0) i = (i + 1) & mask_;
      slots_[i] = kept[j];
    }
  }

  std::size_t size() const { return count_; }
  std::size_t capacity() const { return slots_ ? mask_ + 1 : 0; }

  template <class F>
  void for_each(F f) const {
    for (std::size_t i = 0; i <= mask_ && slots_; ++i)
      if (slots_[i].cell != 0) f(bdd_node_cells::node(slots_[i].cell));
  }

  // The same walk, fetching the nodes a few slots ahead: for passes that
  // read every node of a large table.
  template <class F>
  void for_each_ahead(F f) const {
    constexpr std::size_t ahead = 16;
    const std::size_t n = slots_ ? mask_ + 1 : 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (i + ahead < n && slots_[i + ahead].cell != 0) __builtin_prefetch(bdd_node_cells::node(slots_[i + ahead].cell));
      if (slots_[i].cell != 0) f(bdd_node_cells::node(slots_[i].cell));
    }
  }

  std::vector<bdd_node*> nodes_in_key_order() const;

  static bool key_less(const bdd_node* a, const bdd_node* b);

private:
  struct slot {
    std::uint32_t cell;  // 0: empty
    std::uint32_t tag;   // the low half of the key's hash
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

  // The slot holding n itself, stored under hash h, or past the table.
  std::size_t slot_of(const bdd_node* n, std::uint64_t h) const {
    if (count_ == 0) return mask_ + 1;
    const std::uint32_t cell = bdd_node_cells::number(n);
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      const std::uint32_t c = slots_[i].cell;
      if (c == 0) return mask_ + 1;
      if (c == cell) return i;
    }
  }

  // Backward shift: pull later entries of the run into the hole when their
  // home slot does not lie cyclically within (hole, current].
  void erase_at(std::size_t i) {
    std::size_t hole = i;
    for (std::size_t j = (i + 1) & mask_; slots_[j].cell != 0; j = (j + 1) & mask_) {
      const std::size_t home = slots_[j].tag & mask_;
      const bool stays = (hole <= j) ? (hole < home && home <= j) : (hole < home || home <= j);
      if (!stays) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole] = slot{0, 0};
    --count_;
  }

  void place(bdd_node* n, std::uint64_t h) {
    const std::uint32_t tag = static_cast<std::uint32_t>(h);
    for (std::size_t i = h & mask_;; i = (i + 1) & mask_) {
      slot& s = slots_[i];
      if (s.cell == 0) {
        s = slot{bdd_node_cells::number(n), tag};
        ++count_;
        return;
      }
      if (s.tag == tag && same_key(bdd_node_cells::node(s.cell), n->id, n->else_link, n->then_node, n->else_node)) {
        s.cell = bdd_node_cells::number(n);
        return;
      }
    }
  }

  void resize(std::size_t capacity);
  static slot* allocate(std::size_t capacity);
  static void release(slot* slots, std::size_t capacity);

  slot* slots_;
  std::size_t mask_;
  std::size_t count_;
};

#endif
