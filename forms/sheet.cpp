// The drawing sheet: clipped lines, shapes, arrows and texts for a caller's
// widget.
//
// Coordinates come from the caller's widget and may be anything an int holds;
// the sheet's own arithmetic is done in 64 bits and brought back into the int
// range, so no coordinate wraps into a line across the window.
#include "forms/formspp.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using wide = std::int64_t;

int to_int(wide v) {
    return static_cast<int>(std::clamp<wide>(v, std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max()));
}

// A double cast to int outside the int range is undefined; truncated
// towards zero like a cast, then held inside the range.
int truncate_to_int(double v) {
    if (std::isnan(v))
        return 0;
    const double lowest = std::numeric_limits<int>::min();
    const double highest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::trunc(v), lowest, highest));
}

}  // namespace

// Every operation: the clip pushed when the box is in use, the colour set,
// the drawing, and the clip popped again. Without a display there is no
// graphics context to clip or draw in.
template <class Draw>
void OFL_vision_sheet::clipped(Fl_Color c, Draw draw) const {
    if (!fl_display_available())
        return;
    const bool clipping = x0 < x1 && y0 < y1;
    if (clipping)
        fl_push_clip(x0, y0, to_int(wide{x1} - x0), to_int(wide{y1} - y0));
    fl_color(c);
    draw();
    if (clipping)
        fl_pop_clip();
}

OFL_vision_sheet::OFL_vision_sheet() : x0(0), y0(0), x1(0), y1(0), colour(FL_BLACK) {}

void OFL_vision_sheet::define(int x, int y, int w, int h, int colour_index) {
    resize(x, y, w, h);
    colour = static_cast<Fl_Color>(colour_index);
}

void OFL_vision_sheet::resize(int x, int y, int w, int h) {
    x0 = x;
    y0 = y;
    x1 = to_int(wide{x} + w);
    y1 = to_int(wide{y} + h);
}

void OFL_vision_sheet::ofl_line(int xa, int ya, int xb, int yb, Fl_Color c) {
    clipped(c, [&] { fl_line(xa, ya, xb, yb); });
}

void OFL_vision_sheet::ofl_dash_line(int xa, int ya, int xb, int yb, Fl_Color c) {
    clipped(c, [&] {
        fl_line_style(FL_DASH, 0, nullptr);
        fl_line(xa, ya, xb, yb);
        fl_line_style(FL_SOLID);
    });
}

void OFL_vision_sheet::ofl_break_line(int xa, int ya, int xb, int yb, Fl_Color c) {
    // A quarter of the way along, moved sideways by half the segment's
    // length, then three quarters of the way, moved as far the other way.
    // Division truncates towards zero, as the turning points always did.
    const wide ax = xa, ay = ya, bx = xb, by = yb;
    const int r = to_int((3 * ax + bx + 2 * (ay - by)) / 4);
    const int s = to_int((3 * ay + by + 2 * (bx - ax)) / 4);
    const int p = to_int((ax + 3 * bx + 2 * (by - ay)) / 4);
    const int q = to_int((ay + 3 * by + 2 * (ax - bx)) / 4);
    clipped(c, [&] {
        fl_line(xa, ya, r, s);
        fl_line(r, s, p, q);
        fl_line(p, q, xb, yb);
    });
}

void OFL_vision_sheet::ofl_rect(int x, int y, int w, int h, Fl_Color c) {
    clipped(c, [&] { fl_rect(x, y, w, h); });
}

void OFL_vision_sheet::ofl_rectf(int x, int y, int w, int h, Fl_Color c) {
    clipped(c, [&] { fl_rectf(x, y, w, h); });
}

void OFL_vision_sheet::ofl_circ(int x, int y, int d, Fl_Color c) {
    clipped(c, [&] { fl_arc(x, y, d, d, 0.0, 360.0); });
}

void OFL_vision_sheet::ofl_circf(int x, int y, int d, Fl_Color c) {
    clipped(c, [&] { fl_pie(x, y, d, d, 0.0, 360.0); });
}

void OFL_vision_sheet::ofl_rectbound(int x, int y, int w, int h, Fl_Color c) {
    clipped(c, [&] { fl_rectbound(x, y, w, h, static_cast<int>(c)); });
}

void OFL_vision_sheet::ofl_circbound(int x, int y, int d, Fl_Color c) {
    clipped(c, [&] {
        fl_pie(x, y, d, d, 0.0, 360.0);
        fl_color(FL_BLACK);
        fl_arc(x, y, d, d, 0.0, 360.0);
    });
}

void OFL_vision_sheet::ofl_arrowbound(int xa, int ya, int xb, int yb, Fl_Color c) {
    const wide dx = wide{xb} - xa;
    const wide dy = wide{yb} - ya;
    const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    const int side = truncate_to_int(2 * length);
    const float degrees = static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) *
                                             180.0 / M_PI);
    clipped(c, [&] {
        fl_pie(xb, yb, side, side, 160.0 - degrees, 200.0 - degrees);
        // The wedge is left without an outline; callers take black as the
        // colour in use afterwards.
        fl_color(FL_BLACK);
    });
}

void OFL_vision_sheet::ofl_drw_arrow_line(int xa, int ya, int xb, int yb, int length,
                                          double angle, Fl_Color c) {
    // Each offset is truncated on its own before it moves the tip.
    const auto offset = [length](double factor) { return wide{truncate_to_int(factor * length)}; };
    const wide tx = xb, ty = yb;
    wide b1x, b1y, b2x, b2y;
    if (xb == xa) {
        // Barbs above a tip reached going down, below one reached going up.
        const wide back = ya < yb ? -offset(std::cos(angle)) : offset(std::cos(angle));
        b1x = tx - offset(std::sin(angle));
        b2x = tx + offset(std::sin(angle));
        b1y = b2y = ty + back;
    } else if (yb == ya) {
        const wide back = xb > xa ? -offset(std::cos(angle)) : offset(std::cos(angle));
        b1x = b2x = tx + back;
        b1y = ty - offset(std::sin(angle));
        b2y = ty + offset(std::sin(angle));
    } else {
        const double slope = std::atan((static_cast<double>(yb) - ya) / (static_cast<double>(xb) - xa));
        const wide sign = xb > xa ? -1 : 1;
        b1x = tx + sign * offset(std::cos(slope - angle));
        b1y = ty + sign * offset(std::sin(slope - angle));
        b2x = tx + sign * offset(std::cos(slope + angle));
        b2y = ty + sign * offset(std::sin(slope + angle));
    }
    clipped(c, [&] {
        fl_line(to_int(b1x), to_int(b1y), xb, yb);
        fl_line(to_int(b2x), to_int(b2y), xb, yb);
        fl_line(xa, ya, xb, yb);
    });
}

void OFL_vision_sheet::ofl_drw_text(Fl_Align align, int x, int y, int w, int h, Fl_Color c,
                                    int size, int font, const char* text) {
    if (!text)
        return;
    clipped(c, [&] {
        fl_font(static_cast<Fl_Font>(font), static_cast<Fl_Fontsize>(size));
        fl_draw(text, x, y, w, h, align, nullptr, 1);
    });
}

void OFL_vision_sheet::ofl_drw_String(Fl_Align align, int x, int y, int w, int h, Fl_Color c,
                                      int font, int size, const String& text) {
    ofl_drw_text(align, x, y, w, h, c, size, font, text.c_str());
}
