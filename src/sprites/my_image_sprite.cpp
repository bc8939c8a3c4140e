#include "sprites/my_image_sprite.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "sprites/tick_scale.h"

TMyImageSprite::TMyImageSprite(int listSel) : TImageSprite(&MDXSpriteEngine), ListSel(static_cast<unsigned char>(listSel)) {
  AnimPos = 0;
  AnimSpeed = 0;
  AnimLooped = true;
}

TMyImageSprite::TMyImageSprite(int listSel, const std::string& name, double x, double y, int z)
    : TMyImageSprite(listSel) {
  SetImageByName(name);
  X = x;
  Y = y;
  SetZ(z);
}

TMyImageSprite* TMyImageSprite::CreateAt(int listSel, const std::string& name, double x, double y, int z) {
  return new TMyImageSprite(listSel, name, x, y, z);
}

TMyImageSprite* TMyImageSprite::CreateCentered(int listSel, const std::string& name, double cx, double cy, int z) {
  // Held until the image is found: a missing name must not leave a blank
  // sprite in the world.
  std::unique_ptr<TMyImageSprite> s(new TMyImageSprite(listSel));
  s->SetImageByName(name);
  s->X = cx - s->Width / 2.0;
  s->Y = cy - s->Height / 2.0;
  s->SetZ(z);
  return s.release();
}

void TMyImageSprite::SetImageByName(const std::string& name) {
  if (ListSel == 1) {
    SetImage(&MDXImageList1.Find(name));
  } else if (ListSel == 2) {
    SetImage(&MDXImageList2.Find(name));
  }
  Width = Image != nullptr ? Image->Width() : 0;
  Height = Image != nullptr ? Image->Height() : 0;
  AnimPos = 0;
  AnimPosBeforeMove = 0;
  AnimCount = Image != nullptr ? Image->PatternCount() : 0;
}

void TMyImageSprite::SetAnimation(const std::string& name, int rate) {
  SetImageByName(name);
  AnimPos = 0;
  AnimLooped = true;
  AnimCount = Image != nullptr ? Image->PatternCount() : 0;
  AnimRate = rate;
}

void TMyImageSprite::SetImageCentered(const std::string& name, double cx, double cy) {
  SetImageByName(name);
  X = cx - Width / 2.0;
  Y = cy - Height / 2.0;
}

void TMyImageSprite::Kill() {
  if (Killed != 0) return;
  Dead();
  Killed = 1;
}

void TMyImageSprite::DoMove(int moveCount) {
  AnimPosBeforeMove = AnimPos;
  TImageSprite::DoMove(moveCount);
  // Wrap before Round(AnimPos) could name the pattern past the last one.
  if (AnimPos > AnimCount - 0.5) AnimPos = 0;
  // AnimRate is hundredths of a pattern per tick; the screens move by about
  // FrameMs per tick, so the speed per millisecond follows the frame rate.
  // Above 1000 Hz a tick may count no whole millisecond, and its lag is
  // one.
  if (AnimRate > 0) AnimSpeed = (1.0 / std::max(FrameMs, 1)) * AnimRate / 100.0;
}

void TMyImageSprite::DoDraw() {
  if (!Visible) return;
  if (AlphaOn == 0 || Alpha == 255) {
    TImageSprite::DoDraw();
    return;
  }
  if (Image == nullptr) return;
  // The blended path truncates where the plain one rounds.
  // Clamped: a picture's size from a damaged archive may not fit an int.
  const auto trunc = [](double v) {
    return static_cast<int>(std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
  };
  const TRect dest{trunc(X), trunc(Y), trunc(X + Width), trunc(Y + Height)};
  TSurface& surface = Engine != nullptr ? *Engine->Surface : BackSurface;
  Image->DrawAlpha(surface, dest, static_cast<int>(AnimPos), Alpha);
}
