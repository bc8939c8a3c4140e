#pragma once
// What the player may say on the command line. The game itself keeps its
// settings in its options file; these only choose for one start.
#include <string>

struct TCommandLine {
  enum TAction { Play, ShowHelp, ShowVersion, Refuse };
  TAction Action = Play;
  // -1: the display mode the options file gives; 0 a window; 1 full screen.
  int DisplayMode = -1;
  // The folder holding Data; empty: found from the program's own place.
  std::string DataFolder;
  std::string Error;  // why the command line was refused
};

TCommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text --help prints (and a refused command line, on stderr).
std::string UsageText();
