// touch_view.h -- drawing the touch face over the building: the button bar,
// the welcome line, Find's keyboard and rows, the map, the help page, the
// arrival banner and the idle warning.
#pragma once

#include <string>  // Required for: std::string
#include <vector>  // Required for: std::vector

#include "text/text_painter.h"
#include "touch/touch_layout.h"

namespace touch {

// Sets a pixel projection over the whole window (y upward) and the flat
// drawing state; end_overlay puts the caller's matrices and state back.
void begin_overlay(int width, int height);
void end_overlay();

// The status strip: grey, framed in green, the line in bold white from two
// text sizes in, cut to fit.
void draw_strip(const Layout& l, text::Painter& p, const std::string& line);

// The bar: every button (walk_there: whether that one shows), the pressed one darker.
void draw_buttons(const Layout& l, text::Painter& p, int pressed, bool walk_there);

// One line on a dark band just above the bar.
void draw_welcome(const Layout& l, text::Painter& p, const std::string& line);

// One row of Find's list: the room's number and the rest of its line.
struct ListRow {
    std::string number;
    std::string rest;
};

// Find's panel: rows scrolled by scroll pixels, the typed text and the keyboard.
void draw_find_panel(const Layout& l, text::Painter& p, const std::vector<ListRow>& rows, int scroll,
                     const std::string& query, int pressed_key, int pressed_row);

// A room of the map: its box in plan units and its two labels.
struct MapRoom {
    std::string number;
    std::string surname;          // empty when the room has no professor
    float min_x, min_y, max_x, max_y;
    bool chosen;                  // the room the way leads to
};

// A wall or the way's leg on the map, plan units.
struct MapLine {
    float x1, y1, x2, y2;
};

// Everything the map shows, plan units.
struct MapScene {
    float min_x, min_y, max_x, max_y;  // the floor
    std::vector<MapLine> walls;
    std::vector<MapRoom> rooms;
    std::vector<MapLine> way;
    float here_x, here_y;              // the visitor
};

// Where the floor lies in the content area: plan point to pixel and back.
struct MapFrame {
    double scale = 1, left = 0, top = 0, min_x = 0, min_y = 0;
    int to_x(double plan_x) const { return int(left + (plan_x - min_x) * scale); }
    int to_y(double plan_y) const { return int(top + (plan_y - min_y) * scale); }
    double plan_x(int x) const { return min_x + (x - left) / scale; }
    double plan_y(int y) const { return min_y + (y - top) / scale; }
};

// The floor fitted into the content area below a title line, proportions kept.
MapFrame fit_map(const Layout& l, const MapScene& scene);

// The map: floor, rooms with their labels, walls, the way above them and "You are here".
void draw_map(const Layout& l, text::Painter& p, const MapScene& scene);

// A page of lines on the content area, the first as its title.
void draw_page(const Layout& l, text::Painter& p, const std::vector<std::string>& lines);

// A banner across the middle: a title and one line under it.
void draw_banner(const Layout& l, text::Painter& p, const std::string& title, const std::string& line);

// The idle warning: "Still there?" and the seconds left.
void draw_idle_warning(const Layout& l, text::Painter& p, int seconds);

} // namespace touch
