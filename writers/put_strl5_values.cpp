// Values in an Esterel v5 module: the literals of constants, the expressions
// that valued emissions and count delays carry, and the chart's actions read
// as emissions.
//
// Esterel types its expressions strictly: no number converts to another
// type, "1" is no double and "1.0" no float, only numbers of one type are
// compared by order, and a value is emitted only on a valued signal. An
// expression is checked here against that much, so that a module written with
// it is one that Esterel takes; nothing beyond that list is checked.
#include "writers/put_strl5_private.h"

#include <cstddef>

namespace tessan_strl5 {

namespace {

bool numeric(const String& type) { return type == "integer" || type == "float" || type == "double"; }

// The tokens of an Esterel expression.
enum class tok { end, name, integer, real, floating, text, query, open, close, comma, op, bad };

// One Esterel expression, typed as it is read. Without a scope only its form
// is read: every name then stands for a constant of unknown type.
class expression_reader {
public:
    expression_reader(const String& text, const esterel_scope* scope) : text_(text), scope_(scope) {
        next();
    }

    // The type of the whole text ("" when unknown), or false with `fault` set.
    bool read(String& type) {
        if (kind_ == tok::end)
            return fail("there is no value");
        if (!chain(or_level, type, 0))
            return false;
        if (kind_ == tok::bad)
            return fail(bad_token());
        if (kind_ != tok::end)
            return fail(kind_ == tok::close ? "its brackets do not match" : "it is no Esterel expression");
        return true;
    }

    String fault;
    bool boolean_words = false;  // "and", "or" or "not" were read

private:
    bool fail(const String& why) {
        if (fault.empty())
            fault = why;
        return false;
    }

    bool is_word(const char* w) const { return kind_ == tok::name && word_ == w; }

    // Both operands of a binary operator, typed: "" on either side leaves the
    // type unknown, which only a read without scope gives.
    bool binary(const String& op, const String& left, const String& right, String& type) {
        const bool known = !left.empty() && !right.empty();
        if (op == "and" || op == "or") {
            if (known && (left != "boolean" || right != "boolean"))
                return fail(op + " takes two booleans");
            type = "boolean";
        } else if (op == "=" || op == "<>") {
            if (known && left != right)
                return fail(op + " compares two values of one type, not " + left + " and " + right);
            type = "boolean";
        } else if (op == "<" || op == ">" || op == "<=" || op == ">=") {
            if (known && (left != right || !numeric(left)))
                return fail(op + " compares two numbers of one type, not " + left + " and " + right);
            type = "boolean";
        } else if (op == "mod") {
            if (known && (left != "integer" || right != "integer"))
                return fail("mod takes two integers");
            type = known ? "integer" : "";
        } else {
            if (known && (left != right || !numeric(left)))
                return fail(op + " takes two numbers of one type, not " + left + " and " + right);
            type = known ? left : "";
        }
        return true;
    }

    // or < and < not < comparisons < + - < * / mod < unary -: each level of
    // binary operators is a chain of operands of the next, left to right.
    enum level { or_level, and_level, comparison_level, sum_level, product_level };

