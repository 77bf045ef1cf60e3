// find_text.cpp -- the word-prefix matching and ranking of rooms on folded text.
#include "find/find_text.h"

#include <algorithm>  // Required for: std::stable_sort()
#include <cstring>    // Required for: strnlen()
#include <tuple>      // Required for: std::make_tuple()

#include "common/utf8.h"

#include "common/utf8.h"

namespace {

// Weight of a typed word found in each text of a room, best first.
constexpr int number_weight = 8;
constexpr int professor_weight = 4;
constexpr int introduction_weight = 2;
constexpr int research_weight = 1;
constexpr int whole_word_bonus = 1;  // the typed word is a whole word there

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

// Lower case without accents; bytes that are not UTF-8 read as Latin-1.
std::string fold_text(const std::string& text) { return utf8::fold(text); }

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
