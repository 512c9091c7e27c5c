// The Esterel v5 module of a chart: declarations, interface, and one
// constellation per concurrent automaton (the state blocks are in
// put_strl5_states.cpp).
//
// Work is linear in the size of the chart: each state's transitions come from
// its own outgoing and incoming lists, never from a scan of the whole
// transition table.
#include "writers/put_strl5.h"
#include "writers/put_strl5_private.h"
#include "writers/writer_files.h"

#include "chart/gal_norm.h"
#include "forms/formspp.h"

#include <iostream>
#include <vector>

using namespace tessan_strl5;
using tessan_writers::write_whole_file;

namespace {

// One signal per line, ": type" unless the signal is pure, "," after all but
// the last.
void put_signal_list(std::ostream& os, const gal_declaration_variables* table, int count,
                     int model) {
    for (int i = 0; i < count; ++i) {
        os << table[i].nom();
        if (!pure_type(table[i].typev(), model))
            os << ": " << table[i].typev();
        os << (i + 1 < count ? ",\n" : "\n");
    }
}

// A constant declared without the value that the chart gives it: Esterel
// takes only a literal of the constant's type, and the rest is the host
// language's to give.
void warn_value_dropped(const gal_declaration_constants& c) {
    String value = c.value(5);
    if (value.empty())
        value = c.value(0);
    std::cerr << "WARNING: constant " << printable(c.name()) << " is declared without its value \""
              << printable(value) << "\", which is no Esterel literal of type " << printable(c.typev())
              << std::endl;
}

void put_interface(std::ostream& os, const gal_tpen_fichier& chart) {
    const int model = chart.mon_modele();
    if (chart.nbr_inputs() > 0) {
        os << "input\n";
        put_signal_list(os, chart.ma_table_inputs(), chart.nbr_inputs(), model);
        os << ";\n";
    }
    if (chart.nbr_outputs() > 0) {
        os << "output\n";
        put_signal_list(os, chart.ma_table_outputs(), chart.nbr_outputs(), model);
        os << ";\n";
    }
    const int automata = chart.nombre_SC();
    if (chart.nbr_locals() > 0 || automata > 0) {
        os << "signal \n";
        put_signal_list(os, chart.ma_table_locals(), chart.nbr_locals(), model);
        for (int k = 0; k < automata; ++k)
            os << (k == 0 && chart.nbr_locals() == 0 ? "   " : "  ,")
               << termination_signal(chart, k) << "\n";
        os << "in \n";
    }
}

void warn_no_initial_transition(int automata) {
    fl_show_Smessages(automata == 1
                          ? "WARNING: No initial transition found!\n\n"
                            "Esterel code generation will be incomplete ..."
                          : "WARNING: No initial transition found about one of synccharts "
                            "at least!\n\nEsterel code generation will be incomplete ...");
}

void put_constellation(std::ostream& os, const gal_tpen_fichier& chart, int k) {
    const std::list<int> states = chart.SC_liste_etats(k);
    const gal_tpen_etat* table = chart.ma_table_etats();
    const String* actions = chart.ma_table_actions();
    if (k > 0)
        os << "   ||\n";
    os << "% constellation " << chart.mon_nom_module() << "_" << k << "\n";
    const char* lead = "  signal ";
    for (int s : states) {
        os << lead << start_signal(table[s]) << "\n";
        lead = "       , ";
    }
    os << "         in\n";

    const std::vector<int> initial = initial_transitions(chart, states);
    for (int t : initial) {
        const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
        os << "    emit " << start_signal(table[transition.mon_ident_etat_aval()]) << ";\n";
        for (int a : transition.mes_actions()) {
            const action_reading action = read_action(actions[a]);
            if (!action.emissions.empty())
                os << "             emit " << action.text << ";\n";
        }
    }
    if (initial.empty())
        warn_no_initial_transition(chart.nombre_SC());

    bool first = true;
    for (int s : states) {
        if (!first)
            os << "   ||\n";
        first = false;
        chart.put_strl5_handling_star(os, s, k);
    }
    os << "  end signal\n"
          "% end constellation\n"
          "\n";
}

// The basic and undefined models compute no automata, an encapsulated chart
// has no states: Esterel wants a body all the same.
void put_empty_body(std::ostream& os, const gal_tpen_fichier& chart) {
    os << "  nothing\n";
    std::cerr << "WARNING: chart " << printable(chart.mon_nom_module()) << " has no automaton to translate";
    if (chart.nbr_etats() > 0)
        std::cerr << ": its " << chart.nbr_etats() << " states are left out";
    std::cerr << "; the module does nothing" << std::endl;
}

void put_body(std::ostream& os, const gal_tpen_fichier& chart) {
    const int automata = chart.nombre_SC();
    if (automata == 0) {
        put_empty_body(os, chart);
        return;
    }
    os << "  weak abort\n"
          "  [\n";
    for (int k = 0; k < automata; ++k)
        put_constellation(os, chart, k);
    os << "  ]\n"
          "  when immediate [";
    for (int k = 0; k < automata; ++k)
        os << (k > 0 ? " and " : "") << termination_signal(chart, k);
    os << "]\n";
}

}  // namespace

int gal_tpen_fichier::put_strl5(const String& file, const String& module) const {
    String fault;
    std::vector<String> faults;
    if (first_index_fault(*this, fault))
        faults.push_back(fault);
    else
        faults = translation_faults(*this, module, table_functions_);
    for (const String& f : faults)
        std::cerr << "ERROR in gal_tpen_fichier::put_strl5: " << printable(f)
                  << ": nothing written to " << printable(file) << std::endl;
    if (!faults.empty())
        return 0;
    return write_whole_file(file, [&](std::ostream& os) {
        os << "module " << module << " : \n";

        const std::vector<String> types = types_to_declare(*this, table_functions_);
        if (!types.empty() || !table_functions_.empty() || !table_constants_.empty()) {
            if (!types.empty()) {
                os << "type ";
                for (std::size_t i = 0; i < types.size(); ++i)
                    os << (i > 0 ? ", " : "") << types[i];
                os << ";\n";
            }
            if (!table_functions_.empty()) {
                os << "function\n";
                for (std::size_t i = 0; i < table_functions_.size(); ++i) {
                    table_functions_[i].put_strl5(os);
                    os << (i + 1 < table_functions_.size() ? ", \n" : ";\n");
                }
            }
            if (!table_constants_.empty()) {
                os << "constant\n";
                for (std::size_t i = 0; i < table_constants_.size(); ++i) {
                    const gal_declaration_constants& c = table_constants_[i];
                    bool dropped = false;
                    const String literal = constant_literal(c, dropped);
                    if (dropped)
                        warn_value_dropped(c);
                    os << "  " << c.name() << (literal.empty() ? "" : " = " + literal) << " : "
                       << c.typev() << (i + 1 < table_constants_.size() ? ", \n" : ";\n");
                }
            }
            os << "\n";
        }

        put_interface(os, *this);
        put_body(os, *this);

        if (nbr_locals() > 0 || nombre_SC() > 0)
            os << "end signal\n";
        os << "end module\n"
              "\n";
    });
}