    bool is_operator_of(level l) const {
        const bool op = kind_ == tok::op;
        switch (l) {
        case or_level: return is_word("or");
        case and_level: return is_word("and");
        case comparison_level:
            return op && (word_ == "=" || word_ == "<>" || word_ == "<" || word_ == ">" ||
                          word_ == "<=" || word_ == ">=");
        case sum_level: return op && (word_ == "+" || word_ == "-");
        default: return (op && (word_ == "*" || word_ == "/")) || is_word("mod");
        }
    }
    bool operand_of(level l, String& type, int depth) {
        switch (l) {
        case and_level: return negation(type, depth);
        case product_level: return unary(type, depth);
        default: return chain(static_cast<level>(l + 1), type, depth);
        }
    }
    bool chain(level l, String& type, int depth) {
        if (!operand_of(l, type, depth))
            return false;
        while (is_operator_of(l)) {
            const String op = word_;
            boolean_words = boolean_words || l == or_level || l == and_level;
            next();
            String right;
            if (!operand_of(l, right, depth) || !binary(op, type, right, type))
                return false;
        }
        return true;
    }
    // Esterel negates a comparison or what binds tighter, never another
    // negation: "not not X" is refused there, "not (not X)" is read.
    bool negation(String& type, int depth) {
        if (!is_word("not"))
            return chain(comparison_level, type, depth);
        boolean_words = true;
        next();
        if (!chain(comparison_level, type, depth))
            return false;
        if (!type.empty() && type != "boolean")
            return fail("not takes a boolean");
        type = "boolean";
        return true;
    }
    bool unary(String& type, int depth) {
        if (depth > deepest_nesting)
            return fail("it nests deeper than " + std::to_string(deepest_nesting));
        if (!(kind_ == tok::op && word_ == "-"))
            return primary(type, depth);
        next();
        if (!unary(type, depth + 1))
            return false;
        if (!type.empty() && !numeric(type))
            return fail("- takes a number, not a value of type " + type);
        return true;
    }
    bool primary(String& type, int depth) {
        switch (kind_) {
        case tok::integer:
        case tok::real:
        case tok::floating:
        case tok::text:
            type = kind_ == tok::integer ? "integer" : kind_ == tok::real ? "double"
                   : kind_ == tok::floating ? "float" : "string";
            next();
            return true;
        case tok::query:
            next();
            return signal_value(type);
        case tok::open:
            next();
            if (!chain(or_level, type, depth + 1))
                return false;
            if (kind_ != tok::close)
                return fail("its brackets do not match");
            next();
            return true;
        case tok::name:
            return named(type, depth);
        case tok::bad:
            return fail(bad_token());
        case tok::close:
            return fail("its brackets do not match");
        default:
            return fail("it is no Esterel expression");
        }
    }
    String bad_token() const {
        return word_ == "%" ? "% opens an Esterel comment" : "\"" + word_ + "\" has no meaning in an Esterel expression";
    }

    bool signal_value(String& type) {
        if (kind_ != tok::name || identifier_fault(word_))
            return fail("? is followed by no signal");
        const String name = word_;
        next();
        type.clear();
        if (!scope_)
            return true;
        const auto s = scope_->signals.find(name);
        if (s == scope_->signals.end())
            return fail(name + " is not a signal that the chart declares");
        if (s->second.empty())
            return fail(name + " is a pure signal and has no value");
        type = s->second;
        return true;
    }
    bool named(String& type, int depth) {
        const String name = word_;
        if (name == "true" || name == "false") {
            type = "boolean";
            next();
            return true;
        }
        if (name == "not")
            return fail("a \"not\" here needs brackets: (not ...)");
        if (reserved_word(name))
            return fail("\"" + name + "\" has no meaning in an Esterel expression");
        // The chart's own spellings of its operators make no count.
        boolean_words = boolean_words || name == "AND" || name == "OR" || name == "NOT" ||
                        name == "xor" || name == "XOR" || name == "xnor" || name == "XNOR";
        next();
        if (kind_ == tok::open)
            return call(name, type, depth);
        type.clear();
        if (!scope_)
            return true;
        const auto c = scope_->constants.find(name);
        if (c == scope_->constants.end())
            return fail(name + " is not a constant that the chart declares" +
                        (scope_->signals.count(name) ? String(" (the value of a signal is ?") + name + ")"
                                                     : String()));
        type = c->second;
        return true;
    }
    bool call(const String& name, String& type, int depth) {
        next();
        std::vector<String> arguments;
        if (kind_ != tok::close) {
            for (;;) {
                arguments.emplace_back();
                if (!chain(or_level, arguments.back(), depth + 1))
                    return false;
                if (kind_ != tok::comma)
                    break;
                next();
            }
        }
        if (kind_ != tok::close)
            return fail("its brackets do not match");
        next();
        type.clear();
        if (!scope_)
            return true;
        const auto f = scope_->functions.find(name);
        if (f == scope_->functions.end())
            return fail(name + " is not a function that the chart declares");
        const std::list<String> declared = f->second->arguments();
        if (declared.size() != arguments.size())
            return fail(name + " takes " + std::to_string(declared.size()) + " arguments, not " +
                        std::to_string(arguments.size()));
        std::size_t i = 0;
        for (const String& expected : declared) {
            if (arguments[i] != expected)
                return fail("argument " + std::to_string(i + 1) + " of " + name + " is of type " +
                            arguments[i] + ", not " + expected);
            ++i;
        }
        type = f->second->result();
        return true;
    }

