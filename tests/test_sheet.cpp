// The drawing sheet: what its operations put on the screen of a real window,
// read back pixel by pixel at the top-left coordinates given to them, and
// what they leave behind (clip, line style, colour). Without a display the
// operations draw nothing and return.
#include <gtest/gtest.h>

#include "tests/sheet_support.h"

#include <FL/Fl_Widget.H>

#include <climits>
#include <sstream>

namespace {

using sheet_support::Screen_picture;

const int canvas_width = 200;
const int canvas_height = 150;

// A widget that paints itself white, then lets the test draw.
class Canvas : public Fl_Widget {
public:
    Canvas(std::function<void()> paint)
        : Fl_Widget(0, 0, canvas_width, canvas_height), paint_(std::move(paint)) {}
    void draw() override {
        fl_color(FL_WHITE);
        fl_rectf(x(), y(), w(), h());
        paint_();
    }

private:
    std::function<void()> paint_;
};

// What a window shows when its one widget's draw code runs `paint`.
Screen_picture drawn(const std::function<void()>& paint) {
    Fl_Window window(0, 0, canvas_width, canvas_height);
    Canvas canvas(paint);
    window.end();
    window.show();
    Screen_picture picture(&window);
    window.hide();
    window.remove(canvas);
    return picture;
}

bool untouched_outside(const Screen_picture& picture, int x0, int y0, int x1, int y1) {
    const int all_white = picture.count(0, 0, canvas_width, canvas_height, FL_WHITE);
    const int white_inside = picture.count(x0, y0, x1, y1, FL_WHITE);
    const int outside = canvas_width * canvas_height - (x1 - x0) * (y1 - y0);
    return all_white - white_inside == outside;
}

std::string draw_everything_without_display() {
    OFL_vision_sheet sheet;
    sheet.define(10, 10, 50, 50, FL_RED);
    sheet.ofl_line(0, 0, 10, 10, FL_RED);
    sheet.ofl_dash_line(0, 0, 10, 10, FL_RED);
    sheet.ofl_break_line(0, 0, 10, 10, FL_RED);
    sheet.ofl_rect(0, 0, 10, 10, FL_RED);
    sheet.ofl_rectf(0, 0, 10, 10, FL_RED);
    sheet.ofl_circ(0, 0, 10, FL_RED);
    sheet.ofl_circf(0, 0, 10, FL_RED);
    sheet.ofl_rectbound(0, 0, 10, 10, FL_RED);
    sheet.ofl_circbound(0, 0, 10, FL_RED);
    sheet.ofl_arrowbound(0, 0, 10, 10, FL_RED);
    sheet.ofl_drw_arrow_line(0, 0, 10, 10, 4, 0.5, FL_RED);
    sheet.ofl_drw_String(FL_ALIGN_CENTER, 0, 0, 50, 20, FL_RED, FL_HELVETICA, 12, "text");
    return "returned";
}

[[maybe_unused]] const bool headless_child_ran = sheet_support::run_headless_call_if_asked(
    [](const std::string&) { return draw_everything_without_display(); });

// ---- Clipping ---------------------------------------------------------------------

TEST(SheetClip, KeepsALineInsideTheBox) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.define(10, 20, 100, 50, FL_BLACK);
        sheet.ofl_line(0, 0, 200, 200, FL_RED);
    });
    ASSERT_TRUE(picture.taken());
    EXPECT_TRUE(picture.is(20, 20, FL_RED));
    EXPECT_TRUE(picture.is(69, 69, FL_RED));
    EXPECT_FALSE(picture.is(15, 15, FL_RED));
    EXPECT_FALSE(picture.is(70, 70, FL_RED));
    EXPECT_TRUE(untouched_outside(picture, 10, 20, 110, 70));
}

TEST(SheetClip, EmptyOrInvertedBoxClipsNothing) {
    NEEDS_DISPLAY();
    for (const auto& box : {std::vector<int>{0, 0, 0, 0}, std::vector<int>{100, 100, -50, -50},
                            std::vector<int>{10, 10, 100, 0}}) {
        const Screen_picture picture = drawn([&] {
            OFL_vision_sheet sheet;
            sheet.define(box[0], box[1], box[2], box[3], FL_BLACK);
            sheet.ofl_line(0, 0, 200, 200, FL_RED);
        });
        EXPECT_TRUE(picture.is(5, 5, FL_RED)) << box[2] << "x" << box[3];
        EXPECT_TRUE(picture.is(140, 140, FL_RED)) << box[2] << "x" << box[3];
    }
}

