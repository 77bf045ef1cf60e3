// render_test.cpp -- drawing into a real window, read back as pixels or
// through GL feedback: colours, world set-up, the status strip and help page,
// the building, desks and boxes, the frame and reshape.
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "image/texture.h"
#include "plan/walls.h"
#include "render/boxes.h"
#include "render/furniture.h"
#include "render/maze.h"
#include "render/route_view.h"
#include "render/screen_text.h"
#include "render/wall_batch.h"
#include "support.h"

using namespace test;

namespace {

// Mean position of the pixels that pass a test, and their count.
struct Spot {
    int count = 0;
    double x = 0, y = 0, left = 1e9, bottom = 1e9, right = -1;
};

template <typename Test>
Spot find(const Picture& p, Test test)
{
    Spot s;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (test(p, x, y)) {
                ++s.count;
                s.x += x;
                s.y += y;
                s.left = std::min<double>(s.left, x);
                s.right = std::max<double>(s.right, x);
                s.bottom = std::min<double>(s.bottom, y);
            }
    s.x /= std::max(s.count, 1);
    s.y /= std::max(s.count, 1);
    return s;
}

bool white(const Picture& p, int x, int y) { return p.red(x, y) > 0.8f && p.green(x, y) > 0.8f && p.blue(x, y) > 0.8f; }
bool blue(const Picture& p, int x, int y) { return p.blue(x, y) > 0.8f && p.red(x, y) < 0.6f && p.green(x, y) < 0.6f; }
bool grey(const Picture& p, int x, int y)
{
    return std::fabs(p.red(x, y) - p.green(x, y)) < 0.03f && std::fabs(p.green(x, y) - p.blue(x, y)) < 0.03f && p.red(x, y) > 0.3f;
}
bool background(const Picture& p, int x, int y) { return p.is(x, y, 0.0f, 0.05f, 0.0f, 0.01f); }
// A colour made of the channels in mask (bit 0 red, 1 green, 2 blue), equal and bright, the rest dark.
template <int mask>
bool only(const Picture& p, int x, int y)
{
    float on = -1;
    for (int k = 0; k < 3; ++k) {
        const float c = p.c(x, y, k);
        if ((mask >> k & 1) != 0 && (c < 0.3f || (on >= 0 && std::fabs(c - on) > 0.03f)))
            return false;
        if ((mask >> k & 1) == 0 && c > 0.05f)
            return false;
        on = (mask >> k & 1) != 0 ? c : on;
    }
    return true;
}

// A floor rectangle with the given walls and lintels, their boxes built and blue; no tables.
void set_plan(float x2, float z2, const std::vector<WallSegment>& walls, const std::vector<WallSegment>& lintels,
              float x1 = 0, float z1 = 0)
{
    floor_plan = FloorPlan{};
    floor_plan.floor_x1 = x1;
    floor_plan.floor_z1 = z1;
    floor_plan.floor_x2 = x2;
    floor_plan.floor_z2 = z2;
    for (size_t i = 0; i < walls.size() + lintels.size(); ++i) {
        const bool wall = i < walls.size();
        WallBox& box = wall ? wall_boxes[i] : lintel_boxes[i - walls.size()];
        (wall ? floor_plan.walls[i] : floor_plan.lintels[i - walls.size()]) = wall ? walls[i] : lintels[i - walls.size()];
        build_wall_box(wall ? walls[i] : lintels[i - walls.size()], wall ? 0.0 : lintel_bottom_ratio * wall_height, wall_height, box);
        for (float* colour : box.colours)
            colour_table.fill_rgba("Blue", 1.0f, colour);
    }
    floor_plan.wall_count = int(walls.size());
    floor_plan.lintel_count = int(lintels.size());
    viewer_state.textures_on = 1;
    viewer_state.popup_view = 0;
    viewer_state.help_shown = 0;
    tables_turned = 0;
}

// The main window's camera at eye, looking at target.
void look(const std::vector<float>& eye, const std::vector<float>& target, const std::vector<float>& up = {0, 1, 0})
{
    glutSetWindow(window_state.main_window);
    set_projection(main_width, main_height);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
}

// One frame of the building as the display callback draws it, seen from eye towards target.
Picture frame(std::vector<float> eye, std::vector<float> target, std::vector<float> up = {0, 1, 0})
{
    look(eye, target, up);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    place_lights_1_and_2();
    draw_maze();
    return read_picture();
}

// The polygons of the wall and lintel boxes that reach the rasteriser (GL
// feedback: after clipping and culling) from eye towards target.
int sent_polygons(std::vector<float> eye, std::vector<float> target)
{
    static std::vector<GLfloat> buffer(1 << 20);
    look(eye, target);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw_wall_boxes(true);
    const int used = glRenderMode(GL_RENDER);
    int polygons = 0;
    for (int i = 0; i < used;) {
        const GLenum token = GLenum(buffer[size_t(i++)]);
        const bool polygon = token == GL_POLYGON_TOKEN;
        const bool line = token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN;
        const int vertices = polygon ? int(buffer[size_t(i++)]) : token == GL_PASS_THROUGH_TOKEN ? 0 : line ? 2 : 1;
        i += token == GL_PASS_THROUGH_TOKEN ? 1 : 3 * vertices;
        polygons += polygon ? 1 : 0;
    }
    return polygons;
}

long scissored_area = 0;
int surface_draws = 0;

void count_scissored_area(float)
{
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    scissored_area += glIsEnabled(GL_SCISSOR_TEST) ? long(box[2]) * box[3] : long(main_width) * main_height;
    ++surface_draws;
}

// The pixels the floor and the ceiling are drawn over after the last box
// drawing, and in how many draws.
std::string surface_work()
{
    scissored_area = 0;
    surface_draws = 0;
    draw_surface_behind_walls(0.0f, count_scissored_area);
    draw_surface_behind_walls(wall_height, count_scissored_area);
    return text(scissored_area, surface_draws);
}

// Puts GL state far from what the world needs, so each value checked afterwards was written.
void scramble_state()
{
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glShadeModel(GL_FLAT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    const float odd[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, odd);
}

} // namespace

TEST(Colours, TableOfNamedColoursAndItsBounds)
{
    define_colours();
    define_colours();  // a second start-up gives the same table
    EXPECT_EQ(text(colour_table.count, colour_table.index->count, colour_table.index->find_id("RedTinted")), "10 10 10 ");
    float first[4] = {}, last[4] = {}, kept[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    colour_table.fill_rgba(0, 1.0f, first);  // entries 0 to count - 1 are read (entry 0 is the first colour defined)
    colour_table.fill_rgba("RedTinted", 0.5f, last);
    colour_table.fill_rgba("Purple", 1.0f, kept);  // unknown names and entries leave it alone
    colour_table.fill_rgba(10, 1.0f, kept);
    colour_table.fill_rgba(-1, 1.0f, kept);
    EXPECT_EQ(text(first[0], last[0], last[3], kept[0], kept[3]), "1 1 0.5 0.1 0.4 ");

    ColourTable table;
    table.add("Grey", 128, 128, 128);
    table.resize(2);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.index->find_id("Grey"), 1);  // still registered
    table.add("Grey", 10, 20, 30);
    table.add("Teal", 0, 128, 128);
    const Console console = capture_console([&] {
        table.add("Cyan", 0, 255, 255);
        table.resize(5);
        table.add("AVeryLongColourName1", 1, 2, 3);
    });
    EXPECT_EQ(console.err, "ColourTable: no room for colour \"Cyan\" (capacity 2); colour ignored\n"
                           "ColourTable: colour name \"AVeryLongColourName1\" is longer than 19 characters; colour ignored\n");
    EXPECT_EQ(table.index->find_id("Cyan") + table.index->find_id("AVeryLongColourName1"), 0);
    table.add("AVeryLongColourName", 1, 2, 3);
    EXPECT_STREQ(table.entries[0].name, "AVeryLongColourName");
    table.clear();
    EXPECT_EQ(table.entries, nullptr);
    table.resize(3);  // after a clear, nothing is released twice
    EXPECT_EQ(table.capacity, 3);

    open_windows();
    colour_table.set_gl_colour("Orange");
    colour_table.set_gl_colour("NoSuchColour");  // keeps the colour before it
    glGetFloatv(GL_CURRENT_COLOR, kept);
    EXPECT_EQ(text(kept[0], kept[1], kept[2], kept[3]), "1 0.501961 0 1 ");
}

TEST(World, InitWorldAndLightingSetTheStateAndBuildThePlan)
{
    open_windows();
    ScratchDir dir;
    copy_test_data("render/plan.dat", "plan.dat");  // and no texture file
    std::snprintf(window_state.status_text, sizeof window_state.status_text, "%s", "Room 301 (Optics)");
    viewer_state.plan_choice = 1;
    viewer_state.textures_on = 0;
    viewer_state.heading = 45.0f;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scramble_state();
    capture_console([] { init_world(); });
    EXPECT_STREQ(window_state.status_text, "You are in the corridor");
    const auto lighting_state = [] {  // light 0 as seen through the camera, both faces' material
        float clear[4] = {}, light[4] = {}, specular[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        glGetLightfv(GL_LIGHT0, GL_POSITION, light);
        glGetMaterialfv(GL_BACK, GL_SPECULAR, specular);
        GLint two_side = 0, shade = 0;
        glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
        glGetIntegerv(GL_SHADE_MODEL, &shade);
        return text(clear[1], glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_LIGHT0), two_side,
                    shade == GL_SMOOTH, light[0], specular[1]);
    };
    EXPECT_EQ(lighting_state(), "0.05 1 1 0 81 0.5 ");  // the shade model is left to each frame
    // (The seven texture files and the plan, read in their order, are the start-up lines of the end-to-end runs.)
    // Sorted, the y = 10 wall comes first; mode switches survive.
    EXPECT_EQ(text(floor_plan.wall_count, floor_plan.lintel_count, wall_boxes[0].vertices[0][2], lintel_boxes[0].vertices[0][1],
                   viewer_state.z, viewer_state.heading, viewer_state.textures_on), "2 1 -30.1 2.68 -9 0 0 ");
    scramble_state();
    set_up_lighting();  // the state every frame starts from
    EXPECT_EQ(lighting_state(), "0.05 1 1 1 81 0.5 ");
}

TEST(StatusStrip, WhiteLineOnGreyInAGreenFrameStartingByItsLength)
{
    open_windows();
    auto strip_showing = [](const std::string& text) {
        std::snprintf(window_state.status_text, sizeof window_state.status_text, "%s", text.c_str());
        on_status_display();
        return read_picture();
    };
    auto start_column = [](size_t n) { return (0.2 - (n * 4.3 / 700.0 + 0.5) + 1.0) / 2.0 * 690.0; };
    Picture p = strip_showing("You are in the corridor");
    EXPECT_EQ(glutGetWindow(), window_state.status_window);
    ASSERT_EQ(p.width * 1000 + p.height, 690050);
    EXPECT_TRUE(p.is(100, 10, 0.25f, 0.25f, 0.25f, 0.01f));
    EXPECT_TRUE(p.is(345, 0, 0.0f, 1.0f, 0.0f, 0.01f) && p.is(689, 25, 0.0f, 1.0f, 0.0f, 0.01f));  // frame
    Spot text = find(p, white);
    EXPECT_NEAR(text.left, start_column(23), 3.0);
    EXPECT_NEAR(text.bottom, 28.5, 1.6);  // the baseline: no descenders in this line
    const int length = glutBitmapLength(GLUT_BITMAP_HELVETICA_18, reinterpret_cast<const unsigned char*>("You are in the corridor"));
    EXPECT_NEAR(text.right, start_column(23) + length, 3.0);
    const std::string room_line = "Room 312 (Kiosk Systems and Departmental Wayfinding)";
    EXPECT_NEAR(find(strip_showing(room_line), white).left, start_column(room_line.size()), 3.0);
    p = strip_showing("");  // only the frame
    EXPECT_EQ(find(p, white).count, 0);
    EXPECT_TRUE(p.is(345, 49, 0.0f, 1.0f, 0.0f, 0.01f));

    // A line longer than 0.7 * 700 / 4.3 characters starts at the strip's
    // 5-pixel margin and is cut at its end; UTF-8 text shows as Latin-1
    // glyphs placed by its characters, so an accented line covers the
    // columns of its plain twin.
    const Spot long_line = find(strip_showing(std::string(120, 'x')), white);
    EXPECT_NEAR(long_line.left, 5, 2);
    EXPECT_GE(long_line.right, 686);
    const std::pair<std::string, std::string> twins[] = {
        {"Prof. J\u00fcrgen M\u00fcller, caf\u00e9", "Prof. Jurgen Muller, cafe"},
        {"Room 301 (\u00c5ngstr\u00f6m Lab)", "Room 301 (Angstrom Lab)"}};
    for (const auto& [accented, plain] : twins) {
        const Spot shown = find(strip_showing(accented), white), twin = find(strip_showing(plain), white);
        EXPECT_EQ(test::text(shown.left, shown.right), test::text(twin.left, twin.right)) << plain;
        EXPECT_GT(shown.count, twin.count) << plain;  // the accents add their dots and rings
    }
}

TEST(Maze, WallsFloorCeilingTexturesPopUpHelpAndDesks)
{
    open_windows();
    make_plain_texture(4, 0, 255, 255);  // walls: cyan
    make_plain_texture(1, 255, 0, 0);    // desk 1: red
    make_plain_texture(2, 0, 255, 0);    // desk 2: green
    const int wall[2] = {350, 300}, floor[2] = {350, 60}, ceiling[2] = {350, 470}, gap[2] = {40, 260};
    const struct {
        int textures, popup;
        bool wall_blue, wall_cyan, ceiling_drawn;
    } rows[] = {{0, 0, true, false, true}, {1, 0, false, true, true}, {0, 1, true, false, false}};
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    for (const auto& row : rows) {  // looking along -z at a wall from (25, -20) to (35, -20) on a 60 x 60 floor
        set_plan(60, -60, {{25, -20, 35, -20}}, {});
        if (&row == rows)
            frame({30, 1, -10}, {30, 1, -20});  // the first frame sets the clear colour for the next
        viewer_state.textures_on = row.textures;
        viewer_state.popup_view = row.popup;
        const Picture p = frame({30, 1, -10}, {30, 1, -20});
        EXPECT_EQ(blue(p, wall[0], wall[1]), row.wall_blue) << row.textures << row.popup;
        EXPECT_EQ(only<6>(p, wall[0], wall[1]), row.wall_cyan);
        EXPECT_TRUE(grey(p, floor[0], floor[1]));
        EXPECT_EQ(grey(p, ceiling[0], ceiling[1]), row.ceiling_drawn);
        EXPECT_EQ(background(p, ceiling[0], ceiling[1]), !row.ceiling_drawn);
        EXPECT_TRUE(background(p, gap[0], gap[1]));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }

    // The help page alone: no lighting set-up, no building.
    set_plan(60, -60, {{25, -20, 35, -20}}, {});
    viewer_state.help_shown = 1;
    glClearColor(0.0f, 0.05f, 0.0f, 0.0f);
    const Picture help = frame({30, 1, -10}, {30, 1, -20});
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    draw_maze();
    float clear_colour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear_colour);
    EXPECT_EQ(clear_colour[0], 1.0f);
    EXPECT_EQ(find(help, blue).count, 0);
    const int text_pixels = help.width * help.height - find(help, background).count;
    EXPECT_TRUE(text_pixels > 500 && text_pixels < help.width * help.height / 10) << text_pixels;

