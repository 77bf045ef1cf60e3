// status_line_check.cpp -- does a room's status line fit the status strip of
// a window at its start size, in the strip's own font?
#include <cstdio>   // Required for: std::snprintf()
#include <cstring>  // Required for: strnlen(), std::strlen()

#include "common/state.h"
#include "render/bitmap_text.h"
#include "directory/room_record.h"
#include "maintainer/check_parts.h"

namespace {

// Advance widths of GLUT's Helvetica 18 bitmap font in pixels, by character
// code; code 0 ends the text. Measured with glutBitmapWidth.
const unsigned char helvetica_18_widths[256] = {
    0,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
    5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
    5,  6,  5,  10, 10, 16, 13, 4,  6,  6,  7,  10, 5,  11, 5,  5,
    10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 5,  5,  10, 11, 10, 10,
    18, 12, 13, 14, 13, 11, 11, 14, 13, 6,  10, 13, 10, 16, 13, 15,
    12, 15, 12, 13, 12, 13, 14, 18, 13, 14, 12, 5,  5,  5,  9,  10,
    4,  9,  11, 10, 11, 10, 6,  11, 10, 4,  4,  9,  4,  14, 10, 11,
    11, 11, 6,  9,  6,  10, 10, 14, 10, 10, 9,  6,  4,  6,  10, 5,
    5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
    5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,  5,
    5,  6,  10, 10, 10, 10, 4,  10, 6,  15, 7,  9,  11, 7,  14, 5,
    7,  10, 6,  6,  4,  10, 10, 4,  5,  6,  7,  9,  15, 15, 15, 10,
    12, 12, 12, 12, 12, 12, 18, 14, 11, 11, 11, 11, 6,  6,  6,  6,
    13, 13, 15, 15, 15, 15, 15, 10, 15, 13, 13, 13, 13, 14, 12, 9,
    9,  9,  9,  9,  9,  9,  15, 10, 10, 10, 10, 10, 4,  4,  4,  4,
    11, 10, 11, 11, 11, 11, 11, 10, 11, 10, 10, 10, 10, 10, 11, 10,
};

int text_width(const std::string& glyphs)
{
    int width = 0;
    for (unsigned char c : glyphs)
        width += helvetica_18_widths[c];
    return width;
}

} // namespace

// Why the status line of the room does not fit the strip at the window's
// start size, or "" when it fits.
std::string status_line_problem(int room_number, const char* introduction)
{
    const WindowState start_window;
    char line[status_text_size];
    const int intro_length = int(strnlen(introduction, long_text_size));
    std::snprintf(line, sizeof line, "Room %d (%.*s)", room_number, intro_length, introduction);
    const std::string glyphs = glyph_text(line, sizeof line);
    const double start = status_text_x(glyphs.size(), start_window.width);
    const std::string size = std::to_string(start_window.width) + " x "
                             + std::to_string(start_window.height);
    const std::string shown = "its status line " + quoted(line);
    const int strip = status_strip_width(start_window.width);
    const int first_pixel = int((start + 1.0) / 2.0 * strip + 1e-9);  // the margin is a whole pixel
    const int width = text_width(glyphs);
    if (first_pixel + width <= strip)
        return "";
    return shown + " starts at pixel " + std::to_string(first_pixel) + " of the "
        + std::to_string(strip) + "-pixel status strip at " + size + " and is "
        + std::to_string(width) + " pixels wide: its end is cut off";
}
