#include "shell/options_file.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/highscores.h"
#include "shell/save_files.h"
#include "shell/save_pair.h"
#include "shell/settings.h"

namespace {
std::string OptionsFile() { return SaveFolder + "/options"; }

bool Blank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }
}  // namespace

void LoadOptions() {
  SetDefaultOptions();
  std::vector<std::string> lines;
  if (!ReadLines(SaveFileToRead(OptionsFile()), lines)) return;
  // The file is read line by line: a line that is not there reads as empty.
  // An empty switch keeps its default (music and sound stay on), so a file
  // cut short keeps the switches it still has; a missing checksum line only
  // costs the table.
  lines.resize(std::max<size_t>(lines.size(), 5));
  uint8_t* const switches[3] = {&FullScreen, &MusicOn, &SoundOn};
  int values[3] = {};
  for (int i = 0; i < 3; ++i) {
    // Words where a switch belongs: not our options file, nothing in it is used.
    if (!Blank(lines[i]) && !ParseSaveInteger(lines[i], values[i])) return;
  }
  for (int i = 0; i < 3; ++i)
    if (!Blank(lines[i])) *switches[i] = values[i] != 0 ? 1 : 0;
  Country = lines[3];
  HSChecksum = lines[4];
}

std::string OptionsFileText() {
  return std::to_string(FullScreen) + "\r\n" + std::to_string(MusicOn) + "\r\n" + std::to_string(SoundOn) +
         "\r\n" + Country + "\r\n" + Checksum() + "\r\n";
}

bool SaveOptions() { return WriteFileSafely(OptionsFile(), OptionsFileText()); }
