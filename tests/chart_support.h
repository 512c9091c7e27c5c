// The chart tests' own view of a chart: a probe that opens the fields the
// public interface does not show, what every chart must satisfy after a
// change (each state's incoming and outgoing lists hold exactly the
// transitions that end or start there, in table order, worked out here from
// the transitions themselves), and a picture of a whole chart to compare
// with a file of tests/data/chart/, after each operation of a table.
#ifndef TESSAN_TESTS_CHART_SUPPORT_H
#define TESSAN_TESTS_CHART_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <list>
#include <sstream>
#include <vector>

#include "chart/gal_norm.h"
#include "tests/reader_files.h"
#include "tests/test_files.h"
#include "text/list_int.h"

// Opens the chart's fields to the tests.
struct chart_probe : gal_tpen_fichier {
  using gal_tpen_fichier::gal_tpen_fichier;
  int capacity() const { return static_cast<int>(table_transitions_.size()); }
  std::int32_t& stamp() { return signature_modif_; }
};

inline void expect_lists_match(const gal_tpen_fichier& chart) {
  const int n = chart.nbr_etats();
  std::vector<std::list<int>> post(n), pre(n);
  for (int k = 0; k < chart.nbr_transitions(); ++k) {
    const gal_tpen_transition& t = chart.ma_table_transitions()[k];
    if (t.mon_ident_etat_amont() >= 0 && t.mon_ident_etat_amont() < n)
      post[t.mon_ident_etat_amont()].push_back(k);
    if (t.mon_ident_etat_aval() >= 0 && t.mon_ident_etat_aval() < n)
      pre[t.mon_ident_etat_aval()].push_back(k);
  }
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(chart.ma_table_etats()[i].mes_transitions_post(), post[i]) << "state " << i;
    EXPECT_EQ(chart.ma_table_etats()[i].mes_transitions_pre(), pre[i]) << "state " << i;
  }
}

inline gal_tpen_etat named_state(String name) {
  return gal_tpen_etat(normal_star, &name, 0.0, 0.0, gal_run_instance(), nullptr);
}

inline gal_tpen_transition arrow(int from, int to, const String& trigger = "A",
                                 const std::list<int>& actions = {}) {
  return gal_tpen_transition(from, to, strong_trans, 0.0, 0.0, 0, trigger, actions);
}

// States s0, s1, ... appended one by one.
inline void add_states(gal_tpen_fichier& chart, int n) {
  for (int i = 0; i < n; ++i) chart.add_fin_etat(named_state("s" + std::to_string(i)));
}

inline std::vector<std::list<int>> automata(const gal_tpen_fichier& chart) {
  std::vector<std::list<int>> all;
  for (int k = 0; k < chart.nombre_SC(); ++k) all.push_back(chart.SC_liste_etats(k));
  return all;
}

// Everything a transition holds, on one line.
inline String describe(const gal_tpen_transition& t) {
  std::ostringstream os;
  os << t.mon_ident_etat_amont() << ">" << t.mon_ident_etat_aval() << " kind " << t.mon_type_trans()
     << " priority " << t.ma_priorite() << " \"" << t.ma_receptivite() << "\" actions "
     << t.mes_actions() << " points " << t.liste_positions() << " label " << t.posx_receptivite()
     << " " << t.posy_receptivite();
  return os.str();
}

// The kind and flag, the debug dump, then each state as it prints itself and
// each transition described: all of a chart that a test looks at.
inline String picture(const gal_tpen_fichier& chart) {
  std::ostringstream os;
  os << "model " << chart.mon_modele() << " encapsulated " << chart.encapsulated() << "\n";
  chart.put(os);
  for (int i = 0; i < chart.nbr_etats(); ++i)
    os << "state " << i << ": " << chart.ma_table_etats()[i] << "\n";
  for (int k = 0; k < chart.nbr_transitions(); ++k)
    os << "transition " << k << ": " << describe(chart.ma_table_transitions()[k]) << "\n";
  return os.str();
}

// A chart read from a .gal file of tests/data/.
inline chart_probe read_chart(const String& name) {
  auto r = reader_files::read_text(test_files::fixture(name));
  EXPECT_NE(r.chart, nullptr) << r.err;
  chart_probe chart;
  if (r.chart) static_cast<gal_tpen_fichier&>(chart) = *r.chart;
  return chart;
}

// The lines of `after` that differ from those of `before` at the same place,
// "unchanged" when none does, all of `after` when the count of lines changed.
inline String changes(const String& before, const String& after) {
  const auto lines = [](const String& s) { return std::count(s.begin(), s.end(), '\n'); };
  if (lines(before) != lines(after)) return after;
  std::istringstream b(before), a(after);
  String was, is, out;
  while (std::getline(b, was) && std::getline(a, is))
    if (was != is) out += is + "\n";
  return out.empty() ? "unchanged\n" : out;
}

// A stamp that no change made during the test can give, set before an
// operation to see whether it moved. Stamps count microseconds, wrapped to 32
// bits: the one just before a chart made at first use comes round again only
// some 71 minutes later. (A fixed value would be hit by the clock now and then.)
inline std::int32_t untouched_stamp() {
  static const std::int32_t stamp = [] {
    chart_probe now;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now.stamp()) - 1u);
  }();
  return stamp;
}

// An operation on a chart and what it does; `note` takes the results it shows.
using chart_step = std::pair<const char*, std::function<void(chart_probe&, std::ostream& note)>>;

// Makes each step on a fresh copy of `start` and gives for each its label
// (with "stamp moved" when it moved the stamp), its note, what the chart wrote
// on stderr, and what changed in the chart's picture. Unless told otherwise,
// the chart must keep its lists right.
inline String transcript(const chart_probe& start, const std::vector<chart_step>& steps,
                         bool lists_kept = true) {
  std::ostringstream all;
  for (const chart_step& step : steps) {
    chart_probe c = start;
    c.stamp() = untouched_stamp();
    std::ostringstream note;
    testing::internal::CaptureStderr();
    step.second(c, note);
    all << "==== " << step.first << (c.stamp() == untouched_stamp() ? "" : ", stamp moved") << "\n"
        << note.str() << testing::internal::GetCapturedStderr() << changes(picture(start), picture(c));
    if (lists_kept) expect_lists_match(c);
  }
  return all.str();
}

#endif
