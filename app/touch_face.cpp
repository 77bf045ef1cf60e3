// touch_face.cpp -- the touch face wired into the program: its state (open
// panel, the press being made, Find's scroll, the banner, the turn towards
// the way), taps and drags, and drawing it over each frame and in the strip.
#include <GL/freeglut.h>  // Required for: glutGet(), glutTimerFunc(), glutPostWindowRedisplay()

#include <cmath>     // Required for: std::atan2(), std::remainder(), std::hypot()
#include <cstdio>    // Required for: std::fopen()
#include <cstdlib>   // Required for: std::atoi()
#include <cstring>   // Required for: strnlen()
#include <iostream>  // Required for: std::cout
#include <memory>    // Required for: std::unique_ptr

#include "common/state.h"
#include "app/viewer.h"
#include "directory/locator.h"
#include "find/find_state.h"
#include "find/find_text.h"
#include "kiosk/kiosk.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"
#include "render/world.h"
#include "text/text_painter.h"
#include "touch/touch_view.h"

namespace {

using touch::Button;
using touch::Hit;
using touch::HitKind;
using touch::Panel;

// A press is a tap when released within this share of the window's height
// from where it began, and within tap_ms.
constexpr double tap_slop_share = 0.02;
constexpr int tap_ms = 600;
// The turn towards a chosen room's way: its length and its frames' spacing.
constexpr int turn_ms = 600;
constexpr int turn_frame_ms = 30;
// The way's first stretch is taken up to this far from the visitor, world units.
constexpr double first_stretch_reach = 1.0;
// A tapped place is reached within this distance, world units.
constexpr double place_reach = 0.4;
// How far a tap that shows the sky reaches along the floor, world units.
constexpr double far_reach = 100.0;
// How far behind a tapped wall the room is looked for, and before it the floor, world units.
constexpr double wall_step = 0.6;
// A press this soon after the pointer's move ended the idle warning belongs
// to the same touch, and only ends the warning, ms.
constexpr int warning_grace_ms = 1000;
// How long the arrival banner shows, ms.
constexpr int banner_ms = 6000;
// First texture name of the face's glyph textures (the building's use 1 to 7).
constexpr unsigned main_glyph_textures = 1000;

const char welcome_line[] = "Welcome! Tap Find or Map to get to a room, or drag the picture to walk and turn.";
const char arrived_title[] = "You have arrived";
const std::vector<std::string> help_lines = {
    "How to use this screen",
    "Find: type a name or a room number, then tap the person or room in the list.",
    "Map: the whole floor from above. Tap a room to see the way there.",
    "Walk there: takes you along the yellow way. Tap anywhere to stop.",
    "Drag the picture up or down to walk, left or right to turn.",
    "Tap the floor to walk to that spot; tap a room's wall or door to go in.",
    "Start again: back to the start, ready for the next visitor.",
    "Tap Help or this page to close it.",
};

struct TouchState {
    Panel panel = Panel::none;       // map or help (Find shows while Find is open)
    bool welcome = true;             // the welcome line shows until the first touch or key
    // The press in progress
    bool down = false;
    bool dragged = false;            // moved beyond the tap distance
    bool swallowed = false;          // the press ended the idle warning and does nothing else
    int warning_ended_at = -warning_grace_ms;  // when a pointer's move ended the idle warning, ms
    bool stopped_walk = false;       // the press stopped a walk: a tap on the building only stops it
    int press_x = 0, press_y = 0;    // pixels
    int press_time = 0;              // ms since start
    Hit pressed;                     // the part under the press, drawn pressed
    int scroll_at_press = 0;         // Find's scroll when the press began, pixels
    // Find's list
    int scroll = 0;                  // pixels
    // The arrival banner
    std::string banner_line;         // empty: no banner
    int banner_generation = 0;
    // The turn towards the way
    double turn_from = 0, turn_by = 0;  // degrees
    int turn_start = 0;                 // ms since start
    int turn_generation = 0;
    // What the strip last printed to the console
    std::string strip_logged;
};

TouchState face;
std::unique_ptr<text::Painter> main_painter;

bool on() { return kiosk_settings.touch_face; }

int now_ms() { return glutGet(GLUT_ELAPSED_TIME); }

void redraw() { glutPostWindowRedisplay(window_state.main_window); }

// A word's width in the main window's font, for the layout.
int word_width(const std::string& word, int size) { return main_painter->width(word, size, text::Weight::bold); }

touch::Layout layout() { return touch::make_layout(window_state.width, window_state.height, word_width); }

// The panel on top: Find while it is open, else the one chosen.
Panel shown_panel() { return find_state.open != 0 ? Panel::find : face.panel; }

// The rooms Find lists: every room in directory order for an empty query, else the matches.
std::vector<int> listed_rooms()
{
    std::string typed;
    for (unsigned char c : find_state.query)
        if (c != ' ')
            typed += char(c);
    if (typed.empty())
        return directory_order(find_state.rooms);
    return match_rooms(find_state.rooms, find_state.query, int(find_state.rooms.size()));
}

std::string field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

// A row: the number, then the professor (or introduction) and research.
touch::ListRow list_row(const RoomRecord& room)
{
    std::string rest = field(room.Professor, sizeof room.Professor);
    if (rest.empty())
        rest = field(room.Introduction_Text, sizeof room.Introduction_Text);
    const std::string research = field(room.Research, sizeof room.Research);
    if (!research.empty())
        rest += " - " + research;
    if (!room_on_this_floor(room))
        rest += " (not on this floor)";
    return {std::to_string(room.Room_Number), rest};
}

bool walk_there_shown() { return shown_panel() == Panel::none && shown_route() != nullptr && !route_walking(); }

// The rooms are read when Find opens; the map may come first.
void make_sure_rooms_read()
{
    if (find_state.rooms.empty())
        read_room_directory(find_state.rooms);
}

// The locator is read at the first room lookup; the map may come first.
void make_sure_locator_read()
{
    if (lookup_call_count > 0 || locator_searchable_count > 0)
        return;
    if (std::FILE* file = std::fopen("qor3rdfloor.inp", "r")) {
        std::fclose(file);
        read_room_locator();
    }
}

// The room record of a number, or null.
const RoomRecord* room_numbered(int number)
{
    for (const RoomRecord& r : find_state.rooms)
        if (r.Room_Number == number)
            return &r;
    return nullptr;
}

// Everything on the map, in plan units.
touch::MapScene map_scene()
{
    make_sure_rooms_read();
    make_sure_locator_read();
    const FloorPlan& f = floor_plan;
    touch::MapScene s{};
    s.min_x = float(std::fmin(f.floor_x1, f.floor_x2) / plan_scale_x);
    s.max_x = float(std::fmax(f.floor_x1, f.floor_x2) / plan_scale_x);
    s.min_y = float(std::fmin(f.floor_z1 / plan_scale_z, f.floor_z2 / plan_scale_z));
    s.max_y = float(std::fmax(f.floor_z1 / plan_scale_z, f.floor_z2 / plan_scale_z));
    for (int i = 0; i < f.wall_count && i < max_walls; ++i)
        s.walls.push_back({float(f.walls[i].x1 / plan_scale_x), float(f.walls[i].z1 / plan_scale_z),
                           float(f.walls[i].x2 / plan_scale_x), float(f.walls[i].z2 / plan_scale_z)});
    const std::vector<RoutePoint>* way = shown_route();
    for (size_t i = 1; way != nullptr && i < way->size(); ++i)
        s.way.push_back({float((*way)[i - 1].x / plan_scale_x), float((*way)[i - 1].z / plan_scale_z),
                         float((*way)[i].x / plan_scale_x), float((*way)[i].z / plan_scale_z)});
    const int chosen = route_room_number();
    for (int i = 0; i < locator_searchable_count && i < max_locator_records; ++i) {
        const LocatorEntry& e = locator_table[i];
        const std::string number = field(e.name, locator_name_size);
        const RoomRecord* record = room_numbered(std::atoi(number.c_str()));
        s.rooms.push_back({number, record != nullptr ? professor_surname(*record) : std::string(), e.min_x, e.min_y,
                           e.max_x, e.max_y, std::atoi(number.c_str()) == chosen && chosen != 0});
    }
    s.here_x = viewer_state.x / float(plan_scale_x);
    s.here_y = viewer_state.z / float(plan_scale_z);
    return s;
}

// One frame of the turn towards the way; the last one lands on the heading.
void on_turn_frame(int generation)
{
    if (generation != face.turn_generation)
        return;
    const double t = double(now_ms() - face.turn_start) / turn_ms;
    const double eased = t >= 1.0 ? 1.0 : t * t * (3.0 - 2.0 * t);
    viewer_state.heading = float(face.turn_from + face.turn_by * eased);
    redraw();
    if (t < 1.0)
        glutTimerFunc(turn_frame_ms, on_turn_frame, generation);
}

// Turns the walking view, smoothly, to face the way's first stretch.
void turn_towards_way()
{
    const std::vector<RoutePoint>* way = shown_route();
    if (way == nullptr)
        return;
    const RoutePoint from = (*way)[0];
    RoutePoint to = (*way)[1];
    for (const RoutePoint& p : *way) {
        to = p;
        if (std::hypot(p.x - from.x, p.z - from.z) >= first_stretch_reach)
            break;
    }
    const double heading = std::atan2(to.x - from.x, -(to.z - from.z)) / degrees_to_radians;
    face.turn_from = viewer_state.heading;
    face.turn_by = std::remainder(heading - viewer_state.heading, 360.0);
    face.turn_start = now_ms();
    glutTimerFunc(turn_frame_ms, on_turn_frame, ++face.turn_generation);
}

// Chooses a room from the list or the map: the way, the turn, "Walk there".
void choose(const RoomRecord& room)
{
    face.panel = Panel::none;
    choose_room(room);
    turn_towards_way();
}

void close_panels()
{
    if (find_state.open != 0)
        find_takes_key(escape_key);
    face.panel = Panel::none;
}

// Opens a panel, or closes it when it is the one shown.
void switch_panel(Panel panel)
{
    const bool was_shown = shown_panel() == panel;
    close_panels();
    if (was_shown)
        return;
    if (panel == Panel::find) {
        find_takes_key('/');
        face.scroll = 0;
    } else {
        face.panel = panel;
    }
}

void press_button(Button b)
{
    switch (b) {
    case Button::find: switch_panel(Panel::find); break;
    case Button::map: switch_panel(Panel::map); break;
    case Button::help: switch_panel(Panel::help); break;
    case Button::start_again: reset_for_next_visitor(); break;
    case Button::walk_there: start_route_walk(); break;
    default: break;
    }
}

// A key of the on-screen keyboard types as its real key would.
void press_key(const touch::Key& key)
{
    find_takes_key(static_cast<unsigned char>(key.code));
    face.scroll = 0;
}

// A tap on the map: the room under it, if any, is chosen.
void tap_map(int x, int y)
{
    const touch::MapScene scene = map_scene();
    const touch::MapFrame frame = touch::fit_map(layout(), scene);
    const char* name = find_room_at(float(frame.plan_x(x)), float(frame.plan_y(y)));
    const RoomRecord* room = name != nullptr ? room_numbered(std::atoi(name)) : nullptr;
    if (room != nullptr)
        choose(*room);
}

// A ray from the walking eye, world units.
struct Ray {
    double x, y, z;     // the eye
    double dx, dy, dz;  // the direction
};

// The ray through a window pixel, from the walking eye's camera.
Ray pixel_ray(int px, int py)
{
    const double w = window_state.width > 0 ? window_state.width : 1;
    const double h = window_state.height > 0 ? window_state.height : 1;
    const double spread = std::tan(field_of_view / 2 * degrees_to_radians);
    const double cx = (2.0 * (px + 0.5) / w - 1.0) * spread * w / h;
    const double cy = (1.0 - 2.0 * (py + 0.5) / h) * spread;
    const double a = viewer_state.heading * degrees_to_radians;
    return {viewer_state.x, viewer_state.eye_height, viewer_state.z,
            std::cos(a) * cx + std::sin(a), cy, std::sin(a) * cx - std::cos(a)};
}

// Where along a-b (0 to 1) it crosses segment s, or 2 when it does not.
double crossing(double ax, double az, double bx, double bz, const WallSegment& s)
{
    const double rx = bx - ax, rz = bz - az, sx = s.x2 - s.x1, sz = s.z2 - s.z1;
    const double denominator = rx * sz - rz * sx;
    if (std::fabs(denominator) < 1e-12)
        return 2.0;
    const double t = ((s.x1 - ax) * sz - (s.z1 - az) * sx) / denominator;
    const double u = ((s.x1 - ax) * rz - (s.z1 - az) * rx) / denominator;
    return t >= 0.0 && t <= 1.0 && u >= 0.0 && u <= 1.0 ? t : 2.0;
}

// Walks the visitor into the room whose locator box holds the plan point; false when none does.
bool walk_into_room_at(double x, double z)
{
    make_sure_rooms_read();
    const char* name = find_room_at(float(x / plan_scale_x), float(z / plan_scale_z));
    const RoomRecord* room = name != nullptr ? room_numbered(std::atoi(name)) : nullptr;
    if (room == nullptr)
        return false;
    choose_room(*room);
    start_route_walk();
    return true;
}

// Walks the visitor to a place on the floor, world units.
void walk_to_place(double x, double z)
{
    walk_to_area({float(x - place_reach), float(z - place_reach), float(x + place_reach), float(z + place_reach)});
}

// A tap on the building: the floor it shows is walked to; a wall (or the
// lintel over a door) it shows leads into the room behind it, if any, else
// to the floor just before it.
void tap_building(int px, int py)
{
    if (viewer_state.popup_view != 0)
        return;
    const Ray r = pixel_ray(px, py);
    const double reach = r.dy < -1e-6 ? r.y / -r.dy : far_reach;
    const double ex = r.x + r.dx * reach, ez = r.z + r.dz * reach;
    double nearest = 2.0;
    const int walls = floor_plan.wall_count + floor_plan.table_wall_count;
    for (int i = 0; i < walls && i < max_walls; ++i)
        nearest = std::fmin(nearest, crossing(r.x, r.z, ex, ez, floor_plan.walls[i]));
    for (int i = 0; i < floor_plan.lintel_count && i < max_lintels; ++i) {
        const double t = crossing(r.x, r.z, ex, ez, floor_plan.lintels[i]);
        if (t <= 1.0 && r.y + r.dy * reach * t >= wall_height * lintel_bottom_ratio)
            nearest = std::fmin(nearest, t);
    }
    if (nearest > 1.0) {
        walk_to_place(ex, ez);
        return;
    }
    const double length = std::hypot(ex - r.x, ez - r.z);
    const double behind = nearest + wall_step / length, before = nearest - wall_step / length;
    if (walk_into_room_at(r.x + (ex - r.x) * behind, r.z + (ez - r.z) * behind))
        return;
    walk_to_place(r.x + (ex - r.x) * std::fmax(before, 0.0), r.z + (ez - r.z) * std::fmax(before, 0.0));
}

// What a tap does, by the part it hit.
void tap(const Hit& hit, int x, int y)
{
    const Panel panel = shown_panel();
    face.banner_line.clear();
    if (hit.kind == HitKind::button) {
        press_button(Button(hit.index));
    } else if (hit.kind == HitKind::key) {
        press_key(layout().keys[size_t(hit.index)]);
    } else if (hit.kind == HitKind::row) {
        const std::vector<int> rooms = listed_rooms();
        if (hit.index < int(rooms.size()))
            choose(find_state.rooms[size_t(rooms[size_t(hit.index)])]);
    } else if (hit.kind == HitKind::content && panel == Panel::map) {
        tap_map(x, y);
    } else if (hit.kind == HitKind::content && panel == Panel::help) {
        face.panel = Panel::none;
    } else if (hit.kind == HitKind::nothing && panel == Panel::none && !face.stopped_walk) {
        tap_building(x, y);
    }
}

Hit hit_at(int x, int y)
{
    return touch::hit_test(layout(), shown_panel(), x, y, face.scroll, int(listed_rooms().size()), walk_there_shown());
}

void press(int x, int y)
{
    const bool warned = idle_warning_seconds() >= 0 || now_ms() - face.warning_ended_at < warning_grace_ms;
    face.stopped_walk = route_walking();
    ++face.turn_generation;  // a touch ends the turn towards the way where it is
    note_visitor_input();
    stop_route_walk();
    face.welcome = false;
    face.down = true;
    face.dragged = false;
    face.swallowed = warned;
    face.press_x = x;
    face.press_y = y;
    face.press_time = now_ms();
    face.pressed = warned ? Hit{} : hit_at(x, y);
    face.scroll_at_press = face.scroll;
    viewer_state.last_mouse_x = x;
    viewer_state.last_mouse_y = y;
    redraw();
}

void release(int x, int y)
{
    note_visitor_input();
    const bool is_tap = face.down && !face.dragged && !face.swallowed && now_ms() - face.press_time <= tap_ms;
    face.down = false;
    const Hit hit = face.pressed;
    face.pressed = {};
    if (is_tap)
        tap(hit, x, y);
    redraw();
}

// The index of a pressed part of the given kind, or -1.
int pressed_index(HitKind kind) { return face.pressed.kind == kind ? face.pressed.index : -1; }

void draw_find(const touch::Layout& l)
{
    std::vector<touch::ListRow> rows;
    for (int index : listed_rooms())
        rows.push_back(list_row(find_state.rooms[size_t(index)]));
    const int limit = touch::max_scroll(l, int(rows.size()));
    face.scroll = face.scroll > limit ? limit : (face.scroll < 0 ? 0 : face.scroll);
    touch::draw_find_panel(l, *main_painter, rows, face.scroll, find_state.query, pressed_index(HitKind::key),
                           pressed_index(HitKind::row));
}

// Ends the arrival banner it was started for.
void on_banner_end(int generation)
{
    if (generation != face.banner_generation)
        return;
    face.banner_line.clear();
    redraw();
}

// The status line; every new one is written to the console too, for the
// keepers' log and the tests.
std::string logged_strip_line()
{
    const std::string line = field(window_state.status_text, status_text_size);
    if (line != face.strip_logged) {
        face.strip_logged = line;
        std::cout << "Strip: " << line << std::endl;
    }
    return line;
}

// The face draws the strip itself (it has no strip window), where the
// window mode's strip stands and when it shows.
bool strip_drawn_by_face() { return viewer_state.help_shown == 0 && viewer_state.popup_view == 0; }

} // namespace

