#!/usr/bin/env python3
"""make_capacity_building.py -- writes a made-up floor that fills every
capacity the viewer has, for the benchmarks to show how costs grow.

    python3 bench/make_capacity_building.py --out DIR [--textures DATA_DIR]

The floor: 100 x 6 plan units, 25 rooms south and 25 north of a corridor
(y 2.2 to 3.2), each room 4 units wide with one door. It holds

  * 296 plan walls: outer walls, corridor walls cut at the doors, room
    dividers and four short carrel walls along each room's back wall; the
    desk a room visit moves in adds 4 segments, so the wall table (300
    entries, plan walls and table segments together) ends up full;
  * 300 lintels: one over every door and 250 beams across the corridor;
  * 50 rooms in the locator file "qor3rdfloor.inp";
  * Department.xml of the 50 rooms with every text field at its full width
    (the DTD is the shipped one, taken from generators/make_building.py).

The seven textures are copied from DATA_DIR (default: data/ beside bench/).
It prints the points the benchmark stands at, one "name x y" per line.
"""

import argparse
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "generators"))
import make_building as shipped  # noqa: E402  (DTD, field order, locator lines)

ROOMS_PER_SIDE = 25
ROOM_WIDTH = 4.0
FLOOR_LENGTH = ROOMS_PER_SIDE * ROOM_WIDTH
FLOOR_DEPTH = 6.0
SOUTH_WALL_Y = 2.2
NORTH_WALL_Y = 3.2
CORRIDOR_Y = 2.7
DOOR_OFFSET = 0.3            # door starts this far east of the room's west wall
DOOR_WIDTH = 0.8
CARREL_XS = (0.5, 1.5, 2.5, 3.5)   # carrel walls, east of the room's west wall
CARREL_DEPTH = 0.6           # how far a carrel wall reaches from the back wall
LOCATOR_INSET = 0.01

WALL_CAPACITY = 300
DESK_SEGMENTS = 4            # segments a visit adds to the wall table
LINTEL_CAPACITY = 300
ROOM_CAPACITY = 50
BEAM_SPACING = 0.4           # corridor beams, plan units apart
# Widths of the record's text fields, in characters (terminating zero
# excluded): the sizes in directory/room_record.h less one.
FIELD_WIDTHS = {"Professor": 19, "Introduction_Text": 99, "Research": 99,
                "Publications": 99, "Texture": 19, "Image": 19, "NormalTable": 11}
TEXTURES = ["texture2.rgb", "tabletexture.rgb", "walltexture.rgb", "walltexture2.rgb",
            "dolvane.rgb", "trevarnik.rgb", "person.rgb"]


def fmt(value):
    return shipped.fmt(value)


def rooms():
    """(number, x0, side) of every room: south odd numbers, north even ones."""
    result = []
    for i in range(ROOMS_PER_SIDE):
        result.append((401 + 2 * i, i * ROOM_WIDTH, "S"))
    for i in range(ROOMS_PER_SIDE):
        result.append((402 + 2 * i, i * ROOM_WIDTH, "N"))
    return result


def room_span(side):
    return (0.0, SOUTH_WALL_Y) if side == "S" else (NORTH_WALL_Y, FLOOR_DEPTH)


def corridor_wall(y):
    segments, x = [], 0.0
    for i in range(ROOMS_PER_SIDE):
        door = i * ROOM_WIDTH + DOOR_OFFSET
        segments.append((x, y, door, y))
        x = door + DOOR_WIDTH
    segments.append((x, y, FLOOR_LENGTH, y))
    return segments


def walls():
    result = [(0, 0, FLOOR_LENGTH, 0), (FLOOR_LENGTH, 0, FLOOR_LENGTH, FLOOR_DEPTH),
              (0, FLOOR_DEPTH, FLOOR_LENGTH, FLOOR_DEPTH), (0, 0, 0, FLOOR_DEPTH)]
    result += corridor_wall(SOUTH_WALL_Y) + corridor_wall(NORTH_WALL_Y)
    for i in range(1, ROOMS_PER_SIDE):
        x = i * ROOM_WIDTH
        result.append((x, 0, x, SOUTH_WALL_Y))
        result.append((x, NORTH_WALL_Y, x, FLOOR_DEPTH))
    carrels = []
    for _, x0, side in rooms():
        for dx in CARREL_XS:
            x = x0 + dx
            if side == "S":
                carrels.append((x, 0, x, CARREL_DEPTH))
            else:
                carrels.append((x, FLOOR_DEPTH - CARREL_DEPTH, x, FLOOR_DEPTH))
    wanted = WALL_CAPACITY - DESK_SEGMENTS - len(result)
    assert 0 <= wanted <= len(carrels), "carrels cannot make up the wall count"
    return result + carrels[:wanted]


def lintels():
    result = []
    for _, x0, side in rooms():
        y = SOUTH_WALL_Y if side == "S" else NORTH_WALL_Y
        result.append((x0 + DOOR_OFFSET, y, x0 + DOOR_OFFSET + DOOR_WIDTH, y))
    beams = LINTEL_CAPACITY - len(result)
    for k in range(beams):
        x = BEAM_SPACING * (k + 0.5)
        result.append((x, SOUTH_WALL_Y, x, NORTH_WALL_Y))
    return result


