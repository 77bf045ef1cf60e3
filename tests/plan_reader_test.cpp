// plan_reader_test.cpp -- reading plan files: the example plan, wall order and
// duplicates, the file name choice, console lines, and bad input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <unistd.h>

#include "app/state.h"
#include "plan/floor_plan.h"
#include "plan_test_support.h"

using namespace plan_test;

namespace {

class PlanReader : public testing::Test {
protected:
    void SetUp() override { reset_plan_state(); }
    void TearDown() override { reset_plan_state(); }

    Console read() { return capture_console([] { read_plan(); }); }

    ScratchDir dir_;
};

void expect_segment(const WallSegment& s, float x1, float z1, float x2, float z2)
{
    EXPECT_FLOAT_EQ(s.x1, x1);
    EXPECT_FLOAT_EQ(s.z1, z1);
    EXPECT_FLOAT_EQ(s.x2, x2);
    EXPECT_FLOAT_EQ(s.z2, z2);
}

// A plan of the given walls, one lintel (4 0 4 1), no tables, start (1, 1).
std::string plan_with_walls(const std::string& count, const std::string& walls)
{
    return "0 0 10 5\n" + count + "\n" + walls + "1\n4 0 4 1\n0\n1 1 0 0\n";
}

// The console line of a read that was interrupted by messages.
std::string reading_line() { return "Reading plan from file \"plan.dat\".....\n"; }

const char* const keeping = "; keeping what was read before it\n";

} // namespace

TEST_F(PlanReader, ExampleFileIsConvertedToWorldUnits)
{
    copy_test_plan("example.dat", "plan.dat");
    floor_plan.visit_wall_start = 7;
    const Console console = read();

    EXPECT_EQ(console.out, "Reading plan from file \"plan.dat\".....done!\n");
    EXPECT_EQ(console.err, "");
    EXPECT_FLOAT_EQ(floor_plan.floor_x2, 30.0f);
    EXPECT_FLOAT_EQ(floor_plan.floor_z2, -15.0f);
    ASSERT_EQ(floor_plan.wall_count, 1);
    expect_segment(floor_plan.walls[0], 0.0f, 0.0f, 30.0f, 0.0f);
    ASSERT_EQ(floor_plan.lintel_count, 1);
    expect_segment(floor_plan.lintels[0], 12.0f, 0.0f, 12.0f, -3.0f);
    ASSERT_EQ(floor_plan.table_count, 1);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].x, 6.0f);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].z, -3.0f);
    EXPECT_EQ(floor_plan.tables[0].kind, 2);
    // The blocking table's four segments follow the one plan wall.
    ASSERT_EQ(floor_plan.table_wall_count, 4);
    expect_segment(floor_plan.walls[1], 6.0f, -3.0f, 7.1f, -3.0f);
    EXPECT_FLOAT_EQ(floor_plan.start_x, 3.0f);
    EXPECT_FLOAT_EQ(floor_plan.start_z, -3.0f);
    EXPECT_EQ(floor_plan.visit_wall_start, -1);
}

TEST_F(PlanReader, WallsAreSortedAndExactDuplicatesDropped)
{
    // Six walls: (0 0 0 5) three times, (1 0 1 5) twice, (0 5 0 0) once.
    copy_test_plan("duplicates.dat", "plan.dat");
    read();
    ASSERT_EQ(floor_plan.wall_count, 3);
    expect_segment(floor_plan.walls[0], 0.0f, -15.0f, 0.0f, 0.0f);  // weight -150
    expect_segment(floor_plan.walls[1], 0.0f, 0.0f, 0.0f, -15.0f);  // weight -15
    expect_segment(floor_plan.walls[2], 3.0f, 0.0f, 3.0f, -15.0f);  // weight 3285

    // Unsorted input ends in ascending weight; no walls is no walls.
    write_file("plan.dat", plan_with_walls("6", "9 1 9 2\n0 0 0 5\n1 0 1 5\n2 3 2 1\n"
                                                "0.5 7 4 7\n0 0 0 5\n"));
    read();
    ASSERT_EQ(floor_plan.wall_count, 5);
    for (int i = 1; i < floor_plan.wall_count; ++i)
        EXPECT_EQ(compare_segments(floor_plan.walls[i - 1], floor_plan.walls[i]), -1) << i;
    expect_segment(floor_plan.walls[4], 27.0f, -3.0f, 27.0f, -6.0f);
    write_file("plan.dat", plan_with_walls("0", ""));
    read();
    EXPECT_EQ(floor_plan.wall_count, 0);
    EXPECT_EQ(floor_plan.lintel_count, 1);
}

