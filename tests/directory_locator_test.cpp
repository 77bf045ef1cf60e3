// directory_locator_test.cpp -- the room locator file, the box search and
// lookup_room: shapes, names, header, bounds, damaged files, the first read.
#include <gtest/gtest.h>

#include <fcntl.h>   // Required for: open()
#include <unistd.h>  // Required for: dup2(), close()

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "directory/locator.h"

namespace fs = std::filesystem;

namespace {

const fs::path test_data = fs::path(VEVUV_TEST_DATA) / "directory";
const char* const locator_file = "qor3rdfloor.inp";

// In a death test child: stdout goes to the stream the test reads (stderr),
// so the match sees exactly what the program printed there.
void capture_stdout_only()
{
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDERR_FILENO);
    close(null_fd);
}

// One record line: shape, name token, then the points.
std::string record(int shape, const std::string& token, const std::string& points)
{
    return std::to_string(shape) + " " + token + " " + points + "\n";
}

const std::string six_points = "0 0 1 0 1 1 0 1 0 0 1 1";

// Each test runs in a fresh temporary working directory with a fresh
// directory state, as at the start of a run.
class DirectoryLocator : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_directory_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "vevuv_locator_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        fs::current_path(directory_);
        for (LocatorEntry& entry : locator_table)
            entry = LocatorEntry{};
        locator_searchable_count = 0;
        lookup_call_count = 0;
    }
    void TearDown() override
    {
        fs::current_path(previous_directory_);
        fs::remove_all(directory_);
    }
    // Copies a file into the working directory under a new name.
    void use_file(const fs::path& source, const char* as_name)
    {
        fs::copy_file(source, directory_ / as_name, fs::copy_options::overwrite_existing);
    }
    // Writes the locator file, reads it, and returns what was printed.
    std::string read_locator(const std::string& text)
    {
        std::ofstream(directory_ / locator_file, std::ios::binary) << text;
        testing::internal::CaptureStdout();
        read_room_locator();
        return testing::internal::GetCapturedStdout();
    }

    fs::path previous_directory_;
    fs::path directory_;
};

void expect_box(const LocatorEntry& entry, float min_x, float min_y, float max_x, float max_y)
{
    EXPECT_FLOAT_EQ(entry.min_x, min_x);
    EXPECT_FLOAT_EQ(entry.min_y, min_y);
    EXPECT_FLOAT_EQ(entry.max_x, max_x);
    EXPECT_FLOAT_EQ(entry.max_y, max_y);
}

TEST_F(DirectoryLocator, ReadsShapesNamesAndBoxes)
{
    use_file(test_data / "locator_rooms.inp", locator_file);
    testing::internal::CaptureStdout();
    read_room_locator();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // Every record before the terminating 0 is searchable, the last included;
    // the terminator itself is not stored.
    EXPECT_EQ(locator_searchable_count, 5);
    EXPECT_EQ(locator_table[5].shape, 0);
    EXPECT_STREQ(locator_table[0].name, "301");
    EXPECT_FLOAT_EQ(locator_table[0].point_x[6], 0.0f);  // six points only
    // Shape 5: ten points, and the box spans the last ones too.
    EXPECT_STREQ(locator_table[1].name, "302");
    expect_box(locator_table[1], 12, 1, 20, 8);
    EXPECT_FLOAT_EQ(locator_table[1].point_y[9], 6.0f);
    EXPECT_EQ(locator_table[3].shape, -1);
    EXPECT_STREQ(locator_table[3].name, "");  // two-character token
    expect_box(locator_table[4], 40, 0, 45, 5);
}

