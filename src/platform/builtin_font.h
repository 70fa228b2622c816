// A small bitmap font built into the game, for the one text that must be
// seen even when no font file can be opened: the message that says so.
// The SDL backend draws text in it when it finds no font file at all.
// Printable ASCII in 5 x 9 cells (7 rows above the baseline, 2 below); any
// other character shows as a question mark. Plain C++: no SDL.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlax::builtin_font {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphRows = 9;
// Cells are one column and one row wider than the glyphs: the spacing.
inline constexpr int kAdvance = kGlyphWidth + 1;
inline constexpr int kLineRows = kGlyphRows + 1;

// The rows of the glyph of ASCII character `c` (a question mark for any
// other), top first; bit 4 of a row is its leftmost pixel.
const std::uint8_t* Glyph(char c);

// UTF-8 `text` one byte a character: ASCII as it is, any other character
// (or a malformed byte) as a question mark.
std::string Characters(std::string_view utf8);

}  // namespace vorlax::builtin_font
