#include "platform/scaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

namespace vorlax {
namespace {

// Rounds up, also for negative numerators (b > 0).
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// The first of `to` window pixels that shows logical pixel `x` of `from`:
// the smallest c with floor((2c + 1) * from / (2 * to)) >= x.
int FirstShowing(int x, int from, int to) {
    if (from <= 0) return 0;
    return static_cast<int>(CeilDiv(2 * std::int64_t{x} * to - from, 2 * std::int64_t{from}));
}

// The source pixel shown by pixel c of `to` window pixels showing `from`.
int ShownBy(int c, int from, int to) {
    return static_cast<int>((2 * std::int64_t{c} + 1) * from / (2 * std::int64_t{to}));
}

}  // namespace

int StartScale(Extent logical, Extent usable) {
    if (logical.width <= 0 || logical.height <= 0) return 1;
    const int across = (usable.width - kDesktopMargin) / logical.width;
    const int down = (usable.height - kDesktopMargin) / logical.height;
    return std::clamp(std::min(across, down), 1, kMaxScale);
}

int FittingScale(int asked, Extent logical, Extent usable) {
    if (usable.width <= 0 || usable.height <= 0) return asked;
    return std::min(asked, StartScale(logical, usable));
}

int Viewport::WindowX(int x) const {
    return area.x + FirstShowing(x, logical.width, area.width);
}

int Viewport::WindowY(int y) const {
    return area.y + FirstShowing(y, logical.height, area.height);
}

PixelRect Viewport::ToWindow(int left, int top, int width, int height) const {
    const int x0 = WindowX(left), y0 = WindowY(top);
    return {x0, y0, WindowX(left + width) - x0, WindowY(top + height) - y0};
}

double Viewport::Scale() const {
    if (logical.width <= 0 || logical.height <= 0) return 1.0;
    return std::min(static_cast<double>(area.width) / logical.width,
                    static_cast<double>(area.height) / logical.height);
}

int Viewport::FontPixels(int pixels) const {
    return std::max(1, static_cast<int>(std::lround(pixels * Scale())));
}

Viewport FitPicture(Extent logical, Extent window, bool anyFactor) {
    Viewport view;
    view.logical = logical;
    if (logical.width <= 0 || logical.height <= 0) return view;
    int width = logical.width, height = logical.height;
    if (anyFactor) {
        const double scale =
            std::max(1.0, std::min(static_cast<double>(window.width) / logical.width,
                                   static_cast<double>(window.height) / logical.height));
        // One side meets the window's exactly; rounding must not push it over.
        width =
            std::max(logical.width,
                     std::min(window.width, static_cast<int>(std::lround(logical.width * scale))));
        height = std::max(
            logical.height,
            std::min(window.height, static_cast<int>(std::lround(logical.height * scale))));
    } else {
        const int n =
            std::max(1, std::min(window.width / logical.width, window.height / logical.height));
        width = n * logical.width;
        height = n * logical.height;
    }
    view.area = {std::max(0, (window.width - width) / 2), std::max(0, (window.height - height) / 2),
                 width, height};
    return view;
}

std::vector<PixelRect> Letterbox(const Viewport& view, Extent window) {
    const PixelRect whole{0, 0, window.width, window.height};
    const PixelRect picture = Intersect(view.area, whole);
    std::vector<PixelRect> bands;
    auto add = [&](PixelRect r) {
        r = Intersect(r, whole);
        if (!r.Empty()) bands.push_back(r);
    };
    if (picture.Empty()) {
        add(whole);
        return bands;
    }
    add({0, 0, window.width, picture.y});
    add({0, picture.Bottom(), window.width, window.height - picture.Bottom()});
    add({0, picture.y, picture.x, picture.height});
    add({picture.Right(), picture.y, window.width - picture.Right(), picture.height});
    return bands;
}

namespace {

void ConvertRow(const std::uint32_t* src, std::uint32_t* dst, int count, const PixelLayout& l) {
    if (l.redShift == 16 && l.greenShift == 8 && l.blueShift == 0) {
        // The X server's usual layout: red and blue trade places. Written with
        // fixed shifts, the compiler does several pixels at a time.
        const std::uint32_t opaque = l.opaque;
        for (int i = 0; i < count; ++i) {
            const std::uint32_t p = src[i];
            dst[i] = ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu) | opaque;
        }
        return;
    }
    const int rs = l.redShift, gs = l.greenShift, bs = l.blueShift;
    const std::uint32_t opaque = l.opaque;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t p = src[i];
        dst[i] =
            ((p & 0xFFu) << rs) | (((p >> 8) & 0xFFu) << gs) | (((p >> 16) & 0xFFu) << bs) | opaque;
    }
}

