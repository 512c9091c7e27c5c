// The SVG drawing of a chart, with the namespaces and named view of the
// Inkscape editor: a dashed frame per concurrent automaton, a group per state
// and per transition. SVG units are model units times 20.
#include "writers/put_drawings.h"
#include "writers/writer_files.h"

#include <cmath>

namespace {

using arrow = std::vector<std::pair<double, double>>;

void put_reference(String& out, unsigned code) { out += "&#" + std::to_string(code) + ";"; }

// Chart texts are bytes: UTF-8 sequences are kept, a byte that starts none is
// taken as Latin-1 and written as a character reference, and the control
// characters that XML 1.0 has no place for become U+FFFD; with the markup
// characters written as references, any text gives well-formed XML.
String svg_text(const String& text, bool in_attribute) {
    String out;
    out.reserve(text.size());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte == '&' || byte == '<' || byte == '>' || (in_attribute && byte == '"'))
                put_reference(out, byte);
            else if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
                put_reference(out, 0xFFFD);
            else
                out += static_cast<char>(byte);
            ++i;
            continue;
        }
        std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
        if (byte > 0xF4 || i + length > size)
            length = 0;
        unsigned code = length == 0 ? 0 : byte & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const bool valid = length != 0 &&
                           !(length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF) ||
                                             code >= 0xFFFE)) &&
                           !(length == 4 && (code < 0x10000 || code > 0x10FFFF));
        if (valid) {
            out.append(text, i, length);
            i += length;
        } else {
            put_reference(out, byte);
            ++i;
        }
    }
    return out;
}

String svg_content(const String& text) { return svg_text(text, false); }

void put_point(std::ostream& os, const std::pair<double, double>& p) {
    os << p.first << "," << p.second;
}

// Marks of a transition's kind, on the first or the last segment of its arrow.
void put_red_dot(std::ostream& os, const arrow& points) {
    vec2 u;
    if (points.size() < 2 || !unit_vector(points, 0, 1, u))
        return;
    os << "  <circle cx=\"" << points[0].first + 3 * u.x << "\" cy=\"" << points[0].second + 3 * u.y
       << "\" r=\"3\" fill=\"#ff1414\" stroke=\"none\" />\n";
}

void put_yellow_dot(std::ostream& os, const arrow& points) {
    vec2 u;
    const unsigned n = static_cast<unsigned>(points.size());
    if (n < 2 || !unit_vector(points, n - 2, n - 1, u))
        return;
    os << "  <circle cx=\"" << points[n - 1].first - 3 * u.x << "\" cy=\""
       << points[n - 1].second - 3 * u.y << "\" r=\"3\" fill=\"#ffff00\" stroke=\"none\" />\n";
}

void put_green_triangle(std::ostream& os, const arrow& points) {
    vec2 u;
    if (points.size() < 2 || !unit_vector(points, 0, 1, u))
        return;
    const vec2 n{-u.y, u.x};
    const std::pair<double, double>& p = points[0];
    os << "  <polygon points=\"";
    put_point(os, {p.first + 6 * u.x, p.second + 6 * u.y});
    os << " ";
    put_point(os, {p.first + 3.2 * n.x, p.second + 3.2 * n.y});
    os << " ";
    put_point(os, {p.first - 3.2 * n.x, p.second - 3.2 * n.y});
    os << "\" fill=\"#65f200\" stroke=\"none\" />\n";
}

struct frames {
    std::list<double> xmin, xmax, ymin, ymax;
};

