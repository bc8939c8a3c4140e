#include "app/command_line.h"

#include <cstring>

TCommandLine ParseCommandLine(int argc, const char* const* argv) {
  TCommandLine line;
  auto refuse = [&line](const std::string& why) {
    line.Action = TCommandLine::Refuse;
    line.Error = why;
    return line;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      line.Action = TCommandLine::ShowHelp;
    } else if (arg == "--version") {
      if (line.Action == TCommandLine::Play) line.Action = TCommandLine::ShowVersion;
    } else if (arg == "--fullscreen") {
      line.DisplayMode = 1;
    } else if (arg == "--windowed") {
      line.DisplayMode = 0;
    } else if (arg == "--data" || arg.rfind("--data=", 0) == 0) {
      std::string folder;
      if (arg == "--data") {
        if (i + 1 >= argc) return refuse("--data needs a folder");
        folder = argv[++i];
      } else {
        folder = arg.substr(std::strlen("--data="));
      }
      if (folder.empty()) return refuse("--data needs a folder");
      line.DataFolder = folder;
    } else {
      return refuse("unknown option '" + arg + "'");
    }
  }
  return line;
}

std::string UsageText() {
  return "Usage: voltrace2 [OPTION]...\n"
         "Вольтрейс 2, a top-down arcade racer.\n"
         "\n"
         "  --fullscreen   start in full screen\n"
         "  --windowed     start in a window\n"
         "                 (either is kept as the display mode, as Alt+Enter's is)\n"
         "  --data DIR     play with the Data folder found in DIR\n"
         "  --help         show this text and leave\n"
         "  --version      show the version and leave\n"
         "\n"
         "Keys: arrows drive, Space handbrake, Z or Ctrl fire, X or Shift nitro,\n"
         "H horn, P pause, Esc leave, Alt+Enter or F11 window or full screen.\n";
}
