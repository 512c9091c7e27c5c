// What Esterel v5 can and cannot say, as far as the module of a chart needs
// it: identifiers and reserved words, the predefined types, signal
// expressions and count delays, and the renamings of a run (the values that
// emissions, counts and constants carry are in put_strl5_values.cpp).
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

bool reserved_word(const String& word) {
    // Reserved words of Esterel v5: none of them may name anything. "tick" is
    // no keyword, but it is the predefined signal present at every instant.
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
    if (s.empty() || !letter_char(s[0]))
        return false;
    for (char c : s)
        if (!identifier_char(c))
            return false;
    return true;
}

String trimmed(const String& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank_char(text[begin]))
        ++begin;
    while (end > begin && blank_char(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

String one_line(const String& text) {
    String line = trimmed(text);
    for (char& c : line)
        if (blank_char(c))
            c = ' ';
    return line;
}

namespace {

// ---- Triggers ---------------------------------------------------------------

// The chart's words: a run of letters, digits, "_", ".", "," and "@" is one
// word, as the chart's expression parser splits them, so "a.b" is one (bad)
// name and "a . b" a product.
enum token_kind {
    t_end, t_name, t_one, t_zero, t_open, t_close, t_or, t_xor, t_xnor, t_and, t_not, t_compare, t_mark
};

bool chart_word_char(char c) {
    return identifier_char(c) || c == '.' || c == ',' || c == '@' || static_cast<unsigned char>(c) >= 0x80;
}

// The token at `at` of a trigger, `at` moved past it.
token_kind chart_token(const String& text, std::size_t& at, String& word) {
    while (at < text.size() && blank_char(text[at]))
        ++at;
    word.clear();
    if (at == text.size())
        return t_end;
    const std::size_t start = at;
    const char c = text[at];
    if (c == '<' || c == '>' || c == '=' || (c == '!' && at + 1 < text.size() && text[at + 1] == '='))
        return t_compare;
    if (chart_word_char(c) || (c == '-' && at + 1 < text.size() && digit_char(text[at + 1]))) {
        ++at;
        while (at < text.size() && chart_word_char(text[at]))
            ++at;
    } else {
        ++at;
    }
    word = text.substr(start, at - start);
    if (word == "(" || word == "[")
        return t_open;
    if (word == ")" || word == "]")
        return t_close;
    if (word == "or" || word == "OR" || word == "+" || word == "|")
        return t_or;
    if (word == "xor" || word == "XOR")
        return t_xor;
    if (word == "xnor" || word == "XNOR")
        return t_xnor;
    if (word == "and" || word == "AND" || word == "." || word == "&" || word == "*")
        return t_and;
    if (word == "not" || word == "NOT" || word == "!" || word == "~")
        return t_not;
    if (word == "#")
        return t_mark;
    return word == "1" ? t_one : word == "0" ? t_zero : t_name;
}

// "#" makes the whole test immediate. It stands where an operand begins
// (before a signal or a bracket, and, as charts have always written it,
// before a negation or a constant), never after an operand ("A#B") nor
// before an operator or the end. A trigger of marks alone is the immediate
// test of the empty trigger, which holds at every instant.
String mark_fault(const String& text) {
    bool after_operand = false, mark = false, marks_only = true;
    std::size_t at = 0;
    String word;
    for (;;) {
        const token_kind k = chart_token(text, at, word);
        if (k == t_end && marks_only)
            return String();
        if (mark && k != t_name && k != t_one && k != t_zero && k != t_open && k != t_not && k != t_mark)
            break;
        if (k == t_end || k == t_compare)
            return String();  // a comparison is refused for itself
        if (k == t_mark && after_operand)
            break;
        mark = k == t_mark;
        marks_only = marks_only && mark;
        after_operand = k == t_name || k == t_one || k == t_zero || k == t_close;
    }
    return "\"#\" marks an immediate test only before a signal or a bracket";
}

// The trigger without its "#" marks and without a leading priority: only a
// leading "<...>" is one, a "<" or ">" further in is a comparison. A mark
// goes without a trace, or leaves a blank where two words would join.
struct trigger_body {
    String text;
    bool marked = false;
    String fault;
};

trigger_body body_of(const String& trigger) {
    trigger_body body;
    std::size_t at = 0;
    while (at < trigger.size() && (blank_char(trigger[at]) || trigger[at] == '#'))
        ++at;
    String rest = trigger;
    if (at < trigger.size() && trigger[at] == '<') {
        const std::size_t close = trigger.find('>', at);
        if (close != String::npos) {
            const String priority = trimmed(trigger.substr(at + 1, close - at - 1));
            bool number = !priority.empty();
            for (char c : priority)
                number = number && digit_char(c);
            if (!number && priority != "other" && priority != "default")
                body.fault = "its priority \"" + priority + "\" is not a number, \"other\" or \"default\"";
            rest = trigger.substr(close + 1);
        }
    }
    if (body.fault.empty())
        body.fault = mark_fault(rest);
    String text;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '#') {
            text += rest[i];
            continue;
        }
        body.marked = true;
        if (!text.empty() && chart_word_char(text.back()) && i + 1 < rest.size() && chart_word_char(rest[i + 1]))
            text += ' ';
    }
    body.marked = body.marked || (at > 0 && contains(trigger.substr(0, at), "#"));
    body.text = cancel_begin_end_spaces(text);
    return body;
}

// The spelling that earlier versions wrote: the body put between square
// brackets when it holds a word operator, and "1" written "tick".
String plain_spelling(const String& body) {
    String r = body;
    if (contains(r, " or ") || contains(r, " OR ") || contains(r, " and ") ||
        contains(r, " AND ") || contains(r, "not ") || contains(r, "NOT "))
        r = "[" + r + "]";
    if (r == "1")
        r = "tick";
    return r;
}


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
        if (!identifier_shape(word_) || (reserved_word(word_) && word_ != "tick"))
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
        while (at_ < text_.size() && blank_char(text_[at_]))
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
// pairing, the constants 1 and 0, and signal names.
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

    void next() {
        kind_ = chart_token(text_, at_, word_);
        if (kind_ == t_compare) {
            // Scanning stops here: whatever follows, the trigger is refused.
            compared_ = true;
            at_ = text_.size();
        }
    }

    const String& text_;
    std::size_t at_ = 0;
    String word_;
    token_kind kind_ = t_end;
    bool compared_ = false;
    bool too_deep_ = false;
};

