// help_page.h -- the page that lists the keys, drawn in place of the building while F1 is on.
#pragma once

// Replaces the picture with the page that lists the keys.
void draw_help_page();
