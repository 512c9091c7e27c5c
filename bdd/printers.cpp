// Texts of BDDs: products and sums of products (plain, Esterel, VHDL, array
// indexed, numbered), the PLA, BLIF and LEC cube tables, node lists and the
// dump of the implicant tree.
//
// A literal is written as: the and-text (all but the first of a cube), the
// not-text (negated only), the variable's text, the not-end-text (negated
// only). Literals come in increasing position, cubes in cover order.
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <vector>

#include "bdd/bddpp.h"

namespace {

[[noreturn]] void fatal_exit() {
  std::cerr.flush();
  std::exit(1);
}

// The literal table of a non-constant cube.
std::vector<int> literals_of(bddpp_manager& m, const bdd& cube) {
  std::vector<int> table(static_cast<std::size_t>(m.var_count), 2);
  m.Bdd_to_literals(cube, table.data());
  return table;
}

// The product text of a cube, each variable written by `variable(position)`.
template <class Variable>
String product_text(bddpp_manager& m, const String& and_text, const String& not_text, const String& not_end,
                    const bdd& cube, Variable variable) {
  if (m.Bdd_is_zero_tautologic(cube)) return "0";
  if (m.Bdd_is_one_tautologic(cube)) return "1";
  const std::vector<int> table = literals_of(m, cube);
  String s;
  bool first = true;
  for (std::int32_t i = 0; i < m.var_count; ++i) {
    if (table[i] == 2) continue;
    if (!first) s += and_text;
    first = false;
    if (table[i] == 0) s += not_text;
    s += variable(i);
    if (table[i] == 0) s += not_end;
  }
  return s;
}

// The sum-of-products text of a cover.
template <class Variable>
String cover_text(bddpp_manager& m, const String& or_text, const String& and_text, const String& not_text,
                  const String& not_end, const std::list<bdd>& cover, Variable variable) {
  if (cover.empty()) return "0";
  String s;
  bool first = true;
  for (const bdd& c : cover) {
    if (!first) s += or_text;
    first = false;
    s += product_text(m, and_text, not_text, not_end, c, variable);
  }
  return s;
}

// The sum-of-products text of f at a cover level.
template <class Variable>
String sop_text(bddpp_manager& m, const String& or_text, const String& and_text, const String& not_text,
                const String& not_end, const bdd& f, int level, Variable variable) {
  std::list<bdd> cover;
  m.Bdd_sop(f, cover, level);
  return cover_text(m, or_text, and_text, not_text, not_end, cover, variable);
}

struct named_variable {
  bddpp_manager& m;
  const String& prefix;
  const String& suffix;
  String operator()(std::int32_t i) const { return prefix + m.names[m.id_of_index[i]] + suffix; }
};

struct array_variable {
  const String& array;
  String operator()(std::int32_t i) const { return array + "[" + unslong2S(static_cast<std::uint32_t>(i)) + "]"; }
};

}  // namespace

// ---- Products and sums of products ----------------------------------------------

String bddpp_manager::Print_product_to_String_pref_suff(const String& and_text, const String& not_text,
                                                        const String& not_end, const bdd& cube,
                                                        const String& prefix, const String& suffix) {
  return product_text(*this, and_text, not_text, not_end, cube, named_variable{*this, prefix, suffix});
}

String bddpp_manager::Print_product_to_String(const String& and_text, const String& not_text,
                                              const String& not_end, const bdd& cube) {
  return Print_product_to_String_pref_suff(and_text, not_text, not_end, cube, "", "");
}

void bddpp_manager::Print_product(const String& and_text, const String& not_text, const String& not_end,
                                  std::ostream& o, const bdd& cube) {
  o << Print_product_to_String(and_text, not_text, not_end, cube);
}

void bddpp_manager::Print_product_pref_suff(const String& and_text, const String& not_text,
                                            const String& not_end, std::ostream& o, const bdd& cube,
                                            const String& prefix, const String& suffix) {
  o << Print_product_to_String_pref_suff(and_text, not_text, not_end, cube, prefix, suffix);
}

String bddpp_manager::Print_sop_to_String_pref_suff(const String& or_text, const String& and_text,
                                                    const String& not_text, const String& not_end,
                                                    const bdd& f, const String& prefix, const String& suffix,
                                                    int level) {
  return sop_text(*this, or_text, and_text, not_text, not_end, f, level, named_variable{*this, prefix, suffix});
}

String bddpp_manager::Print_sop_to_String(const String& or_text, const String& and_text, const String& not_text,
                                          const String& not_end, const bdd& f, int level) {
  return Print_sop_to_String_pref_suff(or_text, and_text, not_text, not_end, f, "", "", level);
}

String bddpp_manager::Print_cover_to_String(const String& or_text, const String& and_text,
                                            const String& not_text, const String& not_end,
                                            const std::list<bdd>& cover) {
  return cover_text(*this, or_text, and_text, not_text, not_end, cover, named_variable{*this, "", ""});
}

