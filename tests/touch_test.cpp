// touch_test.cpp -- the touch face's ground: the text size, the layout and
// its hit testing, and the contrast of every colour pair.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/text_painter.h"
#include "touch/touch_colours.h"
#include "touch/touch_layout.h"

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
