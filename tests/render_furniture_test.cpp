// render_furniture_test.cpp -- desk geometry: every piece of the table and the
// chair, in drawing order, at both turn angles, read back through feedback.
#include <gtest/gtest.h>

#include "render/furniture.h"
#include "render_gl_harness.h"

using namespace render_test;

namespace {

constexpr int triangles_per_box = 12;  // six quads
constexpr float tolerance = 1e-4f;

// A piece's extent in the desk frame: x, y and z ranges.
struct LocalExtent {
    float x0, x1, y0, y1, z0, z1;
};

const LocalExtent table_extents[] = {
    {-0.22f, 4.18f, 0.0f, 0.5f, 0.0f, 3.0f},    // top
    {0.08f, 0.48f, -2.0f, 0.0f, 0.0f, 0.4f},    // legs
    {3.52f, 3.92f, -2.0f, 0.0f, 0.0f, 0.4f},
    {0.08f, 0.48f, -2.0f, 0.0f, 2.56f, 2.96f},
    {3.52f, 3.92f, -2.0f, 0.0f, 2.56f, 2.96f},
};

const LocalExtent chair_extents[] = {
    {2.16f, 2.36f, -0.52f, 1.48f, 3.24f, 3.44f},        // back post
    {1.16f, 2.16f, 1.28f, 1.48f, 3.24f, 3.44f},         // back rail
    {0.96f, 1.16f, -0.52f, 1.48f, 3.24f, 3.44f},        // back post
    {1.56f, 1.76f, -0.26775f, 1.30725f, 3.24f, 3.44f},  // back slat
    {1.025f, 2.275f, -0.5f, -0.25f, 2.3f, 3.45f},       // seat
    {2.16f, 2.36f, -1.89f, -0.54f, 2.28f, 2.48f},       // legs
    {0.96f, 1.16f, -1.89f, -0.54f, 2.28f, 2.48f},
    {2.16f, 2.36f, -1.89f, -0.54f, 3.24f, 3.44f},
    {0.96f, 1.16f, -1.89f, -0.54f, 3.24f, 3.44f},
};

// A view box that holds any desk near (10, -20).
const ViewBox desk_box = {0.0, 20.0, -1.0, 4.0, 0.0, 40.0};

// Expects the world extent of a piece of a desk at (x, z): one desk unit is
// 0.3 world units, the frame origin is 0.6 up, and a turn of 180 degrees
// mirrors x and z about the origin.
void expect_piece(const Extent& got, const LocalExtent& local, float x, float z, bool turned, const char* what, int index)
{
    SCOPED_TRACE(::testing::Message() << what << " piece " << index << (turned ? " turned" : ""));
    const float sign = turned ? -1.0f : 1.0f;
    const float xa = x + sign * 0.3f * local.x0, xb = x + sign * 0.3f * local.x1;
    const float za = z + sign * 0.3f * local.z0, zb = z + sign * 0.3f * local.z1;
    EXPECT_NEAR(got.min[0], std::fmin(xa, xb), tolerance);
    EXPECT_NEAR(got.max[0], std::fmax(xa, xb), tolerance);
    EXPECT_NEAR(got.min[1], 0.6f + 0.3f * local.y0, tolerance);
    EXPECT_NEAR(got.max[1], 0.6f + 0.3f * local.y1, tolerance);
    EXPECT_NEAR(got.min[2], std::fmin(za, zb), tolerance);
    EXPECT_NEAR(got.max[2], std::fmax(za, zb), tolerance);
}

} // namespace

TEST(Furniture, TableTopExtentsAtBothAngles)
{
    open_windows();
    const auto upright = group_extents(capture_polygons(desk_box, [] { draw_table(10.0f, -20.0f, 0.0f); }), triangles_per_box);
    ASSERT_EQ(upright.size(), 5u);
    EXPECT_NEAR(upright[0].min[0], 9.934f, tolerance);
    EXPECT_NEAR(upright[0].max[0], 11.254f, tolerance);
    EXPECT_NEAR(upright[0].min[1], 0.6f, tolerance);
    EXPECT_NEAR(upright[0].max[1], 0.75f, tolerance);
    EXPECT_NEAR(upright[0].min[2], -20.0f, tolerance);
    EXPECT_NEAR(upright[0].max[2], -19.1f, tolerance);

    const auto turned = group_extents(capture_polygons(desk_box, [] { draw_table(10.0f, -20.0f, 180.0f); }), triangles_per_box);
    ASSERT_EQ(turned.size(), 5u);
    EXPECT_NEAR(turned[0].min[0], 8.746f, tolerance);
    EXPECT_NEAR(turned[0].max[0], 10.066f, tolerance);
    EXPECT_NEAR(turned[0].min[1], 0.6f, tolerance);
    EXPECT_NEAR(turned[0].max[1], 0.75f, tolerance);
    EXPECT_NEAR(turned[0].min[2], -20.9f, tolerance);
    EXPECT_NEAR(turned[0].max[2], -20.0f, tolerance);
}

TEST(Furniture, DeskDrawsTableThenChairPieceByPiece)
{
    open_windows();
    for (const bool turned : {false, true}) {
        const float angle = turned ? 180.0f : 0.0f;
        bool texturing_after = true;
        float matrix_after[16] = {};
        const auto pieces = group_extents(capture_polygons(desk_box,
                                                           [&] {
                                                               glDisable(GL_TEXTURE_2D);
                                                               draw_desk(11.5f, -18.25f, angle);
                                                               texturing_after = glIsEnabled(GL_TEXTURE_2D);
                                                               glGetFloatv(GL_MODELVIEW_MATRIX, matrix_after);
                                                           }),
                                          triangles_per_box);
        ASSERT_EQ(pieces.size(), 14u);
        for (int i = 0; i < 5; ++i)
            expect_piece(pieces[i], table_extents[i], 11.5f, -18.25f, turned, "table", i);
        for (int i = 0; i < 9; ++i)
            expect_piece(pieces[5 + i], chair_extents[i], 11.5f, -18.25f, turned, "chair", i);
        // The desk leaves texturing to its caller and the matrix as it found it.
        EXPECT_FALSE(texturing_after);
        for (int i = 0; i < 16; ++i)
            EXPECT_FLOAT_EQ(matrix_after[i], i % 5 == 0 ? 1.0f : 0.0f);
    }
}
