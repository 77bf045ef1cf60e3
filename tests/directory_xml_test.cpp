// directory_xml_test.cpp -- the XML layer on libxml2 and the filling of
// RoomRecord from Department.xml: matches, fields, conversions, rejections.
#include <gtest/gtest.h>

#include <fcntl.h>   // Required for: open()
#include <unistd.h>  // Required for: dup2(), close()

#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <libxml/parser.h>    // Required for: xmlGetExternalEntityLoader()
#include <libxml/xmlerror.h>  // Required for: the error codes checked below

#include "directory/room_record.h"
#include "directory/xml_dom.h"

namespace fs = std::filesystem;

namespace {

const fs::path test_data = fs::path(VEVUV_TEST_DATA) / "directory";
constexpr unsigned parse_flags = dom::parse_validate | dom::parse_discard_blanks;

// In a death test child: stdout goes to the stream the test reads (stderr),
// and the layer's own stderr note is dropped, so the match is exact.
void capture_stdout_only()
{
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDERR_FILENO);
    close(null_fd);
}

// Each test runs in a fresh temporary working directory holding the test DTD,
// since the file names the directory uses are relative.
class DirectoryXml : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_directory_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "vevuv_xml_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        fs::current_path(directory_);
        use_file("Department.dtd", "Department.dtd");
    }
    void TearDown() override
    {
        fs::current_path(previous_directory_);
        fs::remove_all(directory_);
    }
    // Copies a test data file into the working directory under a new name.
    void use_file(const char* data_name, const char* as_name)
    {
        fs::copy_file(test_data / data_name, directory_ / as_name,
                      fs::copy_options::overwrite_existing);
    }
    // Writes a file into the working directory.
    void write_file(const std::string& name, const std::string& text)
    {
        std::ofstream(directory_ / name, std::ios::binary) << text;
    }
    // Parses a file of the working directory with the flags of the lookups.
    unsigned parse_code(const char* name, unsigned flags = parse_flags)
    {
        unsigned error = 0;
        dom::XmlContext* context = dom::xmlinit(&error);
        EXPECT_NE(context, nullptr);
        unsigned code = dom::xmlparse(context, name, nullptr, flags);
        if (code != 0) {
            EXPECT_EQ(dom::getDocumentElement(context), nullptr);
        }
        dom::xmlterm(context);
        return code;
    }
    // A cleared record, filled for room_text from Department.xml.
    RoomRecord load(const char* room_text)
    {
        RoomRecord record = {};
        current_record = &record;
        EXPECT_EQ(load_room_record(room_text), &record);
        current_record = nullptr;
        return record;
    }

    fs::path previous_directory_;
    fs::path directory_;
};

dom::XmlNode* child(dom::XmlNode* node, unsigned index)
{
    return dom::getChildNode(dom::getChildNodes(node), index);
}

unsigned child_count(dom::XmlNode* node)
{
    return dom::numChildNodes(dom::getChildNodes(node));
}

std::string value_of(dom::XmlNode* node)
{
    const char* value = dom::getNodeValue(node);
    return value != nullptr ? value : "(null)";
}

