// find_text.cpp -- the word-prefix matching and ranking of rooms on folded text.
#include "find/find_text.h"

#include <algorithm>  // Required for: std::stable_sort()
#include <cstring>    // Required for: strnlen()

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
