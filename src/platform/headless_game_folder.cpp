// The runner's start-up folders: the game folder is the working directory
// (scripts are run from the build folder or a test's copy of it), and the
// player's data folder is found as the desktop's rule gives it, so that a
// game folder that cannot be written sends the saves where the real game
// would.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/headless_platform.h"

namespace fs = std::filesystem;

std::string THeadlessPlatform::EnterGameFolder() {
  std::error_code ec;
  return fs::current_path(ec).string();
}

std::string THeadlessPlatform::UserSaveFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  fs::path base;
  if (dataHome && dataHome[0] == '/') base = dataHome;
  else if (home && home[0] == '/') base = fs::path(home) / ".local" / "share";
  else return {};
  return (base / "voltrace2" / "Save").string();
}
