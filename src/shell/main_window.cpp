#include "shell/main_window.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "race/overlay_windows.h"
#include "race/race.h"
#include "race/replay/recorder.h"
#include "race/replay/replay_run.h"
#include "race/replay/replay_watch.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/links.h"
#include "screens/car_selection.h"
#include "screens/help_screen.h"
#include "screens/highscores_screen.h"
#include "screens/main_menu.h"
#include "screens/options_screen.h"
#include "screens/buttons.h"
#include "shell/frame_rate.h"
#include "shell/frame_timer.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/options_file.h"
#include "shell/player_settings.h"
#include "screens/controls_screen.h"
#include "shell/input.h"
#include "shell/random.h"
#include "shell/save_pair.h"
#include "shell/settings.h"
#include "shell/sound.h"
#include "shell/text_entry.h"
#include "shell/window_place.h"
#include "sprites/image_list.h"
#include "sprites/wave_list.h"
#include "sprites/image_list.h"
#include "sprites/lookup_error.h"
#include "sprites/sprite.h"
#include "sprites/wave_list.h"

namespace {

// A name missing from an archive abandons what asked for it: the rest of the
// tick, or the key or click being handled; the game goes on. Say it once, so
// a broken archive is noticed without flooding the terminal every frame.
void ReportLookupError(const ELookupError& e) {
  static std::string lastMessage;
  if (lastMessage == e.what()) return;
  lastMessage = e.what();
  std::fprintf(stderr, "voltrace2: %s\n", e.what());
}

// The race screen with the player driving, not a replay being watched.
bool RacePlayed() { return GameScreen == 6 && !ReplayWatched; }

template <class F>
void Guarded(F&& action) {
  try {
    action();
  } catch (const ELookupError& e) {
    ReportLookupError(e);
  }
}

void RunScreenTick(int lagCount) {
  switch (GameScreen) {
    case 1: MainMenuTick(lagCount); break;
    case 2: CarSelectTick(lagCount); break;
    case 3: OptionsTick(lagCount); break;
    case 4: HighscoresTick(lagCount); break;
    case 5: HelpTick(lagCount); break;
    case 6: RaceTick(lagCount); break;
    case 7: ControlsTick(lagCount); break;
    default: break;
  }
}

// The fonts, pictures and sounds are made ready one a frame after the first
// rather than all before it: the window shows at once, and the first race
// does not stall decoding its pictures. Whatever a frame needs before its
// turn here is made ready when it is first used.
void PrepareOneWaitingThing() {
  PrepareNextTextStyle() || MDXImageList1.DecodeNextWaiting() || MDXImageList2.DecodeNextWaiting() ||
      MDXWaveList.ReadNextWaiting();
}

// Not saving is told on the screen, not only on the terminal, which a
// player who starts the game from the desktop never sees. The moment is the
// exit, after the player's Yes: the menu is already gone, so the black
// screen the game leaves on says "Не удалось сохранить!" in the red of the
// timed race messages ("Время вышло!"), with what was lost below, for three
// seconds before the window closes; a key, a click or the close button
// closes it at once, but only once it has been up for half a second, so
// that the key or double click that answered Yes, or its repeat, does not
// close it unread. The reason is on stderr.
const std::string SaveFailedText = Cp1251FromUtf8("Не удалось сохранить!");
const std::string SaveLostText = Cp1251FromUtf8("Рекорды и настройки не записаны");
constexpr int SaveFailedNoticeShownMs = 3000;
constexpr int SaveFailedNoticeDeafMs = 500;

void EndProgram() {
  SaveFailedNoticeMs = 0;
  if (std::filesystem::exists("play.url")) OpenLink("play.url");
  Terminated = true;
}

void CloseSaveFailedNotice() {
  if (SaveFailedNoticeMs <= SaveFailedNoticeShownMs - SaveFailedNoticeDeafMs) EndProgram();
}

void SaveFailedNoticeTick() {
  // Counted down like the timed race messages, also while nothing can be
  // drawn, so that the game always ends.
  SaveFailedNoticeMs -= std::max(FrameMs, 1);
  FillSurface(BackSurface, 0);
  if (Platform->CanDraw()) {
    SetTextStyle(5);
    DrawText(SaveFailedText, SurfaceWidth / 2, 270, true, true);
    SetTextStyle(17);
    DrawText(SaveLostText, SurfaceWidth / 2, 330, true, true);
    Platform->Flip(BackSurface);
  }
  if (SaveFailedNoticeMs <= 0) EndProgram();
}

void Tick(int lagCount) {
  if (SaveFailedNoticeMs > 0) return SaveFailedNoticeTick();
  const int hoverBefore = HoverButton;
  const bool canDraw = Platform->CanDraw();
  // Where the background paints every pixel, clearing under it would change
  // nothing a player can see.
  if (!canDraw || Background == nullptr || !Background->CoversSurface()) FillSurface(BackSurface, 0);
  if (!canDraw) return;
  MDXSpriteEngine.Draw();
  PollKeys();
  RecordFrame(lagCount);
  if (ReplayWatched && OverlayWindow != 1) {
    // A replay on the race screen: it plays its own frames, and the only
    // window the player can open over it is the exit question.
    WatchTick(lagCount);
  } else if (OverlayWindow != 0) {
    OverlayTick(lagCount);
    // The options stay readable under a window opened over them.
    if (GameScreen == 3) OptionsTexts();
    if (GameScreen == 7) ControlsTexts();
  } else {
    RunScreenTick(lagCount);
  }
  if (HoverButton != hoverBefore) PlaySound("Button");
  MDXSpriteEngine.Dead();
  FrameRate = MDXTimer.FrameRate;
  UpdateSpeedFactor();
  Platform->Flip(BackSurface);
  PrepareOneWaitingThing();
}

}  // namespace