    // Desk k takes texture object k; turned desks lie across their anchor.
    set_plan(60, -60, {}, {});
    viewer_state.textures_on = 0;  // desks are textured all the same
    floor_plan.table_count = 2;
    floor_plan.tables[0] = {25.0f, -14.0f, 0};
    floor_plan.tables[1] = {40.0f, -40.0f, 2};
    const struct {
        int turned;
        float x, z;
        int colour;  // 1 red, 2 green, 0 bare floor
    } desks[] = {{0, 25.594f, -13.55f, 1}, {0, 40.594f, -39.55f, 2}, {1, 25.594f, -13.55f, 0}, {1, 24.406f, -14.45f, 1}};
    for (const auto& desk : desks) {
        tables_turned = desk.turned;
        const Picture p = frame({desk.x, 3.0f, desk.z}, {desk.x, 0.0f, desk.z}, {0, 0, -1});
        const int cx = main_width / 2, cy = main_height / 2;
        EXPECT_TRUE(desk.colour == 1 ? only<1>(p, cx, cy) : desk.colour == 2 ? only<2>(p, cx, cy) : grey(p, cx, cy))
            << desk.x << " turned " << desk.turned;
    }
}

TEST(Maze, TextureCoordinatesBoxesFiguresAndDesksThroughFeedback)
{
    open_windows();
    // Walls and lintels inside the view, the floor outside; stale boxes past
    // the used entries whose first corners would match.
    set_plan(101, -101, {{3, -3, 3, -9}, {3, -12, 3, -15}}, {{8, -3, 8, -9}, {9, -3, 9, -9}}, 100, -100);
    viewer_state.popup_view = 1;
    build_wall_box({3, -16, 3, -18}, 0.0, wall_height, wall_boxes[2]);
    build_wall_box({9, -12, 9, -15}, 2.68, wall_height, lintel_boxes[2]);
    // A box's first corner carries s from its first face (along z) and from the
    // closing pair, which takes z only when the next used box starts at the same
    // x, else x; the last box of each list has no next. Tenths of a unit.
    const std::pair<const WallBox*, std::set<int>> corners[] = {
        {&wall_boxes[0], {-29}}, {&wall_boxes[1], {-119, 29}}, {&lintel_boxes[0], {-29, 79}}, {&lintel_boxes[1], {-29, 89}}};
    const auto polygons = capture_polygons({0, 10, -1, 5, 0, 20}, [] { draw_maze(); });
    ASSERT_FALSE(polygons.empty());
    auto at = [](const Vertex& v, const float* p) {
        return std::fabs(v.x - p[0]) < 1e-3f && std::fabs(v.y - p[1]) < 1e-3f && std::fabs(v.z - p[2]) < 1e-3f;
    };
    for (const auto& [box, s] : corners) {
        std::set<int> seen;
        for (const Polygon& polygon : polygons)
            for (const Vertex& v : polygon)
                if (at(v, box->vertices[0]) || at(v, box->vertices[1]))
                    seen.insert(int(std::lround(v.s * 10.0f)));
        EXPECT_EQ(seen, s) << "box starting at x " << box->vertices[0][0];
    }
    for (const Polygon& polygon : polygons) {  // t is the height; a lintel's underside takes the top's
        const bool underside = std::all_of(polygon.begin(), polygon.end(), [](const Vertex& v) { return std::fabs(v.y - 2.68f) < 1e-3f; });
        for (const Vertex& v : polygon)
            EXPECT_NEAR(v.t, underside ? 4.0f : v.y, 1e-4f);
    }

    // A box of edge 0.5 at (1, 1, -2) scaled (2, 3, 4): twelve triangles, s and
    // t 0 or the edge, the matrix restored. A figure: a unit cube with its
    // texture object, texturing off afterwards. A desk: table, then chair.
    float matrix[16] = {};
    GLint bound = 0;
    GLboolean texturing = GL_TRUE;
    const struct {
        double view[6];
        std::function<void()> draw;
        float edge;   // the only s and t besides 0, or -1 for any
        size_t groups;  // of twelve triangles
        std::vector<std::pair<size_t, std::vector<float>>> extents;  // of some groups
    } rows[] = {
        {{0, 5, 0, 5, -10, 10}, [] { draw_textured_box(0.5f, 2.0f, 3.0f, 4.0f, 1.0f, 1.0f, -2.0f); }, 0.5f, 1,
         {{0, {2, 3, -8, 3, 4.5f, -6}}}},
        {{50, 56, 0, 2, 0, 20}, [] { draw_figure(17.6f, 4.6f, 5); }, 1.0f, 1, {{0, {52.8f, 0.4f, -13.8f, 53.8f, 1.4f, -12.8f}}}},
        {{0, 20, -1, 4, 0, 40}, [] { draw_table(10.0f, -20.0f, 0.0f); }, -1, 5, {{0, {9.934f, 0.6f, -20, 11.254f, 0.75f, -19.1f}}}},
        {{0, 20, -1, 4, 0, 40}, [] { draw_table(10.0f, -20.0f, 180.0f); }, -1, 5, {{0, {8.746f, 0.6f, -20.9f, 10.066f, 0.75f, -20}}}},
        {{0, 20, -1, 4, 0, 40}, [] { glDisable(GL_TEXTURE_2D); draw_desk(11.5f, -18.25f, 0.0f); }, -1, 14,
         {{0, {11.434f, 0.6f, -18.25f, 12.754f, 0.75f, -17.35f}}, {9, {11.8075f, 0.45f, -17.56f, 12.1825f, 0.525f, -17.215f}}}},
    };
    for (const auto& row : rows) {
        const auto captured = capture_polygons(row.view, [&] {
            row.draw();
            glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            texturing = glIsEnabled(GL_TEXTURE_2D);
        });
        const auto extents = group_extents(captured, 12);
        ASSERT_EQ(extents.size(), row.groups);
        for (const auto& [group, extent] : row.extents)
            for (size_t a = 0; a < extent.size(); ++a)
                EXPECT_NEAR(extents[group][a], extent[a], 1e-3f) << "group " << group << ", component " << a;
        for (const Polygon& polygon : captured) {
            for (const Vertex& v : polygon)
                EXPECT_TRUE(row.edge < 0 || ((v.s == 0 || v.s == row.edge) && (v.t == 0 || v.t == row.edge))) << v.s << " " << v.t;
            const auto flat = [&](float Vertex::*axis) {  // every face lies in one of the box's planes
                return std::all_of(polygon.begin(), polygon.end(), [&](const Vertex& v) { return std::fabs(v.*axis - polygon[0].*axis) < 1e-4f; });
            };
            EXPECT_TRUE(flat(&Vertex::x) || flat(&Vertex::y) || flat(&Vertex::z)) << polygon[0].x << " " << polygon[0].y << " " << polygon[0].z;
        }
        for (int i = 0; i < 16; ++i)
            EXPECT_FLOAT_EQ(matrix[i], i % 5 == 0 ? 1.0f : 0.0f);
        EXPECT_TRUE(row.edge == 0.5f || !texturing);
        EXPECT_TRUE(row.edge != 1.0f || bound == 5) << bound;
    }
}

