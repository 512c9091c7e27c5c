// The block of one state in its constellation: an endless loop that waits
// for the state's start signal, runs what the state does (emits its actions,
// runs its program, or halts) under its abortions and suspensions, and emits
// the start signal of the state that each transition leads to.
#include "writers/put_strl5.h"
#include "writers/put_strl5_private.h"

#include <algorithm>
#include <iostream>

namespace tessan_strl5 {

namespace {

// A state's own list, in index order and without repeats, of the transitions
// that really leave (or reach) it: the lists are kept by the chart, but only
// what the transition table says counts.
template <class Belongs>
std::vector<int> own_transitions(const gal_tpen_fichier& chart, const std::list<int>& listed,
                                 Belongs belongs) {
    std::vector<int> own;
    own.reserve(listed.size());
    const gal_tpen_transition* table = chart.ma_table_transitions();
    for (int t : listed)
        if (t >= 0 && t < chart.nbr_transitions() && belongs(table[t]))
            own.push_back(t);
    std::sort(own.begin(), own.end());
    own.erase(std::unique(own.begin(), own.end()), own.end());
    return own;
}

}  // namespace

bool is_final(const gal_tpen_etat& state) { return state.convert_type() == "FS"; }

String termination_signal(const gal_tpen_fichier& chart, int k) {
    return chart.mon_nom_module() + "_ctl" + std::to_string(k) + "_terminate";
}

String start_signal(const gal_tpen_etat& state) { return "start_" + state.un_nom(); }

String run_trap(const gal_tpen_etat& state) { return "done_" + state.un_nom(); }

bool needs_run_trap(const gal_tpen_etat& state, const std::list<int>& termination) {
    return (!state.mes_actions().empty() || is_final(state)) && state.mon_ident_run() != -1 &&
           !termination.empty();
}

state_lists lists_of(const gal_tpen_fichier& chart, int s) {
    const gal_tpen_etat& state = chart.ma_table_etats()[s];
    const gal_tpen_transition* table = chart.ma_table_transitions();
    state_lists lists;
    const auto leaves = [s](const gal_tpen_transition& t) { return t.mon_ident_etat_amont() == s; };
    for (int t : own_transitions(chart, state.mes_transitions_post(), leaves)) {
        switch (table[t].mon_type_trans()) {
        case weak_trans:
            (chart.mon_modele() == synccharts_model ? lists.weak : lists.strong).push_back(t);
            break;
        case strong_trans:
            lists.strong.push_back(t);
            break;
        case normalterm_trans:
            lists.termination.push_back(t);
            break;
        default:
            break;
        }
    }
    const auto suspends = [s](const gal_tpen_transition& t) {
        return t.mon_ident_etat_aval() == s && t.mon_type_trans() == suspend_trans;
    };
    for (int t : own_transitions(chart, state.mes_transitions_pre(), suspends))
        lists.suspension.push_back(t);
    lists.weak = chart.sort_transitions_list(lists.weak);
    lists.strong = chart.sort_transitions_list(lists.strong);
    lists.termination = chart.sort_transitions_list(lists.termination);
    return lists;
}

std::vector<int> initial_transitions(const gal_tpen_fichier& chart, const std::list<int>& states) {
    std::vector<int> initial;
    const gal_tpen_etat* table = chart.ma_table_etats();
    for (int s : states) {
        const auto starts = [s](const gal_tpen_transition& t) {
            return t.mon_ident_etat_aval() == s && t.mon_ident_etat_amont() == -1 &&
                   (t.mon_type_trans() == weak_trans || t.mon_type_trans() == strong_trans);
        };
        const std::vector<int> own = own_transitions(chart, table[s].mes_transitions_pre(), starts);
        initial.insert(initial.end(), own.begin(), own.end());
    }
    std::sort(initial.begin(), initial.end());
    return initial;
}

}  // namespace tessan_strl5

using namespace tessan_strl5;

