// app_test.cpp -- keys, arrows and drags against the viewer state with GLUT
// started for real on a small floor; the room visit: desk placement and the
// one browser start per run, with the page handed over as one shell word.
#include <chrono>
#include <climits>
#include <cstring>
#include <string>
#include <thread>

#include "common/data_path.h"
#include "app/viewer.h"
#include "render/bitmap_text.h"
#include "directory/locator.h"
#include "find/find_state.h"
#include "kiosk/kiosk.h"
#include "pagecode/page_address.h"
#include "plan/floor_plan.h"
#include "support.h"

using namespace test;

namespace {

// The test floor: plan 0..10 x 0..6, outer walls, a wall at plan x 7, the
// start at plan (3, 2.7); plans 2 and 3 start at plan x 6 and 2.
constexpr float start_x = 9.0f, start_z = -8.1f;  // world units

// Starts the program once in a scratch copy of the test floor; every test
// starts on plan 1 at the start pose with every switch off.
class Viewer : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static ScratchDir dir;
        fs::copy(fs::path(VEVUV_TEST_DATA) / "app", dir.path());
        static char program[] = "app_test";
        static char* argv[] = {program, nullptr};
        int argc = 1;
        start_up(&argc, argv);
    }
    void SetUp() override
    {
        if (viewer_state.popup_view == 1)
            on_key('v', 0, 0);
        if (viewer_state.help_shown == 1)
            on_special_key(GLUT_KEY_F1, 0, 0);
        viewer_state.walk_through_walls = 0;
        viewer_state.textures_on = 1;
        viewer_state.popup_eye_height = 25.0f;
        viewer_state.last_mouse_x = viewer_state.last_mouse_y = 0;
        on_key('1', 0, 0);
    }
    static void press(int key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            on_special_key(key, 0, 0);
    }
    static void type(const std::string& keys)
    {
        for (char key : keys)
            on_key(static_cast<unsigned char>(key), 0, 0);
    }
};

} // namespace

TEST_F(Viewer, StartUpBuildsTheWorldAndKeysSwitchViewsAndPlans)
{
    EXPECT_NE(window_state.main_window, window_state.status_window);
    EXPECT_STREQ(window_state.status_text, "You are in the corridor");
    EXPECT_EQ(floor_plan.wall_count, 5);
    glutSetWindow(window_state.main_window);
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH) * 1000 + glutGet(GLUT_WINDOW_HEIGHT), 700500);

    // Each view keeps its own angle across pop-up switches.
    auto views = [] { return text(viewer_state.popup_view, viewer_state.heading, viewer_state.popup_angle, viewer_state.saved_heading, viewer_state.x); };
    press(GLUT_KEY_RIGHT, 2);
    on_key('v', 0, 0);  // the first time at 0
    EXPECT_EQ(views(), "1 12 0 12 9 ");
    press(GLUT_KEY_LEFT, 3);  // the overhead picture turns; the visitor stays
    on_key('V', 0, 0);
    EXPECT_EQ(views().substr(0, 5), "0 12 ");
    EXPECT_FLOAT_EQ(viewer_state.saved_popup_angle, -18.0f);
    EXPECT_EQ(glutGetWindow(), window_state.main_window);
    press(GLUT_KEY_RIGHT, 5);
    on_key('v', 0, 0);
    EXPECT_EQ(views(), "1 42 -18 42 9 ");

    // Overhead, up and down move the eye between 5 and 100 in steps of 5.
    const struct { int key, times; float height; } eye[] = {{GLUT_KEY_UP, 1, 20}, {GLUT_KEY_UP, 4, 5}, {GLUT_KEY_DOWN, 1, 10}};
    for (const auto& [key, times, height] : eye) {
        press(key, times);
        EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, height);
    }
    viewer_state.popup_eye_height = 95.0f;
    press(GLUT_KEY_DOWN, 2);
    EXPECT_FLOAT_EQ(viewer_state.popup_eye_height, 100.0f);
    EXPECT_FLOAT_EQ(viewer_state.z, start_z);

    // Reloading resets the pose but keeps every switch.
    on_key('t', 0, 0);
    on_key('w', 0, 0);
    on_special_key(GLUT_KEY_F1, 0, 0);
    press(GLUT_KEY_UP);
    on_key('1', 0, 0);
    auto switches = [] { return text(viewer_state.textures_on, viewer_state.walk_through_walls, viewer_state.popup_view, viewer_state.help_shown); };
    EXPECT_EQ(text(viewer_state.heading, viewer_state.popup_angle, viewer_state.eye_height, viewer_state.x, switches()), "0 0 1 9 0 1 1 1  ");
    on_key('T', 0, 0);
    on_special_key(GLUT_KEY_F1, 0, 0);  // help and the overhead view switch independently
    EXPECT_EQ(switches(), "1 1 1 0 ");

    const struct {
        unsigned char key;
        int plan;
        float heading, x;
    } plans[] = {{'2', 2, 180, 18}, {'3', 3, 0, 6}, {'1', 1, 0, start_x}, {'x', 1, 0, start_x}};
    on_key('v', 0, 0);
    for (const auto& row : plans) {
        on_key(row.key, 0, 0);
        on_special_key(GLUT_KEY_F5, 0, 0);  // no meaning, no change
        EXPECT_EQ(text(viewer_state.plan_choice, viewer_state.heading, viewer_state.popup_angle, viewer_state.x),
                  text(row.plan, row.heading, row.heading, row.x));
    }
    on_key('2', 0, 0);
    press(GLUT_KEY_UP);  // heading 180 walks along +z
    EXPECT_NEAR(viewer_state.z, start_z + 0.4f, 1e-5);
}

