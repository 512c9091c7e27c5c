// Debugging texts of the node structure and the manager's statistics. The
// FILE* and stream forms write the same text through one writer each.
#include <iostream>
#include <string>

#include "bdd/bddpp.h"
#include "bdd/unique_table.h"

namespace {

struct stream_sink {
  std::ostream& os;
  void put(const String& s) { os << s; }
  void line(const String& s) { os << s << "\n"; }
};

struct file_sink {
  FILE* out;
  void put(const String& s) { std::fputs(s.c_str(), out); }
  void line(const String& s) {
    std::fputs(s.c_str(), out);
    std::fputc('\n', out);
  }
};

String blanks(int n) { return n > 0 ? String(static_cast<std::size_t>(n), ' ') : String(); }

bool is_variable_node(const bdd_node* n) {
  return n->id >= 0 && n->then_node != nullptr && n->then_node->id == -1 && n->else_node != nullptr &&
         n->else_node->id == -1 && n->else_link == -1;
}

template <class Sink>
void structure_loc(bddpp_manager& m, Sink& out, int k, bdd_node* n) {
  if (n == nullptr) return;
  const String pad = blanks(k);
  const String number = std::to_string(n->traversal_number);
  const String position = std::to_string(m.position_of(n));
  if (n->mark) {
    out.line(pad + "already found node: " + number);
    return;
  }
  if (n->id == -1) {
    out.line(pad + "1 (node: " + number + ",index: " + position + ")");
    return;
  }
  const String& name = m.names[n->id];
  if (is_variable_node(n)) {
    out.line(pad + name + " (node: " + number + ",index: " + position + ")");
    return;
  }
  n->mark = 1;
  out.line(pad + "if " + name + " (node: " + number + ",index: " + position + ")");
  structure_loc(m, out, k + 2, n->then_node);
  out.line(pad + "else (not " + name + ")");
  if (n->else_link == -1) {
    out.line(blanks(k + 2) + "not(");
    structure_loc(m, out, k + 6, n->else_node);
    out.line(blanks(k + 2) + "   )");
  } else {
    structure_loc(m, out, k + 2, n->else_node);
  }
}

template <class Sink>
void structure(bddpp_manager& m, Sink& out, const bdd& f) {
  m.Bdd_clear_marks(f.node());
  m.Bdd_incremental_id(f.node(), 0);
  m.Bdd_clear_marks(f.node());
  if (f.link_type() != 1) {
    out.line("not(");
    structure_loc(m, out, 5, f.node());
    out.line("   )");
  } else {
    structure_loc(m, out, 0, f.node());
  }
}

// The global form shows node numbers (gid) and repeats shared nodes.
template <class Sink>
void global_structure_loc(bddpp_manager& m, Sink& out, int k, bdd_node* n, const char* label) {
  if (n == nullptr) return;
  const String pad = blanks(k);
  const String tail = " (node: " + std::to_string(n->gid) + label + std::to_string(m.position_of(n)) + ")";
  if (n->id == -1) {
    out.line(pad + "1" + tail);
    return;
  }
  const String& name = m.names[n->id];
  if (is_variable_node(n)) {
    out.line(pad + name + tail);
    return;
  }
  out.line(pad + "if " + name + tail);
  global_structure_loc(m, out, k + 2, n->then_node, label);
  out.line(pad + "else (not " + name + ")");
  if (n->else_link == -1) {
    out.line(blanks(k + 2) + "not(");
    global_structure_loc(m, out, k + 6, n->else_node, label);
    out.line(blanks(k + 2) + "   )");
  } else {
    global_structure_loc(m, out, k + 2, n->else_node, label);
  }
}

}  // namespace

void bddpp_manager::Print_bdd_structure(FILE* out, const bdd& f) {
  file_sink s{out};
  structure(*this, s, f);
}

void bddpp_manager::Print_bdd_structure(std::ostream& os, const bdd& f) {
  stream_sink s{os};
  structure(*this, s, f);
}

void bddpp_manager::Print_bdd_structure_loc(FILE* out, int indent, bdd_node* n) {
  file_sink s{out};
  structure_loc(*this, s, indent, n);
}

void bddpp_manager::Print_bdd_structure_loc(std::ostream& os, int indent, bdd_node* n) {
  stream_sink s{os};
  structure_loc(*this, s, indent, n);
}

void bddpp_manager::Print_bdd_global_structure_loc(FILE* out, int indent, bdd_node* n) {
  file_sink s{out};
  global_structure_loc(*this, s, indent, n, ",global index: ");
}

void bddpp_manager::Print_bdd_global_structure_loc(std::ostream& os, int indent, bdd_node* n) {
  stream_sink s{os};
  global_structure_loc(*this, s, indent, n, ",index: ");
}

void bddpp_manager::Chars(char c, int n, FILE* out) {
  for (int i = 0; i < n; ++i) std::fputc(c, out);
}

void bddpp_manager::Chars(char c, int n, std::ostream& os) {
  for (int i = 0; i < n; ++i) os << c;
}

String bddpp_manager::Bdd_version() { return ::Bdd_version(); }

void bddpp_manager::Bdd_stats(std::ostream& os) {
  os << "BDD MANAGER statistics:\n";
  os << "memory adress: " << static_cast<const void*>(this) << " Version: " << Bdd_version() << "\n";
  os << "bdd constant number: 1\n";
  os << "-: 1 --> " << one->signature << "\n";
  os << "bdd variables number: " << var_count << "\n";
  if (var_count > 0) {
    os << "Index (Id): name --> signature\n";
    for (std::int32_t i = 0; i < var_count; ++i) {
      std::int32_t id = id_of_index[i];
      os << i << "(" << id << "): " << names[id] << " --> " << var_nodes[id]->signature << "\n";
    }
  }
  if (unique_table == nullptr) {
    os << "internal map undefined ...\n";
  } else {
    os << "Map:\n";
    os << "global id: sign = var_index then_node else_node else_link_type (refs number)\n";
    std::int64_t seen = 0, useless = 0, total_refs = 0;
    for (bdd_node* n : unique_table->nodes_in_key_order()) {
      const std::int64_t key = n->signature;
      os << n->gid << ": " << key << " = " << (key >> 41) << " " << ((key >> 21) % (1 << 20)) << " "
         << ((key >> 1) % (1 << 20)) << " " << ((key & 1) ? "normal" : "inverse") << " (" << n->refs
         << ")\n";
      Print_bdd_global_structure_loc(os, 0, n);
      os << String(43, '-') << "\n";
      ++seen;
      if (n->id != -1) {
        total_refs += n->refs;
        if (n->refs < 1) ++useless;
      }
    }
    os << "Finaly:\n";
    os << "Map Nodes number: " << seen << " --> useless: " << useless << "\n";
    os << "Global references number: " << total_refs << "\n";
    os << "number of garbage collector calls: " << gc_calls << "\n";
  }
  os << String(46, '-') << "\n";
  os.flush();
}
