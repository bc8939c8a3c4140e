#include "platform/headless_platform.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/file_checks.h"

namespace {

uint32_t ReadLe32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// The playing time of a RIFF WAV file, from its format and data chunks.
int WaveLengthMs(const std::vector<uint8_t>& riff) {
  if (riff.size() < 12 || std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0)
    return -1;
  uint32_t bytesPerSecond = 0;
  size_t pos = 12;
  while (pos + 8 <= riff.size()) {
    const uint32_t size = ReadLe32(riff.data() + pos + 4);
    const uint8_t* body = riff.data() + pos + 8;
    if (std::memcmp(riff.data() + pos, "fmt ", 4) == 0 && size >= 16 && pos + 8 + 16 <= riff.size())
      bytesPerSecond = ReadLe32(body + 8);
    if (std::memcmp(riff.data() + pos, "data", 4) == 0 && bytesPerSecond > 0)
      return static_cast<int>(static_cast<uint64_t>(size) * 1000 / bytesPerSecond);
    pos += 8 + size + (size & 1);
  }
  return -1;
}

}  // namespace

void THeadlessPlatform::ApplyDisplayMode(bool fullScreen) {
  if (fullScreen != FullScreenMode) ++DisplaySwitches;
  FullScreenMode = fullScreen;
}

void THeadlessPlatform::Flip(const TSurface& back) {
  (void)back;
  ++Flips;
}

void THeadlessPlatform::ReadKeys(bool held[GameKeyCount]) {
  for (int i = 0; i < GameKeyCount; ++i) held[i] = Keys[i];
}

void THeadlessPlatform::ReadScancodes(bool held[ScancodeCount]) {
  static const int Of[GameKeyCount] = {ScUp, ScDown, ScLeft, ScRight, ScH, ScP, ScY, ScN, ScEscape, ScSpace, ScZ, ScX};
  for (int i = 0; i < ScancodeCount; ++i) held[i] = Scancodes[i];
  for (int i = 0; i < GameKeyCount; ++i) held[Of[i]] = held[Of[i]] || Keys[i];
}

void THeadlessPlatform::ReadPadButtons(bool held[PadButtonCount]) {
  for (int i = 0; i < PadButtonCount; ++i) held[i] = PadButtons[i];
}

std::string THeadlessPlatform::KeyName(int scancode) {
  if (scancode >= ScA && scancode <= ScZ) return std::string(1, static_cast<char>('A' + scancode - ScA));
  if (scancode >= 30 && scancode <= 38) return std::string(1, static_cast<char>('1' + scancode - 30));
  if (scancode == 39) return "0";
  if (scancode >= 58 && scancode <= 69) return "F" + std::to_string(scancode - 57);
  switch (scancode) {
    case ScReturn: return "Return";
    case ScEscape: return "Escape";
    case ScBackspace: return "Backspace";
    case 43: return "Tab";
    case ScSpace: return "Space";
    case 45: return "-";
    case 46: return "=";
    case 54: return ",";
    case 55: return ".";
    case 56: return "/";
    case ScRight: return "Right";
    case ScLeft: return "Left";
    case ScDown: return "Down";
    case ScUp: return "Up";
    case ScLeftCtrl: return "Left Ctrl";
    case ScLeftShift: return "Left Shift";
    case ScLeftAlt: return "Left Alt";
    case ScLeftGui: return "Left GUI";
    default: return "";
  }
}

bool THeadlessPlatform::GetWindowPlace(int& x, int& y) {
  x = WindowX;
  y = WindowY;
  return HasWindowPlace;
}

void THeadlessPlatform::SetWindowPlace(int x, int y) {
  HasWindowPlace = true;
  WindowX = x;
  WindowY = y;
}

int THeadlessPlatform::CreateSoundBuffer(const std::vector<uint8_t>& riffWave) {
  const int length = WaveLengthMs(riffWave);
  if (length < 0) return -1;
  BufferLengthMs.push_back(length);
  return static_cast<int>(BufferLengthMs.size()) - 1;
}

int THeadlessPlatform::PlayBuffer(int buffer, bool looped) {
  if (buffer < 0 || buffer >= static_cast<int>(BufferLengthMs.size())) return -1;
  Voices.push_back({NowMs, BufferLengthMs[static_cast<size_t>(buffer)], looped, false});
  return static_cast<int>(Voices.size()) - 1;
}

void THeadlessPlatform::StopVoice(int voice) {
  if (voice >= 0 && voice < static_cast<int>(Voices.size())) Voices[static_cast<size_t>(voice)].Stopped = true;
}

bool THeadlessPlatform::VoicePlaying(int voice) {
  if (voice < 0 || voice >= static_cast<int>(Voices.size())) return false;
  const TVoice& v = Voices[static_cast<size_t>(voice)];
  return !v.Stopped && (v.Looped || NowMs < v.StartMs + v.LengthMs);
}

// A song loads when its file is an XM module, as the real player demands.
int THeadlessPlatform::SongLoadFromFile(const std::string& path) {
  if (!IsSaneFile(path, MaxSongBytes)) return 0;
  std::ifstream in(path, std::ios::binary);
  char magic[17] = {};
  if (!in.read(magic, 17) || std::memcmp(magic, "Extended Module: ", 17) != 0) return 0;
  SongFile = path;
  SongPlaying = false;
  return NextSong++;
}

void THeadlessPlatform::SongPlay(int handle) { SongPlaying = handle != 0; }

void THeadlessPlatform::SongFree(int handle) {
  (void)handle;
  SongFile.clear();
  SongPlaying = false;
}

bool THeadlessPlatform::OpenLink(const std::string& target) {
  OpenedLinks.push_back(target);
  return LinksOpen;
}

void THeadlessPlatform::UseRealNetwork() {
  if (!RealHttp) RealHttp = std::make_unique<THttpClient>();
}

int THeadlessPlatform::HttpPending() const {
  return RealHttp ? RealHttp->Pending() : static_cast<int>(FakeRequests.size());
}

int THeadlessPlatform::HttpStart(const THttpGet& get) {
  HttpRequests.push_back(get);
  if (RealHttp) return RealHttp->Start(get);
  const int id = NextHttpRequest++;
  FakeRequests[id] = {NowMs, get.TotalTimeoutMs};
  return id;
}

bool THeadlessPlatform::HttpPoll(int request, int& status) {
  if (RealHttp) return RealHttp->Poll(request, status);
  status = 0;
  auto it = FakeRequests.find(request);
  if (it == FakeRequests.end()) return true;
  const int64_t elapsed = NowMs - it->second.StartMs;
  if (HttpAnswerMs >= 0 && elapsed >= HttpAnswerMs && HttpAnswerMs <= it->second.TotalTimeoutMs) {
    status = HttpStatus;
  } else if (elapsed < it->second.TotalTimeoutMs) {
    return false;
  }
  FakeRequests.erase(it);
  return true;
}

void THeadlessPlatform::HttpAbandon(int request) {
  if (RealHttp) RealHttp->Abandon(request);
  FakeRequests.erase(request);
}

void THeadlessPlatform::ShowError(const std::string& caption, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
}
