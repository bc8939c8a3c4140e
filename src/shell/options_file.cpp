#include "shell/options_file.h"

#include <string>
#include <vector>

#include "shell/highscores.h"
#include "shell/save_files.h"
#include "shell/settings.h"

namespace {
const std::string OptionsFile = std::string(SaveFolder) + "/options";
}

void LoadOptions() {
  std::vector<std::string> lines;
  int flags[3];
  if (ReadLines(OptionsFile, lines) && lines.size() >= 5 && ParseSaveInteger(lines[0], flags[0]) &&
      ParseSaveInteger(lines[1], flags[1]) && ParseSaveInteger(lines[2], flags[2])) {
    FullScreen = flags[0] != 0 ? 1 : 0;
    MusicOn = flags[1] != 0 ? 1 : 0;
    SoundOn = flags[2] != 0 ? 1 : 0;
    Country = lines[3];
    HSChecksum = lines[4];
    return;
  }
  SetDefaultOptions();
}

std::string OptionsFileText() {
  return std::to_string(FullScreen) + "\r\n" + std::to_string(MusicOn) + "\r\n" + std::to_string(SoundOn) +
         "\r\n" + Country + "\r\n" + Checksum() + "\r\n";
}

bool SaveOptions() { return WriteFileSafely(OptionsFile, OptionsFileText()); }
