// A chart text through everything the library does with a chart: parse() on
// arbitrary bytes, then, for a chart that reads, the check against its
// external programs, the declaration and trigger checks, every writer, a few
// edits drawn from the input, and saves over the file the chart was read
// from. Whatever the file holds, nothing may crash, read outside a table,
// behave undefinedly or leak. And the writer and the reader are one
// contract: every chart read saves into a text that reads back, into a chart
// whose own save is the same text. Texts set by a caller (names, types,
// triggers, actions, paths, values, drawn from the input's bytes and set
// through the builders and setters) may make a chart that no text holds:
// its save is refused and leaves the file as it was. Any other outcome aborts,
// with the texts on standard error.
//
// Each input goes through a real file, as in every other read. The external
// programs' paths are the input's choice: only paths that stay inside the
// fuzz folder are followed, since every read leaves a trace file beside its
// chart.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <list>
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

// Saves the chart over its file: either it is refused, and the file holds
// what it held, or the file reads back into a chart whose save beside it is
// the same text. `must_save`: a refusal is a finding too. True when saved.
bool expect_saved_or_refused(const gal_tpen_fichier& chart, bool must_save) {
  const String before = slurp(chart_name);
  if (chart.put_gal(chart_name, chart.mon_nom_module()) == 0) {
    // An undefined model is not written at all.
    if (must_save && chart.mon_modele() >= 0)
      round_trip_failed("the chart was not saved", before, "");
    const String after = slurp(chart_name);
    if (after != before) round_trip_failed("a refused save changed the file", before, after);
    return false;
  }
  const String saved = slurp(chart_name);
  const std::unique_ptr<gal_tpen_fichier> back(parse(chart_name));
  if (!back) round_trip_failed("the saved text does not read", saved, "");
  const String second = chart_dir + "/second.gal";
  if (back->put_gal(second, back->mon_nom_module()) == 0)
    round_trip_failed("the chart read back was not saved", saved, "");
  if (slurp(second) != saved) round_trip_failed("a second save writes another text", saved, slurp(second));
  return true;
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

// ---- Texts a caller sets ------------------------------------------------------

// Texts drawn from the input: a slice of its bytes (quotes, colons, blanks,
// line ends and NULs included), the same cut before its first byte that no
// name holds (names, mostly), or one of a few texts at the edges of what the
// chart text holds.
class text_source {
 public:
  text_source(const std::uint8_t* data, std::size_t size, std::mt19937_64& rng)
      : data_(reinterpret_cast<const char*>(data)), size_(size), rng_(rng) {}

  String next() {
    static const char* const edges[] = {"",     "x",  "NS",  "Input", "c_assign", "12_", "_",
                                        "9",    "---", "--", "a b",   "P:Q",      "\"",  "a\"b",
                                        "lib/", "/",  "a/b", "\\",    "\n",       "-1"};
    switch (rng_() % 4) {
      case 0: return edges[rng_() % (sizeof edges / sizeof *edges)];
      case 1: {
        String text = slice();
        std::size_t end = 0;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) ||
                                     text[end] == '_'))
          ++end;
        return text.substr(0, end);
      }
      default: return slice();
    }
  }
  int number(int count) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(count)); }

 private:
  String slice() {
    if (size_ == 0) return String();
    const std::size_t start = rng_() % size_;
    const std::size_t length = rng_() % std::min<std::size_t>(size_ - start + 1, 24);
    return String(data_ + start, length);
  }

  const char* data_;
  std::size_t size_;
  std::mt19937_64& rng_;
};

template <class T>
std::list<T> list_of(const T* table, int count) {
  std::list<T> list;
  for (int i = 0; i < count; ++i) list.push_back(table[i]);
  return list;
}

gal_declaration_variables drawn_variable(text_source& texts) {
  const String type = texts.next();
  return gal_declaration_variables(type, texts.next());
}

std::list<gal_declaration_variables> drawn_variables(text_source& texts) {
  std::list<gal_declaration_variables> list;
  for (int n = texts.number(3); n > 0; --n) list.push_back(drawn_variable(texts));
  return list;
}

