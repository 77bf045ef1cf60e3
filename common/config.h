// config.h -- the facts and limits every part of Vevuv shares (viewer, maintainer programs,
// tests and benchmarks): capacities, the status strip, the desk block, the texture slots
// and the fixed places of the floor. Each is written here and nowhere else.
#pragma once

#include <cstddef>  // Required for: std::size_t
#include <string>   // Required for: std::string

// ---------------------------------------------------------------------------
// Capacities. Walls and table segments share one array.
constexpr int max_walls = 300;            // plan walls plus table segments
constexpr int max_lintels = 300;          // lintels over doorways
constexpr int max_tables = 300;           // tables (desks with chairs)
constexpr int max_locator_records = 50;   // records kept from the locator file
constexpr int locator_name_size = 12;     // room text, terminating zero included
constexpr int locator_token_size = 20;    // longest locator token read, zero included
// Room record field widths, terminating zero included; longer texts are cut to fit.
constexpr int professor_size = 20;
constexpr int long_text_size = 100;       // Introduction_Text, Research, Publications
constexpr int short_text_size = 20;       // Texture, Image
constexpr int normal_table_size = 12;
constexpr int status_text_size = 200;     // the status line, terminating zero included

// ---------------------------------------------------------------------------
// Status strip: a sub-window at (5, 5) in the main window, window width - 10
// pixels wide and window height / 10 high.
constexpr int status_strip_x = 5;
constexpr int status_strip_y = 5;
constexpr int status_strip_side_margin = 10;
constexpr int status_strip_height_divisor = 10;
// A line that would start further left starts this many pixels inside the strip.
constexpr int status_text_left_margin = 5;

// The status strip's width for a main window of that width, pixels.
inline int status_strip_width(int window_width) { return window_width - status_strip_side_margin; }
// The status strip's height for a main window of that height, pixels.
inline int status_strip_height(int window_height) { return window_height / status_strip_height_divisor; }

// Where a status line of n characters starts, in the strip's normalised
// coordinates: x = 0.2 - (n * 4.3 / width + 0.5), but never left of the margin.
inline double status_text_x(std::size_t characters, int window_width)
{
    const double width = window_width != 0 ? window_width : 1;
    const double strip = status_strip_width(window_width) > 0 ? status_strip_width(window_width) : 1;
    const double x = 0.2 - (double(characters) * 4.3 / width + 0.5);
    const double margin = -1.0 + 2.0 * status_text_left_margin / strip;
    return x < margin ? margin : x;
}
// The status line's baseline: y = width * 0.1 / height, normalised.
inline double status_text_y(int window_width, int window_height)
{
    return double(window_width) * 0.1 / double(window_height != 0 ? window_height : 1);
}

// ---------------------------------------------------------------------------
// The corridor: its status line, and the plan line (y) beyond which desks are
// turned round. Compared in single precision, so a desk written at 2.7 lies on it.
constexpr char corridor_text[] = "You are in the corridor";
constexpr float desk_turn_line_y = 2.7f;

// ---------------------------------------------------------------------------
// A desk that blocks (table kind 2) is a 1.1 x 1.0 world-unit block of four
// segments appended to the wall table.
constexpr int blocking_table_kind = 2;
constexpr int table_block_segments = 4;
constexpr double table_block_length = 1.1;  // reach along x, world units
constexpr double table_block_side = 1.0;    // reach along z, world units

// True when a desk block fits behind used entries of the wall table.
inline bool table_block_fits(int used) { return used >= 0 && used <= max_walls - table_block_segments; }
// What is said when the block of what (a table, a visit's desk) does not fit.
inline std::string table_block_refusal(const std::string& what)
{
    return "no room for the " + std::to_string(table_block_segments) + " blocking segments of " + what
        + " (walls plus table segments are limited to " + std::to_string(max_walls)
        + "); the table is drawn but does not block";
}

// ---------------------------------------------------------------------------
// Textures: seven files loaded in this order; slot i fills texture object
// i + 1 whatever happens to the others (desk k binds object k).
constexpr int texture_slot_count = 7;
constexpr const char* texture_files[texture_slot_count] = {
    "texture2.rgb",     // object 1: desk 1
    "tabletexture.rgb", // object 2: desk 2
    "walltexture.rgb",  // object 3: desk 3
    "walltexture2.rgb", // object 4: walls and lintels
    "dolvane.rgb",      // object 5: first portrait
    "trevarnik.rgb",    // object 6: second portrait
    "person.rgb",       // object 7: the visitor's marker in the pop-up view
};
constexpr unsigned wall_texture = 4;
constexpr unsigned first_portrait_texture = 5;
constexpr unsigned second_portrait_texture = 6;
constexpr unsigned marker_texture = 7;
constexpr int texture_size = 256;  // every texture is rescaled to this square, pixels

// ---------------------------------------------------------------------------
// The two portrait figures stand at these plan points whatever the plan.
struct PlanPoint {
    float x, y;  // plan units
};
constexpr PlanPoint portrait_points[2] = {{17.6f, 4.6f}, {24.5f, 1.5f}};
