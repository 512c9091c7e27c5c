// The LE module of a chart: data block, module interface, then either one
// automaton part, or a main module running one module per concurrent
// automaton, each with the interface computed from the names it uses.
//
// Work is linear in the size of the chart and its texts: each automaton gets
// its transitions from one pass over the table, and names are found in a
// trigger or an action by looking its words up, not by searching the text
// once per declared name.
#include "writers/put_le.h"
#include "writers/writer_files.h"

#include <iostream>
#include <set>
#include <unordered_map>
#include <vector>

#include "chart/gal_norm.h"
#include "forms/formspp.h"

using tessan_writers::touching_transitions;
using tessan_writers::write_chart_file;

namespace {

using variable_set = std::set<gal_declaration_variables>;

// One item a line, `separator` after every item but the last.
template <class T>
void put_item_lines(std::ostream& os, const std::vector<T>& items, const char* separator) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].put_le(os);
        os << (i + 1 < items.size() ? separator : "") << "\n";
    }
}

void put_data_block(std::ostream& os, const std::vector<String>& types,
                    const std::vector<gal_declaration_functions>& functions,
                    const std::vector<gal_declaration_constants>& constants) {
    if (types.empty() && functions.empty() && constants.empty())
        return;
    os << "data:\n";
    if (!types.empty()) {
        os << "Type: ";
        for (std::size_t i = 0; i < types.size(); ++i)
            os << (i > 0 ? ", " : "") << types[i];
        os << ";\n";
    }
    if (!functions.empty()) {
        os << "Method:\n";
        for (std::size_t i = 0; i < functions.size(); ++i)
            os << (i > 0 ? "; \n" : "") << "  " << functions[i];
        os << ";\n";
    }
    if (!constants.empty()) {
        os << "Constant:\n";
        for (const gal_declaration_constants& constant : constants) {
            os << "  ";
            constant.put_le(os);
            os << ";\n";
        }
    }
    os << "end data\n\n";
}

void put_runs(std::ostream& os, const std::vector<gal_declaration_progs>& progs) {
    if (progs.empty())
        return;
    os << "Run:\n";
    put_item_lines(os, progs, ";");
    os << ";\n";
}

void put_set(std::ostream& os, const char* keyword, const variable_set& set) {
    if (set.empty())
        return;
    os << keyword << "\n";
    const char* separator = "";
    for (const gal_declaration_variables& v : set) {
        os << separator;
        v.put_le(os);
        separator = ",\n";
    }
    os << ";\n\n";
}

void warn_no_initial_transition(bool several_automata) {
    fl_show_Smessages(several_automata
                          ? "WARNING: No initial transition found about one of automata at "
                            "least!\n\nle code generation will be incomplete ..."
                          : "WARNING: No initial transition found!\n\n"
                            "le code generation will be incomplete ...");
}

// The declarations whose names a text uses as whole words (as
// `contains_token` sees them), found by looking the text's words up.
class name_index {
public:
    explicit name_index(std::initializer_list<const std::vector<gal_declaration_variables>*> tables) {
        for (const auto* table : tables)
            for (const gal_declaration_variables& v : *table)
                if (is_one_word(v.nom()))
                    by_name_[v.nom()].push_back(v);
                else
                    odd_.push_back(v);  // asked for one by one
    }

    void insert_used(const String& text, variable_set& into) const {
        std::size_t i = 0;
        while (i < text.size()) {
            if (!word_byte(text[i])) {
                ++i;
                continue;
            }
            const std::size_t start = i;
            while (i < text.size() && word_byte(text[i]))
                ++i;
            const auto found = by_name_.find(text.substr(start, i - start));
            if (found != by_name_.end())
                into.insert(found->second.begin(), found->second.end());
        }
        for (const gal_declaration_variables& v : odd_)
            if (contains_token(text, v.nom()))
                into.insert(v);
    }

private:
    // The word alphabet is the text toolkit's own: a byte is a word byte when
    // `contains_token` finds it as a one-byte word of itself (the blank, its
    // separator, would find itself among the padding).
    static bool word_byte(char c) {
        static const std::vector<bool> table = [] {
            std::vector<bool> t(256, false);
            for (int b = 0; b < 256; ++b) {
                const String one(1, static_cast<char>(b));
                t[b] = b != ' ' && contains_token(one, one);
            }
            return t;
        }();
        return table[static_cast<unsigned char>(c)];
    }

    static bool is_one_word(const String& name) {
        if (name.empty())
            return false;
        for (char c : name)
            if (!word_byte(c))
                return false;
        return true;
    }

