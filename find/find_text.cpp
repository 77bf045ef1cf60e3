// find_text.cpp -- case and accent folding of UTF-8 (or Latin-1) text, and
// the word-prefix matching and ranking of rooms.
#include "find/find_text.h"

#include <algorithm>  // Required for: std::stable_sort()
#include <cstring>    // Required for: strnlen()
#include <tuple>      // Required for: std::make_tuple()

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

// Weight of a typed word found in each text of a room, best first.
constexpr int number_weight = 8;
constexpr int professor_weight = 4;
constexpr int introduction_weight = 2;
constexpr int research_weight = 1;
constexpr int whole_word_bonus = 1;  // the typed word is a whole word there

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
    out += utf8::encode(c);
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

// Typed words that say what is looked for rather than which: "room 312",
// "professor trevarnik".
const char* const ignored_words[] = {"room", "prof", "professor", "dr"};

// A typed word this long or longer may match inside a record's word.
constexpr size_t least_inside_length = 4;
// A typed word this long or longer is forgiven one wrong, missing or extra letter.
constexpr size_t least_forgiven_length = 5;
// Added to a word that starts a record's word, so that such matches rank first.
constexpr int word_start_bonus = 16;

bool ignored(const std::string& word)
{
    for (const char* w : ignored_words)
        if (word == w)
            return true;
    return false;
}

bool has_letter(const std::string& word)
{
    for (char c : word)
        if (!(c >= '0' && c <= '9'))
            return true;
    return false;
}

// True when a and b differ by at most one letter changed, left out or added.
bool one_edit_apart(const std::string& a, const std::string& b)
{
    const std::string& shorter = a.size() <= b.size() ? a : b;
    const std::string& longer = a.size() <= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1)
        return false;
    size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i])
        ++i;
    if (shorter.size() == longer.size())
        return shorter.compare(i + (i < shorter.size()), std::string::npos, longer, i + (i < longer.size()), std::string::npos) == 0;
    return shorter.compare(i, std::string::npos, longer, i + 1, std::string::npos) == 0;
}

// True when the typed word, one letter off, is the candidate or starts it.
bool forgiven(const std::string& word, const std::string& candidate)
{
    if (word.size() < least_forgiven_length || !has_letter(word))
        return false;
    for (size_t length = word.size() - 1; length <= word.size() + 1; ++length)
        if (length <= candidate.size() && one_edit_apart(word, candidate.substr(0, length)))
            return true;
    return false;
}

// True when the typed word lies inside the candidate (not at its start).
bool inside(const std::string& word, const std::string& candidate)
{
    return word.size() >= least_inside_length && has_letter(word) && candidate.find(word, 1) != std::string::npos;
}

// Best weight with which word starts a word of the given texts (plus the
// word-start bonus), else lies inside one or is one letter off one; 0 when none.
int word_score(const std::string& word, const std::vector<std::string> (&texts)[4])
{
    static const int weights[4] = {number_weight, professor_weight, introduction_weight, research_weight};
    for (int t = 0; t < 4; ++t)
        for (const std::string& candidate : texts[t])
            if (candidate.compare(0, word.size(), word) == 0)
                return word_start_bonus + weights[t] + (candidate.size() == word.size() ? whole_word_bonus : 0);
    for (int t = 0; t < 4; ++t)
        for (const std::string& candidate : texts[t])
            if (inside(word, candidate) || forgiven(word, candidate))
                return weights[t];
    return 0;
}

} // namespace

// Decodes UTF-8 where it is valid and Latin-1 where it is not, then folds.
std::string fold_text(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();)
        append_folded(out, utf8::next_char(text, i));
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
        if (ignored(word))
            continue;
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

// The last word after a leading "Prof." or "Dr.", else the whole field.
std::string professor_surname(const RoomRecord& room)
{
    const std::string professor(room.Professor, strnlen(room.Professor, sizeof room.Professor));
    const bool titled = professor.rfind("Prof. ", 0) == 0 || professor.rfind("Dr. ", 0) == 0;
    if (!titled)
        return professor;
    const size_t space = professor.find_last_of(' ');
    return professor.substr(space + 1);
}

// Titled people sort by folded surname, ties and the rest by room number.
std::vector<int> directory_order(const std::vector<RoomRecord>& rooms)
{
    std::vector<int> order(rooms.size());
    for (size_t i = 0; i < rooms.size(); ++i)
        order[i] = int(i);
    const auto key = [&](int i) {
        const RoomRecord& r = rooms[size_t(i)];
        const std::string surname = professor_surname(r);
        const bool person = surname != std::string(r.Professor, strnlen(r.Professor, sizeof r.Professor));
        return std::make_tuple(person ? 0 : 1, person ? fold_text(surname) : std::string(), r.Room_Number);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    return order;
}