TEST(SheetClip, IsTakenOffAfterEachOperationLeavingTheCallersOwn) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        fl_push_clip(0, 0, 100, canvas_height);
        OFL_vision_sheet sheet;
        sheet.define(10, 10, 20, 20, FL_BLACK);
        sheet.ofl_rectf(0, 0, 200, 200, FL_GREEN);
        fl_color(FL_RED);
        fl_line(0, 100, 199, 100);
        fl_pop_clip();
    });
    EXPECT_TRUE(picture.is(15, 15, FL_GREEN));
    EXPECT_TRUE(picture.is(50, 100, FL_RED));   // the sheet's box is gone
    EXPECT_FALSE(picture.is(150, 100, FL_RED));  // the caller's clip still holds
}

TEST(SheetClip, ResizeMovesTheBox) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.define(0, 0, 20, 20, FL_BLACK);
        sheet.resize(50, 60, 30, 10);
        sheet.ofl_rectf(0, 0, 200, 200, FL_BLUE);
    });
    EXPECT_EQ(picture.count(0, 0, canvas_width, canvas_height, FL_BLUE), 30 * 10);
    EXPECT_TRUE(picture.is(50, 60, FL_BLUE));
    EXPECT_TRUE(picture.is(79, 69, FL_BLUE));
}

TEST(SheetClip, ExtremeCoordinatesNeitherWrapNorDrawAcrossTheWindow) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.define(INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX, FL_BLACK);
        sheet.ofl_line(0, 0, 200, 200, FL_RED);  // clipped away entirely
        sheet.define(INT_MIN, INT_MIN, INT_MAX, INT_MAX, FL_BLACK);
        sheet.ofl_break_line(INT_MAX, INT_MAX, INT_MIN, INT_MIN, FL_RED);
        sheet.ofl_arrowbound(INT_MIN, INT_MIN, INT_MAX, INT_MAX, FL_RED);
        sheet.ofl_drw_arrow_line(INT_MIN, 0, INT_MAX, 1, INT_MAX, 0.5, FL_RED);
    });
    // The box from INT_MIN holds nothing of the window (it ends at -2).
    EXPECT_EQ(picture.count(0, 0, canvas_width, canvas_height, FL_WHITE), canvas_width * canvas_height);
}

// ---- Shapes -----------------------------------------------------------------------

TEST(SheetShapes, RectanglesStartAtTheirTopLeftCorner) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_rect(10, 10, 20, 10, FL_RED);
        sheet.ofl_rectf(40, 10, 20, 10, FL_BLUE);
        sheet.ofl_rectbound(70, 10, 20, 10, FL_GREEN);
    });
    EXPECT_TRUE(picture.is(10, 10, FL_RED));
    EXPECT_TRUE(picture.is(29, 19, FL_RED));
    EXPECT_TRUE(picture.is(20, 15, FL_WHITE));  // an outline only
    EXPECT_EQ(picture.count(40, 10, 60, 20, FL_BLUE), 200);
    EXPECT_TRUE(picture.is(70, 10, FL_BLACK));
    EXPECT_TRUE(picture.is(89, 19, FL_BLACK));
    EXPECT_TRUE(picture.is(80, 15, FL_GREEN));
    EXPECT_TRUE(untouched_outside(picture, 10, 10, 90, 20));
}

TEST(SheetShapes, CirclesFillTheSquareFromItsTopLeftCorner) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_circ(10, 10, 30, FL_RED);
        sheet.ofl_circf(50, 10, 30, FL_BLUE);
        sheet.ofl_circbound(90, 10, 30, FL_GREEN);
    });
    EXPECT_TRUE(picture.is(25, 25, FL_WHITE));  // an outline only
    EXPECT_GT(picture.count(10, 10, 41, 41, FL_RED), 60);
    EXPECT_TRUE(picture.is(65, 25, FL_BLUE));
    EXPECT_TRUE(picture.is(50, 10, FL_WHITE));  // the square's corner is outside the disc
    EXPECT_TRUE(picture.is(105, 25, FL_GREEN));
    EXPECT_GT(picture.count(90, 10, 121, 41, FL_BLACK), 60);
    EXPECT_TRUE(untouched_outside(picture, 10, 10, 121, 41));
}

// ---- Lines ------------------------------------------------------------------------

