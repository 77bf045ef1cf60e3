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

// Status strip.
void on_status_display();
// Redraws the status strip when its line or the window size changed.
void refresh_status_strip();
void on_status_reshape(int w, int h);
// Shows or hides the strip window, leaving it the current window; nothing
// when the touch face draws the strip itself.
void show_strip_window(bool shown);
void draw_status_text(const char* text);

// Puts the floor back as the first visitor found it: the start of the plan
// the program was started with (plan 1 unless one was named), walking view,
// no help page, textures on, wall-walking off, the strip as at start-up and
// the next room visit opening its page again.
void reset_for_next_visitor();

// Room visit: moves the desk into the room and opens its page once per run.
void visit_room(RoomRecord& record);
// In kiosk mode, shows the QR code of the room's page while the visitor is
// in the room (null: he is not in a room).
void show_room_page(const RoomRecord* record);
// Draws that QR code panel over the building, if one is shown.
void draw_room_page_panel();

// Find and the way to a room.
// Handles '/', 'g', Enter and every key while Find is open; false otherwise.
bool find_takes_key(unsigned char key);
// Handles F3, and Up and Down while Find is open; false otherwise.
bool find_takes_special_key(int key);
// Stops a walk along the way; the way stays shown.
void stop_route_walk();
// Keeps the strip's Find line or the way's line after a move; ends the way
// when room_here (the room the lookup placed the visitor in, 0 for none) is
// the chosen room.
void follow_route_after_motion(int room_here);
// The way to draw, or null when none is shown.
const std::vector<RoutePoint>* shown_route();
// Closes Find and clears any way and walk.
void clear_find();
// Switches the help page off when it is shown, bringing back the strip.
void close_help_page();
// Closes Find and shows the way from where the visitor stands into the room.
void choose_room(RoomRecord room);
// True while the visitor is walked along the way.
bool route_walking();
// Plans the way into the area (world units) from here and walks it at once.
void walk_to_area(const GoalArea& area);
// The room the shown way leads to, or 0.
int route_room_number();
// Starts the walk along the shown way, as 'g' does.
void start_route_walk();
// One walking step of the given length at the given heading, through the
// same collision, room lookup, status line and visit as a visitor's step.
void route_step(double heading_degrees, double distance);

// The touch face (--touch, --kiosk): buttons, on-screen keyboard, map, help.
// Each does nothing (or answers false) while the face is off.
// Draws the face over the frame just drawn.
void draw_touch_face();
// Takes a press or release of the pointer; false when the face is off.
bool touch_takes_mouse(int button, int state, int x, int y);
// Takes a drag that scrolls, or one over a panel; false for one that walks.
bool touch_takes_motion(int x, int y);
// Notes the pointer's presence; a move that ends the idle warning makes the
// press that follows end only the warning. False when the face is off.
bool touch_takes_passive_motion();
// Takes F1 (the face's own help); false for the other keys.
bool touch_takes_special_key(int key);
// Notes a key of the visitor: the welcome line goes.
void touch_note_key();
// Shows the arrival banner for a room (0: a tapped place, no banner) whose
// line the strip shows.
void touch_note_arrival(int room_number);
// Closes every panel and brings back the welcome line.
void reset_touch_face();
// Reads the fonts and readies the face at start-up.
void start_touch_face();
