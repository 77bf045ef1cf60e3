// maze.h -- drawing the building each frame, and the textured box primitives.
#pragma once

// Draws walls, lintels, floor, ceiling, desks and portraits, or the help page.
void draw_maze();

// Draws a textured cube of edge size, translated by t and then scaled by s.
void draw_textured_box(float size, float sx, float sy, float sz, float tx, float ty, float tz);

// Draws a textured unit cube standing at plan point (px, py), 0.4 above the floor.
void draw_figure(float px, float py, unsigned texture_id);
