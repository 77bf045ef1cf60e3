#!/usr/bin/env python3
"""make_building.py -- generates the shipped third-floor data of Vevuv from one
description of the floor, then checks that the written files agree.

Everything in data/ that describes the building comes from the tables below:
the three plan files, the room locator file, Department.xml with its DTD and
one publications page per room. Rerun it after changing the floor:

    python3 generators/make_building.py            # write data/ and check it
    python3 generators/make_building.py --check    # only check the files in data/
    python3 generators/make_building.py --sketch   # also print an ASCII sketch
    python3 generators/make_building.py --out DIR  # write somewhere else

The check runs vevuv-check (build it first), which reads the files with the
viewer's own readers, then reads them back for the floor's own conventions
(it does not trust the tables) and stops with a message naming the file and
the fault.

Units: plan units throughout (1 plan unit = 3 world units). Plan x runs west
to east, plan y south to north. A desk anchored at plan (x, y) is drawn over
world x-0.066..x+1.254, z..z+1.035 (z = -3y), or mirrored through its anchor
when turned; its blocking block covers world x..x+1.1, z..z+1.0 either way.
"""

import argparse
import html
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass, field
from typing import List, Optional, Tuple

# --------------------------------------------------------------------------
# Constants of the floor and of the program that reads it
# --------------------------------------------------------------------------

FLOOR_LENGTH = 30.0          # floor rectangle (0,0)-(30,6)
FLOOR_DEPTH = 6.0
SOUTH_WALL_Y = 2.2           # corridor wall on the south side
NORTH_WALL_Y = 3.2           # corridor wall on the north side
CORRIDOR_Y = 2.7             # corridor centre line, under the three lights
DOOR_WIDTH = 0.8

PLAN_TO_WORLD = 3.0          # world = 3 * plan (z = -3 * plan y)
WALL_MARGIN = 0.1 / PLAN_TO_WORLD          # closest a visitor gets to a wall line
WALL_HALF_THICKNESS = 0.1 / PLAN_TO_WORLD  # drawn half thickness of a wall
LOCATOR_INSET = 0.01         # locator boxes stop this short of each wall line
TABLE_TURN_Y = 2.7           # desks of rooms beyond this line are turned
FIGURE_SIZE = 1.0 / PLAN_TO_WORLD          # portrait cube edge, plan units
FIGURES = [(17.6, 4.6), (24.5, 1.5)]       # lowest-x, highest-y corner of each

LOCATOR_TOKEN_MAX = 19       # longest token the locator reader takes
LOCATOR_NAME_MAX = 11

# Field widths of a room record, in characters (terminating zero excluded).
TEXT_LIMITS = {
    "Professor": 19, "Introduction_Text": 36, "Research": 99,
    "Publications": 99, "Texture": 19, "Image": 19, "NormalTable": 11,
}

# Desk extents relative to its anchor, world units (x, z ranges).
DESK_DRAWN = ((-0.066, 1.254), (0.0, 1.035))  # table top and chair, not turned
DESK_BLOCK = ((0.0, 1.1), (0.0, 1.0))         # four blocking segments

DESK_WALL_CLEARANCE = 0.1    # plan units between a desk and any wall line
DOOR_ZONE_SIDE = 0.1         # the walk-in zone is the gap widened this much
DOOR_ZONE_DEPTH = 0.9        # ... and reaches this far into the room
FIGURE_WALL_CLEARANCE = 0.05

FIELD_ORDER = (["Room_Number", "Professor", "Introduction_Text", "Research",
                "Publications", "Texture", "Image", "NumberWalls"]
               + ["RoomX%d" % i for i in range(1, 11)]
               + ["RoomY%d" % i for i in range(1, 11)]
               + ["CenterX", "CenterY", "TableX", "TableY", "NormalTable",
                  "LightX", "LightY"])

# --------------------------------------------------------------------------
# The description of the floor
# --------------------------------------------------------------------------

Rect = Tuple[float, float, float, float]   # x0, y0, x1, y1 with x0<x1, y0<y1
Segment = Tuple[float, float, float, float]


@dataclass
class Room:
    number: int
    x0: float
    x1: float
    side: str                 # "S": south of the corridor, "N": north of it
    door_x: float             # west end of the doorway in the corridor wall
    professor: str
    intro: str
    research: str
    table: str                # "mean", "at" or "none"
    table_at: Tuple[float, float] = (0.0, 0.0)
    notch: Optional[Rect] = None   # a walled-off corner (shaft), not floor
    image: str = "person.rgb"
    normal_table: str = "desk"
    titles: List[str] = field(default_factory=list)

    @property
    def y0(self) -> float:
        return 0.0 if self.side == "S" else NORTH_WALL_Y

    @property
    def y1(self) -> float:
        return SOUTH_WALL_Y if self.side == "S" else FLOOR_DEPTH

    @property
    def bounds(self) -> Rect:
        return (self.x0, self.y0, self.x1, self.y1)

    @property
    def door_wall_y(self) -> float:
        return SOUTH_WALL_Y if self.side == "S" else NORTH_WALL_Y

    @property
    def name_token(self) -> str:
        return "[%d]" % self.number

    @property
    def page(self) -> str:
        return "publications/room%d.html" % self.number