TEST(CompareSegments, WeighsEachCoordinate)
{
    // x1 outweighs a large z2 difference; z2 alone still decides.
    EXPECT_EQ(compare_segments(WallSegment{1, 0, 0, -900}, WallSegment{0, 0, 0, 0}), 1);
    EXPECT_EQ(compare_segments(WallSegment{1, 0, 1, 2}, WallSegment{1, 0, 1, 3}), -1);
    // Different walls of equal weight compare as 0.
    EXPECT_EQ(compare_segments(WallSegment{0, 1, 0, 0}, WallSegment{0, 0, 0, 10}), 0);
}

TEST_F(PlanReader, FileNameFollowsThePlanChoice)
{
    copy_test_plan("example.dat", "plan2.dat");
    copy_test_plan("duplicates.dat", "plan3.dat");
    viewer_state.plan_choice = 2;
    EXPECT_EQ(read().out, "Reading plan from file \"plan2.dat\".....done!\n");
    EXPECT_EQ(floor_plan.wall_count, 1);
    viewer_state.plan_choice = 3;
    EXPECT_EQ(read().out, "Reading plan from file \"plan3.dat\".....done!\n");
    EXPECT_EQ(floor_plan.wall_count, 3);
    // A choice that names no row opens nothing and changes nothing.
    viewer_state.plan_choice = 7;
    const Console console = read();
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, "Couldn't open file \"\"!!!\n");
    EXPECT_EQ(floor_plan.wall_count, 3);
}

TEST_F(PlanReader, MissingFileLeavesThePlanAsItWas)
{
    // At start-up: the empty plan stays.
    Console console = read();
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, "Couldn't open file \"plan.dat\"!!!\n");
    EXPECT_EQ(floor_plan.wall_count, 0);
    EXPECT_EQ(floor_plan.start_x, 0.0f);

    // Later: the previous plan stays, byte for byte.
    copy_test_plan("example.dat", "plan.dat");
    read();
    const FloorPlan before = floor_plan;
    std::remove("plan.dat");
    console = read();
    EXPECT_EQ(console.err, "Couldn't open file \"plan.dat\"!!!\n");
    EXPECT_EQ(std::memcmp(&before, &floor_plan, sizeof before), 0);
}

TEST_F(PlanReader, MissingCommandLineFileEndsTheProgram)
{
    viewer_state.plan_from_command_line = 1;
    viewer_state.plan_file_name = "nowhere.dat";
    // The message goes to standard output; the child sends that to the
    // standard error stream, where the death test can match it.
    EXPECT_EXIT(
        {
            dup2(2, 1);
            read_plan();
        },
        testing::ExitedWithCode(255),
        "^Cannot read maze from file \"nowhere\\.dat\"\\.\\.\\.\\.exiting!\n$");
}

TEST_F(PlanReader, CommandLineNameIsUsedWholeAndOnce)
{
    const std::string long_name =
        (dir_.path() / "a_floor_plan_named_on_the_command_line.dat").string();
    ASSERT_GT(long_name.size(), 29u);
    copy_test_plan("duplicates.dat", long_name);
    copy_test_plan("example.dat", "plan.dat");
    viewer_state.plan_from_command_line = 1;
    viewer_state.plan_file_name = long_name;

    Console console = read();
    EXPECT_EQ(console.out, "Reading plan from file \"" + long_name + "\".....done!\n");
    EXPECT_EQ(viewer_state.plan_from_command_line, 0);
    EXPECT_EQ(floor_plan.wall_count, 3);

    // The next read takes the built-in name of the plan choice.
    console = read();
    EXPECT_EQ(console.out, "Reading plan from file \"plan.dat\".....done!\n");
    EXPECT_EQ(floor_plan.wall_count, 1);
}

