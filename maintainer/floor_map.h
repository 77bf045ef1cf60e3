// floor_map.h -- the floor as an SVG picture: plan, rooms and the problems
// a building check found, each at its place.
#pragma once

#include <string>

#include "maintainer/building_check.h"

// The SVG document of plan number plan_index (0 for plan.dat) of the report.
std::string floor_map_svg(const BuildingReport& report, std::size_t plan_index);
