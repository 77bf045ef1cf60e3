// maze.cpp -- drawing the building every frame: walls, lintels, floor,
// ceiling, desks and portraits.
#include "render/maze.h"

#include <GL/gl.h>  // Required for: glBegin(), glVertex3fv(), glTexCoord2f(), glMaterialfv()

#include "common/state.h"
#include "render/help_page.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"
#include "common/colour_table.h"
#include "render/boxes.h"
#include "render/furniture.h"
#include "render/wall_batch.h"
#include "render/world.h"

namespace {

constexpr float desk_turned_angle = 180.0f;

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
