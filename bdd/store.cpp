// The store: supports, nodes, handles, the manager's variable table and its
// unique table, the collector. Dumps and statistics are in dumps.cpp.
#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <type_traits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <iostream>

#include "bdd/bddpp.h"
#include "bdd/fatal.h"
#include "bdd/memo.h"
#include "bdd/unique_table.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSAN_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TESSAN_ASAN 1
#endif
#ifdef TESSAN_ASAN
#include <sanitizer/asan_interface.h>
#define TESSAN_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define TESSAN_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define TESSAN_POISON(p, n) ((void)0)
#define TESSAN_UNPOISON(p, n) ((void)0)
#endif

String Bdd_version() { return "4.9"; }

// ---- bdd_id_set -------------------------------------------------------------

// Sets holding an id past 62 live in blocks shared between the nodes that
// have the same support: a block is immutable once built and keeps its
// length and its owner count in the two words before its first id word.
// Nodes of one level of a diagram mostly have children with the same blocks,
// so a small cache of recent unions makes them share their own block too:
// with thousands of variables a node then costs no allocation and no copy of
// its support.
namespace {

std::uint64_t* new_block(std::uint32_t n) {
  std::uint64_t* b = new std::uint64_t[n + 2]();
  b[0] = n;
  b[1] = 1;
  return b + 2;
}
void retain_block(std::uint64_t* w) { ++w[-1]; }
void drop_block(std::uint64_t* w) {
  if (--w[-1] == 0) delete[] (w - 2);
}

}  // namespace

bdd_id_set::bdd_id_set(const bdd_id_set& other) : rep(0) { *this = other; }

bdd_id_set& bdd_id_set::operator=(const bdd_id_set& other) {
  if (this == &other) return *this;
  other.resolve();
  if (other.holds_block()) retain_block(other.block());
  if (holds_block()) drop_block(block());
  rep = other.rep;
  return *this;
}

bdd_id_set::~bdd_id_set() {
  if (holds_block()) drop_block(block());
}

// Recent unions of large sets, by their operands and the node's id. Equal
// words mean equal sets: a block's address is its own while the cache holds
// it.
struct bdd_id_set::union_cache {
  bool find(const bdd_id_set& a, const bdd_id_set& b, std::int32_t id, bdd_id_set& out) const {
    const entry& e = entries_[index(a, b, id)];
    if (e.id != id || e.a.rep != a.rep || e.b.rep != b.rep) return false;
    out = e.result;
    return true;
  }
  void store(const bdd_id_set& a, const bdd_id_set& b, std::int32_t id, const bdd_id_set& result) {
    entry& e = entries_[index(a, b, id)];
    e.a = a;
    e.b = b;
    e.id = id;
    e.result = result;
  }

private:
  struct entry {
    bdd_id_set a, b, result;
    std::int32_t id = -1;
  };
  static constexpr std::size_t size = 4096;
  static std::size_t index(const bdd_id_set& a, const bdd_id_set& b, std::int32_t id) {
    return bdd_memo_mix(a.rep, b.rep ^ static_cast<std::uint32_t>(id)) & (size - 1);
  }
  entry entries_[size];
};

bdd_id_set bdd_id_set::node_union(const bdd_id_set& a, const bdd_id_set& b, std::int32_t id) {
  static union_cache cache;
  a.resolve();
  b.resolve();
  bdd_id_set r;
  const std::uint32_t own = static_cast<std::uint32_t>(id) / 64;
  const std::uint32_t n = std::max({a.word_count(), b.word_count(), own + 1});
  const std::uint64_t bit = std::uint64_t(1) << (static_cast<std::uint32_t>(id) % 64);
  if (n == 1) {
    const std::uint64_t w = a.word(0) | b.word(0) | bit;
    if ((w >> 63) == 0) {
      r.rep = (w << 1) | 1u;
      return r;
    }
  }
  if (cache.find(a, b, id, r)) return r;
  std::uint64_t* out = new_block(n);
  r.rep = reinterpret_cast<std::uintptr_t>(out);
  for (std::uint32_t i = 0; i < n; ++i) out[i] = a.word(i) | b.word(i);
  out[own] |= bit;
  cache.store(a, b, id, r);
  return r;
}

bool bdd_id_set::contains(std::int32_t id) const {
  resolve();
  if (id < 0) return false;
  std::uint32_t w = static_cast<std::uint32_t>(id) / 64;
  return (word(w) >> (static_cast<std::uint32_t>(id) % 64)) & 1u;
}

bool bdd_id_set::empty() const {
  resolve();
  const std::uint32_t n = word_count();
  for (std::uint32_t i = 0; i < n; ++i)
    if (word(i) != 0) return false;
  return true;
}