TEST(Maze, EveryWayOfDrawingTheBoxesGivesTheSamePicture)
{
    open_windows();
    // T junctions listed before the wall they meet (their end faces lie in its
    // sides' planes, where the box drawn first wins), a corner, two walls overlapping on one line, a diagonal,
    // a wall of no length, walls behind walls, and lintels over a door and
    // across the room, one behind another, and a short one before a long one.
    set_plan(30, -30, {{10, -20, 10, -28}, {14, -10, 14, -20}, {2, -2, 2, -20}, {2, -20, 20, -20}, {12, -5, 18, -5},
                       {15, -5, 25, -5}, {4, -4, 9, -9}, {20, -12, 20, -12}, {5, -24, 9, -24}, {3, -21, 3, -23}},
             {{2, -10, 2, -13}, {4, -14, 20, -14}, {6, -17, 12, -17}, {13, -11, 16, -11}});
    std::vector<unsigned char> stripes(16 * 16 * 3);  // a texture that shows which way s runs
    for (size_t i = 0; i < stripes.size(); ++i)
        stripes[i] = static_cast<unsigned char>((i / 3 % 16) * 16 + (i % 3) * 40 + (i / 48) * 5);
    glBindTexture(GL_TEXTURE_2D, wall_texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 16, 16, 0, GL_RGB, GL_UNSIGNED_BYTE, stripes.data());
    // With each view, the polygons of the boxes that reach the rasteriser when
    // every way of drawing is on, and when none is (culled faces and hidden
    // boxes are never sent), then the pixels the floor and the ceiling are
    // drawn over after them (of 2 x 700 x 500) and in how many draws. A
    // change of these figures is a change of the work a frame does: measure
    // it, then record it here.
    const struct {
        std::vector<float> eye, target;
        int sent, all_sent;
        long area;
        int draws;
    } views[] = {{{15, 1, -2}, {15, 1, -20}, 9, 103, 72100, 1}, {{24, 1, -6}, {2, 1, -20}, 59, 118, 268034, 71},
                 {{11, 1, -18}, {25, 1, -4}, 24, 57, 131063, 59}, {{3, 1, -19}, {20, 1, -6}, 37, 77, 271149, 70},
                 {{2.14f, 1, -16}, {-5, 1, -16}, 2, 2, 700000, 2}, {{6.5f, 1, -6.5f}, {14, 1, -18}, 73, 81, 296750, 71},
                 {{15, 3.5f, -4}, {15, 3.5f, -25}, 8, 101, 8400, 1}, {{15, 25, -10}, {15, 0, -11}, 124, 124, 700000, 2},
                 {{4, 1, -8}, {12, 1, -20}, 59, 75, 246013, 80}, {{16, 1, -26}, {12, 1, -15}, 15, 110, 153220, 78}};
    WallDrawing everything;  // every way on, walls hiding what stands behind them in a window of any size
    everything.hidden_least_pixels = 0;
    for (int textures : {1, 0})
        for (const auto& view : views) {
            viewer_state.textures_on = textures;
            wall_drawing = {false, false, false, false};
            const Picture table_order = frame(view.eye, view.target);
            wall_drawing = everything;
            const Picture drawn = frame(view.eye, view.target);
            EXPECT_TRUE(table_order.rgb == drawn.rgb) << "textures " << textures << ", eye " << view.eye[0] << " "
                                                      << view.eye[1] << " " << view.eye[2];
            const int sent = sent_polygons(view.eye, view.target);
            EXPECT_EQ(text(sent) + surface_work(), text(view.sent, view.area, view.draws))
                << "eye " << view.eye[0] << " " << view.eye[2];
            wall_drawing = {false, false, false, false};
            EXPECT_EQ(sent_polygons(view.eye, view.target), view.all_sent) << "eye " << view.eye[0] << " " << view.eye[2];
            // As the program draws: a window this small is not worth the hiding's draws.
            wall_drawing = WallDrawing{};
            EXPECT_TRUE(frame(view.eye, view.target).rgb == table_order.rgb);
            EXPECT_EQ(surface_work(), text(700000, 2)) << "eye " << view.eye[0] << " " << view.eye[2];
        }
}