TEST_F(Viewer, ArrowsAndDragsWalkAndTurnAndWallsStopTheWalk)
{
    // Arrows are made-up pointer distances from the origin.
    viewer_state.last_mouse_x = 300;
    viewer_state.last_mouse_y = 200;
    const struct {
        int key;
        float heading, z;
        int mouse_x, mouse_y;
    } arrows[] = {{GLUT_KEY_RIGHT, 6, start_z, 20, 0}, {GLUT_KEY_LEFT, 0, start_z, -20, 0}, {GLUT_KEY_LEFT, -6, start_z, -20, 0},
                  {GLUT_KEY_RIGHT, 0, start_z, 20, 0}, {GLUT_KEY_UP, 0, start_z - 0.4f, 0, -10},
                  {GLUT_KEY_DOWN, 0, start_z, 0, 10}, {GLUT_KEY_DOWN, 0, start_z + 0.4f, 0, 10}};
    for (const auto& row : arrows) {
        press(row.key);
        EXPECT_EQ(text(viewer_state.heading, viewer_state.z, viewer_state.last_mouse_x, viewer_state.last_mouse_y),
                  text(row.heading, row.z, row.mouse_x, row.mouse_y));
    }
    EXPECT_EQ(text(viewer_state.plan_x, viewer_state.plan_y), text(3.0f, 2.7f - 0.4f / 3.0f));
    on_motion(0, 0);  // a drag after an arrow measures from the arrow's made-up position
    EXPECT_FLOAT_EQ(viewer_state.z, start_z);

    on_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    const struct {
        int x, y;
        float heading, world_x, world_z;
    } drags[] = {{100, 90, 0, start_x, start_z - 0.4f},          // 10 pixels up
                 {400, 90, 90, start_x, start_z - 0.4f},         // 300 pixels right: 90 degrees
                 {400, 65, 90, start_x + 1.0f, start_z - 0.4f},  // 25 up: 1.0 along +x
                 {400, 75, 90, start_x + 0.6f, start_z - 0.4f},  // after releases and other buttons
                 {1600, 75, 450, start_x + 0.6f, start_z - 0.4f}};  // turning is never wrapped
    for (const auto& row : drags) {
        if (row.y == 75 && row.heading == 90) {
            on_mouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
            on_mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0);
            on_mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
        }
        on_motion(row.x, row.y);
        EXPECT_EQ(text(viewer_state.heading, viewer_state.popup_angle, viewer_state.x, viewer_state.z),
                  text(row.heading, row.heading, row.world_x, row.world_z));
    }

    on_key('1', 0, 0);
    press(GLUT_KEY_RIGHT, 15);  // face +x, toward the wall at x 21
    press(GLUT_KEY_UP, 45);
    EXPECT_FLOAT_EQ(viewer_state.x, 21.0f - 0.25f);
    on_key('w', 0, 0);
    press(GLUT_KEY_UP, 3);  // free moves by exactly -step_x each
    EXPECT_NEAR(viewer_state.x, 21.0f - 0.25f + 1.2f, 1e-4);
    on_key('W', 0, 0);
    press(GLUT_KEY_UP, 40);
    EXPECT_FLOAT_EQ(viewer_state.x, 30.0f - 0.25f);

    viewer_state.x = 3.0f;  // plan (1, 5): room 101 of the test locator, which has no table
    viewer_state.z = -15.0f;
    on_motion(0, 0);
    EXPECT_STREQ(window_state.status_text, "Room 101 (Small test office)");
    EXPECT_EQ(viewer_state.room_visit_count, 0);
    viewer_state.x = 15.0f;
    on_motion(0, 0);
    EXPECT_STREQ(window_state.status_text, "You are in the corridor");

}

