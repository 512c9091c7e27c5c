// A chart text through everything the library does with a chart: parse() on
// arbitrary bytes, then, for a chart that reads, the check against its
// external programs, the declaration and trigger checks, every writer, a few
// edits drawn from the input, and saves over the file the chart was read
// from. Whatever the file holds, nothing may crash, read outside a table,
// behave undefinedly or leak. And the writer and the reader are one
// contract: every save reads back, into a chart whose own save is the same
// text; a save that does not aborts, with both texts on standard error.
//
// Each input goes through a real file, as in every other read. The external
// programs' paths are the input's choice: only paths that stay inside the
// fuzz folder are followed, since every read leaves a trace file beside its
// chart.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <streambuf>

#include "reader/parse_gal.h"

namespace {

// Swallows the reader's "reading ..." and syntax error lines, and what the
// checks, the writers and the edits say.
class discard_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

String chart_dir;
String chart_name;

// Everything the reads left in the fuzz folder (traces of programs' charts
// named by the input), and the chart too when `all`.
void empty_chart_dir(bool all) {
  DIR* dir = opendir(chart_dir.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    const String name = entry->d_name;
    if (name == "." || name == ".." || (!all && name == "chart.gal")) continue;
    std::remove((chart_dir + "/" + name).c_str());
  }
  closedir(dir);
}

void remove_chart_dir() {
  empty_chart_dir(true);
  rmdir(chart_dir.c_str());
}

// A relative path without a ".." component stays in the current folder.
bool stays_inside(const String& path) {
  if (!path.empty() && path[0] == '/') return false;
  String rest = path;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    if (rest.substr(0, slash) == "..") return false;
    rest = slash == String::npos ? String() : rest.substr(slash + 1);
  }
  return true;
}

void check_programs_inside(const gal_tpen_fichier& chart) {
  for (int i = 0; i < chart.nbr_progs_externes(); ++i) {
    const gal_declaration_progs& program = chart.ma_table_progs_externes()[i];
    if (!stays_inside(program.chemin()) || !stays_inside(program.nom_fichier())) return;
  }
  const int back = open(".", O_RDONLY | O_DIRECTORY);
  if (back < 0 || chdir(chart_dir.c_str()) != 0) {
    if (back >= 0) close(back);
    return;
  }
  String report;
  chart.test_external_progs_io(report);
  if (fchdir(back) != 0) std::abort();
  close(back);
}

