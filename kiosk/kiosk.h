// kiosk.h -- running unattended: kiosk mode, the watch that calls the idle
// reset, a clean end on SIGTERM and SIGINT, a fresh read of the data on
// SIGHUP, and the out-of-order screen while data is missing.
#pragma once

#include <string>  // Required for: std::string

#include "kiosk/data_fault.h"

// Lifetime: set once at start-up from the command line, read for the whole run
// (data_folder_entered changes once, when the folder can first be entered).
struct KioskSettings {
    bool kiosk_mode = false;      // flag: full screen, no pointer, Esc and q ignored
    int idle_reset_seconds = 0;   // seconds without input before a reset; 0: never
    std::string page_base;        // --page-base: joined to relative pages for their QR code
    bool open_pages = false;      // flag: --open-pages, the browser starts in kiosk mode too
    std::string data_folder;      // --data, empty: none given
    bool data_folder_entered = true; // flag: false while the --data folder cannot be entered
    bool touch_face = false;      // flag: buttons, on-screen keyboard and map (--touch, --kiosk)
};

// Longest warning before an idle reset, seconds; a reset sooner than twice
// this warns for the second half of its time.
constexpr int idle_warning_seconds_max = 15;

extern KioskSettings kiosk_settings;

// Makes SIGTERM and SIGINT end the program cleanly (status 0) from the main
// loop, and SIGHUP read the data again there.
void catch_end_signals();
// Starts the watch of the main loop: signals, the idle reset and the
// out-of-order screen's retries; each of these that puts the floor back calls
// reset (the program's way of doing it).
void start_kiosk_watch(void (*reset)());
// Seconds left before the idle reset while its warning is due, else -1.
int idle_warning_seconds();
// Notes a key or pointer event of the visitor (the idle reset counts from here).
void note_visitor_input();
// Builds the world when the data it needs is there; in kiosk mode shows the
// out-of-order screen instead while it is not.
void build_world_or_show_fault();
// True while the out-of-order screen stands in for the building.
bool kiosk_out_of_order();
// The fault the out-of-order screen names.
const DataFault& kiosk_fault();
