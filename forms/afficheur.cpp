// The report viewer window: a report paged on screen, exported as text or PDF.
#include "forms/formspp.h"
#include "forms/forms_private.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <FL/forms.H>

#include <cstdlib>
#include <fstream>

#include "text/file_checks.h"

namespace {

const char* const text_file = "tmp.txt";
const char* const pdf_file = "tmp.pdf";

const int title_length = 81;
const int page_label_length = 25;

Fl_Widget* add_button(int x, int y, int w, int h, const char* label) {
    Fl_Widget* button = fl_add_button(FL_NORMAL_BUTTON, x, y, w, h, label);
    button->labelfont(FL_TIMES);
    button->labelsize(14);
    return button;
}

// The name between double quotes, where the shell still reads '$', '`', '"'
// and '\': each is escaped, so that a caller's name runs one program of that
// name and nothing else (a name holding a NUL byte never comes here).
String quoted_for_shell(const String& name) {
    String quoted = "\"";
    for (const char c : name) {
        if (c == '$' || c == '`' || c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// The page text's lines, without the '\n' that ends each one; a column line of
// the report gives an empty line.
void fill_browser(Fl_Browser* browser, const String& page_text) {
    browser->clear();
    std::size_t start = 0;
    while (start < page_text.size()) {
        std::size_t end = page_text.find('\n', start);
        if (end == String::npos)
            end = page_text.size();
        browser->add(page_text.substr(start, end - start).c_str());
        start = end + 1;
    }
}

}  // namespace

OFD_afficheur::OFD_afficheur(Fl_Window* parent, int lang)
    : lang(lang), page(0), screen(nullptr), printer(nullptr), text(nullptr), viewer(),
      form(nullptr), parent(parent), title(nullptr), page_label(nullptr), browser(nullptr),
      previous(nullptr), next(nullptr), cancel(nullptr), pdf(nullptr), text_button(nullptr),
      page_input(nullptr), go(nullptr), copied_lines() {
    if (!fl_display_available())
        return;
    const bool french = lang == 0;
    form = fl_bgn_form(FL_NO_BOX, 920, 700);
    fl_add_box(FL_UP_BOX, 0, 0, 930, 700, "");
    browser = fl_add_browser(FL_HOLD_BROWSER, 10, 50, 910, 570, "");
    browser->box(FL_DOWN_BOX);
    browser->color(49);
    browser->labelfont(FL_TIMES);
    Fl_FormsText* title_text = fl_add_text(FL_NO_BOX, 280, 20, 310, 20, "");
    title_text->labelsize(14);
    title_text->labelfont(FL_HELVETICA_BOLD);
    // Even cut to 81 characters, a title in this font is about twice as wide
    // as its box: unclipped it would be drawn over the page position beside it.
    title_text->align(FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    title = title_text;
    Fl_FormsText* page_text = fl_add_text(FL_NO_BOX, 80, 20, 120, 20, "");
    page_text->align(FL_ALIGN_LEFT);
    page_label = page_text;
    next = add_button(300, 630, 120, 20, french ? "page suivante" : "next page");
    previous = add_button(300, 660, 120, 20, french ? "page precedente" : "previous page");
    cancel = add_button(40, 630, 90, 50, french ? "ANNULER" : "CANCEL");
    pdf = add_button(500, 630, 100, 50, french ? "fichier pdf" : "pdf file");
    text_button = add_button(750, 630, 100, 50, french ? "fichier texte" : "text file");
    page_input = fl_add_input(FL_NORMAL_INPUT, 150, 645, 40, 20, "");
    go = fl_add_button(FL_NORMAL_BUTTON, 190, 645, 20, 20, "");
    tessan_forms::end_form_top_left();
    // Closed from its frame (or by Escape) the window queues itself, which
    // the polling loop takes for "cancel"; hidden alone, it would leave the
    // loop waiting for a button that can no longer be pressed.
    form->callback(Fl_Widget::default_callback);
}

OFD_afficheur::~OFD_afficheur() {
    delete screen;
    delete printer;
    delete text;
    if (form) {
        form->hide();
        delete form;
    }
}

void OFD_afficheur::activation(String* lines, int count, const String& title_text,
                               const String& viewer_name) {
    if (parent)
        parent->deactivate();
    if (lines)
        show_report(lines, count, title_text, viewer_name);
    if (parent)
        parent->activate();
}

void OFD_afficheur::activation(std::list<String>& lines, const String& title_text,
                               const String& viewer_name) {
    if (parent)
        parent->deactivate();
    if (!lines.empty()) {
        copied_lines.assign(lines.begin(), lines.end());
        show_report(copied_lines.data(), static_cast<int>(copied_lines.size()), title_text, viewer_name);
        copied_lines.clear();
        copied_lines.shrink_to_fit();
    }
    if (parent)
        parent->activate();
}

void OFD_afficheur::show_report(String* lines, int count, const String& title_text,
                                const String& viewer_name) {
    if (!form)
        return;
    viewer = viewer_name;
    page = 0;
    screen = new OFD_afficheur_filtre_affichage(lines, count);
    printer = new OFD_afficheur_filtre_impression(lines, count);
    text = new OFD_afficheur_filtre_texte(lines, count);
    visu_page();
    fl_set_object_Slabel(title, title_text, title_length);
    fl_show_form(form, FL_PLACE_MOUSE, FL_TRANSIENT, "");
    for (;;) {
        Fl::check();
        Fl_Widget* read = Fl::readqueue();
        if (read == cancel || read == form)
            break;
        if (read == previous)
            page_precedente();
        else if (read == next)
            page_suivante();
        else if (read == pdf)
            fichier_pdf();
        else if (read == text_button)
            fichier_texte();
        else if (read == go)
            go_to_typed_page();
        if (!form->shown())
            break;
        if (!read)
            tessan_forms::pause_between_polls();
    }
    form->hide();
    // The filters borrow the caller's lines, which may go once we return.
    delete screen;
    delete printer;
    delete text;
    screen = nullptr;
    printer = nullptr;
    text = nullptr;
}

void OFD_afficheur::visu_page() {
    if (!screen || !browser)
        return;
    fill_browser(browser, screen->visu_page(page));
    browser->show();
    const String position = "page " + unslong2S(static_cast<std::uint32_t>(page) + 1) + " / " +
                            unslong2S(static_cast<std::uint32_t>(screen->nb_pages()) + 1) + "    ";
    fl_set_object_Slabel(page_label, position, page_label_length);
    fl_set_Sinput(page_input, unslong2S(static_cast<std::uint32_t>(page) + 1));
}

void OFD_afficheur::page_precedente() {
    if (screen && page > 0) {
        --page;
        visu_page();
    }
}

void OFD_afficheur::page_suivante() {
    if (screen && page < screen->nb_pages()) {
        ++page;
        visu_page();
    }
}

void OFD_afficheur::page_numero(int n) {
    if (screen && n >= 0 && n <= screen->nb_pages() && n != page) {
        page = n;
        visu_page();
    }
}

void OFD_afficheur::go_to_typed_page() {
    // Typed pages count from 1; the smallest number less one does not fit.
    const long long wanted = static_cast<long long>(Stol(page_input->value())) - 1;
    if (wanted >= 0)
        page_numero(static_cast<int>(wanted));
}

// A file that could not be written whole is said so: a "generation" message
// would present a missing or cut file as made.
void OFD_afficheur::export_failed(const String& file, const String& why) {
    fl_show_Salert((lang == 0 ? "impossible d'ecrire le fichier " : "cannot write the file ") + file + ": " + why);
}

void OFD_afficheur::fichier_texte() {
    if (!text)
        return;
    const String why = tessan_forms::write_export(text_file, [this](std::ostream& out) { text->imprime(out); });
    if (!why.empty()) {
        export_failed(text_file, why);
        return;
    }
    fl_show_Smessages(lang == 0 ? "generation du fichier tmp.txt" : "generation of tmp.txt file");
}

void OFD_afficheur::fichier_pdf() {
    if (!printer)
        return;
    const String why = tessan_forms::write_export(pdf_file, [this](std::ostream& out) { printer->imprime_pdf(out); });
    if (!why.empty()) {
        export_failed(pdf_file, why);
        return;
    }
    if (viewer.empty())
        fl_show_Smessages(lang == 0 ? "generation du fichier tmp.pdf" : "generation of tmp.pdf file");
    else
        imprime_tmp_pdf();
}

void OFD_afficheur::imprime_tmp_pdf() {
    // A name holding a NUL byte would reach the shell cut short, naming
    // another program: nothing is run, and the file stays for the user.
    if (tessan_files::holds_nul(viewer)) {
        fl_show_Salert(lang == 0 ? "impossible de lancer le visualiseur : son nom contient un octet nul"
                                 : "cannot run the viewer: its name holds a NUL byte");
        return;
    }
    // The viewer's status is not ours to judge: the file goes either way,
    // unless it is no file the export made (a link, a device of the user's).
    const String command = quoted_for_shell(viewer) + " " + pdf_file;
    [[maybe_unused]] const int shown = std::system(command.c_str());
    if (tessan_files::is_plain_file(pdf_file)) {
        [[maybe_unused]] const int removed = std::system("rm tmp.pdf");
    }
}

void OFD_afficheur::imprime_tmp_ps() {
    [[maybe_unused]] const int shown = std::system("ghostview tmp.ps");
    [[maybe_unused]] const int removed = std::system("rm tmp.ps");
}
