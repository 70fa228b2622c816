// The artwork is drawn the way a pixel artist builds a sprite: each ship is a
// few flat parts (hull, wings, fins, canopy), every part is shaded as a
// bevelled, slightly rounded solid lit from the upper left, quantised to a
// ramp of seven tones of its own colour and outlined in its darkest tone; then
// details go on top: panel lines, windows, lights and engine glows.
#include "art/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>
#include <map>
#include <utility>

namespace vorlax::art {
namespace {

// ---------------------------------------------------------------------------
// Colours

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

int ClampByte(double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
}

Rgb Mix(Rgb a, Rgb b, double t) {
    return {ClampByte(a.r + (b.r - a.r) * t), ClampByte(a.g + (b.g - a.g) * t),
            ClampByte(a.b + (b.b - a.b) * t)};
}

Rgb Scale(Rgb c, double f) {
    return {ClampByte(c.r * f), ClampByte(c.g * f), ClampByte(c.b * f)};
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kShadowTint{22, 18, 52};    // shadows lean towards cold violet
constexpr Rgb kLightTint{255, 248, 225};  // highlights lean towards warm white

// Seven tones of one material, darkest first: 0 is the outline, 3 the colour
// of a face turned to the viewer, 6 the specular glint.
using Ramp = std::array<Rgb, 7>;

Ramp MakeRamp(Rgb base) {
    Ramp r;
    r[0] = Mix(Scale(base, 0.30), kShadowTint, 0.45);
    r[1] = Mix(Scale(base, 0.48), kShadowTint, 0.30);
    r[2] = Mix(Scale(base, 0.72), kShadowTint, 0.12);
    r[3] = base;
    r[4] = Mix(base, kLightTint, 0.28);
    r[5] = Mix(base, kLightTint, 0.55);
    r[6] = Mix(base, kWhite, 0.85);
    return r;
}

// A small fixed-seed generator, so the "random" plating, windows and
// rivets come out identical on every run.
class Rng {
  public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Whole number in lo .. hi inclusive.
    int Between(int lo, int hi) { return lo + static_cast<int>(Next() % (hi - lo + 1)); }
    double Unit() { return (Next() >> 8) / 16777216.0; }

  private:
    std::uint32_t state_;
};

// ---------------------------------------------------------------------------
// Regions: which pixels a part covers. Shapes are sampled at pixel centres,
// so a shape mirrored about the middle of the box covers mirrored pixels.

struct P {
    double x;
    double y;
};
using Path = std::vector<P>;

class Region {
  public:
    Region(int w, int h) : w_(w), h_(h), bits_(static_cast<std::size_t>(w) * h, 0) {}
    int W() const { return w_; }
    int H() const { return h_; }
    bool operator()(int x, int y) const {
        return x >= 0 && y >= 0 && x < w_ && y < h_ && bits_[Index(x, y)] != 0;
    }
    void Set(int x, int y, bool on = true) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) bits_[Index(x, y)] = on ? 1 : 0;
    }
    Region& operator|=(const Region& o) {
        for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] |= o.bits_[i];
        return *this;
    }
    Region& operator-=(const Region& o) {
        for (std::size_t i = 0; i < bits_.size(); ++i)
            bits_[i] &= static_cast<std::uint8_t>(!o.bits_[i]);
        return *this;
    }
    Region& operator&=(const Region& o) {
        for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] &= o.bits_[i];
        return *this;
    }

  private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }
    int w_;
    int h_;
    std::vector<std::uint8_t> bits_;
};

// Even-odd scanline fill of a closed polygon.
void FillPolygon(Region& m, const Path& pts) {
    const std::size_t n = pts.size();
    for (int y = 0; y < m.H(); ++y) {
        const double yc = y + 0.5;
        std::vector<double> xs;
        for (std::size_t i = 0; i < n; ++i) {
            const P a = pts[i];
            const P b = pts[(i + 1) % n];
            if ((a.y <= yc) != (b.y <= yc))
                xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int x0 = static_cast<int>(std::ceil(xs[i] - 0.5));
            const int x1 = static_cast<int>(std::ceil(xs[i + 1] - 0.5));
            for (int x = x0; x < x1; ++x) m.Set(x, y);
        }
    }
}

void FillEllipse(Region& m, double cx, double cy, double rx, double ry) {
    for (int y = 0; y < m.H(); ++y) {
        for (int x = 0; x < m.W(); ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) m.Set(x, y);
        }
    }
}

// Inclusive pixel rectangle.
void FillRect(Region& m, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) m.Set(x, y);
}

Region Polygon(int w, int h, const Path& pts) {
    Region m(w, h);
    FillPolygon(m, pts);
    return m;
}
Region Ellipse(int w, int h, double cx, double cy, double rx, double ry) {
    Region m(w, h);
    FillEllipse(m, cx, cy, rx, ry);
    return m;
}
Region Rect(int w, int h, int x0, int y0, int x1, int y1) {
    Region m(w, h);
    FillRect(m, x0, y0, x1, y1);
    return m;
}

// Closes the outline of a shape symmetric about the line y = axis from its
// upper half, given from one end of the axis to the other.
Path MirrorY(const Path& upper, double axis) {
    Path out = upper;
    for (std::size_t i = upper.size(); i-- > 0;) {
        const P p = upper[i];
        if (p.y == axis && (i == 0 || i + 1 == upper.size())) continue;
        out.push_back({p.x, 2 * axis - p.y});
    }
    return out;
}

// The same about the vertical line x = axis, from its left half.
Path MirrorX(const Path& left, double axis) {
    Path out = left;
    for (std::size_t i = left.size(); i-- > 0;) {
        const P p = left[i];
        if (p.x == axis && (i == 0 || i + 1 == left.size())) continue;
        out.push_back({2 * axis - p.x, p.y});
    }
    return out;
}

// The path mirrored about y = axis (for a separate lower copy of a part).
Path FlipY(const Path& pts, double axis) {
    Path out;
    for (const P& p : pts) out.push_back({p.x, 2 * axis - p.y});
    return out;
}
Path FlipX(const Path& pts, double axis) {
    Path out;
    for (const P& p : pts) out.push_back({2 * axis - p.x, p.y});
    return out;
}

// ---------------------------------------------------------------------------
// The canvas: colours plus the shape (which pixels belong to the sprite).

class Canvas {
  public:
    Canvas(int w, int h)
        : w_(w), h_(h), col_(static_cast<std::size_t>(w) * h), solid_(col_.size(), 0) {}
    int W() const { return w_; }
    int H() const { return h_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    bool Solid(int x, int y) const { return Inside(x, y) && solid_[Index(x, y)] != 0; }
    Rgb Get(int x, int y) const { return Inside(x, y) ? col_[Index(x, y)] : Rgb{}; }

    // Adds the pixel to the shape with colour c.
    void Put(int x, int y, Rgb c) {
        if (!Inside(x, y)) return;
        col_[Index(x, y)] = c;
        solid_[Index(x, y)] = 1;
    }
    // Recolours a pixel that is already part of the shape.
    void Paint(int x, int y, Rgb c) {
        if (Solid(x, y)) col_[Index(x, y)] = c;
    }
    void Erase(int x, int y) {
        if (Inside(x, y)) solid_[Index(x, y)] = 0;
    }
    // Scales a shape pixel towards its shadow (f < 1) or towards light (f > 1).
    void Shade(int x, int y, double f) {
        if (!Solid(x, y)) return;
        Rgb c = Get(x, y);
        Paint(x, y,
              f < 1 ? Mix(Scale(c, f), kShadowTint, (1 - f) * 0.3) : Mix(c, kLightTint, f - 1));
    }

    // The picture (black off the shape) and the mask (black on it). No pixel
    // of the shape stays pure black, so nothing on the ship reads as a hole.
    std::pair<Image, Image> Finish() const {
        Image picture(w_, h_, 0);
        Image mask(w_, h_, 0xFFFFFF);
        for (int y = 0; y < h_; ++y) {
            for (int x = 0; x < w_; ++x) {
                if (!Solid(x, y)) continue;
                Rgb c = Get(x, y);
                if (std::max({c.r, c.g, c.b}) < 14) c = Mix(c, Rgb{14, 12, 24}, 1.0);
                picture.At(x, y) = static_cast<std::uint32_t>((c.r << 16) | (c.g << 8) | c.b);
                mask.At(x, y) = 0;
            }
        }
        return {picture, mask};
    }

  private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }
    int w_;
    int h_;
    std::vector<Rgb> col_;
    std::vector<std::uint8_t> solid_;
};