namespace {

// The emits of a transition taken: its actions, then the start of its target.
// A final arrow (target -1) starts nothing; its branch must still hold a
// statement, hence "nothing" when no action emits anything either.
void put_transition_emits(std::ostream& os, const gal_tpen_fichier& chart, int t) {
    const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
    bool emitted = false;
    for (int a : transition.mes_actions()) {
        const action_reading action = read_action(chart.ma_table_actions()[a]);
        if (!action.emissions.empty()) {
            os << "             emit " << action.text << ";\n";
            emitted = true;
        }
    }
    const int target = transition.mon_ident_etat_aval();
    if (target >= 0)
        os << "             emit " << start_signal(chart.ma_table_etats()[target]) << "\n";
    else if (!emitted)
        os << "             nothing\n";
}

void put_cases(std::ostream& os, const gal_tpen_fichier& chart, const std::list<int>& list,
               const char* closing) {
    os << "          when\n";
    for (int t : list) {
        os << "             case " << strl5_recept(chart.ma_table_transitions()[t].ma_receptivite())
           << " do\n";
        put_transition_emits(os, chart, t);
    }
    os << closing;
}

// The suspensions of a state say "when immediate" themselves: a "#" in their
// trigger must not add the word a second time.
String suspension_trigger(const gal_tpen_fichier& chart, int t) {
    return strl5_recept_without_immediate(chart.ma_table_transitions()[t].ma_receptivite());
}

void warn_several_terminations(const gal_tpen_etat& state, const std::list<int>& termination) {
    std::cerr << "WARNING: state " << printable(state.un_nom()) << " has " << termination.size()
              << " normal termination transitions: only transition " << termination.front()
              << ", the first by priority, is written" << std::endl;
}

}  // namespace

void gal_tpen_fichier::put_strl5_handling_star(std::ostream& os, int s, int k) const {
    if (s < 0 || s >= nbr_etats()) {
        std::cerr << "ERROR in gal_tpen_fichier::put_strl5_handling_star: state " << s
                  << " out of range" << std::endl;
        return;
    }
    const gal_tpen_etat& state = table_etats_[s];
    const String name = state.un_nom();
    const state_lists lists = lists_of(*this, s);
    const std::list<int> actions = state.mes_actions();
    const bool final = is_final(state);
    const bool runs = state.mon_ident_run() != -1;
    // The end of the run ends the sustained part too, then the termination
    // follows: without the trap the sustained part would outlive the state.
    const bool trapped = needs_run_trap(state, lists.termination);

    os << "    loop\n"
          "      [\n"
          "        % handling star "
       << name << "\n        present " << start_signal(state) << " then\n";
    if (!lists.strong.empty())
        os << "          abort\n";
    if (!lists.weak.empty())
        os << "          weak abort\n";
    if (trapped)
        os << "          trap " << run_trap(state) << " in\n";

    if (!actions.empty() || final) {
        for (std::size_t i = 0; i < lists.suspension.size(); ++i)
            os << "             suspend\n";
        os << "               loop\n";
        const char* separator = "";
        for (int a : actions) {
            const action_reading action = read_action(table_actions_[a]);
            if (!action.emissions.empty()) {
                os << separator << "                   emit " << action.text << "\n";
                separator = "             ;\n";
            }
        }
        if (final)
            os << separator << "             emit " << termination_signal(*this, k) << "\n";
        else if (*separator == '\0')
            os << "                   nothing\n";  // a loop body cannot be empty
        os << "               each tick\n";
        for (int t : lists.suspension)
            os << "             when immediate " << suspension_trigger(*this, t) << "\n";
        if (runs)
            os << "               ||\n";
    }
    if (!runs && actions.empty() && !final)
        os << "          halt\n";
    if (runs) {
        for (std::size_t i = 0; i < lists.suspension.size(); ++i)
            os << "          suspend\n";
        os << "            run " << table_progs_externes_[state.mon_ident_run()].nom_module();
        const String renaming = state.mes_renomages_param_run();
        if (!renaming.empty())
            os << "[" << translate_renaming(renaming).text << "]";
        if (trapped)
            os << " ; exit " << run_trap(state);
        else if (lists.termination.empty())
            os << " ; halt";
        os << "\n";
        for (int t : lists.suspension)
            os << "          when immediate " << suspension_trigger(*this, t) << "\n";
    }
    if (trapped)
        os << "          end trap\n";

    if (!lists.termination.empty()) {
        if (lists.termination.size() > 1)
            warn_several_terminations(state, lists.termination);
        os << "          ;\n";
        put_transition_emits(os, *this, lists.termination.front());
    }
    if (!lists.weak.empty())
        put_cases(os, *this, lists.weak, "          end weak abort\n");
    if (!lists.strong.empty())
        put_cases(os, *this, lists.strong, "          end abort\n");

    os << "        else\n"
          "          pause\n"
          "        end present\n"
          "        ||\n"
          "        pause\n"
          "      ]\n"
          "    end loop\n";
}
