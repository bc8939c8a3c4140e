// The car's draw: marks, flames, the traffic, the wreck, the car turned by
// its heading and the weapon on its roof, all at the car's depth in one
// pass.
#include <cmath>
#include <string>

#include "race/player/burnt_car.h"
#include "race/player/car_tables.h"
#include "race/player/player.h"
#include "race/player/player_marks.h"
#include "race/player/player_weapons.h"
#include "race/replay/ghost.h"
#include "race/world/rival_cars.h"
#include "shell/game_state.h"
#include "sprites/image_list.h"

namespace {

const std::string HandbrakeImage = "Handbrake";
const std::string BloodImage = "Blood";

int Trunc(double v) { return static_cast<int>(v); }
int NonZero(int a) { return a != 0 ? a : 1; }
int NonZeroNeg(int a) { return a != 0 ? a : -1; }
int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

void TPlayer::DoDraw() {
  if (!Visible || Image == nullptr) return;
  TSurface& surface = Engine != nullptr ? *Engine->Surface : BackSurface;

  // Looked up on the first mark that needs it: a race without marks never
  // asks for their pictures.
  TPictureCollectionItem* tyre = nullptr;
  TPictureCollectionItem* blood = nullptr;
  for (int i = 1; i <= MarkSlots; ++i) {
    if (MarkShown[i] == 0 || MarkUsed[i] == 0) continue;
    TPictureCollectionItem*& item = MarkBlood[i] != 0 ? blood : tyre;
    if (item == nullptr) item = &MDXImageList2.Find(MarkBlood[i] != 0 ? BloodImage : HandbrakeImage);
    item->DrawRotate(surface, Trunc(MarkX[i] + 5), Trunc(MarkY[i] + 7), 10, 14, 0, 0.5, 0.5, MarkAngle[i]);
  }

  const double w = Width, h = Height;
  if (!Wrecked && FlameShown) {
    const TPictureCollectionItem* left = NitroFlameLeft->Image;
    const int fx = Trunc(Image->Width() / 2.0 + X);
    const int fy = Trunc(Image->Height() / 2.0 + Y);
    // Both flames turn about the car's centre: the pivot lies that far from
    // each flame picture, in flame widths and heights.
    const double leftCx = (w / 2 - 8) / 16;
    const double cy = -(h / 2 - 8) / 51;
    left->DrawRotate(surface, fx, fy, left->Width(), left->Height(), Trunc(NitroFlameLeft->AnimPos), leftCx, cy,
                     NonZero(Heading));
    if (Heading == -64 || Heading == 64) {
      // Turned a full quarter, the right flame is the left one mirrored
      // across the car's width.
      left->DrawRotate(surface, fx, Trunc(Image->Height() / 2.0 + Y + Sign(Heading) * Image->Width() / 2.0),
                       left->Width(), left->Height(), Trunc(NitroFlameLeft->AnimPos), leftCx, cy,
                       NonZeroNeg(Heading));
    } else {
      const TPictureCollectionItem* right = NitroFlameRight->Image;
      const double rightCx = -(w / 2 - NitroFlameRight->Width - 8) / 16;
      right->DrawRotate(surface, fx, fy, right->Width(), right->Height(), Trunc(NitroFlameRight->AnimPos), rightCx,
                        cy, NonZeroNeg(Heading));
    }
    // Set again by every tick that burns nitro.
    FlameShown = false;
  }

  // The traffic's own sprite draws nothing: the rival cars are drawn here,
  // so they share the car's depth.
  if (Cars != nullptr) Cars->DrawTraffic(surface);
  // Over the traffic, under your own car: the ghost drives through both.
  DrawGhost(surface);

  // The blast is placed by the size of its own picture; the car's picture
  // sits on the car's point.
  const int iw = Image->Width(), ih = Image->Height();
  if (Image->PatternCount() > 1) {
    X = iw / 2.0 + PlayerScreenX - 32;
    Y = ih / 2.0 + PlayerScreenY + 10;
  } else {
    X = PlayerScreenX;
    Y = PlayerScreenY;
  }

  if (Wrecked && !StartPlaced) {
    // The burnt car under the blast, until the view jumps to the start: as
    // the blast dies down it shows a wreck, never the car as it was before
    // the crash.
    if (const TPictureCollectionItem* wreck = BurntCar())
      wreck->DrawRotate(surface, Trunc(iw / 2.0 + X), Trunc(ih / 2.0 + Y), 2 * CarHalfWidth[SelectedCar],
                        2 * CarHalfHeight[SelectedCar], 0, 0.5, 0.5, Heading);
    const TQuadPoint* c = Corners.P;
    const double frontX = (3 * c[0].X + 3 * c[1].X + c[2].X + c[3].X) / 8;
    const double frontY = (3 * c[0].Y + 3 * c[1].Y + c[2].Y + c[3].Y) / 8;
    const double rearX = (c[0].X + c[1].X + 3 * c[2].X + 3 * c[3].X) / 8;
    const double rearY = (c[0].Y + c[1].Y + 3 * c[2].Y + 3 * c[3].Y) / 8;
    // Two more blasts, a few frames ahead, over the bonnet and the boot; a
    // frame past the last draws nothing.
    Image->DrawRotate(surface, Trunc(iw / 2.0 + frontX - 32), Trunc(ih / 2.0 + frontY - 32), iw, ih,
                      Trunc(AnimPos + 2), 0.5, 0.5, Heading);
    Image->DrawRotate(surface, Trunc(iw / 2.0 + rearX - 32), Trunc(ih / 2.0 + rearY - 32), iw, ih,
                      Trunc(AnimPos + 4), 0.5, 0.5, Heading);
  }

  if (Heading == 0) {
    TMyImageSprite::DoDraw();
  } else {
    Image->DrawRotate(surface, Trunc(iw / 2.0 + X), Trunc(ih / 2.0 + Y), iw, ih, Trunc(AnimPos), 0.5, 0.5, Heading);
  }

  if (!Wrecked && (WeaponKind == WeaponGun || WeaponKind == WeaponRockets)) {
    const TPictureCollectionItem* weapon = WeaponSprite->Image;
    // The pivot fractions put the weapon's rotation centre on the car's
    // centre, so the weapon turns with the car.
    double cy = (h / 2) / 114 - 0.6 + GunPivotOffset[SelectedCar];
    if (WeaponKind == WeaponGun && weapon->Name == GunShootingImage) cy += ShotPivotAdjust[SelectedCar] - 0.03;
    weapon->DrawRotate(surface, Trunc(w / 2 + X), Trunc(h / 2 + Y), weapon->Width(), weapon->Height(),
                       Trunc(WeaponSprite->AnimPos), 0.5, cy, Heading);
  }
}
