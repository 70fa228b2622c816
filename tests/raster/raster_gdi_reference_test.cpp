// Replays every recorded GDI call of tests/data/gdi-reference on the software
// raster and compares the result pixel by pixel with the recording. The
// format is described in the README.md next to the recordings; the reader
// here refuses anything not in that shape, so a damaged copy cannot pass.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <optional>
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

// One recorded call, e.g. BitBlt(dst,6,5,12,10,mask,0,0,SRCAND) ret=1.
struct GdiCall {
    std::string name;
    std::vector<std::string> args;  // as written: "-4", "dst", "SRCAND"
    std::optional<int> ret;
    int Int(std::size_t i) const { return std::stoi(args.at(i)); }
};

struct GdiCase {
    std::string name, callText;
    int line = 0;
    std::vector<GdiCall> calls;  // none for "call none"
    std::map<char, Colour> legend;
    std::vector<std::string> rows;

    Surface ToSurface() const {
        Surface s(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, legend.at(rows[y][x]));
        return s;
    }
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        if (const auto first = part.find_first_not_of(' '); first != std::string::npos)
            parts.push_back(part.substr(first));
    return parts;
}

std::vector<GdiCase> LoadDump(const std::string& file) {
    std::ifstream in(std::string(VORLAX_TEST_DATA) + "/gdi-reference/" + file + ".txt");
    if (!in) throw std::runtime_error(file + ": cannot open the recording");
    std::vector<GdiCase> cases;
    int lineNo = 0;
    std::string line;
    auto require = [&](bool ok, const std::string& what) {
        if (!ok)
            throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": expected " + what);
    };
    auto next = [&](const std::string& what) {
        require(static_cast<bool>(std::getline(in, line)), what);
        ++lineNo;
        return line;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> head = Split(line, ' ');
        require(head.size() == 4 && head[0] == "case", "case NAME WIDTH HEIGHT");
        GdiCase c;
        c.name = head[1];
        c.line = lineNo;
        const int width = std::stoi(head[2]), height = std::stoi(head[3]);
        require(next("call").starts_with("call "), "call ...");
        c.callText = line.substr(5);
        for (const std::string& one : Split(c.callText == "none" ? "" : c.callText, ';')) {
            const auto open = one.find('('), close = one.find(')');
            require(open != std::string::npos && close > open, "a call NAME(ARGS) [ret=N]");
            GdiCall call{
                one.substr(0, open), Split(one.substr(open + 1, close - open - 1), ','), {}};
            if (const auto ret = one.find("ret=", close); ret != std::string::npos)
                call.ret = std::stoi(one.substr(ret + 4));
            c.calls.push_back(std::move(call));
        }
        require(next("changed").starts_with("changed "), "changed N ...");
        const std::vector<std::string> legend = Split(next("legend"), ' ');
        require(!legend.empty() && legend[0] == "legend", "legend C=BBGGRR ...");
        for (std::size_t i = 1; i < legend.size(); ++i) {
            require(legend[i].size() == 8 && legend[i][1] == '=', "legend C=BBGGRR ...");
            c.legend[legend[i][0]] =
                static_cast<Colour>(std::stoul(legend[i].substr(2), nullptr, 16));
        }
        for (int y = 0; y < height; ++y) {
            c.rows.push_back(next("picture row " + std::to_string(y)));
            require(static_cast<int>(line.size()) == width, std::to_string(width) + " characters");
            for (char ch : line) require(c.legend.count(ch) > 0, "legend characters only");
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

// Each file is read once however many cases use it.
const std::vector<GdiCase>& Dump(const std::string& file) {
    static std::map<std::string, std::vector<GdiCase>> loaded;
    auto it = loaded.find(file);
    if (it == loaded.end()) it = loaded.emplace(file, LoadDump(file)).first;
    return it->second;
}

const GdiCase& Find(const std::string& file, const std::string& name) {
    for (const GdiCase& c : Dump(file))
        if (c.name == name) return c;
    throw std::runtime_error(file + ": no case " + name);
}

// Runs the case's calls on a fresh surface the way the recorder did.
Surface Replay(const std::string& file, const GdiCase& c) {
    Surface s(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size()), kBackground);
    if (file == "bitblt") {
        if (c.calls.empty()) return c.ToSurface();  // one of the three surfaces
        s = Find(file, "dst_initial").ToSurface();
    }
    const std::map<std::string, std::uint32_t> rops = {
        {"SRCCOPY", SRCCOPY}, {"SRCAND", SRCAND}, {"SRCPAINT", SRCPAINT}, {"BLACKNESS", BLACKNESS}};
    const FillStyle style = file == "ellipse_hollow" ? FillStyle::Transparent : FillStyle::Solid;
    int penX = 0, penY = 0;
    for (const GdiCall& call : c.calls) {
        int ok = 1;
        if (call.name == "Ellipse") {
            Ellipse(s, call.Int(0), call.Int(1), call.Int(2), call.Int(3), kPen, kBrush, style);
        } else if (call.name == "MoveToEx" || call.name == "LineTo") {
            if (call.name == "LineTo") DrawLine(s, penX, penY, call.Int(0), call.Int(1), kPen);
            penX = call.Int(0);
            penY = call.Int(1);
        } else if (call.name == "BitBlt" && call.args.size() == 9 && rops.count(call.args[8])) {
            const bool named = call.args[5] == "picture" || call.args[5] == "mask";
            const Surface source =
                named ? Find(file, "src_" + call.args[5]).ToSurface() : Surface();
            ok = BitBlt(s, call.Int(1), call.Int(2), call.Int(3), call.Int(4),
                        named ? &source : nullptr, call.Int(6), call.Int(7), rops.at(call.args[8]));
        } else {
            throw std::runtime_error(file + ": cannot replay \"" + c.callText + "\"");
        }
        if (call.ret) {
            EXPECT_EQ(ok, *call.ret) << call.name << " return value";
        }
    }
    return s;
}

struct CaseRef {
    std::string file, name, error;  // no name when the file could not be read, and why
};

void PrintTo(const CaseRef& ref, std::ostream* os) {
    *os << ref.file << "/" << ref.name;
}

std::vector<CaseRef> AllCases() {
    std::vector<CaseRef> refs;
    for (const char* file : {"ellipse_solid", "ellipse_hollow", "line_solid", "bitblt"}) {
        try {
            for (const GdiCase& c : Dump(file)) refs.push_back({file, c.name, ""});
        } catch (const std::exception& e) {
            refs.push_back({file, "", e.what()});
        }
    }
    return refs;
}

class GdiReference : public ::testing::TestWithParam<CaseRef> {};

TEST_P(GdiReference, RasterDrawsTheRecordedPixels) {
    const CaseRef& ref = GetParam();
    ASSERT_TRUE(ref.error.empty()) << ref.error;
    const GdiCase& c = Find(ref.file, ref.name);
    SCOPED_TRACE(ref.file + ".txt line " + std::to_string(c.line) + ": " + c.callText);
    const Surface actual = Replay(ref.file, c);
    std::string got;  // the picture drawn with the case's legend, '?' for any other colour
    for (int y = 0; y < actual.Height(); ++y) {
        for (int x = 0; x < actual.Width(); ++x) {
            char ch = '?';
            for (const auto& [key, colour] : c.legend)
                if (colour == actual.Pixel(x, y)) ch = key;
            got += ch;
        }
        got += '\n';
    }
    std::string expected;
    for (const std::string& row : c.rows) expected += row + '\n';
    EXPECT_EQ(got, expected);
}

std::string CaseTestName(const ::testing::TestParamInfo<CaseRef>& info) {
    std::string name =
        info.param.file + "_" + (info.param.name.empty() ? "unreadable" : info.param.name);
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(AllRecordings, GdiReference, ::testing::ValuesIn(AllCases()),
                         CaseTestName);

// A short copy of the recordings would silently test less.
TEST(GdiReferenceData, EveryFileHasAllItsCases) {
    const std::pair<const char*, std::size_t> files[] = {
        {"ellipse_solid", 95}, {"ellipse_hollow", 95}, {"line_solid", 26}, {"bitblt", 22}};
    for (const auto& [file, count] : files) EXPECT_EQ(Dump(file).size(), count) << file;
}

}  // namespace
}  // namespace vorlax
