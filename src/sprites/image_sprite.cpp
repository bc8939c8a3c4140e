#include "sprites/image_sprite.h"

TRect TImageSprite::GetBoundsRect() const { return TSprite::GetBoundsRect(); }

void TImageSprite::SetImage(TPictureCollectionItem* item) {
  Image = item;
  Width = item != nullptr ? item->Width() : 0;
  Height = item != nullptr ? item->Height() : 0;
}

void TImageSprite::DoMove(int moveCount) {
  AnimPos += AnimSpeed * moveCount;
  if (AnimLooped) {
    if (AnimCount > 0) {
      AnimPos -= SpriteRound(AnimPos / AnimCount) * static_cast<double>(AnimCount);
      if (AnimPos < 0) AnimPos += AnimCount;
    } else {
      AnimPos = 0;
    }
  } else {
    // A one-shot animation rests on its last pattern.
    if (AnimPos >= AnimCount) {
      AnimPos = AnimCount - 1;
      AnimSpeed = 0;
    }
    if (AnimPos < 0) {
      AnimPos = 0;
      AnimSpeed = 0;
    }
  }
}

void TImageSprite::DoDraw() {
  if (Image == nullptr) return;
  const TRect box = GetBoundsRect();
  // Centre the pattern in the sprite's box; integer division truncates
  // toward zero, as the original placement did.
  const int x = box.Left + (Width - Image->Width()) / 2;
  const int y = box.Top + (Height - Image->Height()) / 2;
  TSurface& dest = Engine != nullptr ? *Engine->Surface : BackSurface;
  Image->Draw(dest, x, y, SpriteRound(AnimPos) + AnimStart);
}
