// wall_batch.cpp -- the wall and lintel boxes: vertex arrays built when the
// boxes change, the boxes out of sight or behind walls left out (and the
// floor and ceiling behind walls), and the culling of faces turned away from
// the eye where no such face can be seen.
#include "render/wall_batch.h"

#include <GL/gl.h>  // Required for: glDrawArrays(), glVertexPointer(), glCullFace()

#include <algorithm>  // Required for: std::min(), std::max(), std::push_heap()
#include <cmath>      // Required for: std::fabs(), std::sqrt()
#include <cstring>    // Required for: std::memcmp()
#include <vector>     // Required for: std::vector

#include "plan/floor_plan.h"
#include "plan/walls.h"

WallDrawing wall_drawing;

namespace {

constexpr int strip_vertices = 10;     // a box's closed quad strip
constexpr int underside_vertices = 4;  // a lintel's bottom quad
// Boxes closer than this (world units) may show faces in one plane or
// meeting at equal depth: neither hides the other. Far above the depth
// buffer's step at the far plane.
constexpr float touch_distance = 0.05f;
// Slack of the tests that leave out a box or cull its faces, world units.
constexpr float sight_slack = 1e-3f;

// Keeps a count read from the plan inside the array it counts.
int clamped_count(int count, int capacity)
{
    if (count < 0)
        return 0;
    return count < capacity ? count : capacity;
}

// One box as drawn: where its vertices start in the arrays, its bounds.
struct BoxEntry {
    const WallBox* box;
    bool lintel;
    int first;            // first vertex of its strip in the arrays
    float low[3], high[3]; // bounds of its vertices
};

// The arrays and order constraints, with the boxes they were built from.
struct Batch {
    int wall_count = -1, lintel_count = -1;
    std::vector<float> source;    // vertices of the boxes, to see when they change
    std::vector<float> positions; // x, y, z per vertex
    std::vector<float> texture;   // s, t per vertex
    std::vector<BoxEntry> boxes;  // walls, then lintels
    bool outward_front = false;   // every face's outside is its front (counter-clockwise)
};
Batch batch;

// Vertex n of the flattened vertex list of the first count boxes, or null
// past the list's used entries.
const float* list_vertex(const WallBox* boxes, int count, int n)
{
    if (n >= count * strip_vertices)
        return nullptr;
    return boxes[n / strip_vertices].vertices[n % strip_vertices];
}

// Texture s of list vertex n: its z when the face starting at its corner runs
// along z (the next two vertices share its x), else its x. Missing vertices
// past the end of the list count as not matching.
float wall_texture_s(const WallBox* boxes, int count, int n)
{
    const float* vertex = list_vertex(boxes, count, n);
    const float* next = list_vertex(boxes, count, n + 1);
    const float* after_next = list_vertex(boxes, count, n + 2);
    if (next && after_next && vertex[0] == next[0] && vertex[0] == after_next[0])
        return vertex[2];
    return vertex[0];
}

// One box's quad strip: texture coordinates when textured, else its vertex
// colours through the front material.
void draw_box_strip(const WallBox* boxes, int count, int index, bool textured)
{
    const WallBox& box = boxes[index];
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k < strip_vertices; ++k) {
        if (textured) {
            glTexCoord2f(wall_texture_s(boxes, count, index * strip_vertices + k), box.vertices[k][1]);
        } else {
            glMaterialfv(GL_FRONT, GL_DIFFUSE, box.colours[k]);
            glColor3fv(box.colours[k]);
        }
        glVertex3fv(box.vertices[k]);
    }
    glEnd();
}

// The underside of a lintel: its four bottom corners, with the attributes the
// strip's last vertex left current.
void draw_lintel_underside(const WallBox& box)
{
    glBegin(GL_QUADS);
    glVertex3fv(box.vertices[0]);
    glVertex3fv(box.vertices[2]);
    glVertex3fv(box.vertices[4]);
    glVertex3fv(box.vertices[6]);
    glEnd();
}

