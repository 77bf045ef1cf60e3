// find_text.h -- matching what a visitor types against the rooms' texts:
// case and accent folding, word splitting and ranking.
#pragma once

#include <string>
#include <vector>

#include "directory/room_record.h"

// Most matches the Find list shows.
constexpr int find_list_size = 10;

// Lower case with accents on Latin letters taken off ("Müller" -> "muller").
// Bytes that are not UTF-8 are taken as Latin-1 characters.
std::string fold_text(const std::string& text);

// The words of a folded text: runs of letters and digits.
std::vector<std::string> text_words(const std::string& folded);

// Rank of room for the typed query: 0 when some typed word matches no word of
// the room's number, professor, introduction or research; higher is better.
// A typed word matches a word it starts, a word it lies inside (four
// characters or more, not only digits), or a word it misses by one letter
// (five or more); the first ranks highest. "room", "prof", "professor" and
// "dr" are not looked for.
int match_score(const RoomRecord& room, const std::string& query);

// Indices of the rooms that match the query, best first, at most limit.
std::vector<int> match_rooms(const std::vector<RoomRecord>& rooms, const std::string& query,
                             int limit);

// Indices of every room for a directory: rooms of a titled person (Prof.,
// Dr.) by surname, then the others by number.
std::vector<int> directory_order(const std::vector<RoomRecord>& rooms);

// The surname of a titled person ("Trevarnik" of "Prof. B. Trevarnik"), or
// the whole professor field when it holds no title ("IT Services").
std::string professor_surname(const RoomRecord& room);
