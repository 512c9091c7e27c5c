// bddpp: reduced ordered binary decision diagrams with complement links.
//
// A `bddpp_manager` owns its variables (names, creation ids, positions in the
// order), the constant node ONE and every other node, kept unique by a hash
// table on the node's full key (variable id, then node, else node, else-link).
// A `bdd` is a small value handle (manager, link, node) that counts references
// on its node; a node whose count falls to zero stays alive until `Bdd_gc` or
// the manager's destruction, so every handle must be released before its
// manager goes. Nodes store variable ids; every ordering decision compares
// positions (`index_of_id`). The order is the order of declaration: there is
// no reordering and no operation cache between calls (each recursive call
// keeps a memo of its own subproblems while it runs, see bdd/memo.h).
//
// Fatal misuses (null operands, cofactors of constants, broken invariants)
// write their message on the standard error stream and end the process with
// status 1. Widths: the engine's `long` is `std::int32_t`, except the node
// numbers (`bdd_gid`) and the collector count, which a long-lived manager
// keeps counting: those are 64 bits.
#ifndef TESSAN_BDD_BDDPP_H
#define TESSAN_BDD_BDDPP_H

#include <cstdint>
#include <cstdio>
#include <list>
#include <map>
#include <ostream>
#include <set>
#include <vector>

#include "text/Stringpp.h"

class bddpp_manager;
class bdd_node;
class bdd_unique_table;

// A node's number within its manager.
using bdd_gid = std::int64_t;

// The set of variable ids a node depends on: a bitset, inline up to 64 ids,
// so a million nodes fit in a few hundred megabytes. Iterates in ascending id.
// A node's own support is worked out on its first use: most nodes the boolean
// operations create are never asked for it, and with thousands of variables
// a set per node would cost more than the node.
class bdd_id_set {
public:
  bdd_id_set() : rep(0) {}
  bdd_id_set(const bdd_id_set& other);
  bdd_id_set& operator=(const bdd_id_set& other);
  ~bdd_id_set();

  // then ∪ else ∪ {id}: the support of a new node.
  static bdd_id_set node_union(const bdd_id_set& a, const bdd_id_set& b, std::int32_t id);

  bool contains(std::int32_t id) const;
  bool empty() const;
  std::int32_t size() const;  // number of ids
  bool intersects(const bdd_id_set& other) const;
  std::set<std::int32_t> to_set() const;

  class const_iterator {
  public:
    const_iterator(const bdd_id_set* s, std::int32_t id) : set_(s), id_(id) {}
    std::int32_t operator*() const { return id_; }
    const_iterator& operator++();
    bool operator==(const const_iterator& o) const { return id_ == o.id_; }
    bool operator!=(const const_iterator& o) const { return id_ != o.id_; }
  private:
    const bdd_id_set* set_;
    std::int32_t id_;
  };
  const_iterator begin() const;
  const_iterator end() const { return const_iterator(this, -1); }

  // Ids 64i ... 64i+63 as bits.
  std::uint64_t word(std::uint32_t i) const {
    resolve();
    if (rep & 1u) return i == 0 ? rep >> 1 : 0;
    if (rep == 0) return 0;
    return i < block_length() ? block()[i] : 0;
  }
  std::uint32_t word_count() const {
    resolve();
    if (rep & 1u) return 1;
    return rep == 0 ? 0 : block_length();
  }

private:
  struct union_cache;
  friend class bdd_node;
  // One word, so a node fits a cache line: 0 is the empty set; an odd value
  // holds the ids below 63 as its bits 1 to 63; `pending` is a node's support
  // not yet worked out; any other value is the address of a block of words
  // shared by the sets equal to it (its length and owner count stored just
  // before it).
  static constexpr std::uint64_t pending = 2;
  void resolve() const {
    if (rep == pending) resolve_node_support();
  }
  void resolve_node_support() const;  // only on the `support` of a bdd_node
  bool holds_block() const { return rep != 0 && rep != pending && (rep & 1u) == 0; }
  std::uint64_t* block() const { return reinterpret_cast<std::uint64_t*>(static_cast<std::uintptr_t>(rep)); }
  std::uint32_t block_length() const { return static_cast<std::uint32_t>(block()[-2]); }
  std::int32_t next_from(std::int32_t id) const;  // first id >= id, or -1
  std::uint64_t rep;
};

