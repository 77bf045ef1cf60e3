// text_painter.cpp -- FreeType glyphs of DejaVu Sans packed into one alpha
// texture per window, size and weight, drawn as textured quads; GLUT's
// Helvetica 18 bitmap font when the font files are missing.
#include "text/text_painter.h"

#include <GL/freeglut.h>  // Required for: glutBitmapCharacter(), glutBitmapWidth()
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>          // Required for: std::ceil()
#include <cstdlib>        // Required for: std::getenv()
#include <iostream>       // Required for: std::cout
#include <unordered_map>  // Required for: std::unordered_map

#include "common/utf8.h"

namespace text {

namespace {

// Capital height of DejaVu Sans as a share of its em (1493 / 2048 units).
constexpr double capital_share_of_em = 0.729;
// Width of the glyph texture, pixels; its height a power of two that grows as glyphs fill it.
constexpr int atlas_width = 1024;
constexpr int glyph_padding = 1;   // empty pixels around each glyph, against bleeding
constexpr char32_t missing_glyph = '?';
constexpr int largest_size = 400;  // larger sizes are drawn at this size, pixels
constexpr int largest_atlas_height = 4096;  // pixels; glyphs beyond it are drawn as '?'
const char ellipsis[] = "...";

struct Fonts {
    bool tried = false;
    FT_Library library = nullptr;
    FT_Face faces[2] = {nullptr, nullptr};  // regular, bold
};
Fonts fonts;

// The path of a font file in the font folder.
std::string font_path(const char* file)
{
    const char* folder = std::getenv(font_folder_variable);
    return std::string(folder != nullptr && folder[0] != '\0' ? folder : default_font_folder) + "/" + file;
}

// Opens one face; false after a console note naming the file.
bool open_face(const char* file, FT_Face* face)
{
    const std::string path = font_path(file);
    if (FT_New_Face(fonts.library, path.c_str(), 0, face) == 0)
        return true;
    std::cout << "Cannot read font file \"" << path << "\": drawing text with the bitmap font" << std::endl;
    *face = nullptr;
    return false;
}

FT_Face face_of(Weight weight) { return fonts.faces[weight == Weight::bold ? 1 : 0]; }

bool fonts_ready() { return load_fonts(); }

// A Latin-1 code for the bitmap font: the character itself, or '?'.
int bitmap_code(char32_t c) { return c >= 0x20 && c <= 0xFF && !(c >= 0x7F && c < 0xA0) ? int(c) : '?'; }

void * const bitmap_font = GLUT_BITMAP_HELVETICA_18;

} // namespace

// One glyph's place in the atlas and its metrics, pixels.
struct Glyph {
    int x = 0, y = 0, w = 0, h = 0;    // rectangle in the texture
    int left = 0, top = 0;             // bitmap offset from the pen, y upward
    int advance = 0;                   // pen movement
};

// The glyph texture of one size and weight, filled a glyph at a time as
// characters are first drawn or measured.
struct Painter::Atlas {
    int size = 0;
    Weight weight = Weight::regular;
    unsigned texture = 0;
    int texture_height = 0;
    int pen_x = glyph_padding, pen_y = glyph_padding, row_height = 0;  // where the next glyph goes
    std::unordered_map<char32_t, Glyph> glyphs;
};

namespace {

// True for the characters atlases hold: ASCII, Latin-1 and Latin
// Extended-A, and the typographic quotes and dashes record texts use.
bool drawable(char32_t c)
{
    static const char32_t extras[] = {0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026};
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x180))
        return true;
    for (char32_t e : extras)
        if (c == e)
            return true;
    return false;
}

