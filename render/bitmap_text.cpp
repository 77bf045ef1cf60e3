// bitmap_text.cpp -- UTF-8 text drawn in GLUT's Latin-1 bitmap fonts.
#include "render/bitmap_text.h"

#include <GL/freeglut.h>  // Required for: glutBitmapCharacter()
#include <cstring>        // Required for: strnlen(), std::strlen()

#include "common/utf8.h"

std::string glyph_text(const char* text, std::size_t max_bytes)
{
    // A text cut by max_bytes inside a character loses that character whole.
    return utf8::to_latin1(utf8::complete(std::string_view(text, strnlen(text, max_bytes))));
}

void draw_bitmap_string(void* font, const char* text)
{
    if (text == nullptr)
        return;
    for (unsigned char glyph : utf8::to_latin1(text))
        glutBitmapCharacter(font, glyph);
}