// ---- Nodes ------------------------------------------------------------------

class bdd_node {
public:
  // What the operations read on every visit comes first; a node is one
  // cache line: the link and the mark are narrow to leave room for a wide
  // node number.
  bddpp_manager* manager;
  std::int64_t signature;  // printed key; lookups use the full tuple
  std::int32_t id;         // variable id; -1 for ONE
  std::int16_t else_link;  // +1 or -1
  std::int16_t mark;       // 0 or 1
  bdd_node* then_node;
  bdd_node* else_node;
  int refs;
  std::int32_t traversal_number;  // counts the nodes of one diagram
  // Never reused, so as wide as a manager's lifetime of node making needs:
  // 64 bits outlast any run.
  bdd_gid gid;
  bdd_id_set support;

  bdd_node();
  bdd_node(bddpp_manager* m, bdd_gid gid, std::int32_t id, int refs, int else_link,
           bdd_node* then_node, bdd_node* else_node);
  ~bdd_node();
  bdd_node(const bdd_node&) = delete;
  bdd_node& operator=(const bdd_node&) = delete;

  // Nodes on the heap come from packed chunks of their own (store.cpp).
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

  bool operator==(const bdd_node& o) const;
  bool operator!=(const bdd_node& o) const { return !(*this == o); }

  int is_correct();

  // Netlists: marks in `used` (indexed by gid, so `next_gid` entries long)
  // every node reachable from here.
  void Lustre_writing_node_used(int* used, bdd_node* other);
};

std::int64_t bdd_node_signature(std::int32_t id, int link, bdd_node* then_node, bdd_node* else_node);

// ---- Handles ----------------------------------------------------------------

class bdd {
public:
  bdd() : manager_ptr(nullptr), link(0), node_ptr(nullptr) {}
  explicit bdd(bddpp_manager* m) : manager_ptr(m), link(0), node_ptr(nullptr) {}
  bdd(bddpp_manager* m, int link, bdd_node* n);
  bdd(const bdd& other);
  bdd& operator=(const bdd& other);
  ~bdd();

  bddpp_manager* manager_ref() const { return manager_ptr; }
  int link_type() const { return link; }
  bdd_node* node() const { return node_ptr; }

  bool operator==(const bdd& o) const {
    return manager_ptr == o.manager_ptr && link == o.link && node_ptr == o.node_ptr;
  }
  bool operator!=(const bdd& o) const { return !(*this == o); }

  // Netlists: the VHDL name of this handle's node signal.
  String vhdl_node_name(const String& signal) const;

private:
  bddpp_manager* manager_ptr;
  int link;
  bdd_node* node_ptr;
};

std::ostream& operator<<(std::ostream& os, const bdd& f);

// ---- Manager ----------------------------------------------------------------

struct bdd_assoc_entry {
  bdd_node* node;  // null: nothing associated
  int link;
};

class bddpp_manager {
public:
  // The fields are open to the engine's own files and to tests; callers
  // outside the engine use the member functions.
  std::int32_t var_count;
  std::int32_t capacity;  // length of the per-variable tables
  bdd_gid next_gid;
  std::vector<String> names;           // by id
  std::vector<bdd_node*> var_nodes;    // by id
  std::vector<std::int32_t> index_of_id;
  std::vector<std::int32_t> id_of_index;
  // The substitution table: a function (node and link) per variable slot. It
  // holds no reference; `Bdd_gc` keeps the nodes it names alive instead, so
  // the reference counts shown by `Bdd_stats` are those of the handles alone.
  std::vector<bdd_assoc_entry> assoc;
  bdd_unique_table* unique_table;      // owned
  std::map<String, std::int32_t> name_map;
  std::int64_t gc_calls;
  bdd_node* one;                       // owned
  // Units of work the recursive operations have done, and the count they
  // may not pass: a budgeted computation lowers it while it runs, and the
  // operations give up past it, the budget then spent until it ends
  // (bdd/work.h). Unbounded otherwise.
  std::uint64_t work_done = 0;
  std::uint64_t work_limit = ~std::uint64_t(0);
  bool work_spent = false;

