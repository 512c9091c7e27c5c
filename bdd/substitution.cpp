// The substitution table: a function associated with each variable, as in a
// set of equations x := g, with the replacement of variables by their
// functions and the report of fixed points of a self-dependent variable.
//
// The table is indexed by variable id (a declaration fills the slot of the
// new id, and positions move when a variable is declared before others). An
// entry that holds the variable itself, as a declaration leaves it, means
// that nothing is associated with the variable.
#include <cstdlib>
#include <iostream>

#include "bdd/bddpp.h"

namespace {

[[noreturn]] void fatal_exit() {
  std::cerr.flush();
  std::exit(1);
}

// The function associated with the variable of this id; false when none.
bool associated(bddpp_manager& m, std::int32_t id, bdd& a) {
  const bdd_assoc_entry& e = m.assoc[static_cast<std::size_t>(id)];
  if (e.node == nullptr || (e.node == m.var_nodes[id] && e.link == 1)) return false;
  a = bdd(&m, e.link, e.node);
  return true;
}

String level1_text(bddpp_manager& m, const bdd& f, const String& or_text, const String& and_text,
                   const String& not_text, const String& not_end) {
  return m.Print_sop_to_String(or_text, and_text, not_text, not_end, f, 1);
}

}  // namespace

void bddpp_manager::Bdd_assoc_bdd_to_var(const bdd& g, const bdd& v) {
  if (!Bdd_is_var(v)) {
    if ((Bdd_is_one_tautologic(g) && Bdd_is_one_tautologic(v)) ||
        (Bdd_is_zero_tautologic(g) && Bdd_is_zero_tautologic(v)))
      return;
    std::cerr << "error in bddpp_manager::Bdd_assoc_bdd_to_var():" << std::endl;
    std::cerr << "     second parameter is not a var !" << std::endl;
    std::cerr << "replace from: " << level1_text(*this, v, "+", ".", "!", "")
              << " by expression: " << level1_text(*this, g, "+", ".", "!", "") << std::endl;
    fatal_exit();
  }
  const std::int32_t vid = v.node()->id;
  bdd h = g;
  for (std::int32_t q = 0; q < var_count; ++q) {
    bdd x = Bdd_var_by_index(q);
    bdd a;
    if (Bdd_depends_on(h, x) && associated(*this, id_of_index[q], a) && !Bdd_depends_on(a, x))
      h = Bdd_compose(h, x, a);
  }
  assoc[static_cast<std::size_t>(vid)] = bdd_assoc_entry{h.node(), h.link_type()};
  if (Bdd_depends_on(h, v)) return;
  for (std::int32_t id = 0; id < var_count; ++id) {
    bdd a;
    if (id == vid || !associated(*this, id, a) || !Bdd_depends_on(a, v)) continue;
    bdd r = Bdd_compose(a, v, h);
    assoc[static_cast<std::size_t>(id)] = bdd_assoc_entry{r.node(), r.link_type()};
  }
}

bdd bddpp_manager::Bdd_follow_assoc(const bdd& f, std::int32_t* loop) {
  *loop = -1;
  bdd a;
  if (Bdd_is_var(f)) {
    if (!associated(*this, f.node()->id, a)) return f;
    if (Bdd_depends_on(a, f)) *loop = index_of_id[f.node()->id];
    return a;
  }
  bdd r = f;
  for (std::int32_t id : set_of_id_depend_on(f)) {
    if (!associated(*this, id, a)) continue;
    bdd x = Bdd_var_by_id(id);
    if (Bdd_depends_on(a, x))
      *loop = index_of_id[id];
    else
      r = Bdd_compose(r, x, a);
  }
  return r;
}

void bddpp_manager::debug_variables(std::ostream& o) {
  for (std::int32_t i = 0; i < var_count; ++i) {
    const bdd_assoc_entry& e = assoc[static_cast<std::size_t>(id_of_index[i])];
    o << level1_text(*this, Bdd_var_by_index(i), " or ", " and ", "not ", "") << " --> ";
    if (e.node == nullptr)
      o << "NULL";
    else
      o << level1_text(*this, bdd(this, e.link, e.node), " or ", " and ", "not ", "");
    o << std::endl;
  }
}

void bddpp_manager::Print_Fixes_Points(std::ostream& o, const bdd& f) {
  std::int32_t p;
  bdd F = Bdd_follow_assoc(f, &p);
  auto text = [this](const bdd& g) { return level1_text(*this, g, " + ", ".", "", "'"); };
  if (p < 0) {
    // No variable depends on itself: the function, named by its own text.
    o << text(f) << " = " << text(F) << std::endl;
    return;
  }
  bdd x = Bdd_var_by_index(p);
  const String name = Name_var_by_index(p);
  bdd a = Bdd_reduce(F, Bdd_not(x));
  bdd b = Bdd_reduce(F, x);
  bdd oscillation = Bdd_and(a, Bdd_not(b));
  o << std::endl;
  if (Bdd_is_zero_tautologic(oscillation)) {
    o << "  ==> two stability points : " << name << "'= " << text(a) << ", " << name << "''= " << text(b);
  } else {
    o << "  ==> oscillation on " << name << "  for " << text(oscillation) << std::endl;
    o << "  ==> stabilisation when " << name << " = " << text(Bdd_not(oscillation)) << std::endl;
  }
}
