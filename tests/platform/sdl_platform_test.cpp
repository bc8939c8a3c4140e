// The real SDL platform under SDL's dummy video and audio drivers and its
// virtual joystick: mouse clicks, gamepads, the display mode and the
// window's place, driven with synthetic events through the same event
// handler the game's loop calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/sdl_platform.h"
#include "race/overlay_windows.h"
#include "race/race.h"
#include "screens/help_screen.h"
#include "screens/main_menu.h"
#include "gfx/surface.h"
#include "screens/buttons.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "shell/main_window.h"
#include "shell/save_files.h"

namespace {

class SdlPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // SDL ignores pads while no window of the game has the focus, and the
    // dummy driver's window never gets it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_TRUE(Machine.Open()) << Machine.Error;
    Platform = &Machine;
    ResetGame();
    SaveFolder = "/nonexistent/voltrace2";  // default options: windowed, whatever the build folder holds
    FormCreate(1);
  }
  void TearDown() override {
    for (SDL_JoystickID id : Attached) SDL_JoystickDetachVirtual(DeviceIndexOf(id));
    ResetGame();
    Platform = nullptr;
    SaveFolder = "Data/Save";
    Machine.Close();
  }
  // Hands every queued event to the platform, as the game's loop does.
  void Pump() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Machine.HandleEvent(e);
  }
  void Push(Uint32 type, Uint8 button, Uint8 clicks) {
    SDL_Event e{};
    e.type = type;
    e.button.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = clicks;
    e.button.windowID = SDL_GetWindowID(Machine.GameWindow());
    SDL_PushEvent(&e);
  }
  void OpenHelpOnNext() {
    CloseMainMenu();
    OpenHelp();
    HoverButton = 2;  // "next page"
  }
  static int DeviceIndexOf(SDL_JoystickID id) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    return -1;
  }
  // A pad with the game controller's full set of buttons and axes.
  SDL_Joystick* AttachPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    EXPECT_NE(stick, nullptr) << SDL_GetError();
    Attached.push_back(SDL_JoystickInstanceID(stick));
    Pump();
    return stick;
  }
  void Press(SDL_Joystick* stick, SDL_GameControllerButton b, bool down) {
    SDL_JoystickSetVirtualButton(stick, b, down ? SDL_PRESSED : SDL_RELEASED);
    Pump();
  }
  TSdlPlatform Machine;
  std::vector<SDL_JoystickID> Attached;
};

// A fast series of clicks comes numbered 1, 2, 3, 4: each one pages once.
TEST_F(SdlPlatformTest, EveryClickOfAFastSeriesActsOnce) {
  OpenHelpOnNext();
  ASSERT_EQ(HelpPage, 1);
  for (Uint8 clicks = 1; clicks <= 4; ++clicks) {
    Push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, clicks);
    Push(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, clicks);
    Pump();
    EXPECT_EQ(HelpPage, 1 + clicks) << "after click " << int(clicks) << " of the series";
  }
  // Other buttons do not click.
  Push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1);
  Push(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1);
  Pump();
  EXPECT_EQ(HelpPage, 5);
}

// Single clicks act on release, the second of a pair on its press.
TEST_F(SdlPlatformTest, ADoubleClickActsOnItsSecondPress) {
  OpenHelpOnNext();
  Push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1);
  Pump();
  EXPECT_EQ(HelpPage, 1);
  Push(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1);
  Pump();
  EXPECT_EQ(HelpPage, 2);
  Push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2);
  Pump();
  EXPECT_EQ(HelpPage, 3);
  Push(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2);
  Pump();
  EXPECT_EQ(HelpPage, 3);
}