  bddpp_manager();
  explicit bddpp_manager(bddpp_manager* other);
  ~bddpp_manager();
  bddpp_manager(const bddpp_manager&) = delete;
  bddpp_manager& operator=(const bddpp_manager&) = delete;

  // Constants.
  bdd_node* Bdd_node_one();
  bdd Bdd_one();
  bdd Bdd_zero();

  // Declaring variables.
  bdd_node* New_node_var_last(const String& name);
  bdd New_var_last(const String& name);
  bdd_node* New_node_var_before(std::int32_t i, const String& name);
  bdd New_var_before(std::int32_t i, const String& name);
  bdd New_var_before(bdd v, const String& name);
  bdd_node* New_node_var_after(std::int32_t i, const String& name);
  bdd New_var_after(std::int32_t i, const String& name);
  bdd New_var_after(bdd v, const String& name);

  // Lookups.
  bdd Bdd_var_by_id(std::int32_t id);
  bdd Bdd_var_by_index(std::int32_t i);
  bdd Bdd_var_by_name(const String& name);
  std::int32_t Id_var_by_name(const String& name);
  std::int32_t Index_var_by_name(const String& name);
  std::int32_t Bdd_if_id(const bdd& f);
  std::int32_t Id_var_by_bdd(const bdd& f);
  std::int32_t Bdd_if_index(const bdd& f);
  std::int32_t Index_var_by_bdd(const bdd& f);
  String Name_var_by_id(std::int32_t id);
  String Name_var_by_index(std::int32_t i);
  String Name_var_by_bdd(const bdd& f);

  // Renaming (printed names only; lookups keep the declared names).
  void Rename_var(const String& new_name, const String& old_name);
  void Change_name_by_id(std::int32_t id, const String& name);
  void Change_name_by_index(std::int32_t i, const String& name);
  void Replace_char_in_all_names(char c1, char c2);
  void No_begin_underscore_name();

  // Marks, numbering and sizes.
  void Bdd_clear_marks(bdd_node* n);
  void Bdd_clear_marks(const bdd& f);
  void Bdd_global_clear_marks();
  std::int32_t Bdd_incremental_id(bdd_node* n, std::int32_t k);
  std::int32_t Bdd_node_size(bdd_node* n);
  std::int32_t Bdd_size(const bdd& f);
  bdd_gid Bdd_total_size();

  // Unique table, collector, statistics.
  // A node whose count fell below one, or that was born without a reference:
  // the collector starts from these instead of scanning the whole table.
  void note_unused(bdd_node* n) {
    unused_nodes.push_back(n);
    if (unused_nodes.size() > unused_limit) trim_unused();
  }
  void Map_integrate(bdd_node* n);
  void Map_suppress(bdd_node* n);
  void Bdd_gc();
  void Bdd_stats(std::ostream& os);
  String Bdd_version();
  // Every table node in key order (id, then gid, else gid, else-link flag).
  std::vector<bdd_node*> table_nodes_in_key_order() const;
  std::int32_t table_node_count() const;

  // Kept for older callers.
  bdd Bdd_dup(bdd f);
  void Bdd_free(const bdd& f);

  // Support queries.
  std::set<std::int32_t> set_of_id_depend_on(const bdd& f);
  std::set<std::int32_t> set_of_index_depend_on(const bdd& f);
  void Present_variables(const bdd& f, int* table);
  bool exists_common_variables(const bdd& f, const bdd& g);

