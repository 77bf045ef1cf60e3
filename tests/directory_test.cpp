// directory_test.cpp -- the XML layer on libxml2, room records from
// Department.xml, the room locator file, the box search and lookup_room.
#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <libxml/parser.h>    // Required for: xmlGetExternalEntityLoader()
#include <libxml/xmlerror.h>  // Required for: the error codes checked below

#include "directory/locator.h"
#include "directory/room_record.h"
#include "directory/xml_dom.h"
#include "support.h"

using namespace test;

namespace {

constexpr unsigned parse_flags = dom::parse_validate | dom::parse_discard_blanks;

dom::XmlNode* child(dom::XmlNode* node, unsigned index) { return dom::getChildNode(dom::getChildNodes(node), index); }
unsigned child_count(dom::XmlNode* node) { return dom::numChildNodes(dom::getChildNodes(node)); }
std::string name_of(dom::XmlNode* node) { return node != nullptr ? dom::getNodeName(node) : "(null)"; }
std::string value_of(dom::XmlNode* node)
{
    const char* value = dom::getNodeValue(node);
    return value != nullptr ? value : "(null)";
}

// Each test works in a scratch folder holding the test DTD (the names are
// relative), with the locator table as at the start of a run.
class Directory : public testing::Test {
protected:
    void SetUp() override
    {
        copy_test_data("directory/Department.dtd", "Department.dtd");
        for (LocatorEntry& entry : locator_table)
            entry = LocatorEntry{};
        locator_searchable_count = 0;
        lookup_call_count = 0;
        context_ = dom::xmlinit(&init_error_);
    }
    void TearDown() override { dom::xmlterm(context_); }
    // The code of parsing a file of the working folder; no document on failure.
    unsigned parse_code(const char* name, unsigned flags = parse_flags)
    {
        const unsigned code = dom::xmlparse(context_, name, nullptr, flags);
        if (code != 0) {
            EXPECT_EQ(dom::getDocumentElement(context_), nullptr);
        }
        return code;
    }
    // A cleared record, filled for room_text from Department.xml, and the notes printed.
    RoomRecord load(const char* room_text, std::string* notes = nullptr)
    {
        RoomRecord record = {};
        current_record = &record;
        const Console console = capture_console([&] { EXPECT_EQ(load_room_record(room_text), &record); });
        current_record = nullptr;
        if (notes != nullptr)
            *notes = console.out;
        return record;
    }
    // Writes the locator file, reads it, and returns what was printed.
    static std::string read_locator(const std::string& text)
    {
        write_file("qor3rdfloor.inp", text);
        return capture_console([] { read_room_locator(); }).out;
    }
    ScratchDir dir_;
    unsigned init_error_ = 1;
    dom::XmlContext* context_ = nullptr;
};

std::string record(int shape, const std::string& token, const std::string& points)
{
    return std::to_string(shape) + " " + token + " " + points + "\n";
}
const std::string six_points = "0 0 1 0 1 1 0 1 0 0 1 1";

std::string box(const LocatorEntry& entry) { return text(entry.min_x, entry.min_y, entry.max_x, entry.max_y); }

} // namespace

