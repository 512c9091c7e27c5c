// States: geometry, names, run instance, action and transition lists.
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <iostream>

#include "chart/gal_norm.h"

namespace {

// The classic portable rand(): values 0..32767, fixed start. Our own, so the
// sequence of generated names is the same on every machine and every run.
std::uint32_t name_generator_state = 1;

int next_name_random() {
  name_generator_state = name_generator_state * 1103515245u + 12345u;
  return static_cast<int>((name_generator_state / 65536u) % 32768u);
}

}  // namespace

String gal_norm_genere_nom() {
  String name(16, 'A');
  for (char& c : name) c = static_cast<char>('A' + static_cast<int>(next_name_random() * 26.0 / 32768.0));
  return name;
}

gal_tpen_etat::gal_tpen_etat()
    : mon_type_(normal_star),
      ma_posx_(0.0),
      ma_posy_(0.0),
      mon_diametre_(1.0),
      mon_nom_genere_(gal_norm_genere_nom()) {}

gal_tpen_etat::gal_tpen_etat(int kind, String* name, double x, double y,
                             const gal_run_instance& run, std::list<int>* actions)
    : mon_type_(kind),
      ma_posx_(x),
      ma_posy_(y),
      mon_diametre_(1.0),
      mon_nom_(name ? *name : String()),
      mon_nom_genere_(gal_norm_genere_nom()),
      mon_run_(run) {
  if (actions) mes_actions_ = *actions;
}

gal_tpen_etat::gal_tpen_etat(int kind, String* name, double* x, double* y, gal_run_instance* run,
                             std::list<int>* actions)
    : gal_tpen_etat(kind, name, x ? *x : 0.0, y ? *y : 0.0, run ? *run : gal_run_instance(),
                    actions) {}

String gal_tpen_etat::un_nom() const { return mon_nom_.empty() ? mon_nom_genere_ : mon_nom_; }

String gal_tpen_etat::convert_type() const {
  switch (mon_type_) {
    case normal_star: return "NS";
    case final_star: return "FS";
    default: return "UNDEFS";
  }
}

void gal_tpen_etat::clear_pre_post_transitions() {
  mes_transitions_post_.clear();
  mes_transitions_pre_.clear();
}

void gal_tpen_etat::translate_ident_run(int d) {
  if (mon_run_.ident() != -1) mon_run_.ident(mon_run_.ident() + d);
}

String gal_tpen_etat::renaming_signal_run_instance(const String& s) const {
  return mon_run_.ident() == -1 ? s : mon_run_.renaming_signal(s);
}

void gal_tpen_etat::add_actions_list(const std::list<int>& l) {
  auto at = mes_actions_.begin();
  for (int a : l) {
    while (at != mes_actions_.end() && *at <= a) ++at;
    mes_actions_.insert(at, a);
  }
}

bool gal_tpen_etat::existe_action(int a) const {
  return std::find(mes_actions_.begin(), mes_actions_.end(), a) != mes_actions_.end();
}

bool gal_tpen_etat::existe_action(String* table, const String& text) const {
  if (!table) return false;
  for (int i : mes_actions_) {
    std::cerr << "ident= " << i << "\n" << table[i] << "\n";
    if (table[i] == text) return true;
  }
  return false;
}

void gal_tpen_etat::translate_ident_actions(int d) {
  for (int& a : mes_actions_) a += d;
}

void gal_tpen_etat::replace_action(int a, int b) {
  std::replace(mes_actions_.begin(), mes_actions_.end(), a, b);
}

bool operator!=(const gal_tpen_etat& a, const gal_tpen_etat& b) {
  return a.mon_type_ != b.mon_type_ || std::fabs(a.ma_posx() - b.ma_posx()) > 1e-7 ||
         std::fabs(a.ma_posy() - b.ma_posy()) > 1e-7 || a.mon_nom() != b.mon_nom() ||
         a.mon_ident_run() != b.mon_ident_run() ||
         a.mes_renomages_param_run() != b.mes_renomages_param_run() ||
         a.mes_actions() != b.mes_actions();
}

std::ostream& operator<<(std::ostream& os, const gal_tpen_etat& s) {
  os << s.convert_type() << " " << s.mon_nom() << " " << s.ma_posx() << " " << s.ma_posy() << " "
     << s.mon_diametre();
  os << " pre trans: (";
  for (int t : s.mes_transitions_pre()) os << "," << t;
  os << ")";
  os << " post trans: (";
  for (int t : s.mes_transitions_post()) os << "," << t;
  os << ")";
  os << " ident run: " << s.mon_ident_run() << " renommage: " << s.mes_renomages_param_run();
  const std::list<int> actions = s.mes_actions();
  if (!actions.empty()) {
    os << "table des actions:\n";
    for (int a : actions) os << ": " << a;
  }
  return os;
}
