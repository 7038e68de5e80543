#include "tools/DemoCatalogue.h"

#include "store/Database.h"
#include "store/Fixed4.h"
#include "store/Schema.h"
#include "store/Statement.h"
#include "store/StoreError.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// What the photos show. A photo's kind is its number modulo KindCount, so every kind gets a
// picture before any kind gets a second one.
enum Kind {
    PerforatedTray,
    SolidTray,
    LadderTray,
    WireTray,
    CableBox,
    Cover,
    Turn90,
    Tee,
    Cross,
    Turn45,
    VerticalInner,
    VerticalOuter,
    JoinPlate,
    WallBracket,
    FloorConsole,
    CeilingConsole,
    Rod,
    CeilingHanger,
    WallStand,
    FloorStand,
    MountingProfile,
    Anchor,
    Nut,
    Washer,
    Bolt,
    EarthLink,
    KindCount
};

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

// ---------------------------------------------------------------------------------------------
// The catalogue in memory, before it is written.

struct TypeRow {
    int key;
    QString name;
    QString number;
};

struct SubtypeRow {
    int key;
    QString name;
};

struct ProductRow {
    QString name;
    QString article;
    int type = 0;
    int subtype = 0;
    int width = 0;
    int height = 0;
    int length = 0;
    QString unit;
    // Index of the cover product, and the coatings in which the tray is offered with it.
    int cover = -1;
    std::array<bool, schema::coatingCount> coverInCoating{true, true, true, true, true};
    std::array<Fixed4, schema::coatingCount> prices{};
    int photo = -1;
    // Accessories that look different on a wall and on the floor.
    int floorPhoto = -1;
    std::vector<int> mounting;
};

struct Catalogue {
    std::vector<TypeRow> types;
    std::vector<SubtypeRow> subtypes;
    std::vector<ProductRow> products;
};

constexpr int FirstProductKey = 1;
// Base item codes stay below ten million and the coating codes above, so the two kinds of
// code never meet in the photo links.
constexpr std::int64_t ItemCodeBase = 1000000;

std::int64_t productKey(int index) {
    return FirstProductKey + index;
}
std::int64_t itemCode(int index) {
    return ItemCodeBase + productKey(index);
}
std::int64_t coatingItemCode(int index, int coating) {
    return itemCode(index) * 10 + coating;
}

// Price factors of the coatings 1 to 5 against the primer-coated price.
constexpr std::array<std::int64_t, schema::coatingCount> CoatingFactor{10000, 11800, 14200, 16500,
                                                                       18700};

std::array<Fixed4, schema::coatingCount> pricesFrom(std::int64_t kopecks) {
    std::array<Fixed4, schema::coatingCount> prices{};
    for (int n = 0; n < schema::coatingCount; ++n)
        prices[std::size_t(n)] =
            Fixed4::fromRaw(kopecks * 100) * Fixed4::fromRaw(CoatingFactor[std::size_t(n)]);
    return prices;
}

enum Subtype {
    SubtypeTrays = 1,
    SubtypeCovers = 2,
    SubtypePartitions = 3,
    SubtypeJoinPlates = 4,
    SubtypeBranches = 5,
    SubtypeBrackets = 6,
    SubtypeHangers = 7,
    SubtypeFasteners = 8,
    SubtypeEarthing = 9,
    SubtypeConduits = 10,
    FixedSubtypes = 10
};

struct TraySeries {
    int type;
    const char* typeName;
    const char* trayWord;
    const char* code;        // tray article and name code
    const char* branchCode;  // appended to the branch element's own letter: П + Л = ПЛ
    const char* coverWord;   // nullptr: sold without covers
    const char* coverCode;
    std::vector<int> widths;
    std::vector<int> heights;
    std::vector<int> thickness;  // tenths of a millimetre; 0 = no S value in the name
    std::vector<int> lengths;
    bool soldByPiece;
    int pricePercent;
    Kind kind;
    bool noThermalZinc;  // not made in thermal diffusion zinc
};