# South side: odd numbers west to east. North side: even numbers.
ROOMS: List[Room] = [
    Room(301, 0.0, 3.0, "S", 2.0, "Prof. E. Quennick", "Office of Prof. Quennick",
         "Terrain rendering and level of detail for very large landscapes",
         "at", (0.8, 0.9), titles=[
             "Crack-free terrain meshes from nested clipmaps",
             "A budget for level of detail on kiosk hardware",
             "Horizon culling for hilly landscapes"]),
    Room(303, 3.0, 5.5, "S", 4.4, "Dr. R. Ilvestad", "Office of Dr. Ilvestad",
         "Sparse linear solvers for cloth and soft bodies",
         "mean", titles=[
             "Preconditioning stiff cloth with little memory",
             "Soft bodies that keep their volume",
             "Warm starts for iterative contact solvers"]),
    Room(305, 5.5, 8.5, "S", 5.8, "Prof. T. Marrowby", "Office of Prof. Marrowby",
         "Sound propagation in architectural models",
         "mean", titles=[
             "Echoes along corridors: a beam tracing study",
             "Diffraction around doorways in real time",
             "Listening tests in a virtual lecture hall"]),
    Room(307, 8.5, 11.5, "S", 10.4, "Dr. S. Kettleborn", "Office of Dr. Kettleborn",
         "Compression of textures and height fields",
         "at", (9.3, 1.0), titles=[
             "Block textures with two palettes",
             "Lossless height fields in a quarter of the space",
             "Run lengths revisited for scanned plans"]),
    Room(309, 11.5, 14.5, "S", 11.8, "Prof. L. Ashgrove", "Human Factors Lab",
         "Wayfinding, signage and how visitors read floor plans",
         "mean", normal_table="lab bench", titles=[
             "Where do visitors look first on a floor plan?",
             "Signs that point the right way",
             "Kiosk sessions: a year of walk-through logs"]),
    Room(311, 14.5, 17.5, "S", 16.4, "Dr. N. Vellacourt", "Office of Dr. Vellacourt",
         "Scheduling of lectures and rooms with constraint solvers",
         "mean", titles=[
             "A timetable for every semester in one minute",
             "Soft constraints that staff actually keep",
             "Room changes announced in time"]),
    Room(313, 17.5, 20.5, "S", 17.8, "Prof. H. Orrindale", "Databases Group",
         "Spatial indexing of building information",
         "at", (19.1, 0.9), titles=[
             "Indexing rooms by their doors",
             "Query plans for nearest-exit searches",
             "A benchmark of twenty thousand floors"]),
    Room(315, 20.5, 23.0, "S", 21.9, "Dr. P. Sandivar", "Office of Dr. Sandivar",
         "Parsing and validating structured documents",
         "mean", titles=[
             "Validating documents in one pass",
             "Small parsers for large archives",
             "Error messages that name the line"]),
    Room(317, 23.0, 26.5, "S", 23.3, "Prof. B. Trevarnik", "Office of Prof. Trevarnik",
         "Image-based lighting and portraits in virtual galleries",
         "at", (25.4, 0.9), image="trevarnik.rgb", titles=[
             "Relighting portraits from three photographs",
             "Galleries that light themselves",
             "Perceived depth of painted faces"]),
    Room(319, 26.5, 30.0, "S", 28.6, "Prof. C. Wrenholt", "Visualisation Lab",
         "Visual analysis of building sensor data",
         "at", (27.3, 1.0), normal_table="lab bench", titles=[
             "Heat maps of a year in one building",
             "Door counters as a sensor network",
             "Small multiples for many rooms"]),

    Room(302, 0.0, 3.0, "N", 0.3, "Dr. J. Tamsworth", "Office of Dr. Tamsworth",
         "Robot navigation in corridors and offices",
         "mean", titles=[
             "Corridor following with one camera",
             "Finding doors by their lintels",
             "A map of one floor in ten minutes"]),
    Room(304, 3.0, 6.0, "N", 4.1, "Prof. G. Lindquell", "Graphics and Interaction Lab",
         "Walk-through systems, collision and navigation aids",
         "at", (5.2, 5.2), normal_table="lab bench", titles=[
             "Sliding along walls: collision for walkers",
             "Overhead maps that turn with the visitor",
             "Status lines that visitors read"]),
    Room(306, 6.0, 9.0, "N", 8.0, "Dr. K. Brassmoor", "Office of Dr. Brassmoor",
         "Shadow algorithms for indoor scenes",
         "mean", titles=[
             "Soft shadows under desks",
             "Shadow maps for low ceilings",
             "Ambient light in windowless rooms"]),
    Room(308, 9.0, 12.5, "N", 9.3, "Prof. O. Cindermoor", "Virtual Reality Lab",
         "Immersive displays, tracking and motion sickness",
         "mean", notch=(11.5, 5.0, 12.5, FLOOR_DEPTH), normal_table="lab bench",
         titles=[
             "Head tracking with a ceiling camera",
             "How fast may a visitor turn?",
             "A projection wall in an L-shaped room"]),
    Room(310, 12.5, 15.0, "N", 13.0, "Facilities", "Store room, staff only",
         "Spare furniture, projectors and cables",
         "none", normal_table="none", titles=[
             "Loan register for projectors",
             "Inventory of spare desks and chairs",
             "Cable types kept in the store"]),
    Room(312, 15.0, 18.5, "N", 16.2, "Prof. A. Dolvane", "Office of Prof. Dolvane",
         "Procedural architecture and generated floor plans",
         "at", (15.9, 5.2), image="dolvane.rgb", titles=[
             "Floor plans from a handful of rules",
             "Corridors first: generating office floors",
             "Doors, lintels and the grammar of buildings"]),
    Room(314, 18.5, 21.5, "N", 20.4, "Dr. A. Pellowen", "Office of Dr. Pellowen",
         "Computational geometry for polygons with holes",
         "mean", titles=[
             "Point location in L-shaped rooms",
             "Bounding boxes that do not overlap",
             "Visibility in orthogonal polygons"]),
    Room(316, 21.5, 24.5, "N", 21.8, "Prof. D. Yarrowgate", "Machine Learning Group",
         "Learning from sparse and noisy sensor data",
         "mean", normal_table="lab bench", titles=[
             "Occupancy from door sensors",
             "Noise-tolerant room classifiers",
             "Forecasting corridor traffic"]),
    Room(318, 24.5, 27.0, "N", 25.7, "IT Services", "Server room, no entry",
         "Department servers, network and backups",
         "none", normal_table="none", titles=[
             "Backup schedule of the department servers",
             "Network map of the third floor",
             "Uptime report of the kiosk"]),
    Room(320, 27.0, 30.0, "N", 27.3, "Dr. F. Istermann", "Office of Dr. Istermann",
         "Real-time image decoding and texture streaming",
         "mean", titles=[
             "Decoding run-length images safely",
             "Streaming textures into small memories",
             "Fuzzing image readers for a week"]),
]

ROOMS_BY_NUMBER = {room.number: room for room in ROOMS}

