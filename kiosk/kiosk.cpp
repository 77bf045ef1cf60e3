// kiosk.cpp -- the kiosk's watch over the main loop (end signals, idle reset)
// and the reset for the next visitor.
#include "kiosk/kiosk.h"

#include <GL/freeglut.h>  // Required for: glutTimerFunc(), glutSetWindow(), glutShowWindow()

#include <chrono>   // Required for: std::chrono::steady_clock
#include <cmath>    // Required for: std::ceil()
#include <csignal>  // Required for: sigaction(), SIGTERM, SIGINT, sig_atomic_t
#include <iostream> // Required for: std::cout
#include <string>   // Required for: std::string

#include "app/process_exit.h"
#include "app/state.h"
#include "app/viewer.h"
#include "render/world.h"

KioskSettings kiosk_settings;

namespace {

// How often the watch looks at the signal flag and the idle time, ms. Four
// wake-ups a second cost nothing measurable and end the program promptly.
constexpr unsigned watch_period_ms = 250;

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t end_signal_seen = 0;  // set by the signal handler only
Clock::time_point last_input_time = Clock::now(); // the visitor's last key or pointer event
bool input_since_reset = false;                  // flag: something to reset

// Only notes the signal: the main loop ends the program between events.
void on_end_signal(int) { end_signal_seen = 1; }

// True once the visitor has left the floor alone for the idle reset's time.
bool idle_long_enough()
{
    if (kiosk_settings.idle_reset_seconds <= 0 || !input_since_reset)
        return false;
    return Clock::now() - last_input_time >= std::chrono::seconds(kiosk_settings.idle_reset_seconds);
}

// Redraws the touch face when the idle warning's seconds change, so that it
// counts down, shows and goes away without other input.
void redraw_when_warning_changes()
{
    static int shown = -1;
    const int now = idle_warning_seconds();
    if (now == shown || !kiosk_settings.touch_face)
        return;
    shown = now;
    glutPostWindowRedisplay(window_state.main_window);
}

// The watch: ends on a signal, resets after the idle time, and comes back.
void watch(int)
{
    if (end_signal_seen != 0) {
        std::cout.flush();
        end_program(0);
    }
    if (idle_long_enough())
        reset_for_next_visitor();
    redraw_when_warning_changes();
    glutTimerFunc(watch_period_ms, watch, 0);
}

// Closes the help page and the pop-up view, bringing the strip back.
void close_overlays()
{
    ViewerState& v = viewer_state;
    if (v.help_shown == 0 && v.popup_view == 0)
        return;
    v.help_shown = 0;
    v.popup_view = 0;
    glutSetWindow(window_state.status_window);
    glutShowWindow();
    glutSetWindow(window_state.main_window);
    on_reshape(window_state.width, window_state.height);
}

} // namespace

// Installs the handler of SIGTERM and SIGINT.
void catch_end_signals()
{
    struct sigaction action = {};
    action.sa_handler = on_end_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// Starts the periodic watch.
void start_kiosk_watch() { glutTimerFunc(watch_period_ms, watch, 0); }

// Counts whole seconds up: the warning reads 15 until 14 are left.
int idle_warning_seconds()
{
    const int reset = kiosk_settings.idle_reset_seconds;
    if (reset <= 0 || !input_since_reset)
        return -1;
    const int window = reset / 2 < idle_warning_seconds_max ? reset / 2 : idle_warning_seconds_max;
    const double idle = std::chrono::duration<double>(Clock::now() - last_input_time).count();
    const double left = reset - idle;
    if (left > window || left <= 0)
        return -1;
    return int(std::ceil(left));
}

// Notes the time of the visitor's latest key or pointer event.
void note_visitor_input()
{
    last_input_time = Clock::now();
    input_since_reset = true;
}

// Restores every piece of state a visitor can change, then draws the start picture.
void reset_for_next_visitor()
{
    input_since_reset = false;
    close_overlays();
    clear_find();                 // Find closed, no way shown, no walk
    // A fresh record; only the plan named on the command line is kept.
    const std::string plan_file_name = viewer_state.plan_file_name;
    viewer_state = ViewerState{};  // the next visitor's first room opens its page again
    viewer_state.plan_file_name = plan_file_name;
    tables_turned = 0;
    reset_touch_face();           // panels closed, the welcome line back
    init_world();                 // plan 1's start pose and the start-up strip text
    glutPostWindowRedisplay(window_state.main_window);
}
