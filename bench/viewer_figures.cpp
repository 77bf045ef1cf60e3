// viewer_figures.cpp -- frames and motion events of the real viewer on the
// building in the working directory, each against its baseline.
#include <GL/freeglut.h>     // Required for: glutMainLoopEvent(), glutReshapeWindow(), glutSwapBuffers()
#include <GL/glx.h>          // Required for: glXGetCurrentDisplay()
#include <X11/Xlib.h>        // Required for: XSync()
#include <libxml/parser.h>   // Required for: xmlReadFile(), xmlCtxtReadFile()

#include <chrono>   // Required for: std::chrono::steady_clock
#include <cstdio>   // Required for: std::printf()
#include <cstring>  // Required for: std::strncmp()

#include "common/state.h"
#include "app/viewer.h"
#include "bench/figures.h"

namespace bench {

namespace {

// The window sizes of the frame figures: the program's own window, and
// the full screens of 1080p and 4K kiosks.
struct WindowSize {
    int width, height;
};
constexpr WindowSize frame_sizes[] = {{700, 500}, {1920, 1080}, {3840, 2160}};
constexpr WindowSize program_size = frame_sizes[0];

// True when the figures at this window width were asked for (all by default).
bool size_wanted(const ViewerSetup& setup, const WindowSize& size)
{
    return setup.widths.empty() ||
           ("," + setup.widths + ",").find("," + std::to_string(size.width) + ",") != std::string::npos;
}
constexpr double settle_seconds = 0.3;      // event processing after a window change
constexpr double reshape_wait_seconds = 5.0; // longest wait for a reshape to arrive
constexpr int motion_pixels = 1;            // vertical pointer travel of one step
constexpr double floor_frame_goal = 1.3;    // a frame at most this times one textured layer
constexpr double room_motion_goal = 1.2;    // room step at most this times the parse
constexpr double corridor_motion_goal = 0.1;

const char department_file[] = "Department.xml";
const char room_text_start[] = "Room ";
// The options of the parse the room lookup asks libxml2 for: validated,
// nothing from the network, no console noise.
constexpr int bare_parse_options =
    XML_PARSE_DTDVALID | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Handles GLUT events for a while, so that windows get mapped and reshaped.
void pump_events(double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    while (seconds_since(start) < seconds)
        glutMainLoopEvent();
}

// Waits until the X server has handled every request, the copy of a swapped
// frame to the screen included.
void sync_with_server()
{
    Display* display = glXGetCurrentDisplay();
    if (display != nullptr)
        XSync(display, False);
}

} // namespace

// One frame of the viewer, finished.
void viewer_frame()
{
    on_display();
    glutSetWindow(window_state.main_window);
    glFinish();
    sync_with_server();
}

namespace {

// The baseline frame: clear and swap the main window only, finished.
void empty_frame()
{
    glutSetWindow(window_state.main_window);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
    glFinish();
    sync_with_server();
}

// The viewer's frame with the main window's pixels scissored down to one:
// everything but the filling of pixels (vertices, state, set-up, the status
// strip, the swaps).
void scissored_viewer_frame()
{
    glutSetWindow(window_state.main_window);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    viewer_frame();
    glDisable(GL_SCISSOR_TEST);
}

// The least a frame of a textured picture costs: one quad over the whole
// main window, textured with the wall texture (nearest texel, as the
// viewer's textures) and lit as the walls are, depth-tested, each pixel
// filled exactly once; then the swap. Nothing of the viewer's drawing.
void one_textured_layer_frame()
{
    constexpr unsigned wall_texture = 4;
    constexpr float texture_repeats = 8.0f;
    glutSetWindow(window_state.main_window);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, wall_texture);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.5f);
    glTexCoord2f(texture_repeats, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.5f);
    glTexCoord2f(texture_repeats, texture_repeats);
    glVertex3f(1.0f, 1.0f, 0.5f);
    glTexCoord2f(0.0f, texture_repeats);
    glVertex3f(-1.0f, 1.0f, 0.5f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glutSwapBuffers();
    glFinish();
    sync_with_server();
}

} // namespace

// The status strip alone, finished.
void status_strip_frame()
{
    on_status_display();
    glFinish();
    sync_with_server();
}

