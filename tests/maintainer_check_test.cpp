// tools_check_test.cpp -- vevuv-check and vevuv-map on the shipped building
// and on copies of it with one thing broken each.
#include <gtest/gtest.h>

#include <sys/wait.h>  // Required for: WEXITSTATUS()

#include <algorithm>   // Required for: std::count(), std::find()
#include <cstdio>      // Required for: popen(), pclose(), fgets()
#include <cstdlib>     // Required for: mkdtemp()
#include <filesystem>  // Required for: copying and removing the broken copies
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "maintainer/building_check.h"
#include "maintainer/floor_map.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> finding_lines(const BuildingReport& report)
{
    std::vector<std::string> lines;
    for (const Finding& finding : report.findings)
        lines.push_back(format_finding(finding));
    return lines;
}

// Runs a command and gives its output and exit status.
std::string run(const std::string& command, int* status)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    *status = WEXITSTATUS(pclose(pipe));
    return output;
}

// A copy of the shipped building in a fresh folder, for breaking one thing.
class ToolsBrokenCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vevuv_tools_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::copy(VEVUV_SHIPPED_DATA, dir_, fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& file) const { return dir_ + "/" + file; }
    std::string read(const std::string& file) const
    {
        std::ifstream in(path(file), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void write(const std::string& file, const std::string& text) const
    {
        std::ofstream(path(file), std::ios::binary) << text;
    }
    // Replaces the first occurrence of from, which must be there.
    void replace(const std::string& file, const std::string& from, const std::string& to) const
    {
        std::string text = read(file);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from << " not in " << file;
        write(file, text.replace(at, from.size(), to));
    }
    // The 1-based line of the first occurrence of text in the file.
    long line_of(const std::string& file, const std::string& text) const
    {
        const std::string all = read(file);
        const std::size_t at = all.find(text);
        EXPECT_NE(at, std::string::npos) << text;
        return 1 + static_cast<long>(std::count(all.begin(), all.begin() + long(at), '\n'));
    }
    // Adds walls after the plan's own, keeping the count right.
    void add_walls(const std::string& file, const std::vector<std::string>& walls) const
    {
        std::istringstream in(read(file));
        std::string rectangle, count_text;
        std::getline(in, rectangle);
        std::getline(in, count_text);
        const int count = std::stoi(count_text);
        std::string text = rectangle + "\n" + std::to_string(count + int(walls.size())) + "\n";
        std::string line;
        for (int i = 0; i < count && std::getline(in, line); ++i)
            text += line + "\n";
        for (const std::string& wall : walls)
            text += wall + "\n";
        while (std::getline(in, line))
            text += line + "\n";
        write(file, text);
    }
    BuildingReport check() const { return check_building(dir_); }

    std::string dir_;
};

// A verbatim one-byte-per-sample grey SGI header of the given size, then data bytes.
std::string grey_sgi(int width, int height, int data_bytes)
{
    std::string file(512 + data_bytes, '\0');
    const int fields[6] = {474, 1, 2, width, height, 1};
    for (int i = 0; i < 6; ++i) {
        file[2 * i] = static_cast<char>(fields[i] >> 8);
        file[2 * i + 1] = static_cast<char>(fields[i] & 0xFF);
    }
    return file;
}

std::string plan_line(const char* text) { return std::string("plan.dat: ") + text; }

} // namespace

