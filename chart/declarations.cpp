// The declaration records and the run instance: plain values with their
// comparisons and one-line dumps.
#include <iostream>

#include "chart/gal_norm.h"

namespace {

String text_or(const String* p, const String& fallback) { return p ? *p : fallback; }

}  // namespace

// ---- gal_declaration_variables ------------------------------------------------

gal_declaration_variables::gal_declaration_variables() : typev_("?"), nom_("?") {}

gal_declaration_variables::gal_declaration_variables(String* typev, String* nom)
    : typev_(text_or(typev, "?")), nom_(text_or(nom, "?")) {}

gal_declaration_variables::gal_declaration_variables(const String& typev, const String& nom)
    : typev_(typev), nom_(nom) {}

bool operator==(const gal_declaration_variables& a, const gal_declaration_variables& b) {
  return a.typev() == b.typev() && a.nom() == b.nom();
}

bool operator!=(const gal_declaration_variables& a, const gal_declaration_variables& b) {
  return !(a == b);
}

bool operator<(const gal_declaration_variables& a, const gal_declaration_variables& b) {
  const String an = a.nom(), bn = b.nom();
  if (an != bn) return an < bn;
  return a.typev() < b.typev();
}

std::ostream& operator<<(std::ostream& os, const gal_declaration_variables& v) {
  return os << v.nom() << " : " << v.typev();
}

// ---- gal_declaration_constants ------------------------------------------------

gal_declaration_constants::gal_declaration_constants() : typev_("?"), name_("?") {}

gal_declaration_constants::gal_declaration_constants(const String& typev, const String& name)
    : typev_(typev), name_(name) {}

gal_declaration_constants::gal_declaration_constants(const String& typev, const String& name,
                                                     const String* v)
    : typev_(typev), name_(name) {
  if (v)
    for (int i = 0; i < nb_values; ++i) values_[i] = v[i];
}

gal_declaration_constants::gal_declaration_constants(String* typev, String* name, String* v)
    : gal_declaration_constants(text_or(typev, "?"), text_or(name, "?"),
                                static_cast<const String*>(v)) {}

gal_declaration_constants::gal_declaration_constants(String* typev, String* name,
                                                     std::list<std::pair<int, String>>* values)
    : typev_(text_or(typev, "?")), name_(text_or(name, "?")) {
  if (!values) return;
  for (const auto& pair : *values)
    if (pair.first >= 0 && pair.first < nb_values) values_[pair.first] = pair.second;
}

String gal_declaration_constants::value(int i) const {
  if (i < 0 || i >= nb_values) {
    std::cerr << "internal error in gal_declaration_constants::value(int)! " << std::endl;
    return "???";
  }
  return values_[i];
}

void gal_declaration_constants::value(int i, const String& text) {
  if (i < 0 || i >= nb_values) {
    std::cerr << "internal error in gal_declaration_constants::value(int,String)! " << std::endl;
    return;
  }
  values_[i] = text;
}

bool operator==(const gal_declaration_constants& a, const gal_declaration_constants& b) {
  if (a.typev() != b.typev() || a.name() != b.name()) return false;
  for (int i = 0; i < gal_declaration_constants::nb_values; ++i)
    if (a.value(i) != b.value(i)) return false;
  return true;
}

bool operator!=(const gal_declaration_constants& a, const gal_declaration_constants& b) {
  return !(a == b);
}

std::ostream& operator<<(std::ostream& os, const gal_declaration_constants& c) {
  static const char* const labels[gal_declaration_constants::nb_values] = {
      " = ", " c= ", " vhdl= ", " nusmv= ", " lustre= ", " esterel= "};
  os << c.typev() << " " << c.name();
  for (int i = 0; i < gal_declaration_constants::nb_values; ++i)
    os << labels[i] << '"' << c.value(i) << '"';
  return os;
}

// ---- gal_declaration_functions ------------------------------------------------

gal_declaration_functions::gal_declaration_functions() : name_("?"), result_("?") {}

gal_declaration_functions::gal_declaration_functions(const String& result, const String& name,
                                                     const std::list<String>& arguments)
    : name_(name), result_(result), arguments_(arguments) {}

gal_declaration_functions::gal_declaration_functions(String* result, String* name,
                                                     std::list<String>* arguments)
    : name_(text_or(name, "?")), result_(text_or(result, "?")) {
  if (arguments) arguments_ = *arguments;
}

bool operator==(const gal_declaration_functions& a, const gal_declaration_functions& b) {
  return a.name() == b.name() && a.result() == b.result() && a.arguments() == b.arguments();
}

bool operator!=(const gal_declaration_functions& a, const gal_declaration_functions& b) {
  return !(a == b);
}

std::ostream& operator<<(std::ostream& os, const gal_declaration_functions& f) {
  os << f.result() << " " << f.name() << "(";
  const char* sep = "";
  for (const String& arg : f.arguments()) {
    os << sep << arg;
    sep = ",";
  }
  return os << ")";
}

