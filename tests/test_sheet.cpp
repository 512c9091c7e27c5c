// The drawing sheet on a real window: each scene's picture, read back from the
// X server, is compared with its map in tests/data/forms/sheet, a character a
// pixel; the caller's lines drawn after an operation show the style, colour
// and clip it leaves. Texts are compared with each other. Shapes reaching past
// the 16 bits X11 carries are compared with shapes in range that show the same
// pixels, or with the curve itself. Without a display the operations draw
// nothing and return.
#include <gtest/gtest.h>

#include "tests/sheet_support.h"
#include "tests/test_files.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

using sheet_support::Screen_picture;

const int canvas_width = 200;
const int canvas_height = 150;

// What a window shows when its draw code paints it white, then runs `paint`.
Screen_picture drawn(const std::function<void()>& paint) {
    struct Canvas : Fl_Window {
        const std::function<void()>& paint;
        explicit Canvas(const std::function<void()>& p)
            : Fl_Window(0, 0, canvas_width, canvas_height), paint(p) {}
        void draw() override {
            fl_color(FL_WHITE);
            fl_rectf(0, 0, w(), h());
            paint();
        }
    } window(paint);
    window.show();
    return Screen_picture(&window);
}

// The picture as text: '.' white, K black, R red, G green, B blue, '?' other.
std::string map_of(const Screen_picture& picture) {
    std::string map;
    for (int y = 0; y < canvas_height; ++y, map += '\n')
        for (int x = 0; x < canvas_width; ++x) {
            const unsigned rgb = picture.rgb(x, y);
            map += rgb == 0xFFFFFF ? '.'
                   : rgb == 0      ? 'K'
                   : rgb == 0xFF0000 ? 'R'
                   : rgb == 0x00FF00 ? 'G'
                   : rgb == 0x0000FF ? 'B'
                                     : '?';
        }
    return map;
}

// Every operation goes through the same check of the display.
[[maybe_unused]] const bool headless_child_ran =
    sheet_support::run_headless_call_if_asked([](const std::string&) {
        OFL_vision_sheet().ofl_drw_String(FL_ALIGN_CENTER, 0, 0, 50, 20, FL_RED, FL_HELVETICA, 12, "text");
        return std::string("returned");
    });

