// utf8.h -- the one place where UTF-8 text is taken apart and put together.
#pragma once

#include <cstddef>      // Required for: std::size_t
#include <string>       // Required for: std::string
#include <string_view>  // Required for: std::string_view

namespace utf8 {
// The character at text[pos], pos moved past it; a byte that starts no valid sequence is taken as a Latin-1 character.
char32_t next_char(std::string_view text, std::size_t& pos);
// The longest start of text of at most max_bytes that ends on a character boundary.
std::string_view cut(std::string_view text, std::size_t max_bytes);
// UTF-8 of one character.
std::string encode(char32_t c);
}