TEST_F(SdlPlatformTest, APadIsOneMoreKeyboard) {
  OpenHelpOnNext();
  SDL_Joystick* pad = AttachPad();
  ASSERT_EQ(Machine.Gamepads.Count(), 1);

  // D-pad up: held, and an edge on the first tick only.
  Press(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  PollKeys();
  EXPECT_EQ(PressedUp, 1);
  PollKeys();
  EXPECT_EQ(PressedUp, 0);
  EXPECT_TRUE(KeyHeld[gkUp]);
  Press(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, false);
  PollKeys();
  EXPECT_FALSE(KeyHeld[gkUp]);

  // The left stick steers past its dead zone only.
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -6000);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 20000);
  Pump();
  PollKeys();
  EXPECT_FALSE(KeyHeld[gkLeft]);
  EXPECT_TRUE(KeyHeld[gkDown]);
  EXPECT_EQ(PressedDown, 1);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, -20000);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
  Pump();
  PollKeys();
  EXPECT_TRUE(KeyHeld[gkLeft]);
  EXPECT_FALSE(KeyHeld[gkDown]);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);

  // The race's buttons, each held as its key.
  const struct {
    SDL_GameControllerButton Button;
    TGameKey Key;
  } buttons[] = {{SDL_CONTROLLER_BUTTON_B, gkEsc},         {SDL_CONTROLLER_BUTTON_X, gkX},
                 {SDL_CONTROLLER_BUTTON_Y, gkH},           {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, gkSpace},
                 {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, gkSpace}, {SDL_CONTROLLER_BUTTON_START, gkP}};
  for (const auto& b : buttons) {
    Press(pad, b.Button, true);
    PollKeys();
    EXPECT_TRUE(KeyHeld[b.Key]) << "button " << b.Button;
    Press(pad, b.Button, false);
    PollKeys();
    EXPECT_FALSE(KeyHeld[b.Key]) << "button " << b.Button;
  }

  // A is Enter on the help screen: the highlighted "next page" acts.
  const int page = HelpPage;
  Press(pad, SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(HelpPage, page + 1);
  PollKeys();
  EXPECT_TRUE(KeyHeld[gkZ]) << "A is also the race's fire key";
  Press(pad, SDL_CONTROLLER_BUTTON_A, false);
}

TEST_F(SdlPlatformTest, PullingThePadOutPausesTheRaceOnly) {
  AttachPad();
  ASSERT_EQ(Machine.Gamepads.Count(), 1);
  SDL_JoystickDetachVirtual(DeviceIndexOf(Attached.back()));
  Attached.pop_back();
  Pump();
  EXPECT_EQ(Machine.Gamepads.Count(), 0);
  EXPECT_EQ(OverlayWindow, 0) << "out of a race nothing opens";

  CloseMainMenu();
  StartRace();
  ASSERT_EQ(GameScreen, 6);
  CloseOverlay();  // the level's message
  ASSERT_EQ(OverlayWindow, 0);
  AttachPad();
  ASSERT_EQ(Machine.Gamepads.Count(), 1);
  SDL_JoystickDetachVirtual(DeviceIndexOf(Attached.back()));
  Attached.pop_back();
  Pump();
  EXPECT_EQ(Machine.Gamepads.Count(), 0);
  EXPECT_EQ(OverlayWindow, 5) << "the pause window";
}

// The dummy display is 1024 x 768: full screen scales the picture to
// 1024 x 765 with a pixel of bar above (765.41 rounds down, the odd pixel
// goes below), and the mouse is mapped back through the same arithmetic.
TEST_F(SdlPlatformTest, FullScreenFillsTheDisplayAndTheMouseFollows) {
  Machine.Flip(BackSurface);
  EXPECT_EQ(Machine.Fit().Width, 792);
  EXPECT_EQ(Machine.Fit().Height, 592);
  EXPECT_FALSE(Machine.Fit().Smooth);

  Machine.ApplyDisplayMode(true);
  Pump();
  FillSurface(BackSurface, 0xFFFFFF);
  Machine.Flip(BackSurface);
  EXPECT_EQ(Machine.Fit().X, 0);
  EXPECT_EQ(Machine.Fit().Y, 1);
  EXPECT_EQ(Machine.Fit().Width, 1024);
  EXPECT_EQ(Machine.Fit().Height, 765);
  // What reached the screen: a white picture from row 1 to row 765, black
  // bars above and below it, edge to edge across.
  std::vector<uint32_t> shown(1024 * 768);
  ASSERT_EQ(SDL_RenderReadPixels(Machine.GameRenderer(), nullptr, SDL_PIXELFORMAT_RGB888, shown.data(), 1024 * 4), 0)
      << SDL_GetError();
  auto at = [&](int x, int y) { return shown[static_cast<size_t>(y) * 1024 + x] & 0xFFFFFF; };
  for (int x : {0, 511, 1023}) {
    EXPECT_EQ(at(x, 0), 0u) << x;
    EXPECT_EQ(at(x, 1), 0xFFFFFFu) << x;
    EXPECT_EQ(at(x, 765), 0xFFFFFFu) << x;
    EXPECT_EQ(at(x, 766), 0u) << x;
    EXPECT_EQ(at(x, 767), 0u) << x;
  }

  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = SDL_GetWindowID(Machine.GameWindow());
  e.motion.x = 1023;  // (1023.5 * 792 / 1024, (767.5 - 1) * 592 / 765) = (791.6, 593.2): below the picture
  e.motion.y = 767;
  Machine.HandleEvent(e);
  e.motion.x = 512;  // (396.4, 296.8)
  e.motion.y = 384;
  Machine.HandleEvent(e);
  EXPECT_EQ(MouseX, 396);
  EXPECT_EQ(MouseY, 296);

  Machine.ApplyDisplayMode(false);
  Pump();
  int w = 0, h = 0;
  SDL_GetWindowSize(Machine.GameWindow(), &w, &h);
  EXPECT_EQ(w, 792);
  EXPECT_EQ(h, 592);
}