# The three plans: start points, tables (anchor x, y, kind) and renovation
# changes. Kind-2 plan tables stand where that room's record puts its desk,
# so a visit shows the same desk in the same place.
PLAN_1_TABLES = [(0.8, 0.9, 2), (7.4, 1.0, 0), (13.6, 1.0, 0), (19.1, 0.9, 2)]
PLAN_3_TABLES = [(0.8, 0.9, 2), (19.1, 0.9, 2), (13.2, 5.3, 0), (14.2, 5.3, 0)]
PARTITION_X = 19.6           # plan 3: temporary partition across the corridor
PARTITION_DOOR = (2.3, 3.1)  # ... and the doorway in it
CLOSED_ROOM = 309            # plan 3: door walled up during the renovation


@dataclass
class PlanVariant:
    file_name: str
    start: Tuple[float, float]
    mark: Tuple[float, float]          # second point of the last line, unused
    start_heading: float                # heading the program gives this plan
    tables: List[Tuple[float, float, int]]
    closed_rooms: Tuple[int, ...] = ()
    partition: bool = False


PLANS = [
    PlanVariant("plan.dat", (4.5, 2.7), (29.0, 2.7), 0.0, PLAN_1_TABLES),
    PlanVariant("plan2.dat", (29.0, 2.7), (4.5, 2.7), 180.0, PLAN_1_TABLES),
    PlanVariant("plan3.dat", (4.5, 2.7), (29.0, 2.7), 0.0, PLAN_3_TABLES,
                closed_rooms=(CLOSED_ROOM,), partition=True),
]

LOCATOR_FILE = "qor3rdfloor.inp"
LOCATOR_HEADER = "Vevuv room locator, third floor: shape name points description"
LOCATOR_END = "0 end"

# --------------------------------------------------------------------------
# Geometry helpers
# --------------------------------------------------------------------------


def fmt(value: float) -> str:
    """A number as short text: 2.2, 30, 0.01 (never 1e-05 or -0)."""
    text = ("%.3f" % value).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def rects_overlap(a: Rect, b: Rect) -> bool:
    """True when two closed rectangles share at least one point."""
    return a[0] <= b[2] and b[0] <= a[2] and a[1] <= b[3] and b[1] <= a[3]


def grow(r: Rect, d: float) -> Rect:
    return (r[0] - d, r[1] - d, r[2] + d, r[3] + d)


def rect_inside(inner: Rect, outer: Rect) -> bool:
    return (outer[0] <= inner[0] and inner[2] <= outer[2]
            and outer[1] <= inner[1] and inner[3] <= outer[3])


def point_segment_distance(px: float, py: float, s: Segment) -> float:
    x1, y1, x2, y2 = s
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x1) * dx + (py - y1) * dy) / length2))
    cx, cy = x1 + t * dx, y1 + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


def segment_hits_rect(s: Segment, r: Rect) -> bool:
    """True when an axis-aligned segment touches a closed rectangle."""
    x1, y1, x2, y2 = s
    return rects_overlap((min(x1, x2), min(y1, y2), max(x1, x2), max(y1, y2)), r)


def world_range_to_plan(anchor_x: float, anchor_y: float,
                        xr: Tuple[float, float], zr: Tuple[float, float],
                        turned: bool) -> Rect:
    """Plan rectangle of a desk part given in world offsets from its anchor."""
    wx, wz = anchor_x * PLAN_TO_WORLD, -anchor_y * PLAN_TO_WORLD
    if turned:   # mirrored through the anchor in x and z
        xr, zr = (-xr[1], -xr[0]), (-zr[1], -zr[0])
    x0, x1 = (wx + xr[0]) / PLAN_TO_WORLD, (wx + xr[1]) / PLAN_TO_WORLD
    ya, yb = -(wz + zr[0]) / PLAN_TO_WORLD, -(wz + zr[1]) / PLAN_TO_WORLD
    return (x0, min(ya, yb), x1, max(ya, yb))


def union(a: Rect, b: Rect) -> Rect:
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def desk_footprint(x: float, y: float, turned: bool) -> Rect:
    """Plan area of the drawn desk and its blocking block together."""
    drawn = world_range_to_plan(x, y, DESK_DRAWN[0], DESK_DRAWN[1], turned)
    block = world_range_to_plan(x, y, DESK_BLOCK[0], DESK_BLOCK[1], False)
    return union(drawn, block)


def plan_table_footprint(x: float, y: float) -> Rect:
    """A plan table may be drawn turned or not (the flag outlives a reload)."""
    return union(desk_footprint(x, y, False), desk_footprint(x, y, True))


def figure_rect(fx: float, fy: float) -> Rect:
    return (fx, fy - FIGURE_SIZE, fx + FIGURE_SIZE, fy)


# --------------------------------------------------------------------------
# Rooms: corners, floor, doors, table position
# --------------------------------------------------------------------------


def room_corners(room: Room) -> List[Tuple[float, float]]:
    """Corners counter-clockwise from the south-west one."""
    x0, y0, x1, y1 = room.bounds
    if room.notch is None:
        return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
    nx0, ny0, nx1, ny1 = room.notch
    assert nx1 == x1 and ny1 == y1, "only a north-east notch is described"
    return [(x0, y0), (x1, y0), (x1, ny0), (nx0, ny0), (nx0, y1), (x0, y1)]


def six_corner_points(room: Room) -> List[Tuple[float, float]]:
    """Six points: a rectangle repeats two opposite corners, so their mean is
    the rectangle's centre."""
    corners = room_corners(room)
    if len(corners) == 4:
        return corners + [corners[0], corners[2]]
    return corners


def ten_corner_points(room: Room) -> List[Tuple[float, float]]:
    six = six_corner_points(room)
    corners = room_corners(room)
    return six + [corners[i % len(corners)] for i in range(4)]


def inset_corners(corners: List[Tuple[float, float]], d: float) -> List[Tuple[float, float]]:
    """Moves every edge of a counter-clockwise orthogonal polygon inward by d."""
    n = len(corners)
    edges = []
    for i in range(n):
        (ax, ay), (bx, by) = corners[i], corners[(i + 1) % n]
        # Inward (left) normal of a counter-clockwise edge.
        nx, ny = -(by - ay), (bx - ax)
        length = (nx * nx + ny * ny) ** 0.5
        edges.append(((ax, ay), (bx, by), (nx / length * d, ny / length * d)))
    result = []
    for i in range(n):
        prev_edge, edge = edges[i - 1], edges[i]
        vertical = edge if edge[0][0] == edge[1][0] else prev_edge
        horizontal = prev_edge if vertical is edge else edge
        x = vertical[0][0] + vertical[2][0]
        y = horizontal[0][1] + horizontal[2][1]
        result.append((x, y))
    return result


