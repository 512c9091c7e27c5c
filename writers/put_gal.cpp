// The .gal chart text writer: the current form of the format only. The reader
// (reader/) is the other half: a chart it read is written so that it reads
// back, and the file writer refuses a chart holding a text that no chart text
// holds as it is, whoever set it. What does not survive the round trip is
// the diameters, the generated state names, the sensors of the programs, a
// renaming without a program, the encapsulation flag and the stamp.
#include <charconv>
#include <climits>
#include <cmath>
#include <iostream>
#include <ostream>
#include <sstream>
#include <string>

#include "chart/gal_norm.h"
#include "writers/writer_files.h"

namespace {

// A number in the fewest significant digits that read back the same double,
// six as always where six are exact, and in fixed notation, since the reader
// knows no exponent: 1e-05 is written 0.00001 and 1.5e+08 150000000. A whole
// number beyond the reader's integers gets a decimal point, which makes it a
// decimal there; -0 is written 0, which the reader reads as 0 anyway.
struct number {
  double value;
};

// The digits of a finite non-zero value and where its point goes: the value
// is 0.d1d2... times ten to the power `point`.
struct decimal_digits {
  bool negative = false;
  std::string digits;
  long point = 0;
};

decimal_digits shortest_digits(double value) {
  char text[64];
  // Six digits first: what the text always held, kept wherever it is exact.
  std::to_chars_result six = std::to_chars(text, text + sizeof text, value,
                                           std::chars_format::scientific, 5);
  double back = 0.0;
  std::from_chars(text, six.ptr, back);
  const char* end = back == value ? six.ptr
                                  : std::to_chars(text, text + sizeof text, value,
                                                  std::chars_format::scientific).ptr;
  decimal_digits d;
  const char* c = text;
  d.negative = *c == '-';
  if (d.negative) ++c;
  for (; c != end && *c != 'e'; ++c)
    if (*c != '.') d.digits += *c;
  d.digits.erase(d.digits.find_last_not_of('0') + 1);
  const char* exponent = c + 1;  // to_chars signs the exponent always
  if (*exponent == '+') ++exponent;
  std::from_chars(exponent, end, d.point);
  ++d.point;
  return d;
}

std::ostream& operator<<(std::ostream& os, number n) {
  if (n.value == 0.0) return os << '0';
  if (!std::isfinite(n.value)) return os << n.value;  // the file writer refuses these first
  const decimal_digits d = shortest_digits(n.value);
  const std::size_t count = d.digits.size();
  std::string fixed;
  if (d.point <= 0) {
    fixed = "0." + std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
  } else if (static_cast<std::size_t>(d.point) < count) {
    fixed = d.digits.substr(0, d.point) + "." + d.digits.substr(d.point);
  } else {
    fixed = d.digits + std::string(static_cast<std::size_t>(d.point) - count, '0');
    if (std::fabs(n.value) > INT_MAX) fixed += '.';
  }
  return os << (d.negative ? "-" : "") << fixed;
}

// A name as the scanner reads one: digits, then a letter or "_", then
// letters, digits and "_".
bool is_word(const String& text) {
  const auto letter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t i = 0;
  while (i < text.size() && digit(text[i])) ++i;
  if (i == text.size() || !letter(text[i])) return false;
  for (++i; i < text.size(); ++i)
    if (!letter(text[i]) && !digit(text[i])) return false;
  return true;
}

// The keywords of the text without their colon. Such a name, read as a name
// where a blank stood before its colon, would be read back as the keyword if
// the colon followed it directly.
bool spells_keyword(const String& name) {
  static const char* const keywords[] = {
      "NS", "FS", "Name", "Type", "Input", "Sensor", "Output", "Local", "Variable", "Run",
      "Function", "Constant", "Pre", "Action", "Star", "Transition", "Encapsulation", "From", "To",
      "By", "basic_model", "par_automata_model", "light_esterel_model", "synccharts_model",
      "c_assign", "vhdl_assign", "nusmv_assign", "lustre_assign", "esterel_assign"};
  for (const char* keyword : keywords)
    if (name == keyword) return true;
  return false;
}

// A name and the colon after it, with a blank between them where the two
// would scan as a keyword.
struct named {
  const String& name;
};

std::ostream& operator<<(std::ostream& os, named n) {
  return os << n.name << (spells_keyword(n.name) ? " :" : ":");
}

// What the message shows of a text: its control characters escaped, as in
// every refusal, and its double quotes too, since it stands between two.
String shown(const String& text) {
  String out;
  for (char c : tessan_writers::printable(text)) {
    if (c == '"') out += '\\';
    out += c;
  }
  return out;
}

// Why each text stands where it does not read back.
const char* const holds_quote = "holds a double quote: no chart text holds it";
const char* const no_name = "is no name: the chart text holds only a name there";
const char* const no_type = "is neither a name nor empty: the chart text holds only those there";
const char* const no_initial =
    "is neither a name nor \"---\": the chart text holds only those there";

// Where a text stands: "input 3", "output 0 of program 2"; the module has no
// index. Spelled out only for the message.
struct place {
  const char* what;
  int index;
  const place* within;
};

String spelled(const place& p) {
  String text = p.what;
  if (p.index >= 0) text += " " + std::to_string(p.index);
  if (p.within != nullptr) text += " of " + spelled(*p.within);
  return text;
}

// The first text that the reader would not read back as it is, described in
// `fault`. Each test is linear in its text, and nothing is spelled out before
// a fault is found, so that the whole check stays linear in the chart.
class text_check {
 public:
  explicit text_check(String& fault) : fault_(fault) {}

