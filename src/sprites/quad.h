#pragma once
// Four corner points in order around an outline: the collision shape of
// rotated objects.
struct TQuadPoint {
  double X = 0, Y = 0;
};
struct TQuad {
  TQuadPoint P[4];
};

bool PointInQuad(double px, double py, const TQuad& quad);
bool QuadsOverlap(const TQuad& a, const TQuad& b);