// The vertices of the used boxes in one list, walls then lintels.
std::vector<float> box_vertices(int walls, int lintels)
{
    std::vector<float> all;
    for (int i = 0; i < walls + lintels; ++i) {
        const WallBox& box = i < walls ? wall_boxes[i] : lintel_boxes[i - walls];
        all.insert(all.end(), &box.vertices[0][0], &box.vertices[0][0] + strip_vertices * 3);
    }
    return all;
}

// Appends one vertex to the arrays.
void add_vertex(const float* p, float s, float t)
{
    batch.positions.insert(batch.positions.end(), p, p + 3);
    batch.texture.push_back(s);
    batch.texture.push_back(t);
}

// Appends a box: its strip with the texture coordinates drawn call by call
// gives it, then for a lintel its underside, which takes the strip's last
// coordinates.
void add_box(const WallBox* list, int count, int index, bool lintel)
{
    BoxEntry entry{&list[index], lintel, int(batch.positions.size() / 3), {}, {}};
    float s = 0.0f, t = 0.0f;
    for (int k = 0; k < strip_vertices; ++k) {
        const float* p = list[index].vertices[k];
        s = wall_texture_s(list, count, index * strip_vertices + k);
        t = p[1];
        add_vertex(p, s, t);
        for (int a = 0; a < 3; ++a) {
            entry.low[a] = k == 0 ? p[a] : std::min(entry.low[a], p[a]);
            entry.high[a] = k == 0 ? p[a] : std::max(entry.high[a], p[a]);
        }
    }
    if (lintel)
        for (int k = 0; k < strip_vertices - 2; k += 2)
            add_vertex(list[index].vertices[k], s, t);
    batch.boxes.push_back(entry);
}

// The normal of the polygon p0 p1 p2 by its winding.
void winding_normal(const float* p0, const float* p1, const float* p2, float* n)
{
    const float u[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const float v[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
}

// True when the polygon's winding normal points away from the box's centre.
bool faces_out(const BoxEntry& e, const float* p0, const float* p1, const float* p2)
{
    float n[3];
    winding_normal(p0, p1, p2, n);
    float outward = 0.0f;
    for (int a = 0; a < 3; ++a)
        outward += n[a] * ((p0[a] + p1[a] + p2[a]) / 3.0f - (e.low[a] + e.high[a]) * 0.5f);
    return outward > 0.0f;
}

// True when every side of the box (and a lintel's underside) winds
// counter-clockwise seen from outside, and the box has some width: then its
// faces turned away from an eye outside it lie behind its other faces.
bool closed_outward_front(const BoxEntry& e)
{
    const float(*v)[3] = e.box->vertices;
    for (int k = 0; k + 3 < strip_vertices; k += 2)
        if (!faces_out(e, v[k], v[k + 1], v[k + 3]))
            return false;
    return !e.lintel || faces_out(e, v[0], v[2], v[4]);
}

// Rebuilds the arrays and the order constraints when the boxes changed.
void refresh_batch()
{
    const int walls = clamped_count(floor_plan.wall_count, max_walls);
    const int lintels = clamped_count(floor_plan.lintel_count, max_lintels);
    std::vector<float> source = box_vertices(walls, lintels);
    if (walls == batch.wall_count && lintels == batch.lintel_count && source == batch.source)
        return;
    batch = Batch{};
    batch.wall_count = walls;
    batch.lintel_count = lintels;
    batch.source.swap(source);
    for (int i = 0; i < walls; ++i)
        add_box(wall_boxes, walls, i, false);
    for (int i = 0; i < lintels; ++i)
        add_box(lintel_boxes, lintels, i, true);
    batch.outward_front = true;
    for (const BoxEntry& e : batch.boxes)
        batch.outward_front = batch.outward_front && closed_outward_front(e);
}

// The eye and the view volume under the current matrices.
struct View {
    float eye[3];
    float planes[6][4];  // a x + b y + c z + d >= 0 inside, (a, b, c) of length 1
    bool perspective;
    float near_reach;    // farthest point of the near rectangle from the eye
};

// Multiplies two column-major 4 x 4 matrices: a b.
void multiply(const float* a, const float* b, float* out)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = sum;
        }
}

