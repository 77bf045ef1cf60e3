// screen_text.h -- drawing flat pictures and text in window pixels over (or
// instead of) the building: the kiosk's panels. The one place that draws
// their text, so that another text renderer can take its place.
#pragma once

#include <string>  // Required for: std::string

// Text sizes of the panels.
enum class TextSize { normal, large };

// Starts drawing in window pixels (origin at the bottom-left), with no
// lighting, depth test or texture.
void begin_pixel_drawing(int width, int height);
// Ends drawing in window pixels: the 3D state is back as it was.
void end_pixel_drawing();
// Fills a rectangle of window pixels in a colour.
void fill_pixel_rect(int x, int y, int width, int height, float red, float green, float blue);
// Draws one line of text in white, its baseline starting at pixel (x, y).
void draw_screen_text(int x, int y, const std::string& text, TextSize size);
// The width of a line of text in pixels.
int screen_text_width(const std::string& text, TextSize size);
// The height of a line of text in pixels, spacing included.
int screen_text_line_height(TextSize size);
