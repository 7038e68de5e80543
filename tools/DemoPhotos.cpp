// The demo catalogue's photos: products drawn in a few strokes, the same pixels on every run.
#include "tools/DemoPhotos.h"
#include "tools/DemoCatalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace demo;

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

Rgb shade(Rgb c, double f) {
    return {std::clamp(c.r * f, 0.0, 255.0), std::clamp(c.g * f, 0.0, 255.0),
            std::clamp(c.b * f, 0.0, 255.0)};
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

struct Pt {
    double x, y;
};

// Draws in a 320 x 240 design space scaled into the picture, so every size shows the same
// scene.
class Canvas {
public:
    Canvas(int width, int height) : m_w(width), m_h(height) {
        m_pixels.resize(qsizetype(width) * height * 3);
        m_scale = std::min(width / 320.0, height / 240.0);
        m_ox = (width - 320.0 * m_scale) / 2;
        m_oy = (height - 240.0 * m_scale) / 2;
    }

    void background(Rgb top, Rgb bottom) {
        for (int y = 0; y < m_h; ++y) {
            const Rgb c = mix(top, bottom, m_h > 1 ? double(y) / (m_h - 1) : 0.0);
            for (int x = 0; x < m_w; ++x)
                put(x, y, c);
        }
        m_top = top;
        m_bottom = bottom;
    }
    // The background colour at a design height, to paint holes "through" an object.
    Rgb behind(double y) const {
        return mix(m_top, m_bottom,
                   std::clamp((m_oy + y * m_scale) / std::max(1, m_h - 1), 0.0, 1.0));
    }

    void polygon(const std::vector<Pt>& points, Rgb c) {
        if (points.size() < 3)
            return;
        std::vector<Pt> p;
        p.reserve(points.size());
        double minY = 1e18, maxY = -1e18;
        for (const Pt& q : points) {
            p.push_back({m_ox + q.x * m_scale, m_oy + q.y * m_scale});
            minY = std::min(minY, p.back().y);
            maxY = std::max(maxY, p.back().y);
        }
        const int y0 = std::max(0, int(std::floor(minY)));
        const int y1 = std::min(m_h - 1, int(std::ceil(maxY)));
        std::vector<double> xs;
        for (int y = y0; y <= y1; ++y) {
            const double yc = y + 0.5;
            xs.clear();
            for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
                const Pt a = p[j], b = p[i];
                if ((a.y <= yc && yc < b.y) || (b.y <= yc && yc < a.y))
                    xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
                const int from = std::max(0, int(std::ceil(xs[k] - 0.5)));
                const int to = std::min(m_w - 1, int(std::ceil(xs[k + 1] - 0.5)) - 1);
                for (int x = from; x <= to; ++x)
                    put(x, y, c);
            }
        }
    }
    void rect(double x, double y, double w, double h, Rgb c) {
        polygon({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, c);
    }
    void ellipse(double cx, double cy, double rx, double ry, Rgb c) {
        std::vector<Pt> p;
        for (int i = 0; i < 48; ++i) {
            const double a = 2 * Pi * i / 48;
            p.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
        }
        polygon(p, c);
    }
    void line(Pt a, Pt b, double width, Rgb c) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double len = std::hypot(dx, dy);
        if (len <= 0)
            return;
        const double nx = -dy / len * width / 2, ny = dx / len * width / 2;
        polygon({{a.x + nx, a.y + ny},
                 {b.x + nx, b.y + ny},
                 {b.x - nx, b.y - ny},
                 {a.x - nx, a.y - ny}},
                c);
    }
    void polyline(const std::vector<Pt>& points, double width, Rgb c) {
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            line(points[i], points[i + 1], width, c);
        for (std::size_t i = 1; i + 1 < points.size(); ++i)
            ellipse(points[i].x, points[i].y, width / 2, width / 2, c);
    }
    // A bar lit from above: bright near its upper edge, dark near the lower one.
    void shadedBar(double x, double y, double w, double h, Rgb c, bool vertical = false) {
        const int strips = 10;
        for (int i = 0; i < strips; ++i) {
            const double t = (i + 0.5) / strips;
            const double f = 1.25 - 0.6 * std::abs(t - 0.3) * 1.6;
            if (vertical)
                rect(x + w * i / strips, y, w / strips + 0.6, h, shade(c, f));
            else
                rect(x, y + h * i / strips, w, h / strips + 0.6, shade(c, f));
        }
    }

    RgbImage take() {
        RgbImage image;
        image.width = m_w;
        image.height = m_h;
        image.pixels = std::move(m_pixels);
        return image;
    }

private:
    void put(int x, int y, Rgb c) {
        char* p = m_pixels.data() + (qsizetype(y) * m_w + x) * 3;
        p[0] = char(int(c.r + 0.5));
        p[1] = char(int(c.g + 0.5));
        p[2] = char(int(c.b + 0.5));
    }

    int m_w, m_h;
    QByteArray m_pixels;
    double m_scale, m_ox, m_oy;
    Rgb m_top{255, 255, 255}, m_bottom{255, 255, 255};
};

