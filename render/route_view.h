// route_view.h -- the way to a chosen room drawn on the floor, and the page
// of Find's matches.
#pragma once

#include <string>
#include <vector>

#include "route/route_planner.h"

// Draws the way as a bright ribbon with arrow marks on the floor, their
// widths and spacing times scale (1 for the walking eye).
void draw_route(const std::vector<RoutePoint>& points, double scale);

// Replaces the picture with Find's page: the header line, then the match
// lines with the highlighted one marked. Texts are UTF-8 (or Latin-1).
void draw_find_page(const std::string& header, const std::vector<std::string>& lines, int highlight);
