// startup.cpp -- program start-up: the command line, colours, GLUT, the two
// windows (full screen in a kiosk), the optional plan argument, the first
// world build and the callbacks.
#include <GL/freeglut.h>  // Required for: glutInit(), glutCreateWindow(), glutFullScreen(), callbacks

#include <cerrno>    // Required for: errno
#include <cstdio>    // Required for: std::fprintf()
#include <cstring>   // Required for: std::strerror()
#include <unistd.h>  // Required for: chdir()

#include "common/process_exit.h"
#include "common/state.h"
#include "common/data_path.h"
#include "app/viewer.h"
#include "diagnostics/heap_report.h"
#include "directory/room_record.h"
#include "kiosk/display_claim.h"
#include "kiosk/kiosk.h"
#include "kiosk/options.h"
#include "common/colour_table.h"
#include "render/world.h"

namespace {

// Takes the one optional argument as the plan file of the first world build
// (and of every idle reset).
void take_plan_argument(int argc, char** argv)
{
    if (argc != 2)
        return;
    viewer_state.plan_from_command_line = 1;
    viewer_state.plan_file_name = argv[1];  // kept whole: a cut name would open another file
}

// Registers the callbacks of the main window. There is no idle callback:
// a picture is drawn only when input, the window or the strip changes it.
void register_main_callbacks()
{
    glutDisplayFunc(on_display);
    glutReshapeFunc(on_reshape);
    glutKeyboardFunc(on_key);
    glutSpecialFunc(on_special_key);
    glutMouseFunc(on_mouse);
    glutMotionFunc(on_motion);
    if (kiosk_settings.idle_reset_seconds > 0)
        glutPassiveMotionFunc(on_passive_motion);
}

// A kiosk window covers the screen from its first frame.
void size_kiosk_window()
{
    window_state.width = glutGet(GLUT_SCREEN_WIDTH);
    window_state.height = glutGet(GLUT_SCREEN_HEIGHT);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(window_state.width, window_state.height);
}

// Full screen (through the window manager where there is one), no pointer,
// and room files that fail at a lookup leave the kiosk running.
void make_kiosk_window()
{
    glutFullScreen();
    glutSetCursor(GLUT_CURSOR_NONE);
    lookup_failure_policy = LookupFailurePolicy::carry_on;
}

// Enters the --data folder; false (with a message) when it cannot.
bool enter_data_folder(const std::string& folder)
{
    if (folder.empty() || chdir(folder.c_str()) == 0)
        return true;
    std::fprintf(stderr, "vevuv: cannot enter the data folder '%s': %s\n", folder.c_str(),
                 std::strerror(errno));
    return false;
}

// Exit statuses of the command line.
constexpr int status_usage = 2;
constexpr int status_no_data_folder = 1;
constexpr int status_display_taken = 1;

// Creates the status strip along the top edge of the main window.
void create_status_window()
{
    window_state.status_window = glutCreateSubWindow(
        window_state.main_window, status_strip_x, status_strip_y,
        status_strip_width(window_state.width), status_strip_height(window_state.height));
    glutDisplayFunc(on_status_display);
    glutReshapeFunc(on_status_reshape);
}

} // namespace

// Runs every start-up step before the main loop; argc and argv go to GLUT.
void start_up(int* argc, char** argv)
{
    define_colours();
    glutInitWindowSize(window_state.width, window_state.height);
    glutInit(argc, argv);
    // Checked after glutInit, which takes out the X options it knows.
    if (!only_plan_file_left(*argc, argv))
        end_program(status_usage);
    if (kiosk_settings.kiosk_mode)
        size_kiosk_window();
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    window_state.main_window = glutCreateWindow("Vevuv");
    if (kiosk_settings.kiosk_mode)
        make_kiosk_window();
    take_plan_argument(*argc, argv);
    start_touch_face();
    build_world_or_show_fault();
    register_main_callbacks();
    // The touch face draws the strip itself: a strip window has a GL context
    // of its own, whose making and first picture cost a kiosk a sixth of its
    // start-up.
    if (!kiosk_settings.touch_face) {
        create_status_window();
        show_strip_window(!kiosk_out_of_order());  // the out-of-order screen fills the window
    }
    glutSetWindow(window_state.main_window);
    if (kiosk_settings.kiosk_mode)
        glutSetCursor(GLUT_CURSOR_NONE);
}

// Reads the command line, starts the program and enters GLUT's main loop,
// which never returns; a kiosk or an idle reset adds the watch of the loop.
int run_vevuv(int argc, char** argv)
{
    CommandLine line;
    const CommandLineOutcome outcome = read_command_line(&argc, argv, &line);
    if (outcome != CommandLineOutcome::run)
        return outcome == CommandLineOutcome::end_ok ? 0 : status_usage;
    if (line.kiosk && !claim_kiosk_display())
        return status_display_taken;
    // A kiosk shows a folder it cannot enter on its out-of-order screen and
    // tries again, instead of ending into a restart every few seconds.
    const bool entered = enter_data_folder(line.data_folder);
    if (!entered && !line.kiosk)
        return status_no_data_folder;
    enable_heap_report_from_environment();
    if (line.data_folder.empty())
        choose_data_source();
    kiosk_settings.kiosk_mode = line.kiosk;
    kiosk_settings.idle_reset_seconds = line.idle_reset_seconds;
    kiosk_settings.page_base = line.page_base;
    kiosk_settings.open_pages = line.open_pages;
    kiosk_settings.data_folder = line.data_folder;
    kiosk_settings.data_folder_entered = entered;
    kiosk_settings.touch_face = line.touch || line.kiosk;
    if (line.kiosk)
        catch_end_signals();
    start_up(&argc, argv);
    if (line.kiosk || line.idle_reset_seconds > 0)
        start_kiosk_watch(reset_for_next_visitor);
    glutMainLoop();
    return 0;
}