// The eye in world units: the point the model-view matrix takes to the origin.
void eye_of(const float* m, float* eye)
{
    // Solve R e = -t for the upper 3 x 3 R by Cramer's rule.
    const float t[3] = {-m[12], -m[13], -m[14]};
    auto det = [](const float* c0, const float* c1, const float* c2) {
        return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
               c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    const float d = det(m, m + 4, m + 8);
    if (d == 0.0f) {
        eye[0] = eye[1] = eye[2] = 0.0f;
        return;
    }
    eye[0] = det(t, m + 4, m + 8) / d;
    eye[1] = det(m, t, m + 8) / d;
    eye[2] = det(m, m + 4, t) / d;
}

// The eye, the six planes of the view volume and the near rectangle's reach.
View current_view()
{
    float modelview[16], projection[16], clip[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    multiply(projection, modelview, clip);
    View v{};
    eye_of(modelview, v.eye);
    for (int p = 0; p < 6; ++p) {
        const int axis = p / 2;
        const float sign = p % 2 == 0 ? 1.0f : -1.0f;
        float length = 0.0f;
        for (int c = 0; c < 4; ++c)
            v.planes[p][c] = clip[c * 4 + 3] + sign * clip[c * 4 + axis];
        for (int c = 0; c < 3; ++c)
            length += v.planes[p][c] * v.planes[p][c];
        length = std::sqrt(length);
        for (int c = 0; c < 4 && length > 0.0f; ++c)
            v.planes[p][c] /= length;
    }
    v.perspective = projection[15] == 0.0f && projection[11] != 0.0f;
    if (v.perspective && projection[0] != 0.0f && projection[5] != 0.0f && projection[10] != 1.0f) {
        const float near = projection[14] / (projection[10] - 1.0f);
        v.near_reach = std::fabs(near) * std::sqrt(1.0f + 1.0f / (projection[0] * projection[0]) +
                                                   1.0f / (projection[5] * projection[5]));
    } else {
        v.perspective = false;
    }
    return v;
}

// True when the whole box lies outside one plane of the view volume.
bool outside_view(const View& v, const BoxEntry& e)
{
    for (const float* plane : v.planes) {
        bool all_out = true;
        for (int corner = 0; corner < 8 && all_out; ++corner) {
            const float p[3] = {corner & 1 ? e.high[0] : e.low[0], corner & 2 ? e.high[1] : e.low[1],
                                corner & 4 ? e.high[2] : e.low[2]};
            all_out = plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3] < -sight_slack;
        }
        if (all_out)
            return true;
    }
    return false;
}

// Squared distance from the eye to the box.
float distance_squared(const View& v, const BoxEntry& e)
{
    float sum = 0.0f;
    for (int a = 0; a < 3; ++a) {
        const float d = std::max({e.low[a] - v.eye[a], 0.0f, v.eye[a] - e.high[a]});
        sum += d * d;
    }
    return sum;
}

// The directions a box covers seen from the eye in the floor's plane:
// angles from the view's forward direction, radians.
struct Sight {
    float from, to;
    bool known;  // false when the box stands around or behind the eye
};

// The footprint corners' angles from the forward direction (fx, fz).
Sight sight_of(const View& v, const BoxEntry& e, float fx, float fz)
{
    Sight s{0.0f, 0.0f, false};
    constexpr float half_turn = 3.14159265f;
    for (int k = 0; k < strip_vertices - 2; k += 2) {
        const float dx = e.box->vertices[k][0] - v.eye[0], dz = e.box->vertices[k][2] - v.eye[2];
        const float a = std::atan2(fx * dz - fz * dx, fx * dx + fz * dz);
        s.from = k == 0 ? a : std::min(s.from, a);
        s.to = k == 0 ? a : std::max(s.to, a);
    }
    s.known = s.to - s.from < half_turn * 0.9f;
    return s;
}

// True when wall w stands between the eye and box b: their footprints are
// apart by more than the touch distance across a line with the eye on w's side.
bool stands_before(const View& v, const BoxEntry& w, const BoxEntry& b)
{
    for (int a = 0; a < 3; a += 2) {
        if (w.high[a] + touch_distance < b.low[a] && v.eye[a] < b.low[a])
            return true;
        if (w.low[a] - touch_distance > b.high[a] && v.eye[a] > b.high[a])
            return true;
    }
    return false;
}

// The parts of [from, to] that no span covers, in order.
std::vector<std::pair<float, float>> uncovered(float from, float to, std::vector<std::pair<float, float>>& spans)
{
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<float, float>> gaps;
    float reached = from;
    for (const auto& span : spans) {
        if (reached >= to)
            break;
        if (span.first > reached)
            gaps.emplace_back(reached, std::min(span.first, to));
        reached = std::max(reached, span.second);
    }
    if (reached < to)
        gaps.emplace_back(reached, to);
    return gaps;
}

// A scissor rectangle: columns [x0, x1), rows [y0, y1).
struct ScreenRect {
    int x0, x1, y0, y1;
};

// The rectangles a box may show in; none: all of the window.
std::vector<std::vector<ScreenRect>> box_rects;

// Turns directions (angles from forward) into the screen columns they fall
// in, a column more on each side, for a level eye and a centred perspective.
std::vector<std::pair<int, int>> columns_of(const std::vector<std::pair<float, float>>& gaps,
                                            const float* projection, const int* viewport)
{
    constexpr float widest = 1.55f;  // radians; farther sideways lies off the screen
    auto column = [&](float angle) {
        const float a = std::max(-widest, std::min(widest, angle));
        const float x = float(viewport[0]) + (projection[0] * std::tan(a) + 1.0f) * 0.5f * float(viewport[2]);
        return std::max(float(viewport[0]), std::min(float(viewport[0] + viewport[2]), x));
    };
    std::vector<std::pair<int, int>> columns;
    for (const auto& gap : gaps)
        columns.emplace_back(int(std::floor(column(gap.first))) - 1, int(std::ceil(column(gap.second))) + 1);
    return columns;
}

// The walls of the last box drawing that hide what lies behind them from a
// level eye, for the floor and the ceiling drawn after them.
struct Occluders {
    bool usable = false;
    View view;
    float fx = 0.0f, fz = 0.0f;  // the forward direction
    float projection[16];
    int viewport[4];
    float margin = 0.0f;         // two pixels' angle
    std::vector<int> walls;
    std::vector<Sight> sights;
};
Occluders occluders;

// Where a ray first meets a box, and where a height lies on the screen (below).
float entry_depth(const BoxEntry& e, float a);
float row_at(float y, float depth);

// Folds with pick, from start, the eye-space depths of the box's corners
// whose rays lie strictly between the angles a0 and a1.
template <typename Pick>
float fold_corner_depths(const BoxEntry& e, float a0, float a1, float start, Pick pick)
{
    const Occluders& o = occluders;
    float folded = start;
    for (int k = 0; k < strip_vertices - 2; k += 2) {
        const float dx = e.box->vertices[k][0] - o.view.eye[0], dz = e.box->vertices[k][2] - o.view.eye[2];
        const float a = std::atan2(o.fx * dz - o.fz * dx, o.fx * dx + o.fz * dz);
        if (a > a0 && a < a1)
            folded = pick(folded, o.fx * dx + o.fz * dz);
    }
    return folded;
}

// The nearest face of box e over the rays from angle a0 to a1: the least
// eye-space depth at both ends and at its corners between; a huge value
// when a ray misses it.
float nearest_entry(const BoxEntry& e, float a0, float a1)
{
    const float d0 = entry_depth(e, a0), d1 = entry_depth(e, a1);
    if (std::max(d0, d1) >= 1e29f)
        return 1e30f;
    return fold_corner_depths(e, a0, a1, std::min(d0, d1), [](float x, float y) { return std::min(x, y); });
}

// The lowest row above which box b is hidden by the boxes above the eye
// standing before it (a lintel before another): such a box hides every point
// of b seen above its bottom edge, when it reaches as high as b. Looks at
// the few such boxes nearest to b in front of it; the top of the window when
// none covers all of b's span.
float hidden_above(const BoxEntry& b, const Sight& s, const std::vector<int>& upper,
                   const std::vector<float>& upper_distance, float b_distance)
{
    constexpr int most_looked_at = 24, enough_found = 3;
    constexpr float slack_rows = 2.0f;
    const Occluders& o = occluders;
    float limit = 1e30f;
    int found = 0;
    const int nearer = int(std::lower_bound(upper_distance.begin(), upper_distance.end(), b_distance) -
                           upper_distance.begin());
    for (int k = nearer - 1; k >= 0 && k >= nearer - most_looked_at && found < enough_found; --k) {
        const BoxEntry& wall = batch.boxes[size_t(upper[size_t(k)])];
        const Sight& ws = o.sights[size_t(upper[size_t(k)])];
        if (wall.high[1] < b.high[1] || ws.from + o.margin >= s.from - o.margin ||
            ws.to - o.margin <= s.to + o.margin || !stands_before(o.view, wall, b))
            continue;
        const float depth = nearest_entry(wall, s.from - o.margin, s.to + o.margin);
        if (depth <= 0.0f || depth >= 1e29f)
            continue;
        ++found;
        limit = std::min(limit, row_at(wall.low[1], depth) + slack_rows);
    }
    return limit;
}

// Leaves out the shown boxes that stand wholly behind walls reaching from
// below their bottom to above their top, with the eye between floor and
// ceiling: in every direction they cover, a nearer such wall covers every
// height they have. Spans are narrowed by two pixels' angle, so that no
// pixel at their edges is left to the box behind. For a level eye (every
// screen column one direction) and no scissor of the caller's, a box partly
// behind such walls gets the screen columns it may show in.
void skip_hidden_boxes(const View& v, std::vector<char>& shown)
{
    float modelview[16], projection[16];
    int viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float fx = -modelview[2], fz = -modelview[10];  // the view's forward direction
    if (!v.perspective || viewport[2] <= 0 || projection[0] == 0.0f || (fx == 0.0f && fz == 0.0f) ||
        long(viewport[2]) * long(viewport[3]) < long(wall_drawing.hidden_least_pixels))
        return;
    constexpr float level_slack = 1e-6f;
    const bool level = std::fabs(modelview[4]) < level_slack && std::fabs(modelview[6]) < level_slack &&
                       projection[8] == 0.0f && glIsEnabled(GL_SCISSOR_TEST) == GL_FALSE;
    const float margin = 4.0f / (std::fabs(projection[0]) * float(viewport[2]));
    const float least_distance = v.near_reach + sight_slack;
    const int count = int(batch.boxes.size());
    std::vector<Sight> sights(static_cast<size_t>(count));
    box_rects.assign(size_t(count), {});
    std::vector<int> walls;  // shown boxes around the eye's height, clear of the near plane
    for (int i = 0; i < count; ++i) {
        if (!shown[size_t(i)])
            continue;
        const BoxEntry& e = batch.boxes[size_t(i)];
        sights[size_t(i)] = sight_of(v, e, fx, fz);
        if (sights[size_t(i)].known && e.low[1] < v.eye[1] - least_distance &&
            e.high[1] > v.eye[1] + least_distance && distance_squared(v, e) > least_distance * least_distance)
            walls.push_back(i);
    }
    occluders.usable = level;
    if (level) {
        occluders.view = v;
        occluders.fx = fx;
        occluders.fz = fz;
        std::copy(projection, projection + 16, occluders.projection);
        std::copy(viewport, viewport + 4, occluders.viewport);
        occluders.margin = margin;
        occluders.walls = walls;
        std::sort(occluders.walls.begin(), occluders.walls.end(), [&v](int a, int b) {
            return distance_squared(v, batch.boxes[size_t(a)]) < distance_squared(v, batch.boxes[size_t(b)]);
        });
        occluders.sights = sights;
    }
    // Boxes above the eye (lintels), nearest first, that may hide the tops of others.
    std::vector<int> upper;
    for (int i = 0; level && i < count; ++i)
        if (shown[size_t(i)] && sights[size_t(i)].known && batch.boxes[size_t(i)].low[1] > v.eye[1] + least_distance &&
            distance_squared(v, batch.boxes[size_t(i)]) > least_distance * least_distance)
            upper.push_back(i);
    std::sort(upper.begin(), upper.end(), [&v](int a, int b) {
        return distance_squared(v, batch.boxes[size_t(a)]) < distance_squared(v, batch.boxes[size_t(b)]);
    });
    std::vector<float> upper_distance;
    for (int i : upper)
        upper_distance.push_back(distance_squared(v, batch.boxes[size_t(i)]));
    std::vector<std::pair<float, float>> spans;
    for (int i = 0; i < count; ++i) {
        const Sight& s = sights[size_t(i)];
        if (!shown[size_t(i)] || !s.known)
            continue;
        const BoxEntry& b = batch.boxes[size_t(i)];
        spans.clear();
        for (int w : walls) {
            const BoxEntry& wall = batch.boxes[size_t(w)];
            const Sight& ws = sights[size_t(w)];
            if (w != i && ws.to - margin > s.from - margin && ws.from + margin < s.to + margin &&
                wall.low[1] <= b.low[1] && wall.high[1] >= b.high[1] && stands_before(v, wall, b))
                spans.emplace_back(ws.from + margin, ws.to - margin);
        }
        const auto gaps = uncovered(s.from - margin, s.to + margin, spans);
        shown[size_t(i)] = !gaps.empty();
        const bool whole = gaps.size() == 1 && gaps[0].first <= s.from - margin && gaps[0].second >= s.to + margin;
        if (!level || gaps.empty())
            continue;
        const float top = hidden_above(b, s, upper, upper_distance, distance_squared(v, b));
        const int bottom = viewport[1];
        const int last_row = top >= float(viewport[1] + viewport[3]) ? viewport[1] + viewport[3] : int(std::ceil(top));
        if (last_row <= bottom) {
            shown[size_t(i)] = false;
            continue;
        }
        if (whole && last_row == viewport[1] + viewport[3])
            continue;
        const std::vector<std::pair<int, int>> columns =
            whole ? std::vector<std::pair<int, int>>{{viewport[0], viewport[0] + viewport[2]}}
                  : columns_of(gaps, projection, viewport);
        for (const auto& [first, last] : columns)
            box_rects[size_t(i)].push_back({first, last, bottom, last_row});
    }
}

// True when no face turned away from the eye can show: the eye stands
// outside every box by more than the near rectangle reaches, below every
// open top and above every open bottom, and looks through a perspective.
bool back_faces_hidden(const View& v, const std::vector<int>& drawn)
{
    if (!v.perspective || !batch.outward_front)
        return false;
    const float reach = v.near_reach + sight_slack;
    for (int index : drawn) {
        const BoxEntry& e = batch.boxes[size_t(index)];
        if (v.eye[1] + reach >= e.high[1] || (!e.lintel && v.eye[1] - reach <= e.low[1]))
            return false;
        bool clear = false;
        for (int a = 0; a < 3 && !clear; a += 2)
            clear = v.eye[a] < e.low[a] - reach || v.eye[a] > e.high[a] + reach;
        if (!clear)
            return false;
    }
    return true;
}

// The boxes to draw, in table order (on equal depths the box drawn first
// wins, so the order stays), without those out of sight.
std::vector<int> drawing_order(const View& v)
{
    const int count = int(batch.boxes.size());
    std::vector<char> shown(size_t(count), 1);
    box_rects.assign(size_t(count), {});
    if (wall_drawing.skip_outside)
        for (int i = 0; i < count; ++i)
            shown[size_t(i)] = !outside_view(v, batch.boxes[size_t(i)]);
    if (wall_drawing.skip_hidden)
        skip_hidden_boxes(v, shown);
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
        if (shown[size_t(i)])
            order.push_back(i);
    return order;
}

// Eye-space depth at which the ray at angle a from forward first meets the
// footprint of box e; a huge value when it misses.
float entry_depth(const BoxEntry& e, float a)
{
    const Occluders& o = occluders;
    const float c = std::cos(a), s = std::sin(a);
    const float dx = o.fx * c - o.fz * s, dz = o.fz * c + o.fx * s;  // forward turned by a
    float nearest = 1e30f;
    for (int k = 0; k < strip_vertices - 2; k += 2) {
        const float* p = e.box->vertices[k];
        const float* q = e.box->vertices[k + 2];
        const float ex = q[0] - p[0], ez = q[2] - p[2];
        const float px = p[0] - o.view.eye[0], pz = p[2] - o.view.eye[2];
        const float det = ex * dz - ez * dx;
        if (det == 0.0f)
            continue;
        const float t = (ex * pz - ez * px) / det;   // along the ray
        const float u = (dx * pz - dz * px) / det;   // along the edge
        if (t > 0.0f && u >= 0.0f && u <= 1.0f)
            nearest = std::min(nearest, t);
    }
    return nearest * c;
}

// The farthest a wall's nearest face lies (eye-space depth) over the rays
// from angle a0 to a1: at both ends and at its corners between them.
float farthest_entry(const BoxEntry& e, float a0, float a1)
{
    const float ends = std::max(entry_depth(e, a0), entry_depth(e, a1));
    return fold_corner_depths(e, a0, a1, ends, [](float x, float y) { return std::max(x, y); });
}

// The screen row (from the viewport's bottom, pixels) where height y lies
// at eye-space depth d straight ahead of a level eye.
float row_at(float y, float depth)
{
    const Occluders& o = occluders;
    const float ndc = o.projection[5] * (y - o.view.eye[1]) / depth;
    return float(o.viewport[1]) + (ndc + 1.0f) * 0.5f * float(o.viewport[3]);
}

// The rows [first, last) of the columns from angle a0 to a1 in which the
// surface at height y may show: none above (or below) the edge, two rows
// more, where the nearest wall covering all of them meets its height.
std::pair<int, int> surface_rows(float y, float a0, float a1)
{
    const Occluders& o = occluders;
    float bound = 1e30f;
    // The walls lie nearest first: none past one whose least depth over the
    // band is beyond the bound found can lower it.
    const float widest = std::cos(std::max(std::fabs(a0), std::fabs(a1)));
    for (int w : o.walls) {
        const BoxEntry& e = batch.boxes[size_t(w)];
        if (std::sqrt(distance_squared(o.view, e)) * widest >= bound)
            break;
        const Sight& s = o.sights[size_t(w)];
        if (e.low[1] <= y && e.high[1] >= y && s.from + o.margin < a0 - o.margin && s.to - o.margin > a1 + o.margin)
            bound = std::min(bound, farthest_entry(e, a0, a1));
    }
    const int bottom = o.viewport[1], top = o.viewport[1] + o.viewport[3];
    if (bound >= 1e29f || bound <= 0.0f)
        return {bottom, top};
    const float row = row_at(y, bound);
    constexpr int slack_rows = 2;
    if (y < o.view.eye[1])
        return {bottom, std::min(top, std::max(bottom, int(std::ceil(row)) + slack_rows))};
    return {std::max(bottom, std::min(top, int(std::floor(row)) - slack_rows)), top};
}

// Draws one box: from the arrays when textured, else call by call.
void draw_box(const BoxEntry& e, bool textured)
{
    if (textured && wall_drawing.arrays) {
        glDrawArrays(GL_QUAD_STRIP, e.first, strip_vertices);
        if (e.lintel)
            glDrawArrays(GL_QUADS, e.first + strip_vertices, underside_vertices);
        return;
    }
    const WallBox* list = e.lintel ? lintel_boxes : wall_boxes;
    const int count = e.lintel ? batch.lintel_count : batch.wall_count;
    draw_box_strip(list, count, int(e.box - list), textured);
    if (e.lintel)
        draw_lintel_underside(*e.box);
}

} // namespace

