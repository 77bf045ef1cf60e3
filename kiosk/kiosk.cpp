// kiosk.cpp -- the kiosk's watch over the main loop: end signals and the idle reset.
#include "kiosk/kiosk.h"

#include <GL/freeglut.h>  // Required for: glutTimerFunc()

#include <chrono>   // Required for: std::chrono::steady_clock
#include <csignal>  // Required for: sigaction(), SIGTERM, SIGINT, sig_atomic_t
#include <iostream> // Required for: std::cout

#include "common/process_exit.h"

KioskSettings kiosk_settings;

namespace {

// How often the watch looks at the signal flag and the idle time, ms. Four
// wake-ups a second cost nothing measurable and end the program promptly.
constexpr unsigned watch_period_ms = 250;

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t end_signal_seen = 0;  // set by the signal handler only
Clock::time_point last_input_time = Clock::now(); // the visitor's last key or pointer event
bool input_since_reset = false;                  // flag: something to reset
void (*reset_floor)() = nullptr;                 // the program's reset for the next visitor

// Only notes the signal: the main loop ends the program between events.
void on_end_signal(int) { end_signal_seen = 1; }

// True once the visitor has left the floor alone for the idle reset's time.
bool idle_long_enough()
{
    if (kiosk_settings.idle_reset_seconds <= 0 || !input_since_reset)
        return false;
    return Clock::now() - last_input_time >= std::chrono::seconds(kiosk_settings.idle_reset_seconds);
}

// The watch: ends on a signal, resets after the idle time, and comes back.
void watch(int)
{
    if (end_signal_seen != 0) {
        std::cout.flush();
        end_program(0);
    }
    if (idle_long_enough()) {
        input_since_reset = false;
        reset_floor();
    }
    glutTimerFunc(watch_period_ms, watch, 0);
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

// Starts the periodic watch; an idle reset calls reset.
void start_kiosk_watch(void (*reset)())
{
    reset_floor = reset;
    glutTimerFunc(watch_period_ms, watch, 0);
}

// Notes the time of the visitor's latest key or pointer event.
void note_visitor_input()
{
    last_input_time = Clock::now();
    input_since_reset = true;
}
