// next_visitor.cpp -- the reset that readies the floor for the next visitor.
#include <GL/freeglut.h>  // Required for: glutSetWindow(), glutShowWindow(), glutPostWindowRedisplay()

#include <string>  // Required for: std::string

#include "app/viewer.h"
#include "common/state.h"
#include "kiosk/kiosk.h"

namespace {

// Closes the help page and the pop-up view, bringing the strip back.
void close_overlays()
{
    ViewerState& v = viewer_state;
    if (v.help_shown == 0 && v.popup_view == 0)
        return;
    v.help_shown = 0;
    v.popup_view = 0;
    show_strip_window(true);
    glutSetWindow(window_state.main_window);
    on_reshape(window_state.width, window_state.height);
}

} // namespace

// Restores every piece of state a visitor can change, then draws the start picture.
void reset_for_next_visitor()
{
    close_overlays();
    clear_find();                 // Find closed, no way shown, no walk
    // A fresh record; the plan named on the command line is kept and read again.
    const std::string plan_file_name = viewer_state.plan_file_name;
    viewer_state = ViewerState{};  // the next visitor's first room opens its page again
    viewer_state.plan_file_name = plan_file_name;
    viewer_state.plan_from_command_line = plan_file_name.empty() ? 0 : 1;
    tables_turned = 0;
    show_room_page(nullptr);
    reset_touch_face();           // panels closed, the welcome line back
    build_world_or_show_fault();  // the start plan's start pose and the start-up strip text
    glutPostWindowRedisplay(window_state.main_window);
}
