// kiosk.h -- running unattended: kiosk mode, the idle reset that readies the
// floor for the next visitor, and a clean end on SIGTERM and SIGINT.
#pragma once

// Lifetime: set once at start-up from the command line, read for the whole run.
struct KioskSettings {
    bool kiosk_mode = false;      // flag: full screen, no pointer, Esc and q ignored
    int idle_reset_seconds = 0;   // seconds without input before a reset; 0: never
    bool touch_face = false;      // flag: buttons, on-screen keyboard and map (--touch, --kiosk)
};

// Longest warning before an idle reset, seconds; a reset sooner than twice
// this warns for the second half of its time.
constexpr int idle_warning_seconds_max = 15;

extern KioskSettings kiosk_settings;

// Makes SIGTERM and SIGINT end the program cleanly (status 0) from the main loop.
void catch_end_signals();
// Starts the watch of the main loop: end signals and the idle reset.
void start_kiosk_watch();
// Seconds left before the idle reset while its warning is due, else -1.
int idle_warning_seconds();
// Notes a key or pointer event of the visitor (the idle reset counts from here).
void note_visitor_input();
// Puts the floor back as the first visitor found it: plan 1's start, walking
// view, no help page, textures on, wall-walking off, the strip as at start-up
// and the next room visit opening its page again.
void reset_for_next_visitor();
