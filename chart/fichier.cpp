// The chart: construction, model kinds, builders and structure upkeep.
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "chart/gal_norm.h"
#include "text/g_time.h"

const char gal_mots_cles_modeles[4][21] = {"basic_model:", "par_automata_model:",
                                           "light_esterel_model:", "synccharts_model:"};

namespace {

constexpr int initial_transition_capacity = 8;

template <class T>
std::vector<T> vector_of(const std::list<T>* l) {
  return l ? std::vector<T>(l->begin(), l->end()) : std::vector<T>();
}

// Storage released, not merely emptied: an emptied table holds no array.
template <class T>
void release(std::vector<T>& table) {
  std::vector<T>().swap(table);
}

}  // namespace

gal_tpen_fichier::gal_tpen_fichier()
    : mon_modele_(undefined_model),
      encapsulation_(0),
      signature_modif_(0),
      nbr_transitions_(0),
      table_transitions_(initial_transition_capacity),
      composantes_en_retard_(false),
      plus_grand_bout_(-1) {
  change_modif_signature();
}

gal_tpen_fichier::gal_tpen_fichier(String* nom_module, int modele, std::list<String>* types,
                                   std::list<gal_declaration_variables>* inputs,
                                   std::list<gal_declaration_variables>* sensors,
                                   std::list<gal_declaration_variables>* outputs,
                                   std::list<gal_declaration_variables>* locals,
                                   std::list<gal_declaration_variables>* variables,
                                   std::list<gal_declaration_progs>* runs,
                                   std::list<gal_declaration_functions>* functions,
                                   std::list<gal_declaration_constants>* constants,
                                   std::list<gal_declaration_pres>* pres,
                                   std::list<String>* actions)
    : mon_modele_(modele),
      mon_nom_module_(nom_module ? *nom_module : String()),
      encapsulation_(0),
      signature_modif_(0),
      nbr_transitions_(0),
      table_transitions_(initial_transition_capacity),
      table_types_(vector_of(types)),
      table_inputs_(vector_of(inputs)),
      table_outputs_(vector_of(outputs)),
      table_actions_(vector_of(actions)),
      table_locals_(vector_of(locals)),
      table_variables_(vector_of(variables)),
      table_sensors_(vector_of(sensors)),
      table_progs_externes_(vector_of(runs)),
      table_functions_(vector_of(functions)),
      table_constants_(vector_of(constants)),
      table_pres_(vector_of(pres)),
      composantes_en_retard_(false),
      plus_grand_bout_(-1) {
  change_modif_signature();
}

gal_tpen_fichier::~gal_tpen_fichier() = default;

// (seconds within a year of 365 days) x 10^6 + microseconds, wrapped to 32
// bits. Unsigned arithmetic gives the two's-complement wrap without overflow.
void gal_tpen_fichier::change_modif_signature() {
  tessan::timeval now;
  tessan::gettimeofday(&now, nullptr);
  const std::uint64_t seconds = static_cast<std::uint64_t>(now.tv_sec);
  const std::uint32_t stamp = static_cast<std::uint32_t>(seconds % 31536000u) * 1000000u +
                              static_cast<std::uint32_t>(now.tv_usec);
  signature_modif_ = static_cast<std::int32_t>(stamp);
}

// ---- Model kind and name ------------------------------------------------------

int gal_tpen_fichier::mon_modele() const { return mon_modele_; }

void gal_tpen_fichier::def_modele(int m) {
  // Pending automata belong to the kind they were appended under.
  rattrape_composantes();
  change_modif_signature();
  mon_modele_ = m;
  switch (m) {
    case basic_model:
    case par_automata_model:
      release(table_locals_);
      release(table_variables_);
      release(table_sensors_);
      release(table_pres_);
      break;
    case light_esterel_model:
      table_locals_.insert(table_locals_.end(), table_variables_.begin(), table_variables_.end());
      release(table_variables_);
      table_inputs_.insert(table_inputs_.end(), table_sensors_.begin(), table_sensors_.end());
      release(table_sensors_);
      break;
    case synccharts_model:
      release(table_pres_);
      break;
    default:
      break;
  }
}

void gal_tpen_fichier::def_nom_module(const String& n) {
  change_modif_signature();
  mon_nom_module_ = n;
}

// ---- The reader's setters -----------------------------------------------------

void gal_tpen_fichier::parse_etats(std::list<gal_tpen_etat>* l) {
  rattrape_composantes();
  table_etats_ = vector_of(l);
}

void gal_tpen_fichier::parse_transitions(std::list<gal_tpen_transition>* l) {
  rattrape_composantes();
  const int count = l ? static_cast<int>(l->size()) : 0;
  if (count < static_cast<int>(table_transitions_.size())) {
    if (l) std::copy(l->begin(), l->end(), table_transitions_.begin());
  } else {
    table_transitions_ = vector_of(l);
  }
  nbr_transitions_ = count;
  plus_grand_bout_ = -1;
  for (int k = 0; k < count; ++k) {
    plus_grand_bout_ = std::max(plus_grand_bout_, table_transitions_[k].mon_ident_etat_amont_);
    plus_grand_bout_ = std::max(plus_grand_bout_, table_transitions_[k].mon_ident_etat_aval_);
  }
}

