// voltrace2: the game in a window of its own.
#include <SDL.h>

#include <cstdio>
#include <exception>
#include <string>

#include "platform/sdl_game_folder.h"
#include "platform/sdl_platform.h"
#include "shell/frame_timer.h"
#include "shell/game_state.h"
#include "shell/main_window.h"
#include "shell/save_location.h"
#include "sprites/lookup_error.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  EnterGameFolder();
  std::fprintf(stderr, "%s\n", ChooseSaveFolder("Data/Save", UserSaveFolder).c_str());
  static TSdlPlatform machine;
  Platform = &machine;
  const std::string caption = "Вольтрейс 2";
  if (!machine.Open()) {
    std::fprintf(stderr, "%s: cannot open the window: %s\n", caption.c_str(), machine.Error.c_str());
    return 1;
  }
  try {
    FormCreate(static_cast<uint32_t>(SDL_GetPerformanceCounter()));
  } catch (const std::exception& e) {
    // A missing or damaged archive, or a picture or sound the first screen
    // needs ("Image 'MMBG' not found"): the game cannot start without it.
    machine.ShowError(caption, e.what());
    machine.Close();
    return 1;
  }
  bool wasActive = true;
  while (!Terminated) {
    SDL_Event e;
    while (!Terminated && SDL_PollEvent(&e)) machine.HandleEvent(e);
    if (Terminated) break;
    if (!machine.Active) {
      // Ticks stand still while another program is in front.
      wasActive = false;
      SDL_WaitEventTimeout(nullptr, 100);
      continue;
    }
    if (!wasActive) {
      MDXTimer.Restart(static_cast<int64_t>(SDL_GetTicks64()));
      wasActive = true;
    }
    MDXTimerTimer(MDXTimer.NextLagCount(static_cast<int64_t>(SDL_GetTicks64())));
  }
  machine.Close();
  RunLauncherCheck();
  return 0;
}
