// The delivered artwork and high-score table: the committed files are exactly
// what the generator makes today, and every sprite reads at the size the game
// draws it, with the mask and picture rules that the masked drawing and the
// pixel-exact collision rely on, the carrier's bay open below its hull. (How
// the artwork looks is for the eye and the contact sheet, not for a test.)
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "art/artwork.h"
#include "core/game_files.h"
#include "raster/bitmap_file.h"
#include "scores/high_score_file.h"

namespace vorlax {
namespace {

const std::string kAssets = VORLAX_ASSET_DIR;

TEST(Artwork, CommittedFilesAreWhatTheGeneratorMakes) {
    std::set<std::string> names;
    for (const art::ArtFile& f : art::MakeArtwork()) {
        std::ifstream in(kAssets + "/" + f.name, std::ios::binary);
        const std::string committed(std::istreambuf_iterator<char>(in), {});
        EXPECT_TRUE(names.insert(f.name).second) << f.name << " is made twice";
        EXPECT_TRUE(committed == std::string(f.bytes.begin(), f.bytes.end()))
            << f.name << " differs from the generator's output; run make_art assets";
        // The delivered table reads back, written by the game's writer byte for byte.
        if (f.name == kHighScoreFileName) {
            EXPECT_EQ(FormatHighScores(ParseHighScores(committed, f.name)), committed);
        }
    }
    EXPECT_EQ(names.size(), 2 * (kEnemyTypes + 2) + std::size(kKeyPictureFiles) + 1)
        << "sprites, key pictures, table";
}

TEST(Artwork, EverySpriteHasTheGamesSizeAMaskOfPureBlackAndWhiteAndNothingOffItsShape) {
    std::vector<std::tuple<std::string, std::string, int, int>> sprites = {
        {kShipFile, kShipMaskFile, kShipWidth, kShipHeight},
        {kCarrierFile, kCarrierMaskFile, kCarrierWidth, kCarrierHeight}};
    for (int n = 1; n <= kEnemyTypes; ++n)
        sprites.emplace_back(EnemyShipFile(n), EnemyMaskFile(n), kEnemyWidths[n], kEnemyHeights[n]);
    for (const auto& [picture, mask, w, h] : sprites) {
        const Surface p = ReadBitmapFile(kAssets + "/" + picture, w, h);
        const Surface m = ReadBitmapFile(kAssets + "/" + mask, w, h);
        int bad = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)  // black on the shape, white around it, never a hole
                bad += m.Pixel(x, y) == 0 ? p.Pixel(x, y) == 0
                                          : m.Pixel(x, y) != 0xFFFFFF || p.Pixel(x, y) != 0;
        EXPECT_EQ(bad, 0) << picture;
    }
    // The carrier's bay, which the ship enters from below: open, with hull
    // walls left and right and a roof above.
    const Surface bay =
        ReadBitmapFile(kAssets + "/" + kCarrierMaskFile, kCarrierWidth, kCarrierHeight);
    for (int y = kBayTop - 1; y < kBayBottom; ++y)
        for (int x = kBayLeft - 1; x <= kBayRight + 1; ++x)
            ASSERT_EQ(bay.Pixel(x, y),
                      y == kBayTop - 1 || x == kBayLeft - 1 || x == kBayRight + 1 ? 0 : 0xFFFFFF)
                << x << ", " << y;
}

}  // namespace
}  // namespace vorlax
