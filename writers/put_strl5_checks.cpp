// What is checked before a module is written. First the indices it follows:
// the reader keeps indices as the chart text gives them, and a module written
// from a dangling one would name a state, an action or a program that does
// not exist. Then every element that the module writes and that Esterel has
// no form for (a name that is no identifier, a name declared twice in one
// scope, a trigger that is no signal expression or tests an undeclared
// signal): the chart is refused with one line for each, rather than written
// into a module that no Esterel compiler takes.
#include "writers/put_strl5_private.h"
#include "writers/writer_files.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace tessan_strl5 {

using tessan_writers::action_fault;
using tessan_writers::outside;

namespace {

// A transition that is written: its target is a state or -1 (a final arrow),
// and its actions exist.
bool transition_fault(const gal_tpen_fichier& chart, int t, String& fault) {
    const gal_tpen_transition& transition = chart.ma_table_transitions()[t];
    const String owner = "transition " + std::to_string(t);
    const int target = transition.mon_ident_etat_aval();
    if (target < -1 || target >= chart.nbr_etats()) {
        fault = owner + " has " + outside("target state", target, chart.nbr_etats(), "states");
        return true;
    }
    return action_fault(chart, transition.mes_actions(), owner, fault);
}

bool state_fault(const gal_tpen_fichier& chart, int s, String& fault) {
    const gal_tpen_etat& state = chart.ma_table_etats()[s];
    const String owner = "state " + std::to_string(s) + " (" + state.un_nom() + ")";
    if (action_fault(chart, state.mes_actions(), owner, fault))
        return true;
    const int program = state.mon_ident_run();
    if (program != -1 && (program < 0 || program >= chart.nbr_progs_externes())) {
        fault = owner + " runs " +
                outside("program", program, chart.nbr_progs_externes(), "external programs");
        return true;
    }
    const state_lists lists = lists_of(chart, s);
    for (const std::list<int>* written : {&lists.weak, &lists.strong})
        for (int t : *written)
            if (transition_fault(chart, t, fault))
                return true;
    return !lists.termination.empty() && transition_fault(chart, lists.termination.front(), fault);
}

}  // namespace

bool first_index_fault(const gal_tpen_fichier& chart, String& fault) {
    for (int k = 0; k < chart.nombre_SC(); ++k) {
        const std::list<int> states = chart.SC_liste_etats(k);
        const String automaton = "automaton " + std::to_string(k);
        if (states.empty()) {
            fault = automaton + " holds no state";
            return true;
        }
        for (int s : states)
            if (s < 0 || s >= chart.nbr_etats()) {
                fault = automaton + " holds " + outside("state", s, chart.nbr_etats(), "states");
                return true;
            }
        for (int t : initial_transitions(chart, states))
            if (action_fault(chart, chart.ma_table_transitions()[t].mes_actions(),
                             "transition " + std::to_string(t), fault))
                return true;
        for (int s : states)
            if (state_fault(chart, s, fault))
                return true;
    }
    return false;
}

}  // namespace tessan_strl5

// ---- Forms that Esterel has no word for ------------------------------------------

namespace tessan_strl5 {

namespace {

String quoted(const String& text) { return "\"" + text + "\""; }

// One table of signals or declarations, read for duplicate names: the first
// element that holds each name.
class name_table {
public:
    // The element that holds `name` already, or "" after recording `element`.
    String holder(const String& name, const String& element) {
        const auto found = first_.emplace(name, element);
        return found.second ? String() : found.first->second;
    }

private:
    std::unordered_map<String, String> first_;
};

class fault_list {
public:
    void name(const String& element, const String& name, const char* what = "its name") {
        if (const char* why = identifier_fault(name))
            faults.push_back(element + ": " + what + " " + why);
    }
    void type(const String& element, const String& type, const char* what = "its type") {
        if (type.empty())
            faults.push_back(element + ": " + what + " is empty");
        else if (!predefined_type(type))
            if (const char* why = identifier_fault(type))
                faults.push_back(element + ": " + what + " " + type + " " + why);
    }
    void unique(name_table& table, const String& element, const String& name) {
        const String other = table.holder(name, element);
        if (!other.empty())
            faults.push_back(element + ": " + other + " has the same name");
    }
    void add(const String& element, const String& why) { faults.push_back(element + ": " + why); }