TEST(Sheet, EachSceneDrawsItsMap) {
    NEEDS_DISPLAY();
    const std::pair<const char*, std::function<void()>> scenes[] = {
        {"shapes", [] {
             OFL_vision_sheet sheet;
             sheet.ofl_rect(10, 10, 20, 10, FL_RED);
             sheet.ofl_rectf(40, 10, 20, 10, FL_BLUE);
             sheet.ofl_rectbound(70, 10, 20, 10, FL_GREEN);
             sheet.ofl_circ(10, 30, 30, FL_RED);
             sheet.ofl_circf(50, 30, 30, FL_BLUE);
             sheet.ofl_circbound(90, 30, 30, FL_GREEN);
             sheet.ofl_dash_line(0, 70, 199, 70, FL_RED);
             fl_line(0, 75, 199, 75);
             sheet.ofl_break_line(40, 110, 100, 110, FL_RED);
         }},
        {"clip", [] {
             OFL_vision_sheet sheet;
             sheet.define(10, 20, 100, 50, FL_BLACK);
             sheet.ofl_line(0, 0, 200, 200, FL_RED);
             fl_push_clip(0, 0, 180, canvas_height);
             sheet.define(150, 10, 20, 20, FL_BLACK);
             sheet.ofl_rectf(0, 0, 200, 200, FL_GREEN);
             fl_line(0, 100, 199, 100);
             fl_pop_clip();
             sheet.resize(130, 110, 30, 10);
             sheet.ofl_rectf(0, 0, 200, 200, FL_BLUE);
             // An empty or inverted box clips nothing.
             const int boxes[][4] = {{0, 0, 0, 0}, {100, 100, -50, -50}, {10, 10, 100, 0}, {10, 10, 0, 140}};
             for (int b = 0; b < 4; ++b) {
                 sheet.define(boxes[b][0], boxes[b][1], boxes[b][2], boxes[b][3], FL_BLACK);
                 sheet.ofl_line(0, 134 + 4 * b, 199, 134 + 4 * b, FL_RED);
             }
             // Coordinates at the ends of the integers neither wrap nor draw.
             sheet.define(INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX, FL_BLACK);
             sheet.ofl_line(0, 0, 200, 200, FL_BLUE);
             sheet.define(INT_MIN, INT_MIN, INT_MAX, INT_MAX, FL_BLACK);
             sheet.ofl_break_line(INT_MAX, INT_MAX, INT_MIN, INT_MIN, FL_BLUE);
             sheet.ofl_arrowbound(INT_MIN, INT_MIN, INT_MAX, INT_MAX, FL_BLUE);
             sheet.ofl_drw_arrow_line(INT_MIN, 0, INT_MAX, 1, INT_MAX, 0.5, FL_BLUE);
         }},
        {"arrows", [] {
             // Barbs of length 10 at 0.5 radians, in every direction; then 4.
             OFL_vision_sheet sheet;
             const int shafts[][4] = {{20, 20, 60, 20}, {60, 50, 20, 50},    {100, 20, 100, 60},
                                      {150, 60, 150, 20}, {20, 80, 60, 120}, {140, 140, 100, 100}};
             for (const auto& s : shafts)
                 sheet.ofl_drw_arrow_line(s[0], s[1], s[2], s[3], 10, 0.5, FL_RED);
             sheet.ofl_drw_arrow_line(160, 80, 170, 80, 4, 0.5, FL_BLUE);
             // Wedges, square and slanted.
             sheet.ofl_arrowbound(10, 10, 30, 10, FL_RED);
             fl_line(0, 5, 199, 5);
             sheet.ofl_arrowbound(150, 100, 159, 112, FL_BLUE);
         }},
        {"edges", [] {
             // Every kind of shape across the edges of a box.
             OFL_vision_sheet sheet;
             sheet.define(20, 20, 160, 110, FL_BLACK);
             sheet.ofl_line(0, 30, 199, 61, FL_RED);
             sheet.ofl_line(31, 0, 62, 149, FL_BLUE);
             sheet.ofl_dash_line(-300, 141, 500, 7, FL_RED);
             sheet.ofl_break_line(5, 100, 71, 103, FL_BLUE);
             sheet.ofl_drw_arrow_line(100, 60, 193, 25, 31, 0.4, FL_GREEN);
             sheet.ofl_drw_arrow_line(150, 140, 150, 5, 25, 0.6, FL_RED);
             sheet.ofl_arrowbound(200, 100, 171, 112, FL_BLUE);
             sheet.ofl_arrowbound(10, 9, 15, 13, FL_GREEN);
             sheet.ofl_circ(151, 92, 61, FL_RED);
             sheet.ofl_circf(-11, 109, 50, FL_BLUE);
             sheet.ofl_circbound(163, -21, 52, FL_GREEN);
             sheet.ofl_rect(9, 41, 40, 21, FL_RED);
             sheet.ofl_rectf(60, 125, 30, 20, FL_BLUE);
             sheet.ofl_rectbound(171, 60, 30, 31, FL_GREEN);
         }},
        {"range_ends", [] {
             // Shapes whose coordinates reach the ends of the 16 bits X11
             // carries, and no further.
             OFL_vision_sheet sheet;
             sheet.define(10, 10, 180, 130, FL_BLACK);
             sheet.ofl_line(-32768, -32768, 32767, 32767, FL_RED);
             sheet.ofl_line(-32768, 120, 32767, 125, FL_BLUE);
             sheet.ofl_dash_line(32767, 30, -32768, 40, FL_GREEN);
             sheet.ofl_circ(100, -32668, 65536, FL_RED);
             sheet.ofl_circf(150, -32668, 65536, FL_BLUE);
             sheet.ofl_rect(-32768, -32768, 32848, 32818, FL_GREEN);
             sheet.ofl_rectf(-32768, 130, 65535, 5, FL_RED);
             sheet.ofl_drw_arrow_line(60, 100, 20, 100, 32000, 0.3, FL_GREEN);
         }}};
    for (const auto& [name, paint] : scenes)
        test_files::expect_fixture("forms/sheet/" + std::string(name) + ".txt", map_of(drawn(paint)));
}

// How many pixels two maps show differently.
int pixels_apart(const std::string& a, const std::string& b) {
    int apart = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        apart += a[i] != b[i];
    return apart + static_cast<int>(std::max(a.size(), b.size()) - std::min(a.size(), b.size()));
}

