// Transitions: ends, trigger, label, polyline and actions.
#include <algorithm>
#include <iostream>

#include "chart/gal_norm.h"

gal_tpen_transition::gal_tpen_transition()
    : mon_type_trans_(strong_trans),
      ma_priorite_(0),
      ma_receptivite_("???"),
      posx_receptivite_(0.0),
      posy_receptivite_(0.0),
      mon_ident_etat_amont_(-1),
      mon_ident_etat_aval_(-1) {}

gal_tpen_transition::gal_tpen_transition(int amont, int aval, double x, double y)
    : mon_type_trans_(strong_trans),
      ma_priorite_(0),
      posx_receptivite_(x),
      posy_receptivite_(y),
      mon_ident_etat_amont_(amont),
      mon_ident_etat_aval_(aval) {}

gal_tpen_transition::gal_tpen_transition(int amont, int aval, int kind,
                                         const std::list<double>& points, double x, double y)
    : mon_type_trans_(kind),
      ma_priorite_(0),
      posx_receptivite_(x),
      posy_receptivite_(y),
      liste_positions_(points),
      mon_ident_etat_amont_(amont),
      mon_ident_etat_aval_(aval) {}

gal_tpen_transition::gal_tpen_transition(int amont, int aval, int kind, std::list<double>* points,
                                         double* x, double* y, int priority, String* receptivity,
                                         std::list<int>* actions)
    : mon_type_trans_(kind),
      ma_priorite_(priority),
      ma_receptivite_(receptivity ? *receptivity : String()),
      posx_receptivite_(x ? *x : 0.0),
      posy_receptivite_(y ? *y : 0.0),
      mon_ident_etat_amont_(amont),
      mon_ident_etat_aval_(aval) {
  if (points) liste_positions_ = *points;
  if (actions) mes_actions_ = *actions;
}

gal_tpen_transition::gal_tpen_transition(int amont, int aval, int kind, double x, double y,
                                         int priority, const String& receptivity,
                                         const std::list<int>& actions)
    : mon_type_trans_(kind),
      ma_priorite_(priority),
      ma_receptivite_(receptivity),
      posx_receptivite_(x),
      posy_receptivite_(y),
      mes_actions_(actions),
      mon_ident_etat_amont_(amont),
      mon_ident_etat_aval_(aval) {}

void gal_tpen_transition::modif_coords_condition(double x, double y) {
  posx_receptivite_ = x;
  posy_receptivite_ = y;
}

bool gal_tpen_transition::est_initiale() const {
  return mon_ident_etat_amont_ == -1 && mon_type_trans_ != suspend_trans;
}

void gal_tpen_transition::translate_ident_etats(int d) {
  if (mon_ident_etat_amont_ != -1) mon_ident_etat_amont_ += d;
  if (mon_ident_etat_aval_ != -1) mon_ident_etat_aval_ += d;
}

void gal_tpen_transition::add_actions(const std::list<int>& l) {
  mes_actions_.insert(mes_actions_.end(), l.begin(), l.end());
}

bool gal_tpen_transition::existe_action(int a) const {
  return std::find(mes_actions_.begin(), mes_actions_.end(), a) != mes_actions_.end();
}

bool gal_tpen_transition::existe_action(String* table, const String& text) const {
  if (!table) return false;
  for (int i : mes_actions_)
    if (table[i] == text) return true;
  return false;
}

void gal_tpen_transition::translate_ident_actions(int d) {
  for (int& a : mes_actions_) a += d;
}

void gal_tpen_transition::replace_action(int a, int b) {
  std::replace(mes_actions_.begin(), mes_actions_.end(), a, b);
}

void gal_tpen_transition::add_point(double x, double y) {
  if (liste_positions_.size() >= 4) return;
  liste_positions_.push_back(x);
  liste_positions_.push_back(y);
}

void gal_tpen_transition::modif_coords_point(int n, double x, double y) {
  int k = 0;
  for (auto it = liste_positions_.begin(); it != liste_positions_.end(); ++k) {
    auto xit = it++;
    if (it == liste_positions_.end()) break;  // a lone x value is no point
    if (k == n) {
      *xit = x;
      *it = y;
      return;
    }
    ++it;
  }
  std::cerr << "probleme dans gal_tpen_transition:: modif_coords_point();\n"
            << "point " << n << " non trouve ..." << std::endl;
}

void gal_tpen_transition::modif_coords_premier_point(double dx, double dy) {
  if (liste_positions_.size() < 2) return;
  auto it = liste_positions_.begin();
  *it += dx;
  *++it += dy;
}

void gal_tpen_transition::modif_coords_dernier_point(double dx, double dy) {
  if (liste_positions_.size() < 2) return;
  auto it = liste_positions_.end();
  *--it += dy;
  *--it += dx;
}

void gal_tpen_transition::translation_points(double dx, double dy) {
  bool is_x = true;
  for (double& v : liste_positions_) {
    v += is_x ? dx : dy;
    is_x = !is_x;
  }
  posx_receptivite_ += dx;
  posy_receptivite_ += dy;
}

// Point k of p goes to k/(p+1) of the way from the source's centre to the
// target's, so the points spread evenly over the whole segment.
void gal_tpen_transition::aligne_points(gal_tpen_etat* states) {
  if (!states || mon_ident_etat_amont_ < 0 || mon_ident_etat_aval_ < 0) return;
  const gal_tpen_etat& a = states[mon_ident_etat_amont_];
  const gal_tpen_etat& b = states[mon_ident_etat_aval_];
  const double ax = a.ma_posx(), ay = a.ma_posy(), bx = b.ma_posx(), by = b.ma_posy();
  const double divisor = static_cast<double>(liste_positions_.size() / 2 + 1);
  int k = 1;
  bool is_x = true;
  for (double& v : liste_positions_) {
    v = is_x ? ax + (bx - ax) * k / divisor : ay + (by - ay) * k / divisor;
    if (!is_x) ++k;
    is_x = !is_x;
  }
  if (std::abs(by - ay) <= std::abs(bx - ax)) {
    posx_receptivite_ = (ax + bx) / 2;
    posy_receptivite_ = (ay + by) / 2 + 0.2;
  } else {
    posx_receptivite_ = (ax + bx) / 2 + 0.2;
    posy_receptivite_ = (ay + by) / 2;
  }
}

namespace {

template <class Better>
double extreme(const std::list<double>& values, bool odd, double start, double label,
               Better better) {
  double best = start;
  bool is_odd = false;
  for (double v : values) {
    if (is_odd == odd && better(v, best)) best = v;
    is_odd = !is_odd;
  }
  if (better(label, best)) best = label;
  return best;
}

bool greater(double a, double b) { return a > b; }
bool smaller(double a, double b) { return a < b; }

}  // namespace

double gal_tpen_transition::posxmax() const {
  return extreme(liste_positions_, false, 0.0,
                 posx_receptivite_ + static_cast<double>(ma_receptivite_.size()) / 3.4, greater);
}

double gal_tpen_transition::posymax() const {
  return extreme(liste_positions_, true, 0.0, posy_receptivite_ + 0.5, greater);
}

double gal_tpen_transition::posxmin() const {
  return extreme(liste_positions_, false, 1e12, posx_receptivite_, smaller);
}

double gal_tpen_transition::posymin() const {
  return extreme(liste_positions_, true, 1e12, posy_receptivite_, smaller);
}

int gal_tpen_transition::test_syntaxe_receptivite() const {
  if (ma_receptivite_.find('/') != String::npos) return 1;
  if (char_occurences(ma_receptivite_, '(') != char_occurences(ma_receptivite_, ')')) return 2;
  return 0;
}
