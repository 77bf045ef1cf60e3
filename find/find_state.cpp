// find_state.cpp -- the Find text box's state: reading the rooms through the
// directory layer, editing the query, matching and the highlighted line.
#include "find/find_state.h"

#include <cstring>  // Required for: std::strcmp(), strnlen()
#include <string>   // Required for: std::to_string()

#include "common/utf8.h"
#include "common/data_path.h"
#include "directory/locator.h"
#include "directory/xml_dom.h"
#include "find/find_text.h"

FindState find_state;

namespace {

const char department_file_name[] = "Department.xml";
const char room_element_name[] = "Room";
const char not_on_floor_note[] = "  (not on this floor)";

// Text of a fixed-width record field, up to its terminating zero.
std::string field_text(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

// Collects every Room element below node, in document order. The parser
// caps the nesting depth, which bounds the recursion.
void collect_rooms(dom::XmlContext* context, dom::XmlNode* node, std::vector<RoomRecord>& rooms)
{
    if (node == nullptr)
        return;
    if (std::strcmp(dom::getNodeName(node), room_element_name) == 0) {
        RoomRecord record{};
        RoomRecord* kept = current_record;
        current_record = &record;
        store_room_field(context, node);
        current_record = kept;
        record.found = 1;
        rooms.push_back(record);
        return;
    }
    if (!dom::hasChildNodes(node))
        return;
    dom::XmlNodeList* children = dom::getChildNodes(node);
    for (unsigned i = 0; i < dom::numChildNodes(children); ++i)
        collect_rooms(context, dom::getChildNode(children, i), rooms);
}

// Rereads the rooms (a file broken meanwhile shows in the strip and the
// rooms of the last good read stay), matches the query again and puts the
// highlight on the best match.
void rematch()
{
    find_state.parse_error = read_room_directory(find_state.rooms);
    find_state.matches = match_rooms(find_state.rooms, find_state.query, find_list_size);
    find_state.highlight = 0;
}

} // namespace

// Parses with validation through the directory layer; every Room's fields
// are stored the way a lookup stores them.
unsigned read_room_directory(std::vector<RoomRecord>& rooms)
{
    unsigned error_code = 0;
    dom::XmlContext* context = dom::xmlinit(&error_code);
    if (context == nullptr)
        return error_code != 0 ? error_code : 1;
    const unsigned result = dom::xmlparse(context, department_file_name, nullptr,
                                          dom::parse_validate | dom::parse_discard_blanks);
    if (result == 0) {
        std::vector<RoomRecord> read;
        collect_rooms(context, dom::getDocumentElement(context), read);
        rooms.swap(read);
    }
    dom::xmlterm(context);
    return result;
}

// Compares the room number with the locator records' room texts.
bool room_on_this_floor(const RoomRecord& room)
{
    read_room_locator_if_changed();  // Find may come before the first lookup
    const std::string number = std::to_string(room.Room_Number);
    for (int i = 0; i < locator_searchable_count && i < max_locator_records; ++i)
        if (number == field_text(locator_table[i].name, locator_name_size))
            return true;
    return false;
}

// Rereads the rooms so that Find shows the file as it is now.
void open_find()
{
    find_state.open = 1;
    find_state.query.clear();
    rematch();
}

// Only the flag: the query and the rooms stay until the next opening.
void close_find() { find_state.open = 0; }

// Control bytes (C0, DEL and C1) are not text; they never reach the query.
// A byte from 0xA0 up is a Latin-1 character (freeglut hands typed letters
// over so) and is stored as its two UTF-8 bytes, both or neither.
void type_find_byte(unsigned char byte)
{
    const int size = byte < 0x80 ? 1 : 2;
    if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0) || int(find_state.query.size()) + size > find_query_limit)
        return;
    if (size == 1) {
        find_state.query += char(byte);
    } else {
        find_state.query += char(0xC0 | (byte >> 6));
        find_state.query += char(0x80 | (byte & 0x3F));
    }
    rematch();
}

// Drops the last character.
void erase_find_character()
{
    std::string& q = find_state.query;
    if (q.empty())
        return;
    q.erase(utf8::last_char_start(q));
    rematch();
}

// Held within the list; an empty list keeps the highlight at 0.
void move_find_highlight(int delta)
{
    const int last = int(find_state.matches.size()) - 1;
    int h = find_state.highlight + delta;
    find_state.highlight = h < 0 ? 0 : (h > last ? (last < 0 ? 0 : last) : h);
}

// The room of the highlighted line, or null when nothing matches.
const RoomRecord* highlighted_room()
{
    if (find_state.highlight < 0 || find_state.highlight >= int(find_state.matches.size()))
        return nullptr;
    return &find_state.rooms[size_t(find_state.matches[size_t(find_state.highlight)])];
}

// Number, professor (or the introduction when there is none), research.
std::string find_list_line(const RoomRecord& room)
{
    std::string who = field_text(room.Professor, sizeof room.Professor);
    if (who.empty())
        who = field_text(room.Introduction_Text, sizeof room.Introduction_Text);
    std::string line = std::to_string(room.Room_Number) + "  " + who;
    const std::string research = field_text(room.Research, sizeof room.Research);
    if (!research.empty())
        line += " - " + research;
    if (!room_on_this_floor(room))
        line += not_on_floor_note;
    return line;
}

// A failed read shows after the query, and Find goes on with the rooms it had.
std::string find_strip_line()
{
    std::string line = "Find: " + find_state.query;
    if (find_state.parse_error != 0)
        line += "   (Department.xml: parse failed, error " + std::to_string(find_state.parse_error) + ")";
    return line;
}
