#pragma once
// A small race for the player's car: a town of plain road, the road sprite,
// the car of SelectedCar 1 and just the pictures and sounds it asks for,
// on a headless machine at 85 ticks per second.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless_platform.h"
#include "support/silent_wave.h"
#include "race/player/player.h"
#include "race/player/player_marks.h"
#include "race/race.h"
#include "race/race_state.h"
#include "race/world/scroll_background.h"
#include "race/world/scroll_velocity.h"
#include "race/world/track_map.h"
#include "screens/car_selection.h"
#include "shell/frame_rate.h"
#include "shell/game_state.h"
#include "shell/settings.h"
#include "shell/sound.h"
#include "sprites/image_list.h"
#include "sprites/wave_list.h"

class PlayerWorld : public testing::Test {
 protected:
  void SetUp() override {
    Platform = &Machine;
    BackSurface.Resize(SurfaceWidth, SurfaceHeight);
    MDXSpriteEngine.Clear();
    MDXImageList2.Clear();
    AddPicture("Car1", 64, 156, 1);
    AddPicture("NitroAnim", 16, 51, 4);
    AddPicture("ExplosionBig", 64, 64, 8);
    AddPicture("Handbrake", 10, 14, 1);
    AddPicture("Blood", 10, 14, 1);
    AddPicture("Tiles", 72, 72, 4);
    AddPicture("GunShooting", 20, 40, 1);
    for (int f = 1; f <= 6; ++f) {
      AddPicture("GunAnim_" + std::to_string(f), 20, 40, 1);
      AddPicture("RocketAnim_" + std::to_string(f), 20, 40, 1);
    }
    MDXImageList2.Reindex();
    MDXWaveList.Clear();
    for (const char* name : {"Neutral", "Accel1", "Accel2", "Accel3", "Accel4", "Shift", "Slowed", "Maxed", "Brake",
                             "Nitro", "MachineGun", "Horn"}) {
      AddWave(name, true);
    }
    for (const char* name : {"Rocket", "Kill", "Score", "Bonus", "Explosion", "Collision", "WeaponAppear", "Tick"}) {
      AddWave(name, false);
    }
    MDXWaveList.Reindex();
    SoundOn = 1;
    ResetSound();
    RecordSoundCalls = false;
    SpeedFactor = 1;
    FrameMs = 11;
    SelectedCar = 1;
    Lives = 3;
    Score = 0;
    RaceEvents = reNone;
    OverlayWindow = 0;
    std::fill(std::begin(TrackMap), std::end(TrackMap), RoadTile);
    MapRow = 1000;
    MapCol = 300;
    Background = new TScrollBackground(2, 10, 13, "Tiles");
    Player = new TPlayer(PlayerScreenX, PlayerScreenY);
    UpdateScrollVelocity();
  }

  void TearDown() override {
    RecordSoundCalls = false;
    MDXSpriteEngine.Clear();
    Player = nullptr;
    Background = nullptr;
    ScrollDX = ScrollDY = 0;
    OverlayWindow = 0;
    MDXImageList2.Clear();
    MDXWaveList.Clear();
    Platform = nullptr;
  }

  // One race tick as far as the car is concerned: the world moves (road
  // first, car last), the race acts on what the car reported, then the next
  // scroll velocity comes from the car.
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      MDXSpriteEngine.Move(FrameMs);
      ActOnRaceEvents();
      UpdateScrollVelocity();
    }
  }

  void SetSpeed(double s) {
    Player->Speed = s;
    Player->Speed10 = s / 10;
    UpdateScrollVelocity();
  }

  // The names given to PlaySound since the last call, in order.
  std::vector<std::string> TakePlayed() {
    std::vector<std::string> played;
    for (const std::string& call : SoundCalls) {
      if (call.rfind("PlaySound ", 0) == 0) played.push_back(call.substr(10));
    }
    SoundCalls.clear();
    return played;
  }

  static constexpr uint8_t RoadTile = 2;
  THeadlessPlatform Machine;

 protected:
  static void AddPicture(const std::string& name, int w, int h, int patterns) {
    TPictureCollectionItem item;
    item.Name = name;
    item.Picture.Resize(w * patterns, h);
    std::fill(item.Picture.Pixels.begin(), item.Picture.Pixels.end(), 0x808080u);
    item.PatternWidth = w;
    item.PatternHeight = h;
    item.Transparent = false;
    MDXImageList2.Items.push_back(std::move(item));
  }

  // A silent wave of 50 ms.
  static void AddWave(const char* name, bool looped) {
    TWaveCollectionItem item;
    item.Name = name;
    item.Wave = SilentWave(50);
    item.Looped = looped;
    MDXWaveList.Items.push_back(std::move(item));
  }
};
