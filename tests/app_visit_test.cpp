// app_visit_test.cpp -- the room visit: desk placement and turning, the
// desk's blocking segments, and the one browser start per run with the page
// handed over as one shell word.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/state.h"
#include "app/viewer.h"
#include "plan/floor_plan.h"

namespace fs = std::filesystem;

namespace {

// Plan walls and one plan desk's block in the wall table of every test.
constexpr int plan_walls = 10;
constexpr int plan_table_segments = 4;

// A room record with the given table position and six corners.
RoomRecord room(int number, float table_x, float table_y, const char* page)
{
    RoomRecord r{};
    r.found = 1;
    r.Room_Number = number;
    std::snprintf(r.Publications, sizeof r.Publications, "%s", page);
    const float xs[6] = {0, 2, 2, 0, 0, 2};
    const float ys[6] = {0, 0, 3, 3, 0, 3};
    for (int i = 0; i < 6; ++i) {
        r.RoomX[i] = xs[i];
        r.RoomY[i] = ys[i];
    }
    r.TableX = table_x;
    r.TableY = table_y;
    return r;
}

// Puts a recording xdg-open first on PATH; each call leaves one file that
// lists its argument count and then each argument on its own line.
class VisitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vevuv_app_visit_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directory(dir / "bin");
        fs::create_directory(dir / "calls");
        const fs::path script = dir / "bin" / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\n"
                                 "out=\"" << (dir / "calls").string() << "/call.$$\"\n"
                                 "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.tmp\"\n"
                                 "mv \"$out.tmp\" \"$out\"\n";
        fs::permissions(script, fs::perms::owner_all);
        saved_path = std::getenv("PATH");
        setenv("PATH", ((dir / "bin").string() + ":" + saved_path).c_str(), 1);

        floor_plan = FloorPlan{};
        floor_plan.wall_count = plan_walls;
        floor_plan.table_wall_count = plan_table_segments;
        floor_plan.table_count = 3;
        floor_plan.visit_wall_start = -1;
        viewer_state.room_visit_count = 0;
        tables_turned = 0;
    }

    void TearDown() override
    {
        setenv("PATH", saved_path.c_str(), 1);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    int call_count() const
    {
        int n = 0;
        for (const auto& entry : fs::directory_iterator(dir / "calls"))
            n += entry.path().extension() != ".tmp";
        return n;
    }

    // Waits for the browser started in the background to record its call.
    void wait_for_calls(int expected) const
    {
        for (int i = 0; i < 100 && call_count() < expected; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    // Gives a wrongly started browser time to show up.
    static void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(400)); }

    // Forgets the recorded calls and the visits, as at the start of a run.
    void start_new_run()
    {
        viewer_state.room_visit_count = 0;
        fs::remove_all(dir / "calls");
        fs::create_directory(dir / "calls");
    }

    // The one recorded call: its argument count and arguments, one a line.
    std::string only_call() const
    {
        wait_for_calls(1);
        std::string text;
        int files = 0;
        for (const auto& entry : fs::directory_iterator(dir / "calls")) {
            if (entry.path().extension() == ".tmp")
                continue;
            std::ostringstream content;
            content << std::ifstream(entry.path()).rdbuf();
            text = content.str();
            ++files;
        }
        EXPECT_EQ(files, 1);
        return text;
    }

    fs::path dir;
    std::string saved_path;
};

TEST_F(VisitTest, TableAtZeroZeroStandsAtTheMeanOfTheFirstSixCorners)
{
    RoomRecord r = room(310, 0.0f, 0.0f, "p310.html");
    visit_room(r);
    EXPECT_FLOAT_EQ(r.TableX, 1.0f);
    EXPECT_FLOAT_EQ(r.TableY, 1.5f);
    EXPECT_EQ(floor_plan.table_count, 1);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].x, 3.0f);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].z, -4.5f);
    EXPECT_EQ(floor_plan.tables[0].kind, 2);
    EXPECT_EQ(tables_turned, 0);
    EXPECT_EQ(viewer_state.room_visit_count, 1);
    // The desk's four segments follow the plan's walls and desk block.
    EXPECT_EQ(floor_plan.table_wall_count, plan_table_segments + 4);
    EXPECT_FLOAT_EQ(floor_plan.walls[plan_walls + plan_table_segments].x2, 4.1f);
    EXPECT_EQ(only_call(), "1\np310.html\n");
}

