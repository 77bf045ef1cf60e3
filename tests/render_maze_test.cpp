// render_maze_test.cpp -- the building drawn into a real window: walls,
// floor, ceiling, background, pop-up and help cases, desks and portraits; and
// texture coordinates and boxes, read back through feedback.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

#include "app/viewer.h"
#include "plan/walls.h"
#include "render/maze.h"
#include "render/world.h"
#include "render_gl_harness.h"

using namespace render_test;

namespace {

// Gives every vertex of a box the wall colour, as the wall builder does.
void paint_blue(WallBox& box)
{
    for (float* colour : box.colours)
        colour_table.fill_rgba("Blue", 1.0f, colour);
}

// Replaces the loaded plan by a floor rectangle and the given walls and
// lintels, with their boxes built; no tables.
void set_plan(float x1, float z1, float x2, float z2, const std::vector<WallSegment>& walls,
              const std::vector<WallSegment>& lintels)
{
    floor_plan.floor_x1 = x1;
    floor_plan.floor_z1 = z1;
    floor_plan.floor_x2 = x2;
    floor_plan.floor_z2 = z2;
    floor_plan.wall_count = int(walls.size());
    floor_plan.table_wall_count = 0;
    for (size_t i = 0; i < walls.size(); ++i) {
        floor_plan.walls[i] = walls[i];
        build_wall_box(walls[i], 0.0, wall_height, wall_boxes[i]);
        paint_blue(wall_boxes[i]);
    }
    floor_plan.lintel_count = int(lintels.size());
    for (size_t i = 0; i < lintels.size(); ++i) {
        floor_plan.lintels[i] = lintels[i];
        build_wall_box(lintels[i], lintel_bottom_ratio * wall_height, wall_height, lintel_boxes[i]);
        paint_blue(lintel_boxes[i]);
    }
    floor_plan.table_count = 0;
}

// Resets the mode switches to their start values.
void reset_modes()
{
    viewer_state.textures_on = 1;
    viewer_state.popup_view = 0;
    viewer_state.help_shown = 0;
    tables_turned = 0;
}

// One frame as the display callback draws it, seen from eye towards target,
// with the frame's lights 1 and 2; leaves the picture in the back buffer.
void draw_frame(const float eye[3], const float target[3], const float up[3])
{
    glutSetWindow(window_state.main_window);
    set_projection(main_width, main_height);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
    glPushMatrix();
    place_lights_1_and_2();
    draw_maze();
    glPopMatrix();
}

// Points of the walking picture used below, 700 x 500 window pixels.
constexpr int wall_x = 350, wall_y = 300;        // middle of the wall ahead
constexpr int floor_x = 350, floor_y = 60;       // floor near the visitor
constexpr int ceiling_x = 350, ceiling_y = 470;  // ceiling above the wall
constexpr int gap_x = 40, gap_y = 260;           // horizon beyond the floor's edge

// Looks along -z at a wall from (25, -20) to (35, -20) on a 60 x 60 floor.
void draw_wall_scene()
{
    set_plan(0, 0, 60, -60, {{25, -20, 35, -20}}, {});
    const float eye[3] = {30, 1, -10}, target[3] = {30, 1, -20}, up[3] = {0, 1, 0};
    draw_frame(eye, target, up);
}

// Looks straight down from a point just under the ceiling onto (x, z).
void draw_looking_down_at(float x, float z)
{
    const float eye[3] = {x, 3.0f, z}, target[3] = {x, 0.0f, z}, up[3] = {0, 0, -1};
    draw_frame(eye, target, up);
}

bool is_blue(const Picture& p, int x, int y) { return p.blue(x, y) > 0.8f && p.red(x, y) < 0.6f && p.green(x, y) < 0.6f; }
bool is_grey(const Picture& p, int x, int y)
{
    return std::fabs(p.red(x, y) - p.green(x, y)) < 0.03f && std::fabs(p.green(x, y) - p.blue(x, y)) < 0.03f;
}
bool is_background(const Picture& p, int x, int y) { return p.is(x, y, 0.0f, 0.05f, 0.0f, 0.01f); }

int count_pixels(const Picture& p, bool (*test)(const Picture&, int, int))
{
    int n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            n += test(p, x, y) ? 1 : 0;
    return n;
}

} // namespace

TEST(MazeDrawing, WallsFloorCeilingAndBackground)
{
    open_windows();
    reset_modes();
    viewer_state.textures_on = 0;
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    draw_wall_scene();  // the first frame sets the clear colour for the next
    draw_wall_scene();
    const Picture p = read_picture();
    ASSERT_EQ(p.width, main_width);
    EXPECT_TRUE(is_blue(p, wall_x, wall_y));
    EXPECT_TRUE(is_grey(p, floor_x, floor_y));
    EXPECT_GT(p.red(floor_x, floor_y), 0.3f);
    EXPECT_TRUE(is_grey(p, ceiling_x, ceiling_y));
    EXPECT_GT(p.red(ceiling_x, ceiling_y), 0.3f);
    EXPECT_TRUE(is_background(p, gap_x, gap_y));
}