TEST(SheetLines, DashedLineHasGapsAndLeavesTheStyleSolid) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_dash_line(0, 10, 199, 10, FL_RED);
        fl_color(FL_RED);
        fl_line(0, 20, 199, 20);
    });
    const int dashed = picture.count(0, 10, canvas_width, 11, FL_RED);
    EXPECT_GT(dashed, 40);
    EXPECT_LT(dashed, 160);
    EXPECT_EQ(picture.count(0, 20, canvas_width, 21, FL_RED), canvas_width);
}

TEST(SheetLines, BreakLineZigzagsThroughItsTwoTurningPoints) {
    NEEDS_DISPLAY();
    // From (40, 60) to (120, 60) the turns are a quarter and three quarters of
    // the way along, moved sideways by half the length: (60, 100), (100, 20).
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_break_line(40, 60, 120, 60, FL_RED);
    });
    for (const auto& point : {std::pair<int, int>{40, 60}, {60, 100}, {80, 60}, {100, 20}, {120, 60},
                              {50, 80}, {110, 40}})
        EXPECT_TRUE(picture.is(point.first, point.second, FL_RED)) << point.first << "," << point.second;
    EXPECT_FALSE(picture.is(50, 60, FL_RED));  // nothing along the straight segment
    EXPECT_TRUE(untouched_outside(picture, 40, 20, 121, 101));
}

// ---- Arrows -----------------------------------------------------------------------

struct Barbs {
    int x1, y1, x2, y2;       // the shaft
    int b1x, b1y, b2x, b2y;  // where the barbs start
};

TEST(SheetArrows, BarbsStartAtTruncatedOffsetsBackFromTheTip) {
    NEEDS_DISPLAY();
    // Length 10 at 0.5 radians: cos 8.78 and sin 4.79 truncate to 8 and 4;
    // on a 45-degree shaft cos(pi/4 -+ 0.5) 9.60 and sin 2.82 give 9 and 2.
    const std::vector<Barbs> arrows = {
        {20, 20, 60, 20, 52, 16, 52, 24},        // rightwards
        {60, 50, 20, 50, 28, 46, 28, 54},        // leftwards
        {100, 20, 100, 60, 96, 52, 104, 52},     // down
        {150, 60, 150, 20, 146, 28, 154, 28},    // up
        {20, 80, 60, 120, 51, 118, 58, 111},     // down to the right
        {140, 140, 100, 100, 109, 102, 102, 109} // up to the left
    };
    const Screen_picture picture = drawn([&] {
        OFL_vision_sheet sheet;
        for (const Barbs& a : arrows)
            sheet.ofl_drw_arrow_line(a.x1, a.y1, a.x2, a.y2, 10, 0.5, FL_RED);
    });
    for (const Barbs& a : arrows) {
        std::ostringstream name;
        name << "(" << a.x1 << "," << a.y1 << ")->(" << a.x2 << "," << a.y2 << ")";
        EXPECT_TRUE(picture.is(a.b1x, a.b1y, FL_RED)) << name.str();
        EXPECT_TRUE(picture.is(a.b2x, a.b2y, FL_RED)) << name.str();
        EXPECT_TRUE(picture.is(a.x1, a.y1, FL_RED)) << name.str();
        EXPECT_TRUE(picture.is((a.x1 + a.x2) / 2, (a.y1 + a.y2) / 2, FL_RED)) << name.str();
    }
}

TEST(SheetArrows, ShortBarbsAreTruncatedNotRounded) {
    NEEDS_DISPLAY();
    // cos(0.5) * 4 = 3.51 and sin(0.5) * 4 = 1.92: barbs from (27, 19) and
    // (27, 21); rounding would have put them at (26, 18) and (26, 22).
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_drw_arrow_line(20, 20, 30, 20, 4, 0.5, FL_RED);
    });
    EXPECT_TRUE(picture.is(27, 19, FL_RED));
    EXPECT_TRUE(picture.is(27, 21, FL_RED));
    EXPECT_FALSE(picture.is(26, 18, FL_RED));
    EXPECT_FALSE(picture.is(26, 22, FL_RED));
    EXPECT_TRUE(untouched_outside(picture, 20, 19, 31, 22));
}

