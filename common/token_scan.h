// token_scan.h -- the scanning the data file readers share: white-space
// separated tokens read into a bounded buffer, and the decimal number syntax.
#pragma once

#include <cstddef>  // Required for: std::size_t
#include <cstdint>  // Required for: int32_t
#include <cstdio>   // Required for: std::FILE
#include <string>   // Required for: std::string

// True for the white space of the "C" locale: blank, tab, the line ends, vertical tab, form feed.
bool is_scan_space(int c);

// Skips white space and reads the next token of file into buffer, keeping its
// first size - 1 characters (zero-terminated) and dropping the rest. Returns
// the length of the whole token, 0 at the end of the file.
std::size_t read_token(std::FILE* file, char* buffer, std::size_t size);

// Length of the longest beginning of text that is a decimal number: sign,
// digits with an optional point, optional exponent; 0 if none.
std::size_t decimal_prefix_length(const char* text);

// True when the whole text is a decimal number (decimal_prefix_length's syntax).
bool is_decimal_number(const char* text);

// The first length bytes of a token for a message, with every byte outside
// printable ASCII as '?', so that a garbage file cannot disturb the console.
std::string shown_text(const char* text, std::size_t length);

enum class ScanResult { ok, not_a_number, out_of_range };

// Converts text when the whole of it is a decimal integer (optional sign, digits)
// that fits 32 bits.
ScanResult scan_int32(const char* text, int32_t* value);

// Leading white space, sign and digits as a 32-bit integer: no digits give 0,
// values beyond 32 bits are held at the nearest limit.
int32_t to_integer(const char* text, bool* out_of_range);
// The decimal number after leading white space as a float: nothing readable
// gives 0, values beyond the float range are held at the largest float.
float to_float(const char* text, bool* out_of_range);
