#pragma once
// The six cars the player chooses from. Each car is one description (size,
// silhouette, heights, paint and trim) and one model built from it: the
// height of the car over its plan and the look of every point of it. The
// race sprite is the model seen straight down, the car-selection picture is
// the same model seen from the front three-quarter, so the two always show
// the same car.
#include <cmath>
#include <cstdint>
#include <string>

#include "assets/catalog.h"
#include "assets/paint/linear_light.h"
#include "gfx/surface.h"

namespace cars {

// The cars are shaded in linear light, with the painting kit's vectors.
using paint::Cross;
using paint::Dot;
using paint::Linear;
using paint::Mix;
using paint::Normalize;
using paint::ToRgb;
using paint::TVec;

enum class TStripes { None, Twin, Centre, Rally };
enum class THeadlamps { Slim, Round, Wedge };

// Lengths are pixels of the race sprite, heights too (a pixel is about
// 3 cm of a real car). Places along the car are fractions of the body's
// length from the nose (0) to the tail (1).
struct TCarDesign {
  const char* Name;  // showroom caption (UTF-8)
  const char* Kind;  // the kind of car, under the name
  // The sprite is 2 * HalfWidth x 2 * HalfHeight; the body is BodyWidth
  // across the doors, or the sprite's width where that is narrower.
  int HalfWidth, HalfHeight, BodyWidth;
  // Seen from above: the half width shrinks by NoseTaper towards the nose
  // over NoseReach of the length (likewise at the tail), so the wheels show
  // at the corners; the nose and tail edges curve back at the sides.
  double NoseTaper, NoseReach, TailTaper, TailReach;
  double NoseCurve, TailCurve, FrontCorner, RearCorner;
  // The greenhouse: foot of the windscreen, front and rear edge of the roof,
  // foot of the rear window; and the two axles.
  double Windscreen, RoofFront, RoofRear, RearWindow;
  double FrontAxle, RearAxle;
  // Heights of the top line: nose, bonnet at the windscreen, boot deck at
  // the rear window, tail, and the roof.
  double NoseZ, HoodZ, DeckZ, TailZ, RoofZ;
  // How far in from the body's side the roof and the window sills lie.
  double RoofInset, SillInset;
  double WheelRadius, TyreWidth, WheelFlare;  // flare: how far the tyres stand out of the body
  uint32_t Paint, Accent, Trim;  // sRGB; Trim is the bumpers' and the grille's
  bool ChromeTrim;
  TStripes Stripes;
  bool AccentRoof;
  THeadlamps Headlamps;
  bool HoodScoop, RoofScoop, RallyLamps, RearWing, RoofSpoiler;
};

inline constexpr int PlayerCarCount = 6;
// Car 1 .. 6, as the race and the car selection number them.
const TCarDesign& PlayerCar(int number);

// What the sprite and the showroom light the cars with: a key light from
// the front left (the screen's top left in the race), a long soft box over
// the car that lays a highlight band along the roof, a dim one at the
// right, a bright horizon and a dark floor.
TVec KeyLight();
TVec Environment(const TVec& direction);

// Model coordinates: sprite pixels from the sprite's centre, x to the right,
// y towards the tail (down the sprite), z up from the road.
class TCarModel {
 public:
  explicit TCarModel(const TCarDesign& design);
  const TCarDesign& Design() const { return D; }
  // Distance inside the body's outline seen from above (negative outside).
  double BodyPlan(double x, double y) const;
  // Height of the car over the road at (x, y): 0 where the road shows.
  double Height(double x, double y) const;
  // The surface normal of the top at (x, y), from the height's slope.
  TVec TopNormal(double x, double y) const;
  // Linear colour of the surface point p with normal n, seen from the unit
  // direction toEye. `wall` marks the upright sides under the top's edge,
  // which only a slanting view sees.
  TVec Shade(const TVec& p, const TVec& n, const TVec& toEye, bool wall) const;

 private:
  struct TLook {
    TVec Base;          // linear albedo
    double Reflect;     // reflectance facing the eye
    bool Rough;         // rubber and plastic: blurred reflections
    TVec Glow;          // lamps
  };
  double HalfWidthAt(double y) const;
  double FrontEdge(double x) const;  // y of the nose edge at x
  double RearEdge(double x) const;
  double TopLine(double y) const;
  double BodyTop(double x, double y, double inside) const;
  double RoofHalfWidth(double y) const;
  double Cabin(double x, double y, double* windscreen, double* rearWindow, double* side) const;
  double Extras(double x, double y) const;
  double ScoopMiddle() const;
  double ScoopHalfLength() const;
  double ScoopHalfWidth() const;
  double Wheel(double x, double y) const;
  TLook TopLook(const TVec& p) const;
  TLook WallLook(const TVec& p, const TVec& n) const;
  bool WheelFace(const TVec& p, TLook* look) const;
  bool FrontLampOnWall(double ax, double hw, double below) const;

  const TCarDesign& D;
  double L, B;  // body length, half body width
  double YWindscreen, YRoofFront, YRoofRear, YRearWindow, YFrontAxle, YRearAxle;
  double WindscreenSlope, RearSlope, SideSlope;
  double WheelX;  // centre line of the tyres, each side
};

inline constexpr uint32_t CarKey = 0xFF00FF;

// The race sprite "Car<number>": the model seen from straight above, front
// up, antialiased against a dark rim so it reads on any road, key colour
// wherever no part of the car is.
TSurface CarSprite(int number);

}  // namespace cars

void AddCarSprites(TImageItems& res2);
// Each sprite enlarged on asphalt, and the six cars turned to the headings
// -64, 0 and 64 the way the race draws them.
void WriteCarSpritePreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
