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
#include "render/world.h"

namespace {

constexpr int box_vertex_count = 10;      // vertices of a wall box's quad strip
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

// Vertex n of the flattened vertex list of the first count boxes, or null
// past the list's used entries.
const float* list_vertex(const WallBox* boxes, int count, int n)
{
    if (n >= count * box_vertex_count)
        return nullptr;
    return boxes[n / box_vertex_count].vertices[n % box_vertex_count];
}

// Texture s of list vertex n: its z when the face starting at its corner runs
// along z (the next two vertices share its x), else its x. Missing vertices
// past the end of the list count as not matching.
float wall_texture_s(const WallBox* boxes, int count, int n)
{
    const float* vertex = list_vertex(boxes, count, n);
    const float* next = list_vertex(boxes, count, n + 1);
    const float* after_next = list_vertex(boxes, count, n + 2);
    if (next && after_next && vertex[0] == next[0] && vertex[0] == after_next[0])
        return vertex[2];
    return vertex[0];
}

// One box's quad strip: texture coordinates when textured, else its vertex
// colours through the front material.
void draw_box_strip(const WallBox* boxes, int count, int index, bool textured)
{
    const WallBox& box = boxes[index];
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k < box_vertex_count; ++k) {
        if (textured) {
            glTexCoord2f(wall_texture_s(boxes, count, index * box_vertex_count + k), box.vertices[k][1]);
        } else {
            glMaterialfv(GL_FRONT, GL_DIFFUSE, box.colours[k]);
            glColor3fv(box.colours[k]);
        }
        glVertex3fv(box.vertices[k]);
    }
    glEnd();
}

// The underside of a lintel: its four bottom corners, with the attributes the
// strip's last vertex left current.
void draw_lintel_underside(const WallBox& box)
{
    glBegin(GL_QUADS);
    glVertex3fv(box.vertices[0]);
    glVertex3fv(box.vertices[2]);
    glVertex3fv(box.vertices[4]);
    glVertex3fv(box.vertices[6]);
    glEnd();
}

// The plan's walls; counts beyond the box array are held to its size.
void draw_walls(bool textured)
{
    const int count = clamped_count(floor_plan.wall_count, max_walls);
    for (int i = 0; i < count; ++i)
        draw_box_strip(wall_boxes, count, i, textured);
}

// The lintels over doorways, each closed by its underside.
void draw_lintels(bool textured)
{
    const int count = clamped_count(floor_plan.lintel_count, max_lintels);
    for (int i = 0; i < count; ++i) {
        draw_box_strip(lintel_boxes, count, i, textured);
        draw_lintel_underside(lintel_boxes[i]);
    }
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
    draw_walls(textured);
    draw_lintels(textured);
    if (textured)
        glDisable(GL_TEXTURE_2D);
    colour_table.fill_rgba("White", 1.0f, floor_colour);
    draw_floor_rectangle(0.0f);
    if (viewer_state.popup_view == 1)
        return;
    draw_floor_rectangle(static_cast<float>(wall_height));
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
