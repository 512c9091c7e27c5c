// Single cubes: one satisfying path of a function, and the conversions
// between a cube and its literal table (one entry per position: 1 positive,
// 0 negated, 2 absent).
#include <cstdlib>
#include <iostream>
#include <vector>

#include "bdd/bddpp.h"
#include "bdd/fatal.h"

int bddpp_manager::Bdd_OneSat(bdd_node* n, int link, int* table) {
  // The then-first walk: a reduced non-constant function always has a true
  // path below its then child, so this visits one path, not the diagram.
  if (n == nullptr) {
    std::cerr << "ERROR: call bddpp_manager::Bdd_OneSat() with null reference" << std::endl;
    bdd_fatal_exit();
  }
  if (n->id == -1) return link == 1 ? 1 : 0;
  const std::int32_t p = position_of(n);
  table[p] = 1;
  if (Bdd_OneSat(n->then_node, link, table) == 1) return 1;
  table[p] = 0;
  return Bdd_OneSat(n->else_node, link * n->else_link, table);
}

bdd bddpp_manager::Bdd_satisfy(const bdd& f) {
  std::vector<int> table(static_cast<std::size_t>(var_count), 2);
  // No path of the constant false reaches true: its answer is false, not the
  // empty cube (true), which would not imply it.
  if (Bdd_OneSat(f.node(), f.link_type(), table.data()) == 0) return Bdd_zero();
  return Literals_to_bdd(table.data());
}

bdd bddpp_manager::Literals_to_bdd(int* table) {
  bdd r = Bdd_one();
  for (std::int32_t i = 0; i < var_count; ++i) {
    if (table[i] == 1)
      r = Bdd_and(r, Bdd_var_by_index(i));
    else if (table[i] == 0)
      r = Bdd_and(r, Bdd_not(Bdd_var_by_index(i)));
  }
  return r;
}

void bddpp_manager::Bdd_to_literals(const bdd& c, int* table) { Bdd_node_to_literals(c.link_type(), c.node(), table); }

void bddpp_manager::Bdd_node_to_literals(int link, bdd_node* n, int* table) {
  for (std::int32_t i = 0; i < var_count; ++i) table[i] = 2;
  if (n == nullptr) {
    std::cerr << "Warning: bddpp_manager::Bdd_node_to_literals() call with a NULL bdd node !" << std::endl;
    return;
  }
  if (n->id == -1) {
    if (link == 1) {
      std::cerr << "ERROR in  bddpp_manager::Bdd_node_to_literals() :" << std::endl;
      std::cerr << "constant 1 is not a literal ..." << std::endl;
      bdd_fatal_exit();
    }
    return;
  }
  int l = link;
  while (n->id != -1) {
    const std::int32_t p = position_of(n);
    const bool then_one = n->then_node->id == -1;
    const bool else_one = n->else_node->id == -1;
    if (!then_one) {
      if (!else_one)
        std::cerr << "Warning 2: Bddpp_manager::Bdd_node_to_literals() not used with a cube ..." << std::endl;
      else if (l * n->else_link != -1)
        std::cerr << "Warning 3: Bddpp_manager::Bdd_node_to_literals() not used with a cube ..." << std::endl;
      table[p] = 1;
      n = n->then_node;
    } else if (else_one) {
      table[p] = l == 1 ? 1 : 0;
      return;
    } else {
      if (l != -1)
        std::cerr << "Warning 1: Bddpp_manager::Bdd_node_to_literals() not used with a cube ..." << std::endl;
      table[p] = 0;
      l *= n->else_link;
      n = n->else_node;
    }
  }
}

void bddpp_manager::Bdd_to_literals(const bdd& c, std::list<std::int32_t>& positive,
                                    std::list<std::int32_t>& negative) {
  Bdd_node_to_literals(c.link_type(), c.node(), positive, negative);
}

void bddpp_manager::Bdd_node_to_literals(int link, bdd_node* n, std::list<std::int32_t>& positive,
                                         std::list<std::int32_t>& negative) {
  positive.clear();
  negative.clear();
  std::vector<int> table(static_cast<std::size_t>(var_count), 2);
  Bdd_node_to_literals(link, n, table.data());
  for (std::int32_t i = 0; i < var_count; ++i) {
    if (table[i] == 1) positive.push_back(i);
    if (table[i] == 0) negative.push_back(i);
  }
}