TEST_F(Directory, LayerDeliversNamesValuesChildrenAndAttributesInAnyOrder)
{
    copy_test_data("directory/layer.xml", "layer.xml");
    EXPECT_EQ(init_error_, 0u);
    ASSERT_EQ(parse_code("layer.xml"), 0u);
    dom::XmlNode* root = dom::getDocumentElement(context_);
    EXPECT_EQ(name_of(root), "Department");
    EXPECT_EQ(dom::getNodeValue(root), nullptr);
    EXPECT_EQ(dom::getParentNode(root), nullptr);
    ASSERT_EQ(child_count(root), 1u);  // the blank text around Room is dropped
    dom::XmlNode* room = child(root, 0);
    EXPECT_EQ(dom::getParentNode(room), root);
    ASSERT_EQ(child_count(room), 4u);
    EXPECT_EQ(child(room, 4), nullptr);
    EXPECT_EQ(dom::getParentNode(child(child(room, 0), 0)), child(room, 0));
    const char* const kinds[][2] = {{"#text", "Text"}, {"#cdata-section", "<raw>"}, {"#comment", "aside"}};
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_EQ(name_of(child(child(room, 1), i)), kinds[i][0]);
        EXPECT_EQ(value_of(child(child(room, 1), i)), kinds[i][1]);
    }
    EXPECT_EQ(dom::hasChildNodes(child(room, 2)), 0);  // whitespace only
    EXPECT_EQ(dom::numAttributes(dom::getAttributes(child(room, 3))), 1u);
    EXPECT_STREQ(dom::getAttrName(child(room, 3)), "floor");
    EXPECT_EQ(dom::hasAttributes(room), 0);
    EXPECT_STREQ(dom::getAttrName(room), "");
    ASSERT_EQ(parse_code("layer.xml", dom::parse_validate), 0u);  // blanks kept
    root = dom::getDocumentElement(context_);
    EXPECT_EQ(child_count(root), 3u);
    EXPECT_EQ(value_of(child(child(child(root, 1), 5), 0)), "   ");

    // Deeper than the layer keeps cursors for: e<level>_<i>, child 0 nests the next level.
    std::function<std::string(int)> nested = [&](int level) -> std::string {
        if (level == 12)
            return "<leaf/>";
        std::string text;
        for (int i = 0; i < 3; ++i) {
            const std::string name = "e" + std::to_string(level) + "_" + std::to_string(i);
            text += "\n <" + name + ">" + (i == 0 ? nested(level + 1) : "") + "</" + name + ">";
        }
        return text;
    };
    write_file("deep.xml", "<root>" + nested(0) + "\n</root>\n");
    ASSERT_EQ(parse_code("deep.xml", dom::parse_discard_blanks), 0u);
    root = dom::getDocumentElement(context_);
    std::string walked, expected;
    std::function<void(dom::XmlNode*)> walk = [&](dom::XmlNode* node) {
        walked += name_of(node) + " ";
        for (unsigned i = 0; i < child_count(node); ++i)
            walk(child(node, i));
    };
    walk(root);
    for (int level = 0; level < 12; ++level)
        expected += "e" + std::to_string(level) + "_0 ";
    expected += "leaf ";
    for (int level = 11; level >= 0; --level)
        expected += "e" + std::to_string(level) + "_1 e" + std::to_string(level) + "_2 ";
    EXPECT_EQ(walked, "root " + expected);
    dom::XmlNode* inner = child(root, 0);  // backwards, repeated, past the end, two lists in turn
    std::string order;
    for (auto [node, i] : std::vector<std::pair<dom::XmlNode*, unsigned>>{
             {root, 2}, {root, 0}, {root, 2}, {root, 1}, {root, 1}, {root, 3}, {root, 0}, {inner, 1}, {root, 1}, {inner, 2}, {root, 2}})
        order += name_of(child(node, i)) + " ";
    EXPECT_EQ(order, "e0_2 e0_0 e0_2 e0_1 e0_1 (null) e0_0 e1_1 e0_1 e1_2 e0_2 ");

    write_file("second.xml", "<top> <x/> <y/> </top>");  // a new document after those walks
    ASSERT_EQ(parse_code("second.xml", dom::parse_discard_blanks), 0u);
    root = dom::getDocumentElement(context_);
    EXPECT_EQ(name_of(child(root, 1)) + name_of(child(root, 2)), "y(null)");
    ASSERT_EQ(parse_code("second.xml", 0), 0u);
    root = dom::getDocumentElement(context_);
    ASSERT_EQ(child_count(root), 5u);
    EXPECT_EQ(name_of(child(root, 0)) + name_of(child(root, 3)), "#texty");
}

