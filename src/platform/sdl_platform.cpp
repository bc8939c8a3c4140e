#include "platform/sdl_platform.h"

#include <curl/curl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gfx/cp1251.h"
#include "platform/file_checks.h"
#include "shell/main_window.h"

extern char** environ;

namespace {

// The drawing area in full screen: the 792 x 592 surface centred in an
// 800 x 600 picture, scaled to the desktop with black bars.
constexpr int FullWidth = 800, FullHeight = 600;
constexpr int FullOffsetX = (FullWidth - SurfaceWidth) / 2, FullOffsetY = (FullHeight - SurfaceHeight) / 2;

// Voices are channel numbers tagged with a generation, so a voice that has
// ended never stops the next sound that reuses its channel.
constexpr int ChannelBits = 10;
int VoiceOf(int channel, unsigned generation) { return static_cast<int>((generation << ChannelBits) | channel); }

}  // namespace

bool TSdlPlatform::Open() {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    Error = SDL_GetError();
    return false;
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "1");
  Window = SDL_CreateWindow("Вольтрейс 2", SDL_WINDOWPOS_CENTERED,
                            SDL_WINDOWPOS_CENTERED, SurfaceWidth, SurfaceHeight, SDL_WINDOW_HIDDEN);
  if (!Window) {
    Error = SDL_GetError();
    return false;
  }
  Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!Renderer) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
  if (!Renderer) {
    Error = SDL_GetError();
    return false;
  }
  Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, SurfaceWidth,
                              SurfaceHeight);
  HandCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
  if (HandCursor) SDL_SetCursor(HandCursor);
  SDL_StartTextInput();
  SDL_ShowWindow(Window);

  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0) {
    AudioOpen = true;
    Mix_Init(MIX_INIT_MOD);
    Mix_AllocateChannels(32);
    ChannelGeneration.assign(32, 0);
  } else {
    std::fprintf(stderr, "voltrace2: no sound (%s)\n", SDL_GetError());
  }
  return true;
}

void TSdlPlatform::Close() {
  if (AudioOpen) {
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    for (auto& [handle, song] : Songs) Mix_FreeMusic(song);
    for (Mix_Chunk* c : Chunks) Mix_FreeChunk(c);
    Mix_CloseAudio();
  }
  if (HandCursor) SDL_FreeCursor(HandCursor);
  if (Texture) SDL_DestroyTexture(Texture);
  if (Renderer) SDL_DestroyRenderer(Renderer);
  if (Window) SDL_DestroyWindow(Window);
  SDL_Quit();
}

