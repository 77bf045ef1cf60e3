// utf8.cpp -- decoding, cutting, folding and Latin-1 conversion of UTF-8 text.
#include "common/utf8.h"

namespace {

// Plain letters for a range of accented Latin letters.
struct FoldRange {
    char32_t first, last;
    const char* plain;
};

// Latin-1 Supplement and Latin Extended-A; upper and lower case alike.
const FoldRange fold_ranges[] = {
    {0xC0, 0xC5, "a"}, {0xC6, 0xC6, "ae"}, {0xC7, 0xC7, "c"}, {0xC8, 0xCB, "e"},
    {0xCC, 0xCF, "i"}, {0xD0, 0xD0, "d"}, {0xD1, 0xD1, "n"}, {0xD2, 0xD6, "o"},
    {0xD8, 0xD8, "o"}, {0xD9, 0xDC, "u"}, {0xDD, 0xDD, "y"}, {0xDE, 0xDE, "th"},
    {0xDF, 0xDF, "ss"}, {0xE0, 0xE5, "a"}, {0xE6, 0xE6, "ae"}, {0xE7, 0xE7, "c"},
    {0xE8, 0xEB, "e"}, {0xEC, 0xEF, "i"}, {0xF0, 0xF0, "d"}, {0xF1, 0xF1, "n"},
    {0xF2, 0xF6, "o"}, {0xF8, 0xF8, "o"}, {0xF9, 0xFC, "u"}, {0xFD, 0xFD, "y"},
    {0xFE, 0xFE, "th"}, {0xFF, 0xFF, "y"},
    {0x100, 0x105, "a"}, {0x106, 0x10D, "c"}, {0x10E, 0x111, "d"}, {0x112, 0x11B, "e"},
    {0x11C, 0x123, "g"}, {0x124, 0x127, "h"}, {0x128, 0x131, "i"}, {0x132, 0x133, "ij"},
    {0x134, 0x135, "j"}, {0x136, 0x138, "k"}, {0x139, 0x142, "l"}, {0x143, 0x14B, "n"},
    {0x14C, 0x151, "o"}, {0x152, 0x153, "oe"}, {0x154, 0x159, "r"}, {0x15A, 0x161, "s"},
    {0x162, 0x167, "t"}, {0x168, 0x173, "u"}, {0x174, 0x175, "w"}, {0x176, 0x178, "y"},
    {0x179, 0x17E, "z"}, {0x17F, 0x17F, "s"},
};

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Sequence length announced by a lead byte; 0 for a byte that leads none
// (a continuation byte, an overlong 0xC0/0xC1, or above 0xF4).
std::size_t announced_length(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
}

// The plain letters of an accented Latin letter, or null.
const char* plain_letters(char32_t c)
{
    for (const FoldRange& range : fold_ranges)
        if (c >= range.first && c <= range.last)
            return range.plain;
    return nullptr;
}

} // namespace

namespace utf8 {

std::size_t sequence_length(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return 0;
    const std::size_t length = announced_length(static_cast<unsigned char>(text[at]));
    if (length == 0 || length > text.size() - at)
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if (!is_continuation(static_cast<unsigned char>(text[at + k])))
            return 0;
    // Overlong forms, surrogates and characters past U+10FFFF are no UTF-8.
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const unsigned char second = static_cast<unsigned char>(text[at + (length > 1 ? 1 : 0)]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

char32_t next_char(std::string_view text, std::size_t& pos)
{
    const std::size_t length = sequence_length(text, pos);
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (length <= 1) {
        ++pos;  // ASCII, or a lone byte read as Latin-1
        return lead;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k)
        code = (code << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
    pos += length;
    return code;
}

std::string_view cut(std::string_view text, std::size_t max_bytes)
{
    if (text.size() <= max_bytes)
        return text;
    std::size_t end = max_bytes;
    // text[end] continues a sequence begun before it: keep none of that sequence.
    while (end > 0 && is_continuation(static_cast<unsigned char>(text[end])))
        --end;
    return text.substr(0, end);
}

std::string_view complete(std::string_view text)
{
    std::size_t start = text.size();
    for (int k = 0; k < 3 && start > 0 && is_continuation(static_cast<unsigned char>(text[start - 1])); ++k)
        --start;
    if (start == 0)
        return text;
    const std::size_t lead = start - 1;
    const std::size_t announced = announced_length(static_cast<unsigned char>(text[lead]));
    return announced > text.size() - lead ? text.substr(0, lead) : text;
}

std::size_t last_char_start(std::string_view text)
{
    if (text.empty())
        return 0;
    std::size_t start = text.size() - 1;
    while (start > 0 && is_continuation(static_cast<unsigned char>(text[start])))
        --start;
    // Only a whole sequence goes at once; a broken one goes byte by byte.
    return sequence_length(text, start) == text.size() - start ? start : text.size() - 1;
}

std::string encode(char32_t c)
{
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
        out += char(0xF0 | ((c >> 18) & 0x07));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

std::string fold(std::string_view text)
{
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = next_char(text, pos);
        if (c < 0x80) {
            out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : char(c);
        } else if (const char* plain = plain_letters(c)) {
            out += plain;
        } else {
            out += encode(c);
        }
    }
    return out;
}

std::string to_latin1(std::string_view text)
{
    std::string glyphs;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = next_char(text, pos);
        glyphs += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    return glyphs;
}

} // namespace utf8