// Oblique view of a straight piece: x along the piece, y into the picture, z up.
struct Oblique {
    double ox, oy;
    Pt operator()(double x, double y, double z) const {
        return {ox + x + y * 0.55, oy - z - y * 0.8};
    }
};

void quad(Canvas& c, const Oblique& p, std::array<std::array<double, 3>, 4> v, Rgb colour) {
    std::vector<Pt> pts;
    for (const auto& q : v)
        pts.push_back(p(q[0], q[1], q[2]));
    c.polygon(pts, colour);
}

// A U-shaped tray, optionally perforated, optionally closed by a lid.
void drawChannel(Canvas& c, Rgb metal, bool perforated, bool lid, int variant) {
    const Oblique p{34, 200};
    const double L = 190, W = 92 + 12 * (variant % 3), H = 42 + 6 * (variant % 2), t = 3;
    const Rgb hole = shade(metal, 0.3);
    quad(c, p, {{{0, W, 0}, {L, W, 0}, {L, W, H}, {0, W, H}}}, shade(metal, 0.72));
    if (perforated)
        for (double x = 12; x + 12 < L; x += 22)
            quad(c, p,
                 {{{x, W, H * 0.45},
                   {x + 11, W, H * 0.45},
                   {x + 11, W, H * 0.62},
                   {x, W, H * 0.62}}},
                 hole);
    quad(c, p, {{{0, 0, 0}, {L, 0, 0}, {L, W, 0}, {0, W, 0}}}, shade(metal, 0.95));
    if (perforated)
        for (double x = 10; x + 14 < L; x += 18)
            for (double y = 12; y + 10 < W; y += 16)
                quad(c, p, {{{x, y, 0}, {x + 9, y, 0}, {x + 9, y + 5, 0}, {x, y + 5, 0}}}, hole);
    quad(c, p, {{{0, W - 7, H}, {L, W - 7, H}, {L, W, H}, {0, W, H}}}, shade(metal, 1.12));
    quad(c, p, {{{0, 0, 0}, {L, 0, 0}, {L, 0, H}, {0, 0, H}}}, shade(metal, 0.84));
    if (perforated)
        for (double x = 12; x + 12 < L; x += 22)
            quad(c, p,
                 {{{x, 0, H * 0.45},
                   {x + 11, 0, H * 0.45},
                   {x + 11, 0, H * 0.62},
                   {x, 0, H * 0.62}}},
                 hole);
    quad(c, p, {{{0, 0, H}, {L, 0, H}, {L, 7, H}, {0, 7, H}}}, shade(metal, 1.15));
    // The cut end shows the profile.
    const Rgb edge = shade(metal, 0.55);
    quad(c, p, {{{L, 0, 0}, {L, t, 0}, {L, t, H}, {L, 0, H}}}, edge);
    quad(c, p, {{{L, 0, 0}, {L, W, 0}, {L, W, t}, {L, 0, t}}}, edge);
    quad(c, p, {{{L, W - t, 0}, {L, W, 0}, {L, W, H}, {L, W - t, H}}}, edge);
    if (lid) {
        const double h = H + 3, e = 9;
        quad(c, p, {{{-2, -2, h}, {L + 2, -2, h}, {L + 2, W + 2, h}, {-2, W + 2, h}}},
             shade(metal, 1.08));
        quad(c, p, {{{-2, -2, h - e}, {L + 2, -2, h - e}, {L + 2, -2, h}, {-2, -2, h}}},
             shade(metal, 0.8));
        quad(c, p, {{{L + 2, -2, h - e}, {L + 2, W + 2, h - e}, {L + 2, W + 2, h}, {L + 2, -2, h}}},
             shade(metal, 0.6));
    }
}