def floor_rects(room: Room) -> List[Rect]:
    """The room's floor as rectangles (two for the notched room)."""
    x0, y0, x1, y1 = room.bounds
    if room.notch is None:
        return [room.bounds]
    nx0, ny0, _, _ = room.notch
    return [(x0, y0, nx0, y1), (nx0, y0, x1, ny0)]


def door_gap(room: Room) -> Tuple[float, float]:
    return (room.door_x, room.door_x + DOOR_WIDTH)


def door_zone(room: Room) -> Rect:
    """Where a visitor walking in through the door passes."""
    a, b = door_gap(room)
    y = room.door_wall_y
    if room.side == "S":
        return (a - DOOR_ZONE_SIDE, y - DOOR_ZONE_DEPTH, b + DOOR_ZONE_SIDE, y)
    return (a - DOOR_ZONE_SIDE, y, b + DOOR_ZONE_SIDE, y + DOOR_ZONE_DEPTH)


def table_values(room: Room) -> Tuple[float, float]:
    """TableX, TableY as written in the room's record."""
    if room.table == "mean":
        return (0.0, 0.0)
    if room.table == "none":
        return (-1.0, -1.0)
    return room.table_at


def center_of(room: Room) -> Tuple[float, float]:
    """Area centroid of the room's floor."""
    total, cx, cy = 0.0, 0.0, 0.0
    for r in floor_rects(room):
        area = (r[2] - r[0]) * (r[3] - r[1])
        total += area
        cx += area * (r[0] + r[2]) / 2
        cy += area * (r[1] + r[3]) / 2
    return (round(cx / total, 3), round(cy / total, 3))


def light_of(room: Room) -> Tuple[float, float]:
    """The ceiling light hangs over the middle of the largest floor part."""
    r = max(floor_rects(room), key=lambda q: (q[2] - q[0]) * (q[3] - q[1]))
    return (round((r[0] + r[2]) / 2, 3), round((r[1] + r[3]) / 2, 3))


# --------------------------------------------------------------------------
# Walls and lintels
# --------------------------------------------------------------------------


def corridor_wall(y: float, gaps: List[Tuple[float, float]]) -> List[Segment]:
    """The corridor wall along y, cut at every open doorway."""
    segments, x = [], 0.0
    for a, b in sorted(gaps):
        if a > x:
            segments.append((x, y, a, y))
        x = b
    if x < FLOOR_LENGTH:
        segments.append((x, y, FLOOR_LENGTH, y))
    return segments


def building_walls(plan: PlanVariant) -> Tuple[List[Segment], List[Segment]]:
    """All walls and lintels of one plan."""
    walls: List[Segment] = [
        (0.0, 0.0, FLOOR_LENGTH, 0.0), (FLOOR_LENGTH, 0.0, FLOOR_LENGTH, FLOOR_DEPTH),
        (0.0, FLOOR_DEPTH, FLOOR_LENGTH, FLOOR_DEPTH), (0.0, 0.0, 0.0, FLOOR_DEPTH)]
    lintels: List[Segment] = []
    for side, y in (("S", SOUTH_WALL_Y), ("N", NORTH_WALL_Y)):
        open_rooms = [r for r in ROOMS if r.side == side and r.number not in plan.closed_rooms]
        gaps = [door_gap(r) for r in open_rooms]
        walls += corridor_wall(y, gaps)
        lintels += [(a, y, b, y) for a, b in gaps]
        side_rooms = sorted((r for r in ROOMS if r.side == side), key=lambda r: r.x0)
        for room in side_rooms[1:]:
            walls.append((room.x0, room.y0, room.x0, room.y1))
    for room in ROOMS:
        if room.notch is not None:
            nx0, ny0, nx1, ny1 = room.notch
            walls.append((nx0, ny0, nx1, ny0))
            walls.append((nx0, ny0, nx0, ny1))
    if plan.partition:
        x = PARTITION_X
        walls.append((x, SOUTH_WALL_Y, x, PARTITION_DOOR[0]))
        walls.append((x, PARTITION_DOOR[1], x, NORTH_WALL_Y))
        lintels.append((x, PARTITION_DOOR[0], x, PARTITION_DOOR[1]))
    return walls, lintels


# --------------------------------------------------------------------------
# Writers
# --------------------------------------------------------------------------


def plan_text(plan: PlanVariant) -> str:
    walls, lintels = building_walls(plan)
    lines = ["0 0 %s %s" % (fmt(FLOOR_LENGTH), fmt(FLOOR_DEPTH)), str(len(walls))]
    lines += [" ".join(fmt(v) for v in s) for s in walls]
    lines.append(str(len(lintels)))
    lines += [" ".join(fmt(v) for v in s) for s in lintels]
    lines.append(str(len(plan.tables)))
    lines += ["%s %s %d" % (fmt(x), fmt(y), kind) for x, y, kind in plan.tables]
    lines.append("%s %s %s %s" % (fmt(plan.start[0]), fmt(plan.start[1]),
                                  fmt(plan.mark[0]), fmt(plan.mark[1])))
    return "\n".join(lines) + "\n"


def locator_text() -> str:
    lines = [LOCATOR_HEADER]
    for room in ROOMS:
        points = [(x, y) for x, y in inset_corners(room_corners(room), LOCATOR_INSET)]
        if room.notch is None:
            shape, points = 4, points + [points[0], points[2]]
        else:
            shape, points = 5, (points + points)[:10]
        lines.append("%d %s" % (shape, room.name_token))
        lines.append("  " + "  ".join("%s %s" % (fmt(x), fmt(y)) for x, y in points))
    lines.append(LOCATOR_END)
    return "\n".join(lines) + "\n"


