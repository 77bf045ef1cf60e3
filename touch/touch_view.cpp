// touch_view.cpp -- the touch face's pictures, drawn flat in window pixels
// over whatever the main window shows.
#include "touch/touch_view.h"

#include <GL/gl.h>  // Required for: glOrtho(), glBegin(), glRecti()

#include <algorithm>  // Required for: std::min()
#include <cmath>      // Required for: std::pow()

#include "touch/touch_colours.h"

namespace touch {

namespace {

int window_height = 0;  // of the overlay being drawn, pixels
constexpr int map_label_margin = 6;  // least room left beside a surname in its box, pixels

using text::Weight;

// Converts a rectangle to GL's y-upward pixels and fills it.
void fill(const Rect& r, text::Colour c)
{
    glColor3f(c.r, c.g, c.b);
    glRecti(r.x, window_height - r.y - r.h, r.x + r.w, window_height - r.y);
}

// A one-pixel-wide frame, width pixels thick, inside the rectangle.
void frame(const Rect& r, text::Colour c, int width)
{
    fill({r.x, r.y, r.w, width}, c);
    fill({r.x, r.y + r.h - width, r.w, width}, c);
    fill({r.x, r.y, width, r.h}, c);
    fill({r.x + r.w - width, r.y, width, r.h}, c);
}

// The baseline that centres capitals of the size in the rectangle, GL pixels.
int centred_baseline(const Rect& r, int size)
{
    return window_height - r.y - r.h / 2 - text::capital_height(size) / 2;
}

// Text centred in the rectangle, cut to fit it.
void label(text::Painter& p, const Rect& r, const std::string& words, int size, Weight weight, text::Colour c)
{
    const std::string shown = p.fit(words, r.w - size / 2, size, weight);
    const int w = p.width(shown, size, weight);
    p.draw(shown, r.x + (r.w - w) / 2, centred_baseline(r, size), size, weight, c);
}

// Text from the rectangle's left edge plus indent, centred in its height, cut to fit.
void left_label(text::Painter& p, const Rect& r, int indent, const std::string& words, int size, Weight weight,
                text::Colour c)
{
    const std::string shown = p.fit(words, r.w - 2 * indent, size, weight);
    p.draw(shown, r.x + indent, centred_baseline(r, size), size, weight, c);
}

// A thick line between two pixels, as a quad.
void thick_line(double x1, double y1, double x2, double y2, double half, text::Colour c)
{
    const double dx = x2 - x1, dy = y2 - y1;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0)
        return;
    const double nx = -dy / length * half, ny = dx / length * half;
    glColor3f(c.r, c.g, c.b);
    glBegin(GL_QUADS);
    glVertex2d(x1 + nx, window_height - (y1 + ny));
    glVertex2d(x2 + nx, window_height - (y2 + ny));
    glVertex2d(x2 - nx, window_height - (y2 - ny));
    glVertex2d(x1 - nx, window_height - (y1 - ny));
    glEnd();
}

// A filled disc around a pixel.
void disc(int x, int y, int radius, text::Colour c)
{
    glColor3f(c.r, c.g, c.b);
    glBegin(GL_TRIANGLE_FAN);
    glVertex2i(x, window_height - y);
    for (int k = 0; k <= 24; ++k) {
        const double a = k * 2.0 * 3.14159265 / 24;
        glVertex2d(x + radius * std::cos(a), window_height - (y + radius * std::sin(a)));
    }
    glEnd();
}

// Linear light of one sRGB channel.
double linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(text::Colour c) { return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b); }

} // namespace

