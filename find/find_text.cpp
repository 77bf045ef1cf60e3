// find_text.cpp -- case and accent folding of UTF-8 (or Latin-1) text, and
// the word-prefix matching and ranking of rooms.
#include "find/find_text.h"

#include <algorithm>  // Required for: std::stable_sort()
#include <cstring>    // Required for: strnlen()

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

// Weight of a typed word found in each text of a room, best first.
constexpr int number_weight = 8;
constexpr int professor_weight = 4;
constexpr int introduction_weight = 2;
constexpr int research_weight = 1;
constexpr int whole_word_bonus = 1;  // the typed word is a whole word there

// Length of the UTF-8 sequence that starts at text[i], or 0 when none does.
size_t sequence_length(const std::string& text, size_t i, char32_t& code)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (lead >= 0xF5 || length == 0 || i + length > text.size())
        return 0;
    code = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    return length;
}

// Appends code point c to out as UTF-8.
void append_utf8(std::string& out, char32_t c)
{
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
}

// Appends the folded form of one character.
void append_folded(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : char(c);
        return;
    }
    for (const FoldRange& range : fold_ranges) {
        if (c >= range.first && c <= range.last) {
            out += range.plain;
            return;
        }
    }
    append_utf8(out, c);
}

bool is_word_byte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c >= 0x80;
}

// The folded words of a fixed-width record field.
std::vector<std::string> field_words(const char* field, size_t size)
{
    return text_words(fold_text(std::string(field, strnlen(field, size))));
}

// Best weight with which word starts a word of the given texts, or 0.
int word_score(const std::string& word, const std::vector<std::string> (&texts)[4])
{
    static const int weights[4] = {number_weight, professor_weight, introduction_weight, research_weight};
    for (int t = 0; t < 4; ++t)
        for (const std::string& candidate : texts[t])
            if (candidate.compare(0, word.size(), word) == 0)
                return weights[t] + (candidate.size() == word.size() ? whole_word_bonus : 0);
    return 0;
}

} // namespace

// Decodes UTF-8 where it is valid and Latin-1 where it is not, then folds.
std::string fold_text(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const size_t length = sequence_length(text, i, code);
        if (length == 0) {
            code = static_cast<unsigned char>(text[i]);  // a lone byte reads as Latin-1
            i += 1;
        } else {
            i += length;
        }
        append_folded(out, code);
    }
    return out;
}

// Splits at every byte that is not an ASCII letter or digit nor part of a
// longer character.
std::vector<std::string> text_words(const std::string& folded)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : folded) {
        if (is_word_byte(static_cast<unsigned char>(c))) {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

// Sums each typed word's best weight; any word found nowhere gives 0.
int match_score(const RoomRecord& room, const std::string& query)
{
    const std::vector<std::string> typed = text_words(fold_text(query));
    const std::vector<std::string> texts[4] = {
        {std::to_string(room.Room_Number)},
        field_words(room.Professor, sizeof room.Professor),
        field_words(room.Introduction_Text, sizeof room.Introduction_Text),
        field_words(room.Research, sizeof room.Research),
    };
    int score = 1;  // an empty query lists every room
    for (const std::string& word : typed) {
        const int s = word_score(word, texts);
        if (s == 0)
            return 0;
        score += s;
    }
    return score;
}

// Scores every room, keeps the matches and orders them best first, rooms of
// equal rank by number.
std::vector<int> match_rooms(const std::vector<RoomRecord>& rooms, const std::string& query, int limit)
{
    std::vector<std::pair<int, int>> scored;  // score, index
    for (size_t i = 0; i < rooms.size(); ++i) {
        const int s = match_score(rooms[i], query);
        if (s > 0)
            scored.push_back({s, int(i)});
    }
    std::stable_sort(scored.begin(), scored.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first > b.first;
        return rooms[size_t(a.second)].Room_Number < rooms[size_t(b.second)].Room_Number;
    });
    std::vector<int> best;
    for (size_t i = 0; i < scored.size() && int(i) < limit; ++i)
        best.push_back(scored[i].second);
    return best;
}