// Resizes the main window and waits for the viewer's reshape to follow.
void resize_main_window(int width, int height)
{
    glutSetWindow(window_state.main_window);
    glutReshapeWindow(width, height);
    const auto start = std::chrono::steady_clock::now();
    while ((window_state.width != width || window_state.height != height) &&
           seconds_since(start) < reshape_wait_seconds)
        glutMainLoopEvent();
    pump_events(settle_seconds);
}

namespace {

// Where the visitor stands and looks, as the program keeps it.
struct Pose {
    float x, z, plan_x, plan_y, heading;
};

// The pose the plan starts the visitor in, taken when the viewer opens.
Pose start_pose;

// Puts the visitor back into a pose taken earlier.
void put_at(const Pose& pose)
{
    viewer_state.x = pose.x;
    viewer_state.z = pose.z;
    viewer_state.plan_x = pose.plan_x;
    viewer_state.plan_y = pose.plan_y;
    viewer_state.heading = pose.heading;
}

} // namespace

// Puts the visitor at a plan point with a heading, as a move would.
void stand_at(StandPoint point, float heading)
{
    viewer_state.x = float(point.x * plan_scale_x);
    viewer_state.z = float(point.y * plan_scale_z);
    viewer_state.plan_x = point.x;
    viewer_state.plan_y = point.y;
    viewer_state.heading = heading;
    viewer_state.last_mouse_x = 0;
    viewer_state.last_mouse_y = 0;
}

namespace {


// One drag step: a pixel forward, the next call a pixel back, so that the
// visitor stays where he was put.
void motion_step()
{
    static bool forward = false;
    forward = !forward;
    on_motion(0, forward ? motion_pixels : 0);
}

} // namespace

// A validated parse of Department.xml straight through libxml2.
void bare_parse()
{
    xmlDocPtr document = xmlReadFile(department_file, nullptr, bare_parse_options);
    xmlFreeDoc(document);
}

namespace {


// True when libxml2 finds the document well formed and valid.
bool bare_parse_accepts_document()
{
    xmlParserCtxtPtr parser = xmlNewParserCtxt();
    if (parser == nullptr)
        return false;
    xmlDocPtr document = xmlCtxtReadFile(parser, department_file, nullptr, bare_parse_options);
    const bool accepted = document != nullptr && parser->wellFormed && parser->valid;
    xmlFreeDoc(document);
    xmlFreeParserCtxt(parser);
    return accepted;
}

// Times a frame against a baseline frame at the current size; the note
// gives the subject's frames per second.
Figure frame_figure(const char* view, const char* baseline_name, int width, int height,
                    const Effort& effort, void (*frame)(), void (*baseline)())
{
    const PairTiming t = time_pair(frame, baseline, effort);
    char name[80];
    std::snprintf(name, sizeof name, "frame %s %dx%d", view, window_state.width, window_state.height);
    Figure f = time_figure(name, baseline_name, "ms", 1e3, t);
    char note[64];
    std::snprintf(note, sizeof note, "%.0f fps", 1.0 / t.subject);
    f.note = note;
    if (width != window_state.width || height != window_state.height)
        f.note += " (window not at the size asked for)";
    return f;
}

const char layer_name[] = "frame one textured layer";

// A frame of the picture against the one-textured-layer frame, held to the floor goal.
Figure floor_figure(const char* view, int width, int height, const Effort& effort,
                    void (*frame)() = viewer_frame)
{
    Figure f = frame_figure(view, layer_name, width, height, effort, frame, one_textured_layer_frame);
    f.goal = "<= 1.3";
    f.met = f.ratio <= floor_frame_goal;
    return f;
}

// A frame against the one-textured-layer frame, shown for where the time goes.
Figure part_figure(const char* view, int width, int height, const Effort& effort, void (*frame)())
{
    return frame_figure(view, layer_name, width, height, effort, frame, one_textured_layer_frame);
}

// At one window size: the one-textured-layer frame against the empty
// frame, the walking view at the start pose and along the corridor, the
// parts of the walking frame, and the pop-up view, each against the layer.
void add_size_figures(std::vector<Figure>& figures, const ViewerSetup& setup, int width,
                      int height, const Effort& effort)
{
    resize_main_window(width, height);
    figures.push_back(frame_figure("one textured layer", "empty frame (clear, swap)", width, height,
                                   effort, one_textured_layer_frame, empty_frame));
    put_at(start_pose);
    figures.push_back(floor_figure("walking, start pose", width, height, effort));
    stand_at(setup.corridor, setup.corridor_heading);
    figures.push_back(floor_figure("walking, corridor", width, height, effort));
    // Where the walking frame's time goes: all but the pixels, and the strip.
    figures.push_back(part_figure("walking, 1-pixel scissor", width, height, effort,
                                  scissored_viewer_frame));
    figures.push_back(part_figure("status strip alone", width, height, effort, status_strip_frame));
    on_key('v', 0, 0);  // the pop-up view, as the visitor switches to it
    pump_events(settle_seconds);
    figures.push_back(floor_figure("pop-up", width, height, effort));
    on_key('v', 0, 0);
    pump_events(settle_seconds);
}

// Checks that the status line says what the stand point promises.
bool status_starts_with(const char* start)
{
    return std::strncmp(window_state.status_text, start, std::strlen(start)) == 0;
}

// Times drag steps at a stand point against the bare parse.
Figure motion_figure(const char* where, StandPoint point, const char* expected_status,
                     double goal, const Effort& effort)
{
    stand_at(point, 0.0f);
    motion_step();
    motion_step();
    const bool path_ok = status_starts_with(expected_status);
    const PairTiming t = time_pair(motion_step, bare_parse, effort);
    Figure f = time_figure(std::string("motion step ") + where, "bare validated libxml2 parse", "us",
                           1e6, t);
    char goal_text[16];
    std::snprintf(goal_text, sizeof goal_text, "%s %.1f", goal < 1.0 ? "<" : "<=", goal);
    f.goal = goal_text;
    f.met = goal < 1.0 ? f.ratio < goal : f.ratio <= goal;
    f.note = path_ok ? std::string("status \"") + window_state.status_text + "\""
                     : std::string("WRONG PATH: status \"") + window_state.status_text + "\"";
    return f;
}

} // namespace

