// touch_test.cpp -- the touch face's ground: the text size, the layout and
// its hit testing, the contrast of every colour pair, and the overlay drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utf8.h"
#include "text/text_painter.h"
#include "touch/touch_colours.h"
#include "touch/touch_layout.h"
#include "touch/touch_view.h"
#include "support.h"

TEST(TouchFace, TextSizeButtonsKeysAndHits)
{
    ASSERT_TRUE(text::load_fonts()) << "the DejaVu fonts are installed by scripts/setup.sh";
    const auto word_width = [](const std::string& word, int size) { return int(word.size()) * size / 2; };
    for (int height : {500, 768, 1080, 2160}) {
        const int width = height * 16 / 9;
        EXPECT_GE(text::capital_height(text::body_size(height)), 0.022 * height) << height;
        const touch::Layout l = touch::make_layout(width, height, word_width);
        for (const touch::Rect& b : l.buttons)
            EXPECT_GE(b.h, 0.07 * height);
        for (int b = 0; b < int(touch::Button::count); ++b) {
            const touch::Rect& r = l.buttons[b];
            const touch::Hit hit = touch::hit_test(l, touch::Panel::find, r.x + r.w / 2, r.y + r.h / 2, 0, 0, true);
            EXPECT_EQ(hit.kind, touch::HitKind::button);
            EXPECT_EQ(hit.index, b);
        }
        ASSERT_EQ(l.keys.size(), 36u + 3u);
        for (size_t k = 0; k < l.keys.size(); ++k) {
            const touch::Rect& r = l.keys[k].rect;
            EXPECT_EQ(r.h, l.buttons[0].h) << "keys as tall as the buttons";
            EXPECT_TRUE(l.content.contains(r.x, r.y) && l.content.contains(r.x + r.w - 1, r.y + r.h - 1));
            const touch::Hit hit = touch::hit_test(l, touch::Panel::find, r.x + r.w / 2, r.y + r.h / 2, 0, 0, false);
            EXPECT_EQ(hit.kind, touch::HitKind::key);
            EXPECT_EQ(hit.index, int(k));
        }
        // The twentieth row, scrolled into view, is hit; past the last row nothing is.
        const int scroll = touch::max_scroll(l, 20);
        const int y = l.list.y + l.list.h - l.row_height / 2;
        EXPECT_EQ(touch::hit_test(l, touch::Panel::find, l.list.x + 5, y, scroll, 20, false).index, 19);
        EXPECT_EQ(touch::hit_test(l, touch::Panel::find, l.list.x + 5, y, 0, 1, false).kind, touch::HitKind::content);
        EXPECT_EQ(touch::hit_test(l, touch::Panel::none, l.list.x + 5, y, 0, 20, false).kind, touch::HitKind::nothing);
    }
}

TEST(TouchFace, EveryTextColourHasContrast)
{
    for (const touch::TextPair& pair : touch::text_pairs)
        EXPECT_GE(touch::contrast_ratio(pair.text, pair.background), 4.5)
            << pair.text.r << "," << pair.text.g << "," << pair.text.b << " on " << pair.background.r << ","
            << pair.background.g << "," << pair.background.b;
}

// The overlay draws in window pixels and leaves both matrix stacks as it
// found them; the arrival banner lies across the middle of the content area.
TEST(TouchFace, BannerAcrossTheMiddleAndTheMatricesAsFound)
{
    test::open_windows();
    glutSetWindow(window_state.main_window);
    const int width = test::main_width, height = test::main_height;
    const auto word_width = [](const std::string& word, int size) { return int(word.size()) * size / 2; };
    const touch::Layout l = touch::make_layout(width, height, word_width);
    static text::Painter painter(4000);
    const auto matrices = [] {
        GLint depths[2];
        GLfloat m[32];
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depths[0]);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depths[1]);
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glGetFloatv(GL_PROJECTION_MATRIX, m + 16);
        return test::text(depths[0], depths[1], m[12], m[13], m[14], m[16], m[21]);
    };
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, double(width) / height, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    const std::string before = matrices();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    touch::begin_overlay(width, height);
    touch::draw_banner(l, painter, "You have arrived", "Room 304 (Graphics Lab)");
    touch::end_overlay();
    EXPECT_EQ(matrices(), before);
    const test::Picture p = test::read_picture();
    double rows = 0;
    int count = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.is(x, y, touch::arrival_green.r, touch::arrival_green.g, touch::arrival_green.b)) {
                rows += y;
                ++count;
            }
    ASSERT_GT(count, 0);
    EXPECT_NEAR(rows / count, height - (l.content.y + l.content.h / 2.0), 3.0);
}

// A glyph texture starts small and grows as characters fill it; glyphs
// placed before it grew draw as a painter that never grew draws them.
TEST(TouchFace, GlyphTexturesGrowAndKeepTheirGlyphs)
{
    test::open_windows();
    glutSetWindow(window_state.main_window);
    ASSERT_TRUE(text::load_fonts());
    const int size = 40;
    const auto picture_of = [size](text::Painter& painter, const std::string& words) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        touch::begin_overlay(test::main_width, test::main_height);
        painter.draw(words, 20, 40, size, text::Weight::regular, {1.0f, 1.0f, 1.0f});
        touch::end_overlay();
        return test::read_picture().rgb;
    };
    const auto texture_height = [](unsigned texture) {
        GLint height = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        return height;
    };
    text::Painter grown(4100), fresh(4200);
    picture_of(grown, "Wo");
    const GLint first = texture_height(4100);
    std::string every;
    for (char32_t c = 0x21; c < 0x17F; ++c)
        every += utf8::encode(c);
    grown.width(every, size, text::Weight::regular);
    EXPECT_GT(texture_height(4100), first);
    const std::string words = "Wo \u00C5\u017D";
    EXPECT_TRUE(picture_of(grown, words) == picture_of(fresh, words));
}