DTD_TEXT = """<!-- Department.dtd: the rooms of one department floor for Vevuv.
     Generated by generators/make_building.py; edit the generator, not this file.
     Coordinates are plan units. TableX/TableY: 0 0 puts the desk at the mean
     of the first six corners, -1 -1 marks a room without a desk. -->
<!ELEMENT Department (Room+)>
<!ELEMENT Room (Room_Number, Professor, Introduction_Text, Research?,
                Publications?, Texture?, Image?, NumberWalls?,
                RoomX1, RoomX2, RoomX3, RoomX4, RoomX5, RoomX6,
                RoomX7?, RoomX8?, RoomX9?, RoomX10?,
                RoomY1, RoomY2, RoomY3, RoomY4, RoomY5, RoomY6,
                RoomY7?, RoomY8?, RoomY9?, RoomY10?,
                CenterX?, CenterY?, TableX?, TableY?, NormalTable?,
                LightX?, LightY?)>
"""
DTD_TEXT += "".join("<!ELEMENT %s (#PCDATA)>\n" % name for name in FIELD_ORDER)


def room_fields(room: Room) -> List[Tuple[str, str]]:
    ten = ten_corner_points(room)
    table_x, table_y = table_values(room)
    center, light = center_of(room), light_of(room)
    values = [
        ("Room_Number", str(room.number)), ("Professor", room.professor),
        ("Introduction_Text", room.intro), ("Research", room.research),
        ("Publications", room.page), ("Texture", "walltexture2.rgb"),
        ("Image", room.image), ("NumberWalls", str(len(room_corners(room))))]
    values += [("RoomX%d" % (i + 1), fmt(p[0])) for i, p in enumerate(ten)]
    values += [("RoomY%d" % (i + 1), fmt(p[1])) for i, p in enumerate(ten)]
    values += [("CenterX", fmt(center[0])), ("CenterY", fmt(center[1])),
               ("TableX", fmt(table_x)), ("TableY", fmt(table_y)),
               ("NormalTable", room.normal_table),
               ("LightX", fmt(light[0])), ("LightY", fmt(light[1]))]
    assert [name for name, _ in values] == FIELD_ORDER
    return values


def xml_text() -> str:
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="no"?>',
             '<!DOCTYPE Department SYSTEM "Department.dtd">',
             "<!-- Third floor of the department. Generated by generators/make_building.py;",
             "     edit the generator, not this file. -->",
             "<Department>"]
    for room in ROOMS:
        lines.append("  <Room>")
        for name, value in room_fields(room):
            lines.append("    <%s>%s</%s>" % (name, html.escape(value, quote=False), name))
        lines.append("  </Room>")
    lines.append("</Department>")
    return "\n".join(lines) + "\n"


PAGE_STYLE = """body { font-family: "DejaVu Sans", Helvetica, Arial, sans-serif;
       margin: 2em auto; max-width: 46em; color: #222; background: #f7f6f2; }
header { border-bottom: 4px solid #2b5d8a; margin-bottom: 1.2em; }
h1 { font-size: 1.6em; margin: 0 0 0.2em 0; color: #2b5d8a; }
p.lead { margin: 0 0 0.8em 0; color: #555; }
table { border-collapse: collapse; width: 100%; background: #fff;
        box-shadow: 0 1px 3px rgba(0,0,0,0.15); }
th, td { text-align: left; padding: 0.5em 0.8em; border-bottom: 1px solid #ddd; }
th { background: #2b5d8a; color: #fff; font-weight: normal; }
tr:nth-child(even) td { background: #f0f4f8; }
td.year { width: 4em; color: #2b5d8a; }
footer { margin-top: 1.5em; font-size: 0.85em; color: #777; }"""

CO_AUTHORS = ["M. Oskarven", "L. Brightwater", "T. Hazelmere", "R. Quillon",
              "S. Amberlain", "K. Nordvik", "J. Fallowmere", "P. Cressington",
              "E. Thornquist", "H. Belvoir-Ames", "D. Mirrowen", "A. Castellane"]
VENUES = ["Northfield Workshop on Interactive Spaces",
          "Journal of Walk-Through Systems",
          "Symposium on Campus Computing",
          "Harbourside Conference on Visual Media",
          "Letters in Building Informatics"]


def page_rows(room: Room) -> List[Tuple[int, str, str, str]]:
    """Made-up publications: the titles of the room with authors and venues
    picked deterministically from small pools."""
    rows = []
    author = room.professor.replace("Prof. ", "").replace("Dr. ", "")
    for i, title in enumerate(room.titles):
        seed = room.number * 7 + i * 5
        co = CO_AUTHORS[seed % len(CO_AUTHORS)]
        authors = "%s, %s" % (author, co) if room.table != "none" else co
        rows.append((2019 + (room.number + i * 2) % 6, title, authors,
                     VENUES[(room.number + i) % len(VENUES)]))
    return sorted(rows, key=lambda row: -row[0])


def page_text(room: Room) -> str:
    heading = "Room %d &middot; %s" % (room.number, html.escape(room.professor))
    kind = "Documents" if room.table == "none" else "Publications"
    rows = "\n".join(
        '      <tr><td class="year">%d</td><td>%s</td><td>%s</td><td>%s</td></tr>'
        % (year, html.escape(title), html.escape(authors), html.escape(venue))
        for year, title, authors, venue in page_rows(room))
    return """<!DOCTYPE html>
<html lang="en">
<head>
  <meta charset="utf-8">
  <title>Room {number}: {kind}</title>
  <style>
{style}
  </style>
</head>
<body>
  <header>
    <h1>{heading}</h1>
    <p class="lead">{intro}. {research}.</p>
  </header>
  <table>
    <thead>
      <tr><th>Year</th><th>Title</th><th>Authors</th><th>Venue</th></tr>
    </thead>
    <tbody>
{rows}
    </tbody>
  </table>
  <footer>Third floor, room {number}. All names and titles on this page are made up.</footer>
</body>
</html>
""".format(number=room.number, kind=kind, style=PAGE_STYLE, heading=heading,
           intro=html.escape(room.intro), research=html.escape(room.research), rows=rows)


def write_file(path: str, text: str) -> None:
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def write_all(out_dir: str) -> None:
    os.makedirs(out_dir, exist_ok=True)
    for plan in PLANS:
        write_file(os.path.join(out_dir, plan.file_name), plan_text(plan))
    write_file(os.path.join(out_dir, LOCATOR_FILE), locator_text())
    write_file(os.path.join(out_dir, "Department.dtd"), DTD_TEXT)
    write_file(os.path.join(out_dir, "Department.xml"), xml_text())
    pages = os.path.join(out_dir, "publications")
    os.makedirs(pages, exist_ok=True)
    for room in ROOMS:
        write_file(os.path.join(out_dir, room.page), page_text(room))


