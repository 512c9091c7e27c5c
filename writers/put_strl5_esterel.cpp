// What Esterel v5 can and cannot say, as far as the module of a chart needs
// it: identifiers and reserved words, the predefined types, literals of
// constants, signal expressions in delays, and the renamings of a run.
//
// A chart text was written for charts, not for Esterel: its triggers use the
// chart's operator spellings and brackets, its constants carry one value text
// per target, its renamings the chart's actual\formal pairs. Each translation
// here keeps the earlier spelling wherever that spelling is already valid
// Esterel, so that a module that was right stays the same text, and says why
// when a form has no Esterel equivalent.
#include "writers/put_strl5_private.h"

#include <cstddef>
#include <unordered_set>

namespace tessan_strl5 {

namespace {

bool letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool digit(char c) { return c >= '0' && c <= '9'; }
bool identifier_char(char c) { return letter(c) || digit(c) || c == '_'; }
bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Reserved words of Esterel v5: none of them may name anything. "tick" is no
// keyword, but it is the predefined signal present at every instant.
bool reserved(const String& word) {
    static const std::unordered_set<String> words = {
        "abort",   "and",      "await",     "call",       "case",     "combine", "constant",
        "copymodule", "do",    "each",      "else",       "elsif",    "emit",    "end",
        "every",   "exec",     "exit",      "false",      "function", "halt",    "handle",
        "if",      "immediate", "in",       "input",      "inputoutput", "loop", "mod",
        "module",  "not",      "nothing",   "or",         "output",   "pause",   "positive",
        "pre",     "present",  "procedure", "relation",   "repeat",   "return",  "run",
        "sensor",  "signal",   "suspend",   "sustain",    "task",     "then",    "tick",
        "timeout", "times",    "trap",      "true",       "type",     "upto",    "var",
        "watching", "weak",    "when",      "with"};
    return words.count(word) > 0;
}

bool identifier_shape(const String& s) {
    if (s.empty() || !letter(s[0]))
        return false;
    for (char c : s)
        if (!identifier_char(c))
            return false;
    return true;
}

// ---- Triggers ---------------------------------------------------------------

// The trigger without its "#" marks and without a leading priority: only a
// leading "<...>" is one, a "<" or ">" further in is a comparison.
String body_of(const String& trigger) {
    String r = cancel_begin_end_spaces(suppres_char(trigger, '#'));
    if (!r.empty() && r[0] == '<') {
        const int close = find(r, ">");
        if (close >= 0)
            r = cancel_begin_end_spaces(my_after(r, close + 1));
    }
    return r;
}

// The spelling that earlier versions wrote: the body put between square
// brackets when it holds a word operator, and "1" written "tick".
String plain_spelling(const String& trigger) {
    String r = body_of(trigger);
    if (contains(r, " or ") || contains(r, " OR ") || contains(r, " and ") ||
        contains(r, " AND ") || contains(r, "not ") || contains(r, "NOT "))
        r = "[" + r + "]";
    if (r == "1")
        r = "tick";
    return r;
}

// Brackets and "not" nest the parsers below; beyond this depth a trigger is
// refused rather than allowed to exhaust the stack.
constexpr int deepest_nesting = 200;

// An Esterel delay as the module writes it: ["immediate"] then one signal
// name or one bracketed expression, inside which only parentheses group.
// Recognises the earlier spelling; `names` receives the signals it tests.
class esterel_delay {
public:
    esterel_delay(const String& text, std::vector<String>& names) : text_(text), names_(names) {}