    std::vector<String> faults;
};

String element(const char* what, int index, const String& name) {
    return String(what) + " " + std::to_string(index) + " (" + name + ")";
}

// The names that the module makes up around the states, each with what it
// names: a chart signal of one of these names would be hidden by it. Start
// signals and traps repeat from one automaton to the next, each in a scope of
// its own; a name made up twice for two purposes hides one of them.
std::unordered_map<String, String> made_up_names(const gal_tpen_fichier& chart, fault_list& out) {
    std::unordered_map<String, String> made_up;
    std::unordered_map<String, char> purpose;
    const auto make = [&](const String& name, char what, const String& holder, const String& label) {
        const auto found = purpose.emplace(name, what);
        if (found.second)
            made_up.emplace(name, holder);
        else if (found.first->second != what)
            out.add(label, quoted(name) + " is " + made_up[name] + " too");
    };
    for (int k = 0; k < chart.nombre_SC(); ++k)
        make(termination_signal(chart, k), 'k', "the termination signal of automaton " + std::to_string(k),
             "chart " + chart.mon_nom_module());
    for (int k = 0; k < chart.nombre_SC(); ++k)
        for (int s : chart.SC_liste_etats(k)) {
            const gal_tpen_etat& state = chart.ma_table_etats()[s];
            const String label = element("state", s, state.un_nom());
            make(start_signal(state), 's', "the start signal of " + label, label);
            if (needs_run_trap(state, lists_of(chart, s).termination))
                make(run_trap(state), 't', "the trap of " + label, label);
        }
    return made_up;
}

esterel_scope scope_of(const gal_tpen_fichier& chart, const std::vector<gal_declaration_functions>& functions) {
    esterel_scope scope;
    // A local that has the name of an input or output hides it: the last
    // declaration of a name gives its type.
    for (const auto& table : {std::make_pair(chart.ma_table_inputs(), chart.nbr_inputs()),
                              std::make_pair(chart.ma_table_outputs(), chart.nbr_outputs()),
                              std::make_pair(chart.ma_table_locals(), chart.nbr_locals())})
        for (int i = 0; i < table.second; ++i)
            scope.signals[table.first[i].nom()] =
                pure_type(table.first[i].typev(), chart.mon_modele()) ? String() : table.first[i].typev();
    for (int i = 0; i < chart.nbr_constants(); ++i)
        scope.constants[chart.ma_table_constants()[i].name()] = chart.ma_table_constants()[i].typev();
    for (const gal_declaration_functions& f : functions)
        scope.functions.emplace(f.name(), &f);
    return scope;
}

// The walk over what the module writes, in the order it writes it.
class translation_check {
public:
    translation_check(const gal_tpen_fichier& chart, const esterel_scope& scope,
                      const std::vector<String>& types, fault_list& out)
        : chart_(chart), scope_(scope), types_(types.begin(), types.end()), out_(out),
          transition_seen_(static_cast<std::size_t>(chart.nbr_transitions()), 0),
          action_seen_(static_cast<std::size_t>(chart.nbr_actions()), 0),
          program_seen_(static_cast<std::size_t>(chart.nbr_progs_externes()), 0) {}

    void automaton(int k) {
        const std::list<int> states = chart_.SC_liste_etats(k);
        std::unordered_map<String, int> names;
        for (int s : states) {
            const gal_tpen_etat& state = chart_.ma_table_etats()[s];
            const String label = element("state", s, state.un_nom());
            out_.name(label, start_signal(state), ("its start signal " + quoted(start_signal(state))).c_str());
            const auto found = names.emplace(state.un_nom(), s);
            if (!found.second)
                out_.add(label, "state " + std::to_string(found.first->second) +
                                    " of the same automaton has the same name");
        }
        for (int t : initial_transitions(chart_, states))
            actions_of(chart_.ma_table_transitions()[t].mes_actions());
        for (int s : states)
            state(s);
    }

private:
    void state(int s) {
        const gal_tpen_etat& st = chart_.ma_table_etats()[s];
        const String label = element("state", s, st.un_nom());
        const state_lists lists = lists_of(chart_, s);
        actions_of(st.mes_actions());
        const int program = st.mon_ident_run();
        if (program != -1) {
            if (!program_seen_[program]) {
                program_seen_[program] = 1;
                const String module = chart_.ma_table_progs_externes()[program].nom_module();
                out_.name(element("program", program, module), module, "its module name");
            }
            if (!st.mes_renomages_param_run().empty())
                renaming(label, st.mes_renomages_param_run());
        }
        for (const std::list<int>* cases : {&lists.weak, &lists.strong})
            for (int t : *cases)
                transition(t, true);
        if (!lists.termination.empty())
            actions_of(chart_.ma_table_transitions()[lists.termination.front()].mes_actions());
        // A state that only halts writes no line for its suspensions.
        if (!st.mes_actions().empty() || is_final(st) || program != -1)
            for (int t : lists.suspension)
                transition(t, false);
    }

