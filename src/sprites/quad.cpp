#include "sprites/quad.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// The point is inside when the corners, seen from it, go once around it: the
// angles between neighbouring corner directions then add up to a full turn.
bool PointInQuad(double px, double py, const TQuad& quad) {
  double ux[4];
  double uy[4];
  for (int i = 0; i < 4; ++i) {
    const double dx = quad.P[i].X - px;
    const double dy = quad.P[i].Y - py;
    const double d = std::sqrt(dx * dx + dy * dy);
    // A point on a corner touches the outline, and touching counts as a hit.
    if (d == 0) return true;
    ux[i] = dx / d;
    uy[i] = dy / d;
  }
  double sum = 0;
  for (int i = 0; i < 4; ++i) {
    const int j = (i + 1) % 4;
    // Rounding can push the dot product of two unit vectors just past +-1,
    // where ArcCos has no value.
    const double dot = std::clamp(ux[i] * ux[j] + uy[i] * uy[j], -1.0, 1.0);
    sum += std::acos(dot) * 180.0 / std::numbers::pi;
  }
  return sum >= 355.0;
}

bool QuadsOverlap(const TQuad& a, const TQuad& b) {
  for (const TQuadPoint& p : a.P) {
    if (PointInQuad(p.X, p.Y, b)) return true;
  }
  for (const TQuadPoint& p : b.P) {
    if (PointInQuad(p.X, p.Y, a)) return true;
  }
  return false;
}