// The strip (when the face draws it), panel, banner or welcome line, the bar,
// and the idle warning over all.
void draw_touch_face()
{
    if (!on())
        return;
    const touch::Layout l = layout();
    touch::begin_overlay(l.width, l.height);
    if (strip_drawn_by_face())
        touch::draw_strip(l, *main_painter, logged_strip_line());
    switch (shown_panel()) {
    case Panel::find: draw_find(l); break;
    case Panel::map: touch::draw_map(l, *main_painter, map_scene()); break;
    case Panel::help: touch::draw_page(l, *main_painter, help_lines); break;
    case Panel::none:
        if (!face.banner_line.empty())
            touch::draw_banner(l, *main_painter, arrived_title, face.banner_line);
        else if (face.welcome)
            touch::draw_welcome(l, *main_painter, welcome_line);
        break;
    }
    touch::draw_buttons(l, *main_painter, pressed_index(HitKind::button), walk_there_shown());
    const int seconds = idle_warning_seconds();
    if (seconds >= 0)
        touch::draw_idle_warning(l, *main_painter, seconds);
    touch::end_overlay();
}

// Presses and releases of the left button; other buttons only count as presence.
bool touch_takes_mouse(int button, int state, int x, int y)
{
    if (!on())
        return false;
    if (button != GLUT_LEFT_BUTTON) {
        note_visitor_input();
        return true;
    }
    if (state == GLUT_DOWN)
        press(x, y);
    else
        release(x, y);
    return true;
}