const std::vector<TraySeries>& traySeries() {
    // clang-format off
    static const std::vector<TraySeries> series = {
        {64, "Лотки перфорированные", "Лоток перфорированный", "ЛП", "Л",
         "Крышка лотка", "КЛ",
         {50, 100, 150, 200, 300, 400, 500, 600}, {50, 80, 100}, {7, 10}, {3000, 2000},
         false, 100, PerforatedTray, false},
        {65, "Лотки неперфорированные", "Лоток неперфорированный", "ЛН", "ЛН",
         "Крышка лотка глухая", "КЛГ",
         {50, 100, 150, 200, 300, 400, 500, 600}, {50, 80, 100}, {7, 10}, {3000, 2000},
         false, 108, SolidTray, false},
        {66, "Лотки лестничные", "Лоток лестничный", "ЛЛ", "ЛЛ",
         "Крышка лотка лестничного", "КЛЛ",
         {200, 300, 400, 500, 600}, {80, 100}, {0}, {3000},
         false, 150, LadderTray, false},
        {67, "Лотки проволочные", "Лоток проволочный", "ЛПр", "Пр",
         nullptr, nullptr,
         {50, 100, 150, 200, 300, 400, 500}, {35, 60, 100}, {0}, {3000},
         false, 70, WireTray, false},
        {68, "Короба кабельные", "Короб кабельный", "КК", "К",
         "Крышка короба", "ККК",
         {50, 75, 100, 150, 200}, {50, 75, 100}, {10}, {2000},
         true, 120, CableBox, false},
        {69, "Лотки замковые", "Лоток замковый перфорированный", "ЛЗП", "ЛЗ",
         "Крышка лотка замковая", "КЛЗ",
         {100, 200, 300, 400}, {50, 80}, {7, 10}, {3000, 2000},
         false, 112, PerforatedTray, false},
        {70, "Лотки усиленные перфорированные", "Лоток усиленный перфорированный", "ЛУП", "ЛУ",
         "Крышка лотка усиленная", "КЛУ",
         {200, 300, 400, 500, 600}, {100, 150}, {10, 15}, {3000},
         false, 135, PerforatedTray, false},
        {71, "Лотки усиленные неперфорированные", "Лоток усиленный неперфорированный", "ЛУН", "ЛУН",
         "Крышка лотка усиленная глухая", "КЛУГ",
         {200, 300, 400, 500, 600}, {100, 150}, {10, 15}, {3000},
         false, 142, SolidTray, false},
        {75, "Лотки из нержавеющей стали", "Лоток перфорированный из нержавеющей стали", "ЛПН", "ЛНС",
         "Крышка лотка из нержавеющей стали", "КЛН",
         {50, 100, 200, 300}, {50, 80}, {7, 10}, {3000, 2000},
         false, 380, PerforatedTray, true},
        {76, "Лотки алюминиевые", "Лоток алюминиевый", "ЛА", "ЛА",
         "Крышка лотка алюминиевая", "КЛА",
         {100, 200, 300, 400}, {50, 100}, {0}, {3000},
         false, 260, SolidTray, true},
    };
    // clang-format on
    return series;
}

struct BranchKind {
    const char* name;
    const char* letter;
    Kind kind;
    int pricePercent;
};

// clang-format off
constexpr std::array<BranchKind, 6> BranchKinds{{
    {"Поворот 90°", "П", Turn90, 100},
    {"Тройник", "Т", Tee, 135},
    {"Крестовина", "Кр", Cross, 170},
    {"Поворот 45°", "П45", Turn45, 85},
    {"Угол вертикальный внутренний", "УВВ", VerticalInner, 110},
    {"Угол вертикальный внешний", "УВН", VerticalOuter, 110},
}};
// clang-format on

enum Mounting { Ceiling = 1, Wall = 2, Floor = 3 };

struct AccessoryLine {
    int type;
    int subtype;
    const char* name;  // %1: the size
    const char* article;
    std::vector<int> sizes;  // empty: a single item
    bool sizeIsWidth;
    std::vector<int> mounting;
    Kind kind;
    Kind floorKind;  // KindCount: one photo for every mounting method
    int priceKopecks;
    int kopecksPerSize;
};

constexpr int BracketType = 72, HangerType = 79, GeneralType = 80;