void drawLadder(Canvas& c, Rgb metal, int variant) {
    const Oblique p{34, 200};
    const double L = 190, W = 100 + 10 * (variant % 2), H = 50;
    quad(c, p, {{{0, W, 0}, {L, W, 0}, {L, W, H}, {0, W, H}}}, shade(metal, 0.75));
    for (double x = 8; x < L; x += 30) {
        quad(c, p, {{{x, 0, 4}, {x + 12, 0, 4}, {x + 12, W, 4}, {x, W, 4}}}, shade(metal, 1.0));
        quad(c, p, {{{x, 0, 0}, {x + 12, 0, 0}, {x + 12, 0, 4}, {x, 0, 4}}}, shade(metal, 0.6));
    }
    quad(c, p, {{{0, 0, 0}, {L, 0, 0}, {L, 0, H}, {0, 0, H}}}, shade(metal, 0.86));
    for (double x = 20; x + 10 < L; x += 30)
        c.ellipse(p(x, 0, H * 0.5).x, p(x, 0, H * 0.5).y, 3.5, 3.5, shade(metal, 0.3));
    quad(c, p, {{{0, 0, H}, {L, 0, H}, {L, 8, H}, {0, 8, H}}}, shade(metal, 1.15));
    quad(c, p, {{{L, 0, 0}, {L, 8, 0}, {L, 8, H}, {L, 0, H}}}, shade(metal, 0.55));
    quad(c, p, {{{L, W - 8, 0}, {L, W, 0}, {L, W, H}, {L, W - 8, H}}}, shade(metal, 0.55));
}

void drawWire(Canvas& c, Rgb metal, int variant) {
    const Oblique p{34, 200};
    const double L = 190, W = 96, H = 40 + 10 * (variant % 2), d = 2.6;
    const Rgb back = shade(metal, 0.8), front = shade(metal, 1.1);
    for (double z : {H, H * 0.5})
        c.line(p(0, W, z), p(L, W, z), d, back);
    for (double y = 0; y <= W + 0.1; y += W / 4)
        c.line(p(0, y, 0), p(L, y, 0), d, back);
    for (double x = 6; x < L; x += 26)
        c.polyline({p(x, 0, H), p(x, 0, 0), p(x, W, 0), p(x, W, H)}, d, front);
    for (double z : {H, H * 0.5})
        c.line(p(0, 0, z), p(L, 0, z), d, front);
}

void drawCover(Canvas& c, Rgb metal, int variant) {
    const Oblique p{34, 190};
    const double L = 190, W = 100 + 10 * (variant % 2), h = 8;
    quad(c, p, {{{0, 0, h}, {L, 0, h}, {L, W, h}, {0, W, h}}}, shade(metal, 1.05));
    for (double y = W * 0.3; y < W; y += W * 0.3)
        c.line(p(0, y, h), p(L, y, h), 2, shade(metal, 0.8));
    quad(c, p, {{{0, 0, 0}, {L, 0, 0}, {L, 0, h}, {0, 0, h}}}, shade(metal, 0.78));
    quad(c, p, {{{L, 0, 0}, {L, W, 0}, {L, W, h}, {L, 0, h}}}, shade(metal, 0.6));
}