// Each shape reaches past the range X11 carries; the shape beside it stays in
// range and, on the whole plane, shows the same pixels in the box.
TEST(Sheet, FarShapesShowWhatTheirPartInTheBoxIs) {
    NEEDS_DISPLAY();
    const double diagonal = std::atan(1.0);
    struct Case {
        const char* name;
        int box[4];
        std::function<void(OFL_vision_sheet&)> far, near;
    };
    const Case cases[] = {
        {"a line nearly flat at y = 20", {0, 0, 60, 40},
         [](OFL_vision_sheet& s) { s.ofl_line(0, 20, 65566, 30, FL_RED); },
         [](OFL_vision_sheet& s) { s.ofl_line(0, 20, 100, 20, FL_RED); }},
        {"a slanted line with both ends far", {10, 10, 180, 130},
         [](OFL_vision_sheet& s) { s.ofl_line(-59900, -39925, 60100, 40075, FL_BLUE); },
         [](OFL_vision_sheet& s) { s.ofl_line(-200, -125, 400, 275, FL_BLUE); }},
        {"dashes counted from the far end", {10, 10, 180, 130},
         [](OFL_vision_sheet& s) { s.ofl_dash_line(-60000, -20000, 90000, 30000, FL_RED); },
         [](OFL_vision_sheet& s) { s.ofl_dash_line(0, 0, 30000, 10000, FL_RED); }},
        {"flat dashes counted from the far end", {10, 10, 180, 130},
         [](OFL_vision_sheet& s) { s.ofl_dash_line(-40002, 50, 40000, 50, FL_RED); },
         [](OFL_vision_sheet& s) { s.ofl_dash_line(-2, 50, 300, 50, FL_RED); }},
        {"the middle of a far break line", {10, 10, 180, 130},
         [](OFL_vision_sheet& s) { s.ofl_break_line(-79900, 75, 80100, 75, FL_GREEN); },
         [](OFL_vision_sheet& s) { s.ofl_line(-9900, 20075, 10100, -19925, FL_GREEN); }},
        {"barbs 70,000 long", {0, 0, 60, 40},
         [=](OFL_vision_sheet& s) { s.ofl_drw_arrow_line(10, 20, 50, 20, 70000, diagonal, FL_RED); },
         [=](OFL_vision_sheet& s) { s.ofl_drw_arrow_line(10, 20, 50, 20, 100, diagonal, FL_RED); }},
        {"a disc covering the box", {0, 0, 60, 40},
         [](OFL_vision_sheet& s) { s.ofl_circf(-65506, -65516, 131072, FL_RED); },
         [](OFL_vision_sheet& s) { s.ofl_rectf(0, 0, 60, 40, FL_RED); }},
        {"a circle around the box", {0, 0, 60, 40},
         [](OFL_vision_sheet& s) { s.ofl_circ(-131072, -131082, 262205, FL_RED); }, nullptr},
        {"the flat top of a huge circle", {10, 10, 180, 130},
         [](OFL_vision_sheet& s) { s.ofl_circ(-1024900, 75, 2050001, FL_RED); },
         [](OFL_vision_sheet& s) { s.ofl_line(0, 75, 200, 75, FL_RED); }},
        {"the flat top of a huge disc", {10, 10, 180, 130},
         [](OFL_vision_sheet& s) { s.ofl_circbound(-1024900, 75, 2050001, FL_BLUE); },
         [](OFL_vision_sheet& s) {
             s.ofl_rectf(0, 75, 200, 100, FL_BLUE);
             s.ofl_line(0, 75, 200, 75, FL_BLACK);
         }},
        {"a wedge 50,000 long", {0, 0, 200, 150},
         [](OFL_vision_sheet& s) { s.ofl_arrowbound(31, -49979, -49969, -49979, FL_RED); },
         [](OFL_vision_sheet& s) { s.ofl_arrowbound(31, -979, -969, -979, FL_RED); }},
        {"boxes as wide as an int", {10, 10, 100, 100},
         [](OFL_vision_sheet& s) {
             s.ofl_rectf(100, 20, INT_MAX, 20, FL_RED);
             s.ofl_rect(50, 50, INT_MAX, 10, FL_BLUE);
             s.ofl_rectbound(60, 70, INT_MAX, 10, FL_GREEN);
             s.ofl_rect(-100000, 90, 200000, 30, FL_RED);
         },
         [](OFL_vision_sheet& s) {
             s.ofl_rectf(100, 20, 1000, 20, FL_RED);
             s.ofl_rect(50, 50, 1000, 10, FL_BLUE);
             s.ofl_rectbound(60, 70, 1000, 10, FL_GREEN);
             s.ofl_rect(-100, 90, 400, 30, FL_RED);
         }},
    };
    for (const Case& c : cases) {
        const auto picture = [&c](const std::function<void(OFL_vision_sheet&)>& draw) {
            return map_of(drawn([&] {
                OFL_vision_sheet sheet;
                sheet.define(c.box[0], c.box[1], c.box[2], c.box[3], FL_BLACK);
                if (draw)
                    draw(sheet);
            }));
        };
        const std::string far = picture(c.far), near = picture(c.near);
        EXPECT_EQ(pixels_apart(far, near), 0) << c.name;
        EXPECT_EQ(far.find_first_not_of(".\n") == std::string::npos, c.near == nullptr) << c.name;
    }
}

