#include "sprites/sprite.h"

#include <algorithm>
#include <climits>
#include <cstdint>

TSpriteEngine MDXSpriteEngine;

TSprite::TSprite(TSprite* parent) : Parent(parent) {
  if (Parent == nullptr) return;
  if (auto* engine = dynamic_cast<TSpriteEngine*>(Parent)) {
    Engine = engine;
  } else {
    Engine = Parent->Engine;
  }
  Parent->Children.push_back(this);
  Parent->InsertIntoDrawList(this);
  if (Engine != nullptr) ++Engine->SpriteCount;
}

TSprite::~TSprite() {
  // Each child's destructor takes it out of our lists, so the back shrinks.
  while (!Children.empty()) delete Children.back();
  if (Parent != nullptr) Parent->RemoveChild(this);
  if (Engine != nullptr) {
    auto& dead = Engine->DeadList;
    const auto it = std::find(dead.begin(), dead.end(), this);
    if (it != dead.end()) dead.erase(it);
    --Engine->SpriteCount;
  }
}

TRect TSprite::GetBoundsRect() const {
  const int left = SpriteRound(WorldX());
  const int top = SpriteRound(WorldY());
  // A picture's size may come from a damaged archive: no wrapping around.
  const auto clamped = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); };
  return TRect{left, top, clamped(int64_t{left} + Width), clamped(int64_t{top} + Height)};
}

double TSprite::WorldX() const { return Parent != nullptr ? X + Parent->WorldX() : X; }

double TSprite::WorldY() const { return Parent != nullptr ? Y + Parent->WorldY() : Y; }

void TSprite::InsertIntoDrawList(TSprite* child) {
  // Ahead of every sprite of the same Z: the newcomer lies beneath them.
  const auto pos = std::lower_bound(DrawList.begin(), DrawList.end(), child->Z,
                                    [](const TSprite* s, int z) { return s->Z < z; });
  DrawList.insert(pos, child);
}

void TSprite::RemoveChild(TSprite* child) {
  const auto c = std::find(Children.begin(), Children.end(), child);
  if (c != Children.end()) Children.erase(c);
  const auto d = std::find(DrawList.begin(), DrawList.end(), child);
  if (d != DrawList.end()) DrawList.erase(d);
}

void TSprite::SetZ(int z) {
  if (z == Z) return;
  Z = z;
  if (Parent == nullptr) return;
  auto& list = Parent->DrawList;
  const auto it = std::find(list.begin(), list.end(), this);
  if (it != list.end()) list.erase(it);
  Parent->InsertIntoDrawList(this);
}

void TSprite::Move(int moveCount) {
  if (!Moved) return;
  DoMove(moveCount);
  // Sprites born during this pass join the next one.
  const size_t n = Children.size();
  for (size_t i = 0; i < n && i < Children.size(); ++i) Children[i]->Move(moveCount);
}

namespace {

bool Overlaps(const TRect& a, const TRect& b) {
  return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) &&
         std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

}  // namespace

void TSprite::Draw() {
  if (!Visible) return;
  if (Engine != nullptr && Overlaps(GetBoundsRect(), Engine->SurfaceRect)) {
    DoDraw();
    ++Engine->DrawCount;
  }
  for (size_t i = 0; i < DrawList.size(); ++i) DrawList[i]->Draw();
}

void TSprite::Dead() {
  if (DeadFlag) return;
  DeadFlag = true;
  if (Engine != nullptr) Engine->DeadList.push_back(this);
}

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {
  // A closing screen marks all its sprites at once; keep that from growing
  // the list on the way.
  DeadList.reserve(256);
}

TSpriteEngine::~TSpriteEngine() { Clear(); }

void TSpriteEngine::Draw() {
  DrawCount = 0;
  if (Surface == nullptr || Surface->Width <= 0 || Surface->Height <= 0 || Surface->Pixels.empty()) return;
  SurfaceRect = TRect{0, 0, Surface->Width, Surface->Height};
  TSprite::Draw();
}

void TSpriteEngine::Dead() {
  while (!DeadList.empty()) delete DeadList.back();
}

void TSpriteEngine::Clear() {
  while (!Children.empty()) delete Children.back();
  DeadList.clear();
  DrawCount = 0;
}

namespace {

void FindSpriteAt(const TSprite& parent, double x, double y, TSprite*& found) {
  const int px = SpriteRound(x);
  const int py = SpriteRound(y);
  for (TSprite* s : parent.Children) {
    if (s->Visible) {
      const int left = SpriteRound(s->X);
      const int top = SpriteRound(s->Y);
      if (px >= left && px <= left + s->Width && py >= top && py <= top + s->Height) {
        if (found == nullptr || s->GetZ() > found->GetZ()) found = s;
      }
    }
    FindSpriteAt(*s, x - s->X, y - s->Y, found);
  }
}

}  // namespace

TSprite* TSpriteEngine::GetSpriteAt(double x, double y) {
  TSprite* found = nullptr;
  FindSpriteAt(*this, x, y, found);
  return found;
}