TEST_F(Viewer, FindOverHelpReadsTheLocatorAndTheWayFollowsTheVisitorIntoTheRoom)
{
    const std::string head = "Locator\nshape name points description\n", end = "0 end\n";
    const std::string broken = "qor3rdfloor.inp: the file ends before \"description\" closes its header; no rooms read\n";
    const RoomRecord* room = nullptr;
    on_key('/', 0, 0);
    room = highlighted_room();
    ASSERT_NE(room, nullptr);
    const float x = viewer_state.x, z = viewer_state.z;
    press(GLUT_KEY_DOWN, 2);  // moves Find's highlight, never the visitor
    EXPECT_EQ(text(viewer_state.x, viewer_state.z), text(x, z));
    lookup_call_count = 0;  // as right after start: no lookup has read the locator
    locator_searchable_count = 0;
    write_file("qor3rdfloor.inp", "a broken header\n");  // read once per change, not per list line
    EXPECT_EQ(capture_console([&] { for (int i = 0; i < 3; ++i) find_list_line(*room); }).out, broken);
    write_file("qor3rdfloor.inp", "another broken header\n");
    EXPECT_EQ(capture_console([&] { for (int i = 0; i < 3; ++i) find_list_line(*room); }).out, broken);
    on_key(escape_key, 0, 0);

    write_file("qor3rdfloor.inp", head + "1 \"101\" 0 4  2 4  2 6  0 6  0 4  2 6\n" + end);
    lookup_call_count = 0;
    locator_searchable_count = 0;
    on_special_key(GLUT_KEY_F1, 0, 0);
    type("/\xe9");  // freeglut hands e-acute over as Latin-1
    EXPECT_EQ(text(viewer_state.help_shown, find_state.open, find_state.query), "0 1 \xc3\xa9 ");
    EXPECT_EQ(glyph_text(window_state.status_text, status_text_size), "Find: \xe9");
    on_motion(0, 0);  // a drag while Find is open keeps Find's line
    EXPECT_EQ(glyph_text(window_state.status_text, status_text_size), "Find: \xe9");
    type("\b101\r");
    ASSERT_NE(shown_route(), nullptr) << window_state.status_text;
    const std::vector<RoutePoint> planned = *shown_route();

    // A wall across the way: a move along the way keeps it; leaving it plans anew.
    floor_plan.walls[floor_plan.wall_count++] = {4.0f, -11.0f, 9.0f, -11.0f};
    press(GLUT_KEY_UP);  // 0.4 along -z, about 0.25 off the way
    ASSERT_NE(shown_route(), nullptr);
    EXPECT_EQ(text(shown_route()->front().x, shown_route()->front().z, shown_route()->back().x, shown_route()->back().z),
              text(viewer_state.x, viewer_state.z, planned.back().x, planned.back().z));
    EXPECT_LT(route_length(*shown_route()), route_length(planned));
    viewer_state.x += 1.0f;
    on_motion(0, 0);
    ASSERT_NE(shown_route(), nullptr);
    EXPECT_GT(shown_route()->size(), 2u) << "planned again round the new wall";
    floor_plan.wall_count--;

    // Arrival is where the room lookup says room 101: in its box, short of the way's end.
    viewer_state.x = 5.7f;  // plan (1.9, 4.1)
    viewer_state.z = -12.3f;
    on_motion(0, 0);
    EXPECT_EQ(text(shown_route() == nullptr, window_state.status_text), "1 Room 101 (Small test office) ");

    // A box of no width: the way's end lies on it in world units, but not in plan units.
    write_file("qor3rdfloor.inp", head + "1 \"101\" 1.7 4  1.7 4  1.7 6  1.7 6  1.7 4  1.7 6\n" + end);
    on_key('1', 0, 0);
    type("/101\r");
    viewer_state.x = float(1.7f * plan_scale_x);
    viewer_state.z = -15.0f;
    on_motion(0, 0);
    EXPECT_EQ(text(shown_route() != nullptr, window_state.status_text), "1 Room 101 (Ilka Marwood): 0 m ");
    EXPECT_EQ(shown_route()->size(), 2u);  // the last straight stretch is drawn too
    clear_find();
}

