// boxes.h -- textured boxes: the desks' parts and the portrait figures.
#pragma once

// Draws a textured cube of edge size, translated by t and then scaled by s.
void draw_textured_box(float size, float sx, float sy, float sz, float tx, float ty, float tz);

// Draws a textured unit cube standing at plan point (px, py), 0.4 above the floor.
void draw_figure(float px, float py, unsigned texture_id);
