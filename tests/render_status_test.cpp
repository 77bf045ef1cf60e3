// render_status_test.cpp -- the status strip and the help page drawn into a
// real window and read back; the bitmap strings' raster advance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/viewer.h"
#include "render_gl_harness.h"

using namespace render_test;

namespace {

bool is_white(const Picture& p, int x, int y) { return p.red(x, y) > 0.8f && p.green(x, y) > 0.8f && p.blue(x, y) > 0.8f; }

// Where the white pixels of a picture lie; count 0 when there are none.
struct TextBounds {
    int count = 0;
    int left = 1 << 30, right = -1, bottom = 1 << 30, top = -1;
};

TextBounds white_bounds(const Picture& p)
{
    TextBounds b;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (is_white(p, x, y)) {
                ++b.count;
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.bottom = std::min(b.bottom, y);
                b.top = std::max(b.top, y);
            }
    return b;
}

// Shows text in the strip of a 700 x 500 window and reads the strip back.
Picture strip_showing(const std::string& text)
{
    open_windows();
    std::snprintf(window_state.status_text, sizeof window_state.status_text, "%s", text.c_str());
    on_status_display();
    return read_picture();
}

// Column where a line of n characters starts in a 690-pixel strip at 700 x 500.
double expected_start_column(size_t n) { return (0.2 - (n * 4.3 / 700.0 + 0.5) + 1.0) / 2.0 * 690.0; }

} // namespace

TEST(StatusStrip, LineWhiteOnGreyInsideAGreenFrameStartingByItsLength)
{
    Picture p = strip_showing("You are in the corridor");
    EXPECT_EQ(glutGetWindow(), window_state.status_window);
    ASSERT_EQ(p.width, 690);
    ASSERT_EQ(p.height, 50);
    EXPECT_TRUE(p.is(100, 10, 0.25f, 0.25f, 0.25f, 0.01f));
    EXPECT_TRUE(p.is(345, 0, 0.0f, 1.0f, 0.0f, 0.01f));   // frame, bottom edge
    EXPECT_TRUE(p.is(689, 25, 0.0f, 1.0f, 0.0f, 0.01f));  // right edge
    // Normalised (-0.441, 0.14): column 193, baseline row 28.5.
    TextBounds text = white_bounds(p);
    EXPECT_NEAR(text.left, expected_start_column(23), 3.0);
    EXPECT_GE(text.bottom, 27);  // no descenders in this line: the baseline
    EXPECT_LE(text.bottom, 30);
    EXPECT_LE(text.top, 48);     // inside the frame
    const int length = glutBitmapLength(GLUT_BITMAP_HELVETICA_18, reinterpret_cast<const unsigned char*>("You are in the corridor"));
    EXPECT_NEAR(text.right, expected_start_column(23) + length, 3.0);

    const std::string room_line = "Room 312 (Kiosk Systems and Departmental Wayfinding)";
    EXPECT_NEAR(white_bounds(strip_showing(room_line)).left, expected_start_column(room_line.size()), 3.0);

    p = strip_showing("");  // empty text shows only the frame
    EXPECT_EQ(white_bounds(p).count, 0);
    EXPECT_TRUE(p.is(345, 49, 0.0f, 1.0f, 0.0f, 0.01f));
}

// A line longer than 0.7 * 700 / 4.3 characters starts at the strip's 5-pixel
// margin and is cut at its right end; UTF-8 text shows as Latin-1 glyphs,
// placed by its characters, so each accented line covers the columns of its
// plain twin.
TEST(StatusStrip, LongLinesStartAtTheMarginAndAccentsArePlacedByCharacters)
{
    const struct {
        std::string text, twin;  // twin empty: the line runs from the margin past the strip's end
    } rows[] = {
        {std::string(120, 'x'), ""},
        {"Prof. J\u00fcrgen M\u00fcller, caf\u00e9", "Prof. Jurgen Muller, cafe"},
        {"Room 301 (\u00c5ngstr\u00f6m Lab)", "Room 301 (Angstrom Lab)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const TextBounds shown = white_bounds(strip_showing(row.text));
        if (row.twin.empty()) {
            EXPECT_NEAR(shown.left, 5, 2);
            EXPECT_GE(shown.right, 686);
            continue;
        }
        const TextBounds twin = white_bounds(strip_showing(row.twin));
        EXPECT_EQ(shown.left, twin.left);
        EXPECT_EQ(shown.right, twin.right);
        EXPECT_GT(shown.count, twin.count);  // the accents add their dots and rings
    }
}

TEST(StatusStrip, TextAdvancesCharacterByCharacterFromTheRasterItWasGiven)
{
    open_windows();
    glutSetWindow(window_state.status_window);
    double before[4], after[4];
    // Re-expressed through a strip of width - 10 by height / 10 pixels, the
    // raster lands where it was when the strip has exactly that size...
    glRasterPos2f(-0.441f, 0.14f);
    glGetDoublev(GL_CURRENT_RASTER_POSITION, before);
    draw_status_text("Room 7 (x)");
    glGetDoublev(GL_CURRENT_RASTER_POSITION, after);
    const int advance = glutBitmapLength(GLUT_BITMAP_HELVETICA_18, reinterpret_cast<const unsigned char*>("Room 7 (x)"));
    EXPECT_NEAR(after[0], before[0] + advance, 0.01);
    EXPECT_NEAR(after[1], before[1], 0.01);
    // ... and scales with the strip size the main window's size implies.
    window_state.width = 1000;  // a strip of 990 pixels
    glRasterPos2f(-0.441f, 0.14f);
    draw_status_text("");
    glGetDoublev(GL_CURRENT_RASTER_POSITION, after);
    EXPECT_NEAR(after[0], before[0] * 690.0 / 990.0, 0.01);
    window_state.width = main_width;
}

TEST(HelpPage, DrawsTheNineLinesGlyphByGlyph)
{
    open_windows();
    glViewport(0, 0, main_width, main_height);
    // Feedback reports each glyph as a bitmap at the raster position it was drawn from.
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw_help_page();
    const int used = glRenderMode(GL_RENDER);
    ASSERT_GT(used, 0);
    std::vector<std::pair<float, float>> glyphs;
    for (int i = 0; i < used; i += 4) {
        ASSERT_EQ(GLenum(buffer[i]), GLenum(GL_BITMAP_TOKEN));
        glyphs.emplace_back(buffer[i + 1], buffer[i + 2]);
    }

    // 216 glyphs in the eight lines of the classic keys and 35 in the two
    // Find lines; the first and the last line drawn, each glyph advancing by
    // its width from the line's start.
    ASSERT_EQ(glyphs.size(), 216u + 35u);
    auto expect_line = [&glyphs](size_t g, int line_x, int line_y, const char* text) {
        float x = float((line_x + 0.5) * main_width / 640.0);
        const float y = float((line_y + 0.5) * main_height / 480.0);
        for (const char* c = text; *c; ++c, ++g) {
            EXPECT_NEAR(glyphs[g].first, x, 0.01) << "glyph '" << *c << "' of \"" << text << "\"";
            EXPECT_NEAR(glyphs[g].second, y, 0.01) << "glyph '" << *c << "' of \"" << text << "\"";
            x += glutBitmapWidth(GLUT_BITMAP_TIMES_ROMAN_24, *c);
        }
    };
    expect_line(0, 60, 420, "F1 -Help");
    expect_line(216 - 31, 100, 120, " To Maneuver  through the maze}");
    expect_line(216, 340, 420, "F3 or / - Find a Room");
}
