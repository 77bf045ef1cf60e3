// startup_probe.cpp -- the viewer started exactly as the program starts, which
// prints "first frame" once its main window has finished its first frame and
// then ends: the start-up benchmark times process start to that line.
#include <GL/glut.h>  // Required for: glutSetWindow(), glutDisplayFunc(), glutMainLoop()

#include <cstdio>     // Required for: std::fputs(), std::fflush()
#include <cstdlib>    // Required for: std::getenv()

#include "common/process_exit.h"
#include "common/state.h"
#include "app/viewer.h"
#include "kiosk/kiosk.h"

// Set in the probe's environment: start as a kiosk with the touch face.
constexpr char kiosk_probe_variable[] = "VEVUV_PROBE_KIOSK";

namespace {

// The main window's display callback for the first frame: the viewer's own
// frame, finished, then the marker line.
void display_then_report()
{
    on_display();
    glutSetWindow(window_state.main_window);
    glFinish();
    std::fputs("first frame\n", stdout);
    std::fflush(stdout);
    end_program(0);
}

} // namespace

int main(int argc, char** argv)
{
    // Started with the environment variable set, the probe starts as a kiosk
    // with the touch face (its fonts read, its first frame drawn).
    if (std::getenv(kiosk_probe_variable) != nullptr) {
        kiosk_settings.kiosk_mode = true;
        kiosk_settings.touch_face = true;
    }
    start_up(&argc, argv);
    glutSetWindow(window_state.main_window);
    glutDisplayFunc(display_then_report);
    glutMainLoop();
    return 0;
}