std::int32_t bdd_id_set::size() const {
  resolve();
  std::int32_t n = 0;
  const std::uint32_t words = word_count();
  for (std::uint32_t i = 0; i < words; ++i) n += __builtin_popcountll(word(i));
  return n;
}

bool bdd_id_set::intersects(const bdd_id_set& other) const {
  resolve();
  other.resolve();
  std::uint32_t n = std::min(word_count(), other.word_count());
  for (std::uint32_t i = 0; i < n; ++i)
    if (word(i) & other.word(i)) return true;
  return false;
}

std::set<std::int32_t> bdd_id_set::to_set() const {
  std::set<std::int32_t> r;
  for (std::int32_t id : *this) r.insert(r.end(), id);
  return r;
}

std::int32_t bdd_id_set::next_from(std::int32_t id) const {
  resolve();
  if (id < 0) return -1;
  std::uint32_t w = static_cast<std::uint32_t>(id) / 64;
  const std::uint32_t nwords = word_count();
  if (w >= nwords) return -1;
  std::uint64_t bits = word(w) & (~std::uint64_t(0) << (static_cast<std::uint32_t>(id) % 64));
  while (true) {
    if (bits != 0) return static_cast<std::int32_t>(w * 64 + __builtin_ctzll(bits));
    if (++w >= nwords) return -1;
    bits = word(w);
  }
}

// Children first, without recursion: a chain of nodes is as deep as the
// number of variables. A child's support, once worked out, stays with it.
void bdd_id_set::resolve_node_support() const {
  static_assert(std::is_standard_layout<bdd_node>::value, "the support is found inside its node");
  const char* self = reinterpret_cast<const char*>(this);
  bdd_node* top = reinterpret_cast<bdd_node*>(const_cast<char*>(self - offsetof(bdd_node, support)));
  static const bdd_id_set none;
  auto unresolved = [](const bdd_node* c) { return c != nullptr && c->support.rep == pending; };
  std::vector<bdd_node*> todo{top};
  while (!todo.empty()) {
    bdd_node* n = todo.back();
    if (n->support.rep != pending) {
      todo.pop_back();
      continue;
    }
    const bool then_waits = unresolved(n->then_node), else_waits = unresolved(n->else_node);
    if (then_waits) todo.push_back(n->then_node);
    if (else_waits) todo.push_back(n->else_node);
    if (then_waits || else_waits) continue;
    bdd_id_set s = node_union(n->then_node ? n->then_node->support : none,
                              n->else_node ? n->else_node->support : none, n->id);
    n->support.rep = 0;
    n->support = s;
    todo.pop_back();
  }
}

bdd_id_set::const_iterator bdd_id_set::begin() const { return const_iterator(this, next_from(0)); }

bdd_id_set::const_iterator& bdd_id_set::const_iterator::operator++() {
  id_ = set_->next_from(id_ + 1);
  return *this;
}

// ---- Nodes ------------------------------------------------------------------

namespace {
void drop_reference(bdd_node* n) {
  if (n == nullptr) return;
  n->refs -= 1;
  if (n->refs < 1 && n->manager != nullptr) n->manager->note_unused(n);
}
}  // namespace

std::int64_t bdd_node_signature(std::int32_t id, int link, bdd_node* then_node, bdd_node* else_node) {
  if (id == -1 || id == -3) return id;
  const bdd_gid tg = then_node ? then_node->gid : 0;
  const bdd_gid eg = else_node ? else_node->gid : 0;
  if (tg < 0) {
    std::cerr << "ERROR in bdd_node_signature(): then node have a bad global id!" << std::endl;
    bdd_fatal_exit();
  }
  if (eg < 0) {
    std::cerr << "ERROR in bdd_node_signature(): else node have a bad global id!" << std::endl;
    bdd_fatal_exit();
  }
  // Unsigned arithmetic: the fields overlap past their widths, which is why
  // this key is only printed and never used for lookups.
  std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(id) & 0x7FFFFFu) << 41) |
                      (static_cast<std::uint64_t>(tg) << 21) | (static_cast<std::uint64_t>(eg) << 1) |
                      (link == 1 ? 1u : 0u);
  return static_cast<std::int64_t>(key);
}

// Nodes are many, small and of one size: they come from chunks of tens of
// thousands, packed without a per-node header, and go back to a free list.
// When the last node of the process is freed the chunks are returned too.
// Under the address sanitizer a free cell is poisoned, so a use after free is
// still reported.
namespace {

class node_allocator {
public:
  ~node_allocator() { release_chunks(); }