void TSdlPlatform::ApplyDisplayMode(bool fullScreen) {
  if (!Window) return;
  if (fullScreen) {
    if (!IsFullScreen) {
      SDL_GetWindowPosition(Window, &StoredX, &StoredY);
      PlacementStored = true;
    }
    SDL_SetWindowFullscreen(Window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_RenderSetLogicalSize(Renderer, FullWidth, FullHeight);
  } else {
    SDL_SetWindowFullscreen(Window, 0);
    SDL_SetWindowBordered(Window, SDL_TRUE);
    SDL_SetWindowSize(Window, SurfaceWidth, SurfaceHeight);
    if (PlacementStored) SDL_SetWindowPosition(Window, StoredX, StoredY);
    SDL_SetWindowPosition(Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_RenderSetLogicalSize(Renderer, SurfaceWidth, SurfaceHeight);
  }
  IsFullScreen = fullScreen;
}

int TSdlPlatform::RefreshRate() {
  SDL_DisplayMode mode;
  const int display = Window ? SDL_GetWindowDisplayIndex(Window) : 0;
  if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 0;
  return mode.refresh_rate;
}

void TSdlPlatform::Flip(const TSurface& back) {
  SDL_UpdateTexture(Texture, nullptr, back.Pixels.data(), back.Width * 4);
  SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
  SDL_RenderClear(Renderer);
  SDL_Rect dest{IsFullScreen ? FullOffsetX : 0, IsFullScreen ? FullOffsetY : 0, SurfaceWidth, SurfaceHeight};
  SDL_RenderCopy(Renderer, Texture, nullptr, &dest);
  SDL_RenderPresent(Renderer);
}

void TSdlPlatform::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void TSdlPlatform::ReadKeys(bool held[GameKeyCount]) {
  static const SDL_Scancode Codes[GameKeyCount] = {
      SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT,   SDL_SCANCODE_RIGHT, SDL_SCANCODE_H, SDL_SCANCODE_P,
      SDL_SCANCODE_Y,  SDL_SCANCODE_N,    SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE, SDL_SCANCODE_Z, SDL_SCANCODE_X};
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  for (int i = 0; i < GameKeyCount; ++i) held[i] = Active && state[Codes[i]];
}

int TSdlPlatform::CreateSoundBuffer(const std::vector<uint8_t>& riffWave) {
  if (!AudioOpen || riffWave.empty()) return -1;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(riffWave.data(), static_cast<int>(riffWave.size())), 1);
  if (!chunk) return -1;
  Chunks.push_back(chunk);
  return static_cast<int>(Chunks.size()) - 1;
}

int TSdlPlatform::PlayBuffer(int buffer, bool looped) {
  if (!AudioOpen || buffer < 0 || buffer >= static_cast<int>(Chunks.size())) return -1;
  int channel = Mix_PlayChannel(-1, Chunks[static_cast<size_t>(buffer)], looped ? -1 : 0);
  if (channel < 0 && static_cast<int>(ChannelGeneration.size()) + 16 <= (1 << ChannelBits)) {
    ChannelGeneration.resize(ChannelGeneration.size() + 16, 0);
    Mix_AllocateChannels(static_cast<int>(ChannelGeneration.size()));
    channel = Mix_PlayChannel(-1, Chunks[static_cast<size_t>(buffer)], looped ? -1 : 0);
  }
  if (channel < 0) return -1;
  return VoiceOf(channel, ++ChannelGeneration[static_cast<size_t>(channel)]);
}

void TSdlPlatform::StopVoice(int voice) {
  if (VoicePlaying(voice)) Mix_HaltChannel(voice & ((1 << ChannelBits) - 1));
}

bool TSdlPlatform::VoicePlaying(int voice) {
  if (!AudioOpen || voice < 0) return false;
  const int channel = voice & ((1 << ChannelBits) - 1);
  if (channel >= static_cast<int>(ChannelGeneration.size())) return false;
  if (VoiceOf(channel, ChannelGeneration[static_cast<size_t>(channel)]) != voice) return false;
  return Mix_Playing(channel) != 0;
}

int TSdlPlatform::SongLoadFromFile(const std::string& path) {
  if (!AudioOpen) return 0;
  // The music library is handed only a checked regular file, read by us: a
  // folder or a device in place of a tune is no tune.
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadSaneFile(path, MaxSongBytes, bytes, &why) || bytes.empty() || bytes.size() > INT32_MAX) {
    std::fprintf(stderr, "voltrace2: no music from %s: %s\n", path.c_str(), why.empty() ? "empty" : why.c_str());
    return 0;
  }
  Mix_Music* song = Mix_LoadMUS_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  if (!song) return 0;
  Songs[NextSong] = song;
  SongBytes[NextSong] = std::move(bytes);
  return NextSong++;
}

void TSdlPlatform::SongPlay(int handle) {
  auto it = Songs.find(handle);
  if (it != Songs.end()) Mix_PlayMusic(it->second, -1);
}

void TSdlPlatform::SongFree(int handle) {
  auto it = Songs.find(handle);
  if (it == Songs.end()) return;
  Mix_HaltMusic();
  Mix_FreeMusic(it->second);
  Songs.erase(it);
  SongBytes.erase(handle);
}

