// formspp: the Forms toolkit, the thin layer through which the system talks to
// the user and draws, over FLTK 1.3 and its Forms compatibility layer.
//
// Dialogs take and return `String`; every text is shown literally (never read
// as a printf format). Windows are built as Forms forms with coordinates from
// the top-left corner, as given here, not Forms' flipped y.
//
// The compiler is a command-line program first, so the toolkit never lets FLTK
// discover a missing display by itself (FLTK would print "Can't open display"
// and end the process). `fl_display_available()` probes once, before the first
// window; without a display each window falls back to a headless behaviour:
// messages go to standard error, questions answer 0 (as if closed), inputs
// answer as if cancelled, the wait window does nothing, and the caller goes on.
//
// Ownership: dialogs own nothing after they return. The long-message window
// lives for one call. `OFD_wait_form` owns its window until it is destroyed.
// Widgets handed to the wrappers stay owned by the caller.
#ifndef TESSAN_FORMS_FORMSPP_H
#define TESSAN_FORMS_FORMSPP_H

#include "forms/report/report.h"
#include "text/Stringpp.h"

#include <FL/Enumerations.H>

#include <list>
#include <vector>

class Fl_Widget;
class Fl_Window;
class Fl_Browser;
class Fl_FormsText;

// ---- Display --------------------------------------------------------------

// Whether windows can be shown. The first call opens the display named by
// DISPLAY and hands it to FLTK; later calls answer from that one probe.
bool fl_display_available();

// ---- Message, alert, question and input windows ---------------------------

void fl_show_Smessages(const String& text);
void fl_show_Salert(const String& text);
// 1 for the second button (yes), 0 for the first (no) or a closed dialog.
int fl_show_Squestion(const String& question, int unused = 0);
// The text typed, or "" when cancelled.
String fl_show_Sinput(const String& question, const String& default_answer);
// On cancel (or without display) the default comes back and `cancelled` is
// set; an answer that does not start with a number also gives the default.
int fl_show_int(const char* question, int default_value, bool& cancelled);
double fl_show_double(const char* question, double default_value);
double fl_show_double(const String& question, double default_value);

// FLTK's three-line Forms message and Forms file selector, made safe without
// a display: the message goes to standard error (its non-empty lines), and the
// selector answers "" as if cancelled. The selector also answers "" when the
// user cancels.
void fl_show_Smessage(const String& line1, const String& line2, const String& line3);
String fl_show_Sfile_selector(const String& message, const String& directory,
                              const String& pattern, const String& default_file);

// ---- Widget and browser wrappers --------------------------------------------

void fl_set_Sinput(Fl_Widget* input, const String& s);
void fl_add_browser_Sline(Fl_Widget* browser, const String& s);
// Lines count from 1.
void fl_replace_browser_Sline(Fl_Widget* browser, int line, const String& s);
// Adds s unless a line already holds exactly s; says whether it added.
bool fl_add_browser_Sline_if_new(Fl_Browser* browser, const String& s);
// A negative maxlen keeps the whole text.
void fl_set_object_Slabel(Fl_Widget* widget, const String& s, int maxlen);
Fl_FormsText* fl_add_Stext(Fl_Boxtype box, int x, int y, int w, int h, const String& s);
void fl_drw_String(Fl_Align align, int x, int y, int w, int h, Fl_Color colour,
                   int size, int font, const String& s);

// ---- Drawing in the current FLTK graphics context ---------------------------

void fl_ovalf(int x, int y, int w, int h, Fl_Color colour);
void fl_ovalf(int x, int y, int w, int h, int colour);
// (x, y) is the top-left corner of the disc's bounding square, d its diameter.
void fl_circf(int x, int y, int d, Fl_Color colour);
void fl_circf(int x, int y, int d, int colour);
// Filled in the colour, outlined in black.
void fl_rectbound(int x, int y, int w, int h, int colour);
void fl_rectbound(int& x, int& y, int& w, int& h, Fl_Color& colour);
// Both forms match a colour variable equally, so such a call is ambiguous:
// pass a value (`Fl_Color(c)`) or a constant.
void fl_line(int x, int y, int x1, int y1, Fl_Color colour);
void fl_line(int x, int y, int x1, int y1, Fl_Color& colour);

// ---- Geometry -------------------------------------------------------------

// Whether (px, py) lies on the segment (x1, y1)-(x2, y2) within tol, never
// outside the segment's bounding box.
bool point_dans_segment(double px, double py, double x1, double y1,
                        double x2, double y2, double tol);

// ---- Windows --------------------------------------------------------------

// A modal window listing text line by line (width*6 pixels of list), with
// "Quit" and "save" (which writes the text unchanged to a chosen file).
void fl_show_Sbigmessages(const String& text, int width);
// The credit window.
void fl_show_ms();

// The work-in-progress window: drawn before the constructor returns, left up
// without event handling while the caller works, taken down by the destructor.
class OFD_wait_form {
public:
    explicit OFD_wait_form(const String& text);
    ~OFD_wait_form();
    OFD_wait_form(const OFD_wait_form&) = delete;
    OFD_wait_form& operator=(const OFD_wait_form&) = delete;

private:
    Fl_Window* window;
    Fl_Widget* text_widget;
};

// ---- Report viewer ----------------------------------------------------------

// A window that pages through a report (the line format of report.h) and
// exports it to "tmp.txt" or "tmp.pdf" in the current directory; a PDF is
// handed to the viewer program named by the caller, then deleted. Labels and
// messages are French for lang 0, English otherwise.
//
// `activation` shows the window and returns when the user cancels or closes
// it; the caller's window is inactive meanwhile. The viewer owns its window
// and, for the length of one activation, the filters and the copy of a list
// report; it only borrows an array report, which must live until the call
// returns. Without a display nothing is shown and activation returns at once.
class Fl_Input;

class OFD_afficheur {
public:
    OFD_afficheur(Fl_Window* parent, int lang);
    ~OFD_afficheur();
    OFD_afficheur(const OFD_afficheur&) = delete;
    OFD_afficheur& operator=(const OFD_afficheur&) = delete;

    void activation(String* lines, int count, const String& title, const String& viewer);
    void activation(std::list<String>& lines, const String& title, const String& viewer);

    // These act on the report being shown, and do nothing outside activation.
    void visu_page();
    void page_precedente();
    void page_suivante();
    // Pages count from 0; a page outside the report changes nothing.
    void page_numero(int n);
    void fichier_texte();
    void fichier_pdf();
    void imprime_tmp_pdf();
    void imprime_tmp_ps();

private:
    void show_report(String* lines, int count, const String& title, const String& viewer);
    void go_to_typed_page();
    void export_failed(const String& file);

    int lang;
    int page;
    OFD_afficheur_filtre_affichage* screen;
    OFD_afficheur_filtre_impression* printer;
    OFD_afficheur_filtre_texte* text;
    String viewer;
    Fl_Window* form;
    Fl_Window* parent;
    Fl_Widget* title;
    Fl_Widget* page_label;
    Fl_Browser* browser;
    Fl_Widget* previous;
    Fl_Widget* next;
    Fl_Widget* cancel;
    Fl_Widget* pdf;
    Fl_Widget* text_button;
    Fl_Input* page_input;
    Fl_Widget* go;
    std::vector<String> copied_lines;  // the list form's report
};

#endif
