#pragma once
// The real machine: an SDL window with a software back surface uploaded on
// every flip, SDL_mixer for effects and tracker music, the desktop's opener
// and libcurl on a thread beside the frame loop.
#include <SDL.h>
#include <SDL_mixer.h>

#include <map>
#include <string>
#include <vector>

#include "platform/display_fit.h"
#include "platform/http_client.h"
#include "platform/platform.h"
#include "platform/sdl_gamepads.h"
#include "platform/sdl_voice_ramps.h"

// A file in the player's data folder for the game
// (~/.local/share/voltrace2/NAME), the folder created on the way; empty when
// the desktop gives none.
std::string PlayerDataFile(const std::string& name);

// Gives the window the game's icon from a PNG file; a missing or unreadable
// file leaves the desktop's default.
void SetWindowIconFrom(SDL_Window* window, const std::string& pngFile);

class TSdlPlatform : public TPlatform {
 public:
  // The game's folder is found from the program's own place; the saves'
  // fallback is the desktop's data folder for the game.
  std::string EnterGameFolder() override;
  bool GameInstalled() const override { return Installed; }
  std::string UserSaveFolder() override;
  // Opens the window and the audio device; false (with SDL's reason in
  // Error) when there is no display to open a window on.
  bool Open() override;
  void Close() override;

  void ApplyDisplayMode(bool fullScreen) override;
  int RefreshRate() override;
  bool CanDraw() override { return Renderer != nullptr; }
  void Flip(const TSurface& back) override;
  void ShowCursor(bool show) override;
  void ReadKeys(bool held[GameKeyCount]) override;
  void ReadScancodes(bool held[ScancodeCount]) override;
  void ReadPadButtons(bool held[PadButtonCount]) override;
  std::string KeyName(int scancode) override;
  std::string SystemLocale() override;
  bool GetWindowPlace(int& x, int& y) override;
  void SetWindowPlace(int x, int y) override;

  int CreateSoundBuffer(const std::vector<uint8_t>& riffWave) override;
  int PlayBuffer(int buffer, bool looped) override;
  void StopVoice(int voice) override;
  bool VoicePlaying(int voice) override;

  int SongLoadFromFile(const std::string& path) override;
  void SongPlay(int handle) override;
  void SongFree(int handle) override;
  void SetVolumes(int effects, int music) override;

  bool OpenLink(const std::string& target) override;
  int HttpStart(const THttpGet& get) override { return Http.Start(get); }
  bool HttpPoll(int request, int& status) override { return Http.Poll(request, status); }
  void HttpAbandon(int request) override { Http.Abandon(request); }
  void ShowError(const std::string& caption, const std::string& message) override;

  // The window's events, turned into the game's key, character and mouse
  // events. Returns false while the application is not active.
  void HandleEvent(const SDL_Event& e);
  // For the program's frame loop: hands every waiting event to the game
  // until none is left or Stop turns true; sleeps until an event comes (at
  // most Ms) while another program is in front; the clock the frame timer
  // reads; a seed for the game's random numbers.
  void DeliverEvents(const bool& stop);
  void WaitForEvent(int ms);
  int64_t ClockMs() const;
  uint32_t ClockSeed() const;
  bool Active = true;
  bool Installed = false;
  TSdlGamepads Gamepads;

  // Where the last flip put the picture in the window's drawable pixels.
  const TDisplayFit& Fit() const { return LastFit; }
  SDL_Window* GameWindow() const { return Window; }
  SDL_Renderer* GameRenderer() const { return Renderer; }

 private:
  bool WindowToSurface(int wx, int wy, int& sx, int& sy);
  TDisplayFit CurrentFit();
  bool PreparePrescaled(int factor);

  SDL_Window* Window = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  SDL_Texture* Prescaled = nullptr;  // the picture at the whole factor, for the smooth last step
  int PrescaledFactor = 0;
  TDisplayFit LastFit;
  int WindowFactor = 1;  // the windowed picture's whole factor on a dense display
  SDL_Cursor* HandCursor = nullptr;
  bool IsFullScreen = false;
  bool PlacementStored = false;
  bool PlacePending = false;  // a place from the last run, not yet applied
  int StoredX = 0, StoredY = 0;
  // The place just asked for, held against the window manager's frame
  // until PlaceCheckUntil (SDL's clock; 0 when done).
  void PlaceWindow(int x, int y);
  void KeepPlace();
  int WantX = 0, WantY = 0;
  uint64_t PlaceCheckUntil = 0;

  bool AudioOpen = false;
  int EffectsVolume = MIX_MAX_VOLUME;  // the mixer's 0..128
  std::vector<Mix_Chunk*> Chunks;
  std::vector<unsigned> ChannelGeneration;
  TVoiceRamps Ramps;
  std::map<int, Mix_Music*> Songs;
  // The bytes of each loaded song: the mixer reads them as it plays.
  std::map<int, std::vector<uint8_t>> SongBytes;
  int NextSong = 1;
  THttpClient Http;
};
