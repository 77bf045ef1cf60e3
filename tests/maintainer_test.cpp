// maintainer_test.cpp -- vevuv-check and vevuv-map on the shipped building
// (which must pass clean) and on copies of it with something broken each.
#include <sys/wait.h>  // Required for: WEXITSTATUS()

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "maintainer/building_check.h"
#include "maintainer/floor_map.h"
#include "support.h"

using namespace test;

namespace {

using Lines = std::vector<std::string>;

Lines finding_lines(const BuildingReport& report)
{
    Lines lines;
    for (const Finding& finding : report.findings)
        lines.push_back(format_finding(finding));
    return lines;
}

// Runs a command; gives its output (both streams) and exit status.
std::string run(const std::string& command, int* status)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    *status = pipe != nullptr ? WEXITSTATUS(pclose(pipe)) : -1;
    return output;
}

// Replaces the first occurrence of from in the file, which must be there.
void replace(const std::string& file, const std::string& from, const std::string& to)
{
    std::string text = read_file(file);
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " not in " << file;
    write_file(file, text.replace(at, from.size(), to));
}

// "Department.xml:<line>" of the first occurrence of text, plus delta lines.
std::string xml_at(const std::string& text, long delta = 0)
{
    const std::string all = read_file("Department.xml");
    const size_t at = all.find(text);
    EXPECT_NE(at, std::string::npos) << text;
    return "Department.xml:" + std::to_string(1 + delta + std::count(all.begin(), all.begin() + long(at), '\n'));
}

// Adds walls after the plan's own, keeping the count right.
void add_walls(const std::string& file, const Lines& walls)
{
    const std::string text = read_file(file);
    const size_t count_start = text.find('\n') + 1, count_end = text.find('\n', count_start);
    const int count = std::stoi(text.substr(count_start, count_end - count_start));
    size_t after = count_end;
    for (int i = 0; i < count; ++i)
        after = text.find('\n', after + 1);
    std::string added;
    for (const std::string& wall : walls)
        added += wall + "\n";
    write_file(file, text.substr(0, count_start) + std::to_string(count + int(walls.size())) +
                         text.substr(count_end, after + 1 - count_end) + added + text.substr(after + 1));
}

std::string attribute(xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

// Every element of that name and class in the map, outside the legend.
std::vector<xmlNode*> marks(xmlNode* node, const std::string& element, const std::string& css_class)
{
    std::vector<xmlNode*> found;
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE || attribute(node, "class") == "legend-row")
            continue;
        if (element == reinterpret_cast<const char*>(node->name) && attribute(node, "class") == css_class)
            found.push_back(node);
        const std::vector<xmlNode*> below = marks(node->children, element, css_class);
        found.insert(found.end(), below.begin(), below.end());
    }
    return found;
}

const std::string check_program = VEVUV_CHECK_PROGRAM, map_program = VEVUV_MAP_PROGRAM;

} // namespace

