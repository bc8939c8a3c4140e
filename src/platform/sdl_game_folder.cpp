// Where the game finds its Data folder and where a player's saves go when
// the game cannot write beside itself.
#include "platform/sdl_platform.h"

#include <SDL.h>

#include <filesystem>
#include <system_error>

#ifndef VT_DATA_FROM_BIN
#define VT_DATA_FROM_BIN "../share/voltrace2"
#endif

namespace fs = std::filesystem;

namespace {
bool HoldsData(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / "Data" / "Res" / "Res1.dxg", ec);
}
}  // namespace

// Data beside the program (the game unpacked or just built), else the
// installed data folder next to the program's bin folder, else the working
// directory as it is: the game finds its archives, music and saves (and
// "play.url" and the launcher) however it was started.
std::string TSdlPlatform::EnterGameFolder() {
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  char* base = SDL_GetBasePath();
  if (base) {
    const fs::path programFolder = base;
    SDL_free(base);
    const fs::path installed = (programFolder / VT_DATA_FROM_BIN).lexically_normal();
    for (const fs::path& candidate : {programFolder, installed}) {
      if (HoldsData(candidate)) {
        fs::current_path(candidate, ec);
        if (ec) continue;
        Installed = candidate == installed;
        return candidate.string();
      }
    }
  }
  return here.string();
}

// The XDG data directory on Linux: ~/.local/share/voltrace2/Save, created on
// the way.
std::string PlayerDataFile(const std::string& name) {
  char* pref = SDL_GetPrefPath(nullptr, "voltrace2");
  if (!pref) return {};
  const std::string file = (fs::path(pref) / name).string();
  SDL_free(pref);
  return file;
}

std::string TSdlPlatform::UserSaveFolder() {
  char* pref = SDL_GetPrefPath(nullptr, "voltrace2");
  if (!pref) return {};
  const std::string folder = (fs::path(pref) / "Save").string();
  SDL_free(pref);
  return folder;
}