// ---- Builders -------------------------------------------------------------------

void gal_tpen_fichier::add_fin_etat(const gal_tpen_etat& s) {
  change_modif_signature();
  const int index = nbr_etats();
  // A pending recomputation must not see the new state when some transition
  // already names its index: that end did not count when it was appended.
  if (composantes_en_retard_ && plus_grand_bout_ >= index) rattrape_composantes();
  table_etats_.push_back(s);
  if (!composantes_en_retard_) composantes_.push_back(std::list<int>(1, index));
}

void gal_tpen_fichier::add_fin_transition(const gal_tpen_transition& t) {
  change_modif_signature();
  const int k = nbr_transitions_;
  const int capacity = static_cast<int>(table_transitions_.size());
  if (k >= capacity) {
    // t may be an element of the table itself: copy it before the table moves.
    gal_tpen_transition added = t;
    // A released table (capacity 0) must grow too.
    table_transitions_.resize(capacity > 0 ? capacity * 2 : initial_transition_capacity);
    table_transitions_[k] = std::move(added);
  } else {
    table_transitions_[k] = t;
  }
  const int n = nbr_etats();
  const int source = table_transitions_[k].mon_ident_etat_amont_;
  const int target = table_transitions_[k].mon_ident_etat_aval_;
  if (source >= 0 && source < n) table_etats_[source].add_post_transition(k);
  if (target >= 0 && target < n) table_etats_[target].add_pre_transition(k);
  ++nbr_transitions_;
  plus_grand_bout_ = std::max(plus_grand_bout_, std::max(source, target));
  // Same effect as update_simple_connexite(), computed when next read.
  if (mon_modele_ != undefined_model && mon_modele_ != basic_model) composantes_en_retard_ = true;
}

void gal_tpen_fichier::add_fin_input(const gal_declaration_variables& v) {
  change_modif_signature();
  table_inputs_.push_back(v);
}

void gal_tpen_fichier::add_fin_local(const gal_declaration_variables& v) {
  change_modif_signature();
  table_locals_.push_back(v);
}

void gal_tpen_fichier::add_fin_output(const gal_declaration_variables& v) {
  change_modif_signature();
  table_outputs_.push_back(v);
}

void gal_tpen_fichier::add_fin_pre(const gal_declaration_pres& p) {
  change_modif_signature();
  table_pres_.push_back(p);
}

void gal_tpen_fichier::add_fin_action(const String& a) {
  change_modif_signature();
  table_actions_.push_back(a);
}

void gal_tpen_fichier::add_fin_progs_externes(const gal_declaration_progs& p) {
  change_modif_signature();
  table_progs_externes_.push_back(p);
}

void gal_tpen_fichier::add_type(const char* t) { add_type(String(t ? t : "")); }

void gal_tpen_fichier::add_type(const String& t) {
  change_modif_signature();
  for (const String& known : table_types_)
    if (known == t) return;
  table_types_.push_back(t);
}

int gal_tpen_fichier::ident_et_add_prog_externe(const String& name) {
  for (std::size_t i = 0; i < table_progs_externes_.size(); ++i)
    if (table_progs_externes_[i].nom_module_ == name) return static_cast<int>(i);
  change_modif_signature();
  const std::list<gal_declaration_variables> none;
  table_progs_externes_.push_back(gal_declaration_progs(".", name, name, none, none, none));
  return nbr_progs_externes() - 1;
}

// One boot state takes over every initial arrow (suspensions included), so
// the automata they entered become one.
void gal_tpen_fichier::add_bootstate() {
  change_modif_signature();
  gal_tpen_etat boot;
  boot.replace_nom("bootstate");
  add_fin_etat(boot);
  const int b = nbr_etats() - 1;
  bool found = false;
  for (int k = 0; k < nbr_transitions_; ++k) {
    gal_tpen_transition& t = table_transitions_[k];
    if (t.mon_ident_etat_amont_ != -1) continue;
    found = true;
    t.mon_ident_etat_amont_ = b;
    if (t.ma_receptivite_.empty()) t.ma_receptivite_ = "1";
  }
  if (!found) {
    std::cerr << "ERROR: no initial state found !" << std::endl;
    std::exit(1);
  }
  add_fin_transition(gal_tpen_transition(-1, b, strong_trans, 0.0, 0.0, 0, "1", std::list<int>()));
  // The re-sourced arrows now leave b: every list must say so, or a later
  // deletion of b would leave them behind.
  internal_raj_pre_post_transitions();
}

void gal_tpen_fichier::efface_table_inputs() {
  if (!table_inputs_.empty()) change_modif_signature();
  release(table_inputs_);
}

