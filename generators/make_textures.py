#!/usr/bin/env python3
"""make_textures.py -- draws the seven textures Vevuv ships with and writes
them as SGI (.rgb) image files, 256 x 256 pixels.

    python3 generators/make_textures.py [output-folder]     (default: data/)

Standard library only. The output is the same on every run, so the committed
files change only when this script does. The files mix the encodings the
reader understands: run-length and verbatim, three channels, four channels
(trevarnik.rgb) and grey (walltexture.rgb).
"""

import math
import os
import random
import struct
import sys

SIZE = 256  # every texture is SIZE x SIZE pixels

# ---------------------------------------------------------------------------
# SGI file writer
# ---------------------------------------------------------------------------

SGI_MAGIC = 474
MAX_PACKET = 127  # samples in one run-length packet


def encode_row(samples):
    """Packs one row of byte samples into run-length packets, ending with a zero count."""
    out = bytearray()
    i, n = 0, len(samples)
    while i < n:
        run = 1
        while i + run < n and run < MAX_PACKET and samples[i + run] == samples[i]:
            run += 1
        if run >= 3:
            out += bytes((run, samples[i]))
            i += run
            continue
        start = i
        while i < n and i - start < MAX_PACKET:
            if i + 2 < n and samples[i] == samples[i + 1] == samples[i + 2]:
                break
            i += 1
        out.append(0x80 | (i - start))
        out += bytes(samples[start:i])
    out.append(0)
    return bytes(out)


def sgi_header(width, height, channels, run_length, name):
    """The 512-byte header: magic, storage, bytes per sample, dimension, sizes, name."""
    dimension = 2 if channels == 1 else 3
    head = struct.pack(">hBBHHHHii", SGI_MAGIC, 1 if run_length else 0, 1, dimension,
                       width, height, channels, 0, 255)
    head += b"\0" * 4 + name.encode("ascii")[:79].ljust(80, b"\0") + struct.pack(">i", 0)
    return head.ljust(512, b"\0")


def write_sgi(path, picture, channels, run_length):
    """Writes picture (rows top first, pixels as 0..1 tuples) with the given
    number of channels (1 grey, 3 RGB, 4 RGBA), run-length or verbatim.
    SGI files store the bottom row first."""
    height, width = len(picture), len(picture[0])
    planes = []
    for c in range(channels):
        rows = []
        for y in range(height - 1, -1, -1):
            rows.append(bytes(to_byte(sample(pixel, c, channels)) for pixel in picture[y]))
        planes.append(rows)
    with open(path, "wb") as out:
        out.write(sgi_header(width, height, channels, run_length, os.path.basename(path)))
        if not run_length:
            for rows in planes:
                for row in rows:
                    out.write(row)
            return
        packed = [encode_row(row) for rows in planes for row in rows]
        offset = 512 + 8 * len(packed)
        starts = []
        for row in packed:
            starts.append(offset)
            offset += len(row)
        out.write(struct.pack(">%dI" % len(packed), *starts))
        out.write(struct.pack(">%dI" % len(packed), *(len(row) for row in packed)))
        for row in packed:
            out.write(row)


def sample(pixel, channel, channels):
    if channels == 1:
        return 0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2]
    if channel == 3:
        return pixel[3] if len(pixel) > 3 else 1.0
    return pixel[channel]


def to_byte(value):
    return max(0, min(255, int(round(value * 255.0))))


# ---------------------------------------------------------------------------
# Noise and colour helpers
# ---------------------------------------------------------------------------

