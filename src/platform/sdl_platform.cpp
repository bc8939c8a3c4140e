#include "platform/sdl_platform.h"

#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gfx/cp1251.h"
#include "platform/file_checks.h"
#include "platform/system_locale.h"

extern char** environ;

namespace {

// How much denser than the common 96 dpi the display's pixels are, to give
// the window a size the player can see on a dense screen.
double DisplayDensity(int display) {
  if (const char* scale = SDL_getenv("GDK_SCALE")) {
    const int factor = SDL_atoi(scale);
    if (factor > 0) return factor;
  }
  float ddpi = 0;
  if (SDL_GetDisplayDPI(display, &ddpi, nullptr, nullptr) == 0 && ddpi > 0) return ddpi / 96.0;
  return 1.0;
}

// A stored place is used only if the window's corner would lie on one of
// the displays there are now (a monitor may have been unplugged).
bool PlaceOnSomeDisplay(int x, int y) {
  const int displays = SDL_GetNumVideoDisplays();
  for (int i = 0; i < displays; ++i) {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(i, &r) == 0 && x + 40 >= r.x && y + 40 >= r.y && x + 40 < r.x + r.w && y + 40 < r.y + r.h)
      return true;
  }
  return false;
}

// Voices are channel numbers tagged with a generation, so a voice that has
// ended never stops the next sound that reuses its channel.
constexpr int ChannelBits = 10;
static_assert(TVoiceRamps::MaxChannels <= 1 << ChannelBits);
int VoiceOf(int channel, unsigned generation) { return static_cast<int>((generation << ChannelBits) | channel); }

}  // namespace

bool TSdlPlatform::Open() {
  // The end signals are the game's own (see end_signals.h): SDL would turn
  // them into a close request, which asks the player a question nobody is
  // there to answer when the desktop logs out.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The window's class is the program's name, as the desktop entry's
  // StartupWMClass says, whatever the program file is called.
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", "voltrace2", 0);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", "voltrace2", 0);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    Error = SDL_GetError();
    return false;
  }
  // Pads are welcome but not needed: the game plays on without them.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    std::fprintf(stderr, "voltrace2: no gamepads (%s)\n", SDL_GetError());
  else
    TSdlGamepads::LoadPlayerMappings(PlayerDataFile("gamecontrollerdb.txt"));
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "1");
  SDL_Rect usable{0, 0, SurfaceWidth, SurfaceHeight};
  SDL_GetDisplayUsableBounds(0, &usable);
  WindowFactor = WindowScale(DisplayDensity(0), usable.w, usable.h, SurfaceWidth, SurfaceHeight);
  Window = SDL_CreateWindow("Вольтрейс 2", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, SurfaceWidth * WindowFactor,
                            SurfaceHeight * WindowFactor, SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
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
  // A desktop that scales windows itself (its drawable is larger than the
  // window) has already made the window a sensible size.
  int windowWidth, windowHeight, drawableWidth, drawableHeight;
  SDL_GetWindowSize(Window, &windowWidth, &windowHeight);
  if (SDL_GetRendererOutputSize(Renderer, &drawableWidth, &drawableHeight) == 0 && drawableWidth > windowWidth &&
      WindowFactor > 1) {
    WindowFactor = 1;
    SDL_SetWindowSize(Window, SurfaceWidth, SurfaceHeight);
  }
  SetWindowIconFrom(Window, "Data/Icon.png");
  HandCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
  if (HandCursor) SDL_SetCursor(HandCursor);
  SDL_StartTextInput();
  SDL_ShowWindow(Window);

  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0) {
    AudioOpen = true;
    Mix_Init(MIX_INIT_MOD);
    Mix_AllocateChannels(32);
    ChannelGeneration.assign(TVoiceRamps::MaxChannels, 0);
    Ramps.Open();
    // Effects and tunes play at full mixer volume: their levels are written
    // into the sounds and the tunes with the headroom the loudest race needs,
    // and the tests sum them at exactly these volumes.
    Mix_Volume(-1, MIX_MAX_VOLUME);
    Mix_VolumeMusic(MIX_MAX_VOLUME);
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
  Gamepads.CloseAll();
  if (HandCursor) SDL_FreeCursor(HandCursor);
  if (Prescaled) SDL_DestroyTexture(Prescaled);
  if (Texture) SDL_DestroyTexture(Texture);
  if (Renderer) SDL_DestroyRenderer(Renderer);
  if (Window) SDL_DestroyWindow(Window);
  SDL_Quit();
}

