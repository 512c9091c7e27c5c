// Editing the chart after it was built: deletions with their renumbering,
// replacements, the layout of self-loops, emptying, and the debug dump.
//
// Every deletion is one pass over the tables it renumbers, so that deleting
// from a chart of 100k states costs a few passes over the chart, whatever the
// index deleted.
#include <algorithm>
#include <cmath>
#include <iostream>

#include "chart/gal_norm.h"
#include "text/list_int.h"

namespace {

void out_of_range(const char* operation) {
  std::cerr << "ERROR in gal_tpen_fichier::" << operation << ": out of range" << std::endl;
}

}  // namespace

// ---- Deletions --------------------------------------------------------------------

// The transitions to delete are found from their own ends, not from the
// state's lists: those are only as fresh as the last rebuild, and a transition
// redirected in place since then must not be left pointing at the index that
// the next state moves into.
void gal_tpen_fichier::sup_etat(int i) {
  if (i < 0 || i >= nbr_etats()) {
    out_of_range("sup_etat");
    return;
  }
  change_modif_signature();
  // Automata still owed are computed on the tables as they were.
  rattrape_composantes();
  int kept = 0;
  for (int k = 0; k < nbr_transitions_; ++k) {
    gal_tpen_transition& t = table_transitions_[k];
    if (t.mon_ident_etat_amont_ == i || t.mon_ident_etat_aval_ == i) continue;
    if (t.mon_ident_etat_amont_ > i) --t.mon_ident_etat_amont_;
    if (t.mon_ident_etat_aval_ > i) --t.mon_ident_etat_aval_;
    if (kept != k) table_transitions_[kept] = std::move(t);
    ++kept;
  }
  nbr_transitions_ = kept;
  table_etats_.erase(table_etats_.begin() + i);
  internal_raj_pre_post_transitions();
  if (mon_modele_ == undefined_model || mon_modele_ == basic_model)
    drop_state_from_automata(i);  // these kinds keep their automata: renumber them
  else
    update_simple_connexite();
}

// In the kinds whose automata are not recomputed, the automata keep naming
// the states they named; an automaton left without a state is dropped.
void gal_tpen_fichier::drop_state_from_automata(int i) {
  for (std::list<int>& automaton : composantes_) {
    automaton.remove(i);
    for (int& s : automaton)
      if (s > i) --s;
  }
  composantes_.erase(std::remove_if(composantes_.begin(), composantes_.end(),
                                    [](const std::list<int>& a) { return a.empty(); }),
                     composantes_.end());
}

void gal_tpen_fichier::sup_transition(int i) {
  if (i < 0 || i >= nbr_transitions_) {
    out_of_range("sup_transition");
    return;
  }
  change_modif_signature();
  std::move(table_transitions_.begin() + i + 1, table_transitions_.begin() + nbr_transitions_,
            table_transitions_.begin() + i);
  --nbr_transitions_;
  internal_raj_pre_post_transitions();
  update_simple_connexite();
}

void gal_tpen_fichier::sup_output(int k) {
  if (k < 0 || k >= nbr_outputs()) return;
  change_modif_signature();
  table_outputs_.erase(table_outputs_.begin() + k);
}

void gal_tpen_fichier::sup_action(int k) {
  if (k < 0 || k >= nbr_actions()) return;
  change_modif_signature();
  std::vector<char> removed(table_actions_.size(), 0);
  removed[k] = 1;
  remove_actions(removed);
}

void gal_tpen_fichier::internal_raj_actions() {
  const int count = nbr_actions();
  if (count == 0) return;
  std::vector<char> unused(count, 1);
  auto mark = [&](const std::list<int>& refs) {
    for (int a : refs)
      if (a >= 0 && a < count) unused[a] = 0;
  };
  for (const gal_tpen_etat& s : table_etats_) mark(s.mes_actions_);
  for (int k = 0; k < nbr_transitions_; ++k) mark(table_transitions_[k].mes_actions_);
  if (std::find(unused.begin(), unused.end(), 1) == unused.end()) return;
  change_modif_signature();
  remove_actions(unused);
}

// Removes the actions flagged in `removed` (one flag per action), keeping the
// others in order, and renumbers every reference in one pass. A reference to
// a removed action is dropped: left alone it would name the action that moves
// into its place. References outside the table are left as they are.
void gal_tpen_fichier::remove_actions(const std::vector<char>& removed) {
  const int count = nbr_actions();
  std::vector<int> new_index(count);
  int next = 0;
  for (int a = 0; a < count; ++a) new_index[a] = removed[a] ? -1 : next++;
  auto renumber = [&](std::list<int>& refs) {
    for (auto it = refs.begin(); it != refs.end();) {
      if (*it >= 0 && *it < count) {
        if (new_index[*it] < 0) {
          it = refs.erase(it);
          continue;
        }
        *it = new_index[*it];
      }
      ++it;
    }
  };
  for (gal_tpen_etat& s : table_etats_) renumber(s.mes_actions_);
  for (int k = 0; k < nbr_transitions_; ++k) renumber(table_transitions_[k].mes_actions_);
  for (int a = 0; a < count; ++a)
    if (new_index[a] >= 0 && new_index[a] != a)
      table_actions_[new_index[a]] = std::move(table_actions_[a]);
  table_actions_.resize(next);
}

