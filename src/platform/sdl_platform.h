#pragma once
// The real machine: an SDL window with a software back surface uploaded on
// every flip, SDL_mixer for effects and tracker music, the desktop's opener
// and libcurl.
#include <SDL.h>
#include <SDL_mixer.h>

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

class TSdlPlatform : public TPlatform {
 public:
  // Opens the window and the audio device; false (with SDL's reason in
  // Error) when there is no display to open a window on.
  bool Open();
  void Close();

  void ApplyDisplayMode(bool fullScreen) override;
  int RefreshRate() override;
  bool CanDraw() override { return Renderer != nullptr; }
  void Flip(const TSurface& back) override;
  void ShowCursor(bool show) override;
  void ReadKeys(bool held[GameKeyCount]) override;

  int CreateSoundBuffer(const std::vector<uint8_t>& riffWave) override;
  int PlayBuffer(int buffer, bool looped) override;
  void StopVoice(int voice) override;
  bool VoicePlaying(int voice) override;

  int SongLoadFromFile(const std::string& path) override;
  void SongPlay(int handle) override;
  void SongFree(int handle) override;

  bool OpenLink(const std::string& target) override;
  int HttpGet(const std::string& url, int timeoutMs) override;
  void ShowError(const std::string& caption, const std::string& message) override;

  // The window's events, turned into the game's key, character and mouse
  // events. Returns false while the application is not active.
  void HandleEvent(const SDL_Event& e);
  bool Active = true;
  std::string Error;

 private:
  bool WindowToSurface(int wx, int wy, int& sx, int& sy);

  SDL_Window* Window = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  SDL_Cursor* HandCursor = nullptr;
  bool IsFullScreen = false;
  bool PlacementStored = false;
  int StoredX = 0, StoredY = 0;

  bool AudioOpen = false;
  std::vector<Mix_Chunk*> Chunks;
  std::vector<unsigned> ChannelGeneration;
  std::map<int, Mix_Music*> Songs;
  // The bytes of each loaded song: the mixer reads them as it plays.
  std::map<int, std::vector<uint8_t>> SongBytes;
  int NextSong = 1;
};