  bool refused(const place& where, const char* field, const String& text, const char* why) {
    fault_ = spelled(where) + " has the " + field + " \"" + shown(text) + "\", which " + why;
    return true;
  }
  bool name(const place& where, const char* field, const String& text) {
    return !is_word(text) && refused(where, field, text, no_name);
  }
  // A quoted text ends at its first double quote: there is no escape.
  bool quoted(const place& where, const char* field, const String& text) {
    return text.find('"') != String::npos && refused(where, field, text, holds_quote);
  }
  // A signal, variable or port: a name and its type, the type left out or a
  // name.
  bool variable(const place& where, const gal_declaration_variables& v) {
    const String type = v.typev();
    return name(where, "name", v.nom()) ||
           (!type.empty() && !is_word(type) && refused(where, "type", type, no_type));
  }
  // A pre: its name, its signal, and a name or "---" for its initial value.
  bool pre(const place& where, const gal_declaration_pres& p) {
    const String initial = p.initialname();
    return name(where, "name", p.prename()) || name(where, "signal", p.actualname()) ||
           (initial != "---" && !is_word(initial) &&
            refused(where, "initial value", initial, no_initial));
  }
  // "UNDEFS", the kind text of any other kind, followed by its colon is no
  // keyword.
  bool kind(const place& where, int kind) {
    if (kind == normal_star || kind == final_star) return false;
    fault_ = spelled(where) + " has the kind " + std::to_string(kind) +
             ", which is neither normal (1) nor final (2): no chart text holds it";
    return true;
  }
  bool variables(const char* what, const gal_declaration_variables* first, int count) {
    for (int i = 0; i < count; ++i)
      if (variable(place{what, i, nullptr}, first[i])) return true;
    return false;
  }
  bool ports(const char* what, const std::list<gal_declaration_variables>& list,
             const place& program) {
    int i = 0;
    for (const gal_declaration_variables& v : list)
      if (variable(place{what, i++, &program}, v)) return true;
    return false;
  }
  bool program(int p, const gal_declaration_progs& program);
  bool coordinate(const place& where, double v) {
    if (std::isfinite(v)) return false;
    std::ostringstream text;
    text << spelled(where) << " has the coordinate " << v;
    fault_ = text.str();
    return true;
  }