    std::unordered_map<String, std::vector<gal_declaration_variables>> by_name_;
    std::vector<gal_declaration_variables> odd_;
};

}  // namespace

int gal_tpen_fichier::put_le(const String& file, const String& module) const {
    return write_chart_file(*this, file, "put_le", [&](std::ostream& os) {
        const gal_tpen_etat* states = ma_table_etats();
        const gal_tpen_transition* transitions = ma_table_transitions();
        const String* actions = ma_table_actions();
        const gal_declaration_progs* progs = ma_table_progs_externes();

        put_data_block(os, table_types_, table_functions_, table_constants_);

        os << "module " << module << " : \n";
        if (!table_inputs_.empty()) {
            os << "Input:\n";
            put_item_lines(os, table_inputs_, ",");
            os << ";\n";
        }
        if (!table_outputs_.empty()) {
            os << "Output:\n";
            put_item_lines(os, table_outputs_, ",");
            os << ";\n";
        }
        if (!table_locals_.empty()) {
            os << "Local: \n";
            put_item_lines(os, table_locals_, ",");
            os << ";\n\n";
        }
        if (!table_pres_.empty()) {
            os << "Pre: \n";
            put_item_lines(os, table_pres_, ",");
            os << ";\n\n";
        }
        put_runs(os, table_progs_externes_);

        const int automata = nombre_SC();
        if (automata < 2) {
            os << "automaton\n";
            for (int s = 0; s < nbr_etats(); ++s) {
                states[s].put_le(os, progs, actions);
                os << " \n";
            }
            os << "\ntransition:\n";
            bool initial = false;
            for (int t = 0; t < nbr_transitions(); ++t) {
                transitions[t].put_le(os, states, actions);
                os << " \n";
                initial = initial || transitions[t].est_initiale();
            }
            if (!initial)
                warn_no_initial_transition(false);
            os << "end\n\n";
            return;
        }

        for (int k = 0; k < automata; ++k)
            os << (k > 0 ? "||\n" : "") << "run " << module << "_run" << k << "\n";
        os << "end\n\n";

        // What the names of the chart give to an automaton's interface: its
        // triggers read inputs and locals, its actions write outputs and locals.
        const name_index read_names({&table_locals_, &table_inputs_});
        const name_index written_names({&table_locals_, &table_outputs_});
        std::vector<variable_set> written_by_action(table_actions_.size());
        for (std::size_t a = 0; a < table_actions_.size(); ++a)
            written_names.insert_used(table_actions_[a], written_by_action[a]);
        variable_set pre_inputs;
        for (const gal_declaration_pres& pre : table_pres_) {
            String type;
            for (const gal_declaration_variables& output : table_outputs_)
                if (output.nom() == pre.actualname())
                    type = output.typev();
            pre_inputs.insert(gal_declaration_variables(type, pre.prename()));
        }

        const std::vector<std::vector<int>> touching = touching_transitions(*this);
        for (int k = 0; k < automata; ++k) {
            const std::list<int> automaton = SC_liste_etats(k);
            variable_set inputs, outputs;
            if (!touching[k].empty())
                inputs.insert(pre_inputs.begin(), pre_inputs.end());
            for (int t : touching[k]) {
                read_names.insert_used(transitions[t].ma_receptivite(), inputs);
                for (int a : transitions[t].mes_actions())
                    outputs.insert(written_by_action[a].begin(), written_by_action[a].end());
            }
            for (int s : automaton) {
                for (int a : states[s].mes_actions())
                    outputs.insert(written_by_action[a].begin(), written_by_action[a].end());
                const int program = states[s].mon_ident_run();
                if (program == -1)
                    continue;
                for (const gal_declaration_variables& port : progs[program].my_inputs_list())
                    inputs.insert(gal_declaration_variables(
                        port.typev(), states[s].renaming_signal_run_instance(port.nom())));
                for (const gal_declaration_variables& port : progs[program].my_outputs_list())
                    outputs.insert(gal_declaration_variables(
                        port.typev(), states[s].renaming_signal_run_instance(port.nom())));
            }

            os << "module " << module << "_run" << k << " : \n";
            put_set(os, "Input:", inputs);
            put_set(os, "Output:", outputs);
            put_runs(os, table_progs_externes_);
            os << "automaton\n";
            for (int s : automaton) {
                states[s].put_le(os, progs, actions);
                os << " \n";
            }
            os << "\ntransition:\n";
            bool initial = false;
            for (int t : touching[k]) {
                transitions[t].put_le(os, states, actions);
                os << " \n";
                initial = initial || transitions[t].est_initiale();
            }
            os << "end\n\n";
            if (!initial)
                warn_no_initial_transition(true);
        }
    });
}
