// The SDL backend's text and controls: word wrap, fonts through SDL2_ttf, and
// labels, text boxes and picture boxes drawn over a form's image. Controls are
// drawn at the window's scale, and text is rendered at the scaled size rather
// than enlarged, so it stays sharp and readable at every scale.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ranges>
#include <string_view>

#include "platform/builtin_font.h"
#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

namespace vorlax {
namespace {

// Lines of a caption shown without wrapping: only line breaks in the text break.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (const auto part : std::views::split(std::string_view(text), '\n')) {
        std::string_view line(part.begin(), part.end());
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.emplace_back(line);
    }
    if (lines.empty()) lines.emplace_back();  // an empty text is one empty line
    return lines;
}

void WrapParagraph(const std::string& para, int width,
                   const std::function<int(const std::string&)>& measure,
                   std::vector<std::string>& lines) {
    std::string line;
    bool hasWord = false;
    bool firstLine = true;
    std::size_t i = 0;
    const std::size_t n = para.size();
    while (i < n) {
        std::size_t sepStart = i;
        while (i < n && para[i] == ' ') ++i;
        if (i >= n) break;  // blanks at the end of a paragraph show nothing
        std::string sep = para.substr(sepStart, i - sepStart);
        std::size_t wordStart = i;
        while (i < n && para[i] != ' ') ++i;
        std::string word = para.substr(wordStart, i - wordStart);
        if (!hasWord) {
            // Indentation is kept on the paragraph's first line only.
            line = (firstLine ? sep : std::string()) + word;
            hasWord = true;
            continue;
        }
        std::string candidate = line + sep + word;
        if (measure(candidate) <= width) {
            line = std::move(candidate);
        } else {
            lines.push_back(std::move(line));
            firstLine = false;
            line = std::move(word);
        }
    }
    lines.push_back(std::move(line));
}

// Text in an SDL2_ttf font or, when no font file could be opened (`ttf` is
// nullptr), in the built-in bitmap font enlarged to about `pixels`.
struct TextFace {
    TTF_Font* ttf;
    int pixels;

    int Scale() const { return std::max(1, (pixels + 4) / 8); }
    // Lines are stacked a font height apart (ascent plus descent, without
    // the font's extra line gap), as Windows labels stack them.
    int Height() const { return ttf ? TTF_FontHeight(ttf) : builtin_font::kLineRows * Scale(); }
    int Width(const std::string& utf8) const {
        int w = 0, h = 0;
        if (ttf == nullptr)
            return static_cast<int>(builtin_font::Characters(utf8).size()) *
                   builtin_font::kAdvance * Scale();
        return TTF_SizeUTF8(ttf, utf8.c_str(), &w, &h) == 0 ? w : INT_MAX;
    }
    // One line, anti-aliased, with an alpha channel that blends onto whatever is below.
    SDL_Surface* Render(const std::string& utf8, SDL_Color colour) const {
        if (ttf != nullptr) return TTF_RenderUTF8_Blended(ttf, utf8.c_str(), colour);
        const std::string chars = builtin_font::Characters(utf8);
        const int n = Scale();
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(
            0, static_cast<int>(chars.size()) * builtin_font::kAdvance * n, Height(), 32,
            SDL_PIXELFORMAT_ARGB8888);
        if (s == nullptr) return nullptr;
        const Uint32 ink = SDL_MapRGBA(s->format, colour.r, colour.g, colour.b, 255);
        for (std::size_t i = 0; i < chars.size(); ++i) {
            const std::uint8_t* rows = builtin_font::Glyph(chars[i]);
            for (int r = 0; r < builtin_font::kGlyphRows; ++r)
                for (int c = 0; c < builtin_font::kGlyphWidth; ++c) {
                    if ((rows[r] >> (builtin_font::kGlyphWidth - 1 - c) & 1) == 0) continue;
                    const int x = (static_cast<int>(i) * builtin_font::kAdvance + c) * n;
                    SDL_Rect dot{x, r * n, n, n};
                    SDL_FillRect(s, &dot, ink);
                }
        }
        SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
        return s;
    }
};

}  // namespace

namespace sdl {

Uint32 MapColour(const SDL_Surface* target, Colour c) {
    return SDL_MapRGB(target->format, static_cast<Uint8>(RedOf(c)), static_cast<Uint8>(GreenOf(c)),
                      static_cast<Uint8>(BlueOf(c)));
}

SDL_Surface* WrapImage(const Surface& image) {
    if (image.Width() <= 0 || image.Height() <= 0) return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(image.Data()), image.Width(), image.Height(), 32,
        image.Width() * 4, SDL_PIXELFORMAT_XBGR8888);
    if (s != nullptr) SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_NONE);
    return s;
}

}  // namespace sdl

using sdl::DrawScaled;
using sdl::MapColour;
using sdl::ToSdl;

std::vector<std::string> WrapWords(const std::string& text, int width,
                                   const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> lines;
    for (const std::string& para : SplitLines(text)) WrapParagraph(para, width, measure, lines);
    return lines;
}

