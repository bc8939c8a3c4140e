#pragma once
// Folder assets/: the generator that draws and synthesises Data/ at build
// time: paint/ (the painting kit), pictures/, sounds/, music/. Uses gfx/ and
// sprites/ for the archive format, and reads the game's tables where the art
// must fit them.
//
// Everything the generator makes, archive by archive. Each part of the
// game's art adds its items through one function; catalog.cpp lists those
// functions per archive, in the order their items are stored.
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "sprites/image_list.h"
#include "sprites/wave_list.h"

using TImageItems = std::vector<TPictureCollectionItem>;
using TWaveItems = std::vector<TWaveCollectionItem>;

struct TImageBuilder {
  const char* Concern;
  void (*Add)(TImageItems& items);
};

struct TWaveBuilder {
  const char* Concern;
  void (*Add)(TWaveItems& items);
};

// A composed view of finished pictures (a whole screen, a sheet of frames),
// written only when previews are asked for.
struct TPreviewBuilder {
  const char* Concern;
  void (*Write)(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
};

const std::vector<TImageBuilder>& Res1Builders();
const std::vector<TImageBuilder>& Res2Builders();
const std::vector<TWaveBuilder>& SoundBuilders();
const std::vector<TPreviewBuilder>& PreviewBuilders();

// Item helpers.
// A picture drawn whole, no colour key. Pattern sizes 0 mean the whole bitmap.
TPictureCollectionItem OpaquePicture(std::string name, TSurface bitmap, int patternWidth = 0,
                                     int patternHeight = 0);
// A picture whose `keyRgb` (0x00RRGGBB) pixels are not drawn.
TPictureCollectionItem KeyedPicture(std::string name, TSurface bitmap, uint32_t keyRgb, int patternWidth = 0,
                                    int patternHeight = 0);
TWaveCollectionItem WaveItem(std::string name, std::vector<uint8_t> riff, bool looped, int maxPlayingCount);
// Throws std::runtime_error when the name is missing.
const TPictureCollectionItem& FindPicture(const TImageItems& items, const std::string& name);

// ---- The parts ----------------------------------------------------------
// Menus (menu_art.cpp)
void AddMainMenuArt(TImageItems& res1);
void WriteMainMenuPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
// Sounds (menu_sounds.cpp)
void AddMenuSounds(TWaveItems& sounds);
