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

// A declaration section: the keyword line, the items, then `closing`.
template <class T>
void put_section(std::ostream& os, const char* keyword, const std::vector<T>& items,
                 const char* closing) {
    if (items.empty())
        return;
    os << keyword << "\n";
    put_item_lines(os, items, ",");
    os << closing;
}

// The "automaton" part up to its "end": the given states, then the given
// transitions; true when one of these is an initial transition.
bool put_automaton(std::ostream& os, const gal_tpen_fichier& chart, const std::vector<int>& states,
                   const std::vector<int>& transitions) {
    const gal_tpen_etat* state_table = chart.ma_table_etats();
    os << "automaton\n";
    for (int s : states) {
        state_table[s].put_le(os, chart.ma_table_progs_externes(), chart.ma_table_actions());
        os << " \n";
    }
    os << "\ntransition:\n";
    bool initial = false;
    for (int t : transitions) {
        const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
        transition.put_le(os, state_table, chart.ma_table_actions());
        os << " \n";
        initial = initial || transition.est_initiale();
    }
    return initial;
}

std::vector<int> first_indices(int count) {
    std::vector<int> indices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        indices[i] = i;
    return indices;
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

// The interface of one automaton's module, from the names that its triggers,
// actions and programs use: triggers read inputs and locals, actions write
// outputs and locals, and every pre is read as soon as a transition touches
// the automaton.
class interface_finder {
public:
    interface_finder(const std::vector<gal_declaration_variables>& locals,
                     const std::vector<gal_declaration_variables>& inputs,
                     const std::vector<gal_declaration_variables>& outputs,
                     const std::vector<String>& actions,
                     const std::vector<gal_declaration_pres>& pres)
        : read_names_({&locals, &inputs}), written_by_action_(actions.size()) {
        const name_index written_names({&locals, &outputs});
        for (std::size_t a = 0; a < actions.size(); ++a)
            written_names.insert_used(actions[a], written_by_action_[a]);
        // A pre has the type of the last output of its signal's name.
        std::unordered_map<String, String> output_type;
        for (const gal_declaration_variables& output : outputs)
            output_type[output.nom()] = output.typev();
        for (const gal_declaration_pres& pre : pres) {
            const auto found = output_type.find(pre.actualname());
            pre_inputs_.insert(gal_declaration_variables(
                found == output_type.end() ? String() : found->second, pre.prename()));
        }
    }

    void find(const gal_tpen_fichier& chart, const std::list<int>& automaton,
              const std::vector<int>& touching, variable_set& inputs, variable_set& outputs) const {
        const gal_tpen_transition* transitions = chart.ma_table_transitions();
        const gal_tpen_etat* states = chart.ma_table_etats();
        if (!touching.empty())
            inputs.insert(pre_inputs_.begin(), pre_inputs_.end());
        for (int t : touching) {
            read_names_.insert_used(transitions[t].ma_receptivite(), inputs);
            for (int a : transitions[t].mes_actions())
                outputs.insert(written_by_action_[a].begin(), written_by_action_[a].end());
        }
        for (int s : automaton) {
            for (int a : states[s].mes_actions())
                outputs.insert(written_by_action_[a].begin(), written_by_action_[a].end());
            const int program = states[s].mon_ident_run();
            if (program == -1)
                continue;
            const gal_declaration_progs& run = chart.ma_table_progs_externes()[program];
            for (const gal_declaration_variables& port : run.my_inputs_list())
                inputs.insert(gal_declaration_variables(
                    port.typev(), states[s].renaming_signal_run_instance(port.nom())));
            for (const gal_declaration_variables& port : run.my_outputs_list())
                outputs.insert(gal_declaration_variables(
                    port.typev(), states[s].renaming_signal_run_instance(port.nom())));
        }
    }

private:
    name_index read_names_;
    std::vector<variable_set> written_by_action_;
    variable_set pre_inputs_;
};

}  // namespace

int gal_tpen_fichier::put_le(const String& file, const String& module) const {
    return write_chart_file(*this, file, "put_le", [&](std::ostream& os) {
        put_data_block(os, table_types_, table_functions_, table_constants_);

        os << "module " << module << " : \n";
        put_section(os, "Input:", table_inputs_, ";\n");
        put_section(os, "Output:", table_outputs_, ";\n");
        put_section(os, "Local: ", table_locals_, ";\n\n");
        put_section(os, "Pre: ", table_pres_, ";\n\n");
        put_runs(os, table_progs_externes_);

        const int automata = nombre_SC();
        if (automata < 2) {
            if (!put_automaton(os, *this, first_indices(nbr_etats()), first_indices(nbr_transitions())))
                warn_no_initial_transition(false);
            os << "end\n\n";
            return;
        }

        for (int k = 0; k < automata; ++k)
            os << (k > 0 ? "||\n" : "") << "run " << module << "_run" << k << "\n";
        os << "end\n\n";

        const interface_finder interfaces(table_locals_, table_inputs_, table_outputs_,
                                          table_actions_, table_pres_);
        const std::vector<std::vector<int>> touching = touching_transitions(*this);
        for (int k = 0; k < automata; ++k) {
            const std::list<int> automaton = SC_liste_etats(k);
            variable_set inputs, outputs;
            interfaces.find(*this, automaton, touching[k], inputs, outputs);
            os << "module " << module << "_run" << k << " : \n";
            put_set(os, "Input:", inputs);
            put_set(os, "Output:", outputs);
            put_runs(os, table_progs_externes_);
            const bool initial = put_automaton(
                os, *this, std::vector<int>(automaton.begin(), automaton.end()), touching[k]);
            os << "end\n\n";
            if (!initial)
                warn_no_initial_transition(true);
        }
    });
}
