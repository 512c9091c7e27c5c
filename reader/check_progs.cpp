// The check of a chart's external programs against their own charts: each
// program's chart file is read with parse(), and the inputs and outputs the
// chart declares for the program are compared with those the program's
// chart declares. It lives with the reader, the one thing it needs that the
// chart model must not depend on.
#include <memory>
#include <set>

#include "chart/gal_norm.h"
#include "reader/parse_gal.h"

namespace {

// The program's chart file. An empty path is the current folder: joined as
// it stands it would name a file at the root of the file system.
String program_file(const gal_declaration_progs& program) {
  const String path = program.chemin();
  const String file = program.nom_fichier() + ".gal";
  return path.empty() ? file : path + "/" + file;
}

String port_text(const char* kind, const gal_declaration_variables& port) {
  return kind + port.nom() + "\" with type \"" + port.typev() + "\"\n";
}

// The ports declared for the program (`declared`) against those of its
// chart (`table`, `count` elements), both compared on type and name. A port
// whose type differs is found from both sides. False when something was
// found.
bool same_ports(const char* kind, const std::list<gal_declaration_variables>& declared,
                const gal_declaration_variables* table, int count, const String& file,
                String& report) {
  bool same = true;
  if (count <= 0) {
    for (const gal_declaration_variables& d : declared) {
      report += port_text(kind, d) + " is not defined in file:\n\"" + file + "\"\n\n";
      same = false;
    }
    return same;
  }
  // Ordered by name then type, so set membership is operator== equality.
  const std::set<gal_declaration_variables> in_chart(table, table + count);
  const std::set<gal_declaration_variables> in_run(declared.begin(), declared.end());
  for (const gal_declaration_variables& d : declared) {
    if (in_chart.count(d) != 0) continue;
    report += port_text(kind, d) + " is not defined as such in file:\n\"" + file + "\"\n\n";
    same = false;
  }
  for (int i = 0; i < count; ++i) {
    if (in_run.count(table[i]) != 0) continue;
    report += port_text(kind, table[i]) + " is defined only in file:\n\"" + file + "\":\n\n";
    same = false;
  }
  return same;
}

}  // namespace

int gal_tpen_fichier::test_external_progs_io(String& report) const {
  report.clear();
  if (mon_modele() == undefined_model) {
    report = "Automaton Model undefined ...";
    return 0;
  }
  int result = 1;
  for (const gal_declaration_progs& program : table_progs_externes_) {
    const String file = program_file(program);
    // Only a plain file: a pipe that nobody writes would hold the check for good.
    const std::unique_ptr<gal_tpen_fichier> chart(parse_plain_file(file));
    if (!chart) {
      report += "used file \"" + file + "\"\nto define \"" + program.nom_module() +
                "\" run\nnot found or unreadable...\n\n";
      result = 0;
      continue;
    }
    if (!same_ports("Input: \"", program.my_inputs_list(), chart->ma_table_inputs(),
                    chart->nbr_inputs(), file, report))
      result = 0;
    if (!same_ports("Output: \"", program.my_outputs_list(), chart->ma_table_outputs(),
                    chart->nbr_outputs(), file, report))
      result = 0;
  }
  if (result == 0) report += "You have to probably update the IO/Run section ...";
  return result;
}
