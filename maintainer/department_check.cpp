// department_check.cpp -- Department.xml: validated and read by the viewer's
// own layer and reader for every locator room, then each room's record
// checked against its locator box, the status strip and the page it names.
//
// Sections: the document index; field texts; one room; check_department.
#include <algorithm>  // Required for: std::min(), std::max(), std::find()
#include <cmath>      // Required for: std::fabs()
#include <cstring>    // Required for: std::strcmp(), std::strlen(), strnlen()
#include <sys/stat.h> // Required for: stat(), S_ISREG()

#include "common/token_scan.h"
#include "common/data_path.h"
#include "directory/room_record.h"
#include "directory/xml_dom.h"
#include "maintainer/check_parts.h"

namespace {

const std::string department_file = "Department.xml";
const char room_element[] = "Room";
const std::string once_note_suffix = "(noted once)";
// What a Department.xml the viewer's reader rejects does to the viewer.
const std::string viewer_ends = "the viewer ends when a visitor first enters a room";
// A room's corners and its locator box may differ by this much, plan units:
// the locator points stand a little inside the walls.
constexpr float corner_tolerance = 0.05f;
constexpr int default_table_corners = 6;  // corners whose mean places a 0 0 desk
constexpr int ten_point_shape = 5;
// A field's text is measured whole up to this many bytes (1 MB).
constexpr std::size_t measured_text_limit = 1 << 20;

// ---------------------------------------------------------------------------
// The document index

// One node of the parsed document, as the viewer's search sees it.
struct XmlItem {
    dom::XmlNode* node;
    const char* name;     // element name, or "#text" ...
    const char* value;    // text of text nodes, null for elements
    long line;
    dom::XmlNode* room;   // the nearest Room element at or above the node, or null
};

dom::XmlNode* room_above(dom::XmlNode* node)
{
    while (node != nullptr && std::strcmp(dom::getNodeName(node), room_element) != 0)
        node = dom::getParentNode(node);
    return node;
}

// Every node below and including node, each before its children, in
// document order: the order of the viewer's search.
void index_nodes(dom::XmlNode* node, std::vector<XmlItem>& items)
{
    if (node == nullptr)
        return;
    // Comments and processing instructions are no values to the viewer.
    const char* name = dom::getNodeName(node);
    const bool text = std::strcmp(name, "#text") == 0 || std::strcmp(name, "#cdata-section") == 0;
    items.push_back(XmlItem{node, name, text ? dom::getNodeValue(node) : nullptr,
                            dom::getLineNumber(node), room_above(node)});
    if (!dom::hasChildNodes(node))
        return;
    dom::XmlNodeList* children = dom::getChildNodes(node);
    const unsigned count = dom::numChildNodes(children);
    for (unsigned i = 0; i < count; ++i)
        index_nodes(dom::getChildNode(children, i), items);
}

// The parsed document and its index, released at the end of the check.
class DepartmentDocument {
public:
    DepartmentDocument() = default;
    ~DepartmentDocument() { dom::xmlterm(context_); }
    DepartmentDocument(const DepartmentDocument&) = delete;
    DepartmentDocument& operator=(const DepartmentDocument&) = delete;

