// The delivered artwork and high-score table: the exact file format the game
// loads, the mask and picture rules the masked drawing and the pixel-exact
// collision rely on, the carrier's open bay, and that the committed files are
// what the generator makes today.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "graphics/artwork.h"
#include "scores/high_score_file.h"

namespace vorlax {
namespace {

namespace art = vorlax::art;

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

// Decodes a BMP, insisting on the one format the artwork uses: BITMAPINFOHEADER,
// 24 bits, uncompressed, bottom-up, rows padded with zeros to 4 bytes, the
// header's sizes agreeing with the file. Returns an explanation on failure.
std::optional<Bitmap> DecodeBmp(const std::vector<std::uint8_t>& b, std::string& why) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        why = "no BMP signature";
        return std::nullopt;
    }
    const auto width = static_cast<std::int32_t>(Le(b, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
    if (Le(b, 14, 4) != 40)
        why = "not a BITMAPINFOHEADER";
    else if (width <= 0 || height <= 0)
        why = "not bottom-up with a positive size";
    else if (Le(b, 26, 2) != 1)
        why = "planes is not 1";
    else if (Le(b, 28, 2) != 24)
        why = "not 24 bits per pixel";
    else if (Le(b, 30, 4) != 0)
        why = "compressed";
    else if (Le(b, 10, 4) != 54)
        why = "pixels do not follow the header";
    else if (Le(b, 46, 4) != 0)
        why = "has a colour table";
    if (!why.empty()) return std::nullopt;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::size_t data = stride * static_cast<std::size_t>(height);
    if (b.size() != 54 + data || Le(b, 2, 4) != b.size()) {
        why = "file size does not match the header";
        return std::nullopt;
    }
    const std::uint32_t imageSize = Le(b, 34, 4);
    if (imageSize != 0 && imageSize != data) {
        why = "image size field is wrong";
        return std::nullopt;
    }
    Bitmap bmp{width, height, {}};
    bmp.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 54 + stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::size_t p = row + 3 * static_cast<std::size_t>(x);
            bmp.pixels[static_cast<std::size_t>(y) * width + x] =
                (static_cast<std::uint32_t>(b[p + 2]) << 16) | (b[p + 1] << 8) | b[p];
        }
        for (std::size_t pad = row + 3 * static_cast<std::size_t>(width); pad < row + stride;
             ++pad) {
            if (b[pad] != 0) {
                why = "row padding is not zero";
                return std::nullopt;
            }
        }
    }
    return bmp;
}

std::optional<Bitmap> LoadAsset(const std::string& name) {
    const auto bytes = ReadFile(name);
    if (!bytes) {
        ADD_FAILURE() << name << " is missing from " << VORLAX_ASSET_DIR;
        return std::nullopt;
    }
    std::string why;
    auto bmp = DecodeBmp(*bytes, why);
    if (!bmp) ADD_FAILURE() << name << ": " << why;
    return bmp;
}

struct SpriteFiles {
    std::string picture;
    std::string mask;
    art::SpriteSize size;
};

std::vector<SpriteFiles> AllSprites() {
    std::vector<SpriteFiles> all = {{"Ship.bmp", "Shipmask.bmp", {47, 32}},
                                    {"FuelShip.bmp", "Fuelmask.bmp", {1313, 214}}};
    const std::array<art::SpriteSize, 11> enemy = {{{53, 32},
                                                    {38, 32},
                                                    {107, 32},
                                                    {41, 32},
                                                    {84, 32},
                                                    {54, 32},
                                                    {45, 32},
                                                    {51, 32},
                                                    {17, 15},
                                                    {55, 56},
                                                    {57, 48}}};
    for (int n = 1; n <= 11; ++n)
        all.push_back({"Enemy Ship " + std::to_string(n) + ".bmp",
                       "Enemy Mask " + std::to_string(n) + ".bmp", enemy[n - 1]});
    return all;
}

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