// An xor chain doubles its text at every operator; when its expansions add
// more than this to the text, the trigger is refused instead of written. The
// rest of a trigger costs what it is long, however long.
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
        } else if (added_ + 2 * (a.text.size() + b.text.size()) > longest_expansion) {
            too_long_ = true;
        } else {
            const std::size_t before = a.text.size() + b.text.size();
            if (op == t_xor)
                a.text = at_least(a, 2) + " and not " + at_least(b, 3) + " or not " + at_least(a, 3) +
                         " and " + at_least(b, 2);
            else
                a.text = at_least(a, 2) + " and " + at_least(b, 2) + " or not " + at_least(a, 3) +
                         " and not " + at_least(b, 3);
            added_ += a.text.size() - before;
            too_long_ = added_ > longest_expansion;
        }
        a.level = 1;
    }

    std::vector<String>& names_;
    std::size_t added_ = 0;
    bool too_long_ = false;
};

}  // namespace

// ---- Names and types --------------------------------------------------------

const char* identifier_fault(const String& name) {
    if (!identifier_shape(name))
        return "is not an Esterel identifier";
    if (reserved_word(name))
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

// ---- Triggers -------------------------------------------------------------------

namespace {

// A count delay, "3 A" or "?V [A or B]": a count, then one signal or one
// bracketed expression. The count is an Esterel expression without a boolean
// word, which no chart expression is; its type is the caller's to check.
bool count_delay(const trigger_body& body, bool immediate, esterel_trigger& result) {
    const String text = trimmed(body.text);
    if (text.empty())
        return false;
    std::size_t start = text.size();
    if (text.back() == ']') {
        int depth = 0;
        do {
            --start;
            depth += text[start] == ']' || text[start] == ')' ? 1 : text[start] == '[' || text[start] == '(' ? -1 : 0;
        } while (start > 0 && depth > 0);
        if (depth != 0 || text[start] != '[')
            return false;
    } else {
        while (start > 0 && identifier_char(text[start - 1]))
            --start;
        if (start == text.size() || !letter_char(text[start]))
            return false;
    }
    const String count = trimmed(text.substr(0, start));
    if (count.empty() || !count_shape(count))
        return false;
    result = translate_trigger(text.substr(start), false);
    result.count = count;
    result.text = (immediate && body.marked ? "immediate " : "") + one_line(count) + " " + result.text;
    if (result.fault.empty() && body.marked)
        result.fault = "a count delay cannot be immediate";
    if (result.fault.empty() && !immediate)
        result.fault = "a suspension tests signals, and cannot count them";
    return true;
}

}  // namespace

esterel_trigger translate_trigger(const String& trigger, bool immediate) {
    esterel_trigger result;
    const trigger_body body = body_of(trigger);
    const bool marked = immediate && body.marked;
    const String earlier = (marked ? "immediate " : "") + plain_spelling(body.text);
    if (!body.fault.empty()) {
        result.fault = body.fault;
        result.text = earlier;
        return result;
    }
    if (esterel_delay(earlier, result.signals).valid(immediate)) {
        result.text = earlier;
        return result;
    }
    result.signals.clear();
    if (count_delay(body, immediate, result))
        return result;
    node root;
    if (!chart_trigger(body.text).parse(root, result.fault)) {
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
    const String refused = "renaming \"" + stored + "\" is not a list of actual\\formal signal pairs";
    // Walked in place: a long renaming costs its length, not a copy per pair.
    bool as_stored = true;
    String text;
    for (std::size_t from = 0;;) {
        const std::size_t semicolon = stored.find(';', from);
        String part = trimmed(stored.substr(from, semicolon == String::npos ? String::npos : semicolon - from));
        renaming_part renamed;
        renamed.keyword = "signal";
        std::size_t word = 0;
        while (word < part.size() && identifier_char(part[word]))
            ++word;
        const String first = part.substr(0, word);
        if ((first == "signal" || first == "constant" || first == "type" || first == "function") &&
            word < part.size() && blank_char(part[word])) {
            renamed.keyword = first;
            part = part.substr(word);
        }
        for (std::size_t at = 0;;) {
            const std::size_t comma = part.find(',', at);
            const String pair = part.substr(at, comma == String::npos ? String::npos : comma - at);
            std::size_t cut = pair.find('\\');
            if (cut == String::npos)
                cut = pair.find('/');
            const String actual = cut == String::npos ? String() : trimmed(pair.substr(0, cut));
            const String formal = cut == String::npos ? String() : trimmed(pair.substr(cut + 1));
            // A constant's actual is a value, checked with the chart's constants.
            const bool actual_name = renamed.keyword == "constant"
                                         ? !actual.empty()
                                         : identifier_shape(actual) && (!reserved_word(actual) || actual == "tick");
            if (!actual_name || !identifier_shape(formal) || (reserved_word(formal) && formal != "tick")) {
                result.fault = refused;
                return result;
            }
            renamed.pairs.emplace_back(actual, formal);
            if (comma == String::npos)
                break;
            at = comma + 1;
        }
        // A renaming of signals alone, its blanks plain, keeps the spelling
        // that modules have always had.
        as_stored = as_stored && semicolon == String::npos && from == 0 && renamed.keyword == "signal" &&
                    first != "signal";
        text += text.empty() ? "" : "; ";
        text += renamed.keyword + " ";
        for (std::size_t i = 0; i < renamed.pairs.size(); ++i)
            text += (i > 0 ? ", " : "") + renamed.pairs[i].first + " / " + renamed.pairs[i].second;
        result.parts.push_back(std::move(renamed));
        if (semicolon == String::npos)
            break;
        from = semicolon + 1;
    }
    for (char c : stored)
        as_stored = as_stored && static_cast<unsigned char>(c) >= 0x20;
    // The chart's actual\formal pairs are always spelled the Esterel way.
    result.text = as_stored && !contains(stored, "\\") ? "signal " + stored : text;
    return result;
}

}  // namespace tessan_strl5
