// visit.cpp -- the room visit: the desk moves into the room the visitor
// entered, blocks him there, and the first visit opens the room's page; in
// kiosk mode the page is shown as a QR code while he is in the room.
#include <climits>   // Required for: INT_MAX
#include <cstdio>    // Required for: std::snprintf()
#include <cstdlib>   // Required for: std::system(), std::getenv()
#include <cstring>   // Required for: strnlen(), std::strlen()
#include <iostream>  // Required for: std::cout
#include <string>    // Required for: std::string

#include "common/state.h"
#include "common/data_path.h"
#include "pagecode/page_address.h"
#include "app/viewer.h"
#include "kiosk/kiosk.h"
#include "pagecode/qr_code.h"
#include "render/kiosk_panels.h"
#include "plan/floor_plan.h"
#include "plan/walls.h"

namespace {

// The kiosk's QR panel while the visitor is in a room with a page.
struct RoomPagePanel {
    std::string address;  // the page's public address; empty: no panel
    QrCode code;          // its code
    std::string line;     // the line under the code
};
RoomPagePanel room_page_panel;
bool no_address_noted = false;  // flag: the console has said once that a page has no address

// Corners whose mean places a desk given as (0, 0).
constexpr int default_table_corner_count = 6;

// Program that opens a page in the user's web browser, unless the
// environment variable VEVUV_BROWSER names another (a kiosk browser).
const char default_browser_program[] = "xdg-open";
const char browser_variable[] = "VEVUV_BROWSER";
// Longest command for the default program: "xdg-open " + "./" + the page
// quoted for the shell (each byte at most four, plus two quotes) + " &".
// Another program moves the limit by the difference in its length.
constexpr int default_browser_command_limit =
    int(sizeof default_browser_program) + 2 + 4 * (long_text_size - 1) + 2 + 2;

// The text as one POSIX shell word: single quotes, each inner ' as '\''.
std::string shell_quoted(const char* text, size_t length)
{
    std::string quoted = "'";
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\'')
            quoted += "'\\''";
        else
            quoted += text[i];
    }
    quoted += "'";
    return quoted;
}

// The page as one shell word; a page that starts with '-' gets "./" so the
// browser never takes it as an option.
std::string shell_quoted_page(const char* page, size_t length)
{
    if (length > 0 && page[0] == '-')
        return shell_quoted(("./" + std::string(page, length)).c_str(), length + 2);
    return shell_quoted(page, length);
}

// The browser program as the command's first shell word: the default as it
// is, one named by VEVUV_BROWSER quoted whole.
std::string browser_word()
{
    const char* program = std::getenv(browser_variable);
    if (program == nullptr || program[0] == '\0')
        return default_browser_program;
    return shell_quoted(program, std::strlen(program));
}

// Starts the browser on the page in the background; never runs a cut command.
// A page read from the lookup folders is given by its path there.
void open_publications_page(const RoomRecord& record)
{
    const std::string written(record.Publications, strnlen(record.Publications, long_text_size));
    const std::string page = is_web_address(written) ? written : data_file_path(written);
    const std::string program = browser_word();
    const std::string command = program + " " + shell_quoted_page(page.c_str(), page.size()) + " &";
    const size_t limit = default_browser_command_limit - (sizeof default_browser_program - 1)
                         + program.size() + 4 * (page.size() - written.size());
    if (command.size() > limit) {
        std::cout << "Room " << record.Room_Number
                  << ": browser command for its publications page would exceed "
                  << limit << " characters; browser not started" << std::endl;
        return;
    }
    // The command interpreter's result is not looked at: a browser that
    // cannot start still counts as the run's one start.
    const int ignored = std::system(command.c_str());
    (void)ignored;
}

// Puts the table at the mean of the room's first six corners.
void place_table_at_corner_mean(RoomRecord& record)
{
    double sum_x = 0.0;
    double sum_y = 0.0;
    for (int i = 0; i < default_table_corner_count; ++i) {
        sum_x += record.RoomX[i];
        sum_y += record.RoomY[i];
    }
    record.TableX = float(sum_x * (1.0 / default_table_corner_count));
    record.TableY = float(sum_y * (1.0 / default_table_corner_count));
}