  void* take() {
    void* p;
    if (!free_.empty()) {
      p = free_.back();
      free_.pop_back();
      unpoison(p);
      // Free cells lie in the order nodes died, scattered over the chunks:
      // fetching the next ones now hides their misses behind this node's
      // construction.
      if (free_.size() >= ahead) __builtin_prefetch(free_[free_.size() - ahead], 1);
    } else {
      if (left_ == 0) {
        // The first cell holds the chunk's number (see bdd_node_cells).
        char* chunk = new_chunk();
        *reinterpret_cast<std::uint32_t*>(chunk) = static_cast<std::uint32_t>(chunks_.size());
        chunks_.push_back(chunk);
        bdd_node_cells::chunks = chunks_.data();
        bdd_node_cells::chunk_count = static_cast<std::uint32_t>(chunks_.size());
        bump_ = chunk + sizeof(bdd_node);
        left_ = cells_per_chunk - 1;
      }
      p = bump_;
      bump_ += sizeof(bdd_node);
      --left_;
    }
    ++live_;
    return p;
  }

  // The free cells are kept apart from the cells themselves: freeing a
  // node writes nothing into it, so the collector frees without fetching.
  void give(void* p) {
    free_.push_back(p);
    poison(p);
    if (--live_ == 0) release_chunks();
  }

private:
  static constexpr std::size_t ahead = 4;
  // A chunk is one huge page where the system grants them: nodes are read
  // in no particular order, and with small pages most reads of a large
  // diagram would also miss the address-translation cache. Every node lies
  // on a cache line of its own.
  static constexpr std::size_t chunk_bytes = bdd_node_cells::chunk_bytes;
  static constexpr std::size_t cells_per_chunk = chunk_bytes / sizeof(bdd_node);
  static_assert(sizeof(bdd_node) == 64, "a node is one cache line");
  static_assert(sizeof(bdd_node) == std::size_t(1) << bdd_node_cells::cell_shift, "cell numbers");
  static_assert(cells_per_chunk == std::size_t(1) << bdd_node_cells::chunk_shift, "cell numbers");

  char* new_chunk() const {
    void* p = nullptr;
    // A cell number and a link bit fit 32 bits (the last number marks table
    // slots): 128 GB of nodes.
    if (chunks_.size() + 1 >= (std::size_t(1) << (31 - bdd_node_cells::chunk_shift)) ||
        posix_memalign(&p, chunk_bytes, chunk_bytes) != 0 || p == nullptr) {
      std::cerr << "ERROR: no memory left for BDD nodes" << std::endl;
      bdd_fatal_exit();
    }
    madvise(p, chunk_bytes, MADV_HUGEPAGE);
    return static_cast<char*>(p);
  }

  void release_chunks() {
    for (char* chunk : chunks_) {
      unpoison_range(chunk, cells_per_chunk * sizeof(bdd_node));
      std::free(chunk);
    }
    chunks_.clear();
    bdd_node_cells::chunk_count = 0;
    free_.clear();
    free_.shrink_to_fit();
    bump_ = nullptr;
    left_ = 0;
  }

  static void poison(void* p) {
    TESSAN_POISON(p, sizeof(bdd_node));
    (void)p;
  }
  static void unpoison(void* p) { unpoison_range(p, sizeof(bdd_node)); }
  static void unpoison_range(void* p, std::size_t n) {
    TESSAN_UNPOISON(p, n);
    (void)p;
    (void)n;
  }

  std::vector<char*> chunks_;
  std::vector<void*> free_;
  char* bump_ = nullptr;
  std::size_t left_ = 0;
  std::size_t live_ = 0;
};

node_allocator& nodes() {
  static node_allocator allocator;
  return allocator;
}

}  // namespace

char* const* bdd_node_cells::chunks = nullptr;
std::uint32_t bdd_node_cells::chunk_count = 0;

void* bdd_node::operator new(std::size_t size) {
  if (size != sizeof(bdd_node)) return ::operator new(size);
  return nodes().take();
}

void bdd_node::operator delete(void* p, std::size_t size) {
  if (p == nullptr) return;
  if (size != sizeof(bdd_node)) {
    ::operator delete(p);
    return;
  }
  nodes().give(p);
}

bdd_node::bdd_node()
    : manager(nullptr), signature(-3), id(-3), else_link(1), mark(0), then_node(nullptr), else_node(nullptr),
      refs(0), traversal_number(0), gid(0) {}

bdd_node::bdd_node(bddpp_manager* m, bdd_gid gid_, std::int32_t id_, int refs_, int else_link_, bdd_node* then_,
                   bdd_node* else_)
    : manager(m), signature(0), id(id_), else_link(static_cast<std::int16_t>(else_link_)), mark(0),
      then_node(then_), else_node(else_), refs(refs_), traversal_number(0), gid(gid_) {
  if (id >= 0) {
    support.rep = bdd_id_set::pending;
    signature = bdd_node_signature(id, else_link, then_node, else_node);
    if (manager != nullptr) {
      manager->Map_integrate(this);
      if (refs < 1) manager->note_unused(this);  // until its caller takes it
    }
  } else if (id == -1) {
    signature = -1;
  }
}