// ---- Replacements -----------------------------------------------------------------

void gal_tpen_fichier::replace_transition(int i, const gal_tpen_transition& t) {
  if (i < 0 || i >= nbr_transitions_) return;
  change_modif_signature();
  gal_tpen_transition& current = table_transitions_[i];
  if (current.mon_ident_etat_amont_ != t.mon_ident_etat_amont_) {
    std::cerr << "probleme interne dans gal_tpen_fichier::replace_transition() sur l'etat amont"
              << std::endl;
  } else if (current.mon_ident_etat_aval_ != t.mon_ident_etat_aval_) {
    std::cerr << "probleme interne dans gal_tpen_fichier::replace_transition() sur l'etat aval"
              << std::endl;
  } else {
    current = t;
  }
}

// a may be any value (a reference outside the table can be mended this way);
// b must be an action, or the chart would hold a reference to nothing.
void gal_tpen_fichier::replace_action(int a, int b) {
  change_modif_signature();
  if (b < 0 || b >= nbr_actions()) {
    out_of_range("replace_action");
    return;
  }
  for (gal_tpen_etat& s : table_etats_) s.replace_action(a, b);
  for (int k = 0; k < nbr_transitions_; ++k) table_transitions_[k].replace_action(a, b);
}

void gal_tpen_fichier::element_neutre_transitions(const String& s) {
  change_modif_signature();
  for (int k = 0; k < nbr_transitions_; ++k) {
    String& trigger = table_transitions_[k].ma_receptivite_;
    trigger = substitute_token(trigger, s, "1");
  }
}

// ---- Emptying ---------------------------------------------------------------------

// The tables are swapped with those of a new chart, which releases their
// storage and leaves the transition table as a new chart has it.
void gal_tpen_fichier::clear() {
  change_modif_signature();
  gal_tpen_fichier fresh;
  table_etats_.swap(fresh.table_etats_);
  table_transitions_.swap(fresh.table_transitions_);
  nbr_transitions_ = 0;
  table_types_.swap(fresh.table_types_);
  table_inputs_.swap(fresh.table_inputs_);
  table_outputs_.swap(fresh.table_outputs_);
  table_actions_.swap(fresh.table_actions_);
  table_locals_.swap(fresh.table_locals_);
  table_variables_.swap(fresh.table_variables_);
  table_sensors_.swap(fresh.table_sensors_);
  table_progs_externes_.swap(fresh.table_progs_externes_);
  table_functions_.swap(fresh.table_functions_);
  table_constants_.swap(fresh.table_constants_);
  table_pres_.swap(fresh.table_pres_);
  composantes_.swap(fresh.composantes_);
  composantes_en_retard_ = false;
  plus_grand_bout_ = -1;
}

// ---- Layout -----------------------------------------------------------------------

// A self-loop is drawn by its first two points; one that has fewer is given
// the missing ones, so that every loop of the state is laid out.
void gal_tpen_fichier::homogenise_boucles_etat(int i) {
  if (i < 0 || i >= nbr_etats()) return;
  std::vector<gal_tpen_transition*> loops;
  for (int k = 0; k < nbr_transitions_; ++k) {
    gal_tpen_transition& t = table_transitions_[k];
    if (t.mon_ident_etat_amont_ == i && t.mon_ident_etat_aval_ == i) loops.push_back(&t);
  }
  const int n = static_cast<int>(loops.size());
  if (n == 0) return;
  const gal_tpen_etat& state = table_etats_[i];
  const double x = state.ma_posx_;
  const double y = state.ma_posy_;
  const double d = state.mon_diametre_;
  const double turn = 6.283;  // the drawings' own value, not 2 pi
  const double a = turn / n;
  for (int k = 0; k < n; ++k) {
    gal_tpen_transition& loop = *loops[k];
    while (loop.liste_positions_.size() < 4) loop.add_point(x, y);
    double first = (k - 0.2) * a, second = (k + 0.2) * a;
    double label_x = x + 1.2 * d * std::cos(k * a), label_y = y + 1.2 * d * std::sin(k * a);
    if (n == 1) {
      first = turn / 8;
      second = turn / -8;
      label_x = x + 1.2 * d;
      label_y = y;
    }
    loop.modif_coords_point(0, x + d * std::cos(first), y + d * std::sin(first));
    loop.modif_coords_point(1, x + d * std::cos(second), y + d * std::sin(second));
    loop.modif_coords_condition(label_x, label_y);
  }
}