TEST_F(DirectoryLocator, FindsTheFirstBoxThatHoldsThePosition)
{
    use_file(test_data / "locator_rooms.inp", locator_file);
    read_room_locator();
    auto room_at = [](float x, float y) -> std::string {
        const char* name = find_room_at(x, y);
        return name != nullptr ? name : "(none)";
    };
    EXPECT_EQ(room_at(2, 1), "301");
    EXPECT_EQ(room_at(0, 0), "301");     // corner
    EXPECT_EQ(room_at(10, 5), "301");    // opposite corner
    EXPECT_EQ(room_at(3, 5), "301");     // edge
    EXPECT_EQ(room_at(std::nextafter(0.0f, -1.0f), 3), "(none)");
    EXPECT_EQ(room_at(3, std::nextafter(5.0f, 6.0f)), "(none)");
    EXPECT_EQ(room_at(7, 3), "301");     // in 301 and 303: the earlier record wins
    EXPECT_EQ(room_at(7, 6), "303");     // in 303 only
    EXPECT_EQ(room_at(12, 3), "302");    // on the shared edge of 302 and 303: 302 comes first
    EXPECT_EQ(room_at(19.5f, 7.5f), "302");  // reached only through the ten-point box
    EXPECT_EQ(room_at(30.5f, 30.5f), "");    // a box whose name is empty still matches
    EXPECT_EQ(room_at(45, 5), "305");        // the last record is searchable
    EXPECT_EQ(room_at(100, 100), "(none)");
    EXPECT_EQ(room_at(std::nanf(""), 1), "(none)");
}

TEST_F(DirectoryLocator, OtherShapesReadSixPointsOnly)
{
    // After six points of shape 3, "9 x" is the next record's shape and name.
    std::string notes = read_locator(
        "description\n" +
        record(3, "<A1>", "0 0 2 0 2 2 0 2 1 1 1 1") +
        "9 x 10 10 11 10 11 11 10 11 10 10 11 11\n" +
        record(-7, "<B2>", "20 20 21 20 21 21 20 21 20 20 21 21") +
        "0 x\n");
    EXPECT_EQ(notes, "");
    ASSERT_EQ(locator_searchable_count, 3);
    EXPECT_EQ(locator_table[0].shape, 3);
    expect_box(locator_table[0], 0, 0, 2, 2);
    EXPECT_EQ(locator_table[1].shape, 9);
    EXPECT_STREQ(locator_table[1].name, "");  // one-character token
    expect_box(locator_table[1], 10, 10, 11, 11);
    EXPECT_EQ(locator_table[2].shape, -7);
    EXPECT_STREQ(locator_table[2].name, "B2");
}

TEST_F(DirectoryLocator, HeaderEndsOnlyAtTheExactWord)
{
    std::string notes = read_locator(
        "Floor three\tdescriptions\n  Description description2\n"
        "xdescription descriptio\n\n   description " +
        record(4, "<R1>", six_points) + "0 x");
    EXPECT_EQ(notes, "");
    ASSERT_EQ(locator_searchable_count, 1);
    EXPECT_STREQ(locator_table[0].name, "R1");

    // The first record is taken as a room even when its shape is 0.
    notes = read_locator("description " + record(0, "<Z0>", six_points) + "0 end");
    EXPECT_EQ(notes, "");
    ASSERT_EQ(locator_searchable_count, 1);
    EXPECT_STREQ(locator_table[0].name, "Z0");

    notes = read_locator("descriptions only, never the word itself\n");
    EXPECT_EQ(notes, "qor3rdfloor.inp: the file ends before \"description\" closes its header; "
                     "no rooms read\n");
    EXPECT_EQ(locator_searchable_count, 0);
    EXPECT_EQ(find_room_at(0.5f, 0.5f), nullptr);
}

TEST_F(DirectoryLocator, NameTokensLoseTheirFirstAndLastCharacter)
{
    std::string notes = read_locator(
        "description\n" +
        record(4, "R301x", "0 0 1 0 1 1 0 1 0 0 1 1") +
        record(4, "ab", "2 0 3 0 3 1 2 1 2 0 3 1") +
        record(4, "a", "4 0 5 0 5 1 4 1 4 0 5 1") +
        record(4, "<12345678901>", "6 0 7 0 7 1 6 1 6 0 7 1") +
        record(4, "<1234567890123456>", "8 0 9 0 9 1 8 1 8 0 9 1") + "0 x\n");
    EXPECT_EQ(notes, "qor3rdfloor.inp: room name in \"<1234567890123456>\" is longer than 11 "
                     "characters; cut to fit\n");
    ASSERT_EQ(locator_searchable_count, 5);
    EXPECT_STREQ(locator_table[0].name, "301");
    EXPECT_STREQ(locator_table[1].name, "");
    EXPECT_STREQ(locator_table[2].name, "");
    EXPECT_STREQ(locator_table[3].name, "12345678901");
    EXPECT_STREQ(locator_table[4].name, "12345678901");
    EXPECT_STREQ(find_room_at(8.5f, 0.5f), "12345678901");
}