bdd_node::~bdd_node() {
  if (id >= 0) {
    drop_reference(then_node);
    drop_reference(else_node);
  }
}

bool bdd_node::operator==(const bdd_node& o) const {
  return id == o.id && else_link == o.else_link && then_node == o.then_node && else_node == o.else_node;
}

int bdd_node::is_correct() {
  if (manager == nullptr) return 0;
  if (id < 0 || id >= manager->var_count) return id == -1 ? 1 : 0;
  // Each node is checked once: the walk below is over the diagram's DAG.
  bdd_visited seen;
  std::vector<bdd_node*> todo{this};
  seen.insert(this);
  while (!todo.empty()) {
    bdd_node* n = todo.back();
    todo.pop_back();
    if (n->manager == nullptr) return 0;
    if (n->id < 0 || n->id >= n->manager->var_count) {
      if (n->id != -1) return 0;
      continue;
    }
    if (n->then_node == nullptr || n->else_node == nullptr) return 0;
    if (n->then_node == n || n->else_node == n) return 0;
    if (n->signature < 0) return 0;
    std::int32_t p = n->manager->position_of(n);
    for (bdd_node* c : {n->then_node, n->else_node}) {
      if (c->id != -1) {
        if (c->manager == nullptr || c->id < 0 || c->id >= c->manager->var_count) return 0;
        if (c->manager->position_of(c) <= p) return 0;
      }
      if (seen.insert(c)) todo.push_back(c);
    }
  }
  return 1;
}

// ---- Handles ----------------------------------------------------------------

bdd::bdd(bddpp_manager* m, int l, bdd_node* n) : manager_ptr(m), link(l), node_ptr(n) {
  if (node_ptr) node_ptr->refs += 1;
}

bdd::bdd(const bdd& o) : manager_ptr(o.manager_ptr), link(o.link), node_ptr(o.node_ptr) {
  if (node_ptr) node_ptr->refs += 1;
}

bdd& bdd::operator=(const bdd& o) {
  manager_ptr = o.manager_ptr;
  link = o.link;
  if (node_ptr != o.node_ptr) {
    drop_reference(node_ptr);
    node_ptr = o.node_ptr;
    if (node_ptr) node_ptr->refs += 1;
  }
  return *this;
}

bdd::~bdd() { drop_reference(node_ptr); }

std::ostream& operator<<(std::ostream& os, const bdd& f) {
  os << "adr manager= " << static_cast<const void*>(f.manager_ref()) << ", link type =" << f.link_type()
     << ", adr node= " << static_cast<const void*>(f.node()) << ", ";
  if (f.node()) os << "node signature: " << f.node()->signature;
  return os;
}

// ---- Manager: construction --------------------------------------------------

bddpp_manager::bddpp_manager()
    : var_count(0), capacity(16), next_gid(2), names(16), var_nodes(16, nullptr), index_of_id(16, 0),
      id_of_index(16, 0), assoc(16, bdd_assoc_entry{nullptr, 1}), unique_table(new bdd_unique_table),
      gc_calls(0), one(new bdd_node(this, 1, -1, 1, 1, nullptr, nullptr)) {}

bddpp_manager::bddpp_manager(bddpp_manager* other)
    : var_count(other->var_count), capacity(other->capacity), next_gid(2), names(other->capacity),
      var_nodes(other->capacity, nullptr), index_of_id(other->capacity, 0),
      id_of_index(other->capacity, 0), assoc(other->capacity, bdd_assoc_entry{nullptr, 1}),
      unique_table(new bdd_unique_table), name_map(other->name_map), gc_calls(0),
      one(new bdd_node(this, 1, -1, 1, 1, nullptr, nullptr)) {
  for (std::int32_t id = 0; id < var_count; ++id) {
    names[id] = other->names[id];
    bdd_node* v = new bdd_node(this, next_gid, id, 0, -1, one, one);
    next_gid += 1;
    var_nodes[id] = v;
    index_of_id[id] = other->index_of_id[id];
    id_of_index[id] = other->id_of_index[id];
    assoc[id] = bdd_assoc_entry{v, 1};
  }
}

bddpp_manager::~bddpp_manager() {
  // A child may be freed before its parent (a variable declared before an
  // existing one lands anywhere in the table's order), so no node touches
  // its children's counts here: each is unlinked before it is deleted.
  if (unique_table) {
    unique_table->for_each_ahead([](bdd_node* n) {
      n->then_node = nullptr;
      n->else_node = nullptr;
      delete n;
    });
    delete unique_table;
    unique_table = nullptr;
  }
  delete one;
}

// ---- Manager: constants and declarations ------------------------------------

bdd_node* bddpp_manager::Bdd_node_one() { return one; }
bdd bddpp_manager::Bdd_one() { return bdd(this, 1, one); }
bdd bddpp_manager::Bdd_zero() { return bdd(this, -1, one); }