// Draws the plan's walls, then its lintels each closed by its underside,
// textured or in their vertex colours, under the current matrices.
void draw_wall_boxes(bool textured)
{
    occluders.usable = false;
    refresh_batch();
    if (batch.boxes.empty())
        return;
    const View view = current_view();
    const std::vector<int> order = drawing_order(view);
    const bool cull = wall_drawing.cull_hidden && back_faces_hidden(view, order);
    if (cull) {
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);
    }
    const bool arrays = textured && wall_drawing.arrays;
    if (arrays) {
        glVertexPointer(3, GL_FLOAT, 0, batch.positions.data());
        glTexCoordPointer(2, GL_FLOAT, 0, batch.texture.data());
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    bool scissored = false;
    for (int index : order) {
        const auto& rects = box_rects[size_t(index)];
        if (rects.empty()) {
            if (scissored)
                glDisable(GL_SCISSOR_TEST);
            scissored = false;
            draw_box(batch.boxes[size_t(index)], textured);
            continue;
        }
        if (!scissored)
            glEnable(GL_SCISSOR_TEST);
        scissored = true;
        for (const ScreenRect& r : rects) {
            glScissor(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
            draw_box(batch.boxes[size_t(index)], textured);
        }
    }
    if (scissored)
        glDisable(GL_SCISSOR_TEST);
    if (arrays) {
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (cull)
        glDisable(GL_CULL_FACE);
}

// Draws a level surface at height y (the floor or the ceiling) with
// draw(y), after draw_wall_boxes under the same matrices: where the walls
// just drawn hide it from a level eye, its pixels are scissored away.
void draw_surface_behind_walls(float y, void (*draw)(float))
{
    const Occluders& o = occluders;
    if (!wall_drawing.skip_hidden || !o.usable || batch.boxes.empty()) {
        draw(y);
        return;
    }
    constexpr int band_pixels = 16, most_bands = 160;  // columns per band, most bands
    const int bands = std::max(1, std::min(most_bands, o.viewport[2] / band_pixels));
    auto angle = [&o](int column) {
        const float ndc = 2.0f * float(column - o.viewport[0]) / float(o.viewport[2]) - 1.0f;
        return std::atan(ndc / o.projection[0]);
    };
    glEnable(GL_SCISSOR_TEST);
    int first_column = o.viewport[0];
    std::pair<int, int> rows{0, -1};
    for (int k = 0; k <= bands; ++k) {
        const int column = o.viewport[0] + o.viewport[2] * k / bands;
        const int next = o.viewport[0] + o.viewport[2] * (k + 1) / bands;
        const std::pair<int, int> band = k < bands ? surface_rows(y, angle(column), angle(next)) : std::pair<int, int>{0, -1};
        if (band == rows)
            continue;
        if (k > 0 && rows.second > rows.first) {
            glScissor(first_column, rows.first, column - first_column, rows.second - rows.first);
            draw(y);
        }
        first_column = column;
        rows = band;
    }
    glDisable(GL_SCISSOR_TEST);
}
