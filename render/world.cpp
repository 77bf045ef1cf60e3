// world.cpp -- world (re)initialisation: status text, GL state, light 0,
// material, the seven textures and the walls; the per-frame lighting and the
// projection.
#include "render/world.h"

#include <GL/gl.h>   // Required for: glClearColor(), glLightfv(), glMaterialfv()
#include <GL/glu.h>  // Required for: gluPerspective()
#include <cstdio>    // Required for: snprintf()

#include "common/state.h"
#include "image/texture.h"
#include "plan/walls.h"

namespace {

// Background wherever nothing is drawn: a very dark green.
const float clear_red = 0.0f;
const float clear_green = 0.05f;
const float clear_blue = 0.0f;
const float clear_alpha = 0.0f;

// The one material of the building, front and back faces alike.
const float material_diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
const float material_specular[4] = {1.0f, 0.5f, 0.5f, 1.0f};
const float material_shininess = 30.0f;

constexpr double near_plane = 0.05;     // world units
constexpr double far_plane = 100.0;     // world units

// Light 0: ambient, then its position under the current model-view matrix.
void set_up_light0()
{
    glLightfv(GL_LIGHT0, GL_AMBIENT, light0_ambient);
    glLightfv(GL_LIGHT0, GL_POSITION, light0_position);
    glEnable(GL_LIGHT0);
}

// Two-sided lighting, then the local viewer; lighting on.
void set_up_light_model()
{
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glEnable(GL_LIGHTING);
}

// The grey material that every frame starts from.
void set_up_material()
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material_diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material_specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, material_shininess);
}

} // namespace

// Resets the status text, GL state, light 0 and material, loads the seven
// textures and rebuilds the walls from the chosen plan.
void init_world()
{
    std::snprintf(window_state.status_text, sizeof window_state.status_text, "%s", corridor_text);
    glClearColor(clear_red, clear_green, clear_blue, clear_alpha);
    glEnable(GL_DEPTH_TEST);
    set_up_light0();
    set_up_light_model();
    set_up_material();
    for (int slot = 0; slot < texture_slot_count; ++slot)
        load_texture(texture_files[slot], static_cast<unsigned>(slot + 1));
    build_walls();
}

// Redoes the lighting and material state at the start of every frame.
void set_up_lighting()
{
    glClearColor(clear_red, clear_green, clear_blue, clear_alpha);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    set_up_light0();
    set_up_light_model();
    set_up_material();
}

// The viewport over the whole window and the perspective projection; a
// window squeezed to no height (or width) counts as one pixel, so that the
// aspect never divides by zero.
void set_projection(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = double(width > 0 ? width : 1) / double(height > 0 ? height : 1);
    gluPerspective(field_of_view, aspect, near_plane, far_plane);
    glMatrixMode(GL_MODELVIEW);
}

// Lights 1 (ambient) and 2 (diffuse), placed in world coordinates.
void place_lights_1_and_2()
{
    glLightfv(GL_LIGHT1, GL_AMBIENT, light1_ambient);
    glLightfv(GL_LIGHT1, GL_POSITION, light1_position);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT2, GL_DIFFUSE, light2_diffuse);
    glLightfv(GL_LIGHT2, GL_POSITION, light2_position);
    glEnable(GL_LIGHT2);
}