TEST(SheetArrows, WedgeFillsFortyDegreesOfTheSquareBelowRightOfTheEndAndLeavesBlack) {
    NEEDS_DISPLAY();
    Fl_Color after = FL_WHITE;
    // From (10, 10) to (30, 10): the square from (30, 10) of side 40, centre
    // (50, 30); the wedge opens to its left, from 160 to 200 degrees.
    const Screen_picture picture = drawn([&] {
        OFL_vision_sheet sheet;
        sheet.ofl_arrowbound(10, 10, 30, 10, FL_RED);
        after = fl_color();
    });
    EXPECT_EQ(after, FL_BLACK);
    EXPECT_TRUE(picture.is(35, 30, FL_RED));
    EXPECT_TRUE(picture.is(45, 30, FL_RED));
    EXPECT_FALSE(picture.is(35, 20, FL_RED));  // outside the 40 degrees
    EXPECT_FALSE(picture.is(65, 30, FL_RED));
    EXPECT_TRUE(untouched_outside(picture, 30, 10, 70, 50));
    // A slanted shaft (3, 4 in proportion) turns the wedge by its angle:
    // from (40, 40) to (70, 80), centre (120, 130), opening up and to the left.
    const Screen_picture slanted = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_arrowbound(40, 40, 70, 80, FL_RED);
    });
    EXPECT_TRUE(slanted.is(102, 106, FL_RED));
    EXPECT_FALSE(slanted.is(138, 106, FL_RED));
}

// ---- Text -------------------------------------------------------------------------

TEST(SheetText, StringTakesTheFontBeforeTheSizeAndDrawsAsText) {
    NEEDS_DISPLAY();
    const Screen_picture by_text = drawn([] {
        OFL_vision_sheet sheet;
        char text[] = "Tessan";
        sheet.ofl_drw_text(FL_ALIGN_CENTER, 10, 10, 180, 60, FL_BLUE, 24, FL_HELVETICA_BOLD, text);
    });
    const Screen_picture by_string = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_drw_String(FL_ALIGN_CENTER, 10, 10, 180, 60, FL_BLUE, FL_HELVETICA_BOLD, 24, "Tessan");
    });
    const Screen_picture small = drawn([] {
        OFL_vision_sheet sheet;
        sheet.ofl_drw_String(FL_ALIGN_CENTER, 10, 10, 180, 60, FL_BLUE, FL_HELVETICA, 10, "Tessan");
    });
    const int blue = by_text.count(0, 0, canvas_width, canvas_height, FL_BLUE);
    EXPECT_GT(blue, 100);
    EXPECT_EQ(by_string.count(0, 0, canvas_width, canvas_height, FL_BLUE), blue);
    for (int y = 0; y < canvas_height; y += 3)
        for (int x = 0; x < canvas_width; x += 3)
            ASSERT_EQ(by_text.is(x, y, FL_BLUE), by_string.is(x, y, FL_BLUE)) << x << "," << y;
    EXPECT_LT(small.count(0, 0, canvas_width, canvas_height, FL_BLUE), blue / 2);
}

TEST(SheetText, IsClippedToTheBoxAndDrawsSymbols) {
    NEEDS_DISPLAY();
    const Screen_picture picture = drawn([] {
        OFL_vision_sheet sheet;
        sheet.define(0, 0, 100, canvas_height, FL_BLACK);
        sheet.ofl_drw_String(FL_ALIGN_CENTER, 0, 0, canvas_width, 40, FL_BLUE, FL_HELVETICA_BOLD, 24,
                             "WWWWWWWWWW");
        sheet.ofl_drw_String(FL_ALIGN_CENTER, 0, 60, 100, 40, FL_RED, FL_HELVETICA, 14, "@->");
        sheet.ofl_drw_text(FL_ALIGN_CENTER, 0, 100, 100, 40, FL_RED, 14, FL_HELVETICA, nullptr);
    });
    EXPECT_GT(picture.count(0, 0, 100, 40, FL_BLUE), 50);
    EXPECT_EQ(picture.count(100, 0, canvas_width, 40, FL_BLUE), 0);
    // "@->" is FLTK's arrow symbol, a filled shape; the three characters
    // themselves, drawn smoothed, would hold hardly a pixel of the exact colour.
    EXPECT_GT(picture.count(0, 60, 100, 100, FL_RED), 40);
    EXPECT_EQ(picture.count(0, 100, canvas_width, canvas_height, FL_RED), 0);
}

// ---- Without a display --------------------------------------------------------------

TEST(SheetWithoutDisplay, DrawsNothingAndReturns) {
    EXPECT_EQ(sheet_support::run_headless("draw"), "returned");
}

}  // namespace