// ".url" files are Internet shortcuts: their URL= line is what opens. A
// program file is started; anything else goes to the desktop's opener.
bool TSdlPlatform::OpenLink(const std::string& target) {
  namespace fs = std::filesystem;
  std::string address = target;
  if (target.size() > 4 && target.compare(target.size() - 4, 4, ".url") == 0) {
    std::ifstream in(target);
    std::string line;
    address.clear();
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("URL=", 0) == 0) address = line.substr(4);
    }
    if (address.empty()) return false;
  } else if (fs::exists(target) && fs::is_regular_file(target) && access(target.c_str(), X_OK) == 0) {
    std::string path = fs::absolute(target).string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid;
    return posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) == 0;
  } else if (address.find("://") == std::string::npos) {
    address = "file://" + fs::absolute(target).string();
  }
  return SDL_OpenURL(address.c_str()) == 0;
}

int TSdlPlatform::HttpGet(const std::string& url, int timeoutMs) {
  CURL* curl = curl_easy_init();
  if (!curl) return 0;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char*, size_t size, size_t n, void*) { return size * n; });
  long status = 0;
  if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  return static_cast<int>(status);
}

void TSdlPlatform::ShowError(const std::string& caption, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), message.c_str(), Window);
}

bool TSdlPlatform::WindowToSurface(int wx, int wy, int& sx, int& sy) {
  float lx = static_cast<float>(wx), ly = static_cast<float>(wy);
  SDL_RenderWindowToLogical(Renderer, wx, wy, &lx, &ly);
  sx = static_cast<int>(lx) - (IsFullScreen ? FullOffsetX : 0);
  sy = static_cast<int>(ly) - (IsFullScreen ? FullOffsetY : 0);
  return sx >= 0 && sy >= 0 && sx < SurfaceWidth && sy < SurfaceHeight;
}

void TSdlPlatform::HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT: FormCloseQuery(); break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) FormCloseQuery();
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) Active = false;
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) Active = true;
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode k = e.key.keysym.sym;
      const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
      if (k == SDLK_LSHIFT || k == SDLK_RSHIFT) FormKeyDown(VK_SHIFT, alt);
      if (k == SDLK_LCTRL || k == SDLK_RCTRL) FormKeyDown(VK_CONTROL, alt);
      if (k == SDLK_RETURN || k == SDLK_KP_ENTER) {
        if (e.key.repeat && alt) break;
        FormKeyDown(VK_RETURN, alt);
        if (!alt) FormKeyPress(13);
      }
      if (k == SDLK_BACKSPACE) FormKeyPress(8);
      if (k == SDLK_ESCAPE) FormKeyPress(27);
      break;
    }
    case SDL_KEYUP: {
      const SDL_Keycode k = e.key.keysym.sym;
      if (k == SDLK_LSHIFT || k == SDLK_RSHIFT) FormKeyUp(VK_SHIFT);
      if (k == SDLK_LCTRL || k == SDLK_RCTRL) FormKeyUp(VK_CONTROL);
      if (k == SDLK_RETURN) FormKeyUp(VK_RETURN);
      break;
    }
    case SDL_TEXTINPUT:
      // Typed text arrives as UTF-8 whatever the layout; the game takes it
      // as Windows-1251 bytes, so Cyrillic typing works.
      for (char c : Cp1251FromUtf8(e.text.text)) FormKeyPress(static_cast<unsigned char>(c));
      break;
    case SDL_MOUSEMOTION: {
      int sx, sy;
      if (WindowToSurface(e.motion.x, e.motion.y, sx, sy)) MDXDrawMouseMove(sx, sy);
      break;
    }
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT && e.button.clicks == 1) MDXDrawClick();
      break;
    case SDL_MOUSEBUTTONDOWN:
      // The second press of a double click is the double click itself.
      if (e.button.button == SDL_BUTTON_LEFT && e.button.clicks == 2) MDXDrawClick();
      break;
    default: break;
  }
}
