// kiosk_panels.cpp -- drawing the out-of-order screen and the QR code panel.
#include "render/kiosk_panels.h"

#include <cmath>  // Required for: std::ceil()

#include "render/screen_text.h"

namespace {

constexpr int panel_margin = 12;  // pixels between the panel, the window's edge and the text

// A dark blue that says "not the building", and the panel's dark grey.
constexpr float fault_red = 0.08f, fault_green = 0.12f, fault_blue = 0.35f;
constexpr float panel_grey = 0.15f;

// Draws the lines centred, the first large, from the window's upper third down.
void draw_centred_lines(const std::string* lines, int count, int width, int height)
{
    int y = height * 2 / 3;
    for (int i = 0; i < count; ++i) {
        const TextSize size = i == 0 ? TextSize::large : TextSize::normal;
        draw_screen_text((width - screen_text_width(lines[i], size)) / 2, y, lines[i], size);
        y -= screen_text_line_height(size) + (i == 0 ? screen_text_line_height(size) : 0);
    }
}

// Pixels per module: the code alone fills at least the share of the height.
int module_pixels(int side, int height)
{
    const int pixels = int(std::ceil(qr_code_height_share * height / side));
    return pixels > 0 ? pixels : 1;
}

// The code's dark modules, row 0 at the top, from the code's top-left pixel.
void draw_modules(const QrCode& code, int left, int top, int module)
{
    for (int row = 0; row < code.side; ++row)
        for (int column = 0; column < code.side; ++column)
            if (code.dark[size_t(row) * size_t(code.side) + size_t(column)])
                fill_pixel_rect(left + column * module, top - (row + 1) * module, module, module,
                                0.0f, 0.0f, 0.0f);
}

} // namespace

// Fills the window with the out-of-order screen.
void draw_out_of_order_screen(const std::string& file, const std::string& reason, int width, int height)
{
    begin_pixel_drawing(width, height);
    fill_pixel_rect(0, 0, width, height, fault_red, fault_green, fault_blue);
    const std::string lines[] = {
        "Out of order",
        "This kiosk is being looked after and will be back soon.",
        "Cannot read " + file + ": " + reason,
        "Trying again every 10 seconds.",
    };
    draw_centred_lines(lines, 4, width, height);
    end_pixel_drawing();
}

// Draws the QR code panel in the bottom-right corner.
void draw_page_panel(const QrCode& code, const std::string& line, int width, int height)
{
    if (code.side <= 0)
        return;
    const int module = module_pixels(code.side, height);
    const int square = (code.side + 2 * qr_quiet_zone_modules) * module;  // with the quiet zone
    const int text_width = screen_text_width(line, TextSize::normal);
    const int panel_width = (text_width > square ? text_width : square) + 2 * panel_margin;
    const int text_height = screen_text_line_height(TextSize::normal);
    const int panel_height = square + text_height + 3 * panel_margin;
    const int left = width - panel_width - panel_margin;
    const int bottom = panel_margin;
    begin_pixel_drawing(width, height);
    fill_pixel_rect(left, bottom, panel_width, panel_height, panel_grey, panel_grey, panel_grey);
    const int square_left = left + (panel_width - square) / 2;
    const int square_bottom = bottom + 2 * panel_margin + text_height;
    fill_pixel_rect(square_left, square_bottom, square, square, 1.0f, 1.0f, 1.0f);
    draw_modules(code, square_left + qr_quiet_zone_modules * module,
                 square_bottom + square - qr_quiet_zone_modules * module, module);
    draw_screen_text(left + (panel_width - text_width) / 2, bottom + panel_margin + 6, line, TextSize::normal);
    end_pixel_drawing();
}
