// viewer.h -- start-up, the GLUT callbacks, the status strip, the help page
// and the room visit.
#pragma once

#include <cstddef>  // Required for: std::size_t
#include <string>   // Required for: std::string
#include <vector>   // Required for: std::vector

#include "directory/room_record.h"
#include "route/route_planner.h"

// The Esc key as GLUT hands it to the character-key callbacks.
constexpr unsigned char escape_key = 27;

// Start-up: colours, GLUT, windows, world, callbacks; enters the main loop.
int run_vevuv(int argc, char** argv);
// Every start-up step before the main loop (tests run it without the loop).
void start_up(int* argc, char** argv);

// Main window callbacks.
void on_display();
void on_reshape(int w, int h);
void on_key(unsigned char key, int x, int y);
void on_special_key(int key, int x, int y);
void on_mouse(int button, int state, int x, int y);
void on_motion(int x, int y);
void on_passive_motion(int x, int y);

// Status strip and help page.
void on_status_display();
// Redraws the status strip when its line or the window size changed.
void refresh_status_strip();
void on_status_reshape(int w, int h);
void draw_status_text(const char* text);
void draw_help_page();
void draw_bitmap_string(void* font, const char* text);
// The glyphs of UTF-8 text of at most max_bytes: Latin-1 characters as
// themselves, every other character (or broken sequence) as '?'.
std::string glyph_text(const char* text, std::size_t max_bytes);

// Room visit: moves the desk into the room and opens its page once per run.
extern int tables_turned;  // flag: desks are drawn turned by 180 degrees
void visit_room(RoomRecord& record);

// Find and the way to a room.
// Handles '/', 'g', Enter and every key while Find is open; false otherwise.
bool find_takes_key(unsigned char key);
// Handles F3, and Up and Down while Find is open; false otherwise.
bool find_takes_special_key(int key);
// Stops a walk along the way; the way stays shown.
void stop_route_walk();
// Keeps the strip's Find line or the way's line after a move; ends the way on arrival.
void follow_route_after_motion();
// The way to draw, or null when none is shown.
const std::vector<RoutePoint>* shown_route();
// Closes Find and clears any way and walk.
void clear_find();
// One walking step of the given length at the given heading, through the
// same collision, room lookup, status line and visit as a visitor's step.
void route_step(double heading_degrees, double distance);
