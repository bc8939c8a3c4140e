#pragma once
// Folder platform/: the machine under the game (window, keys, pads, sound,
// music, links, HTTP). Only this folder includes SDL; it may use gfx/ and
// nothing above. The program's entry (app/) stands over everything and
// wires the machine to the shell.
//
// What the game asks of the machine. The SDL build and the headless script
// runner each provide one TPlatform; the game reaches it through Platform.
// Nothing here includes SDL.
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/surface.h"

// Keys the game polls once per tick.
enum TGameKey {
  gkUp, gkDown, gkLeft, gkRight, gkH, gkP, gkY, gkN, gkEsc, gkSpace, gkZ, gkX,
  GameKeyCount
};

// Every key of the keyboard by its place on it: the USB usage numbers (the
// numbering SDL's scancodes use), whatever the layout prints on the key.
// The race's keys, which the player binds, are read this way.
constexpr int ScancodeCount = 512;
constexpr int ScA = 4, ScZ = 29, ScX = 27, ScH = 11, ScP = 19, ScY = 28, ScN = 17, ScReturn = 40, ScEscape = 41,
              ScBackspace = 42, ScSpace = 44, ScF11 = 68, ScRight = 79, ScLeft = 80, ScDown = 81, ScUp = 82,
              ScKeypadEnter = 88, ScLeftCtrl = 224, ScLeftShift = 225, ScLeftAlt = 226, ScLeftGui = 227,
              ScRightCtrl = 228, ScRightShift = 229, ScRightAlt = 230, ScRightGui = 231;

// A pad's buttons, in the order of the common game-controller layout; a
// stick leaning past its dead zone counts as the D-pad's button that way.
enum TPadButton {
  pbA, pbB, pbX, pbY, pbBack, pbGuide, pbStart, pbLeftStick, pbRightStick, pbLeftShoulder, pbRightShoulder,
  pbDpadUp, pbDpadDown, pbDpadLeft, pbDpadRight,
  PadButtonCount
};

// One GET: the address, the request's header lines ("Name: value"), and
// its time-outs: to have a connection, and for the whole request. With Post
// it is a POST carrying Body instead (the recording sent after a report).
struct THttpGet {
  std::string Url;
  std::vector<std::string> Headers;
  int ConnectTimeoutMs = 0;
  int TotalTimeoutMs = 0;
  bool Post = false;
  std::string Body;
};

class TPlatform {
 public:
  virtual ~TPlatform() = default;

  // Start-up, asked in this order by the game's one start-up before the
  // first frame. EnterGameFolder makes the folder holding the game's Data
  // the working directory and returns it; UserSaveFolder is the player's own
  // data folder for the saves, asked only when the game cannot save beside
  // itself (empty when there is none); Open opens the window and the sound
  // device, false with the reason in Error when it cannot. Close undoes
  // Open.
  virtual std::string EnterGameFolder() = 0;
  // True when EnterGameFolder found the data of a game installed for the
  // whole system (the data folder next to the program's bin folder), whose
  // tree is never written; false for a game unpacked or built somewhere.
  virtual bool GameInstalled() const { return false; }
  virtual std::string UserSaveFolder() = 0;
  virtual bool Open() = 0;
  virtual void Close() {}
  std::string Error;

  // Display. ApplyDisplayMode keeps the back surface and every image; going
  // windowed restores the placement stored when going full screen.
  virtual void ApplyDisplayMode(bool fullScreen) = 0;
  virtual int RefreshRate() = 0;  // Hz as the display reports it, may be 0
  virtual bool CanDraw() = 0;
  virtual void Flip(const TSurface& back) = 0;  // waits for vertical blank
  virtual void ShowCursor(bool show) = 0;

  // The window's place on the desktop when windowed, kept between runs: the
  // game asks for it at exit and hands it back at start-up, before the first
  // ApplyDisplayMode. A machine without a window has none (false).
  virtual bool GetWindowPlace(int& x, int& y) {
    (void)x;
    (void)y;
    return false;
  }
  virtual void SetWindowPlace(int x, int y) {
    (void)x;
    (void)y;
  }

  // Keyboard held states, read once per tick.
  virtual void ReadKeys(bool held[GameKeyCount]) = 0;
  // Every key by scancode, and every pad button of all pads together, read
  // once per tick. The right-hand Ctrl, Shift, Alt and Windows keys are
  // reported as their left-hand twins: the game takes either as one key.
  virtual void ReadScancodes(bool held[ScancodeCount]) = 0;
  virtual void ReadPadButtons(bool held[PadButtonCount]) = 0;
  // The key's name in the keyboard layout in use (UTF-8), empty when it has none.
  virtual std::string KeyName(int scancode) = 0;
  // The system's language as the locale variables give it ("ru_RU.UTF-8",
  // "en_GB"...), empty when none is set.
  virtual std::string SystemLocale() = 0;

  // Sound effects: a buffer per wave item, voices play copies of it.
  virtual int CreateSoundBuffer(const std::vector<uint8_t>& riffWave) = 0;  // -1 on failure
  virtual int PlayBuffer(int buffer, bool looped) = 0;  // voice handle, -1 if none could start
  virtual void StopVoice(int voice) = 0;
  virtual bool VoicePlaying(int voice) = 0;

  // Music: the tracker player's load, play and free.
  virtual int SongLoadFromFile(const std::string& path) = 0;  // 0 on failure
  virtual void SongPlay(int handle) = 0;
  virtual void SongFree(int handle) = 0;
  // The player's levels, 0..100 each, heard at once (the sounds already
  // playing and the tune too); 100 is the mixer's full volume.
  virtual void SetVolumes(int effects, int music) = 0;

  // The desktop's "open" action on a file, link file or address.
  virtual bool OpenLink(const std::string& target) = 0;
  // A GET that runs beside the frame loop, so the window keeps drawing while
  // a slow service answers. HttpStart returns a request number (0 when it
  // could not start); HttpPoll is true once the request has ended, with the
  // HTTP status in status (0 when no answer came: refused, timed out), and
  // the request is then forgotten;
  // HttpAbandon drops a request at once, finished or not. A request ends by
  // itself at the latest when its time-outs pass.
  virtual int HttpStart(const THttpGet& get) = 0;
  virtual bool HttpPoll(int request, int& status) = 0;
  virtual void HttpAbandon(int request) = 0;

  // Shows a start-up failure to the player (besides stderr).
  virtual void ShowError(const std::string& caption, const std::string& message) = 0;
};

extern TPlatform* Platform;

// Virtual-key codes the window's key events deliver.
constexpr int VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_F11 = 122;

// Where the real window's events go. The machine sits below the game and
// does not know it; the program's entry points these at the main window's
// handlers before the first event, and the machine calls them between ticks.
// Until then an event is dropped.
struct TWindowEvents {
  void (*CloseQuery)() = [] {};
  void (*KeyDown)(int key, bool alt) = [](int, bool) {};
  void (*KeyUp)(int key) = [](int) {};
  void (*KeyPress)(unsigned char key) = [](unsigned char) {};
  void (*MouseMove)(int x, int y) = [](int, int) {};
  void (*Click)() = [] {};
  void (*GamepadRemoved)() = [] {};
};
extern TWindowEvents WindowEvents;
