// locator.h -- the room locator file: plan position to room, and lookup_room.
#pragma once

#include <cstdint>

#include "directory/room_record.h"

constexpr int locator_point_count = 10;  // points of a shape-5 record

struct LocatorEntry {
    int32_t shape;                        // 5: ten points; else six
    char name[locator_name_size];         // room text looked up in Department.xml
    float point_x[locator_point_count];   // plan units
    float point_y[locator_point_count];   // plan units
    float max_x, max_y, min_x, min_y;     // bounding box of the points read
};

extern LocatorEntry locator_table[max_locator_records];
extern int32_t locator_searchable_count;  // records the position search covers
extern int32_t lookup_call_count;         // calls of lookup_room so far

// Reads "qor3rdfloor.inp" into locator_table.
void read_room_locator();
// Reads it again only when it changed since the last read (or was never read).
void read_room_locator_if_changed();
// Name of the first record whose box holds plan (x, y), or null.
const char* find_room_at(float x, float y);
// A fresh record for the room at plan (x, y) (by_name 0) or named name.
RoomRecord* lookup_room(int by_name, const char* name, float x, float y);
