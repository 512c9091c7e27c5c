// The chart's queries: counts, tables and index-checked getters.
#include <iostream>

#include "chart/gal_norm.h"

namespace {

template <class T>
T* first_of(std::vector<T>& table) {
  return table.empty() ? nullptr : table.data();
}

template <class T>
const T* first_of(const std::vector<T>& table) {
  return table.empty() ? nullptr : table.data();
}

// True when i is outside [0, count): the two-line diagnostic is then written.
bool out_of_range(int i, int count, const char* query, const String& detail) {
  if (i >= 0 && i < count) return false;
  std::cerr << "PROBLEME DANS L'UTILISATION DE " << query << ":\n" << detail << "\n";
  return true;
}

String ident_line(int i, const char* tail) { return "IDENT " + long2S(i) + tail; }

template <class T>
int first_named(const std::vector<T>& table, const String& n) {
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i].nom() == n) return static_cast<int>(i);
  return -1;
}

}  // namespace

// ---- States ---------------------------------------------------------------------

gal_tpen_etat* gal_tpen_fichier::ma_table_etats() { return first_of(table_etats_); }
const gal_tpen_etat* gal_tpen_fichier::ma_table_etats() const { return first_of(table_etats_); }

String gal_tpen_fichier::nom_etat(int i) const {
  if (out_of_range(i, nbr_etats(), "'nom_etat()'", ident_line(i, " DEMANDE"))) return "";
  return table_etats_[i].mon_nom_;
}

int gal_tpen_fichier::ident_etat(const String& n) const {
  for (std::size_t i = 0; i < table_etats_.size(); ++i)
    if (table_etats_[i].mon_nom_ == n) return static_cast<int>(i);
  return -1;
}

std::list<int> gal_tpen_fichier::liste_etats_puits() const {
  const int n = nbr_etats();
  std::vector<char> is_source(n, 0);
  for (int k = 0; k < nbr_transitions_; ++k) {
    const int s = table_transitions_[k].mon_ident_etat_amont_;
    if (s >= 0 && s < n) is_source[s] = 1;
  }
  std::list<int> sinks;
  for (int s = 0; s < n; ++s)
    if (!is_source[s]) sinks.push_back(s);
  return sinks;
}

int gal_tpen_fichier::nbr_actions(int i) const {
  if (out_of_range(i, nbr_etats(), "`nbr_actions()'", "IDENT ETAT " + long2S(i) + " DEMANDE"))
    return 0;
  return static_cast<int>(table_etats_[i].mes_actions_.size());
}

namespace {

// The far ends of the transitions listed, skipping indices and ends that
// point outside their tables.
std::list<int> far_ends(const std::list<int>& transitions, const gal_tpen_transition* table,
                        int nbr_transitions, int nbr_etats, bool sources) {
  std::list<int> ends;
  for (int k : transitions) {
    if (k < 0 || k >= nbr_transitions) continue;
    const int e = sources ? table[k].mon_ident_etat_amont() : table[k].mon_ident_etat_aval();
    if (e >= 0 && e < nbr_etats) ends.push_back(e);
  }
  return ends;
}

}  // namespace

std::list<int> gal_tpen_fichier::ident_etats_pre(int i) const {
  if (i < 0 || i >= nbr_etats()) return std::list<int>();
  return far_ends(table_etats_[i].mes_transitions_pre_, ma_table_transitions(), nbr_transitions_,
                  nbr_etats(), true);
}

std::list<int> gal_tpen_fichier::ident_etats_post(int i) const {
  if (i < 0 || i >= nbr_etats()) return std::list<int>();
  return far_ends(table_etats_[i].mes_transitions_post_, ma_table_transitions(),
                  nbr_transitions_, nbr_etats(), false);
}

// ---- Transitions and automata ---------------------------------------------------

gal_tpen_transition* gal_tpen_fichier::ma_table_transitions() {
  return first_of(table_transitions_);
}
const gal_tpen_transition* gal_tpen_fichier::ma_table_transitions() const {
  return first_of(table_transitions_);
}

String gal_tpen_fichier::receptivite_transition(int i) const {
  if (out_of_range(i, nbr_transitions_, "'receptivite_transition()'",
                   ident_line(i, " DEMANDE")))
    return "";
  return table_transitions_[i].ma_receptivite_;
}

std::list<int> gal_tpen_fichier::liste_ident_transitions_par_couple_etats(int a, int b) const {
  std::list<int> found;
  for (int k = 0; k < nbr_transitions_; ++k)
    if (table_transitions_[k].mon_ident_etat_amont_ == a &&
        table_transitions_[k].mon_ident_etat_aval_ == b)
      found.push_back(k);
  return found;
}

int gal_tpen_fichier::nombre_SC() const {
  rattrape_composantes();
  return static_cast<int>(composantes_.size());
}

std::list<int> gal_tpen_fichier::SC_liste_etats(int k) const {
  rattrape_composantes();
  if (k < 0 || k >= static_cast<int>(composantes_.size())) return std::list<int>();
  return composantes_[k];
}

// ---- Declarations -----------------------------------------------------------------