    // Numbers as Esterel spells them: digits; a double has a point with
    // digits on one side at least, then maybe an exponent; a float is a
    // double with "f" after it.
    tok number() {
        const std::size_t start = at_;
        while (at_ < text_.size() && digit_char(text_[at_]))
            ++at_;
        bool decimal = false;
        if (at_ < text_.size() && text_[at_] == '.') {
            decimal = true;
            ++at_;
            while (at_ < text_.size() && digit_char(text_[at_]))
                ++at_;
            if (at_ - start == 1)
                return tok::bad;
            if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
                ++at_;
                if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-'))
                    ++at_;
                const std::size_t exponent = at_;
                while (at_ < text_.size() && digit_char(text_[at_]))
                    ++at_;
                if (at_ == exponent)
                    return tok::bad;
            }
        }
        tok kind = decimal ? tok::real : tok::integer;
        if (decimal && at_ < text_.size() && (text_[at_] == 'f' || text_[at_] == 'F')) {
            kind = tok::floating;
            ++at_;
        }
        if (at_ < text_.size() && (identifier_char(text_[at_]) || text_[at_] == '.'))
            return tok::bad;  // 1e7, 1f, 0x10, 1.5d: none is an Esterel number
        return kind;
    }

    void next() {
        while (at_ < text_.size() && blank_char(text_[at_]))
            ++at_;
        if (at_ == text_.size()) {
            kind_ = tok::end;
            word_.clear();
            return;
        }
        const std::size_t start = at_;
        const char c = text_[at_];
        if (letter_char(c)) {
            while (at_ < text_.size() && identifier_char(text_[at_]))
                ++at_;
            kind_ = tok::name;
        } else if (digit_char(c) || (c == '.' && at_ + 1 < text_.size() && digit_char(text_[at_ + 1]))) {
            kind_ = number();
        } else if (c == '"') {
            // "" inside is one quote; a string stays on one line.
            kind_ = tok::bad;
            for (++at_; at_ < text_.size() && static_cast<unsigned char>(text_[at_]) >= 0x20; ++at_) {
                if (text_[at_] != '"')
                    continue;
                if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                    ++at_;
                    continue;
                }
                kind_ = tok::text;
                ++at_;
                break;
            }
            if (kind_ == tok::bad)
                at_ = text_.size();
        } else {
            ++at_;
            kind_ = c == '?' ? tok::query : c == '(' ? tok::open : c == ')' ? tok::close
                    : c == ',' ? tok::comma : tok::op;
            if ((c == '<' || c == '>') && at_ < text_.size() &&
                (text_[at_] == '=' || (c == '<' && text_[at_] == '>')))
                ++at_;
            if (kind_ == tok::op && String("+-*/=<>").find(c) == String::npos)
                kind_ = tok::bad;
        }
        word_ = text_.substr(start, at_ - start);
    }

    const String& text_;
    const esterel_scope* scope_;
    std::size_t at_ = 0;
    String word_;
    tok kind_ = tok::end;
};

}  // namespace

String expression_fault(const String& text, const String& type, const esterel_scope& scope) {
    expression_reader reader(text, &scope);
    String got;
    if (!reader.read(got))
        return reader.fault;
    if (!type.empty() && got != type)
        return "it is of type " + got + ", not " + type;
    return String();
}

bool count_shape(const String& text) {
    expression_reader reader(text, nullptr);
    String type;
    return reader.read(type) && !reader.boolean_words;
}

// ---- Constants ----------------------------------------------------------------

namespace {

// The literal of an Esterel number type that `v` plainly is: "3" of a double
// is 3.0, "1e-7" is 1.0e-7, and a float ends with "f". "" when it is none.
String number_literal(const String& v, const String& type) {
    std::size_t i = (!v.empty() && v[0] == '-') ? 1 : 0;
    const std::size_t integral = i;
    while (i < v.size() && digit_char(v[i]))
        ++i;
    const bool integral_digits = i > integral;
    String mantissa = v.substr(0, i);
    bool decimal = false;
    if (i < v.size() && v[i] == '.') {
        decimal = true;
        const std::size_t fraction = ++i;
        while (i < v.size() && digit_char(v[i]))
            ++i;
        if (!integral_digits && i == fraction)
            return String();
        mantissa = v.substr(0, i);
    } else if (!integral_digits) {
        return String();
    }
    String exponent;
    if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        const std::size_t start = i++;
        if (i < v.size() && (v[i] == '+' || v[i] == '-'))
            ++i;
        const std::size_t digits = i;
        while (i < v.size() && digit_char(v[i]))
            ++i;
        if (i == digits)
            return String();
        exponent = v.substr(start, i - start);
    }
    const bool float_mark = type == "float" && i + 1 == v.size() && (v[i] == 'f' || v[i] == 'F');
    if (i != v.size() && !float_mark)
        return String();
    if (type == "integer")
        return decimal || !exponent.empty() || float_mark ? String() : v;
    if (type == "double" && float_mark)
        return String();
    const String literal = (decimal ? mantissa : mantissa + ".0") + exponent;
    return type == "float" ? literal + (float_mark ? v.substr(i) : String("f")) : literal;
}

}  // namespace