// The extent of each concurrent automaton: its circles and the boxes of the
// transitions that touch it, half a model unit around.
frames automaton_frames(const gal_tpen_fichier& chart) {
    frames f;
    const std::vector<std::vector<int>> touching = tessan_writers::touching_transitions(chart);
    const gal_tpen_etat* states = chart.ma_table_etats();
    const gal_tpen_transition* transitions = chart.ma_table_transitions();
    for (int k = 0; k < chart.nombre_SC(); ++k) {
        double xmin = 1e12, xmax = 0.0, ymin = 1e12, ymax = 0.0;
        for (int s : chart.SC_liste_etats(k)) {
            if (s < 0 || s >= chart.nbr_etats())
                continue;
            const double half = states[s].mon_diametre() / 2;
            xmax = std::max(xmax, states[s].ma_posx() + half + 0.5);
            ymax = std::max(ymax, states[s].ma_posy() + half + 0.5);
            xmin = std::min(xmin, states[s].ma_posx() - half - 0.5);
            ymin = std::min(ymin, states[s].ma_posy() - half - 0.5);
        }
        for (int t : touching[k]) {
            xmax = std::max(xmax, transitions[t].posxmax() + 0.5);
            ymax = std::max(ymax, transitions[t].posymax() + 0.5);
            xmin = std::min(xmin, transitions[t].posxmin() - 0.5);
            ymin = std::min(ymin, transitions[t].posymin() - 0.5);
        }
        f.xmin.push_back(xmin);
        f.xmax.push_back(xmax);
        f.ymin.push_back(ymin);
        f.ymax.push_back(ymax);
    }
    return f;
}

}  // namespace

bool unit_vector(const std::vector<std::pair<double, double>>& points, unsigned i, unsigned j,
                 vec2& out) {
    if (i >= points.size() || j >= points.size())
        return false;
    const double dx = points[j].first - points[i].first;
    const double dy = points[j].second - points[i].second;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < 0.0001)
        return false;
    out = vec2{dx / length, dy / length};
    return true;
}

void gal_tpen_etat::put_circle_etat_inkscape(std::ostream& os, int inner, double& cx, double& cy,
                                             double& r) const {
    cx = 20 * ma_posx_;
    cy = 20 * ma_posy_;
    r = 10 * mon_diametre_;
    os << "    <g transform=\"translate(" << cx << "," << cy << ")\">\n";
    if (!inner)
        os << "      <text x=\"0\" y=\"" << -1.5 * r
           << "\" font-size=\"8px\" text-anchor=\"middle\">" << svg_content(mon_nom_)
           << "</text>\n";
    os << "      <circle cx=\"0\" cy=\"0\" r=\"" << (inner ? r - 3 : r)
       << "\" stroke=\"#000000\" fill=\"none\" />\n"
          "</g>\n";
}

void gal_tpen_etat::put_inkscape(std::ostream& os, const gal_declaration_progs* progs,
                                 const String* actions) const {
    double cx, cy, r;
    put_circle_etat_inkscape(os, 0, cx, cy, r);
    if (mon_type_ == final_star)
        put_circle_etat_inkscape(os, 1, cx, cy, r);
    if (mon_run_.ident() != -1)
        os << "  <text x=\"" << cx << "\" y=\"" << cy
           << "\" font-size=\"8px\" text-anchor=\"middle\" dominant-baseline=\"middle\">"
           << svg_content(progs[mon_run_.ident()].nom_module()) << "</text>\n";
    int j = 0;
    for (int a : mes_actions_) {
        os << "  <text x=\"" << r + cx + 15 << "\" y=\"" << 8 * j + (cy - 2)
           << "\" font-size=\"8\" text-anchor=\"start\" dominant-baseline=\"middle\">"
           << svg_content(actions[a]) << "</text>\n";
        ++j;
    }
}

std::vector<std::pair<double, double>> gal_tpen_transition::put_fleche_normale_inkscape(
    std::ostream& os, const gal_tpen_etat* states, int f) const {
    const arrow points = arrow_points(*this, states, 20.0);
    if (points.size() < 2)
        return points;
    os << "  <polyline points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        os << (i > 0 ? " " : "");
        put_point(os, points[i]);
    }
    os << "\" stroke=\"#000\" stroke-width=\"1\" fill=\"none\""
       << (f ? " marker-end=\"url(#arrowhead)\" />\n" : "/>\n");
    return points;
}

