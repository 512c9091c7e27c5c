#include "writers/writer_files.h"

#include <iostream>
#include <string>

namespace tessan_writers {

int write_whole_file(const String& file, const std::function<void(std::ostream&)>& write,
                     replacing_file::chart_file chart) {
    replacing_file output(file, chart);
    if (output.opened())
        write(output.stream());
    if (!output.opened() || !output.commit()) {
        std::cerr << "ERROR: cannot write " << file << ": " << output.error_text() << std::endl;
        return 0;
    }
    return 1;
}

String printable(const String& text) {
    static const char* const named[] = {"\\0", "\\x01", "\\x02", "\\x03", "\\x04", "\\x05", "\\x06", "\\a",
                                        "\\b", "\\t", "\\n", "\\v", "\\f", "\\r"};
    String out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 14) {
            out += named[u];
        } else if (u < 0x20 || u == 0x7f) {
            static const char digits[] = "0123456789abcdef";
            out += String("\\x") + digits[u >> 4] + digits[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

String outside(const char* what, int index, int count, const char* table) {
    return String(what) + " " + std::to_string(index) + ", outside the " +
           std::to_string(count) + " " + table;
}

bool action_fault(const gal_tpen_fichier& chart, const std::list<int>& actions,
                  const String& owner, String& fault) {
    for (int a : actions)
        if (a < 0 || a >= chart.nbr_actions()) {
            fault = owner + " has " + outside("action", a, chart.nbr_actions(), "actions");
            return true;
        }
    return false;
}

namespace {

bool end_fault(const gal_tpen_fichier& chart, int end, const String& owner, const char* what,
               String& fault) {
    if (end >= -1 && end < chart.nbr_etats())
        return false;
    fault = owner + " has " + outside(what, end, chart.nbr_etats(), "states");
    return true;
}

}  // namespace

bool first_dangling_index(const gal_tpen_fichier& chart, String& fault) {
    const gal_tpen_etat* states = chart.ma_table_etats();
    for (int s = 0; s < chart.nbr_etats(); ++s) {
        const String owner = "state " + std::to_string(s) + " (" + states[s].un_nom() + ")";
        if (action_fault(chart, states[s].mes_actions(), owner, fault))
            return true;
        const int program = states[s].mon_ident_run();
        if (program != -1 && (program < 0 || program >= chart.nbr_progs_externes())) {
            fault = owner + " runs " +
                    outside("program", program, chart.nbr_progs_externes(), "external programs");
            return true;
        }
    }
    const gal_tpen_transition* transitions = chart.ma_table_transitions();
    for (int t = 0; t < chart.nbr_transitions(); ++t) {
        const String owner = "transition " + std::to_string(t);
        if (end_fault(chart, transitions[t].mon_ident_etat_amont(), owner, "source state", fault) ||
            end_fault(chart, transitions[t].mon_ident_etat_aval(), owner, "target state", fault) ||
            action_fault(chart, transitions[t].mes_actions(), owner, fault))
            return true;
    }
    for (int k = 0; k < chart.nombre_SC(); ++k)
        for (int s : chart.SC_liste_etats(k))
            if (s < 0 || s >= chart.nbr_etats()) {
                fault = "automaton " + std::to_string(k) + " holds " +
                        outside("state", s, chart.nbr_etats(), "states");
                return true;
            }
    return false;
}

int write_chart_file(const gal_tpen_fichier& chart, const String& file, const char* writer,
                     const std::function<void(std::ostream&)>& write) {
    String fault;
    if (first_dangling_index(chart, fault)) {
        std::cerr << "ERROR in gal_tpen_fichier::" << writer << ": " << fault
                  << ": nothing written to " << file << std::endl;
        return 0;
    }
    return write_whole_file(file, write);
}

std::vector<std::vector<int>> touching_transitions(const gal_tpen_fichier& chart) {
    const int automata = chart.nombre_SC();
    // The automata that hold each state: one as a rule, since they are the
    // connected components of the chart, but nothing forbids more.
    std::vector<std::vector<int>> holders(static_cast<std::size_t>(chart.nbr_etats()));
    for (int k = 0; k < automata; ++k)
        for (int s : chart.SC_liste_etats(k))
            if (s >= 0 && s < chart.nbr_etats() && (holders[s].empty() || holders[s].back() != k))
                holders[s].push_back(k);

    std::vector<std::vector<int>> touching(static_cast<std::size_t>(automata));
    std::vector<int> last_added(static_cast<std::size_t>(automata), -1);
    const gal_tpen_transition* transitions = chart.ma_table_transitions();
    for (int t = 0; t < chart.nbr_transitions(); ++t)
        for (int end : {transitions[t].mon_ident_etat_amont(), transitions[t].mon_ident_etat_aval()})
            if (end >= 0 && end < chart.nbr_etats())
                for (int k : holders[end])
                    if (last_added[k] != t) {
                        touching[k].push_back(t);
                        last_added[k] = t;
                    }
    return touching;
}

}  // namespace tessan_writers
