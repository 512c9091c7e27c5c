// The xfig 3.2 drawing of a chart: one circle record (two for a final state)
// and text records per state, one polyline with a forward arrow and a text
// record per transition. xfig units are model units times 1000.
#include "writers/put_drawings.h"
#include "writers/writer_files.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// Truncation toward zero, held inside the range of the record's integers: a
// coordinate too large for them is drawn at the edge of the range instead of
// turning into an arbitrary number.
std::int32_t xfig_unit(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

// A text record ends at the four characters "\001" and reads backslash
// escapes, so a backslash is doubled and control bytes are written as octal
// escapes: a name holding "\001" or a line end keeps the record whole.
String xfig_text(const String& text) {
    String escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            escaped += "\\\\";
        } else if (byte < 0x20 || byte == 0x7f) {
            char octal[5];
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            escaped += octal;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

const char* const centred_text = "4 1 0 50 -1 0 24 0.0000 4 135 780 ";
const char* const left_text = "4 0 0 50 -1 0 24 0.0000 4 135 780 ";

void put_circle(std::ostream& os, std::int32_t x, std::int32_t y, std::int32_t r,
                std::int32_t end_x) {
    os << " 1 3 0 1 0 7 50 -1 -1 0.000 1 0.0000 " << x << " " << y << " " << r << " " << r << " "
       << x << " " << y << " " << end_x << " " << y << "\n";
}

}  // namespace

void frontieres_corrections(double x0, double y0, double r, double& px, double& py) {
    if (!(r > 0.0))
        return;
    const double dx = px - x0;
    const double dy = py - y0;
    if (std::fabs(dx) < r / 20) {
        px = x0;
        py = py > y0 ? py - r : py + r;
    } else if (px > x0) {
        if (std::fabs(dy) < r / 20) {
            px -= r;
            py = y0;
        } else {
            const double a = std::atan(dy / dx);
            px -= r * std::cos(a);
            py -= r * std::sin(a);
        }
    } else if (std::fabs(dy) < r / 20) {
        px += r;
        py = y0;
    } else {
        const double a = std::atan(dy / dx);
        px += r * std::cos(a);
        py += r * std::sin(a);
    }
}

String drawing_label(const gal_tpen_transition& t, const String* actions) {
    String label;
    if (t.ma_priorite() == -1)
        label = "<other> ";
    else if (t.ma_priorite() != 0)
        label = "<" + std::to_string(t.ma_priorite()) + "> ";
    label += t.ma_receptivite();
    const char* separator = "/";
    for (int a : t.mes_actions()) {
        label += separator + actions[a];
        separator = ",";
    }
    return label;
}

void gal_tpen_etat::put_xfig(std::ostream& os, const gal_declaration_progs* progs,
                             const String* actions) const {
    const std::int32_t x = xfig_unit(1000 * ma_posx_);
    const std::int32_t y = xfig_unit(1000 * ma_posy_);
    const std::int32_t end_x = xfig_unit(500 * mon_diametre_ + 1000 * ma_posx_);
    put_circle(os, x, y, xfig_unit(500 * mon_diametre_), end_x);
    if (mon_type_ == final_star)
        put_circle(os, x, y, xfig_unit(500 * mon_diametre_ - 100), end_x);
    os << centred_text << x << " " << xfig_unit((1000 * ma_posy_ - 500 * mon_diametre_) - 80)
       << " " << xfig_text(mon_nom_) << "\\001\n";
    if (mon_run_.ident() != -1)
        os << centred_text << x << " " << xfig_unit((ma_posy_ + 0.1) * 1000) << " "
           << xfig_text(progs[mon_run_.ident()].nom_module()) << "\\001\n";
    int j = 0;
    for (int a : mes_actions_) {
        os << left_text << xfig_unit((ma_posx_ + 0.9) * 1000) << " "
           << xfig_unit((0.3 * j + ma_posy_ + 0.1) * 1000) << " " << xfig_text(actions[a])
           << "\\001\n";
        ++j;
    }
}

std::vector<std::pair<double, double>> arrow_points(const gal_tpen_transition& t,
                                                    const gal_tpen_etat* states, double scale) {
    const int source = t.mon_ident_etat_amont();
    const int target = t.mon_ident_etat_aval();
    const auto centre = [&](int s) {
        return std::pair<double, double>(scale * states[s].ma_posx(), scale * states[s].ma_posy());
    };
    std::vector<std::pair<double, double>> points;
    if (source >= 0)
        points.push_back(centre(source));
    const std::list<double> positions = t.liste_positions();
    for (auto p = positions.begin(); p != positions.end(); ++p) {
        const double x = *p;
        if (++p == positions.end())
            break;  // a last value without its pair is no point
        points.emplace_back(scale * x, scale * *p);
    }
    if (target >= 0) {
        // An arrow with neither source nor points starts where it ends.
        if (points.empty())
            points.push_back(centre(target));
        points.push_back(centre(target));
    }
    const std::size_t n = points.size();
    if (n < 2)
        return points;
    if (source >= 0)
        frontieres_corrections(points[1].first, points[1].second,
                               scale * states[source].mon_diametre() / 2, points[0].first,
                               points[0].second);
    if (target >= 0)
        frontieres_corrections(points[n - 2].first, points[n - 2].second,
                               scale * states[target].mon_diametre() / 2, points[n - 1].first,
                               points[n - 1].second);
    return points;
}

void gal_tpen_transition::put_xfig(std::ostream& os, const gal_tpen_etat* states,
                                   const String* actions) const {
    const std::vector<std::pair<double, double>> points = arrow_points(*this, states, 1.0);
    if (points.empty())
        return;  // no start point: nothing to draw, nor to label
    // Every point written is counted: an arrow of one point is not drawn.
    if (points.size() >= 2) {
        os << "2 1 0 1 0 7 50 -1 -1 0.000 0 0 -1 1 0 " << points.size() << "\n"
           << "        1 1 1.00 120.00 240.00\n"
           << "         ";
        for (const auto& p : points)
            os << xfig_unit(p.first * 1000) << " " << xfig_unit(p.second * 1000) << " ";
        os << "\n";
    }
    os << left_text << xfig_unit(1000 * posx_receptivite_) << " "
       << xfig_unit((posy_receptivite_ + 0.5) * 1000) << " "
       << xfig_text(drawing_label(*this, actions)) << "\\001";
}

int gal_tpen_fichier::put_xfig(const String& file, const String&) const {
    return tessan_writers::write_chart_file(*this, file, "put_xfig", [&](std::ostream& os) {
        os << "#FIG 3.2\nLandscape\nCenter\nInches\nLetter\n100.00\nSingle\n-2\n1200 2\n";
        for (const gal_tpen_etat& state : table_etats_) {
            state.put_xfig(os, ma_table_progs_externes(), ma_table_actions());
            os << "\n";
        }
        for (int t = 0; t < nbr_transitions_; ++t) {
            table_transitions_[t].put_xfig(os, ma_table_etats(), ma_table_actions());
            os << "\n";
        }
    });
}