int power_of_two_at_least(int n)
{
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

// The tallest the texture of a size may grow: it holds every drawable
// character at the size, with room to spare.
int largest_height(int size)
{
    const long glyph_area = long(size + 2 * glyph_padding) * long(size * 3 / 2 + 2 * glyph_padding);
    const long rows_needed = glyph_area * 2 * 400 / atlas_width;
    return power_of_two_at_least(int(rows_needed < largest_atlas_height ? rows_needed : largest_atlas_height));
}

// The height a texture starts at: two rows of glyphs, about as many
// characters as a first picture shows. Making a texture costs in proportion
// to its size even without contents, and a full texture grows.
int first_height(int size)
{
    const int two_rows = power_of_two_at_least(2 * (size * 3 / 2 + 2 * glyph_padding));
    const int largest = largest_height(size);
    return two_rows < largest ? two_rows : largest;
}

// Gives the atlas's texture twice the rows, its glyphs kept where they are;
// false when it is as tall as it may grow.
bool grow(Painter::Atlas& a)
{
    if (a.texture_height >= largest_height(a.size))
        return false;
    const int old_height = a.texture_height;
    std::vector<unsigned char> kept(size_t(atlas_width) * size_t(old_height));
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, a.texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, kept.data());
    a.texture_height = old_height * 2;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, atlas_width, a.texture_height, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 nullptr);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, atlas_width, old_height, GL_ALPHA, GL_UNSIGNED_BYTE, kept.data());
    glPopClientAttrib();
    glPopAttrib();
    return true;
}

// Renders c at the atlas's size into its next free place; false when the
// face has no such glyph or the texture is full.
bool add_glyph(Painter::Atlas& a, char32_t c, Glyph& g)
{
    FT_Face face = face_of(a.weight);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(a.size));
    if (!drawable(c) || FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    g.w = int(slot->bitmap.width);
    g.h = int(slot->bitmap.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = int(slot->advance.x >> 6);
    if (a.pen_x + g.w + glyph_padding > atlas_width) {
        a.pen_x = glyph_padding;
        a.pen_y += a.row_height + glyph_padding;
        a.row_height = 0;
    }
    if (g.w + 2 * glyph_padding > atlas_width)
        return false;
    while (a.pen_y + g.h + glyph_padding > a.texture_height)
        if (!grow(a))
            return false;
    g.x = a.pen_x;
    g.y = a.pen_y;
    a.pen_x += g.w + glyph_padding;
    a.row_height = g.h > a.row_height ? g.h : a.row_height;
    // The glyph goes in with its padding frame of zeros: the texture is
    // made without contents, so the frame is what keeps neighbours apart.
    const int framed_w = g.w + 2 * glyph_padding;
    const int framed_h = g.h + 2 * glyph_padding;
    std::vector<unsigned char> pixels(size_t(framed_w) * size_t(framed_h), 0);
    for (int row = 0; row < g.h; ++row)
        for (int col = 0; col < g.w; ++col)
            pixels[size_t((row + glyph_padding) * framed_w + col + glyph_padding)] =
                slot->bitmap.buffer[row * slot->bitmap.pitch + col];
    if (g.w > 0 && g.h > 0) {
        glPushAttrib(GL_TEXTURE_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, a.texture);
        glTexSubImage2D(GL_TEXTURE_2D, 0, g.x - glyph_padding, g.y - glyph_padding, framed_w, framed_h,
                        GL_ALPHA, GL_UNSIGNED_BYTE, pixels.data());
        glPopClientAttrib();
        glPopAttrib();
    }
    return true;
}

// The glyph of c, rendered on first use; '?' for a character the atlas cannot hold.
const Glyph& glyph_of(Painter::Atlas& a, char32_t c)
{
    auto found = a.glyphs.find(c);
    if (found != a.glyphs.end())
        return found->second;
    Glyph g;
    if (add_glyph(a, c, g))
        return a.glyphs[c] = g;
    if (c == missing_glyph)
        return a.glyphs[c] = Glyph{};
    return a.glyphs[c] = glyph_of(a, missing_glyph);
}

} // namespace

// Both faces or neither: a missing bold face would mix two fonts in one line.
bool load_fonts()
{
    if (fonts.tried)
        return fonts.faces[0] != nullptr && fonts.faces[1] != nullptr;
    fonts.tried = true;
    if (FT_Init_FreeType(&fonts.library) != 0) {
        std::cout << "Cannot start FreeType: drawing text with the bitmap font" << std::endl;
        return false;
    }
    if (!open_face(regular_font_file, &fonts.faces[0]) || !open_face(bold_font_file, &fonts.faces[1]))
        return false;
    return true;
}