    void renaming(const String& label, const String& stored) {
        const esterel_renaming r = translate_renaming(stored);
        if (!r.fault.empty()) {
            out_.add(label, r.fault);
            return;
        }
        std::vector<String> actuals;
        for (const renaming_part& part : r.parts)
            for (const auto& pair : part.pairs) {
                const String& actual = pair.first;
                String why;
                if (part.keyword == "signal" && actual != "tick")
                    actuals.push_back(actual);
                else if (part.keyword == "constant")
                    why = renamed_constant_fault(actual);
                else if (part.keyword == "type" && !predefined_type(actual) && !types_.count(actual))
                    why = "is not a type that the module declares";
                else if (part.keyword == "function" && !scope_.functions.count(actual))
                    why = "is not a function that the chart declares";
                if (!why.empty())
                    return out_.add(label, "its renaming gives the " + part.keyword + " " + actual + ", which " + why);
            }
        undeclared(label, "its renaming names ", actuals);
    }

    // Esterel renames a constant by a literal, a negated number or a constant.
    String renamed_constant_fault(const String& actual) const {
        const String value = actual[0] == '-' ? trimmed(actual.substr(1)) : actual;
        const bool literal = !value.empty() && (digit_char(value[0]) || value[0] == '.' ||
                                                (actual[0] != '-' && (value[0] == '"' || identifier_shape(value))));
        if (!literal || !expression_fault(actual, "", scope_).empty())
            return "is neither a literal nor a constant that the chart declares";
        return String();
    }

    void transition(int t, bool immediate) {
        if (transition_seen_[t])
            return;
        transition_seen_[t] = 1;
        const gal_tpen_transition& tr = chart_.ma_table_transitions()[t];
        const String label = "transition " + std::to_string(t) + " (" + quoted(tr.ma_receptivite()) + ")";
        const esterel_trigger e = translate_trigger(tr.ma_receptivite(), immediate);
        if (!e.fault.empty())
            out_.add(label, e.fault);
        else if (!e.count.empty() && identifier_shape(e.count) && !scope_.constants.count(e.count))
            out_.add(label, "not a signal expression");  // "A B": no count, two signals
        else if (!e.count.empty() && !expression_fault(e.count, "integer", scope_).empty())
            out_.add(label, "its count " + e.count + " is no Esterel integer: " +
                                expression_fault(e.count, "integer", scope_));
        else
            undeclared(label, "it tests ", e.signals);
        if (immediate)  // a suspension emits nothing
            actions_of(tr.mes_actions());
    }

    void actions_of(const std::list<int>& actions) {
        for (int a : actions) {
            if (action_seen_[a])
                continue;
            action_seen_[a] = 1;
            const String text = chart_.ma_table_actions()[a];
            const String label = "action " + std::to_string(a) + " (" + quoted(text) + ")";
            const action_reading r = read_action(text);
            if (!r.fault.empty())
                out_.add(label, r.fault);
            for (const emission& e : r.emissions) {
                const String why = emission_fault(e);
                if (!why.empty()) {
                    out_.add(label, why);
                    break;
                }
            }
        }
    }

    String emission_fault(const emission& e) const {
        const auto declared = scope_.signals.find(e.signal);
        if (declared == scope_.signals.end())
            return e.signal + " is not a signal that the chart declares";
        const String& type = declared->second;
        if (e.valued && type.empty())
            return e.signal + " is a pure signal and carries no value";
        if (!e.valued && !type.empty())
            return e.signal + " carries a value of type " + type + " and is emitted without one";
        const String why = e.valued ? expression_fault(e.value, type, scope_) : String();
        return why.empty() ? why : "the value of " + e.signal + " is no Esterel " + type + ": " + why;
    }

    void undeclared(const String& label, const char* lead, const std::vector<String>& names) {
        String missing;
        std::unordered_set<String> said;
        for (const String& n : names)
            if (!scope_.signals.count(n) && said.insert(n).second)
                missing += (missing.empty() ? "" : ", ") + n;
        if (!missing.empty())
            out_.add(label, lead + missing + (said.size() > 1 ? ", which the chart does not declare as signals"
                                                                : ", which the chart does not declare as a signal"));
    }