// Opens the viewer's windows in the working directory, once.
void open_viewer(int* argc, char** argv)
{
    start_up(argc, argv);
    pump_events(settle_seconds);
    start_pose = {viewer_state.x, viewer_state.z, viewer_state.plan_x, viewer_state.plan_y,
                  viewer_state.heading};
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}

// Frames of both views at both sizes against an empty frame.
std::vector<Figure> frame_figures(const ViewerSetup& setup, const Effort& effort)
{
    std::vector<Figure> figures;
    for (const WindowSize& size : frame_sizes)
        if (size_wanted(setup, size))
            add_size_figures(figures, setup, size.width, size.height, effort);
    resize_main_window(program_size.width, program_size.height);
    return figures;
}

// Where the walking frame's time goes, at each size along the corridor:
// each way of drawing on against off, and at 700 x 500 the fragments per
// pixel of both walking views and the pop-up view.
std::vector<Figure> part_figures(const ViewerSetup& setup, const Effort& effort)
{
    std::vector<Figure> figures;
    for (const WindowSize& size : frame_sizes) {
        if (!size_wanted(setup, size))
            continue;
        resize_main_window(size.width, size.height);
        if (size.width == program_size.width) {
            put_at(start_pose);
            print_fragments("walking, start pose");
            stand_at(setup.corridor, setup.corridor_heading);
            print_fragments("walking, corridor");
            on_key('v', 0, 0);
            pump_events(settle_seconds);
            print_fragments("pop-up");
            on_key('v', 0, 0);
            pump_events(settle_seconds);
        }
        stand_at(setup.corridor, setup.corridor_heading);
        for (const Figure& f : drawing_switch_figures(effort))
            figures.push_back(f);
    }
    resize_main_window(program_size.width, program_size.height);
    return figures;
}

// Motion steps in a room and in the corridor against a bare parse.
std::vector<Figure> motion_figures(const ViewerSetup& setup, const Effort& effort)
{
    if (!bare_parse_accepts_document())
        std::printf("warning: libxml2 does not accept %s as valid\n", department_file);
    // The page of the first visit is opened once per run; the steps measured
    // here are the ones after it, which start no browser.
    viewer_state.room_visit_count = 1;
    viewer_state.walk_through_walls = 0;
    std::vector<Figure> figures;
    figures.push_back(motion_figure("in a room", setup.room, room_text_start, room_motion_goal, effort));
    figures.push_back(motion_figure("in the corridor", setup.corridor, corridor_text,
                                    corridor_motion_goal, effort));
    return figures;
}

} // namespace bench
