// screen_text.cpp -- pixel drawing and GLUT's bitmap fonts for the kiosk's panels.
#include "render/screen_text.h"

#include <GL/freeglut.h>  // Required for: glutBitmapString(), glutBitmapLength(), fonts

namespace {

// GLUT's bitmap font of the size.
void* font_of(TextSize size)
{
    return size == TextSize::large ? GLUT_BITMAP_TIMES_ROMAN_24 : GLUT_BITMAP_HELVETICA_18;
}

} // namespace

// Starts drawing in window pixels.
void begin_pixel_drawing(int width, int height)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

// Ends drawing in window pixels; the 3D state is back.
void end_pixel_drawing()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

// Fills a rectangle of window pixels.
void fill_pixel_rect(int x, int y, int width, int height, float red, float green, float blue)
{
    glColor3f(red, green, blue);
    glRecti(x, y, x + width, y + height);
}

// Draws one line of white text from pixel (x, y).
void draw_screen_text(int x, int y, const std::string& text, TextSize size)
{
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(x, y);
    glutBitmapString(font_of(size), reinterpret_cast<const unsigned char*>(text.c_str()));
}

// The width of the line in pixels.
int screen_text_width(const std::string& text, TextSize size)
{
    return glutBitmapLength(font_of(size), reinterpret_cast<const unsigned char*>(text.c_str()));
}

// The height of a line in pixels, spacing included.
int screen_text_line_height(TextSize size) { return size == TextSize::large ? 32 : 26; }
