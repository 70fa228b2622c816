// A small bitmap font built into the game, for the one text that must be
// seen even when no font file can be opened: the message that says so.
// Printable ASCII in 5 x 9 cells (7 rows above the baseline, 2 below); any
// other character shows as a question mark. Plain C++: no SDL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlax::builtin_font {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphRows = 9;
// Cells are one column and one row wider than the glyphs: the spacing.
inline constexpr int kAdvance = kGlyphWidth + 1;
inline constexpr int kLineRows = kGlyphRows + 1;

// The rows of the glyph of `codePoint`, top first; bit 4 of a row is its
// leftmost pixel.
const std::uint8_t* Glyph(char32_t codePoint);

// The code points of UTF-8 `text`; a malformed byte counts as one U+FFFD.
std::vector<char32_t> CodePoints(const std::string& text);

}  // namespace vorlax::builtin_font
