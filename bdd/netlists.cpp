// Netlists of a diagram, node by node: each node a multiplexer of its
// variable between its two children, named after its number (gid). One
// traversal serves every target: children first, each node once (the
// traversal marks what it printed; the caller clears the marks before a
// run). The caller supplies the target's tokens.
#include <iostream>
#include <vector>

#include "bdd/bddpp.h"

namespace {

bool is_variable_node(const bdd_node* n) {
  return n->id >= 0 && n->then_node != nullptr && n->then_node->id == -1 && n->else_node != nullptr &&
         n->else_node->id == -1 && n->else_link == -1;
}

// What each target writes for the three kinds of node; `inner` is called
// after both children were written.
class netlist_target {
public:
  virtual ~netlist_target() = default;
  virtual void constant(std::ostream& o, bdd_node* n) = 0;
  virtual void variable(std::ostream& o, bdd_node* n) = 0;
  virtual void inner(std::ostream& o, bdd_node* n) = 0;
};

// Children before parents, each node once. An explicit stack: a chain of
// thousands of variables must not exhaust the call stack.
void write_netlist(std::ostream& o, bdd_node* start, netlist_target& target) {
  if (start == nullptr || start->mark) return;
  struct frame {
    bdd_node* n;
    int stage;  // 0: then child next, 1: else child next, 2: own line
  };
  std::vector<frame> stack;
  start->mark = 1;
  stack.push_back({start, 0});
  while (!stack.empty()) {
    frame& f = stack.back();
    bdd_node* n = f.n;
    if (n->id == -1) {
      target.constant(o, n);
      stack.pop_back();
      continue;
    }
    if (is_variable_node(n)) {
      target.variable(o, n);
      stack.pop_back();
      continue;
    }
    if (f.stage < 2) {
      bdd_node* child = f.stage == 0 ? n->then_node : n->else_node;
      f.stage += 1;
      if (child != nullptr && !child->mark) {
        child->mark = 1;
        stack.push_back({child, 0});
      }
      continue;
    }
    target.inner(o, n);
    stack.pop_back();
  }
}

String gid_text(const bdd_node* n) { return longlong2S(n->gid); }

// C-like evaluation arrays: node names P9[gid] or P9_gid.
class eval_target : public netlist_target {
public:
  eval_target(const String* p, const String& indent, const String& constant_indent, const String& array,
              bool arrayless)
      : p_(p), indent_(indent), constant_indent_(constant_indent), array_(array), arrayless_(arrayless) {}

  void constant(std::ostream& o, bdd_node* n) override {
    o << constant_indent_ << lhs(n) << p_[2] << p_[6] << p_[3] << p_[7] << std::endl;
  }
  void variable(std::ostream& o, bdd_node* n) override {
    o << indent_ << lhs(n) << var(n) << p_[7] << std::endl;
  }
  void inner(std::ostream& o, bdd_node* n) override {
    o << indent_ << lhs(n);
    if (n->then_node) o << var(n) << p_[1] << ref(n->then_node);
    if (n->then_node && n->else_node) o << p_[0];
    if (n->else_node) {
      o << p_[2] << var(n) << p_[3] << p_[1];
      if (n->else_link == 1)
        o << ref(n->else_node);
      else
        o << p_[2] << ref(n->else_node) << p_[3];
    }
    o << p_[7] << std::endl;
  }

private:
  String ref(const bdd_node* n) const {
    return arrayless_ ? array_ + "_" + gid_text(n) : array_ + "[" + gid_text(n) + "]";
  }
  String lhs(const bdd_node* n) const { return ref(n) + "= "; }
  String var(const bdd_node* n) const { return p_[4] + n->manager->names[n->id] + p_[5]; }

  const String* p_;
  const String indent_;
  const String constant_indent_;
  const String array_;
  bool arrayless_;
};

class nusmv_target : public netlist_target {
public:
  nusmv_target(const String& prefix, const String& suffix, const String& indent, const String& node_prefix)
      : prefix_(prefix), suffix_(suffix), indent_(indent), node_prefix_(node_prefix) {}

