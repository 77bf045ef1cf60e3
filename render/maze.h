// maze.h -- drawing the building each frame.
#pragma once

// Draws walls, lintels, floor, ceiling, desks and portraits, or the help page.
void draw_maze();
