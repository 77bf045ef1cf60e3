// status.cpp -- the status strip (one line of text in a framed sub-window)
// and the help page that replaces the building while F1 is on.
#include <GL/freeglut.h>  // Required for: glutSetWindow(), glutBitmapCharacter(), glutSwapBuffers()
#include <cstring>        // Required for: strnlen(), std::strlen()
#include <string>         // Required for: std::string

#include "app/state.h"
#include "app/viewer.h"
#include "render/colour_table.h"

namespace {

// Strip background and frame.
const float strip_grey = 0.25f;
const float frame_corner_x = 0.999f;     // normalised, just inside the edges
const float frame_corner_y = 0.99f;

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
    {60, 270, "W - Allows to go through the walls "},
    {60, 220, "Arrow Keys - Move Around the Maze"},
    {60, 70, "Esc/Q : QUIT"},
    {60, 170, " Optional {Use The Left Mouse Button :"},
    {100, 120, " To Maneuver  through the maze}"},
    {340, 420, "F3 or / - Find a Room"},
    {340, 320, "G - Walk There"},
};

// A divisor that is never zero: a window squeezed to nothing still divides.
int non_zero(int pixels) { return pixels != 0 ? pixels : 1; }

// The green frame just inside the strip's edges.
void draw_status_frame()
{
    glColor3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(-frame_corner_x, -frame_corner_y);
    glVertex2f(-frame_corner_x, frame_corner_y);
    glVertex2f(frame_corner_x, frame_corner_y);
    glVertex2f(frame_corner_x, -frame_corner_y);
    glEnd();
}

// Places the raster at the start of the status line, further left the
// longer the line (in characters), never left of the strip's margin.
void place_status_raster()
{
    const std::size_t n = glyph_text(window_state.status_text, status_text_size).size();
    const double x = status_text_x(n, window_state.width);
    const double y = status_text_y(window_state.width, window_state.height);
    glRasterPos2f(static_cast<float>(x), static_cast<float>(y));
}

// What the strip was last drawn with: its line and the main window's size,
// which places the line and sizes the strip.
struct StripDrawn {
    std::string text;
    int width = -1, height = -1;
};
StripDrawn strip_drawn;

// Frames that still redraw the strip after its line or size changed: two,
// since Mesa may take the new size of a resized strip only at its next swap.
constexpr int frames_after_change = 2;
int strip_frames_owed = frames_after_change;

} // namespace

// Redraws the status strip when its line or the window size changed since
// it was drawn; X keeps the strip's pixels in between, and an exposed strip
// is redrawn by its own display callback.
void refresh_status_strip()
{
    const std::string text = glyph_text(window_state.status_text, status_text_size);
    if (text != strip_drawn.text || window_state.width != strip_drawn.width ||
        window_state.height != strip_drawn.height) {
        strip_drawn = {text, window_state.width, window_state.height};
        strip_frames_owed = frames_after_change;
    }
    if (strip_frames_owed == 0)
        return;
    --strip_frames_owed;
    on_status_display();
}

// Redraws the status strip: grey background, green frame, white status line.
void on_status_display()
{
    glutSetWindow(window_state.status_window);
    glClearColor(strip_grey, strip_grey, strip_grey, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_status_frame();
    colour_table.set_gl_colour("White");
    place_status_raster();
    draw_status_text(window_state.status_text);
    glutSwapBuffers();
}

// Draws text in white Helvetica 18 from the current raster position,
// re-expressed in the strip's normalised coordinates.
void draw_status_text(const char* text)
{
    colour_table.set_gl_colour("White");
    // A line that starts outside the strip leaves no valid raster position,
    // and the position GL then reports is meaningless: draw nothing.
    GLboolean raster_valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &raster_valid);
    if (!raster_valid)
        return;
    double raster[4];
    glGetDoublev(GL_CURRENT_RASTER_POSITION, raster);
    const double strip_width = non_zero(status_strip_width(window_state.width));
    const double strip_height = non_zero(status_strip_height(window_state.height));
    glRasterPos2d(2.0 * raster[0] / strip_width - 1.0, 2.0 * raster[1] / strip_height - 1.0);
    if (text == nullptr)
        return;
    // No status line is longer than the status buffer holds.
    for (unsigned char glyph : glyph_text(text, status_text_size))
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, glyph);
}

// Keeps the strip's viewport on the whole sub-window.
void on_status_reshape(int w, int h) { glViewport(0, 0, w, h); }

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

// Draws text character by character in a GLUT bitmap font.
void draw_bitmap_string(void* font, const char* text)
{
    if (text == nullptr)
        return;
    for (unsigned char glyph : glyph_text(text, std::strlen(text)))
        glutBitmapCharacter(font, glyph);
}

// The glyphs of UTF-8 text of at most max_bytes: each character the bitmap
// fonts hold (Latin-1) as its own code, any other character and any byte
// that is no well-formed UTF-8 as '?'.
std::string glyph_text(const char* text, std::size_t max_bytes)
{
    std::string glyphs;
    const std::size_t length = strnlen(text, max_bytes);
    for (std::size_t at = 0; at < length;) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const std::size_t size = lead < 0x80   ? 1
                                 : lead > 0xF4 ? 0
                                 : lead >= 0xF0 ? 4
                                 : lead >= 0xE0 ? 3
                                 : lead >= 0xC2 ? 2 : 0;
        bool whole = size > 0 && at + size <= length;
        unsigned long code = size == 1 ? lead : lead & (0x7F >> size);
        for (std::size_t k = 1; whole && k < size; ++k) {
            whole = (static_cast<unsigned char>(text[at + k]) & 0xC0) == 0x80;
            code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
        }
        // Only one or two bytes can hold a Latin-1 character; longer ones above it are '?'.
        glyphs += whole && size <= 2 ? static_cast<char>(code) : '?';
        at += whole ? size : 1;
    }
    return glyphs;
}
