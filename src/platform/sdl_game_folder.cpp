#include "platform/sdl_game_folder.h"

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

std::string EnterGameFolder() {
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  char* base = SDL_GetBasePath();
  if (base) {
    const fs::path programFolder = base;
    SDL_free(base);
    for (const fs::path& candidate : {programFolder, (programFolder / VT_DATA_FROM_BIN).lexically_normal()}) {
      if (HoldsData(candidate)) {
        fs::current_path(candidate, ec);
        if (!ec) return candidate.string();
      }
    }
  }
  return here.string();
}

std::string UserSaveFolder() {
  char* pref = SDL_GetPrefPath(nullptr, "voltrace2");
  if (!pref) return {};
  const std::string folder = (fs::path(pref) / "Save").string();
  SDL_free(pref);
  return folder;
}