TEST(ToolsCheck, ShippedBuildingIsCleanAndCommandLines)
{
    const BuildingReport report = check_building(VEVUV_SHIPPED_DATA);
    EXPECT_EQ(finding_lines(report), std::vector<std::string>{});
    EXPECT_EQ(report.rooms.size(), 20u);
    ASSERT_EQ(report.plans.size(), 3u);
    EXPECT_EQ(report.plans[1].heading, 180.0f);  // plan 2 starts facing south
    int status = -1;
    const std::string output =
        run(std::string(VEVUV_CHECK_PROGRAM) + " " + VEVUV_SHIPPED_DATA, &status);
    EXPECT_EQ(output, std::string("vevuv-check: 0 errors, 0 warnings in ") + VEVUV_SHIPPED_DATA + "\n");
    EXPECT_EQ(status, 0);

    const std::string help = run(std::string(VEVUV_CHECK_PROGRAM) + " --help", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(help.rfind("Usage: vevuv-check [DIR]\n", 0), 0u);
    run(std::string(VEVUV_CHECK_PROGRAM) + " a b", &status);
    EXPECT_EQ(status, 2);
    const std::string map_help = run(std::string(VEVUV_MAP_PROGRAM) + " --help", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(map_help.rfind("Usage: vevuv-map [DIR] [-o FILE] [-p PLAN]\n", 0), 0u);
    run(std::string(VEVUV_MAP_PROGRAM) + " -p 4", &status);
    EXPECT_EQ(status, 2);
}

TEST(ToolsCheck, MissingFolderIsAnError)
{
    const BuildingReport report = check_building("/nonexistent/vevuv");
    EXPECT_EQ(finding_lines(report), std::vector<std::string>{
        "/nonexistent/vevuv: error: cannot enter the folder (No such file or directory)"});
    EXPECT_EQ(check_exit_status(report), 1);
}

TEST_F(ToolsBrokenCopy, WallFindingsAreWarningsNumberedInFileOrder)
{
    // Walls 47 to 51 follow the plan's 46; wall 16 is "3 0 3 2.2", wall 1 "0 0 30 0".
    add_walls("plan.dat", {"10 0 11 1", "3 0 3 2.2", "30 0 0 0", "31 0 31 6", "7 1 7 1"});
    const BuildingReport report = check();
    EXPECT_EQ(finding_lines(report), (std::vector<std::string>{
        plan_line("wall 47: warning: (10 0)-(11 1) is diagonal: it is drawn but never blocks the visitor"),
        plan_line("wall 48: warning: (3 0)-(3 2.2) repeats wall 16; the viewer's reader drops the repeat"),
        plan_line("wall 49: warning: (30 0)-(0 0) is wall 1 with its ends swapped; both are drawn, one in the other"),
        plan_line("wall 50: warning: (31 0)-(31 6) leaves the floor rectangle (0 0)-(30 6)"),
        plan_line("wall 51: warning: (7 1)-(7 1) has no length: it is drawn as a point and blocks as one"),
    }));
    EXPECT_EQ(check_exit_status(report), 0);  // warnings alone

    int status = -1;
    const std::string output = run(std::string(VEVUV_CHECK_PROGRAM) + " " + dir_, &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(output.find("vevuv-check: 0 errors, 5 warnings in " + dir_ + "\n"), std::string::npos);
}

TEST_F(ToolsBrokenCopy, LintelsMustSpanAGap)
{
    // Lintel 1 spans the doorway 2 to 2.8 on y = 2.2; lintel 2 the one of 4.4 to 5.2.
    replace("plan.dat", "2 2.2 2.8 2.2", "2 2.2 2.6 2.2");
    replace("plan.dat", "4.4 2.2 5.2 2.2", "3 2.2 3.8 2.2");
    replace("plan.dat", "5.8 2.2 6.6 2.2", "5.8 2.2 6.6 2.4");
    EXPECT_EQ(finding_lines(check()), (std::vector<std::string>{
        plan_line("lintel 1: warning: (2 2.2)-(2.6 2.2) does not sit over a gap in the walls: no wall ends at (2.6 2.2)"),
        plan_line("lintel 2: warning: (3 2.2)-(3.8 2.2) runs along wall 6 instead of spanning a gap in the walls"),
        plan_line("lintel 3: warning: (5.8 2.2)-(6.6 2.4) is diagonal, so it spans no gap in the walls"),
    }));
}

TEST_F(ToolsBrokenCopy, TableOutsideTheFloor)
{
    replace("plan.dat", "13.6 1 0", "33.6 1 0");
    EXPECT_EQ(finding_lines(check()), std::vector<std::string>{
        plan_line("table 3: warning: (33.6 1) stands outside the floor rectangle (0 0)-(30 6)")});
}

TEST_F(ToolsBrokenCopy, StartPointFindings)
{
    // 0.03 plan units (0.09 world units) north of wall 6, (2.8 2.2)-(4.4 2.2).
    replace("plan.dat", "4.5 2.7 29 2.7", "3.5 2.23 29 2.7");
    // In the walled-off shaft of room 308, inside its box.
    replace("plan2.dat", "29 2.7 4.5 2.7", "11.8 5.5 4.5 2.7");
    replace("plan3.dat", "4.5 2.7 29 2.7", "31 2.7 29 2.7");
    EXPECT_EQ(finding_lines(check()), (std::vector<std::string>{
        plan_line("start point: warning: (3.5 2.23) lies within the 0.1 world-unit margin of wall 6 "
                  "(2.8 2.2)-(4.4 2.2); the visitor's first move throws him 0.25 off it"),
        "plan2.dat: start point: warning: (11.8 5.5) is walled in inside room 308: the visitor can never leave it",
        "plan3.dat: start point: warning: (31 2.7) lies outside the floor rectangle (0 0)-(30 6), in no room and no corridor",
    }));
}

TEST_F(ToolsBrokenCopy, StartPointInAClosedPocketReachesNoRoom)
{
    add_walls("plan.dat", {"4 2.4 5 2.4", "4 3 5 3", "4 2.4 4 3", "5 2.4 5 3"});
    EXPECT_EQ(finding_lines(check()), std::vector<std::string>{
        plan_line("start point: warning: (4.5 2.7) is walled in: no room can be reached from it")});
}

TEST_F(ToolsBrokenCopy, CountsBeyondCapacityAreErrors)
{
    // 46 + 244 walls and the two solid desks' 8 segments: 298 of 300.
    const std::string plan = read("plan.dat");
    std::vector<std::string> walls;
    for (int i = 0; i < 255; ++i)
        walls.push_back(std::to_string(i * 0.1) + " 0 " + std::to_string(i * 0.1 + 0.05) + " 0");
    add_walls("plan.dat", std::vector<std::string>(walls.begin(), walls.begin() + 244));
    EXPECT_EQ(finding_lines(check()), std::vector<std::string>{
        plan_line("error: walls and desk segments take 298 of the 300 places of the wall table; "
                  "the desk a room visit places would not block")});

    // 255 short walls along the south wall: 301 in all.
    write("plan.dat", plan);
    add_walls("plan.dat", walls);
    const BuildingReport report = check();
    EXPECT_EQ(finding_lines(report), (std::vector<std::string>{
        plan_line("error: wall count 301 exceeds capacity 300; keeping the first 300"),
        plan_line("error: no room for the 4 blocking segments of table 1 of 4 (walls plus table segments "
                  "are limited to 300); the table is drawn but does not block"),
        plan_line("error: no room for the 4 blocking segments of table 4 of 4 (walls plus table segments "
                  "are limited to 300); the table is drawn but does not block"),
        plan_line("error: walls and desk segments take 300 of the 300 places of the wall table; "
                  "the desk a room visit places would not block"),
    }));
    EXPECT_EQ(check_exit_status(report), 1);
}

TEST_F(ToolsBrokenCopy, MissingPlans)
{
    fs::remove(path("plan.dat"));
    fs::remove(path("plan3.dat"));
    const BuildingReport report = check();
    EXPECT_EQ(finding_lines(report), (std::vector<std::string>{
        "plan.dat: error: cannot be opened (No such file or directory); the viewer starts on an empty floor",
        "plan3.dat: warning: cannot be opened (No such file or directory); key 3 keeps the plan in force",
    }));
    EXPECT_FALSE(report.plans[0].read);
    EXPECT_TRUE(report.plans[1].read);
}

TEST_F(ToolsBrokenCopy, OverlappingLocatorBoxesSayWhichRoomHidesWhich)
{
    const std::string old_303 = "3.01 0.01  5.49 0.01  5.49 2.19  3.01 2.19  3.01 0.01  5.49 2.19";
    const std::string new_303 = "2.9 0.01  5.49 0.01  5.49 2.19  2.9 2.19  2.9 0.01  5.49 2.19";
    replace("qor3rdfloor.inp", old_303, new_303);
    const long room_303 = line_of("Department.xml", "<Room_Number>303</Room_Number>") - 1;
    EXPECT_EQ(finding_lines(check()), (std::vector<std::string>{
        "qor3rdfloor.inp: room 303: warning: its box overlaps the box of room 301 over "
        "(2.9 0.01)-(2.99 2.19); room 301 comes first in the file and hides room 303 there",
        "Department.xml:" + std::to_string(room_303) + ": room 303: warning: its corners span "
        "(3 0)-(5.5 2.2), but its locator box is (2.9 0.01)-(5.49 2.19)",
    }));
}

TEST_F(ToolsBrokenCopy, UnreadableLocatorFiles)
{
    replace("qor3rdfloor.inp", "3.01 0.01  5.49 0.01", "3.01 0.01  5.49 x0.01");
    EXPECT_EQ(finding_lines(check()), std::vector<std::string>{
        "qor3rdfloor.inp: error: room 2: \"x0.01\" is not a number; keeping the 1 rooms read"});

    fs::remove(path("qor3rdfloor.inp"));
    const BuildingReport report = check();
    EXPECT_EQ(finding_lines(report), std::vector<std::string>{
        "qor3rdfloor.inp: error: cannot be opened (No such file or directory); the viewer ends "
        "at the visitor's first move"});
    EXPECT_EQ(check_exit_status(report), 1);
}

TEST_F(ToolsBrokenCopy, RoomMatchingErrors)
{
    replace("Department.xml", "<Room_Number>305</Room_Number>", "<Room_Number>395</Room_Number>");
    // Room 301's research text is its own number; room 303's is 307's number.
    replace("Department.xml",
            "<Research>Terrain rendering and level of detail for very large landscapes</Research>",
            "<Research>301</Research>");
    replace("Department.xml", "<Research>Sparse linear solvers for cloth and soft bodies</Research>",
            "<Research>307</Research>");
    const std::string room_301 = std::to_string(line_of("Department.xml", "<Room_Number>301<") - 1);
    const std::string number_301 = std::to_string(line_of("Department.xml", "<Room_Number>301<"));
    const std::string research_301 = std::to_string(line_of("Department.xml", "<Research>301<"));
    const std::string room_303 = std::to_string(line_of("Department.xml", "<Room_Number>303<") - 1);
    const std::string room_307 = std::to_string(line_of("Department.xml", "<Room_Number>307<") - 1);
    const std::string research_303 = std::to_string(line_of("Department.xml", "<Research>307<"));
    const BuildingReport report = check();
    EXPECT_EQ(finding_lines(report), (std::vector<std::string>{
        "Department.xml:" + number_301 + ": room 301: error: the text \"301\" matches 2 nodes of the "
        "Room at line " + room_301 + " (lines " + number_301 + ", " + research_301 + "); a visit "
        "stores the Room once for each",
        "qor3rdfloor.inp: room 305: error: no Room of Department.xml holds the text \"305\"; the "
        "status strip never shows this room's name",
        "Department.xml:" + research_303 + ": room 307: error: the text \"307\" is held by 2 Rooms (at "
        "lines " + room_303 + " and " + room_307 + "); a visit stores them all, the later ones' "
        "fields winning",
    }));
    EXPECT_EQ(check_exit_status(report), 1);
}

TEST_F(ToolsBrokenCopy, RoomRecordsAgainstBoxesAndPages)
{
    replace("Department.xml", "<RoomX2>11.5</RoomX2>", "<RoomX2>12.5</RoomX2>");  // room 307
    replace("Department.xml", "<TableX>9.3</TableX>", "<TableX>12.3</TableX>");  // room 307
    replace("Department.xml", "<Professor>Dr. S. Kettleborn</Professor>",
            "<Professor>Dr. S. Kettleborn-Featherstonehaugh</Professor>");
    replace("Department.xml", "publications/room311.html", "publications/room999.html");
    replace("Department.xml", "<Publications>publications/room313.html</Publications>",
            "<Publications></Publications>");
    const std::string xml = "Department.xml:";
    const std::string room_307 = std::to_string(line_of("Department.xml", "<Room_Number>307<") - 1);
    EXPECT_EQ(finding_lines(check()), (std::vector<std::string>{
        xml + std::to_string(line_of("Department.xml", "Featherstonehaugh")) + ": room 307: error: "
        "Professor text has 35 bytes, more than the 19 its field holds; the viewer cuts it",
        xml + room_307 + ": room 307: warning: its corners span (8.5 0)-(12.5 2.2), but its locator "
        "box is (8.51 0.01)-(11.49 2.19)",
        xml + std::to_string(line_of("Department.xml", "<TableX>12.3<")) + ": room 307: warning: the "
        "desk a visit places stands at (12.3 1), outside the room's box (8.51 0.01)-(11.49 2.19)",
        xml + std::to_string(line_of("Department.xml", "room999")) + ": room 311: error: the "
        "Publications page \"publications/room999.html\" does not exist",
        xml + std::to_string(line_of("Department.xml", "<Publications></Publications>")) + ": room 313: "
        "error: names no Publications page, yet a first visit starts the browser on it",
    }));
}

TEST_F(ToolsBrokenCopy, StatusLinesThatDoNotFitTheStrip)
{
    // "Room 301 (" + 60 W + ")": 71 characters start at x = 0.2 - (71 * 4.3 / 700 + 0.5),
    // pixel 91 of 690; Helvetica 18 gives R 12, o 11, m 14, blank 5, digits 10,
    // parentheses 6 and W 18: 94 + 1080 + 6 = 1180 pixels.
    const std::string wide(60, 'W');
    replace("Department.xml", "<Introduction_Text>Office of Prof. Quennick<",
            "<Introduction_Text>" + wide + "<");
    // Room 303 shows as "Room 2147483647 (" + 99 W + ")": 117 characters would start left
    // of the strip, so they start at its 5-pixel margin: 164 + 1782 + 6 = 1952 pixels.
    const std::string narrow(99, 'W');
    replace("Department.xml", "<Room_Number>303</Room_Number>",
            "<Room_Number>2147483647</Room_Number>");
    replace("Department.xml", "<Introduction_Text>Office of Dr. Ilvestad<",
            "<Introduction_Text>" + narrow + "<");
    replace("Department.xml", "<NormalTable>desk</NormalTable>\n    <LightX>4.25",
            "<NormalTable>303</NormalTable>\n    <LightX>4.25");
    EXPECT_EQ(finding_lines(check()), (std::vector<std::string>{
        "Department.xml:" + std::to_string(line_of("Department.xml", wide)) + ": room 301: warning: "
        "its status line \"Room 301 (" + wide + ")\" starts at pixel 91 of the 690-pixel status "
        "strip at 700 x 500 and is 1180 pixels wide: its end is cut off",
        "Department.xml:" + std::to_string(line_of("Department.xml", narrow)) + ": room 303: warning: "
        "its status line \"Room 2147483647 (" + narrow + ")\" starts at pixel 5 of the 690-pixel status "
        "strip at 700 x 500 and is 1952 pixels wide: its end is cut off",
    }));
}

TEST_F(ToolsBrokenCopy, DocumentTheViewerRejects)
{
    const long room_start = line_of("Department.xml", "<Room_Number>303<") - 1;
    const long room_end = line_of("Department.xml", "<Room_Number>305<") - 2;
    replace("Department.xml", "<Professor>Dr. R. Ilvestad</Professor>", "");
    const BuildingReport report = check();
    ASSERT_EQ(report.findings.size(), 1u);
    const Finding& finding = report.findings[0];
    EXPECT_EQ(finding.file, "Department.xml");
    EXPECT_GE(finding.line, room_start);
    EXPECT_LE(finding.line, room_end);
    const std::string line = format_finding(finding);
    const std::string ending = "; the viewer ends when a visitor first enters a room";
    EXPECT_EQ(line.rfind("Department.xml:" + std::to_string(finding.line) + ": error: ", 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - ending.size()), ending) << line;

    fs::remove(path("Department.xml"));
    EXPECT_EQ(finding_lines(check()), std::vector<std::string>{
        "Department.xml: error: cannot be opened (No such file or directory); the viewer ends "
        "when a visitor first enters a room"});
}

TEST_F(ToolsBrokenCopy, TextureFindings)
{
    fs::remove(path("person.rgb"));
    write("walltexture.rgb", grey_sgi(2, 1, 2));
    write("texture2.rgb", grey_sgi(4, 4, 2));  // 16 samples promised, 2 present
    write("dolvane.rgb", grey_sgi(0, 0, 0));
    EXPECT_EQ(finding_lines(check()), (std::vector<std::string>{
        "texture2.rgb: error: has 514 bytes, but its header and row tables call for 528; the "
        "missing part reads as black",
        "texture2.rgb: warning: is 4 x 4 pixels; the viewer rescales it to 256 x 256",
        "walltexture.rgb: warning: is 2 x 1 pixels; the viewer rescales it to 256 x 256",
        "dolvane.rgb: error: image size 0x0x1 is empty; skipping; the viewer cannot use it",
        "person.rgb: error: cannot be opened (No such file or directory); the viewer skips it "
        "and draws what it dresses untextured",
    }));
}

TEST_F(ToolsBrokenCopy, GarbageFilesGiveErrorsOnPrintableLines)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 37 + 11) % 256);
    for (const char* file : {"plan.dat", "qor3rdfloor.inp", "Department.xml", "texture2.rgb"})
        write(file, garbage);
    const BuildingReport report = check();
    EXPECT_EQ(check_exit_status(report), 1);
    std::set<std::string> files;
    for (const Finding& finding : report.findings) {
        files.insert(finding.file);
        for (unsigned char c : format_finding(finding))
            ASSERT_TRUE(c >= 0x20 && c != 0x7f) << format_finding(finding);
    }
    EXPECT_EQ(files, (std::set<std::string>{"plan.dat", "qor3rdfloor.inp", "Department.xml",
                                            "texture2.rgb"}));
    // One reader note per cut token at most 50 times, then a count of the rest.
    EXPECT_LE(report.findings.size(), 60u);
}