// The chart made again through the reader's constructor, as a caller makes
// one: the sensors, variables and functions, which have no builder, drawn
// from the input; the pres, which have no getter, left out; the other tables,
// the states and the transitions copied.
std::unique_ptr<gal_tpen_fichier> made_again(const gal_tpen_fichier& chart, text_source& texts) {
  String module = chart.mon_nom_module();
  std::list<String> types = list_of(chart.ma_table_types(), chart.nbr_types());
  auto inputs = list_of(chart.ma_table_inputs(), chart.nbr_inputs());
  auto outputs = list_of(chart.ma_table_outputs(), chart.nbr_outputs());
  auto locals = list_of(chart.ma_table_locals(), chart.nbr_locals());
  std::list<gal_declaration_variables> sensors = drawn_variables(texts);
  std::list<gal_declaration_variables> variables = drawn_variables(texts);
  std::list<gal_declaration_progs> programs =
      list_of(chart.ma_table_progs_externes(), chart.nbr_progs_externes());
  std::list<gal_declaration_functions> functions;
  for (int n = texts.number(3); n > 0; --n) {
    std::list<String> arguments;
    for (int a = texts.number(3); a > 0; --a) arguments.push_back(texts.next());
    const String result = texts.next();
    functions.push_back(gal_declaration_functions(result, texts.next(), arguments));
  }
  std::list<gal_declaration_constants> constants =
      list_of(chart.ma_table_constants(), chart.nbr_constants());
  std::list<gal_declaration_pres> pres;
  std::list<String> actions = list_of(chart.ma_table_actions(), chart.nbr_actions());
  auto made = std::make_unique<gal_tpen_fichier>(&module, chart.mon_modele(), &types, &inputs,
                                                 &sensors, &outputs, &locals, &variables, &programs,
                                                 &functions, &constants, &pres, &actions);
  for (int s = 0; s < chart.nbr_etats(); ++s) made->add_fin_etat(chart.ma_table_etats()[s]);
  for (int t = 0; t < chart.nbr_transitions(); ++t)
    made->add_fin_transition(chart.ma_table_transitions()[t]);
  return made;
}

// An element of one of the chart's tables replaced, or one more appended.
template <class T>
void set_or_add(text_source& texts, gal_tpen_fichier& chart, T* table, int count,
                void (gal_tpen_fichier::*add)(const T&), const T& element) {
  if (count > 0 && texts.number(2) == 0)
    table[texts.number(count)] = element;
  else
    (chart.*add)(element);
}

std::list<int> drawn_actions(const gal_tpen_fichier& chart, text_source& texts) {
  std::list<int> actions;
  for (int n = chart.nbr_actions() > 0 ? texts.number(3) : 0; n > 0; --n)
    actions.push_back(texts.number(chart.nbr_actions()));
  return actions;
}

