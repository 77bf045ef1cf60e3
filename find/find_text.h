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

// Rank of room for the typed query: 0 when some typed word starts no word of
// the room's number, professor, introduction or research; higher is better.
int match_score(const RoomRecord& room, const std::string& query);

// Indices of the rooms that match the query, best first, at most limit.
std::vector<int> match_rooms(const std::vector<RoomRecord>& rooms, const std::string& query,
                             int limit);