TEST(VevuvCheck, ShippedBuildingIsCleanAndItsMapHasEveryRoomAndMark)
{
    const BuildingReport report = check_building(VEVUV_SHIPPED_DATA);
    EXPECT_EQ(finding_lines(report), Lines{});
    ASSERT_EQ(report.rooms.size(), 20u);
    EXPECT_EQ(report.plans.at(1).heading, 180.0f);  // plan 2 starts facing south
    // The two portraits stand in the rooms of their professors.
    const std::pair<size_t, std::string> portraits[] = {{0, "Prof. A. Dolvane"}, {1, "Prof. B. Trevarnik"}};
    for (const auto& [i, professor] : portraits) {
        const FloorMark& mark = report.portraits.at(i);
        auto holds = [&](const RoomFacts& r) {
            return r.min_x <= mark.x && mark.x + 1 / 3.0f <= r.max_x && r.min_y <= mark.y - 1 / 3.0f && mark.y <= r.max_y;
        };
        const auto room = std::find_if(report.rooms.begin(), report.rooms.end(), holds);
        ASSERT_NE(room, report.rooms.end()) << mark.what;
        EXPECT_EQ(room->professor, professor);
    }
    int status = -1;
    EXPECT_EQ(run(check_program + " " + VEVUV_SHIPPED_DATA, &status),
              std::string("vevuv-check: 0 errors, 0 warnings in ") + VEVUV_SHIPPED_DATA + "\n");
    EXPECT_EQ(status, 0);
    const std::pair<std::string, int> commands[] = {{check_program + " --help", 0}, {check_program + " a b", 2},
                                                    {map_program + " --help", 0}, {map_program + " -p 4", 2}};
    for (const auto& [command, want] : commands) {
        const std::string output = run(command, &status);
        EXPECT_EQ(status, want) << command;
        EXPECT_TRUE(want != 0 || output.rfind("Usage: vevuv-", 0) == 0) << output;
    }
    EXPECT_EQ(finding_lines(check_building("/nonexistent/vevuv")),
              Lines{"/nonexistent/vevuv: error: cannot enter the folder (No such file or directory)"});

    const std::string svg = floor_map_svg(report, 0);
    xmlDoc* document = xmlReadMemory(svg.data(), int(svg.size()), "floor.svg", nullptr, XML_PARSE_NONET);
    ASSERT_NE(document, nullptr);
    xmlNode* root = xmlDocGetRootElement(document);
    const std::vector<xmlNode*> rooms = marks(root, "g", "room");
    ASSERT_EQ(rooms.size(), report.rooms.size());
    std::set<std::string> numbers;
    for (size_t i = 0; i < rooms.size(); ++i) {  // one box and the number, then the professor among the texts
        std::string texts;
        int rects = 0;
        for (xmlNode* child = rooms[i]->children; child != nullptr; child = child->next) {
            rects += child->type == XML_ELEMENT_NODE && std::string("rect") == reinterpret_cast<const char*>(child->name);
            if (child->type == XML_ELEMENT_NODE && std::string("text") == reinterpret_cast<const char*>(child->name)) {
                xmlChar* content = xmlNodeGetContent(child);
                texts += std::string(reinterpret_cast<const char*>(content)) + "\n";
                xmlFree(content);
            }
        }
        EXPECT_EQ(rects, 1);
        numbers.insert(texts.substr(0, texts.find('\n')));
        EXPECT_NE(texts.find(report.rooms[i].professor + "\n"), std::string::npos) << texts;
    }
    EXPECT_EQ(numbers.size(), 20u);
    EXPECT_EQ(*numbers.begin() + *numbers.rbegin(), "301320");
    const std::tuple<const char*, const char*, size_t> counts[] = {
        {"line", "wall", 46}, {"line", "lintel", 20}, {"circle", "light", 3}, {"rect", "portrait", 2}, {"circle", "start", 1}};
    for (const auto& [element, css_class, count] : counts)
        EXPECT_EQ(marks(root, element, css_class).size(), count) << css_class;
    xmlFreeDoc(document);
}