  // Structure dumps.
  void Print_bdd_structure(FILE* out, const bdd& f);
  void Print_bdd_structure(std::ostream& os, const bdd& f);
  void Print_bdd_structure_loc(FILE* out, int indent, bdd_node* n);
  void Print_bdd_structure_loc(std::ostream& os, int indent, bdd_node* n);
  void Print_bdd_global_structure_loc(FILE* out, int indent, bdd_node* n);
  void Print_bdd_global_structure_loc(std::ostream& os, int indent, bdd_node* n);
  void Chars(char c, int n, FILE* out);
  void Chars(char c, int n, std::ostream& os);

  // Node constructor and the two core operators at node level.
  bdd_node* Find_or_create_bdd_node(std::int32_t index, int tl, int el, bdd_node* t, bdd_node* e,
                                    int& link);
  bdd_node* Bdd_and(int xl, bdd_node* x, int yl, bdd_node* y, int& link);
  bdd_node* Bdd_or(int xl, bdd_node* x, int yl, bdd_node* y, int& link);

  // Boolean operators.
  bdd Bdd_and(const bdd& f, const bdd& g);
  bdd Bdd_or(const bdd& f, const bdd& g);
  bdd Bdd_not(const bdd& f);
  bdd Bdd_nand(const bdd& f, const bdd& g);
  bdd Bdd_nor(const bdd& f, const bdd& g);
  bdd Bdd_xor(const bdd& f, const bdd& g);
  bdd Bdd_xnor(const bdd& f, const bdd& g);
  bdd Bdd_eq(const bdd& f, const bdd& g);
  bdd Bdd_implication(const bdd& f, const bdd& g);
  bdd Bdd_ite(const bdd& f, const bdd& g, const bdd& h);
  bdd Bdd_ite(int link, std::int32_t index, const bdd& g, const bdd& h);

  // Tests.
  int Bdd_is_tautology(const bdd& f, int v);
  int Bdd_is_tautology(const bdd& f);
  int Bdd_is_one_tautologic(const bdd& f);
  int Bdd_is_zero_tautologic(const bdd& f);
  int Bdd_equiv(const bdd& f, const bdd& g);
  int Bdd_imply(const bdd& f, const bdd& g);
  int Bdds_excl(const bdd& f, const bdd& g);
  int Bdds_exclude(const bdd& f, const bdd& g);
  int Bdd_is_var(const bdd& f);
  int Bdd_is_negvar(const bdd& f);
  int Bdd_depends_on(const bdd& f, const bdd& v);
  int Bdd_node_depends_on(bdd_node* f, bdd_node* v);
  int Variable_awaited(const bdd& f, std::int32_t p);
  int Variable_true_awaited(const bdd& f, std::int32_t p);
  int Variable_false_awaited(const bdd& f, std::int32_t p);
  int Bdd_is_cube(const bdd& f);
  int Bdd_is_correct(const bdd& f);

  // Cofactors and top variable.
  bdd Bdd_then(const bdd& f);
  bdd Bdd_else(const bdd& f);
  bdd Bdd_if(const bdd& f);

  // Restriction, quantification, evaluation.
  bdd Bdd_cube_reduce(const bdd& f, const bdd& c);
  bdd Bdd_exist(const bdd& f, const bdd& v);
  bdd Bdd_forall(const bdd& f, const bdd& v);
  bdd Bdd_eval(const bdd& f, int* values);
  int Bdd_eval_for_literal(const bdd& f, int* values);
  bdd Bdd_reduce(const bdd& f, const bdd& g);
  bdd Bdd_keep_first_variables(const bdd& f, std::int32_t n);

  // Composition and renaming.
  bdd Bdd_compose(const bdd& f, const bdd& x, const bdd& g);
  bdd Bdd_compose_loc(const bdd& f, const bdd& x, const bdd& g);
  bdd Bdd_replace_vars(const bdd& f, std::int32_t* map);

  // Placeholders.
  bool Bdd_swap_vars(const bdd& f, const bdd& x, const bdd& y);
  void Bdd_var_reorder();