void bddpp_manager::Print_sop(const String& or_text, const String& and_text, const String& not_text,
                              const String& not_end, std::ostream& o, const bdd& f, int level) {
  o << Print_sop_to_String(or_text, and_text, not_text, not_end, f, level);
}

void bddpp_manager::Print_sop_pref_suff(const String& or_text, const String& and_text, const String& not_text,
                                        const String& not_end, std::ostream& o, const bdd& f,
                                        const String& prefix, const String& suffix, int level) {
  o << Print_sop_to_String_pref_suff(or_text, and_text, not_text, not_end, f, prefix, suffix, level);
}

String bddpp_manager::Print_sop_to_ESTEREL_String(const bdd& f, int level) {
  if (Bdd_is_zero_tautologic(f)) return "not tick";
  if (Bdd_is_one_tautologic(f)) return "tick";
  return Print_sop_to_String(" or ", " and ", "not ", "", f, level);
}

String bddpp_manager::Print_sop_to_VHDL_String(const bdd& f, int level) {
  if (Bdd_is_zero_tautologic(f)) return "'0'";
  if (Bdd_is_one_tautologic(f)) return "'1'";
  const String s = Print_sop_to_String(") or (", " and ", "not ", "", f, level);
  if (contains(s, ") or (")) return "(" + s + ")";
  return s;
}

void bddpp_manager::Print_cat_product(const String& and_text, const String& not_text, const String& not_end,
                                      std::ostream& o, const bdd& cube, const String& array) {
  o << product_text(*this, and_text, not_text, not_end, cube, array_variable{array});
}

void bddpp_manager::Print_cat_sop(const String& or_text, const String& and_text, const String& not_text,
                                  const String& not_end, std::ostream& o, const bdd& f, const String& array,
                                  int level) {
  o << sop_text(*this, or_text, and_text, not_text, not_end, f, level, array_variable{array});
}

void bddpp_manager::Print_cat_product(std::ostream& o, const bdd& cube, std::map<std::int32_t, int>& numbers,
                                      int n, bool shifted) {
  if (Bdd_is_zero_tautologic(cube)) {
    o << "0";
    return;
  }
  if (Bdd_is_one_tautologic(cube)) {
    o << "1";
    return;
  }
  const std::vector<int> table = literals_of(*this, cube);
  bool first = true;
  for (std::int32_t i = 0; i < var_count; ++i) {
    if (table[i] == 2) continue;
    auto it = numbers.find(i);
    if (it == numbers.end()) {
      std::cerr << "****error:print_cat_product:" << i << " is not a valid index \n";
      fatal_exit();
    }
    // Wide enough that no sum of two ints overflows.
    const long long v = it->second;
    if (!first) o << ",";
    first = false;
    if (table[i] == 0)
      o << (v > n ? v - n : v + n);
    else
      o << (shifted ? v + 2LL * n : v);
  }
}

void Print_debug_bdd(std::ostream& o, const bdd& f) {
  if (f.node() == nullptr || f.node()->manager == nullptr) return;
  f.node()->manager->Print_sop(" + ", " . ", "!", "", o, f, 0);
}

// ---- Cube tables ----------------------------------------------------------------

namespace {

// One layout for PLA, BLIF and LEC: the inputs f depends on, the output, and
// one row per cube of the cover.
template <class InputName>
void cube_table(bddpp_manager& m, std::ostream& o, const String& output_name, const bdd& f,
                const String& header, const String& output_end, const String& cube_separator,
                const String& table_end, const String& column_end, int level, InputName input_name) {
  std::vector<int> present(static_cast<std::size_t>(m.var_count), 0);
  m.Present_variables(f, present.data());
  std::list<bdd> cover;
  m.Bdd_sop(f, cover, level);
  std::vector<std::int32_t> inputs;
  for (std::int32_t i = 0; i < m.var_count; ++i)
    if (present[i]) inputs.push_back(i);
  o << header;
  for (std::int32_t i : inputs) o << input_name(i) << " ";
  o << output_name << output_end;
  if (inputs.empty()) {
    o << (m.Bdd_is_zero_tautologic(f) ? "0" : "1") << table_end;
    return;
  }
  std::size_t k = 0;
  for (const bdd& c : cover) {
    const std::vector<int> table = literals_of(m, c);
    for (std::int32_t i : inputs) o << (table[i] == 1 ? '1' : table[i] == 0 ? '0' : '-') << column_end;
    o << " 1";
    o << (++k == cover.size() ? table_end : cube_separator);
  }
}

}  // namespace

void bddpp_manager::PLA_print_pref_suff(std::ostream& o, const bdd& output, const bdd& f, const String& prefix,
                                        const String& suffix, const String& header, const String& output_end,
                                        const String& cube_separator, const String& table_end,
                                        const String& column_end, int level) {
  cube_table(*this, o, prefix + Name_var_by_bdd(output) + suffix, f, header, output_end, cube_separator,
             table_end, column_end, level, named_variable{*this, prefix, suffix});
}

