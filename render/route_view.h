// route_view.h -- the way to a chosen room drawn on the floor, and the page
// of Find's matches.
#pragma once

#include <string>
#include <vector>

#include "route/route_planner.h"

// Draws the way as a bright line with arrow marks, just above the floor.
void draw_route(const std::vector<RoutePoint>& points);

// Replaces the picture with Find's page: the header line, then the match
// lines with the highlighted one marked. Texts are UTF-8 (or Latin-1).
void draw_find_page(const std::string& header, const std::vector<std::string>& lines, int highlight);