TEST_F(DirectoryXml, LayerDeliversNamesValuesChildrenAndAttributes)
{
    use_file("layer.xml", "layer.xml");
    unsigned error = 1;
    dom::XmlContext* context = dom::xmlinit(&error);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(error, 0u);
    ASSERT_EQ(dom::xmlparse(context, "layer.xml", nullptr, parse_flags), 0u);

    dom::XmlNode* root = dom::getDocumentElement(context);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(dom::getNodeName(root), "Department");
    EXPECT_EQ(dom::getNodeValue(root), nullptr);
    EXPECT_EQ(dom::getParentNode(root), nullptr);
    ASSERT_EQ(child_count(root), 1u);  // the blank text around Room is dropped

    dom::XmlNode* room = child(root, 0);
    EXPECT_EQ(dom::getParentNode(room), root);
    ASSERT_EQ(child_count(room), 4u);
    EXPECT_EQ(child(room, 4), nullptr);  // past the last child
    dom::XmlNode* number_text = child(child(room, 0), 0);
    EXPECT_STREQ(dom::getNodeName(number_text), "#text");
    EXPECT_EQ(value_of(number_text), "401");
    EXPECT_EQ(dom::getParentNode(number_text), child(room, 0));

    // Text, CDATA and comment children, each with its own name and value.
    dom::XmlNode* research = child(room, 1);
    ASSERT_EQ(child_count(research), 3u);
    const char* const kinds[3][2] = {{"#text", "Text"}, {"#cdata-section", "<raw>"}, {"#comment", "aside"}};
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_STREQ(dom::getNodeName(child(research, i)), kinds[i][0]);
        EXPECT_EQ(value_of(child(research, i)), kinds[i][1]);
    }
    EXPECT_EQ(dom::hasChildNodes(child(room, 2)), 0);  // whitespace only

    dom::XmlNode* lab = child(room, 3);
    EXPECT_EQ(dom::numAttributes(dom::getAttributes(lab)), 1u);
    EXPECT_STREQ(dom::getAttrName(lab), "floor");
    EXPECT_EQ(dom::hasAttributes(room), 0);
    EXPECT_STREQ(dom::getAttrName(room), "");

    // Without the blank flag the whitespace-only text is delivered.
    ASSERT_EQ(dom::xmlparse(context, "layer.xml", nullptr, dom::parse_validate), 0u);
    root = dom::getDocumentElement(context);
    EXPECT_EQ(child_count(root), 3u);
    dom::XmlNode* professor = child(child(root, 1), 5);
    ASSERT_NE(professor, nullptr);
    EXPECT_STREQ(dom::getNodeName(professor), "Professor");
    EXPECT_EQ(value_of(child(professor, 0)), "   ");
    dom::xmlterm(context);
}

TEST_F(DirectoryXml, RoomNumberTextFillsEveryField)
{
    use_file("rooms.xml", "Department.xml");
    RoomRecord r = load("301");
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(r.Room_Number, 301);
    // The professor outside every Room comes later in the file but is not stored.
    EXPECT_STREQ(r.Professor, "Ada Brenwick");
    EXPECT_STREQ(r.Introduction_Text, "  Optics lab, mind the step  ");
    EXPECT_STREQ(r.Publications, "publications/room301.html");
    EXPECT_EQ(r.NumberWalls, 6);
    EXPECT_FLOAT_EQ(r.RoomX[9], 7.75f);
    EXPECT_FLOAT_EQ(r.RoomY[9], -3.5f);
    EXPECT_FLOAT_EQ(r.RoomX[2], 0.0f);  // absent corner keeps its cleared value
    EXPECT_FLOAT_EQ(r.CenterY, 4.0f);
    EXPECT_FLOAT_EQ(r.TableX, 0.0f);   // nested one and two levels down
    EXPECT_FLOAT_EQ(r.LightY, 4.5f);
}

TEST_F(DirectoryXml, EveryMatchingRoomIsStoredInDocumentOrder)
{
    use_file("rooms.xml", "Department.xml");
    // "302" is room 302's number and, later, the introduction of the room
    // numbered " 303 ": both are stored, the later one overwriting.
    RoomRecord r = load("302");
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(r.Room_Number, 303);
    EXPECT_STREQ(r.Professor, "Second Holder");
    EXPECT_STREQ(r.Introduction_Text, "302");
    EXPECT_STREQ(r.Research, "Early only");
    EXPECT_FLOAT_EQ(r.RoomX[2], 4.5f);  // RoomX3 into element 2
    EXPECT_FLOAT_EQ(r.RoomX[0], 0.0f);  // RoomX1 absent
    EXPECT_FLOAT_EQ(r.TableX, -1.0f);
    EXPECT_FLOAT_EQ(r.TableY, -1.0f);
    for (int k = 0; k < room_corner_count; ++k)
        EXPECT_NE(r.RoomX[k], 99.0f) << "RoomX11 must be ignored, element " << k;

    // A number with spaces around it in the file does not match.
    EXPECT_EQ(load("303").found, 0);
    EXPECT_EQ(load("999").found, 0);
}

