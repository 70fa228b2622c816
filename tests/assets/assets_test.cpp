// The delivered artwork and high-score table: bitmaps the game's reader loads
// at the sizes it draws them, the mask and picture rules the masked drawing
// and the pixel-exact collision rely on, the carrier's open bay, and that the
// committed files are what the generator makes today. (How the artwork looks is for the eye and
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
#include "core/game_files.h"
#include "raster/bitmap_file.h"
#include "scores/high_score_file.h"
#include "scores/key_pictures.h"

namespace vorlax {
namespace {

namespace art = vorlax::art;

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& name) {
    std::ifstream in(std::string(VORLAX_ASSET_DIR) + "/" + name, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// An artwork bitmap as the game reads it, at the size the game draws it.
Surface LoadAsset(const std::string& name, int width, int height) {
    return ReadBitmapFile(std::string(VORLAX_ASSET_DIR) + "/" + name, width, height);
}

struct SpriteFiles {
    std::string picture;
    std::string mask;
    int width, height;
};

// The names the game loads, with the sizes it draws them at.
std::vector<SpriteFiles> AllSprites() {
    std::vector<SpriteFiles> all = {
        {kShipFile, kShipMaskFile, kShipWidth, kShipHeight},
        {kCarrierFile, kCarrierMaskFile, kCarrierWidth, kCarrierHeight}};
    for (int n = 1; n <= kEnemyTypes; ++n)
        all.push_back({EnemyShipFile(n), EnemyMaskFile(n), kEnemyWidths[n], kEnemyHeights[n]});
    return all;
}

TEST(Artwork, EverySpriteHasItsSizeMaskRuleAndPictureRule) {
    for (const SpriteFiles& s : AllSprites()) {
        SCOPED_TRACE(s.picture);
        const Surface picture = LoadAsset(s.picture, s.width, s.height);
        const Surface mask = LoadAsset(s.mask, s.width, s.height);
        int solid = 0, badMask = 0, colourOffShape = 0, holes = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const Colour m = mask.Pixel(x, y), p = picture.Pixel(x, y);
                badMask += m != kBlack && m != kWhite;
                colourOffShape += m == kWhite && p != kBlack;
                solid += m == kBlack;
                holes += m == kBlack && p == kBlack;  // would read as a hole in the hull
            }
        EXPECT_EQ(badMask, 0) << "mask pixels neither pure black nor pure white";
        EXPECT_EQ(colourOffShape, 0) << "picture pixels not black where the mask is white";
        EXPECT_EQ(holes, 0) << "pure black pixels on the shape";
        const double fill = static_cast<double>(solid) / (s.width * s.height);
        EXPECT_GE(fill, 0.30) << "the shape fills too little of its box for a fair collision";
        EXPECT_LE(fill, 0.90) << "the shape is nearly a box";
    }
}

TEST(Artwork, CarrierBayIsOpenAndFramedByHull) {
    const Surface picture = LoadAsset(kCarrierFile, kCarrierWidth, kCarrierHeight);
    const Surface mask = LoadAsset(kCarrierMaskFile, kCarrierWidth, kCarrierHeight);
    for (int y = kBayTop; y < kBayBottom; ++y) {
        for (int x = kBayLeft; x <= kBayRight; ++x) {
            ASSERT_EQ(mask.Pixel(x, y), kWhite) << "bay pixel " << x << "," << y;
            ASSERT_EQ(picture.Pixel(x, y), kBlack) << "bay pixel " << x << "," << y;
        }
        // Hull walls on the left and right, and a roof above: a bay that a
        // ship enters from below.
        EXPECT_EQ(mask.Pixel(kBayLeft - 1, y), kBlack) << "left wall at row " << y;
        EXPECT_EQ(mask.Pixel(kBayRight + 1, y), kBlack) << "right wall at row " << y;
    }
    for (int x = kBayLeft; x <= kBayRight; ++x)
        EXPECT_EQ(mask.Pixel(x, kBayTop - 1), kBlack) << "roof at column " << x;
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
    std::set<std::string> expected(std::begin(kKeyPictureFiles), std::end(kKeyPictureFiles));
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