TEST_F(DirectoryLocator, OverlongTokensAreCutWithANote)
{
    const std::string long_word(10000, 'w');
    std::string notes = read_locator(
        "header " + long_word + " description\n" +
        record(4, long_word, six_points) +
        record(4, "<R2>", "5 5 6 5 6 6 5 6 5 5 6 6") + "0 x\n");
    const std::string cut(19, 'w');
    EXPECT_EQ(notes,
              "qor3rdfloor.inp: a token of 10000 characters is longer than 19; cut to \"" + cut + "\"\n"
              "qor3rdfloor.inp: a token of 10000 characters is longer than 19; cut to \"" + cut + "\"\n"
              "qor3rdfloor.inp: room name in \"" + cut + "\" is longer than 11 characters; cut to fit\n");
    ASSERT_EQ(locator_searchable_count, 2);
    EXPECT_STREQ(locator_table[0].name, "wwwwwwwwwww");
    EXPECT_STREQ(locator_table[1].name, "R2");  // reading goes on after the long token
    expect_box(locator_table[1], 5, 5, 6, 6);

    // A number cannot be cut to fit: reading stops at it.
    notes = read_locator("description\n" + record(4, "<R1>", six_points) +
                         record(4, "<R2>", "1" + std::string(30, '0') + " 0 1 0 1 1 0 1 0 0 1 1"));
    EXPECT_EQ(notes,
              "qor3rdfloor.inp: a token of 31 characters is longer than 19; cut to \"1000000000000000000\"\n"
              "qor3rdfloor.inp: room 2: \"1000000000000000000\" is not a number; keeping the 1 rooms read\n");
    EXPECT_EQ(locator_searchable_count, 1);
}

TEST_F(DirectoryLocator, KeepsFiftyRoomsAtMost)
{
    auto rooms = [](int count) {
        std::string text = "description\n";
        for (int i = 0; i < count; ++i) {
            std::ostringstream points;
            for (int k = 0; k < 6; ++k)
                points << i * 2 + (k % 2) << ' ' << (k / 2) << ' ';
            text += record(4, "<" + std::to_string(100 + i) + ">", points.str());
        }
        return text + "0 end\n";
    };
    EXPECT_EQ(read_locator(rooms(50)), "");
    EXPECT_EQ(locator_searchable_count, 50);
    EXPECT_STREQ(locator_table[49].name, "149");

    EXPECT_EQ(read_locator(rooms(51)),
              "qor3rdfloor.inp: more than 50 rooms; keeping the first 50\n");
    EXPECT_EQ(locator_searchable_count, 50);
    EXPECT_STREQ(locator_table[49].name, "149");
    EXPECT_STREQ(find_room_at(98.5f, 1.0f), "149");
    EXPECT_EQ(find_room_at(100.5f, 1.0f), nullptr);  // where room 150 would be
}