// Full screen is the desktop's own mode, whatever its size: the picture is
// scaled to it at every flip. Windowed, the window goes back to where it was
// (kept across runs too), or to the middle of the screen the first time.
void TSdlPlatform::ApplyDisplayMode(bool fullScreen) {
  if (!Window) return;
  if (PlacePending) {
    // The place from the last run decides the display full screen opens on.
    PlacePending = false;
    if (PlaceOnSomeDisplay(StoredX, StoredY)) PlaceWindow(StoredX, StoredY);
    else PlacementStored = false;
  }
  if (fullScreen) {
    if (!IsFullScreen) {
      SDL_GetWindowPosition(Window, &StoredX, &StoredY);
      PlacementStored = true;
    }
    // Without a window manager nobody answers SDL's full-screen request and
    // the window would stay window-sized, showing a corner of the frame.
    // So the window is first made a borderless one covering its display,
    // which the X server does by itself; a window manager then makes it
    // full screen proper (over its panels).
    const int display = std::max(0, SDL_GetWindowDisplayIndex(Window));
    SDL_Rect bounds;
    if (!IsFullScreen && SDL_GetDisplayBounds(display, &bounds) == 0) {
      SDL_SetWindowBordered(Window, SDL_FALSE);
      SDL_SetWindowPosition(Window, bounds.x, bounds.y);
      SDL_SetWindowSize(Window, bounds.w, bounds.h);
    }
    SDL_SetWindowFullscreen(Window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(Window, 0);
    SDL_SetWindowBordered(Window, SDL_TRUE);
    SDL_SetWindowSize(Window, SurfaceWidth * WindowFactor, SurfaceHeight * WindowFactor);
    if (PlacementStored && PlaceOnSomeDisplay(StoredX, StoredY))
      PlaceWindow(StoredX, StoredY);
    else
      SDL_SetWindowPosition(Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  IsFullScreen = fullScreen;
}

// A window manager that has not yet told the size of its frame (just after
// the window was shown or left full screen) puts the frame, not the window,
// where SDL asked: the window would come back lower by the title bar every
// time. So the place is asked for again, for a moment, until the window
// itself stands there.
void TSdlPlatform::PlaceWindow(int x, int y) {
  SDL_SetWindowPosition(Window, x, y);
  WantX = x;
  WantY = y;
  PlaceCheckUntil = SDL_GetTicks64() + 1500;
}

void TSdlPlatform::KeepPlace() {
  if (PlaceCheckUntil == 0 || !Window || IsFullScreen) return;
  if (SDL_GetTicks64() > PlaceCheckUntil) {
    PlaceCheckUntil = 0;
    return;
  }
  int x, y, top = 0, left = 0;
  SDL_GetWindowPosition(Window, &x, &y);
  if (x == WantX && y == WantY) return;
  // Only once the frame is known can SDL allow for it.
  if (SDL_GetWindowBordersSize(Window, &top, &left, nullptr, nullptr) == 0 && (top > 0 || left > 0))
    SDL_SetWindowPosition(Window, WantX, WantY);
}

bool TSdlPlatform::GetWindowPlace(int& x, int& y) {
  if (!Window) return false;
  if (IsFullScreen || PlacePending) {
    x = StoredX;
    y = StoredY;
    return PlacementStored;
  }
  SDL_GetWindowPosition(Window, &x, &y);
  return true;
}

void TSdlPlatform::SetWindowPlace(int x, int y) {
  StoredX = x;
  StoredY = y;
  PlacementStored = true;
  PlacePending = true;
}

int TSdlPlatform::RefreshRate() {
  SDL_DisplayMode mode;
  const int display = Window ? SDL_GetWindowDisplayIndex(Window) : 0;
  if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 0;
  return mode.refresh_rate;
}

TDisplayFit TSdlPlatform::CurrentFit() {
  int width = SurfaceWidth, height = SurfaceHeight;
  if (SDL_GetRendererOutputSize(Renderer, &width, &height) != 0) {
    width = SurfaceWidth;
    height = SurfaceHeight;
  }
  SDL_RendererInfo info;
  int maxTexture = 0;
  if (SDL_GetRendererInfo(Renderer, &info) == 0 && info.max_texture_width > 0 && info.max_texture_height > 0)
    maxTexture = std::min(info.max_texture_width, info.max_texture_height);
  return FitPicture(width, height, SurfaceWidth, SurfaceHeight, maxTexture);
}

// The whole-factor copy of the picture, made with square pixels, that the
// smooth last step scales from. False when the renderer cannot draw into a
// texture; the smooth step then starts from the picture itself.
bool TSdlPlatform::PreparePrescaled(int factor) {
  if (Prescaled && PrescaledFactor == factor) return true;
  if (Prescaled) SDL_DestroyTexture(Prescaled);
  PrescaledFactor = factor;
  Prescaled = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, SurfaceWidth * factor,
                                SurfaceHeight * factor);
  if (Prescaled) SDL_SetTextureScaleMode(Prescaled, SDL_ScaleModeLinear);
  return Prescaled != nullptr;
}

void TSdlPlatform::Flip(const TSurface& back) {
  if (AudioOpen) Ramps.Reap();
  SDL_UpdateTexture(Texture, nullptr, back.Pixels.data(), back.Width * 4);
  LastFit = CurrentFit();
  SDL_Texture* source = Texture;
  if (LastFit.Smooth && LastFit.Prescale > 1 && PreparePrescaled(LastFit.Prescale)) {
    SDL_SetTextureScaleMode(Texture, SDL_ScaleModeNearest);
    if (SDL_SetRenderTarget(Renderer, Prescaled) == 0) {
      SDL_RenderCopy(Renderer, Texture, nullptr, nullptr);
      SDL_SetRenderTarget(Renderer, nullptr);
      source = Prescaled;
    }
  }
  if (source == Texture)
    SDL_SetTextureScaleMode(Texture, LastFit.Smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
  SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
  SDL_RenderClear(Renderer);
  const SDL_Rect dest{LastFit.X, LastFit.Y, LastFit.Width, LastFit.Height};
  SDL_RenderCopy(Renderer, source, nullptr, &dest);
  SDL_RenderPresent(Renderer);
}

void TSdlPlatform::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void TSdlPlatform::ReadKeys(bool held[GameKeyCount]) {
  static const SDL_Scancode Codes[GameKeyCount] = {
      SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT,   SDL_SCANCODE_RIGHT, SDL_SCANCODE_H, SDL_SCANCODE_P,
      SDL_SCANCODE_Y,  SDL_SCANCODE_N,    SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE, SDL_SCANCODE_Z, SDL_SCANCODE_X};
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  for (int i = 0; i < GameKeyCount; ++i) held[i] = Active && state[Codes[i]];
  if (Active) Gamepads.ReadKeys(held);
}

void TSdlPlatform::ReadScancodes(bool held[ScancodeCount]) {
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  for (int i = 0; i < ScancodeCount; ++i) held[i] = Active && i < count && state[i];
  held[ScLeftCtrl] = held[ScLeftCtrl] || held[ScRightCtrl];
  held[ScLeftShift] = held[ScLeftShift] || held[ScRightShift];
  held[ScLeftAlt] = held[ScLeftAlt] || held[ScRightAlt];
  held[ScLeftGui] = held[ScLeftGui] || held[ScRightGui];
  held[ScRightCtrl] = held[ScRightShift] = held[ScRightAlt] = held[ScRightGui] = false;
}

void TSdlPlatform::ReadPadButtons(bool held[PadButtonCount]) {
  for (int i = 0; i < PadButtonCount; ++i) held[i] = false;
  if (Active) Gamepads.ReadButtons(held);
}

std::string TSdlPlatform::KeyName(int scancode) {
  if (scancode <= 0 || scancode >= SDL_NUM_SCANCODES) return "";
  return SDL_GetKeyName(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode)));
}

std::string TSdlPlatform::SystemLocale() { return LocaleFromEnvironment(); }

void TSdlPlatform::SetVolumes(int effects, int music) {
  EffectsVolume = std::clamp(effects, 0, 100) * MIX_MAX_VOLUME / 100;
  if (!AudioOpen) return;
  Mix_Volume(-1, EffectsVolume);
  Mix_VolumeMusic(std::clamp(music, 0, 100) * MIX_MAX_VOLUME / 100);
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
  const int channel = Ramps.Start(Chunks[static_cast<size_t>(buffer)], looped);
  if (channel < 0) return -1;
  return VoiceOf(channel, ++ChannelGeneration[static_cast<size_t>(channel)]);
}

void TSdlPlatform::StopVoice(int voice) {
  if (VoicePlaying(voice)) Ramps.Release(voice & ((1 << ChannelBits) - 1));
}

bool TSdlPlatform::VoicePlaying(int voice) {
  if (!AudioOpen || voice < 0) return false;
  const int channel = voice & ((1 << ChannelBits) - 1);
  if (channel >= static_cast<int>(ChannelGeneration.size())) return false;
  if (VoiceOf(channel, ChannelGeneration[static_cast<size_t>(channel)]) != voice) return false;
  return Ramps.Sounding(channel);
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

void TSdlPlatform::ShowError(const std::string& caption, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), message.c_str(), Window);
}

