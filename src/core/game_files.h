// The files the game reads from its folder: the sprites, the help window's
// key pictures and the high-score table; the sizes the pictures are drawn
// at, and the carrier's docking bay cut into its picture. The game, the
// artwork generator, the fuzz targets and the tests all take these from here.
#pragma once

#include <string>

namespace vorlax {

inline constexpr int kEnemyTypes = 11;

inline constexpr int kShipWidth = 47;
inline constexpr int kShipHeight = 32;
inline constexpr int kCarrierWidth = 1313;
inline constexpr int kCarrierHeight = 214;

// Width and height of enemy type n (= wave n), n = 1..11.
inline constexpr int kEnemyWidths[kEnemyTypes + 1] = {0,  53, 38, 107, 41, 84,
                                                      54, 45, 51, 17,  55, 57};
inline constexpr int kEnemyHeights[kEnemyTypes + 1] = {0,  32, 32, 32, 32, 32,
                                                       32, 32, 32, 15, 56, 48};

// The carrier's docking bay, relative to the carrier's top-left corner. It
// reaches down to the carrier's lower edge, so the ship flies in from below.
// A ship docks while its box lies strictly between these edges; the artwork
// keeps columns kBayLeft..kBayRight and rows kBayTop..kBayBottom - 1 open, so
// a docked ship shows through.
inline constexpr int kBayLeft = 587;
inline constexpr int kBayRight = 681;
inline constexpr int kBayTop = 150;
inline constexpr int kBayBottom = kCarrierHeight;

// The sprite files, each a picture and its mask, in the game's folder.
inline constexpr const char* kShipFile = "Ship.bmp";
inline constexpr const char* kShipMaskFile = "Shipmask.bmp";
inline constexpr const char* kCarrierFile = "FuelShip.bmp";
inline constexpr const char* kCarrierMaskFile = "Fuelmask.bmp";
inline std::string EnemyShipFile(int n) {
    return "Enemy Ship " + std::to_string(n) + ".bmp";
}
inline std::string EnemyMaskFile(int n) {
    return "Enemy Mask " + std::to_string(n) + ".bmp";
}

// The arrow keys' pictures of the help window, right, left, up and down; the
// build carries them into the game.
inline constexpr int kKeyPictureSize = 32;
inline constexpr const char* kKeyPictureFiles[] = {"Key Right.bmp", "Key Left.bmp", "Key Up.bmp",
                                                   "Key Down.bmp"};

// The high-score table, in whichever folder holds it.
inline constexpr const char* kHighScoreFileName = "Hiscore.txt";

}  // namespace vorlax