# --------------------------------------------------------------------------
# Check: read the written files back and test every promise about them
# --------------------------------------------------------------------------


class CheckFailed(Exception):
    pass


def require(condition: bool, where: str, what: str) -> None:
    if not condition:
        raise CheckFailed("%s: %s" % (where, what))


@dataclass
class ParsedPlan:
    floor: Rect
    walls: List[Segment]
    lintels: List[Segment]
    tables: List[Tuple[float, float, int]]
    start: Tuple[float, float]


def read_plan_file(path: str) -> ParsedPlan:
    tokens = open(path, encoding="ascii").read().split()
    position = 0

    def take(count: int) -> List[str]:
        nonlocal position
        require(position + count <= len(tokens), path, "ends early at token %d" % position)
        chunk = tokens[position:position + count]
        position += count
        return chunk

    floor = tuple(float(t) for t in take(4))
    walls = [tuple(float(t) for t in take(4)) for _ in range(int(take(1)[0]))]
    lintels = [tuple(float(t) for t in take(4)) for _ in range(int(take(1)[0]))]
    tables = []
    for _ in range(int(take(1)[0])):
        x, y, kind = take(3)
        tables.append((float(x), float(y), int(kind)))
    start = tuple(float(t) for t in take(4))[:2]
    require(position == len(tokens), path, "%d tokens after the last field" % (len(tokens) - position))
    return ParsedPlan(floor, walls, lintels, tables, start)


@dataclass
class LocatorRecord:
    shape: int
    name: str
    points: List[Tuple[float, float]]

    @property
    def box(self) -> Rect:
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return (min(xs), min(ys), max(xs), max(ys))


def read_locator_file(path: str) -> List[LocatorRecord]:
    """Reads the locator file the way the program does; every record counts."""
    tokens = open(path, encoding="ascii").read().split()
    require("description" in tokens, path, "no header ending in \"description\"")
    position = tokens.index("description") + 1
    records: List[LocatorRecord] = []
    while True:
        require(position < len(tokens), path, "ends before the terminating 0")
        shape = int(tokens[position])
        if shape == 0 and records:
            position = min(position + 2, len(tokens))   # 0 and the token after it
            break
        require(position + 2 <= len(tokens), path, "ends inside a record")
        token = tokens[position + 1]
        position += 2
        require(len(token) <= LOCATOR_TOKEN_MAX, path, "name token %r too long" % token)
        count = 10 if shape == 5 else 6
        require(position + 2 * count <= len(tokens), path, "record %s ends early" % token)
        values = [float(t) for t in tokens[position:position + 2 * count]]
        position += 2 * count
        records.append(LocatorRecord(shape, token[1:-1], list(zip(values[0::2], values[1::2]))))
    require(position == len(tokens), path, "tokens after the terminator")
    return records


def read_rooms_xml(path: str) -> List[dict]:
    root = ElementTree.parse(path).getroot()
    require(root.tag == "Department", path, "document element is %s" % root.tag)
    rooms = []
    for element in root.findall("Room"):
        fields = {child.tag: (child.text or "") for child in element}
        require(list(fields) == FIELD_ORDER, path, "Room %s lacks fields or has them out of order"
                % fields.get("Room_Number"))
        rooms.append(fields)
    return rooms


def run_vevuv_check(out_dir: str, checker: str) -> None:
    """The readers' own rules (capacities, the DTD, what the viewer would cut or
    drop) are vevuv-check's: it reads the folder with the viewer's readers."""
    require(os.path.isfile(checker), checker, "not built (cmake --build build --target vevuv-check)")
    result = subprocess.run([checker, out_dir], capture_output=True, text=True)
    require(result.returncode == 0 and " 0 warnings" in result.stdout, out_dir,
            "vevuv-check found problems:\n" + result.stdout + result.stderr)


def room_of_point(x: float, y: float, records: List[LocatorRecord]) -> Optional[str]:
    for record in records:
        b = record.box
        if b[0] <= x <= b[2] and b[1] <= y <= b[3]:
            return record.name
    return None


def check_walls(name: str, plan: ParsedPlan) -> None:
    require(plan.floor == (0.0, 0.0, FLOOR_LENGTH, FLOOR_DEPTH), name, "floor rectangle")
    seen = set()
    for wall in plan.walls:
        x1, y1, x2, y2 = wall
        require(x1 == x2 or y1 == y2, name, "wall %s is not axis-aligned" % (wall,))
        require((x1, y1) != (x2, y2), name, "wall %s has length zero" % (wall,))
        key = tuple(sorted([(x1, y1), (x2, y2)]))
        require(key not in seen, name, "wall %s listed twice" % (wall,))
        seen.add(key)
    # Collinear walls may meet end to end but never overlap.
    for i, a in enumerate(plan.walls):
        for b in plan.walls[i + 1:]:
            if a[0] == a[2] == b[0] == b[2] or a[1] == a[3] == b[1] == b[3]:
                horizontal = a[1] == a[3]
                lo_a, hi_a = sorted((a[0], a[2]) if horizontal else (a[1], a[3]))
                lo_b, hi_b = sorted((b[0], b[2]) if horizontal else (b[1], b[3]))
                require(hi_a <= lo_b or hi_b <= lo_a, name, "walls %s and %s overlap" % (a, b))


def check_lintels(name: str, plan: ParsedPlan) -> None:
    """Every lintel spans a gap in a wall line: no wall runs under it."""
    for lintel in plan.lintels:
        mid = ((lintel[0] + lintel[2]) / 2, (lintel[1] + lintel[3]) / 2)
        nearest = min(point_segment_distance(mid[0], mid[1], w) for w in plan.walls)
        require(nearest > DOOR_WIDTH / 2 - 0.05, name, "lintel %s is not over a gap" % (lintel,))
        length = abs(lintel[2] - lintel[0]) + abs(lintel[3] - lintel[1])
        require(abs(length - DOOR_WIDTH) < 1e-9, name, "lintel %s is not %s wide" % (lintel, DOOR_WIDTH))