void gal_tpen_transition::put_fleche_zigzag_inkscape(std::ostream& os,
                                                     const gal_tpen_etat* states) const {
    const arrow points = arrow_points(*this, states, 20.0);
    const unsigned n = static_cast<unsigned>(points.size());
    vec2 u;
    if (n < 2 || !unit_vector(points, 0, n - 1, u))
        return;
    const vec2 normal{-u.y, u.x};
    const double step = 5, amplitude = 5;
    const std::pair<double, double>& s = points[0];
    const std::pair<double, double> knee(s.first + 3 * step * u.x, s.second + 3 * step * u.y);
    const arrow zig = {s,
                       {s.first + step * u.x + amplitude * normal.x,
                        s.second + step * u.y + amplitude * normal.y},
                       {s.first + 2 * step * u.x - amplitude * normal.x,
                        s.second + 2 * step * u.y - amplitude * normal.y},
                       knee};
    os << "  <polyline points=\"";
    for (const auto& p : zig) {
        put_point(os, p);
        os << " ";
    }
    for (unsigned i = 1; i + 1 < n; ++i) {
        put_point(os, points[i]);
        os << " ";
    }
    os << "\" stroke=\"#000\" stroke-width=\"1\" fill=\"none\" />\n";
    const std::pair<double, double>& from = n == 2 ? knee : points[n - 2];
    os << "  <line x1=\"" << from.first << "\" y1=\"" << from.second << "\" x2=\""
       << points[n - 1].first << "\" y2=\"" << points[n - 1].second
       << "\" stroke=\"#000\" stroke-width=\"1\" marker-end=\"url(#arrowhead)\" />\n";
}

void gal_tpen_transition::put_inkscape(std::ostream& os, const gal_tpen_etat* states, int modele,
                                       const String* actions) const {
    const String label = drawing_label(*this, actions);
    if (!label.empty())
        os << "  <text x=\"" << 20 * posx_receptivite_ + 10 << "\" y=\""
           << 20 * posy_receptivite_ + 10
           << "\" font-size=\"8\" text-anchor=\"middle\" dominant-baseline=\"middle\">"
           << svg_content(label) << "</text>\n";
    if (est_initiale()) {
        put_fleche_normale_inkscape(os, states, 1);
        return;
    }
    switch (mon_type_trans_) {
    case strong_trans: {
        const arrow points = put_fleche_normale_inkscape(os, states, 1);
        if (modele == synccharts_model)
            put_red_dot(os, points);
        break;
    }
    case weak_trans:
        if (modele == light_esterel_model)
            put_fleche_zigzag_inkscape(os, states);
        else
            put_fleche_normale_inkscape(os, states, 1);
        break;
    case suspend_trans:
        if (modele == synccharts_model)
            put_yellow_dot(os, put_fleche_normale_inkscape(os, states, 0));
        break;
    case normalterm_trans:
        if (modele == light_esterel_model || modele == synccharts_model)
            put_green_triangle(os, put_fleche_normale_inkscape(os, states, 1));
        break;
    default:
        break;
    }
}

double gal_tpen_fichier::largueur_max() const {
    double x = 0.0;
    for (const gal_tpen_etat& state : table_etats_)
        x = std::max(x, state.ma_posx());
    return x + 10.0;
}

double gal_tpen_fichier::hauteur_max() const {
    double y = 0.0;
    for (const gal_tpen_etat& state : table_etats_)
        y = std::max(y, state.ma_posy());
    return y;
}

std::list<double> gal_tpen_fichier::SC_xmin() const { return automaton_frames(*this).xmin; }
std::list<double> gal_tpen_fichier::SC_xmax() const { return automaton_frames(*this).xmax; }
std::list<double> gal_tpen_fichier::SC_ymin() const { return automaton_frames(*this).ymin; }
std::list<double> gal_tpen_fichier::SC_ymax() const { return automaton_frames(*this).ymax; }

