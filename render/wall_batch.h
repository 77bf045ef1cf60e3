// wall_batch.h -- the wall and lintel boxes drawn from arrays built once per
// plan, without the boxes out of sight or behind walls and, where the eye
// can never see them, without the faces turned away from it.
#pragma once

// How the boxes are drawn; every way gives the same picture. All on in the
// program; the benchmark turns each off to measure what it saves.
struct WallDrawing {
    bool arrays = true;        // textured boxes from vertex arrays, not call by call
    bool skip_outside = true;  // boxes wholly outside the view are not sent
    bool skip_hidden = true;   // boxes wholly behind walls from floor to ceiling are not sent,
                               // nor the floor and ceiling where such walls hide them
    bool cull_hidden = true;   // faces turned away are culled where none can be seen
    int hidden_least_pixels = 1000000;  // skip_hidden in viewports of this many pixels or more: in
                                        // smaller ones its extra draws cost more than the pixels saved
};
extern WallDrawing wall_drawing;

// Draws the plan's walls, then its lintels each closed by its underside,
// textured or in their vertex colours, under the current matrices.
void draw_wall_boxes(bool textured);


// Draws a level surface at height y (the floor or the ceiling) with
// draw(y), after draw_wall_boxes under the same matrices: where the walls
// just drawn hide it from a level eye, its pixels are scissored away.
void draw_surface_behind_walls(float y, void (*draw)(float));