TEST_F(Directory, RoomRecordsTakeEveryMatchInDocumentOrder)
{
    copy_test_data("directory/rooms.xml", "Department.xml");
    RoomRecord r = load("301");  // not the professor outside every Room; LightY two levels down
    EXPECT_EQ(text(r.found, r.Room_Number, r.Professor, r.Introduction_Text, r.Publications, r.NumberWalls),
              "1 301 Ada Brenwick   Optics lab, mind the step   publications/room301.html 6 ");
    EXPECT_EQ(text(r.RoomX[9], r.RoomY[9], r.RoomX[2], r.CenterY, r.LightY), "7.75 -3.5 0 4 4.5 ");

    // "302" is room 302's number and later the introduction of room " 303 ".
    r = load("302");
    EXPECT_EQ(text(r.Room_Number, r.Professor, r.Research, r.RoomX[2], r.TableY), "303 Second Holder Early only 4.5 -1 ");
    for (int k = 0; k < room_corner_count; ++k)
        EXPECT_NE(r.RoomX[k], 99.0f) << "RoomX11 must be ignored";
    EXPECT_EQ(load("303").found + load("999").found + load("Outside Every Room").found + load("Corridor notes").found, 0);
    r = load("Annex");  // a match by element name
    EXPECT_EQ(r.Room_Number, 306);
    std::string notes;
    EXPECT_EQ(load("Department", &notes).found, 0);
    EXPECT_EQ(notes, "\n TITLE NULL");
    EXPECT_EQ(load("Lab", &notes).found, 0);
    EXPECT_EQ(notes, "\n I HAVE ATTRIBUTES \n The NODE has no values associated with it ...\n Number of Attributes : 2floor\n");

    // "  -17 apples", "2.5e1", "-.5e-1", "0x10", "inf", "7" then "abc", "1e60", "12abc", "1e",
    // text then CDATA (every piece kept), "99999999999".
    r = load("304", &notes);
    EXPECT_EQ(text(r.NumberWalls, r.CenterX, r.CenterY, r.TableX, r.TableY, r.LightX, r.LightY == FLT_MAX, r.RoomX[0],
                   r.RoomY[0], r.Research, r.Room_Number == INT32_MAX), "-17 25 -0.05 0 0 0 1 12 1 Fog & <haze> 1 ");
    EXPECT_EQ(notes, "Department.xml: LightY value beyond the float range; held at the limit (noted once)\n"
                     "Department.xml: Room_Number value out of the 32-bit range; held at the limit (noted once)\n");
    r = load("308");  // a field is every piece in document order, entities expanded, comments left out
    EXPECT_EQ(text(r.Professor, r.Introduction_Text, r.Research, r.NumberWalls),
              "Prof. Oswin The Department of Applied Fog <lab> & store  12 ");
    EXPECT_EQ(load("on leave").found, 0);

    struct Guarded {  // guard bytes show that nothing is written past the record
        char before[16];
        RoomRecord record;
        char after[16];
    } guarded;
    std::memset(&guarded, 0x5A, sizeof guarded);
    guarded.record = RoomRecord{};
    current_record = &guarded.record;
    notes = capture_console([] { load_room_record("305"); }).out;
    current_record = nullptr;
    const RoomRecord& cut = guarded.record;  // 19 bytes; a two-byte letter is not split
    EXPECT_EQ(text(cut.Professor, std::strlen(cut.Introduction_Text), cut.Texture, cut.NormalTable, cut.Image),
              "Bartholomew Quennev 99 abcdefghijklmnopqr twelve-char exactly-19-bytes-ok ");
    EXPECT_EQ(std::string(guarded.before, 16) + std::string(guarded.after, 16), std::string(32, 0x5A));
    EXPECT_EQ(notes.substr(0, notes.find('\n') + 1), "Department.xml: Professor text longer than 19 bytes; cut to fit (noted once)\n");
    EXPECT_EQ(std::count(notes.begin(), notes.end(), '\n'), 4);  // one note for each of the four fields
    load("305", &notes);
    EXPECT_EQ(notes, "");  // noted once per run
}