// True when the recorded block of the last visit is still the wall table's tail.
bool previous_visit_block_in_place()
{
    const FloorPlan& plan = floor_plan;
    const int32_t start = plan.visit_wall_start;
    return start >= plan.wall_count
        && start + table_block_segments == plan.wall_count + plan.table_wall_count;
}

// Makes the desk at world (x, z) solid, replacing the previous visit's block
// so that repeated visits never fill the wall table.
void replace_visit_walls(int room_number, float x, float z)
{
    FloorPlan& plan = floor_plan;
    if (previous_visit_block_in_place())
        plan.table_wall_count = plan.visit_wall_start - plan.wall_count;
    const int32_t start = plan.wall_count + plan.table_wall_count;
    plan.visit_wall_start = -1;
    if (add_table_walls(x, z))
        plan.visit_wall_start = start;
    else
        std::cout << "Room " << room_number << ": " << table_block_refusal("the desk moved there")
                  << std::endl;
}

// The page's public address for the kiosk's panel; says once per run
// when a relative page has no --page-base to be joined to.
std::string public_page_address(const RoomRecord& record)
{
    const std::string page(record.Publications, strnlen(record.Publications, long_text_size));
    const std::string address = page_address(page, kiosk_settings.page_base);
    if (address.empty() && !page.empty() && !no_address_noted) {
        no_address_noted = true;
        std::cout << "Room " << record.Room_Number << ": the publications page \"" << page
                  << "\" is no web address and no --page-base was given; no QR code shown" << std::endl;
    }
    return address;
}

} // namespace

// In kiosk mode, shows the QR code of the room's page (null: takes it away).
void show_room_page(const RoomRecord* record)
{
    const std::string address = record != nullptr && kiosk_settings.kiosk_mode
                                    ? public_page_address(*record) : "";
    if (address == room_page_panel.address)
        return;
    room_page_panel.address = address;
    room_page_panel.code = encode_qr(address);
    if (!address.empty() && room_page_panel.code.side == 0)
        std::cout << "Room " << record->Room_Number << ": the address \"" << address
                  << "\" does not fit in a QR code; no QR code shown" << std::endl;
    room_page_panel.line = record != nullptr
        ? "Scan for the publications of room " + std::to_string(record->Room_Number) : "";
}

// Draws the QR panel of the room the visitor is in, if any.
void draw_room_page_panel()
{
    if (!room_page_panel.address.empty())
        draw_page_panel(room_page_panel.code, room_page_panel.line, window_state.width, window_state.height);
}

// Moves the desk into the visited room, makes it solid and opens the room's
// page at the first such visit of the run.
void visit_room(RoomRecord& record)
{
    if (record.TableX == 0.0 && record.TableY == 0.0)
        place_table_at_corner_mean(record);
    else if (record.TableX == -1.0 && record.TableY == -1.0)
        return;  // a room without a table
    tables_turned = record.TableY > desk_turn_line_y ? 1 : 0;
    floor_plan.table_count = 1;
    TablePlacement& desk = floor_plan.tables[0];
    desk.x = float(record.TableX * plan_scale_x);
    desk.z = float(record.TableY * plan_scale_z);
    desk.kind = blocking_table_kind;
    replace_visit_walls(record.Room_Number, desk.x, desk.z);
    // A kiosk hands the page over as a QR code; its keeper may ask for the browser too.
    const bool browser_wanted = !kiosk_settings.kiosk_mode || kiosk_settings.open_pages;
    if (viewer_state.room_visit_count == 0 && browser_wanted)
        open_publications_page(record);
    if (viewer_state.room_visit_count < INT_MAX)  // saturates: never wraps to a "first" visit
        viewer_state.room_visit_count = viewer_state.room_visit_count + 1;
}
