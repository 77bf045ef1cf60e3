// furniture.cpp -- desks: a table and its chair, each built from textured boxes.
#include "render/furniture.h"

#include <GL/gl.h>  // Required for: glPushMatrix(), glTranslatef(), glScalef(), glRotatef()
#include <cstddef>  // Required for: std::size_t

#include "render/boxes.h"

namespace {

constexpr float desk_reference_height = 0.6f; // the desk frame's origin above the floor
constexpr float desk_unit = 0.3f;             // world units per desk-frame unit

// One box of a piece of furniture, in the desk frame.
struct FurniturePiece {
    float size;         // cube edge, also the texture coordinate range
    float sx, sy, sz;   // scale
    float tx, ty, tz;   // offset, applied before the scale
};

// The table: its top, then four legs.
const FurniturePiece table_pieces[] = {
    {1.0f, 4.4f, 0.5f, 3.0f, -0.05f, 0.0f, 0.0f},  // top
    {0.5f, 0.8f, 4.0f, 0.8f, 0.1f, -0.5f, 0.0f},   // leg
    {0.5f, 0.8f, 4.0f, 0.8f, 4.4f, -0.5f, 0.0f},   // leg
    {0.5f, 0.8f, 4.0f, 0.8f, 0.1f, -0.5f, 3.2f},   // leg
    {0.5f, 0.8f, 4.0f, 0.8f, 4.4f, -0.5f, 3.2f},   // leg
};

// The chair: back posts, rail and slat, the seat, then four legs.
const FurniturePiece chair_pieces[] = {
    {0.5f, 0.4f, 4.0f, 0.4f, 5.4f, -0.13f, 8.1f},   // back post
    {0.5f, 2.0f, 0.4f, 0.4f, 0.58f, 3.2f, 8.1f},    // back rail
    {0.5f, 0.4f, 4.0f, 0.4f, 2.4f, -0.13f, 8.1f},   // back post
    {0.5f, 0.4f, 3.15f, 0.4f, 3.9f, -0.085f, 8.1f}, // back slat
    {0.5f, 2.5f, 0.5f, 2.3f, 0.41f, -1.0f, 1.0f},   // seat
    {0.5f, 0.4f, 2.7f, 0.4f, 5.4f, -0.7f, 5.7f},    // leg
    {0.5f, 0.4f, 2.7f, 0.4f, 2.4f, -0.7f, 5.7f},    // leg
    {0.5f, 0.4f, 2.7f, 0.4f, 5.4f, -0.7f, 8.1f},    // leg
    {0.5f, 0.4f, 2.7f, 0.4f, 2.4f, -0.7f, 8.1f},    // leg
};

// Draws the pieces in the desk frame at world (x, z), turned by angle degrees
// about the frame's origin.
template <std::size_t piece_count>
void draw_in_desk_frame(const FurniturePiece (&pieces)[piece_count], float x, float z, float angle)
{
    glPushMatrix();
    glTranslatef(x, desk_reference_height, z);
    glScalef(desk_unit, desk_unit, desk_unit);
    glRotatef(angle, 0.0f, 1.0f, 0.0f);
    for (const FurniturePiece& p : pieces)
        draw_textured_box(p.size, p.sx, p.sy, p.sz, p.tx, p.ty, p.tz);
    glPopMatrix();
}

} // namespace

// Draws a table and its chair at world (x, z), turned by angle degrees.
void draw_desk(float x, float z, float angle)
{
    glPushMatrix();
    draw_table(x, z, angle);
    draw_chair(x, z, angle);
    glPopMatrix();
}

// Draws the table top and its four legs at world (x, z), turned by angle degrees.
void draw_table(float x, float z, float angle) { draw_in_desk_frame(table_pieces, x, z, angle); }

// Draws the chair at the table's far edge, at world (x, z), turned by angle degrees.
void draw_chair(float x, float z, float angle) { draw_in_desk_frame(chair_pieces, x, z, angle); }