TEST(VevuvCheck, EachBrokenThingIsOneFindingOnItsLine)
{
    const std::string plan = "plan.dat: ";
    const std::function<Lines()> rows[] = {
        [&] {  // walls 47 to 51 follow the plan's 46; wall 16 is "3 0 3 2.2", wall 1 "0 0 30 0"
            add_walls("plan.dat", {"10 0 11 1", "3 0 3 2.2", "30 0 0 0", "31 0 31 6", "7 1 7 1"});
            return Lines{plan + "wall 47: warning: (10 0)-(11 1) is diagonal: it is drawn but never blocks the visitor",
                         plan + "wall 48: warning: (3 0)-(3 2.2) repeats wall 16; the viewer's reader drops the repeat",
                         plan + "wall 49: warning: (30 0)-(0 0) is wall 1 with its ends swapped; both are drawn, one in the other",
                         plan + "wall 50: warning: (31 0)-(31 6) leaves the floor rectangle (0 0)-(30 6)",
                         plan + "wall 51: warning: (7 1)-(7 1) has no length: it is drawn as a point and blocks as one"};
        }, [&] {
            replace("plan.dat", "2 2.2 2.8 2.2", "2 2.2 2.6 2.2");
            replace("plan.dat", "4.4 2.2 5.2 2.2", "3 2.2 3.8 2.2");
            replace("plan.dat", "5.8 2.2 6.6 2.2", "5.8 2.2 6.6 2.4");
            replace("plan.dat", "13.6 1 0", "33.6 1 0");
            return Lines{plan + "lintel 1: warning: (2 2.2)-(2.6 2.2) does not sit over a gap in the walls: no wall ends at (2.6 2.2)",
                         plan + "lintel 2: warning: (3 2.2)-(3.8 2.2) runs along wall 6 instead of spanning a gap in the walls",
                         plan + "lintel 3: warning: (5.8 2.2)-(6.6 2.4) is diagonal, so it spans no gap in the walls",
                         plan + "table 3: warning: (33.6 1) stands outside the floor rectangle (0 0)-(30 6)"};
        }, [&] {
            replace("plan.dat", "4.5 2.7 29 2.7", "3.5 2.23 29 2.7");   // 0.09 world units north of wall 6
            replace("plan2.dat", "29 2.7 4.5 2.7", "11.8 5.5 4.5 2.7");  // in the walled-off shaft of room 308
            replace("plan3.dat", "4.5 2.7 29 2.7", "31 2.7 29 2.7");
            return Lines{plan + "start point: warning: (3.5 2.23) lies within the 0.1 world-unit margin of wall 6 "
                                "(2.8 2.2)-(4.4 2.2); the visitor's first move throws him 0.25 off it",
                         "plan2.dat: start point: warning: (11.8 5.5) is walled in inside room 308: the visitor can never leave it",
                         "plan3.dat: start point: warning: (31 2.7) lies outside the floor rectangle (0 0)-(30 6), in no room and no corridor"};
        }, [&] {
            add_walls("plan.dat", {"4 2.4 5 2.4", "4 3 5 3", "4 2.4 4 3", "5 2.4 5 3"});
            return Lines{plan + "start point: warning: (4.5 2.7) is walled in: no room can be reached from it"};
        }, [&] {  // 46 + 244 walls and the two solid desks' 8 segments: 298 of 300
            Lines walls;
            for (int i = 0; i < 244; ++i)
                walls.push_back(std::to_string(i * 0.1) + " 0 " + std::to_string(i * 0.1 + 0.05) + " 0");
            add_walls("plan.dat", walls);
            return Lines{plan + "error: walls and desk segments take 298 of the 300 places of the wall table; "
                                "the desk a room visit places would not block"};
        }, [&] {  // 255 short walls: 301 in all
            Lines walls;
            for (int i = 0; i < 255; ++i)
                walls.push_back(std::to_string(i * 0.1) + " 0 " + std::to_string(i * 0.1 + 0.05) + " 0");
            add_walls("plan.dat", walls);
            const std::string limit = " of 4 (walls plus table segments are limited to 300); the table is drawn but does not block";
            return Lines{plan + "error: wall count 301 exceeds capacity 300; keeping the first 300",
                         plan + "error: no room for the 4 blocking segments of table 1" + limit,
                         plan + "error: no room for the 4 blocking segments of table 4" + limit,
                         plan + "error: walls and desk segments take 300 of the 300 places of the wall table; "
                                "the desk a room visit places would not block"};
        }, [&] {
            fs::remove("plan.dat");
            fs::remove("plan3.dat");
            return Lines{"plan.dat: error: cannot be opened (No such file or directory); the viewer starts on an empty floor",
                         "plan3.dat: warning: cannot be opened (No such file or directory); key 3 keeps the plan in force"};
        }, [&] {
            replace("qor3rdfloor.inp", "3.01 0.01  5.49 0.01  5.49 2.19  3.01 2.19  3.01 0.01  5.49 2.19",
                    "2.9 0.01  5.49 0.01  5.49 2.19  2.9 2.19  2.9 0.01  5.49 2.19");
            return Lines{"qor3rdfloor.inp: room 303: warning: its box overlaps the box of room 301 over "
                         "(2.9 0.01)-(2.99 2.19); room 301 comes first in the file and hides room 303 there",
                         xml_at("<Room_Number>303</Room_Number>", -1) + ": room 303: warning: its corners span "
                         "(3 0)-(5.5 2.2), but its locator box is (2.9 0.01)-(5.49 2.19)"};
        }, [&] {
            replace("qor3rdfloor.inp", "3.01 0.01  5.49 0.01", "3.01 0.01  5.49 x0.01");
            return Lines{"qor3rdfloor.inp: error: room 2: \"x0.01\" is not a number; keeping the 1 rooms read"};
        }, [&] {
            fs::remove("qor3rdfloor.inp");
            return Lines{"qor3rdfloor.inp: error: cannot be opened (No such file or directory); the viewer ends "
                         "at the visitor's first move"};
        }, [&] {  // room 301's research text is its own number, room 303's is 307's
            replace("Department.xml", "<Room_Number>305</Room_Number>", "<Room_Number>395</Room_Number>");
            replace("Department.xml", "<Research>Terrain rendering and level of detail for very large landscapes</Research>",
                    "<Research>301</Research>");
            replace("Department.xml", "<Research>Sparse linear solvers for cloth and soft bodies</Research>", "<Research>307</Research>");
            auto line = [](const char* text, long delta = 0) { return xml_at(text, delta).substr(15); };
            return Lines{xml_at("<Room_Number>301<") + ": room 301: error: the text \"301\" matches 2 nodes of the Room at line " +
                             line("<Room_Number>301<", -1) + " (lines " + line("<Room_Number>301<") + ", " + line("<Research>301<") +
                             "); a visit stores the Room once for each",
                         "qor3rdfloor.inp: room 305: error: no Room of Department.xml holds the text \"305\"; the "
                         "status strip never shows this room's name",
                         xml_at("<Research>307<") + ": room 307: error: the text \"307\" is held by 2 Rooms (at lines " +
                             line("<Room_Number>303<", -1) + " and " + line("<Room_Number>307<", -1) +
                             "); a visit stores them all, the later ones' fields winning"};
        }, [&] {
            replace("Department.xml", "<RoomX2>11.5</RoomX2>", "<RoomX2>12.5</RoomX2>");  // room 307
            replace("Department.xml", "<TableX>9.3</TableX>", "<TableX>12.3</TableX>");
            replace("Department.xml", "<Professor>Dr. S. Kettleborn</Professor>", "<Professor>Dr. S. Kettleborn-Featherstonehaugh</Professor>");
            replace("Department.xml", "publications/room311.html", "publications/room999.html");
            replace("Department.xml", "<Publications>publications/room313.html</Publications>", "<Publications></Publications>");
            const std::string box = "its locator box is (8.51 0.01)-(11.49 2.19)", outside = "outside the room's box (8.51 0.01)-(11.49 2.19)";
            return Lines{xml_at("Featherstonehaugh") + ": room 307: error: Professor text has 35 bytes, more than the 19 its field holds; the viewer cuts it",
                         xml_at("<Room_Number>307<", -1) + ": room 307: warning: its corners span (8.5 0)-(12.5 2.2), but " + box,
                         xml_at("<TableX>12.3<") + ": room 307: warning: the desk a visit places stands at (12.3 1), " + outside,
                         xml_at("room999") + ": room 311: error: the Publications page \"publications/room999.html\" does not exist",
                         xml_at("<Publications></Publications>") + ": room 313: error: names no Publications page, yet a first visit starts the browser on it"};
        }, [&] {  // "Room 301 (" + 60 W + ")": 71 characters from pixel 91, 1180 pixels wide;
               // room 303 as "Room 2147483647 (" + 99 W + ")": 117 characters would start left of the
               // strip, so they start at its 5-pixel margin: 164 + 1782 + 6 = 1952 pixels
            replace("Department.xml", "<Introduction_Text>Office of Prof. Quennick<", "<Introduction_Text>" + std::string(60, 'W') + "<");
            replace("Department.xml", "<Room_Number>303</Room_Number>", "<Room_Number>2147483647</Room_Number>");
            replace("Department.xml", "<Introduction_Text>Office of Dr. Ilvestad<", "<Introduction_Text>" + std::string(99, 'W') + "<");
            replace("Department.xml", "<NormalTable>desk</NormalTable>\n    <LightX>4.25", "<NormalTable>303</NormalTable>\n    <LightX>4.25");
            return Lines{xml_at(std::string(60, 'W')) + ": room 301: warning: its status line \"Room 301 (" + std::string(60, 'W') +
                             ")\" starts at pixel 91 of the 690-pixel status strip at 700 x 500 and is 1180 pixels wide: its end is cut off",
                         xml_at(std::string(99, 'W')) + ": room 303: warning: its status line \"Room 2147483647 (" + std::string(99, 'W') +
                             ")\" starts at pixel 5 of the 690-pixel status strip at 700 x 500 and is 1952 pixels wide: its end is cut off"};
        }, [&] {
            fs::remove("person.rgb");
            write_file("walltexture.rgb", sgi_header(1, 2, 1, 1) + Bytes(2, 0));
            write_file("texture2.rgb", sgi_header(1, 4, 4, 1) + Bytes(2, 0));  // 16 samples promised, 2 present
            write_file("dolvane.rgb", sgi_header(1, 0, 0, 1));
            return Lines{"texture2.rgb: error: has 514 bytes, but its header and row tables call for 528; the missing part reads as black",
                         "texture2.rgb: warning: is 4 x 4 pixels; the viewer rescales it to 256 x 256",
                         "walltexture.rgb: warning: is 2 x 1 pixels; the viewer rescales it to 256 x 256",
                         "dolvane.rgb: error: image size 0x0x1 is empty; skipping; the viewer cannot use it",
                         "person.rgb: error: cannot be opened (No such file or directory); the viewer skips it and draws what it dresses untextured"};
        }, [&] {
            fs::remove("Department.xml");
            return Lines{"Department.xml: error: cannot be opened (No such file or directory); the viewer ends when a visitor first enters a room"};
        },
    };
    for (const auto& row : rows) {
        ScratchDir dir;
        fs::copy(VEVUV_SHIPPED_DATA, dir.path(), fs::copy_options::recursive);
        const Lines expected = row();
        const BuildingReport report = check_building(dir.path().string());
        EXPECT_EQ(finding_lines(report), expected);
        const bool errors = std::any_of(expected.begin(), expected.end(), [](const std::string& l) { return l.find(": error: ") != std::string::npos; });
        EXPECT_EQ(check_exit_status(report), errors ? 1 : 0);
        if (&row == &rows[0]) {  // warnings alone: the program says so and succeeds
            int status = -1;
            EXPECT_NE(run(check_program + " " + dir.path().string(), &status).find("vevuv-check: 0 errors, 5 warnings in "), std::string::npos);
            EXPECT_EQ(status, 0);
        }
    }
}

