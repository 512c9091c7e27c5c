// Copies of a diagram into another manager: position for position, through a
// map of positions, or variable for variable by name. Each copy keeps a memo
// from source node to copied node for the length of its call.
#include <cstdlib>
#include <iostream>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/fatal.h"
#include "bdd/memo.h"

namespace {

[[noreturn]] void bad_call() {
  std::cerr << "ERROR: Bad call of Bdd_isomorphe() !" << std::endl;
  bdd_fatal_exit();
}

// The node for "if var(p) then (+1, t) else (el, e)" in dst, whatever the
// place of p relative to the children.
bdd_node* rebuild_by_operators(bddpp_manager* dst, std::int32_t p, bdd_node* t, int el, bdd_node* e, int& link) {
  bdd v = dst->Bdd_var_by_index(p);
  bdd left = dst->Bdd_and(v, bdd(dst, 1, t));
  bdd right = dst->Bdd_and(dst->Bdd_not(v), bdd(dst, el, e));
  bdd r = dst->Bdd_or(left, right);
  link = r.link_type();
  return r.node();
}

// mode: by position (map null), through a position map, or by name.
class node_copy {
public:
  enum mode_t { by_position, by_map, by_name };
  node_copy(bddpp_manager* dst, bddpp_manager* src, mode_t mode, const std::int32_t* map)
      : dst_(dst), src_(src), mode_(mode), map_(map) {}

  bdd_node* run(bdd_node* n) {
    if (n->id == -1) return dst_->Bdd_node_one();
    std::uint64_t known;
    if (memo_.find(bdd_memo_tag(n, 1), 0, known)) return bdd_memo_node(known);
    bdd_node* r = mode_ == by_name ? copy_by_name(n) : copy_by_position(n);
    memo_.insert(bdd_memo_tag(n, 1), 0, bdd_memo_tag(r, 1));
    return r;
  }

private:
  // The constant lies below every variable.
  bool above(std::int32_t p, bdd_node* child) const { return child->id == -1 || p < dst_->position_of(child); }

  bdd_node* copy_by_position(bdd_node* n) {
    const std::int32_t sp = src_->position_of(n);
    const std::int32_t p = mode_ == by_map ? map_[sp] : sp;
    if (p < 0 || p >= dst_->var_count) bad_call();
    bdd_node* t = run(n->then_node);
    bdd_node* e = run(n->else_node);
    int link = 1;
    bdd_node* r;
    if (mode_ == by_position || (above(p, t) && above(p, e)))
      r = dst_->Find_or_create_bdd_node(p, 1, n->else_link, t, e, link);
    else
      r = rebuild_by_operators(dst_, p, t, n->else_link, e, link);
    if (link != 1) std::cerr << "erreur inattendue dans Bdd_isomorphe() avec correspondance!" << std::endl;
    return r;
  }

  bdd_node* copy_by_name(bdd_node* n) {
    const String& name = src_->names[n->id];
    if (dst_->Id_var_by_name(name) < 0) dst_->New_node_var_last(name);
    const std::int32_t p = dst_->Index_var_by_name(name);
    bdd_node* t = run(n->then_node);
    bdd_node* e = run(n->else_node);
    int link = 1;
    bdd_node* r;
    if (above(p, t) && above(p, e)) {
      r = dst_->Find_or_create_bdd_node(p, 1, n->else_link, t, e, link);
    } else {
      r = rebuild_by_operators(dst_, p, t, n->else_link, e, link);
      r->refs += 1;  // kept, as older callers of this copy expect
    }
    if (link != 1) std::cerr << "erreur inattendue dans Bdd_isomorphe_by_name() !" << std::endl;
    return r;
  }

  bddpp_manager* dst_;
  bddpp_manager* src_;
  mode_t mode_;
  const std::int32_t* map_;
  bdd_memo memo_;
};

}  // namespace

namespace {

bdd_node* copy_diagram(bddpp_manager* dst, bddpp_manager* src, node_copy::mode_t mode, const std::int32_t* map,
                       bdd_node* n) {
  if (dst == nullptr || src == nullptr) bad_call();
  if (n == nullptr) return nullptr;
  node_copy copy(dst, src, mode, map);
  return copy.run(n);
}

}  // namespace

bdd_node* Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd_node* n) {
  return copy_diagram(dst, src, node_copy::by_position, nullptr, n);
}

bdd Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd f) {
  return bdd(dst, f.link_type(), Bdd_isomorphe(dst, src, f.node()));
}

bdd_node* Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd_node* n, std::int32_t* map) {
  return copy_diagram(dst, src, node_copy::by_map, map, n);
}

bdd Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd& f, std::int32_t* map) {
  if (f.node() == nullptr || src == nullptr) {
    std::cerr << "ERROR: Bad call of Bdd_isomorphe() !" << std::endl;
    return dst->Bdd_zero();
  }
  // Each distinct (node, link) of the source is copied once; the copies are
  // held as handles so they stay referenced while the walk goes on.
  bdd_memo memo;
  std::vector<bdd> results;
  struct walker {
    bddpp_manager* dst;
    bddpp_manager* src;
    std::int32_t* map;
    bdd_memo& memo;
    std::vector<bdd>& results;
    bdd run(const bdd& g) {
      if (src->Bdd_is_zero_tautologic(g)) return dst->Bdd_zero();
      if (src->Bdd_is_one_tautologic(g)) return dst->Bdd_one();
      const std::uint64_t key = bdd_memo_tag(g.node(), g.link_type());
      std::uint64_t known;
      if (memo.find(key, 0, known)) return results[known];
      const std::int32_t p = src->position_of(g.node());
      bdd v = dst->Bdd_var_by_index(map[p]);
      bdd left = dst->Bdd_and(v, run(src->Bdd_then(g)));
      bdd right = dst->Bdd_and(dst->Bdd_not(v), run(src->Bdd_else(g)));
      bdd r = dst->Bdd_or(left, right);
      memo.insert(key, 0, results.size());
      results.push_back(r);
      return r;
    }
  } walk{dst, src, map, memo, results};
  return walk.run(f);
}

bdd_node* Bdd_isomorphe_by_name(bddpp_manager* dst, bddpp_manager* src, bdd_node* n) {
  return copy_diagram(dst, src, node_copy::by_name, nullptr, n);
}

bdd Bdd_isomorphe_by_name(bddpp_manager* dst, bddpp_manager* src, bdd f) {
  return bdd(dst, f.link_type(), Bdd_isomorphe_by_name(dst, src, f.node()));
}