TEST_F(VisitTest, RoomWithoutTableChangesNothing)
{
    RoomRecord store = room(305, -1.0f, -1.0f, "store.html");
    tables_turned = 1;
    visit_room(store);
    EXPECT_EQ(viewer_state.room_visit_count, 0);
    EXPECT_EQ(floor_plan.table_count, 3);
    EXPECT_EQ(floor_plan.table_wall_count, plan_table_segments);
    EXPECT_EQ(tables_turned, 1);
    EXPECT_FLOAT_EQ(store.TableX, -1.0f);
    // Only one of the two at -1 is an ordinary position.
    RoomRecord half = room(306, -1.0f, 2.0f, "half.html");
    visit_room(half);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].x, -3.0f);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].z, -6.0f);
    // The next room with a table still starts the browser.
    EXPECT_EQ(viewer_state.room_visit_count, 1);
    EXPECT_EQ(only_call(), "1\nhalf.html\n");
}

TEST_F(VisitTest, DesksBeyondPlanLineTwoPointSevenAreTurned)
{
    RoomRecord beyond = room(320, 5.0f, 2.8f, "a.html");
    visit_room(beyond);
    EXPECT_EQ(tables_turned, 1);
    RoomRecord on_line = room(321, 5.0f, 2.7f, "b.html");
    visit_room(on_line);
    EXPECT_EQ(tables_turned, 0);
    visit_room(beyond);
    RoomRecord before = room(322, 5.0f, 2.6f, "c.html");
    visit_room(before);
    EXPECT_EQ(tables_turned, 0);
    EXPECT_EQ(only_call(), "1\na.html\n");
}

TEST_F(VisitTest, BrowserOpensOnlyTheFirstRoomOfTheRunAndTheDeskFollows)
{
    RoomRecord first = room(330, 4.0f, 1.0f, "publications/330.html");
    RoomRecord second = room(331, 8.0f, 4.0f, "publications/331.html");
    visit_room(first);
    visit_room(first);
    visit_room(second);
    settle();
    EXPECT_EQ(only_call(), "1\npublications/330.html\n");
    EXPECT_EQ(viewer_state.room_visit_count, 3);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].x, 24.0f);
    EXPECT_FLOAT_EQ(floor_plan.tables[0].z, -12.0f);
    EXPECT_EQ(tables_turned, 1);
    viewer_state.room_visit_count = INT_MAX;  // saturates: no second "first" visit
    visit_room(second);
    settle();
    EXPECT_EQ(viewer_state.room_visit_count, INT_MAX);
    EXPECT_EQ(only_call(), "1\npublications/330.html\n");
}

TEST_F(VisitTest, EachVisitReplacesThePreviousDeskSegments)
{
    const int last = plan_walls + plan_table_segments;
    for (int i = 0; i < 1000; ++i) {
        RoomRecord r = room(340 + i % 2, float(1 + i % 2), 1.0f, "p.html");
        visit_room(r);
        ASSERT_EQ(floor_plan.table_wall_count, plan_table_segments + 4) << "visit " << i;
    }
    // The block is the last room's (plan x 2, y 1: world (6, -3)).
    EXPECT_FLOAT_EQ(floor_plan.walls[last].x1, 6.0f);
    EXPECT_FLOAT_EQ(floor_plan.walls[last + 3].z2, -2.0f);
    EXPECT_EQ(floor_plan.visit_wall_start, last);
    EXPECT_EQ(only_call(), "1\np.html\n");
    // After a plan read the first visit appends afresh behind the plan's walls.
    floor_plan.table_wall_count = 0;
    floor_plan.visit_wall_start = -1;
    RoomRecord r = room(342, 1.0f, 1.0f, "p.html");
    visit_room(r);
    EXPECT_EQ(floor_plan.table_wall_count, 4);
    EXPECT_FLOAT_EQ(floor_plan.walls[plan_walls].x1, 3.0f);
}

