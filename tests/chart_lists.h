// What the tests expect of every chart after a change: each state's incoming
// and outgoing lists hold exactly the transitions that end or start there, in
// table order, worked out here from the transitions themselves.
#ifndef TESSAN_TESTS_CHART_LISTS_H
#define TESSAN_TESTS_CHART_LISTS_H

#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "chart/gal_norm.h"

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