def check_corridor(name: str, plan: ParsedPlan, variant: PlanVariant) -> None:
    """The corridor is open end to end, and every room but a closed one has a
    doorway onto it inside the room's own stretch of wall."""
    line = (0.0, CORRIDOR_Y, FLOOR_LENGTH, CORRIDOR_Y)
    for wall in plan.walls:
        if wall[0] == wall[2] and 0 < wall[0] < FLOOR_LENGTH:
            require(not segment_hits_rect(wall, (0, CORRIDOR_Y, FLOOR_LENGTH, CORRIDOR_Y)),
                    name, "wall %s blocks the corridor" % (wall,))
    require(all(not (w[1] == w[3] == CORRIDOR_Y) for w in plan.walls), name, "wall along %s" % (line,))
    for room in ROOMS:
        doors = [l for l in plan.lintels if l[1] == l[3] == room.door_wall_y
                 and room.x0 + DESK_WALL_CLEARANCE <= min(l[0], l[2])
                 and max(l[0], l[2]) <= room.x1 - DESK_WALL_CLEARANCE]
        expected = 0 if room.number in variant.closed_rooms else 1
        require(len(doors) == expected, name, "room %d has %d doorways, expected %d"
                % (room.number, len(doors), expected))


def check_start(name: str, plan: ParsedPlan, variant: PlanVariant,
                records: List[LocatorRecord]) -> None:
    sx, sy = plan.start
    require(SOUTH_WALL_Y < sy < NORTH_WALL_Y and 0 < sx < FLOOR_LENGTH, name, "start not in the corridor")
    require(room_of_point(sx, sy, records) is None, name, "start point lies in a locator box")
    nearest = min(point_segment_distance(sx, sy, w) for w in plan.walls)
    require(nearest > WALL_MARGIN, name, "start point %.3f from a wall" % nearest)
    # The start heading looks through a doorway: 0 looks north, 180 south.
    wall_y = NORTH_WALL_Y if variant.start_heading == 0.0 else SOUTH_WALL_Y
    require(any(l[1] == l[3] == wall_y and min(l[0], l[2]) + 0.1 <= sx <= max(l[0], l[2]) - 0.1
                for l in plan.lintels), name, "no doorway in front of the start point")


def floor_free_of(room: Room, r: Rect, clearance: float) -> bool:
    """True when r lies on the room's floor at least clearance from its walls."""
    inner = grow(room.bounds, -clearance)
    if not rect_inside(r, inner):
        return False
    return room.notch is None or not rects_overlap(r, grow(room.notch, clearance))


def room_at(x: float, y: float) -> Optional[Room]:
    for room in ROOMS:
        if any(f[0] < x < f[2] and f[1] < y < f[3] for f in floor_rects(room)):
            return room
    return None


def check_desk(where: str, room: Room, footprint: Rect, walls: List[Segment]) -> None:
    require(floor_free_of(room, footprint, DESK_WALL_CLEARANCE), where,
            "desk %s not clear of the walls of room %d" % (footprint, room.number))
    require(not any(segment_hits_rect(w, grow(footprint, DESK_WALL_CLEARANCE / 2)) for w in walls),
            where, "desk %s touches a wall" % (footprint,))
    require(not rects_overlap(footprint, door_zone(room)), where,
            "desk %s stands in front of the door of room %d" % (footprint, room.number))
    for fx, fy in FIGURES:
        require(not rects_overlap(footprint, figure_rect(fx, fy)), where,
                "desk %s overlaps the portrait figure at (%s, %s)" % (footprint, fx, fy))


def check_plan_tables(name: str, plan: ParsedPlan) -> None:
    for x, y, kind in plan.tables:
        require(kind in (0, 2), name, "table kind %d" % kind)
        room = room_at(x, y)
        require(room is not None, name, "table at (%s, %s) is not in a room" % (x, y))
        check_desk(name, room, plan_table_footprint(x, y), plan.walls)


def check_locator(path: str, records: List[LocatorRecord]) -> None:
    names = [r.name for r in records]
    require(sorted(names) == sorted(str(r.number) for r in ROOMS), path, "rooms differ from the floor")
    for i, a in enumerate(records):
        require(len(a.name) <= LOCATOR_NAME_MAX, path, "name %s too long" % a.name)
        box = a.box
        require(box[3] < SOUTH_WALL_Y or box[1] > NORTH_WALL_Y, path, "box of %s reaches the corridor" % a.name)
        for b in records[i + 1:]:
            require(not rects_overlap(box, b.box), path, "boxes of %s and %s overlap" % (a.name, b.name))
        room = ROOMS_BY_NUMBER[int(a.name)]
        # Covers the floor up to where a visitor can stand next to a wall.
        for part in floor_rects(room):
            require(rect_inside(grow(part, -WALL_MARGIN), box), path,
                    "box of %s misses floor of its room" % a.name)
        require((a.shape == 5) == (room.notch is not None), path, "shape of %s" % a.name)


def check_rooms_xml(path: str, xml_rooms: List[dict], records: List[LocatorRecord],
                    out_dir: str, walls: List[Segment]) -> None:
    by_number = {}
    for fields in xml_rooms:
        require(fields["Room_Number"] not in by_number, path, "room %s twice" % fields["Room_Number"])
        by_number[fields["Room_Number"]] = fields
    names = {r.name for r in records}
    require(set(by_number) == names, path, "rooms differ from the locator file")
    conventions = set()
    for number, fields in by_number.items():
        where = "%s, room %s" % (path, number)
        for field_name, limit in TEXT_LIMITS.items():
            require(len(fields[field_name]) <= limit, where, "%s longer than %d" % (field_name, limit))
        for other, value in fields.items():
            require(other == "Room_Number" or value.strip() not in names, where,
                    "%s text equals a room number" % other)
        require(os.path.isfile(os.path.join(out_dir, fields["Publications"])), where, "page missing")
        xs = [float(fields["RoomX%d" % i]) for i in range(1, 11)]
        require(2.5 <= max(xs) - min(xs) <= 3.5, where, "room width %.2f outside 2.5 to 3.5"
                % (max(xs) - min(xs)))
        check_room_table(where, ROOMS_BY_NUMBER[int(number)], fields, walls, conventions)
    require(conventions == {"mean", "at", "none"}, path, "not every table convention is used")
    professors = {f["Professor"] for f in xml_rooms}
    for fx, fy in FIGURES:
        room = room_at(fx + FIGURE_SIZE / 2, fy - FIGURE_SIZE / 2)
        require(room is not None, path, "figure at (%s, %s) is not in a room" % (fx, fy))
        require(floor_free_of(room, figure_rect(fx, fy), FIGURE_WALL_CLEARANCE), path,
                "figure at (%s, %s) too close to a wall" % (fx, fy))
        require(room_of_point(fx + FIGURE_SIZE / 2, fy - FIGURE_SIZE / 2, records) == str(room.number),
                path, "figure at (%s, %s) is not in its room's box" % (fx, fy))
    require("Prof. A. Dolvane" in professors and "Prof. B. Trevarnik" in professors, path,
            "portrait professors missing")
    require(by_number[str(room_at(17.7, 4.5).number)]["Professor"] == "Prof. A. Dolvane", path,
            "Dolvane's room is not the one with the first portrait")
    require(by_number[str(room_at(24.6, 1.4).number)]["Professor"] == "Prof. B. Trevarnik", path,
            "Trevarnik's room is not the one with the second portrait")


