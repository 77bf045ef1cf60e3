// locator_check.cpp -- the room locator file: read by the viewer's reader,
// then its boxes checked against each other.
#include <algorithm>  // Required for: std::max(), std::min()
#include <cstring>    // Required for: strnlen()

#include "directory/locator.h"
#include "maintainer/check_parts.h"

namespace {

const std::string locator_file = "qor3rdfloor.inp";

// How findings name a record: by its room, or by its place in the file.
std::string record_label(const RoomFacts& room, std::size_t index)
{
    if (room.name.empty())
        return "record " + std::to_string(index + 1);
    return room_label(room.name);
}

RoomFacts room_from_entry(const LocatorEntry& entry)
{
    RoomFacts room;
    room.name.assign(entry.name, strnlen(entry.name, sizeof entry.name));
    room.shape = entry.shape;
    room.min_x = entry.min_x;
    room.min_y = entry.min_y;
    room.max_x = entry.max_x;
    room.max_y = entry.max_y;
    return room;
}

// Boxes meet when they share a point: the search takes edges as inside.
bool boxes_meet(const RoomFacts& a, const RoomFacts& b)
{
    return a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y && b.min_y <= a.max_y;
}

// Warns about every later box that meets an earlier one: the earlier record
// wins every position the two share.
void check_overlaps(BuildingReport& report)
{
    const std::vector<RoomFacts>& rooms = report.rooms;
    for (std::size_t later = 1; later < rooms.size(); ++later) {
        for (std::size_t first = 0; first < later; ++first) {
            if (!boxes_meet(rooms[first], rooms[later]))
                continue;
            const float x1 = std::max(rooms[first].min_x, rooms[later].min_x);
            const float y1 = std::max(rooms[first].min_y, rooms[later].min_y);
            const float x2 = std::min(rooms[first].max_x, rooms[later].max_x);
            const float y2 = std::min(rooms[first].max_y, rooms[later].max_y);
            add_finding(report, Severity::warning, locator_file, 0, record_label(rooms[later], later),
                        "its box overlaps the box of " + record_label(rooms[first], first) + " over "
                            + span_text(x1, y1, x2, y2) + "; "
                            + record_label(rooms[first], first) + " comes first in the file and hides "
                            + record_label(rooms[later], later) + " there",
                        box_place(x1, y1, x2, y2));
        }
    }
}

// Runs the viewer's reader; false when the file could not be read at all.
bool read_with_viewer_reader(BuildingReport& report)
{
    ReaderNotes notes;
    try {
        read_room_locator();
    } catch (const ProgramEnded&) {
        add_finding(report, Severity::error, locator_file, 0, "",
                    "the viewer cannot read it and ends at the visitor's first move");
        return false;
    }
    notes.add_to(report, locator_file);
    return true;
}

} // namespace

// Reads the locator file; fills report.rooms with the records and their boxes.
void check_locator(BuildingReport& report)
{
    const std::string failure = open_failure(locator_file);
    if (!failure.empty()) {
        add_finding(report, Severity::error, locator_file, 0, "",
                    "cannot be opened (" + failure + "); the viewer ends at the visitor's first move");
        return;
    }
    if (!read_with_viewer_reader(report))
        return;
    const int count = std::min<int>(locator_searchable_count, max_locator_records);
    for (int i = 0; i < count; ++i)
        report.rooms.push_back(room_from_entry(locator_table[i]));
    if (report.rooms.empty()) {
        add_finding(report, Severity::error, locator_file, 0, "",
                    "holds no room record; the viewer finds every position in the corridor");
        return;
    }
    check_overlaps(report);
}