namespace {

// The status strip's x, y, width and height.
std::vector<int> strip_geometry()
{
    const int current = glutGetWindow();
    glutSetWindow(window_state.status_window);
    std::vector<int> g{glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT)};
    glutSetWindow(current);
    return g;
}

// The status strip's x, y, width and height once freeglut has carried out
// what it has queued (and the callbacks that follow), or after about two
// seconds when they never become want.
std::vector<int> strip_geometry_after_events(const std::vector<int>& want)
{
    for (int i = 0, settled = 0; i < 200 && settled < 10; ++i) {
        glutMainLoopEvent();
        usleep(10000);
        settled = strip_geometry() == want ? settled + 1 : 0;
    }
    return strip_geometry();
}

} // namespace

TEST(Maze, TheWayLiesOnTheFloorWithItsArrowsOnTopAndLeavesTheStateAsFound)
{
    open_windows();
    set_plan(20, -20, {}, {});
    viewer_state.textures_on = 0;
    const Picture floor_only = frame({0.5f, 1, -5}, {4, 0, -5});  // the walking eye; the camera stays for the way
    glEnable(GL_TEXTURE_2D);
    glColor3f(0.1f, 0.2f, 0.3f);
    draw_route({{2, -5}, {8, -5}, {8, -9}}, 1.0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_TEXTURE_2D) && !glIsEnabled(GL_POLYGON_OFFSET_FILL));
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.2f);
    glDisable(GL_TEXTURE_2D);
    const Picture p = read_picture();
    GLdouble model[16], projection[16], x = 0, y = 0, z = 0;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const struct { float x, z; char seen; } rows[] = {  // y ribbon, o arrow, f bare floor
        {2.2f, -5.1f, 'y'}, {2.2f, -4.9f, 'y'}, {5.5f, -5.1f, 'y'}, {5.5f, -4.9f, 'y'},  // a band, no wedge
        {3.3f, -5.0f, 'o'}, {7.8f, -5.0f, 'o'}, {4.2f, -5.4f, 'f'},  // the arrows lie above the ribbon
    };
    for (const auto& row : rows) {
        gluProject(row.x, 0.0, row.z, model, projection, viewport, &x, &y, &z);
        const int px = int(x), py = int(y);
        const bool ribbon = p.is(px, py, 1.0f, 0.85f, 0.0f, 0.05f), arrow = p.is(px, py, 1.0f, 0.3f, 0.0f, 0.05f);
        const bool bare = grey(p, px, py) && grey(floor_only, px, py);
        EXPECT_EQ(row.seen == 'y' ? ribbon : row.seen == 'o' ? arrow : bare, true) << row.x << " " << row.z;
    }
}

