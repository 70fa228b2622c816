// Replays every recorded GDI call of tests/data/gdi-reference on the software
// raster and compares the result pixel by pixel with the recording.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "raster/raster.h"
#include "support/gdi_dump.h"

namespace vorlax::testing {
namespace {

// Colours the recordings were made with (see the README next to them).
constexpr Colour kBackground = 0x302010;
constexpr Colour kPen = 0x00FFFF;
constexpr Colour kBrush = 0xFF8000;

struct DumpFile {
    const char* name;
    int caseCount;
};
constexpr DumpFile kDumpFiles[] = {
    {"ellipse_solid", 95},
    {"ellipse_hollow", 95},
    {"line_solid", 26},
    {"bitblt", 22},
};

std::string DumpPath(const std::string& file) {
    return std::string(VORLAX_TEST_DATA) + "/gdi-reference/" + file + ".txt";
}

// Each file is read once however many cases use it.
const GdiDump& Dump(const std::string& file) {
    static std::map<std::string, GdiDump> loaded;
    auto it = loaded.find(file);
    if (it == loaded.end()) it = loaded.emplace(file, LoadGdiDump(DumpPath(file))).first;
    return it->second;
}

// Runs the case's calls on a fresh surface the way the recorder did.
Surface Replay(const std::string& file, const GdiCase& c) {
    if (file == "bitblt") {
        const GdiDump& dump = Dump(file);
        const GdiCase* initial = dump.Find("dst_initial");
        const GdiCase* picture = dump.Find("src_picture");
        const GdiCase* mask = dump.Find("src_mask");
        if (!initial || !picture || !mask)
            throw GdiDumpError("bitblt: dst_initial, src_picture or src_mask missing");
        if (c.calls.empty()) return c.ToSurface();  // one of the three surfaces
        Surface dst = initial->ToSurface();
        const Surface pictureSurface = picture->ToSurface();
        const Surface maskSurface = mask->ToSurface();
        const std::map<std::string, std::uint32_t> rops = {{"SRCCOPY", SRCCOPY},
                                                           {"SRCAND", SRCAND},
                                                           {"SRCPAINT", SRCPAINT},
                                                           {"BLACKNESS", BLACKNESS}};
        for (const GdiCall& call : c.calls) {
            if (call.name != "BitBlt" || call.args.size() != 9 || call.args[0] != "dst" ||
                !rops.count(call.args[8]))
                throw GdiDumpError("bitblt: cannot replay \"" + c.callText + "\"");
            const std::string& source = call.args[5];
            const Surface* src = source == "picture" ? &pictureSurface
                                 : source == "mask"  ? &maskSurface
                                                     : nullptr;
            const bool ok =
                BitBlt(dst, call.IntArg(1), call.IntArg(2), call.IntArg(3), call.IntArg(4), src,
                       call.IntArg(6), call.IntArg(7), rops.at(call.args[8]));
            if (call.ret) {
                EXPECT_EQ(ok ? 1 : 0, *call.ret) << call.name << " return value";
            }
        }
        return dst;
    }

    Surface s(c.width, c.height, kBackground);
    int penX = 0, penY = 0;
    for (const GdiCall& call : c.calls) {
        if (call.name == "Ellipse" && call.args.size() == 4) {
            const FillStyle style =
                file == "ellipse_hollow" ? FillStyle::Transparent : FillStyle::Solid;
            Ellipse(s, call.IntArg(0), call.IntArg(1), call.IntArg(2), call.IntArg(3), kPen, kBrush,
                    style);
        } else if (call.name == "MoveToEx" && call.args.size() == 2) {
            penX = call.IntArg(0);
            penY = call.IntArg(1);
        } else if (call.name == "LineTo" && call.args.size() == 2) {
            DrawLine(s, penX, penY, call.IntArg(0), call.IntArg(1), kPen);
            penX = call.IntArg(0);
            penY = call.IntArg(1);
        } else {
            throw GdiDumpError(file + ": cannot replay \"" + c.callText + "\"");
        }
    }
    return s;
}

struct CaseRef {
    std::string file;
    std::string name;   // empty when the file could not be read
    std::string error;  // why not
};

void PrintTo(const CaseRef& ref, std::ostream* os) {
    *os << ref.file << "/" << ref.name;
}

std::vector<CaseRef> AllCases() {
    std::vector<CaseRef> refs;
    for (const DumpFile& f : kDumpFiles) {
        try {
            for (const GdiCase& c : Dump(f.name).cases) refs.push_back({f.name, c.name, ""});
        } catch (const std::exception& e) {
            refs.push_back({f.name, "", e.what()});
        }
    }
    return refs;
}

std::string CaseTestName(const ::testing::TestParamInfo<CaseRef>& info) {
    std::string name =
        info.param.file + "_" + (info.param.name.empty() ? "unreadable" : info.param.name);
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

class GdiReference : public ::testing::TestWithParam<CaseRef> {};

TEST_P(GdiReference, RasterDrawsTheRecordedPixels) {
    const CaseRef& ref = GetParam();
    ASSERT_TRUE(ref.error.empty()) << ref.error;
    const GdiCase& c = *Dump(ref.file).Find(ref.name);
    SCOPED_TRACE(ref.file + ".txt line " + std::to_string(c.line) + ": " + c.callText);

    const Surface actual = Replay(ref.file, c);
    const auto diff = FirstDifference(c, actual);
    if (diff) {
        std::ostringstream expectedPicture;
        for (const std::string& row : c.rows) expectedPicture << row << '\n';
        FAIL() << "first differing pixel at (" << diff->x << ", " << diff->y << "): expected "
               << std::hex << diff->expected << ", got " << diff->actual << std::dec
               << "\nexpected:\n"
               << expectedPicture.str() << "got:\n"
               << RenderWithLegend(actual, c.legend);
    }
}

INSTANTIATE_TEST_SUITE_P(AllRecordings, GdiReference, ::testing::ValuesIn(AllCases()),
                         CaseTestName);

// A short or damaged copy of the recordings would silently test less.
TEST(GdiReferenceData, EveryFileHasAllItsCases) {
    for (const DumpFile& f : kDumpFiles) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(static_cast<int>(Dump(f.name).cases.size()), f.caseCount);
    }
}

}  // namespace
}  // namespace vorlax::testing