void bddpp_manager::PLA_print_pref_suff_with_renaming(std::ostream& o, const bdd& output, const bdd& f,
                                                      const String& prefix, const String& suffix,
                                                      const String& header, const String& output_end,
                                                      const String& cube_separator, const String& table_end,
                                                      const String& column_end, int level,
                                                      std::int32_t* numbers) {
  auto numbered = [&](std::int32_t i) { return prefix + long2S(numbers[i]) + suffix; };
  cube_table(*this, o, numbered(Bdd_if_index(output)), f, header, output_end, cube_separator, table_end,
             column_end, level, numbered);
}

void bddpp_manager::BLIF_print(std::ostream& o, const bdd& output, const bdd& f, int level) {
  PLA_print_pref_suff(o, output, f, "", "", ".names  ", "\n", "\n", "\n", "", level);
}

void bddpp_manager::LEC_print(std::ostream& o, std::int32_t* numbers, const bdd& output, const bdd& f, int level) {
  PLA_print_pref_suff_with_renaming(o, output, f, "", "", "", ":\n", ",\n", ";\n", " ", level, numbers);
}

// ---- Node lists ---------------------------------------------------------------------

namespace {

template <class Label>
void node_line(bddpp_manager& m, std::ostream& o, bdd_node* n, std::int32_t* numbers, Label label) {
  if (n == nullptr) return;
  std::int32_t p = m.position_of(n);
  if (numbers != nullptr && p >= 0) p = numbers[p];
  o << label(n) << ": " << p << ":";
  if (n->then_node) o << label(n->then_node); else o << -3;
  o << ":";
  if (n->else_node) o << label(n->else_node); else o << -3;
  o << "," << n->else_link;
}

std::int32_t traversal_label(const bdd_node* n) { return n->traversal_number; }
const void* address_label(const bdd_node* n) { return n; }

}  // namespace

void bddpp_manager::Print_bdd_node(std::ostream& o, bdd_node* n) { node_line(*this, o, n, nullptr, traversal_label); }

void bddpp_manager::Print_bdd_node(std::ostream& o, bdd_node* n, std::int32_t* numbers) {
  node_line(*this, o, n, numbers, traversal_label);
}

void bddpp_manager::Print_bdd_node_with_adress(std::ostream& o, bdd_node* n) {
  node_line(*this, o, n, nullptr, address_label);
}

void Print_bdd_node(std::ostream& o, bdd_node* n) {
  if (n == nullptr || n->manager == nullptr) return;
  n->manager->Print_bdd_node(o, n);
}

void bddpp_manager::Print_bdd_by_nodes_list_loc(std::ostream& o, bdd_node* n) {
  Print_bdd_by_nodes_list_loc(o, n, nullptr);
}

void bddpp_manager::Print_bdd_by_nodes_list_loc(std::ostream& o, bdd_node* n, std::int32_t* numbers) {
  if (n == nullptr || n->mark) return;
  node_line(*this, o, n, numbers, traversal_label);
  o << std::endl;
  n->mark = 1;
  Print_bdd_by_nodes_list_loc(o, n->then_node, numbers);
  Print_bdd_by_nodes_list_loc(o, n->else_node, numbers);
}

void bddpp_manager::Print_bdd_by_nodes_list(std::ostream& o, const bdd& f) {
  Bdd_clear_marks(f.node());
  const std::int32_t count = Bdd_incremental_id(f.node(), 0);
  o << "nombre de noeud trouves: " << count << std::endl;
  Bdd_clear_marks(f.node());
  Print_bdd_by_nodes_list_loc(o, f.node());
}

void bddpp_manager::Print_bdd_by_nodes_list(std::ostream& o, const bdd& f, std::int32_t* numbers) {
  Bdd_clear_marks(f.node());
  Bdd_incremental_id(f.node(), 0);
  Bdd_clear_marks(f.node());
  Print_bdd_by_nodes_list_loc(o, f.node(), numbers);
}

namespace {

// Numbers the nodes of every function of l in one sequence; marks cleared
// before and after.
std::int32_t number_all(bddpp_manager& m, std::list<bdd>& l) {
  for (const bdd& f : l) m.Bdd_clear_marks(f.node());
  std::int32_t k = 0;
  for (const bdd& f : l) k = m.Bdd_incremental_id(f.node(), k);
  for (const bdd& f : l) m.Bdd_clear_marks(f.node());
  return k;
}

}  // namespace

void bddpp_manager::Print_bdds_list_by_nodes_list(std::ostream& o, std::list<bdd>& l) {
  number_all(*this, l);
  o << "bdd_vars: " << std::endl;
  for (std::int32_t id = 0; id < var_count; ++id) o << (id ? "," : "") << names[id];
  o << ";" << std::endl;
  o << "bdd_nodes: " << std::endl;
  for (const bdd& f : l) Print_bdd_by_nodes_list_loc(o, f.node());
}

void bddpp_manager::Print_bdds_list_by_nodes_list(std::ostream& o, std::list<bdd>& l, std::int32_t* numbers) {
  o << number_all(*this, l) << std::endl;
  for (const bdd& f : l) Print_bdd_by_nodes_list_loc(o, f.node(), numbers);
}