String constant_literal(const gal_declaration_constants& c, bool& dropped) {
    dropped = false;
    const String type = c.typev();
    String v = c.value(5);
    if (v.empty())
        v = c.value(0);
    // Blanks around a number or a truth value say nothing; around a string
    // they are part of it.
    if (type != "string")
        v = trimmed(v);
    if (v.empty())
        return String();  // an empty value text is no value: "" would be one of our making
    String literal;
    if (type == "integer" || type == "double" || type == "float") {
        literal = number_literal(v, type);
    } else if (type == "boolean") {
        String lower;
        for (char ch : v)
            lower += static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
        if (lower == "true" || lower == "false")
            literal = lower;
    } else if (type == "string" && v.find_first_of("\n\r") == String::npos) {
        literal = "\"";  // an Esterel string stays on one line
        for (char ch : v)
            literal += ch == '"' ? String("\"\"") : String(1, ch);
        literal += "\"";
    }
    // A user type's values belong to the host language: none is written.
    dropped = literal.empty();
    return literal;
}

// ---- Actions --------------------------------------------------------------------

namespace {

// The end of the value that opens at `open`, a "(": the index of its ")", or
// npos. Strings are skipped, so a bracket inside one does not count.
std::size_t value_end(const String& text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '"') {
            while (++i < text.size() && text[i] != '"') {
            }
            if (i == text.size())
                return String::npos;
        } else if (text[i] == '(') {
            ++depth;
        } else if (text[i] == ')' && --depth == 0) {
            return i;
        }
    }
    return String::npos;
}

// The texts that modules have always been written with keep their spelling:
// a name, then nothing or something in round brackets, blanks being spaces.
bool written_as_stored(const String& action) {
    const String text = cancel_begin_end_spaces(action);
    std::size_t i = 0;
    while (i < text.size() && identifier_char(text[i]))
        ++i;
    const String rest = cancel_begin_end_spaces(text.substr(i));
    return i > 0 && (rest.empty() || (rest.front() == '(' && rest.back() == ')'));
}

}  // namespace

action_reading read_action(const String& action) {
    action_reading r;
    const String malformed = "not a signal name, alone or with a value in round brackets";
    bool plain = written_as_stored(action);
    std::size_t at = 0;
    const auto skip_blanks = [&] {
        while (at < action.size() && blank_char(action[at]))
            ++at;
    };
    skip_blanks();
    if (at == action.size())
        return r;  // a blank action emits nothing
    String normal;
    for (;;) {
        skip_blanks();
        std::size_t end = at;
        while (end < action.size() && identifier_char(action[end]))
            ++end;
        String word = action.substr(at, end - at);
        const bool emit_word = word == "emit" && end < action.size() && blank_char(action[end]);
        if (emit_word) {
            at = end;
            skip_blanks();
            end = at;
            while (end < action.size() && identifier_char(action[end]))
                ++end;
            word = action.substr(at, end - at);
        }
        // The first emission has its "emit" from the writer, every further one its own.
        plain = plain && emit_word != r.emissions.empty();
        if (identifier_fault(word)) {
            r.fault = malformed;
            return r;
        }
        emission e;
        e.signal = word;
        at = end;
        skip_blanks();
        if (at < action.size() && action[at] == '(') {
            const std::size_t close = value_end(action, at);
            if (close == String::npos) {
                r.fault = "the brackets of its value do not match";
                return r;
            }
            e.valued = true;
            e.value = action.substr(at + 1, close - at - 1);
            at = close + 1;
            skip_blanks();
        }
        normal += (normal.empty() ? "" : "; emit ") + e.signal + (e.valued ? "(" + one_line(e.value) + ")" : "");
        r.emissions.push_back(e);
        if (at == action.size())
            break;
        if (action[at] != ';') {
            r.fault = action[at] == ')' ? "the brackets of its value do not match" : malformed;
            r.emissions.clear();
            return r;
        }
        ++at;
    }
    r.text = plain ? action : normal;
    return r;
}

}  // namespace tessan_strl5