void bddpp_manager::grow_tables() {
  capacity *= 2;
  names.resize(capacity);
  var_nodes.resize(capacity, nullptr);
  index_of_id.resize(capacity, 0);
  id_of_index.resize(capacity, 0);
  assoc.resize(capacity, bdd_assoc_entry{nullptr, 1});
}

// position -1 declares at the bottom of the order.
bdd_node* bddpp_manager::declare_variable(std::int32_t position, const String& name) {
  if (var_count >= capacity) grow_tables();
  auto known = name_map.find(name);
  if (known != name_map.end()) return var_nodes[known->second];
  std::int32_t id = var_count;
  names[id] = name;
  name_map[name] = id;
  bdd_node* v = new bdd_node(this, next_gid, id, 0, -1, one, one);
  var_nodes[id] = v;
  next_gid += 1;
  if (position < 0) {
    index_of_id[id] = id_of_index[id] = id;
  } else {
    for (std::int32_t p = position; p < var_count; ++p) index_of_id[id_of_index[p]] += 1;
    index_of_id[id] = position;
    for (std::int32_t p = var_count - 1; p >= position; --p) id_of_index[p + 1] = id_of_index[p];
    id_of_index[position] = id;
  }
  assoc[id] = bdd_assoc_entry{v, 1};
  var_count += 1;
  return v;
}

bdd_node* bddpp_manager::New_node_var_last(const String& name) { return declare_variable(-1, name); }

bdd bddpp_manager::New_var_last(const String& name) { return bdd(this, 1, New_node_var_last(name)); }

bdd_node* bddpp_manager::New_node_var_before(std::int32_t i, const String& name) {
  if (i < 0 || i >= var_count) {
    std::cerr << "Error in new_node_var_before(): abnormal index ..." << std::endl;
    return nullptr;
  }
  return declare_variable(i, name);
}

bdd bddpp_manager::New_var_before(std::int32_t i, const String& name) {
  return bdd(this, 1, New_node_var_before(i, name));
}

bdd bddpp_manager::New_var_before(bdd v, const String& name) {
  return New_var_before(Bdd_if_index(v), name);
}

bdd_node* bddpp_manager::New_node_var_after(std::int32_t i, const String& name) {
  if (i == var_count - 1) return New_node_var_last(name);
  if (i >= var_count) {
    std::cerr << "Error in new_node_var_after(): abnormal id ..." << std::endl;
    return nullptr;
  }
  return New_node_var_before(i + 1, name);
}

bdd bddpp_manager::New_var_after(std::int32_t i, const String& name) {
  return bdd(this, 1, New_node_var_after(i, name));
}

bdd bddpp_manager::New_var_after(bdd v, const String& name) {
  return New_var_after(Bdd_if_index(v), name);
}

// ---- Manager: lookups -------------------------------------------------------

bdd bddpp_manager::Bdd_var_by_id(std::int32_t id) {
  if (id < 0 || id >= var_count) {
    std::cerr << "calling bddpp_manager::Bdd_var_by_id() with id= " << id << " :out of range!" << std::endl;
    return Bdd_zero();
  }
  return bdd(this, 1, var_nodes[id]);
}

bdd bddpp_manager::Bdd_var_by_index(std::int32_t i) {
  if (i == -1) return Bdd_one();
  if (i < 0 || i >= var_count) {
    std::cerr << "calling bddpp_manager::Bdd_var_by_index() with index= " << i << " :out of range!"
              << std::endl;
    return bdd();
  }
  return bdd(this, 1, var_nodes[id_of_index[i]]);
}

bdd bddpp_manager::Bdd_var_by_name(const String& name) {
  auto it = name_map.find(name);
  if (it == name_map.end()) return Bdd_zero();
  return Bdd_var_by_id(it->second);
}

std::int32_t bddpp_manager::Id_var_by_name(const String& name) {
  auto it = name_map.find(name);
  return it == name_map.end() ? -1 : it->second;
}

std::int32_t bddpp_manager::Index_var_by_name(const String& name) {
  auto it = name_map.find(name);
  return it == name_map.end() ? -1 : index_of_id[it->second];
}

std::int32_t bddpp_manager::Bdd_if_id(const bdd& f) {
  if (f.manager_ref() != this || f.node() == nullptr) {
    std::cerr << "Error in bddpp_manager::Bdd_if_id(): bad Bdd manager or bdd not initialized!" << std::endl;
    return -3;
  }
  return f.node()->id == -1 ? -1 : f.node()->id;
}

std::int32_t bddpp_manager::Id_var_by_bdd(const bdd& f) { return Bdd_if_id(f); }

std::int32_t bddpp_manager::Bdd_if_index(const bdd& f) {
  if (f.manager_ref() != this || f.node() == nullptr) {
    std::cerr << "Error in bddpp_manager::Bdd_if_index(): bad Bdd manager or bdd not initialized!"
              << std::endl;
    return -3;
  }
  return position_of(f.node());
}

