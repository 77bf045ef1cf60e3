// bitmap_text.h -- text in GLUT's bitmap fonts, which hold Latin-1 only.
#pragma once

#include <cstddef>  // Required for: std::size_t
#include <string>   // Required for: std::string

// The glyphs of UTF-8 text of at most max_bytes (cut at a character
// boundary): Latin-1 characters as themselves, every other character as '?'.
std::string glyph_text(const char* text, std::size_t max_bytes);

// Draws UTF-8 text character by character in a GLUT bitmap font from the current raster position.
void draw_bitmap_string(void* font, const char* text);
