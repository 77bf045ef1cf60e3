// screen_text.cpp -- pixel drawing and the text of the kiosk's panels, in
// DejaVu Sans sized from the window's height (GLUT's bitmap font without it).
#include "render/screen_text.h"

#include <GL/gl.h>  // Required for: glOrtho(), glRecti()
#include <memory>   // Required for: std::unique_ptr

#include "text/text_painter.h"
#include "touch/touch_view.h"

namespace {

// Texture names of the panels' glyphs, apart from every other painter's.
constexpr unsigned panel_glyph_textures = 3000;

int drawing_height = 0;  // height of the window being drawn in, pixels

// The panels' painter of the main window, made on first use.
text::Painter& painter()
{
    static std::unique_ptr<text::Painter> panel_painter;
    if (!panel_painter) {
        text::load_fonts();
        panel_painter = std::make_unique<text::Painter>(panel_glyph_textures);
    }
    return *panel_painter;
}

// Pixel size of the text: body text readable from a metre, titles a third larger.
int pixel_size(TextSize size)
{
    const int body = text::body_size(drawing_height);
    return size == TextSize::large ? body * 4 / 3 : body;
}

text::Weight weight_of(TextSize size) { return size == TextSize::large ? text::Weight::bold : text::Weight::regular; }

} // namespace

// Starts drawing in window pixels.
void begin_pixel_drawing(int width, int height)
{
    drawing_height = height;
    touch::begin_overlay(width, height);
}

// Ends drawing in window pixels; the 3D state is back.
void end_pixel_drawing() { touch::end_overlay(); }

// Fills a rectangle of window pixels.
void fill_pixel_rect(int x, int y, int width, int height, float red, float green, float blue)
{
    glColor3f(red, green, blue);
    glRecti(x, y, x + width, y + height);
}

// Draws one line of white text from pixel (x, y).
void draw_screen_text(int x, int y, const std::string& text, TextSize size)
{
    painter().draw(text, x, y, pixel_size(size), weight_of(size), {1.0f, 1.0f, 1.0f});
}

// The width of the line in pixels.
int screen_text_width(const std::string& text, TextSize size)
{
    return painter().width(text, pixel_size(size), weight_of(size));
}

// The height of a line in pixels, spacing included.
int screen_text_line_height(TextSize size) { return pixel_size(size) * 3 / 2; }