    bool valid(bool immediate_allowed) {
        next();
        if (immediate_allowed && word_ == "immediate")
            next();
        if (word_ == "[") {
            next();
            if (!expression(0) || word_ != "]")
                return false;
            next();
        } else if (!signal()) {
            return false;
        }
        return word_.empty() && !bad_;
    }

private:
    bool signal() {
        if (!identifier_shape(word_) || (reserved(word_) && word_ != "tick"))
            return false;
        if (word_ != "tick")
            names_.push_back(word_);
        next();
        return true;
    }
    bool factor(int depth) {
        if (depth > deepest_nesting)
            return false;
        if (word_ == "not") {
            next();
            return factor(depth + 1);
        }
        if (word_ == "(") {
            next();
            if (!expression(depth + 1) || word_ != ")")
                return false;
            next();
            return true;
        }
        return signal();
    }
    bool expression(int depth) {
        for (;;) {
            for (;;) {
                if (!factor(depth))
                    return false;
                if (word_ != "and")
                    break;
                next();
            }
            if (word_ != "or")
                return true;
            next();
        }
    }
    void next() {
        while (at_ < text_.size() && blank(text_[at_]))
            ++at_;
        if (at_ == text_.size()) {
            word_.clear();
            return;
        }
        const std::size_t start = at_;
        if (identifier_char(text_[at_])) {
            while (at_ < text_.size() && identifier_char(text_[at_]))
                ++at_;
        } else {
            const char c = text_[at_++];
            if (c != '[' && c != ']' && c != '(' && c != ')')
                bad_ = true;
        }
        word_ = text_.substr(start, at_ - start);
    }

    const String& text_;
    std::vector<String>& names_;
    std::size_t at_ = 0;
    String word_;
    bool bad_ = false;
};

// A trigger in the chart's own syntax: "or"/"OR"/"+"/"|", "xor"/"XOR" and
// "xnor"/"XNOR" at the lowest level, "and"/"AND"/"."/"&"/"*" above them,
// "not"/"NOT"/"!"/"~" binding tightest, round or square brackets in any
// pairing, the constants 1 and 0, and signal names. Words split as the
// chart's expression parser splits them: a run of letters, digits, "_", ".",
// "," and "@" is one word, so "a.b" is one (bad) name and "a . b" a product.
enum token_kind { t_end, t_name, t_one, t_zero, t_open, t_close, t_or, t_xor, t_xnor, t_and, t_not, t_compare };

struct node {
    enum kind { name, one, zero, group, negation, product, sum } what = name;
    String text;                // a name
    std::vector<node> items;    // group, negation: one; product, sum: two or more
    std::vector<token_kind> ops;  // sum: the operator before items[i + 1]
};

class chart_trigger {
public:
    explicit chart_trigger(const String& text) : text_(text) { next(); }

    // The expression, or false with `fault` saying why.
    bool parse(node& root, String& fault) {
        if (kind_ == t_end) {
            root.what = node::one;  // an empty trigger holds at the next instant
            return true;
        }
        const bool parsed = sum(root, 0);
        if (compared_) {
            fault = "a comparison, which no Esterel signal expression can test";
            return false;
        }
        if (too_deep_) {
            fault = "brackets and negations nested deeper than " + std::to_string(deepest_nesting);
            return false;
        }
        if (!parsed || kind_ != t_end) {
            fault = "not a signal expression";
            return false;
        }
        return true;
    }

private:
    bool sum(node& n, int depth) {
        node first;
        if (!product(first, depth))
            return false;
        if (kind_ != t_or && kind_ != t_xor && kind_ != t_xnor) {
            n = std::move(first);
            return true;
        }
        n.what = node::sum;
        n.items.push_back(std::move(first));
        while (kind_ == t_or || kind_ == t_xor || kind_ == t_xnor) {
            n.ops.push_back(kind_);
            next();
            n.items.emplace_back();
            if (!product(n.items.back(), depth))
                return false;
        }
        return true;
    }
    bool product(node& n, int depth) {
        node first;
        if (!factor(first, depth))
            return false;
        if (kind_ != t_and) {
            n = std::move(first);
            return true;
        }
        n.what = node::product;
        n.items.push_back(std::move(first));
        while (kind_ == t_and) {
            next();
            n.items.emplace_back();
            if (!factor(n.items.back(), depth))
                return false;
        }
        return true;
    }
    bool factor(node& n, int depth) {
        if (depth > deepest_nesting) {
            too_deep_ = true;
            return false;
        }
        switch (kind_) {
        case t_not:
        case t_open: {
            const bool negation = kind_ == t_not;
            n.what = negation ? node::negation : node::group;
            next();
            n.items.emplace_back();
            if (!(negation ? factor(n.items.back(), depth + 1) : sum(n.items.back(), depth + 1)))
                return false;
            if (negation)
                return true;
            if (kind_ != t_close)
                return false;
            next();
            return true;
        }
        case t_name:
            n.what = node::name;
            n.text = word_;
            next();
            return true;
        case t_one:
        case t_zero:
            n.what = kind_ == t_one ? node::one : node::zero;
            next();
            return true;
        default:
            return false;
        }
    }

