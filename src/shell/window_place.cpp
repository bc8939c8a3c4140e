#include "shell/window_place.h"

#include <string>
#include <vector>

#include "platform/platform.h"
#include "shell/save_files.h"

namespace {
std::string WindowPlaceFile() { return SaveFolder + "/window"; }
}  // namespace

void LoadWindowPlace() {
  std::vector<std::string> lines;
  int x, y;
  if (ReadLines(WindowPlaceFile(), lines) && lines.size() >= 2 && ParseSaveInteger(lines[0], x) &&
      ParseSaveInteger(lines[1], y))
    Platform->SetWindowPlace(x, y);
}

bool SaveWindowPlace() {
  int x, y;
  if (!Platform->GetWindowPlace(x, y)) return true;
  return WriteFileSafely(WindowPlaceFile(), std::to_string(x) + "\r\n" + std::to_string(y) + "\r\n");
}
