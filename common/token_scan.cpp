// token_scan.cpp -- bounded tokens and decimal number syntax for the readers.
#include "common/token_scan.h"

#include <cerrno>   // Required for: errno, ERANGE
#include <cfloat>   // Required for: FLT_MAX
#include <cstdint>  // Required for: INT32_MAX, INT32_MIN
#include <cstdlib>  // Required for: std::strtol(), std::strtod()

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Steps past an optional sign.
const char* skip_sign(const char* text) { return (*text == '+' || *text == '-') ? text + 1 : text; }

// Steps past a run of decimal digits, counting them into digits.
const char* skip_digits(const char* text, std::size_t& digits)
{
    for (; is_digit(*text); ++text)
        ++digits;
    return text;
}

} // namespace

bool is_scan_space(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the next token of file into buffer, cut to size - 1 characters; the
// length of the whole token, 0 at the end of the file.
std::size_t read_token(std::FILE* file, char* buffer, std::size_t size)
{
    int c = std::getc(file);
    while (c != EOF && is_scan_space(c))
        c = std::getc(file);
    std::size_t length = 0;  // characters of the whole token, kept or not
    for (; c != EOF && !is_scan_space(c); c = std::getc(file)) {
        if (length + 1 < size)
            buffer[length] = static_cast<char>(c);
        if (length < SIZE_MAX)
            ++length;
    }
    buffer[length < size ? length : size - 1] = '\0';
    return length;
}

// Length of the longest beginning of text that is a decimal number; 0 if none.
std::size_t decimal_prefix_length(const char* text)
{
    std::size_t digits = 0;
    const char* c = skip_digits(skip_sign(text), digits);
    if (*c == '.')
        c = skip_digits(c + 1, digits);
    if (digits == 0)
        return 0;
    std::size_t exponent_digits = 0;
    const char* exponent_end = (*c == 'e' || *c == 'E') ? skip_digits(skip_sign(c + 1), exponent_digits) : c;
    return static_cast<std::size_t>((exponent_digits > 0 ? exponent_end : c) - text);
}

// The bytes for a message, anything outside printable ASCII as '?'.
std::string shown_text(const char* text, std::size_t length)
{
    std::string shown(text, length);
    for (char& c : shown)
        c = (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7f) ? c : '?';
    return shown;
}

// True when the whole text is a decimal number.
bool is_decimal_number(const char* text)
{
    const std::size_t length = decimal_prefix_length(text);
    return length > 0 && text[length] == '\0';
}

// Converts text when the whole of it is a 32-bit decimal integer.
ScanResult scan_int32(const char* text, int32_t* value)
{
    std::size_t digits = 0;
    if (*skip_digits(skip_sign(text), digits) != '\0' || digits == 0)
        return ScanResult::not_a_number;
    errno = 0;
    const long number = std::strtol(text, nullptr, 10);
    if (errno == ERANGE || number > INT32_MAX || number < INT32_MIN)
        return ScanResult::out_of_range;
    *value = static_cast<int32_t>(number);
    return ScanResult::ok;
}

// Leading white space, sign and digits as a 32-bit integer, held at the limits.
int32_t to_integer(const char* text, bool* out_of_range)
{
    long value = std::strtol(text, nullptr, 10);
    *out_of_range = value > INT32_MAX || value < INT32_MIN;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The decimal number after leading white space as a float, held at the limits.
float to_float(const char* text, bool* out_of_range)
{
    while (is_scan_space(*text))
        ++text;
    *out_of_range = false;
    std::size_t length = decimal_prefix_length(text);
    if (length == 0)
        return 0.0f;
    // Only the decimal part goes to strtod, which would also read hex and "inf".
    std::string number(text, length);
    double value = std::strtod(number.c_str(), nullptr);
    if (value > FLT_MAX || value < -FLT_MAX) {
        *out_of_range = true;
        return value > 0 ? FLT_MAX : -FLT_MAX;
    }
    return static_cast<float>(value);
}