// ---- Debug dump -------------------------------------------------------------------

namespace {

// A count line, a heading, a column line, one row per element, an empty line.
template <class T, class Text>
void put_table(std::ostream& os, const char* count_label, const char* heading,
               const char* columns, const std::vector<T>& table, Text text) {
  os << count_label << table.size() << "\n\n" << heading << "\n" << columns << "\n";
  for (std::size_t k = 0; k < table.size(); ++k) {
    os << "  " << k << " ";
    text(os, table[k]);
    os << "\n";
  }
  os << "\n";
}

template <class T>
void put_by_operator(std::ostream& os, const T& element) {
  os << element;
}

}  // namespace

void gal_tpen_fichier::put(std::ostream& os) const {
  const char* variable_columns = "  n  variables : type";
  os << "  NOM MODULE : " << mon_nom_module_ << "\n\n";
  put_table(os, "  NB TYPES : ", "  TABLE DES TYPES", "  n  type", table_types_,
            put_by_operator<String>);
  put_table(os, "  NB FONCTIONS : ", "  TABLE DES FONCTIONS", "  n  resultat nom parametre(s)",
            table_functions_, put_by_operator<gal_declaration_functions>);
  put_table(os, "  NB CONSTANTES : ", "  TABLE DES CONSTANTES", "  n  nom valeur",
            table_constants_, put_by_operator<gal_declaration_constants>);
  put_table(os, "  NB ENTREES : ", "  TABLE DES ENTREES", variable_columns, table_inputs_,
            put_by_operator<gal_declaration_variables>);
  put_table(os, "  NB CAPTEURS : ", "  TABLE DES CAPTEURS", variable_columns, table_sensors_,
            put_by_operator<gal_declaration_variables>);
  put_table(os, "  NB SORTIES : ", "  TABLE DES SORTIES", variable_columns, table_outputs_,
            put_by_operator<gal_declaration_variables>);
  put_table(os, "  NB LOCAUX : ", "  TABLE DES LOCAUX", variable_columns, table_locals_,
            put_by_operator<gal_declaration_variables>);
  put_table(os, "  NB PRE : ", "  TABLE DES PRES", "  n  pre : actuel : constante initiale",
            table_pres_, put_by_operator<gal_declaration_pres>);
  put_table(os, "  NB VARIABLES : ", "  TABLE DES VARIABLES", variable_columns,
            table_variables_, put_by_operator<gal_declaration_variables>);
  put_table(os, "  NB PROGS EXTERNES : ", "  TABLE DES PROGS EXTERNES", "  n  nom : chemin reel",
            table_progs_externes_, [](std::ostream& o, const gal_declaration_progs& p) {
              o << p.nom_module_ << " --> " << p.chemin_ << " : " << p.nom_fichier_;
            });
  put_table(os, "  NB ACTIONS : ", "  TABLE DES ACTIONS", "  n  actions ", table_actions_,
            put_by_operator<String>);

  const int automata = nombre_SC();
  os << "  NB COMPOSANTES : " << automata << "\n";
  for (int k = 0; k < automata; ++k) {
    os << "  - ";
    for (int s : SC_liste_etats(k)) os << s << " ";
    os << "\n";
  }
  os << "\n";

  os << "  NB ETATS : " << nbr_etats() << "\n\n"
     << "  TABLE DES ETATS \n"
     << "  n   type        nom    actions associees \n";
  for (int i = 0; i < nbr_etats(); ++i) {
    const gal_tpen_etat& s = table_etats_[i];
    os << "  " << i << " " << s.convert_type() << " " << s.mon_nom_ << " " << s.mes_actions_
       << "\n";
  }
  os << "\n";

  os << "  NB TRANSITIONS : " << nbr_transitions_ << " SUR : " << table_transitions_.size()
     << " POSSIBLES\n\n"
     << "  TABLE DES TRANSITIONS\n"
     << "  n nom receptivite   actions associees etats associees\n";
  for (int k = 0; k < nbr_transitions_; ++k) {
    const gal_tpen_transition& t = table_transitions_[k];
    os << "  " << k << " \"" << t.ma_receptivite_ << "\" " << t.mes_actions_
       << "  AMONT=" << t.mon_ident_etat_amont_ << "  AVAL=" << t.mon_ident_etat_aval_ << "\n";
  }
  os << "\n" << std::flush;
}