TEST(Display, WalkingAndPopUpCamerasFrameTheFloor)
{
    open_windows();
    on_reshape(main_width, main_height);
    set_plan(90, -30, {}, {});
    make_plain_texture(5, 255, 255, 0);  // first portrait, world x 52.8..53.8, z -13.8..-12.8
    make_plain_texture(6, 255, 0, 255);  // second portrait, world x 73.5..74.5, z -4.5..-3.5
    const int cx = main_width / 2, cy = main_height / 2;
    const struct {
        float x, z, heading, eye;
        int yellow, magenta;  // 1 in the middle, 0 nowhere, -1 below the middle
    } rows[] = {{53.3f, -8, 0, 1, 1, 0}, {53.3f, -8, 180, 1, 0, 0}, {60, -4, 90, 1, 0, 1}, {60, -4, -90, 1, 0, 0}, {60, -4, 90, 3, 0, -1}};
    for (const auto& row : rows) {
        viewer_state.x = row.x;
        viewer_state.z = row.z;
        viewer_state.heading = row.heading;
        viewer_state.eye_height = row.eye;
        std::snprintf(window_state.status_text, sizeof window_state.status_text, "heading %g", row.heading + row.eye);
        on_display();
        EXPECT_EQ(glutGetWindow(), window_state.status_window);  // a new line: the frame ends in the strip
        EXPECT_TRUE(read_picture().is(100, 10, 0.25f, 0.25f, 0.25f, 0.01f));
        glutSetWindow(window_state.main_window);
        float light1[4] = {}, light2[4] = {};  // lights 1 and 2 hang fixed in the building
        glGetLightfv(GL_LIGHT1, GL_POSITION, light1);
        glGetLightfv(GL_LIGHT2, GL_POSITION, light2);
        if (row.heading == 0) {
            EXPECT_NEAR(light1[0] * 10 + light1[1], -533.0f + 2.2f, 1e-3f);
            EXPECT_NEAR(light2[0] * 10 + light2[2], -143.0f - 0.1f, 1e-3f);
        }
        const Picture p = read_picture();
        const Spot yellow = find(p, only<3>), magenta = find(p, only<5>);
        for (const auto& [want, spot] : {std::pair{row.yellow, yellow}, std::pair{row.magenta, magenta}}) {
            EXPECT_EQ(spot.count > 0, want != 0) << row.heading;
            EXPECT_TRUE(want != 1 || (std::fabs(spot.x - cx) < 30 && std::fabs(spot.y - cy) < 30)) << row.heading;
            EXPECT_TRUE(want != -1 || spot.y < cy - 20) << spot.y;
        }
    }
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    on_display();  // the same line as the frame before: its second drawing, for a strip just resized
    on_display();  // then X keeps it, and the strip is not drawn again
    EXPECT_EQ(glutGetWindow(), window_state.main_window);

    // From above the far corner, the marker 0.1 plan units past (15, 5) lies
    // left of the middle; turned by 90 degrees it swings below it.
    set_plan(60, -60, {}, {});
    make_plain_texture(7, 0, 255, 255);
    viewer_state.popup_view = 1;
    viewer_state.popup_eye_height = 25.0f;
    viewer_state.plan_x = 14.9f;
    viewer_state.plan_y = 4.9f;
    for (float angle : {0.0f, 90.0f}) {
        viewer_state.popup_angle = angle;
        on_display();
        glutSetWindow(window_state.main_window);
        const Picture p = read_picture();
        const Spot marker = find(p, only<6>);
        ASSERT_GT(marker.count, 0);
        EXPECT_TRUE(angle == 0 ? marker.x < cx - 100 && std::fabs(marker.y - cy) < 60
                               : std::fabs(marker.x - cx) < 60 && marker.y < cy - 50) << marker.x << ", " << marker.y;
        EXPECT_TRUE(background(p, cx, main_height - 5) && !background(p, cx, cy));  // no ceiling
    }
    viewer_state.popup_view = 0;
}

