#include "race/world/scroll_background.h"

#include "race/world/solid_tiles.h"
#include "race/world/track_map.h"
#include "shell/game_state.h"
#include "shell/frame_rate.h"
#include "sprites/image_list.h"

double ScrollDX = 0, ScrollDY = 0;
TScrollBackground* Background = nullptr;

TScrollBackground::TScrollBackground(int listNo, int mapHeight, int mapWidth, const std::string& imageName)
    : TBackgroundSprite(&MDXSpriteEngine) {
  SetMapSize(mapWidth, mapHeight);
  SetImage(imageName, listNo);
  X = 0;
  Y = 0;
  SetZ(2);
  Tile = false;
  ScrollDX = 0;
  ScrollDY = 0;
}

void TScrollBackground::SetImage(const std::string& imageName, int listNo) {
  ListNo = static_cast<uint8_t>(listNo);
  SetImage(imageName);
}

void TScrollBackground::SetImage(const std::string& imageName) {
  TPictureCollection& list = ListNo == 1 ? MDXImageList1 : MDXImageList2;
  TBackgroundSprite::SetImage(&list.Find(imageName));
  Width = Image->Width();
  Height = Image->Height();
}

void TScrollBackground::Kill() {
  if (Killed) return;
  Killed = 1;
  Dead();
}

void TScrollBackground::DoMove(int moveCount) {
  (void)moveCount;
  VelocityX = ScrollDX;
  VelocityY = ScrollDY;
  X += ScrollDX * 0.5 * SpeedFactor;
  Y += ScrollDY * 0.5 * SpeedFactor;
  const double w = Image ? Image->Width() : 72;
  const double h = Image ? Image->Height() : 72;
  auto stepColumn = [] {
    if (ScrollDX > 0 && MapCol >= 1) MapCol -= 1;
    if (ScrollDX < 0 && MapCol + 13 < 650) MapCol += 1;
  };
  auto stepRow = [] {
    if (ScrollDY > 0 && MapRow >= 1) MapRow -= 1;
    if (ScrollDY < 0 && MapRow + 10 < 1500) MapRow += 1;
  };
  if (X > 0) {
    X -= w;
    stepColumn();
  }
  if (X < -w) {
    X += w;
    stepColumn();
  }
  if (Y > 0) {
    Y -= h;
    stepRow();
  }
  if (Y < -h) {
    Y += h;
    stepRow();
  }
  if (GameScreen == 6) TestSolidTiles();
}
