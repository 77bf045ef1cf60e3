// utf8.h -- the one place that knows UTF-8: the next character, cutting at a
// character boundary, folding for matching, and Latin-1 for the bitmap fonts.
#pragma once

#include <cstddef>      // Required for: std::size_t
#include <string>       // Required for: std::string
#include <string_view>  // Required for: std::string_view

namespace utf8 {

// Length of the well-formed sequence at text[at]: 1 for ASCII, 2 to 4 for a
// longer character, 0 where no well-formed sequence starts (or at the end).
std::size_t sequence_length(std::string_view text, std::size_t at);

// The character at text[pos], pos moved past it. A byte that starts no
// well-formed sequence is taken alone, as the Latin-1 character of its value,
// so that old Latin-1 text still reads.
char32_t next_char(std::string_view text, std::size_t& pos);

// The longest start of text of at most max_bytes that ends on a character boundary.
std::string_view cut(std::string_view text, std::size_t max_bytes);

// text without a sequence left unfinished at its end (a fixed-width field
// filled by someone who cut it in a character).
std::string_view complete(std::string_view text);

// Where the last character of text starts (0 for empty text): Backspace takes that much back.
std::size_t last_char_start(std::string_view text);

// UTF-8 of one character.
std::string encode(char32_t c);

// Lower case with the accents of Latin letters taken off ("Müller" -> "muller").
std::string fold(std::string_view text);

// One byte a character for the bitmap fonts: Latin-1 characters as
// themselves, every other character as '?'.
std::string to_latin1(std::string_view text);

} // namespace utf8