def check_room_table(where: str, room: Room, fields: dict, walls: List[Segment],
                     conventions: set) -> None:
    """The desk a visit places: inside the room, clear of walls, door and figure."""
    tx, ty = float(fields["TableX"]), float(fields["TableY"])
    if tx == -1.0 and ty == -1.0:
        conventions.add("none")
        return
    if tx == 0.0 and ty == 0.0:
        conventions.add("mean")
        tx = sum(float(fields["RoomX%d" % i]) for i in range(1, 7)) / 6
        ty = sum(float(fields["RoomY%d" % i]) for i in range(1, 7)) / 6
    else:
        conventions.add("at")
    require(room_at(tx, ty) is room, where, "table position (%.3f, %.3f) outside the room" % (tx, ty))
    check_desk(where, room, desk_footprint(tx, ty, ty > TABLE_TURN_Y), walls)


def check_all(out_dir: str, checker: str) -> None:
    run_vevuv_check(out_dir, checker)
    locator_path = os.path.join(out_dir, LOCATOR_FILE)
    records = read_locator_file(locator_path)
    check_locator(LOCATOR_FILE, records)
    plans = {}
    for variant in PLANS:
        plan = read_plan_file(os.path.join(out_dir, variant.file_name))
        check_walls(variant.file_name, plan)
        check_lintels(variant.file_name, plan)
        check_corridor(variant.file_name, plan, variant)
        check_start(variant.file_name, plan, variant, records)
        check_plan_tables(variant.file_name, plan)
        plans[variant.file_name] = plan
    xml_rooms = read_rooms_xml(os.path.join(out_dir, "Department.xml"))
    check_rooms_xml("Department.xml", xml_rooms, records, out_dir, plans["plan.dat"].walls)
    print("checked: %d rooms, %s" % (len(records), ", ".join(
        "%s %d walls %d lintels %d tables" % (n, len(p.walls), len(p.lintels), len(p.tables))
        for n, p in plans.items())))


# --------------------------------------------------------------------------
# Sketch
# --------------------------------------------------------------------------

SKETCH_COLUMNS_PER_UNIT = 4
SKETCH_ROWS_PER_UNIT = 3


def sketch(plan: ParsedPlan, records: List[LocatorRecord]) -> str:
    """ASCII picture, north up: # wall, = lintel, S start, P portrait, T table."""
    cols = int(FLOOR_LENGTH * SKETCH_COLUMNS_PER_UNIT) + 1
    rows = int(FLOOR_DEPTH * SKETCH_ROWS_PER_UNIT) + 1
    grid = [[" "] * cols for _ in range(rows)]

    def cell(x: float, y: float) -> Tuple[int, int]:
        return (rows - 1 - int(round(y * SKETCH_ROWS_PER_UNIT)),
                int(round(x * SKETCH_COLUMNS_PER_UNIT)))

    def put(x: float, y: float, ch: str) -> None:
        r, c = cell(x, y)
        if 0 <= r < rows and 0 <= c < cols:
            grid[r][c] = ch

    def draw(s: Segment, ch: str) -> None:
        steps = int(max(abs(s[2] - s[0]), abs(s[3] - s[1])) * SKETCH_COLUMNS_PER_UNIT * 2) + 1
        for k in range(steps + 1):
            put(s[0] + (s[2] - s[0]) * k / steps, s[1] + (s[3] - s[1]) * k / steps, ch)

    for wall in plan.walls:
        draw(wall, "#")
    for lintel in plan.lintels:
        draw(lintel, "=")
    for record in records:
        b = record.box
        label = record.name
        r, c = cell((b[0] + b[2]) / 2, (b[1] + b[3]) / 2)
        for i, ch in enumerate(label):
            grid[r][c - len(label) // 2 + i] = ch
    for x, y, _ in plan.tables:
        put(x + 0.2, y - 0.15, "T")
    for fx, fy in FIGURES:
        put(fx + FIGURE_SIZE / 2, fy - FIGURE_SIZE / 2, "P")
    put(plan.start[0], plan.start[1], "S")
    return "\n".join("".join(row) for row in grid)


# --------------------------------------------------------------------------
# Main
# --------------------------------------------------------------------------


def main() -> int:
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Generate and check Vevuv's building data.")
    parser.add_argument("--out", default=os.path.join(here, "..", "data"), help="data folder")
    parser.add_argument("--check", action="store_true", help="only check the files in --out")
    parser.add_argument("--checker", default=os.path.join(here, "..", "build", "maintainer", "vevuv-check"),
                        help="the vevuv-check program that reads the files as the viewer does")
    parser.add_argument("--sketch", action="store_true", help="print an ASCII sketch of each plan")
    args = parser.parse_args()
    out_dir = os.path.normpath(args.out)
    if not args.check:
        write_all(out_dir)
        print("wrote %s" % out_dir)
    try:
        check_all(out_dir, os.path.normpath(args.checker))
    except CheckFailed as failure:
        print("check failed: %s" % failure, file=sys.stderr)
        return 1
    if args.sketch:
        records = read_locator_file(os.path.join(out_dir, LOCATOR_FILE))
        for variant in PLANS:
            plan = read_plan_file(os.path.join(out_dir, variant.file_name))
            print("\n%s (start heading %g)\n%s" % (variant.file_name, variant.start_heading,
                                                   sketch(plan, records)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
