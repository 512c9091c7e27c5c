// Random charts in the reader's format, drawn from a seed, for the properties
// that must hold of every chart: every model, state and transition kind,
// priorities, triggers in every spelling and count delays, actions of one or
// more emissions with values of every type, runs in both forms with
// renamings, constants, signal types, names that spell keywords, final and
// encapsulated charts, blanks, tabs and line ends around the texts. Now and
// then one has a flaw that Esterel has no form for (an undeclared signal or a
// comparison in a trigger, a state name that is no identifier, two states of
// one name, a signal named as the module's own signals, a value of the wrong
// type or a "not" that Esterel does not read):
// `flawed` says so.
#ifndef TESSAN_TESTS_CHART_GENERATOR_H
#define TESSAN_TESTS_CHART_GENERATOR_H

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace chart_generator {

// How many charts a property draws and from which seed: 300 from seed 10, or
// what TESSAN_PROPERTY_CHARTS and TESSAN_PROPERTY_SEED say (the long runs of
// scripts/property-charts).
inline int charts() {
    const char* n = std::getenv("TESSAN_PROPERTY_CHARTS");
    return n ? std::atoi(n) : 300;
}

inline unsigned seed() {
    const char* s = std::getenv("TESSAN_PROPERTY_SEED");
    return s ? static_cast<unsigned>(std::strtoul(s, nullptr, 10)) : 10u;
}

struct generated {
    std::string text;
    int model = 0;
    bool flawed = false;
};

// Every draw is a statement of its own: the order in which a compiler
// evaluates the operands of + or the arguments of a call is its own choice.
class drawer {
public:
    explicit drawer(unsigned seed) : rng_(seed) {}

    generated chart(const std::string& name) {
        generated g;
        g.model = below(5) - 1;
        model_ = g.model;
        signals_.clear();
        integers_.clear();
        typed_.clear();
        constants_.clear();
        bad_ = false;
        keywords_ = {"NS", "FS", "Name", "Type", "Input", "Sensor", "Output", "Local", "Variable", "Run",
                     "Function", "Constant", "Pre", "Action", "Star", "Transition", "Encapsulation", "From",
                     "To", "By", "basic_model", "par_automata_model", "light_esterel_model",
                     "synccharts_model", "c_assign", "vhdl_assign", "nusmv_assign", "lustre_assign",
                     "esterel_assign"};
        std::shuffle(keywords_.begin(), keywords_.end(), rng_);
        const std::string clash = chance(12) ? pick<std::string>({name + "_ctl0_terminate", "start_s0", "done_s0"}) : "";
        const char* models[] = {"-1", "basic_model:", "par_automata_model:", "light_esterel_model:",
                                "synccharts_model:"};
        std::ostringstream os;
        os << "Name: " << name << " : " << models[g.model + 1] << ";\nType: ;\n";
        section(os, "Input:", "I", 4, true);
        os << "Sensor: " << (chance(8) ? keyword_named() + " integer" : "") << ";\n";
        section(os, "Output:", "O", 3, true, clash);
        section(os, "Local:", "L", 3, true);
        os << "Variable: " << (chance(8) ? keyword_named() + " integer" : "") << ";\n";
        const int programs = below(3);
        os << "Run:\n";
        for (int p = 0; p < programs; ++p)
            os << (p ? ",\n" : "") << program(p);
        os << ";\nFunction: ;\nConstant: " << constants() << ";\nPre: ";
        os << (signals_.empty() || chance(2) ? "" : "pp " + pick(signals_) + " ---") << ";\n";
        const int actions = below(4);
        os << "Action: ";
        for (int a = 0; a < actions; ++a) {
            const std::string text = signals_.empty() || chance(4) ? (chance(2) ? "" : " ") : emissions();
            os << (a ? ", \"" : "\"") << blanked(text) << '"';
        }
        os << ";\n";
        if (chance(8)) {
            g.text = os.str() + "Encapsulation: ;\n";
            return g;
        }
        // Automata: groups of states with transitions inside each group.
        std::ostringstream stars, transitions;
        int states = 0, count = 0;
        const int flaw = chance(6) ? 1 + below(4) : 0;
        for (int group = 1 + below(3); group > 0; --group) {
            const int first = states, size = 1 + below(4);
            std::vector<int> runners;  // states with actions and a run, which may end on a termination
            for (int s = 0; s < size; ++s, ++states) {
                std::string state_name = chance(8) ? "" : "s" + std::to_string(s);
                if (flaw == 3 && s == 0)
                    state_name = chance(2) ? "bad name" : "1\xc3\xa9";
                if (flaw == 4 && s == 1)
                    state_name = "s0";
                stars << (states ? ",\n" : "") << (chance(4) ? "FS: \"" : "NS: \"") << state_name << "\" "
                      << coordinate() << ' ' << coordinate();
                if (chance(3) && programs > 0) {
                    const std::string emits = action_list(actions);
                    stars << " : " << below(programs)
                          << (chance(2) && !signals_.empty() ? " \"" + blanked(renaming()) + "\"" : "") << " :"
                          << emits;
                    if (!emits.empty() && chance(2))
                        runners.push_back(states);
                } else if (chance(2)) {
                    stars << " : -1 :" << action_list(actions);
                }
            }
            const auto arrow = [&](int from, int to, int kind, const std::string& trigger) {
                transitions << (count++ ? ",\n" : "") << "From: " << from << " To: " << to;
                if (kind != 0 || chance(2))
                    transitions << " Type: " << kind;
                transitions << " By:";
                if (chance(2))
                    transitions << ' ' << coordinate() << ',' << coordinate();
                transitions << " : " << coordinate() << ' ' << coordinate();
                if (chance(2))
                    transitions << ' ' << below(5) - 1;
                transitions << " \"" << trigger << "\" /" << action_list(actions);
            };
            if (!chance(6)) {
                const int to = first + below(size), kind = below(2);
                arrow(-1, to, kind, trigger());
            }
            for (int t = below(2 * size + 1); t > 0; --t) {
                const int kind = below(4);
                const int from = kind == 2 ? -1 : first + below(size);
                const int to = chance(10) ? -1 : first + below(size);
                arrow(from, to == -1 && kind == 2 ? first : to, kind, delay(kind));
            }
            for (int runner : runners)
                arrow(runner, first + below(size), 3, delay(3));
            if (flaw == 1 || flaw == 2)
                arrow(first, first, 1, flaw == 1 ? "zz or " + expression(1)
                                                 : (signals_.empty() ? "x" : pick(signals_)) + " > 2");
        }
        g.flawed = flaw > 0 || !clash.empty() || bad_;
        g.text = os.str() + "Star:\n" + stars.str() + ";\nTransition:\n" + transitions.str() + ";\n";
        return g;
    }

    std::string trigger_over(const std::vector<std::string>& signals) {
        signals_ = signals;
        return trigger();
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int n) { return below(n) == 0; }
    template <class T>
    T pick(const std::vector<T>& v) { return v[below(static_cast<int>(v.size()))]; }

    std::string type() { return pick<std::string>({"", "pure", "pure", "bool", "integer", "speed", "unit"}); }

    // A keyword without its colon, each once in a chart, as a name: followed
    // by a blank and its colon, where the colon would make it the keyword.
    std::string keyword_name() {
        std::string name = keywords_.back();
        keywords_.pop_back();
        return name;
    }
    std::string keyword_named() { return keyword_name() + " :"; }

    // A program in the full run form, with its ports, now and then with a
    // file, module or port name that spells a keyword; or in the form of a
    // text and a module, whose file name is what follows the text's last
    // "/": often no name at all, or none.
    std::string program(int p) {
        const std::string index = std::to_string(p);
        const bool spelled = chance(8);
        const std::string module = spelled ? keyword_name() : "P" + index;
        if (chance(3))
            return "\"" +
                   pick<std::string>({"here", "lib/my-p" + index + ".v2", "a b/c;d", "lib/", "", "lib/\r+x",
                                      "lib/x\ty", "dir/sub/f" + index, "lib/" + keyword_name()}) +
                   "\": " + module;
        const std::string named = module + (spelled ? " :" : ":");
        return "\"lib/p" + index + "\": " + (chance(8) ? keyword_named() : "f" + index + ":") + " " + named +
               " Input: " + (chance(8) ? keyword_named() : "a:") + " pure; Sensor: ; Output: " +
               (chance(8) ? keyword_named() : "b:") + " " + type() + ";";
    }

    // Names of one kind, each typed, and maybe one more of the given name or
    // one that spells a keyword; signal sections feed the triggers and the
    // emissions.
    void section(std::ostringstream& os, const char* keyword, const char* stem, int most, bool signal,
                 const std::string& extra = "") {
        std::vector<std::pair<std::string, bool>> names;  // and whether it spells a keyword
        for (int i = below(most + 1) - 1; i >= 0; --i)
            names.emplace_back(stem + std::to_string(i), false);
        if (chance(6))
            names.emplace(names.begin() + below(static_cast<int>(names.size()) + 1), keyword_name(), true);
        os << keyword << ' ';
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto& [name, spelled] = names[i];
            const std::string t = chance(4) ? value_type() : type();
            os << name << (spelled ? " : " : ": ") << t << (i + 1 < names.size() || !extra.empty() ? ", " : "");
            if (signal)
                signals_.push_back(name);
            if (signal && t == "integer")
                integers_.push_back(name);
            if (signal)
                typed_[name] = t;
        }
        if (!extra.empty())
            os << extra << ": pure";
        os << ";\n";
    }

    std::string action_list(int actions) {
        std::string s;
        for (int a = actions > 0 ? below(3) : 0; a > 0; --a)
            s += " " + std::to_string(below(actions));
        return s;
    }

    // At most six significant digits, which the writer keeps; the smallest
    // and largest are the ones a default stream format writes with exponents.
    std::string coordinate() {
        switch (below(6)) {
        case 0: return std::to_string(below(2001) - 1000);
        case 1: {
            const int whole = below(2001) - 1000;
            return std::to_string(whole) + "." + std::to_string(below(100));
        }
        case 2: return "0.0000" + std::to_string(1 + below(99));
        case 3: return std::to_string(1 + below(999)) + "000000.";
        case 4: return "-" + std::to_string(1 + below(999999)) + ".";
        default: return std::to_string(below(10)) + ".";
        }
    }

    // A trigger over the declared signals, spelled any way the charts spell
    // it, with now and then a priority, a "#", or nothing at all: a "#" alone
    // is the immediate test of every instant.
    std::string trigger() {
        if (chance(10))
            return "";
        if (chance(30))
            return pick<std::string>({"#", "# ", "#\t"});
        std::string prefix = chance(5) ? pick<std::string>({"<2> ", "<other> ", "<default> ", "<1>"}) : "";
        prefix += chance(6) ? "#" : "";
        return prefix + expression(1);
    }
    // A trigger of a written transition: now and then a count delay, which
    // a suspension cannot wait for, and blanks of every kind around it.
    std::string delay(int kind) {
        if (kind == 2 || !chance(8))
            return blanked(trigger());
        const std::string signal = signals_.empty() || chance(4) ? "tick" : chance(3) ? "[" + expression(2) + "]"
                                                                                    : pick(signals_);
        std::vector<std::string> counts = {"3", "(2)", "2 + 1"};
        if (!integers_.empty())
            counts.push_back("?" + pick(integers_));
        for (const auto& c : constants_)
            if (c.second == "integer")
                counts.push_back(c.first);
        return blanked(pick(counts) + " " + signal);
    }

    std::string expression(int depth) {
        const int shape = depth > 3 ? 0 : below(5);
        if (shape == 0 || signals_.empty())
            return signals_.empty() || chance(8) ? pick<std::string>({"1", "0", "tick"}) : pick(signals_);
        if (shape == 1)
            return pick<std::string>({"not ", "NOT ", "!", "~"}).append(expression(depth + 1));
        if (shape == 2)
            return chance(2) ? "[" + expression(depth + 1) + "]" : "(" + expression(depth + 1) + ")";
        std::string left = expression(depth + 1);
        left += pick<std::string>({" and ", " AND ", " & ", " . ", "*", " or ", " OR ", " | ", "+", " xor ",
                                   " xnor ", " XOR "});
        return left + expression(depth + 1);
    }

    // ---- Texts that the Esterel writer reads as values ----

    std::string value_type() {
        return pick<std::string>({"integer", "float", "double", "boolean", "string", "bool", "speed"});
    }

    // Blanks, tabs or line ends around a text, now and then.
    std::string blanked(const std::string& text) {
        if (!chance(6))
            return text;
        const std::vector<std::string> blanks = {"", " ", "\t", "\n", " \t", "\r\n"};
        return pick(blanks) + text + pick(blanks);
    }

    // Constants of the value types, values given in every spelling: some
    // plain literals, some that need trimming or respelling, some that are
    // no literal at all (written without value and a warning).
    std::string constants() {
        std::string list;
        for (int i = below(4); i > 0; --i) {
            const std::string t = value_type(), name = "K" + std::to_string(constants_.size());
            std::vector<std::string> values = {"", "x y"};
            for (const auto& [of, v] : std::multimap<std::string, std::string>{
                     {"integer", "3"}, {"integer", " -2"}, {"integer", "1.5"}, {"double", "1e-7"}, {"double", " 3 "},
                     {"double", "1.5f"}, {"float", "2.5"}, {"float", "1e-7"}, {"boolean", "TRUE"}, {"boolean", "1"}})
                if (of == t)
                    values.push_back(v);
            const std::string v = pick(values);
            list += (list.empty() ? "" : ", ") + t + " " + name + (v.empty() ? "" : " \"" + blanked(v) + "\"");
            constants_.emplace_back(name, t);
        }
        return list;
    }

    // A value of the signal's type, or now and then one of another type or
    // no value at all (a flaw).
    std::string value(const std::string& signal, const std::string& t) {
        std::vector<std::string> good = {"?" + signal}, bad = {"", "3)", "(3", "3 % 2", "v0", "(3)(4)"};
        for (const auto& c : constants_)
            (c.second == t ? good : bad).push_back(c.first);
        for (const auto& [of, v] : std::multimap<std::string, std::string>{
                 {"integer", "1"}, {"integer", "(1 + 2) * 3 mod 2"}, {"float", "2.5f"}, {"float", "1.5f * -2.0f"},
                 {"double", "1.5"}, {"double", "-1.0e-3"}, {"boolean", "true"}, {"boolean", "3 > 2 and not false"},
                 {"boolean", "not (not false)"}})
            (of == t ? good : bad).push_back(v);
        if (t == "boolean" && chance(12)) {
            bad_ = true;
            return "not not " + pick(good);
        }
        if (!chance(8))
            return pick(good);
        bad_ = true;
        return pick(bad);
    }

    // One to three emissions of declared signals, each with a value when its
    // signal carries one.
    std::string emissions() {
        std::string text;
        for (int i = chance(3) ? 1 + below(3) : 1; i > 0; --i) {
            const std::string signal = pick(signals_), t = typed_[signal];
            const bool valued = !(t.empty() || t == "pure" || (t == "bool" && (model_ == 0 || model_ == 1)));
            text += text.empty() ? (chance(8) ? "emit " : "") : pick<std::string>({"; emit ", ";\temit ", " ;\nemit "});
            const bool unvalued = valued && chance(16);  // a flaw: a valued signal needs its value
            bad_ = bad_ || unvalued;
            text += signal + (valued && !unvalued ? "(" + value(signal, t) + ")" : "");
        }
        return text;
    }

    // A renaming of a run: the chart's actual\formal pair, or the Esterel
    // way with "/", maybe with a constant renamed after ";".
    std::string renaming() {
        const std::string actual = pick(signals_);
        if (chance(2))
            return actual + "\\a";
        std::string text = actual + (chance(2) ? " / a" : "/a");
        if (!constants_.empty() && chance(3))
            text += "; constant " + constants_.front().first + " / c";
        return text;
    }

    std::mt19937 rng_;
    std::vector<std::string> signals_, integers_, keywords_;
    std::map<std::string, std::string> typed_;
    std::vector<std::pair<std::string, std::string>> constants_;
    int model_ = 0;
    bool bad_ = false;
};

}  // namespace chart_generator

#endif