// Visits the pixels of a line from (x0, y0) to (x1, y1), both ends included.
void ForLine(int x0, int y0, int x1, int y1, const std::function<void(int, int)>& f) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        f(x0, y0);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void PaintLine(Canvas& c, int x0, int y0, int x1, int y1, Rgb col) {
    ForLine(x0, y0, x1, y1, [&](int x, int y) { c.Paint(x, y, col); });
}
// A recessed panel seam: dark line, with a lit lip on its lower side.
void Seam(Canvas& c, int x0, int y0, int x1, int y1, double depth = 0.62) {
    ForLine(x0, y0, x1, y1, [&](int x, int y) { c.Shade(x, y, depth); });
}
void ShadeRect(Canvas& c, int x0, int y0, int x1, int y1, double f) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) c.Shade(x, y, f);
}

// ---------------------------------------------------------------------------
// Shading of a part

enum class Curve {
    Flat,    // only the bevel at the edges
    Tube,    // rounded from top to bottom, like a hull lying along x
    Column,  // rounded from left to right, like a hull standing upright
    Dome,    // rounded both ways
};

struct Style {
    double bevel = 2.5;  // width of the rounded edge in pixels
    Curve curve = Curve::Tube;
    double curve_strength = 0.9;
    double gain = 5.0;  // tones per unit of light change
    bool outline = true;
    bool glint = true;  // allow the specular tone
    double base = 3.0;  // tone of a face turned to the viewer
};

// Chamfer distance of every pixel of `part` to the nearest pixel outside it.
std::vector<double> DistanceInside(const Region& part) {
    const int w = part.W();
    const int h = part.H();
    const double big = 1e9;
    std::vector<double> d(static_cast<std::size_t>(w) * h, 0.0);
    auto at = [&](int x, int y) -> double {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0.0;
        return d[static_cast<std::size_t>(y) * w + x];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (part(x, y)) d[static_cast<std::size_t>(y) * w + x] = big;
    const double s2 = std::sqrt(2.0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double& v = d[static_cast<std::size_t>(y) * w + x];
            if (v == 0) continue;
            v = std::min({v, at(x - 1, y) + 1, at(x, y - 1) + 1, at(x - 1, y - 1) + s2,
                          at(x + 1, y - 1) + s2});
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = w - 1; x >= 0; --x) {
            double& v = d[static_cast<std::size_t>(y) * w + x];
            if (v == 0) continue;
            v = std::min({v, at(x + 1, y) + 1, at(x, y + 1) + 1, at(x + 1, y + 1) + s2,
                          at(x - 1, y + 1) + s2});
        }
    }
    return d;
}

// For each pixel of the part, where it lies across its run of the part
// along one axis: -1 at the start of the run, +1 at its end.
std::vector<double> RunPosition(const Region& part, bool vertical) {
    const int w = part.W();
    const int h = part.H();
    std::vector<double> v(static_cast<std::size_t>(w) * h, 0.0);
    const int outer = vertical ? w : h;
    const int inner = vertical ? h : w;
    for (int o = 0; o < outer; ++o) {
        int i = 0;
        while (i < inner) {
            auto in = [&](int k) { return vertical ? part(o, k) : part(k, o); };
            if (!in(i)) {
                ++i;
                continue;
            }
            int j = i;
            while (j < inner && in(j)) ++j;
            const double mid = (i + j) / 2.0;
            const double half = (j - i) / 2.0;
            for (int k = i; k < j; ++k) {
                const double pos = (k + 0.5 - mid) / half;
                const std::size_t idx = vertical ? static_cast<std::size_t>(k) * w + o
                                                 : static_cast<std::size_t>(o) * w + k;
                v[idx] = pos;
            }
            i = j;
        }
    }
    return v;
}

// Light comes from the upper left and a little from the viewer's side.
struct Vec3 {
    double x, y, z;
};
Vec3 Normalise(Vec3 v) {
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
const Vec3 kLight = Normalise({-0.55, -0.75, 0.85});
const Vec3 kHalf = Normalise({kLight.x, kLight.y, kLight.z + 1.0});

// Colours every pixel of `part` (adding it to the shape) from `ramp`.
void ShadePart(Canvas& c, const Region& part, const Ramp& ramp, const Style& s = {}) {
    const int w = part.W();
    const int h = part.H();
    const std::vector<double> dist = DistanceInside(part);
    std::vector<double> height(dist.size(), 0.0);
    for (std::size_t i = 0; i < dist.size(); ++i) {
        if (dist[i] <= 0) continue;
        const double u = std::clamp((dist[i] - 0.5) / s.bevel, 0.0, 1.0);
        height[i] = s.bevel * std::sqrt(1.0 - (1.0 - u) * (1.0 - u));
    }
    auto hAt = [&](int x, int y) -> double {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0.0;
        return height[static_cast<std::size_t>(y) * w + x];
    };
    std::vector<double> across_rows;  // position across the part from top to bottom
    std::vector<double> across_cols;
    if (s.curve == Curve::Tube || s.curve == Curve::Dome) across_rows = RunPosition(part, true);
    if (s.curve == Curve::Column || s.curve == Curve::Dome) across_cols = RunPosition(part, false);

    const double flat = kLight.z;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!part(x, y)) continue;
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            double gx = std::clamp((hAt(x + 1, y) - hAt(x - 1, y)) / 2.0, -1.6, 1.6);
            double gy = std::clamp((hAt(x, y + 1) - hAt(x, y - 1)) / 2.0, -1.6, 1.6);
            double nx = -gx;
            double ny = -gy;
            if (!across_rows.empty()) ny += across_rows[i] * s.curve_strength;
            if (!across_cols.empty()) nx += across_cols[i] * s.curve_strength;
            const Vec3 n = Normalise({nx, ny, 1.0});
            const double lambert = n.x * kLight.x + n.y * kLight.y + n.z * kLight.z;
            const double specular =
                std::pow(std::max(0.0, n.x * kHalf.x + n.y * kHalf.y + n.z * kHalf.z), 40);
            double tone = s.base + (lambert - flat) * s.gain;
            int t = static_cast<int>(std::floor(tone + 0.5));
            t = std::clamp(t, 1, 5);
            if (s.glint && specular > 0.8) t = 6;
            c.Put(x, y, ramp[static_cast<std::size_t>(t)]);
        }
    }
    if (!s.outline) return;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!part(x, y)) continue;
            const bool up = !part(x, y - 1);
            const bool left = !part(x - 1, y);
            const bool down = !part(x, y + 1);
            const bool right = !part(x + 1, y);
            if (!(up || left || down || right)) continue;
            // The rim facing the light keeps a dark but coloured edge; the
            // rim in shadow takes the darkest tone.
            c.Put(x, y, (down || right) ? ramp[0] : ramp[1]);
        }
    }
}

// A radial glow: stops from the core outwards, each taking an equal ring.
void Glow(Canvas& c, double cx, double cy, double rx, double ry, const std::vector<Rgb>& stops,
          const Region* clip = nullptr) {
    const int x0 = static_cast<int>(std::floor(cx - rx));
    const int x1 = static_cast<int>(std::ceil(cx + rx));
    const int y0 = static_cast<int>(std::floor(cy - ry));
    const int y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (clip != nullptr && !(*clip)(x, y)) continue;
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r > 1.0) continue;
            const std::size_t k =
                std::min(stops.size() - 1, static_cast<std::size_t>(r * stops.size()));
            c.Put(x, y, stops[k]);
        }
    }
}

// A flame pointing along the x axis: full width at the nozzle (x = from),
// narrowing to a point at x = to.
void Flame(Canvas& c, double from, double to, double cy, double half,
           const std::vector<Rgb>& stops) {
    const int xa = static_cast<int>(std::floor(std::min(from, to)));
    const int xb = static_cast<int>(std::ceil(std::max(from, to)));
    for (int x = xa; x <= xb; ++x) {
        const double t = std::clamp((x + 0.5 - from) / (to - from), 0.0, 1.0);
        if (t >= 1.0) continue;
        const double hw = half * std::sqrt(1.0 - t);
        for (int y = static_cast<int>(std::floor(cy - hw));
             y <= static_cast<int>(std::ceil(cy + hw)); ++y) {
            const double v = std::abs(y + 0.5 - cy) / hw;
            if (v > 1.0) continue;
            const double r = std::max(v, t * 0.95);
            const std::size_t k =
                std::min(stops.size() - 1, static_cast<std::size_t>(r * stops.size()));
            c.Put(x, y, stops[k]);
        }
    }
}