TEST(VevuvCheck, RejectedAndGarbageFilesGiveErrorsAndTheMapMarksProblems)
{
    {
        ScratchDir dir;
        fs::copy(VEVUV_SHIPPED_DATA, dir.path(), fs::copy_options::recursive);
        const std::string room_start = xml_at("<Room_Number>303<", -1), room_end = xml_at("<Room_Number>305<", -2);
        replace("Department.xml", "<Professor>Dr. R. Ilvestad</Professor>", "");
        BuildingReport report = check_building(dir.path().string());
        ASSERT_EQ(report.findings.size(), 1u);
        const std::string line = format_finding(report.findings[0]);
        EXPECT_GE(report.findings[0].line, std::stol(room_start.substr(15)));
        EXPECT_LE(report.findings[0].line, std::stol(room_end.substr(15)));
        EXPECT_EQ(line.rfind("Department.xml:" + std::to_string(report.findings[0].line) + ": error: ", 0), 0u) << line;
        EXPECT_NE(line.find("; the viewer ends when a visitor first enters a room", line.size() - 52), std::string::npos) << line;

        std::string garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += static_cast<char>((i * 37 + 11) % 256);
        for (const char* file : {"plan.dat", "qor3rdfloor.inp", "Department.xml", "texture2.rgb"})
            write_file(file, garbage);
        report = check_building(dir.path().string());
        EXPECT_EQ(check_exit_status(report), 1);
        std::set<std::string> files;
        for (const Finding& finding : report.findings) {
            files.insert(finding.file);
            for (unsigned char c : format_finding(finding))
                ASSERT_TRUE(c >= 0x20 && c != 0x7f) << format_finding(finding);
        }
        EXPECT_EQ(files, (std::set<std::string>{"plan.dat", "qor3rdfloor.inp", "Department.xml", "texture2.rgb"}));
        EXPECT_LE(report.findings.size(), 60u);  // at most 50 notes per cut token, then a count
    }
    ScratchDir dir;
    fs::copy(VEVUV_SHIPPED_DATA, dir.path(), fs::copy_options::recursive);
    add_walls("plan.dat", {"10 0 11 1"});
    replace("Department.xml", "publications/room311.html", "publications/room999.html");
    fs::remove("person.rgb");
    int status = -1;
    run(map_program + " " + dir.path().string() + " -o floor.svg", &status);
    EXPECT_EQ(status, 0);
    const std::string svg = read_file("floor.svg");
    xmlDoc* document = xmlReadMemory(svg.data(), int(svg.size()), "floor.svg", nullptr, XML_PARSE_NONET);
    ASSERT_NE(document, nullptr);
    xmlNode* root = xmlDocGetRootElement(document);
    EXPECT_EQ(marks(root, "g", "problem warning").size(), 1u);  // the diagonal wall
    EXPECT_EQ(marks(root, "g", "problem error").size(), 1u);    // the missing page; the texture has no place
    EXPECT_EQ(marks(root, "text", "list error").size() + marks(root, "text", "list warning").size(), 3u);
    EXPECT_NE(svg.find("3. person.rgb: error: cannot be opened"), std::string::npos);
    xmlFreeDoc(document);
}