TEST_F(VisitTest, AFullWallTableNeverOverflows)
{
    floor_plan.wall_count = max_walls - 2;
    floor_plan.table_wall_count = 0;
    const WallSegment sentinel = floor_plan.walls[max_walls - 1];
    RoomRecord r = room(350, 1.0f, 1.0f, "full.html");
    ::testing::internal::CaptureStdout();
    visit_room(r);
    visit_room(r);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Room 350: no room for the 4 blocking segments of the desk moved there (walls plus table "
              "segments are limited to 300); the table is drawn but does not block\n"
              "Room 350: no room for the 4 blocking segments of the desk moved there (walls plus table "
              "segments are limited to 300); the table is drawn but does not block\n");
    EXPECT_LE(floor_plan.wall_count + floor_plan.table_wall_count, max_walls);
    EXPECT_EQ(floor_plan.visit_wall_start, -1);
    EXPECT_EQ(std::memcmp(&sentinel, &floor_plan.walls[max_walls - 1], sizeof sentinel), 0);
    EXPECT_EQ(floor_plan.tables[0].kind, 2);
    EXPECT_EQ(only_call(), "1\nfull.html\n");
}

// Each page reaches the browser as exactly one argument and runs nothing else.
TEST_F(VisitTest, PageReachesTheBrowserAsOneShellWord)
{
    const std::string owned = (dir / "owned").string();
    const std::string pages[] = {
        "x; touch " + owned,
        "$(touch " + owned + ")",
        "`touch " + owned + "`",
        "it's",
        "a'; touch " + owned + "; '",
        "x\" && touch " + owned + " && \"",
        "-rf",  // not taken as an option
    };
    for (const std::string& page : pages) {
        start_new_run();
        RoomRecord r = room(360, 1.0f, 1.0f, page.c_str());
        visit_room(r);
        EXPECT_EQ(only_call(), "1\n" + (page[0] == '-' ? "./" + page : page) + "\n") << page;
    }
    settle();
    EXPECT_FALSE(fs::exists(owned));
}

TEST_F(VisitTest, LongestPageFullOfQuotesStillFitsTheCommand)
{
    RoomRecord r = room(380, 1.0f, 1.0f, "");
    std::memset(r.Publications, '\'', sizeof r.Publications - 1);
    r.Publications[sizeof r.Publications - 1] = '\0';
    visit_room(r);
    EXPECT_EQ(only_call(), "1\n" + std::string(sizeof r.Publications - 1, '\'') + "\n");
    // A page that lacks its terminating zero is read to the field's end only.
    start_new_run();
    RoomRecord unterminated = room(381, 1.0f, 1.0f, "");
    std::memset(unterminated.Publications, 'a', sizeof unterminated.Publications);
    visit_room(unterminated);
    EXPECT_EQ(only_call(), "1\n" + std::string(sizeof unterminated.Publications, 'a') + "\n");
    // One that would need a longer command starts nothing, and says so.
    start_new_run();
    std::memset(unterminated.Publications, '\'', sizeof unterminated.Publications);
    ::testing::internal::CaptureStdout();
    visit_room(unterminated);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Room 381: browser command for its publications page would exceed 411 characters;"
              " browser not started\n");
    EXPECT_EQ(viewer_state.room_visit_count, 1);
    settle();
    EXPECT_EQ(call_count(), 0);
}

} // namespace