// Window coordinates (which a dense display may count in larger units than
// its pixels) to the picture's.
bool TSdlPlatform::WindowToSurface(int wx, int wy, int& sx, int& sy) {
  int windowWidth, windowHeight, width, height;
  SDL_GetWindowSize(Window, &windowWidth, &windowHeight);
  if (SDL_GetRendererOutputSize(Renderer, &width, &height) != 0 || windowWidth <= 0 || windowHeight <= 0) {
    width = windowWidth;
    height = windowHeight;
  }
  const double ox = windowWidth > 0 ? (wx + 0.5) * width / windowWidth : wx;
  const double oy = windowHeight > 0 ? (wy + 0.5) * height / windowHeight : wy;
  return OutputToPicture(CurrentFit(), SurfaceWidth, SurfaceHeight, ox, oy, sx, sy);
}

void TSdlPlatform::DeliverEvents(const bool& stop) {
  SDL_Event e;
  while (!stop && SDL_PollEvent(&e)) HandleEvent(e);
  KeepPlace();
}

void TSdlPlatform::WaitForEvent(int ms) { SDL_WaitEventTimeout(nullptr, ms); }

int64_t TSdlPlatform::ClockMs() const { return static_cast<int64_t>(SDL_GetTicks64()); }

uint32_t TSdlPlatform::ClockSeed() const { return static_cast<uint32_t>(SDL_GetPerformanceCounter()); }