 private:
  String& fault_;
};

// A file name that is no word is written in the run of one text and a module,
// whose file name is what follows the text's last "/", and which has no
// ports; the text holds the path too.
bool text_check::program(int p, const gal_declaration_progs& program) {
  const place where{"program", p, nullptr};
  const String file = program.nom_fichier();
  if (quoted(where, "path", program.chemin())) return true;
  if (!is_word(file)) {
    if (file.find('/') != String::npos)
      return refused(where, "file name", file, "holds a \"/\": no run text holds such a file name");
    if (!program.my_inputs_list().empty() || !program.my_outputs_list().empty())
      return refused(where, "file name", file,
                     "is no name: only a run without ports holds such a file name");
    if (quoted(where, "file name", file)) return true;
  }
  // The sensors of a program are not written.
  return name(where, "module name", program.nom_module()) ||
         ports("input", program.my_inputs_list(), where) ||
         ports("output", program.my_outputs_list(), where);
}

// Names of the value indices of a constant, for the message.
const char* const value_names[gal_declaration_constants::nb_values] = {
    "default value", "C value", "VHDL value", "NuSMV value", "Lustre value", "Esterel value"};

// The tables of a chart that only its members read, and a state's kind.
struct member_tables {
  const std::vector<gal_declaration_variables>& sensors;
  const std::vector<gal_declaration_variables>& variables;
  const std::vector<gal_declaration_functions>& functions;
  const std::vector<gal_declaration_pres>& pres;
  int (*kind)(const gal_tpen_etat&);
};

// The first text, kind or coordinate of the chart that its text would not
// read back as it is, in the order of the text, described in `fault`.
bool unwritable(const gal_tpen_fichier& chart, const member_tables& hidden, const String& module,
                String& fault) {
  text_check check(fault);
  if (check.name(place{"the module", -1, nullptr}, "name", module)) return true;
  for (int t = 0; t < chart.nbr_types(); ++t)
    if (check.name(place{"type", t, nullptr}, "name", chart.ma_table_types()[t])) return true;
  const auto size = [](const auto& table) { return static_cast<int>(table.size()); };
  if (check.variables("input", chart.ma_table_inputs(), chart.nbr_inputs()) ||
      check.variables("sensor", hidden.sensors.data(), size(hidden.sensors)) ||
      check.variables("output", chart.ma_table_outputs(), chart.nbr_outputs()) ||
      check.variables("local", chart.ma_table_locals(), chart.nbr_locals()) ||
      check.variables("variable", hidden.variables.data(), size(hidden.variables)))
    return true;
  for (int p = 0; p < chart.nbr_progs_externes(); ++p)
    if (check.program(p, chart.ma_table_progs_externes()[p])) return true;
  for (int f = 0; f < size(hidden.functions); ++f) {
    const gal_declaration_functions& function = hidden.functions[f];
    const place where{"function", f, nullptr};
    if (check.name(where, "result type", function.result()) ||
        check.name(where, "name", function.name()))
      return true;
    int a = 0;
    for (const String& argument : function.arguments())
      if (check.name(place{"argument", a++, &where}, "type", argument)) return true;
  }
  for (int c = 0; c < chart.nbr_constants(); ++c) {
    const gal_declaration_constants& constant = chart.ma_table_constants()[c];
    const place where{"constant", c, nullptr};
    if (check.name(where, "type", constant.typev()) || check.name(where, "name", constant.name()))
      return true;
    for (int v = 0; v < gal_declaration_constants::nb_values; ++v)
      if (check.quoted(where, value_names[v], constant.value(v))) return true;
  }
  for (int p = 0; p < size(hidden.pres); ++p)
    if (check.pre(place{"pre", p, nullptr}, hidden.pres[p])) return true;
  for (int a = 0; a < chart.nbr_actions(); ++a)
    if (check.quoted(place{"action", a, nullptr}, "text", chart.ma_table_actions()[a])) return true;
  for (int s = 0; s < chart.nbr_etats(); ++s) {
    const gal_tpen_etat& state = chart.ma_table_etats()[s];
    const place where{"state", s, nullptr};
    // The renaming of a state that runs nothing is not written.
    if (check.kind(where, hidden.kind(state)) || check.quoted(where, "name", state.mon_nom()) ||
        check.coordinate(where, state.ma_posx()) || check.coordinate(where, state.ma_posy()) ||
        (state.mon_ident_run() != -1 &&
         check.quoted(where, "renaming", state.mes_renomages_param_run())))
      return true;
  }
  for (int t = 0; t < chart.nbr_transitions(); ++t) {
    const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
    const place where{"transition", t, nullptr};
    for (double v : transition.liste_positions())
      if (check.coordinate(where, v)) return true;
    if (check.coordinate(where, transition.posx_receptivite()) ||
        check.coordinate(where, transition.posy_receptivite()) ||
        check.quoted(where, "trigger", transition.ma_receptivite()))
      return true;
  }
  return false;
}

void put_quoted(std::ostream& os, const String& text) { os << '"' << text << '"'; }

// Value prefixes of a constant, by value index (none for the default value).
const char* const assign_prefixes[gal_declaration_constants::nb_values] = {
    "", "c_assign: ", "vhdl_assign: ", "nusmv_assign: ", "lustre_assign: ", "esterel_assign: "};

// Ports of a program: separated by "," and a line end, the ";" on the line
// of the last one.
void put_ports(std::ostream& os, const char* keyword,
               const std::list<gal_declaration_variables>& ports) {
  os << keyword << '\n';
  bool first = true;
  for (const gal_declaration_variables& port : ports) {
    if (!first) os << ",\n";
    port.put_gal(os);
    first = false;
  }
  os << ";\n";
}

// One section: the keyword line, one item a line (a "," after every item but
// the last), the ";" line.
template <class T, class PutItem>
void put_section(std::ostream& os, const char* keyword, const std::vector<T>& items,
                 std::size_t count, PutItem put_item) {
  os << keyword << '\n';
  for (std::size_t i = 0; i < count; ++i) {
    put_item(items[i]);
    if (i + 1 < count) os << ',';
    os << '\n';
  }
  os << ";\n";
}

template <class T, class PutItem>
void put_section(std::ostream& os, const char* keyword, const std::vector<T>& items,
                 PutItem put_item) {
  put_section(os, keyword, items, items.size(), put_item);
}

}  // namespace

