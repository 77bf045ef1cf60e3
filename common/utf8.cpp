// utf8.cpp -- decoding and encoding UTF-8, with lone bytes read as Latin-1.
#include "common/utf8.h"

namespace {

// Length of the well-formed sequence at text[pos] (1 to 4), or 0 when the
// bytes there start none; code receives its character.
std::size_t sequence_at(std::string_view text, std::size_t pos, char32_t& code)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || pos + length > text.size())
        return 0;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[pos + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and characters past U+10FFFF are no text.
    const char32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    code = c;
    return length;
}

} // namespace

namespace utf8 {

// A well-formed sequence gives its character; any other byte gives itself.
char32_t next_char(std::string_view text, std::size_t& pos)
{
    if (pos >= text.size())
        return 0;
    char32_t code = 0;
    const std::size_t length = sequence_at(text, pos, code);
    if (length == 0) {
        code = static_cast<unsigned char>(text[pos]);
        pos += 1;
        return code;
    }
    pos += length;
    return code;
}

// Steps character by character, so a sequence is kept whole or left out whole.
std::string_view cut(std::string_view text, std::size_t max_bytes)
{
    if (text.size() <= max_bytes)
        return text;
    std::size_t end = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        next_char(text, pos);
        if (pos > max_bytes)
            break;
        end = pos;
    }
    return text.substr(0, end);
}

// Characters past U+10FFFF and surrogates are written as U+FFFD.
std::string encode(char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace utf8
