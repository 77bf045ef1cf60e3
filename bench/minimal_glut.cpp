// minimal_glut.cpp -- the start-up baseline: a GLUT program that opens the
// viewer's 700 x 500 double-buffered "Vevuv" window (a screen-sized one, as a
// kiosk's, when VEVUV_PROBE_KIOSK is set), draws one empty frame, prints
// "first frame" and ends.
#include <GL/glut.h>  // Required for: glutInit(), glutCreateWindow(), glutSwapBuffers()

#include <cstdio>     // Required for: std::fputs(), std::fflush()
#include <cstdlib>    // Required for: std::exit(), std::getenv()

namespace {

constexpr int window_width = 700;
constexpr int window_height = 500;

// Clears and swaps once, finished, then reports and ends.
void draw_empty_frame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    glFinish();
    std::fputs("first frame\n", stdout);
    std::fflush(stdout);
    std::exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    glutInitWindowSize(window_width, window_height);
    glutInit(&argc, argv);
    if (std::getenv("VEVUV_PROBE_KIOSK") != nullptr) {
        glutInitWindowPosition(0, 0);
        glutInitWindowSize(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
    }
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Vevuv");
    glutDisplayFunc(draw_empty_frame);
    glutMainLoop();
    return 0;
}