  void constant(std::ostream& o, bdd_node* n) override { o << lhs(n) << "TRUE" << ";" << std::endl; }
  void variable(std::ostream& o, bdd_node* n) override { o << lhs(n) << var(n) << ";" << std::endl; }
  void inner(std::ostream& o, bdd_node* n) override {
    o << lhs(n);
    if (n->then_node) o << var(n) << " & " << ref(n->then_node);
    if (n->then_node && n->else_node) o << " | ";
    o << "!" << var(n) << " & ";
    if (n->else_link == -1) o << "!";
    if (n->else_node) o << ref(n->else_node);
    o << ";" << std::endl;
  }

private:
  String ref(const bdd_node* n) const { return node_prefix_ + "_" + gid_text(n); }
  String lhs(const bdd_node* n) const { return indent_ + ref(n) + ":= "; }
  String var(const bdd_node* n) const { return prefix_ + n->manager->names[n->id] + suffix_; }
  const String& prefix_;
  const String& suffix_;
  const String& indent_;
  const String& node_prefix_;
};

class vhdl_target : public netlist_target {
public:
  explicit vhdl_target(const String& signal) : s_(signal) {}

  void constant(std::ostream& o, bdd_node* n) override {
    o << "      " << s_ << "(" << n->gid << ") <= '1';" << std::endl;
  }
  // Variable nodes are driven by the input lines.
  void variable(std::ostream&, bdd_node*) override {}
  void inner(std::ostream& o, bdd_node* n) override {
    const bdd_gid v = n->manager->var_nodes[n->id]->gid;
    o << "      " << s_ << "(" << n->gid << ") <= ";
    if (n->then_node) o << "(" << s_ << "(" << v << ") and " << s_ << "(" << n->then_node->gid << "))";
    if (n->then_node && n->else_node) o << " or ";
    if (n->else_node) {
      o << "(not " << s_ << "(" << v << ") and ";
      if (n->else_link == -1) o << "not ";
      o << s_ << "(" << n->else_node->gid << ")" << ")";
    }
    o << ";" << std::endl;
  }

private:
  const String& s_;
};

class blif_target : public netlist_target {
public:
  blif_target(const String& prefix, const String& suffix, const String& node_prefix)
      : prefix_(prefix), suffix_(suffix), node_prefix_(node_prefix) {}

  void constant(std::ostream& o, bdd_node* n) override {
    o << ".names " << ref(n) << std::endl << "1" << std::endl;
  }
  void variable(std::ostream& o, bdd_node* n) override {
    o << ".names " << var(n) << " " << ref(n) << std::endl << "1 1" << std::endl;
  }
  void inner(std::ostream& o, bdd_node* n) override {
    if (n->then_node == nullptr || n->else_node == nullptr) return;
    o << ".names " << var(n) << " " << ref(n->then_node) << " " << ref(n->else_node) << " " << ref(n)
      << std::endl;
    o << "11- 1" << std::endl;
    o << "0-" << (n->else_link == 1 ? "1" : "0") << " 1" << std::endl;
  }

private:
  String ref(const bdd_node* n) const { return node_prefix_ + "_" + gid_text(n); }
  String var(const bdd_node* n) const { return prefix_ + n->manager->names[n->id] + suffix_; }
  const String& prefix_;
  const String& suffix_;
  const String& node_prefix_;
};

}  // namespace

void bddpp_manager::Print_node_for_eval(const String& p1, const String& p2, const String& p3, const String& p4,
                                        const String& p5, const String& p6, const String& p7, const String& p8,
                                        const String& p9, std::ostream& o, bdd_node* n) {
  const String p[] = {p1, p2, p3, p4, p5, p6, p7, p8};
  eval_target target(p, "  ", "   ", p9, false);
  write_netlist(o, n, target);
}