// How many pixels of the picture, farther than a pixel and a half from the
// edge of a shape, are drawn in its colour where the shape is not or left
// white where it is.
int misdrawn(const Screen_picture& picture, Fl_Color colour, const std::function<bool(double, double)>& inside,
             const std::function<double(double, double)>& from_edge) {
    int wrong = 0;
    for (int y = 0; y < canvas_height; ++y)
        for (int x = 0; x < canvas_width; ++x)
            if (from_edge(x, y) > 1.5)
                wrong += inside(x, y) ? !picture.is(x, y, colour) : picture.rgb(x, y) != 0xFFFFFF;
    return wrong;
}

// Circles and a wedge from far away that cross the window on a curve or a
// slant: checked against the shapes themselves.
TEST(Sheet, FarCurvesFollowTheirShape) {
    NEEDS_DISPLAY();
    // The circle through the window for the square at -72550 of side 85101:
    // centre (-30000, -30000), radius 42550.
    const double centre = -30000, radius = 42550;
    const auto distance = [=](double x, double y) { return std::hypot(x - centre, y - centre); };
    const Screen_picture disc = drawn([] { OFL_vision_sheet().ofl_circf(-72550, -72550, 85101, FL_BLUE); });
    EXPECT_EQ(misdrawn(disc, FL_BLUE, [&](double x, double y) { return distance(x, y) <= radius; },
                       [&](double x, double y) { return std::fabs(distance(x, y) - radius); }),
              0);
    const Screen_picture ring = drawn([] { OFL_vision_sheet().ofl_circ(-72550, -72550, 85101, FL_RED); });
    EXPECT_EQ(misdrawn(ring, FL_RED, [](double, double) { return false; },
                       [&](double x, double y) { return std::fabs(distance(x, y) - radius); }),
              0);
    // Each point of the ring in the window has a pixel of it within one.
    int gaps = 0;
    for (double a = 0; a < 2 * std::atan(1.0); a += 0.25 / radius) {
        const double x = centre + radius * std::cos(a), y = centre + radius * std::sin(a);
        if (x < 1 || y < 1 || x > canvas_width - 2 || y > canvas_height - 2)
            continue;
        const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                near = near || ring.is(px + dx, py + dy, FL_RED);
        gaps += !near;
    }
    EXPECT_EQ(gaps, 0);
    // A wedge of 40 degrees pointing down and right from (20.5, 20.5), its
    // shaft coming from 50,000 pixels away (the side of its square is twice
    // that), so that the window holds only its slanted edges.
    const Screen_picture wedge =
        drawn([] { OFL_vision_sheet().ofl_arrowbound(-9979, -19979, -49979, -49979, FL_GREEN); });
    const double half_wedge = std::atan(1.0) * 4 / 9;
    const double middle = std::atan2(3.0, 4.0);  // below the x axis, y downwards
    // How far, as an angle, the direction from the tip turns away from the
    // edge nearest to it: positive inside, negative outside.
    const auto inward = [=](double x, double y) {
        return half_wedge - std::fabs(std::remainder(std::atan2(y - 20.5, x - 20.5) - middle, 8 * std::atan(1.0)));
    };
    EXPECT_EQ(misdrawn(wedge, FL_GREEN, [&](double x, double y) { return inward(x, y) >= 0; },
                       [&](double x, double y) {
                           return std::hypot(x - 20.5, y - 20.5) * std::sin(std::fabs(inward(x, y)));
                       }),
              0);
}

TEST(Sheet, StringTakesTheFontBeforeTheSizeAndDrawsSymbols) {
    NEEDS_DISPLAY();
    const auto drawn_string = [](int size, const char* text) {
        return map_of(drawn([=] {
            OFL_vision_sheet sheet;
            sheet.ofl_drw_String(FL_ALIGN_CENTER, 10, 10, 180, 60, FL_BLUE, FL_HELVETICA_BOLD, size, text);
        }));
    };
    const auto blue = [](const std::string& map) { return std::count(map.begin(), map.end(), 'B'); };
    const std::string by_text = map_of(drawn([] {
        char text[] = "Tessan";
        OFL_vision_sheet sheet;
        sheet.ofl_drw_text(FL_ALIGN_CENTER, 10, 10, 180, 60, FL_BLUE, 24, FL_HELVETICA_BOLD, text);
        sheet.ofl_drw_text(FL_ALIGN_CENTER, 10, 80, 180, 60, FL_BLUE, 24, FL_HELVETICA_BOLD, nullptr);
    }));
    EXPECT_EQ(drawn_string(24, "Tessan"), by_text);
    EXPECT_GT(blue(by_text), 2 * blue(drawn_string(10, "Tessan")));
    // "@->" is FLTK's arrow symbol, a filled shape; the three characters
    // themselves, drawn smoothed, would hold hardly a pixel of the exact colour.
    EXPECT_GT(blue(drawn_string(14, "@->")), 40);
}

TEST(Sheet, WithoutADisplayDrawsNothingAndReturns) {
    EXPECT_EQ(sheet_support::run_headless("draw"), "returned");
}

}  // namespace
