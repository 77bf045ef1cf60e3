// state.h -- the process-wide state shared by every subsystem: the two
// windows, the visitor, the plan-to-world scale and the three lights.
//
// Lifetime: everything here lives for the whole run. World initialisation
// (keys '1' to '3') resets the pose only; mode switches, the pop-up eye
// height, the saved angles and the visit count survive it.
#pragma once

#include <string>

#include "common/config.h"  // Required for: status_text_size

// Plan units to world units: world x = plan x * 3, world z = plan y * -3.
constexpr double plan_scale_x = 3.0;
constexpr double plan_scale_z = -3.0;

// Degrees to radians, with pi written to nine decimals.
constexpr double degrees_to_radians = 3.141592654 / 180.0;

struct WindowState {
    int main_window = 0;              // GLUT id of the main window
    int status_window = 0;            // GLUT id of the status sub-window
    int width = 700;                  // main window width, pixels
    int height = 500;                 // main window height, pixels
    char status_text[status_text_size] = {}; // line shown in the status strip
};

struct ViewerState {
    // Pose
    float x = 0.0f;                   // eye position along x, world units
    float z = 0.0f;                   // eye position along z, world units
    float eye_height = 1.0f;          // walking eye above the floor, world units
    float heading = 0.0f;             // walking view direction, degrees (0 looks along -z)
    // Motion
    float step_x = 0.0f;              // last step, world units (x moves by -step_x)
    float step_z = 0.0f;              // last step, world units (z moves by +step_z)
    float plan_x = 0.0f;              // eye position after the last move, plan units
    float plan_y = 0.0f;              // likewise, plan units
    int last_mouse_x = 0;             // pointer at the previous mouse event, pixels
    int last_mouse_y = 0;             // likewise, pixels
    // Pop-up (overhead) view
    int popup_view = 0;               // flag: the overhead view is on
    float popup_angle = 0.0f;         // rotation of the overhead view, degrees
    float popup_eye_height = 25.0f;   // overhead eye height, world units, 5 to 100
    float saved_heading = 0.0f;       // heading when the overhead view last went on, degrees
    float saved_popup_angle = 0.0f;   // popup_angle when it last went off, degrees
    // Modes
    int textures_on = 1;              // flag: walls and lintels textured
    int walk_through_walls = 0;       // flag: moves ignore the walls
    int help_shown = 0;               // flag: the help page replaces the building
    // Plan selection
    int plan_choice = 1;              // 1, 2 or 3: row of plan_file_names
    int plan_from_command_line = 0;   // flag: the next read takes plan_file_name
    std::string plan_file_name;       // plan named on the command line, any length
    // Visits
    int room_visit_count = 0;         // room visits with a table so far
};

extern WindowState window_state;
extern ViewerState viewer_state;
// Set by a room visit, read by the desk drawing; lives with the desks' placement.
extern int tables_turned;  // flag: desks are drawn turned by 180 degrees

// Light vectors: positional white lights over plan points (27, 2.7),
// (0, 2.7) and (13, 2.7); x and z are world units.
extern float light0_ambient[4];
extern float light0_position[4];
extern float light1_ambient[4];
extern float light1_position[4];
extern float light2_diffuse[4];
extern float light2_position[4];