// A lamp: a bright pixel block with a softer halo painted onto the hull.
void Lamp(Canvas& c, int x, int y, Rgb col, int size = 1, bool halo = true) {
    if (halo) {
        for (int yy = y - 1; yy <= y + size; ++yy)
            for (int xx = x - 1; xx <= x + size; ++xx)
                if (c.Solid(xx, yy)) c.Paint(xx, yy, Mix(c.Get(xx, yy), col, 0.45));
    }
    for (int yy = y; yy < y + size; ++yy)
        for (int xx = x; xx < x + size; ++xx) c.Put(xx, yy, col);
    c.Put(x, y, Mix(col, kWhite, 0.6));
}

// A 3 x 5 pixel font for the few words painted on the hulls.
const std::map<char, std::array<const char*, 5>>& Font() {
    static const std::map<char, std::array<const char*, 5>> font = {
        {'A', {"###", "#.#", "###", "#.#", "#.#"}}, {'C', {"###", "#..", "#..", "#..", "###"}},
        {'E', {"###", "#..", "##.", "#..", "###"}}, {'G', {"###", "#..", "#.#", "#.#", "###"}},
        {'I', {"###", ".#.", ".#.", ".#.", "###"}}, {'L', {"#..", "#..", "#..", "#..", "###"}},
        {'N', {"##.", "#.#", "#.#", "#.#", "#.#"}}, {'O', {"###", "#.#", "#.#", "#.#", "###"}},
        {'R', {"##.", "#.#", "##.", "#.#", "#.#"}}, {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
        {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}}, {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
        {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
        {'7', {"###", "..#", ".#.", ".#.", ".#."}}, {'-', {"...", "...", "###", "...", "..."}},
        {' ', {"...", "...", "...", "...", "..."}}};
    return font;
}

// Paints text onto the hull (only on shape pixels), each font pixel a
// scale x scale block, with a dark drop shadow so it reads on any tone.
void Text(Canvas& c, int x, int y, const std::string& s, int scale, Rgb col) {
    for (int pass = 0; pass < 2; ++pass) {
        int cx = x;
        for (char ch : s) {
            const auto it = Font().find(ch);
            if (it != Font().end()) {
                for (int row = 0; row < 5; ++row) {
                    for (int k = 0; k < 3; ++k) {
                        if (it->second[static_cast<std::size_t>(row)][k] != '#') continue;
                        for (int yy = 0; yy < scale; ++yy) {
                            for (int xx = 0; xx < scale; ++xx) {
                                const int px = cx + k * scale + xx + (pass == 0 ? 1 : 0);
                                const int py = y + row * scale + yy + (pass == 0 ? 1 : 0);
                                if (pass == 0)
                                    c.Shade(px, py, 0.55);
                                else
                                    c.Paint(px, py, col);
                            }
                        }
                    }
                }
            }
            cx += 4 * scale;
        }
    }
}

// Common materials.
const Ramp& Glass() {
    static const Ramp r = [] {
        Ramp g = MakeRamp({70, 200, 170});
        g[0] = {14, 40, 48};
        g[6] = {235, 255, 250};
        return g;
    }();
    return r;
}

// Engine flame colours, from the core out.
const std::vector<Rgb> kFlameOrange = {
    {255, 255, 235}, {255, 228, 150}, {255, 170, 60}, {240, 100, 30}, {170, 50, 30}};
const std::vector<Rgb> kFlameBlue = {
    {250, 255, 255}, {190, 235, 255}, {110, 170, 255}, {70, 100, 230}, {45, 55, 160}};
const std::vector<Rgb> kFlameGreen = {
    {245, 255, 235}, {180, 255, 150}, {90, 220, 90}, {40, 150, 60}};
const std::vector<Rgb> kFlameViolet = {
    {255, 245, 255}, {235, 180, 255}, {190, 110, 250}, {120, 60, 190}};
const std::vector<Rgb> kFlameRed = {{255, 240, 220}, {255, 170, 120}, {240, 70, 50}, {160, 30, 40}};

// ---------------------------------------------------------------------------
// The player's ship: a white and silver delta fighter with orange trim, a
// green canopy and three engines glowing at its tail. Nose to the right.

Canvas PlayerShip() {
    const int W = kShipWidth, H = kShipHeight;
    Canvas c(W, H);
    const Ramp hull = MakeRamp({200, 206, 214});
    const Ramp wing = MakeRamp({168, 174, 188});
    const Ramp trim = MakeRamp({236, 138, 36});
    const Ramp dark = MakeRamp({92, 98, 116});

    // Swept wings behind the fuselage.
    const Path wingTop = {{31, 13}, {13, 1}, {6, 1}, {5, 3}, {9, 13}};
    Region wings = Polygon(W, H, wingTop);
    wings |= Polygon(W, H, FlipY(wingTop, 16));
    ShadePart(c, wings, wing, {.bevel = 2.0, .curve = Curve::Flat});
    // Orange wing tips.
    Region tips = Polygon(W, H, {{16.5, 3.2}, {13, 1}, {6, 1}, {5, 3}, {6.5, 4.6}});
    tips |= Polygon(W, H, FlipY({{16.5, 3.2}, {13, 1}, {6, 1}, {5, 3}, {6.5, 4.6}}, 16));
    ShadePart(c, tips, trim, {.bevel = 1.5, .curve = Curve::Flat});

    // Engine pods on the wings.
    Region pods = Rect(W, H, 6, 6, 18, 9);
    pods |= Rect(W, H, 6, 22, 18, 25);
    ShadePart(c, pods, dark, {.bevel = 1.5, .curve = Curve::Tube, .curve_strength = 1.2});

    // Fuselage, nose at the right edge.
    const Path body = MirrorY({{5, 16}, {6, 10.5}, {14, 9.5}, {28, 10}, {37, 12}, {47, 16}}, 16);
    Region fuselage = Polygon(W, H, body);
    ShadePart(c, fuselage, hull, {.bevel = 2.5, .curve = Curve::Tube, .curve_strength = 1.1});

    // Orange racing stripe along the lower flank and panel lines.
    PaintLine(c, 12, 19, 38, 19, trim[3]);
    PaintLine(c, 12, 20, 36, 20, trim[2]);
    Seam(c, 20, 11, 20, 21);
    Seam(c, 11, 11, 11, 21);
    // Canopy.
    Region canopy = Ellipse(W, H, 33.5, 14.2, 6.5, 2.9);
    canopy &= fuselage;
    ShadePart(c, canopy, Glass(), {.bevel = 1.5, .curve = Curve::Dome, .curve_strength = 1.2});
    c.Put(31, 13, Glass()[6]);
    c.Put(32, 13, Glass()[5]);
    // Nozzles and the engine glow on the left.
    for (int y : {7, 8, 23, 24}) c.Put(5, y, dark[1]);
    for (int y = 12; y <= 19; ++y) c.Put(4, y, dark[1]);
    Flame(c, 4, -2.5, 16, 3.8, kFlameOrange);
    Flame(c, 5, 0.0, 7.5, 2.2, kFlameOrange);
    Flame(c, 5, 0.0, 24.5, 2.2, kFlameOrange);
    // Running lights on the wing tips.
    Lamp(c, 8, 2, {120, 255, 140}, 1, false);
    Lamp(c, 8, 29, {120, 255, 140}, 1, false);
    return c;
}

// ---------------------------------------------------------------------------
// Enemies. Each type has its own hull colour and silhouette.

// Type 1: green mantis fighter with forward claws, nose left.
Canvas Enemy1() {
    const int W = kEnemyWidths[1], H = kEnemyHeights[1];
    Canvas c(W, H);
    const Ramp green = MakeRamp({74, 184, 66});
    const Ramp dark = MakeRamp({40, 96, 52});
    // Back-swept wings reaching the tail corners.
    const Path wingTop = {{26, 12}, {42, 0.5}, {50, 0.5}, {47, 6}, {41, 13}};
    Region wings = Polygon(W, H, wingTop);
    wings |= Polygon(W, H, FlipY(wingTop, 16));
    ShadePart(c, wings, dark, {.bevel = 2.0, .curve = Curve::Flat});
    // Claws reaching forward.
    const Path clawTop = {{22, 11}, {12, 4}, {3, 3}, {1, 5}, {9, 7.5}, {17, 13}};
    Region claws = Polygon(W, H, clawTop);
    claws |= Polygon(W, H, FlipY(clawTop, 16));
    ShadePart(c, claws, green, {.bevel = 1.5, .curve = Curve::Flat});
    // Body.
    Region body =
        Polygon(W, H, MirrorY({{4, 16}, {10, 12.5}, {24, 10}, {40, 10.5}, {49, 13}, {49, 16}}, 16));
    ShadePart(c, body, green, {.bevel = 2.5, .curve = Curve::Tube, .curve_strength = 1.1});
    // Segments of the abdomen.
    for (int x : {30, 35, 40, 45}) Seam(c, x, 11, x, 20, 0.6);
    // Compound eye.
    Region eye = Ellipse(W, H, 14, 14.5, 3.5, 2.4);
    ShadePart(c, eye, MakeRamp({220, 40, 50}), {.bevel = 1.0, .curve = Curve::Dome});
    c.Put(13, 13, {255, 200, 200});
    // Wing veins.
    PaintLine(c, 31, 11, 44, 2, green[4]);
    PaintLine(c, 31, 20, 44, 29, green[2]);
    // Engine glow at the tail.
    Flame(c, 49, 53.5, 16, 2.8, kFlameGreen);
    return c;
}

// Type 2: orange pod with one big eye and swept fins.
Canvas Enemy2() {
    const int W = kEnemyWidths[2], H = kEnemyHeights[2];
    Canvas c(W, H);
    const Ramp orange = MakeRamp({248, 146, 40});
    const Ramp dark = MakeRamp({150, 70, 34});
    const Path finTop = {{16, 8}, {28, 0.5}, {35, 0.5}, {32, 6}, {27, 12}};
    Region fins = Polygon(W, H, finTop);
    fins |= Polygon(W, H, FlipY(finTop, 16));
    ShadePart(c, fins, dark, {.bevel = 1.5, .curve = Curve::Flat});
    Region body = Ellipse(W, H, 19, 16, 16.5, 12.5);
    ShadePart(c, body, orange, {.bevel = 3.0, .curve = Curve::Dome, .curve_strength = 1.0});
    // Armour bands.
    for (int x : {22, 28}) Seam(c, x, 4, x, 28, 0.65);
    // Dark visor with the eye.
    Region visor = Ellipse(W, H, 10, 16, 7.5, 7.5);
    visor &= body;
    ShadePart(c, visor, MakeRamp({60, 52, 70}), {.bevel = 1.5, .curve = Curve::Dome});
    Glow(c, 9.5, 16, 4.5, 4.5, {{255, 255, 230}, {170, 255, 120}, {80, 210, 70}, {30, 120, 50}});
    c.Put(8, 14, kWhite);
    // Thruster at the back.
    Region nozzle = Rect(W, H, 33, 12, 35, 19);
    ShadePart(c, nozzle, dark, {.bevel = 1.0, .curve = Curve::Tube});
    Flame(c, 35, 38.5, 16, 3.2, kFlameOrange);
    return c;
}

// Type 3: long purple lancer with a needle nose, tall fins and a row of ports.
Canvas Enemy3() {
    const int W = kEnemyWidths[3], H = kEnemyHeights[3];
    Canvas c(W, H);
    const Ramp purple = MakeRamp({146, 76, 210});
    const Ramp dark = MakeRamp({86, 48, 140});
    const Path finTop = {{58, 10}, {76, 0.5}, {92, 0.5}, {90, 4}, {84, 10}};
    Region fins = Polygon(W, H, finTop);
    fins |= Polygon(W, H, FlipY(finTop, 16));
    // Small canards near the nose.
    const Path canard = {{20, 12}, {28, 5}, {33, 5}, {31, 12}};
    fins |= Polygon(W, H, canard);
    fins |= Polygon(W, H, FlipY(canard, 16));
    ShadePart(c, fins, dark, {.bevel = 1.5, .curve = Curve::Flat});
    Region hull = Polygon(
        W, H,
        MirrorY({{0, 16}, {8, 14}, {22, 11}, {40, 8.5}, {88, 8}, {98, 9.5}, {101, 11}, {101, 16}},
                16));
    ShadePart(c, hull, purple, {.bevel = 2.5, .curve = Curve::Tube, .curve_strength = 1.1});
    // Engine block at the rear.
    Region engine = Rect(W, H, 92, 10, 102, 21);
    ShadePart(c, engine, dark, {.bevel = 1.5, .curve = Curve::Tube, .curve_strength = 1.2});
    for (int y = 12; y <= 19; y += 2) Seam(c, 94, y, 100, y, 0.6);
    Flame(c, 102, 107.5, 13, 2.4, kFlameViolet);
    Flame(c, 102, 107.5, 19, 2.4, kFlameViolet);
    // Panel lines and the row of lit ports.
    for (int x : {24, 44, 64, 84}) Seam(c, x, 9, x, 22, 0.62);
    for (int x = 46; x <= 80; x += 5) {
        c.Paint(x, 16, {250, 220, 255});
        c.Paint(x + 1, 16, {200, 150, 250});
    }
    // Cockpit near the nose.
    Region cockpit = Ellipse(W, H, 16, 14.5, 5, 2.2);
    cockpit &= hull;
    ShadePart(c, cockpit, MakeRamp({240, 120, 210}), {.bevel = 1.0, .curve = Curve::Dome});
    c.Put(14, 13, {255, 230, 250});
    return c;
}

// Type 4: teal arrowhead drone with a glowing core.
Canvas Enemy4() {
    const int W = kEnemyWidths[4], H = kEnemyHeights[4];
    Canvas c(W, H);
    const Ramp teal = MakeRamp({30, 168, 150});
    const Ramp dark = MakeRamp({26, 96, 100});
    Region arrow =
        Polygon(W, H, MirrorY({{0, 16}, {24, 0.5}, {40.5, 0.5}, {31, 12}, {29, 16}}, 16));
    ShadePart(c, arrow, teal, {.bevel = 3.0, .curve = Curve::Flat, .gain = 5.5});
    // Inner plate.
    Region plate = Polygon(W, H, MirrorY({{9, 16}, {24, 6}, {31, 6}, {26, 13}, {24, 16}}, 16));
    ShadePart(c, plate, dark, {.bevel = 1.5, .curve = Curve::Flat});
    // Core.
    Region ring = Ellipse(W, H, 22, 16, 5.5, 5.5);
    ShadePart(c, ring, MakeRamp({170, 180, 190}), {.bevel = 1.5, .curve = Curve::Dome});
    Glow(c, 22, 16, 3.6, 3.6, {{255, 255, 255}, {255, 190, 235}, {235, 90, 190}});
    // Thruster glows at the notched rear.
    Flame(c, 36, 41, 3, 1.8, kFlameGreen);
    Flame(c, 36, 41, 29, 1.8, kFlameGreen);
    Lamp(c, 5, 15, {255, 120, 90}, 2, false);
    return c;
}

// Type 5: red twin-hulled bomber with a dark centre wing.
Canvas Enemy5() {
    const int W = kEnemyWidths[5], H = kEnemyHeights[5];
    Canvas c(W, H);
    const Ramp red = MakeRamp({206, 36, 54});
    const Ramp metal = MakeRamp({112, 112, 128});
    Region wing = Polygon(W, H, MirrorY({{16, 16}, {24, 12}, {66, 12}, {72, 14}, {72, 16}}, 16));
    ShadePart(c, wing, metal, {.bevel = 2.0, .curve = Curve::Tube, .curve_strength = 0.8});
    const Path pod = {{3, 7},  {6, 4},     {14, 1.8},  {66, 1.8},  {76, 2.8},
                      {77, 7}, {76, 11.2}, {66, 12.2}, {14, 12.2}, {6, 10}};
    Region pods = Polygon(W, H, pod);
    pods |= Polygon(W, H, FlipY(pod, 16));
    ShadePart(c, pods, red, {.bevel = 2.0, .curve = Curve::Tube, .curve_strength = 1.2});
    for (int x : {20, 34, 48, 62}) {
        Seam(c, x, 2, x, 12, 0.6);
        Seam(c, x, 20, x, 30, 0.6);
    }
    // Bomb bay hatches on the centre wing.
    for (int x = 30; x <= 58; x += 7) {
        ShadeRect(c, x, 14, x + 4, 17, 0.7);
        c.Paint(x + 2, 15, {255, 140, 60});
    }
    // Gunner's bubble at the front of each pod.
    for (double cy : {6.5, 25.5}) {
        Region bubble = Ellipse(W, H, 11, cy, 3.5, 2.5);
        ShadePart(c, bubble, MakeRamp({250, 170, 70}), {.bevel = 1.0, .curve = Curve::Dome});
        c.Put(10, static_cast<int>(cy) - 1, {255, 240, 200});
    }
    Flame(c, 77, 84.5, 7, 3.2, kFlameOrange);
    Flame(c, 77, 84.5, 25, 3.2, kFlameOrange);
    return c;
}

// Type 6: golden crescent with horns reaching forward around a plasma orb.
Canvas Enemy6() {
    const int W = kEnemyWidths[6], H = kEnemyHeights[6];
    Canvas c(W, H);
    const Ramp gold = MakeRamp({218, 168, 52});
    Region crescent = Ellipse(W, H, 34, 16, 20, 16);
    crescent -= Ellipse(W, H, 16, 16, 15, 10.5);
    // Horns curving forward to sharp tips.
    const Path horn = {{28, 1.2}, {17, 1.0}, {7, 2.6}, {2, 5.5}, {10, 5.4}, {18, 7.0}, {26, 9.0}};
    crescent |= Polygon(W, H, horn);
    crescent |= Polygon(W, H, FlipY(horn, 16));
    ShadePart(c, crescent, gold, {.bevel = 3.0, .curve = Curve::Dome, .curve_strength = 0.55});
    // Ribs along the crescent.
    for (int k = 0; k < 7; ++k) {
        const double a = -1.25 + k * (2.5 / 6.0);
        const int x0 = static_cast<int>(std::lround(33 - 18.5 * std::cos(a)));
        const int y0 = static_cast<int>(std::lround(16 + 14.5 * std::sin(a)));
        const int x1 = static_cast<int>(std::lround(33 - 13.5 * std::cos(a) * 1.2));
        const int y1 = static_cast<int>(std::lround(16 + 10.5 * std::sin(a)));
        Seam(c, x0, y0, x1, y1, 0.65);
    }
    // The orb held between the horns, on a short stalk.
    Region stalk = Rect(W, H, 25, 14, 33, 17);
    ShadePart(c, stalk, MakeRamp({120, 100, 70}), {.bevel = 1.0, .curve = Curve::Tube});
    Glow(c, 22, 16, 6.5, 6.5,
         {{255, 255, 255}, {255, 220, 250}, {250, 150, 230}, {200, 80, 200}, {120, 40, 150}});
    Flame(c, 52, 54.5, 16, 2.5, kFlameOrange);
    return c;
}

// Type 7: magenta beetle rocket climbing upwards, nose at the top.
Canvas Enemy7() {
    const int W = kEnemyWidths[7], H = kEnemyHeights[7];
    Canvas c(W, H);
    const Ramp mag = MakeRamp({214, 58, 178});
    const Ramp dark = MakeRamp({120, 40, 110});
    const double ax = W / 2.0;
    // Wings swept down to the lower corners.
    const Path wingLeft = {{17, 7}, {2, 18}, {0.5, 27}, {3, 30}, {17, 25.5}};
    Region wings = Polygon(W, H, wingLeft);
    wings |= Polygon(W, H, FlipX(wingLeft, ax));
    ShadePart(c, wings, dark, {.bevel = 2.0, .curve = Curve::Flat});
    // Body from nose to tail.
    Region body = Polygon(
        W, H, MirrorX({{ax, 0}, {18.5, 5}, {15, 14}, {15.5, 24}, {17.5, 28.5}, {ax, 28.5}}, ax));
    ShadePart(c, body, mag, {.bevel = 2.5, .curve = Curve::Column, .curve_strength = 1.1});
    // Wing shell plates (beetle elytra).
    const Path shell = {{17, 12}, {9, 19}, {7, 24}, {16, 22}};
    Region shells = Polygon(W, H, shell);
    shells |= Polygon(W, H, FlipX(shell, ax));
    ShadePart(c, shells, mag, {.bevel = 1.5, .curve = Curve::Flat, .base = 3.5});
    for (int y : {12, 18, 23}) Seam(c, 17, y, 27, y, 0.62);
    // Cockpit.
    Region cockpit = Ellipse(W, H, ax, 7.5, 2.5, 3.5);
    ShadePart(c, cockpit, Glass(), {.bevel = 1.0, .curve = Curve::Dome});
    c.Put(21, 6, Glass()[6]);
    // Engines underneath.
    for (int x = 19; x <= 25; ++x) c.Put(x, 28, dark[1]);
    for (double fx : {19.5, 25.5}) {
        for (int y = 29; y < 32; ++y) {
            const int k = y - 29;
            c.Put(static_cast<int>(fx) - 1, y, kFlameOrange[static_cast<std::size_t>(1 + k)]);
            c.Put(static_cast<int>(fx), y, kFlameOrange[static_cast<std::size_t>(k)]);
        }
    }
    Lamp(c, 2, 27, {255, 200, 120}, 1, false);
    Lamp(c, 42, 27, {255, 200, 120}, 1, false);
    return c;
}

// Type 8: blue shark gunship flying right, jaws at the nose.
Canvas Enemy8() {
    const int W = kEnemyWidths[8], H = kEnemyHeights[8];
    Canvas c(W, H);
    const Ramp blue = MakeRamp({62, 98, 226});
    const Ramp belly = MakeRamp({186, 196, 214});
    // Dorsal fin and tail fins.
    Region fins = Polygon(W, H, {{19, 10}, {15, 0.5}, {21, 0.5}, {31, 10}});
    fins |= Polygon(W, H, {{2, 13}, {0.5, 1.5}, {5, 1.5}, {12, 12}});
    fins |= Polygon(W, H, {{2, 19}, {0.5, 30.5}, {5, 30.5}, {12, 20}});
    fins |= Polygon(W, H, {{24, 21}, {20, 29.5}, {26, 29.5}, {33, 21}});
    ShadePart(c, fins, blue, {.bevel = 1.5, .curve = Curve::Flat, .base = 2.6});
    Region body = Polygon(W, H,
                          {{3, 16},
                           {8, 12},
                           {20, 9},
                           {36, 9.5},
                           {46, 12},
                           {51, 16.5},
                           {46, 20},
                           {36, 22.5},
                           {20, 23},
                           {8, 20}});
    ShadePart(c, body, blue, {.bevel = 2.5, .curve = Curve::Tube, .curve_strength = 1.1});
    // Pale belly.
    Region under = Polygon(
        W, H, {{14, 19.5}, {36, 19}, {48, 17.5}, {46, 20}, {36, 22.5}, {20, 23}, {11, 20.5}});
    under &= body;
    ShadePart(c, under, belly, {.bevel = 1.0, .curve = Curve::Tube, .outline = false});
    // Jaws with teeth, gill slits and an eye.
    PaintLine(c, 40, 17, 50, 17, {30, 20, 50});
    for (int x = 41; x <= 49; x += 2) {
        c.Paint(x, 16, kWhite);
        c.Paint(x + 1, 18, {230, 230, 240});
    }
    for (int x : {27, 30, 33}) Seam(c, x, 13, x - 1, 18, 0.55);
    Lamp(c, 42, 13, {255, 70, 60}, 2, false);
    c.Put(42, 13, {255, 230, 210});
    Flame(c, 4, -1.5, 16, 2.5, kFlameBlue);
    return c;
}

// Type 9: a small coral-pink spiked mine with a burning core.
Canvas Enemy9() {
    const int W = kEnemyWidths[9], H = kEnemyHeights[9];
    Canvas c(W, H);
    const Ramp coral = MakeRamp({240, 96, 120});
    const Ramp steel = MakeRamp({150, 150, 170});
    const double cx = 8.5, cy = 7.5;
    Region spikes(W, H);
    for (int k = 0; k < 8; ++k) {
        const double a = k * 3.14159265358979 / 4;
        const double rx = 8.6, ry = 7.6;
        const double tx = cx + rx * std::cos(a), ty = cy + ry * std::sin(a);
        const double px = -std::sin(a) * 2.1, py = std::cos(a) * 2.1;
        spikes |= Polygon(W, H, {{cx + px, cy + py}, {tx, ty}, {cx - px, cy - py}});
    }
    ShadePart(c, spikes, steel, {.bevel = 1.0, .curve = Curve::Flat, .outline = false});
    Region ball = Ellipse(W, H, cx, cy, 6.1, 5.6);
    ShadePart(c, ball, coral, {.bevel = 2.0, .curve = Curve::Dome, .curve_strength = 1.1});
    Glow(c, cx, cy, 2.0, 2.0, {{255, 255, 240}, {255, 150, 90}});
    return c;
}

// Type 10: a tall ice-white chevron sentinel with a red eye, pointing left.
Canvas Enemy10() {
    const int W = kEnemyWidths[10], H = kEnemyHeights[10];
    Canvas c(W, H);
    const Ramp ice = MakeRamp({184, 198, 222});
    const Ramp dark = MakeRamp({96, 104, 138});
    // The two arms of the chevron.
    const Path armTop = {{5, 25}, {35, 0.5}, {49, 0.5}, {54.5, 3}, {45, 11.5}, {28, 27}};
    Region arms = Polygon(W, H, armTop);
    arms |= Polygon(W, H, FlipY(armTop, 28));
    ShadePart(c, arms, ice, {.bevel = 3.0, .curve = Curve::Flat, .gain = 5.5});
    // Armour segments along the arms.
    for (int k = 0; k < 4; ++k) {
        const int x = 18 + k * 8;
        Seam(c, x + 4, 13 - k * 5 + 4, x + 10, 19 - k * 5 + 4, 0.6);
        Seam(c, x + 4, 42 + k * 5 - 4, x + 10, 36 + k * 5 - 4, 0.6);
    }
    // Wing tip lanterns.
    Lamp(c, 47, 2, {255, 110, 90}, 2, false);
    Lamp(c, 47, 52, {255, 110, 90}, 2, false);
    // Central pod.
    Region pod = Ellipse(W, H, 26, 28, 17, 10.5);
    ShadePart(c, pod, dark, {.bevel = 2.5, .curve = Curve::Dome, .curve_strength = 0.9});
    Region brow = Polygon(W, H, MirrorY({{9, 28}, {14, 21}, {26, 18.5}, {22, 24}, {20, 28}}, 28));
    ShadePart(c, brow, ice, {.bevel = 1.5, .curve = Curve::Flat});
    // The eye.
    Glow(c, 15, 28, 4.5, 3.5, {{255, 250, 230}, {255, 150, 110}, {235, 60, 50}, {130, 30, 40}});
    // Prong ahead of the eye.
    Region prong = Polygon(W, H, {{0.5, 28}, {8, 25.5}, {10, 28}, {8, 30.5}});
    ShadePart(c, prong, ice, {.bevel = 1.0, .curve = Curve::Tube});
    // Vents and engine glow at the back of the pod.
    for (int y = 24; y <= 32; y += 2) Seam(c, 34, y, 40, y, 0.6);
    Flame(c, 42, 55.5, 28, 4.5, kFlameViolet);
    return c;
}

// Type 11: the armoured gunship of the final wave, three cannons forward.
Canvas Enemy11() {
    const int W = kEnemyWidths[11], H = kEnemyHeights[11];
    Canvas c(W, H);
    const Ramp steel = MakeRamp({118, 118, 138});
    const Ramp armour = MakeRamp({84, 86, 104});
    const Ramp red = MakeRamp({214, 36, 44});
    // Cannon barrels reaching to the front edge.
    Region barrels(W, H);
    for (int y : {9, 22, 35}) FillRect(barrels, 0, y, 16, y + 3);
    ShadePart(c, barrels, steel, {.bevel = 1.0, .curve = Curve::Tube, .curve_strength = 1.4});
    Region mounts(W, H);
    for (int y : {7, 20, 33}) FillRect(mounts, 8, y, 14, y + 7);
    ShadePart(c, mounts, armour, {.bevel = 1.0, .curve = Curve::Tube});
    // Muzzle rings glowing red.
    for (int y : {9, 22, 35}) {
        for (int k = 0; k < 4; ++k) c.Put(0, y + k, red[(k == 1 || k == 2) ? 5 : 3]);
        c.Put(1, y + 1, red[2]);
        c.Put(1, y + 2, red[2]);
    }
    // The hull: an angular armoured block.
    Region hull =
        Polygon(W, H, MirrorY({{12, 24}, {14, 8}, {22, 2}, {44, 1}, {52, 6}, {52, 24}}, 24));
    ShadePart(c, hull, steel, {.bevel = 3.0, .curve = Curve::Tube, .curve_strength = 0.7});
    // Layered armour plates.
    const Path plateTop = {{17, 9}, {23, 4.5}, {42, 4}, {46, 8}, {46, 14}, {17, 14}};
    Region plates = Polygon(W, H, plateTop);
    plates |= Polygon(W, H, FlipY(plateTop, 24));
    ShadePart(c, plates, armour, {.bevel = 2.0, .curve = Curve::Flat});
    for (int x : {26, 36}) {
        Seam(c, x, 5, x, 13, 0.6);
        Seam(c, x, 34, x, 42, 0.6);
    }
    // Rivets.
    for (int x = 20; x <= 44; x += 6) {
        c.Paint(x, 16, steel[5]);
        c.Paint(x, 31, steel[5]);
    }
    // The red viewing slit across the front.
    Region slit = Polygon(W, H, {{16, 21}, {34, 21}, {36, 24}, {34, 27}, {16, 27}, {15, 24}});
    ShadePart(c, slit, MakeRamp({40, 20, 30}), {.bevel = 1.0, .curve = Curve::Flat});
    for (int x = 18; x <= 32; ++x) c.Put(x, 24, x % 4 == 0 ? red[6] : red[4]);
    for (int x = 18; x <= 32; ++x) c.Put(x, 23, red[2]);
    // Red warning stripes on the plates.
    for (int x = 30; x <= 44; x += 4) {
        c.Paint(x, 11, red[3]);
        c.Paint(x + 1, 11, red[3]);
        c.Paint(x, 37, red[3]);
        c.Paint(x + 1, 37, red[3]);
    }
    // Engines at the back.
    Region engines(W, H);
    FillRect(engines, 50, 10, 53, 19);
    FillRect(engines, 50, 29, 53, 38);
    ShadePart(c, engines, armour, {.bevel = 1.0, .curve = Curve::Tube, .curve_strength = 1.2});
    Flame(c, 53, 57.5, 14.5, 3.5, kFlameRed);
    Flame(c, 53, 57.5, 33.5, 3.5, kFlameRed);
    return c;
}

// ---------------------------------------------------------------------------
// The energy carrier: a capital ship flying to the left, engines at the
// right, a ventral keel with the lit docking bay in the middle of its belly.

// The lowest row of the docking bay, which is open down to the carrier's lower edge.
constexpr int kBayLastRow = kBayBottom - 1;

Canvas Carrier() {
    const int W = kCarrierWidth, H = kCarrierHeight;
    Canvas c(W, H);
    Rng rng(0xC0FFEEu);
    const Ramp hullRamp = MakeRamp({150, 158, 172});
    const Ramp prowRamp = MakeRamp({120, 128, 146});
    const Ramp darkRamp = MakeRamp({86, 92, 110});
    const Ramp keelRamp = MakeRamp({168, 164, 156});
    const Ramp amber = MakeRamp({240, 170, 40});
    const Rgb windowLit{255, 224, 150};
    const Rgb windowDim{70, 84, 110};

    // Superstructure on the back: the bridge tower and a sensor deck.
    Region bridge =
        Polygon(W, H, {{830, 44}, {862, 16}, {892, 7}, {1012, 7}, {1044, 20}, {1066, 44}});
    Region deck = Polygon(W, H, {{370, 44}, {392, 28}, {520, 28}, {542, 44}});
    ShadePart(c, deck, darkRamp, {.bevel = 4, .curve = Curve::Flat});
    ShadePart(c, bridge, hullRamp, {.bevel = 5, .curve = Curve::Flat});
    // Antenna mast.
    for (int y = 0; y < 8; ++y) c.Put(958, y, darkRamp[y < 2 ? 5 : 3]);
    for (int x = 952; x <= 964; ++x) c.Put(x, 3, darkRamp[2]);
    Lamp(c, 958, 0, {255, 80, 70}, 1, false);

    // Tail fin over the engine section.
    Region fin = Polygon(W, H, {{1108, 44}, {1150, 10}, {1196, 10}, {1222, 44}});
    ShadePart(c, fin, darkRamp, {.bevel = 4, .curve = Curve::Flat});
    for (int x = 1160; x <= 1190; x += 10) Seam(c, x, 14, x, 42, 0.65);
    Lamp(c, 1152, 12, {255, 80, 70}, 2, false);

    // Energy cells slung under the hull: glowing green capsules.
    const Ramp cellRamp = MakeRamp({70, 150, 128});
    for (const auto& [x0, x1] : {std::pair{262, 520}, std::pair{766, 1116}}) {
        for (int x = x0; x + 70 <= x1; x += 74) {
            Region cell = Ellipse(W, H, x + 35, 196, 35, 11);
            ShadePart(c, cell, cellRamp, {.bevel = 3, .curve = Curve::Tube, .curve_strength = 1.0});
            for (int k = 0; k < 3; ++k) {
                const int gx = x + 17 + k * 18;
                for (int y = 190; y <= 203; ++y)
                    c.Paint(gx, y, y == 196 ? Rgb{230, 255, 220} : Rgb{110, 240, 140});
                for (int y = 191; y <= 202; ++y) c.Paint(gx + 1, y, Rgb{60, 170, 100});
            }
        }
    }

    // Main hull, nose to the left.
    const Path hullPath = {{0, 124},   {26, 108},  {80, 84},   {160, 60},   {230, 48},   {300, 42},
                           {1190, 42}, {1226, 50}, {1242, 58}, {1242, 186}, {1226, 192}, {800, 194},
                           {460, 194}, {250, 188}, {140, 176}, {60, 158},   {14, 140}};
    Region hull = Polygon(W, H, hullPath);
    ShadePart(c, hull, hullRamp,
              {.bevel = 8, .curve = Curve::Tube, .curve_strength = 0.55, .gain = 4.0});

    // Armoured prow.
    Region prow = hull;
    prow &= Polygon(W, H, {{0, 0}, {236, 0}, {196, 214}, {0, 214}});
    ShadePart(c, prow, prowRamp,
              {.bevel = 6, .curve = Curve::Tube, .curve_strength = 0.55, .gain = 4.0});
    // Engine section.
    Region aft = hull;
    aft &= Rect(W, H, 1150, 0, W - 1, H - 1);
    ShadePart(c, aft, darkRamp,
              {.bevel = 6, .curve = Curve::Tube, .curve_strength = 0.55, .gain = 4.0});

    // Plating: rows of panels of random width, each a shade lighter or darker.
    const std::vector<int> rows = {42, 62, 84, 106, 130, 152, 174, 196};
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        int x = 236 + rng.Between(0, 40);
        while (x < 1140) {
            const int w = rng.Between(36, 96);
            const double f = 0.94 + rng.Unit() * 0.12;
            const int x1 = std::min(x + w, 1150);
            for (int y = rows[r] + 1; y < rows[r + 1]; ++y)
                for (int xx = x + 1; xx < x1; ++xx)
                    if (hull(xx, y) && !prow(xx, y)) c.Shade(xx, y, f);
            Seam(c, x, rows[r] + 1, x, rows[r + 1] - 1, 0.7);
            if (rng.Between(0, 2) == 0) {  // rivets along the panel's top edge
                for (int xx = x + 4; xx < x1 - 2; xx += 6) c.Shade(xx, rows[r] + 3, 1.25);
            }
            x = x1;
        }
        if (r > 0) {
            for (int xx = 200; xx < 1150; ++xx) {
                c.Shade(xx, rows[r], 0.68);
                c.Shade(xx, rows[r] + 1, 1.12);
            }
        }
    }
    // Prow plates: diagonal seams.
    for (int k = 0; k < 5; ++k) Seam(c, 40 + k * 40, 210, 90 + k * 40, 0, 0.7);
    Seam(c, 236, 0, 196, 213, 0.55);
    Seam(c, 1150, 0, 1150, 213, 0.55);

    // The line's livery: a darker lower hull under an amber stripe that runs
    // from the prow to the engines.
    for (int y = 137; y < H; ++y)
        for (int x = 0; x < 1150; ++x)
            if (hull(x, y)) c.Shade(x, y, 0.8);
    for (int x = 0; x < 1150; ++x) {
        for (int y = 130; y <= 136; ++y) {
            if (!hull(x, y) || !hull(x, y + 2) || !hull(x - 2, y)) continue;
            const int t = y == 130 ? 1 : (y == 131 ? 5 : (y <= 133 ? 4 : (y == 134 ? 3 : 2)));
            c.Paint(x, y, y == 136 ? Scale(amber[1], 0.8) : amber[static_cast<std::size_t>(t)]);
        }
    }
    // Gun turrets along the spine, barrels forward.
    for (int tx : {300, 640, 760}) {
        Region barrels = Rect(W, H, tx - 26, 33, tx - 4, 34);
        barrels |= Rect(W, H, tx - 26, 37, tx - 4, 38);
        ShadePart(c, barrels, darkRamp, {.bevel = 1, .curve = Curve::Flat, .outline = false});
        Region turret = Ellipse(W, H, tx, 43, 14, 10);
        turret -= Rect(W, H, 0, 44, W - 1, H - 1);
        ShadePart(c, turret, hullRamp, {.bevel = 3, .curve = Curve::Dome, .curve_strength = 0.8});
        Lamp(c, tx - 2, 38, {255, 236, 180}, 1, false);
    }

    // Window rows along the hull, some lit.
    for (int wy : {68, 78, 114, 124}) {
        for (int x = 262; x < 1130; x += 7) {
            if ((x / 7 + wy) % 23 < 3) continue;  // gaps between compartments
            if (x > 520 && x < 760 && wy > 100) continue;
            const bool lit = rng.Between(0, 9) < 7;
            const Rgb col = lit ? windowLit : windowDim;
            c.Paint(x, wy, col);
            c.Paint(x + 1, wy, col);
            c.Paint(x, wy + 1, lit ? Mix(col, Rgb{200, 120, 60}, 0.4) : Scale(col, 0.8));
            c.Paint(x + 1, wy + 1, lit ? Mix(col, Rgb{200, 120, 60}, 0.4) : Scale(col, 0.8));
        }
    }
    // Bridge windows and the sensor deck's slots.
    for (int x = 880; x <= 1024; x += 5) {
        for (int y = 19; y <= 21; ++y)
            c.Paint(x, y, y == 19 ? Rgb{220, 250, 255} : Rgb{120, 210, 230});
        for (int y = 19; y <= 21; ++y) c.Paint(x + 1, y, Rgb{100, 180, 210});
    }
    for (int x = 400; x <= 510; x += 10) ShadeRect(c, x, 34, x + 5, 37, 0.6);

    // Hull markings.
    Text(c, 260, 146, "VX-7", 4, {236, 232, 220});
    Text(c, 800, 140, "ENERGY CARRIER", 3, {236, 232, 220});

    // Engines: three bells with blue-white plumes.
    for (int cy : {82, 122, 162}) {
        Region bell = Polygon(
            W, H, {{1236, cy - 15.0}, {1276, cy - 21.0}, {1276, cy + 21.0}, {1236, cy + 15.0}});
        ShadePart(c, bell, darkRamp, {.bevel = 3, .curve = Curve::Tube, .curve_strength = 0.9});
        for (int x = 1244; x <= 1270; x += 6) Seam(c, x, cy - 18, x, cy + 18, 0.6);
        // Hot rim at the mouth.
        for (int y = cy - 20; y <= cy + 20; ++y) {
            c.Put(1276, y, Rgb{130, 170, 255});
            c.Put(1277, y, Rgb{90, 120, 230});
        }
        Flame(c, 1278, 1313.5, cy, 19, kFlameBlue);
    }
    // Vents on the engine section.
    for (int y = 70; y <= 170; y += 8) Seam(c, 1170, y, 1220, y, 0.62);

    // Running lights: red at the bow, and a row along the spine.
    Lamp(c, 4, 124, {255, 80, 70}, 2, false);
    for (int x = 320; x < 1150; x += 60) Lamp(c, x, 45, {255, 236, 180}, 1, false);

    // The ventral keel around the docking bay, reaching the lower edge.
    const int bayMid = (kBayLeft + kBayRight) / 2;
    Region keel = Polygon(W, H,
                          {{bayMid - 132.0, 186},
                           {bayMid - 104.0, 214},
                           {bayMid + 105.0, 214},
                           {bayMid + 133.0, 186}});
    keel |= Rect(W, H, kBayLeft - 20, kBayTop - 14, kBayRight + 20, kBayLastRow);
    ShadePart(c, keel, keelRamp, {.bevel = 4, .curve = Curve::Flat, .gain = 4.0});
    // Hazard stripes along the keel's lower edge.
    for (int x = bayMid - 104; x <= bayMid + 104; ++x) {
        for (int y = 204; y <= 209; ++y) {
            if (!keel(x, y) || (x >= kBayLeft - 20 && x <= kBayRight + 20)) continue;
            const bool stripe = ((x + y) / 5) % 2 == 0;
            c.Paint(x, y, stripe ? amber[3] : Rgb{44, 40, 48});
        }
    }
    // Floodlight on the hull around the opening: the nearer, the brighter.
    for (int y = kBayTop - 30; y <= kBayLastRow; ++y) {
        for (int x = kBayLeft - 30; x <= kBayRight + 30; ++x) {
            const int dx = x < kBayLeft ? kBayLeft - x : (x > kBayRight ? x - kBayRight : 0);
            const int dy = y < kBayTop ? kBayTop - y : 0;
            const int d = std::max(dx, dy);
            if (d == 0 || d > 26) continue;
            c.Shade(x, y, 1.0 + 0.36 * (1.0 - d / 26.0));
        }
    }
    // The lit frame of the opening: amber edge lights and a bright rim.
    const Rgb rim{255, 246, 200};
    for (int y = kBayTop - 4; y <= kBayLastRow; ++y) {
        c.Put(kBayLeft - 1, y, rim);
        c.Put(kBayRight + 1, y, rim);
        c.Put(kBayLeft - 2, y, amber[4]);
        c.Put(kBayRight + 2, y, amber[4]);
        c.Put(kBayLeft - 3, y, amber[2]);
        c.Put(kBayRight + 3, y, amber[2]);
    }
    for (int x = kBayLeft - 3; x <= kBayRight + 3; ++x) {
        c.Put(x, kBayTop - 1, rim);
        c.Put(x, kBayTop - 2, amber[4]);
        c.Put(x, kBayTop - 3, amber[2]);
    }
    // Guide lights down both jambs and across the lintel.
    for (int y = kBayTop + 4; y <= kBayLastRow - 2; y += 8) {
        Lamp(c, kBayLeft - 8, y, {110, 255, 140}, 2);
        Lamp(c, kBayRight + 7, y, {110, 255, 140}, 2);
    }
    for (int x = kBayLeft + 4; x <= kBayRight - 4; x += 10)
        Lamp(c, x, kBayTop - 8, {110, 255, 140}, 2);
    // Chevrons on the keel pointing up into the bay.
    for (int k = 0; k < 3; ++k) {
        for (int side : {-1, 1}) {
            const int cx = side < 0 ? kBayLeft - 36 - k * 22 : kBayRight + 36 + k * 22;
            for (int t = 0; t < 7; ++t) {
                for (int th = 0; th < 2; ++th) {
                    c.Paint(cx - t, 188 + t + th, amber[4]);
                    c.Paint(cx + t, 188 + t + th, amber[4]);
                }
            }
        }
    }
    // Energy sign above the bay: a lightning bolt between two lamps.
    const int sx = bayMid - 8, sy = kBayTop - 44;
    ShadeRect(c, sx - 14, sy - 3, sx + 30, sy + 20, 0.55);
    const Path bolt = {{sx + 10.0, sy + 0.0}, {sx + 2.0, sy + 10.0}, {sx + 8.0, sy + 10.0},
                       {sx + 5.0, sy + 18.0}, {sx + 15.0, sy + 7.0}, {sx + 9.0, sy + 7.0},
                       {sx + 13.0, sy + 0.0}};
    Region boltRegion = Polygon(W, H, bolt);
    ShadePart(c, boltRegion, MakeRamp({255, 196, 60}),
              {.bevel = 1.0, .curve = Curve::Flat, .outline = false});
    Lamp(c, sx - 9, sy + 8, {110, 255, 140}, 3);
    Lamp(c, sx + 24, sy + 8, {110, 255, 140}, 3);

    // The bay itself stays open: no carrier pixel inside it.
    for (int y = kBayTop; y <= kBayLastRow; ++y)
        for (int x = kBayLeft; x <= kBayRight; ++x) c.Erase(x, y);
    return c;
}

// ---------------------------------------------------------------------------
// Key pictures of the help window: a silver key cap with a raised bevel and
// an outlined arrow. `dir` 0 right, 1 left, 2 up, 3 down.

Image KeyPicture(int dir) {
    const int S = kKeyPictureSize;
    Image img(S, S, 0xC0C0C0);
    const std::uint32_t white = 0xFFFFFF, grey = 0x808080, black = 0x000000;
    for (int i = 0; i < S; ++i) {
        img.At(i, 0) = white;
        img.At(0, i) = white;
        img.At(i, 1) = white;
        img.At(1, i) = white;
        img.At(i, S - 1) = black;
        img.At(S - 1, i) = black;
        if (i >= 1) {
            img.At(i, S - 2) = grey;
            img.At(S - 2, i) = grey;
        }
    }
    img.At(0, S - 1) = white;
    img.At(S - 1, 0) = white;
    // The arrow: a triangle drawn pointing right and turned, silver inside
    // with a two-pixel outline, white where it faces the upper left and grey
    // where it faces the lower right, so it stands out from the cap.
    auto turn = [&](P p) -> P {
        switch (dir) {
            case 1:
                return {S - p.x, p.y};
            case 2:
                return {p.y, S - p.x};
            case 3:
                return {p.y, p.x};
            default:
                return p;
        }
    };
    const Region arrow = Polygon(S, S, {turn({9, 6}), turn({9, 26}), turn({24, 16})});
    Region inner = arrow;
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            if (!arrow(x - 1, y) || !arrow(x + 1, y) || !arrow(x, y - 1) || !arrow(x, y + 1))
                inner.Set(x, y, false);
    for (const Region* ring : {&arrow, static_cast<const Region*>(&inner)}) {
        for (int y = 0; y < S; ++y) {
            for (int x = 0; x < S; ++x) {
                const Region& r = *ring;
                if (!r(x, y)) continue;
                const bool lit = !r(x, y - 1) || !r(x - 1, y);
                const bool dark = !r(x, y + 1) || !r(x + 1, y);
                if (lit || dark) img.At(x, y) = lit && !dark ? white : grey;
            }
        }
    }
    return img;
}

std::vector<std::uint8_t> TextBytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// The table delivered with the game: reachable scores for a new pilot.
std::string DeliveredHighScores() {
    const std::pair<int, const char*> table[] = {
        {12000, "Starhawk"},   {10500, "Nebula Nell"}, {9000, "Comet Kid"},    {7500, "Ion Storm"},
        {6000, "Pulsar Pete"}, {4800, "Zed Flux"},     {3600, "Space Noodle"}, {2400, "Rocket Roo"},
        {1200, "Blip"},        {500, "Rookie"}};
    std::string s;
    for (const auto& [score, name] : table) s += std::to_string(score) + ",\"" + name + "\"\r\n";
    return s;
}

void AddSprite(std::vector<ArtFile>& out, const std::string& pictureName,
               const std::string& maskName, const Canvas& c) {
    const auto [picture, mask] = c.Finish();
    out.push_back({pictureName, EncodeBmp24(picture)});
    out.push_back({maskName, EncodeBmp24(mask)});
}

void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const Image& image) {
    const std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) / 4 * 4;
    const std::size_t dataSize = stride * static_cast<std::size_t>(image.height);
    std::vector<std::uint8_t> b(54 + dataSize, 0);
    b[0] = 'B';
    b[1] = 'M';
    PutLe(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    PutLe(b, 10, 54, 4);  // offset of the pixels
    PutLe(b, 14, 40, 4);  // BITMAPINFOHEADER
    PutLe(b, 18, static_cast<std::uint32_t>(image.width), 4);
    PutLe(b, 22, static_cast<std::uint32_t>(image.height), 4);  // positive: bottom-up
    PutLe(b, 26, 1, 2);                                         // planes
    PutLe(b, 28, 24, 2);                                        // bits per pixel
    PutLe(b, 30, 0, 4);                                         // BI_RGB, uncompressed
    PutLe(b, 34, static_cast<std::uint32_t>(dataSize), 4);
    PutLe(b, 38, 2835, 4);  // 72 dpi
    PutLe(b, 42, 2835, 4);
    for (int y = 0; y < image.height; ++y) {
        std::size_t at = 54 + stride * static_cast<std::size_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.At(x, y);
            b[at++] = static_cast<std::uint8_t>(p);
            b[at++] = static_cast<std::uint8_t>(p >> 8);
            b[at++] = static_cast<std::uint8_t>(p >> 16);
        }
    }
    return b;
}

std::vector<ArtFile> MakeArtwork() {
    std::vector<ArtFile> out;
    AddSprite(out, kShipFile, kShipMaskFile, PlayerShip());
    AddSprite(out, kCarrierFile, kCarrierMaskFile, Carrier());
    const std::array<Canvas (*)(), kEnemyTypes> enemies = {
        Enemy1, Enemy2, Enemy3, Enemy4, Enemy5, Enemy6, Enemy7, Enemy8, Enemy9, Enemy10, Enemy11};
    for (int n = 1; n <= kEnemyTypes; ++n)
        AddSprite(out, EnemyShipFile(n), EnemyMaskFile(n),
                  enemies[static_cast<std::size_t>(n - 1)]());
    for (int k = 0; k < 4; ++k) out.push_back({kKeyPictureFiles[k], EncodeBmp24(KeyPicture(k))});
    out.push_back({kHighScoreFileName, TextBytes(DeliveredHighScores())});
    return out;
}

}  // namespace vorlax::art
