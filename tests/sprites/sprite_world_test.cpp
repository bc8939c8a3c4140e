#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/frame_rate.h"
#include "sprites/background_sprite.h"
#include "sprites/image_list.h"
#include "sprites/lookup_error.h"
#include "sprites/my_image_sprite.h"
#include "sprites/pointer.h"
#include "sprites/sprite.h"

namespace {

constexpr uint32_t kBlack = 0x000000;

// A plain box that writes its id into a shared log when drawn or moved.
class TBox : public TSprite {
 public:
  TBox(TSprite* parent, int id, std::vector<int>* log, double x = 100, double y = 100, int w = 10, int h = 10)
      : TSprite(parent), Id(id), Log(log) {
    X = x;
    Y = y;
    Width = w;
    Height = h;
  }
  ~TBox() override { ++Freed; }
  void DoDraw() override { Log->push_back(Id); }
  void DoMove(int moveCount) override {
    Moves += moveCount;
    if (Spawn) {
      Spawn = false;
      Spawned = new TBox(&MDXSpriteEngine, Id + 100, Log);
    }
  }

  int Id;
  std::vector<int>* Log;
  int Moves = 0;
  bool Spawn = false;
  TBox* Spawned = nullptr;
  static int Freed;
};
int TBox::Freed = 0;

// One row of square patterns, each filled with its own colour.
void MakeStrip(TPictureCollectionItem& item, const std::string& name, int size, const std::vector<uint32_t>& colours) {
  item.Name = name;
  item.Picture.Resize(size * static_cast<int>(colours.size()), size);
  for (int y = 0; y < size; ++y) {
    for (size_t i = 0; i < colours.size(); ++i) {
      for (int x = 0; x < size; ++x) item.Picture.Row(y)[static_cast<int>(i) * size + x] = colours[i];
    }
  }
  item.PatternWidth = size;
  item.PatternHeight = size;
  item.Transparent = false;
}

uint32_t Pixel(int x, int y) { return BackSurface.Row(y)[x]; }

class SpriteWorld : public testing::Test {
 protected:
  void SetUp() override {
    BackSurface.Resize(SurfaceWidth, SurfaceHeight);
    MDXSpriteEngine.Clear();
    TBox::Freed = 0;
  }
  void TearDown() override {
    MDXSpriteEngine.Clear();
    MDXImageList1.Clear();
  }
  std::vector<int> DrawOrder() {
    log.clear();
    MDXSpriteEngine.Draw();
    return log;
  }
  std::vector<int> log;
};

TEST_F(SpriteWorld, EqualZLiesBeneathAndSetZReinserts) {
  auto* a = new TBox(&MDXSpriteEngine, 1, &log);
  auto* b = new TBox(&MDXSpriteEngine, 2, &log);
  new TBox(&MDXSpriteEngine, 3, &log);
  EXPECT_EQ(DrawOrder(), (std::vector<int>{3, 2, 1}));

  b->SetZ(5);
  EXPECT_EQ(DrawOrder(), (std::vector<int>{3, 1, 2}));
  a->SetZ(5);  // joins Z 5 beneath the sprite already there
  EXPECT_EQ(DrawOrder(), (std::vector<int>{3, 1, 2}));
  b->SetZ(-1);
  EXPECT_EQ(DrawOrder(), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(MDXSpriteEngine.Count(), 3);
  EXPECT_EQ(MDXSpriteEngine.Items(1), b);  // creation order is untouched by Z
}

struct BoundsCase {
  double x, y;
  int w, h;
  bool drawn;
};

TEST_F(SpriteWorld, DrawsOnlyBoxesThatCoverASurfacePixel) {
  const BoundsCase cases[] = {
      {-20, 100, 10, 10, false},  // left of the surface
      {-10, 100, 10, 10, false},  // right edge touches x = 0
      {-9, 100, 10, 10, true},
      {-9.5, 100, 10, 10, false},  // rounds to -10 (half to even)
      {-8.5, 100, 10, 10, true},   // rounds to -8
      {792, 100, 10, 10, false},
      {791, 100, 10, 10, true},
      {791.5, 100, 10, 10, false},  // rounds to 792
      {100, -10, 10, 10, false},
      {100, 592, 10, 10, false},
      {100, 591, 10, 10, true},
      {-100, -100, 1000, 1000, true},  // covers the whole surface
      {100, 100, 0, 10, false},        // no width, no pixel
  };
  for (const BoundsCase& c : cases) {
    MDXSpriteEngine.Clear();
    new TBox(&MDXSpriteEngine, 7, &log, c.x, c.y, c.w, c.h);
    const bool drawn = !DrawOrder().empty();
    EXPECT_EQ(drawn, c.drawn) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    EXPECT_EQ(MDXSpriteEngine.DrawCount, c.drawn ? 1 : 0) << c.x << "," << c.y;
  }
}

TEST_F(SpriteWorld, DrawNeedsASurface) {
  new TBox(&MDXSpriteEngine, 1, &log);
  BackSurface.Resize(0, 0);
  EXPECT_TRUE(DrawOrder().empty());
  EXPECT_EQ(MDXSpriteEngine.DrawCount, 0);
}

TEST_F(SpriteWorld, HiddenOrHeldSpritesSkipTheirChildren) {
  auto* parent = new TBox(&MDXSpriteEngine, 1, &log, 100, 100);
  auto* child = new TBox(parent, 2, &log, 5, 7);
  EXPECT_EQ(child->Engine, &MDXSpriteEngine);
  EXPECT_EQ(child->GetBoundsRect().Left, 105);
  EXPECT_EQ(child->GetBoundsRect().Top, 107);
  EXPECT_EQ(MDXSpriteEngine.SpriteCount, 2);

  EXPECT_EQ(DrawOrder(), (std::vector<int>{1, 2}));
  EXPECT_EQ(MDXSpriteEngine.DrawCount, 2);
  parent->Visible = false;
  EXPECT_TRUE(DrawOrder().empty());
  parent->Visible = true;
  child->Visible = false;
  EXPECT_EQ(DrawOrder(), (std::vector<int>{1}));

  MDXSpriteEngine.Move(16);
  EXPECT_EQ(parent->Moves, 16);
  EXPECT_EQ(child->Moves, 16);
  parent->Moved = false;
  MDXSpriteEngine.Move(16);
  EXPECT_EQ(parent->Moves, 16);
  EXPECT_EQ(child->Moves, 16);
}

TEST_F(SpriteWorld, SpritesBornDuringMoveWaitForTheNextMove) {
  auto* spawner = new TBox(&MDXSpriteEngine, 1, &log);
  spawner->Spawn = true;
  MDXSpriteEngine.Move(10);
  ASSERT_NE(spawner->Spawned, nullptr);
  EXPECT_EQ(spawner->Spawned->Moves, 0);
  MDXSpriteEngine.Move(10);
  EXPECT_EQ(spawner->Spawned->Moves, 10);
  EXPECT_EQ(spawner->Moves, 20);
}

TEST_F(SpriteWorld, DeadSpritesLiveUntilTheSweepAndAreFreedOnce) {
  auto* keep = new TBox(&MDXSpriteEngine, 1, &log);
  auto* doomed = new TBox(&MDXSpriteEngine, 2, &log);
  doomed->Dead();
  doomed->Dead();
  EXPECT_EQ(MDXSpriteEngine.DeadList.size(), 1u);
  EXPECT_TRUE(doomed->IsDead());

  MDXSpriteEngine.Move(5);
  EXPECT_EQ(doomed->Moves, 5);
  EXPECT_EQ(DrawOrder(), (std::vector<int>{2, 1}));

  MDXSpriteEngine.Dead();
  EXPECT_EQ(TBox::Freed, 1);
  EXPECT_TRUE(MDXSpriteEngine.DeadList.empty());
  EXPECT_EQ(MDXSpriteEngine.SpriteCount, 1);
  EXPECT_EQ(DrawOrder(), (std::vector<int>{1}));
  MDXSpriteEngine.Dead();
  EXPECT_EQ(TBox::Freed, 1);
  EXPECT_EQ(MDXSpriteEngine.Items(0), keep);
}

TEST_F(SpriteWorld, FreeingAParentTakesItsDeadChildOffTheList) {
  auto* parent = new TBox(&MDXSpriteEngine, 1, &log);
  auto* child = new TBox(parent, 2, &log);
  new TBox(parent, 3, &log);
  child->Dead();
  parent->Dead();  // freed first, and with it both children
  MDXSpriteEngine.Dead();
  EXPECT_EQ(TBox::Freed, 3);
  EXPECT_EQ(MDXSpriteEngine.SpriteCount, 0);
  EXPECT_EQ(MDXSpriteEngine.Count(), 0);
}

TEST_F(SpriteWorld, ClearEmptiesTheWorld) {
  auto* parent = new TBox(&MDXSpriteEngine, 1, &log);
  new TBox(parent, 2, &log);
  (new TBox(&MDXSpriteEngine, 3, &log))->Dead();
  MDXSpriteEngine.Clear();
  EXPECT_EQ(TBox::Freed, 3);
  EXPECT_EQ(MDXSpriteEngine.SpriteCount, 0);
  EXPECT_TRUE(MDXSpriteEngine.DeadList.empty());
  EXPECT_TRUE(MDXSpriteEngine.DrawList.empty());
}

TEST_F(SpriteWorld, GetSpriteAtIncludesAllEdgesAndPrefersHigherZ) {
  auto* box = new TBox(&MDXSpriteEngine, 1, &log, 10, 20, 30, 40);  // 10..40 by 20..60
  struct {
    double x, y;
    bool hit;
  } points[] = {{10, 20, true}, {40, 60, true}, {40.4, 60.4, true}, {40.6, 60, false},
                {9.5, 20, true},  // rounds to 10
                {10, 19.5, true},  // rounds to 20
                {9.4, 30, false},  {25, 61, false}};
  for (const auto& p : points) {
    EXPECT_EQ(MDXSpriteEngine.GetSpriteAt(p.x, p.y) == box, p.hit) << p.x << "," << p.y;
  }

  auto* same = new TBox(&MDXSpriteEngine, 2, &log, 10, 20, 30, 40);
  EXPECT_EQ(MDXSpriteEngine.GetSpriteAt(20, 30), box);  // equal Z: first created
  same->SetZ(3);
  EXPECT_EQ(MDXSpriteEngine.GetSpriteAt(20, 30), same);
  same->Visible = false;
  EXPECT_EQ(MDXSpriteEngine.GetSpriteAt(20, 30), box);

  // A child's box is relative to its parent.
  auto* child = new TBox(box, 3, &log, 100, 100, 5, 5);
  child->SetZ(1);
  EXPECT_EQ(MDXSpriteEngine.GetSpriteAt(112, 122), child);
  EXPECT_EQ(MDXSpriteEngine.GetSpriteAt(300, 300), nullptr);
}

struct AnimCase {
  bool looped;
  int count;
  double pos, speed;
  int moveCount;
  double expectPos, expectSpeed;
};

TEST_F(SpriteWorld, ImageSpriteAnimationWrapsOrStops) {
  const AnimCase cases[] = {
      {false, 5, 0, 1, 100, 4, 0},      // stops on the last pattern
      {false, 5, 2, 0.5, 2, 3, 0.5},    // still running
      {false, 5, 2, -1, 3, 0, 0},       // ran off the front
      {true, 4, 0, 0.5, 13, 2.5, 0.5},  // 6.5 wraps to 2.5
      {true, 4, 1, 0.5, 2, 2, 0.5},     // 2 / 4 rounds to 0, nothing taken off
      {true, 4, 0, 0.5, 12, 2, 0.5},    // 6 / 4 rounds to 2, the remainder goes negative first
      {true, 4, 0.5, -1, 1, 3.5, -1},   // below zero comes round from the top
      {true, 4, 3, 0.6, 1, 3.6, 0.6},   // a plain image sprite keeps 3.6
      {true, 0, 3, 1, 1, 0, 1},
  };
  for (const AnimCase& c : cases) {
    TImageSprite s(nullptr);
    s.AnimLooped = c.looped;
    s.AnimCount = c.count;
    s.AnimPos = c.pos;
    s.AnimSpeed = c.speed;
    s.DoMove(c.moveCount);
    EXPECT_NEAR(s.AnimPos, c.expectPos, 1e-9) << c.pos << " + " << c.speed << " x " << c.moveCount;
    EXPECT_DOUBLE_EQ(s.AnimSpeed, c.expectSpeed) << c.pos << " + " << c.speed << " x " << c.moveCount;
  }
}

TEST_F(SpriteWorld, GameSpriteAnimationNeverReachesPatternCount) {
  auto* s = new TMyImageSprite(1);
  EXPECT_TRUE(s->AnimLooped);
  s->AnimCount = 4;
  s->AnimPos = 3;
  s->AnimSpeed = 0.6;
  s->DoMove(1);
  EXPECT_DOUBLE_EQ(s->AnimPosBeforeMove, 3);
  EXPECT_DOUBLE_EQ(s->AnimPos, 0);

  s->AnimSpeed = 0.15;
  for (int tick = 0; tick < 200; ++tick) {
    MDXSpriteEngine.Move(1);
    ASSERT_LT(SpriteRound(s->AnimPos), 4) << "tick " << tick << " AnimPos " << s->AnimPos;
  }
}

TEST_F(SpriteWorld, AnimRateSetsTheSpeedForTheNextTick) {
  const int savedFrameMs = FrameMs;
  FrameMs = 10;
  auto* s = new TMyImageSprite(1);
  s->AnimCount = 8;
  s->AnimRate = 50;  // half a pattern per tick
  s->DoMove(10);
  EXPECT_DOUBLE_EQ(s->AnimPos, 0);  // the speed was still 0 during this move
  EXPECT_DOUBLE_EQ(s->AnimSpeed, 0.05);
  s->DoMove(10);
  EXPECT_DOUBLE_EQ(s->AnimPos, 0.5);
  FrameMs = savedFrameMs;
}

TEST_F(SpriteWorld, KillMarksOnce) {
  auto* s = new TMyImageSprite(1);
  s->Kill();
  s->Kill();
  s->Dead();
  EXPECT_EQ(s->Killed, 1);
  EXPECT_EQ(MDXSpriteEngine.DeadList.size(), 1u);
  MDXSpriteEngine.Dead();
  EXPECT_EQ(MDXSpriteEngine.SpriteCount, 0);
}

TEST_F(SpriteWorld, ImageLookupByNameAndItsFailure) {
  TPictureCollectionItem item;
  MakeStrip(item, "Lamp", 8, {0xFF0000, 0x00FF00, 0x0000FF});
  item.Picture.Resize(24, 10);  // pattern 8 x 10
  item.PatternHeight = 10;
  MDXImageList1.Items.push_back(std::move(item));
  MDXImageList1.Reindex();

  TMyImageSprite* s = TMyImageSprite::CreateAt(1, "lamp", 30, 40, 7);
  EXPECT_EQ(s->Image, &MDXImageList1.Items[0]);
  EXPECT_EQ(s->Width, 8);
  EXPECT_EQ(s->Height, 10);
  EXPECT_EQ(s->AnimCount, 3);
  EXPECT_EQ(s->GetZ(), 7);
  EXPECT_DOUBLE_EQ(s->X, 30);

  TMyImageSprite* c = TMyImageSprite::CreateCentered(1, "Lamp", 100, 51, 2);
  EXPECT_DOUBLE_EQ(c->X, 96);
  EXPECT_DOUBLE_EQ(c->Y, 46);
  c->SetImageCentered("Lamp", 11, 11);
  EXPECT_DOUBLE_EQ(c->X, 7);
  EXPECT_DOUBLE_EQ(c->Y, 6);

  c->AnimSpeed = 0.25;
  c->AnimLooped = false;
  c->AnimPos = 2;
  c->SetAnimation("Lamp", 30);
  EXPECT_DOUBLE_EQ(c->AnimPos, 0);
  EXPECT_TRUE(c->AnimLooped);
  EXPECT_EQ(c->AnimRate, 30);
  EXPECT_DOUBLE_EQ(c->AnimSpeed, 0.25);  // left for AnimRate to set

  EXPECT_EQ(MDXSpriteEngine.SpriteCount, 2);
  try {
    TMyImageSprite::CreateAt(1, "NoSuchImage", 0, 0, 0);
    FAIL() << "a missing image must throw";
  } catch (const ELookupError& e) {
    EXPECT_STREQ(e.what(), "Image 'NoSuchImage' not found");
  }
  EXPECT_THROW(TMyImageSprite::CreateCentered(1, "NoSuchImage", 0, 0, 0), ELookupError);
  EXPECT_THROW(new TPointer(1, "NoSuchImage", 0.5, 0.5, 0, 0), ELookupError);
  EXPECT_EQ(MDXSpriteEngine.SpriteCount, 2);  // nothing left behind
  EXPECT_THROW(TMyImageSprite::CreateAt(2, "Lamp", 0, 0, 0), ELookupError);  // list 2 does not hold it
}

TEST_F(SpriteWorld, ImageSpriteDrawsTheRoundedPatternCentredInItsBox) {
  TPictureCollectionItem item;
  MakeStrip(item, "Strip", 4, {0xFF0000, 0x00FF00});
  auto* s = new TImageSprite(&MDXSpriteEngine);
  s->SetImage(&item);
  EXPECT_EQ(s->Width, 4);
  s->X = 20.5;  // rounds to 20
  s->Y = 30;
  s->AnimPos = 0.5;  // rounds to pattern 0
  MDXSpriteEngine.Draw();
  EXPECT_EQ(Pixel(20, 30), 0xFF0000u);
  EXPECT_EQ(Pixel(23, 33), 0xFF0000u);
  EXPECT_EQ(Pixel(24, 30), kBlack);

  FillSurface(BackSurface, kBlack);
  s->AnimPos = 1.5;  // rounds to 2: past the last pattern, nothing drawn
  MDXSpriteEngine.Draw();
  EXPECT_EQ(MDXSpriteEngine.DrawCount, 1);
  EXPECT_EQ(Pixel(21, 31), kBlack);

  FillSurface(BackSurface, kBlack);
  s->AnimPos = 1;
  s->Width = 9;  // (9 - 4) div 2 = 2 to the right
  s->Height = 3;  // (3 - 4) div 2 = 0
  MDXSpriteEngine.Draw();
  EXPECT_EQ(Pixel(21, 30), kBlack);
  EXPECT_EQ(Pixel(22, 30), 0x00FF00u);
  EXPECT_EQ(Pixel(25, 33), 0x00FF00u);

  s->SetImage(nullptr);
  EXPECT_EQ(s->Width, 0);
  EXPECT_EQ(s->Height, 0);
}

TEST_F(SpriteWorld, AlphaPathTruncatesWhereThePlainPathRounds) {
  TPictureCollectionItem item;
  MakeStrip(item, "Strip", 4, {0xFF0000, 0x00FF00});
  auto* s = new TMyImageSprite(1);
  s->SetImage(&item);
  s->X = 11.5;
  s->Y = 20;
  s->AnimPos = 0.7;  // plain: pattern 1; blended: pattern 0
  s->AlphaOn = 1;
  s->Alpha = 255;  // opaque: the plain path
  MDXSpriteEngine.Draw();
  EXPECT_EQ(Pixel(11, 20), kBlack);
  EXPECT_EQ(Pixel(12, 20), 0x00FF00u);

  FillSurface(BackSurface, kBlack);
  s->Alpha = 254;
  MDXSpriteEngine.Draw();
  EXPECT_NE(Pixel(11, 20), kBlack);
  EXPECT_EQ(Pixel(11, 20) & 0x00FF00u, 0u);  // red pattern 0, blended
  EXPECT_EQ(Pixel(15, 20), kBlack);

  FillSurface(BackSurface, kBlack);
  s->AlphaOn = 0;
  s->Alpha = 0;
  MDXSpriteEngine.Draw();
  EXPECT_EQ(Pixel(12, 20), 0x00FF00u);
}

TEST_F(SpriteWorld, BackgroundDrawsItsChipsFromTheWorldOrigin) {
  TPictureCollectionItem tiles;
  MakeStrip(tiles, "Tiles", 10, {0x110000, 0x220000, 0x330000});
  auto* bg = new TBackgroundSprite(&MDXSpriteEngine);
  EXPECT_EQ(bg->GetBoundsRect().Right, 0);  // no image: empty box
  bg->SetMapSize(3, 2);
  bg->SetImage(&tiles);
  EXPECT_EQ(bg->Width, 30);
  EXPECT_EQ(bg->Height, 20);
  bg->SetChip(0, 0, 0);
  bg->SetChip(1, 0, 1);
  bg->SetChip(2, 0, 2);
  bg->SetChip(0, 1, -1);
  bg->SetChip(1, 1, 2);
  bg->SetChip(2, 1, 1);
  bg->SetChip(3, 0, 2);  // outside: ignored
  EXPECT_EQ(bg->GetChip(3, 0), -1);
  EXPECT_EQ(bg->GetChip(0, -1), -1);
  EXPECT_EQ(bg->GetChip(2, 1), 1);

  bg->X = -15;  // the first column hangs off the left edge
  bg->Y = 5;
  const TRect box = bg->GetBoundsRect();
  EXPECT_EQ(box.Left, -15);
  EXPECT_EQ(box.Right, 15);
  EXPECT_EQ(box.Bottom, 25);
  MDXSpriteEngine.Draw();
  EXPECT_EQ(Pixel(0, 5), 0x220000u);   // chip (1, 0) starts at -5
  EXPECT_EQ(Pixel(5, 5), 0x330000u);   // chip (2, 0)
  EXPECT_EQ(Pixel(0, 15), 0x330000u);  // chip (1, 1)
  EXPECT_EQ(Pixel(5, 24), 0x220000u);  // chip (2, 1)
  EXPECT_EQ(Pixel(15, 5), kBlack);
  EXPECT_EQ(Pixel(0, 4), kBlack);

  FillSurface(BackSurface, kBlack);
  bg->X = 20;
  MDXSpriteEngine.Draw();
  EXPECT_EQ(Pixel(19, 5), kBlack);
  EXPECT_EQ(Pixel(20, 5), 0x110000u);
  EXPECT_EQ(Pixel(20, 15), kBlack);  // the empty cell
  EXPECT_EQ(Pixel(49, 24), 0x220000u);

  bg->SetMapSize(2, 0);
  EXPECT_EQ(bg->MapWidth, 0);
  EXPECT_EQ(bg->MapHeight, 0);
  bg->SetMapSize(2, 2);
  EXPECT_EQ(bg->GetChip(1, 1), 0);
  EXPECT_EQ(bg->CollisionMap.size(), 4u);
}

TEST_F(SpriteWorld, PointerPivotsAtItsFixedPointWhateverItsPosition) {
  TPictureCollectionItem needle;
  MakeStrip(needle, "Pointer", 6, {0x00FFFF});
  MDXImageList1.Items.push_back(std::move(needle));
  MDXImageList1.Reindex();
  auto* p = new TPointer(1, "Pointer", 0.5, 0.5, 100, 200);
  EXPECT_EQ(p->GetZ(), 12);
  EXPECT_EQ(p->Angle, 0);
  EXPECT_DOUBLE_EQ(p->CenterX, 0.5);
  EXPECT_EQ(p->PointX, 100);
  p->Angle = 64;
  p->X = 300;  // moves only the box that decides whether it is drawn
  MDXSpriteEngine.Draw();
  EXPECT_EQ(Pixel(106, 206), 0x00FFFFu);  // pivot at (6 + 100, 6 + 200)
  EXPECT_EQ(Pixel(300, 200), kBlack);
  EXPECT_EQ(Pixel(110, 206), kBlack);
}

}  // namespace

// The road is drawn from one composed picture of its chips; it must follow
// every chip change, and it may spare the clear only where it paints every
// pixel with no key-coloured hole.
TEST_F(SpriteWorld, BackgroundWindowFollowsChipsAndCoversOnlyWhenSolid) {
  TSurface small;
  small.Resize(25, 25);
  MDXSpriteEngine.Surface = &small;
  TPictureCollectionItem tiles;
  MakeStrip(tiles, "Tiles", 10, {0x110000, 0x220000, 0x330000});
  auto* bg = new TBackgroundSprite(&MDXSpriteEngine);
  bg->SetMapSize(3, 3);
  bg->SetImage(&tiles);
  bg->X = -3;
  bg->Y = -2;
  auto at = [&](int x, int y) { return small.Row(y)[x]; };
  MDXSpriteEngine.Draw();
  EXPECT_EQ(at(12, 12), 0x110000u);
  EXPECT_TRUE(bg->CoversSurface());  // 30 x 30 from (-3, -2) over 25 x 25

  bg->SetChip(1, 1, 2);
  bg->SetChip(2, 2, 1);
  MDXSpriteEngine.Draw();
  EXPECT_EQ(at(7, 8), 0x330000u);    // chip (1, 1) spans 7..16 x 8..17
  EXPECT_EQ(at(6, 8), 0x110000u);
  EXPECT_EQ(at(24, 24), 0x220000u);  // chip (2, 2) from (17, 18)

  bg->X = -6;  // the right column ends at 24: the last pixel column is bare
  EXPECT_FALSE(bg->CoversSurface());
  bg->X = -3;
  bg->SetChip(0, 0, 7);  // no such pattern: nothing drawn there
  EXPECT_FALSE(bg->CoversSurface());
  bg->SetChip(0, 0, 0);
  EXPECT_TRUE(bg->CoversSurface());

  // One pixel of the key colour in a pattern: it is a hole, so no cover, and
  // what lay beneath shows through it as it would under the plain chips.
  tiles.Transparent = true;
  tiles.TransparentColor = 0x000022;  // a TColor, blue in the high byte: 0x220000 as a pixel
  MakeStrip(tiles, "Tiles", 10, {0x110000, 0x120000, 0x330000});
  tiles.Transparent = true;
  tiles.Picture.Row(4)[14] = 0x220000;  // pattern 1, pixel (4, 4)
  bg->SetImage(nullptr);
  bg->SetImage(&tiles);
  EXPECT_FALSE(bg->CoversSurface());
  FillSurface(small, 0x445566);
  MDXSpriteEngine.Draw();
  EXPECT_EQ(at(24, 24), 0x120000u);
  EXPECT_EQ(at(17 + 4, 18 + 4), 0x445566u);  // chip (2, 2) is pattern 1
  MDXSpriteEngine.Surface = &BackSurface;
}