    static bool word_char(char c) {
        return identifier_char(c) || c == '.' || c == ',' || c == '@' ||
               static_cast<unsigned char>(c) >= 0x80;
    }

    void next() {
        while (at_ < text_.size() && blank(text_[at_]))
            ++at_;
        if (at_ == text_.size()) {
            kind_ = t_end;
            return;
        }
        const std::size_t start = at_;
        const char c = text_[at_];
        if (c == '<' || c == '>' || c == '=' ||
            (c == '!' && at_ + 1 < text_.size() && text_[at_ + 1] == '=')) {
            // Scanning stops here: whatever follows, the trigger is refused.
            compared_ = true;
            kind_ = t_compare;
            at_ = text_.size();
            return;
        }
        if (word_char(c) || (c == '-' && at_ + 1 < text_.size() && digit(text_[at_ + 1]))) {
            ++at_;
            while (at_ < text_.size() && word_char(text_[at_]))
                ++at_;
        } else {
            ++at_;
        }
        word_ = text_.substr(start, at_ - start);
        if (word_ == "(" || word_ == "[")
            kind_ = t_open;
        else if (word_ == ")" || word_ == "]")
            kind_ = t_close;
        else if (word_ == "or" || word_ == "OR" || word_ == "+" || word_ == "|")
            kind_ = t_or;
        else if (word_ == "xor" || word_ == "XOR")
            kind_ = t_xor;
        else if (word_ == "xnor" || word_ == "XNOR")
            kind_ = t_xnor;
        else if (word_ == "and" || word_ == "AND" || word_ == "." || word_ == "&" || word_ == "*")
            kind_ = t_and;
        else if (word_ == "not" || word_ == "NOT" || word_ == "!" || word_ == "~")
            kind_ = t_not;
        else if (word_ == "1")
            kind_ = t_one;
        else if (word_ == "0")
            kind_ = t_zero;
        else
            kind_ = t_name;
    }

    const String& text_;
    std::size_t at_ = 0;
    String word_;
    token_kind kind_ = t_end;
    bool compared_ = false;
    bool too_deep_ = false;
};

// An xor chain doubles its text at every operator; past this size the
// trigger is refused instead of written.
constexpr std::size_t longest_expansion = 1 << 16;

// Printed expressions carry their level: 1 a disjunction, 2 a conjunction,
// 3 a factor (a name, a negation, a parenthesised expression).
struct printed {
    String text;
    int level = 3;
};

class esterel_printer {
public:
    explicit esterel_printer(std::vector<String>& names) : names_(names) {}

    bool too_long() const { return too_long_; }

