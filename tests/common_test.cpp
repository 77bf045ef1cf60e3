// common_test.cpp -- the ground's one UTF-8 reader: decoding, cutting, folding and Latin-1.
#include <gtest/gtest.h>

#include <string>

#include "common/utf8.h"

TEST(Utf8, DecodesCutsFoldsAndNarrowsToLatin1)
{
    const struct Row {
        std::string text;
        std::u32string chars;  // next_char from the start to the end
        std::size_t cut_at;    // bytes allowed to cut
        std::string cut;       // cut(text, cut_at)
        std::string completed; // complete(text)
        std::size_t last;      // last_char_start(text)
        std::string folded, latin1;
    } rows[] = {
        {"M\xc3\xbcller", U"M\u00fcller", 2, "M", "M\xc3\xbcller", 6, "muller", "M\xfcller"},
        {"\xe2\x82\xac" "5", U"\u20ac5", 3, "\xe2\x82\xac", "\xe2\x82\xac" "5", 3, "\xe2\x82\xac" "5", "?5"},
        {"\xf0\x9f\x99\x82", U"\U0001F642", 3, "", "\xf0\x9f\x99\x82", 0, "\xf0\x9f\x99\x82", "?"},
        // Bytes that start no sequence read as Latin-1, one each, and go one at a time.
        {"caf\xe9", U"caf\u00e9", 4, "caf\xe9", "caf", 3, "cafe", "caf\xe9"},  // a lead byte at the end: cut off
        {"\xc0\xaf", U"\u00c0\u00af", 1, "", "\xc0\xaf", 1, "a\xc2\xaf", "\xc0\xaf"},
        // A sequence cut off at the end of a field is dropped whole by complete().
        {"ab\xe2\x82", U"ab\u00e2\u0082", 3, "ab", "ab", 3, "aba\xc2\x82", "ab\xe2\x82"},
        {"\xc5\x92uvre", U"\u0152uvre", 1, "", "\xc5\x92uvre", 5, "oeuvre", "?uvre"},
        {"\xed\xa0\x80", U"\u00ed\u00a0\u0080", 3, "\xed\xa0\x80", "\xed\xa0\x80", 2, "i\xc2\xa0\xc2\x80", "\xed\xa0\x80"},  // a surrogate: bytes
        {"\xe0\xa0\x80" "Az", U"\u0800Az", 3, "\xe0\xa0\x80", "\xe0\xa0\x80" "Az", 4, "\xe0\xa0\x80" "az", "?Az"},  // the first of three bytes
        {"\x80\x80", U"\u0080\u0080", 0, "", "\x80\x80", 1, "\xc2\x80\xc2\x80", "\x80\x80"},  // continuation bytes alone
        {"", U"", 0, "", "", 0, "", ""},
    };
    for (const Row& row : rows) {
        std::u32string chars;
        for (std::size_t pos = 0; pos < row.text.size();)
            chars += utf8::next_char(row.text, pos);
        EXPECT_EQ(chars, row.chars) << row.text;
        EXPECT_EQ(std::string(utf8::cut(row.text, row.cut_at)), row.cut) << row.text;
        EXPECT_EQ(std::string(utf8::complete(row.text)), row.completed) << row.text;
        EXPECT_EQ(utf8::last_char_start(row.text), row.last) << row.text;
        EXPECT_EQ(utf8::fold(row.text), row.folded) << row.text;
        EXPECT_EQ(utf8::to_latin1(row.text), row.latin1) << row.text;
    }
    for (const char32_t c : {U'A', U'\u00fc', U'\u20ac', U'\U0001F642'}) {  // encode() undoes next_char()
        const std::string encoded = utf8::encode(c);
        std::size_t pos = 0;
        EXPECT_EQ(utf8::next_char(encoded, pos), c);
        EXPECT_EQ(pos, encoded.size());
    }
}
