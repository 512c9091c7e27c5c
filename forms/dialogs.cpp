// Message, alert, question and input windows taking and returning String.
// Every text reaches FLTK through a "%s" format, so a '%' in it is shown as
// it stands.
#include "forms/formspp.h"
#include "forms/forms_private.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/forms.H>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <vector>

using tessan_forms::report_on_stderr;

namespace {

// The answer typed into an fl_input dialog, or null when it was cancelled
// or when there is no display to ask on.
const char* ask(const char* question, const char* default_answer) {
    if (!fl_display_available())
        return nullptr;
    return fl_input("%s", default_answer, question);
}

// sscanf("%d") leaves an out-of-range number undefined; here a number that
// does not fit, like a text that is no number, keeps the default.
int read_int(const char* text, int fallback) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return fallback;
    return static_cast<int>(value);
}

double read_double(const char* text, double fallback) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return end == text ? fallback : value;
}

// "%f" of a large double is longer than any fixed buffer: size it first.
std::vector<char> format_double(double value) {
    const int length = std::snprintf(nullptr, 0, "%f", value);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%f", value);
    return text;
}

}  // namespace

void fl_show_Smessages(const String& text) {
    if (!fl_display_available()) {
        report_on_stderr(text);
        return;
    }
    fl_message("%s", text.c_str());
}

void fl_show_Salert(const String& text) {
    if (!fl_display_available()) {
        report_on_stderr(text);
        return;
    }
    fl_alert("%s", text.c_str());
}

int fl_show_Squestion(const String& question, int) {
    if (!fl_display_available())
        return 0;
    return fl_choice("%s", fl_no, fl_yes, nullptr, question.c_str());
}

String fl_show_Sinput(const String& question, const String& default_answer) {
    const char* answer = ask(question.c_str(), default_answer.c_str());
    return answer ? String(answer) : String();
}

int fl_show_int(const char* question, int default_value, bool& cancelled) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", default_value);
    const char* answer = ask(question, buffer);
    cancelled = answer == nullptr;
    return answer ? read_int(answer, default_value) : default_value;
}

double fl_show_double(const char* question, double default_value) {
    const std::vector<char> buffer = format_double(default_value);
    const char* answer = ask(question, buffer.data());
    return answer ? read_double(answer, default_value) : default_value;
}

double fl_show_double(const String& question, double default_value) {
    return fl_show_double(question.c_str(), default_value);
}

void fl_show_Smessage(const String& line1, const String& line2, const String& line3) {
    if (!fl_display_available()) {
        String text;
        for (const String* line : {&line1, &line2, &line3})
            if (!line->empty())
                text += *line + "\n";
        report_on_stderr(text);
        return;
    }
    fl_show_message(line1.c_str(), line2.c_str(), line3.c_str());
}

String fl_show_Sfile_selector(const String& message, const String& directory,
                              const String& pattern, const String& default_file) {
    if (!fl_display_available())
        return String();
    const char* chosen = fl_show_file_selector(message.c_str(), directory.c_str(),
                                               pattern.c_str(), default_file.c_str());
    return chosen ? String(chosen) : String();
}

void fl_show_ms() {
    fl_show_Smessages(
        "tessan 0.0.3\n"
        "\n"
        "compiler of synchronous state charts\n"
        "into Esterel v5 modules\n");
}
