// floor_map.cpp -- draws one plan of the building as an SVG document: floor,
// room boxes with their numbers and professors, walls, lintels, desks, start,
// lights, portraits, and every problem of the check at its place.
//
// Sections: the page frame; SVG text helpers; the building; the problems;
// legend and list; floor_map_svg.
#include "maintainer/floor_map.h"

#include <algorithm>  // Required for: std::min(), std::max()
#include <cmath>      // Required for: std::sin(), std::cos(), std::fabs(), std::isfinite()
#include <cstdio>     // Required for: std::snprintf()
#include <vector>     // Required for: std::vector

#include "common/state.h"
#include "common/utf8.h"
#include "maintainer/check_parts.h"

namespace {

constexpr double page_margin = 30.0;        // pixels around everything
constexpr double title_height = 70.0;       // pixels above the floor
constexpr double floor_width_pixels = 1320.0;  // the floor's drawn width, when it fits
constexpr double max_scale = 120.0;         // pixels per plan unit, at most
constexpr double max_coordinate = 1e6;      // plan units; the picture spans no more
constexpr double extent_padding = 0.3;      // plan units around the drawn things
constexpr double list_line_height = 18.0;   // pixels per line of the findings list
constexpr std::size_t list_wrap = 180;      // characters per line of the findings list
constexpr int coordinate_text_size = 32;    // room for one formatted coordinate
// Desk footprint in plan units from its anchor, unturned: the table top and the chair.
constexpr double table_left = -0.022, table_right = 0.418, table_depth = 0.3;
constexpr double chair_left = 0.1025, chair_right = 0.2275;
constexpr double chair_near = 0.23, chair_far = 0.345;
constexpr double portrait_side = 1.0 / 3.0;  // a unit cube in world units, plan units
constexpr double heading_arrow = 0.7;        // plan units
constexpr double tag_radius = 9.0;           // pixels, the numbered disc of a problem
constexpr double tag_spacing = 20.0;         // pixels between the centres of two tags
// Room labels, pixels: font sizes, the gap to the box edge, and the least
// box height that takes them near an edge.
constexpr double number_font = 15.0, professor_font = 11.0;
constexpr double label_edge_gap = 6.0;
constexpr double label_block_height = 60.0;

// Presentation attributes of each kind of drawn thing, written into every
// element (not a style sheet), so that simple SVG renderers draw them too.
struct Look {
    const char* kind;        // the element's class
    const char* attributes;  // its presentation attributes
};

const Look looks[] = {
    {"title", "font-family=\"sans-serif\" font-weight=\"bold\" font-size=\"20\" fill=\"#222222\""},
    {"subtitle", "font-family=\"sans-serif\" font-size=\"13\" fill=\"#555555\""},
    {"floor", "fill=\"#f6f2e8\" stroke=\"#c9c0aa\" stroke-width=\"1\""},
    {"box-fill", "fill=\"#dce8f6\" stroke=\"none\""},
    {"box-fill lost", "fill=\"#f6dddd\" stroke=\"none\""},
    {"box", "fill=\"none\" stroke=\"#6f93c4\" stroke-width=\"1\" stroke-dasharray=\"5 3\""},
    {"box lost", "fill=\"none\" stroke=\"#cc6666\" stroke-width=\"1\" stroke-dasharray=\"5 3\""},
    {"legend box", "fill=\"#dce8f6\" stroke=\"#6f93c4\" stroke-width=\"1\" stroke-dasharray=\"5 3\""},
    {"number", "font-family=\"sans-serif\" font-weight=\"bold\" font-size=\"15\" fill=\"#23466f\" "
               "text-anchor=\"middle\""},
    {"professor", "font-family=\"sans-serif\" font-size=\"11\" fill=\"#3b5f8a\" text-anchor=\"middle\""},
    {"number halo", "font-family=\"sans-serif\" font-weight=\"bold\" font-size=\"15\" fill=\"#ffffff\" "
                    "stroke=\"#ffffff\" stroke-width=\"3\" stroke-linejoin=\"round\" text-anchor=\"middle\""},
    {"professor halo", "font-family=\"sans-serif\" font-size=\"11\" fill=\"#ffffff\" stroke=\"#ffffff\" "
                       "stroke-width=\"3\" stroke-linejoin=\"round\" text-anchor=\"middle\""},
    {"wall", "stroke=\"#2f2f2f\" stroke-width=\"4\" stroke-linecap=\"square\""},
    {"lintel", "stroke=\"#c9822f\" stroke-width=\"4\" stroke-dasharray=\"6 4\""},
    {"desk", "fill=\"#a9774a\" stroke=\"#5d3d20\" stroke-width=\"1\""},
    {"desk drawn", "fill=\"#ead7bd\" stroke=\"#8a6a48\" stroke-width=\"1\""},
    {"desk visit", "fill=\"none\" stroke=\"#a9774a\" stroke-width=\"1\" stroke-dasharray=\"2 2\""},
    {"start", "fill=\"#2b9a4c\" stroke=\"#17612d\" stroke-width=\"1.5\""},
    {"arrow", "fill=\"none\" stroke=\"#17612d\" stroke-width=\"2.5\" stroke-linecap=\"round\""},
    {"light", "fill=\"#ffd53e\" stroke=\"#a77c00\" stroke-width=\"1.5\""},
    {"portrait", "fill=\"#9460b8\" stroke=\"#5a2f7a\" stroke-width=\"1\""},
    {"mark", "font-family=\"sans-serif\" font-size=\"11\" fill=\"#333333\""},
    {"mark centred", "font-family=\"sans-serif\" font-size=\"11\" fill=\"#333333\" text-anchor=\"middle\""},
    {"error", "fill=\"#d62828\" stroke=\"#d62828\" stroke-width=\"1\""},
    {"warning", "fill=\"#e67700\" stroke=\"#e67700\" stroke-width=\"1\""},
    {"place error", "fill=\"none\" stroke=\"#d62828\" stroke-width=\"3\""},
    {"place warning", "fill=\"none\" stroke=\"#e67700\" stroke-width=\"3\""},
    {"place area error", "fill=\"#d62828\" fill-opacity=\"0.12\" stroke=\"#d62828\" stroke-width=\"3\" "
                         "stroke-dasharray=\"7 3\""},
    {"place area warning", "fill=\"#e67700\" fill-opacity=\"0.12\" stroke=\"#e67700\" "
                           "stroke-width=\"3\" stroke-dasharray=\"7 3\""},
    {"place line error", "stroke=\"#d62828\" stroke-width=\"9\" stroke-opacity=\"0.45\""},
    {"place line warning", "stroke=\"#e67700\" stroke-width=\"9\" stroke-opacity=\"0.45\""},
    {"tag", "font-family=\"sans-serif\" font-weight=\"bold\" font-size=\"11\" fill=\"#ffffff\" "
            "text-anchor=\"middle\""},
    {"legend", "font-family=\"sans-serif\" font-size=\"12\" fill=\"#333333\""},
    {"list error", "font-family=\"monospace\" font-size=\"12\" fill=\"#b01e1e\""},
    {"list warning", "font-family=\"monospace\" font-size=\"12\" fill=\"#a85600\""},
    {"clean", "font-family=\"sans-serif\" font-weight=\"bold\" font-size=\"13\" fill=\"#2b9a4c\""},
};

// class="kind" and the kind's presentation attributes.
std::string look(const std::string& kind)
{
    for (const Look& entry : looks)
        if (kind == entry.kind)
            return "class=\"" + kind + "\" " + entry.attributes;
    return "class=\"" + kind + "\"";
}

// ---------------------------------------------------------------------------
// The page frame

// Maps plan units to page pixels: x to the right, plan y upward.
struct PageFrame {
    double min_x = 0.0, max_x = 1.0, min_y = 0.0, max_y = 1.0;  // drawn extent, plan units
    double scale = 1.0;                                         // pixels per plan unit