// The em whose capitals reach the least share of the window's height.
int body_size(int window_height)
{
    const double capital = window_height * least_capital_share;
    const int size = int(std::ceil(capital / capital_share_of_em));
    return size < 8 ? 8 : size;
}

// The bitmap font's capitals are 13 pixels high whatever the size asked for.
int capital_height(int size)
{
    if (!fonts_ready())
        return 13;
    return int(std::ceil(size * capital_share_of_em));
}

Painter::Painter(unsigned first_texture_name) : next_texture_name_(first_texture_name) {}

Painter::~Painter() = default;

// Makes the atlas of that size and weight on first use: a texture of the
// current context, without contents, that its glyphs fill as they are needed.
Painter::Atlas& Painter::atlas(int size, Weight weight)
{
    size = size < 1 ? 1 : (size > largest_size ? largest_size : size);
    for (auto& a : atlases_)
        if (a->size == size && a->weight == weight)
            return *a;
    auto made = std::make_unique<Atlas>();
    made->size = size;
    made->weight = weight;
    made->texture = next_texture_name_++;
    made->texture_height = first_height(size);
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, made->texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // No contents: zeroing megabytes that glyphs never cover cost more than
    // the first frame's text; each glyph brings its own frame of zeros.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, atlas_width, made->texture_height, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 nullptr);
    glPopClientAttrib();
    glPopAttrib();
    atlases_.push_back(std::move(made));
    return *atlases_.back();
}

// Sums the advances; the bitmap font's widths when there is no font.
int Painter::width(std::string_view text, int size, Weight weight)
{
    int total = 0;
    if (!fonts_ready()) {
        for (std::size_t pos = 0; pos < text.size();)
            total += glutBitmapWidth(bitmap_font, bitmap_code(utf8::next_char(text, pos)));
        return total;
    }
    Atlas& a = atlas(size, weight);
    for (std::size_t pos = 0; pos < text.size();)
        total += glyph_of(a, utf8::next_char(text, pos)).advance;
    return total;
}

// Sets and restores its own state: texture, blending, no lighting or depth.
void Painter::draw(std::string_view text, int x, int y, int size, Weight weight, Colour colour)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(colour.r, colour.g, colour.b);
    if (!fonts_ready()) {
        glDisable(GL_TEXTURE_2D);
        glRasterPos2i(x, y);
        for (std::size_t pos = 0; pos < text.size();)
            glutBitmapCharacter(bitmap_font, bitmap_code(utf8::next_char(text, pos)));
        glPopAttrib();
        return;
    }
    Atlas& a = atlas(size, weight);
    for (std::size_t pos = 0; pos < text.size();)
        glyph_of(a, utf8::next_char(text, pos));  // every glyph in the texture before glBegin
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, a.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const float sx = 1.0f / atlas_width, sy = 1.0f / float(a.texture_height);
    glBegin(GL_QUADS);
    int pen = x;
    for (std::size_t pos = 0; pos < text.size();) {
        const Glyph& g = glyph_of(a, utf8::next_char(text, pos));
        const int left = pen + g.left, top = y + g.top, bottom = top - g.h, right = left + g.w;
        glTexCoord2f(g.x * sx, (g.y + g.h) * sy); glVertex2i(left, bottom);
        glTexCoord2f((g.x + g.w) * sx, (g.y + g.h) * sy); glVertex2i(right, bottom);
        glTexCoord2f((g.x + g.w) * sx, g.y * sy); glVertex2i(right, top);
        glTexCoord2f(g.x * sx, g.y * sy); glVertex2i(left, top);
        pen += g.advance;
    }
    glEnd();
    glPopAttrib();
}

// Drops characters from the end until the text and "..." fit.
std::string Painter::fit(std::string_view text, int max_width, int size, Weight weight)
{
    if (width(text, size, weight) <= max_width)
        return std::string(text);
    const int room = max_width - width(ellipsis, size, weight);
    std::size_t end = 0;
    int used = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = utf8::next_char(text, pos);
        used += width(utf8::encode(c), size, weight);
        if (used > room)
            break;
        end = pos;
    }
    std::string cut(text.substr(0, end));
    while (!cut.empty() && cut.back() == ' ')
        cut.pop_back();
    return cut + ellipsis;
}

} // namespace text