// The kiosk's watch draws the touch face again only when the idle warning
// changes: a screen left alone is not redrawn, tick after tick, for nobody.
TEST_F(Viewer, AnIdleTouchFaceIsNotDrawnAgain)
{
    static int draws = 0;
    kiosk_settings.touch_face = true;
    start_touch_face();
    glutSetWindow(window_state.main_window);
    glutDisplayFunc([] { ++draws; });
    // The window's first pictures (mapping, start-up) are drawn before the
    // watch starts: events are handled until none has led to a picture for 0.5 s.
    auto quiet_since = std::chrono::steady_clock::now();
    for (int seen = 0; std::chrono::steady_clock::now() - quiet_since < std::chrono::milliseconds(500);) {
        glutMainLoopEvent();
        if (draws != seen) {
            seen = draws;
            quiet_since = std::chrono::steady_clock::now();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    draws = 0;
    start_kiosk_watch([] {});
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(2100);  // eight ticks of the watch
    while (draws < 3 && std::chrono::steady_clock::now() < end) {
        glutMainLoopEvent();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    glutSetWindow(window_state.main_window);
    glutDisplayFunc(on_display);
    kiosk_settings.touch_face = false;
    EXPECT_LE(draws, 2);  // late pictures of a loaded machine's start, at most two; a watch that draws draws every tick
}

// The touch face draws the strip in the main window (a kiosk has no strip
// window), framed in green, above the face's help page, and hides it in the
// pop-up view, where the window mode hides its strip.
TEST_F(Viewer, WithoutAStripWindowTheTouchFaceDrawsTheStrip)
{
    kiosk_settings.touch_face = true;
    start_touch_face();
    const int strip_window = window_state.status_window;
    window_state.status_window = 0;  // as the program starts the face: no strip window
    const struct {
        unsigned char key;
        int special_key;
        bool drawn;
    } rows[] = {{0, 0, true}, {'v', 0, false}, {0, GLUT_KEY_F1, true}};
    for (const auto& row : rows) {
        if (row.key != 0)
            on_key(row.key, 0, 0);
        if (row.special_key != 0)
            on_special_key(row.special_key, 0, 0);
        on_display();
        EXPECT_EQ(glutGetWindow(), window_state.main_window);
        const Picture p = read_picture();
        const int x = status_strip_x + status_strip_width(p.width) / 2, top = p.height - 1 - status_strip_y;
        EXPECT_EQ(p.is(x, top, 0.0f, 1.0f, 0.0f), row.drawn) << int(row.key) << " " << row.special_key;
        EXPECT_EQ(p.is(x, top - 3, 0.25f, 0.25f, 0.25f), row.drawn) << int(row.key) << " " << row.special_key;
        EXPECT_FALSE(p.is(x, top + 1, 0.0f, 1.0f, 0.0f));
        if (row.key != 0)
            on_key(row.key, 0, 0);
        if (row.special_key != 0)
            on_special_key(row.special_key, 0, 0);
    }
    window_state.status_window = strip_window;
    kiosk_settings.touch_face = false;
}

// A tap through the very end of a wall is a tap on that wall: the visitor
// is led to the floor just before it, not past it.
TEST_F(Viewer, ATapThroughTheEndOfAWallStopsBeforeIt)
{
    kiosk_settings.touch_face = true;
    start_touch_face();
    const int width = window_state.width;
    window_state.width = 701;  // an odd width: the middle column's ray runs straight ahead
    floor_plan.walls[floor_plan.wall_count++] = {6.0f, -12.0f, start_x, -12.0f};  // ends on that ray
    on_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 350, 300);
    on_mouse(GLUT_LEFT_BUTTON, GLUT_UP, 350, 300);
    floor_plan.wall_count--;
    window_state.width = width;
    kiosk_settings.touch_face = false;
    ASSERT_NE(shown_route(), nullptr);
    EXPECT_GT(shown_route()->back().z, -12.0f) << "the floor behind the wall is " << shown_route()->back().z;
    clear_find();
}

namespace {

constexpr int plan_walls = 10, plan_table_segments = 4;

RoomRecord room(int number, float table_x, float table_y, const std::string& page = "p.html")
{
    RoomRecord r{};
    r.found = 1;
    r.Room_Number = number;
    std::snprintf(r.Publications, sizeof r.Publications, "%s", page.c_str());
    const float xs[6] = {0, 2, 2, 0, 0, 2}, ys[6] = {0, 0, 3, 3, 0, 3};
    std::copy(xs, xs + 6, r.RoomX);
    std::copy(ys, ys + 6, r.RoomY);
    r.TableX = table_x;
    r.TableY = table_y;
    return r;
}

// A recording xdg-open first on PATH: each call leaves one file holding its
// argument count, then each argument on a line of its own.
class Visit : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory("bin");
        write_file("bin/xdg-open", "#!/bin/sh\nout=\"" + (dir_.path() / "calls").string() + "/call.$$\"\n"
                                   "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.tmp\"\n"
                                   "mv \"$out.tmp\" \"$out\"\n");
        fs::permissions("bin/xdg-open", fs::perms::owner_all);
        saved_path_ = std::getenv("PATH");
        setenv("PATH", ((dir_.path() / "bin").string() + ":" + saved_path_).c_str(), 1);
        floor_plan = FloorPlan{};
        floor_plan.wall_count = plan_walls;
        floor_plan.table_wall_count = plan_table_segments;
        floor_plan.table_count = 3;
        floor_plan.visit_wall_start = -1;
        tables_turned = 0;
        start_new_run();
    }
    void TearDown() override { setenv("PATH", saved_path_.c_str(), 1); }
    void start_new_run()
    {
        viewer_state.room_visit_count = 0;
        fs::remove_all(dir_.path() / "calls");
        fs::create_directory(dir_.path() / "calls");
    }
    // The recorded calls, once the first has shown up (or after wait_ms).
    std::string calls(int wait_ms = 5000)
    {
        std::string text;
        for (int i = 0; i < wait_ms / 50 && text.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (const auto& entry : fs::directory_iterator(dir_.path() / "calls"))
                text += entry.path().extension() == ".tmp" ? "" : read_file(entry.path());
        }
        return text;
    }
    ScratchDir dir_;
    std::string saved_path_;
};

} // namespace