const std::vector<AccessoryLine>& accessoryLines() {
    // clang-format off
    static const std::vector<AccessoryLine> lines = {
        {BracketType, SubtypeBrackets, "Кронштейн настенный КН %1", "КН-%1",
         {100, 150, 200, 300, 400, 500, 600}, true, {Wall}, WallBracket, KindCount, 9500, 42},
        {BracketType, SubtypeBrackets, "Консоль потолочная КП %1", "КП-%1",
         {200, 300, 400, 600}, true, {Ceiling}, CeilingConsole, KindCount, 14800, 51},
        {BracketType, SubtypeBrackets, "Консоль напольная КНП %1", "КНП-%1",
         {200, 300, 400}, true, {Floor}, FloorConsole, KindCount, 16200, 55},
        {BracketType, SubtypeBrackets, "Кронштейн универсальный КУ %1", "КУ-%1",
         {200, 300, 400, 600}, true, {Ceiling, Wall, Floor}, WallBracket, FloorConsole, 17350, 48},
        {BracketType, SubtypeBrackets, "Кронштейн настенный усиленный КНУ %1", "КНУ-%1",
         {400, 600}, true, {Wall}, WallBracket, KindCount, 21900, 60},
        {HangerType, SubtypeHangers, "Шпилька М%1х1000", "ШП-М%1-1000",
         {6, 8, 10}, false, {Ceiling}, Rod, KindCount, 3900, 1150},
        {HangerType, SubtypeHangers, "Шпилька М%1х2000", "ШП-М%1-2000",
         {8, 10}, false, {Ceiling}, Rod, KindCount, 7300, 2100},
        {HangerType, SubtypeHangers, "Подвес потолочный ПП %1", "ПП-%1",
         {300, 500, 1000}, false, {Ceiling}, CeilingHanger, KindCount, 12400, 18},
        {HangerType, SubtypeHangers, "Стойка кабельная СК %1", "СК-%1",
         {400, 600, 1000, 1500}, false, {Wall, Floor}, WallStand, FloorStand, 18500, 31},
        {HangerType, SubtypeHangers, "Профиль монтажный ПМ 41х21 L2000", "ПМ-41x21-2",
         {}, false, {Ceiling, Wall}, MountingProfile, KindCount, 48990, 0},
        {HangerType, SubtypeHangers, "Анкер-клин М%1", "АК-М%1",
         {8, 10}, false, {Ceiling, Wall, Floor}, Anchor, KindCount, 1450, 210},
        {HangerType, SubtypeHangers, "Дюбель-гвоздь 6х40", "ДГ-6x40",
         {}, false, {Wall}, Anchor, KindCount, 540, 0},
        {GeneralType, SubtypeFasteners, "Гайка М%1", "ГМ-%1",
         {6, 8, 10}, false, {}, Nut, KindCount, 150, 40},
        {GeneralType, SubtypeFasteners, "Гайка с фланцем М6", "ГФ-М6",
         {}, false, {}, Nut, KindCount, 390, 0},
        {GeneralType, SubtypeFasteners, "Гайка закладная М8 для профиля", "ГЗ-М8",
         {}, false, {}, Nut, KindCount, 1890, 0},
        {GeneralType, SubtypeFasteners, "Шайба М%1", "Ш-М%1",
         {6, 8, 10}, false, {}, Washer, KindCount, 60, 15},
        {GeneralType, SubtypeFasteners, "Шайба увеличенная М8", "ШУ-М8",
         {}, false, {}, Washer, KindCount, 185, 0},
        {GeneralType, SubtypeFasteners, "Болт с полукруглой головкой М6х10", "БП-М6x10",
         {}, false, {}, Bolt, KindCount, 465, 0},
        {GeneralType, SubtypeFasteners, "Болт М8х20", "Б-М8x20",
         {}, false, {}, Bolt, KindCount, 820, 0},
        {GeneralType, SubtypeFasteners, "Винт М6х12", "В-М6x12",
         {}, false, {}, Bolt, KindCount, 370, 0},
        {GeneralType, SubtypeEarthing, "Перемычка заземления ПЗ %1", "ПЗ-%1",
         {300, 500}, false, {}, EarthLink, KindCount, 9800, 12},
        {GeneralType, SubtypeEarthing, "Клемма заземления КЗ-6", "КЗ-6",
         {}, false, {}, EarthLink, KindCount, 4650, 0},
    };
    // clang-format on
    return lines;
}