  // Single cubes and literal tables.
  int Bdd_OneSat(bdd_node* n, int link, int* table);
  bdd Bdd_satisfy(const bdd& f);
  bdd Literals_to_bdd(int* table);
  void Bdd_to_literals(const bdd& c, int* table);
  void Bdd_node_to_literals(int link, bdd_node* n, int* table);
  void Bdd_to_literals(const bdd& c, std::list<std::int32_t>& positive,
                       std::list<std::int32_t>& negative);
  void Bdd_node_to_literals(int link, bdd_node* n, std::list<std::int32_t>& positive,
                            std::list<std::int32_t>& negative);

  // Expression parser.
  bdd Parse_expression(const String& e, int* prio, int* status);
  bdd Parse_expression(const String& e, int* status);

  // Minterms, implicants and sum-of-products covers.
  bdd Minterm(std::int32_t k, std::int32_t n, bdd* v);
  bdd Bdd_one_implicant(const bdd& f);
  int Bdd_is_prime_implicant(const bdd& c, const bdd& f);
  void Bdd_prime_implicants(const bdd& f, std::list<bdd>& out);
  void Bdd_essential_implicants(const bdd& f, std::list<bdd>& essential, std::list<bdd>& others);
  void Bdd_sop(const bdd& f, std::list<bdd>& out, int level);
  void Bdd_sop_0(const bdd& f, std::list<bdd>& out);
  void Bdd_sop_1(const bdd& f, std::list<bdd>& out);
  void Bdd_sop_2(const bdd& f, std::list<bdd>& out);
  void Bdd_sop_2plus(const bdd& f, std::list<bdd>& out);
  // Level 2 when it fits in `budget` units of work, and 1; otherwise the
  // cover of Bdd_sop_irredundant, and 0. The units count the implicant walk
  // (a vertex of the tree folded onto shared sub-functions, a leaf of the
  // unfolded tree, a word of the implicant list's index read, see
  // bdd/cube_bits.h) and every BDD operation of the walk and of the covers
  // after it (bdd/work.h); a tree whose leaves alone promise too much is not
  // walked. Work is counted, not timed: the same function gives the same
  // cover on any machine, and a budget gives level 2 wherever a smaller one
  // did.
  int Bdd_sop_2_within(const bdd& f, std::list<bdd>& out, std::uint64_t budget);
  // A cover of prime implicants none of which can go, in time near-linear
  // in its size (the Minato–Morreale recursion): cubes with the top variable
  // positive, then negated, then without it. ZERO gives no cube, ONE [ONE].
  void Bdd_sop_irredundant(const bdd& f, std::list<bdd>& out);
  int Bdd_sop(const bdd& f, bdd* out, int level);
  std::int32_t Max_number_of_terms();
  void Truth_table(const bdd& f, int n, bdd* v, char* out);
  void Bdd_truth_table(const bdd& f, int n, bdd* v, bdd* out);
  std::uint32_t Id_function_by_bdd(bdd f, int n, bdd* v);
  bdd Bdd_function_by_id(std::uint32_t id, std::int32_t n, bdd* v);
  bdd Bdd_simplify(const bdd& f, const bdd& g);
  bdd Bdd_simplify2(const bdd& f, const bdd& g);
  bdd Bdd_simplify3(const bdd& f, const bdd& g);

