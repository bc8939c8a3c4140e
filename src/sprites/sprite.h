#pragma once
// Folder sprites/: the sprite world, the game's sprite base class, collision
// quads, the picture and sound lists and their archives. Uses gfx/ and
// platform/'s file checks only.
//
// The sprite world: every visible thing is a sprite owned by the one engine.
// Children move in creation order and draw in ascending Z; a sprite marked
// Dead lives on until the engine's Dead sweep at the end of the tick.
#include <cmath>
#include <vector>

#include "gfx/surface.h"

// The sprite world rounds half to even (the FPU's default mode), so a sprite
// at x.5 lands on the even pixel.
inline int SpriteRound(double v) { return static_cast<int>(std::nearbyint(v)); }

class TSpriteEngine;

class TSprite {
 public:
  explicit TSprite(TSprite* parent);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  virtual void DoDraw() {}
  virtual void DoMove(int moveCount) { (void)moveCount; }
  virtual TRect GetBoundsRect() const;

  void Move(int moveCount);
  void Draw();
  // Marks the sprite for removal; it joins the engine's dead list once.
  void Dead();
  void SetZ(int z);
  int GetZ() const { return Z; }
  double WorldX() const;
  double WorldY() const;
  int Count() const { return static_cast<int>(Children.size()); }
  TSprite* Items(int i) const { return Children[static_cast<size_t>(i)]; }
  bool IsDead() const { return DeadFlag; }

  TSpriteEngine* Engine = nullptr;
  TSprite* Parent = nullptr;
  std::vector<TSprite*> Children;  // creation order
  std::vector<TSprite*> DrawList;  // ascending Z
  bool Moved = true;
  bool Visible = true;
  double X = 0, Y = 0;
  int Width = 0, Height = 0;

 protected:
  int Z = 0;
  bool DeadFlag = false;

 private:
  void InsertIntoDrawList(TSprite* child);
  void RemoveChild(TSprite* child);
  friend class TSpriteEngine;
};

class TSpriteEngine : public TSprite {
 public:
  TSpriteEngine();
  ~TSpriteEngine() override;

  // Draws the whole tree in ascending Z; nothing while the surface has no
  // pixels yet.
  void Draw();
  // Frees every sprite marked dead since the last sweep, last marked first.
  void Dead();
  // Frees every sprite (a test's fresh start).
  void Clear();
  // Topmost visible sprite whose box holds the point; nullptr if none.
  TSprite* GetSpriteAt(double x, double y);

  TSurface* Surface = &BackSurface;
  TRect SurfaceRect{0, 0, SurfaceWidth, SurfaceHeight};
  std::vector<TSprite*> DeadList;
  int DrawCount = 0;
  int SpriteCount = 0;  // live sprites in the tree, the engine not counted
};

extern TSpriteEngine MDXSpriteEngine;
