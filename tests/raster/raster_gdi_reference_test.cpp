// Replays every recorded GDI call of tests/data/gdi-reference on the software
// raster and compares the result pixel by pixel with the recording. The
// format is described in the README.md next to the recordings; the reader
// here refuses anything not in that shape, and each file must hold all its
// cases, so a damaged or short copy cannot pass.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "raster/raster.h"

namespace vorlax {
namespace {

// Colours the recordings were made with.
constexpr Colour kBackground = 0x302010;
constexpr Colour kPen = 0x00FFFF;
constexpr Colour kBrush = 0xFF8000;

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
    if (!in) throw std::runtime_error(file + ": cannot open the recording");
    std::vector<GdiCase> cases;
    int lineNo = 0;
    std::string line, word;
    auto next = [&](const std::string& what, const std::string& starts) {
        ++lineNo;
        if (!std::getline(in, line) || !line.starts_with(starts))
            throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": expected " + what);
        return std::istringstream(line.substr(starts.size()));
    };
    while (in.peek() != EOF) {
        if (in.peek() == '#' || in.peek() == '\n') {
            std::getline(in, line);
            ++lineNo;
            continue;
        }
        GdiCase c;
        int width = 0, height = 0;
        if (!(next("case NAME WIDTH HEIGHT", "case ") >> c.name >> width >> height))
            throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": bad case line");
        c.line = lineNo;
        c.calls = next("call ...", "call ").str();
        next("changed N ...", "changed ");
        for (auto legend = next("legend C=BBGGRR ...", "legend "); legend >> word;)
            c.legend[word.at(0)] = static_cast<Colour>(std::stoul(word.substr(2), nullptr, 16));
        for (int y = 0; y < height; ++y) {
            next("picture row " + std::to_string(y), "");
            for (char ch : line)
                if (!c.legend.count(ch)) throw std::runtime_error(file + ": no colour for " + ch);
            if (static_cast<int>(line.size()) != width)
                throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": row width");
            c.rows.push_back(line);
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

int Arg(const std::vector<std::string>& args, std::size_t i) {
    return std::stoi(args.at(i));
}

// Runs the case's calls on a fresh surface the way the recorder did;
// `surfaces` are bitblt.txt's destination and sources by name.
Surface Replay(const std::string& file, const GdiCase& c,
               const std::map<std::string, Surface>& surfaces) {
    Surface s = file == "bitblt" ? surfaces.at("dst_initial")
                                 : Surface(static_cast<int>(c.rows[0].size()),
                                           static_cast<int>(c.rows.size()), kBackground);
    const std::map<std::string, std::uint32_t> rops = {
        {"SRCCOPY", SRCCOPY}, {"SRCAND", SRCAND}, {"SRCPAINT", SRCPAINT}, {"BLACKNESS", BLACKNESS}};
    const FillStyle style = file == "ellipse_hollow" ? FillStyle::Transparent : FillStyle::Solid;
    int penX = 0, penY = 0;
    std::istringstream calls(c.calls);
    for (std::string call; std::getline(calls, call, ';');) {
        const auto open = call.find('('), close = call.find(')');
        const auto start = call.find_first_not_of(' ');
        const std::string name = call.substr(start, open - start);
        std::vector<std::string> args;
        std::istringstream list(call.substr(open + 1, close - open - 1));
        for (std::string arg; std::getline(list, arg, ',');)
            args.push_back(arg.substr(arg.find_first_not_of(' ')));
        int ok = 1;
        if (name == "Ellipse") {
            Ellipse(s, Arg(args, 0), Arg(args, 1), Arg(args, 2), Arg(args, 3), kPen, kBrush, style);
        } else if (name == "MoveToEx" || name == "LineTo") {
            if (name == "LineTo") DrawLine(s, penX, penY, Arg(args, 0), Arg(args, 1), kPen);
            penX = Arg(args, 0);
            penY = Arg(args, 1);
        } else if (name == "BitBlt" && args.size() == 9 && rops.count(args[8])) {
            const auto source = surfaces.find("src_" + args[5]);
            ok = BitBlt(s, Arg(args, 1), Arg(args, 2), Arg(args, 3), Arg(args, 4),
                        source == surfaces.end() ? nullptr : &source->second, Arg(args, 6),
                        Arg(args, 7), rops.at(args[8]));
        } else {
            throw std::runtime_error(file + ": cannot replay \"" + c.calls + "\"");
        }
        if (const auto ret = call.find("ret=", close); ret != std::string::npos) {
            EXPECT_EQ(ok, std::stoi(call.substr(ret + 4))) << name << " return value";
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
            std::string got, expected;  // drawn with the case's legend, '?' for other colours
            for (int y = 0; y < actual.Height(); ++y) {
                for (int x = 0; x < actual.Width(); ++x) {
                    char ch = '?';
                    for (const auto& [key, colour] : c.legend)
                        if (colour == actual.Pixel(x, y)) ch = key;
                    got += ch;
                }
                got += '\n';
                expected += c.rows[static_cast<std::size_t>(y)] + '\n';
            }
            EXPECT_EQ(got, expected);
        }
    }
}

}  // namespace
}  // namespace vorlax
