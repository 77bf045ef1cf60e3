// find_state.h -- the Find text box: what the visitor typed, the rooms of
// Department.xml, the matches shown and the highlighted one.
//
// Lifetime: the whole run; opening Find rereads the rooms, closing keeps
// them until the next opening.
#pragma once

#include <string>
#include <vector>

#include "directory/room_record.h"

// Most bytes a visitor may type into Find; further keys are ignored.
constexpr int find_query_limit = 60;

struct FindState {
    int open = 0;                    // flag: Find takes the keys and the main window
    std::string query;               // the text typed, UTF-8, at most find_query_limit bytes
    std::vector<RoomRecord> rooms;   // every Room of Department.xml, from the last good read
    std::vector<int> matches;        // indices into rooms, best first, at most find_list_size
    int highlight = 0;               // index into matches of the highlighted line
    unsigned parse_error = 0;        // libxml2's code when the last read failed, else 0
};

extern FindState find_state;

// Reads every Room of Department.xml into rooms; on a failed parse keeps
// the rooms it had and returns libxml2's error code, else 0.
unsigned read_room_directory(std::vector<RoomRecord>& rooms);

// True when the locator file lists the room, so it lies on this floor.
bool room_on_this_floor(const RoomRecord& room);

// Opens Find with an empty query and fresh rooms.
void open_find();
// Closes Find; the rooms stay for the next opening.
void close_find();
// Appends one typed Latin-1 byte as UTF-8 (ignored past the limit) and
// matches again.
void type_find_byte(unsigned char byte);
// Takes back the last typed character and matches again.
void erase_find_character();
// Moves the highlight by delta lines, staying within the list.
void move_find_highlight(int delta);
// The highlighted room, or null when nothing matches.
const RoomRecord* highlighted_room();
// One list line: "304  Prof. G. Lindquell - Walk-through systems, ...".
std::string find_list_line(const RoomRecord& room);
// The strip's line while Find is open: "Find: " and the query.
std::string find_strip_line();
