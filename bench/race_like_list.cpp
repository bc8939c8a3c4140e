#include "race_like_list.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace {

constexpr uint32_t Key = 0xFF00FF;
constexpr int TileKinds = 8;

struct TPicture {
  int Width = 0, Height = 0;
  bool Keyed = false;
  std::vector<uint32_t> Pixels;
  TPixelView View() const { return TPixelView{Pixels.data(), Width, Width, Height, Keyed, Key}; }
};

TPicture Paint(int w, int h, bool keyed, uint32_t (*paint)(int x, int y, int w, int h)) {
  TPicture p;
  p.Width = w, p.Height = h, p.Keyed = keyed;
  p.Pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Pixels[static_cast<size_t>(y) * w + x] = paint(x, y, w, h);
  return p;
}

uint32_t Rgb(int r, int g, int b) {
  return static_cast<uint32_t>((r & 255) << 16 | (g & 255) << 8 | (b & 255));
}

// One call of the list, the same for both renderers.
struct TCar {
  int X, Y, Angle;
};
struct TSmall {
  int X, Y;
};

}  // namespace

struct TRaceLikeSources {
  TPicture Tiles[TileKinds];
  TPicture Car, Small, Panel, Needle;
  TCar Cars[20];
  TSmall Smalls[60];
  TRect Panels[6];
  int TileLeft = -30, TileTop = -40;
  int NeedleX = 641, NeedleY = 509, NeedleAngle = 40;
  static constexpr int NeedlePivotX = 72, NeedlePivotY = 4;

  TRaceLikeSources() {
    for (int k = 0; k < TileKinds; ++k) {
      Tiles[k].Width = Tiles[k].Height = 72;
      Tiles[k].Pixels.resize(72 * 72);
      for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 72; ++x)
          Tiles[k].Pixels[static_cast<size_t>(y) * 72 + x] = Rgb(x * 3 + k * 29, y * 3 + k * 53, (x ^ y) * 2 + k * 17);
    }
    // A car body: a rounded box with shading and windows, key colour around.
    Car = Paint(64, 156, true, [](int x, int y, int w, int h) -> uint32_t {
      const double dx = std::max(0.0, std::abs(x + 0.5 - w / 2.0) - (w / 2.0 - 14));
      const double dy = std::max(0.0, std::abs(y + 0.5 - h / 2.0) - (h / 2.0 - 14));
      if (dx * dx + dy * dy > 10.0 * 10.0) return Key;
      if (y > 40 && y < 60 && x > 12 && x < 52) return Rgb(30, 40, 60 + y);
      return Rgb(150 + x, 20 + y / 2, 30 + y / 4);
    });
    Small = Paint(24, 24, true, [](int x, int y, int, int) -> uint32_t {
      const double dx = x - 11.5, dy = y - 11.5;
      return dx * dx + dy * dy > 11.0 * 11.0 ? Key : Rgb(200 - x * 4, 180 + y * 2, 40 + x * y / 4);
    });
    Panel = Paint(200, 100, false, [](int x, int y, int, int) -> uint32_t { return Rgb(40 + x / 4, 60 + y, 90 + (x + y) / 8); });
    Needle = Paint(80, 8, true, [](int x, int y, int, int) -> uint32_t {
      return std::abs(y - 3.5) > 1 + x / 40.0 ? Key : Rgb(220, 40 + x, 30);
    });
    for (int i = 0; i < 20; ++i) Cars[i] = {60 + (i % 5) * 130 + (i / 5) * 13, 90 + (i / 5) * 140, (i * 13 + 5) % 256};
    for (int i = 0; i < 60; ++i) Smalls[i] = {(i * 97) % 770, (i * 61) % 570};
    for (int i = 0; i < 6; ++i) {
      const int x = 20 + (i % 3) * 260, y = 100 + (i / 3) * 250;
      Panels[i] = {x, y, x + 200, y + 100};
    }
  }
  int TileKind(int col, int row) const { return (col * 3 + row * 5) % TileKinds; }
};

struct TSdlRaceLikeTarget {
  SDL_Surface* Frame = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Tiles[TileKinds] = {};
  SDL_Texture *Car = nullptr, *Small = nullptr, *Panel = nullptr, *Needle = nullptr;

  SDL_Texture* Upload(const TPicture& p) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(p.Pixels.data()), p.Width, p.Height, 32,
                                                        p.Width * 4, SDL_PIXELFORMAT_RGB888);
    if (!s) throw std::runtime_error(SDL_GetError());
    if (p.Keyed) SDL_SetColorKey(s, SDL_TRUE, Key);
    SDL_Texture* t = SDL_CreateTextureFromSurface(Renderer, s);
    SDL_FreeSurface(s);
    if (!t) throw std::runtime_error(SDL_GetError());
    return t;
  }

  explicit TSdlRaceLikeTarget(const TRaceLikeSources& src) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    Frame = SDL_CreateRGBSurfaceWithFormat(0, SurfaceWidth, SurfaceHeight, 32, SDL_PIXELFORMAT_RGB888);
    if (!Frame) throw std::runtime_error(SDL_GetError());
    Renderer = SDL_CreateSoftwareRenderer(Frame);
    if (!Renderer) throw std::runtime_error(SDL_GetError());
    for (int k = 0; k < TileKinds; ++k) Tiles[k] = Upload(src.Tiles[k]);
    Car = Upload(src.Car);
    Small = Upload(src.Small);
    Needle = Upload(src.Needle);
    Panel = Upload(src.Panel);
    SDL_SetTextureBlendMode(Panel, SDL_BLENDMODE_BLEND);
    SDL_SetTextureAlphaMod(Panel, 128);
  }
  ~TSdlRaceLikeTarget() {
    for (SDL_Texture* t : Tiles) SDL_DestroyTexture(t);
    for (SDL_Texture* t : {Car, Small, Panel, Needle}) SDL_DestroyTexture(t);
    SDL_DestroyRenderer(Renderer);
    SDL_FreeSurface(Frame);
  }
};