// Each of `count` pixels N times over; N fixed, so the compiler can widen it.
template <int N>
void Repeat(const std::uint32_t* src, std::uint32_t* dst, int count) {
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < N; ++k) dst[i * N + k] = src[i];
}

// One target row of the visible columns `c` showing source row `src`.
// `columns` maps them to source columns (any factor); for a whole factor it is
// empty and the row is converted once and each pixel repeated instead.
void ScaleRow(const std::uint32_t* src, std::uint32_t* dst, const PixelRect& from,
              const PixelRect& to, const PixelRect& c, const std::vector<int>& columns,
              const PixelLayout& l) {
    if (!columns.empty()) {
        for (int i = 0; i < c.width; ++i) {
            const std::uint32_t p = src[columns[static_cast<std::size_t>(i)]];
            dst[i] = ((p & 0xFFu) << l.redShift) | (((p >> 8) & 0xFFu) << l.greenShift) |
                     (((p >> 16) & 0xFFu) << l.blueShift) | l.opaque;
        }
        return;
    }
    const int n = to.width / from.width;
    // The source columns the visible ones show: converted once, each repeated n times.
    const int first = (c.x - to.x) / n, count = (c.Right() - 1 - to.x) / n - first + 1;
    const int skip = c.x - to.x - first * n;  // target columns cut off the first block
    if (n == 1) {
        ConvertRow(src + from.x + first, dst, c.width, l);
        return;
    }
    thread_local std::vector<std::uint32_t> converted, wide;
    converted.resize(static_cast<std::size_t>(count));
    ConvertRow(src + from.x + first, converted.data(), count, l);
    // Straight into the target when the visible columns are whole blocks, as
    // they nearly always are.
    const bool whole = skip == 0 && c.width == count * n;
    if (!whole) wide.resize(static_cast<std::size_t>(count) * n);
    std::uint32_t* out = whole ? dst : wide.data();
    switch (n) {
        case 2:
            Repeat<2>(converted.data(), out, count);
            break;
        case 3:
            Repeat<3>(converted.data(), out, count);
            break;
        case 4:
            Repeat<4>(converted.data(), out, count);
            break;
        default:
            for (int i = 0; i < count; ++i)
                for (int k = 0; k < n; ++k) *out++ = converted[static_cast<std::size_t>(i)];
            break;
    }
    if (!whole) std::memcpy(dst, wide.data() + skip, static_cast<std::size_t>(c.width) * 4);
}

}  // namespace

void ScalePixels(const Surface& image, const PixelRect& from, const PixelTarget& target,
                 const PixelRect& to, const PixelRect& clip) {
    if (from.Empty() || to.Empty() || target.pixels == nullptr) return;
    // Nothing is read from outside the image.
    if (from.x < 0 || from.y < 0 || from.Right() > image.Width() || from.Bottom() > image.Height())
        return;
    const PixelRect c =
        Intersect(Intersect(clip, to), {0, 0, target.size.width, target.size.height});
    if (c.Empty()) return;

    // Which source column each target column shows, worked out once per copy;
    // not needed for a whole factor.
    thread_local std::vector<int> columns;
    columns.clear();
    if (to.width % from.width != 0) {
        columns.resize(static_cast<std::size_t>(c.width));
        for (int i = 0; i < c.width; ++i)
            columns[static_cast<std::size_t>(i)] =
                from.x + ShownBy(c.x + i - to.x, from.width, to.width);
    }

    auto* const base = reinterpret_cast<std::uint8_t*>(target.pixels);
    const std::uint32_t* previous = nullptr;
    int previousRow = -1;
    for (int y = c.y; y < c.Bottom(); ++y) {
        auto* dst =
            reinterpret_cast<std::uint32_t*>(base + static_cast<std::ptrdiff_t>(y) * target.pitch) +
            c.x;
        const int row = from.y + ShownBy(y - to.y, from.height, to.height);
        if (row == previousRow) {
            // The rows of one enlarged pixel are the same: convert once, copy the rest.
            std::memcpy(dst, previous, static_cast<std::size_t>(c.width) * 4);
        } else {
            ScaleRow(image.Row(row), dst, from, to, c, columns, target.layout);
        }
        previous = dst;
        previousRow = row;
    }
}

void ShownPicture::TakeAll(const Surface& now) {
    taken_ = true;
    size_ = {now.Width(), now.Height()};
    seen_ = now.Written();
}

