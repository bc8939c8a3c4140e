#include "assets/catalog.h"

#include <stdexcept>
#include <utility>

#include "assets/pictures/town/bonus_art.h"
#include "assets/pictures/cars/car_art.h"
#include "assets/pictures/screens/car_select_art.h"
#include "assets/pictures/screens/controls_art.h"
#include "assets/pictures/effects/effects_art.h"
#include "assets/sounds/game_sounds.h"
#include "assets/pictures/screens/help_art.h"
#include "assets/pictures/screens/highscores_art.h"
#include "assets/pictures/town/lamp_art.h"
#include "assets/pictures/screens/options_art.h"
#include "assets/pictures/dashboard/panel_art.h"
#include "assets/pictures/town/pedestrian_art.h"
#include "assets/pictures/cars/rival_car_art.h"
#include "assets/pictures/screens/send_art.h"
#include "assets/pictures/town/tile_art.h"
#include "assets/pictures/effects/weapon_art.h"
#include "assets/pictures/screens/window_art.h"

const std::vector<TImageBuilder>& Res1Builders() {
  static const std::vector<TImageBuilder> builders = {
      {"main menu", AddMainMenuArt},
      {"question windows", AddWindowArt},
      {"options screen", AddOptionsArt},
      {"controls screen", AddControlsArt},
      {"car selection", AddCarSelectArt},
      {"highscores screen", AddHighscoresArt},
      {"help screen", AddHelpArt},
      {"name entry", AddSendArt},
  };
  return builders;
}

const std::vector<TImageBuilder>& Res2Builders() {
  static const std::vector<TImageBuilder> builders = {
      {"pickups", AddBonusArt},
      {"player cars", AddCarSprites},
      {"rival traffic", AddRivalCarArt},
      {"pedestrians", AddPedestrianArt},
      {"town tiles", AddTileArt},
      {"race panel", AddPanelArt},
      {"race effects", AddEffectArt},
      {"lamps and finish line", AddLampArt},
      {"weapons and rockets", AddWeaponArt},
  };
  return builders;
}

const std::vector<TWaveBuilder>& SoundBuilders() {
  static const std::vector<TWaveBuilder> builders = {
      {"menu sounds", AddMenuSounds},
      {"engine sounds", AddEngineSounds},
      {"race sounds", AddRaceSounds},
      {"weapon sounds", AddWeaponSounds},
      {"pickup sounds", AddPickupSounds},
      {"pedestrian cries", AddCrySounds},
  };
  return builders;
}

const std::vector<TPreviewBuilder>& PreviewBuilders() {
  static const std::vector<TPreviewBuilder> builders = {
      {"main menu", WriteMainMenuPreviews},
      {"question windows", WriteWindowPreviews},
      {"player cars", WriteCarSpritePreviews},
      {"rival traffic", WriteRivalCarPreviews},
      {"pedestrians", WritePedestrianPreviews},
      {"car selection", WriteCarSelectPreviews},
      {"highscores screen", WriteHighscoresPreviews},
      {"pickups", WriteBonusPreviews},
      {"help screen", WriteHelpPreviews},
      {"name entry", WriteSendPreviews},
      {"controls screen", WriteControlsPreviews},
      {"town tiles", WriteTilePreviews},
      {"race panel", WritePanelPreviews},
      {"race effects", WriteEffectPreviews},
      {"lamps and finish line", WriteLampPreviews},
      {"weapons and rockets", WriteWeaponPreviews},
  };
  return builders;
}

TPictureCollectionItem OpaquePicture(std::string name, TSurface bitmap, int patternWidth, int patternHeight) {
  TPictureCollectionItem item;
  item.Name = std::move(name);
  item.Picture = std::move(bitmap);
  item.PatternWidth = patternWidth;
  item.PatternHeight = patternHeight;
  item.Transparent = false;
  item.TransparentColor = 0;
  return item;
}

TPictureCollectionItem KeyedPicture(std::string name, TSurface bitmap, uint32_t keyRgb, int patternWidth,
                                    int patternHeight) {
  TPictureCollectionItem item = OpaquePicture(std::move(name), std::move(bitmap), patternWidth, patternHeight);
  item.Transparent = true;
  // TColor keeps blue in the high byte: 0x00BBGGRR.
  item.TransparentColor = static_cast<int32_t>(((keyRgb & 0xFF) << 16) | (keyRgb & 0xFF00) | ((keyRgb >> 16) & 0xFF));
  return item;
}

TWaveCollectionItem WaveItem(std::string name, std::vector<uint8_t> riff, bool looped, int maxPlayingCount) {
  TWaveCollectionItem item;
  item.Name = std::move(name);
  item.Wave = std::move(riff);
  item.Looped = looped;
  item.MaxPlayingCount = maxPlayingCount;
  return item;
}

const TPictureCollectionItem& FindPicture(const TImageItems& items, const std::string& name) {
  for (const TPictureCollectionItem& item : items)
    if (item.Name == name) return item;
  throw std::runtime_error("no picture named " + name);
}