void bddpp_manager::Print_node_for_eval_arrayless(const String& p1, const String& p2, const String& p3,
                                                  const String& p4, const String& p5, const String& p6,
                                                  const String& p7, const String& p8, const String& p9,
                                                  std::ostream& o, bdd_node* n) {
  const String p[] = {p1, p2, p3, p4, p5, p6, p7, p8};
  eval_target target(p, "  ", "   ", p9, true);
  write_netlist(o, n, target);
}

void bddpp_manager::Print_node_for_eval(const String& p1, const String& p2, const String& p3, const String& p4,
                                        const String& p5, const String& p6, const String& p7, const String& p8,
                                        const String& p9, const String& p10, std::ostream& o, bdd_node* n) {
  const String p[] = {p1, p2, p3, p4, p5, p6, p7, p8};
  eval_target target(p, p9, p9, p10, false);
  write_netlist(o, n, target);
}

void bddpp_manager::Print_node_for_eval_arrayless(const String& p1, const String& p2, const String& p3,
                                                  const String& p4, const String& p5, const String& p6,
                                                  const String& p7, const String& p8, const String& p9,
                                                  const String& p10, std::ostream& o, bdd_node* n) {
  const String p[] = {p1, p2, p3, p4, p5, p6, p7, p8};
  eval_target target(p, p9, p9, p10, true);
  write_netlist(o, n, target);
}

void bddpp_manager::Print_node_for_eval_NUSMV(const String& p1, const String& p2, const String& p3,
                                              const String& p4, std::ostream& o, bdd_node* n) {
  nusmv_target target(p1, p2, p3, p4);
  write_netlist(o, n, target);
}

void bddpp_manager::Print_node_for_eval_VHDL(const String& p1, std::ostream& o, bdd_node* n) {
  vhdl_target target(p1);
  write_netlist(o, n, target);
}

void bddpp_manager::Print_node_for_eval_BLIF(const String& p1, const String& p2, const String& p3,
                                             std::ostream& o, bdd_node* n) {
  blif_target target(p1, p2, p3);
  write_netlist(o, n, target);
}

void bddpp_manager::Print_node_for_eval_VHDL_input(const String& p1, const String& p2, const String& p3,
                                                   std::ostream& o, const String& name) {
  for (bdd_node* n : table_nodes_in_key_order())
    if (is_variable_node(n) && names[n->id] == name)
      o << "      " << p3 << "(" << n->gid << ") <= " << p1 << name << p2 << ";" << std::endl;
}

void bddpp_manager::Print_node_for_eval_VHDL_reset_input(const String& p1, std::ostream& o, const String& name) {
  for (bdd_node* n : table_nodes_in_key_order())
    if (is_variable_node(n) && names[n->id] == name) o << "      " << p1 << "(" << n->gid << ") <= '0';" << std::endl;
}

String bdd::vhdl_node_name(const String& signal) const {
  String s = link == -1 ? "not " : "";
  return s + signal + "(" + unslonglong2S(node_ptr ? static_cast<std::uint64_t>(node_ptr->gid) : 0u) + ")";
}

void bdd_node::Lustre_writing_node_used(int* used, bdd_node* other) {
  // Iterative, for long chains: a node is marked once both its children are
  // done, so a node shared below is walked once, as by the recursive form.
  // The second argument is passed down unchanged by that form and read by
  // nobody.
  if (mark) return;
  struct frame {
    bdd_node* n;
    int stage;
  };
  std::vector<frame> stack{{this, 0}};
  used[gid] = 1;
  while (!stack.empty()) {
    frame& f = stack.back();
    bdd_node* n = f.n;
    if (n->id != -1 && f.stage < 2) {
      bdd_node* child = f.stage == 0 ? n->then_node : n->else_node;
      f.stage += 1;
      if (child != nullptr && !child->mark) {
        used[child->gid] = 1;
        stack.push_back({child, 0});
      }
      continue;
    }
    n->mark = 1;
    stack.pop_back();
  }
  (void)other;
}
