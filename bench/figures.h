// figures.h -- the benchmark figures: frames and motion events of the
// viewer, SGI decoding, and start-up.
#pragma once

#include <string>
#include <vector>

#include "bench/bench_timing.h"

namespace bench {

// A plan point the motion figures stand at, plan units.
struct StandPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// Where the viewer figures stand and look, for one building.
struct ViewerSetup {
    StandPoint room;          // inside a room, clear of walls and the desk
    StandPoint corridor;      // in the corridor
    float corridor_heading;   // walking view heading for the frame figures, degrees
    std::string widths;       // window widths of the frame figures, "700,1920"; empty: all
};

// Opens the viewer's windows in the working directory (start_up), once.
void open_viewer(int* argc, char** argv);

// Frames of the walking and pop-up views at 700 x 500 and 1920 x 1080
// against an empty frame of the same window.
std::vector<Figure> frame_figures(const ViewerSetup& setup, const Effort& effort);

// Where the walking frame's time goes: each way of drawing the boxes and
// the strip's redraw on against off, at every size; prints the fragments
// per pixel at 700 x 500.
std::vector<Figure> part_figures(const ViewerSetup& setup, const Effort& effort);

// One frame of the viewer, finished (glFinish and an X round trip).
void viewer_frame();
// The status strip alone, finished.
void status_strip_frame();
// Each way of drawing the boxes on against off, and the strip only when its
// line changes against every frame, at the current size and pose.
std::vector<Figure> drawing_switch_figures(const Effort& effort);
// Prints the fragments per pixel one frame rasterizes and shades.
void print_fragments(const char* view);

// Motion events inside a room and in the corridor against a bare validated
// parse of Department.xml.
std::vector<Figure> motion_figures(const ViewerSetup& setup, const Effort& effort);

// Planning the way to the farthest room, and across a 500 x 500 floor of 300
// diagonal walls, against a bare validated parse, and the walking frame with
// that way shown against the frame without.
std::vector<Figure> find_figures(const ViewerSetup& setup, const Effort& effort);

// One frame of the viewer, finished and copied to the screen.
void viewer_frame();
// Resizes the main window and waits for the viewer's reshape to follow.
void resize_main_window(int width, int height);

// The walking frame with the touch face against the same frame without it
// at 1920 x 1080, and a tap on Find's keyboard to its finished frame.
std::vector<Figure> touch_figures(const ViewerSetup& setup, const Effort& effort);

// Puts the visitor at a plan point with a heading, as a move would.
void stand_at(StandPoint point, float heading);
// A validated parse of Department.xml straight through libxml2.
void bare_parse();

// read_sgi_image on 2048 x 2048 run-length and verbatim files against
// ImageMagick decoding the same files in-process.
std::vector<Figure> decode_figures(const std::string& work_dir, const Effort& effort,
                                   const char* program_name);

// Process start to the first finished frame of the main window, for the
// probe (the viewer, plainly and as a kiosk with the touch face) and for a
// minimal GLUT program, run in the working directory.
std::vector<Figure> startup_figures(const std::string& probe, const std::string& minimal,
                                    const std::string& minimal_label, int repetitions);

} // namespace bench