TEST_F(PlanReader, CountsBeyondCapacityKeepTheFirstRecords)
{
    std::string walls;
    for (int i = 0; i < 400; ++i)
        walls += std::to_string(i) + " 0 " + std::to_string(i) + " 1\n";
    write_file("plan.dat", plan_with_walls("400", walls));
    Console console = read();
    EXPECT_EQ(console.out, reading_line()
                               + "plan.dat: wall count 400 exceeds capacity 300; keeping the first 300\n"
                                 "done!\n");
    ASSERT_EQ(floor_plan.wall_count, 300);
    expect_segment(floor_plan.walls[299], 897.0f, 0.0f, 897.0f, -3.0f);
    // The dropped walls were still read: the lintel after them is right.
    ASSERT_EQ(floor_plan.lintel_count, 1);
    expect_segment(floor_plan.lintels[0], 12.0f, 0.0f, 12.0f, -3.0f);
    EXPECT_FLOAT_EQ(floor_plan.start_x, 3.0f);

    std::string lintels;
    std::string tables;
    for (int i = 0; i < 301; ++i) {
        lintels += std::to_string(i) + " 0 " + std::to_string(i) + " 1\n";
        tables += std::to_string(i) + " 1 0\n";
    }
    write_file("plan.dat", "0 0 10 5\n0\n301\n" + lintels + "301\n" + tables + "2 2 0 0\n");
    console = read();
    EXPECT_EQ(console.out, reading_line()
                               + "plan.dat: lintel count 301 exceeds capacity 300; keeping the first 300\n"
                                 "plan.dat: table count 301 exceeds capacity 300; keeping the first 300\n"
                                 "done!\n");
    EXPECT_EQ(floor_plan.lintel_count, 300);
    EXPECT_EQ(floor_plan.table_count, 300);
    EXPECT_FLOAT_EQ(floor_plan.tables[299].x, 897.0f);
    EXPECT_FLOAT_EQ(floor_plan.start_x, 6.0f);
}

TEST_F(PlanReader, NegativeCountsReadNothing)
{
    write_file("plan.dat", "0 0 10 5\n-5\n1\n4 0 4 1\n-1\n1 1 0 0\n");
    const Console console = read();
    EXPECT_EQ(console.out, reading_line()
                               + "plan.dat: wall count -5 is negative; reading no walls\n"
                                 "plan.dat: table count -1 is negative; reading no tables\n"
                                 "done!\n");
    EXPECT_EQ(floor_plan.wall_count, 0);
    EXPECT_EQ(floor_plan.lintel_count, 1);
    EXPECT_EQ(floor_plan.table_count, 0);
    EXPECT_FLOAT_EQ(floor_plan.start_z, -3.0f);
}

TEST_F(PlanReader, TableSegmentsBeyondCapacityAreDropped)
{
    std::string walls;
    for (int i = 0; i < 296; ++i)
        walls += "0 " + std::to_string(i) + " 0 " + std::to_string(i + 1) + "\n";
    floor_plan.walls[299] = WallSegment{-9.0f, -9.0f, -9.0f, -9.0f};
    write_file("plan.dat", "0 0 10 5\n296\n" + walls + "0\n3\n2 1 2\n4 1 0\n6 1 2\n1 1 0 0\n");
    const Console console = read();
    EXPECT_EQ(console.out,
              reading_line()
                  + "plan.dat: no room for the 4 blocking segments of table 3 of 3 (walls plus "
                    "table segments are limited to 300); the table is drawn but does not block\n"
                    "done!\n");
    EXPECT_EQ(floor_plan.wall_count, 296);
    EXPECT_EQ(floor_plan.table_wall_count, 4);
    EXPECT_EQ(floor_plan.table_count, 3);
    expect_segment(floor_plan.walls[299], 6.0f, -3.0f, 6.0f, -2.0f);
}