// Beyond the tap distance a press becomes a drag: it scrolls Find's list,
// does nothing over a panel or the bar, and walks and turns over the building.
bool touch_takes_motion(int x, int y)
{
    if (!on() || !face.down)
        return false;
    note_visitor_input();
    const double slop = window_state.height * tap_slop_share;
    if (!face.dragged && std::hypot(x - face.press_x, y - face.press_y) < slop)
        return true;
    if (!face.dragged) {
        face.dragged = true;
        face.pressed = {};
        redraw();
    }
    if (face.swallowed)
        return true;
    const touch::Layout l = layout();
    if (shown_panel() == Panel::find && l.list.contains(face.press_x, face.press_y)) {
        face.scroll = face.scroll_at_press - (y - face.press_y);
        redraw();
        return true;
    }
    const bool over_face = shown_panel() != Panel::none || hit_at(face.press_x, face.press_y).kind == HitKind::button;
    return over_face;
}

// F1 opens and closes the face's help page instead of the key list.
bool touch_takes_special_key(int key)
{
    if (!on() || key != GLUT_KEY_F1)
        return false;
    switch_panel(Panel::help);
    redraw();
    return true;
}

// A move of the pointer that ends the idle warning starts the touch's grace.
bool touch_takes_passive_motion()
{
    if (!on())
        return false;
    if (idle_warning_seconds() >= 0) {
        face.warning_ended_at = now_ms();
        redraw();
    }
    note_visitor_input();
    return true;
}

void touch_note_key()
{
    if (face.welcome && on()) {
        face.welcome = false;
        redraw();
    }
}

// The strip holds the room's line when the move into it ends the way.
void touch_note_arrival(int room_number)
{
    if (!on() || room_number == 0)
        return;
    face.banner_line = field(window_state.status_text, status_text_size);
    glutTimerFunc(banner_ms, on_banner_end, ++face.banner_generation);
}

void reset_touch_face()
{
    if (!on())
        return;
    face.panel = Panel::none;
    face.welcome = true;
    face.banner_line.clear();
    face.scroll = 0;
    ++face.turn_generation;
}

// Fonts are read now, so that a missing one is reported at start-up.
void start_touch_face()
{
    if (!on())
        return;
    text::load_fonts();
    main_painter = std::make_unique<text::Painter>(main_glyph_textures);
}