std::int32_t bddpp_manager::Index_var_by_bdd(const bdd& f) { return Bdd_if_index(f); }

// Out of range, the name lookups and renamings write one line and go on
// with an empty name (or change nothing) instead of reading past the tables.
namespace {
bool in_range(std::int32_t k, std::int32_t count, const char* what, const char* label) {
  if (k >= 0 && k < count) return true;
  std::cerr << "calling bddpp_manager::" << what << "() with " << label << "= " << k << " :out of range!"
            << std::endl;
  return false;
}
}  // namespace

String bddpp_manager::Name_var_by_id(std::int32_t id) {
  return in_range(id, var_count, "Name_var_by_id", "id") ? names[id] : String();
}

String bddpp_manager::Name_var_by_index(std::int32_t i) {
  return in_range(i, var_count, "Name_var_by_index", "index") ? names[id_of_index[i]] : String();
}

String bddpp_manager::Name_var_by_bdd(const bdd& f) {
  bdd_node* n = f.node();
  if (n != nullptr && n->manager == this) {
    if (n->id == -1) return f.link_type() == 1 ? "1" : "0";
    if (n->id >= 0 && n->id < var_count) return names[n->id];
  }
  std::cerr << "error in bddpp_manager::Name_var_by_bdd()" << std::endl;
  std::cerr << "bdd defined by: " << f << ", is not correct ..." << std::endl;
  std::cerr << "(typebdd = " << (n ? n->id : -3) << ")" << std::endl;
  bdd_fatal_exit();
  return String();
}

// ---- Manager: names ---------------------------------------------------------

void bddpp_manager::Rename_var(const String& new_name, const String& old_name) {
  for (std::int32_t id = 0; id < var_count; ++id)
    if (names[id] == new_name) {
      std::cerr << "in bdd_manager::Rename_var(): WARNING " << new_name << " ALREADY DEFINED !" << std::endl;
      std::cerr << "renaming process aborted ..." << std::endl;
      return;
    }
  for (std::int32_t id = 0; id < var_count; ++id)
    if (names[id] == old_name) {
      names[id] = new_name;
      return;
    }
  std::cerr << "in bdd_manager::Rename_var(): WARNING " << old_name << " NOT FOUND !" << std::endl;
  std::cerr << "renaming process aborted ..." << std::endl;
}

void bddpp_manager::Change_name_by_id(std::int32_t id, const String& name) {
  if (in_range(id, var_count, "Change_name_by_id", "id")) names[id] = name;
}

void bddpp_manager::Change_name_by_index(std::int32_t i, const String& name) {
  if (in_range(i, var_count, "Change_name_by_index", "index")) names[id_of_index[i]] = name;
}

void bddpp_manager::Replace_char_in_all_names(char c1, char c2) {
  for (String& s : names)
    if (!s.empty()) s = substitute_char(s, c1, c2);
}

void bddpp_manager::No_begin_underscore_name() {
  for (String& s : names)
    if (!s.empty() && my_before(s, 1) == "_") s = "v" + s;
}

// ---- Manager: marks, numbering, sizes ---------------------------------------

void bddpp_manager::Bdd_clear_marks(bdd_node* n) {
  if (n == nullptr) return;
  bdd_visited seen;
  std::vector<bdd_node*> todo{n};
  seen.insert(n);
  while (!todo.empty()) {
    bdd_node* m = todo.back();
    todo.pop_back();
    m->mark = 0;
    if (m->manager == nullptr || m->id < 0) continue;
    std::int32_t p = m->manager->position_of(m);
    if (p < 0 || p >= m->manager->var_count) continue;
    for (bdd_node* c : {m->then_node, m->else_node})
      if (c != nullptr && seen.insert(c)) todo.push_back(c);
  }
}

void bddpp_manager::Bdd_clear_marks(const bdd& f) { Bdd_clear_marks(f.node()); }

void bddpp_manager::Bdd_global_clear_marks() {
  if (unique_table == nullptr) return;
  one->mark = 0;
  unique_table->for_each([](bdd_node* n) { n->mark = 0; });
}

std::int32_t bddpp_manager::Bdd_incremental_id(bdd_node* n, std::int32_t k) {
  if (n == nullptr) {
    std::cerr << "Warning: call bddpp_manager::Bdd_incremental_id() with null reference!" << std::endl;
    return k;
  }
  if (n->mark) return k;
  n->mark = 1;
  n->traversal_number = k;
  if (n->id == -1) return k + 1;
  std::int32_t next = Bdd_incremental_id(n->then_node, k + 1);
  return Bdd_incremental_id(n->else_node, next);
}