TEST_F(DirectoryXml, MatchByElementNameOutsideEveryRoomAndWithAttributes)
{
    use_file("rooms.xml", "Department.xml");
    RoomRecord annex = load("Annex");
    EXPECT_EQ(annex.found, 1);
    EXPECT_EQ(annex.Room_Number, 306);
    EXPECT_STREQ(annex.Research, "Annexed stores");

    // Matching texts with no Room above them store nothing.
    RoomRecord outside = load("Outside Every Room");
    EXPECT_EQ(outside.found, 0);
    EXPECT_STREQ(outside.Professor, "");
    EXPECT_EQ(load("Corridor notes").found, 0);

    // The document element has no parent: the note, then nothing stored.
    testing::internal::CaptureStdout();
    RoomRecord top = load("Department");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n TITLE NULL");
    EXPECT_EQ(top.found, 0);

    // A matching node with attributes prints the diagnostic only.
    testing::internal::CaptureStdout();
    RoomRecord lab = load("Lab");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n I HAVE ATTRIBUTES "
              "\n The NODE has no values associated with it ..."
              "\n Number of Attributes : 2"
              "floor\n");
    EXPECT_EQ(lab.found, 0);
}

TEST_F(DirectoryXml, NumbersConvertLikeDecimalText)
{
    use_file("rooms.xml", "Department.xml");
    testing::internal::CaptureStdout();
    RoomRecord r = load("304");
    std::string notes = testing::internal::GetCapturedStdout();
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(r.NumberWalls, -17);            // "  -17 apples"
    EXPECT_FLOAT_EQ(r.CenterX, 25.0f);        // "2.5e1"
    EXPECT_FLOAT_EQ(r.CenterY, -0.05f);       // "-.5e-1"
    EXPECT_FLOAT_EQ(r.TableX, 0.0f);          // "0x10": decimal "0" only
    EXPECT_FLOAT_EQ(r.TableY, 0.0f);          // "inf": nothing readable
    EXPECT_FLOAT_EQ(r.LightX, 0.0f);          // "7" then "abc": the last element stays
    EXPECT_FLOAT_EQ(r.LightY, FLT_MAX);       // "1e60" held at the float limit
    EXPECT_FLOAT_EQ(r.RoomX[0], 12.0f);       // "12abc"
    EXPECT_FLOAT_EQ(r.RoomY[0], 1.0f);        // "1e": the exponent needs digits
    EXPECT_STREQ(r.Texture, "");              // empty element
    EXPECT_EQ(r.Room_Number, INT32_MAX);      // "99999999999" held at the limit
    EXPECT_EQ(notes,
              "Department.xml: LightY value beyond the float range; held at the limit (noted once)\n"
              "Department.xml: Room_Number value out of the 32-bit range; held at the limit (noted once)\n");
}

TEST_F(DirectoryXml, FieldTextIsEveryPieceInDocumentOrderButNoComment)
{
    use_file("rooms.xml", "Department.xml");
    EXPECT_STREQ(load("304").Research, "Fog & <haze>");  // text then CDATA
    const RoomRecord r = load("308");
    EXPECT_STREQ(r.Professor, "Prof. Oswin");          // a comment is no part of it
    EXPECT_STREQ(r.Introduction_Text, "The Department of Applied Fog <lab> & store");
    EXPECT_STREQ(r.Research, "");                      // a comment alone is no value
    EXPECT_EQ(r.NumberWalls, 12);                      // "1", a comment, "2"
    EXPECT_EQ(load("on leave").found, 0);
}

