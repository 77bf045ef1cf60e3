// world.h -- world (re)initialisation, lighting and material.
#pragma once

// Resets the status text, GL state, light 0 and material, loads the seven
// textures and rebuilds the walls from the chosen plan.
void init_world();

// Redoes the lighting and material state at the start of every frame.
void set_up_lighting();