QString thicknessText(int tenths, QChar separator) {
    return QStringLiteral("%1%2%3").arg(tenths / 10).arg(separator).arg(tenths % 10);
}

QString seriesName(int series) {
    return series > 0 ? QStringLiteral(" исп. %1").arg(series + 1) : QString();
}
QString seriesArticle(int series) {
    return series > 0 ? QStringLiteral("-и%1").arg(series + 1) : QString();
}

// Hands out the photos of one kind in turn, so neighbouring products show different pictures.
class PhotoPool {
public:
    explicit PhotoPool(int photoCount) : m_count(photoCount) {}
    int next(Kind kind) {
        if (m_count <= 0)
            return -1;
        const int k = int(kind);
        const int variants = k < m_count ? (m_count - k + KindCount - 1) / KindCount : 0;
        if (variants == 0)
            return k % m_count;
        return k + KindCount * (m_used[std::size_t(k)]++ % variants);
    }

private:
    int m_count;
    std::array<int, KindCount> m_used{};
};

Catalogue buildCatalogue(const DemoOptions& o) {
    Catalogue cat;
    PhotoPool photos(o.photoCount);

    int number = 1;
    for (const TraySeries& s : traySeries())
        cat.types.push_back({s.type, QString::fromUtf8(s.typeName),
                             QStringLiteral("100.%1").arg(number++, 2, 10, QLatin1Char('0'))});
    cat.types.push_back(
        {BracketType, QStringLiteral("Консоли и кронштейны"), QStringLiteral("100.11")});
    cat.types.push_back(
        {HangerType, QStringLiteral("Подвесы, стойки и шпильки"), QStringLiteral("100.12")});
    cat.types.push_back({GeneralType, schema::generalHardware, QStringLiteral("100.13")});
    // Types the program must leave out of its lists: one by its key, one by its number.
    constexpr int ConduitType = 90, ArchiveType = 81;
    cat.types.push_back({ConduitType, QStringLiteral("Металлорукава"), QStringLiteral("100.20")});
    cat.types.push_back(
        {ArchiveType, QStringLiteral("Лотки, снятые с производства"), QStringLiteral("200.01")});

    cat.subtypes = {
        {SubtypeTrays, QStringLiteral("Лотки")},
        {SubtypeCovers, QStringLiteral("Крышки")},
        {SubtypePartitions, QStringLiteral("Перегородки")},
        {SubtypeJoinPlates, QStringLiteral("Соединительные пластины")},
        {SubtypeBranches, QStringLiteral("Элементы ответвления трассы")},
        {SubtypeBrackets, QStringLiteral("Кронштейны и консоли")},
        {SubtypeHangers, QStringLiteral("Шпильки, подвесы и стойки")},
        {SubtypeFasteners, QStringLiteral("Метизы")},
        {SubtypeEarthing, QStringLiteral("Заземление")},
        {SubtypeConduits, QStringLiteral("Металлорукава")},
    };
    const int extraGroups = o.subtypeCount - FixedSubtypes;
    for (int g = 1; g <= extraGroups; ++g)
        cat.subtypes.push_back({FixedSubtypes + g, QStringLiteral("Лотки, группа %1").arg(g + 1)});

    auto& products = cat.products;
    for (const TraySeries& s : traySeries()) {
        const int nW = int(s.widths.size()), nH = int(s.heights.size());
        const int nS = int(s.thickness.size()), nL = int(s.lengths.size());
        const int combos = nH * nS * nL;
        const QString code = QString::fromUtf8(s.code);

        struct Tray {
            int width, height, thickness, length, series;
        };
        std::vector<Tray> trays;
        for (int i = 0; i < o.traysPerType; ++i) {
            // Widths run fastest; the other sizes are shifted with the width so that even a
            // short range shows several heights, thicknesses and lengths, and no size repeats
            // within one execution.
            const int a = i % nW;
            int c = i / nW;
            const int series = c / combos;
            c %= combos;
            const int h = (c % nH + a) % nH;
            const int t = ((c / nH) % nS + a) % nS;
            const int l = ((c / (nH * nS)) + a / 2) % nL;
            trays.push_back({s.widths[std::size_t(a)], s.heights[std::size_t(h)],
                             s.thickness[std::size_t(t)], s.lengths[std::size_t(l)], series});
        }

        const int trayStart = int(products.size());
        for (std::size_t i = 0; i < trays.size(); ++i) {
            const Tray& t = trays[i];
            ProductRow p;
            const QString size = QStringLiteral("%1х%2").arg(t.width).arg(t.height);
            p.name = QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(s.trayWord), code, size);
            p.article = QStringLiteral("%1-%2x%3").arg(code).arg(t.width).arg(t.height);
            if (t.thickness > 0) {
                p.name += QStringLiteral(" S") + thicknessText(t.thickness, QLatin1Char('.'));
                p.article += QStringLiteral("-%1%2").arg(t.thickness / 10).arg(t.thickness % 10);
            }
            p.name += QStringLiteral(" L%1").arg(t.length) + seriesName(t.series);
            p.article += QStringLiteral("-%1").arg(t.length / 1000) + seriesArticle(t.series);
            p.type = s.type;
            const int group = int(i) % (extraGroups + 1);
            p.subtype = group == 0 ? SubtypeTrays : FixedSubtypes + group;
            p.width = t.width;
            p.height = t.height;
            p.length = t.length;
            p.unit = s.soldByPiece ? QStringLiteral("шт.") : schema::runningMetre;
            const int thicknessPercent = t.thickness == 0    ? 115
                                         : t.thickness <= 7  ? 100
                                         : t.thickness <= 10 ? 132
                                                             : 180;
            std::int64_t perMetre =
                (std::int64_t(t.width) * 130 + t.height * 220 + 9000 + (t.width * t.height) % 97) *
                thicknessPercent / 100 * s.pricePercent / 100;
            p.prices = pricesFrom(s.soldByPiece ? perMetre * t.length / 1000 : perMetre);
            if (s.noThermalZinc)
                p.prices[4] = Fixed4();
            p.photo = photos.next(s.kind);
            products.push_back(p);
        }

        // One cover per width and stock length, shared by the trays of every height and
        // thickness.
        if (s.coverWord) {
            std::map<std::tuple<int, int, int>, int> covers;
            for (std::size_t i = 0; i < trays.size(); ++i) {
                const Tray& t = trays[i];
                const auto key = std::make_tuple(t.width, t.length, t.series);
                auto it = covers.find(key);
                if (it == covers.end()) {
                    ProductRow p;
                    const QString coverCode = QString::fromUtf8(s.coverCode);
                    p.name = QStringLiteral("%1 %2 %3 L%4")
                                 .arg(QString::fromUtf8(s.coverWord), coverCode)
                                 .arg(t.width)
                                 .arg(t.length) +
                             seriesName(t.series);
                    p.article = QStringLiteral("%1-%2-%3")
                                    .arg(coverCode)
                                    .arg(t.width)
                                    .arg(t.length / 1000) +
                                seriesArticle(t.series);
                    p.type = s.type;
                    p.subtype = SubtypeCovers;
                    p.width = t.width;
                    p.length = t.length;
                    p.unit = s.soldByPiece ? QStringLiteral("шт.") : schema::runningMetre;
                    const std::int64_t perMetre =
                        (std::int64_t(t.width) * 75 + 4500 + t.width % 7) * s.pricePercent / 100;
                    p.prices = pricesFrom(s.soldByPiece ? perMetre * t.length / 1000 : perMetre);
                    if (s.noThermalZinc)
                        p.prices[4] = Fixed4();
                    p.photo = photos.next(Cover);
                    p.coverInCoating.fill(false);
                    it = covers.emplace(key, int(products.size())).first;
                    products.push_back(p);
                }
                ProductRow& tray = products[std::size_t(trayStart) + i];
                tray.cover = it->second;
                if (s.noThermalZinc)
                    tray.coverInCoating[4] = false;
            }
        }
        for (std::size_t i = 0; i < trays.size(); ++i)
            if (products[std::size_t(trayStart) + i].cover < 0)
                products[std::size_t(trayStart) + i].coverInCoating.fill(false);

        std::set<int> heights;
        for (const Tray& t : trays)
            heights.insert(t.height);
        if (s.type == 64) {
            for (int h : heights) {
                ProductRow p;
                p.name = QStringLiteral("Перегородка разделительная ПР %1 L3000").arg(h);
                p.article = QStringLiteral("ПР-%1-3").arg(h);
                p.type = s.type;
                p.subtype = SubtypePartitions;
                p.height = h;
                p.length = 3000;
                p.unit = schema::runningMetre;
                p.prices = pricesFrom(std::int64_t(h) * 85 + 3100);
                p.coverInCoating.fill(false);
                products.push_back(p);  // no photo: the picture box stays empty
            }
        }
        if (s.type == 64 || s.type == 66) {
            for (int h : heights) {
                ProductRow p;
                const QString plateCode =
                    s.type == 64 ? QStringLiteral("ПС") : QStringLiteral("ПСЛ");
                p.name = QStringLiteral("Пластина соединительная %1 %2").arg(plateCode).arg(h);
                p.article = QStringLiteral("%1-%2").arg(plateCode).arg(h);
                p.type = s.type;
                p.subtype = SubtypeJoinPlates;
                p.height = h;
                p.unit = QStringLiteral("шт.");
                p.prices = pricesFrom(std::int64_t(h) * 6 + 2900 + h % 13);
                p.coverInCoating.fill(false);
                p.photo = photos.next(JoinPlate);
                products.push_back(p);
            }
        }

        // Branch elements: the same type, width and height as their tray, and its S value in
        // one of the spellings the branch list accepts (S0.7, 0,7, 0.7).
        for (const Tray& t : trays) {
            for (int k = 0; k < o.branchKindsPerTray; ++k) {
                const BranchKind& b = BranchKinds[std::size_t(k)];
                ProductRow p;
                const QString branchCode =
                    QString::fromUtf8(b.letter) + QString::fromUtf8(s.branchCode);
                p.name = QStringLiteral("%1 %2 %3х%4")
                             .arg(QString::fromUtf8(b.name), branchCode)
                             .arg(t.width)
                             .arg(t.height);
                p.article = QStringLiteral("%1-%2x%3").arg(branchCode).arg(t.width).arg(t.height);
                if (t.thickness > 0) {
                    switch (k % 3) {
                        case 0:
                            p.name +=
                                QStringLiteral(" S") + thicknessText(t.thickness, QLatin1Char('.'));
                            break;
                        case 1:
                            p.name +=
                                QLatin1Char(' ') + thicknessText(t.thickness, QLatin1Char(','));
                            break;
                        default:
                            p.name +=
                                QLatin1Char(' ') + thicknessText(t.thickness, QLatin1Char('.'));
                            break;
                    }
                    p.article +=
                        QStringLiteral("-%1%2").arg(t.thickness / 10).arg(t.thickness % 10);
                }
                p.name += seriesName(t.series);
                p.article += seriesArticle(t.series);
                p.type = s.type;
                p.subtype = SubtypeBranches;
                p.width = t.width;
                p.height = t.height;
                p.unit = QStringLiteral("шт.");
                const int thicknessPercent = t.thickness == 0    ? 115
                                             : t.thickness <= 7  ? 100
                                             : t.thickness <= 10 ? 132
                                                                 : 180;
                p.prices = pricesFrom((std::int64_t(t.width) * 260 + t.height * 350 + 21000 +
                                       (t.width + t.height) % 89) *
                                      thicknessPercent / 100 * s.pricePercent / 100 *
                                      b.pricePercent / 100);
                if (s.noThermalZinc)
                    p.prices[4] = Fixed4();
                p.coverInCoating.fill(false);
                p.photo = photos.next(b.kind);
                products.push_back(p);
            }
        }
    }

    for (int series = 0; series < o.accessorySeries; ++series) {
        for (const AccessoryLine& a : accessoryLines()) {
            const std::vector<int> sizes = a.sizes.empty() ? std::vector<int>{0} : a.sizes;
            for (int size : sizes) {
                ProductRow p;
                QString name = QString::fromUtf8(a.name), article = QString::fromUtf8(a.article);
                if (!a.sizes.empty()) {
                    name = name.arg(size);
                    article = article.arg(size);
                }
                p.name = name + seriesName(series);
                p.article = article + seriesArticle(series);
                p.type = a.type;
                p.subtype = a.subtype;
                p.width = a.sizeIsWidth ? size : 0;
                p.unit = QStringLiteral("шт.");
                p.prices = pricesFrom(a.priceKopecks + std::int64_t(a.kopecksPerSize) * size / 10 +
                                      series * 7);
                if (a.subtype == SubtypeFasteners)
                    p.prices[2] = Fixed4();  // fasteners are not powder-coated
                p.coverInCoating.fill(false);
                p.photo = photos.next(a.kind);
                if (a.floorKind != KindCount)
                    p.floorPhoto = photos.next(a.floorKind);
                p.mounting = a.mounting;
                products.push_back(p);
            }
        }
    }

    for (int d : {16, 20, 25}) {
        ProductRow p;
        p.name = QStringLiteral("Металлорукав РЗ-Ц %1 (бухта 50 м)").arg(d);
        p.article = QStringLiteral("РЗЦ-%1").arg(d);
        p.type = ConduitType;
        p.subtype = SubtypeConduits;
        p.width = d;
        p.length = 50000;
        p.unit = schema::runningMetre;
        p.prices = pricesFrom(4200 + std::int64_t(d) * 130);
        p.coverInCoating.fill(false);
        products.push_back(p);
    }
    {
        ProductRow tray;
        tray.name = QStringLiteral("Лоток перфорированный ЛП 100х35 S0.55 L2500");
        tray.article = QStringLiteral("ЛП-100x35-055-25");
        tray.type = ArchiveType;
        tray.subtype = SubtypeTrays;
        tray.width = 100;
        tray.height = 35;
        tray.length = 2500;
        tray.unit = schema::runningMetre;
        tray.prices = pricesFrom(27300);
        tray.coverInCoating.fill(false);
        products.push_back(tray);
        ProductRow turn = tray;
        turn.name = QStringLiteral("Поворот 90° ПЛ 100х35 0,55");
        turn.article = QStringLiteral("ПЛ-100x35-055");
        turn.subtype = SubtypeBranches;
        turn.length = 0;
        turn.unit = QStringLiteral("шт.");
        turn.prices = pricesFrom(61500);
        products.push_back(turn);
    }
    return cat;
}

