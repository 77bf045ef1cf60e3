#!/usr/bin/env python3
"""make_bad_inputs.py -- writes the hand-made bad inputs of the robustness
record into a directory (argument), one subdirectory per reader: plan,
locator, room_record, sgi. try_bad_inputs.sh feeds each to its reader."""
import os
import random
import struct
import sys

OUT = sys.argv[1] if len(sys.argv) > 1 else "bad_inputs"
GOOD_PLAN_HEAD = "0 0 30 6\n"
GOOD_PLAN_TAIL = "0\n0\n4.5 2.7\n4.5 3\n"


def write(kind, name, data):
    os.makedirs(os.path.join(OUT, kind), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(os.path.join(OUT, kind, name), mode) as f:
        f.write(data)


def walls(n):
    return "".join("%d 0 %d 1\n" % (i % 30, i % 30) for i in range(n))


# --- plan files -------------------------------------------------------------
def plan_with_wall_count(count, listed):
    return GOOD_PLAN_HEAD + "%s\n" % count + walls(listed) + GOOD_PLAN_TAIL


write("plan", "count_0.dat", plan_with_wall_count(0, 0))
write("plan", "count_300.dat", plan_with_wall_count(300, 300))
write("plan", "count_301.dat", plan_with_wall_count(301, 301))
write("plan", "count_minus_1.dat", plan_with_wall_count(-1, 0))
write("plan", "count_2147483647.dat", plan_with_wall_count(2147483647, 3))
write("plan", "count_2147483648.dat", plan_with_wall_count(2147483648, 3))
write("plan", "lintels_301.dat", GOOD_PLAN_HEAD + "1\n0 0 1 0\n301\n" + walls(301) + "0\n4.5 2.7\n4.5 3\n")
write("plan", "tables_301_blocking.dat", GOOD_PLAN_HEAD + "0\n0\n301\n"
      + "".join("%d 3 2\n" % (i % 30) for i in range(301)) + "4.5 2.7\n4.5 3\n")
write("plan", "float_nan.dat", "0 0 nan 6\n" + "0\n0\n0\n4.5 2.7\n4.5 3\n")
write("plan", "float_inf.dat", "0 0 inf 6\n" + "0\n0\n0\n4.5 2.7\n4.5 3\n")
write("plan", "float_1e39.dat", "0 0 1e39 6\n" + "0\n0\n0\n4.5 2.7\n4.5 3\n")
write("plan", "float_1e38_scaled.dat", "0 0 3e38 6\n" + "0\n0\n0\n4.5 2.7\n4.5 3\n")
write("plan", "token_12abc.dat", GOOD_PLAN_HEAD + "2\n0 0 12abc 1\n")
write("plan", "token_200_chars.dat", GOOD_PLAN_HEAD + "1" * 200 + "\n")
write("plan", "stops_mid_wall.dat", GOOD_PLAN_HEAD + "3\n0 0 30 0\n30 0 30")
write("plan", "empty.dat", "")
random.seed(6)
write("plan", "binary.dat", bytes(random.randrange(256) for _ in range(4096)))

# --- locator files ----------------------------------------------------------
HEADER = "Vevuv room locator: shape name points description\n"


def record(shape, name, x, y):
    count = 10 if shape == 5 else 6
    points = " ".join("%g %g" % (x + (i % 2), y + (i // 2 % 2)) for i in range(count))
    return "%d [%s]\n %s\n" % (shape, name, points)


def rooms(n):
    return "".join(record(4, str(300 + i), i * 2, 0) for i in range(n))


write("locator", "no_description.inp", "Vevuv room locator\n" + rooms(3) + "0 end\n")
write("locator", "token_10000.inp", HEADER + "4 [" + "9" * 10000 + "]\n"
      + " 0 0 1 0 1 1 0 1 0 0 1 1\n0 end\n")
write("locator", "number_10000.inp", HEADER + "4 [301]\n " + "1" * 10000 + " 0 1 0 1 1 0 1 0 0 1 1\n0 end\n")
write("locator", "records_51.inp", HEADER + rooms(51) + "0 end\n")
write("locator", "records_1000.inp", HEADER + rooms(1000) + "0 end\n")
write("locator", "shape_0_first.inp", HEADER + record(0, "301", 0, 0) + rooms(1) + "0 end\n")
write("locator", "shape_5.inp", HEADER + record(5, "301", 0, 0) + "0 end\n")
write("locator", "shape_minus_1.inp", HEADER + record(-1, "301", 0, 0) + "0 end\n")
write("locator", "shape_huge.inp", HEADER + "99999999999 [301]\n 0 0 1 0 1 1 0 1 0 0 1 1\n0 end\n")
write("locator", "shape_int_max.inp", HEADER + record(2147483647, "301", 0, 0) + "0 end\n")
write("locator", "stops_mid_record.inp", HEADER + rooms(2) + "4 [399]\n 0 0 1 0 1")
write("locator", "float_1e39.inp", HEADER + "4 [301]\n 0 0 1e39 0 1 1 0 1 0 0 1 1\n0 end\n")
write("locator", "empty.inp", "")
write("locator", "binary.inp", bytes(random.randrange(256) for _ in range(4096)))

# --- Department.xml ---------------------------------------------------------
PROLOG = '<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE Department SYSTEM "Department.dtd">\n'
CORNERS = "".join("<RoomX%d>0</RoomX%d>" % (i, i) for i in range(1, 7)) + \
    "".join("<RoomY%d>0</RoomY%d>" % (i, i) for i in range(1, 7))


def room(intro="Office", publications=None, number="301"):
    pub = "<Publications>%s</Publications>" % publications if publications is not None else ""
    return ("<Room><Room_Number>%s</Room_Number><Professor>P</Professor>"
            "<Introduction_Text>%s</Introduction_Text>%s%s</Room>" % (number, intro, pub, CORNERS))


def department(body, prolog=PROLOG):
    return prolog + "<Department>" + body + "</Department>\n"


write("room_record", "not_well_formed.xml", PROLOG + "<Department><Room></Department>\n")
write("room_record", "dtd_violation.xml", department("<Room><Professor>P</Professor></Room>"))
write("room_record", "missing_dtd_file.xml",
      department(room(), '<?xml version="1.0"?>\n<!DOCTYPE Department SYSTEM "Nowhere.dtd">\n'))
write("room_record", "no_doctype.xml", department(room(), '<?xml version="1.0"?>\n'))
write("room_record", "external_entity_file.xml",
      '<?xml version="1.0"?>\n<!DOCTYPE Department SYSTEM "Department.dtd" [\n'
      '<!ENTITY secret SYSTEM "/etc/passwd">\n]>\n'
      + "<Department>" + room(intro="&secret;") + "</Department>\n")
write("room_record", "external_entity_url.xml",
      '<?xml version="1.0"?>\n<!DOCTYPE Department SYSTEM "http://127.0.0.1/Department.dtd">\n'
      + "<Department>" + room() + "</Department>\n")
laughs = "".join('<!ENTITY l%d "%s">\n' % (i, ("&l%d;" % (i - 1)) * 10) for i in range(1, 10))
write("room_record", "billion_laughs.xml",
      '<?xml version="1.0"?>\n<!DOCTYPE Department SYSTEM "Department.dtd" [\n<!ENTITY l0 "ha">\n'
      + laughs + "]>\n<Department>" + room(intro="&l9;") + "</Department>\n")
write("room_record", "intro_10MB.xml", department(room(intro="x" * (10 * 1024 * 1024))))
write("room_record", "publications_shell.xml",
      department(room(publications="'; touch /tmp/x; '$(touch /tmp/y)`touch /tmp/z`|&amp;;&lt;&gt;\\")))
write("room_record", "publications_long.xml", department(room(publications="p" * 500)))
write("room_record", "non_utf8.xml", department(room(intro="caf\xe9 \xff\xfe")).encode("latin-1"))
write("room_record", "room_number_huge.xml", department(room(number="99999999999999999999")))
write("room_record", "empty.xml", "")

# --- SGI images -------------------------------------------------------------
def sgi(magic=474, rle=0, bpc=1, dimension=3, xsize=4, ysize=4, zsize=3, body=None):
    head = struct.pack(">HBBHHHH", magic, rle, bpc, dimension, xsize, ysize, zsize).ljust(512, b"\0")
    if body is None:
        body = bytes((i * 7) % 256 for i in range(xsize * ysize * zsize))
    return head + body


for value in (0, 65535):
    write("sgi", "magic_%d.rgb" % value, sgi(magic=value))
    type_bytes = struct.pack(">H", value)
    write("sgi", "type_%d.rgb" % value, sgi(rle=type_bytes[0], bpc=type_bytes[1]))
    write("sgi", "dimension_%d.rgb" % value, sgi(dimension=value))
    write("sgi", "xsize_%d.rgb" % value, sgi(xsize=value))
    write("sgi", "ysize_%d.rgb" % value, sgi(ysize=value))
    write("sgi", "zsize_%d.rgb" % value, sgi(zsize=value))
write("sgi", "size_4096x4096.rgb", sgi(xsize=4096, ysize=4096, zsize=4, body=b""))
write("sgi", "size_4097x4096.rgb", sgi(xsize=4097, ysize=4096, zsize=4, body=b""))


def rle_image(offsets, lengths, rows, xsize=4, ysize=1, zsize=1):
    head = struct.pack(">HBBHHHH", 474, 1, 1, 3, xsize, ysize, zsize).ljust(512, b"\0")
    tables = b"".join(struct.pack(">I", o) for o in offsets)
    tables += b"".join(struct.pack(">I", n) for n in lengths)
    return head + tables + rows


write("sgi", "rle_offset_beyond_file.rgb", rle_image([0xFFFFFFF0], [6], b"\x84\x01\x00"))
write("sgi", "rle_length_beyond_file.rgb", rle_image([520], [0xFFFFFFFF], b"\x84\x01\x00"))
write("sgi", "rle_run_overruns_row.rgb", rle_image([520], [3], b"\x7f\x09\x00"))
write("sgi", "rle_literal_overruns_row.rgb", rle_image([520], [130], b"\xff" + b"\x05" * 127 + b"\x00"))
write("sgi", "rle_no_terminator.rgb", rle_image([520], [2], b"\x02\x07"))
write("sgi", "rle_tables_cut.rgb", rle_image([], [], b"", xsize=4, ysize=64, zsize=4))
write("sgi", "truncated.rgb", sgi()[:300])
write("sgi", "truncated_body.rgb", sgi()[:520])
write("sgi", "empty.rgb", b"")
write("sgi", "binary.rgb", bytes(random.randrange(256) for _ in range(4096)))