TEST_F(PlanReader, FileEndingEarlyKeepsWhatWasRead)
{
    // A complete plan first, so that nothing of it may survive the next read.
    copy_test_plan("example.dat", "plan.dat");
    read();
    write_file("plan.dat", "0 0 10 5\n3\n7 0 7 1\n0 0 10 0\n5 0");
    Console console = read();
    EXPECT_EQ(console.out, reading_line() + "plan.dat: file ends early while reading wall 3 of 3"
                               + keeping);
    EXPECT_EQ(console.err, "");
    EXPECT_FLOAT_EQ(floor_plan.floor_x2, 30.0f);
    ASSERT_EQ(floor_plan.wall_count, 2);
    expect_segment(floor_plan.walls[0], 0.0f, 0.0f, 30.0f, 0.0f);
    expect_segment(floor_plan.walls[1], 21.0f, 0.0f, 21.0f, -3.0f);
    EXPECT_EQ(floor_plan.lintel_count, 0);
    EXPECT_EQ(floor_plan.table_count, 0);
    EXPECT_EQ(floor_plan.table_wall_count, 0);
    EXPECT_EQ(floor_plan.start_x, 0.0f);
    EXPECT_EQ(floor_plan.start_z, 0.0f);

    // Ending between the start point and the point after it keeps the start.
    write_file("plan.dat", "0 0 10 5\n0\n0\n0\n1 1\n");
    console = read();
    EXPECT_EQ(console.out, reading_line()
                               + "plan.dat: file ends early while reading the point after the start point"
                               + keeping);
    EXPECT_FLOAT_EQ(floor_plan.start_x, 3.0f);
}

TEST_F(PlanReader, BadTokensStopTheReadWithAMessage)
{
    struct Case {
        std::string text, message;
    };
    const Case cases[] = {
        {"", "file ends early while reading the floor rectangle"},
        {std::string(70, '1') + " 0 10 5\n",  // cut in the message only
         "\"" + std::string(63, '1') + "...\" is too long to be a number while reading the floor rectangle"},
        {"0 0 10 5\n1\n0 0 ten 0\n", "\"ten\" is not a number while reading wall 1 of 1"},
        {"0 0 10 5\n2.5\n", "\"2.5\" is not a whole number while reading the wall count"},
        {"0 0 10 5\n0\n1x\n", "\"1x\" is not a whole number while reading the lintel count"},
        {"0 0 10 5\n0\n0\n1\n2 1 2.0\n",
         "\"2.0\" is not a whole number while reading table 1 of 1"},
        {"0 0 10 5\n99999999999\n",
         "\"99999999999\" is out of range while reading the wall count"},
        {"0 0 1e50 5\n", "\"1e50\" is out of range while reading the floor rectangle"},
        {"0 0 -1e50 5\n", "\"-1e50\" is out of range while reading the floor rectangle"},
        // Fits a float, but not once it is scaled to world units.
        {"0 0 2e38 5\n", "\"2e38\" is out of range while reading the floor rectangle"},
        {"nan 0 10 5\n", "\"nan\" is not a number while reading the floor rectangle"},
        {"0 inf 10 5\n", "\"inf\" is not a number while reading the floor rectangle"},
        {"0 0 10 5\n0\n0\n0\n1 1 0x10 0\n",
         "\"0x10\" is not a number while reading the point after the start point"},
        {"\x01\xff\x80 0 10 5\n", "\"???\" is not a number while reading the floor rectangle"},
    };
    for (const Case& c : cases) {
        write_file("plan.dat", c.text);
        const Console console = read();
        EXPECT_EQ(console.out, reading_line() + "plan.dat: " + c.message + keeping) << c.text;
        EXPECT_EQ(console.err, "");
    }
    // The unread fields hold no garbage: the last case read nothing at all.
    EXPECT_EQ(floor_plan.floor_x1, 0.0f);
    EXPECT_EQ(floor_plan.wall_count, 0);
}

TEST_F(PlanReader, UnreadableFileIsReported)
{
    // A directory opens as a stream but cannot be read.
    std::filesystem::create_directory("plan.dat");
    const Console console = read();
    EXPECT_EQ(console.out,
              reading_line() + "plan.dat: read error while reading the floor rectangle" + keeping);
    EXPECT_EQ(floor_plan.wall_count, 0);
}