std::int32_t bddpp_manager::Bdd_node_size(bdd_node* n) {
  Bdd_clear_marks(n);
  return Bdd_incremental_id(n, 0);
}

std::int32_t bddpp_manager::Bdd_size(const bdd& f) { return Bdd_node_size(f.node()); }

bdd_gid bddpp_manager::Bdd_total_size() { return next_gid; }

// ---- Manager: unique table and collector ------------------------------------

void bddpp_manager::Map_integrate(bdd_node* n) {
  if (unique_table == nullptr) return;
  unique_table->insert(n);
}

void bddpp_manager::Map_suppress(bdd_node* n) {
  if (unique_table == nullptr) {
    std::cerr << "warning! map does not exist !!!" << std::endl;
    return;
  }
  unique_table->erase_key_of(n);
}

bool bdd_unique_table::key_less(const bdd_node* a, const bdd_node* b) {
  if (a->id != b->id) return a->id < b->id;
  if (a->then_node->gid != b->then_node->gid) return a->then_node->gid < b->then_node->gid;
  if (a->else_node->gid != b->else_node->gid) return a->else_node->gid < b->else_node->gid;
  return (a->else_link == 1 ? 1 : 0) < (b->else_link == 1 ? 1 : 0);
}

std::vector<bdd_node*> bdd_unique_table::nodes_in_key_order() const {
  std::vector<bdd_node*> r;
  r.reserve(count_);
  for_each([&r](bdd_node* n) { r.push_back(n); });
  std::sort(r.begin(), r.end(), key_less);
  return r;
}

bdd_unique_table::slot* bdd_unique_table::allocate(std::size_t capacity) {
  const std::size_t bytes = capacity * sizeof(slot);
  void* p = nullptr;
  const std::size_t huge = std::size_t(2) << 20;
  if (bytes >= 4 * huge && posix_memalign(&p, huge, bytes) == 0) {
    // Probes land anywhere in a large table: huge pages spare most of the
    // address-translation misses.
    madvise(p, bytes, MADV_HUGEPAGE);
  } else {
    p = std::malloc(bytes);
  }
  if (p == nullptr) {
    std::cerr << "ERROR: no memory left for the BDD unique table" << std::endl;
    bdd_fatal_exit();
  }
  std::memset(p, 0, bytes);
  return static_cast<slot*>(p);
}

void bdd_unique_table::release(slot* slots, std::size_t) { std::free(slots); }

void bdd_unique_table::resize(std::size_t capacity) {
  slot* old = slots_;
  const std::size_t old_capacity = old ? mask_ + 1 : 0;
  slots_ = allocate(capacity);
  mask_ = capacity - 1;
  count_ = 0;
  for (std::size_t i = 0; i < old_capacity; ++i)
    if (old[i].cell != 0) place(bdd_node_cells::node(old[i].cell), old[i].tag);
  release(old, old_capacity);
}

std::vector<bdd_node*> bddpp_manager::table_nodes_in_key_order() const {
  if (unique_table == nullptr) return {};
  return unique_table->nodes_in_key_order();
}

std::int32_t bddpp_manager::table_node_count() const {
  return unique_table ? static_cast<std::int32_t>(unique_table->size()) : 0;
}

void bddpp_manager::trim_unused() {
  // Counts that go up and down again note the same node many times: keep
  // each unreferenced node once, and room for as many notes again.
  std::vector<bdd_node*>& u = unused_nodes;
  u.erase(std::remove_if(u.begin(), u.end(), [](const bdd_node* n) { return n->refs >= 1; }), u.end());
  std::sort(u.begin(), u.end());
  u.erase(std::unique(u.begin(), u.end()), u.end());
  unused_limit = std::max(std::size_t(1) << 16, 2 * u.size());
}

