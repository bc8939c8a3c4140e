#include "app/start_up.h"

#include <cstdio>
#include <exception>
#include <string>

#include "shell/frame_timer.h"
#include "shell/main_window.h"
#include "shell/save_location.h"

namespace {
const char* const Caption = "Вольтрейс 2";
}

bool StartGame(TPlatform& machine, uint32_t randomSeed) {
  machine.EnterGameFolder();
  std::fprintf(stderr, "%s\n", ChooseSaveFolder("Data/Save", [&machine] { return machine.UserSaveFolder(); }).c_str());
  Platform = &machine;
  if (!machine.Open()) {
    std::fprintf(stderr, "%s: cannot open the window: %s\n", Caption, machine.Error.c_str());
    return false;
  }
  try {
    FormCreate(randomSeed);
  } catch (const std::exception& e) {
    // A missing or damaged archive, or a picture or sound the first screen
    // needs ("Image 'MMBG' not found"): the game cannot start without it.
    machine.ShowError(Caption, e.what());
    machine.Close();
    return false;
  }
  return true;
}

void RunFrame(int64_t nowMs) { MDXTimerTimer(MDXTimer.NextLagCount(nowMs)); }