    double px(double x) const { return page_margin + (x - min_x) * scale; }
    double py(double y) const { return page_margin + title_height + (max_y - y) * scale; }
    double floor_bottom() const { return py(min_y); }
    double width() const { return 2 * page_margin + (max_x - min_x) * scale; }
};

struct Extent {
    bool empty = true;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;

    void add(double x, double y)
    {
        // Far-off or broken coordinates are drawn at the edge of what can be drawn.
        x = std::isfinite(x) ? std::min(std::max(x, -max_coordinate), max_coordinate) : 0.0;
        y = std::isfinite(y) ? std::min(std::max(y, -max_coordinate), max_coordinate) : 0.0;
        if (empty) {
            min_x = max_x = x;
            min_y = max_y = y;
            empty = false;
            return;
        }
        min_x = std::min(min_x, x);
        max_x = std::max(max_x, x);
        min_y = std::min(min_y, y);
        max_y = std::max(max_y, y);
    }
};

// True when the finding belongs on this plan's floor: it is not about another plan.
bool drawn_on(const Finding& finding, const BuildingReport& report, const PlanFacts& plan)
{
    if (finding.place.kind == FloorPlace::Kind::none)
        return false;
    for (const PlanFacts& other : report.plans)
        if (other.file == finding.file && other.file != plan.file)
            return false;
    return true;
}

Extent drawn_extent(const BuildingReport& report, const PlanFacts& plan)
{
    Extent extent;
    if (plan.read) {
        extent.add(plan.floor_x1, plan.floor_y1);
        extent.add(plan.floor_x2, plan.floor_y2);
        for (const PlanSegment& s : plan.walls) {
            extent.add(s.x1, s.y1);
            extent.add(s.x2, s.y2);
        }
        for (const PlanSegment& s : plan.lintels) {
            extent.add(s.x1, s.y1);
            extent.add(s.x2, s.y2);
        }
        for (const PlanTable& t : plan.tables)
            extent.add(t.x, t.y);
        extent.add(plan.start_x, plan.start_y);
    }
    for (const Finding& finding : report.findings) {
        if (!drawn_on(finding, report, plan))
            continue;
        extent.add(finding.place.x1, finding.place.y1);
        extent.add(finding.place.x2, finding.place.y2);
    }
    for (const RoomFacts& room : report.rooms) {
        extent.add(room.min_x, room.min_y);
        extent.add(room.max_x, room.max_y);
    }
    for (const FloorMark& mark : report.lights)
        extent.add(mark.x, mark.y);
    for (const FloorMark& mark : report.portraits)
        extent.add(mark.x, mark.y);
    return extent;
}

PageFrame make_frame(const BuildingReport& report, const PlanFacts& plan)
{
    const Extent extent = drawn_extent(report, plan);
    PageFrame frame;
    frame.min_x = extent.min_x - extent_padding;
    frame.max_x = extent.max_x + extent_padding;
    frame.min_y = extent.min_y - extent_padding;
    frame.max_y = extent.max_y + extent_padding;
    // Wide floors shrink to the page width, so that a stray far point cannot
    // make the page huge; small ones grow to at most max_scale.
    frame.scale = std::min(max_scale, floor_width_pixels / std::max(frame.max_x - frame.min_x, 1e-3));
    return frame;
}

// ---------------------------------------------------------------------------
// SVG text helpers

// Text for an SVG document: markup characters escaped, control characters
// and bytes that are not UTF-8 shown as '?'.
std::string escaped(const std::string& text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            const std::size_t length = utf8::sequence_length(text, at);
            out += length == 0 ? std::string("?") : text.substr(at, length);
            at += length == 0 ? 0 : length - 1;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
        }
    }
    return out;
}