TRaceLikeList::TRaceLikeList()
    : Sources(std::make_unique<TRaceLikeSources>()), Sdl(std::make_unique<TSdlRaceLikeTarget>(*Sources)) {}

TRaceLikeList::~TRaceLikeList() = default;

void TRaceLikeList::DrawOurs(TSurface& dest) const {
  const TRaceLikeSources& s = *Sources;
  for (int row = 0; row < 11; ++row)
    for (int col = 0; col < 14; ++col)
      DrawPattern(dest, s.TileLeft + col * 72, s.TileTop + row * 72, s.Tiles[s.TileKind(col, row)].View());
  for (const TCar& c : s.Cars) DrawPatternRotate(dest, c.X, c.Y, 64, 156, s.Car.View(), 0.5, 0.5, c.Angle);
  for (const TSmall& m : s.Smalls) DrawPattern(dest, m.X, m.Y, s.Small.View());
  for (const TRect& r : s.Panels) DrawPatternAlpha(dest, r, s.Panel.View(), 128);
  DrawPatternRotate(dest, s.NeedleX, s.NeedleY, 80, 8, s.Needle.View(), s.NeedlePivotX / 80.0, s.NeedlePivotY / 8.0,
                    s.NeedleAngle);
}

void TRaceLikeList::DrawSdl() {
  const TRaceLikeSources& s = *Sources;
  SDL_Renderer* r = Sdl->Renderer;
  for (int row = 0; row < 11; ++row)
    for (int col = 0; col < 14; ++col) {
      const SDL_Rect d{s.TileLeft + col * 72, s.TileTop + row * 72, 72, 72};
      SDL_RenderCopy(r, Sdl->Tiles[s.TileKind(col, row)], nullptr, &d);
    }
  for (const TCar& c : s.Cars) {
    const SDL_Rect d{c.X - 32, c.Y - 78, 64, 156};
    SDL_RenderCopyEx(r, Sdl->Car, nullptr, &d, c.Angle * 360.0 / 256.0, nullptr, SDL_FLIP_NONE);
  }
  for (const TSmall& m : s.Smalls) {
    const SDL_Rect d{m.X, m.Y, 24, 24};
    SDL_RenderCopy(r, Sdl->Small, nullptr, &d);
  }
  for (const TRect& p : s.Panels) {
    const SDL_Rect d{p.Left, p.Top, p.Right - p.Left, p.Bottom - p.Top};
    SDL_RenderCopy(r, Sdl->Panel, nullptr, &d);
  }
  const SDL_Rect d{s.NeedleX - s.NeedlePivotX, s.NeedleY - s.NeedlePivotY, 80, 8};
  const SDL_Point pivot{s.NeedlePivotX, s.NeedlePivotY};
  SDL_RenderCopyEx(r, Sdl->Needle, nullptr, &d, s.NeedleAngle * 360.0 / 256.0, &pivot, SDL_FLIP_NONE);
  SDL_RenderPresent(r);
}

void TRaceLikeList::CopySdlFrame(TSurface& out) const {
  SDL_Surface* f = Sdl->Frame;
  out.Resize(f->w, f->h);
  for (int y = 0; y < f->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(f->pixels) + y * f->pitch);
    for (int x = 0; x < f->w; ++x) out.Row(y)[x] = row[x] & 0xFFFFFFu;
  }
}

bool TRaceLikeList::NearTurnedEdge(int x, int y) const {
  const TRaceLikeSources& s = *Sources;
  // The source pixel under a screen point, or the key beyond the picture.
  auto sample = [](const TPicture& p, double u, double v) {
    if (u < 0 || v < 0 || u >= p.Width || v >= p.Height) return Key;
    return p.Pixels[static_cast<size_t>(v) * p.Width + static_cast<size_t>(u)];
  };
  auto differ = [](uint32_t a, uint32_t b) {
    if ((a == Key) != (b == Key)) return true;
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)) > 8) return true;
    return false;
  };
  // An edge is where the picture under the pixel changes (outline, key,
  // window) within a pixel and a half of the pixel centre.
  auto near = [&](const TPicture& p, double px, double py, double pivotX, double pivotY, int angle) {
    const double t = angle * 2 * std::numbers::pi / 256;
    const double dx = x + 0.5 - px, dy = y + 0.5 - py;
    const double u = dx * std::cos(t) + dy * std::sin(t) + pivotX, v = -dx * std::sin(t) + dy * std::cos(t) + pivotY;
    const uint32_t centre = sample(p, u, v);
    for (double du : {-1.5, 0.0, 1.5})
      for (double dv : {-1.5, 0.0, 1.5})
        if (differ(centre, sample(p, u + du, v + dv))) return true;
    return false;
  };
  for (const TCar& c : s.Cars)
    if (near(s.Car, c.X, c.Y, 32, 78, c.Angle)) return true;
  return near(s.Needle, s.NeedleX, s.NeedleY, s.NeedlePivotX, s.NeedlePivotY, s.NeedleAngle);
}
