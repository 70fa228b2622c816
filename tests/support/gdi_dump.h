// Reader for the GDI reference dumps in tests/data/gdi-reference: pixel
// pictures of drawing calls recorded from a GDI implementation, which the
// software raster must reproduce. See the README.md next to the dumps for the
// format; in short, per case:
//
//   case NAME W H
//   call Ellipse(10,10,13,13) ret=1        (or several calls joined by "; ",
//                                           or "call none")
//   changed N [bbox l t r b]
//   legend .=302010 #=00FFFF ...            (character = colour 0xBBGGRR)
//   H rows of W legend characters
//
// Lines starting with '#' between cases are comments.
#pragma once

#include <istream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "raster/raster.h"

namespace vorlax::testing {

// A malformed dump; the message names the source and line.
class GdiDumpError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One recorded call, e.g. BitBlt(dst,6,5,12,10,mask,0,0,SRCAND) ret=1.
struct GdiCall {
    std::string name;               // "Ellipse", "MoveToEx", "LineTo", "BitBlt", ...
    std::vector<std::string> args;  // as written: "-4", "dst", "NULL", "SRCAND"
    std::optional<long> ret;        // the recorded return value, if any

    // Argument i as a whole number; throws GdiDumpError if it is not one.
    int IntArg(std::size_t i) const;
};

struct GdiBox {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

struct GdiCase {
    std::string name;
    int width = 0;
    int height = 0;
    int line = 0;                // line of the "case" header
    std::string callText;        // the text after "call "
    std::vector<GdiCall> calls;  // empty for "call none"
    int changed = 0;             // pixels that differ from the background
    std::optional<GdiBox> bbox;  // absent when nothing changed
    std::map<char, Colour> legend;
    std::vector<std::string> rows;  // `height` rows of `width` legend characters

    Colour At(int x, int y) const { return legend.at(rows[y][x]); }
    Surface ToSurface() const;
};

struct GdiDump {
    std::vector<GdiCase> cases;

    // The case called `name`, or nullptr.
    const GdiCase* Find(std::string_view name) const;
};

// Parses a dump; `source` names it in error messages. The dumps are fixed
// data, so the reader only makes sure a damaged copy cannot pass unnoticed:
// anything not in the shape above throws GdiDumpError with the source, the
// line and what was expected there.
GdiDump ParseGdiDump(std::istream& in, const std::string& source);
// Reads and parses the file at `path`; a missing file is a GdiDumpError too.
GdiDump LoadGdiDump(const std::string& path);

// The first pixel, in row order, where `actual` differs from the case's
// picture (a size mismatch is reported at (-1, -1)).
struct PixelDifference {
    int x = 0;
    int y = 0;
    Colour expected = 0;
    Colour actual = 0;
};
std::optional<PixelDifference> FirstDifference(const GdiCase& expected, const Surface& actual);

// `s` drawn with the case's legend characters, '?' for any other colour:
// for showing a wrong picture next to the expected one.
std::string RenderWithLegend(const Surface& s, const std::map<char, Colour>& legend);

}  // namespace vorlax::testing
