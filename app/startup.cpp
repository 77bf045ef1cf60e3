// startup.cpp -- program start-up: colours, GLUT, the two windows, the
// optional plan argument, the first world build and the callbacks.
#include <GL/glut.h>  // Required for: glutInit(), glutCreateWindow(), callbacks

#include "app/state.h"
#include "app/viewer.h"
#include "render/colour_table.h"
#include "render/world.h"

namespace {

// Takes the one optional argument as the plan file of the first world build.
void take_plan_argument(int argc, char** argv)
{
    if (argc != 2)
        return;
    viewer_state.plan_from_command_line = 1;
    viewer_state.plan_file_name = argv[1];  // kept whole: a cut name would open another file
}

// Registers the callbacks of the main window and the idle callback.
void register_main_callbacks()
{
    glutDisplayFunc(on_display);
    glutReshapeFunc(on_reshape);
    glutKeyboardFunc(on_key);
    glutSpecialFunc(on_special_key);
    glutMouseFunc(on_mouse);
    glutMotionFunc(on_motion);
    glutIdleFunc(on_idle);
}

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
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    window_state.main_window = glutCreateWindow("Vevuv");
    // Counted after glutInit, which takes out the X options it knows.
    take_plan_argument(*argc, argv);
    init_world();
    register_main_callbacks();
    create_status_window();
    glutSetWindow(window_state.status_window);
    glutShowWindow();
}

// Starts the program and enters GLUT's main loop, which never returns.
int run_vevuv(int argc, char** argv)
{
    start_up(&argc, argv);
    glutMainLoop();
    return 0;
}
