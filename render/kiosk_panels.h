// kiosk_panels.h -- the kiosk's two flat pictures: the out-of-order screen
// and the panel with a publications page's QR code.
#pragma once

#include <string>  // Required for: std::string

#include "pagecode/qr_code.h"

// Share of the window's height that the QR code (quiet zone not counted)
// fills at least: a phone at arm's length reads it.
constexpr double qr_code_height_share = 0.25;

// Fills the window with the out-of-order screen naming the file and the reason.
void draw_out_of_order_screen(const std::string& file, const std::string& reason, int width, int height);
// Draws the QR code, with its quiet zone, and the line under it in the
// window's bottom-right corner.
void draw_page_panel(const QrCode& code, const std::string& line, int width, int height);