void FormCreate(uint32_t randomSeed, bool loadArchives) {
  // The window's events come to this form's handlers from now on.
  WindowEvents = {FormCloseQuery, FormKeyDown, FormKeyUp, FormKeyPress, MDXDrawMouseMove, MDXDrawClick, GamepadRemoved};
  Randomize(randomSeed);
  BackSurface.Resize(SurfaceWidth, SurfaceHeight);
  if (loadArchives) {
    MDXImageList1.LoadFromFile("Data/Res/Res1.dxg");
    MDXImageList2.LoadFromFile("Data/Res/Res2.dxg");
    MDXWaveList.LoadFromFile("Data/Res/Sounds.dxw");
  }
  FinishInterruptedSave();
  LoadHighScores();
  LoadOptions();
  if (DisplayModeChosen >= 0) FullScreen = static_cast<uint8_t>(DisplayModeChosen);
  if (!HighScoresValid()) ResetHighScores();
  LoadWindowPlace();
  LoadPlayerSettings(Platform->SystemLocale());
  ApplyVolumes();
  ApplyDisplayMode();
  GameScreen = 0;
  try {
    OpenMainMenu(1, 1, true);
  } catch (const ELookupError& e) {
    // Without one of its pictures the menu cannot be shown, and the game
    // stops with the lookup error. A missing opening sound ("MenuBegin")
    // costs only the sound: the menu is all there.
    bool shown = Background != nullptr;
    for (int i = 1; i <= 6; ++i) shown = shown && Buttons[i] != nullptr;
    if (!shown) throw;
    ReportLookupError(e);
  }
}

int SaveFailedNoticeMs = 0;

void MDXTimerTimer(int lagCount) { Guarded([&] { Tick(lagCount); }); }

void FormKeyDown(int key, bool alt) {
  if (SaveFailedNoticeMs > 0) return CloseSaveFailedNotice();
  Guarded([&] {
    if (key == VK_SHIFT) KeyShift = 1;
    if (key == VK_CONTROL) KeyCtrl = 1;
    if ((alt && key == VK_RETURN) || key == VK_F11) {
      FullScreen = FullScreen ? 0 : 1;
      if (RacePlayed()) OpenOverlay(5);
      ApplyDisplayMode();
    }
  });
}

