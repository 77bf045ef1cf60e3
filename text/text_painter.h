// text_painter.h -- text drawn from DejaVu Sans through FreeType: glyph
// textures per window and size, placed character by character, with GLUT's
// bitmap font standing in when the font files cannot be read.
#pragma once

#include <memory>       // Required for: std::unique_ptr
#include <string>       // Required for: std::string
#include <string_view>  // Required for: std::string_view
#include <vector>       // Required for: std::vector

namespace text {

// The two faces of the touch face's text.
enum class Weight { regular, bold };

// A colour, each channel 0 to 1.
struct Colour {
    float r, g, b;
};

// The font files, regular and bold, in the folder named by the environment
// variable VEVUV_FONT_DIR or else in Debian's folder of fonts-dejavu-core.
constexpr const char* font_folder_variable = "VEVUV_FONT_DIR";
constexpr const char* default_font_folder = "/usr/share/fonts/truetype/dejavu";
constexpr const char* regular_font_file = "DejaVuSans.ttf";
constexpr const char* bold_font_file = "DejaVuSans-Bold.ttf";

// Smallest height of a capital letter, as a share of the window's height.
constexpr double least_capital_share = 0.0222;

// Reads both font files once; false, after one console note, when either is missing.
bool load_fonts();

// The pixel size (em) of body text in a window of that height: capitals at
// least least_capital_share of it.
int body_size(int window_height);

// Height of a capital letter at a pixel size, pixels.
int capital_height(int size);

// Draws text in one window's GL context; each window needs its own painter,
// since glyph textures belong to one context.
class Painter {
public:
    explicit Painter(unsigned first_texture_name);
    ~Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Width of UTF-8 text at a pixel size, pixels.
    int width(std::string_view text, int size, Weight weight);
    // Draws UTF-8 text with its baseline starting at window pixel (x, y),
    // y counted from the bottom; the caller's projection must be in pixels.
    void draw(std::string_view text, int x, int y, int size, Weight weight, Colour colour);
    // The text, cut at a character and ended with "..." when it is wider than max_width.
    std::string fit(std::string_view text, int max_width, int size, Weight weight);

    struct Atlas;

private:
    Atlas& atlas(int size, Weight weight);
    unsigned next_texture_name_;
    std::vector<std::unique_ptr<Atlas>> atlases_;
};

} // namespace text