def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def smoothstep(edge0, edge1, value):
    t = clamp((value - edge0) / (edge1 - edge0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def scale(colour, factor):
    return tuple(clamp(c * factor) for c in colour)


def hash01(ix, iy, seed):
    """A repeatable value in [0, 1) for a lattice point."""
    h = (ix * 374761393 + iy * 668265263 + seed * 982451653) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFFFF) / float(0x1000000)


def value_noise(x, y, period_x, period_y, seed):
    """Smooth noise in [0, 1) that repeats every period_x by period_y lattice cells."""
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = x - ix, y - iy
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    x0, x1 = ix % period_x, (ix + 1) % period_x
    y0, y1 = iy % period_y, (iy + 1) % period_y
    top = hash01(x0, y0, seed) + (hash01(x1, y0, seed) - hash01(x0, y0, seed)) * fx
    bottom = hash01(x0, y1, seed) + (hash01(x1, y1, seed) - hash01(x0, y1, seed)) * fx
    return top + (bottom - top) * fy


def fbm(u, v, cells_x, cells_y, seed, octaves=4):
    """Fractal noise over the tile (u, v in 0..1), seamless at the tile's edges."""
    total, weight, norm = 0.0, 1.0, 0.0
    for octave in range(octaves):
        f = 1 << octave
        total += weight * value_noise(u * cells_x * f, v * cells_y * f, cells_x * f, cells_y * f, seed + octave)
        norm += weight
        weight *= 0.5
    return total / norm


def render(shader):
    """Runs shader(x, y) at every pixel centre; rows top first."""
    return [[shader(x + 0.5, y + 0.5) for x in range(SIZE)] for y in range(SIZE)]


# ---------------------------------------------------------------------------
# Woods for the desks
# ---------------------------------------------------------------------------

def wood(light, dark, seed, ring_count, figure):
    """Plain-sawn wood: grain along x, growth rings bent by noise, fine fibres."""
    def shader(x, y):
        u, v = x / SIZE, y / SIZE
        bend = fbm(u, v, 2, 2, seed, 3) * figure + 0.12 * math.sin(2 * math.pi * (u + v))
        ring = (v * ring_count + bend) % 1.0
        latewood = math.exp(-((ring - 0.82) / 0.05) ** 2)
        body = smoothstep(0.0, 0.8, ring)
        fibre = value_noise(u * 5, v * 200, 5, 200, seed + 7)
        streak = value_noise(u * 3, v * 40, 3, 40, seed + 9)
        pores = 1.0 if hash01(int(x / 4), int(y), seed + 11) > 0.99 else 0.0
        colour = mix(light, dark, 0.30 * body + 0.45 * latewood + 0.15 * streak)
        return scale(colour, 0.94 + 0.10 * fibre - 0.10 * pores)
    return render(shader)


def light_oak():
    return wood((0.90, 0.70, 0.45), (0.62, 0.40, 0.20), seed=21, ring_count=9, figure=1.6)


def walnut():
    return wood((0.66, 0.44, 0.27), (0.33, 0.19, 0.10), seed=33, ring_count=6, figure=2.0)


# ---------------------------------------------------------------------------
# Grey terrazzo (light grey with stone chips), seamless
# ---------------------------------------------------------------------------

def terrazzo():
    rng = random.Random(47)
    chips = []
    for _ in range(520):
        cx, cy = rng.uniform(0, SIZE), rng.uniform(0, SIZE)
        radius = rng.choice((1.5, 2.0, 2.5, 3.0, 4.0, 5.5))
        tone = rng.choice((0.30, 0.45, 0.55, 0.92, 0.97, 0.62))
        chips.append((cx, cy, radius, rng.uniform(0.6, 1.0), rng.uniform(0, math.pi), tone))
    grid = {}
    cell = 16
    for chip in chips:  # each chip also in the cells it reaches across the tile's edges
        for ox in (-SIZE, 0, SIZE):
            for oy in (-SIZE, 0, SIZE):
                cx, cy = chip[0] + ox, chip[1] + oy
                if -8 <= cx <= SIZE + 8 and -8 <= cy <= SIZE + 8:
                    grid.setdefault((int(cx // cell), int(cy // cell)), []).append((cx, cy) + chip[2:])

    def shader(x, y):
        u, v = x / SIZE, y / SIZE
        grey = 0.74 + 0.08 * (fbm(u, v, 4, 4, 51) - 0.5) + 0.05 * (hash01(int(x), int(y), 52) - 0.5)
        key = (int(x // cell), int(y // cell))
        for gx in (key[0] - 1, key[0], key[0] + 1):
            for gy in (key[1] - 1, key[1], key[1] + 1):
                for cx, cy, radius, squash, angle, tone in grid.get((gx, gy), ()):
                    dx, dy = x - cx, y - cy
                    ax = dx * math.cos(angle) + dy * math.sin(angle)
                    ay = (-dx * math.sin(angle) + dy * math.cos(angle)) / squash
                    cover = clamp(radius + 0.5 - math.hypot(ax, ay))
                    grey += (tone - grey) * cover
        return (grey, grey, grey)
    return render(shader)


# ---------------------------------------------------------------------------
# Brick wall: ten courses and four bricks a course per tile, running bond
# ---------------------------------------------------------------------------

COURSES = 10
BRICKS_PER_COURSE = 4
BRICK_COLOURS = [(0.78, 0.40, 0.28), (0.72, 0.35, 0.25), (0.82, 0.47, 0.33),
                 (0.68, 0.33, 0.26), (0.85, 0.52, 0.38), (0.75, 0.42, 0.31)]
MORTAR = (0.86, 0.83, 0.77)


def brick_wall():
    course_height = SIZE / COURSES
    brick_length = SIZE / BRICKS_PER_COURSE
    half_mortar = 1.6

    def shader(x, y):
        u, v = x / SIZE, y / SIZE
        course = int(y // course_height)
        shifted = x + (brick_length / 2 if course % 2 else 0.0)
        brick = int(shifted // brick_length) % BRICKS_PER_COURSE
        along = shifted % brick_length          # pixels from the brick's left end
        down = y - course * course_height       # pixels from the brick's top
        edge = min(along, brick_length - along, down, course_height - down)
        grain = fbm(u, v, 16, 16, 61)
        mortar = scale(MORTAR, 0.92 + 0.14 * grain)
        # Joints lie in shade under each brick's lower edge (light from above).
        if down < half_mortar + 1.2 and course_height - down > half_mortar:
            mortar = scale(mortar, 0.80)
        base = BRICK_COLOURS[int(hash01(brick, course, 63) * len(BRICK_COLOURS))]
        speck = hash01(int(x), int(y), 64)
        face = scale(base, 0.86 + 0.22 * fbm(u, v, 32, 32, 65) + (0.10 if speck > 0.97 else 0.0)
                     - (0.12 if speck < 0.02 else 0.0))
        # A rounded arris: top edge catches the light, bottom edge falls dark.
        face = scale(face, 1.0 + 0.10 * (1 - smoothstep(0, 3.5, down - half_mortar))
                     - 0.14 * (1 - smoothstep(0, 3.0, course_height - down - half_mortar)))
        return mix(mortar, face, smoothstep(half_mortar - 0.5, half_mortar + 0.5, edge))
    return render(shader)


# ---------------------------------------------------------------------------
# Portraits: layered shapes with soft (anti-aliased) edges and simple shading
# ---------------------------------------------------------------------------

LIGHT = (-0.45, -0.55, 0.70)  # from the upper left, towards the viewer (image y points down)
_norm = math.sqrt(sum(c * c for c in LIGHT))
LIGHT = tuple(c / _norm for c in LIGHT)


def cover(distance):
    """Coverage of a pixel by a shape whose signed distance (pixels) is given."""
    return clamp(0.5 - distance)


def ellipse_distance(x, y, cx, cy, rx, ry):
    return (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * min(rx, ry)


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def curve_distance(x, y, points):
    return min(segment_distance(x, y, *points[i], *points[i + 1]) for i in range(len(points) - 1))


def arc(cx, cy, half_width, lift, count=12):
    """Points of a parabolic arc: ends at cy, middle raised by lift (pixels, up)."""
    return [(cx + half_width * t, cy - lift * (1 - t * t)) for t in [-1 + 2 * i / count for i in range(count + 1)]]


def lit(colour, nx, ny, ambient=0.50, strength=0.62):
    """A colour shaded for a surface with the normal's x and y (z follows)."""
    nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
    diffuse = max(0.0, nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2])
    return scale(colour, ambient + strength * diffuse)


def over(colour, top, amount):
    return mix(colour, top, clamp(amount)) if amount > 0 else colour


class Face:
    """Shape of one face: centre, half-width at the cheekbones, half-height, chin taper."""

    def __init__(self, cx, cy, rx, ry, taper):
        self.cx, self.cy, self.rx, self.ry, self.taper = cx, cy, rx, ry, taper

    def half_width(self, y):
        below = min(1.0, max(0.0, (y - self.cy) / self.ry))
        return self.rx * (1.0 - self.taper * below * below)

    def distance(self, x, y):
        if y > self.cy + self.ry:  # below the chin
            return math.hypot(x - self.cx, y - self.cy - self.ry)
        return ellipse_distance(x, y, self.cx, self.cy, self.half_width(y), self.ry)

    def normal(self, x, y):
        nx = (x - self.cx) / self.half_width(y)
        ny = (y - self.cy) / self.ry
        length = math.hypot(nx, ny)
        if length > 0.999:
            nx, ny = nx / length * 0.999, ny / length * 0.999
        return nx, ny


class Portrait:
    """Features shared by both portraits; each portrait sets its own look."""

    def __init__(self, **look):
        self.__dict__.update(look)
        self.face = Face(128, 112, 47, 60, 0.32)
        self.eye_y = 108
        self.eye_dx = 20
        self.mouth_y = 155

    # -- layers, back to front --
    def background(self, x, y):
        d = math.hypot(x - 110, y - 90) / 200
        return mix(self.backdrop_light, self.backdrop_dark, smoothstep(0.1, 1.0, d))

    def neckline(self, x, y):
        """Signed distance to the open V at the front of the clothes."""
        depth = 250 - 2.0 * abs(x - 128)
        return max(y - depth, 186 - y)

    def torso(self, c, x, y):
        amount = cover(ellipse_distance(x, y, 128, 290, 128, 104)) * cover(-self.neckline(x, y))
        if amount <= 0:
            return c
        nx, ny = (x - 128) / 122, (y - 285) / 100
        return over(c, lit(self.clothes, nx * 0.8, max(-0.9, ny) * 0.6, 0.55, 0.55), amount)

    def neck_skin(self, x, y):
        """Skin of the neck and chest: in the chin's shadow at the top."""
        shade = 0.70 + 0.25 * smoothstep(160, 200, y) - 0.15 * smoothstep(0, 21, x - 128)
        return scale(self.skin, shade)

    def neck(self, c, x, y):
        if not (94 <= x <= 162 and 140 <= y):
            return c
        return over(c, self.neck_skin(x, y), cover(max(abs(x - 128) - 21, 140 - y)))

    def collar(self, c, x, y):
        """What shows in the neckline: a shirt below its collar, or the skin of a V-neck."""
        amount = cover(self.neckline(x, y))
        if amount <= 0:
            return c
        if self.shirt is None:
            return over(c, self.neck_skin(x, y), amount)
        neck_above = cover(max(abs(x - 128) - 21, y - self.collar_top))
        return over(c, scale(self.shirt, 0.90 + 0.10 * smoothstep(186, 240, y)), amount * (1 - neck_above))

    def ears(self, c, x, y):
        for side in (-1, 1):
            ex = 128 + side * 46
            amount = cover(ellipse_distance(x, y, ex, 115, 8, 14))
            if amount > 0:
                inner = cover(ellipse_distance(x, y, ex + side * 1.5, 116, 4, 8))
                ear = lit(self.skin, side * 0.6, (y - 115) / 20)
                c = over(over(c, ear, amount), scale(self.skin, 0.70), inner * 0.6)
        return c

    def skin_at(self, x, y):
        nx, ny = self.face.normal(x, y)
        colour = lit(self.skin, nx, ny, 0.58, 0.55)
        blush = math.exp(-(((abs(x - 128) - 27) / 10) ** 2 + ((y - 132) / 9) ** 2))
        colour = mix(colour, self.blush, 0.35 * blush)
        # The nose: a shaded right flank, a lit ridge and the tip, and two nostrils.
        if 100 <= y <= 146 and 114 <= x <= 142:
            flank = math.exp(-(((x - 134) / 3.0) ** 2)) * smoothstep(110, 132, y) * (1 - smoothstep(138, 146, y))
            ridge = math.exp(-(((x - 125.5) / 2.5) ** 2)) * smoothstep(112, 128, y) * (1 - smoothstep(132, 140, y))
            tip = math.exp(-(((x - 127) / 5) ** 2 + ((y - 134) / 4) ** 2))
            colour = scale(colour, 1.0 - 0.22 * flank + 0.08 * ridge + 0.08 * tip)
            for side in (-1, 1):
                nostril = cover(ellipse_distance(x, y, 128 + side * 5.5, 140, 3.2, 1.8))
                colour = over(colour, scale(self.skin, 0.45), nostril * 0.85)
        # Shade under the brows.
        for side in (-1, 1):
            socket = math.exp(-(((x - 128 - side * self.eye_dx) / 13) ** 2 + ((y - self.eye_y + 3) / 7) ** 2))
            colour = scale(colour, 1.0 - 0.12 * socket)
        return colour

    def head(self, c, x, y):
        amount = cover(self.face.distance(x, y))
        if amount <= 0:
            return c
        return over(c, self.skin_at(x, y), amount)

    def eye(self, c, x, y, side):
        ex, ey = 128 + side * self.eye_dx, self.eye_y
        if abs(x - ex) > 16 or abs(y - ey) > 14:
            return c
        # Almond: the overlap of two discs.
        upper = math.hypot(x - ex, y - (ey + 8)) - 14.5
        lower = math.hypot(x - ex, y - (ey - 9)) - 14.5
        white = cover(max(upper, lower))
        if white > 0:
            c = over(c, (0.93, 0.91, 0.88), white)
            iris_x = ex + side * 0.5
            iris = cover(math.hypot(x - iris_x, y - ey) - 5.2) * white
            ring = clamp(math.hypot(x - iris_x, y - ey) / 5.2)
            c = over(c, scale(self.iris, 1.05 - 0.45 * ring), iris)
            c = over(c, (0.05, 0.04, 0.04), cover(math.hypot(x - iris_x, y - ey) - 2.2) * white)
            c = over(c, (1.0, 1.0, 1.0), cover(math.hypot(x - iris_x + 1.8, y - ey + 1.8) - 1.1))
            # The upper lid throws a little shadow on the eyeball.
            c = scale(c, 1.0 - 0.25 * clamp(1 - (-upper) / 3) * white)
        lid = cover(abs(math.hypot(x - ex, y - (ey + 8)) - 14.5) - 0.9) * (1 if y < ey + 1 else 0)
        c = over(c, self.lash, lid * 0.9)
        crease = cover(abs(math.hypot(x - ex, y - (ey + 5)) - 15.5) - 0.5) * (1 if y < ey - 2 else 0)
        return over(c, scale(self.skin, 0.72), crease * 0.5)

    def brows(self, c, x, y):
        for side in (-1, 1):
            bx = 128 + side * (self.eye_dx + 1)
            if abs(x - bx) < 16 and self.eye_y - 24 < y < self.eye_y - 6:
                d = curve_distance(x, y, arc(bx, self.eye_y - 11, 13, 4 + self.brow_lift, 10))
                thickness = 2.4 - 1.0 * abs(x - bx - side * 4) / 14
                c = over(c, self.brow, cover(d - thickness))
        return c

    def mouth(self, c, x, y):
        if abs(x - 128) > 22 or abs(y - self.mouth_y) > 12:
            return c
        dx = (x - 128) / 17.0
        if abs(dx) > 1.0:
            return c
        line = self.mouth_y + self.smile * (1 - dx * dx) - self.smile * 0.4
        top = line - 4.0 * math.sqrt(1 - dx * dx) * (0.8 + 0.2 * abs(math.sin(dx * 3.1)))
        bottom = line + 6.0 * math.sqrt(1 - dx * dx)
        upper = cover(max(top - y, y - line))
        lower = cover(max(line - y, y - bottom))
        c = over(c, scale(self.lips, 0.82), upper)
        c = over(c, scale(self.lips, 1.0 + 0.25 * math.exp(-((y - line - 2.5) / 1.8) ** 2)), lower)
        return over(c, scale(self.lips, 0.45), cover(abs(y - line) - 0.7) * (1 - dx * dx) ** 0.3)

    def chin_shade(self, c, x, y):
        # Soft shadow that the lower lip throws onto the chin.
        shade = math.exp(-(((x - 128) / 10) ** 2 + ((y - self.mouth_y - 12) / 3.5) ** 2))
        return scale(c, 1.0 - 0.10 * shade)

    def frame(self, c, x, y):
        edge = min(x, y, SIZE - x, SIZE - y)
        if edge > 8:
            return c
        gold = (0.78, 0.62, 0.30)
        bevel = 0.75 + 0.45 * math.sin(edge / 8 * math.pi)
        # The frame's top and left sides catch more light than the others.
        bevel += 0.10 if min(x, y) == edge else -0.10
        return scale(gold, bevel) if edge < 7.5 else mix(scale(gold, 0.4), c, edge - 7.5)

    def hair_strands(self, x, y, seed):
        return value_noise(x / 2.2, y / 18, 1000, 1000, seed)


class Dolvane(Portrait):
    """A woman with an auburn bob and a fringe, green eyes, teal blouse, pearl earrings."""

    def hair_back(self, c, x, y):
        top = ellipse_distance(x, y, 128, 104, 66, 68)
        sides = max(abs(x - 128) - 64 + 10 * smoothstep(150, 178, y), y - 176, 104 - y)
        amount = cover(min(top, sides))
        if amount <= 0:
            return c
        strand = self.hair_strands(x, y, 71)
        shade = 0.62 + 0.38 * strand - 0.25 * smoothstep(120, 176, y) - 0.12 * smoothstep(0, 60, x - 128)
        return over(c, scale(self.hair, shade), amount)

    def hair_front(self, c, x, y):
        inside_hair = ellipse_distance(x, y, 128, 104, 64, 66)
        fringe_line = 82 + 7 * math.sin((x - 80) / 13.0) * 0.5 + 0.004 * (x - 140) ** 2
        face_window = max(ellipse_distance(x, y, 128, 122, 43, 70), fringe_line - y)
        amount = cover(max(inside_hair, -face_window)) * (1 if y < 176 else 0)
        if amount <= 0:
            return c
        strand = self.hair_strands(x, y, 72)
        nx, ny = (x - 128) / 66, (y - 104) / 68
        colour = lit(self.hair, nx, ny, 0.55, 0.55)
        sheen = math.exp(-(((y - 70 + 0.3 * (x - 110)) / 6) ** 2)) * 0.25
        return over(c, scale(colour, 0.78 + 0.32 * strand + sheen), amount)

    def earrings(self, c, x, y):
        for side in (-1, 1):
            px, py = 128 + side * 46, 134
            d = math.hypot(x - px, y - py)
            if d < 5:
                pearl = lit((0.96, 0.94, 0.90), (x - px) / 4, (y - py) / 4, 0.55, 0.6)
                c = over(c, pearl, cover(d - 3.2))
        return c

    def __call__(self, x, y):
        c = self.background(x, y)
        c = self.hair_back(c, x, y)
        c = self.neck(c, x, y)
        c = self.torso(c, x, y)
        c = self.ears(c, x, y)
        c = self.head(c, x, y)
        c = self.chin_shade(c, x, y)
        c = self.eye(c, x, y, -1)
        c = self.eye(c, x, y, 1)
        c = self.brows(c, x, y)
        c = self.mouth(c, x, y)
        c = self.hair_front(c, x, y)
        c = self.earrings(c, x, y)
        return self.frame(c, x, y)


class Trevarnik(Portrait):
    """An older man: grey hair receding at the temples, grey beard, glasses, navy suit, red tie."""

    def hair(self, c, x, y):
        crown = ellipse_distance(x, y, 128, 100, 52, 58)
        amount = cover(max(crown, y - 122))
        # Bare forehead, the hair receding at the temples; short hair at the sides.
        side = abs(x - 128)
        hairline = 58 + 10 * (side / 36) ** 2 + 70 * smoothstep(32, 46, side)
        amount *= cover(y - hairline)
        if amount <= 0:
            return c
        strand = value_noise(x / 1.8, y / 9, 1000, 1000, 81)
        nx, ny = (x - 128) / 52, (y - 100) / 58
        return over(c, scale(lit(self.hair_colour, nx, ny, 0.6, 0.5), 0.8 + 0.3 * strand), amount)

    def beard(self, c, x, y):
        if y < 128:
            return c
        jaw = self.face.distance(x, y) - 3.5
        top = 141 + 0.012 * (x - 128) ** 2 - 8 * smoothstep(30, 46, abs(x - 128))
        amount = cover(max(jaw, top - y))
        # Leave the lower lip and a little of the chin under it bare.
        lip = ellipse_distance(x, y, 128, self.mouth_y + 3, 15, 6)
        amount *= clamp(lip + 0.5)
        moustache = cover(max(abs(y - 149 + 0.02 * (x - 128) ** 2) - 3.5, abs(x - 128) - 21))
        amount = max(amount, moustache)
        if amount <= 0:
            return c
        strand = value_noise(x / 1.5, y / 4, 1000, 1000, 82)
        nx, ny = self.face.normal(x, min(y, 171))
        beard = lit(self.hair_colour, nx, ny * 0.5, 0.55, 0.5)
        return over(c, scale(beard, 0.75 + 0.35 * strand), amount)

    def tie(self, c, x, y):
        if y < 196 or abs(x - 128) > 10:
            return c
        width = 5 if y < 206 else 5 + (y - 206) * 0.12
        amount = cover(max(abs(x - 128) - width, 196 - y))
        stripe = 0.85 if int((y - x * 0.7) / 6) % 2 else 1.0
        return over(c, scale(self.tie_colour, stripe * (0.85 + 0.25 * (128 - x) / 10)), amount)

    def lapels(self, c, x, y):
        if y < 184:
            return c
        for side in (-1, 1):
            edge = segment_distance(x, y, 128 + side * 32, 186, 128 + side * 2, 248)
            fold = segment_distance(x, y, 128 + side * 50, 192, 128 + side * 18, 256)
            c = over(c, scale(self.clothes, 0.45), cover(edge - 1.2) * 0.9)
            c = over(c, scale(self.clothes, 0.60), cover(fold - 0.9) * 0.8)
        return c

    def glasses(self, c, x, y):
        if abs(y - self.eye_y) > 14:
            return c
        for side in (-1, 1):
            gx = 128 + side * self.eye_dx
            box = max(abs(x - gx) - 14, abs(y - self.eye_y - 1) - 9)
            rim = cover(abs(box + 3) - 1.3)
            c = mix(c, (1.0, 1.0, 1.0), 0.06 * cover(box + 3))  # a faint glint on the lens
            c = over(c, self.frame_colour, rim)
        bridge = cover(segment_distance(x, y, 122, self.eye_y - 3, 134, self.eye_y - 3) - 1.2)
        temples = max(cover(segment_distance(x, y, 128 - 34, self.eye_y - 4, 128 - 44, self.eye_y - 2) - 1.2),
                      cover(segment_distance(x, y, 128 + 34, self.eye_y - 4, 128 + 44, self.eye_y - 2) - 1.2))
        return over(c, self.frame_colour, max(bridge, temples))

    def wrinkles(self, c, x, y):
        d = min(curve_distance(x, y, arc(128, 80, 18, 2, 8)), curve_distance(x, y, arc(128, 74, 15, 2, 8)))
        c = scale(c, 1.0 - 0.12 * cover(d - 0.6))
        for side in (-1, 1):  # lines from the nose to the corners of the mouth
            d = segment_distance(x, y, 128 + side * 10, 134, 128 + side * 18, 152)
            c = scale(c, 1.0 - 0.14 * cover(d - 0.8))
        return c

    def __call__(self, x, y):
        c = self.background(x, y)
        c = self.neck(c, x, y)
        c = self.torso(c, x, y)
        c = self.collar(c, x, y)
        c = self.lapels(c, x, y)
        c = self.tie(c, x, y)
        c = self.ears(c, x, y)
        c = self.head(c, x, y)
        c = self.wrinkles(c, x, y)
        c = self.chin_shade(c, x, y)
        c = self.eye(c, x, y, -1)
        c = self.eye(c, x, y, 1)
        c = self.brows(c, x, y)
        c = self.mouth(c, x, y)
        c = self.beard(c, x, y)
        c = self.hair(c, x, y)
        c = self.glasses(c, x, y)
        return self.frame(c, x, y) + (1.0,)


def dolvane():
    return render(Dolvane(
        backdrop_light=(0.93, 0.86, 0.74), backdrop_dark=(0.62, 0.50, 0.40),
        skin=(0.96, 0.78, 0.66), blush=(0.95, 0.55, 0.50), lips=(0.78, 0.33, 0.36),
        iris=(0.30, 0.55, 0.35), lash=(0.18, 0.10, 0.08), brow=(0.38, 0.18, 0.10),
        hair=(0.62, 0.28, 0.13), clothes=(0.10, 0.52, 0.55), shirt=None,
        smile=2.6, brow_lift=1.0))


def trevarnik():
    return render(Trevarnik(
        backdrop_light=(0.78, 0.84, 0.90), backdrop_dark=(0.38, 0.45, 0.55),
        skin=(0.93, 0.74, 0.62), blush=(0.90, 0.52, 0.45), lips=(0.64, 0.40, 0.38),
        iris=(0.42, 0.27, 0.14), lash=(0.20, 0.15, 0.12), brow=(0.55, 0.54, 0.52),
        hair_colour=(0.80, 0.80, 0.79), clothes=(0.16, 0.20, 0.34), shirt=(0.97, 0.97, 0.97), collar_top=200,
        tie_colour=(0.70, 0.12, 0.14), frame_colour=(0.12, 0.10, 0.10),
        smile=1.6, brow_lift=0.0))


# ---------------------------------------------------------------------------
# The visitor's marker, seen from above: a "you are here" badge
# ---------------------------------------------------------------------------

def person_marker():
    yellow, red, white, dark = (1.0, 0.82, 0.10), (0.88, 0.16, 0.12), (1.0, 1.0, 1.0), (0.35, 0.05, 0.03)

    def shader(x, y):
        c = yellow
        r = math.hypot(x - 128, y - 128)
        c = over(c, dark, cover(r - 116))
        c = over(c, white, cover(r - 112))
        c = over(c, red, cover(r - 100))
        # A standing figure: head, then body and arms, then legs, in white.
        figure = min(
            math.hypot(x - 128, y - 60) - 16,
            max(abs(x - 128) - 16, abs(y - 122) - 34) - 6,
            segment_distance(x, y, 104, 98, 96, 150) - 7,
            segment_distance(x, y, 152, 98, 160, 150) - 7,
            segment_distance(x, y, 117, 160, 113, 204) - 9,
            segment_distance(x, y, 139, 160, 143, 204) - 9,
        )
        return over(c, white, cover(figure))
    return render(shader)


# ---------------------------------------------------------------------------

TEXTURES = [  # file, drawing, channels, run-length
    ("texture2.rgb", light_oak, 3, True),
    ("tabletexture.rgb", walnut, 3, False),
    ("walltexture.rgb", terrazzo, 1, False),
    ("walltexture2.rgb", brick_wall, 3, True),
    ("dolvane.rgb", dolvane, 3, True),
    ("trevarnik.rgb", trevarnik, 4, False),
    ("person.rgb", person_marker, 3, True),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data")
    os.makedirs(folder, exist_ok=True)
    for name, draw, channels, run_length in TEXTURES:
        path = os.path.join(folder, name)
        write_sgi(path, draw(), channels, run_length)
        print("wrote %s (%dx%dx%d, %s)" % (path, SIZE, SIZE, channels, "run-length" if run_length else "verbatim"))


if __name__ == "__main__":
    main()