TEST_F(Visit, DeskStandsWhereTheRecordSaysTurnedBeyondTheLineAndBlocks)
{
    RoomRecord r = room(310, 0.0f, 0.0f, "p310.html");  // 0, 0: the mean of the first six corners
    visit_room(r);  // the desk's block follows the plan's walls and desk block
    EXPECT_EQ(text(r.TableX, r.TableY, floor_plan.table_count, floor_plan.tables[0].x, floor_plan.tables[0].z, floor_plan.tables[0].kind,
                   floor_plan.table_wall_count, floor_plan.walls[plan_walls + plan_table_segments].x2), "1 1.5 1 3 -4.5 2 8 4.1 ");
    EXPECT_EQ(calls(), "1\np310.html\n");

    const struct {
        float x, y;
        int turned, visits, tables;
    } rows[] = {{-1, -1, 1, 1, 1} /* no table: nothing changes */, {-1, 2, 0, 2, 1}, {5, 2.8f, 1, 3, 1},
                {5, 2.7f, 0, 4, 1}, {5, 2.8f, 1, 5, 1}, {5, 2.6f, 0, 6, 1}, {8, 4, 1, 7, 1}};
    tables_turned = 1;
    for (const auto& row : rows) {
        RoomRecord other = room(320, row.x, row.y, "other.html");
        visit_room(other);
        EXPECT_EQ(tables_turned, row.turned) << row.x << ", " << row.y;
        EXPECT_EQ(viewer_state.room_visit_count, row.visits);
        EXPECT_EQ(floor_plan.table_wall_count, plan_table_segments + 4);
    }
    EXPECT_FLOAT_EQ(floor_plan.tables[0].x * 10 + floor_plan.tables[0].z, 240 - 12);
    viewer_state.room_visit_count = INT_MAX;  // saturates: no second "first" visit
    RoomRecord late = room(330, 1.0f, 1.0f, "late.html");
    visit_room(late);
    EXPECT_EQ(viewer_state.room_visit_count, INT_MAX);
    EXPECT_EQ(calls(400), "1\np310.html\n");  // only the first room of the run

    for (int i = 0; i < 1000; ++i) {  // each visit replaces the previous desk's segments
        RoomRecord r2 = room(340 + i % 2, float(1 + i % 2), 1.0f);
        visit_room(r2);
        ASSERT_EQ(floor_plan.table_wall_count, plan_table_segments + 4) << i;
    }
    const int last = plan_walls + plan_table_segments;
    EXPECT_FLOAT_EQ(floor_plan.walls[last].x1 * 10 + floor_plan.walls[last + 3].z2, 60 - 2);
    EXPECT_EQ(floor_plan.visit_wall_start, last);
    floor_plan.table_wall_count = 0;  // after a plan read the first visit appends afresh
    floor_plan.visit_wall_start = -1;
    visit_room(r);
    EXPECT_FLOAT_EQ(floor_plan.walls[plan_walls].x1, 3.0f);

    floor_plan.wall_count = max_walls - 2;  // a full wall table never overflows
    floor_plan.table_wall_count = 0;
    floor_plan.visit_wall_start = -1;
    const WallSegment sentinel = floor_plan.walls[max_walls - 1];
    r = room(350, 1.0f, 1.0f);
    const std::string said = capture_console([&] { visit_room(r); visit_room(r); }).out;  // at each visit
    EXPECT_EQ(said.substr(0, said.size() / 2), said.substr(said.size() / 2));
    EXPECT_EQ(said.rfind("Room 350: no room for the 4 blocking segments of the desk moved there", 0), 0u) << said;
    EXPECT_EQ(floor_plan.visit_wall_start, -1);
    EXPECT_EQ(std::memcmp(&sentinel, &floor_plan.walls[max_walls - 1], sizeof sentinel), 0);
}

