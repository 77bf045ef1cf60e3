// touch_colours.h -- the touch face's colours, and every pair of text and
// background it draws, each of at least 4.5:1 contrast.
#pragma once

#include "text/text_painter.h"  // Required for: text::Colour

namespace touch {

const text::Colour white{1.0f, 1.0f, 1.0f};
const text::Colour black{0.0f, 0.0f, 0.0f};
const text::Colour panel_dark{0.06f, 0.07f, 0.10f};     // panels over the building
const text::Colour row_light{0.14f, 0.15f, 0.20f};      // every other row of Find's list
const text::Colour button_blue{0.12f, 0.25f, 0.55f};    // a button at rest
const text::Colour pressed_blue{0.04f, 0.10f, 0.28f};   // a button under the finger
const text::Colour chosen_yellow{1.0f, 0.85f, 0.0f};    // "Walk there", the chosen room
const text::Colour strip_grey{0.25f, 0.25f, 0.25f};     // the status strip
const text::Colour strip_green{0.0f, 1.0f, 0.0f};       // the strip's frame
const text::Colour arrival_green{0.0f, 0.33f, 0.12f};   // the arrival banner
const text::Colour map_room{0.93f, 0.93f, 0.88f};       // a room's box on the map
const text::Colour map_floor{0.80f, 0.80f, 0.76f};      // the corridor on the map
const text::Colour map_wall{0.10f, 0.10f, 0.12f};
const text::Colour map_way{0.85f, 0.25f, 0.0f};         // the way on the map
const text::Colour here_red{0.75f, 0.0f, 0.0f};         // "You are here"

// A text colour on a background colour.
struct TextPair {
    text::Colour text, background;
};

// Every text and background the touch face combines.
const TextPair text_pairs[] = {
    {white, panel_dark}, {white, row_light}, {white, button_blue}, {white, pressed_blue},
    {black, chosen_yellow}, {white, strip_grey}, {white, arrival_green}, {chosen_yellow, panel_dark},
    {black, map_room}, {black, map_floor}, {white, here_red}, {chosen_yellow, arrival_green},
};

// Contrast ratio of two colours (1 to 21) by relative luminance of sRGB.
double contrast_ratio(text::Colour a, text::Colour b);

} // namespace touch