    const gal_tpen_fichier& chart_;
    const esterel_scope& scope_;
    const std::unordered_set<String> types_;
    fault_list& out_;
    std::vector<char> transition_seen_, action_seen_, program_seen_;
};

// Each signal of a table: its name and type, and no other signal of the same
// scope, nor one that the module makes up, may have its name.
void signal_table(fault_list& out, name_table& names, const std::unordered_map<String, String>& made_up,
                  const char* what, const gal_declaration_variables* table, int count, int model) {
    for (int i = 0; i < count; ++i) {
        const String label = element(what, i, table[i].nom());
        out.name(label, table[i].nom());
        if (!pure_type(table[i].typev(), model))
            out.type(label, table[i].typev());
        out.unique(names, label, table[i].nom());
        const auto mine = made_up.find(table[i].nom());
        if (mine != made_up.end())
            out.add(label, mine->second + " has the same name");
    }
}

}  // namespace

std::vector<String> types_to_declare(const gal_tpen_fichier& chart,
                                     const std::vector<gal_declaration_functions>& functions) {
    std::vector<String> types;
    std::unordered_set<String> seen;
    const auto add = [&](const String& type) {
        if (!type.empty() && !predefined_type(type) && seen.insert(type).second)
            types.push_back(type);
    };
    const bool bool_is_presence =
        chart.mon_modele() == basic_model || chart.mon_modele() == par_automata_model;
    for (int i = 0; i < chart.nbr_types(); ++i)
        if (!(bool_is_presence && chart.ma_table_types()[i] == "bool"))
            add(chart.ma_table_types()[i]);
    // A type that the chart uses without declaring it is still a type of the
    // host language: the module declares it rather than leave it unknown.
    for (const gal_declaration_functions& f : functions) {
        for (const String& argument : f.arguments())
            add(argument);
        add(f.result());
    }
    for (int i = 0; i < chart.nbr_constants(); ++i)
        add(chart.ma_table_constants()[i].typev());
    for (const auto& table : {std::make_pair(chart.ma_table_inputs(), chart.nbr_inputs()),
                              std::make_pair(chart.ma_table_outputs(), chart.nbr_outputs()),
                              std::make_pair(chart.ma_table_locals(), chart.nbr_locals())})
        for (int i = 0; i < table.second; ++i)
            if (!pure_type(table.first[i].typev(), chart.mon_modele()))
                add(table.first[i].typev());
    return types;
}

std::vector<String> translation_faults(const gal_tpen_fichier& chart, const String& module,
                                       const std::vector<gal_declaration_functions>& functions) {
    fault_list out;
    out.name("module " + module, module);
    const int automata = chart.nombre_SC();
    if (automata > 0 && chart.mon_nom_module() != module)
        out.name("chart " + chart.mon_nom_module(), termination_signal(chart, 0),
                 "its termination signal");

    for (int i = 0; i < chart.nbr_types(); ++i)
        if (!predefined_type(chart.ma_table_types()[i]))
            out.name(element("type", i, chart.ma_table_types()[i]), chart.ma_table_types()[i]);

    name_table function_names;
    for (std::size_t i = 0; i < functions.size(); ++i) {
        const gal_declaration_functions& f = functions[i];
        const String label = element("function", static_cast<int>(i), f.name());
        out.name(label, f.name());
        out.type(label, f.result(), "its result type");
        for (const String& argument : f.arguments())
            out.type(label, argument, "its argument type");
        out.unique(function_names, label, f.name());
    }

    name_table constant_names;
    for (int i = 0; i < chart.nbr_constants(); ++i) {
        const gal_declaration_constants& c = chart.ma_table_constants()[i];
        const String label = element("constant", i, c.name());
        out.name(label, c.name());
        out.type(label, c.typev());
        out.unique(constant_names, label, c.name());
    }

    const std::unordered_map<String, String> made_up = made_up_names(chart, out);
    name_table interface, locals;
    signal_table(out, interface, made_up, "input", chart.ma_table_inputs(), chart.nbr_inputs(), chart.mon_modele());
    signal_table(out, interface, made_up, "output", chart.ma_table_outputs(), chart.nbr_outputs(), chart.mon_modele());
    signal_table(out, locals, made_up, "local", chart.ma_table_locals(), chart.nbr_locals(), chart.mon_modele());

    const esterel_scope scope = scope_of(chart, functions);
    translation_check walk(chart, scope, types_to_declare(chart, functions), out);
    for (int k = 0; k < automata; ++k)
        walk.automaton(k);
    return out.faults;
}

}  // namespace tessan_strl5
