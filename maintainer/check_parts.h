// check_parts.h -- the parts of the building check, one per kind of data
// file; the runner calls them, and they write through the findings helpers.
#pragma once

#include <string>

#include "maintainer/findings.h"

// Reads the locator file; fills report.rooms with the records and their boxes.
void check_locator(BuildingReport& report);
// Reads the three plans; report.rooms must hold the locator boxes.
void check_plans(BuildingReport& report);
// Reads Department.xml for every locator room; fills the rooms' facts.
void check_department(BuildingReport& report);
// Reads the seven textures the viewer loads.
void check_textures(BuildingReport& report);

// Why the status line of the room does not fit the strip at the window's
// start size, or "" when it fits.
std::string status_line_problem(int room_number, const char* introduction);
