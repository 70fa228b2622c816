// Replays every recorded GDI call of tests/data/gdi-reference on the software
// raster and compares the result pixel by pixel with the recording. The
// format is described in the README.md next to the recordings; the reader
// here refuses anything not in that shape, and each file must hold all its
// cases, so a damaged or short copy cannot pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster/raster.h"

namespace vorlax {
namespace {

// One recorded case: its calls as written (e.g. "BitBlt(dst,6,5,12,10,mask,0,0,SRCAND) ret=1"),
// and the picture they drew, one character a pixel, with the colours the characters stand for.
struct GdiCase {
    std::string name, calls;
    int line = 0;
    std::map<char, Colour> legend;
    std::vector<std::string> rows;

    Surface ToSurface() const {
        Surface s(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, legend.at(rows[y][x]));
        return s;
    }
};

std::vector<GdiCase> LoadDump(const std::string& file) {
    std::ifstream in(std::string(VORLAX_TEST_DATA) + "/gdi-reference/" + file + ".txt");
    std::vector<GdiCase> cases;
    int lineNo = 0;
    std::string line, word;
    auto next = [&](const char* starts) {  // the next line, which must begin with `starts`
        ++lineNo;
        if (!std::getline(in, line) || !line.starts_with(starts))
            throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": expected " + starts);
        return std::istringstream(line.substr(std::strlen(starts)));
    };
    while (in && in.peek() != EOF) {
        if (in.peek() == '#' || in.peek() == '\n') {
            next("");
            continue;
        }
        GdiCase c;
        int width = 0, height = 0;
        next("case ") >> c.name >> width >> height;
        c.line = lineNo;
        c.calls = next("call ").str();
        next("changed ");
        for (auto legend = next("legend "); legend >> word;)
            c.legend[word.at(0)] = static_cast<Colour>(std::stoul(word.substr(2), nullptr, 16));
        for (int y = 0; y < height; ++y) {
            next("");
            for (char ch : line)
                if (!c.legend.count(ch) || static_cast<int>(line.size()) != width)
                    throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": bad row");
            c.rows.push_back(line);
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

// Runs the case's calls on a fresh surface the way the recorder did (pen
// 00FFFF, brush FF8000, background 302010); `surfaces` are bitblt.txt's
// destination and sources by name.
Surface Replay(const std::string& file, const GdiCase& c,
               const std::map<std::string, Surface>& surfaces) {
    Surface s = file == "bitblt" ? surfaces.at("dst_initial")
                                 : Surface(static_cast<int>(c.rows[0].size()),
                                           static_cast<int>(c.rows.size()), 0x302010);
    const std::map<std::string, std::uint32_t> rops = {
        {"SRCCOPY", SRCCOPY}, {"SRCAND", SRCAND}, {"SRCPAINT", SRCPAINT}, {"BLACKNESS", BLACKNESS}};
    const FillStyle style = file == "ellipse_hollow" ? FillStyle::Transparent : FillStyle::Solid;
    int penX = 0, penY = 0;
    std::istringstream calls(c.calls);
    for (std::string call; std::getline(calls, call, ';');) {
        int a[6] = {}, ok = 1;
        char source[16] = {}, rop[16] = {};
        if (std::sscanf(call.c_str(), " Ellipse(%d,%d,%d,%d)", &a[0], &a[1], &a[2], &a[3]) == 4) {
            Ellipse(s, a[0], a[1], a[2], a[3], 0x00FFFF, 0xFF8000, style);
        } else if (std::sscanf(call.c_str(), " MoveToEx(%d,%d)", &penX, &penY) == 2) {
        } else if (std::sscanf(call.c_str(), " LineTo(%d,%d)", &a[0], &a[1]) == 2) {
            DrawLine(s, penX, penY, a[0], a[1], 0x00FFFF);
            penX = a[0], penY = a[1];
        } else if (std::sscanf(call.c_str(), " BitBlt(dst,%d,%d,%d,%d,%15[^,],%d,%d,%15[^)])",
                               &a[0], &a[1], &a[2], &a[3], source, &a[4], &a[5], rop) == 8 &&
                   rops.count(rop)) {
            const auto src = surfaces.find(std::string("src_") + source);
            ok = BitBlt(s, a[0], a[1], a[2], a[3], src == surfaces.end() ? nullptr : &src->second,
                        a[4], a[5], rops.at(rop));
        } else {
            throw std::runtime_error(file + ": cannot replay \"" + c.calls + "\"");
        }
        if (const auto ret = call.find(" ret="); ret != std::string::npos) {
            EXPECT_EQ(ok, std::stoi(call.substr(ret + 5))) << call;
        }
    }
    return s;
}

TEST(GdiReference, RasterDrawsTheRecordedPixelsOfEveryCase) {
    const std::pair<const char*, std::size_t> files[] = {
        {"ellipse_solid", 95}, {"ellipse_hollow", 95}, {"line_solid", 26}, {"bitblt", 22}};
    for (const auto& [file, count] : files) {
        const std::vector<GdiCase> cases = LoadDump(file);
        EXPECT_EQ(cases.size(), count) << file;
        std::map<std::string, Surface> surfaces;  // bitblt's cases with no call
        for (const GdiCase& c : cases)
            if (c.calls == "none") surfaces.emplace(c.name, c.ToSurface());
        for (const GdiCase& c : cases) {
            if (c.calls == "none") continue;
            SCOPED_TRACE(std::string(file) + ".txt line " + std::to_string(c.line) + ": " +
                         c.calls);
            const Surface actual = Replay(file, c, surfaces);
            // Each row drawn with the case's legend, '?' for any other colour.
            for (int y = 0; y < actual.Height(); ++y) {
                std::string row(static_cast<std::size_t>(actual.Width()), '?');
                for (const auto& [key, colour] : c.legend)
                    for (int x = 0; x < actual.Width(); ++x)
                        if (actual.Pixel(x, y) == colour) row[static_cast<std::size_t>(x)] = key;
                EXPECT_EQ(row, c.rows[static_cast<std::size_t>(y)]) << "row " << y;
            }
        }
    }
}

}  // namespace
}  // namespace vorlax
