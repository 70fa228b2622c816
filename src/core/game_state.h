// The one record of variables that every game procedure works on.
//
// There are no objects per enemy or per shot: every entity is a slot in
// parallel fixed-size tables, indexed as the game counts them (enemies 1..10,
// shots 1..5, firing enemies 1..3, stars 0..100).
#pragma once

#include <string>

#include "core/game_files.h"
#include "core/types.h"

namespace vorlax {

// One background star.
struct Star {
    Long X = 0;  // top-left corner, pixels
    Long Y = 0;
    Long Speed = 0;  // pixels moved left per frame
    Long Size = 0;   // diameter in pixels
    Long Colour = 0;
    bool operator==(const Star&) const = default;
};

inline constexpr int kMaxEnemies = 10;
inline constexpr int kShotSlots = 5;
inline constexpr int kFiringEnemies = 3;
inline constexpr int kEnemyShotSlots = 10;
inline constexpr int kStars = 101;
inline constexpr int kHighScoreRanks = 10;

// The armoured last wave of a level, the only one that fires back.
inline constexpr int kFinalWave = 11;
// The energy budget of a new ship, refilled by the carrier.
inline constexpr Long kFullEnergy = 500;

// The top row of the play field: the head-up strip fills the rows above it
// and the separator line runs along it. The ship and the drifting enemies
// stay at or below it, and stars start below it.
inline constexpr Long kPlayFieldTop = 25;

struct GameState {
    // Sprite surfaces, loaded at start-up and freed at shut-down.
    SurfaceHandle ShipDC = 0;
    SurfaceHandle ShipMaskDC = 0;
    SurfaceHandle CarrierDC = 0;
    SurfaceHandle CarrierMaskDC = 0;
    Slots<SurfaceHandle, 1, kEnemyTypes> EnemySpriteDC;
    Slots<SurfaceHandle, 1, kEnemyTypes> EnemyMaskDC;
    Slots<Long, 1, kEnemyTypes> EnemyWidth;
    Slots<Long, 1, kEnemyTypes> EnemyHeight;

    // Player ship, shots and energy.
    Long ShipX = 0;
    Long ShipY = 0;
    Long ShipStepX = 0;
    Long ShipStepY = 0;
    Long ShipsEarned = 0;
    Long CurrentShip = 0;
    Slots<Long, 0, kShotSlots> ShotX;
    Slots<Long, 0, kShotSlots> ShotY;
    Slots<Flag, 0, kShotSlots> ShotActive;
    Colour ShotColour = 0;
    Long Energy = 0;
    Flag ShieldOn = False;
    Long SpawnTick = 0;
    Long LastShotTick = 0;  // kept across games

    // Enemies of the current wave (1..EnemyCount) and their fire.
    Slots<Long, 1, kMaxEnemies> EnemyX;
    Slots<Long, 1, kMaxEnemies> EnemyY;
    Slots<Long, 1, kMaxEnemies> EnemyAlive;  // -1 while alive
    Slots<Long, 1, kMaxEnemies> EnemySpeed;
    Slots<Long, 1, kMaxEnemies> EnemyDrift;
    Slots<Long, 1, kFiringEnemies> EnemyDirection;
    Slots<Long, 1, kMaxEnemies> EnemyHits;
    Slots<Long, 1, kMaxEnemies> EnemyBlast;  // explosion step, 0 = none, 1..20 running
    Long EnemyCount = 0;
    Slots2<Long, 0, kFiringEnemies, 0, kEnemyShotSlots> EnemyShotX;
    Slots2<Long, 0, kFiringEnemies, 0, kEnemyShotSlots> EnemyShotY;
    Slots2<Flag, 0, kFiringEnemies, 0, kEnemyShotSlots> EnemyShotActive;
    Colour EnemyShotColour = 0;
    Slots<Long, 1, kFiringEnemies> EnemyLastShotTick;  // never reset
    Long FiringEnemy = 0;

    // Progress and score.
    Long Wave = 0;
    Long Level = 0;
    Flag WaveSetup = False;
    Long WaveEndTick = 0;
    Long Score = 0;
    Long BonusPoints = 0;

    // Energy carrier.
    double CarrierX = 0.0;
    double CarrierY = 0.0;
    double CarrierSpeed = 0.0;
    Flag CarrierCalled = False;
    Flag CarrierActive = False;
    // Waves 7 and 11 never move their enemies sideways, so a visit that puts
    // them beyond the right edge would leave them out of reach for good. The
    // wave (0 for none) and the columns its enemies held when the visit
    // began, to put them back when it ends.
    Long StrandedWave = 0;
    Slots<Long, 1, kMaxEnemies> StrandedX;

    // Frame control and display.
    Flag GameRunning = False;
    Flag Paused = False;
    Long NowTick = 0;
    Long LastFrameTick = 0;
    Long FrameInterval = 0;
    Colour BackColour = 0;
    Slots<Star, 0, kStars - 1> Stars;

    // High scores, best first.
    Slots<std::string, 1, kHighScoreRanks> HighNames;
    Slots<Long, 1, kHighScoreRanks> HighScores;
    Long NewEntryRank = 0;
    // Set when a game has ended (its score went to the table) until the next
    // new-game reset: such a game is never played on, or its end would be
    // entered again.
    bool GameEnded = false;

    // The palette of named colours, set once by SetPalette.
    Colour ColRed = 0;
    Colour ColYellow = 0;
    Colour ColCyan = 0;
    Colour ColBlue = 0;
    Colour ColWhite = 0;
};

// The game state of the process. Tests reset it with `G = GameState{}`.
extern GameState G;

// Stores the five named colours: red player shots, yellow enemy shots, cyan
// armour rings, the blue shield, white stars and separator line.
void SetPalette();

// Fills EnemyWidth and EnemyHeight from the enemy size table.
void FillEnemySizes();

// Lives left as the head-up strip shows them.
inline Long LivesLeft(const GameState& g) {
    return g.ShipsEarned - g.CurrentShip + 1;
}

}  // namespace vorlax
