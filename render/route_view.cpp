// route_view.cpp -- the way drawn on the floor (line and arrow marks) and
// Find's page of matches on the help page's dark background.
#include "render/route_view.h"

#include <GL/freeglut.h>  // Required for: glutBitmapCharacter(), GLUT fonts
#include <cmath>          // Required for: std::sqrt()

namespace {

constexpr float route_lift = 0.08f;       // above the floor, world units
constexpr float route_width = 4.0f;       // line width, pixels
constexpr double arrow_spacing = 1.5;     // between arrow marks, world units
constexpr double arrow_size = 0.4;        // arrow wing length, world units
const float route_colour[3] = {1.0f, 0.85f, 0.0f};  // bright yellow

// Find's page: 640 x 480 units like the help page, y upward.
constexpr double page_left = -0.5, page_right = 639.5;
constexpr double page_bottom = -0.5, page_top = 479.5;
constexpr int page_x = 20;
constexpr int header_y = 440;
constexpr int first_line_y = 395;
constexpr int line_spacing = 36;
const float text_colour[3] = {1.0f, 1.0f, 1.0f};
const float highlight_colour[3] = {1.0f, 0.85f, 0.0f};

// One arrow mark at a point of the way, pointing along (ux, uz).
void draw_arrow(double x, double z, double ux, double uz)
{
    const double back_x = x - ux * arrow_size, back_z = z - uz * arrow_size;
    const double side_x = -uz * arrow_size * 0.6, side_z = ux * arrow_size * 0.6;
    glVertex3d(back_x + side_x, route_lift, back_z + side_z);
    glVertex3d(x, route_lift, z);
    glVertex3d(x, route_lift, z);
    glVertex3d(back_x - side_x, route_lift, back_z - side_z);
}

// Arrow marks every arrow_spacing along the way, counted from its start.
void draw_arrows(const std::vector<RoutePoint>& points)
{
    glBegin(GL_LINES);
    double walked = 0.0;
    double next = arrow_spacing;
    for (size_t i = 1; i < points.size(); ++i) {
        const double dx = points[i].x - points[i - 1].x, dz = points[i].z - points[i - 1].z;
        const double length = std::sqrt(dx * dx + dz * dz);
        for (; length > 0.0 && next <= walked + length; next += arrow_spacing) {
            const double t = (next - walked) / length;
            draw_arrow(points[i - 1].x + dx * t, points[i - 1].z + dz * t, dx / length, dz / length);
        }
        walked += length;
    }
    glEnd();
}

// Draws text in a bitmap font, UTF-8 sequences of Latin-1 letters as those
// letters, other characters as '?'; lone bytes as Latin-1.
void draw_latin1(void* font, const std::string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool two_byte = (c == 0xC2 || c == 0xC3) && i + 1 < text.size()
                              && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80;
        if (two_byte) {
            glutBitmapCharacter(font, ((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        } else if (c >= 0xC4 && c < 0xF5) {
            glutBitmapCharacter(font, '?');
            while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80)
                ++i;
        } else {
            glutBitmapCharacter(font, c);
        }
    }
}

} // namespace

// Sets its own state (no lighting, no texture, wide lines) and restores it.
void draw_route(const std::vector<RoutePoint>& points)
{
    if (points.size() < 2)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glLineWidth(route_width);
    glColor3fv(route_colour);
    glBegin(GL_LINE_STRIP);
    for (const RoutePoint& p : points)
        glVertex3f(p.x, route_lift, p.z);
    glEnd();
    draw_arrows(points);
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
    draw_latin1(GLUT_BITMAP_TIMES_ROMAN_24, header);
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool marked = int(i) == highlight;
        glColor3fv(marked ? highlight_colour : text_colour);
        glRasterPos2i(page_x, first_line_y - int(i) * line_spacing);
        draw_latin1(GLUT_BITMAP_HELVETICA_18, (marked ? "> " : "   ") + lines[i]);
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
