// touch_layout.cpp -- the touch face's geometry: the button bar, the
// keyboard, Find's list and the welcome line, and hit testing.
#include "touch/touch_layout.h"

#include <cmath>  // Required for: std::ceil()

#include "common/config.h"  // Required for: status_strip_x, status_strip_width(), status_strip_height()
#include "text/text_painter.h"

namespace touch {

const char* const button_words[int(Button::count)] = {"Find", "Map", "Help", "Start again", "Walk there"};

namespace {

// Keyboard rows; the last row holds the wide keys.
const char* const letter_rows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr int keys_per_row = 10;
constexpr int keyboard_rows = 5;

// The bar: buttons from the left edge, "Walk there" at the right.
void place_buttons(Layout& l, int (*word_width)(const std::string&, int))
{
    const int h = int(std::ceil(l.height * button_share));
    const int y = l.height - h - l.gap;
    int x = l.gap;
    for (int b = 0; b < int(Button::walk_there); ++b) {
        int w = word_width(button_words[b], l.text_size) + 2 * l.text_size;
        w = w < 2 * h ? 2 * h : w;
        l.buttons[b] = {x, y, w, h};
        x += w + l.gap;
    }
    int w = word_width(button_words[int(Button::walk_there)], l.text_size) + 2 * l.text_size;
    w = w < 2 * h ? 2 * h : w;
    l.buttons[int(Button::walk_there)] = {l.width - w - l.gap, y, w, h};
}

// Ten keys across the keyboard's width, rows as high as a button, from the bottom up.
void place_keys(Layout& l, const Rect& area, int key_height)
{
    const int key_width = (area.w - (keys_per_row - 1) * l.gap) / keys_per_row;
    const int bottom = area.y + area.h;
    const auto row_y = [&](int row) { return bottom - (keyboard_rows - row) * (key_height + l.gap) + l.gap; };
    for (int row = 0; row < 4; ++row) {
        const std::string letters = letter_rows[row];
        const int indent = (keys_per_row - int(letters.size())) * (key_width + l.gap) / 2;
        for (size_t i = 0; i < letters.size(); ++i)
            l.keys.push_back({letters[i], std::string(1, letters[i]),
                              {area.x + indent + int(i) * (key_width + l.gap), row_y(row), key_width, key_height}});
    }
    const int y = row_y(4);
    const int unit = key_width + l.gap;
    l.keys.push_back({' ', "Space", {area.x, y, 4 * unit - l.gap, key_height}});
    l.keys.push_back({delete_key, "Delete", {area.x + 4 * unit, y, 3 * unit - l.gap, key_height}});
    l.keys.push_back({close_key, "Close", {area.x + 7 * unit, y, 3 * unit - l.gap, key_height}});
    l.query = {area.x, row_y(0) - key_height - l.gap, area.w, key_height};
}

} // namespace

// Strip on top (as in every mode), bar at the bottom, panels in between.
Layout make_layout(int width, int height, int (*word_width)(const std::string&, int))
{
    Layout l;
    l.width = width;
    l.height = height;
    l.text_size = text::body_size(height);
    l.gap = height / 100 > 2 ? height / 100 : 2;
    place_buttons(l, word_width);
    l.strip = {status_strip_x, status_strip_y, status_strip_width(width), status_strip_height(height)};
    const int top = l.strip.y + l.strip.h + l.gap;
    const int bottom = l.buttons[0].y - l.gap;
    l.content = {l.gap, top, width - 2 * l.gap, bottom - top};
    const int half = (l.content.w - l.gap) / 2;
    l.list = {l.content.x, l.content.y, half, l.content.h};
    l.row_height = l.buttons[0].h;
    place_keys(l, {l.content.x + half + l.gap, l.content.y, l.content.w - half - l.gap, l.content.h},
               l.buttons[0].h);
    l.welcome = {l.gap, l.buttons[0].y - l.gap - l.buttons[0].h, width - 2 * l.gap, l.buttons[0].h};
    return l;
}

// Buttons first (always on top), then the open panel's parts.
Hit hit_test(const Layout& l, Panel panel, int x, int y, int scroll, int rows, bool walk_there)
{
    for (int b = 0; b < int(Button::count); ++b) {
        if (b == int(Button::walk_there) && !walk_there)
            continue;
        if (l.buttons[b].contains(x, y))
            return {HitKind::button, b};
    }
    if (panel == Panel::find) {
        for (size_t k = 0; k < l.keys.size(); ++k)
            if (l.keys[k].rect.contains(x, y))
                return {HitKind::key, int(k)};
        if (l.list.contains(x, y)) {
            const int row = (y - l.list.y + scroll) / (l.row_height > 0 ? l.row_height : 1);
            if (row < rows)
                return {HitKind::row, row};
        }
    }
    if (panel != Panel::none && l.content.contains(x, y))
        return {HitKind::content, 0};
    return {};
}

// The rows' total height beyond the list's height.
int max_scroll(const Layout& l, int rows)
{
    const int excess = rows * l.row_height - l.list.h;
    return excess > 0 ? excess : 0;
}

} // namespace touch