    printed print(const node& n) {
        printed p;
        if (too_long_)
            return p;
        switch (n.what) {
        case node::name:
            if (n.text != "tick")
                names_.push_back(n.text);
            p.text = n.text;
            break;
        case node::one:
            p.text = "tick";
            break;
        case node::zero:
            p.text = "not tick";  // a test that never holds
            break;
        case node::group:
            p.text = "(" + print(n.items[0]).text + ")";
            break;
        case node::negation:
            p.text = "not " + print(n.items[0]).text;
            break;
        case node::product:
            p.level = 2;
            for (std::size_t i = 0; i < n.items.size(); ++i)
                p.text += (i > 0 ? " and " : "") + print(n.items[i]).text;
            break;
        case node::sum:
            p = print(n.items[0]);
            for (std::size_t i = 1; i < n.items.size() && !too_long_; ++i)
                combine(p, n.ops[i - 1], print(n.items[i]));
            break;
        }
        if (p.text.size() > longest_expansion)
            too_long_ = true;
        return p;
    }

private:
    static String at_least(const printed& p, int level) {
        return p.level < level ? "(" + p.text + ")" : p.text;
    }

    // Esterel has no xor: a xor b is (a and not b) or (not a and b), a xnor b
    // is (a and b) or (not a and not b). A run of "or" grows in place, so
    // that a long disjunction costs no more than its length.
    void combine(printed& a, token_kind op, const printed& b) {
        if (op == t_or) {
            a.text += " or ";
            a.text += b.text;
        } else if (2 * (a.text.size() + b.text.size()) > longest_expansion) {
            too_long_ = true;
        } else if (op == t_xor) {
            a.text = at_least(a, 2) + " and not " + at_least(b, 3) + " or not " + at_least(a, 3) +
                     " and " + at_least(b, 2);
        } else {
            a.text = at_least(a, 2) + " and " + at_least(b, 2) + " or not " + at_least(a, 3) +
                     " and not " + at_least(b, 3);
        }
        a.level = 1;
    }

    std::vector<String>& names_;
    bool too_long_ = false;
};

}  // namespace

// ---- Names and types --------------------------------------------------------

const char* identifier_fault(const String& name) {
    if (!identifier_shape(name))
        return "is not an Esterel identifier";
    if (reserved(name))
        return "is a reserved word of Esterel";
    return nullptr;
}

bool predefined_type(const String& type) {
    return type == "boolean" || type == "integer" || type == "float" || type == "double" ||
           type == "string";
}

bool pure_type(const String& type, int model) {
    return type.empty() || type == "pure" ||
           ((model == basic_model || model == par_automata_model) && type == "bool");
}

// ---- Constants ----------------------------------------------------------------

namespace {

// -?digits, then for a decimal a point with digits on at least one side and
// an optional exponent: the number forms that Esterel reads.
bool number_text(const String& v, bool decimal) {
    std::size_t i = (!v.empty() && v[0] == '-') ? 1 : 0;
    const std::size_t integral = i;
    while (i < v.size() && digit(v[i]))
        ++i;
    const bool integral_digits = i > integral;
    if (!decimal)
        return integral_digits && i == v.size();
    if (i == v.size() || v[i] != '.')
        return false;
    const std::size_t fraction = ++i;
    while (i < v.size() && digit(v[i]))
        ++i;
    if (!integral_digits && i == fraction)
        return false;
    if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        ++i;
        if (i < v.size() && (v[i] == '+' || v[i] == '-'))
            ++i;
        const std::size_t exponent = i;
        while (i < v.size() && digit(v[i]))
            ++i;
        if (i == exponent)
            return false;
    }
    return i == v.size();
}

}  // namespace

String constant_literal(const gal_declaration_constants& c) {
    String v = c.value(5);
    if (v.empty())
        v = c.value(0);
    if (v.empty())
        return String();  // an empty value text is no value: "" would be one of our making
    const String type = c.typev();
    if (type == "integer")
        return number_text(v, false) ? v : String();
    // A number given for a float or a double is written as a literal of that
    // type: a point for a whole number, and the f that marks a float.
    const bool whole = number_text(v, false);
    if (type == "double")
        return whole ? v + ".0" : number_text(v, true) ? v : String();
    if (type == "float") {
        if (!v.empty() && (v.back() == 'f' || v.back() == 'F'))
            return number_text(v.substr(0, v.size() - 1), true) ? v : String();
        return whole ? v + ".0f" : number_text(v, true) ? v + "f" : String();
    }
    if (type == "boolean")
        return v == "true" || v == "false" ? v : String();
    if (type == "string") {
        if (v.find('\n') != String::npos || v.find('\r') != String::npos)
            return String();  // an Esterel string stays on one line
        String quoted = "\"";
        for (char ch : v)
            quoted += ch == '"' ? String("\"\"") : String(1, ch);
        return quoted + "\"";
    }
    return String();  // a user type's values belong to the host language
}

