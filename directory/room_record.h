// room_record.h -- one room's facts, filled from Department.xml.
#pragma once

#include <cstddef>  // Required for: std::size_t
#include <cstdint>

#include "common/config.h"  // Required for: the field widths
#include "directory/xml_dom.h"

constexpr int room_corner_count = 10;
// Bytes of a field element's text that are looked at: more than any field
// holds, so that a cut is still noticed and a number is read whole.
constexpr std::size_t field_text_limit = 1024;

// Fields carry the names of their XML elements; coordinates in plan units.
struct RoomRecord {
    int32_t found;                          // 1 once a Room element was stored
    int32_t Room_Number;
    char Professor[professor_size];
    char Introduction_Text[long_text_size]; // shown in the status strip
    char Research[long_text_size];
    char Publications[long_text_size];      // page handed to the browser
    char Texture[short_text_size];
    char Image[short_text_size];
    int32_t NumberWalls;
    float RoomX[room_corner_count];         // corner x, RoomX1..RoomX10
    float RoomY[room_corner_count];         // corner y, RoomY1..RoomY10
    float CenterX;
    float CenterY;
    float TableX;                           // 0 0: corners' mean; -1 -1: no table
    float TableY;
    char NormalTable[normal_table_size];
    float LightX;
    float LightY;
};

// What a RoomRecord field holds.
enum class FieldKind { integer, real, text };

// The kind of the RoomRecord field the element feeds, and its bytes
// (terminating zero included); false when the element feeds none.
bool find_field(const char* element, FieldKind* kind, std::size_t* size);

// The record that the running lookup fills.
extern RoomRecord* current_record;

// What a lookup does when Department.xml or the locator file cannot be used:
// end the program (the plain viewer), or write the same console line, mark
// the lookup failed and let the visitor walk on (a kiosk).
enum class LookupFailurePolicy { end_program, carry_on };
extern LookupFailurePolicy lookup_failure_policy;
// Flag: the latest lookup could not use its files (carry_on only).
extern bool lookup_failed;

// Parses Department.xml and fills the current record for the room text.
RoomRecord* load_room_record(const char* room_text);
// Depth-first search of a subtree for nodes whose name or value is the room text.
void search_room_node(dom::XmlContext* context, dom::XmlNode* node, const char* room_text);
// Stores the Room element above a matching node into the current record.
void fill_from_room_element(dom::XmlContext* context, dom::XmlNode* node);
// Stores the joined text of every known field element at or below node
// into the current record.
void store_room_field(dom::XmlContext* context, dom::XmlNode* node);
