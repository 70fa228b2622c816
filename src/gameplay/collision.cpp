#include "gameplay/collision.h"

#include <algorithm>

#include "core/game_state.h"
#include "core/numbers.h"
#include "gameplay/player_loss.h"
#include "graphics/display_form.h"
#include "graphics/sprites.h"
#include "raster/raster.h"

namespace vorlax {
namespace {

// A pixel of the two masks ORed together is solid in both while it stays
// below this (the masks are black on the shape and white around it).
constexpr Colour kSolidBelow = 16000000;

struct Other {
    double x, y;  // the carrier's position is kept unrounded
    int w, h;
    SurfaceHandle mask;
};

// Along one axis: how much the ship and the other box share, and where that
// begins inside each of them. A fractional carrier position is rounded before
// the starts are derived; the length is then kept within both boxes.
struct Span {
    int size, shipStart, otherStart;
};

Span Shared(double ship, int shipSize, double other, int otherSize) {
    Span span{};
    if (ship > other) {
        span.size = Nearest(other + otherSize - ship);
        span.otherStart = otherSize - span.size;
    } else {
        span.size = Nearest(ship + shipSize - other);
        span.shipStart = shipSize - span.size;
    }
    span.size = std::min({span.size, shipSize, otherSize});
    return span;
}

// Whether the ship's mask and `other`'s overlap in a pixel solid in both.
// Boxes that only touch do not overlap, and the one-pixel border of the
// shared rectangle never counts.
bool Touches(Surface& scratch, bool& firstPair, const Other& other) {
    const double shipX = G.ShipX, shipY = G.ShipY;
    if (!(shipX + kShipWidth > other.x && other.x + other.w > shipX &&
          shipY + kShipHeight > other.y && other.y + other.h > shipY)) {
        return false;
    }

    // The shared rectangle and where it starts in each mask.
    const Span across = Shared(shipX, kShipWidth, other.x, other.w);
    const Span down = Shared(shipY, kShipHeight, other.y, other.h);
    const int cw = across.size, ch = down.size;

    if (!firstPair) FillBlack(scratch, 0, 0, scratch.Width(), scratch.Height());
    firstPair = false;
    BitBlt(scratch, 0, 0, cw, ch, SurfaceOf(G.ShipMaskDC), across.shipStart, down.shipStart,
           SRCPAINT);
    BitBlt(scratch, 0, 0, cw, ch, SurfaceOf(other.mask), across.otherStart, down.otherStart,
           SRCPAINT);

    // Never read beyond the scratch picture, however small it may be made.
    const int right = std::min(cw - 2, scratch.Width() - 1);
    const int bottom = std::min(ch - 2, scratch.Height() - 1);
    for (int x = 1; x <= right; ++x) {
        for (int y = 1; y <= bottom; ++y) {
            if (static_cast<Colour>(scratch.Row(y)[x]) < kSolidBelow) return true;
        }
    }
    return false;
}

}  // namespace

void CheckShipCollision() {
    Surface& scratch = DisplayForm().CollisionPict->Image();
    FillBlack(scratch, 0, 0, scratch.Width(), scratch.Height());
    bool firstPair = true;
    bool hit = false;

    if (G.CarrierActive == True) {
        // The carrier's hull costs the ship, shield or not; the enemies are
        // out of the way meanwhile.
        hit = Touches(scratch, firstPair,
                      {G.CarrierX, G.CarrierY, kCarrierWidth, kCarrierHeight, G.CarrierMaskDC});
    } else if (G.ShieldOn == False) {
        const Other kind{0, 0, G.EnemyWidth[G.Wave], G.EnemyHeight[G.Wave], G.EnemyMaskDC[G.Wave]};
        const int count = std::clamp<Long>(G.EnemyCount, 0, kMaxEnemies);
        for (int i = 1; i <= count; ++i) {
            if (G.EnemyAlive[i] != -1) continue;
            Other enemy = kind;
            enemy.x = G.EnemyX[i];
            enemy.y = G.EnemyY[i];
            // An enemy the ship rams is gone at once: no explosion, no points.
            if (Touches(scratch, firstPair, enemy)) {
                G.EnemyAlive[i] = False;
                hit = true;
            }
        }
    }

    // However many enemies it met, the ship is lost once.
    if (hit) CountLossAndLoseShip();
}

}  // namespace vorlax