// A branch piece seen from above: the wall outline dark, the floor inside it lighter.
void drawTopView(Canvas& c, Rgb metal, Kind kind, int variant) {
    const Rgb wall = shade(metal, 0.62), floor = shade(metal, 1.0);
    const Rgb hole = shade(metal, 0.35);
    const double band = 64 + 8 * (variant % 2);
    auto sector = [&](double cx, double cy, double r0, double r1, double a0, double a1) {
        std::vector<Pt> pts;
        const int n = 40;
        for (int i = 0; i <= n; ++i) {
            const double a = (a0 + (a1 - a0) * i / n) * Pi / 180;
            pts.push_back({cx + r1 * std::cos(a), cy - r1 * std::sin(a)});
        }
        for (int i = n; i >= 0; --i) {
            const double a = (a0 + (a1 - a0) * i / n) * Pi / 180;
            pts.push_back({cx + r0 * std::cos(a), cy - r0 * std::sin(a)});
        }
        return pts;
    };
    if (kind == Turn90 || kind == Turn45) {
        const double cx = kind == Turn90 ? 60 : 40, cy = 225, r0 = 70, r1 = r0 + band;
        const double a1 = kind == Turn90 ? 90 : 45, a0 = 0;
        c.polygon(sector(cx, cy, r0, r1, a0, a1), wall);
        c.polygon(sector(cx, cy, r0 + 6, r1 - 6, a0 + 2, a1 - 2), floor);
        for (double a = a0 + 8; a < a1 - 4; a += 12) {
            const double r = (r0 + r1) / 2, ar = a * Pi / 180;
            c.ellipse(cx + r * std::cos(ar), cy - r * std::sin(ar), 5, 3, hole);
        }
        return;
    }
    // Tee and cross: a straight run with one or two side outlets.
    const double y0 = 120 - band / 2, y1 = 120 + band / 2;
    const double x0 = 160 - band / 2;
    c.rect(20, y0, 280, band, wall);
    c.rect(x0, 12, band, y0 - 12 + 6, wall);
    if (kind == Cross)
        c.rect(x0, y1 - 6, band, 228 - y1 + 6, wall);
    c.rect(20, y0 + 6, 280, band - 12, floor);
    c.rect(x0 + 6, 12, band - 12, y0, floor);
    if (kind == Cross)
        c.rect(x0 + 6, y1 - 6, band - 12, 228 - y1 + 6, floor);
    for (double x = 36; x < 290; x += 24)
        c.ellipse(x, 120, 5, 3, hole);
}

// A vertical angle seen from the side: the run bends up (inner) or down (outer).
void drawVerticalBend(Canvas& c, Rgb metal, bool inner) {
    std::vector<Pt> path;
    const double y = inner ? 190 : 50, cx = 170, r = 70;
    path.push_back({20, y});
    for (int i = 0; i <= 12; ++i) {
        const double a = Pi / 2 * i / 12;
        path.push_back(inner ? Pt{cx + r * std::sin(a), y - r + r * std::cos(a)}
                             : Pt{cx + r * std::sin(a), y + r - r * std::cos(a)});
    }
    path.push_back({cx + r, inner ? 15.0 : 225.0});
    c.polyline(path, 34, shade(metal, 0.62));
    c.polyline(path, 22, shade(metal, 1.0));
    c.polyline(path, 4, shade(metal, 1.25));
}

void drawWall(Canvas& c, double x0, double x1) {
    const Rgb concrete{176, 174, 168};
    c.rect(x0, 0, x1 - x0, 240, concrete);
    for (int i = 0; i < 40; ++i)
        c.ellipse(x0 + std::fmod(i * 37.3, x1 - x0), std::fmod(i * 53.7, 240.0), 1.6, 1.6,
                  shade(concrete, 0.8));
}
void drawCeiling(Canvas& c) {
    c.rect(0, 0, 320, 24, {176, 174, 168});
    c.rect(0, 24, 320, 3, {140, 138, 132});
}
void drawFloor(Canvas& c) {
    c.rect(0, 214, 320, 26, {176, 174, 168});
    c.rect(0, 212, 320, 3, {140, 138, 132});
}

