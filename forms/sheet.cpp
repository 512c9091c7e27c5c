// The drawing sheet: clipped lines, shapes, arrows and texts for a caller's
// widget.
//
// Coordinates come from the caller's widget and may be anything an int holds;
// the sheet's own arithmetic is done in 64 bits, so no coordinate wraps into a
// line across the window. The window system carries less than an int: see
// "Shapes past the window system's range" below.
#include "forms/formspp.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

namespace {

using wide = std::int64_t;
using real = long double;

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

// ---- Shapes past the window system's range -----------------------------------
//
// X11 carries the coordinates of a drawing request in 16 bits (a width or
// height in 16 bits unsigned), and FLTK 1.3 hands ours over as they are: a line
// to x = 65566 reaches the server as a line to x = 30, and a disc that covers
// the window as one that lies elsewhere. A shape that fits goes to FLTK
// exactly as it always did, so that it keeps every pixel; any other is first
// cut, in wide arithmetic, to the view (the part of the plane that can show in
// the box), and only what lies there is handed over.

bool carried(wide v) {
    return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
}

bool carried_segment(wide ax, wide ay, wide bx, wide by) {
    return carried(ax) && carried(ay) && carried(bx) && carried(by);
}

// FLTK draws nothing for an empty square, and hands any other to X11 as its
// top-left corner and a side of d - 1.
bool carried_square(wide x, wide y, wide d) {
    return d <= 0 || (carried(x) && carried(y) && d - 1 <= std::numeric_limits<std::uint16_t>::max());
}

// FLTK draws nothing for an empty box, and cuts any other to 16 bits itself,
// but only after adding its width to its corner in int.
bool carried_box(wide x, wide y, wide w, wide h) {
    return w <= 0 || h <= 0 || (carried(x) && carried(y) && carried(x + w) && carried(y + h));
}

// Wider than any line a caller draws with, so that a shape cut at the edge of
// the view shows no end or cap inside the box.
const wide margin = 64;
// The view stays inside this square, and a cut segment ends at most
// `longest_snap` pixels beyond the view: every point handed over is carried.
const wide reach = 30000;
const wide longest_snap = 1024;
// FLTK's dashes for a line of width 0: 3 pixels on, 1 off.
const wide dash_period = 4;

const real pi = 3.141592653589793238462643383279502884L;

// The view in pixels, bounds included: the box widened by the margin, or the
// whole square when the box clips nothing.
struct View {
    wide left, top, right, bottom;
    bool empty() const { return left > right || top > bottom; }
};

View view_of(bool clipping, wide x0, wide y0, wide x1, wide y1) {
    if (!clipping)
        return {-reach, -reach, reach, reach};
    return {std::max(x0 - margin, -reach), std::max(y0 - margin, -reach),
            std::min(x1 - 1 + margin, reach), std::min(y1 - 1 + margin, reach)};
}

// The parameters t0 <= t1 between which a + t (b - a) lies inside the view;
// false when no part of the segment does.
bool inside_parameters(const View& v, real ax, real ay, real bx, real by, real& t0, real& t1) {
    t0 = 0;
    t1 = 1;
    const real dx = bx - ax, dy = by - ay;
    const real towards[4] = {-dx, dx, -dy, dy};
    const real room[4] = {ax - v.left, v.right - ax, ay - v.top, v.bottom - ay};
    for (int side = 0; side < 4; ++side) {
        if (towards[side] == 0) {
            if (room[side] < 0)
                return false;
            continue;
        }
        const real t = room[side] / towards[side];
        if (towards[side] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

// n / d rounded to the nearest integer, halves away from zero; d > 0.
wide rounded_quotient(__int128 n, wide d) {
    __int128 q = n / d;
    const __int128 r = n % d;
    if (2 * (r < 0 ? -r : r) >= d)
        q += n < 0 ? -1 : 1;
    return static_cast<wide>(q);
}

// The segment from a to b, in the current colour and line style. One that
// is carried is handed over whole; of any other, only the part in the view,
// from a pixel of the segment before the view to one after it. Each is the
// one, among the pixels up to `longest_snap` away, that lies nearest to the
// segment itself: a point of the integer grid on it when there is one, and
// then the pixels in between are exactly those of the whole segment. Dashes
// run from the first end, so the part starts a whole number of dash periods
// (`period` pixels along the longer axis) from there.
void draw_segment(const View& v, wide ax, wide ay, wide bx, wide by, wide period = 1) {
    if (carried_segment(ax, ay, bx, by)) {
        fl_line(static_cast<int>(ax), static_cast<int>(ay), static_cast<int>(bx), static_cast<int>(by));
        return;
    }
    real t0, t1;
    if (v.empty() || !inside_parameters(v, ax, ay, bx, by, t0, t1))
        return;  // a single point outside the carried range is outside the view too
    const bool x_major = std::llabs(bx - ax) >= std::llabs(by - ay);
    const wide major = x_major ? bx - ax : by - ay;
    const wide minor = x_major ? by - ay : bx - ax;
    const wide length = std::llabs(major);
    // How far across the segment passes from the pixel `along` pixels from a,
    // in 1/length of a pixel.
    const auto miss = [&](wide along) {
        const __int128 r = static_cast<__int128>(minor) * along % length;
        const wide away = static_cast<wide>(r < 0 ? -r : r);
        return std::min(away, length - away);
    };
    const auto nearest = [&](wide from, wide step, wide end) {
        wide best = from;
        for (wide along = from; miss(best) != 0 && (step > 0 ? along <= end : along >= end); along += step)
            if (miss(along) < miss(best))
                best = along;
        return best;
    };
    const wide entry = static_cast<wide>(std::floor(t0 * length / period)) * period;
    const wide first = nearest(entry, -period, std::max<wide>(0, entry - longest_snap));
    const wide exit = std::min(length, static_cast<wide>(std::ceil(t1 * length)));
    const wide last = nearest(exit, 1, std::min(length, exit + longest_snap));
    const auto point = [&](wide along, int& x, int& y) {
        const wide forward = major > 0 ? along : -along;
        const wide across = rounded_quotient(static_cast<__int128>(minor) * along, length);
        x = static_cast<int>(x_major ? ax + forward : ax + across);
        y = static_cast<int>(x_major ? ay + across : ay + forward);
    };
    int sx, sy, ex, ey;
    point(first, sx, sy);
    point(last, ex, ey);
    fl_line(sx, sy, ex, ey);
}

// The box at (x, y) of w by h handed to `draw` as it is when it is carried,
// else cut to the view first; an edge cut away lies outside the box by the
// margin.
template <class Draw>
void draw_box(const View& v, int x, int y, int w, int h, Draw draw) {
    if (carried_box(x, y, w, h))
        return draw(x, y, w, h);
    const wide left = std::max<wide>(x, v.left), right = std::min(wide{x} + w, v.right + 1);
    const wide top = std::max<wide>(y, v.top), bottom = std::min(wide{y} + h, v.bottom + 1);
    if (left < right && top < bottom)
        draw(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
             static_cast<int>(bottom - top));
}

// A circle as FLTK has X11 draw it for the square of side d at (x, y): the
// ring through the pixels at (d - 1) / 2 from the square's middle. Angles are
// FLTK's, in radians: from the x axis, counterclockwise on the screen.
struct Circle {
    real cx, cy, r;
};

Circle circle_of(wide x, wide y, wide d) {
    const real r = (static_cast<real>(d) - 1) / 2;
    return {x + r, y + r, r};
}

// Whether the direction (dx, dy), y downwards, lies within [from, to]; a
// whole turn holds every direction.
bool within_angles(real dx, real dy, real from, real to) {
    if (to - from >= 2 * pi)
        return true;
    real a = std::remainder(std::atan2(-dy, dx) - from, 2 * pi);
    if (a < 0)
        a += 2 * pi;
    return a <= to - from;
}

// The half of a circle's height (or width) at distance `off` from its
// centre, computed so that a huge radius keeps its precision.
real half_chord(real r, real off) {
    return std::sqrt(std::max(real{0}, (r - off) * (r + off)));
}

// The lowest and highest whole numbers in [low, high] and in the view's
// range [first, last]; empty when first > last.
std::pair<wide, wide> pixels_between(real low, real high, wide first, wide last) {
    const real l = std::max<real>(std::ceil(low), first);
    const real h = std::min<real>(std::floor(high), last);
    return l > h ? std::pair<wide, wide>{1, 0} : std::pair<wide, wide>{static_cast<wide>(l), static_cast<wide>(h)};
}

// The ring over [from, to], pixel by pixel inside the view: on each column
// where the circle is flatter than a diagonal, the pixels nearest to it above
// and below the centre; on each row where it is steeper, those left and right.
// They go to FLTK as polylines through neighbouring pixels, so that a line
// width set by the caller still applies.
void draw_far_arc(const View& v, const Circle& c, real from, real to) {
    if (v.empty())
        return;
    std::vector<std::pair<int, int>> run;
    const auto flush = [&run] {
        if (run.size() == 1) {
            fl_point(run[0].first, run[0].second);
        } else if (run.size() > 1) {
            fl_begin_line();
            for (const auto& [x, y] : run)
                fl_transformed_vertex(x, y);
            fl_end_line();
        }
        run.clear();
    };
    const auto visit = [&](wide x, wide y) {
        if (x < v.left || x > v.right || y < v.top || y > v.bottom || !within_angles(x - c.cx, y - c.cy, from, to))
            return flush();
        run.emplace_back(static_cast<int>(x), static_cast<int>(y));
    };
    const real flat = c.r * std::sqrt(real{0.5});
    for (const int side : {-1, 1}) {
        const auto [first, last] = pixels_between(c.cx - flat, c.cx + flat, v.left, v.right);
        for (wide x = first; x <= last; ++x)
            visit(x, std::llround(c.cy + side * half_chord(c.r, x - c.cx)));
        flush();
    }
    for (const int side : {-1, 1}) {
        const auto [first, last] = pixels_between(c.cy - flat, c.cy + flat, v.top, v.bottom);
        for (wide y = first; y <= last; ++y)
            visit(std::llround(c.cx + side * half_chord(c.r, y - c.cy)), y);
        flush();
    }
}

// The disc, or its slice over [from, to] when that is less than half a turn,
// as FLTK has X11 fill it: the pixels inside the ring, then the ring over the
// same angles. Filled row by row inside the view, rows that span the same
// pixels as one rectangle: a disc that covers the view is one request.
void fill_far_pie(const View& v, const Circle& c, real from, real to) {
    if (v.empty())
        return;
    wide run_top = 0, run_rows = 0, run_left = 0, run_right = -1;
    const auto flush = [&] {
        if (run_rows > 0)
            fl_rectf(static_cast<int>(run_left), static_cast<int>(run_top), static_cast<int>(run_right - run_left + 1),
                     static_cast<int>(run_rows));
        run_rows = 0;
    };
    // A slice lies left of its first edge and right of its last: on the row
    // at dy from the centre, each edge keeps the x where k (x - cx) >= m dy.
    const bool whole = to - from >= 2 * pi;
    const real edges[2][2] = {{-std::sin(from), std::cos(from)}, {std::sin(to), -std::cos(to)}};
    const auto [top, bottom] = pixels_between(c.cy - c.r, c.cy + c.r, v.top, v.bottom);
    for (wide y = top; y <= bottom; ++y) {
        const real dy = y - c.cy;
        const real h = half_chord(c.r, dy);
        real low = c.cx - h, high = c.cx + h;
        for (const auto& [k, m] : edges) {
            if (whole)
                break;
            if (k > 0)
                low = std::max(low, c.cx + m * dy / k);
            else if (k < 0)
                high = std::min(high, c.cx + m * dy / k);
            else if (m * dy > 0)
                high = low - 1;
        }
        const auto [left, right] = pixels_between(low, high, v.left, v.right);
        if (left > right || left != run_left || right != run_right)
            flush();
        if (left <= right && run_rows++ == 0) {
            run_top = y;
            run_left = left;
            run_right = right;
        }
    }
    flush();
    draw_far_arc(v, c, from, to);
}

// FLTK's angles in degrees, as it hands them to X11: in 64ths of a degree,
// truncated.
real radians(double degrees) {
    return std::trunc(degrees * 64) / 64 * pi / 180;
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
    draw(view_of(clipping, x0, y0, x1, y1));
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
    clipped(c, [&](const View& v) { draw_segment(v, xa, ya, xb, yb); });
}

void OFL_vision_sheet::ofl_dash_line(int xa, int ya, int xb, int yb, Fl_Color c) {
    clipped(c, [&](const View& v) {
        fl_line_style(FL_DASH, 0, nullptr);
        draw_segment(v, xa, ya, xb, yb, dash_period);
        fl_line_style(FL_SOLID);
    });
}

void OFL_vision_sheet::ofl_break_line(int xa, int ya, int xb, int yb, Fl_Color c) {
    // A quarter of the way along, moved sideways by half the segment's
    // length, then three quarters of the way, moved as far the other way.
    // Division truncates towards zero, as the turning points always did.
    const wide ax = xa, ay = ya, bx = xb, by = yb;
    const wide r = (3 * ax + bx + 2 * (ay - by)) / 4;
    const wide s = (3 * ay + by + 2 * (bx - ax)) / 4;
    const wide p = (ax + 3 * bx + 2 * (by - ay)) / 4;
    const wide q = (ay + 3 * by + 2 * (ax - bx)) / 4;
    clipped(c, [&](const View& v) {
        draw_segment(v, ax, ay, r, s);
        draw_segment(v, r, s, p, q);
        draw_segment(v, p, q, bx, by);
    });
}

void OFL_vision_sheet::ofl_rect(int x, int y, int w, int h, Fl_Color c) {
    clipped(c, [&](const View& v) {
        draw_box(v, x, y, w, h, [](int bx, int by, int bw, int bh) { fl_rect(bx, by, bw, bh); });
    });
}

void OFL_vision_sheet::ofl_rectf(int x, int y, int w, int h, Fl_Color c) {
    clipped(c, [&](const View& v) {
        draw_box(v, x, y, w, h, [](int bx, int by, int bw, int bh) { fl_rectf(bx, by, bw, bh); });
    });
}

void OFL_vision_sheet::ofl_circ(int x, int y, int d, Fl_Color c) {
    clipped(c, [&](const View& v) {
        if (carried_square(x, y, d))
            fl_arc(x, y, d, d, 0.0, 360.0);
        else
            draw_far_arc(v, circle_of(x, y, d), 0, 2 * pi);
    });
}

void OFL_vision_sheet::ofl_circf(int x, int y, int d, Fl_Color c) {
    clipped(c, [&](const View& v) {
        if (carried_square(x, y, d))
            fl_pie(x, y, d, d, 0.0, 360.0);
        else
            fill_far_pie(v, circle_of(x, y, d), 0, 2 * pi);
    });
}

void OFL_vision_sheet::ofl_rectbound(int x, int y, int w, int h, Fl_Color c) {
    clipped(c, [&](const View& v) {
        draw_box(v, x, y, w, h, [c](int bx, int by, int bw, int bh) {
            fl_rectbound(bx, by, bw, bh, static_cast<int>(c));
        });
    });
}

void OFL_vision_sheet::ofl_circbound(int x, int y, int d, Fl_Color c) {
    clipped(c, [&](const View& v) {
        if (carried_square(x, y, d)) {
            fl_pie(x, y, d, d, 0.0, 360.0);
            fl_color(FL_BLACK);
            fl_arc(x, y, d, d, 0.0, 360.0);
        } else {
            fill_far_pie(v, circle_of(x, y, d), 0, 2 * pi);
            fl_color(FL_BLACK);
            draw_far_arc(v, circle_of(x, y, d), 0, 2 * pi);
        }
    });
}

void OFL_vision_sheet::ofl_arrowbound(int xa, int ya, int xb, int yb, Fl_Color c) {
    const wide dx = wide{xb} - xa;
    const wide dy = wide{yb} - ya;
    const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    const wide side = static_cast<wide>(2 * length);
    const float degrees = static_cast<float>(std::atan2(static_cast<double>(dy), static_cast<double>(dx)) *
                                             180.0 / M_PI);
    clipped(c, [&](const View& v) {
        const double from = 160.0 - degrees, to = 200.0 - degrees;
        if (carried_square(xb, yb, side)) {
            fl_pie(xb, yb, static_cast<int>(side), static_cast<int>(side), from, to);
        } else {
            const real start = radians(from);
            fill_far_pie(v, circle_of(xb, yb, side), start, start + radians(to - from));
        }
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
    clipped(c, [&](const View& v) {
        draw_segment(v, b1x, b1y, tx, ty);
        draw_segment(v, b2x, b2y, tx, ty);
        draw_segment(v, xa, ya, tx, ty);
    });
}

void OFL_vision_sheet::ofl_drw_text(Fl_Align align, int x, int y, int w, int h, Fl_Color c,
                                    int size, int font, const char* text) {
    if (!text)
        return;
    clipped(c, [&](const View&) {
        fl_font(static_cast<Fl_Font>(font), static_cast<Fl_Fontsize>(size));
        fl_draw(text, x, y, w, h, align, nullptr, 1);
    });
}

void OFL_vision_sheet::ofl_drw_String(Fl_Align align, int x, int y, int w, int h, Fl_Color c,
                                      int font, int size, const String& text) {
    ofl_drw_text(align, x, y, w, h, c, size, font, text.c_str());
}