// One text of the chart set from the input, through the public setters and
// builders: the module name, a type, a signal and its type, a program and
// its ports, a constant's type, name or value, a pre, an action, a state's
// name, kind and renaming, a transition's trigger, kind and priority, or the
// sensors, variables and functions of the chart made again.
void set_text(std::unique_ptr<gal_tpen_fichier>& chart, text_source& texts) {
  gal_tpen_fichier& c = *chart;
  switch (texts.number(13)) {
    case 0: c.def_nom_module(texts.next()); break;
    case 1:
      set_or_add<String>(texts, c, c.ma_table_types(), c.nbr_types(), &gal_tpen_fichier::add_type,
                         texts.next());
      break;
    case 2:
      set_or_add(texts, c, c.ma_table_inputs(), c.nbr_inputs(), &gal_tpen_fichier::add_fin_input,
                 drawn_variable(texts));
      break;
    case 3:
      set_or_add(texts, c, c.ma_table_outputs(), c.nbr_outputs(), &gal_tpen_fichier::add_fin_output,
                 drawn_variable(texts));
      break;
    case 4:
      set_or_add(texts, c, c.ma_table_locals(), c.nbr_locals(), &gal_tpen_fichier::add_fin_local,
                 drawn_variable(texts));
      break;
    case 5: {
      if (texts.number(4) == 0) {
        c.ident_et_add_prog_externe(texts.next());
        break;
      }
      const String path = texts.next(), file = texts.next(), module = texts.next();
      const std::list<gal_declaration_variables> inputs = drawn_variables(texts),
                                                 sensors = drawn_variables(texts),
                                                 outputs = drawn_variables(texts);
      set_or_add(texts, c, c.ma_table_progs_externes(), c.nbr_progs_externes(),
                 &gal_tpen_fichier::add_fin_progs_externes,
                 gal_declaration_progs(path, file, module, inputs, sensors, outputs));
      break;
    }
    case 6: {
      if (c.nbr_constants() == 0) break;
      gal_declaration_constants& constant = c.ma_table_constants()[texts.number(c.nbr_constants())];
      const int which = texts.number(gal_declaration_constants::nb_values + 2);
      if (which == 0)
        constant.typev(texts.next());
      else if (which == 1)
        constant.name(texts.next());
      else
        constant.value(which - 2, texts.next());
      break;
    }
    case 7: {
      const String prename = texts.next(), signal = texts.next();
      c.add_fin_pre(gal_declaration_pres(prename, signal, texts.next()));
      break;
    }
    case 8:
      set_or_add<String>(texts, c, c.ma_table_actions(), c.nbr_actions(),
                         &gal_tpen_fichier::add_fin_action, texts.next());
      break;
    case 9: {
      if (c.nbr_etats() > 0 && texts.number(2) == 0) {
        c.ma_table_etats()[texts.number(c.nbr_etats())].replace_nom(texts.next());
        break;
      }
      // Kinds and run indices past the usual ones too.
      const int kind = texts.number(4);
      const int run = texts.number(c.nbr_progs_externes() + 2) - 1;
      String name = texts.next();
      std::list<int> actions = drawn_actions(c, texts);
      c.add_fin_etat(gal_tpen_etat(kind, &name, texts.number(9) - 4, texts.number(9) - 4,
                                   gal_run_instance(run, texts.next()), &actions));
      break;
    }
    case 10: {
      if (c.nbr_transitions() > 0 && texts.number(2) == 0) {
        gal_tpen_transition& t = c.ma_table_transitions()[texts.number(c.nbr_transitions())];
        switch (texts.number(3)) {
          case 0: t.modif_receptivite(texts.next()); break;
          case 1: t.modif_type_trans(texts.number(6) - 1); break;
          default: t.modif_priorite(texts.number(6) - 2); break;
        }
        break;
      }
      const int source = texts.number(c.nbr_etats() + 1) - 1;
      const int target = texts.number(c.nbr_etats() + 1) - 1;
      const std::list<int> actions = drawn_actions(c, texts);
      c.add_fin_transition(gal_tpen_transition(source, target, texts.number(4), 0.5, 1,
                                               texts.number(4) - 1, texts.next(), actions));
      break;
    }
    case 11: c.def_modele(texts.number(7) - 1); break;
    default: chart = made_again(c, texts); break;
  }
}

// Texts set one after the other into the chart read, or into a chart made
// from nothing when the input reads as none, each save checked. A refused
// text is taken back, so that the texts after it are saved too.
void set_texts(const gal_tpen_fichier* read, const std::uint8_t* data, std::size_t size) {
  std::uint64_t hash = 1469598103934665603ull;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
  std::mt19937_64 rng(hash);
  text_source texts(data, size, rng);
  std::unique_ptr<gal_tpen_fichier> chart;
  if (read != nullptr) {
    chart = std::make_unique<gal_tpen_fichier>(*read);
  } else {
    String module = "m";
    std::list<String> none;
    std::list<gal_declaration_variables> no_variables;
    std::list<gal_declaration_progs> no_programs;
    std::list<gal_declaration_functions> no_functions;
    std::list<gal_declaration_constants> no_constants;
    std::list<gal_declaration_pres> no_pres;
    chart = std::make_unique<gal_tpen_fichier>(
        &module, texts.number(4), &none, &no_variables, &no_variables, &no_variables, &no_variables,
        &no_variables, &no_programs, &no_functions, &no_constants, &no_pres, &none);
  }
  for (int n = 1 + texts.number(8); n > 0; --n) {
    std::unique_ptr<gal_tpen_fichier> edited = std::make_unique<gal_tpen_fichier>(*chart);
    set_text(edited, texts);
    if (expect_saved_or_refused(*edited, false)) chart = std::move(edited);
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
  if (chart) {
    check_programs_inside(*chart);
    expect_saved_or_refused(*chart, true);
    check(*chart);
    write_all(*chart);
    edit(*chart, data, size);
    expect_saved_or_refused(*chart, !has_unwritable_number(*chart));
  }
  set_texts(chart.get(), data, size);
  empty_chart_dir(false);  // the traces, modules and drawings of this input
  return 0;
}