double Distance(std::uint32_t a, std::array<int, 3> rgb) {
    const double dr = static_cast<int>(a >> 16 & 0xFF) - rgb[0];
    const double dg = static_cast<int>(a >> 8 & 0xFF) - rgb[1];
    const double db = static_cast<int>(a & 0xFF) - rgb[2];
    return std::sqrt(dr * dr + dg * dg + db * db);
}

TEST(Artwork, NamesFollowTheGamesPattern) {
    EXPECT_EQ(art::EnemyPictureName(1), "Enemy Ship 1.bmp");
    EXPECT_EQ(art::EnemyMaskName(11), "Enemy Mask 11.bmp");
    EXPECT_EQ(art::EnemyPictureName(10), "Enemy Ship 10.bmp");
}

TEST(Artwork, EverySpriteHasItsSizeMaskRuleAndPictureRule) {
    for (const SpriteFiles& s : AllSprites()) {
        SCOPED_TRACE(s.picture);
        const auto picture = LoadAsset(s.picture);
        const auto mask = LoadAsset(s.mask);
        if (!picture || !mask) continue;
        EXPECT_EQ(picture->width, s.size.width);
        EXPECT_EQ(picture->height, s.size.height);
        EXPECT_EQ(mask->width, s.size.width);
        EXPECT_EQ(mask->height, s.size.height);
        if (picture->width != mask->width || picture->height != mask->height) continue;

        int solid = 0, badMask = 0, colourOffShape = 0, holes = 0;
        for (int y = 0; y < mask->height; ++y) {
            for (int x = 0; x < mask->width; ++x) {
                const std::uint32_t m = mask->At(x, y);
                const std::uint32_t p = picture->At(x, y);
                if (m != kBlack && m != kWhite) ++badMask;
                if (m == kWhite && p != kBlack) ++colourOffShape;
                if (m == kBlack) {
                    ++solid;
                    if (p == kBlack) ++holes;  // would read as a hole in the hull
                }
            }
        }
        EXPECT_EQ(badMask, 0) << "mask pixels neither pure black nor pure white";
        EXPECT_EQ(colourOffShape, 0) << "picture pixels not black where the mask is white";
        EXPECT_EQ(holes, 0) << "pure black pixels on the shape";
        const double fill = static_cast<double>(solid) / (mask->width * mask->height);
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
    }
    // Hull closes the bay on the left, right and top, so it reads as a bay
    // that a ship enters from below, and the hull surrounds it.
    for (int y = 150; y <= 213; ++y) {
        EXPECT_EQ(mask->At(586, y), kBlack) << "left wall at row " << y;
        EXPECT_EQ(mask->At(682, y), kBlack) << "right wall at row " << y;
    }
    for (int x = 587; x <= 681; ++x) EXPECT_EQ(mask->At(x, 149), kBlack) << "roof at column " << x;
    // The hull fills most of the carrier's box.
    int solid = 0;
    for (std::uint32_t m : mask->pixels) solid += m == kBlack;
    EXPECT_GT(solid, 1313 * 214 / 2);
}