TEST_F(Visit, PageReachesTheBrowserAsOneShellWordOrNotAtAll)
{
    const std::string owned = (dir_.path() / "owned").string();
    const std::string pages[] = {"x; touch " + owned, "$(touch " + owned + ")", "`touch " + owned + "`", "it's",
                                 "a'; touch " + owned + "; '", "x\" && touch " + owned + " && \"",
                                 "-rf" /* not taken as an option */, std::string(sizeof(RoomRecord::Publications) - 1, '\'')};
    for (const std::string& page : pages) {
        start_new_run();
        RoomRecord r = room(360, 1.0f, 1.0f, page);
        visit_room(r);
        EXPECT_EQ(calls(), "1\n" + (page[0] == '-' ? "./" + page : page) + "\n") << page;
    }
    EXPECT_FALSE(fs::exists(owned));
    // A page that lacks its terminating zero is read to the field's end only;
    // one that would need a longer command starts nothing, and says so.
    start_new_run();
    RoomRecord r = room(381, 1.0f, 1.0f);
    std::memset(r.Publications, 'a', sizeof r.Publications);
    visit_room(r);
    EXPECT_EQ(calls(), "1\n" + std::string(sizeof r.Publications, 'a') + "\n");
    start_new_run();
    std::memset(r.Publications, '\'', sizeof r.Publications);
    EXPECT_EQ(capture_console([&] { visit_room(r); }).out,
              "Room 381: browser command for its publications page would exceed 411 characters; browser not started\n");
    EXPECT_EQ(viewer_state.room_visit_count, 1);
    EXPECT_EQ(calls(400), "");
}