TEST(Display, ReshapeSetsTheProjectionAndTheStrip)
{
    open_windows();
    const struct {
        int width, height;
        float aspect;  // 0 for a 5 x 3 window, whose matrix need only be finite
        std::vector<int> strip;
    } rows[] = {{800, 600, 800.0f / 600, {5, 5, 790, 60}},
                {700, 0, 700.0f, {5, 5, 690, 1}},  // no height: no division by zero, no empty strip
                {5, 3, 0, {5, 5, 1, 1}}};
    for (const auto& row : rows) {
        on_reshape(row.width, row.height);
        EXPECT_EQ(window_state.width, row.width);
        EXPECT_EQ(glutGetWindow(), window_state.main_window);
        float projection[16] = {};
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        EXPECT_TRUE(std::all_of(projection, projection + 16, [](float m) { return std::isfinite(m); }));
        if (row.aspect > 0) {
            EXPECT_NEAR(projection[5] / projection[0], row.aspect, 1e-3f);
            GLint viewport[4] = {}, mode = 0;
            glGetIntegerv(GL_VIEWPORT, viewport);
            EXPECT_EQ(viewport[3], row.height);
            glGetIntegerv(GL_MATRIX_MODE, &mode);
            EXPECT_EQ(mode, GL_MODELVIEW);
        }
        EXPECT_EQ(strip_geometry_after_events(row.strip), row.strip) << row.width << " x " << row.height;
        if (row.width == 800) {  // the strip's line follows: x -0.4236, y 0.1333 of 790 x 60
            std::snprintf(window_state.status_text, sizeof window_state.status_text, "%s", "You are in the corridor");
            on_status_display();  // Mesa resizes the strip's buffers at this swap:
            on_status_display();  // the second frame is the one to read back
            const Spot text = find(read_picture(), white);
            EXPECT_NEAR(text.left, (1.0 - 0.42362) / 2.0 * 790.0, 3.0);
            EXPECT_NEAR(text.bottom, (1.0 + 800.0 * 0.1 / 600.0) / 2.0 * 60.0, 2.0);
            glutSetWindow(window_state.main_window);
        }
    }
    on_reshape(main_width, main_height);
    EXPECT_EQ(strip_geometry_after_events({5, 5, 690, 50}), (std::vector<int>{5, 5, 690, 50}));
}