// ---- gal_declaration_progs ----------------------------------------------------

gal_declaration_progs::gal_declaration_progs()
    : nom_module_("?"), nom_fichier_("?"), chemin_("?") {}

gal_declaration_progs::gal_declaration_progs(String* chemin, String* nom_fichier,
                                             String* nom_module,
                                             std::list<gal_declaration_variables>* inputs,
                                             std::list<gal_declaration_variables>* sensors,
                                             std::list<gal_declaration_variables>* outputs)
    : nom_module_(text_or(nom_module, "?")),
      nom_fichier_(text_or(nom_fichier, "?")),
      chemin_(text_or(chemin, "?")) {
  if (inputs) my_inputs_list_ = *inputs;
  if (sensors) my_sensors_list_ = *sensors;
  if (outputs) my_outputs_list_ = *outputs;
}

gal_declaration_progs::gal_declaration_progs(const String& chemin, const String& nom_fichier,
                                             const String& nom_module,
                                             const std::list<gal_declaration_variables>& inputs,
                                             const std::list<gal_declaration_variables>& sensors,
                                             const std::list<gal_declaration_variables>& outputs)
    : nom_module_(nom_module),
      nom_fichier_(nom_fichier),
      chemin_(chemin),
      my_inputs_list_(inputs),
      my_sensors_list_(sensors),
      my_outputs_list_(outputs) {}

bool operator==(const gal_declaration_progs& a, const gal_declaration_progs& b) {
  return a.chemin() == b.chemin() && a.nom_fichier() == b.nom_fichier() &&
         a.nom_module() == b.nom_module();
}

bool operator!=(const gal_declaration_progs& a, const gal_declaration_progs& b) {
  return !(a == b);
}

std::ostream& operator<<(std::ostream& os, const gal_declaration_progs& p) {
  return os << p.chemin() << ": " << p.nom_fichier() << ": " << p.nom_module();
}

// ---- gal_declaration_pres -----------------------------------------------------

gal_declaration_pres::gal_declaration_pres() {}

gal_declaration_pres::gal_declaration_pres(const String& prename, const String& actualname,
                                           const String& initialname)
    : prename_(prename), actualname_(actualname), initialname_(initialname) {}

gal_declaration_pres::gal_declaration_pres(String* prename, String* actualname)
    : prename_(text_or(prename, "")), actualname_(text_or(actualname, "")), initialname_("---") {}

gal_declaration_pres::gal_declaration_pres(String* prename, String* actualname,
                                           String* initialname)
    : prename_(text_or(prename, "")),
      actualname_(text_or(actualname, "")),
      initialname_(text_or(initialname, "---")) {}

bool operator==(const gal_declaration_pres& a, const gal_declaration_pres& b) {
  return a.prename() == b.prename() && a.actualname() == b.actualname() &&
         a.initialname() == b.initialname();
}

bool operator!=(const gal_declaration_pres& a, const gal_declaration_pres& b) {
  return !(a == b);
}

std::ostream& operator<<(std::ostream& os, const gal_declaration_pres& p) {
  return os << p.prename() << " " << p.actualname() << " " << p.initialname() << " ";
}

// ---- gal_run_instance ---------------------------------------------------------

gal_run_instance::gal_run_instance() : ident_(-1) {}

gal_run_instance::gal_run_instance(int ident, const String& renaming)
    : ident_(ident), renaming_(renaming) {}

// Only a formal names a port: the name is looked up where it follows a
// backslash, as a whole word, and maps to the actual name between the comma
// (or the start) and that backslash. A name that is no formal of the
// renaming maps to itself, even when a pair holds it as its actual name, as
// in the swap A\B,B\A.
String gal_run_instance::renaming_signal(const String& s) const {
  const std::size_t n = renaming_.size();
  std::size_t pair_start = 0;
  for (std::size_t j = 0; j < n; ++j) {
    if (renaming_[j] == ',') pair_start = j + 1;
    if (renaming_[j] != '\\' || renaming_.compare(j + 1, s.size(), s) != 0) continue;
    // Whole word: judged on the word and the byte after it, as find_token does.
    if (find_token(renaming_.substr(j + 1, s.size() + 1), s) != 0) continue;
    // A backslash opening the text has never named an actual.
    if (j == 0) return s;
    return renaming_.substr(pair_start, j - pair_start);
  }
  return s;
}

bool operator==(const gal_run_instance& a, const gal_run_instance& b) {
  return a.ident() == b.ident() && a.renaming() == b.renaming();
}

bool operator!=(const gal_run_instance& a, const gal_run_instance& b) { return !(a == b); }

std::ostream& operator<<(std::ostream& os, const gal_run_instance& r) {
  return os << r.ident() << " " << r.renaming() << " ";
}