// A relative page is joined to the keeper's base; a web address stays itself.
TEST(PageAddress, PublicAddressOfAPage)
{
    const struct { const char* page; const char* base; const char* address; } rows[] = {
        {"publications/room304.html", "https://example.org/dept/", "https://example.org/dept/publications/room304.html"},
        {"./publications/room304.html", "https://example.org/dept", "https://example.org/dept/publications/room304.html"},
        {"https://other.example/p.html", "https://example.org/", "https://other.example/p.html"},
        {"http://other.example/p.html", "", "http://other.example/p.html"},
        {"publications/room304.html", "", ""},  // relative with no base: no address
        {"", "https://example.org/", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(page_address(row.page, row.base), row.address) << row.page << " on " << row.base;
}

// Each file comes from the first lookup folder that holds it; a file none
// holds is named in the last folder; the working directory takes names as given.
TEST(DataPath, FileByFileFromTheLookupFolders)
{
    ScratchDir dir;
    const std::string keeper = (dir.path() / "etc").string(), shipped = (dir.path() / "share").string();
    fs::create_directories(keeper);
    fs::create_directories(shipped + "/publications");
    for (const std::string& file : {keeper + "/Department.xml", shipped + "/Department.xml",
                                   shipped + "/plan.dat", shipped + "/publications/room304.html"})
        write_file(file, "x");
    setenv(lookup_folders_variable, (keeper + ":relative/ignored:" + shipped).c_str(), 1);
    choose_data_source();  // no plan.dat here
    EXPECT_TRUE(data_from_lookup_folders());
    EXPECT_EQ(data_file_path("Department.xml"), keeper + "/Department.xml");
    EXPECT_EQ(data_file_path("plan.dat"), shipped + "/plan.dat");
    EXPECT_EQ(data_file_path("publications/room304.html"), shipped + "/publications/room304.html");
    EXPECT_EQ(data_file_path("texture2.rgb"), shipped + "/texture2.rgb");
    EXPECT_EQ(data_file_path(keeper + "/Department.dtd"), keeper + "/Department.dtd");
    EXPECT_EQ(data_file_name(keeper + "/Department.dtd"), "Department.dtd");
    write_file("plan.dat", "x");
    choose_data_source();
    EXPECT_EQ(data_file_path("Department.xml"), "Department.xml");
    unsetenv(lookup_folders_variable);
}
