// help_page.cpp -- the page that lists the keys, drawn in place of the building.
#include "render/help_page.h"

#include <GL/freeglut.h>  // Required for: GLUT_BITMAP_TIMES_ROMAN_24

#include "render/bitmap_text.h"

namespace {

// The help page: 640 x 480 units with y upward, unit centres on whole numbers.
constexpr double page_left = -0.5, page_right = 639.5;
constexpr double page_bottom = -0.5, page_top = 479.5;

struct HelpLine {
    int x, y;           // raster position on the page
    const char* text;   // shown exactly as written
};

// In drawing order; on screen the mouse lines come before the quit line,
// and the Find keys stand right of the first and the third line.
const HelpLine help_lines[] = {
    {60, 420, "F1 -Help"},
    {60, 370, "V - Toggle Between POP-UP view of maze"},
    {60, 320, "T - To Toggle Texture"},
    {60, 270, "W - Walk through the walls on/off"},
    {60, 220, "Arrow Keys - Move Around the Maze"},
    {60, 70, "Esc/Q : QUIT"},
    {60, 170, " Optional {Use The Left Mouse Button :"},
    {100, 120, " To Maneuver  through the maze}"},
    {340, 420, "F3 or / - Find a Room"},
    {340, 320, "G - Walk There"},
};

} // namespace

// Replaces the picture with the page that lists the keys.
void draw_help_page()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(page_left, page_right, page_bottom, page_top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const HelpLine& line : help_lines) {
        glRasterPos2i(line.x, line.y);
        draw_bitmap_string(GLUT_BITMAP_TIMES_ROMAN_24, line.text);
    }
}
