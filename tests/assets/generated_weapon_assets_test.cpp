// The weapon art as the generator writes it, checked the way the race draws
// it: the roof weapons turned about the centre of each of the six cars with
// the car's pivot row, the rocket's flame at both of its placements, and the
// rocket blast. Runs in the build folder, where the generator has written
// Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "race/player/car_tables.h"
#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

int R(uint32_t c) { return (c >> 16) & 0xFF; }
int G(uint32_t c) { return (c >> 8) & 0xFF; }
int B(uint32_t c) { return c & 0xFF; }

// Nothing the game draws is this colour, so what is left of it on a page
// was not drawn over.
constexpr uint32_t kBlank = 0x00FF00;

TSurface BlankPage(int w, int h) {
  TSurface s;
  s.Resize(w, h);
  std::fill(s.Pixels.begin(), s.Pixels.end(), kBlank);
  return s;
}

std::vector<std::string> RoofWeapons() {
  std::vector<std::string> names;
  for (int f = 1; f <= 6; ++f) names.push_back("GunAnim_" + std::to_string(f));
  names.push_back("GunShooting");
  for (int f = 1; f <= 6; ++f) names.push_back("RocketAnim_" + std::to_string(f));
  return names;
}

// ---- Sizes and keys ---------------------------------------------------------------

struct TImageCase {
  std::string Name;
  int Width, Height, MinPatterns, MaxPatterns;
};

TEST(GeneratedWeaponArt, SizesPatternsAndCleanKeyedEdges) {
  std::vector<TImageCase> cases;
  // The car draws every weapon frame with the same pivot fractions, so they
  // share one size; the firing gun is taller by the room for its flash.
  for (const std::string& name : RoofWeapons()) cases.push_back({name, 40, name == "GunShooting" ? 147 : 114, 1, 1});
  cases.push_back({"Rocket", 12, 24, 1, 1});
  cases.push_back({"EngineFire", 18, 50, 2, 12});
  cases.push_back({"Explosion", 64, 64, 12, 16});

  for (const TImageCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TPictureCollectionItem& item = RequiredPicture(2, c.Name);
    EXPECT_EQ(item.Width(), c.Width);
    EXPECT_EQ(item.Height(), c.Height);
    EXPECT_GE(item.PatternCount(), c.MinPatterns);
    EXPECT_LE(item.PatternCount(), c.MaxPatterns);
    ASSERT_TRUE(item.Transparent);
    for (int p = 0; p < item.PatternCount(); ++p) {
      const TPixelView v = item.Pattern(p);
      ASSERT_EQ(v.Key, 0xFF00FFu);
      int drawn = 0, pink = 0;
      for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) {
          const uint32_t px = v.Pixels[static_cast<size_t>(y) * v.Stride + x] & 0xFFFFFF;
          if (px == v.Key) continue;
          ++drawn;
          pink += R(px) > 170 && B(px) > 170 && G(px) < 110;
        }
      EXPECT_GT(drawn, 0) << "pattern " << p << " is empty";
      EXPECT_EQ(pink, 0) << "pattern " << p << " has a key-coloured fringe";
    }
  }
}

// ---- On the roof of every car -------------------------------------------------------

// The car and its weapon the way the car's draw puts them; the weapon goes
// onto a page of its own so its pixels can be told from the car's.
struct TArmedCar {
  TSurface Car, Weapon;
};

TArmedCar Draw(int car, const std::string& weapon, int heading) {
  const TPictureCollectionItem& body = RequiredPicture(2, CarImage[car]);
  const TPictureCollectionItem& arm = RequiredPicture(2, weapon);
  const int w = body.Width(), h = body.Height(), x = 100, y = 60;
  TArmedCar out{BlankPage(400, 300), BlankPage(400, 300)};
  const int cx = static_cast<int>(std::trunc(w / 2.0 + x)), cy = static_cast<int>(std::trunc(h / 2.0 + y));
  if (heading == 0)
    body.Draw(out.Car, x, y, 0);
  else
    body.DrawRotate(out.Car, cx, cy, w, h, 0, 0.5, 0.5, heading);
  double pivot = (h / 2.0) / 114 - 0.6 + GunPivotOffset[car];
  if (weapon == "GunShooting") pivot += ShotPivotAdjust[car] - 0.03;
  arm.DrawRotate(out.Weapon, cx, cy, arm.Width(), arm.Height(), 0, 0.5, pivot, heading);
  return out;
}

struct TExtent {
  int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1, Count = 0;
};

TExtent Extent(const TSurface& s) {
  TExtent e;
  for (int y = 0; y < s.Height; ++y)
    for (int x = 0; x < s.Width; ++x)
      if (s.Row(y)[x] != kBlank) {
        e.Left = std::min(e.Left, x), e.Right = std::max(e.Right, x);
        e.Top = std::min(e.Top, y), e.Bottom = std::max(e.Bottom, y);
        ++e.Count;
      }
  return e;
}