TEST_F(DirectoryLocator, DamagedFilesKeepTheRoomsReadBefore)
{
    const std::string head = "description\n" + record(4, "<R1>", six_points);

    EXPECT_EQ(read_locator(head), "qor3rdfloor.inp: the file ends before the terminating 0; "
                                  "keeping the 1 rooms read\n");
    EXPECT_EQ(locator_searchable_count, 1);

    EXPECT_EQ(read_locator(head + "5 <R2> 1 1 2 2 3"),
              "qor3rdfloor.inp: the file ends inside room 2; keeping the 1 rooms read\n");
    EXPECT_EQ(locator_searchable_count, 1);
    EXPECT_STREQ(locator_table[1].name, "");  // the partial room is not stored

    EXPECT_EQ(read_locator(head + "4"),
              "qor3rdfloor.inp: the file ends inside room 2; keeping the 1 rooms read\n");
    EXPECT_EQ(locator_searchable_count, 1);

    // Tokens that are not numbers; control and high bytes of a garbage file
    // never reach the console as they are.
    const std::pair<const char*, const char*> bad[] = {
        {"4 <R2> 1 1 2 2 1.2.3 4 5 5 6 6 7 7", "1.2.3"}, {"four <R2>", "four"},
        {"4 <R2> 1 1 2 2 inf 4 5 5 6 6 7 7", "inf"}, {"4 <R2> 1 1 2 2 1e39 4 5 5 6 6 7 7", "1e39"},
        {"4 <R2> 0 \x1b[2J\xff 1 0 1 1 0 1 0 0 1 1", "?[2J?"}};
    for (const auto& [text, token] : bad) {
        EXPECT_EQ(read_locator(head + text), std::string("qor3rdfloor.inp: room 2: \"") + token +
                                                 "\" is not a number; keeping the 1 rooms read\n");
        EXPECT_EQ(locator_searchable_count, 1);
    }

    // The token after the terminating 0 may be missing; decimal forms are read.
    EXPECT_EQ(read_locator(head + "4 <R2> -1.5 +2 .5 2. 3e0 4E-1 5 5 6 6 7 7\n0"), "");
    ASSERT_EQ(locator_searchable_count, 2);
    expect_box(locator_table[1], -1.5f, 0.4f, 7, 7);

    EXPECT_EQ(read_locator(""), "qor3rdfloor.inp: the file ends before \"description\" closes "
                                "its header; no rooms read\n");
    EXPECT_EQ(locator_searchable_count, 0);
}

TEST_F(DirectoryLocator, MissingFileEndsTheProgramAtTheFirstLookup)
{
    EXPECT_EXIT((capture_stdout_only(), lookup_room(0, "", 1.0f, 1.0f)),
                ::testing::ExitedWithCode(255),
                "^\n Unable to open the file in the Read mode\\.\\.$");
}

TEST_F(DirectoryLocator, FirstLookupReadsTheFileOnce)
{
    use_file(test_data / "locator_rooms.inp", locator_file);
    use_file(test_data / "rooms.xml", "Department.xml");
    use_file(test_data / "Department.dtd", "Department.dtd");

    RoomRecord* first = lookup_room(0, "", 2.0f, 1.0f);
    EXPECT_EQ(lookup_call_count, 1);
    EXPECT_EQ(locator_searchable_count, 5);
    EXPECT_EQ(first, current_record);
    EXPECT_EQ(first->found, 1);
    EXPECT_EQ(first->Room_Number, 301);

    // Later lookups use the table read at the first one.
    fs::remove(locator_file);
    RoomRecord* again = lookup_room(0, "", 2.0f, 1.0f);
    EXPECT_EQ(lookup_call_count, 2);
    EXPECT_EQ(again, first);  // one record serves every lookup
    EXPECT_EQ(again->Room_Number, 301);
    EXPECT_STREQ(again->Professor, "Ada Brenwick");

    // The corridor: the record comes back cleared, nothing of room 301 left.
    RoomRecord* corridor = lookup_room(0, "", 100.0f, 100.0f);
    EXPECT_EQ(corridor->found, 0);
    EXPECT_EQ(corridor->Room_Number, 0);
    EXPECT_STREQ(corridor->Professor, "");
    EXPECT_FLOAT_EQ(corridor->RoomX[0], 0.0f);

    RoomRecord* last = lookup_room(0, "", 42.0f, 2.0f);
    EXPECT_EQ(last->found, 1);
    EXPECT_EQ(last->Room_Number, 305);

    // By room text the position does not count.
    RoomRecord* by_name = lookup_room(1, "306", 100.0f, 100.0f);
    EXPECT_EQ(by_name->found, 1);
    EXPECT_EQ(by_name->Room_Number, 306);
    EXPECT_EQ(lookup_call_count, 5);

    // A first lookup by room text reads the file as well.
    for (LocatorEntry& entry : locator_table)
        entry = LocatorEntry{};
    locator_searchable_count = 0;
    lookup_call_count = 0;
    use_file(test_data / "locator_rooms.inp", locator_file);
    EXPECT_EQ(lookup_room(1, "301", -50.0f, -50.0f)->Room_Number, 301);
    EXPECT_STREQ(find_room_at(45.0f, 0.0f), "305");
}

} // namespace
