// furniture.h -- desks (a table with its chair) built from textured boxes.
#pragma once

// Draws a table and its chair at world (x, z), turned by angle degrees.
void draw_desk(float x, float z, float angle);
void draw_table(float x, float z, float angle);
void draw_chair(float x, float z, float angle);