  // Printers: products and sums of products.
  String Print_product_to_String_pref_suff(const String& and_text, const String& not_text,
                                           const String& not_end, const bdd& cube,
                                           const String& prefix, const String& suffix);
  String Print_product_to_String(const String& and_text, const String& not_text,
                                 const String& not_end, const bdd& cube);
  void Print_product(const String& and_text, const String& not_text, const String& not_end,
                     std::ostream& o, const bdd& cube);
  void Print_product_pref_suff(const String& and_text, const String& not_text,
                               const String& not_end, std::ostream& o, const bdd& cube,
                               const String& prefix, const String& suffix);
  String Print_sop_to_String_pref_suff(const String& or_text, const String& and_text,
                                       const String& not_text, const String& not_end,
                                       const bdd& f, const String& prefix, const String& suffix,
                                       int level);
  String Print_sop_to_String(const String& or_text, const String& and_text,
                             const String& not_text, const String& not_end, const bdd& f,
                             int level);
  // The text of a cover already computed, as Print_sop_to_String writes it.
  String Print_cover_to_String(const String& or_text, const String& and_text,
                               const String& not_text, const String& not_end,
                               const std::list<bdd>& cover);
  void Print_sop(const String& or_text, const String& and_text, const String& not_text,
                 const String& not_end, std::ostream& o, const bdd& f, int level);
  void Print_sop_pref_suff(const String& or_text, const String& and_text, const String& not_text,
                           const String& not_end, std::ostream& o, const bdd& f,
                           const String& prefix, const String& suffix, int level);
  String Print_sop_to_ESTEREL_String(const bdd& f, int level);
  String Print_sop_to_VHDL_String(const bdd& f, int level);
  void Print_cat_product(const String& and_text, const String& not_text, const String& not_end,
                         std::ostream& o, const bdd& cube, const String& array);
  void Print_cat_sop(const String& or_text, const String& and_text, const String& not_text,
                     const String& not_end, std::ostream& o, const bdd& f, const String& array,
                     int level);
  void Print_cat_product(std::ostream& o, const bdd& cube, std::map<std::int32_t, int>& numbers,
                         int n, bool shifted);

  // Printers: cube tables.
  void PLA_print_pref_suff(std::ostream& o, const bdd& output, const bdd& f, const String& prefix,
                           const String& suffix, const String& header, const String& output_end,
                           const String& cube_separator, const String& table_end,
                           const String& column_end, int level);
  void PLA_print_pref_suff_with_renaming(std::ostream& o, const bdd& output, const bdd& f,
                                         const String& prefix, const String& suffix,
                                         const String& header, const String& output_end,
                                         const String& cube_separator, const String& table_end,
                                         const String& column_end, int level,
                                         std::int32_t* numbers);
  void BLIF_print(std::ostream& o, const bdd& output, const bdd& f, int level);
  void LEC_print(std::ostream& o, std::int32_t* numbers, const bdd& output, const bdd& f,
                 int level);

  // Printers: node lists.
  void Print_bdd_node(std::ostream& o, bdd_node* n);
  void Print_bdd_node(std::ostream& o, bdd_node* n, std::int32_t* numbers);
  void Print_bdd_node_with_adress(std::ostream& o, bdd_node* n);
  void Print_bdd_by_nodes_list(std::ostream& o, const bdd& f);
  void Print_bdd_by_nodes_list(std::ostream& o, const bdd& f, std::int32_t* numbers);
  void Print_bdds_list_by_nodes_list(std::ostream& o, std::list<bdd>& l);
  void Print_bdds_list_by_nodes_list(std::ostream& o, std::list<bdd>& l, std::int32_t* numbers);
  void Print_bdd_by_nodes_list_loc(std::ostream& o, bdd_node* n);
  void Print_bdd_by_nodes_list_loc(std::ostream& o, bdd_node* n, std::int32_t* numbers);