TEST(Artwork, ShipsReadAgainstShotsShieldAndArmourColours) {
    // The player's ship must not be mostly red (its shots) or blue (its shield).
    {
        const auto picture = LoadAsset("Ship.bmp");
        const auto mask = LoadAsset("Shipmask.bmp");
        ASSERT_TRUE(picture && mask);
        int solid = 0, red = 0, blue = 0;
        for (std::size_t i = 0; i < mask->pixels.size(); ++i) {
            if (mask->pixels[i] != kBlack) continue;
            const int r = picture->pixels[i] >> 16 & 0xFF, g = picture->pixels[i] >> 8 & 0xFF,
                      b = picture->pixels[i] & 0xFF;
            ++solid;
            red += r > g + 40 && r > b + 40;
            blue += b > r + 40 && b > g + 40;
        }
        EXPECT_LT(red * 4, solid);
        EXPECT_LT(blue * 4, solid);
    }
    // Enemies keep clear of the enemy shots' yellow and the armour rings'
    // cyan, and each type has a hull colour of its own.
    std::vector<std::array<double, 3>> means;
    for (int n = 1; n <= 11; ++n) {
        SCOPED_TRACE(n);
        const auto picture = LoadAsset(art::EnemyPictureName(n));
        const auto mask = LoadAsset(art::EnemyMaskName(n));
        ASSERT_TRUE(picture && mask);
        std::array<double, 3> sum{};
        int solid = 0;
        for (std::size_t i = 0; i < mask->pixels.size(); ++i) {
            if (mask->pixels[i] != kBlack) continue;
            const std::uint32_t p = picture->pixels[i];
            EXPECT_GT(Distance(p, {255, 255, 0}), 60.0) << "close to the enemy shots' yellow";
            EXPECT_GT(Distance(p, {33, 216, 253}), 60.0) << "close to the armour rings' cyan";
            sum[0] += p >> 16 & 0xFF;
            sum[1] += p >> 8 & 0xFF;
            sum[2] += p & 0xFF;
            ++solid;
        }
        means.push_back({sum[0] / solid, sum[1] / solid, sum[2] / solid});
    }
    for (std::size_t a = 0; a < means.size(); ++a) {
        for (std::size_t b = a + 1; b < means.size(); ++b) {
            const double d = std::hypot(means[a][0] - means[b][0], means[a][1] - means[b][1],
                                        means[a][2] - means[b][2]);
            EXPECT_GT(d, 30.0) << "enemy types " << a + 1 << " and " << b + 1 << " look alike";
        }
    }
}

TEST(Artwork, KeyPicturesAreSilverKeysOfTheHelpWindow) {
    std::set<std::vector<std::uint32_t>> seen;
    for (const char* name : {"Key Right.bmp", "Key Left.bmp", "Key Up.bmp", "Key Down.bmp"}) {
        SCOPED_TRACE(name);
        const auto key = LoadAsset(name);
        if (!key) continue;
        EXPECT_EQ(key->width, 32);
        EXPECT_EQ(key->height, 32);
        for (std::uint32_t p : key->pixels)
            EXPECT_TRUE(p == 0xC0C0C0 || p == kWhite || p == 0x808080 || p == kBlack)
                << std::hex << p;
        EXPECT_EQ(key->At(0, 0), kWhite);       // lit upper-left edge
        EXPECT_EQ(key->At(31, 31), kBlack);     // dark lower-right edge
        EXPECT_EQ(key->At(30, 16), 0x808080u);  // grey inner shadow
        EXPECT_EQ(key->At(4, 4), 0xC0C0C0u);    // silver cap
        seen.insert(key->pixels);
    }
    EXPECT_EQ(seen.size(), 4u) << "each arrow key has its own picture";
}

// One record of the high-score file: a decimal score without leading zeros or
// plus sign, a comma, and the name in double quotes. Returns false if the line
// is anything else.
bool ParseRecord(const std::string& line, long& score, std::string& name) {
    std::size_t i = 0;
    if (i < line.size() && line[i] == '-') ++i;
    const std::size_t digits = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    const std::size_t count = i - digits;
    if (count == 0 || count > 9 || (line[digits] == '0' && (count > 1 || digits > 0))) return false;
    if (line.size() < i + 3 || line[i] != ',' || line[i + 1] != '"' || line.back() != '"')
        return false;
    name = line.substr(i + 2, line.size() - i - 3);
    if (name.find_first_of("\"\r\n") != std::string::npos) return false;
    score = std::stol(line.substr(0, i));
    return true;
}

TEST(Artwork, HighScoreRecordParserTakesOnlyTheFileFormat) {
    long score = 0;
    std::string name;
    EXPECT_TRUE(ParseRecord("12345,\"ACE\"", score, name));
    EXPECT_EQ(score, 12345);
    EXPECT_EQ(name, "ACE");
    EXPECT_TRUE(ParseRecord("0,\"\"", score, name));
    EXPECT_EQ(name, "");
    EXPECT_TRUE(ParseRecord("-5,\"A, B\"", score, name));
    EXPECT_EQ(score, -5);
    for (const char* bad : {"012,\"A\"", "+12,\"A\"", "12, \"A\"", "12,A", "12,\"A", ",\"A\"",
                            "12,\"A\"x", "12", "-0,\"A\"", "12,\"", "12,\"A\"B\""})
        EXPECT_FALSE(ParseRecord(bad, score, name)) << bad;
}

