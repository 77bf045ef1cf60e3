// boxes.cpp -- the textured box primitives the desks and the portrait figures are made of.
#include "render/boxes.h"

#include <GL/gl.h>  // Required for: glBegin(), glVertex3f(), glTexCoord2f(), glScalef()

#include "common/state.h"

namespace {

constexpr float figure_lift = 0.4f;  // a figure floats this far above the floor

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