void holesAlong(Canvas& c, double x0, double x1, double y, Rgb metal) {
    for (double x = x0; x < x1; x += 22)
        c.ellipse(x, y, 5, 3, shade(metal, 0.3));
}

void drawHex(Canvas& c, double cx, double cy, double r, Rgb colour) {
    std::vector<Pt> pts;
    for (int i = 0; i < 6; ++i)
        pts.push_back(
            {cx + r * std::cos(Pi / 3 * i + Pi / 6), cy + r * std::sin(Pi / 3 * i + Pi / 6)});
    c.polygon(pts, colour);
}

void drawThread(Canvas& c, double x0, double x1, double y, double h, Rgb metal) {
    for (double x = x0; x < x1; x += 5)
        c.line({x, y}, {x + 3, y + h}, 1.2, shade(metal, 0.55));
}

void drawAccessory(Canvas& c, Rgb metal, Kind kind, int variant) {
    const Rgb dark = shade(metal, 0.7);
    switch (kind) {
        case JoinPlate:
            c.rect(44, 74, 240, 100, shade(metal, 0.6));
            c.rect(40, 70, 240, 100, shade(metal, 1.05));
            c.rect(40, 70, 240, 6, shade(metal, 1.2));
            for (double x = 70; x < 270; x += 60)
                for (double y : {100.0, 140.0})
                    c.ellipse(x, y, 9, 6, shade(metal, 0.3));
            break;
        case WallBracket:
            drawWall(c, 0, 52);
            c.shadedBar(52, 50, 14, 150, dark, true);
            c.line({66, 186}, {190, 120}, 10, dark);
            c.shadedBar(66, 104, 220 - 10 * (variant % 2), 18, metal);
            holesAlong(c, 90, 270, 113, metal);
            break;
        case FloorConsole:
            drawFloor(c);
            c.rect(110, 204, 80, 9, dark);
            c.shadedBar(140, 40, 20, 165, dark, true);
            c.shadedBar(160, 76, 130, 16, metal);
            c.line({160, 130}, {240, 92}, 8, dark);
            holesAlong(c, 180, 285, 84, metal);
            break;
        case CeilingConsole:
            drawCeiling(c);
            c.rect(110, 27, 80, 9, dark);
            c.shadedBar(140, 36, 20, 160, dark, true);
            c.shadedBar(160, 180, 130, 16, metal);
            c.line({160, 130}, {240, 180}, 8, dark);
            holesAlong(c, 180, 285, 188, metal);
            break;
        case Rod:
            c.shadedBar(14, 108, 292, 22, metal);
            drawThread(c, 14, 304, 108, 22, metal);
            break;
        case CeilingHanger:
            drawCeiling(c);
            for (double x : {100.0, 220.0}) {
                c.shadedBar(x - 5, 27, 10, 150, metal, true);
                drawThread(c, x - 5, x + 5, 30, 140, metal);
            }
            c.polyline({{80, 150}, {80, 190}, {240, 190}, {240, 150}}, 12, dark);
            break;
        case WallStand:
            drawWall(c, 0, 62);
            c.shadedBar(62, 12, 26, 216, dark, true);
            for (double y : {60.0, 120.0, 180.0}) {
                c.shadedBar(88, y, 180, 14, metal);
                holesAlong(c, 110, 260, y + 7, metal);
            }
            break;
        case FloorStand:
            drawFloor(c);
            c.rect(120, 204, 80, 9, dark);
            c.shadedBar(148, 20, 24, 186, dark, true);
            for (double y : {60.0, 130.0}) {
                c.shadedBar(172, y, 120, 14, metal);
                c.shadedBar(28, y, 120, 14, metal);
            }
            break;
        case MountingProfile: {
            const Oblique p{20, 170};
            quad(c, p, {{{0, 0, 30}, {260, 0, 30}, {260, 40, 30}, {0, 40, 30}}}, shade(metal, 1.1));
            quad(c, p, {{{0, 16, 30.5}, {260, 16, 30.5}, {260, 24, 30.5}, {0, 24, 30.5}}},
                 shade(metal, 0.3));
            quad(c, p, {{{0, 0, 0}, {260, 0, 0}, {260, 0, 30}, {0, 0, 30}}}, shade(metal, 0.82));
            for (double x = 14; x < 250; x += 26)
                c.ellipse(p(x, 0, 15).x, p(x, 0, 15).y, 6, 4, shade(metal, 0.3));
            quad(c, p, {{{260, 0, 0}, {260, 40, 0}, {260, 40, 30}, {260, 0, 30}}},
                 shade(metal, 0.6));
            break;
        }
        case Anchor:
            c.shadedBar(40, 110, 200, 18, metal);
            drawThread(c, 150, 238, 110, 18, metal);
            c.shadedBar(40, 104, 70, 30, dark);
            c.shadedBar(232, 90, 8, 58, metal);
            c.shadedBar(240, 96, 24, 46, dark);
            break;
        case Nut:
            drawHex(c, 160, 120, 92, shade(metal, 0.75));
            drawHex(c, 160, 120, 80, metal);
            c.ellipse(160, 120, 40, 40, shade(metal, 0.55));
            c.ellipse(160, 120, 32, 32, c.behind(120));
            break;
        case Washer:
            c.ellipse(160, 120, 94, 94, shade(metal, 0.75));
            c.ellipse(158, 118, 86, 86, metal);
            c.ellipse(160, 120, 36 - 6 * (variant % 2), 36 - 6 * (variant % 2), c.behind(120));
            break;
        case Bolt:
            c.shadedBar(36, 74, 48, 92, dark, true);
            c.shadedBar(84, 104, 200, 32, metal);
            drawThread(c, 170, 284, 104, 32, metal);
            break;
        case EarthLink:
            c.shadedBar(70, 106, 180, 28, shade(metal, 0.9));
            for (double x = 70; x < 246; x += 8) {
                c.line({x, 106}, {x + 8, 134}, 1.4, shade(metal, 0.5));
                c.line({x + 8, 106}, {x, 134}, 1.4, shade(metal, 0.6));
            }
            for (double x : {56.0, 264.0}) {
                c.ellipse(x, 120, 26, 26, dark);
                c.ellipse(x, 120, 10, 10, c.behind(120));
            }
            break;
        default:
            break;
    }
}

