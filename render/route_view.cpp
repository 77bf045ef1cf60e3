// route_view.cpp -- the way drawn on the floor (a ribbon with arrow marks) and
// Find's page of matches on the help page's dark background.
#include "render/route_view.h"

#include <GL/freeglut.h>  // Required for: glutBitmapCharacter(), GLUT fonts
#include <cmath>          // Required for: std::sqrt()

#include "render/bitmap_text.h"

namespace {

constexpr float route_lift = 0.02f;       // above the floor, world units
constexpr double ribbon_half_width = 0.12; // the way's ribbon, world units
constexpr double arrow_spacing = 1.5;     // between arrow marks, world units
constexpr double arrow_length = 0.45;     // tip to base of an arrow mark, world units
constexpr double arrow_half_width = 0.3;  // half the base of an arrow mark, world units
const float route_colour[3] = {1.0f, 0.85f, 0.0f};  // bright yellow
const float arrow_colour[3] = {1.0f, 0.3f, 0.0f};   // orange on the yellow
// Depth offsets that keep the flat marks in front of the floor they lie on,
// for the ribbon and, a little further, for the arrows on top of it.
constexpr float ribbon_offset_factor = -1.0f, ribbon_offset_units = -4.0f;
constexpr float arrow_offset_factor = -2.0f, arrow_offset_units = -8.0f;

// Find's page: 640 x 480 units like the help page, y upward.
constexpr double page_left = -0.5, page_right = 639.5;
constexpr double page_bottom = -0.5, page_top = 479.5;
constexpr int page_x = 20;
constexpr int header_y = 440;
constexpr int first_line_y = 395;
constexpr int line_spacing = 36;
const float text_colour[3] = {1.0f, 1.0f, 1.0f};
const float highlight_colour[3] = {1.0f, 0.85f, 0.0f};

// A flat quad on the floor with corners a, b, c, d in order.
void floor_quad(double ax, double az, double bx, double bz, double cx, double cz, double dx, double dz)
{
    glVertex3d(ax, route_lift, az);
    glVertex3d(bx, route_lift, bz);
    glVertex3d(cx, route_lift, cz);
    glVertex3d(dx, route_lift, dz);
}

// The ribbon along every leg, with a square at each joint to close the corners.
void draw_ribbon(const std::vector<RoutePoint>& points, double scale)
{
    const double w = ribbon_half_width * scale;
    glBegin(GL_QUADS);
    for (size_t i = 1; i < points.size(); ++i) {
        const double dx = points[i].x - points[i - 1].x, dz = points[i].z - points[i - 1].z;
        const double length = std::sqrt(dx * dx + dz * dz);
        if (length <= 0.0)
            continue;
        const double nx = -dz / length * w, nz = dx / length * w;
        floor_quad(points[i - 1].x + nx, points[i - 1].z + nz, points[i].x + nx, points[i].z + nz,
                   points[i].x - nx, points[i].z - nz, points[i - 1].x - nx, points[i - 1].z - nz);
    }
    for (const RoutePoint& p : points)
        floor_quad(p.x - w, p.z - w, p.x + w, p.z - w, p.x + w, p.z + w, p.x - w, p.z + w);
    glEnd();
}

// One arrow mark with its tip at (x, z), pointing along (ux, uz).
void draw_arrow(double x, double z, double ux, double uz, double scale)
{
    const double bx = x - ux * arrow_length * scale, bz = z - uz * arrow_length * scale;
    const double w = arrow_half_width * scale;
    glVertex3d(x, route_lift, z);
    glVertex3d(bx - uz * w, route_lift, bz + ux * w);
    glVertex3d(bx + uz * w, route_lift, bz - ux * w);
}

// Arrow marks every arrow_spacing along the way, counted from its start.
void draw_arrows(const std::vector<RoutePoint>& points, double scale)
{
    glBegin(GL_TRIANGLES);
    double walked = 0.0;
    double next = arrow_spacing * scale;
    for (size_t i = 1; i < points.size(); ++i) {
        const double dx = points[i].x - points[i - 1].x, dz = points[i].z - points[i - 1].z;
        const double length = std::sqrt(dx * dx + dz * dz);
        for (; length > 0.0 && next <= walked + length; next += arrow_spacing * scale) {
            const double t = (next - walked) / length;
            draw_arrow(points[i - 1].x + dx * t, points[i - 1].z + dz * t, dx / length, dz / length, scale);
        }
        walked += length;
    }
    glEnd();
}

} // namespace

// Sets its own state (no lighting, no texture, depth offset) and restores it;
// scale widens the marks for a far eye.
void draw_route(const std::vector<RoutePoint>& points, double scale)
{
    if (points.size() < 2)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(ribbon_offset_factor, ribbon_offset_units);
    glColor3fv(route_colour);
    draw_ribbon(points, scale);
    glPolygonOffset(arrow_offset_factor, arrow_offset_units);
    glColor3fv(arrow_colour);
    draw_arrows(points, scale);
    glPopAttrib();
}

// Draws on its own page projection and restores the caller's matrices and state.
void draw_find_page(const std::string& header, const std::vector<std::string>& lines, int highlight)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(page_left, page_right, page_bottom, page_top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3fv(text_colour);
    glRasterPos2i(page_x, header_y);
    draw_bitmap_string(GLUT_BITMAP_TIMES_ROMAN_24, header.c_str());
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool marked = int(i) == highlight;
        glColor3fv(marked ? highlight_colour : text_colour);
        glRasterPos2i(page_x, first_line_y - int(i) * line_spacing);
        draw_bitmap_string(GLUT_BITMAP_HELVETICA_18, ((marked ? "> " : "   ") + lines[i]).c_str());
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
