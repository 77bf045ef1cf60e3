// render_maze_test.cpp -- the building drawn into a real window: walls,
// floor, ceiling, background, pop-up and help cases, desks and portraits; and
// the texture coordinates and box faces, read back through feedback.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cstdio>
#include <vector>

#include "app/viewer.h"
#include "plan/walls.h"
#include "render/maze.h"
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
    glViewport(0, 0, main_width, main_height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, double(main_width) / main_height, 0.05, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
    glPushMatrix();
    glLightfv(GL_LIGHT1, GL_AMBIENT, light1_ambient);
    glLightfv(GL_LIGHT1, GL_POSITION, light1_position);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, light2_diffuse);
    glLightfv(GL_LIGHT2, GL_POSITION, light2_position);
    glEnable(GL_LIGHT2);
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

TEST(MazeDrawing, DeskKTakesTextureObjectKAndPortraitsTake5And6)
{
    open_windows();
    reset_modes();
    make_plain_texture(1, 255, 0, 0);    // red
    make_plain_texture(2, 0, 255, 0);    // green
    make_plain_texture(5, 255, 255, 0);  // yellow
    make_plain_texture(6, 255, 0, 255);  // magenta
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

    // Portraits at plan (17.6, 4.6) and (24.5, 1.5).
    draw_looking_down_at(53.3f, -13.3f);
    p = read_picture();
    EXPECT_GT(p.red(cx, cy), 0.3f);
    EXPECT_NEAR(p.red(cx, cy), p.green(cx, cy), 0.03f);
    EXPECT_LT(p.blue(cx, cy), 0.05f);
    draw_looking_down_at(74.0f, -4.0f);
    p = read_picture();
    EXPECT_GT(p.red(cx, cy), 0.3f);
    EXPECT_NEAR(p.red(cx, cy), p.blue(cx, cy), 0.03f);
    EXPECT_LT(p.green(cx, cy), 0.05f);
}

namespace {

constexpr float position_tolerance = 1e-3f;

bool same_position(const CapturedVertex& v, float x, float y, float z)
{
    return std::fabs(v.x - x) < position_tolerance && std::fabs(v.y - y) < position_tolerance &&
           std::fabs(v.z - z) < position_tolerance;
}

// Strip vertices k to k + 3 of a box (one face), each with the s it must carry.
struct ExpectedFace {
    const WallBox* box;
    int first;          // 0, 2, 4 or 6
    const float* s;     // s of the box's ten vertices
    int triangles = 0;  // captured so far
};

// Index of the vertex among the face's four with v's position, or -1.
int corner_of(const ExpectedFace& face, const CapturedVertex& v)
{
    for (int k = face.first; k < face.first + 4; ++k) {
        const float* p = face.box->vertices[k];
        if (same_position(v, p[0], p[1], p[2]))
            return k;
    }
    return -1;
}

} // namespace

TEST(MazeTextureCoordinates, SFollowsTheFaceDirectionAndLooksAheadOnlyIntoUsedBoxes)
{
    open_windows();
    reset_modes();
    viewer_state.popup_view = 1;  // walls, lintels and floor only
    // The floor lies outside the captured view; the walls and lintels inside it.
    set_plan(100, -100, 101, -101, {{3, -3, 3, -9}, {3, -12, 3, -15}}, {{8, -3, 8, -9}, {9, -3, 9, -9}});
    // Stale boxes past the used entries whose first corners would match.
    build_wall_box({3, -16, 3, -18}, 0.0, wall_height, wall_boxes[2]);
    build_wall_box({9, -12, 9, -15}, 2.68, wall_height, lintel_boxes[2]);

    // A pair takes z when the face from its corner runs along z, else x. The
    // closing pair looks into the next box: the first wall's next box starts
    // at the same x (z), the first lintel's does not (x); the last box of
    // each list has no next box (x).
    const float wall0[10] = {-2.9f, -2.9f, 2.9f, 2.9f, -9.1f, -9.1f, 3.1f, 3.1f, -2.9f, -2.9f};
    const float wall1[10] = {-11.9f, -11.9f, 2.9f, 2.9f, -15.1f, -15.1f, 3.1f, 3.1f, 2.9f, 2.9f};
    const float lintel0[10] = {-2.9f, -2.9f, 7.9f, 7.9f, -9.1f, -9.1f, 8.1f, 8.1f, 7.9f, 7.9f};
    const float lintel1[10] = {-2.9f, -2.9f, 8.9f, 8.9f, -9.1f, -9.1f, 9.1f, 9.1f, 8.9f, 8.9f};
    std::vector<ExpectedFace> faces;
    for (int f = 0; f < 4; ++f) {
        faces.push_back({&wall_boxes[0], 2 * f, wall0});
        faces.push_back({&wall_boxes[1], 2 * f, wall1});
        faces.push_back({&lintel_boxes[0], 2 * f, lintel0});
        faces.push_back({&lintel_boxes[1], 2 * f, lintel1});
    }
    const float underside_s[2] = {lintel0[9], lintel1[9]};
    int underside_triangles[2] = {0, 0};

    const auto polygons = capture_polygons({0.0, 10.0, -1.0, 5.0, 0.0, 20.0}, [] { draw_maze(); });
    ASSERT_FALSE(polygons.empty());
    for (const CapturedPolygon& polygon : polygons) {
        bool underside = true;
        for (const CapturedVertex& v : polygon)
            underside = underside && std::fabs(v.y - 2.68f) < position_tolerance;
        if (underside) {
            // A lintel's underside carries the s and t of its strip's last vertex.
            const int j = polygon[0].x < 8.5f ? 0 : 1;
            for (const CapturedVertex& v : polygon) {
                EXPECT_NEAR(v.s, underside_s[j], 1e-4f) << "underside of lintel " << j;
                EXPECT_NEAR(v.t, 4.0f, 1e-4f) << "underside of lintel " << j;
            }
            underside_triangles[j] += triangle_count(polygon);
            continue;
        }
        ExpectedFace* match = nullptr;
        for (ExpectedFace& face : faces) {
            bool all = true;
            for (const CapturedVertex& v : polygon)
                all = all && corner_of(face, v) >= 0;
            if (all)
                match = &face;
        }
        ASSERT_NE(match, nullptr) << "a polygon that belongs to no face, first vertex at " << polygon[0].x << ", "
                                  << polygon[0].y << ", " << polygon[0].z;
        for (const CapturedVertex& v : polygon) {
            const int k = corner_of(*match, v);
            EXPECT_NEAR(v.s, match->s[k], 1e-4f) << "vertex " << k << " of face " << match->first / 2;
            EXPECT_NEAR(v.t, match->box->vertices[k][1], 1e-4f) << "vertex " << k;
        }
        match->triangles += triangle_count(polygon);
    }
    for (const ExpectedFace& face : faces)
        EXPECT_EQ(face.triangles, 2) << "face " << face.first / 2;
    EXPECT_EQ(underside_triangles[0], 2);
    EXPECT_EQ(underside_triangles[1], 2);
}