String slurp(const String& name) {
  std::ifstream in(name.c_str(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

[[noreturn]] void round_trip_failed(const char* what, const String& saved, const String& second) {
  std::fprintf(stderr, "fuzz_chart: %s\n--- saved ---\n%s\n--- saved again ---\n%s\n", what,
               saved.c_str(), second.c_str());
  std::abort();
}

// A coordinate that no text holds (an edit may push one past the largest
// double): the save refuses the chart then.
bool has_unwritable_number(const gal_tpen_fichier& chart) {
  for (int s = 0; s < chart.nbr_etats(); ++s) {
    const gal_tpen_etat& state = chart.ma_table_etats()[s];
    if (!std::isfinite(state.ma_posx()) || !std::isfinite(state.ma_posy())) return true;
  }
  for (int t = 0; t < chart.nbr_transitions(); ++t) {
    const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
    if (!std::isfinite(transition.posx_receptivite()) ||
        !std::isfinite(transition.posy_receptivite()))
      return true;
    for (double v : transition.liste_positions())
      if (!std::isfinite(v)) return true;
  }
  return false;
}

// Saves the chart over its file, reads that back and saves the chart read
// beside it: the two texts must be one.
void expect_save_reads_back(const gal_tpen_fichier& chart) {
  if (chart.mon_modele() < 0) return;  // an undefined model is not written
  if (chart.put_gal(chart_name, chart.mon_nom_module()) == 0) {
    if (has_unwritable_number(chart)) return;
    round_trip_failed("the chart was not saved", slurp(chart_name), "");
  }
  const String saved = slurp(chart_name);
  const std::unique_ptr<gal_tpen_fichier> back(parse(chart_name));
  if (!back) round_trip_failed("the saved text does not read", saved, "");
  const String second = chart_dir + "/second.gal";
  if (back->put_gal(second, back->mon_nom_module()) == 0)
    round_trip_failed("the chart read back was not saved", saved, "");
  if (slurp(second) != saved) round_trip_failed("a second save writes another text", saved, slurp(second));
}

void check(const gal_tpen_fichier& chart) {
  String report;
  chart.test_determinisme(report);
  chart.test_exclusion_ES_et_coherence_type_definition_pre(report);
  for (int t = 0; t < chart.nbr_transitions(); ++t) {
    const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
    transition.test_syntaxe_receptivite();
    chart.expression_valide(transition.ma_receptivite());
  }
}

void write_all(const gal_tpen_fichier& chart) {
  const String base = chart_dir + "/written";
  chart.put_strl5(base + ".strl", chart.mon_nom_module());
  chart.put_le(base + ".le", chart.mon_nom_module());
  chart.put_xfig(base + ".fig", chart.mon_nom_module());
  chart.put_inkscape(base + ".svg", chart.mon_nom_module());
}

bool has_initial_arrow(const gal_tpen_fichier& chart) {
  for (int t = 0; t < chart.nbr_transitions(); ++t)
    if (chart.ma_table_transitions()[t].mon_ident_etat_amont() == -1) return true;
  return false;
}

// A few edits, drawn from the input's bytes: the same input edits alike.
// Indices are drawn one past each end too, where the edits refuse them.
void edit(gal_tpen_fichier& chart, const std::uint8_t* data, std::size_t size) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
  std::mt19937_64 rng(hash);
  const auto index = [&rng](int count) {
    return static_cast<int>(rng() % static_cast<std::uint64_t>(count + 2)) - 1;
  };
  for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n) {
    switch (rng() % 12) {
      case 0: chart.sup_etat(index(chart.nbr_etats())); break;
      case 1: chart.sup_transition(index(chart.nbr_transitions())); break;
      case 2: chart.sup_output(index(chart.nbr_outputs())); break;
      case 3: chart.sup_action(index(chart.nbr_actions())); break;
      case 4: chart.internal_raj_actions(); break;
      case 5:
        if (chart.nbr_inputs() > 0) chart.element_neutre_transitions(chart.nom_input(0));
        break;
      case 6: chart.homogenise_boucles_etat(index(chart.nbr_etats())); break;
      case 7:
        if (has_initial_arrow(chart)) chart.add_bootstate();
        break;
      case 8: chart.test_determinisme_avec_auto_completion(); break;
      case 9:
        if (chart.nbr_actions() > 0)
          chart.replace_action(index(chart.nbr_actions()),
                               static_cast<int>(rng() % static_cast<std::uint64_t>(chart.nbr_actions())));
        break;
      case 10:
        chart.efface_table_inputs();
        chart.efface_table_locals();
        break;
      default: chart.clear(); break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Without a display the writers' warnings go to standard error, which is
  // swallowed, rather than to a window that nobody closes.
  unsetenv("DISPLAY");
  static discard_buffer sink;
  std::cout.rdbuf(&sink);
  std::cerr.rdbuf(&sink);
  // tmpfs where there is one: every input makes a chart file and a trace.
  String pattern = String(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                   "/tessan-fuzz-XXXXXX";
  const char* dir = mkdtemp(&pattern[0]);
  if (dir == nullptr) {
    std::perror("fuzz_chart: mkdtemp");
    return 1;
  }
  chart_dir = dir;
  std::atexit(remove_chart_dir);
  chart_name = String(dir) + "/chart.gal";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream chart(chart_name.c_str(), std::ios::binary | std::ios::trunc);
    chart.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::unique_ptr<gal_tpen_fichier> chart(parse(chart_name));
  if (!chart) return 0;
  check_programs_inside(*chart);
  expect_save_reads_back(*chart);
  check(*chart);
  write_all(*chart);
  edit(*chart, data, size);
  expect_save_reads_back(*chart);
  empty_chart_dir(false);  // the traces, modules and drawings of this input
  return 0;
}