TEST_F(DirectoryXml, OverlongTextsAreCutAtTheirFieldWidth)
{
    use_file("rooms.xml", "Department.xml");
    // Guard bytes around the record show that nothing is written past it.
    struct Guarded {
        char before[16];
        RoomRecord record;
        char after[16];
    } guarded;
    std::memset(&guarded, 0x5A, sizeof guarded);
    guarded.record = RoomRecord{};
    current_record = &guarded.record;
    testing::internal::CaptureStdout();
    load_room_record("305");
    std::string notes = testing::internal::GetCapturedStdout();
    current_record = nullptr;
    const RoomRecord& r = guarded.record;

    EXPECT_EQ(r.found, 1);
    EXPECT_STREQ(r.Professor, "Bartholomew Quennev");            // 19 bytes
    EXPECT_EQ(std::string(r.Introduction_Text),
              std::string("A very long introduction that runs on and on, well past the width of "
                          "its field, until the status strip could never hold it at all.")
                  .substr(0, 99));
    EXPECT_STREQ(r.Texture, "abcdefghijklmnopqr");  // a two-byte letter is not split
    EXPECT_STREQ(r.NormalTable, "twelve-char");     // 11 bytes
    EXPECT_STREQ(r.Image, "exactly-19-bytes-ok");   // fits exactly
    for (char c : guarded.before)
        ASSERT_EQ(c, 0x5A);
    for (char c : guarded.after)
        ASSERT_EQ(c, 0x5A);
    EXPECT_EQ(notes,
              "Department.xml: Professor text longer than 19 bytes; cut to fit (noted once)\n"
              "Department.xml: Introduction_Text text longer than 99 bytes; cut to fit (noted once)\n"
              "Department.xml: Texture text longer than 19 bytes; cut to fit (noted once)\n"
              "Department.xml: NormalTable text longer than 11 bytes; cut to fit (noted once)\n");

    // Every move inside the room parses again: the notes are not repeated.
    testing::internal::CaptureStdout();
    RoomRecord again = load("305");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_STREQ(again.Professor, "Bartholomew Quennev");
}

TEST_F(DirectoryXml, DocumentsThatAreNotValidAreRejectedWithTheirCode)
{
    use_file("breaks_dtd.xml", "breaks_dtd.xml");
    use_file("missing_attribute.xml", "missing_attribute.xml");
    use_file("not_well_formed.xml", "not_well_formed.xml");
    use_file("no_dtd.xml", "no_dtd.xml");
    use_file("dtd_file_missing.xml", "dtd_file_missing.xml");
    use_file("rooms.xml", "rooms.xml");
    EXPECT_EQ(parse_code("rooms.xml"), 0u);
    EXPECT_EQ(parse_code("breaks_dtd.xml"), static_cast<unsigned>(XML_DTD_UNKNOWN_ELEM));
    EXPECT_EQ(parse_code("missing_attribute.xml"), static_cast<unsigned>(XML_DTD_MISSING_ATTRIBUTE));
    EXPECT_EQ(parse_code("not_well_formed.xml"), static_cast<unsigned>(XML_ERR_TAG_NAME_MISMATCH));
    EXPECT_EQ(parse_code("no_dtd.xml"), static_cast<unsigned>(XML_DTD_NO_DTD));
    EXPECT_EQ(parse_code("dtd_file_missing.xml"), static_cast<unsigned>(XML_IO_LOAD_ERROR));
    EXPECT_EQ(parse_code("absent.xml"), static_cast<unsigned>(XML_IO_LOAD_ERROR));
    // Without validation a document needs no DTD.
    EXPECT_EQ(parse_code("no_dtd.xml", dom::parse_discard_blanks), 0u);
}

