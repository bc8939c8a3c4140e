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

}  // namespace
