// The delivered artwork and high-score table: the exact file format the game
// loads, the mask and picture rules the masked drawing and the pixel-exact
// collision rely on, the carrier's open bay, and that the committed files are
// what the generator makes today. (How the artwork looks is for the eye and
// the contact sheet, not for a test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "art/artwork.h"
#include "scores/high_score_file.h"

namespace vorlax {
namespace {

namespace art = vorlax::art;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& name) {
    std::ifstream in(std::string(VORLAX_ASSET_DIR) + "/" + name, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

// A decoded bitmap, top row first, pixels as 0xRRGGBB.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Reads a BMP of the artwork, insisting on the one format the game loads:
// BITMAPINFOHEADER, 24 bits, uncompressed, no colour table, bottom-up, rows
// padded with zeros to 4 bytes, the header's sizes agreeing with the file.
// Anything else fails the test.
std::optional<Bitmap> LoadAsset(const std::string& name) {
    const std::vector<std::uint8_t> b = ReadFile(name).value_or(std::vector<std::uint8_t>{});
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        ADD_FAILURE() << name << " is missing from " << VORLAX_ASSET_DIR << " or not a BMP";
        return std::nullopt;
    }
    const auto width = static_cast<std::int32_t>(Le(b, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
    const std::size_t stride = (static_cast<std::size_t>(std::max(width, 0)) * 3 + 3) / 4 * 4;
    const std::size_t data = stride * static_cast<std::size_t>(std::max(height, 0));
    bool ok = width > 0 && height > 0 && b.size() == 54 + data;
    EXPECT_TRUE(ok) << name << ": " << width << " x " << height << " in " << b.size() << " bytes";
    const auto field = [&](std::size_t at, int bytes, std::size_t want, const char* what) {
        EXPECT_EQ(Le(b, at, bytes), want) << name << ": " << what;
        ok = ok && Le(b, at, bytes) == want;
    };
    field(2, 4, b.size(), "file size");
    field(10, 4, 54, "pixel offset");
    field(14, 4, 40, "header size (BITMAPINFOHEADER)");
    field(26, 2, 1, "planes");
    field(28, 2, 24, "bits per pixel");
    field(30, 4, 0, "compression");
    field(34, 4, data, "image size");
    field(46, 4, 0, "colour table size");
    if (!ok) return std::nullopt;
    Bitmap bmp{width, height, {}};
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 54 + stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t p = row + 3 * static_cast<std::size_t>(x);
            bmp.pixels.push_back(static_cast<std::uint32_t>(b[p + 2]) << 16 | b[p + 1] << 8 | b[p]);
        }
        for (std::size_t pad = row + 3 * static_cast<std::size_t>(width); pad < row + stride; ++pad)
            EXPECT_EQ(b[pad], 0) << name << ": row padding of row " << y;
    }
    return bmp;
}

struct SpriteFiles {
    std::string picture;
    std::string mask;
    int width, height;
};

// The names the game loads, with the sizes it draws them at.
std::vector<SpriteFiles> AllSprites() {
    std::vector<SpriteFiles> all = {{"Ship.bmp", "Shipmask.bmp", 47, 32},
                                    {"FuelShip.bmp", "Fuelmask.bmp", 1313, 214}};
    const std::pair<int, int> enemy[] = {{53, 32}, {38, 32}, {107, 32}, {41, 32},
                                         {84, 32}, {54, 32}, {45, 32},  {51, 32},
                                         {17, 15}, {55, 56}, {57, 48}};
    for (int n = 1; n <= 11; ++n)
        all.push_back({"Enemy Ship " + std::to_string(n) + ".bmp",
                       "Enemy Mask " + std::to_string(n) + ".bmp", enemy[n - 1].first,
                       enemy[n - 1].second});
    return all;
}

const char* const kKeyPictures[] = {"Key Right.bmp", "Key Left.bmp", "Key Up.bmp", "Key Down.bmp"};

TEST(Artwork, EverySpriteHasItsSizeMaskRuleAndPictureRule) {
    for (const SpriteFiles& s : AllSprites()) {
        SCOPED_TRACE(s.picture);
        const auto picture = LoadAsset(s.picture);
        const auto mask = LoadAsset(s.mask);
        if (!picture || !mask) continue;
        EXPECT_EQ(picture->width, s.width);
        EXPECT_EQ(picture->height, s.height);
        ASSERT_EQ(mask->width, s.width);
        ASSERT_EQ(mask->height, s.height);
        int solid = 0, badMask = 0, colourOffShape = 0, holes = 0;
        for (std::size_t i = 0; i < mask->pixels.size(); ++i) {
            const std::uint32_t m = mask->pixels[i], p = picture->pixels[i];
            badMask += m != kBlack && m != kWhite;
            colourOffShape += m == kWhite && p != kBlack;
            solid += m == kBlack;
            holes += m == kBlack && p == kBlack;  // would read as a hole in the hull
        }
        EXPECT_EQ(badMask, 0) << "mask pixels neither pure black nor pure white";
        EXPECT_EQ(colourOffShape, 0) << "picture pixels not black where the mask is white";
        EXPECT_EQ(holes, 0) << "pure black pixels on the shape";
        const double fill = static_cast<double>(solid) / static_cast<double>(mask->pixels.size());
        EXPECT_GE(fill, 0.30) << "the shape fills too little of its box for a fair collision";
        EXPECT_LE(fill, 0.90) << "the shape is nearly a box";
    }
}

TEST(Artwork, CarrierBayIsOpenAndFramedByHull) {
    const auto picture = LoadAsset("FuelShip.bmp");
    const auto mask = LoadAsset("Fuelmask.bmp");
    ASSERT_TRUE(picture && mask);
    ASSERT_EQ(mask->height, 214);
    for (int y = 150; y <= 213; ++y) {
        for (int x = 587; x <= 681; ++x) {
            ASSERT_EQ(mask->At(x, y), kWhite) << "bay pixel " << x << "," << y;
            ASSERT_EQ(picture->At(x, y), kBlack) << "bay pixel " << x << "," << y;
        }
        // Hull walls on the left and right, and a roof above: a bay that a
        // ship enters from below.
        EXPECT_EQ(mask->At(586, y), kBlack) << "left wall at row " << y;
        EXPECT_EQ(mask->At(682, y), kBlack) << "right wall at row " << y;
    }
    for (int x = 587; x <= 681; ++x) EXPECT_EQ(mask->At(x, 149), kBlack) << "roof at column " << x;
    EXPECT_GT(std::count(mask->pixels.begin(), mask->pixels.end(), kBlack), 1313 * 214 / 2)
        << "the hull fills most of the carrier's box";
}

TEST(Artwork, DeliveredHighScoresAreTenReachableRecords) {
    const auto bytes = ReadFile("Hiscore.txt");
    ASSERT_TRUE(bytes) << "Hiscore.txt is missing";
    const std::string text(bytes->begin(), bytes->end());
    // Written back by the game's own writer, the table gives the file byte for
    // byte: exactly ten lines of score,"name" CR LF and nothing else.
    const HighScoreTable table = ParseHighScores(text, "Hiscore.txt");
    EXPECT_EQ(FormatHighScores(table), text);
    EXPECT_TRUE(std::none_of(table.begin(), table.end(), [](auto& r) { return r.name.empty(); }));
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end(), [](auto& a, auto& b) {
        return a.score > b.score;
    })) << "rank order, best first";
    EXPECT_LE(table.front().score, 20000) << "a new player should be able to reach the top";
    EXPECT_LT(table.back().score, 4500) << "clearing the first level enters the table";
    EXPECT_GT(table.back().score, 0);
}

TEST(Artwork, CommittedFilesAreWhatTheGeneratorMakes) {
    std::set<std::string> expected(std::begin(kKeyPictures), std::end(kKeyPictures));
    expected.insert("Hiscore.txt");
    for (const SpriteFiles& s : AllSprites()) expected.insert({s.picture, s.mask});
    const std::vector<art::ArtFile> files = art::MakeArtwork();
    std::set<std::string> names;
    for (const art::ArtFile& f : files) {
        names.insert(f.name);
        const auto committed = ReadFile(f.name);
        ASSERT_TRUE(committed) << f.name << " is not in assets/; run make_art assets";
        EXPECT_TRUE(*committed == f.bytes)
            << f.name << " differs from the generator's output; run make_art assets";
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(files.size(), expected.size()) << "no file is made twice";
}

}  // namespace
}  // namespace vorlax
