// find_test.cpp -- Find's matching: word prefixes over the number,
// professor, introduction and research, case and accents folded, ranking.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "find/find_text.h"

namespace {

RoomRecord room(int number, const char* professor, const char* introduction, const char* research)
{
    RoomRecord r{};
    r.found = 1;
    r.Room_Number = number;
    std::strncpy(r.Professor, professor, sizeof r.Professor - 1);
    std::strncpy(r.Introduction_Text, introduction, sizeof r.Introduction_Text - 1);
    std::strncpy(r.Research, research, sizeof r.Research - 1);
    return r;
}

} // namespace

TEST(FindText, MatchesAndRanks)
{
    const std::vector<RoomRecord> rooms = {
        room(304, "Prof. G. Lindquell", "Graphics Lab", "Walk-through systems"),
        room(309, "Dr. K. M\xc3\xbcller", "Office", "Lindenmayer plants"),
        room(310, "Dr. A. Orr", "Office", "Light transport"),
        room(312, "\xc3\x89. \xc3\x85sgard", "Seminar room 31", "Walking robots"),
        room(317, "Prof. B. Trevarnik", "Office", "Lighting"),
        room(319, "Dr. B. Fenn", "Office", "Solvers"),
        room(231, "Dr. C. Pym", "Office", "Meshes and gardens"),
    };
    struct Row {
        std::string typed;
        std::vector<int> rooms;  // room numbers, best first
    } rows[] = {
        {"lind walk", {304}},                      // every word must start a word
        {"lind", {304, 309}},                      // professor ranks above research
        {"31", {310, 312, 317, 319}},              // rooms 31x, not 231; then by number
        {"muller", {309}},                         // accents folded
        {"M\xc3\x9cLLER", {309}},                  // upper case, UTF-8
        {"m\xfcller", {309}},                      // Latin-1 byte, not UTF-8
        {"asg", {312}},
        {"walk", {304, 312}},
        {"ller", {309}},                           // inside a word
        {"varnik", {317}},
        {"gard", {231, 312}},                      // a word start ranks above inside
        {"ght", {}},                               // three letters only start words
        {"trevarnick", {317}},                     // one extra letter forgiven
        {"trevanik", {317}},                       // one missing letter
        {"trevarnok", {317}},                      // one wrong letter
        {"trevxrnok", {}},                         // not two
        {"orx", {}},                               // not in a short word
        {"room 317", {317}},                       // "room", "prof", "professor", "dr" ignored
        {"professor trevarnik", {317}},
        {"dr orr", {310}},
        {"\xff\xfe\x80", {}},                      // bytes that are no text
        {std::string(500, 'a'), {}},
    };
    for (const Row& row : rows) {
        std::vector<int> found;
        for (int index : match_rooms(rooms, row.typed, find_list_size))
            found.push_back(rooms[size_t(index)].Room_Number);
        EXPECT_EQ(found, row.rooms) << "typed \"" << row.typed.substr(0, 20) << "\"";
    }
    EXPECT_EQ(match_rooms(rooms, "", 4).size(), 4u) << "nothing typed lists rooms up to the limit";
    const std::vector<RoomRecord> shared = {room(305, "Dr. A. Aldous", "Office", ""), room(305, "Dr. B. Brand", "Office", "")};
    EXPECT_EQ(match_rooms(shared, "office", 2), (std::vector<int>{0, 1})) << "two people of one room in the file's order";
    std::vector<int> directory;
    for (int index : directory_order(rooms))
        directory.push_back(rooms[size_t(index)].Room_Number);
    EXPECT_EQ(directory, (std::vector<int>{319, 304, 309, 310, 231, 317, 312})) << "people by surname, then rooms";
}
