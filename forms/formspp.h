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
// DISPLAY and hands it to FLTK, asking again for two seconds at most while a
// named server does not answer (it may be starting or resetting); later calls
// answer from that one probe.
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
    void export_failed(const String& file, const String& why);

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

// ---- Drawing sheet ----------------------------------------------------------

// A clip box for the caller's own widget, and the shapes, arrows and texts
// drawn inside it. Every operation draws with FLTK's current graphics context
// (so it belongs in a widget's draw code), clipped to the box, and leaves the
// clip as it found it. The box is in window pixels from the top-left; an empty
// or inverted box clips nothing. Circles are given by the top-left corner of
// their bounding square and its side. Coordinates may be anything an int
// holds, past the 16 bits the window system carries: what shows in the box
// is what the shape would show on an unbounded plane. Without a display
// nothing is drawn. The sheet owns no widget and no FLTK resource.
class OFL_vision_sheet {
public:
    OFL_vision_sheet();
    void define(int x, int y, int w, int h, int colour);
    // The box only; the colour stays.
    void resize(int x, int y, int w, int h);

    void ofl_line(int x1, int y1, int x2, int y2, Fl_Color colour);
    // Leaves the line style solid.
    void ofl_dash_line(int x1, int y1, int x2, int y2, Fl_Color colour);
    // A zigzag of three lines across the segment.
    void ofl_break_line(int x1, int y1, int x2, int y2, Fl_Color colour);
    void ofl_rect(int x, int y, int w, int h, Fl_Color colour);
    void ofl_rectf(int x, int y, int w, int h, Fl_Color colour);
    void ofl_circ(int x, int y, int d, Fl_Color colour);
    void ofl_circf(int x, int y, int d, Fl_Color colour);
    // Filled in the colour, outlined in black.
    void ofl_rectbound(int x, int y, int w, int h, Fl_Color colour);
    void ofl_circbound(int x, int y, int d, Fl_Color colour);
    // A filled 40-degree wedge of the disc whose bounding square has its
    // top-left corner at (x2, y2) and twice the segment's length as side,
    // pointing from the disc's centre back along the segment's direction
    // (towards where the segment comes from); the colour is black afterwards.
    void ofl_arrowbound(int x1, int y1, int x2, int y2, Fl_Color colour);
    // The shaft and two barbs of length `length` at `angle` radians from it.
    void ofl_drw_arrow_line(int x1, int y1, int x2, int y2, int length, double angle,
                            Fl_Color colour);
    // FLTK's symbol sequences ("@->") in the text are drawn as symbols.
    void ofl_drw_text(Fl_Align align, int x, int y, int w, int h, Fl_Color colour,
                      int size, int font, const char* text);
    // Note the order of font and size, the reverse of ofl_drw_text.
    void ofl_drw_String(Fl_Align align, int x, int y, int w, int h, Fl_Color colour,
                        int font, int size, const String& text);

private:
    template <class Draw>
    void clipped(Fl_Color colour, Draw draw) const;

    int x0, y0;  // top-left corner of the clip box
    int x1, y1;  // one past its right and bottom edges
    Fl_Color colour;  // stored by define; no drawing reads it
};

// ---- Signal simulator panels -------------------------------------------------

// Panels through which a user drives a step-by-step simulation by hand. The
// caller owns the loop: it asks the input panel for the values of a step
// (1 present, 0 absent; signal i is element i - 1), computes the outputs and
// hands them to the output panel, whose lamps show 1 blue, 0 yellow and any
// other value red (2 until the first eval).
//
// A panel makes its own window (shown at once, owned and freed by the panel)
// or puts its widgets in FLTK's current group for a window of the caller's,
// which the caller shows and frees; the panel's destructor hides either, and
// takes the widgets it put in the caller's window out of it and frees them
// (pointers to them, such as my_plus_button's, die with the panel): the
// caller's window goes on without them. A caller's window must outlive the
// panels placed in it. A negative height is taken as 0. Without a display
// a panel makes no widget: the input panel answers QUIT at once, the output
// panel only keeps its values and pages.

class Fl_Box;
class Fl_Check_Browser;

class OFD_simulator_input {
public:
    // Own window, 400 by h, titled "Inputs Pannel".
    explicit OFD_simulator_input(int h);
    // Widgets shifted right by x in the current group; w is only hidden by
    // the destructor.
    OFD_simulator_input(Fl_Window* w, int x, int h);
    ~OFD_simulator_input();
    OFD_simulator_input(const OFD_simulator_input&) = delete;
    OFD_simulator_input& operator=(const OFD_simulator_input&) = delete;

    void add(const String& name);
    // Polls until GO, INIT or QUIT. GO writes every signal's check into
    // values and unchecks the signals not marked sticky; INIT unchecks every
    // signal. A panel that can no longer be answered (its window closed or
    // never shown) answers QUIT.
    void check(int* init, int* quit, int* values);
    // One poll: quit set from a QUIT just read, otherwise the signals are
    // checked from values.
    void eval(int* quit, int* values);

private:
    bool answerable() const;

    Fl_Window* window;
    Fl_Widget* quit_button;
    Fl_Widget* go_button;
    Fl_Widget* init_button;
    Fl_Check_Browser* signals;
    Fl_Check_Browser* sticky;
    std::list<String> names;
    int count;
    bool own_window;
    std::vector<Fl_Widget*> made;  // every widget of the panel, for the destructor
};

class OFD_simulator_output {
public:
    // Own window, 240 by h, titled title. A page holds (h - 85) / 16 signals,
    // each name on a line of 16 pixels beside its lamp: one for any height
    // below 101, however low, and 32768, the most, from a height of 524373 up
    // (no window is that tall), as there is a lamp for each row.
    OFD_simulator_output(int h, const char* title);
    // Widgets at offset x in the current group, the title as a text label.
    OFD_simulator_output(Fl_Window* w, int x, int h, const char* title);
    ~OFD_simulator_output();
    OFD_simulator_output(const OFD_simulator_output&) = delete;
    OFD_simulator_output& operator=(const OFD_simulator_output&) = delete;

    // A new signal of value 2; the page moves forward by one when the new
    // signal lies beyond the page shown.
    void add(const String& name);
    // Takes one value for each signal added.
    void eval(const int* values);
    void next_page();
    void previous_page();
    Fl_Widget* my_plus_button();
    Fl_Widget* my_moins_button();
    void check();
    // Colours lamp r from its signal's value; nothing for a row outside the
    // page or without a signal.
    void internal_colorise(int r);

private:
    static int rows_for(int h);
    void make_lamps();
    void hide_lamps();
    void show_page();

    Fl_Window* window;
    int x;
    std::vector<String> names;
    std::vector<int> values;
    int page;
    int rows;
    std::vector<Fl_Box*> lamps;
    Fl_Browser* browser;
    Fl_Widget* plus;
    Fl_Widget* minus;
    bool own_window;
    std::vector<Fl_Widget*> made;  // every widget of the panel, for the destructor
};

// The page buttons' callbacks; data is the panel.
void OFD_simulator_output_callback_plus(Fl_Widget* button, void* data);
void OFD_simulator_output_callback_moins(Fl_Widget* button, void* data);

#endif