// ---------------------------------------------------------------------------
// The map

namespace {

std::string attribute(xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

// Every element of that name and class, outside the legend's samples.
void collect(xmlNode* node, const std::string& element, const std::string& css_class,
             std::vector<xmlNode*>& found)
{
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE || attribute(node, "class") == "legend-row")
            continue;
        if (element == reinterpret_cast<const char*>(node->name) && attribute(node, "class") == css_class)
            found.push_back(node);
        collect(node->children, element, css_class, found);
    }
}

// The texts of the <text> children of node, and how many <rect> children it has.
std::vector<std::string> child_texts(xmlNode* node, int* rects)
{
    std::vector<std::string> texts;
    *rects = 0;
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        const std::string name = reinterpret_cast<const char*>(child->name);
        if (name == "rect")
            ++*rects;
        if (name == "text") {
            xmlChar* content = xmlNodeGetContent(child);
            texts.push_back(reinterpret_cast<const char*>(content));
            xmlFree(content);
        }
    }
    return texts;
}

} // namespace

TEST(ToolsMap, ShippedFloorHasOneLabelledBoxPerRoom)
{
    const BuildingReport report = check_building(VEVUV_SHIPPED_DATA);
    const std::string svg = floor_map_svg(report, 0);
    xmlDoc* document = xmlReadMemory(svg.data(), int(svg.size()), "floor.svg", nullptr, XML_PARSE_NONET);
    ASSERT_NE(document, nullptr);
    xmlNode* root = xmlDocGetRootElement(document);
    EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "svg");

    std::vector<xmlNode*> rooms;
    collect(root, "g", "room", rooms);
    ASSERT_EQ(rooms.size(), report.rooms.size());
    std::set<std::string> numbers;
    for (std::size_t i = 0; i < rooms.size(); ++i) {
        int rects = 0;
        const std::vector<std::string> texts = child_texts(rooms[i], &rects);
        EXPECT_EQ(rects, 1);
        ASSERT_FALSE(texts.empty());
        numbers.insert(texts.front());
        EXPECT_NE(std::find(texts.begin(), texts.end(), report.rooms[i].professor), texts.end())
            << report.rooms[i].name;
    }
    EXPECT_EQ(numbers.size(), 20u);
    EXPECT_EQ(*numbers.begin(), "301");
    EXPECT_EQ(*numbers.rbegin(), "320");

    // The three professors the building's description names for rooms 301, 308 and 320.
    for (const char* professor : {"Prof. E. Quennick", "Prof. O. Cindermoor", "Dr. F. Istermann"})
        EXPECT_NE(svg.find(professor), std::string::npos) << professor;
    const struct {
        const char* element;
        const char* css_class;
        std::size_t count;
    } marks[] = {{"line", "wall", 46}, {"line", "lintel", 20}, {"circle", "light", 3},
                 {"rect", "portrait", 2}, {"circle", "start", 1}};
    for (const auto& mark : marks) {
        std::vector<xmlNode*> found;
        collect(root, mark.element, mark.css_class, found);
        EXPECT_EQ(found.size(), mark.count) << mark.css_class;
    }
    xmlFreeDoc(document);
}

