// render_furniture_test.cpp -- desk geometry read back through feedback: the
// table top at both turn angles, the chair behind it, and the state left.
#include <gtest/gtest.h>

#include "render/furniture.h"
#include "render_gl_harness.h"

using namespace render_test;

namespace {

constexpr int triangles_per_box = 12;  // six quads
constexpr float tolerance = 1e-4f;

// A view box that holds any desk near (10, -20).
const ViewBox desk_box = {0.0, 20.0, -1.0, 4.0, 0.0, 40.0};

void expect_extent(const Extent& got, float x0, float x1, float y0, float y1, float z0, float z1)
{
    EXPECT_NEAR(got.min[0], x0, tolerance);
    EXPECT_NEAR(got.max[0], x1, tolerance);
    EXPECT_NEAR(got.min[1], y0, tolerance);
    EXPECT_NEAR(got.max[1], y1, tolerance);
    EXPECT_NEAR(got.min[2], z0, tolerance);
    EXPECT_NEAR(got.max[2], z1, tolerance);
}

} // namespace

TEST(Furniture, TableTopExtentsAtBothAngles)
{
    open_windows();
    const auto upright = group_extents(capture_polygons(desk_box, [] { draw_table(10.0f, -20.0f, 0.0f); }), triangles_per_box);
    ASSERT_EQ(upright.size(), 5u);  // top and four legs
    expect_extent(upright[0], 9.934f, 11.254f, 0.6f, 0.75f, -20.0f, -19.1f);
    // A turn of 180 degrees mirrors x and z about the anchor.
    const auto turned = group_extents(capture_polygons(desk_box, [] { draw_table(10.0f, -20.0f, 180.0f); }), triangles_per_box);
    ASSERT_EQ(turned.size(), 5u);
    expect_extent(turned[0], 8.746f, 10.066f, 0.6f, 0.75f, -20.9f, -20.0f);
}

TEST(Furniture, DeskIsTableThenChairAndLeavesTheStateAsFound)
{
    open_windows();
    bool texturing_after = true;
    float matrix_after[16] = {};
    const auto pieces = group_extents(capture_polygons(desk_box,
                                                       [&] {
                                                           glDisable(GL_TEXTURE_2D);
                                                           draw_desk(11.5f, -18.25f, 0.0f);
                                                           texturing_after = glIsEnabled(GL_TEXTURE_2D);
                                                           glGetFloatv(GL_MODELVIEW_MATRIX, matrix_after);
                                                       }),
                                      triangles_per_box);
    ASSERT_EQ(pieces.size(), 14u);  // five table pieces, nine chair pieces
    // The table top first, then the chair's seat (piece 5 of the chair) behind it.
    expect_extent(pieces[0], 11.434f, 12.754f, 0.6f, 0.75f, -18.25f, -17.35f);
    expect_extent(pieces[9], 11.8075f, 12.1825f, 0.45f, 0.525f, -17.56f, -17.215f);
    EXPECT_FALSE(texturing_after);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(matrix_after[i], i % 5 == 0 ? 1.0f : 0.0f);
}