int AlignedLeft(Align align, int left, int width, int textWidth) {
    switch (align) {
        case Align::Left:
            return left;
        case Align::Centre:
            return left + (width - textWidth) / 2;
        case Align::Right:
            return left + width - textWidth;
    }
    return left;
}

// ---------------------------------------------------------------- caches

SdlPlatform::TextCache::~TextCache() {
    Clear();
}

void SdlPlatform::TextCache::Clear() {
    for (TextLine& line : lines) SDL_FreeSurface(line.surface);
    lines.clear();
    valid = false;
    height = 0;
}

// ---------------------------------------------------------------- fonts and text

void SdlPlatform::SetFontFolders(std::vector<std::string> folders) {
    fontFolders_ = std::move(folders);
    for (auto& [form, window] : windows_)
        for (auto& [control, cache] : window->text) cache->Clear();
    for (auto& [key, font] : fonts_)
        if (font != nullptr) TTF_CloseFont(font);
    fonts_.clear();
    fontWarned_[0] = fontWarned_[1] = false;
}

// `pixels`: the em in window pixels (the font's size at the window's scale).
_TTF_Font* SdlPlatform::GetFont(const Font& font, int pixels) {
    if (pixels <= 0) return nullptr;
    const auto key = std::make_pair(pixels, font.Bold);
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

    const char* file = font.Bold ? "LiberationSans-Bold.ttf" : "LiberationSans-Regular.ttf";
    TTF_Font* opened = nullptr;
    for (const std::string& folder : fontFolders_) {
        // At SDL2_ttf's default 72 DPI the size asked for is the em in pixels.
        opened = TTF_OpenFont((folder + "/" + file).c_str(), pixels);
        if (opened != nullptr) break;
    }
    if (opened == nullptr && !fontWarned_[font.Bold ? 1 : 0]) {
        fontWarned_[font.Bold ? 1 : 0] = true;
        std::string where;
        for (const std::string& folder : fontFolders_)
            where += (where.empty() ? "" : ", ") + folder;
        std::fprintf(stderr,
                     "vorlax: warning: font %s missing or unreadable (looked in %s); text in it "
                     "is drawn in the built-in font\n",
                     file, where.c_str());
    }
    fonts_[key] = opened;  // a failure is remembered too, not retried every frame
    return opened;
}

SdlPlatform::TextCache& SdlPlatform::RenderedText(Window& window, const Control& control,
                                                  const std::string& text, bool wrap,
                                                  const Viewport& view) {
    std::unique_ptr<TextCache>& slot = window.text[&control];
    if (!slot) slot = std::make_unique<TextCache>();
    TextCache& cache = *slot;
    const Font font = control.GetFont();
    const Colour colour = control.ForeColor();
    const int width =
        view.ToWindow(control.Left(), control.Top(), control.Width(), control.Height()).width;
    const int pixels = font.PixelSize() > 0 ? view.FontPixels(font.PixelSize()) : 0;
    if (cache.valid && cache.text == text && cache.font == font && cache.pixels == pixels &&
        cache.colour == colour && cache.width == width && cache.wrap == wrap) {
        return cache;
    }
    cache.Clear();
    cache.text = text;
    cache.font = font;
    cache.pixels = pixels;
    cache.colour = colour;
    cache.width = width;
    cache.wrap = wrap;
    cache.valid = true;

    if (pixels <= 0) return cache;
    const TextFace face{GetFont(font, pixels), pixels};
    cache.height = face.Height();

    std::vector<std::string> lines;
    if (control.Kind() == ControlKind::TextBox) {
        lines.push_back(text);  // a single-line box
    } else if (wrap) {
        lines = WrapWords(text, width, [&face](const std::string& s) { return face.Width(s); });
    } else {
        lines = SplitLines(text);
    }
    const SDL_Color fg{static_cast<Uint8>(RedOf(colour)), static_cast<Uint8>(GreenOf(colour)),
                       static_cast<Uint8>(BlueOf(colour)), 255};
    for (const std::string& line : lines) {
        TextLine rendered;
        if (!line.empty()) {
            rendered.surface = face.Render(line, fg);
            if (rendered.surface != nullptr) rendered.width = rendered.surface->w;
        }
        cache.lines.push_back(rendered);
    }
    return cache;
}

std::string SdlPlatform::WrapText(const Font& font, const std::string& text, int width,
                                  Extent& size) {
    const TextFace face{GetFont(font, font.PixelSize()), font.PixelSize()};
    const std::vector<std::string> lines =
        WrapWords(text, width, [&face](const std::string& s) { return face.Width(s); });
    std::string joined;
    size = {0, face.Height() * static_cast<int>(lines.size())};
    for (const std::string& line : lines) {
        size.width = std::max(size.width, face.Width(line));
        if (&line != &lines.front()) joined += '\n';
        joined += line;
    }
    return joined;
}

