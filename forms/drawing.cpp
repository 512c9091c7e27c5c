// Filled shapes and lines in one colour, and the point-on-segment test used to
// pick a transition's polyline with the mouse.
#include "forms/formspp.h"

#include <FL/fl_draw.H>

#include <cmath>

void fl_ovalf(int x, int y, int w, int h, Fl_Color colour) {
    fl_color(colour);
    fl_pie(x, y, w, h, 0.0, 360.0);
}

void fl_ovalf(int x, int y, int w, int h, int colour) {
    fl_ovalf(x, y, w, h, static_cast<Fl_Color>(colour));
}

void fl_circf(int x, int y, int d, Fl_Color colour) {
    fl_ovalf(x, y, d, d, colour);
}

void fl_circf(int x, int y, int d, int colour) {
    fl_ovalf(x, y, d, d, static_cast<Fl_Color>(colour));
}

void fl_rectbound(int x, int y, int w, int h, int colour) {
    fl_color(static_cast<Fl_Color>(colour));
    fl_rectf(x, y, w, h);
    fl_color(FL_BLACK);
    fl_rect(x, y, w, h);
}

void fl_rectbound(int& x, int& y, int& w, int& h, Fl_Color& colour) {
    fl_rectbound(x, y, w, h, static_cast<int>(colour));
}

void fl_line(int x, int y, int x1, int y1, Fl_Color colour) {
    fl_color(colour);
    fl_line(x, y, x1, y1);
}

void fl_line(int x, int y, int x1, int y1, Fl_Color& colour) {
    fl_color(colour);
    fl_line(x, y, x1, y1);
}

namespace {

const double flat = 1e-10;

bool between(double v, double a, double b) {
    return (a <= v && v <= b) || (b <= v && v <= a);
}

}  // namespace

bool point_dans_segment(double px, double py, double x1, double y1,
                        double x2, double y2, double tol) {
    if (std::fabs(x1 - x2) <= flat)
        return between(py, y1, y2) && std::fabs(px - x1) < tol;
    if (std::fabs(y1 - y2) <= flat)
        return between(px, x1, x2) && std::fabs(py - y1) < tol;
    // The tolerance band is cut by the bounding box: near the ends of a
    // slanted segment a point close to the line may still be off it.
    if (!between(px, x1, x2) || !between(py, y1, y2))
        return false;
    const double length = std::sqrt((y1 - y2) * (y1 - y2) + (x1 - x2) * (x1 - x2));
    if (length <= flat)
        return false;
    const double distance = std::fabs(((y1 - y2) * (px - x1) - (py - y1) * (x1 - x2)) / length);
    return distance < tol;
}