void TSdlPlatform::HandleEvent(const SDL_Event& e) {
  if (Gamepads.HandleEvent(e)) return;
  switch (e.type) {
    case SDL_QUIT: WindowEvents.CloseQuery(); break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) WindowEvents.CloseQuery();
      // The game stands still while another program is in front, and so
      // do its music and sounds; they go on where they stopped.
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST && Active) {
        Active = false;
        if (AudioOpen) {
          Mix_Pause(-1);
          Mix_PauseMusic();
        }
      }
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && !Active) {
        Active = true;
        if (AudioOpen) {
          Mix_Resume(-1);
          Mix_ResumeMusic();
        }
      }
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode k = e.key.keysym.sym;
      const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
      if (k == SDLK_LSHIFT || k == SDLK_RSHIFT) WindowEvents.KeyDown(VK_SHIFT, alt);
      if (k == SDLK_LCTRL || k == SDLK_RCTRL) WindowEvents.KeyDown(VK_CONTROL, alt);
      if (k == SDLK_RETURN || k == SDLK_KP_ENTER) {
        if (e.key.repeat && alt) break;
        WindowEvents.KeyDown(VK_RETURN, alt);
        if (!alt) WindowEvents.KeyPress(13);
      }
      // F11 switches the display as Alt+Enter does, as on most desktops.
      if (k == SDLK_F11 && !e.key.repeat) WindowEvents.KeyDown(VK_F11, alt);
      if (k == SDLK_BACKSPACE) WindowEvents.KeyPress(8);
      if (k == SDLK_ESCAPE) WindowEvents.KeyPress(27);
      break;
    }
    case SDL_KEYUP: {
      const SDL_Keycode k = e.key.keysym.sym;
      if (k == SDLK_LSHIFT || k == SDLK_RSHIFT) WindowEvents.KeyUp(VK_SHIFT);
      if (k == SDLK_LCTRL || k == SDLK_RCTRL) WindowEvents.KeyUp(VK_CONTROL);
      if (k == SDLK_RETURN) WindowEvents.KeyUp(VK_RETURN);
      break;
    }
    case SDL_TEXTINPUT:
      // Typed text arrives as UTF-8 whatever the layout; the game takes it
      // as Windows-1251 bytes, so Cyrillic typing works.
      for (char c : Cp1251FromUtf8(e.text.text)) WindowEvents.KeyPress(static_cast<unsigned char>(c));
      break;
    case SDL_MOUSEMOTION: {
      int sx, sy;
      if (WindowToSurface(e.motion.x, e.motion.y, sx, sy)) WindowEvents.MouseMove(sx, sy);
      break;
    }
    // Every physical click acts once, as a single click (on release) or as
    // the second half of a double click (on the press). SDL goes on
    // counting a fast series 1, 2, 3, 4...; the game pairs them as the
    // desktop it was made for does: after a double click the next click
    // starts a new pair, so odd counts are single clicks and even counts
    // double clicks.
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT && e.button.clicks % 2 == 1) WindowEvents.Click();
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button == SDL_BUTTON_LEFT && e.button.clicks >= 2 && e.button.clicks % 2 == 0) WindowEvents.Click();
      break;
    default: break;
  }
}
