// status.cpp -- the status strip: one line of text in a framed sub-window.
#include <GL/freeglut.h>  // Required for: glutSetWindow(), glutBitmapCharacter(), glutSwapBuffers()

#include "common/state.h"
#include "app/viewer.h"
#include "render/bitmap_text.h"
#include "common/colour_table.h"

namespace {

// Strip background and frame.
const float strip_grey = 0.25f;
const float frame_corner_x = 0.999f;     // normalised, just inside the edges
const float frame_corner_y = 0.99f;

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
    if (window_state.status_window == 0)
        return;  // no strip window: the touch face draws the strip with the frame
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

// Shows or hides the strip window, which stays the current window; nothing
// when there is none.
void show_strip_window(bool shown)
{
    if (window_state.status_window == 0)
        return;
    glutSetWindow(window_state.status_window);
    if (shown)
        glutShowWindow();
    else
        glutHideWindow();
}

// Keeps the strip's viewport on the whole sub-window.
void on_status_reshape(int w, int h) { glViewport(0, 0, w, h); }