def plan_text():
    wall_list, lintel_list = walls(), lintels()
    assert len(wall_list) == WALL_CAPACITY - DESK_SEGMENTS
    assert len(lintel_list) == LINTEL_CAPACITY
    tables = [(9.2, 1.0, 0), (30.2, 1.0, 0), (51.2, 5.2, 0), (72.2, 5.2, 0)]
    lines = ["0 0 %s %s" % (fmt(FLOOR_LENGTH), fmt(FLOOR_DEPTH)), str(len(wall_list))]
    lines += [" ".join(fmt(v) for v in s) for s in wall_list]
    lines.append(str(len(lintel_list)))
    lines += [" ".join(fmt(v) for v in s) for s in lintel_list]
    lines.append(str(len(tables)))
    lines += ["%s %s %d" % (fmt(x), fmt(y), kind) for x, y, kind in tables]
    lines.append("2 %s %s %s" % (fmt(CORRIDOR_Y), fmt(FLOOR_LENGTH - 1), fmt(CORRIDOR_Y)))
    return "\n".join(lines) + "\n"


def locator_text():
    lines = [shipped.LOCATOR_HEADER]
    for number, x0, side in rooms():
        y0, y1 = room_span(side)
        a = (x0 + LOCATOR_INSET, y0 + LOCATOR_INSET)
        c = (x0 + ROOM_WIDTH - LOCATOR_INSET, y1 - LOCATOR_INSET)
        points = [a, (c[0], a[1]), c, (a[0], c[1]), a, c]
        lines.append("4 [%d]" % number)
        lines.append("  " + "  ".join("%s %s" % (fmt(x), fmt(y)) for x, y in points))
    lines.append(shipped.LOCATOR_END)
    assert len(rooms()) == ROOM_CAPACITY
    return "\n".join(lines) + "\n"


def full_width(text, field):
    """The text repeated and cut to exactly the field's width."""
    width = FIELD_WIDTHS[field]
    while len(text) < width:
        text += " " + text
    return text[:width].rstrip().ljust(width, ".")


def room_fields(number, x0, side):
    y0, y1 = room_span(side)
    x1 = x0 + ROOM_WIDTH
    corners = [(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0), (x1, y1)]
    corners += corners[:4]
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    values = [
        ("Room_Number", str(number)),
        ("Professor", full_width("Prof. Q. Lanterby%d" % number, "Professor")),
        ("Introduction_Text", full_width("Room %d of the capacity floor, where the "
                                         "benchmarks measure every field" % number,
                                         "Introduction_Text")),
        ("Research", full_width("Research at full width for room %d" % number, "Research")),
        ("Publications", full_width("publications/capacity/room%d" % number, "Publications")),
        ("Texture", full_width("wallpaper%d.rgb" % number, "Texture")),
        ("Image", full_width("portrait%d.rgb" % number, "Image")),
        ("NumberWalls", "4")]
    values += [("RoomX%d" % (i + 1), fmt(p[0])) for i, p in enumerate(corners)]
    values += [("RoomY%d" % (i + 1), fmt(p[1])) for i, p in enumerate(corners)]
    values += [("CenterX", fmt(cx)), ("CenterY", fmt(cy)), ("TableX", "0"), ("TableY", "0"),
               ("NormalTable", full_width("desk%d" % number, "NormalTable")),
               ("LightX", fmt(cx)), ("LightY", fmt(cy))]
    assert [name for name, _ in values] == shipped.FIELD_ORDER
    return values


def xml_text():
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="no"?>',
             '<!DOCTYPE Department SYSTEM "Department.dtd">',
             "<!-- Capacity floor for the benchmarks; made-up names. -->",
             "<Department>"]
    for number, x0, side in rooms():
        lines.append("  <Room>")
        for name, value in room_fields(number, x0, side):
            lines.append("    <%s>%s</%s>" % (name, value, name))
        lines.append("  </Room>")
    lines.append("</Department>")
    return "\n".join(lines) + "\n"


def stand_points():
    """Where the benchmark stands: inside the room listed last in the locator
    (the longest search), near its door, and in the corridor."""
    number, x0, side = rooms()[-1]
    y = NORTH_WALL_Y + 0.4 if side == "N" else SOUTH_WALL_Y - 0.4
    return [("room", x0 + DOOR_OFFSET + DOOR_WIDTH / 2, y, number),
            ("corridor", FLOOR_LENGTH / 2, CORRIDOR_Y, 0)]


def write(path, text):
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="directory to write the floor into")
    parser.add_argument("--textures", default=os.path.join(HERE, "..", "data"),
                        help="directory holding the seven shipped textures")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    write(os.path.join(args.out, "plan.dat"), plan_text())
    write(os.path.join(args.out, shipped.LOCATOR_FILE), locator_text())
    write(os.path.join(args.out, "Department.dtd"), shipped.DTD_TEXT)
    write(os.path.join(args.out, "Department.xml"), xml_text())
    for name in TEXTURES:
        source = os.path.join(args.textures, name)
        if not os.path.isfile(source):
            print("make_capacity_building.py: texture %s missing" % source, file=sys.stderr)
            return 1
        shutil.copyfile(source, os.path.join(args.out, name))
    for name, x, y, number in stand_points():
        print("%s %s %s %d" % (name, fmt(x), fmt(y), number))
    return 0


if __name__ == "__main__":
    sys.exit(main())