TEST(MazeDrawing, TexturedWallsUseTextureObject4AndLeaveTheFloorPlain)
{
    open_windows();
    reset_modes();
    make_plain_texture(4, 0, 255, 255);  // cyan
    viewer_state.textures_on = 1;
    draw_wall_scene();
    const Picture p = read_picture();
    EXPECT_LT(p.red(wall_x, wall_y), 0.05f);
    EXPECT_GT(p.green(wall_x, wall_y), 0.3f);
    EXPECT_NEAR(p.green(wall_x, wall_y), p.blue(wall_x, wall_y), 0.03f);
    EXPECT_TRUE(is_grey(p, floor_x, floor_y));
    EXPECT_TRUE(is_grey(p, ceiling_x, ceiling_y));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST(MazeDrawing, PopUpViewDrawsNoCeilingAndHelpReplacesTheBuilding)
{
    open_windows();
    reset_modes();
    viewer_state.textures_on = 0;
    viewer_state.popup_view = 1;
    draw_wall_scene();
    Picture p = read_picture();
    EXPECT_TRUE(is_blue(p, wall_x, wall_y));
    EXPECT_TRUE(is_grey(p, floor_x, floor_y));
    EXPECT_TRUE(is_background(p, ceiling_x, ceiling_y));

    // The help page alone: no lighting set-up, no building.
    viewer_state.popup_view = 0;
    viewer_state.help_shown = 1;
    glClearColor(0.0f, 0.05f, 0.0f, 0.0f);
    draw_wall_scene();
    p = read_picture();
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    draw_maze();
    float clear_colour[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear_colour);
    EXPECT_EQ(clear_colour[0], 1.0f);
    EXPECT_EQ(count_pixels(p, is_blue), 0);
    const int text_pixels = p.width * p.height - count_pixels(p, is_background);
    EXPECT_GT(text_pixels, 500);
    EXPECT_LT(text_pixels, p.width * p.height / 10);
}

TEST(MazeDrawing, DeskKTakesTextureObjectKAndTurnedDesksSwapSides)
{
    open_windows();
    reset_modes();
    make_plain_texture(1, 255, 0, 0);    // red
    make_plain_texture(2, 0, 255, 0);    // green
    viewer_state.textures_on = 0;        // desks and figures are textured all the same
    set_plan(0, 0, 60, -60, {}, {});
    floor_plan.table_count = 2;
    floor_plan.tables[0] = {25.0f, -14.0f, 0};
    floor_plan.tables[1] = {40.0f, -40.0f, 2};
    const int cx = main_width / 2, cy = main_height / 2;

    // The middle of each table top, where the desk stands upright.
    draw_looking_down_at(25.594f, -13.55f);
    Picture p = read_picture();
    EXPECT_GT(p.red(cx, cy), 0.3f);
    EXPECT_LT(p.green(cx, cy) + p.blue(cx, cy), 0.05f);
    draw_looking_down_at(40.594f, -39.55f);
    p = read_picture();
    EXPECT_GT(p.green(cx, cy), 0.3f);
    EXPECT_LT(p.red(cx, cy) + p.blue(cx, cy), 0.05f);

    // Turned desks lie on the other side of their anchor in x and z.
    tables_turned = 1;
    draw_looking_down_at(25.594f, -13.55f);
    p = read_picture();
    EXPECT_TRUE(is_grey(p, cx, cy));  // bare floor now
    draw_looking_down_at(24.406f, -14.45f);
    p = read_picture();
    EXPECT_GT(p.red(cx, cy), 0.3f);
    EXPECT_LT(p.green(cx, cy) + p.blue(cx, cy), 0.05f);
}

namespace {

bool same_position(const CapturedVertex& v, const float* p)
{
    return std::fabs(v.x - p[0]) < 1e-3f && std::fabs(v.y - p[1]) < 1e-3f && std::fabs(v.z - p[2]) < 1e-3f;
}

} // namespace

TEST(MazeTextureCoordinates, ClosingPairLooksAheadOnlyIntoUsedBoxes)
{
    open_windows();
    reset_modes();
    viewer_state.popup_view = 1;  // walls, lintels and floor only
    // The floor lies outside the captured view; the walls and lintels inside it.
    set_plan(100, -100, 101, -101, {{3, -3, 3, -9}, {3, -12, 3, -15}}, {{8, -3, 8, -9}, {9, -3, 9, -9}});
    // Stale boxes past the used entries whose first corners would match.
    build_wall_box({3, -16, 3, -18}, 0.0, wall_height, wall_boxes[2]);
    build_wall_box({9, -12, 9, -15}, 2.68, wall_height, lintel_boxes[2]);

    // A box's first corner carries s twice: from its first face, which runs
    // along z, and from the closing pair, which takes z only when the next
    // used box starts at the same x, else x. The last box of each list has no
    // next box. Tenths of a unit.
    const struct {
        const WallBox* box;
        std::set<int> s;
    } corners[] = {{&wall_boxes[0], {-29}},
                   {&wall_boxes[1], {-119, 29}},
                   {&lintel_boxes[0], {-29, 79}},
                   {&lintel_boxes[1], {-29, 89}}};
    const auto polygons = capture_polygons({0.0, 10.0, -1.0, 5.0, 0.0, 20.0}, [] { draw_maze(); });
    ASSERT_FALSE(polygons.empty());
    for (const auto& corner : corners) {
        std::set<int> seen;
        for (const CapturedPolygon& polygon : polygons)
            for (const CapturedVertex& v : polygon)
                if (same_position(v, corner.box->vertices[0]) || same_position(v, corner.box->vertices[1]))
                    seen.insert(int(std::lround(v.s * 10.0f)));
        EXPECT_EQ(seen, corner.s) << "box starting at x " << corner.box->vertices[0][0];
    }
    // t is the height on the sides; a lintel's underside carries the t of its
    // strip's last vertex, the top.
    for (const CapturedPolygon& polygon : polygons) {
        bool underside = true;
        for (const CapturedVertex& v : polygon)
            underside = underside && std::fabs(v.y - 2.68f) < 1e-3f;
        for (const CapturedVertex& v : polygon)
            EXPECT_NEAR(v.t, underside ? 4.0f : v.y, 1e-4f);
    }
}

TEST(BoxPrimitives, TexturedBoxAndFigureSpanTheirBoxesWithTheirTextures)
{
    open_windows();
    // A box of edge 0.5 at offset (1, 1, -2), scaled by (2, 3, 4): six faces of
    // two triangles, texture coordinates 0 or the edge, the matrix restored.
    float matrix_after[16] = {};
    auto polygons = capture_polygons({0.0, 5.0, 0.0, 5.0, -10.0, 10.0}, [&] {
        draw_textured_box(0.5f, 2.0f, 3.0f, 4.0f, 1.0f, 1.0f, -2.0f);
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix_after);
    });
    auto extents = group_extents(polygons, 12);
    ASSERT_EQ(extents.size(), 1u);
    const float box[3][2] = {{2.0f, 3.0f}, {3.0f, 4.5f}, {-8.0f, -6.0f}};
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(extents[0].min[a], box[a][0], 1e-3f) << "axis " << a;
        EXPECT_NEAR(extents[0].max[a], box[a][1], 1e-3f) << "axis " << a;
    }
    int triangles = 0;
    for (const CapturedPolygon& polygon : polygons) {
        triangles += triangle_count(polygon);
        for (const CapturedVertex& v : polygon) {
            EXPECT_TRUE(v.s == 0.0f || v.s == 0.5f) << v.s;
            EXPECT_TRUE(v.t == 0.0f || v.t == 0.5f) << v.t;
        }
    }
    EXPECT_EQ(triangles, 12);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(matrix_after[i], i % 5 == 0 ? 1.0f : 0.0f);

    // A figure is a unit cube at its plan point, texture coordinates 0 or 1,
    // drawn with the texture object it names; texturing is off afterwards.
    GLint bound = 0;
    GLboolean texturing_after = GL_TRUE;
    polygons = capture_polygons({50.0, 56.0, 0.0, 2.0, 0.0, 20.0}, [&] {
        draw_figure(17.6f, 4.6f, 5);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        texturing_after = glIsEnabled(GL_TEXTURE_2D);
    });
    extents = group_extents(polygons, 12);
    ASSERT_EQ(extents.size(), 1u);
    const float cube[3][2] = {{52.8f, 53.8f}, {0.4f, 1.4f}, {-13.8f, -12.8f}};
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(extents[0].min[a], cube[a][0], 1e-3f) << "axis " << a;
        EXPECT_NEAR(extents[0].max[a], cube[a][1], 1e-3f) << "axis " << a;
    }
    for (const CapturedPolygon& polygon : polygons)
        for (const CapturedVertex& v : polygon)
            EXPECT_TRUE((v.s == 0.0f || v.s == 1.0f) && (v.t == 0.0f || v.t == 1.0f));
    EXPECT_EQ(bound, 5);
    EXPECT_FALSE(texturing_after);
}
