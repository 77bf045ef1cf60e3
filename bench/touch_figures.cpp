// touch_figures.cpp -- the touch face's cost: the walking frame with its
// strip and buttons against the same frame without the face, and a tap on
// Find's keyboard to the finished frame that shows it.
#include <GL/freeglut.h>  // Required for: GLUT_LEFT_BUTTON, GLUT_DOWN, GLUT_UP

#include <cstdio>  // Required for: std::snprintf()

#include "common/state.h"
#include "app/viewer.h"
#include "bench/figures.h"
#include "find/find_state.h"
#include "kiosk/kiosk.h"
#include "touch/touch_layout.h"

namespace bench {

namespace {

constexpr int large_width = 1920, large_height = 1080;
constexpr double face_frame_goal = 1.10;  // walking frame with the face at most this times without
constexpr double tap_goal_ms = 100.0;     // a tap to its finished frame, at most

// Presses and releases the pointer at the centre of a rectangle.
void tap_centre(const touch::Rect& r)
{
    on_mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, r.x + r.w / 2, r.y + r.h / 2);
    on_mouse(GLUT_LEFT_BUTTON, GLUT_UP, r.x + r.w / 2, r.y + r.h / 2);
}

// The key of the on-screen keyboard that types code.
touch::Rect key_rect(char code)
{
    const touch::Layout l = touch::make_layout(window_state.width, window_state.height,
                                               [](const std::string& word, int size) {
                                                   return int(word.size()) * size / 2;
                                               });
    for (const touch::Key& k : l.keys)
        if (k.code == code)
            return k.rect;
    return {};
}

// A tap on a key and the frame that shows it; every other call takes the
// letter back with Delete, so that the list stays as long.
void tap_key_frame(const touch::Rect& letter, const touch::Rect& erase)
{
    static bool typed = false;
    tap_centre(typed ? erase : letter);
    typed = !typed;
    viewer_frame();
}

std::string size_name(const char* what)
{
    char name[96];
    std::snprintf(name, sizeof name, "%s %dx%d", what, window_state.width, window_state.height);
    return name;
}

} // namespace

// The face is switched on and off in this process; it is left off, the
// window at its former size.
std::vector<Figure> touch_figures(const ViewerSetup& setup, const Effort& effort)
{
    const int width = window_state.width, height = window_state.height;
    resize_main_window(large_width, large_height);
    kiosk_settings.touch_face = true;
    start_touch_face();
    touch_note_key();  // the welcome line gone, as after the first touch
    stand_at(setup.corridor, setup.corridor_heading);
    // The face draws its own strip, as in a kiosk; the window mode's strip
    // window, drawn only when its line changes, costs neither frame anything.
    const PairTiming frames = time_pair([] { kiosk_settings.touch_face = true; viewer_frame(); },
                                        [] { kiosk_settings.touch_face = false; viewer_frame(); }, effort);
    Figure frame = time_figure(size_name("frame walking, touch face"), "frame walking, no face", "ms", 1e3, frames);
    frame.goal = "<= 1.10";
    frame.met = frame.ratio <= face_frame_goal;

    kiosk_settings.touch_face = true;
    find_takes_key('/');
    const touch::Rect letter = key_rect('E'), erase = key_rect(touch::delete_key);
    const PairTiming taps = time_pair([&] { tap_key_frame(letter, erase); }, [] { viewer_frame(); }, effort);
    Figure tap = time_figure(size_name("tap on a key to its frame"), "frame, Find open", "ms", 1e3, taps);
    tap.goal = "<= 100 ms";
    tap.met = tap.subject <= tap_goal_ms;
    tap.note = find_state.query.size() <= 1 ? "typed and deleted" : "WRONG PATH: the keys did not type";
    clear_find();
    kiosk_settings.touch_face = false;
    resize_main_window(width, height);
    return {frame, tap};
}

} // namespace bench