    // Parses as the viewer does; false (reported) when the viewer would not accept it.
    bool parse(BuildingReport& report);
    const std::vector<XmlItem>& items() const { return items_; }
    // The line of the first element named field in room, else the room's line.
    long field_line(const dom::XmlNode* room, const char* field) const;
    // The text of the Room_Number element of room, or "".
    std::string room_number_text(const dom::XmlNode* room) const;

private:
    dom::XmlContext* context_ = nullptr;
    std::vector<XmlItem> items_;
};

bool DepartmentDocument::parse(BuildingReport& report)
{
    unsigned error_code = 0;
    context_ = dom::xmlinit(&error_code);
    if (context_ == nullptr) {
        add_finding(report, Severity::error, department_file, 0, "",
                    "the XML parser cannot be set up (error " + std::to_string(error_code) + ")");
        return false;
    }
    ReaderNotes notes;
    const unsigned result = dom::xmlparse(context_, department_file.c_str(), nullptr,
                                          dom::parse_validate | dom::parse_discard_blanks);
    if (result != 0) {
        if (notes.empty())
            add_finding(report, Severity::error, department_file, 0, "",
                        "the parser rejects it (error " + std::to_string(result) + "); " + viewer_ends);
        notes.add_to(report, department_file, viewer_ends);
        return false;
    }
    index_nodes(dom::getDocumentElement(context_), items_);
    return true;
}

long DepartmentDocument::field_line(const dom::XmlNode* room, const char* field) const
{
    if (room == nullptr)
        return 0;
    for (const XmlItem& item : items_)
        if (item.room == room && std::strcmp(item.name, field) == 0)
            return item.line;
    for (const XmlItem& item : items_)
        if (item.node == room)
            return item.line;
    return 0;
}

std::string DepartmentDocument::room_number_text(const dom::XmlNode* room) const
{
    std::string text;
    for (const XmlItem& item : items_)
        if (item.room == room && std::strcmp(item.name, "Room_Number") == 0
            && dom::getElementText(item.node, field_text_limit, text))
            return text;
    return "";
}

// ---------------------------------------------------------------------------
// Field texts

// Why the viewer cannot keep the value as written, or "".
std::string value_problem(const char* element, const char* value)
{
    FieldKind kind = FieldKind::text;
    std::size_t size = 0;
    if (!find_field(element, &kind, &size))
        return "";
    if (kind == FieldKind::text) {
        const std::size_t length = std::strlen(value);
        if (length < size)
            return "";
        return std::string(element) + " text has " + std::to_string(length) + " bytes, more than the "
            + std::to_string(size - 1) + " its field holds; the viewer cuts it";
    }
    bool out_of_range = false;
    if (kind == FieldKind::integer)
        to_integer(value, &out_of_range);
    else
        to_float(value, &out_of_range);
    if (!out_of_range)
        return "";
    return std::string(element) + " " + quoted(value) + " is beyond the "
        + (kind == FieldKind::integer ? "32-bit" : "float") + " range; the viewer holds it at the limit";
}

FloorPlace room_box(const RoomFacts& room)
{
    return box_place(room.min_x, room.min_y, room.max_x, room.max_y);
}

// The locator box of the room of that text, or no place when none has it.
FloorPlace located_box(const BuildingReport& report, const std::string& name)
{
    for (const RoomFacts& room : report.rooms)
        if (room.name == name)
            return room_box(room);
    return FloorPlace{};
}

// Reports every field value of a Room that the viewer cannot keep whole.
void check_field_values(BuildingReport& report, const DepartmentDocument& document)
{
    std::string text;
    for (const XmlItem& item : document.items()) {
        if (item.room == nullptr || !dom::getElementText(item.node, measured_text_limit, text))
            continue;
        const std::string problem = value_problem(item.name, text.c_str());
        if (problem.empty())
            continue;
        const std::string number = document.room_number_text(item.room);
        add_finding(report, Severity::error, department_file, item.line, room_label(number), problem,
                    located_box(report, number));
    }
}

// ---------------------------------------------------------------------------
// One room

// The nodes that the viewer's search matches for the room text, and the
// Room elements they lead to.
struct RoomMatch {
    std::vector<const XmlItem*> nodes;  // matching nodes, in document order
    std::vector<dom::XmlNode*> rooms;   // distinct Room elements above them
};

RoomMatch match_room(const DepartmentDocument& document, const std::string& text)
{
    RoomMatch match;
    for (const XmlItem& item : document.items()) {
        const bool by_name = text == item.name;
        const bool by_value = item.value != nullptr && text == item.value;
        if ((!by_name && !by_value) || dom::hasAttributes(item.node) || item.room == nullptr)
            continue;
        match.nodes.push_back(&item);
        if (std::find(match.rooms.begin(), match.rooms.end(), item.room) == match.rooms.end())
            match.rooms.push_back(item.room);
    }
    return match;
}

std::string lines_text(const RoomMatch& match)
{
    std::string text;
    for (const XmlItem* item : match.nodes)
        text += (text.empty() ? "" : ", ") + std::to_string(item->line);
    return text;
}

std::string room_lines_text(const DepartmentDocument& document, const RoomMatch& match)
{
    std::string text;
    for (std::size_t r = 0; r < match.rooms.size(); ++r)
        text += (r == 0 ? "" : r + 1 == match.rooms.size() ? " and " : ", ")
            + std::to_string(document.field_line(match.rooms[r], room_element));
    return text;
}

// An error for a room text that leads to more than one node, at the first of them.
void check_single_match(BuildingReport& report, const DepartmentDocument& document,
                        const RoomFacts& room, const RoomMatch& match)
{
    if (match.nodes.size() < 2)
        return;
    const std::string text = quoted(room.name);
    const std::string problem = match.rooms.size() > 1
        ? "the text " + text + " is held by " + std::to_string(match.rooms.size())
              + " Rooms (at lines " + room_lines_text(document, match)
              + "); a visit stores them all, the later ones' fields winning"
        : "the text " + text + " matches " + std::to_string(match.nodes.size())
              + " nodes of the Room at line " + room_lines_text(document, match) + " (lines "
              + lines_text(match) + "); a visit stores the Room once for each";
    add_finding(report, Severity::error, department_file, match.nodes[0]->line, room_label(room.name),
                problem, room_box(room));
}

// Reads the room's record with the viewer's reader; false when it ends the viewer.
bool load_record(BuildingReport& report, const RoomFacts& room, RoomRecord& record)
{
    record = RoomRecord{};
    current_record = &record;
    // The viewer notes each cut text once per run; the check reports every
    // one with its room and line instead.
    ReaderNotes notes([](const ConsoleNote& note) {
        return note.text.size() < once_note_suffix.size()
               || note.text.compare(note.text.size() - once_note_suffix.size(), std::string::npos,
                                    once_note_suffix) != 0;
    });
    bool read = true;
    try {
        load_room_record(room.name.c_str());
    } catch (const ProgramEnded&) {
        read = false;
    }
    current_record = nullptr;
    notes.add_to(report, department_file, read ? "" : viewer_ends);
    return read;
}

void check_corners(BuildingReport& report, long line, const RoomFacts& room,
                   const RoomRecord& record)
{
    const int corners = room.shape == ten_point_shape ? room_corner_count : default_table_corners;
    float min_x = record.RoomX[0], max_x = record.RoomX[0];
    float min_y = record.RoomY[0], max_y = record.RoomY[0];
    for (int i = 1; i < corners; ++i) {
        min_x = std::min(min_x, record.RoomX[i]);
        max_x = std::max(max_x, record.RoomX[i]);
        min_y = std::min(min_y, record.RoomY[i]);
        max_y = std::max(max_y, record.RoomY[i]);
    }
    const bool agree = std::fabs(min_x - room.min_x) <= corner_tolerance
        && std::fabs(max_x - room.max_x) <= corner_tolerance
        && std::fabs(min_y - room.min_y) <= corner_tolerance
        && std::fabs(max_y - room.max_y) <= corner_tolerance;
    if (!agree)
        add_finding(report, Severity::warning, department_file, line, room_label(room.name),
                    "its corners span " + span_text(min_x, min_y, max_x, max_y)
                        + ", but its locator box is "
                        + span_text(room.min_x, room.min_y, room.max_x, room.max_y),
                    box_place(min_x, min_y, max_x, max_y));
}

// Where a visit puts the room's desk, as the visit computes it; false for none.
bool visit_table(const RoomRecord& record, float* x, float* y)
{
    if (record.TableX == -1.0 && record.TableY == -1.0)
        return false;
    *x = record.TableX;
    *y = record.TableY;
    if (record.TableX == 0.0 && record.TableY == 0.0) {
        double sum_x = 0.0, sum_y = 0.0;
        for (int i = 0; i < default_table_corners; ++i) {
            sum_x += record.RoomX[i];
            sum_y += record.RoomY[i];
        }
        *x = float(sum_x * (1.0 / default_table_corners));
        *y = float(sum_y * (1.0 / default_table_corners));
    }
    return true;
}

void check_table(BuildingReport& report, long line, const RoomFacts& room)
{
    const bool inside = room.min_x <= room.table_x && room.table_x <= room.max_x
        && room.min_y <= room.table_y && room.table_y <= room.max_y;
    if (room.has_table && !inside)
        add_finding(report, Severity::warning, department_file, line, room_label(room.name),
                    "the desk a visit places stands at " + point_text(room.table_x, room.table_y)
                        + ", outside the room's box "
                        + span_text(room.min_x, room.min_y, room.max_x, room.max_y),
                    point_place(room.table_x, room.table_y));
}

bool is_regular_file(const char* name)
{
    struct stat status {};
    return stat(name, &status) == 0 && S_ISREG(status.st_mode);
}

void check_page(BuildingReport& report, long line, const RoomFacts& room, const RoomRecord& record)
{
    const std::size_t length = strnlen(record.Publications, sizeof record.Publications);
    const std::string page(record.Publications, length);
    const std::string label = room_label(room.name);
    if (page.empty()) {
        if (room.has_table)
            add_finding(report, Severity::error, department_file, line, label,
                        "names no Publications page, yet a first visit starts the browser on it",
                        room_box(room));
        return;
    }
    if (page.find("://") != std::string::npos)
        return;  // a web address: nothing on this disk to look for
    if (!is_regular_file(data_file_path(page).c_str()))
        add_finding(report, Severity::error, department_file, line, label,
                    "the Publications page " + quoted(page) + " does not exist", room_box(room));
}

// Reads one locator room's record and checks it.
bool check_room(BuildingReport& report, const DepartmentDocument& document, RoomFacts& room)
{
    RoomRecord record;
    if (!load_record(report, room, record))
        return false;
    if (!record.found) {
        add_finding(report, Severity::error, "qor3rdfloor.inp", 0, room_label(room.name),
                    "no Room of Department.xml holds the text " + quoted(room.name)
                        + "; the status strip never shows this room's name",
                    room_box(room));
        return true;
    }
    const RoomMatch match = match_room(document, room.name);
    check_single_match(report, document, room, match);
    const dom::XmlNode* element = match.rooms.empty() ? nullptr : match.rooms[0];
    room.found = true;
    room.number = record.Room_Number;
    room.professor.assign(record.Professor, strnlen(record.Professor, sizeof record.Professor));
    room.has_table = visit_table(record, &room.table_x, &room.table_y);
    check_corners(report, document.field_line(element, room_element), room, record);
    check_table(report, document.field_line(element, "TableX"), room);
    const std::string status = status_line_problem(record.Room_Number, record.Introduction_Text);
    if (!status.empty())
        add_finding(report, Severity::warning, department_file,
                    document.field_line(element, "Introduction_Text"), room_label(room.name), status,
                    room_box(room));
    check_page(report, document.field_line(element, "Publications"), room, record);
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// check_department

// Reads Department.xml for every locator room; fills the rooms' facts.
void check_department(BuildingReport& report)
{
    const std::string failure = open_failure(department_file);
    if (!failure.empty()) {
        add_finding(report, Severity::error, department_file, 0, "",
                    "cannot be opened (" + failure
                        + "); " + viewer_ends);
        return;
    }
    DepartmentDocument document;
    if (!document.parse(report))
        return;
    check_field_values(report, document);
    for (RoomFacts& room : report.rooms)
        if (!check_room(report, document, room))
            return;
}