TEST_F(SdlPlatformTest, TheWindowGoesBackWhereItWas) {
  Machine.SetWindowPlace(100, 50);
  Machine.ApplyDisplayMode(false);
  int x = 0, y = 0;
  SDL_GetWindowPosition(Machine.GameWindow(), &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
  Machine.ApplyDisplayMode(true);
  ASSERT_TRUE(Machine.GetWindowPlace(x, y));
  EXPECT_EQ(x, 100) << "full screen keeps the windowed place";
  EXPECT_EQ(y, 50);
  Machine.ApplyDisplayMode(false);
  SDL_GetWindowPosition(Machine.GameWindow(), &x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);

  // A place on a monitor that is gone: centred on the display there is.
  Machine.SetWindowPlace(-5000, 4000);
  Machine.ApplyDisplayMode(false);
  SDL_GetWindowPosition(Machine.GameWindow(), &x, &y);
  EXPECT_EQ(x, (1024 - 792) / 2);
  EXPECT_EQ(y, (768 - 592) / 2);
}

// A joystick SDL has no pad mapping for is not silently ignored: the player
// is told once, and a mapping line in the game's data folder makes it a pad.
TEST_F(SdlPlatformTest, AJoystickWithoutAMappingIsNamedOnceAndAMappingFileMakesItAPad) {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_FLIGHT_STICK;
  desc.naxes = 2;
  desc.nbuttons = 4;
  desc.name = "Odd stick";
  testing::internal::CaptureStderr();
  for (int plugs = 0; plugs < 2; ++plugs) {
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    Pump();
    EXPECT_FALSE(SDL_IsGameController(index));
    SDL_JoystickDetachVirtual(index);
    Pump();
  }
  const std::string said = testing::internal::GetCapturedStderr();
  const size_t first = said.find("\"Odd stick\"");
  ASSERT_NE(first, std::string::npos) << said;
  EXPECT_NE(said.find("gamecontrollerdb.txt"), std::string::npos) << said;
  EXPECT_EQ(said.find("\"Odd stick\"", first + 1), std::string::npos) << "said once:\n" << said;

  const int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0);
  // The GUID as the message gave it, ready for a mapping line.
  const size_t open = said.find('(', first), close = said.find(')', open);
  ASSERT_NE(close, std::string::npos) << said;
  const std::string guid = said.substr(open + 1, close - open - 1);
  ASSERT_EQ(guid.size(), 32u) << said;
  const std::string file = testing::TempDir() + "voltrace2-mappings.txt";
  std::FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fprintf(f, "%s,Odd stick,a:b0,b:b1,x:b2,y:b3,leftx:a0,lefty:a1,platform:Linux,\n", guid.c_str());
  std::fclose(f);
  EXPECT_EQ(TSdlGamepads::LoadPlayerMappings(file), 1);
  std::remove(file.c_str());
  EXPECT_TRUE(SDL_IsGameController(index));
  SDL_JoystickDetachVirtual(index);
  Pump();
  EXPECT_EQ(TSdlGamepads::LoadPlayerMappings(testing::TempDir() + "no-such-file.txt"), 0);
}

}  // namespace