String* gal_tpen_fichier::ma_table_types() { return first_of(table_types_); }
const String* gal_tpen_fichier::ma_table_types() const { return first_of(table_types_); }

gal_declaration_variables* gal_tpen_fichier::ma_table_inputs() { return first_of(table_inputs_); }
const gal_declaration_variables* gal_tpen_fichier::ma_table_inputs() const {
  return first_of(table_inputs_);
}

String gal_tpen_fichier::nom_input(int i) const {
  if (out_of_range(i, nbr_inputs(), "'nom_input()'", "AUCUNE VARIABLE DE CE TYPE")) return "?";
  return table_inputs_[i].nom_;
}

String gal_tpen_fichier::type_input(int i) const {
  if (out_of_range(i, nbr_inputs(), "'type_input()'", ident_line(i, " HORS LIMITE"))) return "?";
  return table_inputs_[i].typev_;
}

std::set<String> gal_tpen_fichier::ens_entrees(String t) const {
  std::set<String> names;
  for (const gal_declaration_variables& v : table_inputs_)
    if (v.typev_ == t) names.insert(v.nom_);
  return names;
}

int gal_tpen_fichier::nbr_inputs_bool() const {
  int count = 0;
  for (const gal_declaration_variables& v : table_inputs_)
    if (v.typev_ == "bool") ++count;
  return count;
}

gal_declaration_variables* gal_tpen_fichier::ma_table_outputs() { return first_of(table_outputs_); }
const gal_declaration_variables* gal_tpen_fichier::ma_table_outputs() const {
  return first_of(table_outputs_);
}

String gal_tpen_fichier::nom_output(int i) const {
  if (out_of_range(i, nbr_outputs(), "'nom_output()'", ident_line(i, " HORS LIMITE"))) return "?";
  return table_outputs_[i].nom_;
}

String gal_tpen_fichier::type_output(int i) const {
  if (out_of_range(i, nbr_outputs(), "'type_output()'", "IDENT HORS LIMITE")) return "?";
  return table_outputs_[i].typev_;
}

int gal_tpen_fichier::ident_output(const char* n) const { return ident_output(String(n ? n : "")); }
int gal_tpen_fichier::ident_output(const String& n) const { return first_named(table_outputs_, n); }

gal_declaration_variables* gal_tpen_fichier::ma_table_locals() { return first_of(table_locals_); }
const gal_declaration_variables* gal_tpen_fichier::ma_table_locals() const {
  return first_of(table_locals_);
}

String gal_tpen_fichier::nom_local(int i) const {
  if (out_of_range(i, nbr_locals(), "'nom_local()'", ident_line(i, " HORS LIMITE"))) return "?";
  return table_locals_[i].nom_;
}

String gal_tpen_fichier::type_local(int i) const {
  if (out_of_range(i, nbr_locals(), "'type_local()'", "IDENT HORS LIMITE")) return "?";
  return table_locals_[i].typev_;
}

int gal_tpen_fichier::ident_local(const char* n) const { return ident_local(String(n ? n : "")); }
int gal_tpen_fichier::ident_local(const String& n) const { return first_named(table_locals_, n); }

gal_declaration_constants* gal_tpen_fichier::ma_table_constants() {
  return first_of(table_constants_);
}
const gal_declaration_constants* gal_tpen_fichier::ma_table_constants() const {
  return first_of(table_constants_);
}

gal_declaration_progs* gal_tpen_fichier::ma_table_progs_externes() {
  return first_of(table_progs_externes_);
}
const gal_declaration_progs* gal_tpen_fichier::ma_table_progs_externes() const {
  return first_of(table_progs_externes_);
}

String gal_tpen_fichier::nom_module_prog_externe(int i) const {
  if (out_of_range(i, nbr_progs_externes(), "'nom_module_prog_externe()'",
                   ident_line(i, " HORS LIMITE")))
    return "?";
  return table_progs_externes_[i].nom_module_;
}

String gal_tpen_fichier::nom_fichier_prog_externe(int i) const {
  if (out_of_range(i, nbr_progs_externes(), "'nom_fichier_prog_externe()'",
                   ident_line(i, " HORS LIMITE")))
    return "?";
  return table_progs_externes_[i].nom_fichier_;
}

String gal_tpen_fichier::chemin_prog_externe(int i) const {
  if (out_of_range(i, nbr_progs_externes(), "'chemin_prog_externe()'",
                   ident_line(i, " HORS LIMITE")))
    return "?";
  return table_progs_externes_[i].chemin_;
}

String* gal_tpen_fichier::ma_table_actions() { return first_of(table_actions_); }
const String* gal_tpen_fichier::ma_table_actions() const { return first_of(table_actions_); }

String gal_tpen_fichier::action(int i) const {
  if (out_of_range(i, nbr_actions(), "'action()'", ident_line(i, " HORS LIMITE"))) return "?";
  return table_actions_[i];
}

int gal_tpen_fichier::ident_action(const String& a) const {
  for (std::size_t i = 0; i < table_actions_.size(); ++i)
    if (table_actions_[i] == a) return static_cast<int>(i);
  return -1;
}
