#include "tools/state_dump.h"

#include <cstdio>

#include "gfx/cp1251.h"
#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "race/player/player.h"
#include "race/race.h"
#include "race/race_state.h"
#include "race/world/finish_line.h"
#include "race/world/scroll_background.h"
#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "screens/menu_button.h"
#include "screens/car_selection.h"
#include "screens/controls_screen.h"
#include "screens/help_screen.h"
#include "screens/links.h"
#include "screens/main_menu.h"
#include "screens/buttons.h"
#include "shell/frame_rate.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/key_bindings.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/player_settings.h"
#include "shell/random.h"
#include "shell/settings.h"
#include "shell/sound.h"
#include "sprites/pointer.h"
#include "sprites/sprite.h"
#include "tools/world_dump.h"

namespace {

std::string Quote(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

struct TJson {
  std::string Text = "{";
  void Key(const char* name) {
    if (Text.size() > 1) Text += ",";
    Text += Quote(name) + ":";
  }
  void Int(const char* name, long long v) {
    Key(name);
    Text += std::to_string(v);
  }
  void Real(const char* name, double v) {
    Key(name);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    Text += buf;
  }
  void Bool(const char* name, bool v) {
    Key(name);
    Text += v ? "true" : "false";
  }
  void Str(const char* name, const std::string& utf8) {
    Key(name);
    Text += Quote(utf8);
  }
  void List(const char* name, const std::vector<std::string>& items) {
    Key(name);
    Text += "[";
    for (size_t i = 0; i < items.size(); ++i) Text += (i ? "," : "") + Quote(items[i]);
    Text += "]";
  }
};

}  // namespace

std::string DumpState(THeadlessPlatform& platform, long long tick) {
  TJson j;
  j.Int("Tick", tick);
  j.Int("GameScreen", GameScreen);
  j.Int("OverlayWindow", OverlayWindow);
  j.Int("HoverButton", HoverButton);
  j.Int("FirstButton", FirstButton);
  j.Int("LastButton", LastButton);
  j.Int("MenuFadeIn", MenuFadeIn);
  j.Real("SpeedFactor", SpeedFactor);
  j.Int("FrameMs", FrameMs);
  j.Int("FrameRate", FrameRate);
  j.Int("RefreshRate", RefreshRate);
  j.Int("DrawCount", MDXSpriteEngine.DrawCount);
  j.Int("SpriteCount", MDXSpriteEngine.SpriteCount);
  j.Int("MouseX", MouseX);
  j.Int("MouseY", MouseY);
  j.Int("FullScreen", FullScreen);
  j.Int("MusicOn", MusicOn);
  j.Int("SoundOn", SoundOn);
  j.Str("Country", Utf8FromCp1251(Country));
  j.Int("CountryEditActive", CountryEditActive);
  // The player's own settings.
  j.Str("Language", LanguageCode(Language));
  j.Int("MusicVolume", MusicVolume);
  j.Int("EffectsVolume", EffectsVolume);
  j.Int("SpeakerEffectsVolume", platform.EffectsVolume);
  j.Int("SpeakerMusicVolume", platform.MusicVolume);
  std::vector<std::string> bindings;
  for (const TBinding& b : Bindings) {
    bindings.push_back(std::to_string(b.Keys[0]) + " " + std::to_string(b.Keys[1]) + " " +
                       std::to_string(b.PadButtons[0]) + " " + std::to_string(b.PadButtons[1]));
  }
  j.List("Bindings", bindings);
  j.Int("ControlsListening", ControlsListening);
  j.Str("ControlsMessage", Utf8FromCp1251(ControlsMessage));
  std::vector<std::string> table;
  for (int i = 1; i <= 10; ++i) table.push_back(Utf8FromCp1251(HighScores[i].Name) + " " + std::to_string(HighScores[i].Score));
  j.List("HighScores", table);
  j.Bool("CursorVisible", platform.CursorVisible);
  j.Int("OverlayTimer", OverlayTimer);
  j.Int("SelectedCar", SelectedCar);
  j.Int("PendingCar", PendingCar);
  j.Int("CarSwitchState", CarSwitchState);
  j.Int("HelpPage", HelpPage);
  j.Str("PlayerName", Utf8FromCp1251(PlayerName));
  j.Int("LastKeyChar", LastKeyChar);
  j.Int("SendChosen", SendChosen);
  // The race, when one runs.
  j.Int("Level", Level);
  j.Int("TrackLength", TrackLength);
  j.Int("TimeLeft", TimeLeft);
  j.Int("Score", Score);
  j.Int("Lives", Lives);
  j.Int("BonusCount", BonusCount);
  j.Int("CarCount", CarCount);
  j.Int("MapRow", MapRow);
  j.Int("MapCol", MapCol);
  j.Real("BackgroundX", Background ? Background->X : 0);
  j.Real("BackgroundY", Background ? Background->Y : 0);
  j.Real("ScrollDX", ScrollDX);
  j.Real("ScrollDY", ScrollDY);
  j.Int("FinishCrossed", Finish ? Finish->Crossed : 0);
  if (Player) {
    const TPlayer& p = *Player;
    j.Real("Speed", p.Speed);
    j.Real("Speed10", p.Speed10);
    j.Real("Steer", p.Steer);
    j.Int("Heading", p.Heading);
    j.Real("Drag", p.Drag);
    j.Int("Energy", p.Energy);
    j.Int("OnRoad", p.OnRoad);
    j.Int("Wrecked", p.Wrecked);
    j.Int("TimeUp", p.TimeUp);
    j.Int("RespawnTimer", p.RespawnTimer);
    j.Int("StartPlaced", p.StartPlaced);
    j.Int("NitroOn", p.NitroOn);
    j.Real("Nitro", p.Nitro);
    std::vector<std::string> corners;
    for (const TQuadPoint& c : p.Corners.P) {
      char buf[48];
      std::snprintf(buf, sizeof buf, "%.2f %.2f", c.X, c.Y);
      corners.push_back(buf);
    }
    j.List("Corners", corners);
    j.Int("WeaponKind", p.WeaponKind);
    j.Int("WeaponFrame", p.WeaponFrame);
    j.Int("Ammo", p.Ammo);
    j.Int("FireCooldown", p.FireCooldown);
  }
  const TWorldCounts n = CountWorld();
  j.Int("CarsPlaced", n.CarsPlaced);
  j.Int("CarsDriving", n.CarsDriving);
  j.Int("CarsExploding", n.CarsExploding);
  j.Int("MenWalking", n.MenWalking);
  j.Int("MenLying", n.MenLying);
  j.Int("MenBlownAway", n.MenBlownAway);
  j.Int("BonusesLeft", n.BonusesLeft);
  j.Int("RocketsActive", n.RocketsActive);
  j.Str("Music", MusicFile);
  j.List("Sounds", SoundCalls);
  SoundCalls.clear();
  j.List("OpenedLinks", platform.OpenedLinks);
  j.Str("LinkNotice", Utf8FromCp1251(LinkNotice));
  j.Bool("Terminated", Terminated);
  j.Int("SaveFailedNoticeMs", SaveFailedNoticeMs);
  // The buttons of the range as the player sees them.
  std::vector<std::string> buttons;
  for (int i = FirstButton; i <= LastButton; ++i) {
    const TMenuButton* b = i >= 1 && i < ButtonSlots ? Buttons[i] : nullptr;
    if (!b) continue;
    char buf[160];
    std::snprintf(buf, sizeof buf, "%d %s %d alpha=%d:%d z=%d", i, b->Image ? b->Image->Name.c_str() : "-",
                  static_cast<int>(b->AnimPos), b->AlphaOn, b->Alpha, b->GetZ());
    buttons.push_back(buf);
  }
  j.List("Buttons", buttons);
  return j.Text + "}";
}

std::string DumpRace() {
  TJson j;
  const auto exact = [&j](const char* name, double v) {
    j.Key(name);
    char buf[40];
    std::snprintf(buf, sizeof buf, "\"%a\"", v);
    j.Text += buf;
  };
  j.Int("RandomSeed", RandomSeed());
  // A pause or the leave question is the player's, not the race's: a
  // playback holds none.
  j.Int("TimedWindow", OverlayWindow == 3 || OverlayWindow == 6 || OverlayWindow == 7 ? OverlayWindow : 0);
  j.Int("OverlayTimer", OverlayTimer);
  j.Int("Level", Level);
  j.Int("TrackLength", TrackLength);
  j.Int("TimeLeft", TimeLeft);
  j.Int("Score", Score);
  j.Int("Lives", Lives);
  j.Int("MapRow", MapRow);
  j.Int("MapCol", MapCol);
  exact("BackgroundX", Background ? Background->X : 0);
  exact("BackgroundY", Background ? Background->Y : 0);
  exact("ScrollDX", ScrollDX);
  exact("ScrollDY", ScrollDY);
  j.Int("FinishCrossed", Finish ? Finish->Crossed : 0);
  j.Int("SpeedometerAngle", Speedometer ? static_cast<long long>(Speedometer->Angle) : 0);
  if (Player) {
    const TPlayer& p = *Player;
    exact("Speed", p.Speed);
    exact("Steer", p.Steer);
    exact("Drag", p.Drag);
    j.Int("Heading", p.Heading);
    j.Int("Energy", p.Energy);
    j.Int("OnRoad", p.OnRoad);
    j.Int("Wrecked", p.Wrecked);
    j.Bool("Visible", p.Visible);
    j.Int("TimeUp", p.TimeUp);
    j.Int("RespawnTimer", p.RespawnTimer);
    j.Int("StartPlaced", p.StartPlaced);
    j.Int("NitroOn", p.NitroOn);
    exact("Nitro", p.Nitro);
    j.Int("WeaponKind", p.WeaponKind);
    j.Int("WeaponFrame", p.WeaponFrame);
    j.Int("Ammo", p.Ammo);
    j.Int("FireCooldown", p.FireCooldown);
    j.Int("EngineFlags", p.SndMaxed | p.SndAccel << 1 | p.SndShift << 2 | p.SndSlowed << 3 | p.SndNeutral << 4 |
                             p.SndBrake << 5 | p.SndNitro << 6 | p.HornOn << 7);
  }
  j.Key("World");
  j.Text += DumpWorld();
  return j.Text + "}";
}
