#include "shell/player_settings.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "shell/key_bindings.h"
#include "shell/language.h"
#include "shell/save_files.h"

uint8_t MusicVolume = 100;
uint8_t EffectsVolume = 100;
uint8_t GhostOn = 0;

namespace {

const char* const Header = "voltrace2-settings 1";
const char* const ActionWords[RaceActionCount] = {"accelerate", "brake", "left",  "right", "handbrake",
                                                   "fire",       "nitro", "horn", "pause"};

std::string SettingsFile() { return SaveFolder + "/settings"; }

bool ReadVolume(std::istringstream& words, uint8_t& volume) {
  int v;
  if (!(words >> v) || v < 0 || v > 100 || v % 10 != 0) return false;
  volume = static_cast<uint8_t>(v);
  return true;
}

bool ReadSwitch(std::istringstream& words, uint8_t& flag) {
  int v;
  if (!(words >> v) || (v != 0 && v != 1)) return false;
  flag = static_cast<uint8_t>(v);
  return true;
}

// The values a file gives, taken into the game only once the whole file has
// been read as ours.
struct TReadSettings {
  uint8_t Language, Music, Effects, Ghost;
  TBinding Table[RaceActionCount];
  bool ActionSeen[RaceActionCount] = {};
};

// One line of the file into the settings being read; false when it is not
// one of ours.
bool ReadLine(const std::string& line, TReadSettings& read) {
  std::istringstream words(line);
  std::string name;
  if (!(words >> name)) return true;  // a blank line
  bool ok = false;
  if (name == "language") {
    std::string code;
    ok = static_cast<bool>(words >> code) && (code == "ru" || code == "en");
    read.Language = code == "en" ? lgEnglish : lgRussian;
  } else if (name == "music") {
    ok = ReadVolume(words, read.Music);
  } else if (name == "effects") {
    ok = ReadVolume(words, read.Effects);
  } else if (name == "ghost") {
    ok = ReadSwitch(words, read.Ghost);
  } else {
    for (int a = 0; a < RaceActionCount; ++a) {
      if (name != ActionWords[a] || read.ActionSeen[a]) continue;
      TBinding& b = read.Table[a];
      ok = static_cast<bool>(words >> b.Keys[0] >> b.Keys[1] >> b.PadButtons[0] >> b.PadButtons[1]);
      read.ActionSeen[a] = true;
    }
  }
  std::string rest;
  return ok && !(words >> rest);
}

void Damaged(const std::string& why, const std::string& systemLocale) {
  std::fprintf(stderr, "voltrace2: %s is damaged (%s); using the default keys, volumes and language\n",
               SettingsFile().c_str(), why.c_str());
  SetDefaultPlayerSettings(systemLocale);
}

}  // namespace

void SetDefaultPlayerSettings(const std::string& systemLocale) {
  MusicVolume = 100;
  EffectsVolume = 100;
  GhostOn = 0;
  SetDefaultBindings();
  SetLanguage(LanguageOfLocale(systemLocale));
}

void LoadPlayerSettings(const std::string& systemLocale) {
  SetDefaultPlayerSettings(systemLocale);
  std::vector<std::string> lines;
  if (!ReadLines(SettingsFile(), lines)) return;
  if (lines.empty() || lines[0] != Header) return Damaged("not a settings file", systemLocale);
  // Lines that are not there keep their defaults: a file of an older game
  // has fewer of them.
  TReadSettings read{Language, MusicVolume, EffectsVolume, GhostOn, {}};
  std::copy(DefaultBindings, DefaultBindings + RaceActionCount, read.Table);
  for (size_t i = 1; i < lines.size(); ++i)
    if (!ReadLine(lines[i], read)) return Damaged("line " + std::to_string(i + 1), systemLocale);
  if (!BindingsSound(read.Table)) return Damaged("a key bound twice or out of range", systemLocale);
  SetLanguage(read.Language);
  MusicVolume = read.Music;
  EffectsVolume = read.Effects;
  GhostOn = read.Ghost;
  std::copy(read.Table, read.Table + RaceActionCount, Bindings);
}

std::string PlayerSettingsText() {
  std::string text = std::string(Header) + "\r\n";
  text += std::string("language ") + LanguageCode(Language) + "\r\n";
  text += "music " + std::to_string(MusicVolume) + "\r\n";
  text += "effects " + std::to_string(EffectsVolume) + "\r\n";
  text += "ghost " + std::to_string(GhostOn) + "\r\n";
  for (int a = 0; a < RaceActionCount; ++a) {
    const TBinding& b = Bindings[a];
    text += std::string(ActionWords[a]) + " " + std::to_string(b.Keys[0]) + " " + std::to_string(b.Keys[1]) + " " +
            std::to_string(b.PadButtons[0]) + " " + std::to_string(b.PadButtons[1]) + "\r\n";
  }
  return text;
}

bool SavePlayerSettings() { return WriteFileSafely(SettingsFile(), PlayerSettingsText()); }