  // Netlists node by node. Nodes are named by their numbers: the array
  // forms index an array that the caller declares with `next_gid` entries.
  // A manager that has made many nodes can copy the functions into a fresh
  // one first (Bdd_isomorphe), where the numbers start again at 2.
  void Print_node_for_eval(const String& p1, const String& p2, const String& p3,
                           const String& p4, const String& p5, const String& p6,
                           const String& p7, const String& p8, const String& p9,
                           std::ostream& o, bdd_node* n);
  void Print_node_for_eval_arrayless(const String& p1, const String& p2, const String& p3,
                                     const String& p4, const String& p5, const String& p6,
                                     const String& p7, const String& p8, const String& p9,
                                     std::ostream& o, bdd_node* n);
  void Print_node_for_eval(const String& p1, const String& p2, const String& p3,
                           const String& p4, const String& p5, const String& p6,
                           const String& p7, const String& p8, const String& p9,
                           const String& p10, std::ostream& o, bdd_node* n);
  void Print_node_for_eval_arrayless(const String& p1, const String& p2, const String& p3,
                                     const String& p4, const String& p5, const String& p6,
                                     const String& p7, const String& p8, const String& p9,
                                     const String& p10, std::ostream& o, bdd_node* n);
  void Print_node_for_eval_NUSMV(const String& p1, const String& p2, const String& p3,
                                 const String& p4, std::ostream& o, bdd_node* n);
  void Print_node_for_eval_VHDL(const String& p1, std::ostream& o, bdd_node* n);
  void Print_node_for_eval_BLIF(const String& p1, const String& p2, const String& p3,
                                std::ostream& o, bdd_node* n);
  void Print_node_for_eval_VHDL_input(const String& p1, const String& p2, const String& p3,
                                      std::ostream& o, const String& name);
  void Print_node_for_eval_VHDL_reset_input(const String& p1, std::ostream& o,
                                            const String& name);

  // Substitution table and fixed points. (The `long*` and `int*` forms of
  // Bdd_follow_assoc are one function here: both widths are 32 bits.)
  void Bdd_assoc_bdd_to_var(const bdd& g, const bdd& v);
  bdd Bdd_follow_assoc(const bdd& f, std::int32_t* loop);
  void debug_variables(std::ostream& o);
  void Print_Fixes_Points(std::ostream& o, const bdd& f);

  // Position of a node's variable: -1 for ONE, -3 for a node without manager.
  std::int32_t position_of(const bdd_node* n) const {
    if (n->manager == nullptr) return -3;
    if (n->id < 0) return n->id == -1 ? -1 : -3;
    return index_of_id[n->id];
  }

private:
  // Level 2 from the prime implicants of f in the walk's order.
  void sop_2_of_primes(const bdd& f, const std::list<bdd>& primes, std::list<bdd>& out);
  bdd_node* declare_variable(std::int32_t position, const String& name);
  void grow_tables();
  void trim_unused();
  // Noted since the last collection, maybe twice, maybe referenced again.
  std::vector<bdd_node*> unused_nodes;
  std::size_t unused_limit = std::size_t(1) << 16;
};

String Bdd_version();

template <class T>
std::set<T> set_union(const std::set<T>& a, const std::set<T>& b) {
  std::set<T> r(a);
  r.insert(b.begin(), b.end());
  return r;
}

std::int32_t String_table_memory_size(String* table, std::int32_t n);

// Copies into another manager: dst receives the copy, src owns the argument.
bdd_node* Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd_node* n);
bdd Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd f);
bdd_node* Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd_node* n, std::int32_t* map);
bdd Bdd_isomorphe(bddpp_manager* dst, bddpp_manager* src, bdd& f, std::int32_t* map);
bdd_node* Bdd_isomorphe_by_name(bddpp_manager* dst, bddpp_manager* src, bdd_node* n);
bdd Bdd_isomorphe_by_name(bddpp_manager* dst, bddpp_manager* src, bdd f);

// Printers outside the manager.
void Print_debug_bdd(std::ostream& o, const bdd& f);
void Print_bdd_node(std::ostream& o, bdd_node* n);

// Ternary decision diagram of a function: the enumeration tree of implicants.
class Tdd {
public:
  bddpp_manager* manager;
  bdd top;
  Tdd* children[3];

  Tdd(bddpp_manager* m, bdd f);
  ~Tdd();
  Tdd(const Tdd&) = delete;
  Tdd& operator=(const Tdd&) = delete;

  void Bdd_implicants_loc(const bdd& cube, std::list<bdd>& l);
  void Bdd_prime_implicants(std::list<bdd>& out);
  void Print_bdd_structure(std::ostream& o);
  void Print_bdd_structure_loc(std::ostream& o, int indent);
};

#endif