void gal_declaration_variables::put_gal(std::ostream& os) const {
  os << named{nom_} << ' ' << typev_;
}

void gal_declaration_progs::put_gal(std::ostream& os) const {
  if (!is_word(nom_fichier_)) {
    // "path/file": module. Without a file name, a path without a "/" is its
    // whole text; a path that has one keeps a "/" after it.
    const bool bare_path = nom_fichier_.empty() && chemin_.find('/') == String::npos;
    put_quoted(os, bare_path ? chemin_ : chemin_ + '/' + nom_fichier_);
    os << ": " << nom_module_;
    return;
  }
  put_quoted(os, chemin_);
  os << ": " << named{nom_fichier_} << ' ' << named{nom_module_} << " \n";
  put_ports(os, "Input:", my_inputs_list_);
  // The sensors of a program are not part of the text.
  os << "Sensor:\n;\n";
  put_ports(os, "Output:", my_outputs_list_);
}

void gal_declaration_functions::put_gal(std::ostream& os) const {
  os << result_ << ' ' << name_ << '(';
  bool first = true;
  for (const String& argument : arguments_) {
    if (!first) os << ',';
    os << argument;
    first = false;
  }
  os << ')';
}

void gal_declaration_constants::put_gal(std::ostream& os) const {
  os << typev_ << ' ' << name_;
  for (int i = 0; i < nb_values; ++i) {
    if (values_[i].empty()) continue;
    os << ' ' << assign_prefixes[i];
    put_quoted(os, values_[i]);
  }
}

void gal_declaration_pres::put_gal(std::ostream& os) const {
  os << prename_ << ' ' << actualname_ << ' ' << initialname_;
}

void gal_tpen_etat::put_gal(std::ostream& os, const gal_tpen_fichier& /*chart*/) const {
  os << convert_type() << ": ";
  put_quoted(os, mon_nom_);
  os << ' ' << number{ma_posx_} << ' ' << number{ma_posy_} << " : " << mon_run_.ident();
  if (mon_run_.ident() != -1 && !mon_run_.renaming().empty()) {
    os << ' ';
    put_quoted(os, mon_run_.renaming());
  }
  os << " : ";
  for (int action : mes_actions_) os << action << ' ';
  os << ' ';
}