TEST_F(DirectoryXml, EntitiesOutsideTheWorkingDirectoryAreRefused)
{
    fs::create_directories(directory_ / "inner");
    write_file("inner/secret.txt", "SECRET");
    write_file("note.txt", "NOTE");
    const std::string absolute = (directory_ / "note.txt").string();
    const std::string refused[] = {"/etc/passwd", "file:///etc/passwd", "../" + directory_.filename().string() + "/note.txt",
                                   "%2e%2e/etc/passwd", absolute};
    auto document_with = [](const std::string& system_id) -> std::string {
        return "<?xml version=\"1.0\"?>\n"
               "<!DOCTYPE Department SYSTEM \"Department.dtd\" [\n"
               "<!ENTITY outside SYSTEM \"" + system_id + "\">\n]>\n"
               "<Department><Room><Room_Number>1&outside;2</Room_Number></Room></Department>\n";
    };
    xmlExternalEntityLoader loader_before = xmlGetExternalEntityLoader();
    for (const std::string& system_id : refused) {
        write_file("entity.xml", document_with(system_id));
        EXPECT_EQ(parse_code("entity.xml"), static_cast<unsigned>(XML_IO_LOAD_ERROR)) << system_id;
    }
    EXPECT_EQ(xmlGetExternalEntityLoader(), loader_before);

    // A DTD named by an absolute path is refused like any entity.
    write_file("absolute_dtd.xml", "<!DOCTYPE Department SYSTEM \"" + (directory_ / "Department.dtd").string() +
                                       "\"><Department/>\n");
    EXPECT_EQ(parse_code("absolute_dtd.xml"), static_cast<unsigned>(XML_IO_LOAD_ERROR));

    // A DTD in a plain folder below the working directory loads.
    fs::create_directories(directory_ / "dtd");
    fs::copy_file(directory_ / "Department.dtd", directory_ / "dtd" / "Department.dtd");
    write_file("folder_dtd.xml", "<!DOCTYPE Department SYSTEM \"dtd/Department.dtd\"><Department/>\n");
    EXPECT_EQ(parse_code("folder_dtd.xml"), 0u);

    // A plain local path loads, but external entity text never reaches a record.
    for (const char* local : {"note.txt", "inner/secret.txt"}) {
        write_file("Department.xml", document_with(local));
        RoomRecord r = load("1");
        EXPECT_EQ(r.found, 1);
        EXPECT_EQ(r.Room_Number, 12);  // "1" and "2" joined, the entity between them adds nothing
        EXPECT_EQ(load("NOTE").found + load("SECRET").found, 0);
    }
}

TEST_F(DirectoryXml, NestedEntitiesStayBounded)
{
    use_file("laughs.xml", "laughs.xml");
    EXPECT_EQ(parse_code("laughs.xml"), static_cast<unsigned>(XML_ERR_ENTITY_LOOP));

    // Many references to one large entity parse, and a walk never sees them.
    std::string big(10000, 'x');
    std::string references;
    for (int i = 0; i < 10000; ++i)
        references += "&big;";
    write_file("Department.xml",
               "<?xml version=\"1.0\"?>\n<!DOCTYPE Department SYSTEM \"Department.dtd\" [\n"
               "<!ENTITY big \"" + big + "\">\n]>\n<Department><Room><Room_Number>" + references +
                   "</Room_Number><Research>7</Research></Room></Department>\n");
    RoomRecord r = load("7");
    EXPECT_EQ(r.found, 1);
    EXPECT_EQ(r.Room_Number, 0);  // "xxx...": the text taken is bounded, and no number
}

TEST_F(DirectoryXml, MissingDepartmentFileEndsTheProgram)
{
    unsigned code = parse_code("Department.xml");
    ASSERT_NE(code, 0u);
    const std::string expected = "^Parse failed, error " + std::to_string(code) + "\n$";
    RoomRecord record = {};
    current_record = &record;
    EXPECT_EXIT((capture_stdout_only(), load_room_record("301")), ::testing::ExitedWithCode(1),
                expected);
}

} // namespace
