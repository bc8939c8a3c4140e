#pragma once
// A machine with no screen, speakers or (unless asked) network: the script runner and the
// tests drive the game through it. Keys are set by the script, time is
// virtual, sounds "play" for as long as their wave lasts.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/http_client.h"
#include "platform/platform.h"

class THeadlessPlatform : public TPlatform {
 public:
  // The runner plays in the working directory as it finds it; the saves'
  // fallback follows the desktop's rule for a user's data folder
  // ($XDG_DATA_HOME, else ~/.local/share) as the real game does.
  std::string EnterGameFolder() override;
  std::string UserSaveFolder() override;
  bool Open() override { return true; }
  void ApplyDisplayMode(bool fullScreen) override;
  int RefreshRate() override { return Refresh; }
  bool CanDraw() override { return true; }
  void Flip(const TSurface& back) override;
  void ShowCursor(bool show) override { CursorVisible = show; }
  void ReadKeys(bool held[GameKeyCount]) override;
  // The polled keys set in Keys count as held at their scancodes too.
  void ReadScancodes(bool held[ScancodeCount]) override;
  void ReadPadButtons(bool held[PadButtonCount]) override;
  // A fixed table of names as an English keyboard prints them.
  std::string KeyName(int scancode) override;
  std::string SystemLocale() override { return Locale; }
  bool GetWindowPlace(int& x, int& y) override;
  void SetWindowPlace(int x, int y) override;

  int CreateSoundBuffer(const std::vector<uint8_t>& riffWave) override;
  int PlayBuffer(int buffer, bool looped) override;
  void StopVoice(int voice) override;
  bool VoicePlaying(int voice) override;

  int SongLoadFromFile(const std::string& path) override;
  void SongPlay(int handle) override;
  void SongFree(int handle) override;
  void SetVolumes(int effects, int music) override {
    EffectsVolume = effects;
    MusicVolume = music;
  }

  bool OpenLink(const std::string& target) override;
  int HttpStart(const THttpGet& get) override;
  bool HttpPoll(int request, int& status) override;
  void HttpAbandon(int request) override;
  void ShowError(const std::string& caption, const std::string& message) override;

  bool Keys[GameKeyCount] = {};
  bool Scancodes[ScancodeCount] = {};
  bool PadButtons[PadButtonCount] = {};
  // No locale unless the script gives one: a run does not depend on the
  // desktop it runs on.
  std::string Locale;
  int EffectsVolume = 100, MusicVolume = 100;
  int Refresh = 85;
  bool FullScreenMode = false;
  int DisplaySwitches = 0;
  bool HasWindowPlace = false;
  int WindowX = 0, WindowY = 0;
  bool CursorVisible = true;
  int64_t NowMs = 0;  // the virtual clock, advanced by whoever drives the ticks
  int Flips = 0;
  std::vector<std::string> OpenedLinks;  // every link the game asked to open
  bool LinksOpen = true;                 // false: the desktop opens nothing
  // The pretend network: every GET is recorded and answers HttpStatus
  // (0: refused) HttpAnswerMs after it started on the virtual clock; with
  // HttpAnswerMs < 0 the service never answers and the request ends with
  // status 0 when its total time-out has passed. UseRealNetwork sends the
  // requests for real instead (they are still recorded).
  std::vector<THttpGet> HttpRequests;
  int HttpStatus = 0;
  int HttpAnswerMs = 0;
  void UseRealNetwork();
  int HttpPending() const;  // requests started and not yet polled to their end or abandoned

  std::string SongFile;  // the loaded song's file, empty when none
  bool SongPlaying = false;

 private:
  struct TVoice {
    int64_t StartMs = 0;
    int LengthMs = 0;
    bool Looped = false;
    bool Stopped = false;
  };
  struct THttpFake {
    int64_t StartMs = 0;
    int TotalTimeoutMs = 0;
  };
  std::map<int, THttpFake> FakeRequests;
  int NextHttpRequest = 1;
  std::unique_ptr<THttpClient> RealHttp;
  std::vector<int> BufferLengthMs;
  std::vector<TVoice> Voices;
  int NextSong = 1;
};