DemoOptions sane(DemoOptions o) {
    o.traysPerType = std::max(0, o.traysPerType);
    o.branchKindsPerTray = std::clamp(o.branchKindsPerTray, 0, int(BranchKinds.size()));
    o.subtypeCount = std::max(int(FixedSubtypes), o.subtypeCount);
    o.accessorySeries = std::max(0, o.accessorySeries);
    o.photoCount = std::max(0, o.photoCount);
    o.photoWidth = std::clamp(o.photoWidth, 16, 4000);
    o.photoHeight = std::clamp(o.photoHeight, 16, 4000);
    return o;
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

// Bulk inserts go through prepared statements, so a catalogue of a hundred thousand products
// takes seconds.
DemoSummary fillDemoCatalogue(Database& db, const DemoOptions& options) {
    const DemoOptions o = sane(options);
    const Catalogue cat = buildCatalogue(o);
    DemoSummary summary;

    Database::Transaction transaction(db);
    {
        Statement insert(db, "insert into EXPORT_VIDTMC (Ключ, Название, Номер) values (?, ?, ?)");
        for (const TypeRow& t : cat.types)
            insert.bind(1, std::int64_t(t.key)).bind(2, t.name).bind(3, t.number).run();
        summary.types = int(cat.types.size());
    }
    {
        Statement insert(db, "insert into EXPORT_PODVID (Ключ, Название) values (?, ?)");
        for (const SubtypeRow& s : cat.subtypes)
            insert.bind(1, std::int64_t(s.key)).bind(2, s.name).run();
        summary.subtypes = int(cat.subtypes.size());
    }
    {
        Statement insert(db,
                         "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Ширина, "
                         "Высота, Длина, ЕИ, ТМЦ, k1, k2, k3, k4, k5, t1k, t2k, t3k, t4k, t5k, "
                         "p1, p2, p3, p4, p5) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                         "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (std::size_t i = 0; i < cat.products.size(); ++i) {
            const ProductRow& p = cat.products[i];
            const int index = int(i);
            insert.bind(1, productKey(index)).bind(2, p.name).bind(3, p.article);
            insert.bind(4, std::int64_t(p.type)).bind(5, std::int64_t(p.subtype));
            insert.bind(6, std::int64_t(p.width)).bind(7, std::int64_t(p.height));
            insert.bind(8, std::int64_t(p.length)).bind(9, p.unit).bind(10, itemCode(index));
            for (int n = 1; n <= schema::coatingCount; ++n) {
                if (p.cover >= 0 && p.coverInCoating[std::size_t(n - 1)])
                    insert.bind(10 + n, coatingItemCode(p.cover, n));
                else
                    insert.bindNull(10 + n);
                insert.bind(15 + n, coatingItemCode(index, n));
                insert.bind(20 + n, p.prices[std::size_t(n - 1)]);
            }
            insert.run();
        }
        summary.products = int(cat.products.size());
    }
    {
        Statement insert(db, "insert into EXPORT_FOTO (Ключ, Фото) values (?, ?)");
        for (int i = 0; i < o.photoCount; ++i) {
            const QByteArray jpeg = encodeJpeg(drawDemoPhoto(i, o.photoWidth, o.photoHeight), 85);
            if (jpeg.isEmpty())
                throw StoreError(
                    QStringLiteral("Не удалось сжать фотографию %1 в JPEG.").arg(i + 1));
            insert.bind(1, std::int64_t(i + 1)).bind(2, jpeg).run();
        }
        summary.photos = o.photoCount;
    }
    {
        // Each photo is linked under the base item code (the product tree) and under every
        // coating code (branch and accessory grids, specification lines). Accessories that look
        // different on a wall and on the floor carry one link per mounting method.
        Statement insert(db, "insert into Export_INFOTO (ТМЦ, _ГруппаФото, krep) values (?, ?, ?)");
        auto link = [&](std::int64_t code, int photo, int mounting) {
            insert.bind(1, code)
                .bind(2, std::int64_t(photo + 1))
                .bind(3, std::int64_t(mounting))
                .run();
            ++summary.photoLinks;
        };
        for (std::size_t i = 0; i < cat.products.size(); ++i) {
            const ProductRow& p = cat.products[i];
            if (p.photo < 0)
                continue;
            const int index = int(i);
            link(itemCode(index), p.photo, 0);
            for (int n = 1; n <= schema::coatingCount; ++n) {
                if (p.floorPhoto < 0) {
                    link(coatingItemCode(index, n), p.photo, 0);
                } else {
                    link(coatingItemCode(index, n), p.photo, Wall);
                    link(coatingItemCode(index, n), p.floorPhoto, Floor);
                }
            }
        }
    }
    {
        Statement insert(db, "insert into EXPORT_KREP (_Группа, Способ) values (?, ?)");
        for (std::size_t i = 0; i < cat.products.size(); ++i)
            for (int m : cat.products[i].mounting) {
                insert.bind(1, productKey(int(i))).bind(2, std::int64_t(m)).run();
                ++summary.mountingRows;
            }
    }
    transaction.commit();
    return summary;
}

DemoSummary buildDemoStore(Database& db, const DemoOptions& options) {
    for (const QString& sql : schema::createTables())
        db.execute(sql);
    const DemoSummary summary = fillDemoCatalogue(db, options);
    // Indexes after the rows: building them once is faster than keeping them up to date.
    for (const QString& sql : schema::createIndexes())
        db.execute(sql);
    return summary;
}
