// state.cpp -- the one instance of each shared state record and the lights.
#include "common/state.h"

WindowState window_state;
ViewerState viewer_state;
int tables_turned = 0;

// The scale-dependent members are computed during static initialisation.
float light0_ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float light0_position[4] = {float(27 * plan_scale_x), 3.2f, float(2.7 * plan_scale_z), 1.0f};
float light1_ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float light1_position[4] = {float(0 * plan_scale_x), 3.2f, float(2.7 * plan_scale_z), 1.0f};
float light2_diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float light2_position[4] = {float(13 * plan_scale_x), 4.0f, float(2.7 * plan_scale_z), 1.0f};