// Whatever frame shows and however the car is turned, the weapon stands on
// the car: not a pixel of it, its muzzle flash or its shadow hangs off.
TEST(GeneratedWeaponArt, EveryFrameStaysOnEveryCarAtEveryHeading) {
  for (int car = 1; car <= PlayerCarCount; ++car)
    for (const std::string& weapon : RoofWeapons())
      for (int heading : {-64, 0, 64}) {
        const TArmedCar a = Draw(car, weapon, heading);
        int off = 0, drawn = 0;
        for (size_t i = 0; i < a.Weapon.Pixels.size(); ++i)
          if (a.Weapon.Pixels[i] != kBlank) {
            ++drawn;
            off += a.Car.Pixels[i] == kBlank;
          }
        EXPECT_GT(drawn, 150) << "Car" << car << " " << weapon << " at " << heading;
        EXPECT_EQ(off, 0) << "Car" << car << " " << weapon << " at " << heading;
      }
}

// Firing swaps in the taller picture and moves the pivot; the gun itself
// must stay on the same pixels of every car, only the flash is added above.
TEST(GeneratedWeaponArt, FiringGunKeepsItsPlace) {
  for (int car = 1; car <= PlayerCarCount; ++car)
    for (int heading : {-64, 0, 64}) {
      SCOPED_TRACE("Car" + std::to_string(car) + " at " + std::to_string(heading));
      const TExtent ready = Extent(Draw(car, "GunAnim_6", heading).Weapon);
      const TExtent firing = Extent(Draw(car, "GunShooting", heading).Weapon);
      if (heading == 0) {
        EXPECT_NEAR(firing.Bottom, ready.Bottom, 1);
        EXPECT_LT(firing.Top, ready.Top - 10) << "no flash ahead of the muzzle";
      } else if (heading == 64) {
        EXPECT_NEAR(firing.Left, ready.Left, 1);
        EXPECT_GT(firing.Right, ready.Right + 10);
      } else {
        EXPECT_NEAR(firing.Right, ready.Right, 1);
        EXPECT_LT(firing.Left, ready.Left - 10);
      }
    }
}

// ---- The rocket ---------------------------------------------------------------------

// The rocket draws its flame in two ways: unturned from the flame sprite's
// place (rocket X - 12, Y - 2) shifted by half the flame's size, and turned
// about the rocket's centre with the flame's pivot fractions 0.5, -0.22.
// Either way the flame must start at the rocket's tail, on its centre line.
TEST(GeneratedWeaponArt, RocketFlameStartsAtTheTailBothWaysItIsDrawn) {
  const TPictureCollectionItem& rocket = RequiredPicture(2, "Rocket");
  const TPictureCollectionItem& fire = RequiredPicture(2, "EngineFire");
  const int x = 50, y = 40, rw = rocket.Width(), rh = rocket.Height(), fw = fire.Width(), fh = fire.Height();
  TSurface body = BlankPage(160, 160);
  rocket.Draw(body, x, y, 0);
  const TExtent r = Extent(body);
  for (bool turned : {false, true})
    for (int p = 0; p < fire.PatternCount(); ++p) {
      SCOPED_TRACE(std::string(turned ? "turned" : "unturned") + " pattern " + std::to_string(p));
      TSurface flame = BlankPage(160, 160);
      if (turned)
        fire.DrawRotate(flame, static_cast<int>(std::trunc(x + rw / 2.0)), static_cast<int>(std::trunc(y + rh / 2.0)),
                        fw, fh, p, 0.5, -0.22, 1);
      else
        fire.Draw(flame, static_cast<int>(std::trunc(x - 12 + fw / 2.0)),
                  static_cast<int>(std::trunc(y - 2 + fh / 2.0)), p);
      const TExtent f = Extent(flame);
      EXPECT_GE(f.Top, r.Bottom - 3);
      EXPECT_LE(f.Top, r.Bottom + 1);
      EXPECT_NEAR((f.Left + f.Right) / 2.0, (r.Left + r.Right) / 2.0, 1.5);
      EXPECT_GT(f.Bottom - f.Top, rh) << "a flame shorter than the rocket";
    }
}

// The blast opens on a white-hot core in the middle, burns out into smoke
// and ends dark: no bright pixel is left in its last pattern.
TEST(GeneratedWeaponArt, BlastStartsWhiteHotAndEndsInSmoke) {
  const TPictureCollectionItem& blast = RequiredPicture(2, "Explosion");
  const TPixelView first = blast.Pattern(0), last = blast.Pattern(blast.PatternCount() - 1);
  const uint32_t core = first.Pixels[static_cast<size_t>(32) * first.Stride + 32];
  EXPECT_GE(std::min({R(core), G(core), B(core)}), 230);
  int brightest = 0;
  for (int y = 0; y < last.Height; ++y)
    for (int x = 0; x < last.Width; ++x) {
      const uint32_t px = last.Pixels[static_cast<size_t>(y) * last.Stride + x] & 0xFFFFFF;
      if (px != last.Key) brightest = std::max({brightest, R(px), G(px), B(px)});
    }
  EXPECT_LT(brightest, 120);
}

}  // namespace