void FormKeyUp(int key) {
  if (key == VK_SHIFT) KeyShift = 0;
  if (key == VK_CONTROL) KeyCtrl = 0;
}

void FormKeyPress(unsigned char key) {
  if (SaveFailedNoticeMs > 0) return CloseSaveFailedNotice();
  Guarded([&] {
    if (OverlayWindow == 8) LastKeyChar = key;
    if (GameScreen == 3 && CountryEditActive == 1) {
      if (key == 8) {
        DeleteLastChar(Country);
      } else if (IsNameChar(key) && TextWidth(Country, 4) <= 345) {
        AppendChar(Country, key, 16);
      }
    }
    if (OverlayWindow == 8) {
      if (key == 8) {
        DeleteLastChar(PlayerName);
      } else if (IsNameChar(key) && TextWidth(PlayerName, 10) <= 240) {
        AppendChar(PlayerName, key, 12);
      }
    }
    if (key == VK_RETURN) SelectItem(HoverButton);
  });
}

void MDXDrawMouseMove(int x, int y) {
  if (SaveFailedNoticeMs > 0) return;
  Guarded([&] {
    MouseX = x;
    MouseY = y;
    const int before = HoverButton;
    UpdateHover(true);
    if (HoverButton != before && !(GameScreen == 1 && MenuFadeIn != 0)) PlaySound("Button");
  });
}

void MDXDrawClick() {
  if (SaveFailedNoticeMs > 0) return CloseSaveFailedNotice();
  Guarded([] { ActivateItem(); });
}

void GamepadRemoved() {
  if (SaveFailedNoticeMs > 0) return;
  Guarded([] {
    if (RacePlayed()) OpenOverlay(5);
  });
}

void FormCloseQuery() {
  if (SaveFailedNoticeMs > 0) return CloseSaveFailedNotice();
  Guarded([] { OpenOverlay(RacePlayed() ? 2 : 1); });
}

void ApplyDisplayMode() {
  Platform->ApplyDisplayMode(FullScreen == 1);
  RefreshRate = Platform->RefreshRate();
}

// The exit saves; true when the options and the table were kept.
static bool SaveAtExit() {
  MDXSpriteEngine.Dead();
  // Options and table together: the options carry the table's checksum.
  const bool saved = SaveOptionsAndHighScores();
  SaveWindowPlace();
  SavePlayerSettings();
  return saved;
}

void ShutDown() {
  if (SaveAtExit()) return EndProgram();
  SaveFailedNoticeMs = SaveFailedNoticeShownMs;
}

// Nobody is there to read a notice: a failed save is said on stderr only.
void EndAtOnce() {
  SaveAtExit();
  SaveFailedNoticeMs = 0;
  Terminated = true;
}

void RunLauncherCheck() {
  const char* launcher = "fscommand/wgame.exe";
  if (std::filesystem::exists(launcher)) Platform->OpenLink(launcher);
}

void ResetGame() {
  MDXSpriteEngine.Clear();
  ResetGameState();
  ResetButtons();
  ResetInput();
  ResetSound();
  ResetOverlay();
  ResetMainMenu();
  ResetOptionsScreen();
  ResetControlsScreen();
  ResetCarSelection();
  ResetHighscoresScreen();
  ClearLinkNotice();
  ResetHelpScreen();
  ResetRace();
  ResetRecorder();
  ResetWatching();
  Background = nullptr;
  SetDefaultOptions();
  DisplayModeChosen = -1;
  SetDefaultPlayerSettings("");
  SaveFailedNoticeMs = 0;
  SpeedFactor = 1.0;
  FrameMs = 15;
  FrameRate = 0;
  RefreshRate = 0;
  ResetFrameMsCarry();
  MDXTimer = TFrameTimer();
}
