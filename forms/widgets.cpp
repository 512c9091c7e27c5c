// Wrappers that hand a String to FLTK widgets, and aligned text drawing.
#include "forms/formspp.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Input_.H>
#include <FL/fl_draw.H>
#include <FL/forms.H>

#include <cstring>

void fl_set_Sinput(Fl_Widget* input, const String& s) {
    static_cast<Fl_Input_*>(input)->value(s.data(), static_cast<int>(s.size()));
}

void fl_add_browser_Sline(Fl_Widget* browser, const String& s) {
    static_cast<Fl_Browser*>(browser)->add(s.c_str());
}

void fl_replace_browser_Sline(Fl_Widget* browser, int line, const String& s) {
    // FLTK ignores a line outside 1..size().
    static_cast<Fl_Browser*>(browser)->text(line, s.c_str());
}

bool fl_add_browser_Sline_if_new(Fl_Browser* browser, const String& s) {
    // Lines are read in order, which FLTK's line cache serves in constant time.
    const int lines = browser->size();
    for (int line = 1; line <= lines; ++line) {
        const char* text = browser->text(line);
        if (text && std::strlen(text) == s.size() && s.compare(text) == 0)
            return false;
    }
    browser->add(s.c_str());
    return true;
}

void fl_set_object_Slabel(Fl_Widget* widget, const String& s, int maxlen) {
    if (maxlen >= 0 && s.size() > static_cast<std::size_t>(maxlen))
        widget->copy_label(s.substr(0, static_cast<std::size_t>(maxlen)).c_str());
    else
        widget->copy_label(s.c_str());
}

Fl_FormsText* fl_add_Stext(Fl_Boxtype box, int x, int y, int w, int h, const String& s) {
    Fl_FormsText* text = fl_add_text(box, x, y, w, h, nullptr);
    // The widget owns its copy of the label and frees it with itself.
    text->copy_label(s.c_str());
    text->align(FL_ALIGN_LEFT);
    return text;
}

void fl_drw_String(Fl_Align align, int x, int y, int w, int h, Fl_Color colour,
                   int size, int font, const String& s) {
    fl_font(static_cast<Fl_Font>(font), static_cast<Fl_Fontsize>(size));
    fl_color(colour);
    fl_draw(s.c_str(), x, y, w, h, align, nullptr, 1);
}