TEST_F(Directory, DocumentsAndEntitiesThatAreNotAcceptedAreRejected)
{
    for (const char* name : {"breaks_dtd.xml", "missing_attribute.xml", "not_well_formed.xml", "no_dtd.xml",
                             "dtd_file_missing.xml", "rooms.xml", "laughs.xml"})
        copy_test_data(std::string("directory/") + name, name);
    const std::pair<const char*, int> codes[] = {
        {"rooms.xml", 0}, {"breaks_dtd.xml", XML_DTD_UNKNOWN_ELEM}, {"missing_attribute.xml", XML_DTD_MISSING_ATTRIBUTE},
        {"not_well_formed.xml", XML_ERR_TAG_NAME_MISMATCH}, {"no_dtd.xml", XML_DTD_NO_DTD},
        {"dtd_file_missing.xml", XML_IO_LOAD_ERROR}, {"absent.xml", XML_IO_LOAD_ERROR}, {"laughs.xml", XML_ERR_ENTITY_LOOP}};
    for (const auto& [name, code] : codes)
        EXPECT_EQ(parse_code(name), unsigned(code)) << name;
    EXPECT_EQ(parse_code("no_dtd.xml", dom::parse_discard_blanks), 0u);  // no validation, no DTD needed

    fs::create_directories("inner");
    write_file("inner/secret.txt", "SECRET");
    write_file("note.txt", "NOTE");
    auto document_with = [](const std::string& system_id) {
        return "<?xml version=\"1.0\"?>\n<!DOCTYPE Department SYSTEM \"Department.dtd\" [\n<!ENTITY outside SYSTEM \"" +
               system_id + "\">\n]>\n<Department><Room><Room_Number>1&outside;2</Room_Number></Room></Department>\n";
    };
    const xmlExternalEntityLoader loader_before = xmlGetExternalEntityLoader();
    for (const std::string& id : {std::string("/etc/passwd"), std::string("file:///etc/passwd"), "../" +
             dir_.path().filename().string() + "/note.txt", std::string("%2e%2e/etc/passwd"), (dir_.path() / "note.txt").string()}) {
        write_file("entity.xml", document_with(id));
        EXPECT_EQ(parse_code("entity.xml"), unsigned(XML_IO_LOAD_ERROR)) << id;
    }
    EXPECT_EQ(xmlGetExternalEntityLoader(), loader_before);
    write_file("absolute_dtd.xml", "<!DOCTYPE Department SYSTEM \"" + (dir_.path() / "Department.dtd").string() +
                                       "\"><Department/>\n");
    EXPECT_EQ(parse_code("absolute_dtd.xml"), unsigned(XML_IO_LOAD_ERROR));
    fs::create_directories("dtd");  // a DTD in a plain folder below the working folder loads
    fs::copy_file("Department.dtd", "dtd/Department.dtd");
    write_file("folder_dtd.xml", "<!DOCTYPE Department SYSTEM \"dtd/Department.dtd\"><Department/>\n");
    EXPECT_EQ(parse_code("folder_dtd.xml"), 0u);
    for (const char* local : {"note.txt", "inner/secret.txt"}) {  // loads, but its text never reaches a record
        write_file("Department.xml", document_with(local));
        EXPECT_EQ(load("1").Room_Number, 12) << local;  // "1" and "2" joined
        EXPECT_EQ(load("NOTE").found + load("SECRET").found, 0) << local;
    }

    std::string references;  // many references to one large entity: the text taken is bounded, and no number
    for (int i = 0; i < 10000; ++i)
        references += "&big;";
    write_file("Department.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE Department SYSTEM \"Department.dtd\" [\n"
                                 "<!ENTITY big \"" + std::string(10000, 'x') + "\">\n]>\n<Department><Room><Room_Number>" +
                                     references + "</Room_Number><Research>7</Research></Room></Department>\n");
    const RoomRecord r = load("7");
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(r.Room_Number, 0);

    fs::remove("Department.xml");
    const std::string expected = "^Parse failed, error " + std::to_string(parse_code("Department.xml")) + "\n$";
    RoomRecord record = {};
    current_record = &record;
    EXPECT_EXIT((stdout_to_stderr(), load_room_record("301")), testing::ExitedWithCode(1), expected);
}

