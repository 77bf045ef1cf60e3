// touch_layout.h -- where the touch face puts its parts in a window of a
// given size (buttons, keyboard, Find's rows, the map's area), and which part
// a tap at a pixel hits. Pixels, y counted from the window's top as the
// pointer reports it.
#pragma once

#include <string>  // Required for: std::string
#include <vector>  // Required for: std::vector

namespace touch {

// A rectangle of the window, pixels from its top-left corner.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    // True when pixel (px, py) lies inside.
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The panels that may cover the walking view.
enum class Panel { none, find, map, help };

// The buttons of the bar, in order along the bottom edge.
enum class Button { find, map, help, start_again, walk_there, count };

// The words on the buttons.
extern const char* const button_words[int(Button::count)];

// Keys of the on-screen keyboard that type no character.
constexpr char delete_key = 8;
constexpr char close_key = 27;

// One key of the on-screen keyboard.
struct Key {
    char code;          // the character typed, or delete_key, close_key
    std::string label;  // the word or letter on it
    Rect rect;
};

// Button height as a share of the window's height (at least 7 % asked).
constexpr double button_share = 0.08;

// Every part's place in a window of width x height.
struct Layout {
    int width = 0, height = 0;
    int text_size = 0;         // em of body text, pixels
    int gap = 0;               // space between parts, pixels
    Rect strip;                // the status strip along the top edge
    Rect buttons[int(Button::count)];
    Rect content;              // between the strip and the bar
    Rect list;                 // Find's rows (left half of content)
    Rect query;                // the typed text above the keyboard
    std::vector<Key> keys;     // the keyboard (right half of content)
    int row_height = 0;        // one row of Find's list, pixels
    Rect welcome;              // the welcome line just above the bar
};

// The layout of a window; button widths follow their words at the text size.
// word_width gives a word's width in pixels at a text size.
Layout make_layout(int width, int height, int (*word_width)(const std::string& word, int size));

// What a tap can hit.
enum class HitKind { nothing, button, key, row, content };

// A tap's target: a button (index Button), a key (index into keys), a row of
// Find's list (index from the list's first row), or the content area.
struct Hit {
    HitKind kind = HitKind::nothing;
    int index = 0;
};

// The part under pixel (x, y) with the panel shown; scroll is how far Find's
// list is scrolled, pixels; rows the number of its rows; walk_there whether
// that button shows.
Hit hit_test(const Layout& layout, Panel panel, int x, int y, int scroll, int rows, bool walk_there);

// Largest scroll of a list of rows in the layout, pixels (0 when all fit).
int max_scroll(const Layout& layout, int rows);

} // namespace touch