// Metal colours of the photos: bright zinc, hot-dip grey, light polymer paint, primer.
constexpr std::array<Rgb, 4> Metals{
    {{196, 202, 208}, {160, 168, 166}, {214, 212, 200}, {150, 104, 92}}};

}  // namespace

RgbImage drawDemoPhoto(int index, int width, int height) {
    const Kind kind = Kind(((index % KindCount) + KindCount) % KindCount);
    const int variant = std::abs(index / KindCount);
    Canvas c(std::max(1, width), std::max(1, height));
    c.background({250, 250, 248}, {214, 218, 222});
    const Rgb metal = Metals[std::size_t(variant) % Metals.size()];
    switch (kind) {
        case PerforatedTray:
            drawChannel(c, metal, true, false, variant);
            break;
        case SolidTray:
            drawChannel(c, metal, false, false, variant);
            break;
        case CableBox:
            drawChannel(c, metal, false, true, variant);
            break;
        case LadderTray:
            drawLadder(c, metal, variant);
            break;
        case WireTray:
            drawWire(c, metal, variant);
            break;
        case Cover:
            drawCover(c, metal, variant);
            break;
        case Turn90:
        case Turn45:
        case Tee:
        case Cross:
            drawTopView(c, metal, kind, variant);
            break;
        case VerticalInner:
        case VerticalOuter:
            drawVerticalBend(c, metal, kind == VerticalInner);
            break;
        default:
            drawAccessory(c, metal, kind, variant);
            break;
    }
    return c.take();
}