void PrefetchRows(const void* pixels, std::ptrdiff_t pitch, const PixelRect& area) {
    const auto* row = static_cast<const std::uint8_t*>(pixels) + area.y * pitch + area.x * 4;
    for (int y = 0; y < area.height; ++y, row += pitch) __builtin_prefetch(row, 1);
}

void ShownPicture::Prefetch(const Surface& now) const {
    if (!taken_ || !(size_ == Extent{now.Width(), now.Height()})) return;
    // The areas lie on the surface (Surface::Wrote keeps them so).
    for (const PixelRect& area : seen_.areas)
        PrefetchRows(now.Data(), std::ptrdiff_t{size_.width} * 4, area);
}

const std::vector<PixelRect>& ShownPicture::TakeChanges(const Surface& now) {
    changes_.clear();
    const WrittenAreas& written = now.Written();
    const bool same = taken_ && size_ == Extent{now.Width(), now.Height()} && written.known;
    if (same && written.generation == seen_.generation) {
        // Drawn on since: only the areas added.
        changes_.assign(written.areas.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                    seen_.areas.size(), written.areas.size())),
                        written.areas.end());
    } else if (same && seen_.known && written.fill == seen_.fill) {
        // Filled again with the same colour: what was drawn on the old fill
        // is gone, and what was drawn on the new one came.
        changes_.assign(seen_.areas.begin(), seen_.areas.end());
        changes_.insert(changes_.end(), written.areas.begin(), written.areas.end());
    } else {
        TakeAll(now);
        if (size_.width > 0 && size_.height > 0)
            changes_.push_back({0, 0, size_.width, size_.height});
        return changes_;
    }
    seen_ = written;
    // A masked sprite writes its rectangle twice, a ship that stood still
    // wrote the same one on the old fill, and a star's old place lies beside
    // its new one: what is sent comes in fewer pieces, each pixel once or nearly.
    changes_ = MergeNearby(std::move(changes_));
    return changes_;
}

namespace {

bool Above(const PixelRect& a, const PixelRect& b) {
    return std::tie(a.y, a.x) < std::tie(b.y, b.x);
}

// By top edge, then left edge. A frame's rectangles lie within a few hundred
// rows: they are counted out row by row, which costs no comparisons, and then
// the few of each row are put in order.
void SortFromTheTop(std::vector<PixelRect>& rects) {
    if (rects.size() < 2) return;
    const auto [low, high] =
        std::minmax_element(rects.begin(), rects.end(),
                            [](const PixelRect& a, const PixelRect& b) { return a.y < b.y; });
    const std::int64_t rows = std::int64_t{high->y} - low->y + 1;
    if (rows > 4 * static_cast<std::int64_t>(rects.size()) + 1024) {
        std::sort(rects.begin(), rects.end(), Above);
        return;
    }
    const int top = low->y;
    thread_local std::vector<std::uint32_t> start;
    thread_local std::vector<PixelRect> sorted;
    start.assign(static_cast<std::size_t>(rows) + 1, 0);
    for (const PixelRect& r : rects) ++start[static_cast<std::size_t>(r.y - top) + 1];
    for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    sorted.resize(rects.size());
    for (const PixelRect& r : rects) sorted[start[static_cast<std::size_t>(r.y - top)]++] = r;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        for (std::size_t j = i; j > 0 && Above(sorted[j], sorted[j - 1]); --j)
            std::swap(sorted[j], sorted[j - 1]);
    std::copy(sorted.begin(), sorted.end(), rects.begin());
}

}  // namespace

std::vector<PixelRect> MergeNearby(std::vector<PixelRect> rects) {
    // Rectangles that meet or lie close together: those a few apart in
    // order from the top. The joined ones are kept at the front of the same
    // list, `kept` of them so far.
    constexpr std::size_t kLookBack = 8;
    SortFromTheTop(rects);
    const auto area = [](const PixelRect& r) { return std::int64_t{r.width} * r.height; };
    std::size_t kept = 0;
    for (std::size_t next = 0; next < rects.size(); ++next) {
        const PixelRect r = rects[next];
        bool taken = false;
        for (std::size_t i = kept; i-- > kept - std::min(kept, kLookBack);) {
            PixelRect& m = rects[i];
            const PixelRect both = Around(m, r);
            if (area(both) <= area(m) + area(r) + kMergeSlack) {
                m = both;
                taken = true;
                break;
            }
        }
        if (!taken) rects[kept++] = r;
    }
    rects.resize(kept);
    return rects;
}

}  // namespace vorlax
