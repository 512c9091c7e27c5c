// The chart tests' own view of a chart: a probe that opens the fields the
// public interface does not show, and what every chart must satisfy after a
// change (each state's incoming and outgoing lists hold exactly the
// transitions that end or start there, in table order, worked out here from
// the transitions themselves).
#ifndef TESSAN_TESTS_CHART_SUPPORT_H
#define TESSAN_TESTS_CHART_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <vector>

#include "chart/gal_norm.h"

// Opens the chart's fields to the tests.
struct chart_probe : gal_tpen_fichier {
  using gal_tpen_fichier::gal_tpen_fichier;
  int capacity() const { return static_cast<int>(table_transitions_.size()); }
  std::int32_t& stamp() { return signature_modif_; }
  int nbr_variables() const { return static_cast<int>(table_variables_.size()); }
  int nbr_sensors() const { return static_cast<int>(table_sensors_.size()); }
  int nbr_pres() const { return static_cast<int>(table_pres_.size()); }
  int nbr_functions() const { return static_cast<int>(table_functions_.size()); }
  std::vector<gal_declaration_variables>& variables() { return table_variables_; }
  std::vector<gal_declaration_variables>& sensors() { return table_sensors_; }
  std::vector<gal_declaration_pres>& pres() { return table_pres_; }
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

#endif
