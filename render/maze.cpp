// maze.cpp -- drawing the building every frame (walls, lintels, floor,
// ceiling, desks, portraits) and the textured box primitives.
#include "render/maze.h"

#include <GL/gl.h>  // Required for: glBegin(), glVertex3fv(), glTexCoord2f(), glMaterialfv()

#include "common/state.h"
#include "render/help_page.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"
#include "common/colour_table.h"
#include "render/furniture.h"
#include "render/wall_batch.h"
#include "render/world.h"

namespace {

constexpr float desk_turned_angle = 180.0f;
constexpr float figure_lift = 0.4f;       // a figure floats this far above the floor

// Floor and ceiling colour, refilled every frame.
float floor_colour[4];

// Keeps a count read from the plan inside the array it counts.
int clamped_count(int count, int capacity)
{
    if (count < 0)
        return 0;
    return count < capacity ? count : capacity;
}

// The floor rectangle at height y, in the floor colour on both sides.
void draw_floor_rectangle(float y)
{
    const FloorPlan& plan = floor_plan;
    glBegin(GL_POLYGON);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, floor_colour);
    glVertex3f(plan.floor_x1, y, plan.floor_z1);
    glVertex3f(plan.floor_x2, y, plan.floor_z1);
    glVertex3f(plan.floor_x2, y, plan.floor_z2);
    glVertex3f(plan.floor_x1, y, plan.floor_z2);
    glVertex3f(plan.floor_x1, y, plan.floor_z1);
    glEnd();
}

// Desk k (from 1) with texture object k, textured whatever the wall switch says.
void draw_desks()
{
    const int count = clamped_count(floor_plan.table_count, max_tables);
    const float angle = tables_turned == 1 ? desk_turned_angle : 0.0f;
    for (int k = 1; k <= count; ++k) {
        const TablePlacement& table = floor_plan.tables[k - 1];
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(k));
        draw_desk(table.x, table.z, angle);
        glDisable(GL_TEXTURE_2D);
    }
}

// One face of a textured box: four (s, t, x, y, z) corners in units of the edge.
struct BoxFace {
    float corners[4][5];
};

// The six faces of the cube, each corner as texture (s, t) then position.
const BoxFace box_faces[6] = {
    {{{1, 0, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 1, 1, 1, 0}, {1, 1, 0, 1, 0}}}, // z = 0
    {{{0, 0, 0, 0, 0}, {0, 1, 0, 0, 1}, {1, 1, 1, 0, 1}, {1, 0, 1, 0, 0}}}, // y = 0
    {{{0, 0, 0, 0, 0}, {0, 1, 0, 1, 0}, {1, 1, 0, 1, 1}, {1, 0, 0, 0, 1}}}, // x = 0
    {{{1, 1, 1, 1, 1}, {1, 0, 1, 0, 1}, {0, 0, 1, 0, 0}, {0, 1, 1, 1, 0}}}, // x = S
    {{{0, 1, 1, 1, 1}, {1, 1, 0, 1, 1}, {1, 0, 0, 0, 1}, {0, 0, 1, 0, 1}}}, // z = S
    {{{1, 0, 1, 1, 1}, {0, 0, 1, 1, 0}, {0, 1, 0, 1, 0}, {1, 1, 0, 1, 1}}}, // y = S
};

} // namespace

// Draws walls, lintels, floor, ceiling, desks and portraits, or the help page.
void draw_maze()
{
    if (viewer_state.help_shown == 1) {
        draw_help_page();
        return;
    }
    set_up_lighting();
    const bool textured = viewer_state.textures_on == 1;
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, wall_texture);
    }
    draw_wall_boxes(textured);
    if (textured)
        glDisable(GL_TEXTURE_2D);
    colour_table.fill_rgba("White", 1.0f, floor_colour);
    draw_surface_behind_walls(0.0f, draw_floor_rectangle);
    if (viewer_state.popup_view == 1)
        return;
    draw_surface_behind_walls(static_cast<float>(wall_height), draw_floor_rectangle);
    draw_desks();
    draw_figure(portrait_points[0].x, portrait_points[0].y, first_portrait_texture);
    draw_figure(portrait_points[1].x, portrait_points[1].y, second_portrait_texture);
}

// Draws a textured cube of edge size, translated by t and then scaled by s.
void draw_textured_box(float size, float sx, float sy, float sz, float tx, float ty, float tz)
{
    glPushMatrix();
    glScalef(sx, sy, sz);
    glTranslatef(tx, ty, tz);
    for (const BoxFace& face : box_faces) {
        glBegin(GL_POLYGON);
        for (const float* corner : face.corners) {
            glTexCoord2f(corner[0] * size, corner[1] * size);
            glVertex3f(corner[2] * size, corner[3] * size, corner[4] * size);
        }
        glEnd();
    }
    glPopMatrix();
}

// Draws a textured unit cube standing at plan point (px, py), 0.4 above the floor.
void draw_figure(float px, float py, unsigned texture_id)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_id);
    glPushMatrix();
    glTranslatef(static_cast<float>(px * plan_scale_x), figure_lift, static_cast<float>(py * plan_scale_z));
    draw_textured_box(1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}