// Panel text in DejaVu Sans: each line runs rightwards from its start over
// the width it is measured at, each glyph whole (an H as heavy on the right
// and at the bottom as on the left and at the top); characters the font
// pictures do not hold are shown as "?".
TEST(ScreenText, LinesRunRightwardsOverTheirWidthWithWholeGlyphs)
{
    open_windows();
    glutSetWindow(window_state.main_window);
    const int x = 100, y = 200;
    const struct {
        std::string line;
        TextSize size;
    } rows[] = {{"H", TextSize::large}, {"Room 304", TextSize::normal}, {"You have arrived", TextSize::large}};
    for (const auto& row : rows) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        begin_pixel_drawing(main_width, main_height);
        draw_screen_text(x, y, row.line, row.size);
        end_pixel_drawing();
        const Picture p = read_picture();
        const Spot ink = find(p, [](const Picture& q, int i, int j) { return q.red(i, j) > 0.5f; });
        const int width = screen_text_width(row.line, row.size);
        ASSERT_GT(ink.count, 0) << row.line;
        EXPECT_GE(ink.left, x - 2) << row.line;
        EXPECT_LE(ink.right, x + width + 2) << row.line;
        EXPECT_GE(ink.right - ink.left, 0.7 * width) << row.line;
        if (row.line == "H") {
            const double middle_x = (ink.left + ink.right) / 2, middle_y = ink.y;  // an H is level about its mean row
            const Spot right = find(p, [&](const Picture& q, int i, int j) { return q.red(i, j) > 0.5f && i > middle_x; });
            const Spot top = find(p, [&](const Picture& q, int i, int j) { return q.red(i, j) > 0.5f && j > middle_y; });
            EXPECT_NEAR(right.count, ink.count / 2.0, ink.count * 0.1);
            EXPECT_NEAR(top.count, ink.count / 2.0, ink.count * 0.1);
        }
    }
    EXPECT_EQ(screen_text_width("\xf0\x9f\x99\x82\x01", TextSize::normal), screen_text_width("??", TextSize::normal));
}