TEST(BoxPrimitives, TexturedBoxFacesCornersAndTextureCoordinates)
{
    open_windows();
    // Each face's corners as (s, t) and position, in units of the edge S.
    const float faces[6][4][5] = {
        {{1, 0, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 1, 1, 1, 0}, {1, 1, 0, 1, 0}},  // z = 0
        {{0, 0, 0, 0, 0}, {0, 1, 0, 0, 1}, {1, 1, 1, 0, 1}, {1, 0, 1, 0, 0}},  // y = 0
        {{0, 0, 0, 0, 0}, {0, 1, 0, 1, 0}, {1, 1, 0, 1, 1}, {1, 0, 0, 0, 1}},  // x = 0
        {{1, 1, 1, 1, 1}, {1, 0, 1, 0, 1}, {0, 0, 1, 0, 0}, {0, 1, 1, 1, 0}},  // x = S
        {{0, 1, 1, 1, 1}, {1, 1, 0, 1, 1}, {1, 0, 0, 0, 1}, {0, 0, 1, 0, 1}},  // z = S
        {{1, 0, 1, 1, 1}, {0, 0, 1, 1, 0}, {0, 1, 0, 1, 0}, {1, 1, 0, 1, 1}},  // y = S
    };
    const float size = 0.5f, scale[3] = {2.0f, 3.0f, 4.0f}, offset[3] = {1.0f, 1.0f, -2.0f};
    float matrix_after[16] = {};
    const auto polygons = capture_polygons({0.0, 5.0, 0.0, 5.0, -10.0, 10.0}, [&] {
        draw_textured_box(size, scale[0], scale[1], scale[2], offset[0], offset[1], offset[2]);
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix_after);
    });
    int face = 0, triangles = 0;
    bool seen[6][4] = {};
    for (const CapturedPolygon& polygon : polygons) {
        ASSERT_LT(face, 6);
        for (const CapturedVertex& v : polygon) {
            int corner = -1;
            for (int c = 0; c < 4; ++c) {
                const float* e = faces[face][c];
                if (same_position(v, scale[0] * (offset[0] + e[2] * size), scale[1] * (offset[1] + e[3] * size),
                                  scale[2] * (offset[2] + e[4] * size)))
                    corner = c;
            }
            ASSERT_GE(corner, 0) << "face " << face << ": vertex at " << v.x << ", " << v.y << ", " << v.z;
            EXPECT_NEAR(v.s, faces[face][corner][0] * size, 1e-5f) << "face " << face << " corner " << corner;
            EXPECT_NEAR(v.t, faces[face][corner][1] * size, 1e-5f) << "face " << face << " corner " << corner;
            seen[face][corner] = true;
        }
        triangles += triangle_count(polygon);
        if (triangles == 2) {
            ++face;
            triangles = 0;
        }
    }
    EXPECT_EQ(face, 6);
    for (int f = 0; f < 6; ++f)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(seen[f][c]) << "face " << f << " corner " << c;
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(matrix_after[i], i % 5 == 0 ? 1.0f : 0.0f);
}

TEST(BoxPrimitives, FigureIsATexturedUnitCubeAtItsPlanPoint)
{
    open_windows();
    GLint bound = 0;
    GLboolean texturing_after = GL_TRUE;
    const auto polygons = capture_polygons({50.0, 56.0, 0.0, 2.0, 0.0, 20.0}, [&] {
        draw_figure(17.6f, 4.6f, 5);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        texturing_after = glIsEnabled(GL_TEXTURE_2D);
    });
    Extent cube;
    for (const CapturedPolygon& polygon : polygons)
        for (const CapturedVertex& v : polygon) {
            cube.add(v);
            EXPECT_TRUE(v.s == 0.0f || v.s == 1.0f);
            EXPECT_TRUE(v.t == 0.0f || v.t == 1.0f);
        }
    EXPECT_NEAR(cube.min[0], 52.8f, 1e-3f);
    EXPECT_NEAR(cube.max[0], 53.8f, 1e-3f);
    EXPECT_NEAR(cube.min[1], 0.4f, 1e-3f);
    EXPECT_NEAR(cube.max[1], 1.4f, 1e-3f);
    EXPECT_NEAR(cube.min[2], -13.8f, 1e-3f);
    EXPECT_NEAR(cube.max[2], -12.8f, 1e-3f);
    EXPECT_EQ(bound, 5);
    EXPECT_FALSE(texturing_after);
}