TEST_F(Directory, LocatorReadsShapesNamesAndBoxesAndFindsTheFirstHolder)
{
    copy_test_data("directory/locator_rooms.inp", "qor3rdfloor.inp");
    EXPECT_EQ(capture_console([] { read_room_locator(); }).out, "");
    // The last record before the 0 included; six points, but ten for shape 5.
    EXPECT_EQ(text(locator_searchable_count, locator_table[5].shape, locator_table[0].point_x[6], box(locator_table[1]),
                   locator_table[1].point_y[9], locator_table[3].shape, box(locator_table[4])),
              "5 0 0 12 1 20 8  6 -1 40 0 45 5  ");
    const struct {
        float x, y;
        const char* room;
    } rows[] = {{2, 1, "301"}, {0, 0, "301"}, {10, 5, "301"}, {3, 5, "301"}, {std::nextafter(0.0f, -1.0f), 3, nullptr},
                {3, std::nextafter(5.0f, 6.0f), nullptr}, {7, 3, "301"} /* the earlier record wins */, {7, 6, "303"},
                {12, 3, "302"}, {19.5f, 7.5f, "302"} /* through the ten-point box */, {30.5f, 30.5f, ""},
                {45, 5, "305"}, {100, 100, nullptr}, {std::nanf(""), 1, nullptr}};
    for (const auto& row : rows) {
        const char* found = find_room_at(row.x, row.y);
        EXPECT_STREQ(found ? found : "(none)", row.room ? row.room : "(none)") << row.x << ", " << row.y;
    }

    // After six points of shape 3, "9 x" is the next record's shape and name.
    EXPECT_EQ(read_locator("description\n" + record(3, "<A1>", "0 0 2 0 2 2 0 2 1 1 1 1") +
                           "9 x 10 10 11 10 11 11 10 11 10 10 11 11\n" +
                           record(-7, "<B2>", "20 20 21 20 21 21 20 21 20 20 21 21") + "0 x\n"), "");
    EXPECT_EQ(text(locator_searchable_count, box(locator_table[0]), locator_table[1].shape, locator_table[1].name,
                   locator_table[2].name), "3 0 0 2 2  9  B2 ");

    // The header ends only at the exact word; the first record counts even with shape 0.
    EXPECT_EQ(read_locator("Floor three\tdescriptions\n  Description description2\nxdescription descriptio\n\n"
                           "   description " + record(4, "<R1>", six_points) + "0 x"), "");
    EXPECT_STREQ(locator_table[0].name, "R1");
    EXPECT_EQ(read_locator("description " + record(0, "<Z0>", six_points) + "0 end"), "");
    EXPECT_STREQ(locator_table[0].name, "Z0");
    EXPECT_EQ(locator_searchable_count, 1);

    // Names lose their first and last character and are cut to 11.
    EXPECT_EQ(read_locator("description\n" + record(4, "R301x", six_points) + record(4, "ab", six_points) +
                           record(4, "a", six_points) + record(4, "<12345678901>", six_points) +
                           record(4, "<1234567890123456>", "8 0 9 0 9 1 8 1 8 0 9 1") + "0 x\n"),
              "qor3rdfloor.inp: room name in \"<1234567890123456>\" is longer than 11 characters; cut to fit\n");
    const char* names[] = {"301", "", "", "12345678901", "12345678901"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(locator_table[i].name, names[i]);
    EXPECT_STREQ(find_room_at(8.5f, 0.5f), "12345678901");

    // Overlong tokens are cut with a note; reading goes on after them.
    const std::string long_word(10000, 'w'), cut(19, 'w');
    EXPECT_EQ(read_locator("header " + long_word + " description\n" + record(4, long_word, six_points) +
                           record(4, "<R2>", "5 5 6 5 6 6 5 6 5 5 6 6") + "0 x\n"),
              "qor3rdfloor.inp: a token of 10000 characters is longer than 19; cut to \"" + cut + "\"\n"
              "qor3rdfloor.inp: a token of 10000 characters is longer than 19; cut to \"" + cut + "\"\n"
              "qor3rdfloor.inp: room name in \"" + cut + "\" is longer than 11 characters; cut to fit\n");
    EXPECT_EQ(text(locator_table[0].name, box(locator_table[1])), "wwwwwwwwwww 5 5 6 6  ");

    auto rooms = [](int count) {  // count rooms side by side along x
        std::string text = "description\n";
        for (int i = 0; i < count; ++i)
            text += record(4, "<" + std::to_string(100 + i) + ">", std::to_string(2 * i) + " 0 " +
                           std::to_string(2 * i + 1) + " 1 " + std::to_string(2 * i) + " 2 " +
                           std::to_string(2 * i + 1) + " 0 " + std::to_string(2 * i) + " 1 " + std::to_string(2 * i + 1) + " 2");
        return text + "0 end\n";
    };
    EXPECT_EQ(read_locator(rooms(50)), "");
    EXPECT_EQ(read_locator(rooms(51)), "qor3rdfloor.inp: more than 50 rooms; keeping the first 50\n");
    EXPECT_EQ(locator_searchable_count, 50);
    EXPECT_STREQ(find_room_at(98.5f, 1.0f), "149");
    EXPECT_EQ(find_room_at(100.5f, 1.0f), nullptr);  // where room 150 would be
}

TEST_F(Directory, DamagedLocatorFilesKeepTheRoomsReadBefore)
{
    const std::string head = "description\n" + record(4, "<R1>", six_points);
    const std::string kept = "; keeping the 1 rooms read\n";
    const std::pair<std::string, std::string> rows[] = {
        {head, "the file ends before the terminating 0" + kept},
        {head + "5 <R2> 1 1 2 2 3", "the file ends inside room 2" + kept},
        {head + "4", "the file ends inside room 2" + kept},
        {head + "4 <R2> 1 1 2 2 1.2.3 4 5 5 6 6 7 7", "room 2: \"1.2.3\" is not a number" + kept},
        {head + "four <R2>", "room 2: \"four\" is not a number" + kept},
        {head + "4 <R2> 1 1 2 2 inf 4 5 5 6 6 7 7", "room 2: \"inf\" is not a number" + kept},
        {head + "4 <R2> 1 1 2 2 1e39 4 5 5 6 6 7 7", "room 2: \"1e39\" is not a number" + kept},
        {head + "4 <R2> 0 \x1b[2J\xff 1 0 1 1 0 1 0 0 1 1", "room 2: \"?[2J?\" is not a number" + kept},
        {head + "4 <R2> 1" + std::string(30, '0') + " 0 1 0 1 1 0 1 0 0 1 1",
         "a token of 31 characters is longer than 19; cut to \"1000000000000000000\"\nqor3rdfloor.inp: room 2: "
         "\"1000000000000000000\" is not a number" + kept},
        {"descriptions only, never the word itself\n",
         "the file ends before \"description\" closes its header; no rooms read\n"},
        {"", "the file ends before \"description\" closes its header; no rooms read\n"},
    };
    for (const auto& [text, message] : rows) {
        EXPECT_EQ(read_locator(text), "qor3rdfloor.inp: " + message) << text;
        EXPECT_EQ(locator_searchable_count, message.find(kept) != std::string::npos ? 1 : 0);
        EXPECT_STREQ(locator_table[1].name, "");  // a partial room is not stored
    }
    // The token after the terminating 0 may be missing; decimal forms are read.
    EXPECT_EQ(read_locator(head + "4 <R2> -1.5 +2 .5 2. 3e0 4E-1 5 5 6 6 7 7\n0"), "");
    EXPECT_EQ(text(locator_searchable_count, box(locator_table[1])), "2 -1.5 0.4 7 7  ");
}

TEST_F(Directory, FirstLookupReadsTheLocatorOnceAndTheRecordIsReused)
{
    EXPECT_EXIT((stdout_to_stderr(), lookup_room(0, "", 1.0f, 1.0f)), testing::ExitedWithCode(255),
                "^\n Unable to open the file in the Read mode\\.\\. \\(qor3rdfloor\\.inp: No such file or directory\\)\n$");
    copy_test_data("directory/locator_rooms.inp", "qor3rdfloor.inp");
    copy_test_data("directory/rooms.xml", "Department.xml");
    RoomRecord* first = lookup_room(0, "", 2.0f, 1.0f);
    EXPECT_EQ(locator_searchable_count, 5);
    EXPECT_EQ(first, current_record);
    EXPECT_EQ(first->Room_Number, 301);
    fs::remove("qor3rdfloor.inp");  // later lookups use the table read at the first
    EXPECT_EQ(lookup_room(0, "", 2.0f, 1.0f), first);
    EXPECT_STREQ(first->Professor, "Ada Brenwick");
    RoomRecord* corridor = lookup_room(0, "", 100.0f, 100.0f);  // cleared, nothing of 301 left
    EXPECT_EQ(text(corridor->found, corridor->Room_Number, corridor->Professor, corridor->RoomX[0]), "0 0  0 ");
    EXPECT_EQ(lookup_room(0, "", 42.0f, 2.0f)->Room_Number, 305);
    EXPECT_EQ(lookup_room(1, "306", 100.0f, 100.0f)->Room_Number, 306);  // by text the position does not count
    EXPECT_EQ(lookup_call_count, 5);

    for (LocatorEntry& entry : locator_table)  // a first lookup by text reads the file as well
        entry = LocatorEntry{};
    locator_searchable_count = 0;
    lookup_call_count = 0;
    copy_test_data("directory/locator_rooms.inp", "qor3rdfloor.inp");
    EXPECT_EQ(lookup_room(1, "301", -50.0f, -50.0f)->Room_Number, 301);
    EXPECT_STREQ(find_room_at(45.0f, 0.0f), "305");
}
