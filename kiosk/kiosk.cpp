// kiosk.cpp -- the kiosk's watch over the main loop: end signals, SIGHUP, the
// idle reset and the out-of-order screen's retries.
#include "kiosk/kiosk.h"

#include <GL/freeglut.h>  // Required for: glutTimerFunc(), glutSetWindow(), glutShowWindow()

#include <chrono>   // Required for: std::chrono::steady_clock
#include <cmath>    // Required for: std::ceil()
#include <csignal>  // Required for: sigaction(), SIGTERM, SIGINT, sig_atomic_t
#include <iostream> // Required for: std::cout

#include "common/process_exit.h"
#include "common/state.h"
#include "directory/locator.h"
#include "render/world.h"

KioskSettings kiosk_settings;

namespace {

// How often the watch looks at the signal flag and the idle time, ms. Four
// wake-ups a second cost nothing measurable and end the program promptly.
constexpr unsigned watch_period_ms = 250;

using Clock = std::chrono::steady_clock;

// Seconds between two tries of the data while the out-of-order screen shows.
constexpr int fault_retry_seconds = 10;

volatile std::sig_atomic_t end_signal_seen = 0;  // set by the signal handler only
volatile std::sig_atomic_t hangup_seen = 0;      // likewise, for SIGHUP
Clock::time_point last_input_time = Clock::now(); // the visitor's last key or pointer event
bool input_since_reset = false;                  // flag: something to reset
void (*reset_floor)() = nullptr;                 // the program's reset for the next visitor
bool out_of_order = false;                       // flag: the out-of-order screen shows
DataFault current_fault;                         // what it names
Clock::time_point last_fault_try = Clock::now(); // when the data was last tried

// Puts the floor back through the program's reset; nothing is left to reset then.
void reset_now()
{
    input_since_reset = false;
    if (reset_floor != nullptr)
        reset_floor();
}

// Only notes the signal: the main loop ends the program between events.
void on_end_signal(int) { end_signal_seen = 1; }
void on_hangup(int) { hangup_seen = 1; }

// Shows or hides the status strip (hidden under the out-of-order screen).
void show_status_strip(bool shown)
{
    if (window_state.status_window == 0)
        return;  // the touch face draws the strip itself
    glutSetWindow(window_state.status_window);
    if (shown)
        glutShowWindow();
    else
        glutHideWindow();
    glutSetWindow(window_state.main_window);
}

// Puts up the out-of-order screen for the fault; says so once per fault.
void show_fault(const DataFault& fault)
{
    const bool news = !out_of_order || fault.file != current_fault.file
                      || fault.reason != current_fault.reason;
    out_of_order = true;
    current_fault = fault;
    last_fault_try = Clock::now();
    if (news)
        std::cout << "vevuv: out of order: cannot read " << fault.file << ": " << fault.reason
                  << "; trying again every " << fault_retry_seconds << " s" << std::endl;
    show_status_strip(false);
    glutPostWindowRedisplay(window_state.main_window);
}

// Takes the out-of-order screen away once the data is back.
void clear_fault()
{
    if (!out_of_order)
        return;
    out_of_order = false;
    std::cout << "vevuv: " << current_fault.file << " can be read again; back in service" << std::endl;
    show_status_strip(true);
}

// Tries the data again while the out-of-order screen shows.
void retry_data()
{
    if (!out_of_order || Clock::now() - last_fault_try < std::chrono::seconds(fault_retry_seconds))
        return;
    last_fault_try = Clock::now();
    viewer_state.plan_choice = 1;  // the reset comes back on plan 1, whichever plan failed
    DataFault fault;
    if (find_data_fault(&fault))
        show_fault(fault);
    else
        reset_now();
}

// Reads every data file again and goes back to the start picture.
void read_data_again()
{
    hangup_seen = 0;
    std::cout << "vevuv: SIGHUP: reading every data file again, back to the start picture" << std::endl;
    lookup_call_count = 0;  // the next room lookup reads the locator file again
    reset_now();
}

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
    if (hangup_seen != 0)
        read_data_again();
    retry_data();
    if (idle_long_enough())
        reset_now();
    redraw_when_warning_changes();
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
    action.sa_handler = on_hangup;
    sigaction(SIGHUP, &action, nullptr);
}

// Starts the periodic watch; idle resets, SIGHUP and recovered data call reset.
void start_kiosk_watch(void (*reset)())
{
    reset_floor = reset;
    glutTimerFunc(watch_period_ms, watch, 0);
}

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

// Builds the world, or in kiosk mode shows why it cannot.
void build_world_or_show_fault()
{
    DataFault fault;
    if (kiosk_settings.kiosk_mode && find_data_fault(&fault)) {
        show_fault(fault);
        return;
    }
    clear_fault();
    init_world();
}

// True while the out-of-order screen shows.
bool kiosk_out_of_order() { return out_of_order; }

// The fault the out-of-order screen names.
const DataFault& kiosk_fault() { return current_fault; }
