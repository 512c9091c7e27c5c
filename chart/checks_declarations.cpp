// The coherence of the chart's declarations: a name declared in two of the
// signal tables, and pre declarations against the type of their signal and
// the constant that gives their initial value.
//
// Tables may be large (generated charts), so names are looked up in hash
// tables built once per call rather than by comparing every element of one
// table with every element of another; the findings and their order are
// those of that comparison.
#include <unordered_map>
#include <vector>

#include "chart/gal_norm.h"

namespace {

// One signal table and the words its findings use for it, first as the
// table that clashes, then as the table clashed with.
struct signal_table {
  std::vector<String> names;
  const char* as_first;
  const char* as_second;
};

std::vector<String> names_of(const std::vector<gal_declaration_variables>& table) {
  std::vector<String> names;
  names.reserve(table.size());
  for (const gal_declaration_variables& v : table) names.push_back(v.nom());
  return names;
}

std::unordered_map<String, int> occurrences(const std::vector<String>& names) {
  std::unordered_map<String, int> count;
  for (const String& n : names) ++count[n];
  return count;
}

// The first element of each name, tables searched in the order given.
template <class T, class Name>
void index_first(std::unordered_map<String, const T*>& index, const std::vector<T>& table,
                 Name name) {
  for (const T& element : table) index.emplace(name(element), &element);
}

}  // namespace

int gal_tpen_fichier::test_exclusion_ES_et_coherence_type_definition_pre(String& report) const {
  report.clear();
  if (mon_modele() == undefined_model) return 1;
  int result = 1;

  std::vector<String> pre_names;
  pre_names.reserve(table_pres_.size());
  for (const gal_declaration_pres& p : table_pres_) pre_names.push_back(p.prename());
  const signal_table tables[] = {
      {names_of(table_inputs_), "input", "input"},
      {names_of(table_outputs_), "output", "output"},
      {names_of(table_locals_), "local", "local"},
      {names_of(table_variables_), "variables", "variable"},
      {names_of(table_sensors_), "sensor", "sensor"},
      {pre_names, "pre", "pre"},
  };
  constexpr int n_tables = sizeof tables / sizeof tables[0];
  std::vector<std::unordered_map<String, int>> counts;
  for (const signal_table& t : tables) counts.push_back(occurrences(t.names));
  for (int first = 0; first + 1 < n_tables; ++first) {
    for (const String& name : tables[first].names) {
      for (int second = first + 1; second < n_tables; ++second) {
        const auto found = counts[second].find(name);
        if (found == counts[second].end()) continue;
        // One finding per element of the second table that bears the name.
        for (int k = 0; k < found->second; ++k) {
          report += "\nSignal \"" + name + "\" is defined as " + tables[first].as_first + " and " +
                    tables[second].as_second;
          result = 0;
        }
      }
    }
  }

  std::unordered_map<String, const gal_declaration_variables*> signals;
  auto variable_name = [](const gal_declaration_variables& v) { return v.nom(); };
  index_first(signals, table_inputs_, variable_name);
  index_first(signals, table_locals_, variable_name);
  index_first(signals, table_outputs_, variable_name);
  std::unordered_map<String, const gal_declaration_constants*> constants;
  index_first(constants, table_constants_,
              [](const gal_declaration_constants& c) { return c.name(); });
  for (const gal_declaration_pres& p : table_pres_) {
    const String pre = p.prename();
    const String actual = p.actualname();
    const String initial = p.initialname();
    const auto signal = signals.find(actual);
    if (signal == signals.end()) continue;
    const String type = signal->second->typev();
    if (type == "pure") {
      if (initial != "---") {
        report += "\nSignal \"" + actual +
                  "\" is a pure signal: no constant have to be associated to the signal \"" + pre +
                  "\"";
        result = 0;
      }
      continue;
    }
    const auto constant = constants.find(initial);
    if (constant == constants.end()) {
      report += "\nUndefined constant about pre signal \"" + pre + "\" or signal \"" + actual +
                "\" should be pure";
      result = 0;
    } else if (constant->second->typev() != type) {
      report += "\nAbout the pre signal \"" + pre + "\": Type \"" + constant->second->typev() +
                "\" of the constant \"" + initial + "\" is not corresponding with the type \"" +
                type + "\" of the signal \"" + actual + "\"";
      result = 0;
    }
  }
  return result;
}
