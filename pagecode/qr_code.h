// qr_code.h -- a text as the modules of a QR code (libqrencode).
#pragma once

#include <string>  // Required for: std::string
#include <vector>  // Required for: std::vector

// Light modules the standard asks for around a code, on every side.
constexpr int qr_quiet_zone_modules = 4;

// A square of modules, row by row; empty (side 0) when the text could not be encoded.
struct QrCode {
    int side = 0;               // modules per row and per column, quiet zone not included
    std::vector<bool> dark;     // side * side flags, true for a dark module
};

// Encodes the text as 8-bit data with medium error correction (15 %), in
// the smallest version that holds it; side 0 on failure.
QrCode encode_qr(const std::string& text);