TEST(Artwork, DeliveredHighScoresAreTenReachableRecords) {
    const auto bytes = ReadFile("Hiscore.txt");
    ASSERT_TRUE(bytes) << "Hiscore.txt is missing";
    const std::string text(bytes->begin(), bytes->end());
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "the tenth record ends in CR LF too";
    std::vector<long> scores;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "record without CR LF at byte " << at;
        const std::string line = text.substr(at, end - at);
        long score = 0;
        std::string name;
        ASSERT_TRUE(ParseRecord(line, score, name)) << "malformed record: " << line;
        EXPECT_FALSE(name.empty()) << "every delivered record has a name";
        scores.push_back(score);
        at = end + 2;
    }
    ASSERT_EQ(scores.size(), 10u);
    EXPECT_TRUE(std::is_sorted(scores.begin(), scores.end(), std::greater<>()))
        << "records are in rank order, best first";
    EXPECT_LE(scores.front(), 20000) << "a new player should be able to reach the top";
    EXPECT_LT(scores.back(), 4500) << "clearing the first level enters the table";
    EXPECT_GT(scores.back(), 0);

    // The game's own reader takes the same ten records, and writing them back
    // gives the delivered file byte for byte.
    const HighScoreTable table = ParseHighScores(text, "Hiscore.txt");
    for (int r = 0; r < kHighScoreRecords; ++r) EXPECT_EQ(table[r].score, scores[r]);
    EXPECT_EQ(FormatHighScores(table), text);
}

TEST(Artwork, CommittedFilesAreWhatTheGeneratorMakes) {
    const std::vector<art::ArtFile> files = art::MakeArtwork();
    std::set<std::string> names;
    for (const art::ArtFile& f : files) names.insert(f.name);
    std::set<std::string> expected = {"Ship.bmp",     "Shipmask.bmp",  "FuelShip.bmp",
                                      "Fuelmask.bmp", "Key Right.bmp", "Key Left.bmp",
                                      "Key Up.bmp",   "Key Down.bmp",  "Hiscore.txt"};
    for (int n = 1; n <= 11; ++n) {
        expected.insert(art::EnemyPictureName(n));
        expected.insert(art::EnemyMaskName(n));
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(files.size(), expected.size()) << "no file is made twice";

    for (const art::ArtFile& f : files) {
        const auto committed = ReadFile(f.name);
        ASSERT_TRUE(committed) << f.name << " is not in assets/; run make_art assets";
        EXPECT_TRUE(*committed == f.bytes)
            << f.name << " differs from the generator's output; run make_art assets";
    }
    // A second run makes the same bytes: nothing depends on time or state.
    const std::vector<art::ArtFile> again = art::MakeArtwork();
    ASSERT_EQ(again.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_TRUE(again[i].bytes == files[i].bytes) << files[i].name;
}

TEST(Artwork, BmpEncoderPadsRowsAndStoresBottomUp) {
    art::Image img(3, 2, 0);
    img.At(0, 0) = 0x112233;  // top-left
    img.At(2, 1) = 0xAABBCC;  // bottom-right
    const std::vector<std::uint8_t> b = art::EncodeBmp24(img);
    ASSERT_EQ(b.size(), 54u + 2 * 12);  // 9 bytes of pixels padded to 12 per row
    std::string why;
    const auto back = DecodeBmp(b, why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->At(0, 0), 0x112233u);
    EXPECT_EQ(back->At(2, 1), 0xAABBCCu);
    // The bottom row comes first in the file, blue byte first.
    EXPECT_EQ(b[54 + 6], 0xCC);
    EXPECT_EQ(b[54 + 7], 0xBB);
    EXPECT_EQ(b[54 + 8], 0xAA);
    EXPECT_EQ(b[54 + 12], 0x33);
}

}  // namespace
}  // namespace vorlax