// Draws the lines from `top` down, each aligned within `box`, the control in
// window pixels (`margin` pixels kept free at the sides), clipped to `clip`.
void SdlPlatform::DrawText(SDL_Surface* target, const TextCache& text, const Control& control,
                           const PixelRect& box, int top, int margin, const PixelRect& clip) {
    const SDL_Rect c = ToSdl(clip);
    SDL_SetClipRect(target, &c);
    int y = top;
    for (const TextLine& line : text.lines) {
        if (line.surface != nullptr) {
            SDL_Rect dst{AlignedLeft(control.Alignment(), box.x + margin, box.width - 2 * margin,
                                     line.width),
                         y, 0, 0};
            SDL_BlitSurface(line.surface, nullptr, target, &dst);
        }
        y += text.height;
    }
    SDL_SetClipRect(target, nullptr);
}

// A one-line box with one logical pixel of margin at the sides and above.
// Text that fits is aligned as the box says; longer text runs from the left
// and scrolls so that the caret stays in view. `box` is the control in window
// pixels, `clip` the part of it inside the picture.
void SdlPlatform::DrawTextBox(SDL_Surface* target, Window& window, const TextBox& textBox,
                              const Viewport& view, const PixelRect& box, const PixelRect& clip) {
    const SDL_Rect rect = ToSdl(clip);
    SDL_FillRect(target, &rect, MapColour(target, textBox.BackColor()));
    TextCache& text = RenderedText(window, textBox, textBox.Text(), false, view);
    if (text.height <= 0) return;  // text of no size
    const int textWidth = text.lines.empty() ? 0 : text.lines.front().width;
    // A box being edited follows its caret; any other shows its text from the
    // start (its caret stands at the end after its text was set).
    const bool editing = textBox.HasFocus() && textBox.Enabled();
    int caretX = 0;
    if (editing && textBox.Caret() > 0) {
        const TextFace face{GetFont(textBox.GetFont(), text.pixels), text.pixels};
        caretX = std::min(face.Width(textBox.Text().substr(0, textBox.Caret())), textWidth);
    }
    const int margin = view.WindowX(textBox.Left() + 1) - box.x;
    const int viewLeft = box.x + margin;
    const int viewWidth = box.width - 2 * margin;
    text.scroll = editing ? TextScroll(text.scroll, caretX, textWidth, viewWidth) : 0;
    const bool fits = textWidth + 1 <= viewWidth;
    const int left = fits ? AlignedLeft(textBox.Alignment(), viewLeft, viewWidth, textWidth)
                          : viewLeft - text.scroll;
    const int top = view.WindowY(textBox.Top() + 1);

    const PixelRect inside =
        Intersect(clip, PixelRect{viewLeft, box.y, std::max(0, viewWidth), box.height});
    const SDL_Rect textClip = ToSdl(fits ? clip : inside);
    SDL_SetClipRect(target, &textClip);
    if (!text.lines.empty() && text.lines.front().surface != nullptr) {
        SDL_Rect dst{left, top, 0, 0};
        SDL_BlitSurface(text.lines.front().surface, nullptr, target, &dst);
    }
    if (editing) {
        // One logical pixel wide, as tall as the text.
        SDL_Rect caret{left + caretX, top, std::max(1, margin), text.height};
        SDL_FillRect(target, &caret, MapColour(target, textBox.ForeColor()));
    }
    SDL_SetClipRect(target, nullptr);
}

// Positions and sizes are the control's logical pixels placed by `view`;
// nothing is drawn outside the picture (controls kept out of sight stay so).
void SdlPlatform::DrawControl(SDL_Surface* target, Window& window, const Control& control,
                              const Viewport& view, const PixelRect& within) {
    const PixelRect box =
        view.ToWindow(control.Left(), control.Top(), control.Width(), control.Height());
    const PixelRect clip = Intersect(Intersect(box, view.area), within);
    if (clip.Empty()) return;
    const SDL_Rect rect = ToSdl(clip);
    switch (control.Kind()) {
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(control);
            if (!label.Transparent())
                SDL_FillRect(target, &rect, MapColour(target, label.BackColor()));
            const TextCache& text =
                RenderedText(window, label, label.Caption(), label.WordWrap(), view);
            DrawText(target, text, label, box, box.y, 0, clip);
            break;
        }
        case ControlKind::TextBox:
            DrawTextBox(target, window, static_cast<const TextBox&>(control), view, box, clip);
            break;
        case ControlKind::PictureBox: {
            const auto& picture = static_cast<const PictureBox&>(control);
            const Surface& image = picture.Image();
            // The control's size bounds what shows of its image.
            const int w = std::min(image.Width(), control.Width());
            const int h = std::min(image.Height(), control.Height());
            if (w <= 0 || h <= 0) break;
            DrawScaled(target, image, {0, 0, w, h},
                       view.ToWindow(control.Left(), control.Top(), w, h), clip);
            break;
        }
    }
}

}  // namespace vorlax