TEST_F(ToolsBrokenCopy, MapMarksEveryPlacedProblemAndListsThemAll)
{
    add_walls("plan.dat", {"10 0 11 1"});
    replace("Department.xml", "publications/room311.html", "publications/room999.html");
    fs::remove(path("person.rgb"));
    const std::string output = path("floor.svg");
    int status = -1;
    run(std::string(VEVUV_MAP_PROGRAM) + " " + dir_ + " -o " + output, &status);
    EXPECT_EQ(status, 0);
    const std::string svg = read("floor.svg");
    xmlDoc* document = xmlReadMemory(svg.data(), int(svg.size()), "floor.svg", nullptr, XML_PARSE_NONET);
    ASSERT_NE(document, nullptr);
    std::vector<xmlNode*> warnings, errors, listed;
    collect(xmlDocGetRootElement(document), "g", "problem warning", warnings);
    collect(xmlDocGetRootElement(document), "g", "problem error", errors);
    EXPECT_EQ(warnings.size(), 1u);  // the diagonal wall
    EXPECT_EQ(errors.size(), 1u);    // the missing page, over room 311; the texture has no place
    collect(xmlDocGetRootElement(document), "text", "list error", listed);
    collect(xmlDocGetRootElement(document), "text", "list warning", listed);
    EXPECT_EQ(listed.size(), 3u);
    EXPECT_NE(svg.find("3. person.rgb: error: cannot be opened"), std::string::npos);
    xmlFreeDoc(document);
}