void gal_tpen_transition::put_gal(std::ostream& os, int modele) const {
  os << "From: " << mon_ident_etat_amont_ << " To: " << mon_ident_etat_aval_;
  // Outside models 2 and 3 the kind is written only where it is not the weak
  // abortion that a missing kind reads back as: a suspension written without
  // it would come back as an initial arrow.
  if (modele == light_esterel_model || modele == synccharts_model || mon_type_trans_ != weak_trans)
    os << " Type: " << mon_type_trans_;
  os << " By:";
  for (auto point = liste_positions_.begin(); point != liste_positions_.end(); ++point) {
    os << ' ' << number{*point};
    if (++point == liste_positions_.end()) break;  // never with x, y pairs
    os << ',' << number{*point};
  }
  os << " : " << number{posx_receptivite_} << ' ' << number{posy_receptivite_} << ' ' << ma_priorite_
     << ' ';
  put_quoted(os, ma_receptivite_);
  os << " / ";
  bool first = true;
  for (int action : mes_actions_) {
    if (!first) os << ' ';
    os << action;
    first = false;
  }
}

// The chart the user edits: a full disk or a failed write keeps the old text
// whole, as for every other writer, and so does a text, kind or number that
// no chart text holds (the setters take any), rather than a chart that would
// not read back as it was. The check walks the chart once. Unlike the
// other writers it may replace the file the chart was read from: reading a
// chart, editing it and saving it back is what the library is for.
int gal_tpen_fichier::put_gal(const String& file, const String& module) const {
  if (mon_modele_ < 0) return 0;
  String fault;
  const member_tables hidden{table_sensors_, table_variables_, table_functions_, table_pres_,
                             [](const gal_tpen_etat& s) { return s.mon_type_; }};
  if (unwritable(*this, hidden, module, fault)) {
    std::cerr << "ERROR in gal_tpen_fichier::put_gal: " << fault << ": nothing written to "
              << tessan_writers::printable(file) << std::endl;
    return 0;
  }
  return tessan_writers::write_whole_file(
      file, [&](std::ostream& os) { put_gal(os, module); },
      tessan_writers::replacing_file::chart_file::saved);
}

void gal_tpen_fichier::put_gal(std::ostream& os, const String& module) const {
  if (mon_modele_ < 0) return;

  os << "Name: " << module << " : ";
  // Kinds beyond the four keywords come only from the older numeric header,
  // which reads n as n + 1 there: writing kind - 1 reads back the same kind.
  if (mon_modele_ <= synccharts_model)
    os << gal_mots_cles_modeles[mon_modele_];
  else
    os << mon_modele_ - 1;
  os << ";\n\n";

  auto put_variable = [&os](const gal_declaration_variables& v) { v.put_gal(os); };
  put_section(os, "Type:", table_types_, [&os](const String& t) { os << t; });
  os << '\n';
  put_section(os, "Input:", table_inputs_, put_variable);
  os << '\n';
  put_section(os, "Sensor:", table_sensors_, put_variable);
  os << '\n';
  put_section(os, "Output:", table_outputs_, put_variable);
  os << '\n';
  put_section(os, "Local:", table_locals_, put_variable);
  os << '\n';
  put_section(os, "Variable:", table_variables_, put_variable);
  os << '\n';
  put_section(os, "Run:", table_progs_externes_,
              [&os](const gal_declaration_progs& p) { p.put_gal(os); });
  os << '\n';
  put_section(os, "Function:", table_functions_,
              [&os](const gal_declaration_functions& f) { f.put_gal(os); });
  os << '\n';
  put_section(os, "Constant:", table_constants_,
              [&os](const gal_declaration_constants& c) { c.put_gal(os); });
  os << '\n';
  put_section(os, "Pre:", table_pres_, [&os](const gal_declaration_pres& p) { p.put_gal(os); });
  os << '\n';
  put_section(os, "Action:", table_actions_, [&os](const String& a) { put_quoted(os, a); });
  os << '\n';
  put_section(os, "Star:", table_etats_,
              [this, &os](const gal_tpen_etat& s) { s.put_gal(os, *this); });
  os << '\n';
  int modele = mon_modele_;
  std::size_t in_use = nbr_transitions_ > 0 ? static_cast<std::size_t>(nbr_transitions_) : 0;
  if (in_use > table_transitions_.size()) in_use = table_transitions_.size();
  put_section(os, "Transition:", table_transitions_, in_use,
              [modele, &os](const gal_tpen_transition& t) { t.put_gal(os, modele); });
}
