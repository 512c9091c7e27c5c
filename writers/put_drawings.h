// The two drawings of a chart: an xfig 3.2 picture (`put_xfig`) and an SVG
// picture with the Inkscape editor's named view (`put_inkscape`), both
// members of the chart and of its states and transitions (chart/gal_norm.h).
//
// Both draw each state as a circle with its name, the module it runs and its
// actions beside it, and each transition as a polyline from the border of its
// source to the border of its target with its label; the SVG picture also
// frames every concurrent automaton and marks transitions by kind. Model
// units become 1000 xfig units (truncated) or 20 SVG units; y points down.
//
// The free pieces below are the geometry the two share.
#ifndef TESSAN_WRITERS_PUT_DRAWINGS_H
#define TESSAN_WRITERS_PUT_DRAWINGS_H

#include <utility>
#include <vector>

#include "chart/gal_norm.h"

// Moves the point (px, py), a state's centre, by r toward its neighbour
// (x0, y0), so that an arrow ends on the state's circle. Nearly vertical or
// horizontal segments (within r/20) are snapped to the axis. A radius that is
// not positive moves nothing.
void frontieres_corrections(double x0, double y0, double r, double& px, double& py);

struct vec2 {
    double x;
    double y;
};

// The unit direction from point i to point j of an arrow, in `out`; false
// (and `out` unchanged) when the segment is shorter than 0.0001 or either
// index is not a point of the arrow.
bool unit_vector(const std::vector<std::pair<double, double>>& points, unsigned i, unsigned j,
                 vec2& out);

// A transition's arrow, `scale` drawing units to the model unit: the source's
// centre (or, without a source, the first intermediate point, or else the
// target's centre), the intermediate points, the target's centre; with two or
// more points, the ends that are state centres are moved onto their circles.
// A transition with neither source, points nor target has no point.
std::vector<std::pair<double, double>> arrow_points(const gal_tpen_transition& t,
                                                    const gal_tpen_etat* states, double scale);

// A transition's label in both drawings: its priority ("<other> " for -1,
// "<n> " for a rank, nothing for 0), its trigger, then "/" and its action
// names joined by "," when it has actions. `actions` is the chart's table.
String drawing_label(const gal_tpen_transition& t, const String* actions);

#endif
