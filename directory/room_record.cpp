// room_record.cpp -- fills the current RoomRecord for one room text from
// Department.xml: parse, search by name or value, climb to Room, store fields.
#include "directory/room_record.h"

#include <cstddef>  // Required for: offsetof, std::size_t
#include <cstring>  // Required for: std::strcmp(), std::strlen(), std::memcpy()
#include <string>   // Required for: std::string

#include "common/console_note.h"
#include "common/process_exit.h"
#include "common/token_scan.h"
#include "common/utf8.h"

RoomRecord* current_record = nullptr;
LookupFailurePolicy lookup_failure_policy = LookupFailurePolicy::end_program;
bool lookup_failed = false;

namespace {

constexpr const char* department_file_name = "Department.xml";
constexpr const char* room_element_name = "Room";

// One field of RoomRecord: the element that feeds it and where it lies.
struct FieldSlot {
    const char* element;  // name of the element whose text is the value
    FieldKind kind;
    std::size_t offset;   // bytes from the start of RoomRecord
    std::size_t size;     // bytes of the field, terminating zero included
};

#define VEVUV_FIELD(name, kind) \
    { #name, FieldKind::kind, offsetof(RoomRecord, name), sizeof(RoomRecord::name) }
#define VEVUV_CORNER(axis, number) \
    { #axis #number, FieldKind::real, \
      offsetof(RoomRecord, axis) + (number - 1) * sizeof(float), sizeof(float) }

// The fields in the order in which element names are compared.
const FieldSlot field_slots[] = {
    VEVUV_FIELD(Room_Number, integer),  VEVUV_FIELD(Professor, text),
    VEVUV_FIELD(Introduction_Text, text), VEVUV_FIELD(Research, text),
    VEVUV_FIELD(Publications, text),    VEVUV_FIELD(Texture, text),
    VEVUV_FIELD(Image, text),           VEVUV_FIELD(NumberWalls, integer),
    VEVUV_CORNER(RoomX, 1), VEVUV_CORNER(RoomX, 2), VEVUV_CORNER(RoomX, 3),
    VEVUV_CORNER(RoomX, 4), VEVUV_CORNER(RoomX, 5), VEVUV_CORNER(RoomX, 6),
    VEVUV_CORNER(RoomX, 7), VEVUV_CORNER(RoomX, 8), VEVUV_CORNER(RoomX, 9),
    VEVUV_CORNER(RoomX, 10),
    VEVUV_CORNER(RoomY, 1), VEVUV_CORNER(RoomY, 2), VEVUV_CORNER(RoomY, 3),
    VEVUV_CORNER(RoomY, 4), VEVUV_CORNER(RoomY, 5), VEVUV_CORNER(RoomY, 6),
    VEVUV_CORNER(RoomY, 7), VEVUV_CORNER(RoomY, 8), VEVUV_CORNER(RoomY, 9),
    VEVUV_CORNER(RoomY, 10),
    VEVUV_FIELD(CenterX, real),         VEVUV_FIELD(CenterY, real),
    VEVUV_FIELD(TableX, real),          VEVUV_FIELD(TableY, real),
    VEVUV_FIELD(NormalTable, text),     VEVUV_FIELD(LightX, real),
    VEVUV_FIELD(LightY, real),
};

#undef VEVUV_FIELD
#undef VEVUV_CORNER

constexpr std::size_t field_count = sizeof field_slots / sizeof field_slots[0];
static_assert(field_count == 35, "every RoomRecord field but found has one slot");

// Flags: a console note about this field's value was printed already. The
// file is parsed at every move inside a room, so each note is printed once.
bool field_noted[field_count] = {};

// Prints a note about a value that did not fit its field, once per field.
void note_field_once(std::size_t slot_index, const std::string& what)
{
    if (field_noted[slot_index])
        return;
    field_noted[slot_index] = true;
    report_problem(department_file_name, 0,
                   std::string(field_slots[slot_index].element) + " " + what + " (noted once)");
}

// The slot fed by the element of this name, or null.
const FieldSlot* find_slot(const char* element)
{
    for (const FieldSlot& slot : field_slots)
        if (std::strcmp(slot.element, element) == 0)
            return &slot;
    return nullptr;
}

// True for the nodes whose value is document text: text and CDATA, not
// comments or processing instructions.
bool holds_text(const dom::XmlNode* node)
{
    const char* name = dom::getNodeName(node);
    return std::strcmp(name, "#text") == 0 || std::strcmp(name, "#cdata-section") == 0;
}

// Copies text into a field of size bytes, cut to fit without splitting a
// UTF-8 sequence; true when it had to be cut.
bool copy_text(char* field, std::size_t size, const char* text)
{
    const std::string_view whole(text);
    const std::string_view kept = utf8::cut(whole, size - 1);
    std::memcpy(field, kept.data(), kept.size());
    field[kept.size()] = '\0';
    return kept.size() < whole.size();
}

// Converts value as the slot's kind and stores it into the current record.
void store_value(const FieldSlot& slot, const char* value)
{
    char* field = reinterpret_cast<char*>(current_record) + slot.offset;
    std::size_t slot_index = static_cast<std::size_t>(&slot - field_slots);
    bool fixed = false;
    if (slot.kind == FieldKind::integer) {
        int32_t number = to_integer(value, &fixed);
        std::memcpy(field, &number, sizeof number);
        if (fixed)
            note_field_once(slot_index, "value out of the 32-bit range; held at the limit");
    } else if (slot.kind == FieldKind::real) {
        float number = to_float(value, &fixed);
        std::memcpy(field, &number, sizeof number);
        if (fixed)
            note_field_once(slot_index, "value beyond the float range; held at the limit");
    } else if (copy_text(field, slot.size, value)) {
        note_field_once(slot_index, "text longer than " + std::to_string(slot.size - 1) + " bytes; cut to fit");
    }
}

// Ends the program, or under carry_on marks the lookup failed and hands
// back the cleared record.
RoomRecord* unusable_department_file()
{
    if (lookup_failure_policy == LookupFailurePolicy::end_program)
        end_program(1);
    std::fflush(stdout);  // a kiosk's log shows the line at once
    lookup_failed = true;
    return current_record;
}

// The diagnostic for a matching node that carries attributes.
void report_attributes(const dom::XmlNode* node, const dom::XmlNode* parent)
{
    std::string text = "\n I HAVE ATTRIBUTES ";
    if (parent == nullptr || dom::getNodeValue(parent) == nullptr)
        text += "\n The NODE has no values associated with it ...";
    text += "\n Number of Attributes : "
            + std::to_string(static_cast<int>(dom::numAttributes(dom::getAttributes(node))));
    report_text(department_file_name, text + dom::getAttrName(node) + "\n", NoteForm::plain);
}

} // namespace

// The kind and bytes of the field the element feeds; false when it feeds none.
bool find_field(const char* element, FieldKind* kind, std::size_t* size)
{
    const FieldSlot* slot = find_slot(element);
    if (slot == nullptr)
        return false;
    *kind = slot->kind;
    *size = slot->size;
    return true;
}

// Parses Department.xml and fills the current record for the room text.
RoomRecord* load_room_record(const char* room_text)
{
    unsigned error_code = 0;
    dom::XmlContext* context = dom::xmlinit(&error_code);
    if (context == nullptr) {
        report_text(department_file_name, "Failed to initialize XML parser, error "
                                              + std::to_string(error_code) + "\n", NoteForm::plain);
        return unusable_department_file();
    }
    unsigned result = dom::xmlparse(context, department_file_name, nullptr,
                                    dom::parse_validate | dom::parse_discard_blanks);
    if (result != 0) {
        report_text(department_file_name, "Parse failed, error " + std::to_string(result) + "\n",
                    NoteForm::plain);
        dom::xmlterm(context);
        return unusable_department_file();
    }
    search_room_node(context, dom::getDocumentElement(context), room_text);
    dom::xmlterm(context);
    return current_record;
}

// Depth-first search of a subtree for nodes whose name or value is the room
// text; each node before its children, every match handled. The parser caps
// the nesting depth, which bounds the recursion.
void search_room_node(dom::XmlContext* context, dom::XmlNode* node, const char* room_text)
{
    if (node == nullptr || room_text == nullptr)
        return;
    const char* name = dom::getNodeName(node);
    const char* value = holds_text(node) ? dom::getNodeValue(node) : nullptr;
    if (std::strcmp(name, room_text) == 0)
        fill_from_room_element(context, node);
    if (value != nullptr && std::strcmp(value, room_text) == 0)
        fill_from_room_element(context, node);
    if (!dom::hasChildNodes(node))
        return;
    dom::XmlNodeList* children = dom::getChildNodes(node);
    unsigned count = dom::numChildNodes(children);
    for (unsigned i = 0; i < count; ++i)
        search_room_node(context, dom::getChildNode(children, i), room_text);
}

// Stores the Room element above a matching node into the current record.
void fill_from_room_element(dom::XmlContext* context, dom::XmlNode* node)
{
    dom::XmlNode* parent = dom::getParentNode(node);
    if (parent == nullptr)
        report_text(department_file_name, "\n TITLE NULL", NoteForm::plain);
    if (dom::hasAttributes(node)) {
        report_attributes(node, parent);
        return;
    }
    dom::XmlNode* room = node;
    while (room != nullptr && std::strcmp(dom::getNodeName(room), room_element_name) != 0)
        room = dom::getParentNode(room);
    if (room == nullptr || current_record == nullptr)
        return;
    store_room_field(context, room);
    current_record->found = 1;
}

// Stores the text of every known field element at or below node into the
// current record, in document order, so that the last of two alike stays.
// A field's text is all of its pieces joined (text, CDATA, internal
// entities); an element with no text leaves its field as it was.
void store_room_field(dom::XmlContext* context, dom::XmlNode* node)
{
    if (node == nullptr || current_record == nullptr)
        return;
    const FieldSlot* slot = find_slot(dom::getNodeName(node));
    std::string text;
    if (slot != nullptr && dom::getElementText(node, field_text_limit, text))
        store_value(*slot, text.c_str());
    if (!dom::hasChildNodes(node))
        return;
    dom::XmlNodeList* children = dom::getChildNodes(node);
    unsigned count = dom::numChildNodes(children);
    for (unsigned i = 0; i < count; ++i)
        store_room_field(context, dom::getChildNode(children, i));
}