// ---- Triggers -------------------------------------------------------------------

esterel_trigger translate_trigger(const String& trigger, bool immediate) {
    esterel_trigger result;
    const bool marked = immediate && contains(trigger, "#");
    const String earlier = (marked ? "immediate " : "") + plain_spelling(trigger);
    if (esterel_delay(earlier, result.signals).valid(immediate)) {
        result.text = earlier;
        return result;
    }
    result.signals.clear();
    node root;
    if (!chart_trigger(body_of(trigger)).parse(root, result.fault)) {
        result.text = earlier;
        return result;
    }
    esterel_printer printer(result.signals);
    const printed p = printer.print(root);
    if (printer.too_long()) {
        result.fault = "its xor and xnor operators expand beyond " +
                       std::to_string(longest_expansion) + " characters of Esterel";
        result.text = earlier;
        return result;
    }
    String delay;
    if (root.what == node::name || root.what == node::one)
        delay = p.text;
    else if (root.what == node::group)
        delay = "[" + p.text.substr(1, p.text.size() - 2) + "]";
    else
        delay = "[" + p.text + "]";
    result.text = (marked ? "immediate " : "") + delay;
    for (const String& name : result.signals)
        if (identifier_fault(name) && result.fault.empty())
            result.fault = "\"" + name + "\" is not a signal name";
    return result;
}

// ---- Renamings --------------------------------------------------------------------

esterel_renaming translate_renaming(const String& stored) {
    esterel_renaming result;
    const bool chart_pairs = contains(stored, "\\");
    String text;
    // Walked in place: a long renaming costs its length, not a copy per pair.
    for (std::size_t from = 0;;) {
        const std::size_t comma = stored.find(',', from);
        const String pair = stored.substr(from, comma == String::npos ? String::npos : comma - from);
        const int backslash = find(pair, "\\");
        const int slash = find(pair, "/");
        const int cut = backslash >= 0 ? backslash : slash;
        const String actual = cut < 0 ? String() : cancel_begin_end_spaces(my_before(pair, cut));
        const String formal = cut < 0 ? String() : cancel_begin_end_spaces(my_after(pair, cut + 1));
        const bool both_names =
            identifier_shape(actual) && identifier_shape(formal) &&
            (!reserved(actual) || actual == "tick") && (!reserved(formal) || formal == "tick");
        if (!both_names) {
            result.fault = "renaming \"" + stored + "\" is not a list of actual\\formal signal pairs";
            return result;
        }
        if (actual != "tick")
            result.actuals.push_back(actual);
        text += (text.empty() ? "" : ", ") + actual + " / " + formal;
        if (comma == String::npos)
            break;
        from = comma + 1;
    }
    // A renaming already spelled the Esterel way is written as it stands.
    result.text = chart_pairs ? text : stored;
    return result;
}

// ---- Actions ------------------------------------------------------------------------

emission emission_of(const String& action) {
    emission e;
    const String text = cancel_begin_end_spaces(action);
    e.nothing = text.empty();
    std::size_t i = 0;
    while (i < text.size() && identifier_char(text[i]))
        ++i;
    e.signal = text.substr(0, i);
    const String rest = cancel_begin_end_spaces(text.substr(i));
    e.valued = !rest.empty();
    e.well_formed = e.nothing || (identifier_fault(e.signal) == nullptr &&
                                  (rest.empty() || (rest.front() == '(' && rest.back() == ')')));
    return e;
}

}  // namespace tessan_strl5
