#include "shell/sound.h"

#include "platform/platform.h"
#include "shell/game_state.h"
#include "shell/player_settings.h"
#include "shell/settings.h"
#include "sprites/lookup_error.h"
#include "sprites/wave_list.h"

int MusicHandle = 0;
std::string MusicFile;
bool RecordSoundCalls = false;
std::vector<std::string> SoundCalls;

namespace {

void Record(const char* what, const std::string& name) {
  if (RecordSoundCalls) SoundCalls.push_back(std::string(what) + " " + name);
}

void StopItem(TWaveCollectionItem& item) {
  for (int voice : item.Copies) Platform->StopVoice(voice);
}

// One play of a wave item: a looped item has one voice that restarts; a
// plain item takes a quiet copy, or a new one while MaxPlayingCount allows,
// or else the oldest copy.
void PlayItem(TWaveCollectionItem& item) {
  if (item.Buffer < 0) item.Buffer = Platform->CreateSoundBuffer(item.Wave);
  if (item.Buffer < 0) return;
  if (item.Looped) {
    StopItem(item);
    const int voice = Platform->PlayBuffer(item.Buffer, true);
    item.Copies.assign(1, voice);
    return;
  }
  for (int& voice : item.Copies) {
    if (!Platform->VoicePlaying(voice)) {
      voice = Platform->PlayBuffer(item.Buffer, false);
      return;
    }
  }
  if (item.MaxPlayingCount == 0 || item.MaxPlayingCount > static_cast<int>(item.Copies.size())) {
    item.Copies.push_back(Platform->PlayBuffer(item.Buffer, false));
    return;
  }
  Platform->StopVoice(item.Copies.front());
  item.Copies.erase(item.Copies.begin());
  item.Copies.push_back(Platform->PlayBuffer(item.Buffer, false));
}

}  // namespace

void PlaySound(const std::string& name) {
  if (SoundOn != 1) return;
  TWaveCollectionItem& item = MDXWaveList.Find(name);
  Record("PlaySound", name);
  StopItem(item);
  PlayItem(item);
}

void StopSound(const std::string& name) {
  if (SoundOn != 1) return;
  // A sound missing from the list never played, so there is nothing to
  // stop; raising here would cut short the closing of a screen, which stops
  // its sounds before it frees its sprites.
  TWaveCollectionItem* item = nullptr;
  try {
    item = &MDXWaveList.Find(name);
  } catch (const ELookupError&) {
    return;
  }
  Record("StopSound", name);
  StopItem(*item);
}

void PlayMusic(const std::string& path, bool fromResource) {
  if (MusicOn == 0) return;
  Record("PlayMusic", path);
  if (MusicHandle != 0) Platform->SongFree(MusicHandle);
  // The game only ever loads songs from files; there are no songs inside
  // the program to load from.
  (void)fromResource;
  MusicHandle = Platform->SongLoadFromFile(path);
  MusicFile = MusicHandle != 0 ? path : std::string();
  if (MusicHandle != 0) Platform->SongPlay(MusicHandle);
}

void StopMusic() {
  if (MusicHandle == 0) return;
  Record("StopMusic", MusicFile);
  Platform->SongFree(MusicHandle);
  MusicHandle = 0;
  MusicFile.clear();
}

void PlayScreenMusic() {
  PlayMusic(GameScreen == 6 ? "Data/Music/Race.xm" : "Data/Music/Menu.xm", false);
}

void ApplyVolumes() { Platform->SetVolumes(EffectsVolume, MusicVolume); }

void ResetSound() {
  MusicHandle = 0;
  MusicFile.clear();
  SoundCalls.clear();
}
