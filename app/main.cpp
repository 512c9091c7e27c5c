// tessan: compiles one chart (.gal) into an Esterel v5 module (.strl).
//
//   tessan <file>   reads <base>.gal and writes <base>.strl, where <base> is
//                   <file> without its extension
//   tessan -h       the help, tessan -v the version
//   tessan          asks for the chart with a file selector
//
// The exit status says whether the module was written: 0 after the help, the
// version and a compiled chart; 1 when the chart cannot be read, the module
// cannot be written, the selector is cancelled or the arguments are wrong.
// Without a display every window's text goes to standard error, except the
// help and the version, which are the answer asked for and go to standard
// output.
#include "chart/gal_norm.h"
#include "forms/formspp.h"
#include "reader/parse_gal.h"
#include "text/Stringpp.h"

#include <signal.h>

#include <algorithm>
#include <initializer_list>
#include <iostream>
#include <memory>

namespace {

const String version = "0.0.3";
const String title = "synchronous chart compiler";

String help_text() {
    String text = "        TESSAN: " + title + "\n\n" +
                  "        written by the tessan developers, version " + version + "\n\n";
    for (const char* line : {"   syntax:", "         tessan <filename>", "         or tessan -v",
                             "         or tessan -h", "   options:", "      -h : this help",
                             "      -v : version of this compiler"})
        text += String(line) + "\n\n";
    return text;
}

String version_text() { return "  TESSAN: " + title + ": version " + version + "\n\n"; }

void show_answer(const String& text) {
    if (fl_display_available()) {
        fl_show_Smessages(text);
    } else {
        std::cout << text;
        std::cout.flush();
    }
}

// Reads base.gal and writes base.strl; `message` tells what came of it.
bool compile(const String& base, String& message) {
    const std::unique_ptr<gal_tpen_fichier> chart(parse(base + ".gal"));
    if (!chart) {
        message = "Error parsing " + base + ".gal\n";
        return false;
    }
    const String output = base + ".strl";
    if (!chart->put_strl5(output, chart->mon_nom_module())) {
        message = "Error writing " + output + "\n";
        return false;
    }
    message = "generation of " + output + "\n";
    return true;
}

int compile_from_selector() {
    if (!fl_display_available()) {
        std::cerr << "tessan needs a chart file name (there is no display for the file "
                     "selector): write tessan <filename>\n";
        return 1;
    }
    const String path = fl_show_Sfile_selector("file selection", "", "*.gal", "");
    if (path.empty()) {
        fl_show_Smessage("", "FILE NOT FOUND!", "");
        return 1;
    }
    // Only a final ".gal" is cut: the chart chosen in "proj.gal.d/b.gal" is
    // b.gal, not proj.gal, whose module would be overwritten.
    const std::size_t base_length = path.size() - std::min<std::size_t>(path.size(), 4);
    if (path.compare(base_length, String::npos, ".gal") != 0) {
        fl_show_Smessage("ERROR IN LOADING FILE:", path, "");
        return 1;
    }
    String message;
    const bool compiled = compile(path.substr(0, base_length), message);
    fl_show_Smessages(message);
    return compiled ? 0 : 1;
}

int run_argument(const String& argument) {
    if (argument == "-h") {
        std::cout << "\n";
        std::cout.flush();
        show_answer(help_text());
        return 0;
    }
    if (argument == "-v") {
        show_answer(version_text());
        return 0;
    }
    // The reader and the writer have said on standard error what went wrong.
    String message;
    if (!compile(supress_filename_extension(argument), message))
        return 1;
    std::cout << message;
    return 0;
}

int run(int argc, char** argv) {
    if (argc < 2)
        return compile_from_selector();
    if (argc == 2)
        return run_argument(argv[1]);
    String report;
    for (int i = 2; i < argc; ++i)
        report += "`" + String(argv[i]) + "' unknown option: write tessan -h to know the list\n\n";
    fl_show_Smessages(report);
    return 1;
}

}  // namespace

// A reader of the standard output that goes away (tessan x.gal | head -0)
// must not end the run before the module is written: the lost report is a
// failed write like any other, said on standard error.
int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    const int status = run(argc, argv);
    if (std::cout.flush())
        return status;
    // The write that failed may lie far back (the reader flushes its first
    // line), so errno no longer tells why.
    std::cerr << "ERROR: cannot write the standard output\n";
    return 1;
}