void gal_tpen_fichier::efface_table_locals() {
  if (!table_locals_.empty()) change_modif_signature();
  release(table_locals_);
}

// ---- Structure upkeep -------------------------------------------------------

void gal_tpen_fichier::update_simple_connexite() {
  if (mon_modele_ == undefined_model || mon_modele_ == basic_model) {
    rattrape_composantes();  // work appended under another kind is still owed
    return;
  }
  calcule_composantes();
}

void gal_tpen_fichier::rattrape_composantes() const {
  if (composantes_en_retard_) calcule_composantes();
}

// Connected components of the state graph, transitions taken as undirected
// edges, searched breadth first from each unvisited state in index order.
// From a state the search takes the sources of its incoming transitions, then
// the targets of its outgoing ones, each in transition order: that fixes the
// order of the states inside an automaton, which the writers follow.
// An end outside the state table counts as none.
void gal_tpen_fichier::calcule_composantes() const {
  const int n = nbr_etats();
  const int m = nbr_transitions_;
  auto valid = [n](int s) { return s >= 0 && s < n; };

  // Adjacency in compressed rows: in_edges[in_start[s] ..] lists the sources of
  // the transitions into s, out_edges the targets of those out of s.
  std::vector<int> in_start(n + 1, 0), out_start(n + 1, 0);
  int biggest_end = -1;
  for (int k = 0; k < m; ++k) {
    const int s = table_transitions_[k].mon_ident_etat_amont_;
    const int t = table_transitions_[k].mon_ident_etat_aval_;
    biggest_end = std::max(biggest_end, std::max(s, t));
    if (valid(s) && valid(t)) {
      ++in_start[t + 1];
      ++out_start[s + 1];
    }
  }
  for (int s = 0; s < n; ++s) {
    in_start[s + 1] += in_start[s];
    out_start[s + 1] += out_start[s];
  }
  std::vector<int> in_edges(in_start[n]), out_edges(out_start[n]);
  std::vector<int> in_fill(in_start.begin(), in_start.end() - 1);
  std::vector<int> out_fill(out_start.begin(), out_start.end() - 1);
  for (int k = 0; k < m; ++k) {
    const int s = table_transitions_[k].mon_ident_etat_amont_;
    const int t = table_transitions_[k].mon_ident_etat_aval_;
    if (valid(s) && valid(t)) {
      in_edges[in_fill[t]++] = s;
      out_edges[out_fill[s]++] = t;
    }
  }

  std::vector<std::list<int>> automata;
  std::vector<char> reached(n, 0);
  std::vector<int> worklist;
  worklist.reserve(n);
  for (int i = 0; i < n; ++i) {
    if (reached[i]) continue;
    std::list<int> automaton;
    worklist.clear();
    worklist.push_back(i);
    reached[i] = 1;
    for (std::size_t head = 0; head < worklist.size(); ++head) {
      const int s = worklist[head];
      automaton.push_back(s);
      for (int e = in_start[s]; e < in_start[s + 1]; ++e)
        if (!reached[in_edges[e]]) {
          reached[in_edges[e]] = 1;
          worklist.push_back(in_edges[e]);
        }
      for (int e = out_start[s]; e < out_start[s + 1]; ++e)
        if (!reached[out_edges[e]]) {
          reached[out_edges[e]] = 1;
          worklist.push_back(out_edges[e]);
        }
    }
    automata.push_back(std::move(automaton));
  }
  composantes_.swap(automata);
  composantes_en_retard_ = false;
  plus_grand_bout_ = biggest_end;
}

void gal_tpen_fichier::raj_pre_post_transitions() { internal_raj_pre_post_transitions(); }

void gal_tpen_fichier::internal_raj_pre_post_transitions() {
  const int n = nbr_etats();
  for (gal_tpen_etat& s : table_etats_) s.clear_pre_post_transitions();
  for (int k = 0; k < nbr_transitions_; ++k) {
    const int source = table_transitions_[k].mon_ident_etat_amont_;
    const int target = table_transitions_[k].mon_ident_etat_aval_;
    if (source >= 0 && source < n) table_etats_[source].add_post_transition(k);
    if (target >= 0 && target < n) table_etats_[target].add_pre_transition(k);
  }
}

// A state running a program is drawn wide enough for the program's name; a
// run index outside the programs table counts as running nothing.
void gal_tpen_fichier::normalise_diametre_etats() {
  const bool sized_by_program =
      mon_modele_ == light_esterel_model || mon_modele_ == synccharts_model;
  for (gal_tpen_etat& s : table_etats_) {
    if (!sized_by_program) {
      s.mon_diametre_ = 1.0;
      continue;
    }
    const int run = s.mon_run_.ident_;
    if (run < 0 || run >= nbr_progs_externes()) continue;
    const double d = static_cast<double>(table_progs_externes_[run].nom_module_.size()) / 3.4;
    s.mon_diametre_ = d <= 1.0 ? 1.0 : d;
  }
}
