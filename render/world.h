// world.h -- world (re)initialisation, the projection, lighting and material.
#pragma once

// The walking and overhead views' vertical field of view, degrees.
constexpr double field_of_view = 60.0;

// Resets the status text, GL state, light 0 and material, loads the seven
// textures and rebuilds the walls from the chosen plan.
void init_world();

// Redoes the lighting and material state at the start of every frame.
void set_up_lighting();

// The viewport over the whole window and the perspective every frame is
// drawn with; leaves the model-view matrix current.
void set_projection(int width, int height);

// Lights 1 (ambient) and 2 (diffuse), placed in world coordinates under the
// camera just set.
void place_lights_1_and_2();