std::string num(double value)
{
    char text[coordinate_text_size];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string pixel_line(double x1, double y1, double x2, double y2, const std::string& kind)
{
    return "<line " + look(kind) + " x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2)
        + "\" y2=\"" + num(y2) + "\"/>\n";
}

std::string pixel_rect(double x, double y, double width, double height, const std::string& kind)
{
    return "<rect " + look(kind) + " x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(width)
        + "\" height=\"" + num(height) + "\"/>\n";
}

std::string line_element(const PageFrame& f, double x1, double y1, double x2, double y2,
                         const std::string& kind)
{
    return pixel_line(f.px(x1), f.py(y1), f.px(x2), f.py(y2), kind);
}

// A rectangle between two opposite plan corners.
std::string rect_element(const PageFrame& f, double x1, double y1, double x2, double y2,
                         const std::string& kind)
{
    const double left = f.px(std::min(x1, x2));
    const double top = f.py(std::max(y1, y2));
    return pixel_rect(left, top, f.px(std::max(x1, x2)) - left, f.py(std::min(y1, y2)) - top, kind);
}

std::string text_element(double x, double y, const std::string& kind,
                         const std::string& text)
{
    return "<text " + look(kind) + " x=\"" + num(x) + "\" y=\"" + num(y) + "\">"
        + escaped(text) + "</text>\n";
}

std::string circle_element(double x, double y, double r, const std::string& kind)
{
    return "<circle " + look(kind) + " cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\""
        + num(r) + "\"/>\n";
}

// ---------------------------------------------------------------------------
// The building

// The baselines of a room's two label lines: near the box's edge away from
// the middle of the floor, where doorways and desks are fewer; centred in a
// low box.
void label_baselines(const PageFrame& f, const RoomFacts& room, double* number, double* professor)
{
    const double top = f.py(room.max_y);
    const double bottom = f.py(room.min_y);
    const bool north = (room.min_y + room.max_y) / 2 > (f.min_y + f.max_y) / 2;
    if (bottom - top < label_block_height) {
        *number = (top + bottom) / 2 - 2;
    } else {
        *number = north ? top + label_edge_gap + number_font : bottom - label_edge_gap - professor_font - 4;
    }
    *professor = *number + professor_font + 4;
}

// The room's pale floor, drawn under everything else.
std::string room_fill(const PageFrame& f, const RoomFacts& room)
{
    return rect_element(f, room.min_x, room.min_y, room.max_x, room.max_y,
                        room.found ? "box-fill" : "box-fill lost");
}

// The room's box outline with its number and professor, drawn over the plan.
std::string room_group(const PageFrame& f, const RoomFacts& room)
{
    const std::string label = room.found ? std::to_string(room.number) : room.name;
    const std::string professor = room.found ? room.professor : "not in Department.xml";
    const double centre_x = f.px((room.min_x + room.max_x) / 2);
    double number_y = 0.0, professor_y = 0.0;
    label_baselines(f, room, &number_y, &professor_y);
    std::string svg = "<g class=\"room\">\n<title>Room " + escaped(label) + ": "
        + escaped(professor) + "</title>\n";
    svg += rect_element(f, room.min_x, room.min_y, room.max_x, room.max_y,
                        room.found ? "box" : "box lost");
    svg += text_element(centre_x, number_y, "number halo", label);
    svg += text_element(centre_x, number_y, "number", label);
    svg += text_element(centre_x, professor_y, "professor halo", professor);
    svg += text_element(centre_x, professor_y, "professor", professor);
    return svg + "</g>\n";
}

// A desk's table top and chair; turned round, both lie on the other side of the anchor.
std::string desk_elements(const PageFrame& f, double x, double y, bool turned,
                          const std::string& kind)
{
    const double s = turned ? -1.0 : 1.0;
    return rect_element(f, x + s * table_left, y, x + s * table_right, y - s * table_depth, kind)
        + rect_element(f, x + s * chair_left, y - s * chair_near, x + s * chair_right,
                       y - s * chair_far, kind);
}

// Floor, rooms and desks first; the room labels over the desks; the walls
// and lintels over the box outlines, which stand just inside them.
std::string building(const PageFrame& f, const BuildingReport& report, const PlanFacts& plan)
{
    std::string svg;
    if (plan.read)
        svg += rect_element(f, plan.floor_x1, plan.floor_y1, plan.floor_x2, plan.floor_y2, "floor");
    for (const RoomFacts& room : report.rooms)
        svg += room_fill(f, room);
    for (const RoomFacts& room : report.rooms)
        if (room.found && room.has_table)
            svg += desk_elements(f, room.table_x, room.table_y, room.table_y > desk_turn_line_y,
                                 "desk visit");
    for (const PlanTable& t : plan.tables)
        svg += desk_elements(f, t.x, t.y, false, t.kind == 2 ? "desk" : "desk drawn");
    for (const RoomFacts& room : report.rooms)
        svg += room_group(f, room);
    for (const PlanSegment& s : plan.walls)
        svg += line_element(f, s.x1, s.y1, s.x2, s.y2, "wall");
    for (const PlanSegment& s : plan.lintels)
        svg += line_element(f, s.x1, s.y1, s.x2, s.y2, "lintel");
    return svg;
}

std::string start_mark(const PageFrame& f, const PlanFacts& plan)
{
    if (!plan.read)
        return "";
    // Heading 0 looks toward plan +y; a growing heading turns right.
    const double radians = plan.heading * degrees_to_radians;
    const double tip_x = plan.start_x + heading_arrow * std::sin(radians);
    const double tip_y = plan.start_y + heading_arrow * std::cos(radians);
    std::string svg = line_element(f, plan.start_x, plan.start_y, tip_x, tip_y, "arrow");
    const double back = 0.25;  // arrow head, plan units
    for (double side : {-0.5, 0.5})
        svg += line_element(f, tip_x, tip_y, tip_x - back * std::sin(radians + side),
                            tip_y - back * std::cos(radians + side), "arrow");
    svg += circle_element(f.px(plan.start_x), f.py(plan.start_y), 6, "start");
    return svg + text_element(f.px(plan.start_x) + 9, f.py(plan.start_y) + 14, "mark", "start");
}

std::string fixed_marks(const PageFrame& f, const BuildingReport& report)
{
    std::string svg;
    for (const FloorMark& light : report.lights) {
        svg += circle_element(f.px(light.x), f.py(light.y), 7, "light");
        svg += text_element(f.px(light.x) + 9, f.py(light.y) - 7, "mark", light.what);
    }
    for (const FloorMark& portrait : report.portraits) {
        svg += rect_element(f, portrait.x, portrait.y - portrait_side, portrait.x + portrait_side,
                            portrait.y, "portrait");
        svg += text_element(f.px(portrait.x + portrait_side / 2), f.py(portrait.y) - 4,
                            "mark centred", "portrait");
    }
    return svg;
}

// ---------------------------------------------------------------------------
// The problems

// Where the number tags of the problems stand, so that no tag hides another.
class TagBoard {
public:
    // Moves (x, y) right until it is clear of every tag placed so far, and keeps it.
    void place(double* x, double* y)
    {
        for (bool moved = true; moved;) {
            moved = false;
            for (const Spot& spot : spots_)
                if (std::fabs(spot.x - *x) < tag_spacing && std::fabs(spot.y - *y) < tag_spacing) {
                    *x = spot.x + tag_spacing;
                    moved = true;
                }
        }
        spots_.push_back(Spot{*x, *y});
    }

private:
    struct Spot {
        double x, y;
    };
    std::vector<Spot> spots_;
};

std::string tag(TagBoard& board, double x, double y, const std::string& severity,
                std::size_t number)
{
    board.place(&x, &y);
    return circle_element(x, y, tag_radius, severity)
        + text_element(x, y + 4, "tag", std::to_string(number));
}

std::string problem_mark(const PageFrame& f, TagBoard& board, const Finding& finding,
                         std::size_t number)
{
    const std::string severity = finding.severity == Severity::error ? "error" : "warning";
    const FloorPlace& p = finding.place;
    std::string svg = "<g class=\"problem " + severity + "\">\n<title>"
        + escaped(format_finding(finding)) + "</title>\n";
    if (p.kind == FloorPlace::Kind::point) {
        svg += circle_element(f.px(p.x1), f.py(p.y1), 11, "place " + severity);
        svg += tag(board, f.px(p.x1) + 14, f.py(p.y1) - 14, severity, number);
    } else if (p.kind == FloorPlace::Kind::segment) {
        svg += line_element(f, p.x1, p.y1, p.x2, p.y2, "place line " + severity);
        svg += tag(board, f.px((p.x1 + p.x2) / 2) + 12, f.py((p.y1 + p.y2) / 2) - 12, severity,
                   number);
    } else {
        svg += rect_element(f, p.x1, p.y1, p.x2, p.y2, "place area " + severity);
        svg += tag(board, f.px(std::min(p.x1, p.x2)) + 10, f.py(std::max(p.y1, p.y2)) + 10,
                   severity, number);
    }
    return svg + "</g>\n";
}

// ---------------------------------------------------------------------------
// Legend and list

// One mark of the legend row: its sample, how far the caption starts after
// the sample's left edge, the caption and how far the next mark starts after
// the caption.
struct LegendMark {
    enum class Shape { line, box, dot } shape;
    double width, height;       // the sample's size in pixels (a dot's diameter)
    double caption_offset;
    const char* kind;
    const char* caption;
    double caption_advance;
};

const LegendMark legend_marks[] = {
    {LegendMark::Shape::line, 30, 0, 38, "wall", "wall", 50},
    {LegendMark::Shape::line, 30, 0, 38, "lintel", "lintel over a doorway", 150},
    {LegendMark::Shape::box, 30, 16, 38, "legend box", "locator box: room, professor", 200},
    {LegendMark::Shape::box, 18, 12, 24, "desk", "solid desk", 80},
    {LegendMark::Shape::box, 18, 12, 24, "desk drawn", "drawn only", 80},
    {LegendMark::Shape::box, 18, 12, 24, "desk visit", "desk of a visit", 110},
    {LegendMark::Shape::dot, 12, 12, 18, "start", "start", 48},
    {LegendMark::Shape::dot, 12, 12, 18, "light", "light", 48},
    {LegendMark::Shape::box, 14, 14, 20, "portrait", "portrait", 70},
    {LegendMark::Shape::dot, 14, 14, 19, "error", "error", 50},
    {LegendMark::Shape::dot, 14, 14, 19, "warning", "warning", 60},
};

// The sample of one legend mark with its left edge at x, centred on y.
std::string legend_sample(const LegendMark& mark, double x, double y)
{
    switch (mark.shape) {
    case LegendMark::Shape::line:
        return pixel_line(x, y, x + mark.width, y, mark.kind);
    case LegendMark::Shape::box:
        return pixel_rect(x, y - mark.height / 2, mark.width, mark.height, mark.kind);
    case LegendMark::Shape::dot:
        break;
    }
    return circle_element(x + mark.width / 2, y, mark.width / 2, mark.kind);
}

// One row that names every kind of mark on the map.
std::string legend(double y)
{
    double x = page_margin;
    std::string svg = "<g class=\"legend-row\">\n";
    for (const LegendMark& mark : legend_marks) {
        svg += legend_sample(mark, x, y);
        x += mark.caption_offset;
        svg += text_element(x, y + 4, "legend", mark.caption);
        x += mark.caption_advance;
    }
    return svg + "</g>\n";
}

// Splits a line at blanks into pieces of at most list_wrap characters.
std::vector<std::string> wrapped(const std::string& text)
{
    std::vector<std::string> pieces;
    std::string rest = text;
    while (rest.size() > list_wrap) {
        std::size_t cut = rest.rfind(' ', list_wrap);
        if (cut == std::string::npos || cut == 0)
            cut = list_wrap;
        pieces.push_back(rest.substr(0, cut));
        rest = "    " + rest.substr(cut + (rest[cut] == ' ' ? 1 : 0));
    }
    pieces.push_back(rest);
    return pieces;
}

// The findings list below the legend; returns the y below its last line.
double findings_list(std::string& svg, const BuildingReport& report, double y)
{
    if (report.findings.empty()) {
        svg += text_element(page_margin, y, "clean", "No problems found: no errors, no warnings.");
        return y + list_line_height;
    }
    for (std::size_t i = 0; i < report.findings.size(); ++i) {
        const Finding& finding = report.findings[i];
        const std::string severity = finding.severity == Severity::error ? "error" : "warning";
        const std::string line = std::to_string(i + 1) + ". " + format_finding(finding);
        for (const std::string& piece : wrapped(line)) {
            svg += text_element(page_margin, y, "list " + severity, piece);
            y += list_line_height;
        }
    }
    return y;
}

std::string plural(int count, const char* word)
{
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

} // namespace

// ---------------------------------------------------------------------------
// floor_map_svg

// The SVG document of plan number plan_index (0 for plan.dat) of the report.
std::string floor_map_svg(const BuildingReport& report, std::size_t plan_index)
{
    const PlanFacts empty_plan;
    const PlanFacts& plan = plan_index < report.plans.size() ? report.plans[plan_index] : empty_plan;
    const PageFrame frame = make_frame(report, plan);
    std::string body;
    body += text_element(page_margin, 34, "title", "Vevuv floor map: " + plan.file);
    body += text_element(page_margin, 56, "subtitle",
                         "Rooms from qor3rdfloor.inp with Department.xml; "
                             + plural(report.error_count, "error") + " and "
                             + plural(report.warning_count, "warning") + " found by vevuv-check");
    body += building(frame, report, plan);
    body += fixed_marks(frame, report);
    body += start_mark(frame, plan);
    TagBoard board;
    for (std::size_t i = 0; i < report.findings.size(); ++i)
        if (drawn_on(report.findings[i], report, plan))
            body += problem_mark(frame, board, report.findings[i], i + 1);
    const double legend_y = frame.floor_bottom() + 36;
    body += legend(legend_y);
    const double bottom = findings_list(body, report, legend_y + 36) + page_margin;
    const double width = std::max(frame.width(), 1280.0);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "\" height=\""
        + num(bottom) + "\" viewBox=\"0 0 " + num(width) + " " + num(bottom) + "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" + body
        + "</svg>\n";
}
