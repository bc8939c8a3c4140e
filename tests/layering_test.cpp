#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

namespace fs = std::filesystem;

// The game's logic must run with no SDL at all (the script runner and the
// tests depend on it): only the platform layer may include SDL headers.
TEST(Layering, OnlyThePlatformLayerIncludesSdl) {
  const std::regex sdlInclude(R"(^\s*#\s*include\s*[<"]SDL)");
  int filesChecked = 0;
  for (const char* folder : {"src", "tools", "assets"}) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(VT_SOURCE_DIR) / folder)) {
      if (!entry.is_regular_file()) continue;
      const fs::path& p = entry.path();
      if (p.extension() != ".cpp" && p.extension() != ".h") continue;
      ++filesChecked;
      if (p.parent_path().filename() == "platform") continue;
      std::ifstream in(p);
      std::string line;
      int lineNo = 0;
      while (std::getline(in, line)) {
        ++lineNo;
        EXPECT_FALSE(std::regex_search(line, sdlInclude)) << p << ":" << lineNo << ": " << line;
      }
    }
  }
  EXPECT_GT(filesChecked, 20);
}

// The layers, bottom first: a file may include its own folder and the
// folders of a lower or equal layer, never a higher one. race/ and screens/
// are one layer (the windows over the race open the menu screens; the menu
// screens scroll the road). app/, the program's entry and the start-up the
// script runner shares, stands over everything.
int LayerOf(const std::string& folder) {
  if (folder == "platform" || folder == "gfx") return 0;
  if (folder == "sprites") return 1;
  if (folder == "shell") return 2;
  if (folder == "race" || folder == "screens") return 3;
  if (folder == "app") return 4;
  return -1;
}

// The one file below the top that knows the whole game: the frame loop,
// which dispatches each tick to the open window or the current screen.
bool KnowsEveryLayer(const fs::path& p) {
  return fs::relative(p, fs::path(VT_SOURCE_DIR) / "src").generic_string() == "shell/main_window.cpp";
}

TEST(Layering, NoFolderIncludesAHigherLayer) {
  const std::regex include(R"(^\s*#\s*include\s*"([a-z_]+)/)");
  const fs::path src = fs::path(VT_SOURCE_DIR) / "src";
  int filesChecked = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const fs::path& p = entry.path();
    if (!entry.is_regular_file() || (p.extension() != ".cpp" && p.extension() != ".h")) continue;
    ++filesChecked;
    if (KnowsEveryLayer(p)) continue;
    const int own = LayerOf(fs::relative(p, src).begin()->string());
    ASSERT_GE(own, 0) << p << " lies in no known layer";
    std::ifstream in(p);
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
      std::smatch m;
      if (!std::regex_search(line, m, include)) continue;
      const int used = LayerOf(m[1].str());
      EXPECT_LE(used, own) << p << ":" << lineNo << " reaches up: " << line;
    }
  }
  EXPECT_GT(filesChecked, 50);
}

// The race's flow goes one way: the car and the town only report what
// happened (in the race's state), and the race alone opens windows and ends
// levels. Of the race's own files they may use its numbers, nothing else.
TEST(Layering, TheCarAndTheTownNeverCallTheRacesFlow) {
  const std::regex include(R"(^\s*#\s*include\s*"race/([a-z_]+)\.h")");
  int filesChecked = 0;
  for (const char* folder : {"player", "world"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(VT_SOURCE_DIR) / "src" / "race" / folder)) {
      const fs::path& p = entry.path();
      if (p.extension() != ".cpp" && p.extension() != ".h") continue;
      ++filesChecked;
      std::ifstream in(p);
      std::string line;
      for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        std::smatch m;
        if (!std::regex_search(line, m, include)) continue;
        EXPECT_EQ(m[1].str(), "race_state") << p << ":" << lineNo << " reaches into the race's flow: " << line;
      }
    }
  }
  EXPECT_GT(filesChecked, 20);
}

}  // namespace