// The usual formula: (lighter + 0.05) / (darker + 0.05).
double contrast_ratio(text::Colour a, text::Colour b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Saves the matrices and the enable bits it changes.
void begin_overlay(int width, int height)
{
    window_height = height;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glViewport(0, 0, width, height);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

// Restores what begin_overlay saved.
void end_overlay()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void draw_strip(const Layout& l, text::Painter& p, const std::string& line)
{
    const Rect& r = l.strip;
    fill(r, strip_grey);
    frame(r, strip_green, 1);
    const int size = l.text_size;
    const std::string shown = p.fit(line, r.w - 3 * size, size, Weight::bold);
    p.draw(shown, r.x + 2 * size, centred_baseline(r, size), size, Weight::bold, white);
}

// Each button: filled, framed in white, its word centred in bold.
void draw_buttons(const Layout& l, text::Painter& p, int pressed, bool walk_there)
{
    for (int b = 0; b < int(Button::count); ++b) {
        const bool walk = b == int(Button::walk_there);
        if (walk && !walk_there)
            continue;
        const Rect& r = l.buttons[b];
        const text::Colour face = walk ? chosen_yellow : (b == pressed ? pressed_blue : button_blue);
        fill(r, face);
        if (b == pressed) {  // pressed: sunk by a dark border
            frame(r, walk ? black : white, l.gap / 2 + 2);
        } else {
            frame(r, walk ? black : white, 2);
        }
        label(p, r, button_words[b], l.text_size, Weight::bold, walk ? black : white);
    }
}

void draw_welcome(const Layout& l, text::Painter& p, const std::string& line)
{
    fill(l.welcome, panel_dark);
    label(p, l.welcome, line, l.text_size, Weight::regular, white);
}

// Rows alternate in shade; the pressed row and the pressed key turn yellow.
void draw_find_panel(const Layout& l, text::Painter& p, const std::vector<ListRow>& rows, int scroll,
                     const std::string& query, int pressed_key, int pressed_row)
{
    fill(l.content, panel_dark);
    glEnable(GL_SCISSOR_TEST);
    glScissor(l.list.x, window_height - l.list.y - l.list.h, l.list.w, l.list.h);
    const int number_width = p.width("0000", l.text_size, Weight::bold);
    for (size_t i = 0; i < rows.size(); ++i) {
        const Rect r{l.list.x, l.list.y + int(i) * l.row_height - scroll, l.list.w, l.row_height};
        if (r.y + r.h < l.list.y || r.y > l.list.y + l.list.h)
            continue;
        const bool pressed = int(i) == pressed_row;
        fill(r, pressed ? chosen_yellow : (i % 2 == 0 ? row_light : panel_dark));
        const text::Colour ink = pressed ? black : white;
        left_label(p, r, l.text_size / 2, rows[i].number, l.text_size, Weight::bold, ink);
        const Rect rest{r.x + number_width + l.text_size / 2, r.y, r.w - number_width - l.text_size / 2, r.h};
        left_label(p, rest, l.text_size / 2, rows[i].rest, l.text_size, Weight::regular, ink);
    }
    if (rows.empty())
        left_label(p, {l.list.x, l.list.y, l.list.w, l.row_height}, l.text_size / 2, "No person or room matches",
                   l.text_size, Weight::regular, white);
    glDisable(GL_SCISSOR_TEST);
    const bool empty = query.empty();
    left_label(p, l.query, l.text_size / 2, empty ? "Type a name or a room number" : "Find: " + query,
               l.text_size, empty ? Weight::regular : Weight::bold, empty ? white : chosen_yellow);
    for (size_t k = 0; k < l.keys.size(); ++k) {
        const bool pressed = int(k) == pressed_key;
        fill(l.keys[k].rect, pressed ? chosen_yellow : button_blue);
        frame(l.keys[k].rect, pressed ? black : white, 2);
        label(p, l.keys[k].rect, l.keys[k].label, l.text_size, Weight::bold, pressed ? black : white);
    }
}

// Below a title line, as large as the area allows with the floor's proportions.
MapFrame fit_map(const Layout& l, const MapScene& s)
{
    MapFrame f;
    const int title = 2 * l.text_size;
    const double w = s.max_x - s.min_x > 0 ? s.max_x - s.min_x : 1, h = s.max_y - s.min_y > 0 ? s.max_y - s.min_y : 1;
    const double area_w = l.content.w - 2 * l.gap, area_h = l.content.h - title - 2 * l.gap;
    f.scale = std::min(area_w / w, area_h / h);
    f.left = l.content.x + (l.content.w - w * f.scale) / 2;
    f.top = l.content.y + title + (area_h - h * f.scale) / 2;
    f.min_x = s.min_x;
    f.min_y = s.min_y;
    return f;
}

// One room: its box, the number in bold and the surname under it where it fits.
void draw_map_room(const MapFrame& f, const Layout& l, text::Painter& p, const MapRoom& room)
{
    const Rect r{f.to_x(room.min_x), f.to_y(room.min_y), f.to_x(room.max_x) - f.to_x(room.min_x),
                 f.to_y(room.max_y) - f.to_y(room.min_y)};
    fill(r, room.chosen ? chosen_yellow : map_room);
    const int size = l.text_size;
    const int surname_width = p.width(room.surname, size, Weight::regular);
    const bool two_lines = !room.surname.empty() && r.h >= 3 * size && surname_width <= r.w - map_label_margin;
    if (!two_lines) {
        label(p, r, room.number, size, Weight::bold, black);
        return;
    }
    label(p, {r.x, r.y + r.h / 2 - size * 6 / 5, r.w, size * 6 / 5}, room.number, size, Weight::bold, black);
    p.draw(room.surname, r.x + (r.w - surname_width) / 2, centred_baseline({r.x, r.y + r.h / 2, r.w, size * 6 / 5}, size),
           size, Weight::regular, black);
}

// Floor, rooms, walls, the way over them, the marker over all.
void draw_map(const Layout& l, text::Painter& p, const MapScene& s)
{
    fill(l.content, panel_dark);
    left_label(p, {l.content.x, l.content.y, l.content.w, 2 * l.text_size}, l.text_size / 2,
               "Tap a room to find the way there", l.text_size, Weight::bold, white);
    const MapFrame f = fit_map(l, s);
    fill({f.to_x(s.min_x), f.to_y(s.min_y), f.to_x(s.max_x) - f.to_x(s.min_x), f.to_y(s.max_y) - f.to_y(s.min_y)},
         map_floor);
    for (const MapRoom& room : s.rooms)
        draw_map_room(f, l, p, room);
    const double wall_half = f.scale * 0.05 + 1;
    for (const MapLine& w : s.walls)
        thick_line(f.to_x(w.x1), f.to_y(w.y1), f.to_x(w.x2), f.to_y(w.y2), wall_half, map_wall);
    const int x = f.to_x(s.here_x), y = f.to_y(s.here_y);
    const std::string here = "You are here";
    const int w = p.width(here, l.text_size, Weight::bold) + l.text_size;
    const Rect tag{x - w / 2, y + l.text_size, w, l.text_size * 3 / 2};
    fill(tag, here_red);
    label(p, tag, here, l.text_size, Weight::bold, white);
    for (const MapLine& w : s.way)
        thick_line(f.to_x(w.x1), f.to_y(w.y1), f.to_x(w.x2), f.to_y(w.y2), wall_half * 2, map_way);
    disc(x, y, l.text_size / 2 + 2, white);
    disc(x, y, l.text_size / 2, here_red);
}

// Lines one and a half text sizes apart, the title in bold.
void draw_page(const Layout& l, text::Painter& p, const std::vector<std::string>& lines)
{
    fill(l.content, panel_dark);
    const int step = l.text_size * 3 / 2;
    for (size_t i = 0; i < lines.size(); ++i)
        left_label(p, {l.content.x, l.content.y + l.text_size + int(i) * step, l.content.w, step}, l.text_size,
                   lines[i], l.text_size, i == 0 ? Weight::bold : Weight::regular, i == 0 ? chosen_yellow : white);
}

void draw_banner(const Layout& l, text::Painter& p, const std::string& title, const std::string& line)
{
    const int h = l.text_size * 4;
    const Rect r{l.content.x, l.content.y + (l.content.h - h) / 2, l.content.w, h};
    fill(r, arrival_green);
    frame(r, white, 3);
    label(p, {r.x, r.y, r.w, h / 2}, title, l.text_size * 3 / 2, Weight::bold, chosen_yellow);
    label(p, {r.x, r.y + h / 2, r.w, h / 2}, line, l.text_size, Weight::regular, white);
}

void draw_idle_warning(const Layout& l, text::Painter& p, int seconds)
{
    const int w = l.content.w / 2, h = l.text_size * 6;
    const Rect r{l.content.x + (l.content.w - w) / 2, l.content.y + (l.content.h - h) / 2, w, h};
    fill(r, panel_dark);
    frame(r, chosen_yellow, 4);
    label(p, {r.x, r.y, r.w, h / 3}, "Still there?", l.text_size * 3 / 2, Weight::bold, chosen_yellow);
    label(p, {r.x, r.y + h / 3, r.w, h / 3},
          "Starting again in " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds"), l.text_size,
          Weight::regular, white);
    label(p, {r.x, r.y + 2 * h / 3, r.w, h / 3}, "Touch the screen to stay", l.text_size, Weight::regular, white);
}

} // namespace touch