void bddpp_manager::Bdd_gc() {
  if (unique_table == nullptr) return;
  // The substitution table holds no reference, so the nodes it names are
  // kept here: freeing them would leave its entries dangling. They are noted
  // again, for a later collection after the table lets them go.
  // Its entries start as the variables themselves, which are never freed:
  // only the others are looked up, and mostly there are none.
  bdd_visited kept;
  bool any_kept = false;
  for (std::int32_t i = 0; i < capacity; ++i) {
    bdd_node* a = assoc[i].node;
    if (a != nullptr && a->id >= 0 && var_nodes[a->id] != a) any_kept = kept.insert(a) || any_kept;
  }
  std::vector<bdd_node*> noted;
  noted.swap(unused_nodes);
  unused_limit = std::size_t(1) << 16;
  // A doomed node's id becomes `dead`, so it is doomed once even when noted
  // twice or when counts are off; its key is hashed before, so that it
  // leaves the table without being read again.
  constexpr std::int32_t dead = -2;
  std::vector<bdd_node*> doomed;
  std::vector<std::uint64_t> doomed_hashes;
  auto doom_if_unused = [&](bdd_node* n) {
    if (n->id < 0 || n->refs >= 1 || var_nodes[n->id] == n) return;
    if (any_kept && kept.contains(n)) {
      unused_nodes.push_back(n);
      return;
    }
    doomed_hashes.push_back(bdd_unique_table::hash_of(n));
    n->id = dead;
    doomed.push_back(n);
  };
  // Every table node without a reference was noted since the last
  // collection (or kept by the substitution table then), so the noted nodes
  // and then the children whose last reference goes with their parent come
  // to the set that passes of full table scans would free.
  constexpr std::size_t ahead = 8;
  for (std::size_t i = 0; i < noted.size(); ++i) {
    if (i + ahead < noted.size()) __builtin_prefetch(noted[i + ahead], 1);
    doom_if_unused(noted[i]);
  }
  // Once its children are seen to, a doomed node is destroyed while it is in
  // the cache (a dead node's destructor spares the children, whose counts
  // are lowered here); its cell is freed at the end.
  for (std::size_t i = 0; i < doomed.size(); ++i) {
    if (i + 2 * ahead < doomed.size()) __builtin_prefetch(doomed[i + 2 * ahead]);
    if (i + ahead < doomed.size()) {
      const bdd_node* later = doomed[i + ahead];
      __builtin_prefetch(later->then_node, 1);
      __builtin_prefetch(later->else_node, 1);
    }
    bdd_node* n = doomed[i];
    for (bdd_node* c : {n->then_node, n->else_node}) {
      if (c == nullptr) continue;
      c->refs -= 1;
      doom_if_unused(c);
    }
    n->~bdd_node();
  }
  // The table is left without reading the nodes again: a few dead nodes
  // one by one through their slots, fetched ahead; many through a set of
  // their cell numbers, small enough to stay in the cache.
  if (doomed.size() * 8 < unique_table->capacity()) {
    constexpr std::size_t slots_ahead = 16;
    for (std::size_t i = 0; i < doomed.size(); ++i) {
      if (i + slots_ahead < doomed.size()) unique_table->prefetch(doomed_hashes[i + slots_ahead]);
      unique_table->erase(doomed[i], doomed_hashes[i]);
    }
  } else {
    std::vector<std::uint64_t> dead_cells((std::size_t(bdd_node_cells::chunk_count) << bdd_node_cells::chunk_shift) / 64);
    for (const bdd_node* n : doomed) {
      const std::uint32_t k = bdd_node_cells::number(n);
      dead_cells[k / 64] |= std::uint64_t(1) << (k % 64);
    }
    unique_table->remove_cells([&dead_cells](std::uint32_t k) { return (dead_cells[k / 64] >> (k % 64)) & 1u; });
  }
  for (bdd_node* n : doomed) bdd_node::operator delete(n, sizeof(bdd_node));
  gc_calls += 1;
}

// ---- Kept for older callers -------------------------------------------------

bdd bddpp_manager::Bdd_dup(bdd f) {
  std::cerr << "Warning: bddpp_manager::Bdd_dup() is became useless ..." << std::endl;
  return f;
}

void bddpp_manager::Bdd_free(const bdd& f) {
  std::cerr << "Warning: bddpp_manager::Bdd_free() is now became useless" << std::endl;
  std::cerr << f << std::endl;
}

std::int32_t String_table_memory_size(String* table, std::int32_t n) {
  std::int32_t total = 0;
  for (std::int32_t i = 0; i < n; ++i) total += static_cast<std::int32_t>(table[i].capacity());
  return total;
}

// ---- Support queries --------------------------------------------------------

std::set<std::int32_t> bddpp_manager::set_of_id_depend_on(const bdd& f) {
  if (f.manager_ref() != this) {
    std::cerr << "Warning: call  bddpp_manager::set_of_id_depend_on() with a bad manager" << std::endl;
    std::cerr << "Awaited: " << static_cast<const void*>(this)
              << " found: " << static_cast<const void*>(f.manager_ref()) << std::endl;
    return {};
  }
  if (f.node() == nullptr) return {};
  return f.node()->support.to_set();
}

std::set<std::int32_t> bddpp_manager::set_of_index_depend_on(const bdd& f) {
  std::set<std::int32_t> r;
  for (std::int32_t id : set_of_id_depend_on(f)) r.insert(id < 0 ? id : index_of_id[id]);
  return r;
}

void bddpp_manager::Present_variables(const bdd& f, int* table) {
  for (std::int32_t i = 0; i < var_count; ++i) table[i] = 0;
  for (std::int32_t id : set_of_id_depend_on(f)) table[index_of_id[id]] = 1;
}

bool bddpp_manager::exists_common_variables(const bdd& f, const bdd& g) {
  if (f.node() == nullptr || g.node() == nullptr) return false;
  return f.node()->support.intersects(g.node()->support);
}