int gal_tpen_fichier::put_inkscape(const String& file, const String&) const {
    return tessan_writers::write_chart_file(*this, file, "put_inkscape", [&](std::ostream& os) {
        const double width = 20 * largueur_max();
        // The page gets below its lowest state the margin that it gets to the
        // right: without it the lower half of the lowest circles, with their
        // labels and actions, would lie outside the page.
        const double height = 20 * (hauteur_max() + 10.0);
        os << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
              "<!-- Created with Inkscape -->\n"
              "\n"
              "<svg\n"
              "   width=\"" << width << "mm\"\n"
              "   height=\"" << height << "mm\"\n"
              "   viewBox=\"0 0 " << width << " " << height << "\"\n"
              "   version=\"1.1\"\n"
              "   id=\"svg2\"\n"
              "   sodipodi:docname=\"" << svg_text(file, true) << "\"\n"
              "   inkscape:version=\"1.4.3 (0d15f75, 2025-12-25)\"\n"
              "   xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"\n"
              "   xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\"\n"
              "   xmlns=\"http://www.w3.org/2000/svg\"\n"
              "   xmlns:svg=\"http://www.w3.org/2000/svg\">\n"
              "  <sodipodi:namedview\n"
              "     id=\"namedview2\"\n"
              "     pagecolor=\"#ffffff\"\n"
              "     bordercolor=\"#000000\"\n"
              "     borderopacity=\"0.25\"\n"
              "     inkscape:showpageshadow=\"2\"\n"
              "     inkscape:pageopacity=\"0.0\"\n"
              "     inkscape:pagecheckerboard=\"0\"\n"
              "     inkscape:deskcolor=\"#d1d1d1\"\n"
              "     inkscape:document-units=\"mm\"\n"
              "     inkscape:zoom=\"1.5\"\n"
              "     inkscape:cx=\"300\"\n"
              "     inkscape:cy=\"300\"\n"
              "     inkscape:window-width=\"1920\"\n"
              "     inkscape:window-height=\"1111\"\n"
              "     inkscape:window-x=\"0\"\n"
              "     inkscape:window-y=\"0\"\n"
              "     inkscape:window-maximized=\"1\"\n"
              "     inkscape:current-layer=\"layer1\" />\n"
              "\n"
              "  <defs>\n"
              "    <marker id=\"arrowhead\" markerWidth=\"12\" markerHeight=\"12\"\n"
              "            refX=\"10\" refY=\"6\" orient=\"auto\" markerUnits=\"strokeWidth\">\n"
              "      <polyline points=\"5,4 10,6 5,8\"                 fill=\"none\" "
              "stroke=\"black\" stroke-width=\"1\" />\n"
              "    </marker>\n"
              "  </defs>\n"
              "\n"
              "  <g id=\"layer1\">\n";

        const frames f = automaton_frames(*this);
        auto xmin = f.xmin.begin(), xmax = f.xmax.begin(), ymin = f.ymin.begin(),
             ymax = f.ymax.begin();
        for (int k = 0; k < nombre_SC(); ++k, ++xmin, ++xmax, ++ymin, ++ymax) {
            if (*xmin > *xmax)
                continue;  // an automaton without states has nothing to frame
            os << "<rect x=\"" << 20 * *xmin << "\" y=\"" << 20 * *ymin << "\" width=\""
               << 20 * *xmax - 20 * *xmin << "\" height=\"" << 20 * *ymax - 20 * *ymin
               << "\" fill=\"none\" stroke=\"black\" stroke-width=\"1\" stroke-dasharray=\"4,4\" />\n";
        }
        for (const gal_tpen_etat& state : table_etats_) {
            os << "<g>\n";
            state.put_inkscape(os, ma_table_progs_externes(), ma_table_actions());
            os << "</g>\n";
        }
        for (int t = 0; t < nbr_transitions_; ++t) {
            os << "<g>\n";
            table_transitions_[t].put_inkscape(os, ma_table_etats(), mon_modele_, ma_table_actions());
            os << "</g>\n";
        }
        os << "  </g>\n"
              "</svg>\n";
    });
}
