#include "app/start_up.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>

#include "shell/frame_timer.h"
#include "shell/main_window.h"
#include "shell/save_location.h"
#include "shell/settings.h"

namespace {

const char* const Caption = "Вольтрейс 2";

// The folder holding Data: the one the player named, else the machine's
// search. Returns false (said on stderr) when the named one cannot be used.
bool EnterDataFolder(TPlatform& machine, const std::string& named, bool& installed) {
  installed = false;
  if (named.empty()) {
    machine.EnterGameFolder();
    installed = machine.GameInstalled();
    return true;
  }
  std::error_code ec;
  std::filesystem::current_path(named, ec);
  if (ec) std::fprintf(stderr, "voltrace2: cannot use %s: %s\n", named.c_str(), ec.message().c_str());
  return !ec;
}

}  // namespace

bool StartGame(TPlatform& machine, uint32_t randomSeed, const TStartChoices& choices) {
  bool installed = false;
  if (!EnterDataFolder(machine, choices.DataFolder, installed)) return false;
  const auto userFolder = [&machine] { return machine.UserSaveFolder(); };
  std::fprintf(stderr, "%s\n",
               (installed ? ChooseInstalledSaveFolder(userFolder) : ChooseSaveFolder("Data/Save", userFolder)).c_str());
  Platform = &machine;
  if (!machine.Open()) {
    std::fprintf(stderr, "%s: cannot open the window: %s\n", Caption, machine.Error.c_str());
    return false;
  }
  DisplayModeChosen = choices.DisplayMode;
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
