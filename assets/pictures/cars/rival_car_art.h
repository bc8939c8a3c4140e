#pragma once
// The five kinds of rival traffic, "Car7" .. "Car11": a saloon, a van, a
// motorbike, a pickup and a lorry. Each picture holds six patterns, the
// vehicle driving up-left, up-right, up, down, down-left and down-right, and
// in each the vehicle is painted into the outline the traffic collides
// with, so what the player sees hit is what was hit.
#include <array>
#include <string>

#include "assets/catalog.h"
#include "gfx/surface.h"

namespace rivals {

inline constexpr int KindCount = 5;
inline constexpr int OrientationCount = 6;

struct TPoint {
  double X, Y;
};
// Four corners relative to the pattern's top-left, in the traffic's order.
using TOutline = std::array<TPoint, 4>;

// Kind 1..5, orientation 1..6: the traffic's collision outline.
const TOutline& Outline(int kind, int orientation);
// Kind 1..5: the size of one pattern (twice the kind's half sizes).
int PatternWidth(int kind);
int PatternHeight(int kind);

// The six patterns of a kind side by side, keyed with cars::CarKey.
TSurface RivalSheet(int kind);

}  // namespace rivals

void AddRivalCarArt(TImageItems& res2);
// The five kinds in their six orientations on asphalt, enlarged, with the
// collision outlines drawn over them.
void WriteRivalCarPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
